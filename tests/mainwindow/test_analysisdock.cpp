// The analysis panel: its series against the analysis of the example, the deck
// series by caption, the current-time line, a click seeking, the summary table
// and its states.
#include <QLineSeries>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "analysis.h"
#include "analysisdock.h"
#include "projects.h"

using namespace orlex;
using orlex::test::LoadText;

namespace {

std::shared_ptr<const TAnalysisResult> Analyse(const std::string& text) {
    const auto loaded = LoadText(text);
    return TEvacuationAnalysis(*loaded.Project, {}).Run();
}

QLineSeries* Series(QChart* chart, int i) {
    return qobject_cast<QLineSeries*>(chart->series().at(i));
}

QStringList Names(QChart* chart) {
    QStringList names;
    for (QAbstractSeries* s : chart->series()) names << s->name();
    return names;
}

QPoint PixelOf(TAnalysisChartView* view, QPointF value) {
    const QPointF scene =
        view->chart()->mapToScene(view->chart()->mapToPosition(value, view->chart()->series()[0]));
    return view->mapFromScene(scene);
}

}  // namespace

class TestAnalysisDock : public QObject {
    Q_OBJECT

private slots:
    // The example: 2 steps a second from 30 s; the persons leave at 32.0 and 32.5 s.
    void EvacuationSeries() {
        TAnalysisPanel panel;
        panel.SetResult(Analyse(orlex::test::kExampleFile), {"Main deck"});
        QChart* chart = panel.EvacuationChart();
        QCOMPARE(Names(chart),
                 (QStringList{"Saved persons", "Evacuation time", "p95", "Current time"}));
        QCOMPARE(chart->title(), QString("Evacuation curve: evacuation time 32.50 s, p95 32.50 s"));
        const QList<QPointF> saved{{30, 0}, {32, 0}, {32, 1}, {32.5, 1}, {32.5, 2}};
        QCOMPARE(Series(chart, 0)->points(), saved);
        QCOMPARE(Series(chart, 1)->points(), (QList<QPointF>{{32.5, 0}, {32.5, 2}}));
        QCOMPARE(Names(panel.OccupancyChart()), (QStringList{"Main deck", "Current time"}));
        QCOMPARE(Series(panel.OccupancyChart(), 0)->points(),
                 (QList<QPointF>{{30, 2}, {32, 2}, {32, 1}, {32.5, 1}, {32.5, 0}}));
        QCOMPARE(panel.StateText(), QString("Analysis of 2 persons"));
    }

    void OneSeriesPerDeckByCaption() {
        TAnalysisPanel panel;
        const auto text = orlex::test::ProjectText({"Lower", "Upper", "Top"}, 1, {"P2x0S"});
        panel.SetResult(Analyse(text), {"Lower", "", "Top"});
        QCOMPARE(Names(panel.OccupancyChart()),
                 (QStringList{"Lower", "Deck 1", "Top", "Current time"}));
        // Nobody ever stands on the upper decks.
        for (int z : {1, 2})
            for (const QPointF& p : Series(panel.OccupancyChart(), z)->points())
                QCOMPARE(p.y(), 0.0);
    }

    void CurrentTimeLineFollows() {
        TAnalysisPanel panel;
        panel.SetResult(Analyse(orlex::test::kExampleFile), {});
        panel.SetCurrentTime(31.5);
        QCOMPARE(Series(panel.EvacuationChart(), 3)->points(),
                 (QList<QPointF>{{31.5, 0}, {31.5, 2}}));
        QCOMPARE(Series(panel.OccupancyChart(), 1)->points(),
                 (QList<QPointF>{{31.5, 0}, {31.5, 2}}));
    }

    void ClickSeeks() {
        TAnalysisPanel panel;
        panel.resize(900, 700);
        panel.SetResult(Analyse(orlex::test::kExampleFile), {});
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QSignalSpy seeks(&panel, &TAnalysisPanel::SeekRequested);
        const struct {
            TAnalysisChartView* View;
            double Seconds;
            int Step;
        } rows[] = {
            {panel.EvacuationView(), 30.8, 2},  // the first step shown at 31 s or later
            {panel.EvacuationView(), 32.3, 5},  // past the last second shown: the end
            {panel.OccupancyView(), 31.6, 4},   // the other chart seeks the same way
        };
        for (const auto& row : rows) {
            seeks.clear();
            QTest::mouseClick(row.View->viewport(), Qt::LeftButton, {},
                              PixelOf(row.View, {row.Seconds, 1}));
            QCOMPARE(seeks.count(), 1);
            QCOMPARE(seeks.at(0).at(0).toInt(), row.Step);
        }
        // Outside the plot area nothing happens.
        seeks.clear();
        QTest::mouseClick(panel.EvacuationView()->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(seeks.count(), 0);
    }

    void SummaryTable() {
        TAnalysisPanel panel;
        panel.SetResult(Analyse(orlex::test::kExampleFile), {"Main deck"});
        const QStringList lines = panel.SummaryLines();
        QCOMPARE(lines.mid(0, 7),
                 (QStringList{"Persons: 2", "Evacuation time: 32.50 s", "Exit time min: 32.00 s",
                              "Exit time mean: 32.25 s", "Exit time p50: 32.50 s",
                              "Exit time p95: 32.50 s", "Exit time max: 32.50 s"}));
        QVERIFY(lines.at(7).startsWith("Peak density: "));
        QVERIFY(lines.at(7).contains("on Main deck, row "));
        QVERIFY(lines.contains("Congested cells, Main deck: 0"));
        // Then the exits and when each deck is clear.
        QVERIFY2(lines.filter("Exits").size() == 1, qPrintable(lines.join('\n')));
        QCOMPARE(lines.last(), QString("Clear, Main deck: 32.50 s"));
    }

    void States() {
        TAnalysisPanel panel;
        QCOMPARE(panel.StateText(), QString("Not analysed yet"));
        panel.SetAnalysing(42);
        QCOMPARE(panel.StateText(), QString("Analysing... 42 %"));
        panel.SetResult(Analyse(orlex::test::kExampleFile), {});
        QVERIFY(panel.Result());
        panel.SetAnalysing(3);
        QVERIFY(!panel.Result());
        QVERIFY(panel.EvacuationChart()->series().isEmpty());
        panel.SetResult(nullptr, {});
        QCOMPARE(panel.StateText(), QString("Not analysed yet"));
        QCOMPARE(panel.Summary()->rowCount(), 0);
        // A click without a result seeks nowhere.
        QSignalSpy seeks(&panel, &TAnalysisPanel::SeekRequested);
        panel.SetCurrentTime(5);
        QCOMPARE(seeks.count(), 0);
    }
};

QTEST_MAIN(TestAnalysisDock)
#include "test_analysisdock.moc"
