// Time navigation in the main window: the timeline bar following the playback
// and seeking, the keyboard commands, "Go to time...", the speed box and
// "Keep speed", and series shots around a seek.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include "formfixture.h"
#include "gototimeform.h"
#include "screenshots.h"
#include "speedbox.h"
#include "timelinebar.h"

using namespace orlex;
using namespace orlex::test;

class TestFormTimeline : public QObject, public TFormFixture {
    Q_OBJECT

    TTimelineBar* Bar() { return Part<TTimelineBar>(Form(), "TimelineBar"); }
    TSpeedBox* Speed() { return Part<TSpeedBox>(Form(), "SpeedBox"); }
    QSlider* Slider() { return Bar()->Slider_Time; }
    // Two persons, vmax 2: the longer track has 100 steps, so the end is step 101.
    TMainForm& LongProject() { return Loaded(Project("long.3dl", {"A"}, 2, {"P100x0S", "3S"})); }
    TMainForm& Shown(TMainForm& form) {
        form.resize(800, 600);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) qWarning("window not exposed");
        return form;
    }
    // Answers the "Go to time" dialog with entry once it is open.
    void AnswerGoToTime(const QString& entry, bool thenCancel) {
        QTimer::singleShot(0, this, [this, entry, thenCancel] {
            auto* dialog = qobject_cast<TGoToTimeForm*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                AnswerGoToTime(entry, thenCancel);
                return;
            }
            dialog->Edit_Time->setText(entry);
            dialog->BitBtn_Ok->click();
            if (thenCancel && dialog->isVisible()) dialog->reject();
        });
    }

