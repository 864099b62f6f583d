#include "annotation.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orlex {

namespace {

// Lengths in units of the text size.
constexpr double kPad = 0.6;        // inside a box or band
constexpr double kMargin = 0.8;     // between the box and the frame's edge
constexpr double kTick = 0.35;      // tick marks
constexpr double kTickGap = 0.3;    // between a tick and its label
constexpr double kBarSide = 0.9;    // the bar's short side
constexpr double kTitleGap = 0.3;   // between the title and the bar
constexpr double kLabelGap = 0.9;   // at least between two labels side by side
constexpr double kClassPad = 1.0;   // around a class's label in its band
constexpr double kTimeScale = 1.2;  // the time is written larger

struct TStyle {
    QColor Background, Text, Outline;
};
const TStyle kBoxStyle{QColor(0, 0, 0, 150), QColor(255, 255, 255), QColor(255, 255, 255)};
const TStyle kBandStyle{QColor(245, 245, 245), QColor(30, 30, 30), QColor(80, 80, 80)};

QColor ColourOf(uint32_t rgba) {
    return QColor(static_cast<int>(rgba >> 24 & 255u), static_cast<int>(rgba >> 16 & 255u),
                  static_cast<int>(rgba >> 8 & 255u));
}

QString LabelOf(const TFloorOverlay::TStop& stop) {
    return QString::fromStdString(stop.Label);
}

double Width(const QFont& font, const QString& text) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

// The smallest distance between two neighbouring stops of a continuous scale.
double SmallestStep(const TFloorOverlay& overlay) {
    double step = 1;
    for (std::size_t i = 0; i + 1 < overlay.Legend.size(); ++i) {
        const double d = overlay.Legend[i + 1].At - overlay.Legend[i].At;
        if (d > 1e-6) step = std::min(step, d);
    }
    return step;
}

TLegendLayout VerticalAt(const TFloorOverlay& overlay, int w, int h, double px) {
    TLegendLayout l;
    l.Pixels = px;
    const QFont font = AnnotationFont(px);
    const double lh = QFontMetricsF(font).height();
    const double pad = kPad * px;
    const std::size_t n = overlay.Legend.size();
    double labelWidth = 0;
    for (const auto& stop : overlay.Legend)
        labelWidth = std::max(labelWidth, Width(font, LabelOf(stop)));
    const double titleWidth = Width(font, QString::fromStdString(overlay.Title));
    const double barWidth = kBarSide * px;
    const double barHeight = overlay.Discrete
                                 ? static_cast<double>(n) * lh * 1.25
                                 : std::max(h * 0.25, lh * 1.2 / SmallestStep(overlay));
    const double width =
        2 * pad + std::max(titleWidth, barWidth + (kTick + kTickGap) * px + labelWidth);
    const double height = 2 * pad + lh + kTitleGap * px + lh + barHeight;
    const double margin = kMargin * px;
    l.Box = QRectF(w - margin - width, margin, width, height);
    l.Title = QRectF(l.Box.left() + pad, l.Box.top() + pad, titleWidth, lh);
    l.Bar =
        QRectF(l.Box.left() + pad, l.Title.bottom() + kTitleGap * px + lh / 2, barWidth, barHeight);
    const double x = l.Bar.right() + (kTick + kTickGap) * px;
    for (std::size_t i = 0; i < n; ++i) {
        const auto& stop = overlay.Legend[i];
        const double y = overlay.Discrete
                             ? l.Bar.bottom() - (static_cast<double>(i) + 0.5) * barHeight / n
                             : l.Bar.bottom() - std::clamp(stop.At, 0.0f, 1.0f) * barHeight;
        l.Labels.emplace_back(x, y - lh / 2, Width(font, LabelOf(stop)), lh);
    }
    return l;
}

// The legend from left to right with its right end at right and its top at top:
// the title, the bar below it, the labels below the bar.
TLegendLayout HorizontalAt(const TFloorOverlay& overlay, double right, double top, double px) {
    TLegendLayout l;
    l.Pixels = px;
    const QFont font = AnnotationFont(px);
    const double lh = QFontMetricsF(font).height();
    const std::size_t n = overlay.Legend.size();
    std::vector<double> widths;
    for (const auto& stop : overlay.Legend) widths.push_back(Width(font, LabelOf(stop)));
    const double titleWidth = Width(font, QString::fromStdString(overlay.Title));
    double barWidth = 0, before = 0, after = 0;
    if (overlay.Discrete) {
        // Every class as wide as the widest label, so the bands are equal.
        const double widest = *std::max_element(widths.begin(), widths.end());
        barWidth = static_cast<double>(n) * (widest + kClassPad * px);
    } else {
        barWidth = 14 * px;
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const double d = overlay.Legend[i + 1].At - overlay.Legend[i].At;
            if (d > 1e-6)
                barWidth =
                    std::max(barWidth, ((widths[i] + widths[i + 1]) / 2 + kLabelGap * px) / d);
        }
        before = widths.front() / 2;
        after = widths.back() / 2;
    }
    const double width = std::max(titleWidth, before + barWidth + after);
    const double left = right - width;
    l.Title = QRectF(left, top, titleWidth, lh);
    l.Bar = QRectF(left + before, l.Title.bottom() + kTitleGap * px, barWidth, kBarSide * px);
    const double labelTop = l.Bar.bottom() + (overlay.Discrete ? kTickGap : kTick + kTickGap) * px;
    for (std::size_t i = 0; i < n; ++i) {
        const double x =
            overlay.Discrete
                ? l.Bar.left() + (static_cast<double>(i) + 0.5) * barWidth / n
                : l.Bar.left() + std::clamp(overlay.Legend[i].At, 0.0f, 1.0f) * barWidth;
        l.Labels.emplace_back(x - widths[i] / 2, labelTop, widths[i], lh);
    }
    l.Box = QRectF(left, top, width, 0).united(l.Title).united(l.Bar);
    for (const QRectF& label : l.Labels) l.Box = l.Box.united(label);
    return l;
}

