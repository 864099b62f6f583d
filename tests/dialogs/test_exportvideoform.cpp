// The export dialog: its defaults, the choices it offers, and the checks of Ok.
#include <QComboBox>
#include <QDoubleSpinBox>
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
        c.Decks = QStringList{"Deck 1", "Deck 2"};
        c.CurrentDeck = 1;
        c.PersonPicked = picked;
        c.ViewWidth = 801;
        c.ViewHeight = 599;
        c.Folder = dir_.path();
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
        QCOMPARE(form.DeckBox->currentText(), QString("Deck 2"));
        QCOMPARE(form.FpsEdit->value(), 25);
        QCOMPARE(form.FpsEdit->minimum(), 10);
        QCOMPARE(form.FpsEdit->maximum(), 60);
        QCOMPARE(form.SpeedBox->currentData().toInt(), 5);
        QCOMPARE(form.SizeBox->count(), 3);
        QCOMPARE(form.SizeBox->itemData(0).toSize(), QSize(800, 598));  // always even
        QCOMPARE(form.SizeBox->itemData(2).toSize(), QSize(1920, 1080));
        QVERIFY(form.FileEdit->text().startsWith(dir_.path()));
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
