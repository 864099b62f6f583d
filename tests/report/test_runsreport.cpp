// orlex-report over many runs, as a user runs it with no display server: which report
// the files ask for, the exit status, no partial report, and the texts of the report
// over runs (statistics, the confidence bound below and from 59 runs, the table of the
// runs with those left out, the charts' titles and legends).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "pdftools.h"
#include "rooms.h"
#include "tempfolder.h"

namespace {

using orlex::test::Quoted;
using orlex::test::RoomText;
using orlex::test::TCommandRun;

class RunsReport : public orlex::test::TTempFolderTest {
protected:
    // A run of the case: two persons on a 6 x 4 deck, 1 step a second; the first is
    // saved after 2 s, the second after seconds s.
    std::string Run(const std::string& name, int seconds) {
        return Write(
            name, RoomText(6, 4, 1, 1, {{1, 1, 0, "3"}, {1, 2, 0, std::string(seconds - 1, '3')}}));
    }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // count runs run01.3dl ... with evacuation times 2, 3, 4, 5, 2, 3, ... s.
    std::string Runs(int count) {
        std::string args;
        for (int i = 1; i <= count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "run%02d.3dl", i);
            args += Quoted(Run(name, 2 + (i - 1) % 4)) + " ";
        }
        return args;
    }
    TCommandRun Report(const std::string& args) {
        return orlex::test::RunCommand(std::string("env -u DISPLAY -u QT_QPA_PLATFORM ") +
                                       Quoted(ORLEX_REPORT_EXE) + " " + args);
    }
    static bool Has(const std::string& text, const std::string& wanted) {
        return text.find(wanted) != std::string::npos;
    }
};

TEST_F(RunsReport, OneFileIsTheRunsReportTwoOrRunsAreOverRuns) {
    const std::string a = Quoted(Run("a.3dl", 4)), b = Quoted(Run("b.3dl", 5));
    const std::string pdf = Path("r.pdf");
    const struct {
        std::string Args;
        const char* Title;
    } cases[] = {
        {a, "Evacuation analysis a.3dl"},
        {a + " --runs", "Evacuation analysis over runs case of a.3dl, 1 run"},
        {a + " " + b, "Evacuation analysis over runs case of a.3dl, 2 runs"},
    };
    for (const auto& c : cases) {
        const TCommandRun run = Report(c.Args + " -o " + Quoted(pdf));
        ASSERT_EQ(run.Code, 0) << c.Args << "\n" << run.Output;
        const std::string text = orlex::test::PdfText(pdf, 1);
        EXPECT_EQ(text.rfind(c.Title, 0), 0u) << c.Args << "\n" << text.substr(0, 200);
    }
}

