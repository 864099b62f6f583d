#include "flowpages.h"

#include <QHeaderView>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysisdock.h"
#include "chartparts.h"
#include "measurepage.h"
#include "summary.h"

namespace orlex {

namespace {

// Points of a time chart, and of each area in a diagram: enough to show every
// peak of a flow in a 10 s window, few enough to draw at once.
constexpr int kTimePoints = 1500;
constexpr std::size_t kDiagramPoints = 4000;

// Twelve colours told apart at a glance, for charts with more series than the theme's
// five colours.
QColor SeriesColour(qsizetype i) {
    static const QColor kColours[] = {{31, 119, 180},  {255, 127, 14},  {44, 160, 44},
                                      {214, 39, 40},   {148, 103, 189}, {140, 86, 75},
                                      {227, 119, 194}, {127, 127, 127}, {188, 189, 34},
                                      {23, 190, 207},  {0, 0, 128},     {128, 128, 0}};
    return kColours[static_cast<std::size_t>(i) % std::size(kColours)];
}

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QTableWidget* NewTable(QWidget* parent, const QStringList& headers) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    return table;
}

void AddRow(QTableWidget* table, const QStringList& cells, bool flagged = false,
            const QString& tip = {}) {
    const int row = table->rowCount();
    table->insertRow(row);
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (flagged) {
            item->setBackground(QColor(255, 215, 205));
            item->setToolTip(tip);
        }
        table->setItem(row, c, item);
    }
}

// A chart whose axes are titled xTitle and yTitle (not a time axis).
QChart* NewPlainChart(const QString& title, const QString& xTitle, const QString& yTitle) {
    QChart* chart = NewChart(title, yTitle);
    static_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front())->setTitleText(xTitle);
    return chart;
}

void SetAxes(QChart* chart, double x0, double x1, double y1) {
    SetRoundRange(static_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front()), x0, x1);
    SetRoundRange(static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front()), 0, y1);
}

// A round y range for values up to y: small flows and densities get decimals.
double Top(double y) {
    return y > 0 ? y * 1.05 : 1;
}

QString Named(const std::string& name, int deck, const QStringList& captions) {
    std::vector<std::string> names;
    for (const QString& c : captions) names.push_back(c.toStdString());
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(name),
                                         QString::fromStdString(DeckLabel(names, deck)));
}

}  // namespace

