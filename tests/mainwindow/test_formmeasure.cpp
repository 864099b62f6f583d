// Measurement lines and areas in the window: the Measure item, its button and
// Esc; the drags that draw a line and a rectangle at the metres under the mouse
// while the camera stays, and the camera's drags outside the mode; the panel's
// renames, moves, deletions and undo; the file beside the project written after
// every change and read at the next load, with a warning for what it cannot use.
#include <QDir>
#include <QDockWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "cellview3d.h"
#include "formfixture.h"
#include "measurefile.h"
#include "measureoverlay.h"
#include "measurepanel.h"
#include "result.h"
#include "stack.h"

using namespace orlex;

namespace {

// The view's pixel showing metre point p of the deck shown.
QPointF PixelOf(const TCellView3D& view, const TMetrePoint& p) {
    const TSceneInput scene = view.SceneInput();
    const TFloorPoint f = MetresToDeck(scene.MeasureFrame, p);
    double x = 0, y = 0;
    if (!ProjectToWindow(scene, view.Camera(), f.X, f.Y, 0, view.width(), view.height(), x, y))
        qWarning("the point is not in view");
    return {x, y};
}

void Send(QWidget* view, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
          const QPointF& at) {
    QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

// A drag with button from a to b in three moves.
void Drag(QWidget* view, Qt::MouseButton button, const QPointF& a, const QPointF& b) {
    Send(view, QEvent::MouseButtonPress, button, button, a);
    for (int k = 1; k <= 3; ++k)
        Send(view, QEvent::MouseMove, Qt::NoButton, button, a + (b - a) * (k / 3.0));
    Send(view, QEvent::MouseButtonRelease, button, Qt::NoButton, b);
}

bool Near(const TMetrePoint& got, const TMetrePoint& want, double tolerance) {
    return std::abs(got.X - want.X) <= tolerance && std::abs(got.Y - want.Y) <= tolerance;
}

}  // namespace

class TestFormMeasure : public QObject, public test::TFormFixture {
    Q_OBJECT

    // A project of its own for every test: the measurement files stay apart.
    QString ShipPath() {
        return Project(QString::fromLatin1(QTest::currentTestFunction()) + ".3dl",
                       test::kThreeDecks, 1, {"3U33S", "P9x0S"});
    }
    // The ship (6 x 4 cells of 0.4 m on each deck) in a shown window, seen from
    // straight above.
    TMainForm& Ship(const QString& path) {
        TMainForm& form = Loaded(path);
        form.resize(800, 600);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) qWarning("window not exposed");
        test::Part<QAction>(form, "ResetView1")->trigger();
        return form;
    }
    static QAction* Item(TMainForm& form, const char* name) {
        return test::Part<QAction>(form, name);
    }
    static TMeasurePanel* Panel(TMainForm& form) {
        return test::Part<TMeasurePanel>(form, "MeasurePanel");
    }
    static TMeasureSet FileSet(const QString& project) {
        TMeasureSet set;
        std::vector<std::string> problems;
        if (!ReadMeasureFile(MeasureFilePathFor(project.toStdString()), set, problems))
            qWarning("no measurement file");
        return set;
    }
    // A line, a rectangle and a second line, as the panel tests start from.
    static TMeasureSet ThreeMeasures() {
        TMeasureSet set;
        set.Lines = {{"Door A", 0, {0.6, 0.6}, {1.4, 0.6}}, {"Stair", 1, {0.6, 1.0}, {0.6, 1.4}}};
        set.Areas = {{"Landing", 0, RectanglePolygon({0.5, 0.5}, {1.5, 1.1})}};
        return set;
    }

private slots:
    void initTestCase() { QVERIFY(Files_.isValid()); }
    void init() { test::ClearSettings(); }
    void cleanup() { DropForm(); }

