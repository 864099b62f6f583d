// The speed box: the speeds offered, the start value from the setting, the
// timer interval of a choice, and "Keep speed".
#include <QAction>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "speedbox.h"

using namespace orlex;

class TestSpeedBox : public QObject {
    Q_OBJECT

    static QList<double> Offered(const TSpeedBox& box) {
        QList<double> speeds;
        for (int i = 0; i < box.ComboBox_Speed->count(); ++i)
            speeds << box.ComboBox_Speed->itemData(i).toDouble();
        return speeds;
    }

private slots:
    void offeredSpeeds() {
        TSpeedBox box;
        QCOMPARE(Offered(box), (QList<double>{0.25, 0.5, 1, 2, 5, 10, 20, 50, 100}));
        QCOMPARE(box.Speed(), 5.0);
        QCOMPARE(box.ComboBox_Speed->currentText(), QString("5×"));
        QCOMPARE(box.ComboBox_Speed->itemText(0), QString("0.25×"));
        QVERIFY(!box.KeepSpeed());
        QVERIFY(box.KeepSpeed1->isCheckable());
        QCOMPARE(box.KeepSpeed1->text(), QString("Keep speed"));
        QCOMPARE(box.ToolButton_KeepSpeed->defaultAction(), box.KeepSpeed1);
        QSignalSpy toggled(&box, &TSpeedBox::KeepSpeedToggled);
        box.ToolButton_KeepSpeed->click();
        QVERIFY(box.KeepSpeed());
        QCOMPARE(toggled.count(), 1);
    }

    void startValue_data() {
        QTest::addColumn<double>("setting");
        QTest::addColumn<double>("speed");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::newRow("offered") << 20.0 << 20.0 << 9 << 6;
        QTest::newRow("slowest") << 0.25 << 0.25 << 9 << 0;
        QTest::newRow("between") << 3.0 << 3.0 << 10 << 4;
        QTest::newRow("above all") << 1000.0 << 1000.0 << 10 << 9;
        QTest::newRow("zero") << 0.0 << 5.0 << 9 << 4;
        QTest::newRow("negative") << -4.0 << 5.0 << 9 << 4;
    }
    void startValue() {
        QFETCH(double, setting);
        QFETCH(double, speed);
        QFETCH(int, count);
        QFETCH(int, index);
        TSpeedBox box;
        QSignalSpy changed(&box, &TSpeedBox::SpeedChanged);
        box.SetSpeed(setting);
        QCOMPARE(box.Speed(), speed);
        QCOMPARE(box.ComboBox_Speed->count(), count);
        QCOMPARE(box.ComboBox_Speed->currentIndex(), index);
        QCOMPARE(changed.count(), 0);
        box.SetSpeed(setting);  // a second time adds nothing
        QCOMPARE(box.ComboBox_Speed->count(), count);
    }

    void intervalOfTheChoice_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("vmax");
        QTest::addColumn<int>("interval");
        QTest::newRow("0.25 at 1") << 0 << 1 << 4000;
        QTest::newRow("0.5 at 4") << 1 << 4 << 500;
        QTest::newRow("5 at 4") << 4 << 4 << 50;
        QTest::newRow("5 at 3") << 4 << 3 << 66;
        QTest::newRow("20 at 2") << 6 << 2 << 25;
        QTest::newRow("100 at 10") << 8 << 10 << 1;
        QTest::newRow("10 at 0") << 5 << 0 << 100;
    }
    void intervalOfTheChoice() {
        QFETCH(int, index);
        QFETCH(int, vmax);
        QFETCH(int, interval);
        TSpeedBox box;
        QSignalSpy changed(&box, &TSpeedBox::SpeedChanged);
        box.ComboBox_Speed->setCurrentIndex(index);
        QCOMPARE(box.Interval(vmax), interval);
        if (index != 4) {
            QCOMPARE(changed.count(), 1);
            QCOMPARE(changed.at(0).at(0).toDouble(), TSpeedBox::Speeds()[index]);
        }
    }

    void stepsPerTick() {
        TSpeedBox box;
        box.SetSpeed(5);
        const double ticks[] = {0.05, 0.2, 0.025, 0.025};
        QList<int> plain, kept, series;
        for (double e : ticks) plain << box.StepsForTick(4, false, e);
        box.KeepSpeed1->setChecked(true);
        for (double e : ticks) kept << box.StepsForTick(4, false, e);
        for (double e : ticks) series << box.StepsForTick(4, true, e);
        QCOMPARE(plain, (QList<int>{1, 1, 1, 1}));
        QCOMPARE(kept, (QList<int>{1, 4, 0, 1}));    // 20 steps a real second
        QCOMPARE(series, (QList<int>{1, 1, 1, 1}));  // a series shoots every step

        // A change of speed drops the carried half step.
        QCOMPARE(box.StepsForTick(4, false, 0.025), 0);
        box.ComboBox_Speed->setCurrentIndex(5);  // 10: 40 steps a real second
        QCOMPARE(box.StepsForTick(4, false, 0.0125), 0);
        QCOMPARE(box.StepsForTick(4, false, 0.0125), 1);
        // The box's own clock: the time since the restart, never negative.
        box.RestartPacing();
        QVERIFY(box.StepsForTick(4, false) >= 0);
    }
};

QTEST_MAIN(TestSpeedBox)
#include "test_speedbox.moc"
