// The progress dialog that the loader drives.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include "progressdialog.h"

using orlex::TFProgressDialog;

class TestProgressDialog : public QObject {
    Q_OBJECT
private slots:
    void StartsHiddenWithItsLayout() {
        TFProgressDialog dialog;
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QString("Progress"));
        QCOMPARE(dialog.ProgressInfo->text(), QString("..."));
        QCOMPARE(dialog.ProgressBar->minimum(), 0);
        QCOMPARE(dialog.ProgressBar->maximum(), 100);
        QCOMPARE(dialog.ProgressBar->value(), 0);
        QCOMPARE(dialog.size(), QSize(292, 50));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    }

    void BarStaysInRange_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("shown");
        QTest::newRow("inside") << 42 << 42;
        QTest::newRow("upper end") << 100 << 100;
        QTest::newRow("above") << 250 << 100;
        QTest::newRow("below") << -7 << 0;
        QTest::newRow("far below") << std::numeric_limits<int>::min() << 0;
    }
    void BarStaysInRange() {
        QFETCH(int, position);
        QFETCH(int, shown);
        TFProgressDialog dialog;
        dialog.SetPosition(position);
        QCOMPARE(dialog.Position(), shown);
        dialog.ProcessEvents();
        QCOMPARE(dialog.ProgressBar->value(), shown);
    }

    void UserCannotCloseIt() {
        TFProgressDialog dialog;
        dialog.SetInfo("Loading logfile...");
        dialog.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        dialog.reject();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.ProgressInfo->text(), QString("Loading logfile..."));
        dialog.Close();
        QVERIFY(!dialog.isVisible());
        // The instance stays for the next load, with its last text.
        dialog.Show();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.ProgressInfo->text(), QString("Loading logfile..."));
        dialog.Close();
    }

    // However often the loader asks, events run only a few times a second; the
    // first request after showing runs them at once.
    void ThrottlesEventProcessing() {
        TFProgressDialog dialog;
        dialog.Show();
        int ran = 0;
        QTimer::singleShot(0, [&ran] { ++ran; });
        dialog.ProcessEvents();
        QCOMPARE(ran, 1);
        // Text and bar reach the screen when events run, not before.
        dialog.SetInfo("Reading deck 3");
        dialog.SetPosition(57);
        QCOMPARE(dialog.ProgressBar->value(), 0);
        dialog.Flush();
        QCOMPARE(dialog.ProgressBar->value(), 57);
        QCOMPARE(dialog.ProgressInfo->text(), QString("Reading deck 3"));
        const int roundsBefore = dialog.EventRounds();
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 2000000; ++i) {
            dialog.SetPosition(i % 101);
            dialog.Show();
            dialog.ProcessEvents();
        }
        const qint64 elapsedMs = clock.elapsed();
        const int rounds = dialog.EventRounds() - roundsBefore;
        const qint64 allowed = elapsedMs / (1000 / TFProgressDialog::EventsPerSecond) + 1;
        QVERIFY2(rounds <= allowed,
                 qPrintable(QString("%1 rounds in %2 ms").arg(rounds).arg(elapsedMs)));
        dialog.Close();
    }
};

QTEST_MAIN(TestProgressDialog)
#include "test_progressdialog.moc"