    void TheItemAndTheButtonStartTheModeAndEscEndsIt() {
        TMainForm& form = Ship(ShipPath());
        QAction* measure = Item(form, "Measure1");
        QVERIFY(measure->isCheckable());
        QCOMPARE(measure->shortcut(), QKeySequence(Qt::Key_M));
        // In the Views menu after the items put there before.
        const QList<QAction*> views = Ui().Views1->actions();
        QVERIFY(views.indexOf(measure) > views.indexOf(Item(form, "PlanView1")));
        auto* button = test::Part<QToolButton>(*Ui().Panel1, "SpeedButton_Measure");
        QCOMPARE(button->defaultAction(), measure);
        QVERIFY(!button->icon().isNull());

        button->click();
        QVERIFY(form.CellView3D->MeasureMode());
        QVERIFY(test::Part<QDockWidget>(form, "Dock_Measure")->isVisible());
        form.PickPerson(1);
        Item(form, "ClearPick1")->trigger();  // Esc
        QVERIFY(!form.CellView3D->MeasureMode());
        QVERIFY(!measure->isChecked());
        QCOMPARE(form.PickedPerson(), 1);
        // Outside the mode Esc lets go of the pick as before.
        Item(form, "ClearPick1")->trigger();
        QCOMPARE(form.PickedPerson(), -1);
        measure->trigger();
        QVERIFY(form.CellView3D->MeasureMode());
        measure->trigger();
        QVERIFY(!form.CellView3D->MeasureMode());
    }

    void DragsDrawALineAndARectangleWhereTheMouseWas() {
        const QString path = ShipPath();
        TMainForm& form = Ship(path);
        TCellView3D* view = form.CellView3D;
        // No file until the first change.
        QVERIFY(!QFile::exists(QString::fromStdString(MeasureFilePathFor(path.toStdString()))));
        Item(form, "Measure1")->trigger();
        const TCamera before = view->Camera();
        // Straight above the deck's middle, which lies at 1.2, 0.8 m (6 x 4 cells
        // of 0.4 m from the south-west corner).
        const QPointF middle(view->width() / 2.0, view->height() / 2.0);
        // One pixel's metres: the deck's 2.4 m over its width in pixels.
        const double pixel =
            2.4 / std::abs(PixelOf(*view, {2.4, 0}).x() - PixelOf(*view, {0, 0}).x());
        QVERIFY(pixel > 0 && pixel < 0.05);
        Drag(view, Qt::LeftButton, middle, PixelOf(*view, {2.0, 1.4}));
        Drag(view, Qt::RightButton, PixelOf(*view, {0.4, 0.2}), middle);
        Drag(view, Qt::LeftButton, PixelOf(*view, {0.2, 0.2}), PixelOf(*view, {0.2, 1.4}));
        // A click draws nothing.
        Drag(view, Qt::LeftButton, middle, middle + QPointF(1, 1));

        const TMeasureSet& set = form.Measures();
        QCOMPARE(set.Lines.size(), std::size_t{2});
        QCOMPARE(set.Areas.size(), std::size_t{1});
        QCOMPARE(set.Lines[0].Name, std::string("Line 1"));
        QCOMPARE(set.Lines[1].Name, std::string("Line 2"));
        QCOMPARE(set.Areas[0].Name, std::string("Area 1"));
        QCOMPARE(set.Lines[0].Deck, 0);
        QVERIFY(Near(set.Lines[0].From, {1.2, 0.8}, 1e-6));
        QVERIFY(Near(set.Lines[0].To, {2.0, 1.4}, pixel));
        QVERIFY(Near(set.Lines[1].To, {0.2, 1.4}, pixel));
        QCOMPARE(set.Areas[0].Polygon.size(), std::size_t{4});
        QVERIFY(Near(set.Areas[0].Polygon[0], {0.4, 0.2}, pixel));
        QVERIFY(Near(set.Areas[0].Polygon[2], {1.2, 0.8}, 1e-6));
        // The camera stayed; the view draws the set; the file holds it.
        QCOMPARE(view->Camera().Phi, before.Phi);
        QCOMPARE(view->Camera().Theta, before.Theta);
        QCOMPARE(view->Camera().PanX, before.PanX);
        QCOMPARE(view->SceneInput().Measures, &form.Measures());
        QCOMPARE(FileSet(path), set);

        // On another deck, the new line takes that deck.
        Item(form, "Deckup1")->trigger();
        QCOMPARE(view->CurrentDeck, 1);
        Drag(view, Qt::LeftButton, middle, PixelOf(*view, {2.0, 0.4}));
        QCOMPARE(form.Measures().Lines.size(), std::size_t{3});
        QCOMPARE(form.Measures().Lines[2].Name, std::string("Line 3"));
        QCOMPARE(form.Measures().Lines[2].Deck, 1);
        QVERIFY(Ui_ && Messages_.Messages.empty());
    }

