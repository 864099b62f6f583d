// orlex-report as a user runs it, with no display server: the report of the sample,
// the analysis options, usage errors, files that are no 3D log files and targets
// that cannot be written, never with a partial report left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "pdftools.h"
#include "projects.h"
#include "tempfolder.h"

namespace {

using orlex::test::Quoted;
using orlex::test::TCommandRun;

const std::string kShip = ORLEX_SOURCE_DIR "/samples/ship.3dl";

TCommandRun Report(const std::string& args) {
    return orlex::test::RunCommand(std::string("env -u DISPLAY -u QT_QPA_PLATFORM ") +
                                   Quoted(ORLEX_REPORT_EXE) + " " + args);
}

using OrlexReport = orlex::test::TTempFolderTest;

TEST_F(OrlexReport, WritesTheReportOfTheSample) {
    const std::string pdf = Path("ship report.pdf");
    const TCommandRun run = Report(Quoted(kShip) + " -o " + Quoted(pdf));
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_EQ(FilesLeft(), 1u) << "the report alone, no temporary file";
    // Three decks: title and summary, the exits (two pages: the sample's persons end at
    // their muster stations, many places), charts, three plans.
    EXPECT_EQ(orlex::test::PdfPages(pdf), 7);
    EXPECT_EQ(orlex::test::PdfImages(pdf), 0);
    EXPECT_EQ(orlex::test::PdfFontsNotEmbedded(pdf), std::vector<std::string>{});
    const std::string text = orlex::test::PdfText(pdf);
    for (const char* wanted :
         {"File " ORLEX_SOURCE_DIR "/samples/ship.3dl", "Evacuation time 375.50 s",
          "Exit time p95 334.25 s", "Persons 300", "Time above 4 persons/m² (s)", "Page 7 of 7",
          "Evacuation analysis of ship.3dl", "Deck 2 - Muster Stations"})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
}

TEST_F(OrlexReport, TheAnalysisOptionsReachTheReport) {
    const std::string pdf = Path("r.pdf");
    const TCommandRun run = Report(Quoted(kShip) +
                                   " --cell-size 0.5 --window=3 --density-limit 1.5 "
                                   "--congestion-share 0.2 -o " +
                                   Quoted(pdf));
    ASSERT_EQ(run.Code, 0) << run.Output;
    const std::string text = orlex::test::PdfText(pdf);
    for (const char* wanted :
         {"Cell size 0.5 m", "Density window 3 × 3 cells (1.5 × 1.5 m)",
          "Density limit 1.5 persons/m²", "20 % of the duration", "Time above 1.5 persons/m² (s)"})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
}

TEST_F(OrlexReport, UsageErrorsNameTheOption) {
    const std::string ship = Quoted(kShip);
    const std::string out = " -o " + Quoted(Path("r.pdf"));
    const struct {
        std::string Args;
        std::string Message;
    } cases[] = {
        {"", "FILE: a 3D log file is missing"},
        {ship, "-o: the report to write is missing"},
        {ship + " -o " + Quoted(Path("r.png")), "-o: the report's name must end in .pdf"},
        {ship + out + " --any-case",
         "--any-case: only a report over runs takes it (two or more files, or --runs)"},
        {ship + out + " --bogus 1", "--bogus: unknown option"},
        {ship + out + " --window", "--window: a value is missing"},
        {ship + out + " --window 4",
         "--window: The window must be an odd whole number from 1 to 15 (cells)."},
        {ship + out + " --cell-size abc",
         "--cell-size: The cell size must be a number from 0.05 to 5 (metres)."},
        {ship + out + " --density-limit 0",
         "--density-limit: The density limit must be a number above 0 and up to 100 "
         "(persons/m²)."},
        {ship + out + " --congestion-share=1.5",
         "--congestion-share: The congestion share must be a number from 0 to 1."},
        {ship + out + " --flow-window 0",
         "--flow-window: The flow window must be a number from 1 to 600 (seconds)."},
        {ship + out + " --measure", "--measure: a file name is missing"},
    };
    for (const auto& c : cases) {
        const TCommandRun run = Report(c.Args);
        EXPECT_EQ(run.Code, 2) << c.Args << "\n" << run.Output;
        EXPECT_NE(run.Output.find("orlex-report: " + c.Message), std::string::npos)
            << c.Args << "\n"
            << run.Output;
        EXPECT_NE(run.Output.find("Usage: orlex-report"), std::string::npos);
    }
    EXPECT_EQ(FilesLeft(), 0u);
}

TEST_F(OrlexReport, HelpIsNoError) {
    const TCommandRun run = Report("--help");
    EXPECT_EQ(run.Code, 0);
    EXPECT_NE(run.Output.find("Usage: orlex-report FILE -o REPORT.pdf"), std::string::npos)
        << run.Output;
}

TEST_F(OrlexReport, FilesThatGiveNoReport) {
    const struct {
        std::string Name;
        std::string Content;  // none: the file does not exist
        std::string Message;
    } cases[] = {
        {"missing.3dl", "", "cannot be read"},
        {"empty.3dl", "\n", ""},
        {"notes.txt", "Minutes of the meeting\nNothing to report.\n", ""},
        {"nodecks.3dl", "<header>\nversion 1\npmax 1\nxmax 6\nymax 4\nzmax 0\nvmax 1\n</header>\n",
         "not a 3D log file: it has no decks"},
        {"nocells.3dl",
         "<header>\nversion 1\npmax 0\nxmax 6\nymax 4\nzmax 2\nvmax 1\ntoff 0\n</header>\n",
         "not a 3D log file: its decks hold no cells"},
    };
    for (const auto& c : cases) {
        const std::string input = Path(c.Name);
        if (c.Name != "missing.3dl") std::ofstream(input) << c.Content;
        const std::string pdf = Path(c.Name + ".pdf");
        const TCommandRun run = Report(Quoted(input) + " -o " + Quoted(pdf));
        EXPECT_EQ(run.Code, 1) << c.Name << "\n" << run.Output;
        // Without a header the reader says so itself.
        const std::string says = c.Message.empty()
                                     ? input + " is not a 3D log file: no <header> found"
                                     : "orlex-report: " + input + ": " + c.Message;
        EXPECT_NE(run.Output.find(says), std::string::npos) << run.Output;
        EXPECT_FALSE(std::filesystem::exists(pdf)) << c.Name;
    }
}

TEST_F(OrlexReport, AnUnwritableTargetLeavesNothing) {
    std::filesystem::create_directories(Path("folder.pdf"));
    for (const std::string& target : {Path("missing/r.pdf"), Path("folder.pdf")}) {
        const TCommandRun run = Report(Quoted(kShip) + " -o " + Quoted(target));
        EXPECT_EQ(run.Code, 1) << run.Output;
        EXPECT_NE(run.Output.find("orlex-report: " + target + ": cannot be written"),
                  std::string::npos)
            << run.Output;
    }
    EXPECT_EQ(FilesLeft(), 1u) << "the folder alone";
}

// The measurement file: one that cannot be read is named and no report is written; bad
// entries of the file beside the project are named and the report is still written.
TEST_F(OrlexReport, MeasurementFiles) {
    const std::string pdf = Path("r.pdf");
    const std::string missing = Path("none.json");
    TCommandRun run =
        Report(Quoted(kShip) + " -o " + Quoted(pdf) + " --measure " + Quoted(missing));
    EXPECT_EQ(run.Code, 1) << run.Output;
    EXPECT_NE(run.Output.find("orlex-report: " + missing + ": cannot be opened"), std::string::npos)
        << run.Output;
    EXPECT_FALSE(std::filesystem::exists(pdf));

    const std::string ship = Path("ship.3dl");
    std::filesystem::copy_file(kShip, ship);
    std::ofstream(ship + ".measure.json")
        << R"({"lines": [{"name": "Aft", "deck": 7, "from": [1, 1], "to": [2, 1]}]})";
    run = Report(Quoted(ship) + " -o " + Quoted(pdf));
    EXPECT_EQ(run.Code, 0) << run.Output;
    EXPECT_NE(run.Output.find(ship + ".measure.json: line 1 (\"Aft\"): deck 7 does not exist "
                                     "(the project has 3 decks)"),
              std::string::npos)
        << run.Output;
    EXPECT_TRUE(std::filesystem::exists(pdf));
}

}  // namespace
