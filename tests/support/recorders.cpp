#include "recorders.h"

namespace orlex::test {

TMsgResult TRecordingMessages::ShowMessage(const std::string& text, const std::string& caption,
                                           TMsgIcon icon, TMsgButtons buttons) {
    TShownMessage shown;
    shown.Caption = caption;
    shown.Text = text;
    shown.Icon = icon;
    shown.Buttons = buttons;
    Messages.push_back(std::move(shown));
    if (WhileOpen) WhileOpen();
    if (!Answers.empty()) {
        const TMsgResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    return Otherwise ? *Otherwise : DefaultAnswer(buttons);
}

std::vector<std::string> TRecordingMessages::Texts() const {
    std::vector<std::string> texts;
    for (const TShownMessage& m : Messages) texts.push_back(m.Text);
    return texts;
}

std::vector<std::string> TRecordingMessages::Captions() const {
    std::vector<std::string> captions;
    for (const TShownMessage& m : Messages) captions.push_back(m.Caption);
    return captions;
}

int TRecordingMessages::Count(const std::string& text) const {
    int n = 0;
    for (const TShownMessage& m : Messages) n += m.Text == text ? 1 : 0;
    return n;
}

}  // namespace orlex::test