    void OutsideTheModeTheDragsMoveTheCamera() {
        TMainForm& form = Ship(ShipPath());
        TCellView3D* view = form.CellView3D;
        const QPointF middle(view->width() / 2.0, view->height() / 2.0);
        const TCamera before = view->Camera();
        Drag(view, Qt::LeftButton, middle, middle + QPointF(40, 30));
        QCOMPARE(view->Camera().Phi, before.Phi + 40 * TCamera::kRotationPerPixel);
        QCOMPARE(view->Camera().Theta, before.Theta + 30 * TCamera::kRotationPerPixel);
        const TCamera turned = view->Camera();
        Drag(view, Qt::RightButton, middle, middle + QPointF(20, 0));
        QVERIFY(view->Camera().PanX != turned.PanX || view->Camera().PanY != turned.PanY);
        QCOMPARE(view->Camera().Phi, turned.Phi);
        QVERIFY(form.Measures().Empty());
    }

    void ThePanelRenamesMovesDeletesAndUndoes() {
        const QString path = ShipPath();
        TMainForm& form = Ship(path);
        QVERIFY(form.ChangeMeasures(ThreeMeasures()));
        TMeasurePanel* panel = Panel(form);
        QCOMPARE(panel->Items->rowCount(), 3);
        QCOMPARE(panel->Items->item(2, TMeasurePanel::kKindColumn)->text(), QString("Area"));
        QCOMPARE(panel->Items->item(1, TMeasurePanel::kDeckColumn)->text(), QString("B"));
        QCOMPARE(panel->Items->item(0, TMeasurePanel::kSizeColumn)->text(), QString("0.80 m"));
        QCOMPARE(panel->Items->item(2, TMeasurePanel::kSizeColumn)->text(),
                 QString::fromUtf8("0.60 m\u00b2"));

        struct TEdit {
            const char* What;
            std::function<void()> Do;
            std::function<bool(const TMeasureSet&)> Done;
        };
        const std::vector<TEdit> edits = {
            {"rename",
             [&] { panel->Items->item(0, TMeasurePanel::kNameColumn)->setText("Door B"); },
             [](const TMeasureSet& s) { return s.Lines[0].Name == "Door B"; }},
            {"move a line's end",
             [&] {
                 panel->SelectRow(0);
                 QCOMPARE(panel->Points->rowCount(), 2);
                 panel->Points->item(1, TMeasurePanel::kXColumn)->setData(Qt::EditRole, 1.8);
             },
             [](const TMeasureSet& s) {
                 return s.Lines[0].To == TMetrePoint{1.8, 0.6};
             }},
            {"move an area's corner",
             [&] {
                 panel->SelectRow(2);
                 QCOMPARE(panel->Points->rowCount(), 4);
                 panel->Points->item(3, TMeasurePanel::kYColumn)->setData(Qt::EditRole, 1.3);
             },
             [](const TMeasureSet& s) {
                 return s.Areas[0].Polygon[3] == TMetrePoint{0.5, 1.3};
             }},
            {"delete",
             [&] {
                 panel->SelectRow(1);
                 panel->DeleteButton->click();
             },
             [](const TMeasureSet& s) { return s.Lines.size() == 1 && s.Areas.size() == 1; }},
        };
        std::vector<TMeasureSet> states = {form.Measures()};
        for (const TEdit& edit : edits) {
            edit.Do();
            QVERIFY2(edit.Done(form.Measures()), edit.What);
            QVERIFY2(FileSet(path) == form.Measures(), edit.What);
            states.push_back(form.Measures());
        }
        // An emptied name comes back; nothing changes.
        panel->Items->item(0, TMeasurePanel::kNameColumn)->setText("  ");
        QCOMPARE(panel->Items->item(0, TMeasurePanel::kNameColumn)->text(), QString("Door B"));
        QCOMPARE(form.Measures(), states.back());

        // Ctrl+Z takes the changes back one by one, the file following.
        QAction* undo = Item(form, "UndoMeasure1");
        QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        for (std::size_t k = states.size() - 1; k-- > 0;) {
            QVERIFY(undo->isEnabled());
            undo->trigger();
            QCOMPARE(form.Measures(), states[k]);
            QCOMPARE(FileSet(path), states[k]);
        }
        QCOMPARE(panel->Items->item(0, TMeasurePanel::kNameColumn)->text(), QString("Door A"));
        // The first change is taken back too: nothing is left to undo but the empty start.
        undo->trigger();
        QVERIFY(form.Measures().Empty());
        QVERIFY(!undo->isEnabled());
        QVERIFY(!panel->UndoButton->isEnabled());
    }

