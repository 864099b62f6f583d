// Loads a 3D log file in the viewer's main window (progress dialog, view, deck box)
// and with the bare loader as orlex-info does, and prints both times.
//
//   bench_viewer_load FILE [RUNS]      (needs a display; use xvfb-run without one)
//
// Best of RUNS (default 5) each, alternating the two.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "interfaces.h"
#include "logfile.h"
#include "mainform.h"
#include "progressdialog.h"

namespace {

// As in the viewer, the project of the run before is released inside the timing.
double BareLoadSeconds(const QString& path, std::unique_ptr<orlex::TLogFile1>& project) {
    orlex::TNullProgress progress;
    orlex::TNullMessages messages;
    QElapsedTimer clock;
    clock.start();
    project.reset();
    project = std::make_unique<orlex::TLogFile1>("Deck");
    project->LoadFromFile(path.toStdString(), progress, messages);
    return clock.nsecsElapsed() / 1e9;
}

// The loader reporting to the shown progress dialog, which lets events run.
double DialogLoadSeconds(const QString& path, std::unique_ptr<orlex::TLogFile1>& project,
                         orlex::TFProgressDialog& dialog) {
    orlex::TNullMessages messages;
    dialog.SetInfo("Loading logfile...");
    dialog.Show();
    QElapsedTimer clock;
    clock.start();
    project.reset();
    project = std::make_unique<orlex::TLogFile1>("Deck");
    project->LoadFromFile(path.toStdString(), dialog, messages);
    const double seconds = clock.nsecsElapsed() / 1e9;
    dialog.Close();
    return seconds;
}

double ViewerLoadSeconds(orlex::TMainForm& form, const QString& path) {
    QElapsedTimer clock;
    clock.start();
    form.LoadLogFile(path);
    return clock.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2 || !QFileInfo(argv[1]).isFile()) {
        std::fprintf(stderr, "usage: bench_viewer_load FILE [RUNS]\n");
        return 2;
    }
    const QString path = QFileInfo(argv[1]).absoluteFilePath();
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    orlex::TNullMessages messages;
    orlex::TMainForm form(&messages);
    form.show();
    QApplication::processEvents();

    double bare = 1e300;
    double viewer = 1e300;
    double withDialog = 1e300;
    int rounds = 0;
    auto* dialog = form.findChild<orlex::TFProgressDialog*>("FProgressDialog");
    if (dialog == nullptr) return 1;
    std::unique_ptr<orlex::TLogFile1> project;
    // Alternated, so that both see the same page cache and memory state.
    for (int i = 0; i < runs; ++i) {
        bare = std::min(bare, BareLoadSeconds(path, project));
        withDialog = std::min(withDialog, DialogLoadSeconds(path, project, *dialog));
        const int before = dialog->EventRounds();
        viewer = std::min(viewer, ViewerLoadSeconds(form, path));
        rounds = dialog->EventRounds() - before;
    }
    project.reset();
    // Columns: the bare loader (as orlex-info reads); the loader driving the shown
    // progress dialog; the viewer's whole load procedure, which also hands the
    // project to the view and paints it once.
    std::printf(
        "| file | bare loader (s) | with progress dialog (s) | dialog / bare | viewer load (s) "
        "| viewer / bare | event rounds |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    std::printf("| %s | %.3f | %.3f | %.3f | %.3f | %.3f | %d |\n",
                qPrintable(QFileInfo(path).fileName()), bare, withDialog, withDialog / bare, viewer,
                viewer / bare, rounds);
    return 0;
}
