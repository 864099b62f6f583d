// The "Analysis" panel: the evacuation and occupancy charts with the current time
// marked, and the summary table of the analysis, on pages of their own.
#pragma once

#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>
#include <memory>

#include "flowpages.h"
#include "result.h"
#include "timenavigation.h"

namespace orlex {

// The smallest chart view: its plot area stays some 200 pixels high.
inline constexpr int kChartMinimumWidth = 320;
inline constexpr int kChartMinimumHeight = 300;

// A chart view that reports clicks inside its plot area as a time in seconds.
class TAnalysisChartView : public QChartView {
    Q_OBJECT
public:
    explicit TAnalysisChartView(QChart* chart, QWidget* parent = nullptr);
signals:
    void TimeClicked(double seconds);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TAnalysisPanel : public QWidget {
    Q_OBJECT
public:
    explicit TAnalysisPanel(QWidget* parent = nullptr);

    // Shows a result; captions name the decks (missing ones read "Deck z").
    void SetResult(std::shared_ptr<const TAnalysisResult> result, const QStringList& captions);
    // Back to "Not analysed yet".
    void Clear();
    // Shows "Analysing... 42 %" until the next SetResult or Clear.
    void SetAnalysing(int percent);
    // Moves the vertical current-time line of both charts.
    void SetCurrentTime(double seconds);

    const TAnalysisResult* Result() const { return Result_.get(); }
    QString StateText() const { return State_->text(); }
    QChart* EvacuationChart() const { return Curve_->chart(); }
    QChart* OccupancyChart() const { return Occupancy_->chart(); }
    TAnalysisChartView* EvacuationView() const { return Curve_; }
    TAnalysisChartView* OccupancyView() const { return Occupancy_; }
    QTableWidget* Summary() const { return Summary_; }
    QTabWidget* Pages() const { return Tabs_; }
    // The pages of the exits and measurements.
    const TFlowPages& Flows() const { return *Flows_; }
    // The rows of the summary table as "name: value" texts.
    QStringList SummaryLines() const;
    // The legends below the charts, as rich text.
    QString EvacuationLegend() const { return CurveLegend_->text(); }
    QString OccupancyLegend() const { return OccupancyLegend_->text(); }
    // A legend of chart's series: a square in each series' colour and its name.
    static QString LegendText(const QChart* chart);

signals:
    // A click in a chart: the first step counter at the clicked time.
    void SeekRequested(int step);

private:
    void TimeClicked(double seconds);
    void FillEvacuation();
    void FillOccupancy(const QStringList& captions);
    void FillSummary(const QStringList& captions);
    void AddRow(const QString& name, const QString& value);
    void ShowCharts(bool shown);

    std::shared_ptr<const TAnalysisResult> Result_;
    TTimeline Timeline_;
    QLabel* State_ = nullptr;
    QTabWidget* Tabs_ = nullptr;
    TAnalysisChartView* Curve_ = nullptr;
    TAnalysisChartView* Occupancy_ = nullptr;
    QLabel* CurveLegend_ = nullptr;
    QLabel* OccupancyLegend_ = nullptr;
    QTableWidget* Summary_ = nullptr;
    std::unique_ptr<TFlowPages> Flows_;
    QLineSeries* CurveNow_ = nullptr;
    QLineSeries* OccupancyNow_ = nullptr;
    double YMaxCurve_ = 1;
    double YMaxOccupancy_ = 1;
};

// The step curve as a staircase of points (time in seconds, value), ending at the
// time of step end.
QList<QPointF> StairPoints(const TAnalysisResult& result, const TStepCurve& curve, int64_t end);
}  // namespace orlex
