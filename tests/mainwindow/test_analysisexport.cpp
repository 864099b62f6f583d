// The analysis export: the format by extension, CSV and JSON written and read
// back, the PDF report, and targets that cannot be written.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "analysis.h"
#include "analysisexport.h"
#include "jsonwriter.h"
#include "projects.h"

using namespace orlex;
using orlex::test::LoadText;
using orlex::test::TRecordingMessages;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The caption of the example's deck in these tests: a comma and quotes, so that
// CSV must quote it and JSON escape it.
const QString kCaption = QStringLiteral("Main \"A\", deck");
const QByteArray kCaptionField = "\"Main \"\"A\"\", deck\"";

QStringList Names(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths) names << QFileInfo(path).fileName();
    return names;
}

}  // namespace

class TestAnalysisExport : public QObject {
    Q_OBJECT

    orlex::test::TLoaded Loaded = LoadText(orlex::test::kExampleFile);
    std::unique_ptr<TAnalysisResult> Result;
    TAnalysisSource Source;
    QTemporaryDir Dir;

    QString Target(const QString& name) const { return Dir.filePath(name); }

private slots:
    void initTestCase() {
        Result = TEvacuationAnalysis(*Loaded.Project, {}).Run();
        QVERIFY(Result);
        Source = {"/data/example.3dl",  QDateTime({2026, 3, 1}, {12, 30}), {kCaption},
                  Loaded.Project.get(), QDateTime({2026, 4, 2}, {8, 15}),  "1.2.3"};
    }