    void TheFileRoundTripsThroughAReload() {
        const QString path = ShipPath();
        {
            TMainForm& form = Ship(path);
            QVERIFY(form.ChangeMeasures(ThreeMeasures()));
        }
        TMainForm& again = Ship(path);
        QCOMPARE(again.Measures(), ThreeMeasures());
        QCOMPARE(Panel(again)->Items->rowCount(), 3);
        // The first row is chosen, its points shown.
        QCOMPARE(Panel(again)->CurrentRow(), 0);
        QCOMPARE(Panel(again)->Points->rowCount(), 2);
        QVERIFY(Messages_.Messages.empty());
        // Nothing to undo after a load.
        QVERIFY(!Item(again, "UndoMeasure1")->isEnabled());
    }

    // The analysis follows the measurements: loaded with them, and again after a change.
    void TheAnalysisCountsTheLinesAndAreas() {
        const QString path = ShipPath();
        {
            TMainForm& form = Ship(path);
            QVERIFY(form.ChangeMeasures(ThreeMeasures()));
        }
        TMainForm& form = Ship(path);
        QTRY_VERIFY(form.Analysis() != nullptr);
        QVERIFY(form.Analysis()->HasMeasurements);
        QCOMPARE(form.Analysis()->Lines.size() + form.Analysis()->Areas.size(), std::size_t{3});
        TMeasureSet fewer = ThreeMeasures();
        fewer.Lines.pop_back();
        QVERIFY(form.ChangeMeasures(fewer));
        QTRY_VERIFY(form.Analysis() != nullptr);
        QCOMPARE(form.Analysis()->Lines.size(), fewer.Lines.size());
        // Views > Overlay > Exits marks the exits found in the view, and takes them away.
        QVERIFY(!form.Analysis()->Exits.empty());
        QVERIFY(form.CellView3D->Exits().empty());
        Item(form, "OverlayExits1")->trigger();
        QCOMPARE(form.CellView3D->Exits().size(), form.Analysis()->Exits.size());
        Item(form, "OverlayExits1")->trigger();
        QVERIFY(form.CellView3D->Exits().empty());
    }

    void AChangeTheFileCouldNotHoldIsRefused() {
        const QString path = ShipPath();
        TMainForm& form = Ship(path);
        QVERIFY(form.ChangeMeasures(ThreeMeasures()));
        TMeasureSet off = ThreeMeasures();
        off.Lines[0].To = {40.0, 0.6};  // far off the 2.4 m deck
        TMeasureSet zero = ThreeMeasures();
        zero.Lines[1].To = zero.Lines[1].From;
        for (const TMeasureSet& bad : {off, zero}) {
            Messages_.Messages.clear();
            QVERIFY(!form.ChangeMeasures(bad));
            QCOMPARE(form.Measures(), ThreeMeasures());
            QCOMPARE(Messages_.Captions(), std::vector<std::string>{"Warning"});
        }
        QCOMPARE(FileSet(path), ThreeMeasures());
    }

