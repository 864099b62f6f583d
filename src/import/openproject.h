// Opens any supported file as a project: a 3D log file through the reader as it is,
// the trajectories of another tool through the import, by way of the 3D log file's
// text in memory (so the project is exactly what the reader makes of a converted file).
#pragma once

#include <string>

#include "convert.h"
#include "interfaces.h"
#include "logfile.h"

namespace orlex::import {

// Whether path goes to the import: a format is named, or its first bytes are those of
// another tool's file. A 3D log file, a file that cannot be opened and a file of no
// known kind go to the reader (which names what is wrong with them).
bool NeedsImport(const std::string& path, const TImportOptions& options);

// What a file to import says about itself, for a dialog that asks for the rest.
struct TFileFacts {
    TFormat Format = TFormat::Auto;  // Auto: no known format
    // Text rows (PeTrack, PedPy) may leave out the frame rate and the length unit;
    // the other formats always give both.
    bool TextRows = false;
    double Fps = 0;  // from a "framerate" comment; 0 for none
    TLengthUnit Unit = TLengthUnit::Unknown;
};
// Reads the head of path. Throws TImportError when it cannot be opened.
TFileFacts InspectFile(const std::string& path);

// Reads path into project. The import's errors are shown as the reader's are (caption
// "Error"), its warnings as warnings; returns false when nothing could be read.
bool OpenProject(const std::string& path, const TImportOptions& options, TLogFile1& project,
                 IProgress& progress, IMessages& messages);

}  // namespace orlex::import
