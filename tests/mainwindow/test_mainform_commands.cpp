// The main window: playback, deck and view commands, commands that arrive while
// a step or a load lets events run, and a load that fails on the way.
#include <QtTest/qtestspontaneevent.h>

#include <QtTest>
#include <cmath>
#include <stdexcept>

#include "cellview3d.h"
#include "formfixture.h"

using namespace orlex;
using namespace orlex::test;

class TestMainFormCommands : public QObject, public TFormFixture {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(Files_.isValid()); }
    void init() { ClearSettings(); }
    void cleanup() { DropForm(); }

    void TimerIntervalFollowsSpeed_data() {
        QTest::addColumn<int>("vmax");
        QTest::addColumn<int>("interval");
        QTest::newRow("vmax 4") << 4 << 50;
        QTest::newRow("vmax 3") << 3 << 66;
        QTest::newRow("vmax 300 still ticks") << 300 << 1;
    }
    void TimerIntervalFollowsSpeed() {
        QFETCH(int, vmax);
        QFETCH(int, interval);
        TMainForm& form = Loaded(Project("speed.3dl", {"D"}, vmax, {"P900x0S"}));
        QCOMPARE(form.MaxAnimationSpeed, 5);
        form.Run1Click();
        QVERIFY(Ui().AnimationTimer->isActive());
        QCOMPARE(Ui().AnimationTimer->interval(), interval);
        QCOMPARE(form.StatusText(3), QString("Animation loop is running."));
        QVERIFY(Ui().SpeedButton_PlayLoop->isChecked());
    }

    void PausingCompletesTheSecond() {
        TMainForm& form = Loaded(Project("pause.3dl", {"D"}, 4, {"P100x0S"}, 30));
        form.Run1Click();
        for (int i = 0; i < 10; ++i) form.AnimationTimerTimer();
        QCOMPARE(form.StepCounter(), 10);
        QCOMPARE(form.StatusText(1), QString("Time: 0:32 min"));
        form.Run1Click();
        QCOMPARE(form.StepCounter(), 12);
        QVERIFY(!Ui().AnimationTimer->isActive());
        QVERIFY(!Ui().SpeedButton_PlayLoop->isChecked());
        QCOMPARE(form.StatusText(3), QString());
        QCOMPARE(form.StatusText(1), QString("Time: 0:33 min"));
    }

    void StepBackWhileRunning() {
        TMainForm& form = Loaded(Project("back.3dl", {"D"}, 4, {"P100x0S"}));
        form.StartAnimation();
        for (int i = 0; i < 13; ++i) form.AnimationTimerTimer();
        form.Backward1Click();
        QCOMPARE(form.StepCounter(), 12);
        QVERIFY(!Ui().AnimationTimer->isActive());
        // At 0 a step back only stops.
        form.ResettoStart1Click();
        form.StartAnimation();
        form.Backward1Click();
        QCOMPARE(form.StepCounter(), 0);
        QVERIFY(!Ui().AnimationTimer->isActive());
    }

    void ResetKeepsTheAnimationRunning() {
        TMainForm& form = Loaded(Project("reset.3dl", {"D"}, 4, {"P100x0S"}));
        form.StartAnimation();
        for (int i = 0; i < 5; ++i) form.AnimationTimerTimer();
        form.ResettoStart1Click();
        QCOMPARE(form.StepCounter(), 0);
        QCOMPARE(form.StatusText(1), QString("Time: 0:00 min"));
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QVERIFY(Ui().AnimationTimer->isActive());
    }

    void EverybodySavedRestartsTheLoop() {
        TMainForm& form = Loaded(Project("loop.3dl", {"D"}, 2, {"P3x3S", "P2x0S"}));
        form.StartAnimation();
        for (int i = 0; i < 3; ++i) form.AnimationTimerTimer();
        QCOMPARE(form.StepCounter(), 3);
        QCOMPARE(form.StatusText(2), QString("Saved: 1"));
        form.AnimationTimerTimer();
        QCOMPARE(form.StepCounter(), 0);
        QCOMPARE(form.StatusText(2), QString("Saved: 0"));
        QVERIFY(Ui().AnimationTimer->isActive());
    }

    void ForwardStopsAtTheEnd() {
        TMainForm& form = Loaded(Project("end.3dl", {"D"}, 2, {"P3x3S"}));
        form.Forward1Click();
        form.Forward1Click();
        QCOMPARE(form.StepCounter(), 4);
        QCOMPARE(form.SavedCount(), 1);
        form.Forward1Click();
        QCOMPARE(form.StepCounter(), 4);
        form.Backward1Click();
        QCOMPARE(form.StepCounter(), 2);
        QCOMPARE(form.SavedCount(), 0);
    }

    // Ticks that arrive while a step lets events run are skipped, not nested.
    void TicksDuringAStepAreSkipped() {
        TMainForm& form = Loaded(Project("nest.3dl", {"D"}, 4, {"P100x0S"}));
        int nestedTicks = 0;
        QTimer probe;
        probe.setInterval(0);
        connect(&probe, &QTimer::timeout, &form, [&] {
            ++nestedTicks;
            form.AnimationTimerTimer();
        });
        probe.start();
        form.StepForward();
        probe.stop();
        QVERIFY(nestedTicks > 0);
        QCOMPARE(form.StepCounter(), 1);
    }

    // Commands handled while a step lets events run: a load replaces the project
    // under a running second; the loop stops instead of stepping a stale project.
    void LoadDuringAStep() {
        const QString second = Project("during2.3dl", {"X", "Y"}, 4, {"P100x0S"});
        TMainForm& form = Loaded(Project("during1.3dl", {"D"}, 4, {"P100x0S"}));
        bool loaded = false;
        QTimer::singleShot(0, &form, [&] {
            form.LoadLogFile(second);
            loaded = true;
        });
        form.Forward1Click();
        QVERIFY(loaded);
        QCOMPARE(form.windowTitle(), "ORLEX Viewer, " + second);
        QCOMPARE(form.StepCounter(), 0);
        QCOMPARE(DeckBoxItems(), (QStringList{"Y", "X"}));
    }

    // An error inside the load: the half-built project goes in the session's
    // order, and the window is usable again.
    void AnErrorDuringALoadReleasesTheProject() {
        const QString good = Project("good.3dl", kThreeDecks, 4, {"P4x0S"});
        QString text = ProjectText({"A"}, 2, {"P4x0S"});
        const QString bad = WriteFile(Files_.path(), "bad.3dl", text.replace("level 0", "level 7"));
        TMainForm& form = Loaded(good);
        Messages_.WhileOpen = [] { throw std::runtime_error("the box failed"); };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, form.LoadLogFile(bad));
        Messages_.WhileOpen = nullptr;
        QCOMPARE(Messages_.Messages.size(), std::size_t{1});
        QVERIFY(form.LogFile == nullptr);
        QVERIFY(form.LogFileLoaded);  // never cleared
        QVERIFY(form.Playback.Project() == nullptr);
        QVERIFY(form.CellView3D->Decks == nullptr && form.CellView3D->Persons == nullptr);
        QCOMPARE(form.windowTitle(), QString("ORLEX Viewer"));
        QCOMPARE(Ui().ComboBox1->count(), 0);
        QVERIFY(!form.IsLoading() && !Ui().FProgressDialog->isVisible());
        QVERIFY(Ui().File1->isEnabled() && Ui().BitBtn1->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // Commands find no project; the next load works.
        form.Forward1Click();
        QCOMPARE(form.StepCounter(), 0);
        form.LoadLogFile(good);
        QCOMPARE(form.Playback.Project(), form.LogFile.get());
        QCOMPARE(DeckBoxItems(), (QStringList{"C", "B", "A"}));
    }

    // While a load runs, the shortcuts of the disabled menus do nothing.
    void ShortcutsDoNothingDuringALoad() {
        const QString path = Project("keys.3dl", kThreeDecks, 4, {"P40x0S"});
        TMainForm& form = NewForm();
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) QSKIP("the window cannot be activated here");
        form.CellView3D->SetDistance(50.0);
        QTest::keyClick(&form, Qt::Key_Q);
        QVERIFY(std::abs(form.CellView3D->Distance - 45.0) < 1e-9);
        double during = 0.0;
        bool lightsOff = false;
        QTimer::singleShot(0, &form, [&] {
            QTest::keyClick(&form, Qt::Key_Q);
            during = form.CellView3D->Distance;
            lightsOff = !Ui().AddLight->isEnabled() && !Ui().RemoveLight->isEnabled();
        });
        form.LoadLogFile(path);
        QVERIFY(std::abs(during - 45.0) < 1e-9);
        QVERIFY(lightsOff);
        // Afterwards the light items follow the deck again.
        QCOMPARE(Ui().AddLight->isEnabled(), form.LogFile->Decks[0].LightsOn < 8);
        QCOMPARE(Ui().RemoveLight->isEnabled(), form.LogFile->Decks[0].LightsOn > 0);
        QVERIFY(Ui().Zoomin1->isEnabled());
    }

    void CloseDuringALoadWaitsForIt() {
        const QString path = Project("slow.3dl", kThreeDecks, 4, {"P40x0S"});
        TMainForm& form = NewForm();
        form.show();
        QTimer::singleShot(0, &form, [&] { QVERIFY(!form.close()); });
        form.LoadLogFile(path);
        QVERIFY(!form.isVisible());
        QVERIFY(form.LogFile == nullptr);
    }

    void DeckCommands() {
        TMainForm& form = Loaded(Project("nav.3dl", kThreeDecks, 4, {"P4x0S"}));
        struct Step {
            void (TMainForm::*command)();
            int item;
            int deck;
        };
        const Step steps[] = {
            {&TMainForm::Deckdown1Click, 2, 0},  // lowest deck: no change
            {&TMainForm::Deckup1Click, 1, 1},   {&TMainForm::Deckup1Click, 0, 2},
            {&TMainForm::Deckup1Click, 0, 2},  // highest deck: no wrap
            {&TMainForm::Deckdown1Click, 1, 1},
        };
        for (const Step& step : steps) {
            (form.*step.command)();
            QCOMPARE(Ui().ComboBox1->currentIndex(), step.item);
            QCOMPARE(form.CellView3D->CurrentDeck, step.deck);
            QCOMPARE(form.StatusText(0),
                     QString("Lights: %1").arg(form.LogFile->Decks[step.deck].LightsOn));
        }
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Ui().ComboBox1->setCurrentIndex(0);
        form.ComboBox1Select();
        QCOMPARE(form.CellView3D->CurrentDeck, 2);
        QVERIFY(form.CellView3D->hasFocus() || QApplication::focusWidget() == form.CellView3D ||
                !form.isActiveWindow());
    }

    void ZoomFigures_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<QString>("commands");
        QTest::addColumn<double>("expected");
        QTest::newRow("three zoom in") << 100.0 << "iii" << 72.9;
        QTest::newRow("zoom in at the bound") << 1.2 << "i" << 1.1;
        QTest::newRow("zoom out") << 50.0 << "o" << 55.0;
        QTest::newRow("wheel forward") << 50.0 << "f" << 48.8;
        QTest::newRow("wheel back") << 50.0 << "b" << 51.2;
        QTest::newRow("wheel far back") << 1.1 << "bbbbbbbbbb" << 1.1 * std::pow(1.024, 10);
    }
    void ZoomFigures() {
        QFETCH(double, start);
        QFETCH(QString, commands);
        QFETCH(double, expected);
        TMainForm& form = Form();
        form.CellView3D->SetDistance(start);
        for (QChar c : commands) {
            if (c == 'i') form.Button1Click();
            if (c == 'o') form.Button2Click();
            if (c == 'f') form.FormMouseWheel(120);
            if (c == 'b') form.FormMouseWheel(-120);
        }
        QVERIFY2(std::abs(form.CellView3D->Distance - expected) < 1e-9,
                 qPrintable(QString::number(form.CellView3D->Distance, 'g', 17)));
    }

    // A wheel turn over the view, as the window system delivers it, zooms once.
    void WheelOverTheView() {
        TMainForm& form = NewForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.CellView3D->SetDistance(50.0);
        const QPointF at(form.CellView3D->width() / 2.0, form.CellView3D->height() / 2.0);
        QWheelEvent wheel(at, form.CellView3D->mapToGlobal(at), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        QApplication::sendEvent(form.CellView3D, &wheel);
        QVERIFY2(std::abs(form.CellView3D->Distance - 48.8) < 1e-9,
                 qPrintable(QString::number(form.CellView3D->Distance, 'g', 17)));
    }

    void ShowOriginToggles() {
        TMainForm& form = NewForm();
        QVERIFY(form.CellView3D->OriginVisible);
        Ui().ShowOrigin->trigger();
        QVERIFY(!form.CellView3D->OriginVisible);
        QVERIFY(!Ui().ShowOrigin->isChecked());
        Ui().ShowOrigin->trigger();
        QVERIFY(form.CellView3D->OriginVisible);
        QVERIFY(Ui().ShowOrigin->isChecked());
    }

    void LightCommands() {
        TMainForm& form = Loaded(Project("lights.3dl", kThreeDecks, 4, {"P4x0S"}));
        for (int i = 0; i < 10; ++i) form.AddLightClick();
        QCOMPARE(form.CellView3D->GetLightCount(), 8);
        QCOMPARE(form.StatusText(0), QString("Lights: 8"));
        QVERIFY(!Ui().AddLight->isEnabled());
        QVERIFY(Ui().RemoveLight->isEnabled());
        form.RemoveLightClick();
        QCOMPARE(form.StatusText(0), QString("Lights: 7"));
        QVERIFY(Ui().AddLight->isEnabled());
        for (int i = 0; i < 10; ++i) form.RemoveLightClick();
        QCOMPARE(form.CellView3D->GetLightCount(), 0);
        QCOMPARE(form.StatusText(0), QString("Lights: 0"));
        QVERIFY(!Ui().RemoveLight->isEnabled());
        QVERIFY(Ui().AddLight->isEnabled());
        // Deck 1 still has its own lights.
        form.Deckup1Click();
        QCOMPARE(form.StatusText(0), QString("Lights: %1").arg(form.LogFile->Decks[1].LightsOn));
        QCOMPARE(Ui().RemoveLight->isEnabled(), form.LogFile->Decks[1].LightsOn > 0);
    }
};

QTEST_MAIN(TestMainFormCommands)
#include "test_mainform_commands.moc"
