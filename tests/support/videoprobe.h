// Reads a video file back with libavformat/libavcodec, for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orlex::test {

struct TVideoProbe {
    bool Opened = false;
    std::string Codec;        // e.g. "h264"
    std::string PixelFormat;  // e.g. "yuv420p"
    int Width = 0;
    int Height = 0;
    int Packets = 0;      // video packets = encoded frames
    double Duration = 0;  // seconds, from the container
    double FrameRate = 0;
    std::vector<uint8_t> FirstFrameRgb;  // Width x Height x 3, the first decoded frame
};

TVideoProbe ProbeVideo(const std::string& path);

// PSNR in dB of two RGB pictures of the same size (infinity when equal).
double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace orlex::test
