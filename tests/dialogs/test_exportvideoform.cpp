// The export dialog: its defaults, the choices it offers, and the checks of Ok.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "exportvideoform.h"
#include "qtsupport.h"

using namespace orlex;

class TestExportVideoForm : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::TRecordingMessages messages_;

    TVideoChoices Choices(bool picked = false) const {
        TVideoChoices c;
        c.Start = 30;
        c.End = 32.5;
        c.Decks = QStringList{"Deck 1", "Deck 2 - Muster stations"};
        c.CurrentDeck = 1;
        c.PersonPicked = picked;
        c.ViewWidth = 801;
        c.ViewHeight = 599;
        c.Folder = dir_.path();
        c.Project = "ship";
        return c;
    }

private slots:
    void initTestCase() { QVERIFY(QDir(dir_.path()).mkdir("folder.mp4")); }
    void init() { messages_ = test::TRecordingMessages(); }

    void defaultsAreTheWholeEvacuationOnTheDeckShown() {
        TExportVideoForm form(messages_);
        form.Setup(Choices());
        QCOMPARE(form.FromEdit->value(), 30.0);
        QCOMPARE(form.ToEdit->value(), 32.5);
        QCOMPARE(form.DeckBox->count(), 2);
        QCOMPARE(form.DeckBox->currentText(), QString("Deck 2 - Muster stations"));
        QCOMPARE(form.FpsEdit->value(), 25);
        QCOMPARE(form.FpsEdit->minimum(), 10);
        QCOMPARE(form.FpsEdit->maximum(), 60);
        QCOMPARE(form.SpeedBox->currentData().toInt(), 5);
        QCOMPARE(form.SizeBox->count(), 3);
        QCOMPARE(form.SizeBox->itemData(0).toSize(), QSize(800, 598));  // always even
        QCOMPARE(form.SizeBox->itemData(2).toSize(), QSize(1920, 1080));
        QCOMPARE(form.FileEdit->text(), dir_.filePath("ship-deck-2-muster-stations.mp4"));
        QVERIFY(form.CaptionBox->isChecked());
    }

    void fileNamesOfProjectAndDeck_data() {
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("deck");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "ship"
                               << "Deck 2 - Muster stations"
                               << "ship-deck-2-muster-stations.mp4";
        QTest::newRow("runs and ends") << "My Ship (v2)"
                                       << "  Deck #1 --"
                                       << "my-ship-v2-deck-1.mp4";
        QTest::newRow("nothing usable") << ""
                                        << "***"
                                        << "evacuation.mp4";
    }
    void fileNamesOfProjectAndDeck() {
        QFETCH(QString, project);
        QFETCH(QString, deck);
        QFETCH(QString, name);
        QCOMPARE(VideoFileName(project, deck), name);
    }

    // The offered name follows the deck until the user names the file.
    void offeredNameFollowsTheDeck() {
        TExportVideoForm form(messages_);
        form.Setup(Choices());
        form.DeckBox->setCurrentIndex(0);
        QCOMPARE(form.FileEdit->text(), dir_.filePath("ship-deck-1.mp4"));
        form.FileEdit->setText(dir_.filePath("mine.mp4"));
        form.DeckBox->setCurrentIndex(1);
        QCOMPARE(form.FileEdit->text(), dir_.filePath("mine.mp4"));
    }

    void captionBoxGoesIntoTheRequest() {
        for (const bool on : {true, false}) {
            TExportVideoForm form(messages_);
            form.Setup(Choices());
            form.CaptionBox->setChecked(on);
            form.accept();
            QCOMPARE(form.result(), int(QDialog::Accepted));
            QCOMPARE(form.Request().Caption, on);
        }
    }

    // Every label and button has a mnemonic of its own.
    void mnemonicsAreUnique() {
        TExportVideoForm form(messages_);
        QStringList texts;
        for (const QLabel* label : form.findChildren<QLabel*>()) texts << label->text();
        for (const QAbstractButton* button : form.findChildren<QAbstractButton*>())
            texts << button->text();
        QVERIFY(texts.contains("&File:"));
        QVERIFY(!texts.contains("F&ile:"));
        QSet<QChar> keys;
        for (const QString& text : texts) {
            const int at = text.indexOf('&');
            if (at < 0 || at + 1 >= text.size()) continue;
            const QChar key = text[at + 1].toLower();
            QVERIFY2(!keys.contains(key), qPrintable(text));
            keys.insert(key);
        }
        QVERIFY(keys.size() >= 9);
    }

    void followIsOfferedOnlyWithAPickedPerson() {
        TExportVideoForm form(messages_);
        form.Setup(Choices(true));
        QCOMPARE(form.DeckBox->count(), 3);
        form.DeckBox->setCurrentIndex(2);
        form.FileEdit->setText(dir_.filePath("follow"));
        form.accept();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.Request().Deck, TVideoRequest::kFollowPicked);
        QCOMPARE(form.Request().Path, dir_.filePath("follow.mp4"));  // the extension is added
    }

    void okGivesTheRequest() {
        TExportVideoForm form(messages_);
        form.Setup(Choices());
        form.FromEdit->setValue(30.5);
        form.FpsEdit->setValue(50);
        form.SpeedBox->setCurrentIndex(0);
        form.SizeBox->setCurrentIndex(1);
        form.ChooseFile = [&](const QString&) { return dir_.filePath("chosen.mp4"); };
        form.BrowseButton->click();
        form.accept();
        QVERIFY(messages_.Messages.empty());
        const TVideoRequest& r = form.Request();
        QCOMPARE(r.Path, dir_.filePath("chosen.mp4"));
        QCOMPARE(r.Times.From, 30.5);
        QCOMPARE(r.Times.To, 32.5);
        QCOMPARE(r.Times.Fps, 50);
        QCOMPARE(r.Times.Speed, 1.0);
        QCOMPARE(r.Deck, 1);
        QCOMPARE(QSize(r.Width, r.Height), QSize(1280, 720));
    }

    void badValuesGetAMessageAndTheDialogStays_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("end before start") << 32.0 << 31.0 << "a.mp4"
                                          << "after the start";
        QTest::newRow("too short") << 32.0 << 32.1 << "a.mp4"
                                   << "too short";
        QTest::newRow("no file") << 30.0 << 32.0 << ""
                                 << "choose the file";
        QTest::newRow("no folder") << 30.0 << 32.0 << "no/such/a.mp4"
                                   << "does not exist";
        QTest::newRow("a folder") << 30.0 << 32.0 << "folder.mp4"
                                  << "is a folder";
    }
    void badValuesGetAMessageAndTheDialogStays() {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QString, file);
        QFETCH(QString, message);
        TExportVideoForm form(messages_);
        form.Setup(Choices());
        form.FromEdit->setValue(from);
        form.ToEdit->setValue(to);
        form.FileEdit->setText(file.isEmpty() ? QString() : dir_.filePath(file));
        form.accept();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(messages_.Messages.size(), size_t(1));
        QCOMPARE(messages_.Messages[0].Caption, std::string("Error"));
        QVERIFY2(QString::fromStdString(messages_.Messages[0].Text).contains(message),
                 messages_.Messages[0].Text.c_str());
    }
};

QTEST_MAIN(TestExportVideoForm)
#include "test_exportvideoform.moc"