    void ABrokenFileWarnsAndLoadsTheRest() {
        const QString path = ShipPath();
        const QString file = QString::fromStdString(MeasureFilePathFor(path.toStdString()));
        // A good line, a line of zero length, an area on a deck that does not exist.
        test::WriteFile(
            QFileInfo(file).path(), QFileInfo(file).fileName(),
            R"({"lines": [{"name": "Good", "deck": 0, "from": [0.4, 0.4], "to": [1.2, 0.4]},
                                      {"name": "Dot", "deck": 0, "from": [0.4, 0.4], "to": [0.4, 0.4]}],
                            "areas": [{"name": "Nowhere", "deck": 7,
                                       "polygon": [[0.4, 0.4], [1.2, 0.4], [1.2, 1.2], [0.4, 1.2]]}]})");
        TMainForm& form = Ship(path);
        QCOMPARE(form.Measures().Lines.size(), std::size_t{1});
        QCOMPARE(form.Measures().Lines[0].Name, std::string("Good"));
        QVERIFY(form.Measures().Areas.empty());
        QCOMPARE(Messages_.Captions(), std::vector<std::string>{"Warning"});
        const QString text = QString::fromStdString(Messages_.Texts().front());
        QVERIFY2(text.contains("Dot") && text.contains("Nowhere"), qPrintable(text));

        // Not JSON at all: a warning and no measurements; the file stays as it was
        // until the first change.
        test::WriteFile(QFileInfo(file).path(), QFileInfo(file).fileName(), "{\"lines\": [");
        TMainForm& broken = Ship(path);
        QVERIFY(broken.Measures().Empty());
        QCOMPARE(Messages_.Captions(), std::vector<std::string>{"Warning"});
        QFile kept(file);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("{\"lines\": ["));
    }

    void AnImportedProjectKeepsItsFileBesideTheImportedOne() {
        // Two persons walking 2 m east, 10 frames a second, in metres.
        const QString rows = test::WriteFile(
            Files_.path(), "walk.txt",
            "1 0 1.0 1.0\n1 10 2.0 1.0\n1 20 3.0 1.0\n2 0 1.0 2.0\n2 10 2.0 2.0\n2 20 3.0 2.0\n");
        import::TImportOptions options;
        options.Text.Fps = 10;
        options.Text.Unit = import::TLengthUnit::Metre;
        TMainForm& form = NewForm();
        form.LoadLogFile(rows, &options);
        QVERIFY(form.LogFile != nullptr);
        // The source's own metres: a line across both walkers at x = 2 m.
        TMeasureSet set;
        set.Lines = {{"Gate", 0, {2.0, 0.9}, {2.0, 1.9}}};
        QVERIFY2(form.ChangeMeasures(set),
                 Messages_.Messages.empty() ? "" : Messages_.Texts().front().c_str());
        QCOMPARE(FileSet(rows), set);
        QVERIFY(QFile::exists(rows + ".measure.json"));
    }

    void AFileThatCannotBeWrittenIsNamedInAnError() {
        const QString path = ShipPath();
        const QString file = QString::fromStdString(MeasureFilePathFor(path.toStdString()));
        TMainForm& form = Ship(path);
        // A folder where the file would go.
        QVERIFY(QDir().mkpath(file));
        QVERIFY(form.ChangeMeasures(ThreeMeasures()));
        QCOMPARE(Messages_.Captions(), std::vector<std::string>{"Error"});
        QVERIFY(QString::fromStdString(Messages_.Texts().front()).contains(file));
        QVERIFY(QDir(file).removeRecursively());
    }
};

QTEST_MAIN(TestFormMeasure)
#include "test_formmeasure.moc"
