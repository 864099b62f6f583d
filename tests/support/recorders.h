// Recording hosts for the tests: every message, progress call, report line and
// playback host call is kept in order, so a test can compare what was shown.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "interfaces.h"
#include "playback.h"

namespace orlex::test {

struct TMessage {
    std::string Caption;
    std::string Text;
    bool operator==(const TMessage&) const = default;
};

// A shown message compares equal to a TMessage of the same caption and text.
struct TShownMessage : TMessage {
    TMsgIcon Icon = TMsgIcon::None;
    TMsgButtons Buttons = TMsgButtons::Ok;
};

// Records every message. Answers come from Answers in order; once they run out,
// Otherwise is given, or the default answer (Yes to a question, else OK).
class TRecordingMessages : public IMessages {
public:
    std::vector<TShownMessage> Messages;
    std::deque<TMsgResult> Answers;
    std::optional<TMsgResult> Otherwise;
    std::function<void()> WhileOpen;  // runs while the message is "open"

    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon,
                           TMsgButtons buttons) override;

    std::vector<std::string> Texts() const;
    std::vector<std::string> Captions() const;
    int Count(const std::string& text) const;  // how often text was shown
};

class TRecordingProgress : public IProgress {
public:
    std::vector<std::string> Infos;
    std::vector<int> Positions;
    int ShowCount = 0;
    int ProcessCount = 0;

    void SetInfo(const std::string& text) override { Infos.push_back(text); }
    void SetPosition(int position) override { Positions.push_back(position); }
    void Show() override { ++ShowCount; }
    void ProcessEvents() override { ++ProcessCount; }
};

// Messages, progress, report and playback host in one object, for the core tests.
class TRecorder : public TRecordingMessages,
                  public TRecordingProgress,
                  public IReport,
                  public IPlaybackHost {
public:
    std::vector<std::pair<std::string, bool>> Lines;  // report lines with their bold flag
    std::vector<std::string> Events;                  // playback host calls, in order
    bool Bold = false;

    void Clear() override { Lines.clear(); }
    void SetBold(bool bold) override { Bold = bold; }
    void AddLine(const std::string& line) override { Lines.emplace_back(line, Bold); }
    void BeforeStep(int counter) override { Events.push_back("shot " + std::to_string(counter)); }
    void ShowSaved(const std::string& text) override { Events.push_back(text); }
    void ShowTime(const std::string& text) override { Events.push_back(text); }
    void Paint() override { Events.push_back("paint"); }
    // One count for the loader's and the playback's calls, as one host would see them.
    void ProcessEvents() override { TRecordingProgress::ProcessEvents(); }
};

}  // namespace orlex::test
