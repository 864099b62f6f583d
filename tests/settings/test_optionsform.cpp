// The options dialog: the Ok checks with their messages, the directory
// chooser rules, the controls shown for a record and written back.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "optionsform.h"
#include "qtsupport.h"

using namespace orlex;

namespace {

using orlex::test::TRecordingMessages;

QString WidthMessage(int w) {
    return QString(
               "The width of the screen shot should be inbetween 0\n(which of course makes no "
               "sense) and the width of your application\nwindow (currently %1 pixels).")
        .arg(w);
}
QString HeightMessage(int h) {
    return QString(
               "The height of the screen shot should be inbetween 0\n(which of course makes no "
               "sense) and the height of your application\nwindow (currently %1 pixels).")
        .arg(h);
}

}  // namespace

class TestOptionsForm : public QObject {
    Q_OBJECT

    std::unique_ptr<TOptionsForm> form_;
    TRecordingMessages messages_;
    QStringList chooserCalls_;
    QString chooserAnswer_;

private slots:
    void init() {
        form_ = std::make_unique<TOptionsForm>();
        messages_ = TRecordingMessages();
        form_->SetMessages(&messages_);
        form_->SetMainClientSize(QSize(1200, 800));
        chooserCalls_.clear();
        chooserAnswer_.clear();
        form_->ChooseDirectory = [this](const QString& start) {
            chooserCalls_ << start;
            return chooserAnswer_;
        };
    }

    void okChecks_data() {
        QTest::addColumn<int>("option");  // 2 width, 3 height
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("message");
        // Client size 1200 x 800: width bound 1200, height bound 760.
        QTest::newRow("width 0") << 2 << "0" << true << QString();
        QTest::newRow("width W") << 2 << "1200" << true << QString();
        QTest::newRow("width W+1") << 2 << "1201" << false << WidthMessage(1200);
        QTest::newRow("width negative") << 2 << "-1" << false << WidthMessage(1200);
        QTest::newRow("width text") << 2 << "wide" << false << WidthMessage(1200);
        QTest::newRow("width fraction") << 2 << "64.5" << false << WidthMessage(1200);
        QTest::newRow("width empty") << 2 << "" << false << WidthMessage(1200);
        QTest::newRow("width overflow") << 2 << "99999999999" << false << WidthMessage(1200);
        QTest::newRow("height 0") << 3 << "0" << true << QString();
        QTest::newRow("height H-40") << 3 << "760" << true << QString();
        QTest::newRow("height H-39") << 3 << "761" << false << HeightMessage(760);
        QTest::newRow("height empty") << 3 << "" << false << HeightMessage(760);
    }
    void okChecks() {
        QFETCH(int, option);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(QString, message);
        TOptions1 o;
        o.ScreenShotResizeOption = option;
        form_->SetOptions(&o);
        (option == 2 ? form_->Edit1 : form_->Edit2)->setText(text);
        form_->BitBtn1Click();
        QCOMPARE(form_->result() == QDialog::Accepted, accepted);
        if (accepted) {
            QVERIFY(messages_.Messages.empty());
        } else {
            QCOMPARE(orlex::test::ShownTexts(messages_), QStringList{message});
            QCOMPARE(orlex::test::ShownCaptions(messages_), QStringList{"Error"});
        }
    }

    void laterMessageWins() {
        TOptions1 o;
        o.ScreenShotSaveOption = 3;
        o.ScreenShotSaveDirectory = "/shots";
        o.ScreenShotResizeOption = 2;
        form_->SetOptions(&o);
        form_->ChosenDirectory.clear();
        form_->Edit1->setText("x");
        form_->BitBtn1Click();
        QCOMPARE(orlex::test::ShownTexts(messages_), QStringList{WidthMessage(1200)});
    }

    void optionThreeNeedsDirectory() {
        TOptions1 o;
        o.ScreenShotSaveOption = 3;
        o.ScreenShotSaveDirectory = "/x";
        form_->SetOptions(&o);
        form_->ChosenDirectory.clear();
        form_->BitBtn1Click();
        QCOMPARE(
            orlex::test::ShownTexts(messages_),
            QStringList{"Please choose a directory in which you want to save the screen shots."});
        QVERIFY(form_->result() != QDialog::Accepted);
        // A directory that does not exist is fine.
        form_->ChosenDirectory = "/no/such/dir";
        form_->BitBtn1Click();
        QCOMPARE(form_->result(), int(QDialog::Accepted));
    }

