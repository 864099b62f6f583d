#include "analysisexport.h"

#include <QFileInfo>
#include <QLocale>
#include <cmath>

#include "jsonwriter.h"
#include "summary.h"

namespace orlex {

namespace {

QByteArray Number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toUtf8();
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
QByteArray Field(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n')) return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

bool Fail(IMessages& messages, const QString& path, const QString& reason) {
    messages.ShowMessage(
        QStringLiteral("Cannot write the analysis to\n%1:\n%2").arg(path, reason).toStdString(),
        "Error", TMsgIcon::Error, TMsgButtons::Ok);
    return false;
}

}  // namespace

TAnalysisFormat AnalysisFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv")) return TAnalysisFormat::Csv;
    if (suffix == QLatin1String("json")) return TAnalysisFormat::Json;
    if (suffix == QLatin1String("pdf")) return TAnalysisFormat::Pdf;
    return TAnalysisFormat::Unknown;
}

QString AnalysisExportFilter() {
    return QStringLiteral("PDF report (*.pdf);;CSV file (*.csv);;JSON file (*.json)");
}

QByteArray AnalysisCsv(const TAnalysisResult& r, const QStringList& captions) {
    QByteArray csv = "time_s,saved";
    std::vector<std::string> names;
    for (const QString& caption : captions) names.push_back(caption.toStdString());
    for (int z = 0; z < static_cast<int>(r.Occupancy.size()); ++z)
        csv += ',' + Field(QString::fromStdString(DeckLabel(names, z)));
    csv += '\n';
    const std::vector<int> saved = r.SavedPerSecond();
    const std::vector<std::vector<int>> occupancy = r.OccupancyPerSecond();
    for (std::size_t i = 0; i < saved.size(); ++i) {
        csv += Number(static_cast<double>(i) + r.TimeOffset) + ',' + QByteArray::number(saved[i]);
        for (const auto& deck : occupancy) csv += ',' + QByteArray::number(deck[i]);
        csv += '\n';
    }
    csv += "\nperson,exit_time_s\n";
    // A person whose track the end of the file cut has no known exit time: empty.
    for (std::size_t i = 0; i < r.ExitTimes.size(); ++i) {
        csv += QByteArray::number(i + 1) + ',' +
               (std::isnan(r.ExitTimes[i]) ? QByteArray() : Number(r.ExitTimes[i])) + '\n';
    }
    csv += "\ndeck,row,column,seconds_above\n";
    for (const TCongestedCell& c : r.Congested)
        csv += QByteArray::number(c.Cell.Deck) + ',' + QByteArray::number(c.Cell.Row) + ',' +
               QByteArray::number(c.Cell.Column) + ',' + Number(c.SecondsAbove) + '\n';
    return csv;
}

QByteArray AnalysisJsonBytes(const TAnalysisResult& result) {
    return QByteArray::fromStdString(AnalysisJson(result));
}

bool ExportAnalysis(const QString& path, const TAnalysisResult& result,
                    const TAnalysisSource& source, IMessages& messages) {
    const TAnalysisFormat format = AnalysisFormatOf(path);
    if (format == TAnalysisFormat::Unknown)
        return Fail(messages, path, QStringLiteral("The name must end in .pdf, .csv or .json."));
    QString why;
    const bool written = SaveAtomically(
        path,
        [&](QIODevice& file) {
            if (format == TAnalysisFormat::Pdf) return WriteAnalysisPdf(file, result, source);
            return file.write(format == TAnalysisFormat::Csv ? AnalysisCsv(result, source.Captions)
                                                             : AnalysisJsonBytes(result)) >= 0;
        },
        why);
    if (!written) return Fail(messages, path, why);
    return true;
}

}  // namespace orlex
