// Helpers shared by the core tests: recording hosts and loading from text.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "interfaces.h"
#include "logfile.h"
#include "playback.h"

namespace orlex {

inline constexpr const char* kExampleFile =
    "<header>\nversion 1\npmax 2\nxmax 6\nymax 4\nzmax 1\nvmax 2\ntoff 30\n</header>\n"
    "<deck>\nlevel 0\ncaption Main deck\n(celldata)\n11 11 11\n1P3x051\n1000 4 1\nP6x1\n"
    "</deck>\n<persons>\n<startpositions>\n1 1 0 3 0\n1 2 0 3 0\n(movement)\n33P2x0S\nP3x3S\n"
    "</persons>\n";

struct TMessage {
    std::string Caption;
    std::string Text;
    bool operator==(const TMessage&) const = default;
};

class TRecorder : public IMessages, public IProgress, public IReport, public IPlaybackHost {
public:
    std::vector<TMessage> Messages;
    std::vector<std::string> Infos;
    std::vector<int> Positions;
    std::vector<std::pair<std::string, bool>> Lines;
    std::vector<std::string> Events;  // playback host calls, in order
    int ProcessCount = 0;

    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon,
                           TMsgButtons) override {
        Messages.push_back({caption, text});
        return TMsgResult::Ok;
    }
    void SetInfo(const std::string& text) override { Infos.push_back(text); }
    void SetPosition(int position) override { Positions.push_back(position); }
    void Show() override {}
    void ProcessEvents() override { ++ProcessCount; }
    void Clear() override { Lines.clear(); }
    void SetBold(bool bold) override { Bold = bold; }
    void AddLine(const std::string& line) override { Lines.emplace_back(line, Bold); }
    void BeforeStep(int counter) override { Events.push_back("shot " + std::to_string(counter)); }
    void ShowSaved(const std::string& text) override { Events.push_back(text); }
    void ShowTime(const std::string& text) override { Events.push_back(text); }
    void Paint() override { Events.push_back("paint"); }

    bool Bold = false;
};

struct TLoaded {
    std::unique_ptr<TLogFile1> Project;
    TRecorder Recorder;
};

inline TLoaded LoadText(const std::string& text, TLoadLimits limits = {}) {
    TLoaded loaded;
    loaded.Project = std::make_unique<TLogFile1>("Deck");
    loaded.Project->Limits = limits;
    loaded.Project->LoadFromMemory(text.data(), text.size(), loaded.Recorder, loaded.Recorder);
    return loaded;
}

}  // namespace orlex