void PaintLegend(QPainter& painter, const TFloorOverlay& overlay, const TLegendLayout& l,
                 bool vertical, const TStyle& style) {
    const QFont font = AnnotationFont(l.Pixels);
    painter.setFont(font);
    painter.setPen(style.Text);
    painter.drawText(l.Title, Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(overlay.Title));
    const std::size_t n = overlay.Legend.size();
    const QRectF& bar = l.Bar;
    painter.setPen(Qt::NoPen);
    if (overlay.Discrete) {
        for (std::size_t i = 0; i < n; ++i) {
            const double a = static_cast<double>(i) / n, b = static_cast<double>(i + 1) / n;
            const QRectF band = vertical ? QRectF(bar.left(), bar.bottom() - b * bar.height(),
                                                  bar.width(), (b - a) * bar.height())
                                         : QRectF(bar.left() + a * bar.width(), bar.top(),
                                                  (b - a) * bar.width(), bar.height());
            painter.fillRect(band, ColourOf(overlay.Legend[i].Rgba));
        }
    } else {
        QLinearGradient gradient = vertical ? QLinearGradient(bar.bottomLeft(), bar.topLeft())
                                            : QLinearGradient(bar.topLeft(), bar.topRight());
        for (const auto& stop : overlay.Legend)
            gradient.setColorAt(std::clamp(stop.At, 0.0f, 1.0f), ColourOf(stop.Rgba));
        painter.fillRect(bar, gradient);
    }
    QPen pen(style.Outline);
    pen.setWidthF(std::max(1.0, l.Pixels / 14));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar);
    const double tick = kTick * l.Pixels;
    for (std::size_t i = 0; i < n; ++i) {
        if (overlay.Discrete) {
            if (i == 0) continue;  // the lines between the classes
            const double at = static_cast<double>(i) / n;
            if (vertical) {
                const double y = bar.bottom() - at * bar.height();
                painter.drawLine(QPointF(bar.left(), y), QPointF(bar.right(), y));
            } else {
                const double x = bar.left() + at * bar.width();
                painter.drawLine(QPointF(x, bar.top()), QPointF(x, bar.bottom()));
            }
        } else {
            const double at = std::clamp(overlay.Legend[i].At, 0.0f, 1.0f);
            if (vertical) {
                const double y = bar.bottom() - at * bar.height();
                painter.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + tick, y));
            } else {
                const double x = bar.left() + at * bar.width();
                painter.drawLine(QPointF(x, bar.bottom()), QPointF(x, bar.bottom() + tick));
            }
        }
    }
    painter.setPen(style.Text);
    for (std::size_t i = 0; i < n && i < l.Labels.size(); ++i)
        painter.drawText(l.Labels[i], Qt::AlignCenter, LabelOf(overlay.Legend[i]));
}

double BandLineHeight(double px, bool bold) {
    return QFontMetricsF(AnnotationFont(bold ? px * kTimeScale : px, bold)).height();
}

TBandLayout BandAt(const TCaption& caption, int w, int bandHeight, double px) {
    TBandLayout l;
    l.Pixels = px;
    l.Band = QRectF(0, 0, w, bandHeight);
    const QFont timeFont = AnnotationFont(px * kTimeScale, true);
    const QFont deckFont = AnnotationFont(px);
    const double timeHeight = BandLineHeight(px, true), deckHeight = BandLineHeight(px, false);
    const double pad = kPad * px * 1.4;
    const double top = (bandHeight - timeHeight - deckHeight) / 2;
    l.Time = QRectF(pad, top, Width(timeFont, caption.Time), timeHeight);
    l.Deck = QRectF(pad, l.Time.bottom(), Width(deckFont, caption.Deck), deckHeight);
    if (caption.Overlay && caption.Overlay->HasLegend()) {
        l.Legend = HorizontalAt(*caption.Overlay, w - pad, 0, px);
        const double shift = (bandHeight - l.Legend.Box.height()) / 2;
        l.Legend.Box.translate(0, shift);
        l.Legend.Title.translate(0, shift);
        l.Legend.Bar.translate(0, shift);
        for (QRectF& r : l.Legend.Labels) r.translate(0, shift);
        // The parts moved by the same amount, rounded each on its own: the box
        // holds them again exactly.
        l.Legend.Box = l.Legend.Box.united(l.Legend.Title).united(l.Legend.Bar);
        for (const QRectF& r : l.Legend.Labels) l.Legend.Box = l.Legend.Box.united(r);
    }
    return l;
}

