// From positions to one-cell moves: the summary pass, the step rate, and every
// person resampled onto the grid, one person at a time.
#include <algorithm>
#include <cmath>

#include "cells.h"
#include "logfile.h"
#include "source.h"

namespace orlex::import {

namespace {

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
    // One step in direction that goes one level up (change 1) or down (-1).
    void AddLevel(int direction, int change) {
        Flush();
        Out_ += change > 0 ? 'U' : 'D';
        Out_ += static_cast<char>('0' + direction);
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
    return Decimal(t, 2) + " s";
}

// Warnings of one kind, the first few in full, then counted: bad data must not
// fill the memory (or the user's screen) with them.
class TWarningLog {
public:
    static constexpr int kInFull = 20;
    TWarningLog(std::vector<std::string>& out, std::string more)
        : Out_(out), More_(std::move(more)) {}
    void Add(const std::string& text) {
        if (++Count_ <= kInFull) Out_.push_back(text);
    }
    // Adds the count of the warnings left out.
    void Finish() {
        if (Count_ > kInFull)
            Out_.push_back(std::to_string(Count_ - kInFull) + " more " + More_ + " not listed");
    }

private:
    std::vector<std::string>& Out_;
    std::string More_;
    int64_t Count_ = 0;
};

int Sign(int value) {
    return (value > 0) - (value < 0);
}

}  // namespace

void TSummaryBuilder::Add(const TPersonTrack& person) {
    const std::vector<TSample>& s = person.Samples;
    if (s.empty()) return;
    TTrajectorySummary& summary = Summary_;
    ++summary.Persons;
    summary.FirstFrame = std::min(summary.FirstFrame, s.front().Frame);
    summary.LastFrameSum += static_cast<double>(s.back().Frame);
    for (std::size_t k = 0; k < s.size(); ++k) {
        summary.AddPoint(s[k].X, s[k].Y);
        if (k + 1 == s.size()) {
            if (FloorsFromZ_) Finder_.Add(s[k].Z, 1 / Fps_, Source_);
            break;
        }
        const double dt = static_cast<double>(s[k + 1].Frame - s[k].Frame) / Fps_;
        if (FloorsFromZ_) Finder_.Add(s[k].Z, dt, Source_);
        const double dx = std::abs(s[k + 1].X - s[k].X), dy = std::abs(s[k + 1].Y - s[k].Y);
        if (std::hypot(dx, dy) / dt > kTrackingErrorSpeed) continue;
        summary.FastestAxis = std::max(summary.FastestAxis, std::max(dx, dy) / dt);
    }
}

TTrajectorySummary TSummaryBuilder::Finish() {
    if (FloorsFromZ_) Summary_.Floors = Finder_.Find();
    return Summary_;
}

TTrajectorySummary Summarize(IPersonSource& source, bool floorsFromZ) {
    source.Rewind();
    if (const TTrajectorySummary* known = source.Summarized(floorsFromZ)) return *known;
    TSummaryBuilder builder(source.Fps(), floorsFromZ, source.Name());
    TPersonTrack person;
    while (source.Next(person)) builder.Add(person);
    source.Rewind();
    return builder.Finish();
}

TConversion Convert(const TTrajectorySet& set, TCellPlan plan, const TCellOptions& options) {
    TSetSource source(set);
    const TTrajectorySummary summary = Summarize(source, false);
    return Convert(source, summary, std::move(plan), options);
}

TConversion Convert(IPersonSource& source, const TTrajectorySummary& summary, TCellPlan plan,
                    const TCellOptions& options) {
    TConversion result;
    result.Warnings = source.Warnings();
    const std::string& name = source.Name();
    if (summary.Empty()) throw TImportError(name + ": no persons");
    if (plan.Columns <= 0 || plan.Rows <= 0 || plan.Decks.empty())
        throw TImportError(name + ": the grid has no cells");
    const TFloors& floors = summary.Floors;
    if (static_cast<int>(plan.Decks.size()) < floors.DeckCount())
        throw TImportError(name + ": the persons' z values show " +
                           std::to_string(floors.DeckCount()) + " floors, the grid has " +
                           std::to_string(plan.Decks.size()) + " decks");
    const double fps = source.Fps();
    const double size = plan.CellSize;
    const bool markVisited = std::all_of(plan.Decks.begin(), plan.Decks.end(), [](const auto& d) {
        return d.Cells.find_first_not_of('.') == std::string::npos;
    });

    // The step rate: fast enough that nobody moves more than one cell a step.
    if (options.StepRate > 0) {
        result.StepRate = options.StepRate;
    } else {
        result.StepRate = std::clamp(static_cast<int>(std::ceil(summary.FastestAxis / size - 1e-9)),
                                     1, kMaxStepRate);
        result.StepRateChosen = true;
    }
    const double rate = result.StepRate;
    const int64_t firstFrame = summary.FirstFrame;

    // Length of the whole, refused before anything is allocated for it.
    const double totalSteps = (summary.LastFrameSum - static_cast<double>(summary.Persons) *
                                                          static_cast<double>(firstFrame)) /
                                  fps * rate +
                              static_cast<double>(summary.Persons);
    if (!(totalSteps <= static_cast<double>(options.MaxTotalSteps)))
        throw TImportError(name + ": the tracks would take more than " +
                           std::to_string(options.MaxTotalSteps) + " steps at " +
                           std::to_string(result.StepRate) +
                           " steps a second; check the frame numbers and the frame rate");

    int outside = 0;
    result.ErrorBound = size * std::sqrt(0.5);
    result.Persons.reserve(static_cast<std::size_t>(summary.Persons));
    TWarningLog gaps(result.Warnings, "gaps longer than " + Seconds(kLongGap) + " in " + name);
    TWarningLog jumps(result.Warnings, "jumps in " + name);
    TPersonTrack person;
    while (source.Next(person)) {
        if (person.Samples.empty()) continue;
        const std::vector<TSample>& s = person.Samples;
        const std::string who = "person " + std::to_string(person.Id);
        const auto timeOf = [&](int64_t frame) {
            return static_cast<double>(frame - firstFrame) / fps;
        };
        for (std::size_t k = 1; k < s.size(); ++k) {
            const double gap = static_cast<double>(s[k].Frame - s[k - 1].Frame) / fps;
            if (s[k].Frame - s[k - 1].Frame > 1 && gap > kLongGap)
                gaps.Add(name + ": " + who + " has no position from " +
                         Seconds(timeOf(s[k - 1].Frame)) + " to " + Seconds(timeOf(s[k].Frame)) +
                         "; the positions between are interpolated");
        }
        const double tFirst = timeOf(s.front().Frame);
        const double tLast = timeOf(s.back().Frame);
        const int64_t entry = static_cast<int64_t>(std::ceil(tFirst * rate - 1e-9));
        const int64_t last = std::max(entry, static_cast<int64_t>(std::ceil(tLast * rate - 1e-9)));
        if (last > kMaxStepCount)
            throw TImportError(name + ": " + who + " lasts longer than a track may hold");

        std::size_t seg = 0;
        const auto positionAt = [&](double t, double& x, double& y, double& z) {
            if (t <= tFirst) {
                x = s.front().X, y = s.front().Y, z = s.front().Z;
                return;
            }
            while (seg + 1 < s.size() && timeOf(s[seg + 1].Frame) < t) ++seg;
            if (seg + 1 >= s.size()) {
                x = s.back().X, y = s.back().Y, z = s.back().Z;
                return;
            }
            const double t0 = timeOf(s[seg].Frame), t1 = timeOf(s[seg + 1].Frame);
            const double u = (t - t0) / (t1 - t0);
            x = s[seg].X + u * (s[seg + 1].X - s[seg].X);
            y = s[seg].Y + u * (s[seg + 1].Y - s[seg].Y);
            z = s[seg].Z + u * (s[seg + 1].Z - s[seg].Z);
        };
        const auto cellOf = [&](double x, double y, int& c, int& r) {
            if (!plan.CellOf(x, y, c, r)) ++outside;
        };

        TConvertedPerson out;
        out.Id = person.Id;
        out.EntryStep = static_cast<int>(entry);
        double x, y, z;
        positionAt(static_cast<double>(entry) / rate, x, y, z);
        int c, r;
        cellOf(x, y, c, r);
        int level = floors.LevelOf(z);
        out.StartColumn = c;
        out.StartRow = r;
        out.StartLevel = level;
        out.Heading = 0;
        const auto visit = [&] {
            if (markVisited)
                plan.Decks[static_cast<std::size_t>(level)]
                    .Cells[static_cast<std::size_t>(r) * plan.Columns + c] = '0';
        };
        // One step towards the target cell and level.
        const auto stepTowards = [&](TTrackText& track, int tc, int tr, int tl) {
            const int dc = Sign(tc - c), dr = Sign(tr - r), dl = Sign(tl - level);
            c += dc, r += dr, level += dl;
            const int direction = DirectionOf(dc, dr);
            if (direction != 0 && out.Heading == 0) out.Heading = direction;
            if (dl != 0)
                track.AddLevel(direction, dl);
            else
                track.Add(direction);
            visit();
        };
        visit();
        {
            TTrackText track(out.Track);
            track.Add(0, entry);
            bool jumping = false;
            for (int64_t k = entry; k < last; ++k) {
                positionAt(static_cast<double>(k + 1) / rate, x, y, z);
                int tc, tr;
                cellOf(x, y, tc, tr);
                const int tl = floors.LevelOf(z);
                const bool far =
                    std::abs(tc - c) > 1 || std::abs(tr - r) > 1 || std::abs(tl - level) > 1;
                if (far && !jumping)
                    jumps.Add(name + ": " + who + " jumps " +
                              Decimal(std::hypot(tc - c, tr - r) * size) + " m" +
                              (std::abs(tl - level) > 1
                                   ? " and " + std::to_string(std::abs(tl - level)) + " decks"
                                   : "") +
                              " at " + Seconds(static_cast<double>(k + 1) / rate) +
                              " (a tracking error?); the move is spread over the following steps");
                stepTowards(track, tc, tr, tl);
                jumping = c != tc || r != tr || level != tl;
                if (!jumping)
                    result.MaxError = std::max(
                        result.MaxError, std::hypot(x - plan.CentreX(c), y - plan.CentreY(r)));
            }
            // Still behind after a jump at the end: the remaining moves.
            int tc, tr;
            cellOf(s.back().X, s.back().Y, tc, tr);
            const int tl = floors.LevelOf(s.back().Z);
            while (c != tc || r != tr || level != tl) {
                stepTowards(track, tc, tr, tl);
                ++out.Steps;
            }
        }
        out.Steps += last;
        out.Track.shrink_to_fit();  // many persons: no slack kept for each
        if (out.Heading == 0) out.Heading = 3;
        result.Persons.push_back(std::move(out));
    }
    gaps.Finish();
    jumps.Finish();
    if (outside > 0)
        result.Warnings.push_back(name + ": " + std::to_string(outside) +
                                  " positions lie outside the grid; they were moved to its edge");
    result.Plan = std::move(plan);
    result.Floors = floors;
    return result;
}

}  // namespace orlex::import
