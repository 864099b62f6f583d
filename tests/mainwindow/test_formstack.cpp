// All decks and the plan view in the window: the items, the cut beside the deck
// box, the "Decks" list with its boxes and its persons per deck after steps,
// seeks and resets, a pick on another deck, and the keys list.
#include <QDockWidget>
#include <QListWidget>
#include <QtTest>

#include "cellview3d.h"
#include "decklist.h"
#include "formfixture.h"
#include "keysform.h"

using namespace orlex;

class TestFormStack : public QObject, public test::TFormFixture {
    Q_OBJECT

    // Person 0 goes up a deck in each of its second and third steps; person 1
    // stays on deck 0; person 2 goes up in its second and last step.
    TMainForm& Ship() {
        return Loaded(Project("ship.3dl", test::kThreeDecks, 1, {"3U3U3S", "P10x0S", "3U3S"}));
    }
    static QAction* Item(TMainForm& form, const char* name) {
        return test::Part<QAction>(form, name);
    }
    static TDeckList* List(TMainForm& form) { return test::Part<TDeckList>(form, "DeckList"); }
    static QComboBox* Cut(TMainForm& form) { return test::Part<QComboBox>(form, "CutAwayBox"); }

private slots:
    void initTestCase() { QVERIFY(Files_.isValid()); }
    void init() { test::ClearSettings(); }
    void cleanup() { DropForm(); }

    void OffByDefaultAndTheItemsFollowTheViewsItems() {
        TMainForm& form = Ship();
        QVERIFY(!form.CellView3D->Stack.All);
        QVERIFY(!form.CellView3D->Stack.Plan);
        QVERIFY(!Cut(form)->isEnabled());
        QVERIFY(!test::Part<QDockWidget>(form, "Dock_Decks")->isVisible());
        QCOMPARE(Item(form, "AllDecks1")->shortcut(), QKeySequence(Qt::Key_D));
        QCOMPARE(Item(form, "PlanView1")->shortcut(), QKeySequence(Qt::Key_P));
        QCOMPARE(Cut(form)->count(), 3);
        QCOMPARE(Cut(form)->itemText(1), QString("This deck and below"));
    }

    void TheItemsCutAndBoxesReachTheView() {
        TMainForm& form = Ship();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Item(form, "AllDecks1")->trigger();
        QVERIFY(form.CellView3D->Stack.All);
        QVERIFY(Cut(form)->isEnabled());
        QVERIFY(test::Part<QDockWidget>(form, "Dock_Decks")->isVisible());
        // The whole stack in view: the camera looks from aslant.
        QVERIFY(form.CellView3D->Theta != 0.0);

        Cut(form)->setCurrentIndex(2);
        emit Cut(form)->activated(2);
        QCOMPARE(form.CellView3D->Stack.Cut, TCutAway::OnlyThis);

        List(form)->SetShown(1, false);
        QCOMPARE(form.CellView3D->Stack.Hidden, (std::vector<bool>{false, true, false}));
        List(form)->SetShown(1, true);
        QCOMPARE(form.CellView3D->Stack.Hidden, (std::vector<bool>{false, false, false}));

        Item(form, "PlanView1")->trigger();
        QVERIFY(form.CellView3D->Stack.Plan);
        QVERIFY(form.CellView3D->SceneInput().Plan);

        Item(form, "AllDecks1")->trigger();
        QVERIFY(!form.CellView3D->Stack.All);
        QVERIFY(!form.CellView3D->SceneInput().StackAll);
        QVERIFY(!Cut(form)->isEnabled());
    }

    void TheListCountsPersonsAfterStepsSeeksAndResets() {
        TMainForm& form = Ship();
        Item(form, "AllDecks1")->trigger();
        TDeckList* list = List(form);
        QCOMPARE(list->DeckCount(), 3);
        // The top deck first, as in the deck box.
        QCOMPARE(list->List->item(0)->text(), QString("C: 0 persons"));
        QCOMPARE(list->List->item(2)->text(), QString("A: 3 persons"));
        struct TCase {
            const char* How;
            std::function<void()> Do;
            QString A, B, C;
        };
        const TCase cases[] = {
            {"two steps", [&] { form.StepForward(), form.StepForward(); }, "A: 1 person",
             "B: 2 persons", "C: 0 persons"},
            // Person 2 has left with its two steps; person 0 is on the top deck.
            {"a third", [&] { form.StepForward(); }, "A: 1 person", "B: 0 persons", "C: 1 person"},
            {"seek to 1", [&] { form.SeekTo(1); }, "A: 3 persons", "B: 0 persons", "C: 0 persons"},
            {"seek to 3", [&] { form.SeekTo(3); }, "A: 1 person", "B: 0 persons", "C: 1 person"},
            {"reset", [&] { form.ResettoStart1Click(); }, "A: 3 persons", "B: 0 persons",
             "C: 0 persons"},
        };
        for (const TCase& c : cases) {
            c.Do();
            const QString got =
                list->RowText(0) + ", " + list->RowText(1) + ", " + list->RowText(2);
            QVERIFY2(got == c.A + ", " + c.B + ", " + c.C, qPrintable(c.How + (": " + got)));
        }
    }

    // The list asks for the width of its longest row, so that no row is cut;
    // a very long caption is cut rather than widening the dock without end.
    void TheListIsWideEnoughForItsRows() {
        TDeckList list;
        const QString longest = "Deck 1 - Crew and Machinery";
        list.SetDecks({longest, "Deck 2"});
        list.SetCounts({12345, 7});
        const QFontMetrics metrics(list.List->font());
        QVERIFY(list.List->minimumWidth() > metrics.horizontalAdvance(list.RowText(0)) + 20);
        list.SetDecks({QString(300, 'x')});
        QCOMPARE(list.List->minimumWidth(), TDeckList::kMaxListWidth);
    }

    void APickOnAnotherDeckBringsItToTheDeckBox() {
        TMainForm& form = Ship();
        Item(form, "AllDecks1")->trigger();
        form.SeekTo(3);  // person 0 on deck 2
        QCOMPARE(form.CellView3D->CurrentDeck, 0);
        emit form.CellView3D->PersonPicked(0);
        QCOMPARE(form.CellView3D->CurrentDeck, 2);
        QCOMPARE(test::Part<QComboBox>(form, "ComboBox1")->currentIndex(), 0);
    }

    void TheKeysListNamesTheNewItems() {
        TMainForm& form = Ship();
        QStringList rows;
        for (const TKeyGroup& group : form.KeyGroups())
            for (const TKeyRow& row : group.Rows) rows << row.Keys + " " + row.Action;
        QVERIFY(rows.contains("D All decks"));
        QVERIFY(rows.contains("P Plan view"));
    }
};

QTEST_MAIN(TestFormStack)
#include "test_formstack.moc"
