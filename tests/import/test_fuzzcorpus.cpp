// The seed corpora of the import's fuzz targets, replayed through the same drivers:
// nothing crashes, and the good seeds are accepted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "importfuzz.h"

namespace orlex::fuzz {
namespace {

namespace fs = std::filesystem;

template <typename Driver>
int Replay(const char* folder, Driver driver, int& files) {
    int accepted = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(ORLEX_SOURCE_DIR) / "fuzz" / folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        const std::string data = buffer.str();
        accepted += driver(data.data(), data.size()) > 0 ? 1 : 0;
        ++files;
    }
    return accepted;
}

TEST(ImportFuzzCorpus, PeTrackSeedsReplay) {
    int files = 0;
    const int accepted = Replay("corpus-petrack", RunPeTrack, files);
    EXPECT_GE(files, 5);
    EXPECT_GE(accepted, 3);  // the good seeds; the others are refused, not crashed on
}

TEST(ImportFuzzCorpus, JuPedSimSeedsReplay) {
    int files = 0;
    const int accepted = Replay("corpus-jupedsim", RunJuPedSim, files);
    EXPECT_GE(files, 3);
    EXPECT_EQ(accepted, 3);
}

TEST(ImportFuzzCorpus, PathfinderSeedsReplay) {
    int files = 0;
    const int accepted = Replay("corpus-pathfinder", RunPathfinder, files);
    EXPECT_GE(files, 4);
    EXPECT_GE(accepted, 2);
}

TEST(ImportFuzzCorpus, VadereSeedsReplay) {
    int files = 0;
    EXPECT_GE(Replay("corpus-vadere", RunVadere, files), 2);
    EXPECT_GE(files, 4);
    files = 0;
    EXPECT_GE(Replay("corpus-vaderescenario", RunVadereScenario, files), 2);
    EXPECT_GE(files, 4);
}

TEST(ImportFuzzCorpus, CrowditSeedsReplay) {
    int files = 0;
    EXPECT_GE(Replay("corpus-crowdit", RunCrowdit, files), 2);
    EXPECT_GE(files, 4);
    files = 0;
    EXPECT_GE(Replay("corpus-crowditfloor", RunCrowditFloor, files), 2);
    EXPECT_GE(files, 4);
}

TEST(ImportFuzzCorpus, JuPedSimGeometrySeedsReplay) {
    int files = 0;
    EXPECT_GE(Replay("corpus-jpsgeometry", RunJuPedSimGeometry, files), 2);
    EXPECT_GE(files, 4);
}

}  // namespace
}  // namespace orlex::fuzz
