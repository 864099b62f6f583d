// From positions in metres to a project of cells: the grid, the step rate and every
// person's track of one-cell moves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "floors.h"
#include "trajectories.h"

namespace orlex {
class TLogFile1;
}

namespace orlex::import {

class IPersonSource;
struct TTrajectorySummary;

// The walkable area of a geometry, asked about single points (metres).
class IWalkableArea {
public:
    virtual ~IWalkableArea() = default;
    virtual void Bounds(double& minX, double& minY, double& maxX, double& maxY) const = 0;
    // The point lies in the walkable area.
    virtual bool Walkable(double x, double y) const = 0;
    // The point lies inside the outer boundary (in the walkable area or in a hole of it).
    virtual bool Enclosed(double x, double y) const = 0;
};

struct TPlanDeck {
    std::string Caption;
    std::string Cells;  // one 3D log file letter a cell, row 0 (north) first
};

// The grid: where its lower-left corner lies in the source's metres, and its cells.
struct TCellPlan {
    double OriginX = 0;
    double OriginY = 0;
    double CellSize = 0.4;
    int Columns = 0;
    int Rows = 0;
    std::vector<TPlanDeck> Decks;

    // The cell of a point; false when it lies outside the grid (column and row are
    // then clamped to it).
    bool CellOf(double x, double y, int& column, int& row) const;
    double CentreX(int column) const { return OriginX + (column + 0.5) * CellSize; }
    double CentreY(int row) const { return OriginY + (Rows - row - 0.5) * CellSize; }
};

struct TCellOptions {
    double CellSize = 0.4;  // metres
    int StepRate = 0;       // steps a second; 0 chooses it
    // Grids of more cells than this are refused (absurd extents).
    int64_t MaxCells = int64_t{1} << 26;
    // Steps of all tracks together above which the conversion is refused.
    int64_t MaxTotalSteps = int64_t{1} << 32;
};

// Speeds above this are taken for tracking errors, not for walking (m/s).
inline constexpr double kTrackingErrorSpeed = 10.0;
// The largest step rate chosen or accepted.
inline constexpr int kMaxStepRate = 100;
// Gaps in one person's frames longer than this are warned about (s).
inline constexpr double kLongGap = 2.0;

struct TConvertedPerson {
    int64_t Id = 0;
    int StartColumn = 0;
    int StartRow = 0;
    int StartLevel = 0;
    int Heading = 3;
    int EntryStep = 0;  // the step of the person's first position
    int64_t Steps = 0;
    std::string Track;  // movement items, without the closing "S"
};

struct TConversion {
    TCellPlan Plan;
    int StepRate = 0;
    bool StepRateChosen = false;
    std::vector<TConvertedPerson> Persons;
    // The largest distance of a position from the centre of its cell, apart from
    // the warned jumps, and the bound it keeps (half a cell's diagonal).
    double MaxError = 0;
    double ErrorBound = 0;
    // The floors found from z (empty unless asked for).
    TFloors Floors;
    std::vector<std::string> Warnings;
};

// Grid of a walkable area: floor where a cell's centre is walkable, raised blocks
// for the obstacles inside it and the walls around it, void elsewhere; it also
// covers the trajectories. Throws TImportError for a grid beyond options.MaxCells.
// The area stands on every floor the summary found.
TCellPlan PlanOfArea(const std::string& source, const TTrajectorySummary& summary,
                     const IWalkableArea& area, const TCellOptions& options);
TCellPlan PlanOfArea(const TTrajectorySet& set, const IWalkableArea& area,
                     const TCellOptions& options);
// Grid of the trajectories' bounding box, all void until persons visit its cells;
// a deck for every floor the summary found.
TCellPlan PlanOfTrajectories(const std::string& source, const TTrajectorySummary& summary,
                             const TCellOptions& options);
TCellPlan PlanOfTrajectories(const TTrajectorySet& set, const TCellOptions& options);
// The cells of a loaded project, as they are; its origin and cell size when it
// remembers them, else (0, 0) and cellSize.
TCellPlan PlanOfProject(const TLogFile1& project, double cellSize, bool cellSizeGiven);

// Resamples the persons of source, person by person, onto the plan's cells at the
// step rate; summary is what a first pass over source found (Summarize), its floors
// give the persons' decks. A plan made by PlanOfTrajectories gets its visited cells
// as floor. Throws TImportError.
TConversion Convert(IPersonSource& source, const TTrajectorySummary& summary, TCellPlan plan,
                    const TCellOptions& options);
TConversion Convert(const TTrajectorySet& set, TCellPlan plan, const TCellOptions& options);

}  // namespace orlex::import
