// A 3D log file larger than 2 GB: everything that follows the first 2^31 bytes
// (the cells, the tracks) is read, and counts past 2^31 steps add up exactly.
// The test writes the file itself: one deck whose caption line is long enough to
// push the rest past 2^31 bytes, and persons whose tracks are long packed runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "logfile.h"
#include "osfile.h"
#include "recorders.h"

namespace orlex {
namespace {

constexpr std::int64_t kFiller = (std::int64_t{1} << 31) + (std::int64_t{1} << 20);

// Person tracks (stay in place) and the steps each gives.
struct TTrack {
    const char* Text;
    std::int64_t Steps;
};
const TTrack kTracks[] = {
    {"P2000000000x0P147483647x0", 2147483647},
    {"P1000000000x0P1000000000x0P7x0", 2000000007},
    {"0P999999999x0", 1000000000},
};

class LargeFile : public ::testing::Test {
protected:
    void SetUp() override {
        Path_ = Utf8Of(std::filesystem::temp_directory_path() /
                       PathOf("orlex_large_\xE6\xA1\x88\xE4\xBE\x8B.3dl"));
    }
    void TearDown() override { RemoveFile(Path_); }

    static std::string Head() {
        return "<header>\nversion 1\npmax 3\nxmax 6\nymax 4\nzmax 1\nvmax 4\ntoff 0\n</header>\n"
               "<deck>\nlevel 0\ncaption Deck ";
    }
    static std::string Tail() {
        std::string tail =
            "\n(celldata)\n111111\n100001\n1P4x01\n111111\n</deck>\n<persons>\n"
            "<startpositions>\n1 1 0 3 0\n2 1 0 3 0\n3 1 0 3 0\n(movement)\n";
        for (const TTrack& track : kTracks) tail += std::string(track.Text) + "S\n";
        return tail + "</persons>\n";
    }

    bool Write() const {
        std::FILE* file = OpenFile(Path_, "wb");
        if (!file) return false;
        const std::string head = Head();
        bool ok = std::fwrite(head.data(), 1, head.size(), file) == head.size();
        const std::string block(std::size_t{1} << 20, 'a');
        for (std::int64_t left = kFiller; ok && left > 0;
             left -= static_cast<std::int64_t>(block.size()))
            ok = std::fwrite(block.data(), 1, block.size(), file) == block.size();
        const std::string tail = Tail();
        ok = ok && std::fwrite(tail.data(), 1, tail.size(), file) == tail.size();
        return std::fclose(file) == 0 && ok;
    }

    std::string Path_;
};

TEST_F(LargeFile, EverythingPastTwoGigabytesIsReadWithExactStepCounts) {
    ASSERT_TRUE(Write()) << "cannot write " << Path_;
    const std::uintmax_t size = std::filesystem::file_size(PathOf(Path_));
    ASSERT_GT(size, std::uintmax_t{1} << 31);

    TLogFile1 project("Deck");
    test::TRecorder recorder;
    ASSERT_TRUE(project.LoadFromFile(Path_, recorder, recorder));
    EXPECT_TRUE(recorder.Texts().empty()) << recorder.Texts().front();

    // The same project with a short caption, read from memory.
    TLogFile1 small("Deck");
    test::TRecorder quiet;
    const std::string text = Head() + "aaaa" + Tail();
    ASSERT_TRUE(small.LoadFromMemory(text.data(), text.size(), quiet, quiet));

    // The caption is cut, the cells after it are all there.
    ASSERT_EQ(project.Decks.size(), 1u);
    EXPECT_EQ(project.Decks[0].GetCaption().substr(0, 7), "Deck aa");
    EXPECT_EQ(project.Decks[0].CellCount, small.Decks.at(0).CellCount);
    EXPECT_GT(project.Decks[0].CellCount, 0);
    ASSERT_EQ(project.PersonCount(), 3);
    std::int64_t total = 0, expected = 0;
    for (std::size_t i = 0; i < std::size(kTracks); ++i) {
        EXPECT_EQ(project.Persons[i].StepCount, kTracks[i].Steps) << "person " << i + 1;
        EXPECT_EQ(project.Persons[i].StepCount, small.Persons.at(i).StepCount);
        total += project.Persons[i].StepCount;
        expected += kTracks[i].Steps;
    }
    EXPECT_EQ(total, expected);
    EXPECT_GT(total, std::int64_t{1} << 32);
}

}  // namespace
}  // namespace orlex
