// Times LoadFromFile alone: one load of a fresh project in a fresh process, as the
// viewer makes it, without the playback set-up and report that orlex-info adds.
//
//   bench_load FILE      prints "wall_s cpu_s" of the load
//
// Only the loader's public interface is used, so that the same source can be built
// against older code for a comparison in the same run (bench/run_bench.sh, BASE=).
#include <chrono>
#include <cstdio>
#include <ctime>

#include "interfaces.h"
#include "logfile.h"

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_load FILE\n");
        return 2;
    }
    orlex::TNullProgress progress;
    orlex::TNullMessages messages;
    orlex::TLogFile1 project("Deck");
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    if (!project.LoadFromFile(argv[1], progress, messages)) return 1;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.4f %.4f %lld\n", wall, CpuSeconds() - cpu,
                static_cast<long long>(project.TotalSteps()));
    return 0;
}
