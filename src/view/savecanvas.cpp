// The screen-shot capture of the view control.
#include <QImage>
#include <algorithm>
#include <cstdint>

#include "glcontrol.h"
#include "jpegwriter.h"

namespace orlex {

bool TGLControl::SaveCanvasToFile(const QString& fileName, int width, int height,
                                  QString* errorText) {
    // grabFramebuffer() draws the current frame now (paintGL into the widget's
    // framebuffer) and reads it back at the view's full size.
    const QImage frame = grabFramebuffer();
    if (frame.isNull() || frame.width() <= 0 || frame.height() <= 0) {
        if (errorText) *errorText = QStringLiteral("The 3D view could not be read back.");
        return false;
    }
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
    TRgbImage capture(rgb.width(), rgb.height());
    const size_t rowBytes = static_cast<size_t>(rgb.width()) * 3;
    for (int y = 0; y < rgb.height(); ++y) {
        std::copy_n(rgb.constScanLine(y), rowBytes, capture.Pixel(0, y));
    }
    // A width of 0 (or any side below 1) means the view's own size.
    int w = width;
    int h = height;
    if (w <= 0 || h <= 0) {
        w = capture.Width;
        h = capture.Height;
    }
    if (w > kShotMaxSide || h > kShotMaxSide || static_cast<int64_t>(w) * h > kShotMaxPixels) {
        if (errorText) {
            *errorText = QStringLiteral("The screen shot would be too large (%1 x %2 pixels).")
                             .arg(w)
                             .arg(h);
        }
        return false;
    }
    // At the view's own size the capture is written as it is.
    if (w == capture.Width && h == capture.Height)
        return WriteJpegFile(fileName, capture, errorText);
    return WriteJpegFile(fileName, ScaleNearest(capture, w, h), errorText);
}

}  // namespace orlex
