// Parts the charts of the "Analysis" panel share: a chart with titled axes, series
// attached to them, marker lines and round axis ranges.
#pragma once

#include <QChart>
#include <QColor>
#include <QLineSeries>
#include <QString>
#include <QValueAxis>

#include "result.h"
#include "ticks.h"
#include "timenavigation.h"

namespace orlex {

// A chart with a time axis below and an axis titled yTitle on the left; no legend
// (the panel writes it below the chart, where it can wrap).
QChart* NewChart(const QString& title, const QString& yTitle);
// Adds series to chart, on its axes.
void Attach(QChart* chart, QAbstractSeries* series);
// A vertical line at x from 0 to yMax.
QLineSeries* VerticalLine(QChart* chart, const QString& name, double x, double yMax,
                          const QColor& color, Qt::PenStyle style);
// No series, axes 0 to 1.
void ClearChart(QChart* chart);
// An axis from lo to hi (at least to lo + 1) with its ends and ticks on round values.
void SetRoundRange(QValueAxis* axis, double lo, double hi);
// The time axis runs from x0 to x1 in unit's values, the other from 0 to yMax.
void SetRanges(QChart* chart, double x0, double x1, double yMax, const TTimeUnit& unit);
// The unit of the time axes: a long run's ticks in hours or days.
TTimeUnit TimeUnitOf(const TAnalysisResult* result, const TTimeline& timeline);

}  // namespace orlex