TEST_F(RunsReport, ExitStatusAndNoPartialReport) {
    const std::string good = Runs(3);
    const std::string bad = Quoted(Write("bad.3dl", "this is no project\n"));
    const std::string missing = Quoted(Path("missing.3dl"));
    const std::string pdf = Path("case.pdf");
    const struct {
        const char* Name;
        std::string Args;
        int Code;
        bool Written;
        std::string Message;
    } cases[] = {
        {"every run used", good, 0, true, ""},
        {"a run left out", good + bad, 1, true,
         "bad.3dl: cannot be used: is not a 3D log file: no <header> found"},
        {"none usable", bad + " " + missing, 1, false, "case.pdf: not written: no run can be used"},
        {"an unusable case", "--case " + bad + " " + good, 2, false,
         "--case " + Path("bad.3dl") + ": cannot be used: is not a 3D log file"},
        {"case and any case", "--case " + bad + " --any-case " + good, 2, false,
         "--case and --any-case cannot be given together"},
        {"case without a file", good + "--case=", 2, false, "--case: a file name is missing"},
        {"a run option with one file", "--include-incomplete " + bad, 2, false,
         "--include-incomplete: only a report over runs takes it (two or more files, or "
         "--runs)"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(pdf);
        const TCommandRun run = Report(c.Args + " -o " + Quoted(pdf));
        EXPECT_EQ(run.Code, c.Code) << c.Name << "\n" << run.Output;
        EXPECT_EQ(std::filesystem::exists(pdf), c.Written) << c.Name;
        EXPECT_TRUE(Has(run.Output, c.Message)) << c.Name << "\n" << run.Output;
    }
    // Nothing but the runs and the bad file stays beside an unwritable target.
    const std::size_t before = FilesLeft();
    const TCommandRun run = Report(good + " -o " + Quoted(Path("no/such/folder/case.pdf")));
    EXPECT_EQ(run.Code, 1) << run.Output;
    EXPECT_TRUE(Has(run.Output, "case.pdf: cannot be written: ")) << run.Output;
    EXPECT_EQ(FilesLeft(), before);
}

TEST_F(RunsReport, TheTableNamesEveryRunAndWhyItWasLeftOut) {
    std::string text = RoomText(6, 4, 1, 1, {{1, 1, 0, "3"}, {1, 2, 0, "3333"}});
    text.resize(text.rfind("3333") + 2);
    const std::string args = Runs(3) + Quoted(Write("cut.3dl", text)) + " " +
                             Quoted(Write("wide.3dl", RoomText(8, 4, 1, 1, {{1, 1, 0, "33"}}))) +
                             " " + Quoted(Write("bad.3dl", "no project\n"));
    const std::string pdf = Path("case.pdf");
    TCommandRun run = Report(args + " --cell-size 0.5 -o " + Quoted(pdf));
    ASSERT_EQ(run.Code, 1) << run.Output;
    EXPECT_EQ(orlex::test::PdfFontsNotEmbedded(pdf), std::vector<std::string>{});
    EXPECT_EQ(orlex::test::PdfImages(pdf), 0);
    const int pages = orlex::test::PdfPages(pdf);
    ASSERT_EQ(pages, 3);
    const std::string all = orlex::test::PdfText(pdf);
    for (const char* wanted : {
             "Runs 3 used of 6 given (1 could not be used, 1 of another case left out, 1 "
             "incomplete left out)",
             "Cell size 0.5 m",
             "Persons 2",
             "Steps per second 1",
             "Runs, in the order given # File Persons saved Evacuation",
             "1 run01.3dl 2 of 2 2.00 s used",
             "4 cut.3dl 1 of 2 2.00 s left out: incomplete: 1 of 2 tracks cut by the end of the "
             "file or missing",
             "5 wide.3dl 1 of 1 3.00 s left out: another case: XMax 8 instead of 6",
             "6 bad.3dl -",
             "cannot be used: is not a 3D log file: no <header> found",
             "Evacuation analysis over runs: case of run01.3dl",
         })
        EXPECT_TRUE(Has(all, wanted)) << wanted << "\n" << all;
    for (int page = 1; page <= pages; ++page)
        EXPECT_TRUE(Has(orlex::test::PdfText(pdf, page),
                        "Page " + std::to_string(page) + " of " + std::to_string(pages)));

    // Counted, the incomplete run is used with its largest known exit time.
    run = Report(args + " --include-incomplete -o " + Quoted(pdf));
    ASSERT_EQ(run.Code, 1) << run.Output;
    EXPECT_TRUE(Has(orlex::test::PdfText(pdf),
                    "4 cut.3dl 1 of 2 2.00 s used; incomplete: 1 of 2 tracks cut by the end of "
                    "the file or missing; counted with its largest known exit time"));
}

// Runs converted from trajectories are analysed at their own cell size, and the
// report's settings say so; a cell size given on the command line still wins.
TEST_F(RunsReport, ConvertedRunsShowTheirOwnCellSize) {
    std::string args;
    for (int i = 1; i <= 2; ++i) {
        std::string text = RoomText(6, 4, 1, 1, {{1, 1, 0, "3"}, {1, 2, 0, "33"}});
        text.insert(text.find("</header>") + 9, "\n<import>\norigin 0 0\ncellsize 0.25\n</import>");
        args += Quoted(Write("conv" + std::to_string(i) + ".3dl", text)) + " ";
    }
    const std::string pdf = Path("case.pdf");
    const std::pair<std::string, std::string> cases[] = {{"", "Cell size 0.25 m"},
                                                         {" --cell-size 0.5", "Cell size 0.5 m"}};
    for (const auto& [option, wanted] : cases) {
        const TCommandRun run = Report(args + option + " -o " + Quoted(pdf));
        ASSERT_EQ(run.Code, 0) << run.Output;
        EXPECT_TRUE(Has(orlex::test::PdfText(pdf), wanted)) << option;
    }
}

TEST_F(RunsReport, TheBoundBelowAndFrom59Runs) {
    const std::string pdf = Path("case.pdf");
    const struct {
        int Runs;
        std::vector<std::string> Wanted;
    } cases[] = {
        {5,
         {"Median 3.00 s", "Min 2.00 s", "Max 5.00 s", "p95 (ranking rule, 5th of 5) 5.00 s",
          "the largest run, 5.00 s, bounds the 95th percentile with 22.6 % confidence (1 - "
          "0.95^5)",
          "Running p95 none: it needs more than 10 runs",
          "The 95th percentile rests on fewer than 50 runs.",
          "Largest run, bounds the 95th percentile with 22.6 % confidence: 5.00 s"}},
        {60,
         {"Median 3.50 s", "p95 (ranking rule, 58th of 60) 5.00 s",
          "upper 95 % confidence bound of the 95th percentile: 5.00 s (rank 60)",
          "Running p95 0.00 % over the last 10 runs (from 5.00 s after run 50 to 5.00 s after "
          "run 60)",
          "Distribution of the evacuation times over 60 runs", "Evacuation time (s)",
          "Share of runs (%)", "p95 of the evacuation time (s)", "Runs",
          "Upper 95 % confidence bound of the 95th percentile: 5.00 s (rank 60)",
          "Final p95 (ranking rule, 58th of 60): 5.00 s"}},
    };
    for (const auto& c : cases) {
        const TCommandRun run = Report(Runs(c.Runs) + "-o " + Quoted(pdf));
        ASSERT_EQ(run.Code, 0) << run.Output;
        const std::string text = orlex::test::PdfText(pdf);
        for (const std::string& wanted : c.Wanted)
            EXPECT_TRUE(Has(text, wanted)) << c.Runs << ": " << wanted << "\n" << text;
        EXPECT_EQ(Has(text, "rests on fewer than 50 runs"), c.Runs < 50);
    }
}

}  // namespace
