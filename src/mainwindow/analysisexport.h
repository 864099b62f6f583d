// "Export analysis...": the analysis as CSV, as JSON, or as a PDF report.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "interfaces.h"
#include "logfile.h"
#include "result.h"

namespace orlex {

enum class TAnalysisFormat { Unknown, Csv, Json, Pdf };

// What the report tells about the analysed project.
struct TAnalysisSource {
    QString ProjectFile;                 // the analysed file
    QDateTime FileDate;                  // its modification time
    QStringList Captions;                // deck captions
    const TLogFile1* Project = nullptr;  // its decks, for the plans of the report
};

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
// The PDF report, written to device.
bool WriteAnalysisPdf(QIODevice& device, const TAnalysisResult& result,
                      const TAnalysisSource& source);

// Writes the export of the target's format through a QSaveFile. On failure nothing
// is left at path and one "Error" message names the file and the reason.
bool ExportAnalysis(const QString& path, const TAnalysisResult& result,
                    const TAnalysisSource& source, IMessages& messages);

}  // namespace orlex
