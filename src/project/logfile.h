// The project: everything one 3D log file describes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "deck.h"
#include "interfaces.h"
#include "person.h"

namespace orlex {

// Limits above which the loader refuses to create arrays (they would need absurd
// memory). Tools and tests may lower them.
struct TLoadLimits {
    int64_t MaxCells = int64_t{1} << 30;    // XMax * YMax * ZMax
    int64_t MaxPersons = int64_t{1} << 25;  // PMax
    int64_t MaxDecks = int64_t{1} << 16;    // ZMax
};

// How the loader uses the machine. Tools and tests may change it.
struct TLoadOptions {
    // Threads that read the movement data and build the quad lists: 0 for one per
    // core that the process may use, 1 for everything on the calling thread.
    int Threads = 0;
    // Bytes of movement data read at a time and shared out among the threads.
    std::size_t WindowBytes = std::size_t{1} << 20;
};

// What a file converted from another tool's trajectories remembers of its source
// (the "<import>" section, which other readers skip as unknown top-level words).
struct TSourceFrame {
    bool Known = false;  // an "<import>" section gave origin and cell size
    double OriginX = 0;  // metre coordinates of the lower-left corner of the grid
    double OriginY = 0;
    double CellSize = 0;  // metres; 0 when not given
};

// The polygon reduction of a deck as the report writes it ("-12%", "n/a" without cells).
std::string ReductionText(int cells, int quads);

class TLogFile1 {
public:
    explicit TLogFile1(std::string levelName);
    ~TLogFile1();
    TLogFile1(const TLogFile1&) = delete;
    TLogFile1& operator=(const TLogFile1&) = delete;

    std::string LevelName;
    std::string FileName;
    bool DecksAllocated = false;
    int PMax = 0;
    int XMax = 0;
    int YMax = 0;
    int ZMax = 0;
    int VMax = 0;
    int TOff = 0;
    // The number of leading persons whose tracks ended with their "S" (PMax when all
    // did). The tracks after them were cut by the end of the file, are missing from a
    // shorter movement list, or were never given (no "(movement)"); playback still
    // takes the end of such a track for a saving, the analysis knows better.
    int CompleteTracks = 0;
    std::vector<TDeck> Decks;
    std::vector<TPersonData> Persons;
    // Source of a converted file; see TSourceFrame.
    TSourceFrame Source;
    // The step at which each person enters (a person appearing after the start of a
    // recording); empty when the file names none, else PMax entries, 0 for persons
    // present from the start.
    std::vector<int> EntrySteps;
    // Storage of the persons' tracks; the loader's helper threads fill arenas of
    // their own.
    TTrackArena TrackArena;
    std::vector<TTrackArena> HelperArenas;

    TLoadLimits Limits;
    TLoadOptions LoadOptions;

    // Reads the file, builds the quad lists and the default lights. A UTF-8
    // byte-order mark at the start is skipped. Returns false when the file cannot be
    // opened ("Cannot open file:" is shown then) or holds no "<header>" before its
    // end ("PATH is not a 3D log file: no <header> found"; the project stays empty).
    bool LoadFromFile(const std::string& path, IProgress& progress, IMessages& messages);

    // The same from a block of memory (fuzzing, tests); FileName is left as it is.
    bool LoadFromMemory(const char* data, std::size_t size, IProgress& progress,
                        IMessages& messages);

    // Number of decks that exist and match the header (0 when none).
    int DeckCount() const;
    // Number of persons that exist.
    int PersonCount() const { return static_cast<int>(Persons.size()); }
    TDeck* DeckData() { return Decks.empty() ? nullptr : Decks.data(); }
    TPersonData* PersonData() { return Persons.empty() ? nullptr : Persons.data(); }

    // Caption of deck index as UTF-8, "error" when out of range.
    std::string GetDeckCaption(int index) const;

    // Writes the project data report.
    void ReportTo(IReport& report) const;

    // Total steps over all tracks.
    int64_t TotalSteps() const;
};

}  // namespace orlex
