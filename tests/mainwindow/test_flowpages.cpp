// The analysis panel's pages of exits and measurements, on a result made by hand:
// the exits table with an exit above the guidelines' specific flow marked, the deck
// clear times, the N-t staircase, the flows, the areas' density and speed, and the
// fundamental diagram's points.
#include <QLineSeries>
#include <QScatterSeries>
#include <QTest>

#include "analysisdock.h"

using namespace orlex;

namespace {

std::shared_ptr<TAnalysisResult> Made() {
    auto r = std::make_shared<TAnalysisResult>();
    r->StepsPerSecond = 1;
    r->Persons = 4;
    r->Decks = 1;
    r->LastStep = 19;
    r->Settings.FlowWindow = 10;
    r->HasMeasurements = true;
    r->LastOccupiedSteps = {18};
    TExitResult wide;
    wide.Name = "Exit at x 1.0 m, y 2.0 m, Deck 0 - Main";
    wide.Cells = {{0, 1, 0}, {0, 2, 0}};
    wide.Width = 0.8;
    wide.Times = {5, 6};
    wide.PeakFlow = 0.2;
    wide.PeakSpecificFlow = 0.25;
    TExitResult narrow = wide;
    narrow.Name = "Exit at x 9.0 m, y 2.0 m, Deck 0 - Main";
    narrow.Width = 0.1;
    narrow.PeakSpecificFlow = 2.0;
    r->Exits = {wide, narrow};
    TLineResult line;
    line.Name = "Door A";
    line.Length = 1.6;
    line.CrossingTimes = {3, 4, 4};
    line.PeakFlow = 0.3;
    line.PeakSpecificFlow = 0.1875;
    r->Lines = {line};
    TAreaResult area;
    area.Name = "Queue";
    area.Area = 2;
    area.Count = {0, 2, 4, 1};
    area.Speed = {std::nullopt, 1.0, 0.5, std::nullopt};
    r->Areas = {area};
    return r;
}

QList<QPointF> Points(QChart* chart, int i) {
    return qobject_cast<QXYSeries*>(chart->series().at(i))->points();
}

}  // namespace

class TestFlowPages : public QObject {
    Q_OBJECT

private slots:
    void ExitsTableAndClearTimes() {
        TAnalysisPanel panel;
        panel.SetResult(Made(), {"Main"});
        const QTableWidget* exits = panel.Flows().Exits();
        QCOMPARE(exits->rowCount(), 2);
        QCOMPARE(exits->item(0, 0)->text(), QString("E1 Exit at x 1.0 m, y 2.0 m, Deck 0 - Main"));
        QCOMPARE(exits->item(0, 1)->text(), QString("2"));
        QCOMPARE(exits->item(0, 2)->text(), QString("0.80"));
        QCOMPARE(exits->item(0, 6)->text(), QString("0.25"));
        QCOMPARE(exits->item(1, 6)->text(), QString("2.00 (above)"));
        QVERIFY(exits->item(0, 6)->toolTip().isEmpty());
        QVERIFY(exits->item(1, 0)->toolTip().contains("1.33"));
        const QString note = panel.Flows().ExitsNote();
        QVERIFY2(note.contains("1 of them above 1.33 persons/(m·s)"), qPrintable(note));
        QVERIFY2(note.contains("Decks clear at: Main: 19.00 s"), qPrintable(note));
    }

    void LinesCountEachCrossing() {
        TAnalysisPanel panel;
        panel.SetResult(Made(), {"Main"});
        QCOMPARE(panel.Flows().Lines()->item(0, 2)->text(), QString("3"));
        const QList<QPointF> nt{{0, 0}, {3, 0}, {3, 1}, {4, 1}, {4, 2}, {4, 2}, {4, 3}, {20, 3}};
        QCOMPARE(Points(panel.Flows().CrossingChart(), 0), nt);
        // Flows of both exits (solid) and of the line (dashed), at 10 s windows.
        QChart* flow = panel.Flows().FlowChart();
        QCOMPARE(flow->series().size(), 3);
        const QList<QPointF> door = Points(flow, 2);
        QCOMPARE(door.at(4), QPointF(4, 0.3));
        QCOMPARE(door.at(14), QPointF(14, 0.0));
    }

    void AreasAndTheFundamentalDiagram() {
        TAnalysisPanel panel;
        panel.SetResult(Made(), {"Main"});
        QCOMPARE(Points(panel.Flows().DensityChart(), 0),
                 (QList<QPointF>{{0, 0}, {1, 1}, {2, 2}, {3, 0.5}}));
        QCOMPARE(Points(panel.Flows().SpeedChart(), 0), (QList<QPointF>{{1, 1.0}, {2, 0.5}}));
        QCOMPARE(Points(panel.Flows().SpeedDiagram(), 0), (QList<QPointF>{{1, 1.0}, {2, 0.5}}));
        QCOMPARE(Points(panel.Flows().FlowDiagram(), 0), (QList<QPointF>{{1, 1.0}, {2, 1.0}}));
        QVERIFY(qobject_cast<QScatterSeries*>(panel.Flows().SpeedDiagram()->series().at(0)));
    }

    void WithoutMeasurementsThePagesSaySo() {
        auto r = Made();
        r->HasMeasurements = false;
        TAnalysisPanel panel;
        panel.SetResult(r, {});
        QCOMPARE(panel.Flows().Exits()->rowCount(), 0);
        QCOMPARE(panel.Flows().ExitsNote(), QString("The exits were not analysed."));
        QVERIFY(panel.Flows().FlowChart()->series().isEmpty());
        panel.SetResult(Made(), {});
        panel.Clear();
        QCOMPARE(panel.Flows().Exits()->rowCount(), 0);
        QVERIFY(panel.Flows().DensityChart()->series().isEmpty());
    }
};

QTEST_MAIN(TestFlowPages)
#include "test_flowpages.moc"
