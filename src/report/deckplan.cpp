#include "deckplan.h"

#include <QLineF>
#include <algorithm>
#include <cmath>
#include <map>

#include "measurepage.h"
#include "ticks.h"

namespace orlex::report {

namespace {

// Millimetres of a deck page above and below the plan.
constexpr double kHeadMm = 24;
constexpr double kKeyMm = 36;
// Colour bands between two labelled stops of the colour bar.
constexpr int kBandsPerStop = 4;
// The width of the colour bar.
constexpr double kBarMm = 100;

const QColor kFloor(218, 218, 218);
const QColor kBlock(135, 135, 135);

QColor Opaque(const TRgba& c) {
    return QColor(c.R, c.G, c.B);
}

// The boundary of the congested cells as long straight segments, in plan cells.
std::vector<QLineF> CongestedEdges(const TDeckPlan& plan) {
    std::vector<QLineF> lines;
    const auto at = [&](int r, int c) {
        if (r < 0 || r >= plan.Rows || c < 0 || c >= plan.Columns) return false;
        return plan.Congested[static_cast<std::size_t>(r) * plan.Columns + c] != 0;
    };
    for (int r = 0; r <= plan.Rows; ++r) {
        for (int c = 0; c < plan.Columns;) {
            if (at(r - 1, c) == at(r, c)) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < plan.Columns && at(r - 1, c) != at(r, c)) ++c;
            lines.emplace_back(start, r, c, r);
        }
    }
    for (int c = 0; c <= plan.Columns; ++c) {
        for (int r = 0; r < plan.Rows;) {
            if (at(r, c - 1) == at(r, c)) {
                ++r;
                continue;
            }
            const int start = r;
            while (r < plan.Rows && at(r, c - 1) != at(r, c)) ++r;
            lines.emplace_back(c, start, c, r);
        }
    }
    return lines;
}

// What a plan cell of several deck cells shows: the highest band, else the floor,
// else a block.
int Rank(int key) {
    return key == kPlanNothing ? 0 : key == kPlanBlock ? 1 : key == kPlanFloor ? 2 : key + 1;
}

// The paper size of a deck cell when the extent fills the body less head and key.
double CellSizeOn(const QRectF& body, const TPlanExtent& extent, double head, double key) {
    if (extent.Empty()) return 0;
    const double height = std::max(0.0, body.height() - head - key);
    return std::min(body.width() / extent.Columns, height / extent.Rows);
}

void Swatch(TCanvas& canvas, double x, double y, const QColor& fill, const QPen& pen,
            const QString& text) {
    QPainter& p = canvas.Painter();
    p.setPen(pen);
    p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    p.drawRect(QRectF(x, y, canvas.Mm(6), canvas.Mm(3.5)));
    canvas.Label(text, canvas.Font(8), x + canvas.Mm(8), y + canvas.Mm(1.75),
                 Qt::AlignLeft | Qt::AlignVCenter);
}

void ColourBar(TCanvas& canvas, const TDeckPlan& plan, double x, double y) {
    QPainter& p = canvas.Painter();
    const TOverlayLegend& legend = plan.Legend;
    y += canvas.Text(QString::fromStdString(legend.Title), canvas.Font(9, true), x, y,
                     canvas.Mm(kBarMm + 10)) +
         canvas.Mm(1);
    const double width = canvas.Mm(kBarMm), height = canvas.Mm(5);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < plan.Bands; ++i) {
        p.setBrush(PlanColor(plan, kPlanFirstBand + i));
        const double x0 = x + width * i / plan.Bands;
        const double x1 = x + width * (i + 1) / plan.Bands;
        p.drawRect(QRectF(x0, y, x1 - x0 + canvas.Mm(0.05), height));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, canvas.Mm(0.2)));
    p.drawRect(QRectF(x, y, width, height));
    for (const TLegendStop& stop : legend.Stops) {
        const double at = x + width * stop.Value / legend.Max;
        p.drawLine(QPointF(at, y + height), QPointF(at, y + height + canvas.Mm(1)));
        canvas.Label(QString::fromStdString(stop.Label), canvas.Font(8), at,
                     y + height + canvas.Mm(1.2), Qt::AlignHCenter | Qt::AlignTop);
    }
}

}  // namespace

TScaleBar ScaleBarOf(double least) {
    if (!(least > 0) || !std::isfinite(least)) return {};
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    const double m = least / power;
    const double mantissa = m <= 1 + 1e-9 ? 1 : m <= 2 + 1e-9 ? 2 : m <= 5 + 1e-9 ? 5 : 10;
    const double length = mantissa * power;
    return {length, mantissa == 5 ? length / 5 : length / 2};
}

