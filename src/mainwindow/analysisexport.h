// "Export analysis...": the analysis as CSV, as JSON, or as a PDF report.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "interfaces.h"
#include "pdfreport.h"
#include "reportsource.h"
#include "result.h"
#include "summary.h"

namespace orlex {

enum class TAnalysisFormat { Unknown, Csv, Json, Pdf };

// The format of a target by its extension (.csv, .json, .pdf; any case).
TAnalysisFormat AnalysisFormatOf(const QString& path);
// The filter of the save dialog.
QString AnalysisExportFilter();

// A CSV export writes four RFC 4180 tables (UTF-8, CRLF, one header row each) beside
// the chosen name, whose own file is not written: for "ship.csv" (or "ship")
// ship-summary.csv, ship-exit-times.csv, ship-curves.csv and ship-congested.csv.
QStringList AnalysisCsvPaths(const QString& chosen);
// The files that an export to path writes: the four tables for a CSV name, else path.
QStringList AnalysisExportPaths(const QString& path);
// "a.csv, b.csv and c.csv": the names of files without their folder.
QString FileNamesText(const QStringList& paths);

// The tables, in the order of AnalysisCsvPaths:
// "name,value": the file, the settings and the results as the report lists them;
QByteArray AnalysisSummaryCsv(const TAnalysisResult& result, const TAnalysisSource& source);
// "person,exit_time_s": persons from 1, the field empty when the time is unknown;
QByteArray ExitTimesCsv(const TAnalysisResult& result);
// "time_s,saved,deck 0: <caption>,...": the curves once a simulated second, one
// column of persons on it per deck (0-based, then its caption when it has one);
QByteArray CurvesCsv(const TAnalysisResult& result, const QStringList& captions);
// "deck,deck_caption,row,column,seconds_above": the congested cells.
QByteArray CongestedCsv(const TAnalysisResult& result, const QStringList& captions);
// Then the exits (ExitsTable) and the lines and areas over time (MeasurementsTable),
// each written by this.
QByteArray TableCsv(const TTextTable& table);

// The analysis object as orlex-info --analysis --json writes it, with the file and the
// deck captions of source.
QByteArray AnalysisJsonBytes(const TAnalysisResult& result, const TAnalysisSource& source);

// Writes every file or none: each to a temporary file beside it first, then all
// renamed over their targets, an existing file replaced. When one cannot be put in
// place, those put in place are removed again and the files they replaced come
// back. On failure failed names the file and why says why.
bool SaveAllAtomically(const QList<QPair<QString, QByteArray>>& files, QString& failed,
                       QString& why);

// Writes the export of the target's format (AnalysisExportPaths). On failure none of
// its files is left and one "Error" message names the file and the reason.
bool ExportAnalysis(const QString& path, const TAnalysisResult& result,
                    const TAnalysisSource& source, IMessages& messages);

}  // namespace orlex
