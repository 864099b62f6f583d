// Times the exits, 10 measurement lines and 10 measurement areas against the same
// analysis without them, in one process on one loaded project. Prints Markdown.
//
//   bench_measure FILE [RUNS [THREADS]]
//
// The lines cross every deck from south to north at evenly spaced columns, the
// areas are squares of 4 x 4 m along the middle of every deck, so that they meet
// the persons wherever the tracks run.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "analysis.h"
#include "logfile.h"

namespace {

// User and system time of the process so far, in seconds.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The best wall time of runs; cpu gets the least CPU time of a run.
double BestSeconds(const orlex::TLogFile1& project, const orlex::TAnalysisOptions& options,
                   int runs, std::string& figures, double& cpu) {
    double best = 1e30;
    cpu = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double cpuStart = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const auto result = orlex::TEvacuationAnalysis(project, {}, options).Run();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu = std::min(cpu, CpuSeconds() - cpuStart);
        if (!result) continue;
        std::size_t crossings = 0, inside = 0;
        for (const auto& l : result->Lines) crossings += l.CrossingTimes.size();
        for (const auto& a : result->Areas)
            for (const int n : a.Count) inside += static_cast<std::size_t>(n);
        figures = std::to_string(result->Exits.size()) + " exits, " + std::to_string(crossings) +
                  " crossings, " + std::to_string(inside) + " person-points in areas";
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: bench_measure FILE [RUNS [THREADS]]\n", stderr);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const int threads = argc > 3 ? std::max(1, std::atoi(argv[3])) : 2;
    orlex::TLogFile1 project("Deck");
    orlex::TNullProgress progress;
    orlex::TNullMessages messages;
    if (!project.LoadFromFile(argv[1], progress, messages)) {
        std::fprintf(stderr, "bench_measure: cannot read %s\n", argv[1]);
        return 1;
    }
    const orlex::TMetreFrame f = orlex::MetreFrameOf(project, 0.4);
    const double width = f.Columns * f.CellSize, height = f.Rows * f.CellSize;
    const int decks = std::max(1, static_cast<int>(project.Decks.size()));
    orlex::TMeasureSet set;
    for (int i = 0; i < 10; ++i) {
        const double x = f.OriginX + width * (i + 0.5) / 10;
        set.Lines.push_back(
            {"Line " + std::to_string(i), i % decks, {x, f.OriginY}, {x, f.OriginY + height}});
        const double cx = f.OriginX + width * (i + 0.5) / 10, cy = f.OriginY + height / 2;
        set.Areas.push_back(
            {"Area " + std::to_string(i),
             i % decks,
             {{cx - 2, cy - 2}, {cx + 2, cy - 2}, {cx + 2, cy + 2}, {cx - 2, cy + 2}}});
    }
    std::printf("%zu persons, %d decks of %d x %d cells, %d threads, best of %d runs\n\n",
                project.Persons.size(), decks, f.Columns, f.Rows, threads, runs);
    std::puts("| analysis | wall time | CPU time | ratio of CPU times | found |");
    std::puts("|---|---|---|---|---|");
    struct {
        const char* Name;
        bool Density;
        bool Measurements;
        const orlex::TMeasureSet* Set;
    } const cases[] = {
        {"everything, without measurements", true, false, nullptr},
        {"everything, with the exits", true, true, nullptr},
        {"everything, with the exits, 10 lines and 10 areas", true, true, &set},
        {"curves only, without measurements", false, false, nullptr},
        {"curves only, with the exits, 10 lines and 10 areas", false, true, &set},
    };
    double base = 0;
    for (const auto& c : cases) {
        orlex::TAnalysisOptions options;
        options.Density = c.Density;
        options.Threads = threads;
        options.Measurements = c.Measurements;
        options.Measures = c.Set;
        std::string figures;
        double cpu = 0;
        const double seconds = BestSeconds(project, options, runs, figures, cpu);
        if (!c.Measurements) base = cpu;
        std::printf("| %s | %.3f s | %.3f s | %.2f | %s |\n", c.Name, seconds, cpu, cpu / base,
                    c.Measurements ? figures.c_str() : "-");
    }
    return 0;
}
