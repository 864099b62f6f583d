// orlex-stats on real files: good runs, bad ones, runs of other cases, the formats and
// usage errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "statsfiles.h"

namespace {

using OrlexStats = orlex::test::TStatsFiles;
using orlex::test::RoomText;

TEST_F(OrlexStats, ThreeGoodFilesAndOneBad) {
    EXPECT_EQ(Run({"--json", Good[0], Bad, Good[1], Good[2]}), 1);
    EXPECT_TRUE(ErrHas(Bad + ": cannot be used: is not a 3D log file: no <header> found")) << Err;
    EXPECT_TRUE(OutHas("{\"file\":\"" + Bad +
                       "\",\"ok\":false,\"otherCase\":false,\"error\":\"is not a 3D log file: no "
                       "<header> found\""))
        << Out;
    EXPECT_TRUE(OutHas("{\"file\":\"" + Good[1] +
                       "\",\"ok\":true,\"persons\":1,\"complete\":true,\"cutTracks\":0,"
                       "\"evacuationTime\":5,\"p95ExitTime\":5,"
                       "\"congestedCells\":0"))
        << Out;
    // 3, 5, 4: the median is the middle one, the p95 by the ranking rule the largest.
    EXPECT_TRUE(OutHas(
        "\"runs\":{\"n\":3,\"failed\":1,\"otherCase\":0,\"incomplete\":0,\"evacuationTime\":{"
        "\"min\":3,\"mean\":4,\"median\":4,\"p95\":5,\"max\":5},\"p95Rule\":{"))
        << Out;
    EXPECT_TRUE(OutHas("\"upperBound95\":{\"value\":5,\"rank\":3,\"confidence\":0.1426")) << Out;
    EXPECT_TRUE(
        OutHas("\"reached\":false},\"runningP95\":[{\"runs\":1,\"p95\":3,"
               "\"change10\":null},{\"runs\":2,\"p95\":5,\"change10\":null},"))
        << Out;
}

TEST_F(OrlexStats, MissingFileIsNamed) {
    const std::string missing = Path("missing.3dl");
    EXPECT_EQ(Run({Good[0], missing}), 1);
    EXPECT_TRUE(ErrHas(missing + ": cannot be used: Cannot open file: " + missing)) << Err;
    EXPECT_TRUE(OutHas("Runs: 1 of 2 files, 1 could not be used")) << Out;
}

TEST_F(OrlexStats, TextNamesTheMedianTheRuleAndTheConfidence) {
    EXPECT_EQ(Run({Good[0], Good[1]}), 0);
    EXPECT_TRUE(Err.empty()) << Err;
    EXPECT_TRUE(OutHas("N 2, min 3, mean 4, median 4, max 5")) << Out;
    EXPECT_TRUE(
        OutHas("p95 of the evacuation times: 5 s (ranking rule x_m, m = min(N, "
               "ceil(0.95 N) + 1): the 2nd of 2 sorted times)"))
        << Out;
    // 1 - 0.95^2 = 9.75 %, cut to one decimal.
    EXPECT_TRUE(
        OutHas("none from 2 runs; it needs at least 59.\n  The largest time, 5 s, lies "
               "at or above the 95th percentile with only 9.7 % confidence "
               "(1 - 0.95^2)."))
        << Out;
    EXPECT_TRUE(OutHas("Note: the 95th percentile rests on fewer than 50 runs.")) << Out;
    EXPECT_TRUE(
        OutHas("      1         3                             -\n"
               "      2         5                             -\n"))
        << Out;
}

TEST_F(OrlexStats, Csv) {
    EXPECT_EQ(Run({"--csv", "--threads", "2", Good[2], Bad}), 1);
    EXPECT_EQ(Out.rfind("file,status,persons,evacuationTime,p95ExitTime,congestedCells,error\n" +
                            Good[2] + ",ok,1,4,4,0,\n" + Bad +
                            ",failed,,,,,is not a 3D log file: no <header> "
                            "found\n\nstatistic,evacuationTime\ncase,",
                        0),
              0u)
        << Out;
    EXPECT_TRUE(
        OutHas("\nN,1\nmin,4\nmean,4\nmedian,4\np95,4\np95Rank,1\np95Rule,\"ranking "
               "rule x_m, m = min(N, ceil(0.95 N) + 1)\"\nmax,4\nupperBound95,4\n"
               "upperBound95Rank,1\n"))
        << Out;
    EXPECT_TRUE(OutHas("upperBound95Reached,false\n\nruns,runningP95,change10\n1,4,\n")) << Out;
}

TEST_F(OrlexStats, RunsOfOtherCasesAreLeftOut) {
    const struct {
        const char* Name;
        std::string Text;
        const char* Reason;
    } rows[] = {
        {"wider", RoomText(8, 4, 1, 1, {{1, 1, 0, "33"}}), "XMax 8 instead of 6"},
        {"deeper", RoomText(6, 5, 1, 1, {{1, 1, 0, "33"}}), "YMax 5 instead of 4"},
        {"two decks", RoomText(6, 4, 2, 1, {{1, 1, 0, "33"}}), "ZMax 2 instead of 1"},
        {"faster", RoomText(6, 4, 1, 2, {{1, 1, 0, "33"}}), "VMax 2 instead of 1"},
        {"more persons", RoomText(6, 4, 1, 1, {{1, 1, 0, "33"}, {1, 2, 0, "3"}}),
         "PMax 2 instead of 1"},
        {"other cells", RoomText(6, 4, 1, 1, {{1, 1, 0, "33"}}, {"P6x0", "P6x0", "P6x0", "P5x01"}),
         "other deck cells ("},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string other = Write("other.3dl", row.Text);
        EXPECT_EQ(Run({Good[0], other, Good[1], Good[2]}), 1);
        EXPECT_TRUE(ErrHas(other + ": left out: another case: " + row.Reason)) << Err;
        EXPECT_TRUE(OutHas(other + "  left out: another case: " + row.Reason)) << Out;
        EXPECT_TRUE(OutHas("Runs: 3 of 4 files, 1 of another case left out\n")) << Out;
        EXPECT_TRUE(OutHas("N 3, min 3, mean 4, median 4, max 5")) << Out;
        // --any-case takes it.
        EXPECT_EQ(Run({"--any-case", "--json", Good[0], other, Good[1], Good[2]}), 0) << Err;
        EXPECT_TRUE(OutHas("\"runs\":{\"n\":4,\"failed\":0,\"otherCase\":0,")) << Out;
        EXPECT_TRUE(OutHas("\"case\":null,\"anyCase\":true,")) << Out;
    }
}

TEST_F(OrlexStats, TheFirstUsableFileOrCaseDecides) {
    const std::string small = Write("small.3dl", RoomText(5, 4, 1, 1, {{1, 1, 0, "3"}}));
    // The broken file comes first, so the first usable one, small.3dl, decides.
    EXPECT_EQ(Run({Bad, small, Good[0], Good[1]}), 1);
    EXPECT_TRUE(OutHas("Case: XMax 5, YMax 4, ZMax 1, VMax 1, PMax 1, deck cells ")) << Out;
    EXPECT_TRUE(OutHas("(the first usable file, " + small + ")\n")) << Out;
    EXPECT_TRUE(OutHas("Runs: 1 of 4 files, 1 could not be used, 2 of another case left out"))
        << Out;
    EXPECT_TRUE(ErrHas(Good[0] + ": left out: another case: XMax 6 instead of 5")) << Err;

    EXPECT_EQ(Run({"--case", Good[2], small, Good[0], Good[1]}), 1);
    EXPECT_TRUE(OutHas("(--case " + Good[2] + ")\n")) << Out;
    EXPECT_TRUE(ErrHas(small + ": left out: another case: XMax 5 instead of 6")) << Err;
    EXPECT_TRUE(OutHas("N 2, min 3, mean 4, median 4, max 5")) << Out;

    EXPECT_EQ(Run({"--case", Good[2], Good[0], Good[1]}), 0);
    EXPECT_TRUE(Err.empty()) << Err;
    // A case file that cannot be used leaves nothing to compare with.
    EXPECT_EQ(Run({"--case", Bad, Good[0]}), 2);
    EXPECT_TRUE(ErrHas("orlex-stats: --case " + Bad +
                       ": cannot be used: is not a 3D log file: no <header> found"))
        << Err;
    EXPECT_TRUE(Out.empty()) << Out;
}

TEST_F(OrlexStats, UsageErrorsNameTheOption) {
    struct {
        std::vector<std::string> Args;
        const char* Named;
    } const rows[] = {
        {{}, "no FILE given"},
        {{"--merge"}, "no SUMMARY given"},
        {{"--window", "4", "a.3dl"}, "--window: "},
        {{"--cell-size=9", "a.3dl"}, "--cell-size: "},
        {{"--density-limit"}, "--density-limit: a value is missing"},
        {{"--congestion-share", "x", "a.3dl"}, "--congestion-share: "},
        {{"--threads", "0", "a.3dl"}, "--threads: "},
        {{"--bogus", "a.3dl"}, "--bogus: unknown option"},
        {{"--csv", "--json", "a.3dl"}, "--csv and --json"},
        {{"a.3dl", "--case"}, "--case: a file name is missing"},
        {{"a.3dl", "--summary="}, "--summary: a file name is missing"},
        {{"--case", "a.3dl", "--any-case", "b.3dl"}, "--case and --any-case"},
        {{"--merge", "--window", "3", "a.json"}, "--merge takes the analysis settings"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Named);
        EXPECT_EQ(Run(row.Args), 2);
        EXPECT_EQ(Err.rfind(std::string("orlex-stats: ") + row.Named, 0), 0u) << Err;
        EXPECT_TRUE(Out.empty());
    }
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_TRUE(OutHas("Usage: orlex-stats"));
}

// A run whose file ends inside its tracks is incomplete: left out with its reason
// (status 1), or with --include-incomplete counted with its largest known exit time;
// the mark travels in a summary to the merge.
TEST_F(OrlexStats, IncompleteRuns) {
    const auto two = [](const char* first, const char* second) {
        return RoomText(6, 4, 1, 1, {{1, 1, 0, first}, {1, 2, 0, second}});
    };
    const std::string whole = Write("whole.3dl", two("33", "3333"));  // 3 and 5 s
    const std::string other = Write("other.3dl", two("333", "3"));    // 4 and 2 s
    std::string text = two("33", "3333");
    text.resize(text.rfind("3333") + 2);
    const std::string cut = Write("cut.3dl", text);  // 3 s known, the second track cut
    const std::string reason = "incomplete: 1 of 2 tracks cut by the end of the file or missing";
    const std::string shard = Path("shard.json");
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::vector<std::string> out, err;
    } cases[] = {
        {"left out",
         {whole, cut, other},
         1,
         {"  left out: " + reason + "\n",
          "Runs: 2 of 3 files, 1 incomplete left out (--include-incomplete counts them)",
          "N 2, min 4, mean 4.5"},
         {cut + ": left out: " + reason + "\n"}},
        {"included",
         {"--include-incomplete", whole, cut, other},
         0,
         {"(" + reason + "; largest known exit time)\n",
          "Runs: 3 of 3 files, 1 incomplete counted with their largest known exit times",
          "N 3, min 3, mean 4"},
         {cut + ": " + reason + "; counted with its largest known exit time\n"}},
        {"json",
         {"--json", cut, whole},
         1,
         {"\"ok\":false,\"persons\":2,\"complete\":false,\"cutTracks\":1,\"evacuationTime\":3,",
          "\"otherCase\":false,\"error\":\"" + reason + "\"", "\"incomplete\":1,"},
         {}},
        {"csv",
         {"--csv", "--include-incomplete", cut},
         0,
         {",ok incomplete,2,3,3,0," + reason},
         {}},
        {"summary", {"--summary", shard, whole, cut}, 1, {"N 1,"}, {}},
        {"merge", {"--merge", shard}, 1, {"1 incomplete left out", "N 1,"}, {reason}},
        {"merge included",
         {"--merge", "--include-incomplete", shard},
         0,
         {"N 2, min 3, mean 4"},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run(c.args), c.status) << Out << Err;
        for (const std::string& text : c.out) EXPECT_TRUE(OutHas(text)) << text << "\n" << Out;
        for (const std::string& text : c.err) EXPECT_TRUE(ErrHas(text)) << text << "\n" << Err;
    }
}

}  // namespace
