// bench_shots FILE [--steps N] [--size WxH] [--deck D]
//
// Plays N forward steps of FILE in a bare 3D view, once with a synchronous
// repaint per step only and once as a screen-shot series (one JPEG per step,
// read back, scaled and encoded at the view's size), and prints the time per
// step of both, the cost per shot and their ratio.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>
#include <cstdio>

#include "cellview3d.h"
#include "logfile.h"
#include "playback.h"
#include "screenshots.h"

namespace {

class THost final : public orlex::IPlaybackHost {
public:
    orlex::TCellView3D* View = nullptr;
    QString Directory;
    bool Series = false;
    double ShotMs = 0;
    int Shots = 0;
    void BeforeStep(int counter) override {
        if (!Series) return;
        QElapsedTimer timer;
        timer.start();
        QString error;
        if (!View->SaveCanvasToFile(QDir(Directory).filePath(orlex::FormatShotNumber(counter)), 0,
                                    0, &error))
            std::fprintf(stderr, "shot failed: %s\n", qPrintable(error));
        ShotMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        ++Shots;
    }
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    void Paint() override { View->Paint(); }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({{"steps", "Steps per run (default 100).", "N"},
                       {"size", "View size (default 1280x720).", "WxH"},
                       {"deck", "Deck shown (default 0).", "D"}});
    parser.addPositionalArgument("file", "The 3D log file.");
    parser.process(app);
    if (parser.positionalArguments().size() != 1) return 2;
    const int steps = parser.isSet("steps") ? parser.value("steps").toInt() : 100;
    const QStringList size = (parser.isSet("size") ? parser.value("size") : "1280x720").split('x');
    const int width = size.value(0).toInt(), height = size.value(1).toInt();

    orlex::TNullProgress progress;
    orlex::TNullMessages messages;
    orlex::TLogFile1 project("Deck");
    if (!project.LoadFromFile(parser.positionalArguments()[0].toStdString(), progress, messages))
        return 1;

    orlex::TCellView3D view;
    view.resize(width, height);
    view.show();
    QElapsedTimer wait;
    wait.start();
    while (!(view.windowHandle() && view.windowHandle()->isExposed()) && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    view.InitView(project.XMax, project.YMax, project.DeckCount(), project.PersonCount());
    view.SetDecks(project.DeckData());
    view.SetPersons(project.PersonData());
    view.SetCurrentDeck(parser.isSet("deck") ? parser.value("deck").toInt() : 0);
    view.Paint();

    QTemporaryDir directory;
    THost host;
    host.View = &view;
    host.Directory = directory.path();
    orlex::TPlayback playback;
    playback.SetHost(&host);
    playback.SetProject(&project);

    auto run = [&](bool series) {
        playback.ResetToStart();
        host.Series = series;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < steps; ++i) playback.StepForward();
        return static_cast<double>(timer.nsecsElapsed()) / 1e6 / steps;
    };
    run(false);  // warm up
    const double plain = run(false);
    host.ShotMs = 0;
    host.Shots = 0;
    const double series = run(true);
    const double perShot = host.ShotMs / std::max(1, host.Shots);
    // The part of a shot that draws the frame again and reads it back.
    QElapsedTimer grabTimer;
    grabTimer.start();
    for (int i = 0; i < 20; ++i) (void)view.grabFramebuffer();
    const double grab = static_cast<double>(grabTimer.nsecsElapsed()) / 1e6 / 20;
    std::printf(
        "| view | steps | step without shots | step with shots | cost per shot | of it: draw and "
        "read back | of it: convert, scale, encode, write | ratio |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    std::printf("| %dx%d | %d | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.2f |\n", width,
                height, steps, plain, series, perShot, grab, perShot - grab, series / plain);
    return 0;
}
