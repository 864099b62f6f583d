#include "viewerapplication.h"

#include <QMessageBox>
#include <exception>

namespace orlex {

QString ErrorMessageText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

TViewerApplication::TViewerApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // No display name: the platform would append it to the window caption.
    setApplicationName(Title);
    setOrganizationName("Quenwick");
}

bool TViewerApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowUnhandledError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowUnhandledError("Unknown error");
    }
    return false;
}

void TViewerApplication::ShowUnhandledError(const QString& message) {
    const QString text = ErrorMessageText(message);
    // An error raised while its own box is open is not stacked on top of it.
    if (ShowingError_) return;
    ShowingError_ = true;
    try {
        if (Messages_ != nullptr) {
            Messages_->ShowMessage(text.toStdString(), Title, TMsgIcon::Error, TMsgButtons::Ok);
        } else {
            QMessageBox::critical(activeWindow(), Title, text, QMessageBox::Ok);
        }
    } catch (...) {
        // Nothing more can be said about an error that occurs while showing one.
    }
    ShowingError_ = false;
}

}  // namespace orlex
