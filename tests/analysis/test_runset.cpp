// The run set that orlex-stats, orlex-report and the viewer share: the runs read and
// held against the case, the run that describes the case, the notes about every run,
// the cancel, and the texts of ranks, confidences and changes.
#include <gtest/gtest.h>

#include "runset.h"
#include "statsfiles.h"

namespace {

using namespace orlex::stats;
using orlex::test::RoomText;
using RunSet = orlex::test::TStatsFiles;

TEST_F(RunSet, TheFirstUsableFileDecidesAndDescribesTheCase) {
    const std::string wider = Write("wider.3dl", RoomText(8, 4, 1, 1, {{1, 1, 0, "33"}}));
    TRunSetRequest request;
    request.Files = {Bad, Good[0], wider, Good[1]};
    request.Threads = 2;
    const TRunSet set = AnalyseRunSet(request);
    ASSERT_TRUE(set.CaseError.empty());
    EXPECT_FALSE(set.Cancelled);
    ASSERT_EQ(set.Runs.size(), 4u);
    EXPECT_EQ(set.Choice.From, Good[0]);
    EXPECT_EQ(set.CaseRun.File, Good[0]);
    EXPECT_EQ(set.CaseRun.Persons, 1);
    EXPECT_EQ(set.CaseRun.Saved, 1);
    EXPECT_EQ(set.CaseRun.StepsPerSecond, 1);
    ASSERT_EQ(set.CaseRun.Decks.size(), 1u);
    EXPECT_EQ(set.CaseRun.Columns, 6);
    EXPECT_EQ(set.CaseRun.Rows, 4);
    const TRunStatus statuses[] = {TRunStatus::Failed, TRunStatus::Used, TRunStatus::OtherCase,
                                   TRunStatus::Used};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(set.Runs[i].Status, statuses[i]) << i;
    ASSERT_TRUE(set.Statistics.has_value());
    EXPECT_EQ(set.Statistics->N, 2u);
    EXPECT_EQ(set.Statistics->Median, 4);
}

TEST_F(RunSet, TheCaseFileOrAnyCase) {
    const std::string two =
        Write("two.3dl", RoomText(6, 4, 1, 1, {{1, 1, 0, "3"}, {1, 2, 0, "33"}}));
    TRunSetRequest request;
    request.Files = {two, Good[0], Good[2]};
    request.Mode = TCaseMode::File;
    request.CaseFile = Good[1];
    TRunSet set = AnalyseRunSet(request);
    EXPECT_EQ(set.CaseRun.File, Good[1]) << "the --case file describes the case";
    EXPECT_EQ(set.Runs[0].Status, TRunStatus::OtherCase);
    EXPECT_EQ(set.Statistics->N, 2u);

    request.Mode = TCaseMode::Any;
    set = AnalyseRunSet(request);
    EXPECT_EQ(set.CaseRun.File, two) << "the first used run";
    EXPECT_EQ(set.Statistics->N, 3u);

    request.Mode = TCaseMode::File;
    request.CaseFile = Bad;
    set = AnalyseRunSet(request);
    EXPECT_EQ(set.CaseError, "cannot be used: is not a 3D log file: no <header> found");
    EXPECT_TRUE(set.Runs.empty()) << "nothing else is read";
    EXPECT_FALSE(set.Statistics.has_value());
}

TEST_F(RunSet, ACancelStopsBeforeTheNextFile) {
    TRunSetControl control;
    TRunSetRequest request;
    request.Files = {Good[0], Good[1], Good[2]};
    request.Threads = 1;
    control.Cancel = true;
    const TRunSet set = AnalyseRunSet(request, &control);
    EXPECT_TRUE(set.Cancelled);
    EXPECT_EQ(control.Done.load(), 0u);
    for (const TRunSummary& run : set.Runs) EXPECT_EQ(run.Error, "cancelled");
    EXPECT_FALSE(set.Statistics.has_value());

    TRunSetControl counting;
    EXPECT_FALSE(AnalyseRunSet(request, &counting).Cancelled);
    EXPECT_EQ(counting.Done.load(), 3u);
}

TEST(RunNotes, SayWhyARunIsLeftOutOrHowItCounts) {
    TRunSummary run;
    run.File = "a.3dl";
    run.Persons = 4;
    run.CutTracks = 1;
    run.Error = "cannot be read";
    run.LeftOut = "another case: PMax 4 instead of 3";
    const struct {
        TRunStatus Status;
        int CutTracks;
        std::string Note;
    } rows[] = {
        {TRunStatus::Failed, 0, "cannot be used: cannot be read"},
        {TRunStatus::OtherCase, 0, "left out: another case: PMax 4 instead of 3"},
        {TRunStatus::Incomplete, 1, "left out: another case: PMax 4 instead of 3"},
        {TRunStatus::Used, 0, ""},
        {TRunStatus::Used, 1,
         "incomplete: 1 of 4 tracks cut by the end of the file or missing; counted with its "
         "largest known exit time"},
    };
    for (const auto& row : rows) {
        run.Status = row.Status;
        run.CutTracks = row.CutTracks;
        EXPECT_EQ(RunNote(run), row.Note);
    }
}

TEST(RunTexts, OrdinalsPercentagesAndChanges) {
    const std::pair<std::size_t, const char*> ordinals[] = {
        {1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},     {11, "11th"},  {12, "12th"},
        {13, "13th"}, {21, "21st"}, {48, "48th"}, {102, "102nd"}, {111, "111th"}};
    for (const auto& [n, text] : ordinals) EXPECT_EQ(Ordinal(n), text);
    // Cut, not rounded: 1 - 0.95^50 = 0.92306 and a share just under 95 %.
    EXPECT_EQ(PercentCut(0.923055), "92.3 %");
    EXPECT_EQ(PercentCut(0.94999), "94.9 %");
    EXPECT_EQ(PercentCut(0.95), "95.0 %");
    EXPECT_EQ(ChangeText(std::nullopt), "-");
    EXPECT_EQ(ChangeText(0.0), "0.00 %");
    EXPECT_EQ(ChangeText(0.0013), "+0.13 %");
    EXPECT_EQ(ChangeText(-0.02), "-2.00 %");
}

}  // namespace
