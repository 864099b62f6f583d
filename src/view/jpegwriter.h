// Screen-shot pictures: nearest-pixel scaling and the JPEG encoder (baseline
// colour JFIF, quality 90). The output size rule is ComputeShotSize in
// settings/screenshots.h.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace orlex {

// A tightly packed 24-bit RGB picture, rows top to bottom.
struct TRgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;  // Width * Height * 3 bytes

    TRgbImage() = default;
    TRgbImage(int width, int height);
    bool IsValid() const {
        return Width > 0 && Height > 0 &&
               Pixels.size() == static_cast<size_t>(Width) * static_cast<size_t>(Height) * 3;
    }
    uint8_t* Pixel(int x, int y) {
        return Pixels.data() + (static_cast<size_t>(y) * static_cast<size_t>(Width) + x) * 3;
    }
    const uint8_t* Pixel(int x, int y) const {
        return Pixels.data() + (static_cast<size_t>(y) * static_cast<size_t>(Width) + x) * 3;
    }
};

// The quality every screen shot is written with.
constexpr int kShotJpegQuality = 90;
// Largest side a JPEG file can hold.
constexpr int kShotMaxSide = 65500;
// Largest picture (in pixels) a screen shot may have; larger requests are
// refused instead of exhausting memory.
constexpr int64_t kShotMaxPixels = int64_t{64} * 1024 * 1024;

// Scales src to width x height by keeping or dropping whole rows and columns
// (nearest pixel, no smoothing). Sizes below 1 give an empty picture.
TRgbImage ScaleNearest(const TRgbImage& src, int width, int height);

// Encodes the picture as a baseline colour JFIF (3 components, quality 90,
// the library's defaults otherwise) into memory. False with a reason on failure.
bool EncodeJpeg(const TRgbImage& image, std::vector<uint8_t>* out, QString* errorText);

// Encodes and writes the picture to fileName, replacing the file. Writes no
// other file. On failure returns false with a reason in errorText ("cannot
// open", write errors, a full disk); a partly written file is removed.
bool WriteJpegFile(const QString& fileName, const TRgbImage& image, QString* errorText);

}  // namespace orlex
