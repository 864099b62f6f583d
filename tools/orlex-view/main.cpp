// orlex-view: opens a 3D log file in a bare window that holds only the 3D view.
//
//   orlex-view [--deck N|busiest] [--steps K] [--size WxH] [--grab FILE.png]
//              [--frames F] [--listed] [--all-on-deck] [--no-persons] [--trails]
//              [--pick P] [--step-each-frame] [--overlay] FILE.3dl
//
// With --grab the frame of deck N after K forward steps is drawn offscreen (no
// window; without a display server too) and written to FILE.png, and the program
// exits; with --frames it draws F frames, prints the times and exits.
// --deck busiest picks the deck with the most quads; --all-on-deck moves every
// person's start onto the deck shown; --no-persons hands the view no persons;
// --trails shows everyone's trails of the last 10 seconds, --pick person P
// with its trail; --step-each-frame times a step and a frame together, as the
// running animation does; --overlay lays a test pattern colour map on every
// deck (diagonal bands, every ninth cell outlined, a colour bar).
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "cellview3d.h"
#include "interfaces.h"
#include "logfile.h"
#include "offscreenview.h"
#include "playback.h"
#include "trails.h"

namespace {

// Loading messages go to stderr; questions are answered with the default.
class TStderrMessages final : public orlex::IMessages {
public:
    orlex::TMsgResult ShowMessage(const std::string& text, const std::string& caption,
                                  orlex::TMsgIcon, orlex::TMsgButtons buttons) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return orlex::DefaultAnswer(buttons);
    }
};

bool ParseSize(const QString& text, int& w, int& h) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return false;
    w = m.captured(1).toInt();
    h = m.captured(2).toInt();
    return w >= 1 && h >= 1 && w <= 16384 && h <= 16384;
}

bool ParseCount(const QCommandLineParser& parser, const QString& name, int& value) {
    if (!parser.isSet(name)) return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    return ok && value >= 0;
}

// Wall and process CPU time (all threads) of repeated frames.
class TFrameTimes {
public:
    void Start() {
        Wall_.start();
        Cpu_ = std::clock();
    }
    void Stop() {
        WallMs_.push_back(static_cast<double>(Wall_.nsecsElapsed()) / 1e6);
        CpuMs_.push_back(1000.0 * static_cast<double>(std::clock() - Cpu_) / CLOCKS_PER_SEC);
    }
    void Print(const char* what) {
        if (WallMs_.empty()) return;
        std::printf(
            "  %s wall: median %7.2f ms, min %7.2f ms, mean %7.2f ms | cpu: median %7.2f ms\n",
            what, Median(WallMs_), *std::min_element(WallMs_.begin(), WallMs_.end()), Mean(WallMs_),
            Median(CpuMs_));
    }

private:
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    static double Mean(const std::vector<double>& v) {
        double sum = 0;
        for (double x : v) sum += x;
        return sum / static_cast<double>(v.size());
    }
    QElapsedTimer Wall_;
    std::clock_t Cpu_ = 0;
    std::vector<double> WallMs_, CpuMs_;
};

// Diagonal bands from blue to red, half transparent, on every deck.
std::vector<orlex::TFloorOverlay> TestPattern(int columns, int rows, int decks) {
    orlex::TFloorOverlay overlay;
    overlay.Columns = columns;
    overlay.Rows = rows;
    overlay.Title = "Test pattern";
    const std::size_t cells =
        columns > 0 && rows > 0 ? static_cast<std::size_t>(columns) * rows : 0;
    overlay.Rgba.resize(cells);
    overlay.Outline.resize(cells);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * columns + c;
            const unsigned t = static_cast<unsigned>((c + r) % 64) * 4;
            overlay.Rgba[i] = orlex::OverlayRgba(t, 64, 255 - t, 160);
            overlay.Outline[i] = c % 9 == 0 && r % 9 == 0;
        }
    }
    overlay.Legend = {{0.0f, orlex::OverlayRgba(0, 64, 255), "0"},
                      {0.5f, orlex::OverlayRgba(128, 64, 127), "0.5"},
                      {1.0f, orlex::OverlayRgba(255, 64, 0), "1"}};
    return std::vector<orlex::TFloorOverlay>(static_cast<std::size_t>(std::max(decks, 0)), overlay);
}

