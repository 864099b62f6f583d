#include "reportchart.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "summary.h"
#include "ticks.h"

namespace orlex::report {

namespace {

constexpr int kXTicks = 10;
constexpr int kYTicks = 6;
constexpr double kPlotRatio = 0.42;  // plot height / chart width

QString Tick(double value, double step) {
    return QString::fromStdString(TickLabel(value, step));
}

// The most lines a legend names; the rest are counted in a last entry.
constexpr std::size_t kMaxLegendLines = 36;

struct TLegendEntry {
    QString Name;
    QColor Color;
    Qt::PenStyle Style = Qt::SolidLine;
    bool Sample = true;
};

std::vector<TLegendEntry> LegendEntries(const TChart& chart) {
    std::vector<TLegendEntry> entries;
    const std::size_t shown =
        chart.Lines.size() > kMaxLegendLines ? kMaxLegendLines - 1 : chart.Lines.size();
    for (std::size_t i = 0; i < shown; ++i)
        entries.push_back({chart.Lines[i].Name, chart.Lines[i].Color, chart.Lines[i].Style});
    if (shown < chart.Lines.size())
        entries.push_back(
            {QStringLiteral("and %1 more").arg(chart.Lines.size() - shown), {}, {}, false});
    for (const TChartMarker& marker : chart.Markers)
        entries.push_back({marker.Name, marker.Color, Qt::DashLine});
    return entries;
}

struct TLegendLayout {
    std::vector<TLegendEntry> Entries;
    int Columns = 1;
    int Rows = 0;
    double ItemWidth = 0;
    double Height = 0;
};

TLegendLayout LegendLayout(const TCanvas& canvas, const TChart& chart, double width) {
    TLegendLayout layout;
    layout.Entries = LegendEntries(chart);
    const int items = static_cast<int>(layout.Entries.size());
    if (items == 0) return layout;
    const QFont font = canvas.Font(8);
    double widest = 0;
    for (const TLegendEntry& entry : layout.Entries)
        widest = std::max(widest, canvas.TextWidth(entry.Name, font));
    layout.ItemWidth = std::min(width, widest + canvas.Mm(14));
    layout.Columns = std::max(1, static_cast<int>(width / layout.ItemWidth));
    layout.Rows = (items + layout.Columns - 1) / layout.Columns;
    const double line = canvas.TextHeight(QStringLiteral("X"), font, width);
    const double title = chart.LegendTitle.isEmpty()
                             ? 0
                             : canvas.TextHeight(chart.LegendTitle, canvas.Font(8, true), width);
    layout.Height = title + layout.Rows * line * 1.25 + canvas.Mm(3);
    return layout;
}

void Sample(QPainter& p, double x, double y, double length, const QColor& color, Qt::PenStyle style,
            double width) {
    p.setPen(QPen(color, width, style, Qt::FlatCap));
    p.drawLine(QPointF(x, y), QPointF(x + length, y));
}

}  // namespace

// The ticks of an axis at its own step (a whole axis may step wider than its span
// alone would).
std::vector<double> AxisTicks(const TChartAxis& axis) {
    return RoundTicks(axis.Lo, axis.Hi,
                      std::max(1, static_cast<int>(std::lround((axis.Hi - axis.Lo) / axis.Step))));
}

TChartAxis ChartAxis(double lo, double hi, int ticks, bool whole) {
    if (!(hi > lo)) hi = lo + 1;
    TChartAxis axis;
    axis.Step = RoundStep(hi - lo, ticks);
    // Counts tick at whole numbers: 2 for a step of 2.5, 1 for a smaller one.
    if (whole) axis.Step = axis.Step < 1 ? 1.0 : axis.Step == 2.5 ? 2.0 : axis.Step;
    axis.Lo = std::floor(lo / axis.Step + 1e-9) * axis.Step;
    axis.Hi = std::ceil(hi / axis.Step - 1e-9) * axis.Step;
    if (!(axis.Hi > axis.Lo)) axis.Hi = axis.Lo + axis.Step;
    return axis;
}

QPolygonF Thinned(const QPolygonF& points, double resolution) {
    if (points.size() < 8 || !(resolution > 0)) return points;
    QPolygonF out;
    int i = 0;
    while (i < points.size()) {
        const double slice = std::floor(points[i].x() / resolution);
        int j = i, low = i, high = i;
        while (j + 1 < points.size() && std::floor(points[j + 1].x() / resolution) == slice) {
            ++j;
            if (points[j].y() < points[low].y()) low = j;
            if (points[j].y() > points[high].y()) high = j;
        }
        int keep[] = {i, std::min(low, high), std::max(low, high), j};
        int last = -1;
        for (const int k : keep) {
            if (k != last) out.append(points[k]);
            last = k;
        }
        i = j + 1;
    }
    return out;
}

// At most kMaxCurvePoints corners, however many changes the curve has.
QPolygonF StairPolygon(const TAnalysisResult& result, const TStepCurve& curve, int64_t end) {
    QPolygonF points;
    for (const TStairPoint& p : curve.Stairs(end)) {
        points.append({result.TimeOfStep(p.Step), static_cast<double>(p.Value)});
    }
    return points;
}

QColor SeriesColor(int i) {
    static const QColor kColors[] = {
        {31, 119, 180}, {255, 127, 14},  {44, 160, 44},   {214, 39, 40},  {148, 103, 189},
        {140, 86, 75},  {227, 119, 194}, {127, 127, 127}, {188, 189, 34}, {23, 190, 207}};
    return kColors[i % 10];
}

Qt::PenStyle SeriesStyle(int i) {
    static const Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                           Qt::DashDotLine};
    return kStyles[(i / 10) % 4];
}

