// Helpers shared by the view tests: message recording, waiting for the GL
// context, and where a scene point lands in a straight-down view.
#pragma once

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QTest>
#include <cmath>
#include <string>
#include <vector>

#include "cellview3d.h"
#include "interfaces.h"

namespace viewtest {

struct TShownMessage {
    std::string Text;
    std::string Caption;
    orlex::TMsgIcon Icon;
    orlex::TMsgButtons Buttons;
};

class TRecordingMessages final : public orlex::IMessages {
public:
    std::vector<TShownMessage> Shown;
    orlex::TMsgResult ShowMessage(const std::string& text, const std::string& caption,
                                  orlex::TMsgIcon icon, orlex::TMsgButtons buttons) override {
        Shown.push_back({text, caption, icon, buttons});
        return orlex::TMsgResult::Ok;
    }
};

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

}  // namespace viewtest
