// The PDF report of an evacuation analysis: A4, fonts embedded, everything drawn
// as vectors. A title block and the summary table, the charts of the saved persons
// and of the persons per deck, then one page per deck with its plan. Every page
// carries the file name and "Page n of m" in its footer.
#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

#include "reportsource.h"
#include "result.h"

namespace orlex {

// Writes the report to device. False when the device refused it.
bool WriteAnalysisPdf(QIODevice& device, const TAnalysisResult& result,
                      const TAnalysisSource& source);

// Writes path through a QSaveFile: write fills the file; on failure (of the open,
// of write or of the commit) nothing is left at path and why says why.
bool SaveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString& why);

}  // namespace orlex
