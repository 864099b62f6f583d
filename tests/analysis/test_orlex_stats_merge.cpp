// orlex-stats --summary and --merge: shards of a cluster's array jobs give what one
// call over all the files gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "statsfiles.h"

namespace {

using OrlexStatsMerge = orlex::test::TStatsFiles;
using orlex::test::RoomText;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(OrlexStatsMerge, ShardsGiveWhatOneCallGives) {
    const std::string small = Write("small.3dl", RoomText(5, 4, 1, 1, {{1, 1, 0, "3"}}));
    std::vector<std::string> more;
    for (int i = 0; i < 12; ++i) {
        more.push_back(Write("more" + std::to_string(i) + ".3dl",
                             CaseRun(std::string(static_cast<std::size_t>(1 + i % 7), '3'))));
    }
    // The second shard starts with a file of another case and holds a broken one; the
    // third is made of one file of another case alone, which decides its own case.
    const std::vector<std::vector<std::string>> shards = {
        {Good[0], Good[1], more[0], more[1], more[2]},
        {small, more[3], Bad, more[4], more[5], more[6], more[7]},
        {small},
        {more[8], more[9], more[10], more[11], Good[2]},
    };
    std::vector<std::string> all;
    std::vector<std::string> merge = {"--merge"};
    for (std::size_t s = 0; s < shards.size(); ++s) {
        const std::string summary = Path("shard" + std::to_string(s) + ".json");
        std::vector<std::string> args = {"--summary", summary};
        args.insert(args.end(), shards[s].begin(), shards[s].end());
        Run(args);
        all.insert(all.end(), shards[s].begin(), shards[s].end());
        merge.push_back(summary);
    }
    for (const char* format : {"--json", "--csv", "--threads=1"}) {
        SCOPED_TRACE(format);
        std::vector<std::string> args = {format};
        args.insert(args.end(), all.begin(), all.end());
        EXPECT_EQ(Run(args), 1);
        const std::string out = Out;
        const std::string err = Err;
        args = merge;
        args.push_back(format);
        EXPECT_EQ(Run(args), 1);
        EXPECT_EQ(Out, out);
        EXPECT_EQ(Err, err);
    }
    EXPECT_TRUE(OutHas("N 15, ")) << Out;
    EXPECT_TRUE(OutHas("Runs: 15 of 18 files, 1 could not be used, 2 of another case left out"))
        << Out;
    // A merge of merges is the same again.
    const std::string both = Path("both.json");
    EXPECT_EQ(Run({"--merge", "--summary", both, merge[1], merge[2]}), 1);
    const std::string partial = Out;
    EXPECT_EQ(Run({"--merge", both, merge[3], merge[4]}), 1);
    const std::string nested = Out;
    EXPECT_EQ(Run({"--merge", merge[1], merge[2], merge[3], merge[4]}), 1);
    EXPECT_EQ(nested, Out);
    EXPECT_NE(partial, Out);
}

TEST_F(OrlexStatsMerge, ShardsOfAnotherCaseAreLeftOut) {
    const std::string shard1 = Path("a.json");
    const std::string shard2 = Path("b.json");
    const std::string wide = Write("wide.3dl", RoomText(9, 4, 1, 1, {{1, 1, 0, "33"}}));
    EXPECT_EQ(Run({"--summary", shard1, Good[0], Good[1]}), 0);
    EXPECT_EQ(Run({"--summary", shard2, wide}), 0);
    EXPECT_EQ(Run({"--merge", shard1, shard2}), 1);
    EXPECT_TRUE(ErrHas(wide + ": left out: another case: XMax 9 instead of 6")) << Err;
    EXPECT_TRUE(OutHas("N 2, ")) << Out;
    // Made with --case, a shard holds its case against the others.
    EXPECT_EQ(Run({"--case", wide, "--summary", shard2, wide}), 0);
    EXPECT_EQ(Run({"--merge", shard1, shard2}), 1);
    EXPECT_TRUE(ErrHas(Good[0] + ": left out: another case: XMax 6 instead of 9")) << Err;
    EXPECT_TRUE(OutHas("(--case " + wide + ")")) << Out;
    // --any-case on the merge takes them all.
    EXPECT_EQ(Run({"--merge", "--any-case", shard1, shard2}), 0) << Err;
    EXPECT_TRUE(OutHas("N 3, ")) << Out;
}

TEST_F(OrlexStatsMerge, BadShardsAreNamed) {
    const std::string good = Path("good.json");
    EXPECT_EQ(Run({"--summary", good, Good[0], Good[1]}), 0);
    const std::string text = ReadAll(good);
    const std::string p95Key = "\"p95ExitTime\":3,";
    ASSERT_NE(text.find(p95Key), std::string::npos) << text;
    std::string noP95 = text;
    noP95.erase(noP95.find(p95Key), p95Key.size());
    std::string otherWindow = text;
    otherWindow.replace(otherWindow.find("\"window\":5"), 10, "\"window\":3");
    const struct {
        const char* Name;
        std::string Text;
        std::string Error;
    } rows[] = {
        {"empty", "", "not a usable summary: not JSON"},
        {"cut short", text.substr(0, text.size() / 2), "not a usable summary: not JSON"},
        {"another JSON", "{\"files\":[]}", "not a summary of orlex-stats"},
        {"array", "[1,2]", "not a summary of orlex-stats"},
        {"newer", "{\"orlexStatsSummary\":2}", "orlexStatsSummary: version 1 is expected"},
        {"a field missing", noP95, "runs[0].p95ExitTime: is missing"},
        {"a text for a number",
         std::string(text).replace(text.find("\"persons\":1"), 11, "\"persons\":\"1\""),
         "runs[0].persons: a whole number from 0 to 2147483647 is expected"},
        {"bad cells", std::string(text).replace(text.find("\"cells\":\"") + 9, 1, "x"),
         "case.cells: 16 hexadecimal digits are expected"},
        {"other settings", otherWindow, "made with other analysis settings than " + good},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string bad = Write("bad.json", row.Text);
        EXPECT_EQ(Run({"--merge", good, bad}), 1);
        EXPECT_TRUE(ErrHas("orlex-stats: " + bad + ": ")) << Err;
        EXPECT_TRUE(ErrHas(row.Error)) << Err;
        EXPECT_TRUE(Out.empty()) << Out;
    }
    EXPECT_EQ(Run({"--merge", Path("missing.json")}), 1);
    EXPECT_TRUE(ErrHas(Path("missing.json") + ": cannot be opened")) << Err;
}

TEST_F(OrlexStatsMerge, ASummaryThatCannotBeWrittenLeavesNothing) {
    const std::string summary = Path("no/such/folder/s.json");
    EXPECT_EQ(Run({"--summary", summary, Good[0]}), 1);
    EXPECT_TRUE(ErrHas(summary + ": the summary cannot be written")) << Err;
    EXPECT_EQ(FilesLeft(), 4u);  // the three runs and the broken file
}

}  // namespace