int Fail(const char* text) {
    std::fprintf(stderr, "orlex-view: %s\n", text);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orlex-view"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the 3D view of a 3D log file."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("deck"), QStringLiteral("Deck to show, 0-based (default 0)."),
         QStringLiteral("N")},
        {QStringLiteral("steps"), QStringLiteral("Forward steps before showing (default 0)."),
         QStringLiteral("K")},
        {QStringLiteral("size"), QStringLiteral("Window size (default 1280x720)."),
         QStringLiteral("WxH")},
        {QStringLiteral("grab"), QStringLiteral("Write the rendered frame to FILE and exit."),
         QStringLiteral("FILE")},
        {QStringLiteral("frames"), QStringLiteral("Draw F frames, print the frame times, exit."),
         QStringLiteral("F")},
        {QStringLiteral("listed"),
         QStringLiteral("Draw persons with one display-list call each (for comparison).")},
        {QStringLiteral("all-on-deck"),
         QStringLiteral("Start every person on the deck shown (benchmarks).")},
        {QStringLiteral("no-persons"), QStringLiteral("Show the deck without persons.")},
        {QStringLiteral("listed-quads"),
         QStringLiteral("Draw quads with one glBegin/glEnd each (for comparison).")},
        {QStringLiteral("trails"), QStringLiteral("Show everyone's trails of the last 10 s.")},
        {QStringLiteral("step-each-frame"),
         QStringLiteral("With --frames: one step forward before each frame on screen.")},
        {QStringLiteral("overlay"), QStringLiteral("Lay a test pattern colour map on the floor.")},
        {QStringLiteral("pick"), QStringLiteral("Pick person P (drawn yellow, with its trail)."),
         QStringLiteral("P")},
    });
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The 3D log file."));
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) return Fail("exactly one 3D log file is needed (see --help)");
    int deck = 0, steps = 0, frames = 0, width = 1280, height = 720;
    const bool busiest = parser.value(QStringLiteral("deck")) == QStringLiteral("busiest");
    if (!busiest && !ParseCount(parser, QStringLiteral("deck"), deck)) return Fail("bad --deck");
    if (!ParseCount(parser, QStringLiteral("steps"), steps)) return Fail("bad --steps");
    if (!ParseCount(parser, QStringLiteral("frames"), frames)) return Fail("bad --frames");
    const bool stepEachFrame = parser.isSet(QStringLiteral("step-each-frame"));
    int pick = -1;
    if (!ParseCount(parser, QStringLiteral("pick"), pick)) return Fail("bad --pick");
    if (parser.isSet(QStringLiteral("size")) &&
        !ParseSize(parser.value(QStringLiteral("size")), width, height))
        return Fail("bad --size, expected WxH such as 1280x720");

    TStderrMessages messages;
    orlex::TNullProgress progress;
    orlex::TLogFile1 project("Deck");
    QElapsedTimer clock;
    clock.start();
    if (!project.LoadFromFile(files.first().toStdString(), progress, messages)) return 1;
    std::fprintf(stderr, "loaded %s: %d x %d cells, %d decks, %d persons in %lld ms\n",
                 project.FileName.c_str(), project.XMax, project.YMax, project.DeckCount(),
                 project.PersonCount(), static_cast<long long>(clock.elapsed()));
    if (busiest) {
        for (int d = 0; d < project.DeckCount(); ++d)
            if (project.Decks[d].QuadCount() > project.Decks[deck].QuadCount()) deck = d;
    }
    if (project.DeckCount() == 0) {
        std::fprintf(stderr, "the project has no decks; the view shows the background only\n");
        deck = 0;
    } else if (deck >= project.DeckCount()) {
        std::fprintf(stderr, "deck %d does not exist; showing deck 0\n", deck);
        deck = 0;
    }
    if (parser.isSet(QStringLiteral("all-on-deck"))) {
        for (orlex::TPersonData& p : project.Persons)
            p.SetStart(p.StartX, p.StartY, project.YMax, project.XMax, p.Tag, p.StartHeading, deck);
    }
    int onDeck = 0;
    for (const orlex::TPersonData& p : project.Persons)
        if (p.Level == deck) ++onDeck;
    if (project.DeckCount() > 0) {
        int floors = 0;
        for (const orlex::TQuad& q : project.Decks[deck].Quads)
            if (q.Normal[2] > 0.5f && q.Vertices[0][2] == 0.0f) ++floors;
        std::fprintf(stderr,
                     "deck %d: %d quads (%d floor quads, the rest faces of blocks), %d persons "
                     "standing on it\n",
                     deck, project.Decks[deck].QuadCount(), floors, onDeck);
    }

    orlex::TPlayback playback;
    playback.SetProject(&project);
    playback.SetMessages(&messages);
    for (int k = 0; k < steps; ++k) playback.StepForward();
    if (steps > 0 && project.DeckCount() > 0) {
        int still = 0;
        for (const orlex::TPersonData& p : project.Persons)
            if (p.Level == deck) ++still;
        std::fprintf(stderr, "after %d steps: %d persons on deck %d\n", steps, still, deck);
    }

    orlex::TCellView3D view;
    view.SetMessages(&messages);
    view.BatchPersons = !parser.isSet(QStringLiteral("listed"));
    view.BatchQuads = !parser.isSet(QStringLiteral("listed-quads"));
    view.setWindowTitle(QStringLiteral("orlex-view - %1").arg(files.first()));
    view.resize(width, height);
    view.InitView(project.XMax, project.YMax, project.DeckCount(), project.PersonCount());
    view.SetDecks(project.DeckData());
    if (!parser.isSet(QStringLiteral("no-persons"))) view.SetPersons(project.PersonData());
    view.SetCurrentDeck(0);
    view.SetCurrentDeck(deck);
    view.SetPlayback(&playback);
    view.SetShowAllTrails(parser.isSet(QStringLiteral("trails")));
    if (pick >= project.PersonCount()) return Fail("--pick names no person of the file");
    view.SetPickedPerson(pick);
    if (parser.isSet(QStringLiteral("overlay")))
        view.SetOverlays(TestPattern(project.XMax, project.YMax, project.DeckCount()));
    view.IsControlEnabled = true;

    const bool grab = parser.isSet(QStringLiteral("grab"));
    if (grab) {
        orlex::TOffscreenView offscreen;
        const QImage image = offscreen.Render(view.SceneInput(), view.Camera(), width, height);
        if (image.isNull()) {
            std::fprintf(stderr, "orlex-view: the frame cannot be drawn: %s\n",
                         qPrintable(offscreen.Problem()));
            return 3;
        }
        std::fprintf(stderr, "drawn through %s\n", qPrintable(offscreen.Backend()));
        const QString file = parser.value(QStringLiteral("grab"));
        if (!image.save(file)) {
            std::fprintf(stderr, "orlex-view: cannot write %s\n", qPrintable(file));
            QFile::remove(file);
            return 4;
        }
        return 0;
    }
    view.show();
    if (frames == 0) return app.exec();

    // Wait until the window is up and the context exists.
    clock.restart();
    while (!view.HasContext() && clock.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!view.ContextProblem().isEmpty()) break;
    }
    if (!view.HasContext()) {
        std::fprintf(stderr, "orlex-view: no usable OpenGL context: %s\n",
                     qPrintable(view.ContextProblem()));
        return 3;
    }

    {
        view.Paint();  // warm-up
        QApplication::processEvents();
        TFrameTimes onScreen, offScreen;
        for (int i = 0; i < frames; ++i) {
            onScreen.Start();
            if (stepEachFrame) playback.StepForward();
            view.Paint();
            QApplication::processEvents();
            onScreen.Stop();
        }
        for (int i = 0; i < frames; ++i) {
            offScreen.Start();
            (void)view.grabFramebuffer();
            offScreen.Stop();
        }
        std::printf("deck %d, %dx%d, persons %s, quads %s, trails %s, %d frames%s\n",
                    view.CurrentDeck, width, height,
                    view.Persons ? (view.BatchPersons ? "batched" : "listed") : "none",
                    view.BatchQuads ? "batched" : "listed", view.ShowAllTrails ? "all" : "none",
                    frames, stepEachFrame ? ", a step before each on screen" : "");
        onScreen.Print("Paint() on screen ");
        offScreen.Print("grabFramebuffer() ");
        if (view.ShowAllTrails) {
            // The trails alone, as each step of a running animation recomputes them.
            orlex::TTrailCache cache;
            TFrameTimes update;
            std::size_t segments = 0;
            for (int i = 0; i < frames; ++i) {
                if (stepEachFrame) playback.StepForward();
                const orlex::TSceneInput scene = view.SceneInput();
                update.Start();
                segments = cache
                               .Segments(scene.Persons, scene.PersonCount, scene.XMax, scene.YMax,
                                         scene.StepCounter, scene.TrailSteps, scene.CurrentDeck)
                               .size() /
                           4;
                update.Stop();
            }
            std::printf("  trails at step %d: %zu segments\n", playback.StepCounter, segments);
            update.Print("trail update      ");
        }
    }
    return 0;
}
