// The timeline bar: range and labels, following the playback without sending,
// the keys, a click on the groove, and a drag sending at most one seek per pass
// of the event loop, with the final position before the end of the drag.
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "timelinebar.h"

using namespace orlex;

namespace {

// 4 steps a second from 0:30 to 1:34.
const TTimeline kLine{4, 30, 258};

// Mouse events sent straight to the slider, so no event loop runs between them.
void SendMouse(QSlider* slider, QEvent::Type type, int x, Qt::MouseButtons buttons) {
    const QPointF pos(x, slider->height() / 2);
    QMouseEvent event(type, pos, slider->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(slider, &event);
}

}  // namespace

class TestTimelineBar : public QObject {
    Q_OBJECT

    QStringList Log;

    void Watch(TTimelineBar& bar) {
        Log.clear();
        connect(&bar, &TTimelineBar::SeekRequested, this,
                [this](int step) { Log << QString("seek %1").arg(step); });
        connect(&bar, &TTimelineBar::DragStarted, this, [this] { Log << "start"; });
        connect(&bar, &TTimelineBar::DragFinished, this, [this] { Log << "finish"; });
    }

    void ShowWide(TTimelineBar& bar) {
        bar.resize(640, 40);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
    }

private slots:
    void rangeAndLabels() {
        TTimelineBar bar;
        QVERIFY(!bar.isEnabled());
        QCOMPARE(bar.Slider_Time->maximum(), 0);
        QCOMPARE(bar.Label_TimeNow->text(), QString("0:00"));
        QCOMPARE(bar.Label_TimeTotal->text(), QString("0:00"));

        Watch(bar);
        bar.SetTimeline(kLine);
        QVERIFY(bar.isEnabled());
        QCOMPARE(bar.Slider_Time->minimum(), 0);
        QCOMPARE(bar.Slider_Time->maximum(), 258);
        QCOMPARE(bar.Slider_Time->pageStep(), 40);
        QCOMPARE(bar.Label_TimeNow->text(), QString("0:30"));
        QCOMPARE(bar.Label_TimeTotal->text(), QString("1:34"));

        const struct {
            int step, value;
            const char* now;
        } rows[] = {{10, 10, "0:32"}, {258, 258, "1:34"}, {400, 258, "1:34"}, {0, 0, "0:30"}};
        for (const auto& r : rows) {
            bar.SetStep(r.step);
            QCOMPARE(bar.Step(), r.value);
            QCOMPARE(bar.Label_TimeNow->text(), QString(r.now));
        }
        QCoreApplication::processEvents();
        QCOMPARE(Log, QStringList());  // following sends nothing

        bar.SetTimeline(TTimeline{2, -10, 5}, 3);
        QCOMPARE(bar.Step(), 3);
        QCOMPARE(bar.Label_TimeNow->text(), QString("-0:08"));
        QCOMPARE(bar.Label_TimeTotal->text(), QString("-0:07"));
        bar.Clear();
        QVERIFY(!bar.isEnabled());
        QCOMPARE(bar.Slider_Time->maximum(), 0);
    }

    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 0 << 40;
        QTest::newRow("Page Up near the end") << int(Qt::Key_PageUp) << 250 << 258;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 100 << 60;
        QTest::newRow("Page Down near the start") << int(Qt::Key_PageDown) << 10 << 0;
        QTest::newRow("Home") << int(Qt::Key_Home) << 100 << 0;
        QTest::newRow("End") << int(Qt::Key_End) << 0 << 258;
        QTest::newRow("Right") << int(Qt::Key_Right) << 7 << 8;
    }
    void keys() {
        QFETCH(int, key);
        QFETCH(int, from);
        QFETCH(int, to);
        TTimelineBar bar;
        bar.SetTimeline(kLine, from);
        Watch(bar);
        QTest::keyClick(bar.Slider_Time, Qt::Key(key));
        QTRY_COMPARE(Log, QStringList{QString("seek %1").arg(to)});
        QCOMPARE(bar.Step(), to);
    }

    void commandSlots() {
        TTimelineBar bar;
        bar.SetTimeline(kLine, 100);
        Watch(bar);
        const std::pair<void (TTimelineBar::*)(), int> rows[] = {{&TTimelineBar::PageForward, 140},
                                                                 {&TTimelineBar::PageBack, 100},
                                                                 {&TTimelineBar::GoToEnd, 258},
                                                                 {&TTimelineBar::GoToStart, 0}};
        for (const auto& [command, step] : rows) {
            (bar.*command)();
            QTRY_COMPARE(Log.size(), 1);
            QCOMPARE(Log.takeFirst(), QString("seek %1").arg(step));
        }
    }

    void clickOnTheGrooveJumps() {
        TTimelineBar bar;
        bar.SetTimeline(kLine);
        ShowWide(bar);
        Watch(bar);
        QSlider* slider = bar.Slider_Time;
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() * 3 / 4, 10));
        QVERIFY(qAbs(bar.Step() - 258 * 3 / 4) < 258 / 10);
        QCOMPARE(Log, (QStringList{"start", QString("seek %1").arg(bar.Step()), "finish"}));
    }

    void dragSendsOncePerPass() {
        TTimelineBar bar;
        bar.SetTimeline(kLine);
        ShowWide(bar);
        Watch(bar);
        QSlider* slider = bar.Slider_Time;
        SendMouse(slider, QEvent::MouseButtonPress, 100, Qt::LeftButton);
        for (int x = 110; x <= 300; x += 10)
            SendMouse(slider, QEvent::MouseMove, x, Qt::LeftButton);
        QVERIFY(bar.Dragging());
        QCOMPARE(Log, QStringList{"start"});
        const int dragged = bar.Step();
        QVERIFY(dragged > 0);
        QTRY_COMPARE(Log, (QStringList{"start", QString("seek %1").arg(dragged)}));

        // The playback does not pull the handle from under the mouse.
        bar.SetStep(3);
        QCOMPARE(bar.Step(), dragged);

        // A move that the view's frame sends at once; the release then sends the
        // last position before the end of the drag.
        SendMouse(slider, QEvent::MouseMove, 400, Qt::LeftButton);
        bar.FrameDrawn();
        const int framed = bar.Step();
        QCOMPARE(Log.last(), QString("seek %1").arg(framed));
        SendMouse(slider, QEvent::MouseMove, 500, Qt::LeftButton);
        SendMouse(slider, QEvent::MouseButtonRelease, 500, Qt::NoButton);
        const int released = bar.Step();
        QVERIFY(released > framed);
        QCOMPARE(Log, (QStringList{"start", QString("seek %1").arg(dragged),
                                   QString("seek %1").arg(framed), QString("seek %1").arg(released),
                                   "finish"}));
        QCoreApplication::processEvents();
        QCOMPARE(Log.size(), 5);  // nothing left waiting
    }

    void backWhereItStartedSendsNothing() {
        TTimelineBar bar;
        bar.SetTimeline(kLine, 0);
        ShowWide(bar);
        Watch(bar);
        QSlider* slider = bar.Slider_Time;
        SendMouse(slider, QEvent::MouseButtonPress, 300, Qt::LeftButton);
        SendMouse(slider, QEvent::MouseMove, 0, Qt::LeftButton);
        SendMouse(slider, QEvent::MouseButtonRelease, 0, Qt::NoButton);
        QCOMPARE(bar.Step(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(Log, (QStringList{"start", "finish"}));
    }
};

QTEST_MAIN(TestTimelineBar)
#include "test_timelinebar.moc"
