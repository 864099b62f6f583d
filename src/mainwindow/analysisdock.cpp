#include "analysisdock.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "analysisrunner.h"

namespace orlex {

namespace {

QString Seconds(double seconds) {
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2);
}

QString Seconds(const std::optional<double>& seconds) {
    return seconds ? Seconds(*seconds) : QStringLiteral("-");
}

QChart* NewChart(const QString& title, const QString& yTitle) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("Time (s)"));
    x->setLabelFormat(QStringLiteral("%.0f"));
    auto* y = new QValueAxis;
    y->setTitleText(yTitle);
    y->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    return chart;
}

void Attach(QChart* chart, QAbstractSeries* series) {
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes()) series->attachAxis(axis);
}

QLineSeries* VerticalLine(QChart* chart, const QString& name, double x, double yMax,
                          const QColor& color, Qt::PenStyle style) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->append(x, 0);
    line->append(x, yMax);
    line->setPen(QPen(color, 1.5, style));
    Attach(chart, line);
    return line;
}

void ClearChart(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) axis->setRange(0, 1);
}

void SetRanges(QChart* chart, double x0, double x1, double yMax) {
    // A little room after the end, so the last step and the markers stay in sight;
    // round ticks so the labels read true.
    auto* x = static_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
    auto* y = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    x->setRange(x0, x0 + std::max(x1 - x0, 1.0) * 1.05);
    x->applyNiceNumbers();
    x->setLabelFormat(x->max() - x->min() < 10 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
    y->setRange(0, std::max(yMax, 1.0) * 1.05);
    y->applyNiceNumbers();
    y->setLabelFormat(y->max() < 10 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
}

}  // namespace

TAnalysisChartView::TAnalysisChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(240, 160);
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

QList<QPointF> StairPoints(const TAnalysisResult& result, const TStepCurve& curve, int64_t end) {
    QList<QPointF> points;
    for (std::size_t i = 0; i < curve.Steps.size(); ++i) {
        const double t = result.TimeOfStep(curve.Steps[i]);
        if (i > 0) points.append({t, static_cast<double>(curve.Values[i - 1])});
        points.append({t, static_cast<double>(curve.Values[i])});
    }
    const double last = result.TimeOfStep(std::max<int64_t>(end, curve.Steps.back()));
    if (last > points.back().x()) points.append({last, points.back().y()});
    return points;
}

void PaintChart(QChart* chart, QPainter& painter, const QRectF& target, QSizeF size) {
    chart->resize(size);
    chart->scene()->render(&painter, target, chart->sceneBoundingRect());
}

QString DeckName(const QStringList& captions, int z) {
    if (z < captions.size() && !captions[z].isEmpty()) return captions[z];
    return QStringLiteral("Deck %1").arg(z);
}

TAnalysisPanel::TAnalysisPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    State_ = new QLabel(this);
    layout->addWidget(State_);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* charts = new QWidget(splitter);
    auto* chartLayout = new QVBoxLayout(charts);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    Curve_ = new TAnalysisChartView(
        NewChart(QStringLiteral("Evacuation curve"), QStringLiteral("Saved persons")), charts);
    Occupancy_ = new TAnalysisChartView(
        NewChart(QStringLiteral("Occupancy of the decks"), QStringLiteral("Persons")), charts);
    chartLayout->addWidget(Curve_);
    chartLayout->addWidget(Occupancy_);
    Summary_ = new QTableWidget(0, 2, splitter);
    Summary_->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Value")});
    Summary_->verticalHeader()->hide();
    Summary_->horizontalHeader()->setStretchLastSection(true);
    Summary_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    splitter->addWidget(charts);
    splitter->addWidget(Summary_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);
    connect(Curve_, &TAnalysisChartView::TimeClicked, this, &TAnalysisPanel::TimeClicked);
    connect(Occupancy_, &TAnalysisChartView::TimeClicked, this, &TAnalysisPanel::TimeClicked);
    Clear();
}

void TAnalysisPanel::ShowCharts(bool shown) {
    Curve_->setEnabled(shown);
    Occupancy_->setEnabled(shown);
}

void TAnalysisPanel::Clear() {
    Result_.reset();
    CurveNow_ = OccupancyNow_ = nullptr;
    ClearChart(EvacuationChart());
    ClearChart(OccupancyChart());
    Summary_->setRowCount(0);
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
    saved->replace(StairPoints(r, r.Saved, Timeline_.End));
    Attach(chart, saved);
    YMaxCurve_ = std::max(1, r.Persons);
    if (r.EvacuationTime)
        VerticalLine(chart, QStringLiteral("Evacuation time %1").arg(Seconds(r.EvacuationTime)),
                     *r.EvacuationTime, YMaxCurve_, Qt::darkRed, Qt::DashLine);
    if (r.ExitStats)
        VerticalLine(chart, QStringLiteral("p95 %1").arg(Seconds(r.ExitStats->P95)),
                     r.ExitStats->P95, YMaxCurve_, Qt::darkYellow, Qt::DashLine);
    CurveNow_ = VerticalLine(chart, QStringLiteral("Current time"), r.TimeOfStep(0), YMaxCurve_,
                             Qt::black, Qt::SolidLine);
    SetRanges(chart, r.TimeOfStep(0), r.TimeOfStep(Timeline_.End), YMaxCurve_);
}

