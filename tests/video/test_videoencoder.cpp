// The MP4 writer: what a player sees in the file, formats it refuses, and that a
// failed, cancelled or abandoned export leaves no file and names the system's reason.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tempfolder.h"
#include "videoencoder.h"
#include "videoprobe.h"

using orlex::TVideoEncoder;
using orlex::TVideoFormat;

namespace {

using VideoEncoder = orlex::test::TTempFolderTest;

// A picture that changes from frame to frame: a gradient with a moving bar.
std::vector<uint8_t> Picture(int w, int h, int n) {
    std::vector<uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            const bool bar = (x - 4 * n) % w >= 0 && (x - 4 * n) % w < 20;
            p[0] = bar ? 230 : static_cast<uint8_t>(x * 255 / w);
            p[1] = bar ? 40 : static_cast<uint8_t>(y * 255 / h);
            p[2] = bar ? 40 : 128;
        }
    }
    return rgb;
}

bool Encode(TVideoEncoder& encoder, const std::string& path, TVideoFormat format, int frames) {
    if (!encoder.Open(path, format)) return false;
    for (int n = 0; n < frames; ++n) {
        const std::vector<uint8_t> rgb = Picture(format.Width, format.Height, n);
        if (!encoder.AddFrame(rgb.data(), format.Width * 3)) return false;
    }
    return encoder.Finish();
}

TEST_F(VideoEncoder, PlayersSeeH264Yuv420pOfTheRightSizeLengthAndPicture) {
    const TVideoFormat format{320, 240, 25};
    TVideoEncoder encoder;
    ASSERT_TRUE(Encode(encoder, Path("two-seconds.mp4"), format, 50)) << encoder.Error();
    EXPECT_EQ(encoder.FrameCount(), 50);
    EXPECT_EQ(FilesLeft(), 1u) << "no temporary file stays";

    const orlex::test::TVideoProbe probe = orlex::test::ProbeVideo(Path("two-seconds.mp4"));
    ASSERT_TRUE(probe.Opened);
    EXPECT_EQ(probe.Codec, "h264");
    EXPECT_EQ(probe.PixelFormat, "yuv420p");
    EXPECT_EQ(probe.Width, 320);
    EXPECT_EQ(probe.Height, 240);
    EXPECT_EQ(probe.Packets, 50);
    EXPECT_NEAR(probe.Duration, 2.0, 0.05);
    EXPECT_NEAR(probe.FrameRate, 25.0, 0.01);
    EXPECT_GE(orlex::test::Psnr(probe.FirstFrameRgb, Picture(320, 240, 0)), 30.0);
}

TEST_F(VideoEncoder, RefusesUnusableFormats) {
    const struct {
        TVideoFormat format;
        const char* reason;
    } cases[] = {
        {{321, 240, 25}, "even"},      {{320, 241, 25}, "even"},
        {{8, 8, 25}, "between 16"},    {{9000, 240, 25}, "between 16"},
        {{320, 240, 0}, "frame rate"}, {{320, 240, 241}, "frame rate"},
    };
    for (const auto& c : cases) {
        TVideoEncoder encoder;
        EXPECT_FALSE(encoder.Open(Path("bad.mp4"), c.format));
        EXPECT_NE(encoder.Error().find(c.reason), std::string::npos) << encoder.Error();
    }
    EXPECT_EQ(FilesLeft(), 0u);
    EXPECT_TRUE(orlex::CheckVideoFormat({1920, 1080, 60}).empty());
}

TEST_F(VideoEncoder, AnUnwritableFolderGivesTheSystemsReason) {
    TVideoEncoder encoder;
    EXPECT_FALSE(encoder.Open(Path("no/such/folder/out.mp4"), {320, 240, 25}));
    EXPECT_EQ(encoder.Error(), "No such file or directory");
    EXPECT_FALSE(encoder.AddFrame(Picture(320, 240, 0).data(), 960));
}

// Writes the first bytes, then reports a full disk.
class TFullDiskEncoder : public TVideoEncoder {
public:
    explicit TFullDiskEncoder(int room) : Room_(room) {}

protected:
    int WriteBytes(const uint8_t* data, int size) override {
        if (size > Room_) return ENOSPC;
        Room_ -= size;
        return TVideoEncoder::WriteBytes(data, size);
    }

private:
    int Room_;
};

TEST_F(VideoEncoder, AFullDiskRemovesThePartialFileAndKeepsTheOldOne) {
    {
        std::ofstream old(Path("kept.mp4"));
        old << "an older video";
    }
    for (int room : {0, 4096, 30000}) {
        TFullDiskEncoder encoder(room);
        EXPECT_FALSE(Encode(encoder, Path("kept.mp4"), {320, 240, 25}, 200)) << room;
        EXPECT_EQ(encoder.Error(), "No space left on device") << room;
        EXPECT_EQ(FilesLeft(), 1u) << room;
        std::ifstream old(Path("kept.mp4"));
        std::string text;
        std::getline(old, text);
        EXPECT_EQ(text, "an older video") << room;
    }
}

TEST_F(VideoEncoder, AbortAndDestructionLeaveNoFile) {
    {
        TVideoEncoder encoder;
        ASSERT_TRUE(encoder.Open(Path("cancelled.mp4"), {320, 240, 25}));
        ASSERT_TRUE(encoder.AddFrame(Picture(320, 240, 0).data(), 960));
        encoder.Abort();
        EXPECT_EQ(FilesLeft(), 0u);
        EXPECT_FALSE(encoder.Finish());
    }
    {
        TVideoEncoder encoder;
        ASSERT_TRUE(encoder.Open(Path("abandoned.mp4"), {320, 240, 25}));
        ASSERT_TRUE(encoder.AddFrame(Picture(320, 240, 0).data(), 960));
    }
    EXPECT_EQ(FilesLeft(), 0u);
}

}  // namespace
