// The picked person in the main window: a click on a glyph picks it, the
// "Person" dock shows it, Follow keeps it in the middle and on its deck, Esc
// clears the pick, and the trails item switches everyone's trails.
#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QtTest>

#include "cellview3d.h"
#include "formfixture.h"
#include "personpanel.h"

using namespace orlex;
using namespace orlex::test;

class TestFormPerson : public QObject, public TFormFixture {
    Q_OBJECT

    TPersonPanel* Panel() { return Part<TPersonPanel>(Form(), "PersonPanel"); }
    TCellView3D* View() { return Form().CellView3D; }
    // Person 0 walks east, goes up a deck and walks on; person 1 stays.
    TMainForm& Ship() {
        TMainForm& form = Loaded(Project("ship.3dl", {"A", "B"}, 1, {"3U33S", "P9x0S"}));
        form.resize(800, 600);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) qWarning("window not exposed");
        return form;
    }
    QPoint ViewCentre() { return QPoint(View()->width() / 2, View()->height() / 2); }

private slots:
    void initTestCase() { QVERIFY(Files_.isValid()); }
    void init() { ClearSettings(); }
    void cleanup() { DropForm(); }

    void ClickPicksTheGlyphUnderTheMouse_data() {
        QTest::addColumn<double>("dx");  // cells beside the persons' start
        QTest::addColumn<bool>("hit");
        QTest::newRow("on the glyph") << 0.0 << true;
        QTest::newRow("bare floor") << 2.0 << false;
    }
    void ClickPicksTheGlyphUnderTheMouse() {
        QFETCH(double, dx);
        QFETCH(bool, hit);
        TMainForm& form = Ship();
        const TPersonData& start = form.LogFile->Persons[1];
        View()->CentreOn(start.X + dx, start.Y);
        QTest::mouseClick(View(), Qt::LeftButton, {}, ViewCentre());
        // Both persons stand on the start cell: either may be the one on top.
        QCOMPARE(form.PickedPerson() >= 0, hit);
        QCOMPARE(View()->PickedPerson, form.PickedPerson());
        QCOMPARE(Panel()->Person(), form.PickedPerson());
        // Esc lets go of it.
        Part<QAction>(form, "ClearPick1")->trigger();
        QCOMPARE(form.PickedPerson(), -1);
        QCOMPARE(View()->PickedPerson, -1);
        QCOMPARE(Part<QAction>(form, "ClearPick1")->shortcut().toString(), QString("Esc"));
    }

    void PanelFollowsStepsAndSeeks() {
        TMainForm& form = Ship();
        form.PickPerson(0);
        QCOMPARE(Panel()->Label_Number->text(), QString("0 of 2"));
        const QString atStart = Panel()->Label_Now->text();
        form.StepForward();
        QVERIFY(Panel()->Label_Now->text() != atStart);
        form.SeekTo(0);
        QCOMPARE(Panel()->Label_Now->text(), atStart);
        QCOMPARE(Panel()->Label_State->text(), QString("in the simulation"));
        form.SeekTo(10);
        QCOMPARE(Panel()->Label_State->text(), QString("saved"));
        // A new project drops the pick.
        form.LoadLogFile(QString::fromStdString(form.LogFile->FileName));
        QCOMPARE(form.PickedPerson(), -1);
        QCOMPARE(Panel()->Person(), -1);
    }

    void FollowChangesDeckAndStopsWhenSaved() {
        TMainForm& form = Ship();
        form.PickPerson(0);
        QCOMPARE(Part<QAction>(form, "Follow1")->shortcut().toString(), QString("F"));
        Part<QAction>(form, "Follow1")->trigger();
        QVERIFY(Panel()->Follow());
        QCOMPARE(View()->CurrentDeck, 0);
        const TPersonData& person = form.LogFile->Persons[0];
        while (person.Level == 0 && form.StepCounter() < 5) form.StepForward();
        QCOMPARE(person.Level, 1);
        QCOMPARE(View()->CurrentDeck, 1);
        QCOMPARE(Ui().ComboBox1->currentIndex(), 0);  // the top entry is the upper deck
        form.StepForward();
        // The person is in the middle of the view.
        QCOMPARE(View()->PickAt(ViewCentre().x(), ViewCentre().y()), 0);
        form.SeekTo(10);
        QVERIFY(!Panel()->Follow());
    }

    void DockAndTrailsItems() {
        TMainForm& form = Ship();
        auto* dock = Part<QDockWidget>(form, "Dock_Person");
        auto* toggle = Part<QAction>(form, "PersonPanel1");
        // Hidden at first, open at the first pick, then as the user leaves it.
        QVERIFY(!dock->isVisible());
        form.PickPerson(1);
        QVERIFY(dock->isVisible());
        toggle->trigger();
        QVERIFY(!dock->isVisible());
        form.PickPerson(0);
        QVERIFY(!dock->isVisible());
        toggle->trigger();
        QVERIFY(dock->isVisible());
        auto* trails = Part<QAction>(form, "AllTrails1");
        QCOMPARE(trails->text(), QString("&Trails of everyone"));
        QVERIFY(!trails->isChecked());
        QVERIFY(!View()->ShowAllTrails);
        trails->trigger();
        QVERIFY(View()->ShowAllTrails);
        trails->trigger();
        QVERIFY(!View()->ShowAllTrails);
    }
};

QTEST_MAIN(TestFormPerson)
#include "test_formperson.moc"