void TAnalysisPanel::FillOccupancy(const QStringList& captions) {
    const TAnalysisResult& r = *Result_;
    QChart* chart = OccupancyChart();
    YMaxOccupancy_ = 1;
    for (std::size_t z = 0; z < r.Occupancy.size(); ++z) {
        auto* deck = new QLineSeries;
        deck->setName(DeckName(captions, static_cast<int>(z)));
        deck->replace(StairPoints(r, r.Occupancy[z], Timeline_.End));
        for (int v : r.Occupancy[z].Values) YMaxOccupancy_ = std::max<double>(YMaxOccupancy_, v);
        Attach(chart, deck);
    }
    OccupancyNow_ = VerticalLine(chart, QStringLiteral("Current time"), r.TimeOfStep(0),
                                 YMaxOccupancy_, Qt::black, Qt::SolidLine);
    SetRanges(chart, r.TimeOfStep(0), r.TimeOfStep(Timeline_.End), YMaxOccupancy_);
}

void TAnalysisPanel::AddRow(const QString& name, const QString& value) {
    const int row = Summary_->rowCount();
    Summary_->insertRow(row);
    Summary_->setItem(row, 0, new QTableWidgetItem(name));
    Summary_->setItem(row, 1, new QTableWidgetItem(value));
}

void TAnalysisPanel::FillSummary(const QStringList& captions) {
    const TAnalysisResult& r = *Result_;
    AddRow(QStringLiteral("Persons"), QString::number(r.Persons));
    AddRow(QStringLiteral("Evacuation time"), Seconds(r.EvacuationTime));
    const auto& s = r.ExitStats;
    AddRow(QStringLiteral("Exit time min"), Seconds(s ? std::optional(s->Min) : std::nullopt));
    AddRow(QStringLiteral("Exit time mean"), Seconds(s ? std::optional(s->Mean) : std::nullopt));
    AddRow(QStringLiteral("Exit time p50"), Seconds(s ? std::optional(s->P50) : std::nullopt));
    AddRow(QStringLiteral("Exit time p95"), Seconds(s ? std::optional(s->P95) : std::nullopt));
    AddRow(QStringLiteral("Exit time max"), Seconds(s ? std::optional(s->Max) : std::nullopt));
    if (!r.HasDensity) {
        AddRow(QStringLiteral("Density"), r.DensityTooLarge
                                              ? QStringLiteral("not computed: grid too large")
                                              : QStringLiteral("not computed"));
        return;
    }
    if (r.Peak) {
        const TDensityPeak& p = *r.Peak;
        AddRow(QStringLiteral("Peak density"),
               QStringLiteral("%1 persons/m\u00b2 on %2, row %3, column %4, at %5")
                   .arg(p.Value, 0, 'f', 2)
                   .arg(DeckName(captions, p.Cell.Deck))
                   .arg(p.Cell.Row)
                   .arg(p.Cell.Column)
                   .arg(Seconds(r.TimeOfStep(p.Step))));
    } else {
        AddRow(QStringLiteral("Peak density"), QStringLiteral("-"));
    }
    for (std::size_t z = 0; z < r.CongestedPerDeck.size(); ++z)
        AddRow(QStringLiteral("Congested cells, %1").arg(DeckName(captions, static_cast<int>(z))),
               QString::number(r.CongestedPerDeck[z]));
}

QStringList TAnalysisPanel::SummaryLines() const {
    QStringList lines;
    for (int row = 0; row < Summary_->rowCount(); ++row)
        lines << Summary_->item(row, 0)->text() + QStringLiteral(": ") +
                     Summary_->item(row, 1)->text();
    return lines;
}

void TAnalysisPanel::SetCurrentTime(double seconds) {
    if (CurveNow_) CurveNow_->replace({{seconds, 0}, {seconds, YMaxCurve_}});
    if (OccupancyNow_) OccupancyNow_->replace({{seconds, 0}, {seconds, YMaxOccupancy_}});
}

void TAnalysisPanel::TimeClicked(double seconds) {
    if (Result_) emit SeekRequested(Timeline_.FirstStepAt(seconds));
}

}  // namespace orlex
