// One entry point for every supported file: 3D log files through the reader as they
// are, other tools' trajectories through the import; and the import's options as the
// tools read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "importargs.h"
#include "importsupport.h"
#include "openproject.h"
#include "recorders.h"
#include "tempfolder.h"

namespace orlex::import {
namespace {

using test::TRecordingMessages;
using test::TRecordingProgress;
using test::TShownMessage;

// Two persons walking 1 m along x in one second, at 10 frames a second.
const char* const kPeTrack =
    "# framerate: 10 fps\n# id frame x/m y/m z/m\n"
    "1 0 1.0 1.0 0\n1 10 2.0 1.0 0\n2 0 1.0 2.0 0\n2 10 2.0 2.0 0\n";

class OpenProject : public test::TTempFolderTest {};

TEST_F(OpenProject, EveryKindOfFileGoesWhereItBelongs) {
    const std::string petrack = Path("walk.txt");
    test::WriteText(petrack, kPeTrack);
    // The same trajectories converted beforehand: the reader gives the same project.
    TImportOptions options;
    const std::string converted = Path("walk.3dl");
    test::WriteText(converted, test::LogText(ImportFile(petrack, options)));
    const std::string garbage = Path("notes.txt");
    test::WriteText(garbage, "shopping list\n");
    const std::string rowsWithoutRate = Path("norate.txt");
    test::WriteText(rowsWithoutRate, "1 0 1.0 1.0\n1 10 2.0 1.0\n");

    struct TCase {
        const char* Name;
        std::string Path;
        bool Imported;
        bool Opened;
        const char* Error;  // part of the error shown; empty for none
    } cases[] = {
        {"PeTrack text", petrack, true, true, ""},
        {"converted 3D log file", converted, false, true, ""},
        {"unknown text goes to the reader", garbage, false, false, "is not a 3D log file"},
        {"missing file goes to the reader", Path("missing.txt"), false, false, "Cannot open file"},
        {"import error shown as an error", rowsWithoutRate, true, false, "norate.txt"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(NeedsImport(c.Path, options), c.Imported);
        TLogFile1 project("Deck");
        TRecordingProgress progress;
        TRecordingMessages messages;
        EXPECT_EQ(import::OpenProject(c.Path, options, project, progress, messages), c.Opened);
        const std::vector<std::string> texts = messages.Texts();
        const bool errorShown =
            std::any_of(messages.Messages.begin(), messages.Messages.end(),
                        [](const TShownMessage& m) { return m.Icon == TMsgIcon::Error; });
        if (*c.Error) {
            ASSERT_TRUE(errorShown);
            EXPECT_NE(texts.front().find(c.Error), std::string::npos) << texts.front();
        } else {
            EXPECT_FALSE(errorShown);
        }
        if (c.Opened) {
            EXPECT_EQ(project.PersonCount(), 2);
            EXPECT_EQ(project.FileName, c.Path);
            EXPECT_TRUE(project.Source.Known);
            EXPECT_DOUBLE_EQ(project.Source.CellSize, 0.4);
        }
    }
    // No file is left behind beside the input.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("")),
                            std::filesystem::directory_iterator{}),
              4);
}

TEST_F(OpenProject, OptionsReachTheImportAndWarningsTheMessages) {
    const std::string path = Path("norate.txt");
    test::WriteText(path, "1 0 100 100\n1 10 200 100\n2 0 100 200\n2 10 200 200\n");
    TImportOptions options;
    for (const auto& [name, value] :
         {std::pair{"fps", "10"}, {"unit", "cm"}, {"cell-size", "0.5"}, {"format", "petrack"}})
        ASSERT_EQ(SetImportOption(name, value, options), "");
    TLogFile1 project("Deck");
    TRecordingProgress progress;
    TRecordingMessages messages;
    ASSERT_TRUE(import::OpenProject(path, options, project, progress, messages));
    EXPECT_DOUBLE_EQ(project.Source.CellSize, 0.5);
    EXPECT_EQ(project.PersonCount(), 2);

    EXPECT_EQ(messages.Messages.size(), 0u);

    // A person lost for three seconds: the import's warning comes as a warning.
    const std::string gap = Path("gap.txt");
    test::WriteText(gap, std::string(kPeTrack) + "1 40 3.0 1.0 0\n");
    TLogFile1 second("Deck");
    ASSERT_TRUE(import::OpenProject(gap, TImportOptions{}, second, progress, messages));
    ASSERT_FALSE(messages.Messages.empty());
    for (const TShownMessage& m : messages.Messages) {
        EXPECT_EQ(m.Icon, TMsgIcon::Warning);
        EXPECT_NE(m.Text.find("gap.txt"), std::string::npos) << m.Text;
    }
}

TEST_F(OpenProject, WhatAFileSaysAboutItself) {
    struct TCase {
        const char* Name;
        const char* Text;
        TFormat Format;
        bool TextRows;
        double Fps;
        TLengthUnit Unit;
    } cases[] = {
        {"rate and unit", kPeTrack, TFormat::PeTrack, true, 10, TLengthUnit::Metre},
        {"neither", "1 0 1 1\n1 1 2 1\n", TFormat::PeTrack, true, 0, TLengthUnit::Unknown},
        {"unit in cm only", "# x/cm y/cm\n1 0 1 1\n", TFormat::PeTrack, true, 0,
         TLengthUnit::Centimetre},
        {"comments after the rows are not read", "1 0 1 1\n# framerate 25\n", TFormat::PeTrack,
         true, 0, TLengthUnit::Unknown},
        {"crowd:it gives both", "time,pedID,posX,posY\n0,1,1,1\n", TFormat::Crowdit, false, 0,
         TLengthUnit::Unknown},
        {"unknown", "hello\n", TFormat::Auto, false, 0, TLengthUnit::Unknown},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::WriteText(Path("f.txt"), c.Text);
        const TFileFacts facts = InspectFile(Path("f.txt"));
        EXPECT_EQ(facts.Format, c.Format);
        EXPECT_EQ(facts.TextRows, c.TextRows);
        EXPECT_DOUBLE_EQ(facts.Fps, c.Fps);
        EXPECT_EQ(facts.Unit, c.Unit);
    }
    EXPECT_THROW(InspectFile(Path("missing.txt")), TImportError);
}

TEST(ImportOptions, ValuesAndTheirErrors) {
    struct TCase {
        const char* Name;
        const char* Value;
        const char* Error;  // start of the error; empty when good
    } cases[] = {
        {"format", "vadere", ""},
        {"format", "crowdit", ""},
        {"format", "csv", "--format takes auto, petrack"},
        {"cell-size", "0.25", ""},
        {"cell-size", "-1", "--cell-size needs a number above 0"},
        {"cell-size", "0.4m", "--cell-size needs a number above 0"},
        {"step-rate", "100", ""},
        {"step-rate", "101", "--step-rate takes a whole number from 1 to 100"},
        {"fps", "25", ""},
        {"fps", "nan", "--fps needs a number above 0"},
        {"unit", "cm", ""},
        {"unit", "ft", "--unit takes m or cm, not \"ft\""},
        {"floors-from-z", "", ""},
        {"geometry", "room.wkt", ""},
        {"speed", "2", "unknown option --speed"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + " " + c.Value);
        TImportOptions options;
        const std::string error = SetImportOption(c.Name, c.Value, options);
        EXPECT_EQ(error.rfind(c.Error, 0), 0u) << error;
        EXPECT_EQ(error.empty(), !*c.Error);
    }
    TImportOptions options;
    ASSERT_EQ(SetImportOption("format", "vadere", options), "");
    EXPECT_EQ(options.Format, TFormat::Vadere);
    ASSERT_EQ(SetImportOption("unit", "cm", options), "");
    EXPECT_EQ(options.Text.Unit, TLengthUnit::Centimetre);
    ASSERT_EQ(SetImportOption("floors-from-z", "", options), "");
    EXPECT_TRUE(options.FloorsFromZ);
    EXPECT_TRUE(IsImportOption("--step-rate"));
    EXPECT_FALSE(IsImportOption("step-rate"));
    EXPECT_FALSE(IsImportOption("--to"));
    EXPECT_FALSE(ImportOptionTakesValue("floors-from-z"));
    EXPECT_TRUE(ImportOptionTakesValue("geometry"));
    const std::string help = ImportOptionsHelp(20, {"fps"});
    EXPECT_NE(help.find("\n  --step-rate V     steps a second"), std::string::npos) << help;
    // Wrapped within 79 columns, further lines under the first.
    std::size_t start = 0;
    for (std::size_t end; (end = help.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 79u) << help.substr(start, end - start);
    EXPECT_NE(help.find("\n" + std::string(20, ' ') + "found from the file"), std::string::npos)
        << help;
    EXPECT_EQ(help.find("--fps"), std::string::npos);
}

}  // namespace
}  // namespace orlex::import
