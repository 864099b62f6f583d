// The reads of the format: integers, packed runs, layout freedom, captions,
// header warnings and deck sections.
#include <gtest/gtest.h>

#include <fstream>

#include "projects.h"
#include "tempfolder.h"

using namespace orlex::test;

namespace orlex {
namespace {

std::string Header(const std::string& body) {
    return "<header>\n" + body + "\n</header>\n";
}

// A one-deck file of the given size with cell data text.
std::string OneDeck(int x, int y, const std::string& cells, const std::string& extra = "") {
    return Header("pmax 1 xmax " + std::to_string(x) + " ymax " + std::to_string(y) +
                  " zmax 1 vmax 1") +
           "<deck>\nlevel 0\n" + extra + "(celldata)\n" + cells + "\n</deck>\n";
}

std::string Codes(const TDeck& deck) {
    std::string out;
    for (const TCell& c : deck.Cells) out += std::to_string(c.Code) + ",";
    return out;
}

TEST(Reader, IntegersUseAutomaticBase) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {{"0x10", 16}, {"0X1f", 31}, {"010", 8}, {"10", 10},
                 {"-7", -7},   {"+3", 3},    {"0", 0},   {"99999999999", 2147483647}};
    for (const Case& c : cases) {
        TLoaded l = LoadText(Header(std::string("xmax ") + c.text));
        EXPECT_EQ(l.Project->XMax, c.expected) << c.text;
    }
}

TEST(Reader, HeaderKeywordsRepeatAndDefault) {
    TLoaded l = LoadText(Header("pmax 1 pmax 3 xmax 2 ymax 2 zmax 1 vmax 4 stray 77"));
    EXPECT_EQ(l.Project->PMax, 3);
    EXPECT_EQ(l.Project->TOff, 0);
    EXPECT_EQ(l.Project->VMax, 4);
    EXPECT_TRUE(l.Recorder.Messages.empty());
}

TEST(Reader, HeaderWarningsInOrder) {
    struct Case {
        std::string text;
        std::vector<std::string> messages;
    } cases[] = {
        {Header("version 2 pmax 1 xmax 1 ymax 1 zmax 1 vmax 1"),
         {"The loaded file is not of version 1.\nThis can result in errors!"}},
        {Header("pmax 0 xmax 1 ymax 1 zmax 1 vmax 1"), {"There are no people in this project!"}},
        {Header("pmax 1 xmax 1 ymax 1 zmax 0 vmax 1"), {"One of the main dimensions is <= 0!"}},
        {Header("pmax 1 xmax 1 ymax 1 zmax 1 vmax -1"),
         {"The maximum speed of the population is <= 0!"}},
        {"<header>\npmax 2 xmax 5",
         {"File is incomplete, which might lead to errors.", "One of the main dimensions is <= 0!",
          "The maximum speed of the population is <= 0!"}},
    };
    for (const Case& c : cases) {
        TLoaded l = LoadText(c.text);
        std::vector<std::string> texts;
        for (const TMessage& m : l.Recorder.Messages) {
            texts.push_back(m.Text);
            EXPECT_EQ(m.Caption, "Warning");
        }
        EXPECT_EQ(texts, c.messages) << c.text;
    }
}

TEST(Reader, PackedRunsAndLayoutGiveTheSameGrid) {
    const std::string reference =
        Codes(LoadText(OneDeck(12, 2, "000000000000 111111111111")).Project->Decks[0]);
    for (const char* cells :
         {"P12x0 P12x1", "P 1 2 x 0\nP12x1", "0 0 0 0 0 0\n0 0 0 0 0 0 P1 2x1", "P6x0P6x0P12x1"}) {
        TLoaded l = LoadText(OneDeck(12, 2, cells));
        EXPECT_EQ(Codes(l.Project->Decks[0]), reference) << cells;
        EXPECT_EQ(l.Project->Decks[0].CellCount, 24) << cells;
    }
}

TEST(Reader, CellCharactersAndCounting) {
    // The closing run of three is cut to the one cell left in the row.
    TLoaded l = LoadText(OneDeck(9, 1, "012345.xP3x."));
    const TDeck& d = l.Project->Decks[0];
    const uint8_t expected[9] = {0, 1, 64, 32, 8, 16, 4, 4, 4};
    for (int c = 0; c < 9; ++c) EXPECT_EQ(d.Cells[c].Code, expected[c]) << c;
    EXPECT_EQ(d.CellCount, 6);

    TLoaded voids = LoadText(OneDeck(3, 1, "P3x."));
    EXPECT_EQ(voids.Project->Decks[0].CellCount, 0);
    EXPECT_EQ(voids.Project->Decks[0].QuadCount(), 0);
}

TEST(Reader, RunPastRowEndIsCutAtTheRow) {
    TLoaded l = LoadText(OneDeck(3, 2, "P5x1 222"));
    const TDeck& d = l.Project->Decks[0];
    EXPECT_EQ(Codes(d), "1,1,1,64,64,64,");
    EXPECT_EQ(d.CellCount, 6);
}

TEST(Reader, CaptionRules) {
    struct Case {
        std::string deckBody;
        std::string caption;
    } cases[] = {
        {"caption    Upper deck\n", "Upper deck"},
        {"caption Upper deck  \n", "Upper deck  "},
        {"caption \tTabbed\n", "\tTabbed"},
        {"caption Main deck\r\n", "Main deck"},
        {"caption First\ncaption\nlevel 0\n", "First"},
        {"caption D\xc3\xa9\x63k\n", "D\xc3\xa9\x63k"},                // UTF-8 stays
        {"caption D\xe9\x63k \x80\n", "D\xc3\xa9\x63k \xe2\x82\xac"},  // Windows-1252
    };
    for (const Case& c : cases) {
        TLoaded l = LoadText(OneDeck(1, 1, "0", c.deckBody));
        EXPECT_EQ(l.Project->GetDeckCaption(0), c.caption) << c.deckBody;
    }
    // The caption may come after the cell data.
    TLoaded late = LoadText(Header("pmax 1 xmax 1 ymax 1 zmax 1 vmax 1") +
                            "<deck>\nlevel 0\n(celldata)\n0\ncaption Late\n</deck>\n");
    EXPECT_EQ(late.Project->GetDeckCaption(0), "Late");
}

TEST(Reader, OverlongCaptionAndWordsAreCut) {
    const std::string longCaption(400, 'c');
    TLoaded l = LoadText(OneDeck(1, 1, "0", "caption " + longCaption + "\n"));
    // 254 characters are read, the blank after the keyword among them.
    EXPECT_EQ(l.Project->GetDeckCaption(0), std::string(253, 'c'));
    // A 300-letter word is skipped as one word; the header still closes.
    TLoaded w = LoadText(Header(std::string(300, 'w') + " pmax 1 xmax 1 ymax 1 zmax 1 vmax 1"));
    EXPECT_EQ(w.Project->PMax, 1);
    EXPECT_TRUE(w.Recorder.Messages.empty());
}

TEST(Reader, LevelOutOfRangeWarnsAndKeepsReadingInStep) {
    TLoaded l = LoadText(Header("pmax 1 xmax 2 ymax 1 zmax 5 vmax 1") +
                         "<deck>\nlevel 5\ncaption Lost\n(celldata)\n11\n</deck>\n"
                         "<deck>\nlevel 1\ncaption Kept\n(celldata)\n0 0\n</deck>\n");
    ASSERT_EQ(l.Recorder.Messages.size(), 1u);
    EXPECT_EQ(l.Recorder.Messages[0].Caption, "Warning!");
    EXPECT_EQ(l.Recorder.Messages[0].Text,
              "Warning, z in TLogFile1::LoadCellData(FILE *projectfile, int z) is <0 or >ZMax!");
    EXPECT_EQ(l.Project->GetDeckCaption(1), "Kept");
    EXPECT_EQ(l.Project->Decks[1].CellCount, 2);
    for (int i = 0; i < 5; ++i) EXPECT_NE(l.Project->GetDeckCaption(i), "Lost");
}

TEST(Reader, SecondSectionForALevelWins) {
    TLoaded l = LoadText(Header("pmax 1 xmax 2 ymax 1 zmax 1 vmax 1") +
                         "<deck>\nlevel 0\ncaption A\n(celldata)\n11\n</deck>\n"
                         "<deck>\nlevel 0\ncaption B\n(celldata)\n0.\n</deck>\n");
    const TDeck& d = l.Project->Decks[0];
    EXPECT_EQ(l.Project->GetDeckCaption(0), "B");
    EXPECT_EQ(Codes(d), "0,4,");
    EXPECT_EQ(d.CellCount, 3);
}

TEST(Reader, ZeroDecksIgnoresDeckSections) {
    TLoaded l = LoadText(Header("pmax 1 xmax 2 ymax 1 zmax 0 vmax 1") +
                         "<deck>\nlevel 0\n(celldata)\n11\n</deck>\n");
    EXPECT_EQ(l.Project->DeckCount(), 0);
    EXPECT_EQ(l.Recorder.Infos.back(), "Loading header...");
}

TEST(Reader, UnopenableFileReportsAndFails) {
    TRecorder rec;
    TLogFile1 project("Deck");
    EXPECT_FALSE(project.LoadFromFile("/nonexistent/dir/file.3dl", rec, rec));
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Messages[0], (TMessage{"Error", "Cannot open file:\n/nonexistent/dir/file.3dl"}));
}

