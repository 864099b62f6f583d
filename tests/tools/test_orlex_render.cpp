// orlex-render as a user runs it, with no display server: pictures, videos,
// series, bad input and bad options.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "command.h"
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
    const orlex::test::TCommandRun run = orlex::test::RunCommand(
        std::string("env -u DISPLAY QT_QPA_PLATFORM=offscreen '") + ORLEX_RENDER_EXE + "' " + args);
    return {run.Code, run.Output};
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
    const TRun run =
        Render("'" + kShip + "' --at 60 --size 320x180 --caption none -o '" + Path("a.png") + "'");
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
        {"--caption top -o a.png", "--caption"},
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

TEST_F(OrlexRender, NoPictureOfAFileThatIsNoProject) {
    for (const std::string& input :
         {std::string("/dev/null"), std::string(ORLEX_SOURCE_DIR "/samples/ship.3dl/..")}) {
        const TRun run = Render("'" + input + "' --size 32x32 -o '" + Path("out.png") + "'");
        EXPECT_EQ(run.Code, 1) << input << "\n" << run.Err;
        EXPECT_FALSE(fs::exists(Path("out.png"))) << input;
    }
    const TRun empty = Render("/dev/null --size 32x32 -o '" + Path("out.png") + "'");
    EXPECT_NE(empty.Err.find("/dev/null is not a 3D log file: no <header> found"),
              std::string::npos)
        << empty.Err;
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

const QColor kBackground(0, 0, 51);

// The first row from the top that is not the band's ground.
int BandRows(const QImage& image) {
    int y = 0;
    auto band = [&](const QColor& c) {  // JPEG leaves its ground a little off
        return std::abs(c.red() - 245) < 30 && std::abs(c.green() - 245) < 30 &&
               std::abs(c.blue() - 245) < 30;
    };
    while (y < image.height() && band(image.pixelColor(1, y))) ++y;
    return y;
}

// The band is on by default within the size asked for, for every kind of output,
// with or without an overlay; "--caption none" leaves the view alone.
TEST_F(OrlexRender, CaptionBandAtTheTopWithinTheSizeUnlessNone) {
    const struct {
        const char* Args;
        const char* Out;
        bool Band;
    } cases[] = {
        {"--at 1:37 --overlay peak --size 640x360", "peak.png", true},
        {"--at 1:37 --overlay los --size 1280x720", "los.png", true},
        {"--at 1:37 --size 320x180", "plain.jpg", true},
        {"--from 1:37 --to 1:38 --speed 1 --fps 1 --size 320x180 --overlay usage", "s%d.png", true},
        {"--at 1:37 --overlay peak --size 640x360 --caption none", "none.png", false},
        {"--at 1:37 --size 640x360 --caption band", "band.png", true},
    };
    for (const auto& c : cases) {
        const TRun run = Render("'" + kShip + "' " + c.Args + " -o '" + Path(c.Out) + "'");
        ASSERT_EQ(run.Code, 0) << c.Args << "\n" << run.Err;
        std::string out = c.Out;
        if (out.find('%') != std::string::npos) out = "s0.png";
        const QImage image(QString::fromStdString(Path(out)));
        ASSERT_FALSE(image.isNull()) << out;
        const int rows = BandRows(image);
        if (!c.Band) {
            EXPECT_EQ(rows, 0) << c.Args;
            EXPECT_EQ(image.pixelColor(2, 2), kBackground) << c.Args;
            continue;
        }
        EXPECT_GE(rows, image.height() / 20) << c.Args;
        EXPECT_LE(rows, image.height() / 4) << c.Args;
        // The view starts right below the band; the picture keeps its size.
        EXPECT_LT(image.pixelColor(1, rows + 2).lightness(), 100) << c.Args;
        EXPECT_LT(image.pixelColor(1, image.height() - 1).lightness(), 40) << c.Args;
    }
    // The video's frames carry the band too, and keep the size.
    ASSERT_EQ(
        Render("'" + kShip + "' --from 1:37 --to 1:39 --size 320x180 -o '" + Path("v.mp4") + "'")
            .Code,
        0);
    const orlex::test::TVideoProbe probe = orlex::test::ProbeVideo(Path("v.mp4"));
    ASSERT_TRUE(probe.Opened);
    EXPECT_EQ(probe.Width, 320);
    EXPECT_EQ(probe.Height, 180);
    const uint8_t* corner = probe.FirstFrameRgb.data() + (2 * 320 + 2) * 3;
    EXPECT_GT(corner[0], 220);
    EXPECT_GT(corner[2], 220);
}

// Three persons wait on the lower deck for 5 s, then go up and wait on the upper
// one: the busiest deck follows them.
TEST_F(OrlexRender, BusiestDeckIsTheOneWithTheMostPersonsAtTheMomentAsked) {
    const std::string file = Path("crowd.3dl");
    std::string text =
        "<header>\nversion 1\npmax 3\nxmax 6\nymax 4\nzmax 2\nvmax 1\ntoff 0\n"
        "</header>\n";
    for (const char* deck : {"0\ncaption Lower", "1\ncaption Upper"})
        text += std::string("<deck>\nlevel ") + deck +
                "\n(celldata)\n111111\n100001\n100001\n111111\n</deck>\n";
    text += "<persons>\n<startpositions>\n1 1 0 3 0\n2 1 0 3 0\n3 1 0 3 0\n(movement)\n";
    for (int i = 0; i < 3; ++i) text += "P5x0U0P20x0S\n";
    std::ofstream(file) << text + "</persons>\n";
    auto picture = [&](const std::string& args, const std::string& out) {
        const TRun run = Render("'" + file + "' --caption none --size 96x64 " + args + " -o '" +
                                Path(out) + "'");
        EXPECT_EQ(run.Code, 0) << args << "\n" << run.Err;
        return Rgb(QImage(QString::fromStdString(Path(out))));
    };
    const struct {
        const char* Busiest;
        const char* Deck;
    } cases[] = {
        {"--deck busiest --at 2", "--deck 0 --at 2"},
        {"--deck busiest --at 12", "--deck 1 --at 12"},
        {"--deck busiest", "--deck 0"},  // the start
    };
    for (const auto& c : cases)
        EXPECT_EQ(picture(c.Busiest, "b.png"), picture(c.Deck, "d.png")) << c.Busiest;
    // The decks do differ at both times: the persons stand on one of them only.
    EXPECT_NE(picture("--deck 0 --at 12", "0.png"), picture("--deck 1 --at 12", "1.png"));
    EXPECT_NE(picture("--deck 0 --at 2", "0.png"), picture("--deck 1 --at 2", "1.png"));
    // A series starts where --from says.
    ASSERT_EQ(
        Render("'" + file + "' --caption none --size 96x64 --deck busiest --from 12 --to 13 " +
               "--speed 1 --fps 1 -o '" + Path("f%d.png") + "'")
            .Code,
        0);
    EXPECT_EQ(Rgb(QImage(QString::fromStdString(Path("f0.png")))),
              picture("--deck 1 --at 12", "d.png"));
}

// A small deck of 18 x 25 cells with a person in each corner: both cameras show
// the whole deck, every person in its own quarter, nothing cut at the edges.
TEST_F(OrlexRender, TopAndObliqueCamerasFrameASmallDeck) {
    std::string text =
        "<header>\nversion 1\npmax 4\nxmax 18\nymax 25\nzmax 1\nvmax 1\ntoff 0\n"
        "</header>\n<deck>\nlevel 0\ncaption Small\n(celldata)\n";
    for (int row = 0; row < 25; ++row)
        text += (row == 0 || row == 24 ? std::string(18, '1') : "1" + std::string(16, '0') + "1") +
                "\n";
    text +=
        "</deck>\n<persons>\n<startpositions>\n1 1 0 3 0\n16 1 0 3 0\n1 23 0 3 0\n"
        "16 23 0 3 0\n(movement)\nP9x0S\nP9x0S\nP9x0S\nP9x0S\n</persons>\n";
    const std::string file = Path("small.3dl");
    std::ofstream(file) << text;
    for (const char* camera : {"top", "oblique"}) {
        for (const char* size : {"320x240", "640x360"}) {
            const TRun run = Render("'" + file + "' --caption none --camera " + camera +
                                    " --size " + size + " -o '" + Path("c.png") + "'");
            ASSERT_EQ(run.Code, 0) << run.Err;
            const QImage image(QString::fromStdString(Path("c.png")));
            const int w = image.width(), h = image.height();
            int left = w, right = -1, top = h, bottom = -1;
            int green[2][2] = {};
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c == kBackground) continue;
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                    if (c.green() > 100 && c.red() < 60 && c.blue() < 60)
                        ++green[2 * y / h][2 * x / w];
                }
            }
            const std::string what = std::string(camera) + " " + size;
            EXPECT_GT(left, 0) << what;
            EXPECT_LT(right, w - 1) << what;
            EXPECT_GT(top, 0) << what;
            EXPECT_LT(bottom, h - 1) << what;
            // Framed, not lost in the distance: the deck fills most of one side.
            EXPECT_TRUE(bottom - top > h * 0.7 || right - left > w * 0.7) << what;
            for (const auto& row : green)
                for (int count : row) EXPECT_GT(count, 3) << what;
        }
    }
}

}  // namespace

