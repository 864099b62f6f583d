// The measurement file kept beside a project (FILE.measure.json): reading it with
// a message for every entry that cannot be used, and writing it whole or not at all.
//
//   {"lines": [{"name": "Door A", "deck": 0, "from": [12.0, 3.2], "to": [13.6, 3.2]}],
//    "areas": [{"name": "Before the door", "deck": 0,
//               "polygon": [[10.0, 1.0], [16.0, 1.0], [16.0, 3.0], [10.0, 3.0]]}]}
#pragma once

#include <string>
#include <vector>

#include "measure.h"

namespace orlex {

// The file kept beside projectPath ("ship.3dl" -> "ship.3dl.measure.json").
std::string MeasureFilePathFor(const std::string& projectPath);

// Parses the text of a measurement file named fileName (used in the messages).
// Returns false, with one message in problems, when the text is not valid JSON or
// not an object of "lines" and "areas". An entry that cannot be used (unknown
// fields, NaN, a line of zero length, a self-intersecting polygon, ...) is left out
// with a message naming the file and the entry; the others are read.
bool ParseMeasureText(const std::string& text, const std::string& fileName, TMeasureSet& out,
                      std::vector<std::string>& problems);

// Reads the file at path (UTF-8) as ParseMeasureText does; false with a message
// when it cannot be opened.
bool ReadMeasureFile(const std::string& path, TMeasureSet& out, std::vector<std::string>& problems);

// Leaves out, with a message each, the entries on a deck that does not exist
// (decks counts them) or reaching off the deck's grid in frame.
void CheckMeasuresOnProject(TMeasureSet& set, const TMetreFrame& frame, int decks,
                            const std::string& fileName, std::vector<std::string>& problems);

// The measurements of a project for the tools: the file measurePath when given,
// else the one beside projectPath when it exists (else an empty set). Entries that
// cannot be used on the project (cellSize in effect) are left out with a message
// each. False, with a message, when the file is given but cannot be read, or is not
// a measurement file.
bool MeasuresForProject(const std::string& projectPath, const std::string& measurePath,
                        const TLogFile1& project, double cellSize, TMeasureSet& set,
                        std::vector<std::string>& problems);

// The text of a measurement file holding set.
std::string MeasureFileText(const TMeasureSet& set);

// Writes set to path through a temporary file and a rename, so that a reader never
// sees a partial file; false with error set when it cannot be written.
bool WriteMeasureFile(const std::string& path, const TMeasureSet& set, std::string& error);

}  // namespace orlex
