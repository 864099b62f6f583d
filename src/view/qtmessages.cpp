#include "qtmessages.h"

#include <QMessageBox>

namespace orlex {

namespace {

QMessageBox::Icon ToQtIcon(TMsgIcon icon) {
    switch (icon) {
        case TMsgIcon::Information:
            return QMessageBox::Information;
        case TMsgIcon::Warning:
            return QMessageBox::Warning;
        case TMsgIcon::Error:
            return QMessageBox::Critical;
        case TMsgIcon::Question:
            return QMessageBox::Question;
        case TMsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(TMsgButtons buttons) {
    switch (buttons) {
        case TMsgButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case TMsgButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case TMsgButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case TMsgButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

}  // namespace

TMsgResult TQtMessages::ShowMessage(const std::string& text, const std::string& caption,
                                    TMsgIcon icon, TMsgButtons buttons) {
    QMessageBox box(ToQtIcon(icon), QString::fromUtf8(caption), QString::fromUtf8(text),
                    ToQtButtons(buttons), Parent_.data());
    const int answer = box.exec();
    switch (answer) {
        case QMessageBox::Yes:
            return TMsgResult::Yes;
        case QMessageBox::No:
            return TMsgResult::No;
        case QMessageBox::Cancel:
            return TMsgResult::Cancel;
        case QMessageBox::Ok:
            return TMsgResult::Ok;
        default:
            break;
    }
    // Closed by the window's close button or Escape: the "no" side of the box.
    switch (buttons) {
        case TMsgButtons::Ok:
            return TMsgResult::Ok;
        case TMsgButtons::YesNo:
            return TMsgResult::No;
        default:
            return TMsgResult::Cancel;
    }
}

}  // namespace orlex
