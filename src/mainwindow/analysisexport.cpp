#include "analysisexport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <memory>

#include "jsonwriter.h"
#include "osfile.h"
#include "summary.h"

namespace orlex {

namespace {

QByteArray Number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toUtf8();
}

// RFC 4180: every record ends in CR LF.
const QByteArray kEnd = "\r\n";

// The permissions of a new file: read and write for its owner, read for others.
constexpr QFile::Permissions kNewFile = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                        QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;

// A CSV field: quoted when it holds a separator, a quote or a line break.
QByteArray Field(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

std::vector<std::string> Names(const QStringList& captions) {
    std::vector<std::string> names;
    for (const QString& caption : captions) names.push_back(caption.toStdString());
    return names;
}

// A deck's caption; empty when it has none.
QString CaptionOf(const QStringList& captions, int z) {
    return z >= 0 && z < captions.size() ? captions[z] : QString();
}

bool Fail(IMessages& messages, const QString& path, const QString& reason) {
    messages.ShowMessage(
        QStringLiteral("Cannot write the analysis to\n%1:\n%2").arg(path, reason).toStdString(),
        "Error", TMsgIcon::Error, TMsgButtons::Ok);
    return false;
}

// A table on its way to its target: written beside it, then put in its place; the
// file it replaces is kept aside until every table is in place.
struct TPending {
    QString Target;
    std::unique_ptr<QTemporaryFile> Written;
    std::unique_ptr<QTemporaryFile> Replaced;  // the earlier file; null: none
    bool Placed = false;
};

// A hidden temporary file in the folder of path.
std::unique_ptr<QTemporaryFile> Beside(const QString& path) {
    const QFileInfo target(path);
    return std::make_unique<QTemporaryFile>(
        target.dir().filePath('.' + target.fileName() + QStringLiteral(".XXXXXX")));
}

// Renames within one folder, replacing a file of the new name.
bool Rename(const QString& from, const QString& to, QString& why) {
    std::string error;
    if (RenameFile(from.toStdString(), to.toStdString(), error)) return true;
    why = QString::fromStdString(error);
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

QStringList AnalysisCsvPaths(const QString& chosen) {
    QString base = chosen;
    if (base.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) base.chop(4);
    return {base + "-summary.csv",   base + "-exit-times.csv", base + "-curves.csv",
            base + "-congested.csv", base + "-exits.csv",      base + "-measurements.csv"};
}

QStringList AnalysisExportPaths(const QString& path) {
    return AnalysisFormatOf(path) == TAnalysisFormat::Csv ? AnalysisCsvPaths(path)
                                                          : QStringList{path};
}

QString FileNamesText(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths) names << QFileInfo(path).fileName();
    if (names.size() < 2) return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QByteArray AnalysisSummaryCsv(const TAnalysisResult& r, const TAnalysisSource& source) {
    QByteArray csv = "name,value" + kEnd;
    const auto add = [&](const QString& name, const QString& value) {
        csv += Field(name) + ',' + Field(value) + kEnd;
    };
    add(QStringLiteral("File"), source.ProjectFile);
    std::vector<TSummaryRow> rows = SettingsRows(r.Settings);
    const std::vector<TSummaryRow> results = SummaryRows(r, Names(source.Captions));
    rows.insert(rows.end(), results.begin(), results.end());
    const std::vector<TSummaryRow> measured = MeasurementSummaryRows(r, Names(source.Captions));
    rows.insert(rows.end(), measured.begin(), measured.end());
    for (const TSummaryRow& row : rows)
        add(QString::fromStdString(row.Name), QString::fromStdString(row.Value));
    const TCurveTable curves = r.Curves();
    add(QStringLiteral("Curve step (s)"), QString::number(curves.StepSeconds));
    add(QStringLiteral("Curve rule"), QString::fromLatin1(TCurveTable::kRule));
    return csv;
}

QByteArray ExitTimesCsv(const TAnalysisResult& r) {
    QByteArray csv = "person,exit_time_s" + kEnd;
    // A person whose track the end of the file cut has no known exit time: empty.
    for (std::size_t i = 0; i < r.ExitTimes.size(); ++i) {
        csv += QByteArray::number(i + 1) + ',' +
               (std::isnan(r.ExitTimes[i]) ? QByteArray() : Number(r.ExitTimes[i])) + kEnd;
    }
    return csv;
}

QByteArray CurvesCsv(const TAnalysisResult& r, const QStringList& captions) {
    QByteArray csv = "time_s,saved";
    for (int z = 0; z < static_cast<int>(r.Occupancy.size()); ++z) {
        const QString caption = CaptionOf(captions, z);
        QString name = QStringLiteral("deck %1").arg(z);
        if (!caption.isEmpty()) name += QStringLiteral(": ") + caption;
        csv += ',' + Field(name);
    }
    csv += kEnd;
    // At most kMaxCurvePoints rows: a long run is written in buckets of whole seconds
    // (the summary file names the width and the rule).
    const TCurveTable curves = r.Curves();
    for (std::size_t i = 0; i < curves.Saved.size(); ++i) {
        csv += Number(static_cast<double>(curves.Seconds[i]) + r.TimeOffset) + ',' +
               QByteArray::number(curves.Saved[i]);
        for (const auto& deck : curves.Occupancy) csv += ',' + QByteArray::number(deck[i]);
        csv += kEnd;
    }
    return csv;
}

QByteArray CongestedCsv(const TAnalysisResult& r, const QStringList& captions) {
    QByteArray csv = "deck,deck_caption,row,column,seconds_above" + kEnd;
    for (const TCongestedCell& c : r.Congested) {
        csv += QByteArray::number(c.Cell.Deck) + ',' + Field(CaptionOf(captions, c.Cell.Deck)) +
               ',' + QByteArray::number(c.Cell.Row) + ',' + QByteArray::number(c.Cell.Column) +
               ',' + Number(c.SecondsAbove) + kEnd;
    }
    return csv;
}

QByteArray TableCsv(const TTextTable& table) {
    QByteArray csv;
    for (const std::vector<std::string>& row : table) {
        for (std::size_t i = 0; i < row.size(); ++i)
            csv += (i > 0 ? "," : "") + Field(QString::fromStdString(row[i]));
        csv += kEnd;
    }
    return csv;
}

QByteArray AnalysisJsonBytes(const TAnalysisResult& result, const TAnalysisSource& source) {
    return QByteArray::fromStdString(
        AnalysisJson(result, {source.ProjectFile.toStdString(), Names(source.Captions)}));
}

bool SaveAllAtomically(const QList<QPair<QString, QByteArray>>& files, QString& failed,
                       QString& why) {
    std::vector<TPending> pending;
    for (const auto& [path, bytes] : files) {
        failed = path;
        TPending file{path, Beside(path), nullptr, false};
        if (!file.Written->open() || file.Written->write(bytes) != bytes.size() ||
            !file.Written->flush()) {
            why = file.Written->errorString();
            return false;  // the temporaries go with their objects
        }
        // A temporary file is private to its owner; the table gets the permissions of
        // the file it replaces, or those of a new file.
        file.Written->setPermissions(QFileInfo::exists(path) ? QFile::permissions(path) : kNewFile);
        file.Written->close();
        pending.push_back(std::move(file));
    }
    for (TPending& file : pending) {
        failed = file.Target;
        if (QFileInfo(file.Target).isFile()) {
            // The earlier file waits aside until every table is in place.
            file.Replaced = Beside(file.Target);
            if (!file.Replaced->open()) {
                why = file.Replaced->errorString();
                file.Replaced.reset();
                break;
            }
            file.Replaced->close();
            if (!Rename(file.Target, file.Replaced->fileName(), why)) {
                file.Replaced.reset();
                break;
            }
        }
        if (!Rename(file.Written->fileName(), file.Target, why)) break;
        file.Written->setAutoRemove(false);
        file.Placed = true;
    }
    if (std::all_of(pending.begin(), pending.end(), [](const TPending& f) { return f.Placed; })) {
        failed.clear();
        return true;  // the replaced files go with their objects
    }
    // Back as it was: the new tables removed, the earlier files in their places.
    for (TPending& file : pending) {
        if (file.Placed) QFile::remove(file.Target);
        QString ignored;
        if (file.Replaced && Rename(file.Replaced->fileName(), file.Target, ignored))
            file.Replaced->setAutoRemove(false);
    }
    return false;
}

bool ExportAnalysis(const QString& path, const TAnalysisResult& result,
                    const TAnalysisSource& source, IMessages& messages) {
    const TAnalysisFormat format = AnalysisFormatOf(path);
    if (format == TAnalysisFormat::Unknown)
        return Fail(messages, path, QStringLiteral("The name must end in .pdf, .csv or .json."));
    QString why;
    if (format == TAnalysisFormat::Csv) {
        const QStringList paths = AnalysisCsvPaths(path);
        QString failed;
        if (!SaveAllAtomically(
                {{paths[0], AnalysisSummaryCsv(result, source)},
                 {paths[1], ExitTimesCsv(result)},
                 {paths[2], CurvesCsv(result, source.Captions)},
                 {paths[3], CongestedCsv(result, source.Captions)},
                 {paths[4], TableCsv(ExitsTable(result, Names(source.Captions)))},
                 {paths[5], TableCsv(MeasurementsTable(result, Names(source.Captions)))}},
                failed, why))
            return Fail(messages, failed, why);
        return true;
    }
    const bool written = SaveAtomically(
        path,
        [&](QIODevice& file) {
            if (format == TAnalysisFormat::Pdf) return WriteAnalysisPdf(file, result, source);
            return file.write(AnalysisJsonBytes(result, source)) >= 0;
        },
        why);
    if (!written) return Fail(messages, path, why);
    return true;
}

}  // namespace orlex