namespace {

// A long run's time axis in hours or days: the chart's times divided into that unit.
void UseTimeUnit(TChart& chart) {
    const TTimeUnit unit = TimeAxisUnit(std::max(std::abs(chart.X0), std::abs(chart.X1)));
    chart.XTitle = QString::fromStdString(TimeAxisTitle(unit));
    if (unit.Seconds == 1) return;
    chart.X0 /= unit.Seconds;
    chart.X1 /= unit.Seconds;
    for (TChartLine& line : chart.Lines) {
        for (QPointF& point : line.Points) point.setX(point.x() / unit.Seconds);
    }
    for (TChartMarker& marker : chart.Markers) marker.X /= unit.Seconds;
}

}  // namespace

TChart SavedChart(const TAnalysisResult& r) {
    TChart chart;
    // A cut track ends where the file ends: the curve counts its person as saved
    // then, so an incomplete run says so in the heading.
    chart.Title = r.Complete() ? QStringLiteral("Saved persons over time")
                               : QStringLiteral(
                                     "Saved persons over time (incomplete run: %1 "
                                     "cut tracks end as if saved)")
                                     .arg(r.CutTracks);
    chart.YTitle = QStringLiteral("Saved persons");
    chart.LegendTitle = QStringLiteral("Legend");
    const int64_t end = r.LastStep + 1;
    chart.X0 = r.TimeOfStep(0);
    chart.X1 = r.TimeOfStep(std::max<int64_t>(end, 1));
    chart.YMax = std::max(1, r.Persons);
    chart.Lines.push_back(
        {QStringLiteral("Saved persons"), StairPolygon(r, r.Saved, end), QColor(31, 119, 180)});
    if (r.EvacuationTime) {
        chart.Markers.push_back({QStringLiteral("Evacuation time (%1)")
                                     .arg(QString::fromStdString(SecondsText(r.EvacuationTime))),
                                 *r.EvacuationTime, QColor(170, 20, 20)});
    }
    if (r.ExitStats) {
        chart.Markers.push_back({QStringLiteral("p95 exit time (%1)")
                                     .arg(QString::fromStdString(SecondsText(r.ExitStats->P95))),
                                 r.ExitStats->P95, QColor(200, 140, 0)});
    }
    UseTimeUnit(chart);
    return chart;
}

TChart OccupancyChart(const TAnalysisResult& r, const QStringList& captions) {
    TChart chart;
    chart.Title = QStringLiteral("Persons per deck over time");
    chart.LegendTitle = QStringLiteral("Decks");
    const int64_t end = r.LastStep + 1;
    chart.X0 = r.TimeOfStep(0);
    chart.X1 = r.TimeOfStep(std::max<int64_t>(end, 1));
    std::vector<std::string> names;
    for (const QString& caption : captions) names.push_back(caption.toStdString());
    for (std::size_t z = 0; z < r.Occupancy.size(); ++z) {
        const int i = static_cast<int>(z);
        for (const int v : r.Occupancy[z].Values) chart.YMax = std::max<double>(chart.YMax, v);
        chart.Lines.push_back({QString::fromStdString(DeckLabel(names, i)),
                               StairPolygon(r, r.Occupancy[z], end), SeriesColor(i),
                               SeriesStyle(i)});
    }
    UseTimeUnit(chart);
    return chart;
}

double ChartHeight(const TCanvas& canvas, const TChart& chart, double width) {
    const double title = canvas.TextHeight(chart.Title, canvas.Font(11, true), width);
    const double labels = canvas.TextHeight(QStringLiteral("0"), canvas.Font(8), width);
    return title + canvas.Mm(3) + width * kPlotRatio + labels * 2.6 + canvas.Mm(3) +
           LegendLayout(canvas, chart, width).Height;
}

