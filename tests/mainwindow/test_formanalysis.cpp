// The analysis in the window: run after a load, shown in the dock and on the
// decks, exported, followed by the charts' seeks, cancelled by the next load.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "analysisdock.h"
#include "analysisrunner.h"
#include "cellview3d.h"
#include "formfixture.h"
#include "result.h"

using namespace orlex;

class TestFormAnalysis : public QObject, public test::TFormFixture {
    Q_OBJECT

    // Two decks; one person walks 40 steps, one stays 10.
    QString Small() { return Project("small.3dl", {"A", "B"}, 2, {"P40x0S", "P10x0S"}, 5); }

private slots:
    void runsAfterALoadAndEnablesTheExport() {
        TMainForm& form = Loaded(Small());
        auto* exportItem = test::Part<QAction>(form, "ExportAnalysis1");
        QTRY_VERIFY(form.Analysis() != nullptr);
        QVERIFY(exportItem->isEnabled());
        const TAnalysisResult& r = *form.Analysis();
        QCOMPARE(r.Persons, 2);
        QVERIFY(r.EvacuationTime.has_value());
        QCOMPARE(*r.EvacuationTime, 41.0 / 2 + 5);   // (40 + 1) / V + TOff
        QCOMPARE(form.StatusText(3), QString(" "));  // a quick analysis leaves the panel
    }

    void overlaysFollowTheChosenKind() {
        TMainForm& form = Loaded(Small());
        QTRY_VERIFY(form.Analysis() != nullptr);
        test::Part<QAction>(form, "OverlayUsage1")->trigger();
        QCOMPARE(form.CellView3D->Overlays().size(), size_t(2));  // one per deck
        QVERIFY(form.CellView3D->Overlays()[0].IsValid());
        test::Part<QAction>(form, "OverlayNone1")->trigger();
        QVERIFY(form.CellView3D->Overlays().empty());
    }

    void exportWritesTheChosenFile() {
        TMainForm& form = Loaded(Small());
        QTRY_VERIFY(form.Analysis() != nullptr);
        const QString path = QDir(Files_.path()).filePath("small.json");
        form.ChooseAnalysisFile = [&](const QString& suggested) {
            [&] { QVERIFY(suggested.endsWith("small.pdf")); }();
            return path;
        };
        form.ExportAnalysis1Click();
        QVERIFY(Messages_.Messages.empty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(json["evacuationTime"].toDouble(), 25.5);
        // The message panel names the written file.
        QVERIFY2(form.StatusText(3).startsWith("Analysis written to "),
                 qPrintable(form.StatusText(3)));
        QVERIFY(form.StatusText(3).endsWith("small.json"));
    }

    // A CSV name: four tables beside it, and the panel names them and their folder.
    void csvExportNamesItsTables() {
        TMainForm& form = Loaded(Small());
        QTRY_VERIFY(form.Analysis() != nullptr);
        form.ChooseAnalysisFile = [&](const QString&) {
            return QDir(Files_.path()).filePath("small.csv");
        };
        form.ExportAnalysis1Click();
        QVERIFY(Messages_.Messages.empty());
        for (const char* table :
             {"summary", "exit-times", "curves", "congested", "exits", "measurements"})
            QVERIFY(
                QFile::exists(QDir(Files_.path()).filePath(QString("small-%1.csv").arg(table))));
        QVERIFY2(form.StatusText(3).startsWith(
                     "Analysis written to small-summary.csv, small-exit-times.csv, "
                     "small-curves.csv, small-congested.csv, small-exits.csv and "
                     "small-measurements.csv in "),
                 qPrintable(form.StatusText(3)));
    }

    void exportWritesTheReportOrSaysWhyNot() {
        TMainForm& form = Loaded(Small());
        QTRY_VERIFY(form.Analysis() != nullptr);
        const QString report = QDir(Files_.path()).filePath("small.pdf");
        form.ChooseAnalysisFile = [&](const QString&) { return report; };
        form.ExportAnalysis1Click();
        QVERIFY(Messages_.Messages.empty());
        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY(form.StatusText(3).endsWith("small.pdf"));
        // A target that cannot be written: an error, and the panel keeps its text.
        const QString before = form.StatusText(3);
        form.ChooseAnalysisFile = [&](const QString&) {
            return QDir(Files_.path()).filePath("missing/small.pdf");
        };
        form.ExportAnalysis1Click();
        QCOMPARE(Messages_.Messages.size(), std::size_t{1});
        QCOMPARE(form.StatusText(3), before);
    }

    // File > "Export report over runs...": the runs chosen, one of them no 3D log
    // file, give a report of the others that names it; with no usable run, an error
    // and no file.
    void runsReportOfTheChosenFiles() {
        TMainForm& form = NewForm();
        const QStringList runs = {Small(),
                                  Project("small2.3dl", {"A", "B"}, 2, {"P30x0S", "P10x0S"}, 5)};
        const QString junk = test::WriteFile(Files_.path(), "junk.3dl", "not a log\n");
        const QString report = QDir(Files_.path()).filePath("case.pdf");
        QString suggested;
        QStringList chosen = runs + QStringList{junk};
        form.ChooseRunFiles = [&](const QString&) { return chosen; };
        form.ChooseRunsReportFile = [&](const QString& s) {
            suggested = s;
            return report;
        };
        form.ExportRunsReport1Click();
        QVERIFY(Messages_.Messages.empty());
        QVERIFY(suggested.endsWith("small-runs.pdf"));
        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        file.close();
        QVERIFY2(form.StatusText(3).startsWith("Report over 2 runs written to "),
                 qPrintable(form.StatusText(3)));
        QVERIFY(form.StatusText(3).endsWith("(1 left out, named in the report)"));
        QVERIFY(QFile::remove(report));
        chosen = {junk};
        form.ExportRunsReport1Click();
        QCOMPARE(Messages_.Messages.size(), std::size_t{1});
        QVERIFY(!QFile::exists(report));
    }

    void aClickInTheChartsSeeks() {
        TMainForm& form = Loaded(Small());
        QTRY_VERIFY(form.Analysis() != nullptr);
        auto* panel = test::Part<TAnalysisPanel>(form, "AnalysisPanel");
        emit panel->SeekRequested(17);
        QCOMPARE(form.Playback.StepCounter, 17);
    }

    void aLoadDuringTheAnalysisCancelsIt() {
        // Long tracks keep the analysis busy while the next load comes.
        QStringList tracks;
        for (int i = 0; i < 200; ++i) tracks << "P200000x0S";
        const QString big = Project("big.3dl", {"A"}, 1, tracks);
        TMainForm& form = Loaded(big);
        form.LoadLogFile(Small());
        QTRY_VERIFY(form.Analysis() != nullptr);
        QCOMPARE(form.Analysis()->Persons, 2);
        // The window going while a run reads the project: it is cancelled first.
        Loaded(big);
        DropForm();
    }
};

QTEST_MAIN(TestFormAnalysis)
#include "test_formanalysis.moc"