bool Inside(const QRectF& inner, const QRectF& outer) {
    return inner.isEmpty() || outer.contains(inner);
}

}  // namespace

double AnnotationPixels(int w, int h) {
    // Grows with the picture; small pictures keep a readable size while the
    // band stays within a quarter of the height.
    const double grown = std::min(w / 80.0, h / 45.0);
    return std::max(1.0, std::min(std::max(grown, std::min(9.0, h / 16.0)), h / 24.0));
}

QFont AnnotationFont(double px, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
    font.setBold(bold);
    return font;
}

TLegendLayout LegendBoxLayout(const TFloorOverlay& overlay, int w, int h) {
    if (!overlay.HasLegend() || w <= 0 || h <= 0) return {};
    double px = AnnotationPixels(w, h);
    TLegendLayout l = VerticalAt(overlay, w, h, px);
    // Smaller until the box fits the frame, as far as any text can go.
    for (int k = 0; k < 12 && px > 1; ++k) {
        const double margin = kMargin * px;
        const double room =
            std::min((w - 2 * margin) / l.Box.width(), (h - 2 * margin) / l.Box.height());
        if (room >= 1) break;
        px = std::max(1.0, std::min(px - 1, px * room));
        l = VerticalAt(overlay, w, h, px);
    }
    return l;
}

void PaintLegendBox(QPainter& painter, const TFloorOverlay& overlay, int w, int h) {
    const TLegendLayout l = LegendBoxLayout(overlay, w, h);
    if (l.Box.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(l.Box, kBoxStyle.Background);
    PaintLegend(painter, overlay, l, true, kBoxStyle);
    painter.restore();
}

int CaptionBandHeight(int w, int h, bool legend) {
    if (w <= 0 || h <= 0) return 0;
    const double px = AnnotationPixels(w, h);
    const double pad = kPad * px;
    const double lines =
        legend ? 2 * BandLineHeight(px, false) + (kTitleGap + kBarSide + kTick + kTickGap) * px
               : BandLineHeight(px, true) + BandLineHeight(px, false);
    return std::min(h / 2, static_cast<int>(std::ceil(lines + 2 * pad)));
}

TBandLayout CaptionBandLayout(const TCaption& caption, int w, int h) {
    const bool legend = caption.Overlay && caption.Overlay->HasLegend();
    const int bandHeight = CaptionBandHeight(w, h, legend);
    double px = AnnotationPixels(w, h);
    TBandLayout l = BandAt(caption, w, bandHeight, px);
    // Smaller text until the time, the deck and the legend fit side by side.
    for (int k = 0; k < 12 && px > 1; ++k) {
        const double pad = kPad * px * 1.4;
        const double left = std::max(l.Time.right(), l.Deck.right());
        const bool fits = (!legend || l.Legend.Box.left() >= left + 2 * pad) && left + pad <= w &&
                          Inside(l.Legend.Box, l.Band) && Inside(l.Time, l.Band);
        if (fits) break;
        const double needed = left + (legend ? 2 * pad + l.Legend.Box.width() + pad : pad);
        px = std::max(1.0, std::min(px - 1, px * std::min(1.0, w / needed)));
        l = BandAt(caption, w, bandHeight, px);
    }
    return l;
}

void PaintCaptionBand(QPainter& painter, const TCaption& caption, int w, int h) {
    const TBandLayout l = CaptionBandLayout(caption, w, h);
    if (l.Band.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(l.Band, kBandStyle.Background);
    painter.setPen(kBandStyle.Outline);
    painter.drawLine(QPointF(0, l.Band.bottom() - 0.5), QPointF(w, l.Band.bottom() - 0.5));
    painter.setPen(kBandStyle.Text);
    painter.setFont(AnnotationFont(l.Pixels * kTimeScale, true));
    painter.drawText(l.Time, Qt::AlignLeft | Qt::AlignVCenter, caption.Time);
    painter.setFont(AnnotationFont(l.Pixels));
    painter.drawText(l.Deck, Qt::AlignLeft | Qt::AlignVCenter, caption.Deck);
    if (!l.Legend.Box.isEmpty())
        PaintLegend(painter, *caption.Overlay, l.Legend, false, kBandStyle);
    painter.restore();
}

}  // namespace orlex