TFlowPages::TFlowPages(QTabWidget* tabs) {
    const auto chartPage = [&](std::initializer_list<QChartView**> views,
                               std::initializer_list<QChart*> charts, QWidget* top) {
        auto* widget = new QWidget(tabs);
        auto* column = new QVBoxLayout(widget);
        column->setContentsMargins(0, 0, 0, 0);
        if (top) {
            top->setParent(widget);
            column->addWidget(top, 1);
        }
        auto chart = charts.begin();
        for (QChartView** view : views) {
            *view = new QChartView(*chart++, widget);
            (*view)->setRenderHint(QPainter::Antialiasing);
            (*view)->setMinimumSize(kChartMinimumWidth, kChartMinimumHeight);
            column->addWidget(*view, 2);
            auto* legend = new QLabel(widget);
            legend->setTextFormat(Qt::RichText);
            legend->setWordWrap(true);
            legend->setContentsMargins(8, 0, 8, 4);
            column->addWidget(legend);
            Legends_.push_back(legend);
        }
        return widget;
    };

    auto* exitsPage = new QWidget(tabs);
    auto* exitsColumn = new QVBoxLayout(exitsPage);
    exitsColumn->setContentsMargins(0, 0, 0, 0);
    Exits_ =
        NewTable(exitsPage, {QStringLiteral("Exit"), QStringLiteral("Persons"),
                             QStringLiteral("Width (m)"), QStringLiteral("First (s)"),
                             QStringLiteral("Last (s)"), QStringLiteral("Peak flow (persons/s)"),
                             QStringLiteral("Peak specific flow (persons/(m·s))")});
    Exits_->setObjectName(QStringLiteral("ExitsTable"));
    exitsColumn->addWidget(Exits_, 1);
    ExitsNote_ = new QLabel(exitsPage);
    ExitsNote_->setWordWrap(true);
    ExitsNote_->setContentsMargins(8, 0, 8, 4);
    exitsColumn->addWidget(ExitsNote_);
    tabs->addTab(exitsPage, QStringLiteral("Exits"));

    tabs->addTab(chartPage({&Flow_},
                           {NewChart(QStringLiteral("Flow through exits and lines"),
                                     QStringLiteral("Flow (persons/s)"))},
                           nullptr),
                 QStringLiteral("Flows"));

    Lines_ = NewTable(nullptr,
                      {QStringLiteral("Line"), QStringLiteral("Length (m)"),
                       QStringLiteral("Persons crossing"), QStringLiteral("Peak flow (persons/s)"),
                       QStringLiteral("Peak specific flow (persons/(m·s))")});
    Lines_->setObjectName(QStringLiteral("LinesTable"));
    tabs->addTab(chartPage({&Crossing_},
                           {NewChart(QStringLiteral("Persons that have crossed each line (N-t)"),
                                     QStringLiteral("Persons"))},
                           Lines_),
                 QStringLiteral("Lines"));

    tabs->addTab(chartPage({&Density_, &Speed_},
                           {NewChart(QStringLiteral("Density in each area"),
                                     QStringLiteral("Density (persons/m²)")),
                            NewChart(QStringLiteral("Mean speed in each area"),
                                     QStringLiteral("Speed (m/s)"))},
                           nullptr),
                 QStringLiteral("Areas"));

    tabs->addTab(chartPage({&SpeedDiagram_, &FlowDiagram_},
                           {NewPlainChart(QStringLiteral("Fundamental diagram: speed"),
                                          QStringLiteral("Density (persons/m²)"),
                                          QStringLiteral("Speed (m/s)")),
                            NewPlainChart(QStringLiteral("Fundamental diagram: specific flow"),
                                          QStringLiteral("Density (persons/m²)"),
                                          QStringLiteral("Specific flow (persons/(m·s))"))},
                           nullptr),
                 QStringLiteral("Diagram"));
    Clear();
}

void TFlowPages::Clear() {
    Exits_->setRowCount(0);
    Lines_->setRowCount(0);
    ExitsNote_->clear();
    for (QChartView* view : {Flow_, Crossing_, Density_, Speed_, SpeedDiagram_, FlowDiagram_}) {
        ClearChart(view->chart());
        view->setEnabled(false);
    }
    for (QLabel* legend : Legends_) legend->clear();
}

void TFlowPages::SetResult(const TAnalysisResult& r, const QStringList& captions) {
    Clear();
    FillExits(r, captions);
    if (!r.HasMeasurements) return;
    FillLines(r, captions);
    FillFlows(r);
    FillAreas(r);
    FillDiagrams(r);
    std::size_t legend = 0;
    for (QChartView* view : {Flow_, Crossing_, Density_, Speed_, SpeedDiagram_, FlowDiagram_}) {
        view->setEnabled(true);
        Legends_[legend++]->setText(TAnalysisPanel::LegendText(view->chart()));
    }
}

