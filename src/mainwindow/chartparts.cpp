#include "chartparts.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace orlex {

namespace {

// Most tick intervals on an axis.
constexpr int kAxisIntervals = 6;

}  // namespace

QChart* NewChart(const QString& title, const QString& yTitle) {
    auto* chart = new QChart;
    chart->setTitle(title);
    // The panel writes the legend below the chart, where it can wrap.
    chart->legend()->hide();
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("Time (s)"));
    x->setLabelFormat(QStringLiteral("%.0f"));
    auto* y = new QValueAxis;
    y->setTitleText(yTitle);
    y->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    return chart;
}

void Attach(QChart* chart, QAbstractSeries* series) {
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes()) series->attachAxis(axis);
}

QLineSeries* VerticalLine(QChart* chart, const QString& name, double x, double yMax,
                          const QColor& color, Qt::PenStyle style) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->append(x, 0);
    line->append(x, yMax);
    line->setPen(QPen(color, 1.5, style));
    Attach(chart, line);
    return line;
}

void ClearChart(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) axis->setRange(0, 1);
}

void SetRoundRange(QValueAxis* axis, double lo, double hi) {
    hi = std::max(hi, lo + 1);
    const double step = RoundStep(hi - lo, kAxisIntervals);
    const double from = std::floor(lo / step + 1e-9) * step;
    const double to = std::ceil(hi / step - 1e-9) * step;
    axis->setRange(from, to);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(RoundStep(to - from, kAxisIntervals));
    const std::string label = TickLabel(step, step);
    const std::size_t point = label.find('.');
    const int decimals =
        point == std::string::npos ? 0 : static_cast<int>(label.size() - point - 1);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
}

void SetRanges(QChart* chart, double x0, double x1, double yMax, const TTimeUnit& unit) {
    auto* time = static_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
    time->setTitleText(QString::fromStdString(TimeAxisTitle(unit)));
    SetRoundRange(time, x0, x1);
    SetRoundRange(static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front()), 0, yMax);
}

TTimeUnit TimeUnitOf(const TAnalysisResult* result, const TTimeline& timeline) {
    if (!result) return {};
    return TimeAxisUnit(
        std::max(std::abs(result->TimeOfStep(0)), std::abs(result->TimeOfStep(timeline.End))));
}

}  // namespace orlex
