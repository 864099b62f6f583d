// The window's layout: the analysis dock readable at 1600 x 1200 and 1280 x 800,
// its place kept across runs, "Reset view" framing the deck from above, and the
// keys and mouse list covering every shortcut of the window.
#include <QChart>
#include <QDockWidget>
#include <QHeaderView>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QtTest>

#include "analysisdock.h"
#include "cellview3d.h"
#include "formfixture.h"
#include "keysform.h"

using namespace orlex;

class TestFormLayout : public QObject, public test::TFormFixture {
    Q_OBJECT

    // Three decks with long captions; persons leave over 60 s.
    QString Ship() {
        return Project(
            "ship.3dl",
            {"Deck 1 - Crew and Machinery", "Deck 2 - Muster Stations", "Deck 3 - Suites"}, 2,
            {"P120x0S", "P40x0S", "P80x0S"}, 0);
    }
    QDockWidget* Dock(TMainForm& form) { return test::Part<QDockWidget>(form, "Dock_Analysis"); }
    TMainForm& Shown(const QSize& size) {
        TMainForm& form = Loaded(Ship());
        form.resize(size);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) qWarning("window not exposed");
        test::Part<QAction>(form, "AnalysisPanel1")->trigger();
        return form;
    }

private slots:
    void initTestCase() { QVERIFY(Files_.isValid()); }
    void init() { test::ClearSettings(); }
    void cleanup() { DropForm(); }

    void DockChartsAndTableReadWhole_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1600 x 1200") << QSize(1600, 1200);
        QTest::newRow("1280 x 800") << QSize(1280, 800);
    }
    void DockChartsAndTableReadWhole() {
        QFETCH(QSize, size);
        TMainForm& form = Shown(size);
        QTRY_VERIFY(form.Analysis() != nullptr);
        auto* panel = test::Part<TAnalysisPanel>(form, "AnalysisPanel");
        QVERIFY(Dock(form)->isVisible());
        QCOMPARE(form.dockWidgetArea(Dock(form)), Qt::RightDockWidgetArea);
        // The view keeps most of the window.
        QVERIFY(form.CellView3D->width() >= size.width() / 2);
        for (TAnalysisChartView* view : {panel->EvacuationView(), panel->OccupancyView()}) {
            panel->Pages()->setCurrentWidget(view->parentWidget());
            QTRY_VERIFY(view->isVisible());
            QTRY_VERIFY2(
                view->chart()->plotArea().height() >= 180,
                qPrintable(
                    QString("plot area %1 px high").arg(view->chart()->plotArea().height())));
            QVERIFY(view->chart()->plotArea().width() >= 180);
        }
        // The legends name every deck whole.
        for (const char* caption :
             {"Deck 1 - Crew and Machinery", "Deck 2 - Muster Stations", "Deck 3 - Suites"})
            QVERIFY2(panel->OccupancyLegend().contains(caption), caption);
        QVERIFY(panel->EvacuationLegend().contains("Saved persons"));
        // Every figure's name shows whole in its column.
        QTableWidget* table = panel->Summary();
        panel->Pages()->setCurrentWidget(table);
        QTRY_VERIFY(table->isVisible());
        const QFontMetrics metrics(table->font());
        for (int row = 0; row < table->rowCount(); ++row) {
            const QString name = table->item(row, 0)->text();
            QVERIFY2(table->columnWidth(0) >= metrics.horizontalAdvance(name), qPrintable(name));
        }
        QVERIFY(table->rowCount() >= 10);
    }

    void AxesHaveRoundTicksAndUnits() {
        TMainForm& form = Shown({1600, 1200});
        QTRY_VERIFY(form.Analysis() != nullptr);
        auto* panel = test::Part<TAnalysisPanel>(form, "AnalysisPanel");
        for (QChart* chart : {panel->EvacuationChart(), panel->OccupancyChart()}) {
            auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
            auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
            QCOMPARE(x->titleText(), QString("Time (s)"));
            QVERIFY(y->titleText().contains("ersons"));
            for (QValueAxis* axis : {x, y}) {
                QCOMPARE(axis->tickType(), QValueAxis::TicksDynamic);
                const double step = axis->tickInterval();
                const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
                QVERIFY2(qFuzzyCompare(mantissa, 1) || qFuzzyCompare(mantissa, 2) ||
                             qFuzzyCompare(mantissa, 2.5) || qFuzzyCompare(mantissa, 5),
                         qPrintable(QString::number(step)));
                QVERIFY(std::fabs(std::remainder(axis->max(), step)) < 1e-9 * step);
            }
            // The persons leave by 60.5 s: the time axis ends on a round value at or after it.
            QVERIFY(x->max() >= 60.5);
        }
    }

    void DockPlaceIsKept() {
        {
            TMainForm& form = Shown({1280, 800});
            QTRY_VERIFY(Dock(form)->isVisible());
            form.resizeDocks({Dock(form)}, {500}, Qt::Horizontal);
            QTRY_COMPARE(Dock(form)->width(), 500);
            form.close();
        }
        DropForm();
        TMainForm& again = NewForm();
        again.resize(1280, 800);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QTRY_VERIFY(Dock(again)->isVisible());
        QTRY_VERIFY(std::abs(Dock(again)->width() - 500) <= 8);
    }

    void ResetViewFramesTheDeckFromAbove() {
        TMainForm& form = Loaded(Ship());
        form.resize(900, 600);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TCamera& camera = form.CellView3D->Camera();
        camera.Phi = 1.3;
        camera.Theta = 0.8;
        camera.PanX = 500;
        form.CellView3D->SetDistance(4000);
        auto* reset = test::Part<QAction>(form, "ResetView1");
        QCOMPARE(reset->shortcut(), QKeySequence(Qt::Key_R));
        reset->trigger();
        QCOMPARE(camera.Theta, 0.0);
        QCOMPARE(camera.Phi, 0.0);
        QVERIFY(std::fabs(camera.PanX) <= 0.5);
        QVERIFY(camera.Distance > 1.1 && camera.Distance < 50);
        // In the Views menu, after the menu's own items.
        QVERIFY(Ui().Views1->actions().contains(reset));
    }

    void KeysListCoversEveryShortcut() {
        TMainForm& form = Loaded(Ship());
        const QList<TKeyGroup> groups = form.KeyGroups();
        QStringList listed;
        for (const TKeyGroup& group : groups) {
            for (const TKeyRow& row : group.Rows) listed << row.Keys;
        }
        QStringList shortcuts;
        for (QAction* action : form.findChildren<QAction*>()) {
            const QString key = action->shortcut().toString(QKeySequence::NativeText);
            if (key.isEmpty()) continue;
            QVERIFY2(listed.contains(key), qPrintable(key + " " + action->text()));
            QVERIFY2(!shortcuts.contains(key), qPrintable("twice: " + key));
            shortcuts << key;
        }
        for (const char* key :
             {"Ctrl+G", "Ctrl+E", "F", "Esc", "PgUp", "PgDown", "Home", "End", "R"})
            QVERIFY2(listed.contains(key), key);
        QString text = TKeysForm::Html(groups);
        for (const char* words :
             {"Left drag", "Right drag", "Wheel", "Speed box", "Trails of everyone"})
            QVERIFY2(text.contains(words), words);
        // The list has its own item after the quick reference's.
        auto* keys = test::Part<QAction>(form, "KeysAndMouse1");
        QCOMPARE(Ui().Help1->actions().last(), keys);
        QCOMPARE(Ui().Help1->actions().first(), Ui().Help2);
    }

    void KeysWindowFitsItsText() {
        TKeysForm form;
        form.SetGroups({{"File", {{"Ctrl+L", "Load logfile"}}},
                        {"Empty", {}},
                        {"Mouse", {{"Left drag", "Rotate the view about the point looked at"}}}});
        QVERIFY(!form.Text().contains("Empty"));
        auto* list = test::Part<QLabel>(form, "KeysList");
        QVERIFY(form.width() >= list->sizeHint().width());
        QVERIFY(form.height() >= list->sizeHint().height());
    }

    void KeysWindowShowsTheWholeListWithoutScrolling() {
        TMainForm& main = Loaded(Ship());
        TKeysForm form;
        form.SetGroups(main.KeyGroups());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* scroll = test::Part<QScrollArea>(form, "KeysScroll");
        QVERIFY(!scroll->verticalScrollBar()->isVisible());
        QVERIFY(!scroll->horizontalScrollBar()->isVisible());
    }
};

QTEST_MAIN(TestFormLayout)
#include "test_formlayout.moc"
