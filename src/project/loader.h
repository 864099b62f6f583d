// The reading of one 3D log file, shared by the files of the loader: the open
// file, the hosts and the warnings already given. Internal to the core.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interfaces.h"
#include "logfile.h"
#include "textreader.h"

namespace orlex::load {

inline constexpr const char* kIncomplete = "File is incomplete, which might lead to errors.";
inline constexpr const char* kCountCut =
    "A count in the cell or movement data is too large; it was cut to fit.";
inline constexpr const char* kBadCount =
    "A packed run in the cell or movement data has a count that is not a decimal number; the "
    "run was skipped.";

// What reading one movement track gave: its steps, how it ended, and the
// warnings it asks for (each kind once, in the order they came up).
struct TTrackRead {
    enum class TEnd : uint8_t {
        Stop,     // an "S", or a tag inside a packed run
        FileEnd,  // the end of the file came first
        ListEnd,  // a section tag stood where the track should start
    };
    int64_t Steps = 0;
    int LevelDelta = 0;
    TEnd End = TEnd::Stop;
    bool Stopped = false;  // ended with its "S" (not at a tag inside a packed run)
    int WarningCount = 0;
    const char* Warnings[2] = {nullptr, nullptr};

    void Warn(const char* text) {
        for (int k = 0; k < WarningCount; ++k)
            if (Warnings[k] == text) return;
        if (WarningCount < 2) Warnings[WarningCount++] = text;
    }
};

// Reads one track from in, which stands where a track starts, into bytes (cleared
// first). room: the steps that the person's track may still take.
void ReadTrack(TTextReader& in, std::vector<uint8_t>& bytes, int64_t room, TTrackRead& read);

// Reads "n x" of a packed run after its "P" (n up to the letter x). Returns false
// at the end of the file; valid is false when n was not a decimal number. A section
// tag before the "x" ends the run early: atTag is set then.
bool ReadRunCount(TTextReader& in, int64_t& count, bool& valid, bool& atTag);

// The threads a load uses for requested (TLoadOptions::Threads): at least 1.
int LoaderThreads(int requested);

// One load: the open file, the hosts and the warnings already given.
class TLoader {
public:
    TLoader(TLogFile1& project, TTextReader& in, IProgress& progress, IMessages& messages)
        : P(project), In(in), Progress(progress), Messages(messages) {}

    void Run();
    // Whether a "<header>" came before the end of the file.
    bool SawHeader() const { return SawHeader_; }

private:
    // Each Read* returns false once the end of the file came inside a section;
    // the reader then stops and keeps what it has read.
    bool ReadHeader();
    // "<import>" ... "</import>": origin, cell size and entry steps of a converted file.
    bool ReadImportSection();
    bool ReadDeckSection();
    bool ReadPersonsSection();
    bool ReadStartPositions();
    bool ReadMovement();
    // The movement data read in windows, the tracks of each shared out among
    // Threads threads; returns as ReadMovement.
    bool ReadMovementInParallel(int threads);
    // Gives the warnings of person i's track read, then the progress. True when the
    // movement data ends with this track; result is ReadMovement's result then.
    bool FinishTrack(int i, const TTrackRead& read, bool& result);
    bool LoadCellData(int z);
    // Builds the quad lists and places the default lights of every deck.
    void BuildDecks();

    bool SawHeader_ = false;

    void Warn(const char* text) { Message(text, "Warning", TMsgIcon::Warning); }
    void Message(const std::string& text, const char* caption, TMsgIcon icon) {
        Messages.ShowMessage(text, caption, icon, TMsgButtons::Ok);
    }
    bool Incomplete() {
        if (!IncompleteShown) {
            IncompleteShown = true;
            Warn(kIncomplete);
        }
        return false;
    }
    void WarnOnce(bool& shown, const char* text) {
        if (!shown) {
            shown = true;
            Warn(text);
        }
    }
    void SetInfo(const std::string& text) {
        Progress.SetInfo(text);
        Progress.ProcessEvents();
    }
    void SetPosition(int position) {
        if (position != LastPosition) {
            LastPosition = position;
            Progress.SetPosition(position);
            Progress.ProcessEvents();
        }
    }

    TLogFile1& P;
    TTextReader& In;
    IProgress& Progress;
    IMessages& Messages;
    std::string Word;
    std::vector<uint8_t> Scratch;
    int LastPosition = -1;
    bool IncompleteShown = false;
    bool CountCutShown = false;
    bool BadCountShown = false;
    bool ShortStartShown = false;
    bool ShortMovementShown = false;
    bool ShortCellsShown = false;
};

}  // namespace orlex::load
