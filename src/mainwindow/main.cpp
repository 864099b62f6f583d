// orlex-viewer: replays the evacuation stored in a 3D log file.
#include <QMetaObject>
#include <exception>

#include "mainform.h"
#include "viewerapplication.h"

int main(int argc, char** argv) {
    orlex::TViewerApplication app(argc, argv);
    std::unique_ptr<orlex::TMainForm> form;
    try {
        form = std::make_unique<orlex::TMainForm>();
    } catch (const std::exception& error) {
        // An error while the windows are created ends the program.
        app.ShowUnhandledError(QString::fromUtf8(error.what()));
        return 1;
    } catch (...) {
        app.ShowUnhandledError("Unknown error");
        return 1;
    }
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1) form->StartFile = args.at(1);
    form->showMaximized();
    // Also without a window manager that activates it, the file is loaded once.
    QMetaObject::invokeMethod(form.get(), &orlex::TMainForm::FormActivate, Qt::QueuedConnection);
    return app.exec();
}