// --deck all and --plan draw without a display: pictures and a video, the stack
// taller than one deck from the oblique camera, the plan with its scale bar.
TEST_F(OrlexRender, AllDecksAndThePlanViewWithoutADisplay) {
    struct TCase {
        const char* Args;
        const char* Out;
    };
    const TCase cases[] = {
        {"--deck all --camera oblique", "all.png"},
        {"--deck all --plan --overlay los", "allplan.png"},
        {"--deck 1 --plan", "plan.png"},
        {"--deck 0 --camera oblique", "one.png"},
    };
    int rows[4] = {};
    for (int k = 0; k < 4; ++k) {
        const TRun run = Render("'" + kShip + "' --at 60 --size 320x240 --caption none " +
                                cases[k].Args + " -o '" + Path(cases[k].Out) + "'");
        ASSERT_EQ(run.Code, 0) << cases[k].Args << ": " << run.Err;
        const QImage image(QString::fromStdString(Path(cases[k].Out)));
        ASSERT_EQ(image.size(), QSize(320, 240)) << cases[k].Args;
        int top = 240, bottom = -1;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (image.pixelColor(x, y) != QColor(0, 0, 51)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        rows[k] = bottom - top;
        EXPECT_GT(rows[k], 20) << cases[k].Args << ": something is drawn";
    }
    // The whole ship stands taller than its lowest deck alone.
    EXPECT_GT(rows[0], rows[3]);
    const TRun video = Render("'" + kShip + "' --deck all --from 0 --to 2 --fps 2 --speed 1 " +
                              "--size 320x240 -o '" + Path("all.mp4") + "'");
    EXPECT_EQ(video.Code, 0) << video.Err;
    EXPECT_TRUE(QFileInfo(QString::fromStdString(Path("all.mp4"))).size() > 0);
    const TRun bad = Render("'" + kShip + "' --deck every -o '" + Path("x.png") + "'");
    EXPECT_EQ(bad.Code, 2);
    EXPECT_NE(bad.Err.find("\"all\""), std::string::npos) << bad.Err;
}

// --deck all:N draws deck N in full: the cut follows it, and without --camera the
// stack is seen from the oblique camera that fits it.
TEST_F(OrlexRender, AllDecksWithAChosenDeckInFull) {
    auto picture = [&](const std::string& args, const std::string& out) {
        const TRun run = Render("'" + kShip + "' --at 60 --size 160x120 --caption none " + args +
                                " -o '" + Path(out) + "'");
        EXPECT_EQ(run.Code, 0) << args << ": " << run.Err;
        return Rgb(QImage(QString::fromStdString(Path(out))));
    };
    struct TSame {
        const char* A;
        const char* B;
        bool Same;
    };
    const TSame cases[] = {
        // Below the lowest deck there is nothing more.
        {"--deck all:0 --cut below", "--deck all:0 --cut only", true},
        {"--deck all:1 --cut below", "--deck all:1 --cut only", false},
        {"--deck all:0 --cut only", "--deck all:2 --cut only", false},
        {"--deck all:1", "--deck all:2", false},
        {"--deck all:1", "--deck all:1 --camera oblique", true},
        {"--deck all:1", "--deck all:1 --camera top", false},
        // The viewer's default spacing, and another.
        {"--deck all:1", "--deck all:1 --deck-spacing 3", true},
        {"--deck all:1", "--deck all:1 --deck-spacing 8", false},
    };
    int k = 0;
    for (const TSame& c : cases) {
        const std::vector<uint8_t> a = picture(c.A, "a" + std::to_string(k) + ".png");
        const std::vector<uint8_t> b = picture(c.B, "b" + std::to_string(k) + ".png");
        ASSERT_FALSE(a.empty()) << c.A;
        EXPECT_EQ(a == b, c.Same) << c.A << " against " << c.B;
        ++k;
    }
    struct TBad {
        const char* Deck;
        int Code;
        const char* Says;
    };
    const TBad bad[] = {{"all:3", 2, "3 deck(s)"},
                        {"all:x", 2, "all:N"},
                        {"all:-1", 2, "all:N"},
                        {"all --deck-spacing 0.5", 2, "--deck-spacing"},
                        {"all --deck-spacing x", 2, "--deck-spacing"}};
    for (const TBad& b : bad) {
        const TRun run =
            Render("'" + kShip + "' --deck " + b.Deck + " -o '" + Path("bad.png") + "'");
        EXPECT_EQ(run.Code, b.Code) << b.Deck;
        EXPECT_NE(run.Err.find(b.Says), std::string::npos) << b.Deck << ": " << run.Err;
        EXPECT_FALSE(fs::exists(Path("bad.png"))) << b.Deck;
    }
}

namespace {

int MeasureLinePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 90 && c.blue() > 110) ++count;
        }
    return count;
}

}  // namespace

