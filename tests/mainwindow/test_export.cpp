// File > "Export video...": the video written, the playback left as it was, a
// cancel leaving no file, and the menu item's place.
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QtTest>

#include "exportvideoform.h"
#include "formfixture.h"
#include "playback.h"
#include "videoprobe.h"

using namespace orlex;

class TestExport : public QObject, public test::TFormFixture {
    Q_OBJECT

    // Answers the export dialog, once it is open, with the file and speed given.
    void AnswerExportDialog(const QString& file, int speedIndex) {
        QTimer::singleShot(0, [file, speedIndex] {
            auto* form = qobject_cast<TExportVideoForm*>(QApplication::activeModalWidget());
            QVERIFY(form);
            form->FileEdit->setText(file);
            form->SpeedBox->setCurrentIndex(speedIndex);
            form->accept();
        });
    }

private slots:
    void menuHoldsExportVideoWithCtrlE() {
        TMainForm& form = NewForm();
        auto* item = test::Part<QAction>(form, "ExportVideo1");
        QCOMPARE(item->text(), QString("&Export video..."));
        QCOMPARE(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
        QVERIFY(Ui().File1->actions().contains(item));
        item->trigger();  // without a project: nothing opens
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void writesTheWholeEvacuationAndLeavesThePlaybackAsItWas() {
        // 40 steps at 2 a second: 20.5 s with the offset of 10 s.
        const QString path = Project("walk.3dl", {"A"}, 2, {"P20x0P20x0S"}, 10);
        TMainForm& form = Loaded(path);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Playback.SeekTo(7);
        const QString video = QDir(Files_.path()).filePath("walk.mp4");
        AnswerExportDialog(video, 2);  // 5 simulated seconds a second
        form.ExportVideo1Click();
        QVERIFY2(Messages_.Messages.empty(),
                 Messages_.Messages.empty() ? "" : Messages_.Messages[0].Text.c_str());
        QCOMPARE(form.Playback.StepCounter, 7);
        const test::TVideoProbe probe = test::ProbeVideo(video.toStdString());
        QVERIFY(probe.Opened);
        QCOMPARE(probe.Codec, std::string("h264"));
        QCOMPARE(probe.Packets, 102);  // floor(20.5 s * 25 fps / 5)
        QCOMPARE(probe.Width % 2, 0);
    }

    void aCancelLeavesNoFileAndOneErrorMessage() {
        const QString path = Project("long.3dl", {"A"}, 1, {"P4000x0S"});
        TMainForm& form = Loaded(path);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString video = QDir(Files_.path()).filePath("cancelled.mp4");
        AnswerExportDialog(video, 0);
        QTimer cancel;
        connect(&cancel, &QTimer::timeout, [] {
            if (auto* p = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                p->cancel();
        });
        cancel.start(20);
        form.ExportVideo1Click();
        QCOMPARE(Messages_.Messages.size(), size_t(1));
        QCOMPARE(Messages_.Messages[0].Caption, std::string("Error"));
        QVERIFY(QString::fromStdString(Messages_.Messages[0].Text).contains(video));
        QVERIFY(QString::fromStdString(Messages_.Messages[0].Text).contains("Cancelled."));
        QVERIFY(!QFile::exists(video));
        QVERIFY(!QFile::exists(video + ".part"));
        QCOMPARE(form.Playback.StepCounter, 0);
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
