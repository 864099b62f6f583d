// Imported files in folders of any script, written on Linux or on Windows (line
// ends, a byte-order mark), and what a build without one of the import's optional
// libraries says.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "convert.h"
#include "importsupport.h"
#include "openproject.h"
#include "osfile.h"
#include "recorders.h"
#include "tempfolder.h"

namespace orlex::import {
namespace {

namespace fs = std::filesystem;

constexpr bool kWithSqlite = ORLEX_WITH_SQLITE;
constexpr bool kWithGeos = ORLEX_WITH_GEOS;
constexpr bool kWithPugixml = ORLEX_WITH_PUGIXML;

// Two persons walking 1 m along x, 10 frames a second.
const std::string kRows =
    "# framerate: 10 fps\n# id frame x/m y/m\n"
    "1 0 1.0 1.0\n1 10 2.0 1.0\n2 0 1.0 2.0\n2 10 2.0 2.0\n";

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

class TextFiles : public test::TTempFolderTest {
protected:
    // A file in a folder of the given (UTF-8) name inside the temporary folder.
    std::string Write(const std::string& folder, const std::string& name, const std::string& text) {
        const fs::path dir = fs::path(Path("")) / PathOf(folder);
        fs::create_directories(dir);
        const std::string path = Utf8Of(dir / PathOf(name));
        std::FILE* file = OpenFile(path, "wb");
        EXPECT_NE(file, nullptr) << path;
        if (file) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
        return path;
    }
};

TEST_F(TextFiles, RowsInAnyFolderWithAnyLineEndGiveTheSameProject) {
    const std::string expected = test::LogText(ImportFile(Write("plain", "rows.txt", kRows), {}));
    struct TCase {
        const char* Folder;
        const char* File;
        std::string Text;
    };
    const TCase cases[] = {
        {"Pr\xC3\xBC"
         "fung/\xC3\x86r\xC3\xB8-Schiff",
         "lauf.txt", kRows},
        {"\xC3\x98resund", "\xC3\xA6\xC3\xB8\xC3\xA5.txt", WithCrLf(kRows)},
        {"\xCE\xA0\xCE\xBB\xCE\xBF\xCE\xAF\xCE\xBF", "\xCE\xB4.txt", "\xEF\xBB\xBF" + kRows},
        {"\xE6\xA1\x88\xE4\xBE\x8B", "\xE8\xBF\x90\xE8\xA1\x8C.txt",
         "\xEF\xBB\xBF" + WithCrLf(kRows)},
    };
    for (const TCase& c : cases) {
        const std::string path = Write(c.Folder, c.File, c.Text);
        SCOPED_TRACE(path);
        EXPECT_TRUE(NeedsImport(path, {}));
        EXPECT_EQ(SniffFormat(path), TFormat::PeTrack);
        EXPECT_EQ(InspectFile(path).Fps, 10.0);
        EXPECT_EQ(test::LogText(ImportFile(path, {})), expected);

        // Opened as the viewer and the tools open it; the converted file reads back.
        TLogFile1 project("Deck");
        test::TRecorder recorder;
        ASSERT_TRUE(OpenProject(path, {}, project, recorder, recorder));
        EXPECT_EQ(project.PersonCount(), 2);
        const std::string converted = Write(c.Folder, "converted.3dl", expected);
        TLogFile1 again("Deck");
        ASSERT_TRUE(OpenProject(converted, {}, again, recorder, recorder));
        EXPECT_EQ(again.PersonCount(), 2);
        EXPECT_EQ(again.Persons[1].StepCount, project.Persons[1].StepCount);
    }
}

TEST_F(TextFiles, ABuildWithoutALibraryNamesTheFileAndWhatIsMissing) {
    const std::string rows = Write("\xE6\xA1\x88\xE4\xBE\x8B", "rows.txt", kRows);
    std::string sqlite = std::string("SQLite format 3") + '\0' + std::string(200, '\x01');
    struct TCase {
        const char* Name;
        bool Built;
        std::string Path;
        std::string Geometry;
        const char* Missing;  // what the message says without the library
    };
    const TCase cases[] = {
        {"SQLite", kWithSqlite, Write("db", "run.sqlite", sqlite), "",
         "JuPedSim SQLite files are not available in this build (made without SQLite)"},
        {"GEOS", kWithGeos, rows, Write("wkt", "area.wkt", "POLYGON((0 0, 4 0, 4 4, 0 4, 0 0))\n"),
         "WKT geometry files are not available in this build (made without GEOS)"},
        {"pugixml", kWithPugixml, rows,
         Write("xml", "geometry.xml",
               "<?xml version=\"1.0\"?>\n<geometry version=\"0.8\">\n<rooms/>\n</geometry>\n"),
         "JuPedSim geometry files are not available in this build (made without pugixml)"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TImportOptions options;
        options.GeometryPath = c.Geometry;
        std::string message;
        try {
            ImportFile(c.Path, options);
        } catch (const TImportError& error) {
            message = error.what();
        }
        const std::string named = c.Geometry.empty() ? c.Path : c.Geometry;
        if (c.Built) {
            EXPECT_EQ(message.find("not available in this build"), std::string::npos) << message;
        } else {
            EXPECT_EQ(message, named + ": " + c.Missing);
        }
    }
}

}  // namespace
}  // namespace orlex::import
