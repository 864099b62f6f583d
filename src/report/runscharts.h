// The charts of the report over runs: the empirical distribution of the evacuation
// times and the running p95 as the runs come in.
#pragma once

#include <QPolygonF>
#include <QString>
#include <vector>

#include "reportchart.h"
#include "runset.h"

namespace orlex::report {

// The empirical distribution function of times as a step curve (time, share of runs
// in %): 0 below the smallest time, rising by 100/N at every time, 100 from the
// largest on, held up to end.
QPolygonF DistributionSteps(std::vector<double> times, double end);

// The names of the p95 and of its bound as the charts' legends show them, with
// their values.
QString P95Name(const stats::TRunStatistics& s);
QString BoundName(const stats::TRunStatistics& s);

// The share of the used runs at or below each evacuation time, with the p95 and
// its bound marked.
TChart DistributionChart(const std::vector<stats::TRunSummary>& runs,
                         const stats::TRunStatistics& s);
// The p95 after each run, with the final p95 and the bound as reference lines.
TChart RunningChart(const stats::TRunStatistics& s);

}  // namespace orlex::report
