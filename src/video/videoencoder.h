// H.264 (yuv420p) in MP4, written frame by frame from RGB pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orlex {

struct TVideoFormat {
    int Width = 1280;  // even, 16 to 8192
    int Height = 720;  // even, 16 to 8192
    int Fps = 25;      // 1 to 240
};

// Checks a format; returns an empty text when it is usable, else the reason.
std::string CheckVideoFormat(const TVideoFormat& format);

// Writes one video file. The frames go to a temporary file beside the target,
// which takes the target's name only when Finish() succeeds: a failed,
// cancelled or abandoned export leaves no file behind, and an older file of
// that name stays as it was until then. Errors give the system's reason.
class TVideoEncoder {
public:
    TVideoEncoder();
    virtual ~TVideoEncoder();
    TVideoEncoder(const TVideoEncoder&) = delete;
    TVideoEncoder& operator=(const TVideoEncoder&) = delete;

    bool Open(const std::string& path, const TVideoFormat& format);
    // One frame of Width x Height pixels, 3 bytes (R, G, B) each, rows stride bytes
    // apart, the top row first.
    bool AddFrame(const uint8_t* rgb, int stride);
    // Flushes the encoder, closes the file and gives it its name.
    bool Finish();
    // Stops and removes the partial file.
    void Abort();

    const std::string& Error() const { return Error_; }
    int FrameCount() const { return Frames_; }

protected:
    // Writes bytes to the temporary file; returns 0 or an errno value. Tests
    // override it to fake a full disk.
    virtual int WriteBytes(const uint8_t* data, int size);

private:
    struct TState;
    static int WritePacket(void* opaque, uint8_t* data, int size);
    static int64_t SeekFile(void* opaque, int64_t offset, int whence);
    bool Fail(const std::string& what, int code);
    bool Encode(bool flush);
    void Close();

    std::unique_ptr<TState> S_;
    std::string Path_;
    std::string TempPath_;
    std::string Error_;
    int Frames_ = 0;
};

}  // namespace orlex
