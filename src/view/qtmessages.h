// Message boxes through QMessageBox, for the project core and the views.
#pragma once

#include <QPointer>
#include <QWidget>

#include "interfaces.h"

namespace orlex {

class TQtMessages : public IMessages {
public:
    explicit TQtMessages(QWidget* parent = nullptr) : Parent_(parent) {}

    // Parent window of the boxes (may be null).
    void SetParent(QWidget* parent) { Parent_ = parent; }
    QWidget* Parent() const { return Parent_; }

    // Shows a modal box with the caption, text (UTF-8), icon and buttons.
    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon,
                           TMsgButtons buttons) override;

private:
    QPointer<QWidget> Parent_;
};

}  // namespace orlex
