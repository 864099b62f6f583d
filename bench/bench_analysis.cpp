// Times the evacuation analysis on a file and measures the memory it needs beyond
// the loaded project. Prints a Markdown table.
//
//   bench_analysis FILE [RUNS [CASE]]
//
// RUNS: best of that many runs (default 3). CASE: 1 to 4 times one case alone, 5 only
// the cancellation.
//
// Then measures how long a cancelled run takes to return, cancelled at several
// points of its work.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "analysis.h"
#include "logfile.h"

namespace {

// A value of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when unknown.
long StatusKb(const std::string& key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

// Lets VmHWM start again from the current resident size.
bool ResetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    return static_cast<bool>(out);
}

// User and system time of the process so far, in seconds.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct TTiming {
    double Best = 1e30;
    double Cpu = 0;  // of the best run
    long ExtraKb = 0;
};

TTiming Measure(const orlex::TLogFile1& project, orlex::TAnalysisOptions options, int runs,
                std::string& summary) {
    TTiming timing;
    for (int i = 0; i < runs; ++i) {
        const long before = StatusKb("VmRSS");
        const bool reset = ResetPeak();
        const double cpu = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        auto result = orlex::TEvacuationAnalysis(project, {}, options).Run();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long extra = reset ? StatusKb("VmHWM") - before : -1;
        if (seconds < timing.Best) {
            timing.Best = seconds;
            timing.Cpu = CpuSeconds() - cpu;
        }
        if (extra > timing.ExtraKb) timing.ExtraKb = extra;
        if (result && result->EvacuationTime) {
            summary = "evacuation time " + std::to_string(*result->EvacuationTime) + " s, " +
                      std::to_string(result->Congested.size()) + " congested cells";
        }
    }
    return timing;
}

// Milliseconds from Cancel() to the end of a run cancelled after delay seconds.
double CancelLatency(const orlex::TLogFile1& project, double delay) {
    orlex::TEvacuationAnalysis analysis(project, {}, {true, 2});
    std::chrono::steady_clock::time_point cancelled;
    std::thread worker([&] { analysis.Run(); });
    std::this_thread::sleep_for(std::chrono::duration<double>(delay));
    cancelled = std::chrono::steady_clock::now();
    analysis.Cancel();
    worker.join();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - cancelled)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: bench_analysis FILE [RUNS [CASE]]\n", stderr);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    orlex::TLogFile1 project("Deck");
    orlex::TNullProgress progress;
    orlex::TNullMessages messages;
    if (!project.LoadFromFile(argv[1], progress, messages)) {
        std::fprintf(stderr, "bench_analysis: cannot read %s\n", argv[1]);
        return 1;
    }
    const long projectPeak = StatusKb("VmHWM");
    std::string summary;
    struct {
        const char* Name;
        orlex::TAnalysisOptions Options;
    } const cases[] = {
        {"curves and exit times, 1 thread", {false, 1}},
        {"curves and exit times, 2 threads", {false, 2}},
        {"everything, 1 thread", {true, 1}},
        {"everything, 2 threads", {true, 2}},
    };
    std::printf(
        "Project: %d persons, %lld steps, %d decks of %d x %d cells; peak RSS after "
        "loading %.0f MB; best of %d runs.\n\n",
        project.PersonCount(), static_cast<long long>(project.TotalSteps()), project.DeckCount(),
        project.XMax, project.YMax, projectPeak / 1024.0, runs);
    std::printf(
        "| analysis | wall time | CPU time | extra peak memory | share of the project's peak RSS "
        "|\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    // CASE (1 to 4) measures one case alone, for profiling.
    const int only = argc > 3 ? std::atoi(argv[3]) : 0;
    int index = 0;
    for (const auto& c : cases) {
        if (++index != only && only > 0) continue;
        const TTiming t = Measure(project, c.Options, runs, summary);
        std::printf("| %s | %.3f s | %.3f s | %.1f MB | %.0f %% |\n", c.Name, t.Best, t.Cpu,
                    t.ExtraKb / 1024.0, projectPeak > 0 ? 100.0 * t.ExtraKb / projectPeak : 0.0);
        std::fflush(stdout);
    }
    std::printf("\nResult: %s.\n", summary.c_str());
    if (only > 0 && only <= 4) return 0;  // 5: the cancellation alone
    std::printf("\nCancel() to the end of the run (2 threads), cancelled after:");
    for (const double delay : {0.05, 0.3, 1.0, 2.0}) {
        std::printf(" %.2f s: %.1f ms;", delay, CancelLatency(project, delay));
    }
    std::printf("\n");
    return 0;
}
