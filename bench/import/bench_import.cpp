// bench_import SIZE_MB DIR [--keep]: writes a sorted PeTrack file of about SIZE_MB
// megabytes (persons walking at 1.2 m/s, 25 frames a second, in centimetres) into
// DIR, then imports it to a 3D log file and prints the throughput and the peak
// memory. --keep leaves both files in DIR (for /usr/bin/time -v orlex-convert ...).
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "convert.h"
#include "logwriter.h"

namespace {

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const bool keep = argc == 4 && std::string(argv[3]) == "--keep";
    if (argc != 3 && !keep) {
        std::fprintf(stderr, "usage: bench_import SIZE_MB DIR [--keep]\n");
        return 2;
    }
    const double megabytes = std::atof(argv[1]);
    const std::string in = std::string(argv[2]) + "/bench-petrack.txt";
    const std::string out = std::string(argv[2]) + "/bench-petrack.3dl";
    {
        std::FILE* f = std::fopen(in.c_str(), "wb");
        if (!f) return 1;
        std::fputs("# framerate: 25 fps\n# id frame x/cm y/cm z/cm\n", f);
        long bytes = 0;
        for (int id = 1; bytes < megabytes * 1e6; ++id) {
            const double y0 = (id % 200) * 40.0, phase = id * 0.37;
            for (int frame = 0; frame < 1500; ++frame) {
                const double t = frame / 25.0;
                bytes += std::fprintf(f, "%d %d %.2f %.2f 172.50\n", id, frame + id % 100,
                                      120.0 * t, y0 + 20.0 * std::sin(t + phase));
            }
        }
        std::fclose(f);
    }
    std::ifstream size(in, std::ios::binary | std::ios::ate);
    const double fileBytes = static_cast<double>(size.tellg());
    const long before = PeakKiB();

    const auto start = std::chrono::steady_clock::now();
    orlex::import::TImportOptions options;
    const orlex::import::TConversion c = orlex::import::ImportFile(in, options);
    {
        std::ofstream o(out, std::ios::binary);
        orlex::import::WriteLogFile(c, o);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ifstream written(out, std::ios::binary | std::ios::ate);
    std::printf("input %.1f MB, %zu persons, step rate %d, output %.1f MB\n", fileBytes / 1e6,
                c.Persons.size(), c.StepRate, static_cast<double>(written.tellg()) / 1e6);
    std::printf("import %.3f s, %.1f MB/s; peak memory %.1f MB (%.1f MB before)\n", seconds,
                fileBytes / 1e6 / seconds, PeakKiB() / 1024.0, before / 1024.0);
    if (!keep) {
        std::remove(in.c_str());
        std::remove(out.c_str());
    }
    return 0;
}
