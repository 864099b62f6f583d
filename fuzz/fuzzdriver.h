// One fuzz run: load from memory with modest limits, step, report. Shared by the
// libFuzzer target and the test that replays the corpus.
#pragma once

#include <cstddef>

#include "interfaces.h"
#include "logfile.h"
#include "playback.h"

namespace orlex::fuzz {

class TQuietReport final : public IReport {
public:
    void Clear() override {}
    void SetBold(bool) override {}
    void AddLine(const std::string&) override {}
};

// Returns the number of messages shown.
inline int RunOne(const char* data, std::size_t size) {
    struct TCounter final : IMessages {
        int Count = 0;
        TMsgResult ShowMessage(const std::string&, const std::string&, TMsgIcon,
                               TMsgButtons) override {
            ++Count;
            return TMsgResult::Ok;
        }
    } messages;
    TNullProgress progress;
    TLogFile1 project("Deck");
    project.Limits.MaxCells = int64_t{1} << 22;
    project.Limits.MaxPersons = int64_t{1} << 16;
    project.Limits.MaxDecks = 256;
    project.LoadFromMemory(data, size, progress, messages);

    TPlayback playback;
    playback.SetProject(&project);
    for (int i = 0; i < 8; ++i) playback.StepForward();
    playback.BackwardSecond();
    for (int i = 0; i < 3; ++i) playback.StepBackward();
    playback.TimerTick();
    playback.ResetToStart();
    TQuietReport report;
    project.ReportTo(report);
    for (int i = -1; i <= project.DeckCount(); ++i) (void)project.GetDeckCaption(i);
    return messages.Count;
}

}  // namespace orlex::fuzz
