// The plan of one deck for the report: the time above the density limit in colour
// bands over a neutral floor, drawn as merged rectangles, the congested cells
// outlined, a colour bar, a key and a scale bar in metres.
#pragma once

#include <QColor>
#include <QPageLayout>
#include <QString>
#include <cstdint>
#include <vector>

#include "deck.h"
#include "deckoverlay.h"
#include "reportcanvas.h"
#include "result.h"

namespace orlex::report {

// What a cell of the plan shows.
enum : int { kPlanNothing = -1, kPlanFloor = 0, kPlanBlock = 1, kPlanFirstBand = 2 };

// A block of equal cells: columns [Column, Column + Columns), rows likewise.
struct TPlanRect {
    int Column = 0;
    int Row = 0;
    int Columns = 0;
    int Rows = 0;
    int Key = kPlanNothing;
    friend bool operator==(const TPlanRect&, const TPlanRect&) = default;
};

// Merges a grid of keys (row by row) into rectangles: runs of equal keys in a row,
// stretched down over the rows that hold the same run. kPlanNothing makes none.
std::vector<TPlanRect> MergeRects(const std::vector<int>& keys, int columns, int rows);

struct TDeckPlan {
    int Columns = 0;
    int Rows = 0;
    // The cells that draw anything: [FirstColumn, EndColumn) x [FirstRow, EndRow).
    int FirstColumn = 0;
    int FirstRow = 0;
    int EndColumn = 0;
    int EndRow = 0;
    std::vector<int> Keys;
    std::vector<uint8_t> Congested;
    TOverlayLegend Legend;  // no stops without density maps
    int Bands = 0;          // colour bands from 0 to Legend.Max
    double Longest = 0;     // the longest time above the limit on this deck, seconds

    bool Empty() const { return EndColumn <= FirstColumn || EndRow <= FirstRow; }
};

// The plan of deck z (the deck gives the floor, blocks and void cells).
TDeckPlan BuildDeckPlan(const TAnalysisResult& result, int z, const TDeck& deck);
// The colour of a key: grey floor, darker grey blocks, the bands of the scale.
QColor PlanColor(const TDeckPlan& plan, int key);

// The orientation that shows the plan at the larger scale.
QPageLayout::Orientation PlanOrientation(const TCanvas& canvas, const TDeckPlan& plan);
// Draws the page of deck z: heading, figures, plan, colour bar, key and scale bar.
void DrawDeckPage(TCanvas& canvas, const TAnalysisResult& result, const TDeckPlan& plan,
                  const QString& caption, int z);

}  // namespace orlex::report
