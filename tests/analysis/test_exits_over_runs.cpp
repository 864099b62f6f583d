// orlex-stats' exits over runs: the same exit where cells overlap on a deck, the
// mean and largest share of the persons and the p95 of the last exit time, also after
// a merge of shards.
#include <gtest/gtest.h>

#include "statsfiles.h"

namespace orlex {
namespace {

using OrlexStatsExits = test::TStatsFiles;

// Four persons start at column 1 of rows 0 to 3 of a 6 x 4 deck and leave east (to
// column 5, after 5 s) or west (to column 0, after 2 s).
std::string FourPersons(const std::vector<std::string>& tracks) {
    std::vector<test::TRoomPerson> persons;
    for (int r = 0; r < 4; ++r) persons.push_back({1, r, 0, tracks[static_cast<std::size_t>(r)]});
    return test::RoomText(6, 4, 1, 1, persons);
}

TEST_F(OrlexStatsExits, SharesAndLastTimesOverRuns) {
    const std::vector<std::string> files = {
        // East: rows 0 and 1 (half the persons, the last at 5 s); west: rows 2 and 3.
        Write("a.3dl", FourPersons({"3333", "3333", "7", "7"})),
        // East: rows 0 to 2, the last at 8 s (it overlaps the first run's east exit).
        Write("b.3dl", FourPersons({"3333", "3333", "P3x03333", "7"})),
        // All west, rows 0 to 3, the last at 11 s.
        Write("c.3dl", FourPersons({"P9x07", "7", "7", "7"})),
    };
    std::vector<std::string> args = files;
    EXPECT_EQ(Run(args), 0) << Err;
    EXPECT_TRUE(
        OutHas("  Exit at x 2.2 m, y 1.2 m, Deck 0: in 2 runs, mean 41.6 %, largest "
               "75.0 %, p95 8 s\n"))
        << Out;
    EXPECT_TRUE(
        OutHas("  Exit at x 0.2 m, y 0.4 m, Deck 0: in 3 runs, mean 58.3 %, largest "
               "100.0 %, p95 11 s\n"))
        << Out;
    args.insert(args.begin(), "--csv");
    EXPECT_EQ(Run(args), 0) << Err;
    EXPECT_TRUE(
        OutHas("exit,deck,cells,runs,meanShare,maxShare,p95LastExitTime\n"
               "\"Exit at x 2.2 m, y 1.2 m, Deck 0\",0,3,2,0.4166666666666667,0.75,8\n"
               "\"Exit at x 0.2 m, y 0.4 m, Deck 0\",0,4,3,0.5833333333333334,1,11\n"))
        << Out;

    // Shards of one run each give the same after a merge.
    std::vector<std::string> merge = {"--merge", "--csv"};
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string shard = Path("shard" + std::to_string(i) + ".json");
        EXPECT_EQ(Run({"--summary", shard, files[i]}), 0) << Err;
        merge.push_back(shard);
    }
    const std::string direct = (Run(args), Out);
    EXPECT_EQ(Run(merge), 0) << Err;
    EXPECT_EQ(Out, direct);
}

TEST(ExitsOverRuns, OverlapJoinsExitsAcrossRunsAndDecks) {
    using stats::TRunExit;
    using stats::TRunSummary;
    const auto run = [](int persons, std::vector<TRunExit> exits) {
        TRunSummary r;
        r.Ok = true;
        r.Status = stats::TRunStatus::Used;
        r.Persons = persons;
        r.Exits = std::move(exits);
        return r;
    };
    std::vector<TRunSummary> runs = {
        run(10, {{"A", 0, {{0, 1, 1}, {0, 1, 2}}, 6, 50}, {"B", 0, {{0, 5, 5}}, 4, 40}}),
        // C touches A's second cell and B's: A, B and C are one exit from here on.
        run(10, {{"C", 0, {{0, 1, 2}, {0, 5, 5}}, 10, 70}}),
        // The same cell on another deck is another exit.
        run(5, {{"D", 1, {{1, 1, 1}}, 5, 30}}),
        // Runs left out do not count.
        run(10, {{"E", 0, {{0, 9, 9}}, 10, 99}}),
    };
    runs[3].Status = stats::TRunStatus::OtherCase;
    const auto exits = stats::ExitsOverRuns(runs);
    ASSERT_EQ(exits.size(), 2u);
    EXPECT_EQ(exits[0].Name, "A");
    EXPECT_EQ(exits[0].Cells, 3u);
    EXPECT_EQ(exits[0].Runs, 2u);
    EXPECT_DOUBLE_EQ(exits[0].MeanShare, (1.0 + 1.0 + 0.0) / 3);
    EXPECT_DOUBLE_EQ(exits[0].MaxShare, 1.0);
    EXPECT_EQ(exits[0].P95Last, 70);
    EXPECT_EQ(exits[1].Name, "D");
    EXPECT_EQ(exits[1].Deck, 1);
    EXPECT_DOUBLE_EQ(exits[1].MeanShare, 1.0 / 3);
    EXPECT_EQ(exits[1].P95Last, 30);
}

}  // namespace
}  // namespace orlex