// The measurement file beside the project is drawn, --measure names another; one
// that cannot be read stops the picture, entries that cannot be used are named.
TEST_F(OrlexRender, MeasurementsBesideTheProjectOrNamedAreDrawn) {
    fs::copy_file(kShip, Path("ship.3dl"));
    const std::string line =
        R"({"lines": [{"name": "Across", "deck": 0, "from": [5.0, 9.6], "to": [59.0, 9.6]}]})";
    std::ofstream(Path("ship.3dl.measure.json")) << line;
    std::ofstream(Path("bad.json"))
        << R"({"lines": [{"name": "Across", "deck": 0, "from": [5.0, 9.6], "to": [59.0, 9.6]},
                         {"name": "Upstairs", "deck": 9, "from": [5.0, 9.6], "to": [9.0, 9.6]}]})";
    const std::string common = " --at 60 --size 320x240 --caption none --plan -o ";
    struct TCase {
        std::string Args;
        bool Drawn;
        const char* Said;  // in the messages; empty for none
    };
    const TCase cases[] = {
        {"'" + Path("ship.3dl") + "'", true, ""},
        {"'" + kShip + "'", false, ""},
        {"'" + kShip + "' --measure '" + Path("ship.3dl.measure.json") + "'", true, ""},
        {"'" + kShip + "' --measure '" + Path("bad.json") + "'", true, "Upstairs"},
    };
    for (const TCase& c : cases) {
        const TRun run = Render(c.Args + common + "'" + Path("m.png") + "'");
        ASSERT_EQ(run.Code, 0) << c.Args << ": " << run.Err;
        const int pixels = MeasureLinePixels(QImage(QString::fromStdString(Path("m.png"))));
        EXPECT_EQ(pixels > 100, c.Drawn) << c.Args << ": " << pixels;
        if (*c.Said) {
            EXPECT_NE(run.Err.find(c.Said), std::string::npos) << run.Err;
        }
        fs::remove(Path("m.png"));
    }
    const TRun missing =
        Render("'" + kShip + "' --measure '" + Path("none.json") + "'" + common + Path("n.png"));
    EXPECT_EQ(missing.Code, 1);
    EXPECT_NE(missing.Err.find("none.json"), std::string::npos) << missing.Err;
    EXPECT_FALSE(fs::exists(Path("n.png")));
}
