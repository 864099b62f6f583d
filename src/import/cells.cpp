#include "cells.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "logfile.h"
#include "source.h"

namespace orlex::import {

namespace {

std::string Metres(double value, int decimals = 2) {
    return Decimal(value, decimals);
}

// A grid over the box with margin cells around it; refuses absurd sizes.
TCellPlan GridOver(const std::string& source, const TTrajectorySummary& box, int margin, int decks,
                   const TCellOptions& options) {
    const double size = options.CellSize;
    if (!(size > 0) || !std::isfinite(size))
        throw TImportError(source + ": the cell size must be above 0");
    if (!(box.MinX <= box.MaxX && box.MinY <= box.MaxY))
        throw TImportError(source + ": no persons");
    const double firstX = std::floor(box.MinX / size) - margin;
    const double firstY = std::floor(box.MinY / size) - margin;
    // Measured from the origin as TCellPlan::CellOf does, so that every position fits.
    const double columns = std::floor((box.MaxX - firstX * size) / size) + margin + 1;
    const double rows = std::floor((box.MaxY - firstY * size) / size) + margin + 1;
    const double cells = columns * rows;
    if (!(cells <= static_cast<double>(options.MaxCells))) {
        // The smallest cell size that keeps the grid within the limit, rounded up.
        double needed = size * std::sqrt(cells / static_cast<double>(options.MaxCells)) * 1.01;
        const double scale = std::pow(10.0, std::floor(std::log10(needed)) - 1);
        needed = std::ceil(needed / scale) * scale;
        throw TImportError(source + ": the positions span " + Metres(box.MaxX - box.MinX) +
                           " m x " + Metres(box.MaxY - box.MinY) + " m, which needs more than " +
                           std::to_string(options.MaxCells) + " cells of " + Metres(size, 3) +
                           " m; use a cell size of at least " + Metres(needed, 3) +
                           " m (--cell-size)");
    }
    TCellPlan plan;
    plan.CellSize = size;
    plan.OriginX = firstX * size;
    plan.OriginY = firstY * size;
    plan.Columns = static_cast<int>(columns);
    plan.Rows = static_cast<int>(rows);
    for (int z = 0; z < decks; ++z)
        plan.Decks.push_back(
            {"Level " + std::to_string(z), std::string(static_cast<std::size_t>(cells), '.')});
    return plan;
}

}  // namespace

bool TCellPlan::CellOf(double x, double y, int& column, int& row) const {
    const double c = std::floor((x - OriginX) / CellSize);
    const double r = Rows - 1 - std::floor((y - OriginY) / CellSize);
    column = static_cast<int>(std::clamp(c, 0.0, static_cast<double>(Columns - 1)));
    row = static_cast<int>(std::clamp(r, 0.0, static_cast<double>(Rows - 1)));
    return c >= 0 && c < Columns && r >= 0 && r < Rows;
}

TCellPlan PlanOfTrajectories(const std::string& source, const TTrajectorySummary& summary,
                             const TCellOptions& options) {
    return GridOver(source, summary, 0, summary.Floors.DeckCount(), options);
}

TCellPlan PlanOfTrajectories(const TTrajectorySet& set, const TCellOptions& options) {
    TSetSource source(set);
    return PlanOfTrajectories(set.Source, Summarize(source, false), options);
}

TCellPlan PlanOfArea(const std::string& source, const TTrajectorySummary& summary,
                     const IWalkableArea& area, const TCellOptions& options) {
    TTrajectorySummary box = summary;
    double minX, minY, maxX, maxY;
    area.Bounds(minX, minY, maxX, maxY);
    box.AddPoint(minX, minY);
    box.AddPoint(maxX, maxY);
    TCellPlan plan = GridOver(source, box, 1, 1, options);
    std::string& cells = plan.Decks[0].Cells;
    const auto at = [&](int c, int r) -> char& {
        return cells[static_cast<std::size_t>(r) * plan.Columns + c];
    };
    for (int r = 0; r < plan.Rows; ++r)
        for (int c = 0; c < plan.Columns; ++c) {
            const double x = plan.CentreX(c);
            const double y = plan.CentreY(r);
            if (area.Walkable(x, y))
                at(c, r) = '0';
            else if (area.Enclosed(x, y))
                at(c, r) = '1';
        }
    // Walls: the void cells next to the floor.
    for (int r = 0; r < plan.Rows; ++r)
        for (int c = 0; c < plan.Columns; ++c) {
            if (at(c, r) != '.') continue;
            bool nearFloor = false;
            for (int dr = -1; dr <= 1 && !nearFloor; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    const int cc = c + dc, rr = r + dr;
                    if (cc >= 0 && cc < plan.Columns && rr >= 0 && rr < plan.Rows &&
                        at(cc, rr) == '0') {
                        nearFloor = true;
                        break;
                    }
                }
            if (nearFloor) at(c, r) = '1';
        }
    // The same area on every floor found.
    for (int z = 1; z < summary.Floors.DeckCount(); ++z)
        plan.Decks.push_back({"Level " + std::to_string(z), cells});
    return plan;
}

TCellPlan PlanOfArea(const TTrajectorySet& set, const IWalkableArea& area,
                     const TCellOptions& options) {
    TSetSource source(set);
    return PlanOfArea(set.Source, Summarize(source, false), area, options);
}

TCellPlan PlanOfProject(const TLogFile1& project, double cellSize, bool cellSizeGiven) {
    TCellPlan plan;
    plan.Columns = project.XMax;
    plan.Rows = project.YMax;
    plan.CellSize = cellSize;
    if (project.Source.Known) {
        plan.OriginX = project.Source.OriginX;
        plan.OriginY = project.Source.OriginY;
        if (!cellSizeGiven) plan.CellSize = project.Source.CellSize;
    }
    for (int z = 0; z < project.DeckCount(); ++z) {
        const TDeck& deck = project.Decks[static_cast<std::size_t>(z)];
        TPlanDeck out{deck.Caption, {}};
        out.Cells.reserve(static_cast<std::size_t>(plan.Columns) * plan.Rows);
        for (const TCell& cell : deck.Cells) {
            char letter = '.';
            switch (cell.Code) {
                case 0:
                    letter = '0';
                    break;
                case 1:
                    letter = '1';
                    break;
                case 64:
                    letter = '2';
                    break;
                case 32:
                    letter = '3';
                    break;
                case 8:
                    letter = '4';
                    break;
                case 16:
                    letter = '5';
                    break;
                default:
                    break;
            }
            out.Cells += letter;
        }
        plan.Decks.push_back(std::move(out));
    }
    return plan;
}

}  // namespace orlex::import