void TFlowPages::FillExits(const TAnalysisResult& r, const QStringList& captions) {
    if (!r.HasMeasurements) {
        ExitsNote_->setText(QStringLiteral("The exits were not analysed."));
        return;
    }
    const QString tip = QStringLiteral(
                            "Above %1 persons/(m·s), the largest specific flow of a door in the "
                            "guidelines: the simulation may be too optimistic here.")
                            .arg(kMaxSpecificFlow);
    int flagged = 0;
    for (std::size_t i = 0; i < r.Exits.size(); ++i) {
        const TExitResult& e = r.Exits[i];
        flagged += e.AboveLimit() ? 1 : 0;
        // Numbered as the report's plans label them.
        AddRow(Exits_,
               {report::ExitLabel(i) + QStringLiteral(" ") + QString::fromStdString(e.Name),
                QString::number(e.Persons()), Fixed(e.Width, 2),
                Fixed(e.Times.empty() ? 0 : e.Times.front(), 2),
                Fixed(e.Times.empty() ? 0 : e.Times.back(), 2), Fixed(e.PeakFlow, 2),
                Fixed(e.PeakSpecificFlow, 2) + (e.AboveLimit() ? QStringLiteral(" (above)") : "")},
               e.AboveLimit(), tip);
    }
    QStringList notes;
    notes << (r.Exits.empty() ? QStringLiteral("No exits: no track ends saved.")
                              : QStringLiteral("Exits are where saved persons' tracks end; flows "
                                               "in a sliding window of %1 s.")
                                    .arg(r.Settings.FlowWindow));
    if (flagged > 0)
        notes << QStringLiteral(
                     "%1 of them above %2 persons/(m·s) (marked): the simulation may "
                     "be too optimistic there.")
                     .arg(flagged)
                     .arg(kMaxSpecificFlow);
    QStringList clear;
    std::vector<std::string> names;
    for (const QString& c : captions) names.push_back(c.toStdString());
    for (int z = 0; z < static_cast<int>(r.LastOccupiedSteps.size()); ++z) {
        const std::optional<double> at = r.ClearTime(z);
        clear << QStringLiteral("%1: %2").arg(
            QString::fromStdString(DeckLabel(names, z)),
            at ? QString::fromStdString(SecondsText(at)) : QStringLiteral("never occupied"));
    }
    if (!clear.isEmpty()) notes << QStringLiteral("Decks clear at: ") + clear.join("; ") + ".";
    ExitsNote_->setText(notes.join(' '));
}

void TFlowPages::FillLines(const TAnalysisResult& r, const QStringList& captions) {
    for (const TLineResult& l : r.Lines) {
        const bool above = l.PeakSpecificFlow > kMaxSpecificFlow;
        AddRow(Lines_,
               {Named(l.Name, l.Deck, captions), Fixed(l.Length, 2),
                QString::number(l.CrossingTimes.size()), Fixed(l.PeakFlow, 2),
                Fixed(l.PeakSpecificFlow, 2)},
               above);
    }
    QChart* chart = CrossingChart();
    double top = 1, end = r.TimeOfStep(r.LastStep + 1);
    for (const TLineResult& l : r.Lines) {
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(l.Name));
        QList<QPointF> points{{r.TimeOfStep(0), 0}};
        // Thinned to the chart's points; the count is exact at every corner kept.
        const std::size_t n = l.CrossingTimes.size();
        const std::size_t every = std::max<std::size_t>(1, n / kTimePoints);
        for (std::size_t i = 0; i < n; i += every) {
            points.append({l.CrossingTimes[i], static_cast<double>(i)});
            points.append({l.CrossingTimes[i], static_cast<double>(i + 1)});
        }
        if (n > 0 && (n - 1) % every != 0)
            points.append({l.CrossingTimes[n - 1], static_cast<double>(n)});
        points.append({end, static_cast<double>(n)});
        series->replace(points);
        top = std::max(top, static_cast<double>(n));
        Attach(chart, series);
    }
    SetRanges(chart, r.TimeOfStep(0), end, top, {});
}

