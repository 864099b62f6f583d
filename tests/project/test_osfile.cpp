// Files by UTF-8 paths in any script, 64-bit offsets, mapped files, and line ends
// and captions of files written on another system: the same on every system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "logfile.h"
#include "osfile.h"
#include "projects.h"
#include "recorders.h"
#include "tempfolder.h"

namespace orlex {
namespace {

namespace fs = std::filesystem;

// Folder and file names as analysts write them, in four scripts (UTF-8).
struct TScript {
    const char* Name;
    const char* Folder;
    const char* File;
};
const TScript kScripts[] = {
    {"Latin",
     "Pr\xC3\xBC"
     "fung/\xC3\x86r\xC3\xB8-Schiff",
     "run1.3dl"},
    {"Nordic", "\xC3\x98resund/\xC3\x85lesund-F\xC3\xA6rge", "\xC3\xA6\xC3\xB8\xC3\xA5.3dl"},
    {"Greek",
     "\xCE\xA0\xCE\xBB\xCE\xBF\xCE\xAF\xCE\xBF/\xCE\x9A\xCE\xB1\xCF\x84\xCE\xAC"
     "\xCF\x83\xCF\x84\xCF\x81\xCF\x89\xCE\xBC\xCE\xB1",
     "\xCE\xB4\xCE\xBF\xCE\xBA\xCE\xB9\xCE\xBC\xCE\xAE.3dl"},
    {"CJK", "\xE6\xA1\x88\xE4\xBE\x8B/\xE8\x88\xB9", "\xE8\xBF\x90\xE8\xA1\x8C.3dl"},
};

std::string ReadWhole(const std::string& path) {
    std::string text;
    std::FILE* file = OpenFile(path, "rb");
    if (!file) return "<cannot open>";
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

bool WriteWhole(const std::string& path, const std::string& text) {
    std::FILE* file = OpenFile(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

class OsFile : public test::TTempFolderTest {
protected:
    // The temporary folder as UTF-8, with name inside it.
    std::string Utf8Path(const std::string& name) const {
        return Utf8Of(fs::path(Path("")) / PathOf(name));
    }
};

TEST_F(OsFile, PathsInEveryScriptAreOpenedReadAndWritten) {
    for (const TScript& s : kScripts) {
        SCOPED_TRACE(s.Name);
        const std::string folder = Utf8Path(s.Folder);
        std::error_code error;
        ASSERT_TRUE(fs::create_directories(PathOf(folder), error)) << error.message();
        const std::string path = folder + "/" + s.File;

        ASSERT_TRUE(WriteWhole(path, test::kExampleFile));
        EXPECT_EQ(ReadWhole(path), test::kExampleFile);
        // The system shows the very name that was written, and its size.
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(PathOf(folder)))
            names.push_back(Utf8Of(entry.path().filename()));
        EXPECT_EQ(names, std::vector<std::string>{s.File});
        EXPECT_EQ(fs::file_size(PathOf(path)), std::string(test::kExampleFile).size());

        // The reader opens it by that name.
        TLogFile1 project("Deck");
        test::TRecorder recorder;
        ASSERT_TRUE(project.LoadFromFile(path, recorder, recorder)) << path;
        EXPECT_EQ(project.PersonCount(), 2);
        EXPECT_EQ(project.Decks.at(0).GetCaption(), "Main deck");

        // Renamed and removed by name; the old name is gone.
        const std::string renamed = folder + "/" + s.File + ".old";
        std::string why;
        ASSERT_TRUE(RenameFile(path, renamed, why)) << why;
        EXPECT_EQ(OpenFile(path, "rb"), nullptr);
        EXPECT_EQ(ReadWhole(renamed), test::kExampleFile);
        RemoveFile(renamed);
        EXPECT_FALSE(fs::exists(PathOf(renamed)));
    }
}

TEST_F(OsFile, RenameReplacesAnExistingFile) {
    const std::string from = Utf8Path("new.part"), to = Utf8Path("\xC3\x86r\xC3\xB8.3dl");
    ASSERT_TRUE(WriteWhole(to, "old"));
    ASSERT_TRUE(WriteWhole(from, "new"));
    std::string why;
    ASSERT_TRUE(RenameFile(from, to, why)) << why;
    EXPECT_EQ(ReadWhole(to), "new");
    EXPECT_FALSE(RenameFile(Utf8Path("missing"), to, why));
    EXPECT_FALSE(why.empty());
}

TEST_F(OsFile, SeeksAndTellsPastTwoAndFourGigabytes) {
    // Sparse where the file system allows it: only the bytes written take room.
    const std::string path = Utf8Path("sparse.bin");
    std::FILE* file = OpenFile(path, "wb");
    ASSERT_NE(file, nullptr);
    const std::int64_t offsets[] = {(std::int64_t{1} << 31) + 7, (std::int64_t{1} << 32) + 11};
    for (const std::int64_t at : offsets) {
        ASSERT_TRUE(SeekFile(file, at, SEEK_SET));
        EXPECT_EQ(TellFile(file), at);
        ASSERT_EQ(std::fwrite("mark", 1, 4, file), 4u);
    }
    std::fclose(file);

    file = OpenFile(path, "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(SeekFile(file, 0, SEEK_END));
    EXPECT_EQ(TellFile(file), offsets[1] + 4);
    for (const std::int64_t at : offsets) {
        ASSERT_TRUE(SeekFile(file, at, SEEK_SET));
        char mark[5] = {};
        ASSERT_EQ(std::fread(mark, 1, 4, file), 4u);
        EXPECT_STREQ(mark, "mark") << at;
    }
    ASSERT_TRUE(SeekFile(file, -4, SEEK_CUR));
    EXPECT_EQ(TellFile(file), offsets[1]);
    std::fclose(file);
}

TEST_F(OsFile, MapsWholeFilesAndNamesWhatFails) {
    const std::string folder = Utf8Path("\xE6\xA1\x88\xE4\xBE\x8B");
    ASSERT_TRUE(fs::create_directories(PathOf(folder)));
    const std::string full = folder + "/data.txt", empty = folder + "/empty.txt";
    ASSERT_TRUE(WriteWhole(full, "1 0 1.0 1.0\r\n"));
    ASSERT_TRUE(WriteWhole(empty, ""));
    struct TCase {
        std::string Path;
        std::vector<TMapResult> Results;  // what the systems may answer
        std::string Text;
    };
    const TCase cases[] = {
        {full, {TMapResult::Mapped}, "1 0 1.0 1.0\r\n"},
        {empty, {TMapResult::Mapped}, ""},
        {folder + "/missing.txt", {TMapResult::CannotOpen}, ""},
        // A folder: some systems refuse to open it at all.
        {folder, {TMapResult::NotRegular, TMapResult::CannotOpen}, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path);
        TFileMapping mapping;
        std::string error;
        const TMapResult result = MapFile(c.Path, mapping, error);
        EXPECT_NE(std::find(c.Results.begin(), c.Results.end(), result), c.Results.end());
        if (result == TMapResult::CannotOpen) {
            EXPECT_FALSE(error.empty());
        }
        if (result != TMapResult::Mapped) continue;
        EXPECT_EQ(std::string(mapping.Data ? mapping.Data : "", mapping.Size), c.Text);
        DropMappedPages(mapping, mapping.Size);  // a hint: the data stays readable
        EXPECT_EQ(std::string(mapping.Data ? mapping.Data : "", mapping.Size), c.Text);
        UnmapFile(mapping);
    }
}

// The same project as written on Linux and on Windows: line ends, a byte-order
// mark, and captions in UTF-8 or in the Windows code page.
TEST_F(OsFile, LineEndsMarksAndCaptionsReadTheSameFromFiles) {
    const std::string utf8Caption =
        "\xC3\x86r\xC3\xB8-Schiff \xE2\x80\x93 Deck 1";  // Ærø-Schiff – Deck 1
    const std::string cp1252Caption = "\xC6r\xF8-Schiff \x96 Deck 1";
    auto withCrLf = [](std::string text) {
        std::string out;
        for (const char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    };
    const std::vector<std::string> tracks = {"33P2x0S", "P3x3S", "P1000x0P5x2S"};
    struct TCase {
        const char* Name;
        std::string Text;
    };
    const std::string lf = test::ProjectText({utf8Caption}, 4, tracks);
    const TCase cases[] = {
        {"LF, UTF-8", lf},
        {"CR LF, UTF-8", withCrLf(lf)},
        {"BOM, CR LF, UTF-8", "\xEF\xBB\xBF" + withCrLf(lf)},
        {"CR LF, Windows-1252", withCrLf(test::ProjectText({cp1252Caption}, 4, tracks))},
        {"BOM, LF, Windows-1252", "\xEF\xBB\xBF" + test::ProjectText({cp1252Caption}, 4, tracks)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = Utf8Path("\xCE\xA0\xCE\xBB\xCE\xBF\xCE\xAF\xCE\xBF.3dl");
        ASSERT_TRUE(WriteWhole(path, c.Text));
        TLogFile1 project("Deck");
        test::TRecorder recorder;
        ASSERT_TRUE(project.LoadFromFile(path, recorder, recorder));
        EXPECT_TRUE(recorder.Texts().empty()) << recorder.Texts().front();
        ASSERT_EQ(project.Decks.size(), 1u);
        EXPECT_EQ(project.Decks[0].GetCaption(), utf8Caption);
        ASSERT_EQ(project.PersonCount(), 3);
        EXPECT_EQ(project.Persons[0].StepCount, 4);
        EXPECT_EQ(project.Persons[1].StepCount, 3);
        EXPECT_EQ(project.Persons[2].StepCount, 1005);
    }
}

}  // namespace
}  // namespace orlex
