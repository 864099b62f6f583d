// The application object. Any error that reaches the event loop is shown in a
// message box captioned with the application title, and the program goes on.
#pragma once

#include <QApplication>
#include <QString>

#include "interfaces.h"

namespace orlex {

// Message text of an unhandled error: a full stop is added when the text ends in
// a character above the full stop (a letter or a digit, for example).
QString ErrorMessageText(const QString& message);

class TViewerApplication : public QApplication {
    Q_OBJECT
public:
    TViewerApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Where the error boxes go (null: the standard message box). Not owned.
    void SetMessages(IMessages* messages) { Messages_ = messages; }
    // Shows an unhandled error as the event loop does.
    void ShowUnhandledError(const QString& message);

    static constexpr const char* Title = "ORLEX Viewer";

private:
    IMessages* Messages_ = nullptr;
    bool ShowingError_ = false;
};

}  // namespace orlex