    void cancelledChooserSelectsOptionOne() {
        TOptions1 o;
        o.ScreenShotSaveOption = 2;
        form_->SetOptions(&o);
        QVERIFY(form_->RadioButton2->isChecked());
        form_->ChosenDirectory = "/kept";
        form_->BitBtn7Click();
        QCOMPARE(chooserCalls_, QStringList{"/kept"});
        QVERIFY(form_->RadioButton1->isChecked());
        QCOMPARE(form_->ChosenDirectory, QString("/kept"));
    }

    void emptyDirectoryOpensChooserInSetOptions() {
        chooserAnswer_ = "/picked/shots";
        TOptions1 o;
        o.ScreenShotSaveOption = 3;
        form_->SetOptions(&o);
        QCOMPARE(chooserCalls_.size(), 1);
        QVERIFY(form_->RadioButton3->isChecked());
        QCOMPARE(form_->ChosenDirectory, QString("/picked/shots"));
        QVERIFY(form_->RadioButton3->text().startsWith("this directory: "));
        QVERIFY(form_->RadioButton3->text().endsWith("shots"));
        // Already checked: preparing again asks nothing (the directory is known now anyway).
        form_->ChosenDirectory.clear();
        form_->SetOptions(&o);
        QCOMPARE(chooserCalls_.size(), 1);
    }

    void emptyDirectoryCancelledFallsBackToOptionOne() {
        TOptions1 o;
        o.ScreenShotSaveOption = 3;
        form_->SetOptions(&o);
        QCOMPARE(chooserCalls_.size(), 1);
        QVERIFY(form_->RadioButton1->isChecked());
        form_->ApplyOptions();
        QCOMPARE(o.ScreenShotSaveOption, 1);
    }

    void unknownSaveOptionShownAsThree() {
        TOptions1 o;
        o.ScreenShotSaveOption = 7;
        o.ScreenShotSaveDirectory = "/d";
        o.ScreenShotResizeOption = 9;  // resize buttons stay as they were
        form_->RadioButton5->setChecked(true);
        form_->SetOptions(&o);
        QVERIFY(form_->RadioButton3->isChecked());
        QVERIFY(form_->RadioButton5->isChecked());
        QVERIFY(chooserCalls_.isEmpty());
    }

