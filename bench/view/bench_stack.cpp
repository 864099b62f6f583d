// Frame time of all decks and of the plan view against the single-deck view, and
// the process's peak memory with one of them, through the offscreen view (the
// scene renderer the window draws with):
//
//   bench_stack FILE [--size WxH] [--frames N] [--step K]
//       times, in one run: the busiest deck (most quads) alone from the top camera;
//       all decks from the oblique camera that fits the stack (that deck in full);
//       the plan view of that deck and of all decks; and the top view again.
//       Prints a Markdown table: the best and the median frame of each.
//   bench_stack FILE --memory single|all [--size WxH] [--frames N] [--step K]
//       draws N frames of one of the two and prints the peak resident set (VmHWM);
//       run once each, in separate processes.
//
// Each frame is drawn and read back as a video frame is (RenderRgb); the persons
// stand where they are after K steps (default 240).
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "interfaces.h"
#include "logfile.h"
#include "offscreenview.h"
#include "playback.h"
#include "projectscene.h"

using namespace orlex;

namespace {

struct TStderrMessages final : IMessages {
    TMsgResult ShowMessage(const std::string& text, const std::string&, TMsgIcon,
                           TMsgButtons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return TMsgResult::Ok;
    }
};

// Peak resident set of this process in MiB (VmHWM), or -1.
double PeakMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

struct TCase {
    const char* Name;
    bool Stack;
    bool Plan;
    double Theta;
};

struct TTimes {
    double Best = -1, Median = -1;
};

// Milliseconds per frame after two unmeasured ones: the best (the machine may be
// shared) and the median.
TTimes TimeFrames(TOffscreenView& view, const TSceneInput& scene, const TCamera& camera, int w,
                  int h, int frames, std::vector<std::uint8_t>& rgb) {
    for (int k = 0; k < 2; ++k) view.RenderRgb(scene, camera, w, h, rgb);
    std::vector<double> ms;
    for (int k = 0; k < frames; ++k) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!view.RenderRgb(scene, camera, w, h, rgb)) return {};
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const char* file = nullptr;
    const char* memory = nullptr;
    int w = 1280, h = 720, frames = 20, step = 240;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--size") && more) {
            std::sscanf(argv[++i], "%dx%d", &w, &h);
        } else if (!std::strcmp(argv[i], "--frames") && more) {
            frames = std::max(1, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--step") && more) {
            step = std::max(0, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--memory") && more) {
            memory = argv[++i];
        } else {
            file = argv[i];
        }
    }
    if (!file || w < 16 || h < 16) {
        std::fprintf(stderr,
                     "usage: bench_stack FILE [--memory single|all] [--size WxH] [--frames N] "
                     "[--step K]\n");
        return 2;
    }
    TNullProgress progress;
    TStderrMessages messages;
    TLogFile1 project("Deck");
    if (!project.LoadFromFile(file, progress, messages)) return 1;
    TPlayback playback;
    playback.SetProject(&project);
    playback.SeekTo(step);

    const int deck = BusiestDeck(project);
    TSceneInput scene = ProjectScene(project, deck, playback.StepCounter);
    const double aspect = static_cast<double>(w) / h;
    TOffscreenView view;
    if (!view.Create()) {
        std::fprintf(stderr, "bench_stack: %s\n", qPrintable(view.Problem()));
        return 1;
    }
    std::vector<std::uint8_t> rgb;

    if (memory) {
        scene.StackAll = !std::strcmp(memory, "all");
        const TCamera camera = FitScene(scene, 0.0, scene.StackAll ? kStackTheta : 0.0, aspect);
        for (int k = 0; k < frames; ++k) view.RenderRgb(scene, camera, w, h, rgb);
        std::printf("| %s | %.0f MiB |\n", scene.StackAll ? "all decks" : "one deck", PeakMiB());
        return 0;
    }

    view.RenderRgb(scene, FitScene(scene, 0.0, 0.0, aspect), w, h, rgb);
    std::printf("Drawn through: %s\n", qPrintable(view.Backend()));
    std::printf("File: %s, %d decks, %d persons, after %d steps; deck %d (busiest, %d quads)\n\n",
                file, project.DeckCount(), project.PersonCount(), playback.StepCounter, deck,
                project.Decks[static_cast<std::size_t>(deck)].QuadCount());
    std::printf(
        "| frame (%d x %d) | best of %d, ms | median, ms | best vs. top view "
        "|\n|---|---|---|---|\n",
        w, h, frames);
    const TCase cases[] = {{"one deck, top camera", false, false, 0.0},
                           {"all decks, stack camera", true, false, kStackTheta},
                           {"plan view, one deck", false, true, 0.0},
                           {"plan view, all decks", true, true, 0.0},
                           {"one deck, top camera (again)", false, false, 0.0}};
    double top = 0;
    for (const TCase& c : cases) {
        scene.StackAll = c.Stack;
        scene.Plan = c.Plan;
        const TCamera camera = FitScene(scene, 0.0, c.Theta, aspect);
        const TTimes ms = TimeFrames(view, scene, camera, w, h, frames, rgb);
        if (ms.Best < 0) {
            std::fprintf(stderr, "bench_stack: %s\n", qPrintable(view.Problem()));
            return 1;
        }
        if (top == 0) top = ms.Best;
        std::printf("| %s | %.1f | %.1f | %.2f x |\n", c.Name, ms.Best, ms.Median, ms.Best / top);
        std::fflush(stdout);
    }
    return 0;
}
