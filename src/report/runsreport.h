// The PDF report over many runs of one evacuation case: A4, fonts embedded, drawn as
// vectors. The case and the settings, the statistics of the evacuation times (the
// p95 by the ranking rule and its confidence bound), the charts of their
// distribution and of the running p95, and the table of the runs with why any was
// left out. Every page names the case and carries "Page n of m" in its footer.
#pragma once

#include <QDateTime>
#include <QIODevice>
#include <QString>

#include "runset.h"

namespace orlex {

struct TRunsReportInfo {
    QDateTime AnalysisDate;  // invalid: now
    QString Version;         // of the program; empty: this build's
};

// "case of ship-01.3dl", "any case": what the footer and the title name.
QString RunsCaseName(const stats::TRunSet& set);

// Writes the report of set. False when no run was used or the device refused it.
bool WriteRunsPdf(QIODevice& device, const stats::TRunSet& set, const TAnalysisSettings& settings,
                  const TRunsReportInfo& info = {});

}  // namespace orlex