void TFlowPages::FillFlows(const TAnalysisResult& r) {
    QChart* chart = FlowChart();
    const double from = r.TimeOfStep(0), to = r.TimeOfStep(r.LastStep + 1);
    const double dt = std::max(1.0 / r.StepsPerSecond, (to - from) / kTimePoints);
    const double window = r.Settings.FlowWindow;
    double top = 0;
    const auto add = [&](const QString& name, const std::vector<double>& times, Qt::PenStyle pen) {
        auto* series = new QLineSeries;
        series->setName(name);
        QList<QPointF> points;
        for (double t = from; t <= to + dt / 2; t += dt) {
            const double flow = FlowAt(times, window, t);
            top = std::max(top, flow);
            points.append({t, flow});
        }
        series->replace(points);
        Attach(chart, series);
        QPen p = series->pen();
        p.setStyle(pen);
        p.setColor(SeriesColour(chart->series().size() - 1));
        series->setPen(p);
    };
    // The busiest exits only: a chart of dozens of lines shows none of them.
    const std::vector<std::size_t> shown = BusiestExits(r.Exits, kMaxShownExits);
    for (const std::size_t i : shown)
        add(QString::fromStdString(r.Exits[i].Name), r.Exits[i].Times, Qt::SolidLine);
    for (const TLineResult& l : r.Lines)
        add(QString::fromStdString(l.Name), l.CrossingTimes, Qt::DashLine);
    const QString exits =
        shown.size() < r.Exits.size()
            ? QStringLiteral("the %1 busiest of %2 exits").arg(shown.size()).arg(r.Exits.size())
            : QStringLiteral("exits");
    chart->setTitle(QStringLiteral("Flow through %1 (solid) and lines (dashed), %2 s window")
                        .arg(exits)
                        .arg(window));
    SetRanges(chart, from, to, Top(top), {});
}

void TFlowPages::FillAreas(const TAnalysisResult& r) {
    double densityTop = 0, speedTop = 0;
    for (const TAreaResult& a : r.Areas) {
        auto* density = new QLineSeries;
        auto* speed = new QLineSeries;
        density->setName(QString::fromStdString(a.Name));
        speed->setName(QString::fromStdString(a.Name));
        QList<QPointF> d, s;
        const std::size_t every = std::max<std::size_t>(1, a.Count.size() / kTimePoints);
        for (std::size_t i = 0; i < a.Count.size(); i += every) {
            const double t = r.TimeOfStep(static_cast<int64_t>(i) * a.EveryStep);
            const double value = a.Area > 0 ? a.Count[i] / a.Area : 0;
            densityTop = std::max(densityTop, value);
            d.append({t, value});
            if (i < a.Speed.size() && a.Speed[i]) {
                speedTop = std::max(speedTop, *a.Speed[i]);
                s.append({t, *a.Speed[i]});
            }
        }
        density->replace(d);
        speed->replace(s);
        Attach(DensityChart(), density);
        Attach(SpeedChart(), speed);
    }
    const double from = r.TimeOfStep(0), to = r.TimeOfStep(r.LastStep + 1);
    SetRanges(DensityChart(), from, to, Top(densityTop), {});
    SetRanges(SpeedChart(), from, to, Top(speedTop), {});
}

void TFlowPages::FillDiagrams(const TAnalysisResult& r) {
    double densityTop = 0, speedTop = 0, flowTop = 0;
    for (const TAreaResult& a : r.Areas) {
        auto* speed = new QScatterSeries;
        auto* flow = new QScatterSeries;
        for (QScatterSeries* s : {speed, flow}) {
            s->setName(QString::fromStdString(a.Name));
            s->setMarkerSize(5);
            s->setPen(Qt::NoPen);
        }
        QList<QPointF> sp, fl;
        const std::size_t every = std::max<std::size_t>(1, a.Count.size() / kDiagramPoints);
        for (std::size_t i = 0; i < a.Count.size() && i < a.Speed.size(); i += every) {
            if (!a.Speed[i] || a.Count[i] == 0 || a.Area <= 0) continue;
            const double density = a.Count[i] / a.Area;
            densityTop = std::max(densityTop, density);
            speedTop = std::max(speedTop, *a.Speed[i]);
            flowTop = std::max(flowTop, density * *a.Speed[i]);
            sp.append({density, *a.Speed[i]});
            fl.append({density, density * *a.Speed[i]});
        }
        speed->replace(sp);
        flow->replace(fl);
        Attach(SpeedDiagram(), speed);
        Attach(FlowDiagram(), flow);
    }
    SetAxes(SpeedDiagram(), 0, Top(densityTop), Top(speedTop));
    SetAxes(FlowDiagram(), 0, Top(densityTop), Top(flowTop));
}

}  // namespace orlex
