// orlex-info: loads a 3D log file with the project core and describes it,
// as a readable summary or as JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "interfaces.h"
#include "logfile.h"
#include "playback.h"

namespace orlex::info {

struct TRecordedMessage {
    std::string Caption;
    std::string Text;
};

// Records every message, progress text, report line and status text.
class TRecorder final : public IMessages, public IProgress, public IReport, public IPlaybackHost {
public:
    bool EchoMessages = false;  // also write messages to standard error
    std::vector<TRecordedMessage> Messages;
    std::vector<std::string> ProgressTexts;
    std::vector<std::pair<std::string, bool>> ReportLines;
    std::string TimeText = "Time: 0:00 min";
    std::string SavedText = "Saved: 0";

    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon,
                           TMsgButtons) override;
    void SetInfo(const std::string& text) override { ProgressTexts.push_back(text); }
    void SetPosition(int) override {}
    void Show() override {}
    void ProcessEvents() override {}
    void Clear() override { ReportLines.clear(); }
    void SetBold(bool bold) override { Bold_ = bold; }
    void AddLine(const std::string& line) override { ReportLines.emplace_back(line, Bold_); }
    void ShowSaved(const std::string& text) override { SavedText = text; }
    void ShowTime(const std::string& text) override { TimeText = text; }

private:
    bool Bold_ = false;
};

// One item of --play.
struct TPlayItem {
    char Kind;  // '+', '-', 'f', 'b', 'r', 't', 'p' or '@' (seek to step counter Count)
    int Count;
};

// The animation speed of 'p' (simulated seconds per real second): the viewer's default.
inline constexpr int kPlaySpeed = 5;

// Parses "+3,-1,f,b,r,t,p,@40"; false on a malformed item. The items act as the
// viewer's commands: 'p' is run/pause, 'b' stops the animation and completes its
// second before going back one.
bool ParsePlaySequence(const std::string& text, std::vector<TPlayItem>& items);
void ApplyPlay(TPlayback& playback, const std::vector<TPlayItem>& items);

struct TJsonOptions {
    bool Quads = false;
    bool Persons = false;
};

nlohmann::json BuildJson(const std::string& path, const TLogFile1& project,
                         const TPlayback& playback, const TRecorder& recorder,
                         const TJsonOptions& options);
std::string BuildSummary(const std::string& path, const TLogFile1& project,
                         const TPlayback& playback);

}  // namespace orlex::info
