// File > "Export report over runs...": many runs (3D log files) of one case analysed
// on a worker thread under a progress dialog that can cancel, then the report over
// them written as a PDF. The loaded project is not touched.
#pragma once

#include <QString>
#include <QStringList>

#include "interfaces.h"
#include "settings.h"

class QWidget;

namespace orlex {

enum class TRunsExport { Written, Cancelled, Failed };

// Writes the report over files to path (atomically: nothing stays behind on a failure
// or a cancel). Errors go to messages ("Error", naming the file); done receives the
// status bar text of a written report ("Report over 50 runs written to shown").
TRunsExport ExportRunsReport(QWidget* parent, const QStringList& files, const QString& path,
                             const TAnalysisSettings& settings, IMessages& messages,
                             const QString& shown, QString& done);

}  // namespace orlex
