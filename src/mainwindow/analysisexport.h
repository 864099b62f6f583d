// "Export analysis...": the analysis as CSV, as JSON, or as a PDF report.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "interfaces.h"
#include "pdfreport.h"
#include "reportsource.h"
#include "result.h"

namespace orlex {

enum class TAnalysisFormat { Unknown, Csv, Json, Pdf };

// The format of a target by its extension (.csv, .json, .pdf; any case).
TAnalysisFormat AnalysisFormatOf(const QString& path);
// The filter of the save dialog.
QString AnalysisExportFilter();

// One CSV file of three sections, each a header line and its rows, separated by an
// empty line: the curves per simulated second ("time_s,saved,<deck>..."), the
// exit times ("person,exit_time_s", persons from 1) and the congested cells
// ("deck,row,column,seconds_above").
QByteArray AnalysisCsv(const TAnalysisResult& result, const QStringList& captions);
// The analysis object exactly as orlex-info --analysis --json writes it.
QByteArray AnalysisJsonBytes(const TAnalysisResult& result);
// Writes the export of the target's format through a QSaveFile. On failure nothing
// is left at path and one "Error" message names the file and the reason.
bool ExportAnalysis(const QString& path, const TAnalysisResult& result,
                    const TAnalysisSource& source, IMessages& messages);

}  // namespace orlex