void DrawChart(TCanvas& canvas, const TChart& chart, double x, double y, double width) {
    QPainter& p = canvas.Painter();
    const QFont tickFont = canvas.Font(8);
    const QFont titleFont = canvas.Font(9);
    y += canvas.Text(chart.Title, canvas.Font(11, true), x, y, width) + canvas.Mm(3);

    const TChartAxis ax = ChartAxis(chart.X0, chart.X1, kXTicks, chart.WholeX);
    const TChartAxis ay = ChartAxis(chart.Y0, chart.YMax, kYTicks, chart.Y0 == 0);
    const double line = canvas.TextHeight(QStringLiteral("0"), tickFont, width);
    double labelWidth = 0;
    for (const double v : AxisTicks(ay))
        labelWidth = std::max(labelWidth, canvas.TextWidth(Tick(v, ay.Step), tickFont));
    const double left = x + line * 1.6 + labelWidth + canvas.Mm(2);
    const QRectF plot(left, y, x + width - canvas.Mm(3) - left, width * kPlotRatio);
    const auto px = [&](double v) {
        return plot.left() + (v - ax.Lo) / (ax.Hi - ax.Lo) * plot.width();
    };
    const auto py = [&](double v) {
        return plot.bottom() - (v - ay.Lo) / (ay.Hi - ay.Lo) * plot.height();
    };

    // Grid and ticks.
    p.setBrush(Qt::NoBrush);
    const QPen grid(QColor(215, 215, 215), canvas.Mm(0.15));
    for (const double v : AxisTicks(ax)) {
        p.setPen(grid);
        p.drawLine(QPointF(px(v), plot.top()), QPointF(px(v), plot.bottom()));
        canvas.Label(Tick(v, ax.Step), tickFont, px(v), plot.bottom() + canvas.Mm(1),
                     Qt::AlignHCenter | Qt::AlignTop);
    }
    for (const double v : AxisTicks(ay)) {
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), py(v)), QPointF(plot.right(), py(v)));
        canvas.Label(Tick(v, ay.Step), tickFont, plot.left() - canvas.Mm(1.2), py(v),
                     Qt::AlignRight | Qt::AlignVCenter);
    }
    p.setPen(QPen(Qt::black, canvas.Mm(0.25)));
    p.drawRect(plot);
    // Axis titles.
    canvas.Label(chart.XTitle, titleFont, plot.center().x(),
                 plot.bottom() + canvas.Mm(1) + line * 1.1, Qt::AlignHCenter | Qt::AlignTop);
    p.save();
    p.translate(x + line * 0.6, plot.center().y());
    p.rotate(-90);
    canvas.Label(chart.YTitle, titleFont, 0, 0, Qt::AlignHCenter | Qt::AlignVCenter);
    p.restore();

    // The curves, clipped to the plot.
    p.save();
    p.setClipRect(plot.adjusted(-canvas.Mm(0.3), -canvas.Mm(0.3), canvas.Mm(0.3), 0));
    p.setRenderHint(QPainter::Antialiasing);
    for (const TChartMarker& marker : chart.Markers) {
        p.setPen(QPen(marker.Color, canvas.Mm(0.35), Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(px(marker.X), plot.top()), QPointF(px(marker.X), plot.bottom()));
    }
    for (const TChartLine& series : chart.Lines) {
        QPolygonF points;
        points.reserve(series.Points.size());
        for (const QPointF& point : series.Points) points.append({px(point.x()), py(point.y())});
        p.setPen(QPen(series.Color, canvas.Mm(0.4), series.Style, Qt::FlatCap, Qt::MiterJoin));
        p.drawPolyline(Thinned(points, canvas.Mm(0.05)));
    }
    p.restore();

    // The legend under the plot.
    const TLegendLayout layout = LegendLayout(canvas, chart, plot.width());
    if (layout.Rows == 0) return;
    double ly = plot.bottom() + canvas.Mm(1) + line * 2.6 + canvas.Mm(3);
    if (!chart.LegendTitle.isEmpty()) {
        ly += canvas.Text(chart.LegendTitle, canvas.Font(8, true), plot.left(), ly, plot.width());
    }
    for (std::size_t i = 0; i < layout.Entries.size(); ++i) {
        const TLegendEntry& entry = layout.Entries[i];
        const int at = static_cast<int>(i);
        const double ix = plot.left() + (at % layout.Columns) * layout.ItemWidth;
        const double iy = ly + (at / layout.Columns) * line * 1.25 + line / 2;
        if (entry.Sample) Sample(p, ix, iy, canvas.Mm(8), entry.Color, entry.Style, canvas.Mm(0.5));
        const double room = layout.ItemWidth - canvas.Mm(11);
        canvas.Label(canvas.Elided(entry.Name, tickFont, room), tickFont, ix + canvas.Mm(10), iy,
                     Qt::AlignLeft | Qt::AlignVCenter);
    }
}

}  // namespace orlex::report
