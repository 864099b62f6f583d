// The quick-reference window: its fixed texts, bold group titles, read-only
// list, and the keys that close it.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "helpform.h"

using namespace orlex;

class TestHelpForm : public QObject {
    Q_OBJECT

private slots:
    void fixedTexts() {
        THelpForm form;
        QCOMPARE(form.windowTitle(), QString("Quick Reference"));
        QCOMPARE(form.size(), QSize(341, 387));
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(form.Label1->text(), QString("Left Mousebutton: Rotate"));
        QCOMPARE(form.Label2->text(), QString("Scroll Wheel: Zoom"));
        QCOMPARE(form.Label3->text(), QString("Right Mouse Button: Move"));
        QCOMPARE(form.BitBtn1->text(), QString("&Ok"));
        QVERIFY(form.RichEdit1->isReadOnly());
        QCOMPARE(form.RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!form.Image1->pixmap().isNull());
    }

    void keyboardList() {
        THelpForm form;
        QStringList lines;
        QStringList bold;
        for (QTextBlock b = form.RichEdit1->document()->begin(); b.isValid(); b = b.next()) {
            lines << b.text();
            if (b.begin() != b.end() &&
                b.begin().fragment().charFormat().fontWeight() >= QFont::Bold) {
                bold << b.text();
            }
        }
        QCOMPARE(lines.size(), 23);
        QCOMPARE(lines, THelpForm::KeyboardLines());
        QCOMPARE(bold, (QStringList{"File", "Views", "Animation", "Settings"}));
        const struct {
            int line;
            const char* text;
        } rows[] = {{2, "Ctrl + L:\tLoad log file"},
                    {5, "Alt + F4:\tQuit programme"},
                    {6, ""},
                    {10, "Q:\tZoom in"},
                    {15, "2:\tRun/pause"},
                    {21, "Shift + L:\tRemove light closest to origin"},
                    {22, ""},
                    {23, ""}};
        for (const auto& r : rows) QCOMPARE(lines.at(r.line - 1), QString(r.text));
    }

    void closingKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void closingKeys() {
        QFETCH(int, key);
        QFETCH(int, result);
        THelpForm form;
        QTimer::singleShot(100, &form, [&] { QTest::keyClick(&form, Qt::Key(key)); });
        QTimer::singleShot(3000, &form, [&] { form.done(42); });  // safety net
        QCOMPARE(form.exec(), result);
    }

    void okButtonCloses() {
        THelpForm form;
        QTimer::singleShot(0, &form, [&] { QTest::mouseClick(form.BitBtn1, Qt::LeftButton); });
        QCOMPARE(form.exec(), int(QDialog::Accepted));
    }

    void textCannotBeEdited() {
        THelpForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString before = form.RichEdit1->toPlainText();
        QTest::keyClicks(form.RichEdit1, "xyz");
        QCOMPARE(form.RichEdit1->toPlainText(), before);
    }
};

QTEST_MAIN(TestHelpForm)
#include "test_helpform.moc"
