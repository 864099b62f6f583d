#include "runscharts.h"

#include <algorithm>

#include "summary.h"

namespace orlex::report {

namespace {

const QColor kP95Color(200, 120, 0);
const QColor kBoundColor(170, 20, 20);

QString Seconds(double value) {
    return QString::fromStdString(SecondsText(value));
}

// A horizontal reference line across a chart of x from x0 to x1.
TChartLine Level(const QString& name, double y, double x0, double x1, const QColor& color) {
    return {name, QPolygonF({QPointF(x0, y), QPointF(x1, y)}), color, Qt::DashLine};
}

}  // namespace

QPolygonF DistributionSteps(std::vector<double> times, double end) {
    QPolygonF points;
    if (times.empty()) return points;
    std::sort(times.begin(), times.end());
    const double n = static_cast<double>(times.size());
    points.append({times.front(), 0.0});
    for (std::size_t i = 0; i < times.size(); ++i) {
        // Equal times rise together.
        if (i + 1 < times.size() && times[i + 1] == times[i]) continue;
        points.append({times[i], points.back().y()});
        points.append({times[i], 100.0 * static_cast<double>(i + 1) / n});
    }
    if (end > times.back()) points.append({end, 100.0});
    return points;
}

QString P95Name(const stats::TRunStatistics& s) {
    return QStringLiteral("p95 (ranking rule, %1 of %2): %3")
        .arg(QString::fromStdString(stats::Ordinal(s.P95Rank)))
        .arg(s.N)
        .arg(Seconds(s.P95));
}

QString BoundName(const stats::TRunStatistics& s) {
    if (s.BoundReached)
        return QStringLiteral("Upper 95 % confidence bound of the 95th percentile: %1 (rank %2)")
            .arg(Seconds(s.Bound))
            .arg(s.BoundRank);
    return QStringLiteral("Largest run, bounds the 95th percentile with %1 confidence: %2")
        .arg(QString::fromStdString(stats::PercentCut(s.BoundConfidence)), Seconds(s.Bound));
}

TChart DistributionChart(const std::vector<stats::TRunSummary>& runs,
                         const stats::TRunStatistics& s) {
    TChart chart;
    chart.Title = QStringLiteral("Distribution of the evacuation times over %1 %2")
                      .arg(s.N)
                      .arg(s.N == 1 ? QStringLiteral("run") : QStringLiteral("runs"));
    chart.XTitle = QStringLiteral("Evacuation time (s)");
    chart.YTitle = QStringLiteral("Share of runs (%)");
    chart.LegendTitle = QStringLiteral("Legend");
    std::vector<double> times;
    for (const stats::TRunSummary& run : runs)
        if (run.Status == stats::TRunStatus::Used) times.push_back(*run.EvacuationTime);
    // A margin of a twentieth of the range on either side shows the first and last steps.
    const double margin = std::max((s.Max - s.Min) / 20.0, 0.5);
    chart.X0 = s.Min - margin;
    chart.X1 = s.Max + margin;
    chart.YMax = 100;
    chart.Lines.push_back({QStringLiteral("Share of runs evacuated within the time"),
                           DistributionSteps(times, chart.X1), QColor(31, 119, 180)});
    chart.Markers.push_back({P95Name(s), s.P95, kP95Color});
    chart.Markers.push_back({BoundName(s), s.Bound, kBoundColor});
    return chart;
}

TChart RunningChart(const stats::TRunStatistics& s) {
    TChart chart;
    chart.Title = QStringLiteral("Running p95 of the evacuation time, in the order of the runs");
    chart.XTitle = QStringLiteral("Runs");
    chart.YTitle = QStringLiteral("p95 of the evacuation time (s)");
    chart.LegendTitle = QStringLiteral("Legend");
    chart.WholeX = true;
    chart.X0 = 1;
    chart.X1 = std::max<double>(2, static_cast<double>(s.N));
    QPolygonF running;
    double lo = s.Bound, hi = s.Bound;
    for (std::size_t i = 0; i < s.Running.size(); ++i) {
        running.append({static_cast<double>(i + 1), s.Running[i]});
        lo = std::min(lo, s.Running[i]);
        hi = std::max(hi, s.Running[i]);
    }
    const double margin = std::max((hi - lo) / 10.0, 0.5);
    chart.Y0 = std::max(0.0, lo - margin);
    chart.YMax = hi + margin;
    chart.Lines.push_back({QStringLiteral("p95 after each run"), running, QColor(31, 119, 180)});
    chart.Lines.push_back(
        Level(QStringLiteral("Final ") + P95Name(s), s.P95, chart.X0, chart.X1, kP95Color));
    chart.Lines.push_back(Level(BoundName(s), s.Bound, chart.X0, chart.X1, kBoundColor));
    return chart;
}

}  // namespace orlex::report
