// The start-up window: version line, notice, and the click and timer rules.
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "introform.h"

using namespace orlex;

class TestIntroForm : public QObject {
    Q_OBJECT

private slots:
    void versionText_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("parts");
        QTest::addColumn<QString>("text");
        QTest::newRow("four") << "1.0.1.0" << 4 << "1.0.1.0";
        QTest::newRow("three") << "1.0.1.7" << 3 << "1.0.1";
        QTest::newRow("two") << "1.0.1.7" << 2 << "1.0";
        QTest::newRow("parts clamped high") << "2.3.4.5" << 9 << "2.3.4.5";
        QTest::newRow("parts clamped low") << "2.3.4.5" << 0 << "2.3";
        QTest::newRow("short version padded") << "3.1" << 4 << "3.1.0.0";
        QTest::newRow("no version") << "" << 4 << "No file information available.";
        QTest::newRow("not numbers") << "one.two" << 4 << "No version information available.";
        QTest::newRow("one part") << "7" << 4 << "No version information available.";
        QTest::newRow("five parts") << "1.2.3.4.5" << 4 << "No version information available.";
        QTest::newRow("above 16 bits") << "70000.1" << 4 << "No version information available.";
    }
    void versionText() {
        QFETCH(QString, version);
        QFETCH(int, parts);
        QFETCH(QString, text);
        QCOMPARE(TIntroForm::VersionTextFrom(version, parts), text);
    }

    void labelsFilledOnShowing() {
        TIntroForm form;
        QCOMPARE(form.size(), QSize(385, 170));
        form.SetDisplayTime(5000);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Label3->text(), "Version: " + QString(ORLEX_VERSION_STRING));
        QCOMPARE(form.Label3->text(), QString("Version: ") + TIntroForm::GetVersionText(4));
        const QString notice = form.Label2->text();
        QCOMPARE(notice.split('\n').size(), 4);
        QVERIFY(notice.contains("ORLEX Viewer"));
        QVERIFY(notice.contains("Quenwick"));
        QVERIFY(!notice.contains("http") && !notice.contains("www"));
        QCOMPARE(notice.split('\n').at(2), QString());
        form.Label3->setText("changed");
        form.hide();
        form.show();  // recomputed at every showing
        QVERIFY(form.Label3->text().startsWith("Version: "));
        form.hide();
    }

    void clickRules_data() {
        QTest::addColumn<int>("displayTime");
        QTest::addColumn<bool>("clickCloses");
        QTest::newRow("2000 ms cannot be clicked away") << 2000 << false;
        QTest::newRow("2001 ms") << 2001 << true;
        QTest::newRow("5000 ms from the Help menu") << 5000 << true;
    }
    void clickRules() {
        QFETCH(int, displayTime);
        QFETCH(bool, clickCloses);
        TIntroForm form;
        form.SetDisplayTime(displayTime);
        // The picture, and the places of both labels (clicks pass through them).
        const QPoint points[] = {QPoint(300, 120), form.Label2->geometry().center(),
                                 form.Label3->geometry().center()};
        for (const QPoint& at : points) {
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QVERIFY(form.Timer1->isActive());
            QTest::mouseClick(&form, Qt::LeftButton, {}, at);
            QCOMPARE(form.isVisible(), !clickCloses);
            // A click does not stop the timer.
            QVERIFY(form.Timer1->isActive());
            form.hide();
        }
    }

    void timerClosesAndStops() {
        TIntroForm form;
        form.SetDisplayTime(150);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 5000);
        QVERIFY(!form.Timer1->isActive());
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.DisplayTime(), 150);  // kept for the next showing
    }

    void fullTimeAtOrBelow2000() {
        TIntroForm form;
        form.SetDisplayTime(2000);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(10, 10));
        // Whatever the click set off has run; the window stays until its time is up.
        QCoreApplication::processEvents();
        QVERIFY(form.isVisible());
        QVERIFY(form.Timer1->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 6000);
    }

    void reshowingRestartsDisplayTime() {
        TIntroForm form;
        form.SetDisplayTime(5000);
        form.show();
        // Some of the display time has gone, so that a restart can be told apart.
        QTRY_VERIFY(form.Timer1->remainingTime() < 4700);
        QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!form.isVisible());
        form.show();
        QVERIFY(form.Timer1->isActive());
        QVERIFY(form.Timer1->remainingTime() > 4700);
        form.hide();
    }

    void modalShowingFromHelpMenu() {
        TIntroForm form;
        form.SetDisplayTime(5000);
        QTimer::singleShot(200, &form,
                           [&] { QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(200, 100)); });
        QCOMPARE(form.exec(), int(QDialog::Accepted));
    }

    void pictureIsDrawn() {
        const QPixmap pic = TIntroForm::ProductPicture();
        QCOMPARE(pic.size(), QSize(385, 170));
        const QImage img = pic.toImage();
        QVERIFY(img.pixelColor(5, 5) != img.pixelColor(250, 125));  // not one flat colour
    }
};

QTEST_MAIN(TestIntroForm)
#include "test_introform.moc"
