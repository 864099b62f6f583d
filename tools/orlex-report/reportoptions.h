// The command line of orlex-report.
#pragma once

#include <QString>
#include <QStringList>

#include "settings.h"

namespace orlex::reporttool {

struct TReportOptions {
    QString Input;
    QString Output;
    TAnalysisSettings Settings;
};

QString ReportUsage();

// Reads the arguments after the program name. False for a usage error: error then
// names the option ("--window: The window must be ..."). help is set by -h/--help.
bool ParseReportOptions(const QStringList& args, TReportOptions& options, QString& error,
                        bool& help);

}  // namespace orlex::reporttool
