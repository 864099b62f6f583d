#include "viewtext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "annotation.h"
#include "measureoverlay.h"
#include "ticks.h"

namespace orlex {

namespace {

constexpr double kBarShare = 0.2;  // the bar's longest share of the frame's width
constexpr double kPad = 0.5;       // in text sizes

QString DeckName(const TSceneInput& scene, int d) {
    const std::string caption = scene.Decks ? scene.Decks[d].GetCaption() : std::string();
    return caption.empty() ? QStringLiteral("Deck %1").arg(d) : QString::fromStdString(caption);
}

void PaintDeckNames(QPainter& painter, const TSceneInput& scene, const TCamera& camera, int w,
                    int h) {
    const double px = AnnotationPixels(w, h);
    for (const TDeckLabel& label : DeckLabels(scene, camera, w, h)) {
        const bool current = label.Deck == scene.CurrentDeck;
        const QFont font = AnnotationFont(px, current);
        const QString text = DeckName(scene, label.Deck);
        const QFontMetricsF metrics(font);
        const double pad = kPad * px;
        // To the left of the stack, level with the floor's end.
        QRectF box(0, 0, metrics.horizontalAdvance(text) + 2 * pad, metrics.height() + pad);
        box.moveBottomRight(QPointF(label.X - pad, label.Y + 0.5 * box.height()));
        // Kept inside the frame.
        box.moveLeft(std::clamp(box.left(), 0.0, std::max(0.0, w - box.width())));
        box.moveTop(std::clamp(box.top(), 0.0, std::max(0.0, h - box.height())));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, current ? 170 : 110));
        painter.drawRect(box);
        painter.setFont(font);
        painter.setPen(current ? QColor(255, 255, 255) : QColor(200, 200, 200));
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

void PaintScaleBar(QPainter& painter, const TScaleBar& bar, int w, int h) {
    if (!(bar.Metres > 0)) return;
    const double px = AnnotationPixels(w, h);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 150));
    painter.drawRect(bar.Box);
    const double pad = kPad * px;
    const double y = bar.Box.bottom() - pad - 0.4 * px;
    const double x0 = bar.Box.left() + pad, x1 = x0 + bar.Pixels;
    QPen pen(QColor(255, 255, 255));
    pen.setWidthF(std::max(1.5, 0.15 * px));
    painter.setPen(pen);
    painter.drawLine(QPointF(x0, y), QPointF(x1, y));
    painter.drawLine(QPointF(x0, y - 0.4 * px), QPointF(x0, y + 0.4 * px));
    painter.drawLine(QPointF(x1, y - 0.4 * px), QPointF(x1, y + 0.4 * px));
    painter.setFont(AnnotationFont(px));
    painter.drawText(QRectF(x0, bar.Box.top() + pad * 0.5, bar.Pixels, px * 1.4), Qt::AlignCenter,
                     bar.Label);
}

QColor MeasureColour(const float rgb[3], int alpha) {
    return QColor(static_cast<int>(rgb[0] * 255), static_cast<int>(rgb[1] * 255),
                  static_cast<int>(rgb[2] * 255), alpha);
}

// Where a measurement's name stands: an area's above its top corner; a line's
// beside its middle, across the line (below it, or right of an upright line),
// so that the line stays in sight. A box that would cover one placed before
// moves down out of its way.
QRectF MeasureNameBox(const TMeasureLabel& label, QSizeF size, double px,
                      const std::vector<QRectF>& placed) {
    QRectF box(QPointF(0, 0), size);
    if (label.Area) {
        box.moveBottomLeft(QPointF(label.X, label.Y - 0.3 * px));
    } else {
        double nx = -label.DirY, ny = label.DirX;
        if (ny < 0 || (ny == 0 && nx < 0)) nx = -nx, ny = -ny;
        if (nx == 0 && ny == 0) ny = 1;
        const double reach =
            0.5 * px + std::fabs(nx) * 0.5 * size.width() + std::fabs(ny) * 0.5 * size.height();
        box.moveCenter(QPointF(label.X + nx * reach, label.Y + ny * reach));
    }
    for (int tries = 0; tries < 8; ++tries) {
        bool free = true;
        for (const QRectF& other : placed) {
            if (!box.intersects(other)) continue;
            box.moveTop(other.bottom() + 0.2 * px);
            free = false;
        }
        if (free) break;
    }
    return box;
}

// The names of the measurements on dark boxes edged in their colours.
void PaintMeasureNames(QPainter& painter, const TSceneInput& scene, const TCamera& camera, int w,
                       int h) {
    const double px = AnnotationPixels(w, h);
    const QFont font = AnnotationFont(px);
    const QFontMetricsF metrics(font);
    const double pad = kPad * px;
    painter.setFont(font);
    std::vector<QRectF> placed;
    for (const TMeasureLabel& label : MeasureLabels(scene, camera, w, h)) {
        if (label.X < -w || label.X > 2.0 * w || label.Y < -h || label.Y > 2.0 * h) continue;
        const QString text = QString::fromStdString(label.Name);
        const QSizeF size(metrics.horizontalAdvance(text) + 2 * pad, metrics.height() + 0.5 * pad);
        const QRectF box = MeasureNameBox(label, size, px, placed);
        placed.push_back(box);
        const int alpha = label.OnShownDeck ? 255 : 140;
        const QColor colour = MeasureColour(label.Exit   ? kExitColour
                                            : label.Area ? kMeasureAreaColour
                                                         : kMeasureLineColour,
                                            alpha);
        QPen edge(colour);
        edge.setWidthF(std::max(1.0, 0.12 * px));
        painter.setPen(edge);
        painter.setBrush(QColor(0, 0, 0, label.OnShownDeck ? 170 : 100));
        painter.drawRect(box);
        painter.setPen(QColor(255, 255, 255, alpha));
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

}  // namespace

bool HasViewText(const TSceneInput& scene) {
    return (scene.StackAll && scene.DeckCount > 0) || scene.Plan || HasMeasures(scene);
}

TScaleBar PlanScaleBar(const TSceneInput& scene, const TCamera& camera, int w, int h) {
    TScaleBar bar;
    const double unitsPerPixel = PlanUnitsPerPixel(scene, camera, h);
    const double metresPerPixel = unitsPerPixel * scene.CellMetres;
    if (!(metresPerPixel > 0) || !std::isfinite(metresPerPixel) || w <= 0) return bar;
    const double longest = kBarShare * w * metresPerPixel;
    // A round length between half the longest and the longest.
    bar.Metres = RoundStep(longest, 2);
    if (bar.Metres > longest) bar.Metres = RoundStep(longest, 3);
    bar.Pixels = bar.Metres / metresPerPixel;
    bar.Label = QString::fromStdString(TickLabel(bar.Metres, bar.Metres)) + QStringLiteral(" m");
    const double px = AnnotationPixels(w, h);
    const double pad = kPad * px;
    const double width =
        std::max(bar.Pixels, QFontMetricsF(AnnotationFont(px)).horizontalAdvance(bar.Label)) +
        2 * pad;
    const double height = 2.6 * px + pad;
    bar.Box = QRectF(0.8 * px, h - 0.8 * px - height, width, height);
    return bar;
}

void PaintViewText(QPainter& painter, const TSceneInput& scene, const TCamera& camera, int w,
                   int h) {
    if (!HasViewText(scene)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    PaintMeasureNames(painter, scene, camera, w, h);
    PaintDeckNames(painter, scene, camera, w, h);
    PaintScaleBar(painter, PlanScaleBar(scene, camera, w, h), w, h);
    painter.restore();
}

}  // namespace orlex
