// Line charts of the report drawn with the painter: axes with titles and round
// ticks, step curves, vertical markers and a titled legend under the plot.
#pragma once

#include <QColor>
#include <QPolygonF>
#include <QString>
#include <QStringList>
#include <vector>

#include "reportcanvas.h"
#include "result.h"

namespace orlex::report {

struct TChartLine {
    QString Name;
    QPolygonF Points;  // (time in seconds, value)
    QColor Color;
    Qt::PenStyle Style = Qt::SolidLine;
};

struct TChartMarker {
    QString Name;  // with its value, as the legend shows it
    double X = 0;
    QColor Color;
};

struct TChart {
    QString Title;
    QString XTitle = QStringLiteral("Time (s)");
    QString YTitle = QStringLiteral("Persons");
    QString LegendTitle;
    double X0 = 0;
    double X1 = 1;
    double YMax = 1;
    double Y0 = 0;        // the lowest value the y axis must show (0 for counts)
    bool WholeX = false;  // x counts whole things (runs): ticks at whole numbers
    std::vector<TChartLine> Lines;
    std::vector<TChartMarker> Markers;
};

// The step curve as a staircase (time, value) up to the time of step end.
QPolygonF StairPolygon(const TAnalysisResult& result, const TStepCurve& curve, int64_t end);

// The round range of an axis that holds [lo, hi] and its step, for at most about
// ticks intervals; counts (whole) tick at whole numbers.
struct TChartAxis {
    double Lo = 0;
    double Hi = 1;
    double Step = 1;
};
TChartAxis ChartAxis(double lo, double hi, int ticks, bool whole);
std::vector<double> AxisTicks(const TChartAxis& axis);

// The points of a polyline (x rising) thinned to what a width of resolution shows:
// in every such slice of x its first and last point and its lowest and highest, in
// order, so that a curve of a million steps draws as it would in full.
QPolygonF Thinned(const QPolygonF& points, double resolution);

// The saved persons over time, with the evacuation time and the p95 exit time marked.
TChart SavedChart(const TAnalysisResult& result);
// The persons on every deck over time, one line a deck named by its caption.
TChart OccupancyChart(const TAnalysisResult& result, const QStringList& captions);

// The colour of series i of a chart (ten distinct colours, then dashed repeats).
QColor SeriesColor(int i);
Qt::PenStyle SeriesStyle(int i);

// The height a chart takes at a width: title, plot, axis labels and legend.
double ChartHeight(const TCanvas& canvas, const TChart& chart, double width);
void DrawChart(TCanvas& canvas, const TChart& chart, double x, double y, double width);

}  // namespace orlex::report