private slots:
    void initTestCase() { QVERIFY(Files_.isValid()); }
    void init() { ClearSettings(); }
    void cleanup() { DropForm(); }

    void SliderSpansTheRunAndFollowsThePlayback() {
        NewForm();
        QVERIFY(!Bar()->isEnabled());
        TMainForm& form = LongProject();
        QVERIFY(Bar()->isEnabled());
        QCOMPARE(Slider()->minimum(), 0);
        QCOMPARE(Slider()->maximum(), 101);
        QCOMPARE(Bar()->Label_TimeTotal->text(), QString("0:50"));
        form.Forward1Click();
        QCOMPARE(Slider()->value(), 2);
        QCOMPARE(Bar()->Label_TimeNow->text(), QString("0:01"));
        form.SeekTo(41);
        QCOMPARE(Slider()->value(), 41);
        QCOMPARE(form.StatusText(1), QString("Time: 0:20 min"));
        form.ResettoStart1Click();
        QCOMPARE(Slider()->value(), 0);
    }

    void SliderSitsAboveTheToolBar() {
        TMainForm& form = Shown(LongProject());
        const auto* timeline = Part<QToolBar>(form, "Panel_Timeline");
        QVERIFY(timeline->geometry().bottom() <= Ui().Panel1->geometry().top());
        QVERIFY(timeline->width() > form.width() * 3 / 4);
    }

    void KeysMoveThroughTime_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("expected");
        QTest::newRow("page up: ten seconds on") << "PageForward1"
                                                 << "PgUp" << 10 << 30;
        QTest::newRow("page up stops at the end") << "PageForward1"
                                                  << "PgUp" << 95 << 101;
        QTest::newRow("page down: ten seconds back") << "PageBack1"
                                                     << "PgDown" << 30 << 10;
        QTest::newRow("home") << "GoToStart1"
                              << "Home" << 57 << 0;
        QTest::newRow("end") << "GoToEnd1"
                             << "End" << 3 << 101;
    }
    void KeysMoveThroughTime() {
        QFETCH(QString, action);
        QFETCH(QString, key);
        QFETCH(int, from);
        QFETCH(int, expected);
        TMainForm& form = LongProject();
        auto* item = Part<QAction>(form, qPrintable(action));
        QCOMPARE(item->shortcut().toString(), key);
        form.SeekTo(from);
        item->trigger();
        QTRY_COMPARE(form.StepCounter(), expected);
        QCOMPARE(Slider()->value(), expected);
    }

    void DragPausesAndReleaseResumes() {
        TMainForm& form = Shown(LongProject());
        form.Run1Click();
        QVERIFY(Ui().AnimationTimer->isActive());
        const QPoint at(Slider()->width() * 3 / 4, Slider()->height() / 2);
        QTest::mousePress(Slider(), Qt::LeftButton, {}, at);
        QVERIFY(!Ui().AnimationTimer->isActive());
        QVERIFY(form.Playback.Animating());
        QTRY_VERIFY(form.StepCounter() > 50);
        QTest::mouseRelease(Slider(), Qt::LeftButton, {}, at);
        QVERIFY(Ui().AnimationTimer->isActive());
        QCOMPARE(form.StatusText(3), QString("Animation loop is running."));
        form.Run1Click();
        QVERIFY(!Ui().AnimationTimer->isActive());
        // Without a running animation a drag starts nothing.
        QTest::mousePress(Slider(), Qt::LeftButton, {}, QPoint(2, Slider()->height() / 2));
        QTest::mouseRelease(Slider(), Qt::LeftButton, {}, QPoint(2, Slider()->height() / 2));
        QVERIFY(!Ui().AnimationTimer->isActive());
        QTRY_VERIFY(form.StepCounter() < 10);
    }

    void GoToTime_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("expected");  // -1: refused, nothing changes
        QTest::newRow("m:ss") << "0:20" << 40;
        QTest::newRow("seconds, up to the next shown second") << "7.5" << 16;
        QTest::newRow("step") << "step 33" << 33;
        QTest::newRow("past the end") << "9:00" << 101;
        QTest::newRow("bad entry") << "half past" << -1;
    }
    void GoToTime() {
        QFETCH(QString, entry);
        QFETCH(int, expected);
        TMainForm& form = LongProject();
        auto* item = Part<QAction>(form, "GoToTime1");
        QCOMPARE(item->shortcut().toString(), QString("Ctrl+G"));
        form.SeekTo(5);
        Messages_.Messages.clear();
        AnswerGoToTime(entry, true);
        item->trigger();
        QCOMPARE(form.StepCounter(), expected < 0 ? 5 : expected);
        QCOMPARE(Messages_.Messages.size(), expected < 0 ? 1u : 0u);
        if (expected < 0) QCOMPARE(Messages_.Texts().at(0), BadTimeEntryText(entry.toStdString()));
    }

    void GoToTimeIsInTheAnimationMenu() {
        Shown(LongProject());
        auto* item = test::Part<QAction>(Form(), "GoToTime1");
        QVERIFY(Ui().Animation1->actions().contains(item));
        QCOMPARE(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    }

    void SpeedBoxSetsTheInterval_data() {
        QTest::addColumn<double>("speed");
        QTest::addColumn<int>("interval");
        QTest::newRow("0.25x") << 0.25 << 2000;
        QTest::newRow("20x") << 20.0 << 25;
        QTest::newRow("100x") << 100.0 << 5;
    }
    void SpeedBoxSetsTheInterval() {
        QFETCH(double, speed);
        QFETCH(int, interval);
        TMainForm& form = LongProject();
        QCOMPARE(Speed()->Speed(), 5.0);
        form.Run1Click();
        QCOMPARE(Ui().AnimationTimer->interval(), 100);
        Speed()->ComboBox_Speed->setCurrentText(TSpeedBox::SpeedText(speed));
        QCOMPARE(Ui().AnimationTimer->interval(), interval);
        form.Run1Click();
        form.Run1Click();
        QCOMPARE(Ui().AnimationTimer->interval(), interval);
        QCOMPARE(form.MaxAnimationSpeed, 5);
        form.close();
        QCOMPARE(form.Settings().MaxAnimationSpeed(), 5);
    }

    void KeepSpeedAppliesSeveralStepsPerTick() {
        TMainForm& form = LongProject();
        Speed()->ComboBox_Speed->setCurrentText(TSpeedBox::SpeedText(100));
        Speed()->KeepSpeed1->setChecked(true);
        form.Run1Click();
        Ui().AnimationTimer->stop();  // the ticks are given by hand
        // A tick after some real time has passed takes more than one step.
        bool several = false;
        auto tick = [&] {
            const int before = form.StepCounter();
            form.AnimationTimerTimer();
            several = several || form.StepCounter() - before > 1;
            return several;
        };
        QTRY_VERIFY(tick());
        QCOMPARE(Slider()->value(), form.StepCounter());
        // Off again: one step a tick.
        Speed()->KeepSpeed1->setChecked(false);
        const int before = form.StepCounter();
        form.AnimationTimerTimer();
        QCOMPARE(form.StepCounter(), before + 1);
    }

    void SeekTakesNoSeriesShot() {
        TMainForm& form = Shown(LongProject());
        Ui().SpeedButton_ScreenShotSeries->click();
        QVERIFY(form.ScreenShotSeries);
        form.SeekTo(40);
        const QDir dir(Files_.path());
        QVERIFY(dir.entryList({"*.jpg"}).isEmpty());
        form.StepForward();
        QCOMPARE(dir.entryList({"*.jpg"}), QStringList{FormatShotNumber(40)});
        Ui().SpeedButton_ScreenShotSeries->click();
        for (const QString& name : dir.entryList({"*.jpg"})) QFile::remove(dir.filePath(name));
    }
};

QTEST_MAIN(TestFormTimeline)
#include "test_formtimeline.moc"
