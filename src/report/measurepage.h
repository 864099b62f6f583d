// The exits and measurements in the report: their figures in the flowing pages, and
// their marks on the plan of each deck (exits outlined and numbered, lines and areas
// drawn with their names).
#pragma once

#include <QPointF>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "measure.h"
#include "reportcanvas.h"
#include "reportflow.h"
#include "result.h"

namespace orlex::report {

// The label of exit i on the plans and in the rows: "E1", "E2", ...
QString ExitLabel(std::size_t i);

// The rows of the exits (with the time each deck is clear), lines and areas; none
// when the analysis made no exits or measurements.
void AddMeasureRows(TFlow& flow, const TAnalysisResult& r, const std::vector<std::string>& names);

// What the plan of a deck marks besides the density: the result's exits and the
// measurements of set (may be null) placed by frame.
struct TPlanMarks {
    const TAnalysisResult* Result = nullptr;
    const TMeasureSet* Set = nullptr;
    TMetreFrame Frame;
};

// Draws the marks of deck z; at(column, row) is the paper point of a deck cell's
// corner (fractional cells allowed), cell the side of a cell on paper.
void DrawPlanMarks(TCanvas& canvas, const TPlanMarks& marks, int z,
                   const std::function<QPointF(double column, double row)>& at, double cell);

}  // namespace orlex::report
