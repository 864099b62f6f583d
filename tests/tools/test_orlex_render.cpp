// orlex-render as a user runs it, with no display server: pictures, videos,
// series, bad input and bad options.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tempfolder.h"
#include "videoprobe.h"

namespace fs = std::filesystem;

namespace {

const std::string kShip = ORLEX_SOURCE_DIR "/samples/ship.3dl";

struct TRun {
    int Code = -1;
    std::string Err;
};

// Runs orlex-render with args (quoted for the shell) and no display.
TRun Render(const std::string& args) {
    const std::string command = std::string("env -u DISPLAY QT_QPA_PLATFORM=offscreen '") +
                                ORLEX_RENDER_EXE + "' " + args + " 2>&1";
    TRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Err.append(buffer, n);
    const int status = pclose(pipe);
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

using OrlexRender = orlex::test::TTempFolderTest;

std::vector<uint8_t> Rgb(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<uint8_t> out;
    for (int y = 0; y < rgb.height(); ++y) {
        const uint8_t* line = rgb.constScanLine(y);
        out.insert(out.end(), line, line + rgb.width() * 3);
    }
    return out;
}

TEST_F(OrlexRender, APictureShowsTheBackgroundAndTheDeck) {
    const TRun run = Render("'" + kShip + "' --at 60 --size 320x180 -o '" + Path("a.png") + "'");
    ASSERT_EQ(run.Code, 0) << run.Err;
    const QImage image(QString::fromStdString(Path("a.png")));
    ASSERT_EQ(image.size(), QSize(320, 180));
    const QColor corner = image.pixelColor(2, 2);
    EXPECT_EQ(corner, QColor(0, 0, 51)) << "the dark blue background";
    EXPECT_NE(image.pixelColor(160, 90), corner) << "the deck in the middle";
}

TEST_F(OrlexRender, AVideoIsH264OfTheAskedLengthAndItsFirstFrameIsThePicture) {
    const std::string times = "--from 20 --to 30 --speed 5 --fps 25 --size 320x180";
    ASSERT_EQ(Render("'" + kShip + "' " + times + " -o '" + Path("v.mp4") + "'").Code, 0);
    ASSERT_EQ(Render("'" + kShip + "' --at 20 --size 320x180 -o '" + Path("f.png") + "'").Code, 0);
    const orlex::test::TVideoProbe probe = orlex::test::ProbeVideo(Path("v.mp4"));
    ASSERT_TRUE(probe.Opened);
    EXPECT_EQ(probe.Codec, "h264");
    EXPECT_EQ(probe.PixelFormat, "yuv420p");
    EXPECT_EQ(probe.Width, 320);
    EXPECT_EQ(probe.Height, 180);
    EXPECT_EQ(probe.Packets, 50);
    EXPECT_NEAR(probe.Duration, 2.0, 0.05);
    const QImage picture(QString::fromStdString(Path("f.png")));
    EXPECT_GE(orlex::test::Psnr(probe.FirstFrameRgb, Rgb(picture)), 30.0);
}

TEST_F(OrlexRender, ASeriesWritesOneNumberedFileAFrame) {
    const TRun run = Render("'" + kShip + "' --from 0 --to 1 --speed 1 --fps 4 --size 64x48 -o '" +
                            Path("s%03d.jpg") + "'");
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(FilesLeft(), 4u);
    EXPECT_TRUE(fs::exists(Path("s000.jpg")));
    EXPECT_TRUE(fs::exists(Path("s003.jpg")));
}

TEST_F(OrlexRender, UnwritableOutputsExitWithOneAndLeaveNothing) {
    for (const std::string out : {"/nonexistent/dir/a.png", "/nonexistent/dir/v.mp4"}) {
        const TRun run = Render("'" + kShip + "' --size 64x48 -o " + out);
        EXPECT_EQ(run.Code, 1) << out << run.Err;
        EXPECT_NE(run.Err.find("No such file or directory"), std::string::npos) << run.Err;
    }
    const TRun missing = Render("/nonexistent.3dl -o '" + Path("a.png") + "'");
    EXPECT_EQ(missing.Code, 1);
    EXPECT_NE(missing.Err.find("Cannot open file"), std::string::npos) << missing.Err;
    EXPECT_EQ(FilesLeft(), 0u);
}

TEST_F(OrlexRender, UsageErrorsExitWithTwoAndNameTheOption) {
    const struct {
        const char* args;
        const char* option;
    } cases[] = {
        {"--size 3x3 -o a.png", "--size"},
        {"--size 321x180 -o a.mp4", "--size"},
        {"--fps 0 -o a.mp4", "--fps"},
        {"--speed -1 -o a.mp4", "--speed"},
        {"--at soon -o a.png", "--at"},
        {"--camera sideways -o a.png", "--camera"},
        {"--overlay heat -o a.png", "--overlay"},
        {"--deck x -o a.png", "--deck"},
        {"--deck 99 -o a.png", "--deck"},
        {"--from 9 -o a.png", "--from"},
        {"--at 9 -o a.mp4", "--at"},
        {"-o a.gif", "-o"},
        {"-o a%d.gif", "-o"},
        {"--from 30 --to 20 -o a.mp4", "--from"},
        {"--frobnicate -o a.png", "--frobnicate"},
        {"", "-o"},
    };
    for (const auto& c : cases) {
        const TRun run = Render("'" + kShip + "' " + c.args);
        EXPECT_EQ(run.Code, 2) << c.args << "\n" << run.Err;
        EXPECT_NE(run.Err.find(c.option), std::string::npos) << c.args << "\n" << run.Err;
    }
    EXPECT_EQ(FilesLeft(), 0u);
}

TEST_F(OrlexRender, BadFilesNeverCrashItNorLeaveHalfAFile) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(ORLEX_SOURCE_DIR "/fuzz/corpus"))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (std::size_t i = 0; i < files.size(); i += 30) {
        const TRun run =
            Render("'" + files[i].string() + "' --size 32x32 -o '" + Path("out.png") + "'");
        EXPECT_TRUE(run.Code == 0 || run.Code == 1 || run.Code == 2)
            << files[i] << " exit " << run.Code << "\n"
            << run.Err;
        if (run.Code != 0) {
            EXPECT_FALSE(fs::exists(Path("out.png"))) << files[i];
        }
        fs::remove(Path("out.png"));
    }
}

}  // namespace
