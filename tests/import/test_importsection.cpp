// The "<import>" section of a converted file: read back by our reader, and skipped
// as unknown top-level words otherwise (the rest of the file loads unchanged).
#include <gtest/gtest.h>

#include "importsupport.h"

namespace orlex::test {
namespace {

std::string WithSection(const std::string& section) {
    std::string text = kExampleFile;
    const std::size_t at = text.find("</header>\n") + 10;
    return text.insert(at, section);
}

TEST(ImportSection, ReadBackAndOtherwiseWithoutEffect) {
    const auto plain = LoadText(kExampleFile);
    const auto with =
        LoadText(WithSection("<import>\norigin -12.5 3.25\ncellsize 0.5\nentry 1 4\n</import>\n"));
    EXPECT_EQ(with.Recorder.Texts(), plain.Recorder.Texts());
    const TLogFile1& a = *plain.Project;
    const TLogFile1& b = *with.Project;
    EXPECT_FALSE(a.Source.Known);
    EXPECT_TRUE(a.EntrySteps.empty());
    ASSERT_TRUE(b.Source.Known);
    EXPECT_DOUBLE_EQ(b.Source.OriginX, -12.5);
    EXPECT_DOUBLE_EQ(b.Source.OriginY, 3.25);
    EXPECT_DOUBLE_EQ(b.Source.CellSize, 0.5);
    EXPECT_EQ(b.EntrySteps, (std::vector<int>{0, 4}));
    // Everything else is as without the section.
    EXPECT_EQ(b.PMax, a.PMax);
    EXPECT_EQ(b.XMax, a.XMax);
    EXPECT_EQ(b.YMax, a.YMax);
    EXPECT_EQ(b.VMax, a.VMax);
    EXPECT_EQ(b.TOff, a.TOff);
    EXPECT_EQ(b.Decks[0].CellCount, a.Decks[0].CellCount);
    EXPECT_EQ(b.Decks[0].QuadCount(), a.Decks[0].QuadCount());
    EXPECT_EQ(b.GetDeckCaption(0), a.GetDeckCaption(0));
    for (int i = 0; i < a.PMax; ++i) {
        EXPECT_EQ(b.Persons[static_cast<std::size_t>(i)].StepCount,
                  a.Persons[static_cast<std::size_t>(i)].StepCount);
        EXPECT_EQ(Entries(b, i).size(), Entries(a, i).size());
    }
}

TEST(ImportSection, NonsenseInsideIsIgnored) {
    const char* sections[] = {
        "<import>\norigin x 1\ncellsize 0.5\n</import>\n",           // no origin
        "<import>\norigin 1 2\ncellsize -1\n</import>\n",            // no cell size
        "<import>\norigin 1 2\ncellsize nan\n</import>\n",           // not finite
        "<import>\nentry 9 4\nentry -1 2\nentry 0 -3\n</import>\n",  // persons out of range
    };
    for (const char* section : sections) {
        SCOPED_TRACE(section);
        const auto loaded = LoadText(WithSection(section));
        EXPECT_TRUE(loaded.Recorder.Messages.empty());
        EXPECT_FALSE(loaded.Project->Source.Known);
        EXPECT_TRUE(loaded.Project->EntrySteps.empty());
        EXPECT_EQ(loaded.Project->PMax, 2);
        EXPECT_EQ(loaded.Project->Decks[0].CellCount, 24);
    }
    // Cut off inside the section: the file is incomplete.
    const auto cut = LoadText(
        "<header>\npmax 1\nxmax 1\nymax 1\nzmax 1\nvmax 1\n</header>\n"
        "<import>\norigin 1 2\n");
    EXPECT_EQ(cut.Recorder.Count("File is incomplete, which might lead to errors."), 1);
}

}  // namespace
}  // namespace orlex::test
