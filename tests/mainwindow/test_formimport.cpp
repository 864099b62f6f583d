// File > "Import trajectories...": the file, the import dialog, and the load procedure
// showing the imported project; dropped files of other tools go the same way.
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "formfixture.h"
#include "importform.h"

using namespace orlex;
using namespace orlex::test;

namespace {

// Two persons walking 2 m along x, 10 frames a second, without a frame-rate comment.
const QString kRows =
    "1 0 1.0 1.0\n1 10 2.0 1.0\n1 20 3.0 1.0\n2 0 1.0 2.0\n2 10 2.0 2.0\n2 20 3.0 2.0\n";

}  // namespace

class TestFormImport : public QObject, public TFormFixture {
    Q_OBJECT

private slots:
    void itemComesAfterTheLoadBlockWithTheOtherAddedItems() {
        TMainForm& form = NewForm();
        const QList<QAction*> items = Ui().File1->actions();
        const auto* import = Part<QAction>(form, "ImportTrajectories1");
        QCOMPARE(import->text(), QString("&Import trajectories..."));
        const qsizetype at = items.indexOf(import);
        QVERIFY(at > items.indexOf(Part<QAction>(form, "LoadLogfile1")));
        QVERIFY(at > items.indexOf(Part<QAction>(form, "ExportVideo1")));
        QVERIFY(at < items.indexOf(Ui().N4));
    }

    void importedFileIsShownAndRemembered() {
        const QString path = WriteFile(Files_.path(), "walk.txt", kRows);
        TMainForm& form = NewForm();
        QString folderAsked;
        form.ChooseImportFile = [&](const QString& folder) {
            folderAsked = folder;
            return path;
        };
        // The real dialog: the frame rate is asked for, the cell size changed.
        bool dialogSeen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<TImportForm*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            dialogSeen = true;
            QVERIFY(dialog->FpsEdit != nullptr);
            dialog->FpsEdit->setValue(10);
            dialog->CellSizeEdit->setValue(0.5);
            QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
        });
        Part<QAction>(form, "ImportTrajectories1")->trigger();
        QVERIFY(dialogSeen);
        QVERIFY(form.LogFile != nullptr);
        QCOMPARE(form.LogFile->PersonCount(), 2);
        QCOMPARE(form.LogFile->Source.CellSize, 0.5);
        QCOMPARE(form.AnalysisSettingsInEffect().CellSize, 0.5);
        QVERIFY(form.windowTitle().endsWith(path));
        QVERIFY(!DeckBoxItems().isEmpty());
        QCOMPARE(ShownCaptions(Messages_).size(), 0);
        // Nothing is written beside the file; the values come back next time.
        QCOMPARE(QDir(Files_.path()).entryList(QDir::Files), QStringList{"walk.txt"});
        QCOMPARE(TAppSettings().ImportValues().CellSize, 0.5);
        QCOMPARE(TAppSettings().ImportValues().Fps, 10.0);
    }

    void cancelledDialogLoadsNothing() {
        const QString path = WriteFile(Files_.path(), "walk.txt", kRows);
        TMainForm& form = NewForm();
        int asked = 0;
        import::TFormat format = import::TFormat::Auto;
        form.AskImportOptions =
            [&](const QString&,
                const import::TFileFacts& facts) -> std::optional<import::TImportOptions> {
            ++asked;
            format = facts.Format;
            return std::nullopt;
        };
        form.OpenDroppedFile(path);  // a dropped file of another tool goes to the import
        QCOMPARE(asked, 1);
        QCOMPARE(format, import::TFormat::PeTrack);
        QVERIFY(form.LogFile == nullptr || form.LogFile->PersonCount() == 0);
    }

    void importErrorIsShownAndNothingStays() {
        const QString path = WriteFile(Files_.path(), "walk.txt", kRows);
        TMainForm& form = NewForm();
        form.AskImportOptions = [](const QString&, const import::TFileFacts&) {
            return std::optional<import::TImportOptions>(import::TImportOptions{});
        };
        form.ImportTrajectories(path);  // no frame rate: the import refuses it
        QCOMPARE(ShownCaptions(Messages_), QStringList{"Error"});
        QVERIFY(ShownTexts(Messages_).front().contains("walk.txt"));
        QVERIFY(DeckBoxItems().isEmpty());
        QCOMPARE(QDir(Files_.path()).entryList(QDir::Files), QStringList{"walk.txt"});
    }
};

QTEST_MAIN(TestFormImport)
#include "test_formimport.moc"
