// Text over the frames of the 3D view, painted with a font: the legend of a
// floor overlay (title with its unit, colour bar, round ticks or the classes
// with their limits), and the caption band of pictures and videos (the time,
// the deck and the legend), so that a frame pasted into a report explains
// itself. Every size grows with the picture; what does not fit is made
// smaller, never cut.
#pragma once

#include <QRectF>
#include <QString>
#include <vector>

#include "overlay.h"

class QFont;
class QPainter;

namespace orlex {

// The text size in pixels for a w x h picture.
double AnnotationPixels(int w, int h);
// The annotations' font at px pixels.
QFont AnnotationFont(double px, bool bold = false);

// Where the parts of a legend land, in pixels from the top left of the picture.
struct TLegendLayout {
    double Pixels = 0;  // the text size used
    QRectF Box;         // the whole legend; empty without one
    QRectF Title;
    QRectF Bar;                  // the colour bar (classes: their bands side by side)
    std::vector<QRectF> Labels;  // one per stop of the legend, in its order
};

// The legend standing in a box in the top right corner of a w x h frame (the
// view, pictures without a caption band): a vertical bar, low values at the
// bottom, its labels to the right.
TLegendLayout LegendBoxLayout(const TFloorOverlay& overlay, int w, int h);
void PaintLegendBox(QPainter& painter, const TFloorOverlay& overlay, int w, int h);

// What the caption band of a picture says.
struct TCaption {
    QString Time;                            // as the status bar shows it
    QString Deck;                            // the deck's caption
    const TFloorOverlay* Overlay = nullptr;  // its legend is shown; null for none
};

// The rows of the caption band at the top of a w x h picture, with or without
// a legend in it (the same for every frame of a video).
int CaptionBandHeight(int w, int h, bool legend);

struct TBandLayout {
    double Pixels = 0;
    QRectF Band;  // the band itself: the top rows of the picture
    QRectF Time;
    QRectF Deck;
    TLegendLayout Legend;  // laid out from left to right at the band's right end
};
TBandLayout CaptionBandLayout(const TCaption& caption, int w, int h);
// Paints the band over the top rows of a w x h picture.
void PaintCaptionBand(QPainter& painter, const TCaption& caption, int w, int h);

}  // namespace orlex
