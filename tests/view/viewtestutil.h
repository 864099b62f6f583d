// Helpers shared by the view tests: waiting for the GL context, and where a
// scene point lands in a straight-down view. Messages are recorded with the
// shared orlex::test::TRecordingMessages.
#pragma once

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QTest>
#include <cmath>

#include "cellview3d.h"
#include "recorders.h"

namespace viewtest {

using orlex::test::TRecordingMessages;
using orlex::test::TShownMessage;

// Shows the view and waits until its context exists (or a problem is known).
inline bool ShowAndWait(orlex::TGLControl& view, int w = 480, int h = 360) {
    view.resize(w, h);
    view.show();
    // Paints reach the widget only once its window is exposed.
    if (view.isWindow()) (void)QTest::qWaitForWindowExposed(&view);
    QElapsedTimer t;
    t.start();
    while (!view.HasContext() && view.ContextProblem().isEmpty() && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    QApplication::processEvents();
    return view.HasContext();
}

// Pixel of scene point (x, y, z) for a camera straight above the focus at
// distance d (Phi = Theta = 0), with the view's pan and its 60 degree field.
inline QPoint Project(const orlex::TCellView3D& view, double x, double y, double z = 0.0) {
    const double f = (view.height() / 2.0) / std::tan(30.0 * M_PI / 180.0);
    const double depth = view.Distance - z;
    const double sx = view.width() / 2.0 + f * (x + view.PanX) / depth;
    const double sy = view.height() / 2.0 - f * (y + view.PanY) / depth;
    return {static_cast<int>(std::floor(sx)), static_cast<int>(std::floor(sy))};
}

inline QColor At(const QImage& image, QPoint p) {
    return image.pixelColor(p);
}

// Pure green of the person glyph and the origin marker (no red or blue).
inline bool IsGlyphGreen(const QColor& c) {
    return c.green() > 90 && c.red() < 50 && c.blue() < 50;
}
inline bool IsBackground(const QColor& c) {
    return c.red() <= 2 && c.green() <= 2 && std::abs(c.blue() - 51) <= 2;
}
// A lit white or grey floor: channels equal, clearly above the background.
inline bool IsNeutral(const QColor& c, int minLevel) {
    return std::abs(c.red() - c.green()) <= 3 && std::abs(c.green() - c.blue()) <= 3 &&
           c.red() >= minLevel;
}
inline int Brightness(const QColor& c) {
    return c.red() + c.green() + c.blue();
}

// Counts pixels that are not background.
inline int NonBackgroundPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!IsBackground(image.pixelColor(x, y))) ++n;
    return n;
}

// Two frames compared pixel by pixel: a pixel differs when a channel is more
// than 3 apart. Tiny faces may fall on other pixels by rounding (the rasteriser
// takes other paths for other draw calls); nothing more is allowed.
struct TComparison {
    int Drawn = 0;  // not background in the reference
    int Glyph = 0;  // glyph green in the reference
    int Differing = 0;
    bool Alike() const { return Differing <= 20 + Glyph / 20; }
    QString Text() const {
        return QStringLiteral("%1 pixels differ, %2 glyph pixels").arg(Differing).arg(Glyph);
    }
};

inline TComparison Compare(const QImage& image, const QImage& reference) {
    TComparison c;
    if (image.size() != reference.size()) {
        c.Differing = reference.width() * reference.height() + 1;
        return c;
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor a = image.pixelColor(x, y), b = reference.pixelColor(x, y);
            if (!IsBackground(b)) ++c.Drawn;
            if (IsGlyphGreen(b)) ++c.Glyph;
            if (std::abs(a.red() - b.red()) > 3 || std::abs(a.green() - b.green()) > 3 ||
                std::abs(a.blue() - b.blue()) > 3)
                ++c.Differing;
        }
    }
    return c;
}

}  // namespace viewtest
