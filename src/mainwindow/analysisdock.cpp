#include "analysisdock.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "analysisrunner.h"
#include "chartparts.h"
#include "summary.h"
#include "ticks.h"

namespace orlex {

namespace {

// A time as the summary writes it ("375.50 s").
QString Seconds(const std::optional<double>& seconds) {
    return QString::fromStdString(SecondsText(seconds));
}

}  // namespace

TAnalysisChartView::TAnalysisChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRenderHint(QPainter::Antialiasing);
    // Room for the title, the axis labels and titles, the legend and a plot area
    // of some 200 pixels.
    setMinimumSize(kChartMinimumWidth, kChartMinimumHeight);
}

void TAnalysisChartView::mousePressEvent(QMouseEvent* event) {
    const QPointF scene = mapToScene(event->position().toPoint());
    const QPointF at = chart()->mapFromScene(scene);
    if (event->button() == Qt::LeftButton && chart()->plotArea().contains(at) &&
        !chart()->series().isEmpty()) {
        emit TimeClicked(chart()->mapToValue(at, chart()->series().front()).x());
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

// At most kMaxCurvePoints corners, however many changes the curve has; times in the
// axis's unit.
QList<QPointF> StairPoints(const TAnalysisResult& result, const TStepCurve& curve, int64_t end,
                           const TTimeUnit& unit) {
    QList<QPointF> points;
    for (const TStairPoint& p : curve.Stairs(end)) {
        points.append({result.TimeOfStep(p.Step) / unit.Seconds, static_cast<double>(p.Value)});
    }
    return points;
}

TAnalysisPanel::TAnalysisPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    State_ = new QLabel(this);
    layout->addWidget(State_);
    // One page each: a chart always has the panel's whole height, however small
    // the window, and the table's texts its whole width.
    Tabs_ = new QTabWidget(this);
    Tabs_->setObjectName(QStringLiteral("AnalysisTabs"));
    Curve_ = new TAnalysisChartView(
        NewChart(QStringLiteral("Evacuation curve"), QStringLiteral("Saved persons")), Tabs_);
    Occupancy_ = new TAnalysisChartView(
        NewChart(QStringLiteral("Persons on each deck"), QStringLiteral("Persons")), Tabs_);
    Summary_ = new QTableWidget(0, 2, Tabs_);
    Summary_->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Value")});
    Summary_->verticalHeader()->hide();
    Summary_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    Summary_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    Summary_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Summary_->setTextElideMode(Qt::ElideNone);
    Summary_->setWordWrap(true);
    Summary_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const auto page = [this](TAnalysisChartView* view, QLabel*& legend) {
        auto* widget = new QWidget(Tabs_);
        auto* column = new QVBoxLayout(widget);
        column->setContentsMargins(0, 0, 0, 0);
        view->setParent(widget);
        column->addWidget(view, 1);
        legend = new QLabel(widget);
        legend->setTextFormat(Qt::RichText);
        legend->setWordWrap(true);
        legend->setContentsMargins(8, 0, 8, 4);
        column->addWidget(legend);
        return widget;
    };
    Tabs_->addTab(page(Curve_, CurveLegend_), QStringLiteral("Evacuation"));
    Tabs_->addTab(page(Occupancy_, OccupancyLegend_), QStringLiteral("Decks"));
    Tabs_->addTab(Summary_, QStringLiteral("Summary"));
    Flows_ = std::make_unique<TFlowPages>(Tabs_);
    layout->addWidget(Tabs_, 1);
    connect(Curve_, &TAnalysisChartView::TimeClicked, this, &TAnalysisPanel::TimeClicked);
    connect(Occupancy_, &TAnalysisChartView::TimeClicked, this, &TAnalysisPanel::TimeClicked);
    Clear();
}

QString TAnalysisPanel::LegendText(const QChart* chart) {
    QStringList items;
    for (const QAbstractSeries* series : chart->series()) {
        // A line's pen or a scatter's fill.
        const auto* xy = qobject_cast<const QXYSeries*>(series);
        const QColor color = xy != nullptr ? xy->color() : QColor(Qt::black);
        // No break inside an item: a marker stays with its name.
        items << QStringLiteral(
                     "<span style='white-space:nowrap'><span style='color:%1'>"
                     "&#9632;</span>&nbsp;%2</span>")
                     .arg(color.name(), series->name().toHtmlEscaped());
    }
    return items.join(QStringLiteral(" &nbsp; "));
}

void TAnalysisPanel::ShowCharts(bool shown) {
    Curve_->setEnabled(shown);
    Occupancy_->setEnabled(shown);
}

void TAnalysisPanel::Clear() {
    Result_.reset();
    EvacuationChart()->setTitle(QStringLiteral("Evacuation curve"));
    CurveNow_ = OccupancyNow_ = nullptr;
    ClearChart(EvacuationChart());
    ClearChart(OccupancyChart());
    Summary_->setRowCount(0);
    if (Flows_) Flows_->Clear();
    CurveLegend_->clear();
    OccupancyLegend_->clear();
    State_->setText(QStringLiteral("Not analysed yet"));
    ShowCharts(false);
}

void TAnalysisPanel::SetAnalysing(int percent) {
    if (Result_) Clear();
    State_->setText(TAnalysisRunner::ProgressText(percent));
}

void TAnalysisPanel::SetResult(std::shared_ptr<const TAnalysisResult> result,
                               const QStringList& captions) {
    Clear();
    if (!result) return;
    Result_ = std::move(result);
    Timeline_ = {Result_->StepsPerSecond, Result_->TimeOffset,
                 static_cast<int>(std::clamp<int64_t>(Result_->LastStep + 1, 0, INT32_MAX))};
    FillEvacuation();
    FillOccupancy(captions);
    FillSummary(captions);
    Flows_->SetResult(*Result_, captions);
    State_->setText(Result_->Persons == 1
                        ? QStringLiteral("Analysis of 1 person")
                        : QStringLiteral("Analysis of %1 persons").arg(Result_->Persons));
    ShowCharts(true);
    SetCurrentTime(Result_->TimeOfStep(0));
}

void TAnalysisPanel::FillEvacuation() {
    const TAnalysisResult& r = *Result_;
    QChart* chart = EvacuationChart();
    auto* saved = new QLineSeries;
    saved->setName(QStringLiteral("Saved persons"));
    const TTimeUnit unit = TimeUnitOf(&r, Timeline_);
    saved->replace(StairPoints(r, r.Saved, Timeline_.End, unit));
    Attach(chart, saved);
    YMaxCurve_ = std::max(1, r.Persons);
    // The figures go into the title, so that the legend stays short enough to read
    // whole in a narrow panel.
    QStringList figures;
    if (r.EvacuationTime) {
        VerticalLine(chart, QStringLiteral("Evacuation time"), *r.EvacuationTime / unit.Seconds,
                     YMaxCurve_, Qt::darkRed, Qt::DashLine);
        figures << QStringLiteral("evacuation time %1").arg(Seconds(r.EvacuationTime));
    }
    if (r.ExitStats) {
        VerticalLine(chart, QStringLiteral("p95"), r.ExitStats->P95 / unit.Seconds, YMaxCurve_,
                     Qt::darkYellow, Qt::DashLine);
        figures << QStringLiteral("p95 %1").arg(Seconds(r.ExitStats->P95));
    }
    if (!r.Complete()) figures << QStringLiteral("incomplete run, %1 tracks cut").arg(r.CutTracks);
    chart->setTitle(figures.isEmpty()
                        ? QStringLiteral("Evacuation curve")
                        : QStringLiteral("Evacuation curve: %1").arg(figures.join(", ")));
    CurveNow_ = VerticalLine(chart, QStringLiteral("Current time"), r.TimeOfStep(0) / unit.Seconds,
                             YMaxCurve_, Qt::black, Qt::SolidLine);
    SetRanges(chart, r.TimeOfStep(0) / unit.Seconds, r.TimeOfStep(Timeline_.End) / unit.Seconds,
              YMaxCurve_, unit);
    CurveLegend_->setText(LegendText(chart));
}

void TAnalysisPanel::FillOccupancy(const QStringList& captions) {
    const TAnalysisResult& r = *Result_;
    QChart* chart = OccupancyChart();
    YMaxOccupancy_ = 1;
    const TTimeUnit unit = TimeUnitOf(&r, Timeline_);
    std::vector<std::string> names;
    for (const QString& caption : captions) names.push_back(caption.toStdString());
    for (std::size_t z = 0; z < r.Occupancy.size(); ++z) {
        auto* deck = new QLineSeries;
        deck->setName(QString::fromStdString(DeckLabel(names, static_cast<int>(z))));
        deck->replace(StairPoints(r, r.Occupancy[z], Timeline_.End, unit));
        for (int v : r.Occupancy[z].Values) YMaxOccupancy_ = std::max<double>(YMaxOccupancy_, v);
        Attach(chart, deck);
    }
    OccupancyNow_ =
        VerticalLine(chart, QStringLiteral("Current time"), r.TimeOfStep(0) / unit.Seconds,
                     YMaxOccupancy_, Qt::black, Qt::SolidLine);
    SetRanges(chart, r.TimeOfStep(0) / unit.Seconds, r.TimeOfStep(Timeline_.End) / unit.Seconds,
              YMaxOccupancy_, unit);
    OccupancyLegend_->setText(LegendText(chart));
}

void TAnalysisPanel::AddRow(const QString& name, const QString& value) {
    const int row = Summary_->rowCount();
    Summary_->insertRow(row);
    Summary_->setItem(row, 0, new QTableWidgetItem(name));
    Summary_->setItem(row, 1, new QTableWidgetItem(value));
}

void TAnalysisPanel::FillSummary(const QStringList& captions) {
    std::vector<std::string> names;
    for (const QString& caption : captions) names.push_back(caption.toStdString());
    for (const TSummaryRow& row : SummaryRows(*Result_, names))
        AddRow(QString::fromStdString(row.Name), QString::fromStdString(row.Value));
    for (const TSummaryRow& row : MeasurementSummaryRows(*Result_, names))
        AddRow(QString::fromStdString(row.Name), QString::fromStdString(row.Value));
}

QStringList TAnalysisPanel::SummaryLines() const {
    QStringList lines;
    for (int row = 0; row < Summary_->rowCount(); ++row)
        lines << Summary_->item(row, 0)->text() + QStringLiteral(": ") +
                     Summary_->item(row, 1)->text();
    return lines;
}

void TAnalysisPanel::SetCurrentTime(double seconds) {
    const double x = seconds / TimeUnitOf(Result_.get(), Timeline_).Seconds;
    if (CurveNow_) CurveNow_->replace({{x, 0}, {x, YMaxCurve_}});
    if (OccupancyNow_) OccupancyNow_->replace({{x, 0}, {x, YMaxOccupancy_}});
}

void TAnalysisPanel::TimeClicked(double x) {
    // The charts' x runs in the time axes' unit.
    if (Result_)
        emit SeekRequested(Timeline_.FirstStepAt(x * TimeUnitOf(Result_.get(), Timeline_).Seconds));
}

}  // namespace orlex
