// bench_stats FILE...: the time orlex-stats takes over the files against the time of
// reading them alone with the same loader and the same number of threads (one per
// core), the best of five rounds each. Prints Markdown.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "analysis.h"
#include "logfile.h"
#include "stats.h"

namespace {

class TQuietMessages final : public orlex::IMessages {
public:
    orlex::TMsgResult ShowMessage(const std::string&, const std::string&, orlex::TMsgIcon,
                                  orlex::TMsgButtons buttons) override {
        return DefaultAnswer(buttons);
    }
};

// Reads every file, spread over the threads as orlex-stats spreads them.
void ReadAll(const std::vector<std::string>& files) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
            orlex::TLogFile1 project("Deck");
            orlex::TNullProgress progress;
            TQuietMessages messages;
            project.LoadFromFile(files[i], progress, messages);
        }
    };
    const int count = std::min<int>(orlex::AnalysisThreads(0), static_cast<int>(files.size()));
    std::vector<std::jthread> helpers;
    for (int t = 1; t < count; ++t) helpers.emplace_back(work);
    work();
}

template <typename F>
double Seconds(F&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> files(argv + 1, argv + argc);
    if (files.empty()) {
        std::fputs("Usage: bench_stats FILE...\n", stderr);
        return 2;
    }
    // Taken in turns, so that a busy moment of the machine does not fall on one side only.
    double read = 1e300;
    double stats = 1e300;
    int status = 0;
    for (int round = 0; round < 5; ++round) {
        read = std::min(read, Seconds([&] { ReadAll(files); }));
        stats = std::min(stats, Seconds([&] {
                             std::string out, err;
                             status = orlex::stats::Main(files, out, err);
                         }));
    }
    std::printf(
        "| files | reading them | orlex-stats | ratio | target |\n|---:|---:|---:|---:|---|\n");
    std::printf("| %zu | %.2f s | %.2f s | %.2f | <= 2: **%s** |\n", files.size(), read, stats,
                stats / read, stats <= 2 * read ? "met" : "not met");
    return status;
}
