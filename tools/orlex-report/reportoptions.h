// The command line of orlex-report.
#pragma once

#include <QString>
#include <QStringList>

#include "convert.h"
#include "runset.h"
#include "settings.h"

namespace orlex::reporttool {

struct TReportOptions {
    QStringList Inputs;
    QString Output;
    TAnalysisSettings Settings;
    // --measure: the measurement lines and areas (empty: FILE.measure.json when it exists).
    QString MeasureFile;
    // A report over runs: two or more files, or --runs. Then only:
    bool Runs = false;
    QString CaseFile;  // --case
    bool AnyCase = false;
    bool IncludeIncomplete = false;
    // How files that are not 3D log files are imported (--format, --geometry, ...);
    // its CellSize is the --cell-size given.
    import::TImportOptions Import;
};

QString ReportUsage();

// The run-set request of a report over runs.
stats::TRunSetRequest RunSetRequest(const TReportOptions& options);

// Writes the report over the runs of options; returns the exit status.
int RunsReport(const TReportOptions& options);

// Reads the arguments after the program name. False for a usage error: error then
// names the option ("--window: The window must be ..."). help is set by -h/--help.
bool ParseReportOptions(const QStringList& args, TReportOptions& options, QString& error,
                        bool& help);

}  // namespace orlex::reporttool