// The bytes of a literal, inner zeros included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

class ReaderFiles : public TTempFolderTest {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

// Files that are no 3D log file at all: refused with one message naming the file,
// and nothing of them kept.
TEST_F(ReaderFiles, NotA3dLogFileIsRefused) {
    const std::pair<const char*, std::string> files[] = {
        {"empty.3dl", ""},
        {"blank.3dl", "  \n\t\r\n"},
        {"random.3dl", Bytes("\x93\x00\xff<head\x01er>\x7f\x80 pmax 3 </header>")},
        {"picture.3dl", Bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10")},
        {"words.3dl", "version 1 pmax 2 xmax 6 <deck> level 0 </deck> <persons> S </persons>"},
        {"bom only.3dl", "\xEF\xBB\xBF"},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::string path = Write(name, bytes);
        TRecorder rec;
        TLogFile1 project("Deck");
        EXPECT_FALSE(project.LoadFromFile(path, rec, rec));
        ASSERT_EQ(rec.Messages.size(), 1u);
        EXPECT_EQ(rec.Messages[0],
                  (TMessage{"Error", path + " is not a 3D log file: no <header> found"}));
        EXPECT_EQ(project.DeckCount(), 0);
        EXPECT_EQ(project.PersonCount(), 0);
    }
}

// Windows editors put a byte-order mark before the text: the file reads as without.
TEST_F(ReaderFiles, ByteOrderMarkIsSkipped) {
    TRecorder plain, marked;
    TLogFile1 a("Deck"), b("Deck");
    ASSERT_TRUE(a.LoadFromFile(Write("plain.3dl", kExampleFile), plain, plain));
    ASSERT_TRUE(b.LoadFromFile(Write("marked.3dl", "\xEF\xBB\xBF" + std::string(kExampleFile)),
                               marked, marked));
    EXPECT_EQ(marked.Messages, plain.Messages);
    EXPECT_EQ(b.PMax, 2);
    EXPECT_EQ(b.Decks[0].QuadCount(), a.Decks[0].QuadCount());
    EXPECT_EQ(b.TotalSteps(), a.TotalSteps());
    // A mark anywhere else is text like any other.
    TRecorder late;
    TLogFile1 c("Deck");
    EXPECT_FALSE(c.LoadFromFile(Write("late.3dl", " \xEF\xBB\xBF<header>"), late, late));
}

TEST(Reader, LoadsTheBundledExampleFromDisk) {
    TRecorder rec;
    TLogFile1 project("Deck");
    ASSERT_TRUE(project.LoadFromFile(ORLEX_SOURCE_DIR "/samples/example.3dl", rec, rec));
    EXPECT_EQ(project.FileName, ORLEX_SOURCE_DIR "/samples/example.3dl");
    EXPECT_EQ(project.Decks[0].QuadCount(), 27);
    EXPECT_EQ(project.TotalSteps(), 7);
}

}  // namespace
}  // namespace orlex
