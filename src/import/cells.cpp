#include "cells.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "logfile.h"

namespace orlex::import {

namespace {

std::string Metres(double value, int decimals = 2) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

struct TBox {
    double MinX = INFINITY, MinY = INFINITY, MaxX = -INFINITY, MaxY = -INFINITY;
    void Add(double x, double y) {
        MinX = std::min(MinX, x);
        MinY = std::min(MinY, y);
        MaxX = std::max(MaxX, x);
        MaxY = std::max(MaxY, y);
    }
};

TBox BoxOf(const TTrajectorySet& set) {
    TBox box;
    for (const TPersonTrack& person : set.Persons)
        for (const TSample& s : person.Samples) box.Add(s.X, s.Y);
    return box;
}

// A grid over box with margin cells around it; refuses absurd sizes.
TCellPlan GridOver(const TTrajectorySet& set, const TBox& box, int margin,
                   const TCellOptions& options) {
    const double size = options.CellSize;
    if (!(size > 0) || !std::isfinite(size))
        throw TImportError(set.Source + ": the cell size must be above 0");
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
        throw TImportError(set.Source + ": the positions span " + Metres(box.MaxX - box.MinX) +
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
    plan.Decks.push_back({"Level 0", std::string(static_cast<std::size_t>(cells), '.')});
    return plan;
}

int DirectionOf(int dc, int dr) {
    static const int kTable[3][3] = {{8, 1, 2}, {7, 0, 3}, {6, 5, 4}};  // [dr + 1][dc + 1]
    return kTable[dr + 1][dc + 1];
}

// Run-length writer of one movement track.
class TTrackText {
public:
    explicit TTrackText(std::string& out) : Out_(out) {}
    ~TTrackText() { Flush(); }
    void Add(int direction, int64_t count = 1) {
        if (direction != Direction_) Flush();
        Direction_ = direction;
        Count_ += count;
    }
    void Flush() {
        if (Count_ >= 3) {
            Out_ += 'P';
            Out_ += std::to_string(Count_);
            Out_ += 'x';
            Out_ += static_cast<char>('0' + Direction_);
        } else {
            Out_.append(static_cast<std::size_t>(Count_), static_cast<char>('0' + Direction_));
        }
        Count_ = 0;
    }

private:
    std::string& Out_;
    int Direction_ = -1;
    int64_t Count_ = 0;
};

std::string Seconds(double t) {
    return Metres(t, 2) + " s";
}

}  // namespace

bool TCellPlan::CellOf(double x, double y, int& column, int& row) const {
    const double c = std::floor((x - OriginX) / CellSize);
    const double r = Rows - 1 - std::floor((y - OriginY) / CellSize);
    column = static_cast<int>(std::clamp(c, 0.0, static_cast<double>(Columns - 1)));
    row = static_cast<int>(std::clamp(r, 0.0, static_cast<double>(Rows - 1)));
    return c >= 0 && c < Columns && r >= 0 && r < Rows;
}

TCellPlan PlanOfTrajectories(const TTrajectorySet& set, const TCellOptions& options) {
    return GridOver(set, BoxOf(set), 0, options);
}

TCellPlan PlanOfArea(const TTrajectorySet& set, const IWalkableArea& area,
                     const TCellOptions& options) {
    TBox box = BoxOf(set);
    double minX, minY, maxX, maxY;
    area.Bounds(minX, minY, maxX, maxY);
    box.Add(minX, minY);
    box.Add(maxX, maxY);
    TCellPlan plan = GridOver(set, box, 1, options);
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
    return plan;
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

TConversion Convert(const TTrajectorySet& set, TCellPlan plan, const TCellOptions& options) {
    TConversion result;
    result.Warnings = set.Warnings;
    const std::string& name = set.Source;
    if (set.Persons.empty()) throw TImportError(name + ": no persons");
    if (plan.Columns <= 0 || plan.Rows <= 0 || plan.Decks.empty())
        throw TImportError(name + ": the grid has no cells");
    const double fps = set.Fps;
    const double size = plan.CellSize;
    const bool markVisited = std::all_of(plan.Decks[0].Cells.begin(), plan.Decks[0].Cells.end(),
                                         [](char c) { return c == '.'; });

    // The step rate: fast enough that nobody moves more than one cell a step.
    int64_t firstFrame = INT64_MAX;
    double fastest = 0;  // cells a second, along one axis
    for (const TPersonTrack& person : set.Persons) {
        if (person.Samples.empty()) continue;
        firstFrame = std::min(firstFrame, person.Samples.front().Frame);
        for (std::size_t k = 1; k < person.Samples.size(); ++k) {
            const TSample& a = person.Samples[k - 1];
            const TSample& b = person.Samples[k];
            const double dt = static_cast<double>(b.Frame - a.Frame) / fps;
            const double dx = std::abs(b.X - a.X), dy = std::abs(b.Y - a.Y);
            if (std::hypot(dx, dy) / dt > kTrackingErrorSpeed) continue;
            fastest = std::max(fastest, std::max(dx, dy) / size / dt);
        }
    }
    if (options.StepRate > 0) {
        result.StepRate = options.StepRate;
    } else {
        result.StepRate = std::clamp(static_cast<int>(std::ceil(fastest - 1e-9)), 1, kMaxStepRate);
        result.StepRateChosen = true;
    }
    const double rate = result.StepRate;

    // Length of the whole, refused before anything is allocated for it.
    double totalSteps = 0;
    for (const TPersonTrack& person : set.Persons)
        if (!person.Samples.empty())
            totalSteps +=
                static_cast<double>(person.Samples.back().Frame - firstFrame) / fps * rate + 1;
    if (!(totalSteps <= static_cast<double>(options.MaxTotalSteps)))
        throw TImportError(name + ": the tracks would take more than " +
                           std::to_string(options.MaxTotalSteps) + " steps at " +
                           std::to_string(result.StepRate) +
                           " steps a second; check the frame numbers and the frame rate");

    std::string& floor = plan.Decks[0].Cells;
    int outside = 0;
    result.ErrorBound = size * std::sqrt(0.5);
    for (const TPersonTrack& person : set.Persons) {
        if (person.Samples.empty()) continue;
        const std::vector<TSample>& s = person.Samples;
        const std::string who = "person " + std::to_string(person.Id);
        const auto timeOf = [&](int64_t frame) {
            return static_cast<double>(frame - firstFrame) / fps;
        };
        for (std::size_t k = 1; k < s.size(); ++k) {
            const double gap = static_cast<double>(s[k].Frame - s[k - 1].Frame) / fps;
            if (s[k].Frame - s[k - 1].Frame > 1 && gap > kLongGap)
                result.Warnings.push_back(name + ": " + who + " has no position from " +
                                          Seconds(timeOf(s[k - 1].Frame)) + " to " +
                                          Seconds(timeOf(s[k].Frame)) +
                                          "; the positions between are interpolated");
        }
        const double tFirst = timeOf(s.front().Frame);
        const double tLast = timeOf(s.back().Frame);
        const int64_t entry = static_cast<int64_t>(std::ceil(tFirst * rate - 1e-9));
        const int64_t last = std::max(entry, static_cast<int64_t>(std::ceil(tLast * rate - 1e-9)));
        if (last > kMaxStepCount)
            throw TImportError(name + ": " + who + " lasts longer than a track may hold");

        std::size_t seg = 0;
        const auto positionAt = [&](double t, double& x, double& y) {
            if (t <= tFirst) {
                x = s.front().X, y = s.front().Y;
                return;
            }
            while (seg + 1 < s.size() && timeOf(s[seg + 1].Frame) < t) ++seg;
            if (seg + 1 >= s.size()) {
                x = s.back().X, y = s.back().Y;
                return;
            }
            const double t0 = timeOf(s[seg].Frame), t1 = timeOf(s[seg + 1].Frame);
            const double u = (t - t0) / (t1 - t0);
            x = s[seg].X + u * (s[seg + 1].X - s[seg].X);
            y = s[seg].Y + u * (s[seg + 1].Y - s[seg].Y);
        };
        const auto cellOf = [&](double x, double y, int& c, int& r) {
            if (!plan.CellOf(x, y, c, r)) ++outside;
        };

        TConvertedPerson out;
        out.Id = person.Id;
        out.EntryStep = static_cast<int>(entry);
        double x, y;
        positionAt(static_cast<double>(entry) / rate, x, y);
        int c, r;
        cellOf(x, y, c, r);
        out.StartColumn = c;
        out.StartRow = r;
        out.Heading = 0;
        const auto visit = [&](int cc, int rr) {
            if (markVisited) floor[static_cast<std::size_t>(rr) * plan.Columns + cc] = '0';
        };
        visit(c, r);
        {
            TTrackText track(out.Track);
            track.Add(0, entry);
            bool jumping = false;
            for (int64_t k = entry; k < last; ++k) {
                positionAt(static_cast<double>(k + 1) / rate, x, y);
                int tc, tr;
                cellOf(x, y, tc, tr);
                const int dc = (tc > c) - (tc < c), dr = (tr > r) - (tr < r);
                const bool far = std::abs(tc - c) > 1 || std::abs(tr - r) > 1;
                if (far && !jumping)
                    result.Warnings.push_back(
                        name + ": " + who + " jumps " + Metres(std::hypot(tc - c, tr - r) * size) +
                        " m at " + Seconds(static_cast<double>(k + 1) / rate) +
                        " (a tracking error?); the move is spread over the following steps");
                c += dc, r += dr;
                jumping = c != tc || r != tr;
                const int direction = DirectionOf(dc, dr);
                if (direction != 0 && out.Heading == 0) out.Heading = direction;
                track.Add(direction);
                visit(c, r);
                if (!jumping)
                    result.MaxError = std::max(
                        result.MaxError, std::hypot(x - plan.CentreX(c), y - plan.CentreY(r)));
            }
            // Still behind after a jump at the end: the remaining moves.
            int tc, tr;
            cellOf(s.back().X, s.back().Y, tc, tr);
            while (c != tc || r != tr) {
                const int dc = (tc > c) - (tc < c), dr = (tr > r) - (tr < r);
                c += dc, r += dr;
                track.Add(DirectionOf(dc, dr));
                visit(c, r);
                ++out.Steps;
            }
        }
        out.Steps += last;
        if (out.Heading == 0) out.Heading = 3;
        result.Persons.push_back(std::move(out));
    }
    if (outside > 0)
        result.Warnings.push_back(name + ": " + std::to_string(outside) +
                                  " positions lie outside the grid; they were moved to its edge");
    result.Plan = std::move(plan);
    return result;
}

}  // namespace orlex::import
