// The "Project Data" dialog: the report of the example project line by line
// with its bold lines, and the text shown before any project is loaded.
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "logfile.h"
#include "statistics.h"

using namespace orlex;

class TestStatistics : public QObject {
    Q_OBJECT

    static std::unique_ptr<TLogFile1> LoadExample() {
        auto project = std::make_unique<TLogFile1>("Deck");
        TNullProgress progress;
        TNullMessages messages;
        const bool ok = project->LoadFromFile(
            std::string(ORLEX_SOURCE_DIR) + "/samples/example.3dl", progress, messages);
        return ok ? std::move(project) : nullptr;
    }

private slots:
    void exampleReport() {
        const auto project = LoadExample();
        QVERIFY(project);
        TFStatistics dialog;
        FillProjectData(dialog, project.get());
        const QStringList expected = {
            " ",
            "Project Size:",
            "\tLenght [cells]:\t\t\t6",
            "\tWidth [cells]:\t\t\t4",
            "\tDecks:\t\t\t\t1",
            "\tAgents:\t\t\t\t2",
            "",
            "3D-Statistics:",
            "\tDeck 0 [cells, polygons, reduction]:\t24,\t27,\t-12%",
        };
        QCOMPARE(dialog.Lines(), expected);
        for (int i = 0; i < expected.size(); ++i) {
            const bool bold = i == 1 || i == 7;
            QVERIFY2(dialog.IsLineBold(i) == bold, qPrintable(QString("line %1").arg(i + 1)));
        }
    }

    void beforeLoadAddsOneLinePerOpening() {
        TFStatistics dialog;
        FillProjectData(dialog, nullptr);
        FillProjectData(dialog, nullptr);
        QCOMPARE(dialog.Lines(),
                 (QStringList{"No 3D logfile loaded yet!", "No 3D logfile loaded yet!"}));
        QVERIFY(dialog.IsLineBold(0));
        QVERIFY(dialog.IsLineBold(1));
        // A report after a load replaces both lines.
        const auto project = LoadExample();
        QVERIFY(project);
        FillProjectData(dialog, project.get());
        QCOMPARE(dialog.Lines().size(), 9);
        QCOMPARE(dialog.Lines().first(), QString(" "));
        QVERIFY(!dialog.Lines().contains("No 3D logfile loaded yet!"));
    }

    void boxRules() {
        TFStatistics dialog;
        QCOMPARE(dialog.windowTitle(), QString("Project Data"));
        QVERIFY(dialog.List->isReadOnly());
        QVERIFY(!dialog.List->isEnabled());
        QCOMPARE(dialog.BitBtn1->text(), QString("&Ok"));
        dialog.AddLine("a\nb");
        dialog.SetBold(true);
        dialog.AddLine("c");
        QCOMPARE(dialog.Lines(), (QStringList{"a", "b", "c"}));
        QVERIFY(!dialog.IsLineBold(1));
        QVERIFY(dialog.IsLineBold(2));
        QVERIFY(!dialog.IsLineBold(99));
        dialog.Clear();
        QVERIFY(dialog.Lines().isEmpty());
    }

    void showClosesWithOk() {
        TFStatistics dialog;
        QTimer::singleShot(0, &dialog, [&] { dialog.BitBtn1->click(); });
        ShowProjectData(dialog, nullptr);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Lines(), QStringList{"No 3D logfile loaded yet!"});
    }
};

QTEST_MAIN(TestStatistics)
#include "test_statistics.moc"
