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

// The cells of a deck that draw anything: [FirstColumn, FirstColumn + Columns) x
// [FirstRow, FirstRow + Rows); no cells when Columns or Rows is 0.
struct TPlanExtent {
    int FirstColumn = 0;
    int FirstRow = 0;
    int Columns = 0;
    int Rows = 0;
    bool Empty() const { return Columns <= 0 || Rows <= 0; }
};

TPlanExtent DeckExtent(const TDeck& deck, int columns, int rows);

// The plan over a deck's extent. A plan cell covers Step x Step deck cells: 1 unless
// the deck's cells would be finer than the print can show, or so many that the plan
// would swamp the file.
struct TDeckPlan {
    TPlanExtent Extent;
    int Step = 1;
    int Columns = 0;  // plan cells
    int Rows = 0;
    std::vector<int> Keys;  // row by row, plan cells
    std::vector<uint8_t> Congested;
    TOverlayLegend Legend;  // no stops without density maps
    int Bands = 0;          // colour bands from 0 to Legend.Max
    double Longest = 0;     // the longest time above the limit on this deck, seconds
};

// The most plan cells of a page.
inline constexpr int64_t kMaxPlanCells = int64_t{1} << 22;
// The step that keeps plan cells at least minMm wide on paper and the plan within
// kMaxPlanCells, for deck cells of cellMm on paper.
int PlanStep(double cellMm, const TPlanExtent& extent, double minMm = 0.1);

// The plan of deck z over its extent. A plan cell shows the highest band of its deck
// cells, else the floor if it has any, else a block.
TDeckPlan BuildDeckPlan(const TAnalysisResult& result, int z, const TDeck& deck, int step = 1);
// The colour of a key: grey floor, darker grey blocks, the bands of the scale.
QColor PlanColor(const TDeckPlan& plan, int key);

// A scale bar: a length of 1, 2 or 5 times a power of ten, at least least, cut into
// halves (1, 2) or fifths (5), so that every label is a round number.
struct TScaleBar {
    double Length = 1;
    double Segment = 0.5;
};
TScaleBar ScaleBarOf(double least);

// The orientation that shows a deck's extent at the larger scale.
QPageLayout::Orientation PlanOrientation(const TCanvas& canvas, const TPlanExtent& extent);
struct TPlanMarks;

// Draws the page of deck z: heading, figures, plan, colour bar, key and scale bar;
// with marks, the exits and measurements on the plan and in the key.
void DrawDeckPage(TCanvas& canvas, const TAnalysisResult& result, const TDeck& deck,
                  const QString& caption, int z, const TPlanMarks* marks = nullptr);

}  // namespace orlex::report