    void FormatOfExtension_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        QTest::newRow("csv") << "a/b.csv" << int(TAnalysisFormat::Csv);
        QTest::newRow("upper") << "B.JSON" << int(TAnalysisFormat::Json);
        QTest::newRow("pdf") << "report.pdf" << int(TAnalysisFormat::Pdf);
        QTest::newRow("none") << "report" << int(TAnalysisFormat::Unknown);
        QTest::newRow("other") << "report.txt" << int(TAnalysisFormat::Unknown);
        QTest::newRow("dot dir") << "a.csv/report" << int(TAnalysisFormat::Unknown);
    }
    void FormatOfExtension() {
        QFETCH(QString, path);
        QFETCH(int, format);
        QCOMPARE(int(AnalysisFormatOf(path)), format);
        QVERIFY(AnalysisExportFilter().contains("*." + QFileInfo(path).suffix().toLower()) ||
                format == int(TAnalysisFormat::Unknown));
    }

    void CsvFileNames_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("base");
        QTest::newRow("ship.csv") << "/d/ship.csv"
                                  << "/d"
                                  << "ship";
        QTest::newRow("no extension") << "/d/ship"
                                      << "/d"
                                      << "ship";
        QTest::newRow("upper case") << "/d/SHIP.CSV"
                                    << "/d"
                                    << "SHIP";
        QTest::newRow("two dots") << "/d/a.b.csv"
                                  << "/d"
                                  << "a.b";
        QTest::newRow("spaces") << "/my runs/ship 1.csv"
                                << "/my runs"
                                << "ship 1";
        QTest::newRow("relative") << "out/ship.csv"
                                  << "out"
                                  << "ship";
    }
    void CsvFileNames() {
        QFETCH(QString, chosen);
        QFETCH(QString, folder);
        QFETCH(QString, base);
        const QStringList paths = AnalysisCsvPaths(chosen);
        QCOMPARE(Names(paths), (QStringList{base + "-summary.csv", base + "-exit-times.csv",
                                            base + "-curves.csv", base + "-congested.csv",
                                            base + "-exits.csv", base + "-measurements.csv"}));
        for (const QString& path : paths) QCOMPARE(QFileInfo(path).path(), folder);
        if (AnalysisFormatOf(chosen) == TAnalysisFormat::Csv) {
            QCOMPARE(AnalysisExportPaths(chosen), paths);
            QCOMPARE(FileNamesText(paths), base + "-summary.csv, " + base + "-exit-times.csv, " +
                                               base + "-curves.csv, " + base + "-congested.csv, " +
                                               base + "-exits.csv and " + base +
                                               "-measurements.csv");
        }
    }

    void OtherFormatsWriteTheChosenFile() {
        QCOMPARE(AnalysisExportPaths("/d/a.json"), QStringList{"/d/a.json"});
        QCOMPARE(AnalysisExportPaths("/d/a.pdf"), QStringList{"/d/a.pdf"});
        QCOMPARE(FileNamesText({"/d/a.json"}), QString("a.json"));
    }

    // The example: 2 steps a second from 30 s, both persons on the deck until 32 s.
    // Each table is one header row and its records, CR LF after every one.
    void CsvTables() {
        QDir(Dir.path()).mkpath("tables");
        TRecordingMessages messages;
        QVERIFY(ExportAnalysis(Target("tables/a.csv"), *Result, Source, messages));
        QCOMPARE(messages.Messages.size(), std::size_t{0});
        // The tables only: the chosen name itself is not written.
        QVERIFY(!QFileInfo::exists(Target("tables/a.csv")));
        const QStringList paths = AnalysisCsvPaths(Target("tables/a.csv"));
        QCOMPARE(QDir(Target("tables")).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{"a-congested.csv", "a-curves.csv", "a-exit-times.csv", "a-exits.csv",
                              "a-measurements.csv", "a-summary.csv"}));
        const QByteArray summary = ReadAll(paths[0]);
        QVERIFY2(summary.startsWith("name,value\r\nFile,/data/example.3dl\r\nCell size,0.4 m\r\n"),
                 summary.constData());
        QVERIFY2(summary.contains("\r\nEvacuation time,32.50 s\r\n"), summary.constData());
        const QByteArray exits = ReadAll(paths[4]);
        QVERIFY2(exits.startsWith("exit,deck,deck_caption,x_m,y_m,cells,width_m,persons,"),
                 exits.constData());
        QCOMPARE(exits.count("\r\n"), 1 + static_cast<qsizetype>(Result->Exits.size()));
        QVERIFY(ReadAll(paths[5]).startsWith("kind,name,deck,deck_caption,time_s,"));
        QVERIFY2(summary.contains("\r\n\"Congested cells, " + kCaptionField.mid(1) + ",0\r\n"),
                 summary.constData());
        QCOMPARE(ReadAll(paths[1]), QByteArray("person,exit_time_s\r\n1,32.5\r\n2,32\r\n"));
        QCOMPARE(ReadAll(paths[2]), QByteArray("time_s,saved,\"deck 0: Main \"\"A\"\", deck\"\r\n"
                                               "30,0,2\r\n31,0,2\r\n32,1,1\r\n33,2,0\r\n"));
        QCOMPARE(ReadAll(paths[3]), QByteArray("deck,deck_caption,row,column,seconds_above\r\n"));
        for (const QString& path : paths) {
            const QByteArray bytes = ReadAll(path);
            QVERIFY2(bytes.count('\n') == bytes.count("\r\n"), qPrintable(path));
            QVERIFY(QFileInfo(path).permissions().testFlag(QFile::ReadOther));
        }
    }

    // Deck numbers with their captions; a deck without a caption gets none.
    void CongestedCellsNameTheirDecks() {
        TAnalysisResult r = *Result;
        r.Congested = {{{0, 1, 2}, 12.5}, {{1, 0, 3}, 40}};
        QCOMPARE(CongestedCsv(r, {kCaption}),
                 "deck,deck_caption,row,column,seconds_above\r\n"
                 "0," +
                     kCaptionField + ",1,2,12.5\r\n1,,0,3,40\r\n");
        r.Occupancy.resize(2, r.Occupancy[0]);
        QVERIFY(CurvesCsv(r, {kCaption})
                    .startsWith("time_s,saved,\"deck 0: Main \"\"A\"\", deck\",deck 1\r\n"));
        QVERIFY(CurvesCsv(r, {}).startsWith("time_s,saved,deck 0,deck 1\r\n"));
    }

    // A run of 200,000 s: the curves in buckets of 3 s (the summary says so), the
    // times still the simulated ones.
    void CsvOfALongRun() {
        TAnalysisResult r = *Result;
        r.LastStep = int64_t{200'000} * r.StepsPerSecond - 1;
        r.Saved = {{0, r.LastStep}, {0, 2}};
        r.Occupancy = {{{0, r.LastStep}, {2, 0}}};
        const QByteArray curves = CurvesCsv(r, {});
        QVERIFY(curves.startsWith("time_s,saved,deck 0\r\n30,0,2\r\n33,0,2\r\n36,0,2\r\n"));
        QVERIFY(curves.endsWith("\r\n200028,0,2\r\n200031,2,0\r\n"));
        QCOMPARE(curves.count('\n') - 1, 66'668);
        const QByteArray summary = AnalysisSummaryCsv(r, Source);
        QVERIFY2(summary.endsWith("Curve step (s),3\r\nCurve rule,value at the start of each "
                                  "bucket\r\n"),
                 summary.constData());
    }

    // A cut run: the person whose track the end of the file cut has no exit time.
    void CsvOfACutRun() {
        TAnalysisResult cut = *Result;
        cut.ExitTimes[1] = std::nan("");
        QCOMPARE(ExitTimesCsv(cut), QByteArray("person,exit_time_s\r\n1,32.5\r\n2,\r\n"));
    }

    void JsonReadBack() {
        TRecordingMessages messages;
        QVERIFY(ExportAnalysis(Target("a.json"), *Result, Source, messages));
        const QByteArray bytes = ReadAll(Target("a.json"));
        QCOMPARE(bytes.toStdString(),
                 AnalysisJson(*Result, {"/data/example.3dl", {kCaption.toStdString()}}));
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(bytes, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object["evacuationTime"].toDouble(), 32.5);
        QCOMPARE(object["stepsPerSecond"].toInt(), 2);
        QCOMPARE(object["density"].toObject()["congestedCount"].toInt(), 0);
        QCOMPARE(object["file"].toString(), QString("/data/example.3dl"));
        QCOMPARE(object["fileName"].toString(), QString("example.3dl"));
        QCOMPARE(object["deckCaptions"].toArray(), QJsonArray{kCaption});
        QCOMPARE(object["exitTimePerPerson"].toArray(), (QJsonArray{32.5, 32}));
        const QJsonObject peak = object["density"].toObject()["peak"].toObject();
        QCOMPARE(peak["deck"].toInt(), 0);
        QCOMPARE(peak["deckCaption"].toString(), kCaption);
    }

    void PdfReport() {
        TRecordingMessages messages;
        QVERIFY(ExportAnalysis(Target("report.pdf"), *Result, Source, messages));
        QCOMPARE(messages.Messages.size(), std::size_t{0});
        const QByteArray pdf = ReadAll(Target("report.pdf"));
        QVERIFY(pdf.size() > 1000);
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        // The title page, the charts and the plan of the one deck, read back.
        QProcess text;
        text.start("pdftotext", {"-enc", "UTF-8", Target("report.pdf"), "-"});
        QVERIFY2(text.waitForFinished(60000), "pdftotext (poppler-utils) is needed");
        const QString pages = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        for (const char* wanted :
             {"File /data/example.3dl", "Date of the analysis 2026-04-02 08:15",
              "Program ORLEX Viewer 1.2.3", "Page 3 of 3", "Main \"A\", deck",
              "Time above 4 persons/m\u00b2 (s)"})
            QVERIFY2(pages.contains(QString::fromUtf8(wanted)), wanted);
    }

    void UnwritableTargets_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("named");  // the file that the message names
        QTest::addColumn<QString>("reason");
        QTest::newRow("no folder") << "missing/a.csv"
                                   << "missing/a-summary.csv"
                                   << "";
        QTest::newRow("a folder") << "folder.json"
                                  << "folder.json"
                                  << "";
        QTest::newRow("pdf, no folder") << "missing/r.pdf"
                                        << "missing/r.pdf"
                                        << "";
        QTest::newRow("no extension") << "report"
                                      << "report"
                                      << "The name must end in .pdf, .csv or .json.";
        // A folder where a table goes: the tables put in place before it go again, and
        // the earlier ones come back.
        QTest::newRow("first table a folder") << "folder.csv"
                                              << "folder-summary.csv"
                                              << "";
        QTest::newRow("third table a folder") << "folder.csv"
                                              << "folder-curves.csv"
                                              << "";
        QTest::newRow("last table a folder") << "folder.csv"
                                             << "folder-measurements.csv"
                                             << "";
    }
    void UnwritableTargets() {
        QFETCH(QString, name);
        QFETCH(QString, named);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QDir(dir.path()).mkpath("folder.json");
        // The tables of an earlier export stay as they were when this one fails.
        QStringList earlier;
        if (named.startsWith("folder-")) {
            QDir(dir.path()).mkpath(named);
            for (const QString& table : AnalysisCsvPaths(dir.filePath(name))) {
                if (QFileInfo(table).isDir()) continue;
                QFile old(table);
                QVERIFY(old.open(QIODevice::WriteOnly));
                old.write("old");
                earlier << QFileInfo(table).fileName();
            }
        }
        const QString path = dir.filePath(name);
        TRecordingMessages messages;
        QVERIFY(!ExportAnalysis(path, *Result, Source, messages));
        QCOMPARE(messages.Messages.size(), std::size_t{1});
        QCOMPARE(messages.Messages[0].Caption, std::string("Error"));
        QCOMPARE(messages.Messages[0].Icon, TMsgIcon::Error);
        const QString text = QString::fromStdString(messages.Messages[0].Text);
        QVERIFY2(text.contains(dir.filePath(named) + ":\n"), qPrintable(text));
        if (!reason.isEmpty()) QVERIFY(text.endsWith(reason));
        // Nothing is left behind, not even a temporary file: the folders and the
        // earlier tables only.
        const QStringList left =
            QDir(dir.path())
                .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                           QDir::Name);
        earlier.sort();
        QCOMPARE(left, earlier);
        for (const QString& table : earlier)
            QCOMPARE(ReadAll(dir.filePath(table)), QByteArray("old"));
    }

    // A folder that cannot be written (not for root, who may write anywhere).
    void ReadOnlyFolder() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(dir.filePath("probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("the folder stays writable for this user");
        }
        TRecordingMessages messages;
        QVERIFY(!ExportAnalysis(dir.filePath("a.csv"), *Result, Source, messages));
        QCOMPARE(messages.Messages.size(), std::size_t{1});
        QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Tables of an earlier export with the same names are replaced.
    void CsvReplacesEarlierTables() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QStringList paths = AnalysisCsvPaths(dir.filePath("a.csv"));
        for (const QString& path : paths) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        TRecordingMessages messages;
        QVERIFY(ExportAnalysis(dir.filePath("a.csv"), *Result, Source, messages));
        QCOMPARE(ReadAll(paths[1]), QByteArray("person,exit_time_s\r\n1,32.5\r\n2,32\r\n"));
        for (const QString& path : paths) QVERIFY(!ReadAll(path).startsWith("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), paths.size());
    }
};

QTEST_MAIN(TestAnalysisExport)
#include "test_analysisexport.moc"