    void percentageClamped_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("above 100") << 250 << 100;
        QTest::newRow("below 0") << -20 << 0;
        QTest::newRow("inside") << 35 << 35;
    }
    void percentageClamped() {
        QFETCH(int, stored);
        QFETCH(int, shown);
        TOptions1 o;
        o.ScreenShotResizeValue = stored;
        form_->SetOptions(&o);
        QCOMPARE(form_->TrackBar1->value(), shown);
        QCOMPARE(form_->Label1->text(), QString::number(shown) + "%");
        form_->BitBtn1Click();
        form_->ApplyOptions();
        QCOMPARE(o.ScreenShotResizeValue, shown);
        QVERIFY(form_->EditedOptions == nullptr);
    }

    void applyWritesControls() {
        TOptions1 o;
        o.ScreenShotSaveOption = 3;
        o.ScreenShotSaveDirectory = "/fixed";
        form_->SetOptions(&o);
        form_->CheckBox1->setChecked(true);
        form_->RadioButton2->setChecked(true);  // option 2 empties the directory
        form_->RadioButton6->setChecked(true);
        form_->Edit2->setText("300");
        form_->ApplyOptions();
        QCOMPARE(o.IsOverwritingAsked, true);
        QCOMPARE(o.ScreenShotSaveOption, 2);
        QCOMPARE(o.ScreenShotSaveDirectory, QString());
        QCOMPARE(o.ScreenShotResizeOption, 3);
        QCOMPARE(o.ScreenShotResizeValue, 300);
        QCOMPARE(form_->ChosenDirectory, QString("/fixed"));  // kept by the dialog
        form_->ApplyOptions();                                // nothing edited: no effect
    }

    void clickIntoEditChecksItsButton() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QVERIFY(form_->RadioButton4->isChecked());
        QTest::mouseClick(form_->Edit1, Qt::LeftButton);
        QVERIFY(form_->RadioButton5->isChecked());
        QTest::mouseClick(form_->Edit2, Qt::LeftButton);
        QVERIFY(form_->RadioButton6->isChecked());
        form_->Edit1->setFocus();  // keyboard focus alone changes nothing
        QVERIFY(form_->RadioButton6->isChecked());
    }

    void runDialog_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok applies") << true;
        QTest::newRow("abort applies nothing") << false;
    }
    void runDialog() {
        QFETCH(bool, ok);
        TOptions1 o;
        QTimer::singleShot(0, form_.get(), [&] {
            form_->TrackBar1->setValue(40);
            (ok ? form_->BitBtn1 : form_->BitBtn2)->click();
        });
        QCOMPARE(RunOptionsDialog(*form_, o, QSize(800, 600)), ok);
        QCOMPARE(o.ScreenShotResizeValue, ok ? 40 : 100);
        QVERIFY(form_->EditedOptions == nullptr);
    }

    void deckSpacing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("entered");  // 0: refused
        QTest::newRow("default") << "8" << 8.0;
        QTest::newRow("lowest") << "1" << 1.0;
        QTest::newRow("highest") << "20" << 20.0;
        QTest::newRow("fraction") << " 2.5 " << 2.5;
        QTest::newRow("below") << "0.99" << 0.0;
        QTest::newRow("above") << "20.01" << 0.0;
        QTest::newRow("comma") << "2,5" << 0.0;
        QTest::newRow("word") << "far" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("not a number") << "nan" << 0.0;
    }
    void deckSpacing() {
        QFETCH(QString, text);
        QFETCH(double, entered);
        TOptions1 o;
        form_->SetOptions(&o);
        form_->PageControl1->setCurrentWidget(form_->TabSheet1);
        form_->DeckSpacingEdit->setText(text);
        form_->BitBtn1Click();
        if (entered > 0) {
            QCOMPARE(form_->result(), int(QDialog::Accepted));
            QCOMPARE(form_->EnteredDeckSpacing().value_or(-1), entered);
            QVERIFY(messages_.Messages.empty());
        } else {
            QVERIFY(form_->result() != QDialog::Accepted);
            QVERIFY(!form_->EnteredDeckSpacing());
            QCOMPARE(
                orlex::test::ShownTexts(messages_),
                QStringList{"The deck spacing should be a number from 1 to 20 block heights."});
            QCOMPARE(form_->PageControl1->currentWidget(), form_->ViewPage);
        }
    }

    void deckSpacingShownAsSet() {
        QCOMPARE(form_->DeckSpacingEdit->text(), QString("3"));  // the default before any
        form_->SetDeckSpacing(4.5);
        QCOMPARE(form_->DeckSpacingEdit->text(), QString("4.5"));
        QCOMPARE(form_->PageControl1->tabText(form_->PageControl1->indexOf(form_->ViewPage)),
                 QString("View"));
        // The screen-shot page stays the first one.
        QCOMPARE(form_->PageControl1->indexOf(form_->TabSheet1), 0);
    }

    void shortenDirectory_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<int>("width");  // in characters
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << "C:\\alpha\\beta\\shots" << 40 << "C:\\alpha\\beta\\shots";
        QTest::newRow("step 1") << "C:\\alpha\\beta\\shots" << 18 << "C:\\...\\beta\\shots";
        QTest::newRow("step 2") << "C:\\alpha\\beta\\shots" << 16 << "C:\\...\\shots";
        QTest::newRow("step 3") << "C:\\alpha\\beta\\shots" << 11 << "...\\shots";
        QTest::newRow("step 4") << "C:\\alpha\\beta\\shots" << 8 << "shots";
        QTest::newRow("never the name") << "C:\\alpha\\beta\\shots" << 1 << "shots";
        QTest::newRow("unix") << "/home/user/shots" << 12 << "/.../shots";
        QTest::newRow("root only") << "/shots" << 2 << "shots";
        QTest::newRow("trailing separator") << "/alpha/beta/" << 10 << "/.../beta";
        QTest::newRow("empty") << "" << 0 << "";
    }
    void shortenDirectory() {
        QFETCH(QString, dir);
        QFETCH(int, width);
        QFETCH(QString, shown);
        QCOMPARE(TOptionsForm::ShortenDirectory(dir, width,
                                                [](const QString& s) { return int(s.size()); }),
                 shown);
    }
};

QTEST_MAIN(TestOptionsForm)
#include "test_optionsform.moc"
