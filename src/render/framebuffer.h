// A framebuffer object with a colour and a depth buffer, for drawing frames of
// any size without a window. The context it is made in must be current for
// every call; the functions come through the loader of that context.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orlex {

// An 8-bit RGBA picture, rows from the top.
struct TRgbaPixels {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Data;  // Width * Height * 4
};

class TFramebuffer {
public:
    using TLoader = std::function<void*(const char*)>;

    explicit TFramebuffer(TLoader loader);
    ~TFramebuffer();
    TFramebuffer(const TFramebuffer&) = delete;
    TFramebuffer& operator=(const TFramebuffer&) = delete;

    // (Re)creates the buffers at w x h and binds them; false with Problem().
    bool Create(int w, int h);
    // Binds the buffers for drawing (after someone else bound another).
    void Bind();
    // Deletes the buffers and binds the default framebuffer again.
    void Release();
    // The pixels drawn, read back.
    TRgbaPixels Read() const;
    // The pixels drawn as 8-bit RGB, rows from the BOTTOM (as OpenGL keeps them),
    // into rgb, which keeps its memory from frame to frame. False without buffers.
    bool ReadRgbBottomUp(std::vector<std::uint8_t>& rgb) const;

    int Width() const { return Width_; }
    int Height() const { return Height_; }
    const std::string& Problem() const { return Problem_; }

private:
    struct TFunctions;
    bool Load();
    TLoader Loader_;
    TFunctions* F_ = nullptr;
    unsigned int Framebuffer_ = 0;
    unsigned int Color_ = 0;
    unsigned int Depth_ = 0;
    int Width_ = 0;
    int Height_ = 0;
    std::string Problem_;
};

}  // namespace orlex
