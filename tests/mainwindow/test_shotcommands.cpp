// The screen-shot commands and the auxiliary windows as the main window runs
// them: files next to the project, numbered series, and the dialogs opened
// from their menu items.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "formfixture.h"
#include "helpform.h"
#include "introform.h"
#include "mainform.h"
#include "optionsform.h"
#include "statistics.h"

using namespace orlex;
using namespace orlex::test;

namespace {

// Closes the next modal window as soon as it is up; records its class.
class TModalCloser : public QObject {
public:
    QString Seen;
    void Arm() {
        QTimer::singleShot(0, this, [this] { Poll(); });
    }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            QTimer::singleShot(20, this, [this] { Poll(); });
            return;
        }
        Seen = modal->metaObject()->className();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
};

bool IsJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(3);
    return head == QByteArray("\xFF\xD8\xFF", 3);
}

}  // namespace

class TestShotCommands : public QObject {
    Q_OBJECT

    TTempSettings Settings_;
    std::unique_ptr<QTemporaryDir> Files_;
    TRecordingMessages Messages_;
    std::unique_ptr<TMainForm> Form_;
    std::unique_ptr<TMainFormUi> Ui_;

    TMainForm& NewForm() {
        Ui_.reset();
        Form_.reset();
        Form_ = std::make_unique<TMainForm>(&Messages_);
        Ui_ = std::make_unique<TMainFormUi>(*Form_);
        return *Form_;
    }
    const TMainFormUi& Ui() const { return *Ui_; }
    TMainForm& LoadedForm() {
        const QString path =
            WriteFile(Files_->path(), "ship.3dl", ProjectText({"A"}, 2, {"33P9x0S", "P12x0S"}));
        NewForm();
        Form_->resize(400, 300);
        Form_->show();
        if (!QTest::qWaitForWindowExposed(Form_.get())) qWarning("window not exposed");
        Form_->LoadLogFile(path);
        return *Form_;
    }
    QString Shot(const QString& name) const { return Files_->filePath(name); }

private slots:
    void init() {
        ClearSettings();
        Files_ = std::make_unique<QTemporaryDir>();
        Messages_.Messages.clear();
    }
    void cleanup() {
        Ui_.reset();
        Form_.reset();
    }

    void SingleShotGoesNextToTheProject() {
        TMainForm& form = LoadedForm();
        Ui().Singlescreenshot1->trigger();
        QVERIFY(IsJpeg(Shot("000000.jpg")));
        form.Forward1Click();  // one second: two sub-steps
        Ui().Singlescreenshot1->trigger();
        QVERIFY(IsJpeg(Shot("000002.jpg")));
        QVERIFY(Messages_.Messages.empty());
        QVERIFY(!QFile::exists("test.bmp"));
    }

    void SeriesWritesOneFilePerSubStep() {
        TMainForm& form = LoadedForm();
        Ui().SpeedButton_ScreenShotSeries->click();
        QVERIFY(form.ScreenShotSeries);
        for (int i = 0; i < 3; ++i) form.StepForward();
        form.StepBackward();
        QCOMPARE(form.StepCounter(), 2);
        for (const char* name : {"000000.jpg", "000001.jpg", "000002.jpg", "000003.jpg"})
            QVERIFY2(IsJpeg(Shot(name)), name);
        QVERIFY(!QFile::exists(Shot("000004.jpg")));
        // The menu item works the same toggle.
        Ui().Screenshotseries1->trigger();
        QVERIFY(!form.ScreenShotSeries);
        QVERIFY(!Ui().SpeedButton_ScreenShotSeries->isChecked());
        QFile::remove(Shot("000002.jpg"));
        form.StepForward();
        QVERIFY(!QFile::exists(Shot("000002.jpg")));
    }

    void UnwritableTargetEndsTheSeriesWithOneMessage() {
        TMainForm& form = LoadedForm();
        form.Options.ScreenShotSaveOption = 3;
        form.Options.ScreenShotSaveDirectory = Files_->filePath("missing/folder");
        Ui().SpeedButton_ScreenShotSeries->click();
        for (int i = 0; i < 3; ++i) form.StepForward();
        QCOMPARE(int(Messages_.Messages.size()), 1);
        QCOMPARE(Messages_.Messages[0].Caption, std::string("Error"));
        QVERIFY(!form.ScreenShotSeries);
        QVERIFY(!Ui().SpeedButton_ScreenShotSeries->isChecked());
    }

    void OptionsDialogEndsTheSeries() {
        TMainForm& form = LoadedForm();
        Ui().SpeedButton_ScreenShotSeries->click();
        QVERIFY(form.ScreenShotSeries);
        TModalCloser closer;
        closer.Arm();
        Ui().Options1->trigger();
        QCOMPARE(closer.Seen, QString("orlex::TOptionsForm"));
        QVERIFY(!form.ScreenShotSeries);
        QVERIFY(!Ui().SpeedButton_ScreenShotSeries->isChecked());
    }

    void DialogsOpenFromTheirMenus() {
        NewForm();
        struct Case {
            QAction* action;
            const char* className;
        } cases[] = {{Ui().Statistics, "orlex::TFStatistics"},
                     {Ui().Help2, "orlex::THelpForm"},
                     {Ui().StartupWindow1, "orlex::TIntroForm"}};
        for (const Case& c : cases) {
            TModalCloser closer;
            closer.Arm();
            c.action->trigger();
            QCOMPARE(closer.Seen, QString(c.className));
        }
        // Before a load, every opening of the report adds one line.
        TModalCloser again;
        again.Arm();
        Ui().BitBtn2->click();
        QCOMPARE(Ui().FStatistics->Lines().count("No 3D logfile loaded yet!"), 2);
    }

    void ReportAfterALoadReplacesTheLines() {
        TMainForm& form = LoadedForm();
        TModalCloser closer;
        closer.Arm();
        form.BitBtn2Click();
        const QStringList lines = Ui().FStatistics->Lines();
        QVERIFY(!lines.contains("No 3D logfile loaded yet!"));
        QVERIFY(lines.contains("Project Size:"));
    }

    void SettingsSurviveTheWindow() {
        TMainForm& form = LoadedForm();
        form.Options.ScreenShotResizeValue = 40;
        form.Options.IsOverwritingAsked = true;
        form.FormClose();
        NewForm();
        QCOMPARE(Form_->Options.ScreenShotResizeValue, 40);
        QVERIFY(Form_->Options.IsOverwritingAsked);
    }
};

QTEST_MAIN(TestShotCommands)
#include "test_shotcommands.moc"
