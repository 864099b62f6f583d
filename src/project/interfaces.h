// Small interfaces through which the project core talks to its host (the GUI
// or a command-line tool). The core never shows anything by itself.
#pragma once

#include <string>

namespace orlex {

// The progress dialog as the loader sees it.
class IProgress {
public:
    virtual ~IProgress() = default;
    // Activity text of the dialog's label.
    virtual void SetInfo(const std::string& text) = 0;
    // Bar position, 0 to 100.
    virtual void SetPosition(int position) = 0;
    // Makes the dialog visible (not modal). Called often; must be cheap.
    virtual void Show() = 0;
    // Lets the host run its pending events. Called often; the host throttles.
    virtual void ProcessEvents() = 0;
};

enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgResult { Ok, Cancel, Yes, No };

// Modal message boxes. Texts are UTF-8; line breaks are "\n".
class IMessages {
public:
    virtual ~IMessages() = default;
    virtual TMsgResult ShowMessage(const std::string& text, const std::string& caption,
                                   TMsgIcon icon, TMsgButtons buttons) = 0;
};

// A rich-text box that receives the project data report.
class IReport {
public:
    virtual ~IReport() = default;
    virtual void Clear() = 0;
    // Switches bold on or off for the lines added afterwards.
    virtual void SetBold(bool bold) = 0;
    // Adds one line (UTF-8, may contain tabs).
    virtual void AddLine(const std::string& line) = 0;
};

// Does nothing; for callers that need no progress display.
class TNullProgress final : public IProgress {
public:
    void SetInfo(const std::string&) override {}
    void SetPosition(int) override {}
    void Show() override {}
    void ProcessEvents() override {}
};

// The answer a message gets when nobody is asked: Yes to a question, else OK.
constexpr TMsgResult DefaultAnswer(TMsgButtons buttons) {
    return buttons == TMsgButtons::YesNo || buttons == TMsgButtons::YesNoCancel ? TMsgResult::Yes
                                                                                : TMsgResult::Ok;
}

// Answers every message with its default answer without showing it.
class TNullMessages final : public IMessages {
public:
    TMsgResult ShowMessage(const std::string&, const std::string&, TMsgIcon,
                           TMsgButtons buttons) override {
        return DefaultAnswer(buttons);
    }
};

}  // namespace orlex
