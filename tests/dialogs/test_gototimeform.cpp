// "Go to time": good entries close the dialog with their step counter, bad ones
// get a message and leave the dialog open with nothing changed.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gototimeform.h"
#include "qtsupport.h"

using namespace orlex;
using namespace orlex::test;

namespace {
const TTimeline kLine{4, 30, 258};  // 4 steps a second from 0:30 to 1:34
}

class TestGoToTimeForm : public QObject {
    Q_OBJECT

private slots:
    void startsAtTheCurrentTime() {
        TRecordingMessages messages;
        TGoToTimeForm form(messages);
        QCOMPARE(form.windowTitle(), QString("Go to time"));
        form.SetTimeline(kLine, 10);
        QCOMPARE(form.Edit_Time->text(), QString("0:32"));
        QCOMPARE(form.Edit_Time->selectedText(), QString("0:32"));
        QCOMPARE(form.Step(), 10);
    }

    void goodEntries_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("step");
        QTest::newRow("m:ss") << "0:32" << 8;
        QTest::newRow("seconds") << "33" << 12;
        QTest::newRow("step") << "step 17" << 17;
        QTest::newRow("past the end") << "9:00" << 258;
        QTest::newRow("before the start") << "0:10" << 0;
        QTest::newRow("step past the end") << "Step 1000" << 258;
    }
    void goodEntries() {
        QFETCH(QString, entry);
        QFETCH(int, step);
        TRecordingMessages messages;
        TGoToTimeForm form(messages);
        form.SetTimeline(kLine, 100);
        form.show();
        form.Edit_Time->setText(entry);
        QTest::mouseClick(form.BitBtn_Ok, Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());
        QCOMPARE(form.Step(), step);
        QCOMPARE(messages.Messages.size(), std::size_t{0});
    }

    void badEntryKeepsTheDialogOpen() {
        TRecordingMessages messages;
        TGoToTimeForm form(messages);
        form.SetTimeline(kLine, 100);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Edit_Time->setText("7:75");
        QTest::keyClick(form.Edit_Time, Qt::Key_Return);
        QVERIFY(form.isVisible());
        QCOMPARE(form.Step(), 100);
        QCOMPARE(ShownTexts(messages),
                 QStringList{"\"7:75\" is not a time.\nEnter minutes and seconds (7:30), seconds "
                             "(450) or a step counter (step 900)."});
        QCOMPARE(ShownCaptions(messages), QStringList{"Error"});
        QCOMPARE(messages.Messages[0].Icon, TMsgIcon::Error);
        QCOMPARE(form.Edit_Time->selectedText(), QString("7:75"));

        // Corrected, it closes.
        form.Edit_Time->setText("step 5");
        QTest::keyClick(form.Edit_Time, Qt::Key_Return);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.Step(), 5);
        QCOMPARE(messages.Messages.size(), std::size_t{1});
    }

    void cancelChangesNothing() {
        TRecordingMessages messages;
        TGoToTimeForm form(messages);
        form.SetTimeline(kLine, 40);
        form.show();
        form.Edit_Time->setText("nonsense");
        QTest::mouseClick(form.BitBtn_Cancel, Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(form.Step(), 40);
        QCOMPARE(messages.Messages.size(), std::size_t{0});
    }
};

QTEST_MAIN(TestGoToTimeForm)
#include "test_gototimeform.moc"