namespace {

void ScaleBar(TCanvas& canvas, const TAnalysisResult& result, double cell, double x, double y) {
    QPainter& p = canvas.Painter();
    const double metresPerUnit = result.Settings.CellSize / cell;
    const TScaleBar bar = ScaleBarOf(canvas.Mm(40) * metresPerUnit);
    std::vector<double> ticks;
    for (int i = 0; i * bar.Segment <= bar.Length * (1 + 1e-9); ++i)
        ticks.push_back(i * bar.Segment);
    const double length = bar.Length;
    const double step = bar.Segment;
    const double height = canvas.Mm(1.8);
    p.setPen(QPen(Qt::black, canvas.Mm(0.2)));
    for (std::size_t i = 0; i + 1 < ticks.size(); ++i) {
        p.setBrush(i % 2 == 0 ? QBrush(Qt::black) : QBrush(Qt::white));
        p.drawRect(QRectF(x + ticks[i] / metresPerUnit, y,
                          (ticks[i + 1] - ticks[i]) / metresPerUnit, height));
    }
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        QString label = QString::fromStdString(TickLabel(ticks[i], step));
        if (i + 1 == ticks.size()) label += QStringLiteral(" m");
        const int align = i + 1 == ticks.size() ? Qt::AlignLeft : Qt::AlignHCenter;
        const double at =
            x + ticks[i] / metresPerUnit - (align == Qt::AlignLeft ? canvas.Mm(1) : 0);
        canvas.Label(label, canvas.Font(8), at, y + height + canvas.Mm(0.8), align | Qt::AlignTop);
    }
    const double ratio = result.Settings.CellSize * 1000 / (cell / canvas.Mm(1));
    canvas.Label(QStringLiteral("Scale 1:%1 on A4; cell size %2 m")
                     .arg(std::llround(ratio))
                     .arg(result.Settings.CellSize),
                 canvas.Font(8), x + length / metresPerUnit + canvas.Mm(14), y + height / 2,
                 Qt::AlignLeft | Qt::AlignVCenter, QColor(60, 60, 60));
}

}  // namespace

std::vector<TPlanRect> MergeRects(const std::vector<int>& keys, int columns, int rows) {
    std::vector<TPlanRect> rects;
    // The rectangles that reach the previous row, by their first column.
    std::map<int, std::size_t> open;
    std::map<int, std::size_t> next;
    for (int r = 0; r < rows; ++r) {
        next.clear();
        const int* row = keys.data() + static_cast<std::size_t>(r) * columns;
        for (int c = 0; c < columns;) {
            const int key = row[c];
            const int start = c;
            while (c < columns && row[c] == key) ++c;
            if (key == kPlanNothing) continue;
            const auto it = open.find(start);
            if (it != open.end() && rects[it->second].Columns == c - start &&
                rects[it->second].Key == key) {
                ++rects[it->second].Rows;
                next[start] = it->second;
            } else {
                next[start] = rects.size();
                rects.push_back({start, r, c - start, 1, key});
            }
        }
        open.swap(next);
    }
    return rects;
}

TPlanExtent DeckExtent(const TDeck& deck, int columns, int rows) {
    int c0 = columns, r0 = rows, c1 = 0, r1 = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const TCell* cell = deck.CellAt(r, c);
            if (!cell || cell->Code == kCodeVoid) continue;
            c0 = std::min(c0, c);
            r0 = std::min(r0, r);
            c1 = std::max(c1, c + 1);
            r1 = std::max(r1, r + 1);
        }
    }
    if (c1 == 0) return {};
    return {c0, r0, c1 - c0, r1 - r0};
}

int PlanStep(double cellMm, const TPlanExtent& extent, double minMm) {
    if (extent.Empty()) return 1;
    int step = cellMm > 0 && cellMm < minMm ? static_cast<int>(std::ceil(minMm / cellMm)) : 1;
    const double cells = static_cast<double>(extent.Columns) * extent.Rows;
    const double many = std::ceil(std::sqrt(cells / static_cast<double>(kMaxPlanCells)));
    step = std::max(step, static_cast<int>(std::min(many, 1e6)));
    return std::clamp(step, 1, std::max({1, extent.Columns, extent.Rows}));
}

