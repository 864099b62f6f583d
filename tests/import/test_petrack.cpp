// PeTrack and PedPy text: comments, units, rows, and every kind of bad row.
#include <gtest/gtest.h>

#include "convert.h"
#include "importsupport.h"
#include "petrack.h"
#include "tempfolder.h"

namespace orlex::import {
namespace {

struct TCommentCase {
    const char* Line;
    double Fps;
    TLengthUnit Unit;
};

TEST(PeTrackComments, FrameRateAndUnit) {
    const TCommentCase cases[] = {
        {"# framerate: 25.0 fps", 25, TLengthUnit::Unknown},
        {"#framerate 16", 16, TLengthUnit::Unknown},
        {"# PeTrack file, framerate 25 fps, x/cm", 25, TLengthUnit::Centimetre},
        {"# id frame x/cm y/cm z/cm", 0, TLengthUnit::Centimetre},
        {"# id frame x/m y/m z/m", 0, TLengthUnit::Metre},
        {"# positions in m", 0, TLengthUnit::Metre},
        {"# positions in cm", 0, TLengthUnit::Centimetre},
        {"# written in march", 0, TLengthUnit::Unknown},
        {"# Framerate: 0", 0, TLengthUnit::Unknown},
        {"# framerate", -1, TLengthUnit::Unknown},
    };
    for (const TCommentCase& c : cases) {
        SCOPED_TRACE(c.Line);
        EXPECT_DOUBLE_EQ(FrameRateOfComment(c.Line), c.Fps);
        EXPECT_EQ(UnitOfComment(c.Line), c.Unit);
    }
}

TEST(PeTrackText, RowsInCentimetresWithExtraColumns) {
    const TTrajectorySet set = ParsePeTrackText(
        "# framerate: 25\n# id frame x/cm y/cm z/cm\n"
        "1 10 100 200 170 0.5 extra\n1 11 110\t200 170\r\n\n2 11 -50 0\n",
        "t.txt", {});
    EXPECT_DOUBLE_EQ(set.Fps, 25);
    ASSERT_EQ(set.Persons.size(), 2u);
    EXPECT_EQ(set.Persons[0].Id, 1);
    ASSERT_EQ(set.Persons[0].Samples.size(), 2u);
    EXPECT_EQ(set.Persons[0].Samples[1].Frame, 11);
    EXPECT_DOUBLE_EQ(set.Persons[0].Samples[1].X, 1.1);
    EXPECT_DOUBLE_EQ(set.Persons[0].Samples[1].Z, 1.7);
    EXPECT_DOUBLE_EQ(set.Persons[1].Samples[0].X, -0.5);
    EXPECT_DOUBLE_EQ(set.Persons[1].Samples[0].Z, 0);
}

TEST(PeTrackText, OptionsStandInForMissingComments) {
    TTextOptions options;
    options.Fps = 10;
    options.Unit = TLengthUnit::Metre;
    const TTrajectorySet set = ParsePeTrackText("1 0 1 2\n", "t.txt", options);
    EXPECT_DOUBLE_EQ(set.Fps, 10);
    EXPECT_DOUBLE_EQ(set.Persons[0].Samples[0].Y, 2);
}

TEST(PeTrackText, RowsOutOfOrderGiveTheSortedResult) {
    const char* head = "# framerate: 10\n# x/m\n";
    const TTrajectorySet sorted =
        ParsePeTrackText(std::string(head) + "1 0 0 0\n1 1 1 0\n2 0 5 5\n2 1 6 5\n", "a", {});
    const TTrajectorySet mixed =
        ParsePeTrackText(std::string(head) + "2 1 6 5\n1 1 1 0\n2 0 5 5\n1 0 0 0\n", "b", {});
    ASSERT_EQ(mixed.Persons.size(), sorted.Persons.size());
    for (std::size_t i = 0; i < sorted.Persons.size(); ++i) {
        EXPECT_EQ(mixed.Persons[i].Id, sorted.Persons[i].Id);
        ASSERT_EQ(mixed.Persons[i].Samples.size(), sorted.Persons[i].Samples.size());
        for (std::size_t k = 0; k < sorted.Persons[i].Samples.size(); ++k) {
            EXPECT_EQ(mixed.Persons[i].Samples[k].Frame, sorted.Persons[i].Samples[k].Frame);
            EXPECT_EQ(mixed.Persons[i].Samples[k].X, sorted.Persons[i].Samples[k].X);
        }
    }
}

struct TBadCase {
    const char* Name;
    const char* Text;
    const char* Message;  // part of the message expected
};

TEST(PeTrackText, BadInputIsRefusedNamingFileAndLine) {
    const TBadCase cases[] = {
        {"missing column", "# framerate: 10\n# x/m\n1 0 1.0\n", "bad.txt, line 3: a row needs"},
        {"non-numeric x", "# framerate: 10\n# x/m\n1 0 a 1\n", "line 3: x is not a number"},
        {"non-numeric tail", "# framerate: 10\n# x/m\n1 0 1.5m 1\n", "line 3: x is not a number"},
        {"fractional id", "# framerate: 10\n# x/m\n1.5 0 1 1\n", "line 3: the id is not"},
        {"NaN", "# framerate: 10\n# x/m\n1 0 nan 1\n", "line 3: x is not a finite number"},
        {"infinity", "# framerate: 10\n# x/m\n1 0 1 -inf\n", "line 3: y is not a finite number"},
        {"duplicate frame", "# framerate: 10\n# x/m\n1 0 1 1\n1 0 2 2\n",
         "line 4: person 1 has frame 0 twice"},
        {"duplicate frame, unsorted", "# framerate: 10\n# x/m\n1 1 1 1\n2 0 2 2\n1 1 2 2\n",
         "bad.txt: person 1 has frame 1 twice"},
        {"no rows", "# framerate: 10\n# x/m\n\n", "bad.txt: no trajectory rows"},
        {"no frame rate", "# x/m\n1 0 1 1\n", "give it with --fps"},
        {"frame rate 0", "# framerate: 0\n# x/m\n1 0 1 1\n",
         "line 1: the frame rate must be above 0"},
        {"frame rate without number", "# framerate\n# x/m\n1 0 1 1\n", "line 1: the framerate"},
        {"no unit", "# framerate: 10\n1 0 1 1\n", "give it with --unit m or --unit cm"},
        {"binary", "\x01\x02\x03\x04", "line 1: the id is not"},
    };
    for (const TBadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            ParsePeTrackText(c.Text, "bad.txt", {});
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
    }
}

class PeTrackFile : public test::TTempFolderTest {};

TEST_F(PeTrackFile, SortedFilesAreReadPersonByPersonToTheSameProject) {
    // The same rows, person by person (ids not ascending), and shuffled.
    const std::string head = "# framerate: 5 fps\n# id frame x/cm y/cm z/cm\n";
    const std::string sorted = head +
                               "7 3 40 0 170\n7 4 80 10 170\n7 5 120 20 171\n"
                               "# a comment between persons\n\n"
                               "2 0 0 100 168\n2 1 30 100 168\n2 2 60 130 168\n2 9 100 100 168\n"
                               "5 1 200 0 180\n";
    const std::string shuffled = head +
                                 "2 2 60 130 168\n7 4 80 10 170\n2 0 0 100 168\n5 1 200 0 180\n"
                                 "7 3 40 0 170\n2 9 100 100 168\n7 5 120 20 171\n2 1 30 100 168\n";
    test::WriteText(Path("sorted.txt"), sorted);
    test::WriteText(Path("shuffled.txt"), shuffled);
    EXPECT_TRUE(TPeTrackFile(Path("sorted.txt"), {}).Streamed());
    EXPECT_FALSE(TPeTrackFile(Path("shuffled.txt"), {}).Streamed());

    TPeTrackFile streamed(Path("sorted.txt"), {});
    std::vector<int64_t> ids;
    TPersonTrack person;
    for (int pass = 0; pass < 2; ++pass) {
        streamed.Rewind();
        while (streamed.Next(person)) ids.push_back(person.Id);
    }
    EXPECT_EQ(ids, (std::vector<int64_t>{7, 2, 5, 7, 2, 5}));

    // The whole in memory, converted the way it always was.
    const TTrajectorySet whole = ParsePeTrackText(sorted, Path("sorted.txt"), {});
    TCellOptions options;
    const std::string expected =
        test::LogText(Convert(whole, PlanOfTrajectories(whole, options), options));
    EXPECT_EQ(test::LogText(ImportFile(Path("sorted.txt"), {})), expected);
    // Shuffled rows are sorted by id: the same persons, in another order.
    const TConversion fromShuffled = ImportFile(Path("shuffled.txt"), {});
    ASSERT_EQ(fromShuffled.Persons.size(), 3u);
    EXPECT_EQ(fromShuffled.Persons[0].Id, 2);
    EXPECT_EQ(fromShuffled.Persons[0].Track, ImportFile(Path("sorted.txt"), {}).Persons[1].Track);
}

TEST_F(PeTrackFile, BadRowsAnywhereAreFoundBeforeAnythingIsConverted) {
    const std::pair<const char*, const char*> cases[] = {
        {"# framerate: 5\n# x/m\n1 0 0 0\n1 1 0 0\n2 0 0 0\n2 0 1 1\n",
         "line 6: person 2 has frame 0 twice"},
        {"# framerate: 5\n# x/m\n1 0 0 0\n2 0 0 0\n2 1 0 x\n", "line 5: y is not a number"},
        {"# framerate: 5\n# x/m\n1 0 0 0\n2 0 0 0\n1 1 0 0\n1 1 0 0\n",
         "person 1 has frame 1 twice"},
        {"# framerate: 5\n# comments only\n", "no trajectory rows"},
        {"# framerate: 5\n1 0 0 0\n", "--unit m or --unit cm"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        test::WriteText(Path("bad.txt"), text);
        try {
            TPeTrackFile file(Path("bad.txt"), {});
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace orlex::import
