// The analysis export: the format by extension, CSV and JSON written and read
// back, the PDF report, and targets that cannot be written.
#include <QDir>
#include <QFile>
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

// The sections of an exported CSV file: lines split into fields.
QList<QList<QByteArrayList>> Sections(const QByteArray& csv) {
    QList<QList<QByteArrayList>> sections{{}};
    for (const QByteArray& line : csv.split('\n')) {
        if (line.isEmpty()) {
            sections.append(QList<QByteArrayList>());
        } else {
            sections.back().append(line.split(','));
        }
    }
    while (!sections.isEmpty() && sections.back().isEmpty()) sections.removeLast();
    return sections;
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
        Source = {"/data/example.3dl",  QDateTime({2026, 3, 1}, {12, 30}), {"Main, deck"},
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

    // The example: 2 steps a second from 30 s, both persons on the deck until 32 s.
    void CsvReadBack() {
        TRecordingMessages messages;
        QVERIFY(ExportAnalysis(Target("a.csv"), *Result, Source, messages));
        QCOMPARE(messages.Messages.size(), std::size_t{0});
        const auto sections = Sections(ReadAll(Target("a.csv")));
        QCOMPARE(sections.size(), 3);
        // The caption holds a comma, so it is quoted (and split here in two).
        QCOMPARE(sections[0][0], (QByteArrayList{"time_s", "saved", "\"Main", " deck\""}));
        QCOMPARE(sections[0].mid(1),
                 (QList<QByteArrayList>{
                     {"30", "0", "2"}, {"31", "0", "2"}, {"32", "1", "1"}, {"33", "2", "0"}}));
        QCOMPARE(sections[1],
                 (QList<QByteArrayList>{{"person", "exit_time_s"}, {"1", "32.5"}, {"2", "32"}}));
        QCOMPARE(sections[2], (QList<QByteArrayList>{{"deck", "row", "column", "seconds_above"}}));
    }

    // A cut run: the person whose track the end of the file cut has no exit time.
    void CsvOfACutRun() {
        TRecordingMessages messages;
        TAnalysisResult cut = *Result;
        cut.ExitTimes[1] = std::nan("");
        QVERIFY(ExportAnalysis(Target("cut.csv"), cut, Source, messages));
        const auto sections = Sections(ReadAll(Target("cut.csv")));
        QCOMPARE(sections[1],
                 (QList<QByteArrayList>{{"person", "exit_time_s"}, {"1", "32.5"}, {"2", ""}}));
    }

    void JsonReadBack() {
        TRecordingMessages messages;
        QVERIFY(ExportAnalysis(Target("a.json"), *Result, Source, messages));
        const QByteArray bytes = ReadAll(Target("a.json"));
        QCOMPARE(bytes.toStdString(), AnalysisJson(*Result));
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(bytes, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object["evacuationTime"].toDouble(), 32.5);
        QCOMPARE(object["stepsPerSecond"].toInt(), 2);
        QCOMPARE(object["density"].toObject()["congestedCount"].toInt(), 0);
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
              "Program ORLEX Viewer 1.2.3", "Page 3 of 3", "Main, deck",
              "Time above 4 persons/m\u00b2 (s)"})
            QVERIFY2(pages.contains(QString::fromUtf8(wanted)), wanted);
    }

    void UnwritableTargets_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no folder") << "missing/a.csv"
                                   << "";
        QTest::newRow("a folder") << "folder.json"
                                  << "";
        QTest::newRow("pdf, no folder") << "missing/r.pdf"
                                        << "";
        QTest::newRow("no extension") << "report"
                                      << "The name must end in .pdf, .csv or .json.";
    }
    void UnwritableTargets() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QDir(Dir.path()).mkpath("folder.json");
        const QString path = Target(name);
        TRecordingMessages messages;
        QVERIFY(!ExportAnalysis(path, *Result, Source, messages));
        QCOMPARE(messages.Messages.size(), std::size_t{1});
        QCOMPARE(messages.Messages[0].Caption, std::string("Error"));
        QCOMPARE(messages.Messages[0].Icon, TMsgIcon::Error);
        const QString text = QString::fromStdString(messages.Messages[0].Text);
        QVERIFY2(text.contains(path), qPrintable(text));
        if (!reason.isEmpty()) QVERIFY(text.endsWith(reason));
        QVERIFY(QFileInfo(path).isDir() || !QFileInfo::exists(path));
        // Nothing else is left behind, not even a temporary file.
        const QStringList left = QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString& file : left) QVERIFY2(!file.contains("folder"), qPrintable(file));
    }
};

QTEST_MAIN(TestAnalysisExport)
#include "test_analysisexport.moc"
