#include "exits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace orlex::analysis {

namespace {

std::string ExitName(double x, double y, const std::vector<std::string>& captions, int deck) {
    char place[96];
    std::snprintf(place, sizeof place, "Exit at x %.1f m, y %.1f m, ", x, y);
    const bool named = deck >= 0 && deck < static_cast<int>(captions.size()) &&
                       !captions[static_cast<std::size_t>(deck)].empty();
    return place +
           (named ? captions[static_cast<std::size_t>(deck)] : "Deck " + std::to_string(deck));
}

}  // namespace

double ExitWidth(const std::vector<TCellPlace>& cells, double column, double row, double cellSize) {
    if (cells.empty()) return 0;
    // sqrt is exact to the last bit on every system (hypot is not), so the widths
    // agree wherever the program runs.
    const double length = std::sqrt(column * column + row * row);
    double low = INFINITY, high = -INFINITY;
    if (length > 1e-9) {
        // The perpendicular of the main direction, in cells.
        const double pc = -row / length, pr = column / length;
        for (const TCellPlace& c : cells) {
            const double along = c.Column * pc + c.Row * pr;
            low = std::min(low, along);
            high = std::max(high, along);
        }
        return (high - low + 1) * cellSize;
    }
    int c0 = cells[0].Column, c1 = c0, r0 = cells[0].Row, r1 = r0;
    for (const TCellPlace& c : cells) {
        c0 = std::min(c0, c.Column);
        c1 = std::max(c1, c.Column);
        r0 = std::min(r0, c.Row);
        r1 = std::max(r1, c.Row);
    }
    return (std::max(c1 - c0, r1 - r0) + 1) * cellSize;
}

std::vector<TExitResult> MakeExits(const std::vector<TExitEnd>& ends, const TMetreFrame& frame,
                                   const std::vector<std::string>& captions, double window) {
    // The cells with the ends on them, in order; each knows its first and last end.
    struct TCellEnds {
        TCellPlace Cell;
        std::size_t First, Last;
        int Group = -1;
    };
    std::vector<TCellEnds> cells;
    std::map<std::tuple<int, int, int>, std::size_t> index;
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const TExitEnd& e = ends[i];
        if (!cells.empty() && cells.back().Cell == TCellPlace{e.Deck, e.Row, e.Column}) {
            cells.back().Last = i + 1;
            continue;
        }
        index[{e.Deck, e.Row, e.Column}] = cells.size();
        cells.push_back({{e.Deck, e.Row, e.Column}, i, i + 1});
    }
    std::vector<TExitResult> exits;
    for (std::size_t start = 0; start < cells.size(); ++start) {
        if (cells[start].Group >= 0) continue;
        const int group = static_cast<int>(exits.size());
        std::vector<std::size_t> members{start};
        cells[start].Group = group;
        for (std::size_t m = 0; m < members.size(); ++m) {
            const TCellPlace c = cells[members[m]].Cell;
            for (int dr = -1; dr <= 1; ++dr) {
                for (int dc = -1; dc <= 1; ++dc) {
                    const auto it = index.find({c.Deck, c.Row + dr, c.Column + dc});
                    if (it == index.end() || cells[it->second].Group >= 0) continue;
                    cells[it->second].Group = group;
                    members.push_back(it->second);
                }
            }
        }
        std::sort(members.begin(), members.end());  // by row, then column
        TExitResult exit;
        exit.Deck = cells[start].Cell.Deck;
        double sx = 0, sy = 0, dc = 0, dr = 0;
        for (const std::size_t m : members) {
            const TCellEnds& c = cells[m];
            exit.Cells.push_back(c.Cell);
            sx += frame.X(c.Cell.Column);
            sy += frame.Y(c.Cell.Row);
            for (std::size_t i = c.First; i < c.Last; ++i) {
                exit.Times.push_back(ends[i].Time);
                const double mc = ends[i].MoveColumn, mr = ends[i].MoveRow;
                const double length = std::sqrt(mc * mc + mr * mr);
                if (length > 0) {
                    dc += ends[i].MoveColumn / length;
                    dr += ends[i].MoveRow / length;
                }
            }
        }
        exit.X = sx / static_cast<double>(members.size());
        exit.Y = sy / static_cast<double>(members.size());
        exit.Name = ExitName(exit.X, exit.Y, captions, exit.Deck);
        exit.Width = ExitWidth(exit.Cells, dc, dr, frame.CellSize);
        std::sort(exit.Times.begin(), exit.Times.end());
        exit.PeakFlow = PeakFlow(exit.Times, window);
        exit.PeakSpecificFlow = exit.Width > 0 ? exit.PeakFlow / exit.Width : 0;
        exits.push_back(std::move(exit));
    }
    return exits;
}

std::vector<int64_t> LastOccupiedSteps(const std::vector<TStepCurve>& occupancy) {
    std::vector<int64_t> last;
    for (const TStepCurve& curve : occupancy) {
        int64_t step = -1;
        for (std::size_t i = curve.Values.size(); i-- > 0;) {
            if (curve.Values[i] <= 0) continue;
            // The last value holds for ever: a deck still holding persons at the end
            // of the curve is clear only when they are saved.
            step = i + 1 < curve.Steps.size() ? curve.Steps[i + 1] - 1 : curve.Steps[i];
            break;
        }
        last.push_back(step);
    }
    return last;
}

}  // namespace orlex::analysis