TDeckPlan BuildDeckPlan(const TAnalysisResult& result, int z, const TDeck& deck, int step) {
    TDeckPlan plan;
    plan.Extent = DeckExtent(deck, std::max(result.Columns, 0), std::max(result.Rows, 0));
    if (plan.Extent.Empty()) return plan;
    plan.Step = std::max(step, 1);
    plan.Columns = (plan.Extent.Columns + plan.Step - 1) / plan.Step;
    plan.Rows = (plan.Extent.Rows + plan.Step - 1) / plan.Step;
    const auto cells = static_cast<std::size_t>(plan.Columns) * plan.Rows;
    plan.Keys.assign(cells, kPlanNothing);
    plan.Congested.assign(cells, 0);
    TDeckOverlay overlay;
    if (result.HasDensity) overlay = BuildDeckOverlay(result, z, TOverlayKind::TimeAbove, &deck);
    plan.Legend = overlay.Legend;
    const int intervals = static_cast<int>(plan.Legend.Stops.size()) - 1;
    plan.Bands = intervals > 0 ? intervals * kBandsPerStop : 0;
    const double band = plan.Bands > 0 ? plan.Legend.Max / plan.Bands : 0;
    const TPlanExtent& e = plan.Extent;
    for (int r = e.FirstRow; r < e.FirstRow + e.Rows; ++r) {
        for (int c = e.FirstColumn; c < e.FirstColumn + e.Columns; ++c) {
            const TCell* cell = deck.CellAt(r, c);
            if (!cell || cell->Code == kCodeVoid) continue;
            int key = cell->Code == kCodeBlock ? kPlanBlock : kPlanFloor;
            const double value = result.SecondsAbove({z, r, c});
            plan.Longest = std::max(plan.Longest, value);
            if (value > 0 && band > 0) {
                const int i = static_cast<int>(std::ceil(value / band - 1e-9)) - 1;
                key = kPlanFirstBand + std::clamp(i, 0, plan.Bands - 1);
            }
            const std::size_t at =
                static_cast<std::size_t>((r - e.FirstRow) / plan.Step) * plan.Columns +
                (c - e.FirstColumn) / plan.Step;
            if (Rank(key) > Rank(plan.Keys[at])) plan.Keys[at] = key;
            if (!overlay.Congested.empty() &&
                overlay.Congested[static_cast<std::size_t>(r) * overlay.Columns + c])
                plan.Congested[at] = 1;
        }
    }
    return plan;
}

QColor PlanColor(const TDeckPlan& plan, int key) {
    if (key == kPlanFloor) return kFloor;
    if (key == kPlanBlock) return kBlock;
    const int band = key - kPlanFirstBand;
    return Opaque(ScaleColor((band + 0.5) / std::max(1, plan.Bands)));
}

