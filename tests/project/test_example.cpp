// The small example project end to end: header, caption, cells, quads, progress,
// persons, saved counts and the report.
#include <gtest/gtest.h>

#include "projects.h"

using namespace orlex::test;

namespace orlex {
namespace {

TEST(Example, HeaderDeckAndProgress) {
    TLoaded loaded = LoadText(kExampleFile);
    const TLogFile1& p = *loaded.Project;
    EXPECT_EQ(p.PMax, 2);
    EXPECT_EQ(p.XMax, 6);
    EXPECT_EQ(p.YMax, 4);
    EXPECT_EQ(p.ZMax, 1);
    EXPECT_EQ(p.VMax, 2);
    EXPECT_EQ(p.TOff, 30);
    ASSERT_EQ(p.DeckCount(), 1);
    EXPECT_EQ(p.GetDeckCaption(0), "Main deck");
    EXPECT_EQ(p.GetDeckCaption(-1), "error");
    EXPECT_EQ(p.GetDeckCaption(1), "error");
    EXPECT_EQ(p.Decks[0].CellCount, 24);
    EXPECT_TRUE(loaded.Recorder.Messages.empty());
    const std::vector<std::string> expected = {
        "Loading header...", "Loading Deck: Main deck...", "Loading start positions...",
        "Loading movement data...", "Creating quad-list for Deck: 0"};
    EXPECT_EQ(loaded.Recorder.Infos, expected);
}

}  // namespace
}  // namespace orlex