QPageLayout::Orientation PlanOrientation(const TCanvas& canvas, const TPlanExtent& extent) {
    const double head = canvas.Mm(kHeadMm), key = canvas.Mm(kKeyMm);
    const double portrait = CellSizeOn(canvas.BodyOf(QPageLayout::Portrait), extent, head, key);
    const double landscape = CellSizeOn(canvas.BodyOf(QPageLayout::Landscape), extent, head, key);
    return landscape > portrait * 1.0001 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

void DrawDeckPage(TCanvas& canvas, const TAnalysisResult& result, const TDeck& deck,
                  const QString& caption, int z, const TPlanMarks* marks) {
    QPainter& p = canvas.Painter();
    const QRectF body = canvas.Body();
    const double top = canvas.Mm(kHeadMm);
    const TPlanExtent extent =
        DeckExtent(deck, std::max(result.Columns, 0), std::max(result.Rows, 0));
    const double cell = CellSizeOn(body, extent, top, canvas.Mm(kKeyMm));
    const TDeckPlan plan = BuildDeckPlan(result, z, deck, PlanStep(cell / canvas.Mm(1), extent));

    double y = canvas.Text(caption, canvas.Font(14, true), 0, 0, body.width());
    const QString title = plan.Legend.Title.empty()
                              ? QStringLiteral("Plan of the deck (no density maps)")
                              : QString::fromStdString(plan.Legend.Title);
    y += canvas.Text(title, canvas.Font(10), 0, y, body.width(), Qt::AlignLeft, QColor(60, 60, 60));
    QString figures;
    if (result.HasDensity) {
        const int congested =
            z < static_cast<int>(result.CongestedPerDeck.size()) ? result.CongestedPerDeck[z] : 0;
        double peak = 0;
        if (z < static_cast<int>(result.Maps.size()))
            peak = result.DensityOf(result.Maps[static_cast<std::size_t>(z)].PeakCount.Max());
        figures = QStringLiteral(
                      "Longest time above the limit %1 s; peak density on this deck %2 "
                      "persons/m\u00b2; congested cells (outlined: above the limit for more than "
                      "%3 % of the duration) %4.")
                      .arg(plan.Longest, 0, 'f', 2)
                      .arg(peak, 0, 'f', 2)
                      .arg(result.Settings.CongestionShare * 100)
                      .arg(congested);
    } else {
        figures = result.DensityTooLarge
                      ? QStringLiteral("The density was not computed: the grid is too large.")
                      : QStringLiteral("The density was not computed.");
    }
    canvas.Text(figures, canvas.Font(9), 0, y + canvas.Mm(1), body.width());

    const double width = extent.Columns * cell;
    const double height = extent.Rows * cell;
    const double left = (body.width() - width) / 2;
    if (!extent.Empty() && cell > 0) {
        const double unit = cell * plan.Step;  // a plan cell on paper
        const auto cx = [&](double c) { return left + c * unit; };
        const auto cy = [&](double r) { return top + r * unit; };
        p.save();
        // The last plan cells may reach past the deck's extent.
        p.setClipRect(QRectF(left, top, width, height));
        // Each rectangle reaches a hair into its right and lower neighbours, so that no
        // seam of the page's background shows between them.
        const double seam = std::min(unit * 0.05, canvas.Mm(0.05));
        std::map<int, QList<QRectF>> byKey;
        for (const TPlanRect& r : MergeRects(plan.Keys, plan.Columns, plan.Rows))
            byKey[r.Key].append(
                QRectF(cx(r.Column), cy(r.Row), r.Columns * unit + seam, r.Rows * unit + seam));
        p.setPen(Qt::NoPen);
        for (const auto& [key, rects] : byKey) {
            p.setBrush(PlanColor(plan, key));
            p.drawRects(rects.constData(), static_cast<int>(rects.size()));
        }
        QList<QLineF> edges;
        for (const QLineF& e : CongestedEdges(plan))
            edges.append(QLineF(cx(e.x1()), cy(e.y1()), cx(e.x2()), cy(e.y2())));
        p.setPen(
            QPen(Qt::black, std::min(canvas.Mm(0.35), unit * 0.25), Qt::SolidLine, Qt::SquareCap));
        p.drawLines(edges.constData(), static_cast<int>(edges.size()));
        p.restore();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(120, 120, 120), canvas.Mm(0.15)));
        p.drawRect(QRectF(left, top, width, height));
        if (marks) {
            DrawPlanMarks(
                canvas, *marks, z,
                [&](double column, double row) {
                    return QPointF(left + (column - extent.FirstColumn) * cell,
                                   top + (row - extent.FirstRow) * cell);
                },
                cell);
        }
    } else {
        canvas.Text(QStringLiteral("The deck holds no cells."), canvas.Font(9), 0, top,
                    body.width());
    }

    // The key under the plan.
    double ky = top + height + canvas.Mm(5);
    if (plan.Bands > 0) {
        ColourBar(canvas, plan, 0, ky);
    } else {
        canvas.Text(QStringLiteral("No density maps: only the floor is shown."), canvas.Font(9), 0,
                    ky, canvas.Mm(kBarMm));
    }
    const double sx = canvas.Mm(kBarMm + 14);
    const QPen thin(QColor(120, 120, 120), canvas.Mm(0.15));
    Swatch(canvas, sx, ky, kFloor, thin, QStringLiteral("Floor, 0 s above the limit"));
    Swatch(canvas, sx, ky + canvas.Mm(5), kBlock, thin, QStringLiteral("Block"));
    Swatch(canvas, sx, ky + canvas.Mm(10), QColor(), QPen(Qt::black, canvas.Mm(0.35)),
           QStringLiteral("Congested cell"));
    if (marks && result.HasMeasurements) {
        Swatch(canvas, sx, ky + canvas.Mm(15), QColor(0, 140, 60, 150),
               QPen(QColor(0, 140, 60), canvas.Mm(0.2)), QStringLiteral("Exit (E1, E2, ...)"));
    }
    if (marks && result.HasMeasurements && marks->Set && !marks->Set->Empty()) {
        Swatch(canvas, sx, ky + canvas.Mm(20), QColor(200, 30, 30),
               QPen(QColor(200, 30, 30), canvas.Mm(0.2)), QStringLiteral("Measurement line"));
        Swatch(canvas, sx, ky + canvas.Mm(25), QColor(30, 80, 200, 50),
               QPen(QColor(30, 80, 200), canvas.Mm(0.35)), QStringLiteral("Measurement area"));
    }
    if (cell > 0) ScaleBar(canvas, result, cell, 0, ky + canvas.Mm(21));
}

}  // namespace orlex::report
