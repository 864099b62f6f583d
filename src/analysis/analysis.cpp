#include "analysis.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>
#include <tuple>

#include "density.h"
#include "exits.h"
#include "measurement.h"
#include "walk.h"

namespace orlex {

namespace {

using analysis::TOccupancyEvent;
using analysis::TPlace;

struct TCurveWork {
    std::vector<std::vector<TOccupancyEvent>> Events;  // per deck
};

// Follows one person along its track and notes when it starts and stops being
// counted on a deck (on a valid level and inside the grid). A person entering late
// is counted from its entry step on: what happens before it is moved there, where
// the changes add up to the deck it then stands on.
void CollectPerson(const TPersonData& person, int64_t entry, int64_t columns, int64_t rows,
                   int decks, TCurveWork& work) {
    TPlace place = analysis::StartPlace(person);
    const auto deckOf = [&](const TPlace& p) {
        const bool counted = p.Level >= 0 && p.Level < decks && p.Column >= 0 &&
                             p.Column < columns && p.Row >= 0 && p.Row < rows;
        return counted ? static_cast<int>(p.Level) : -1;
    };
    const auto change = [&](int64_t step, int from, int to) {
        if (from == to) return;
        step = std::max(step, entry);
        if (from >= 0) work.Events[static_cast<std::size_t>(from)].push_back({step, -1});
        if (to >= 0) work.Events[static_cast<std::size_t>(to)].push_back({step, +1});
    };
    // Steps the person can walk in any direction without leaving the grid; 0 when
    // it is not counted on a deck.
    const auto margin = [&](const TPlace& p, int deck) {
        if (deck < 0) return int64_t{0};
        return std::min({p.Column, p.Row, columns - 1 - p.Column, rows - 1 - p.Row});
    };
    int deck = deckOf(place);
    change(0, -1, deck);
    int64_t safe = margin(place, deck);
    int64_t k = 0;  // entries applied
    TTrackCursor cursor(person);
    TStepRun run;
    for (;;) {
        if (safe > 0) {
            // Well inside the grid: nothing counted changes until the level does.
            const TTrackCursor::TPlainSteps plain = cursor.SkipPlain(safe);
            place.Column += plain.Columns;
            place.Row += plain.Rows;
            safe -= plain.Moves;
            k += plain.Steps;
        }
        if (!cursor.Next(run)) break;
        const int64_t m = run.Count;
        const int d = run.Step.Direction;
        if (run.Step.LevelChange != 0) {
            for (int64_t i = 0; i < m; ++i) {
                place.Apply(run.Step, 1);
                ++k;
                const int next = deckOf(place);
                change(k, deck, next);
                deck = next;
            }
        } else if (IsMoveDirection(d) && place.Level >= 0 && place.Level < decks) {
            TPlace end = place;
            end.Apply(run.Step, m);
            const int level = static_cast<int>(place.Level);
            const int last = deckOf(end);
            // A straight line that starts and ends inside the grid stays inside.
            if (deck < 0 || last < 0) {
                const analysis::TSpan in = analysis::InsideSpan(place, d, columns, rows, 0, m);
                if (deck >= 0) {
                    change(k + in.Last + 1, deck, -1);
                } else if (!in.Empty()) {
                    change(k + in.First, -1, level);
                    if (in.Last < m) change(k + in.Last + 1, level, -1);
                }
            }
            place = end;
            deck = last;
            k += m;
        } else {
            place.Apply(run.Step, m);
            k += m;
        }
        safe = margin(place, deck);
    }
    change(int64_t{person.StepCount} + 1, deck, -1);
}

TStepCurve CurveOf(std::vector<TOccupancyEvent>& events) {
    std::sort(events.begin(), events.end(),
              [](const TOccupancyEvent& a, const TOccupancyEvent& b) { return a.Step < b.Step; });
    TStepCurve curve;
    int value = 0;
    for (std::size_t i = 0; i < events.size();) {
        const int64_t step = events[i].Step;
        for (; i < events.size() && events[i].Step == step; ++i) value += events[i].Delta;
        if (value == curve.Values.back()) continue;
        if (curve.Steps.back() == step) {
            curve.Values.back() = value;
        } else {
            curve.Steps.push_back(step);
            curve.Values.push_back(value);
        }
    }
    return curve;
}

void Report(IAnalysisProgress* progress, int& last, int position) {
    if (progress && position > last) {
        last = position;
        progress->SetPosition(position);
    }
}

}  // namespace

int AnalysisThreads(int threads) {
    if (threads > 0) return threads;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

TEvacuationAnalysis::TEvacuationAnalysis(const TLogFile1& project,
                                         const TAnalysisSettings& settings,
                                         TAnalysisOptions options)
    : Project_(project), Settings_(settings), Options_(options) {}

bool TEvacuationAnalysis::Curves(TAnalysisResult& r, IAnalysisProgress* progress) {
    std::vector<std::vector<TOccupancyEvent>> events;
    if (!CollectOccupancy(r, events)) return false;
    int last = -1;
    Report(progress, last, 50);
    SavedAndExitTimes(r);
    if (IsCancelled()) return false;
    MakeOccupancy(r, events);
    if (Options_.Measurements && !Measure(r, progress, last, 60)) return false;
    Report(progress, last, 100);
    return true;
}

bool TEvacuationAnalysis::Measure(TAnalysisResult& r, IAnalysisProgress* progress, int& last,
                                  int from) {
    analysis::TMeasureJob job;
    job.Project = &Project_;
    job.Set = Options_.Measures;
    job.Frame = MetreFrameOf(Project_, Settings_.CellSize);
    job.Decks = r.Decks;
    job.LastStep = r.LastStep;
    job.StepsPerSecond = r.StepsPerSecond;
    job.TimeOffset = r.TimeOffset;
    job.Cancelled = &Cancelled_;
    analysis::TMeasureOutput out;
    const auto onProgress = [&](double share) {
        Report(progress, last, from + static_cast<int>((99 - from) * std::min(1.0, share)));
    };
    if (!analysis::RunMeasurePass(job, AnalysisThreads(Options_.Threads), out, onProgress))
        return false;
    std::vector<std::string> captions;
    for (int z = 0; z < r.Decks; ++z) captions.push_back(Project_.GetDeckCaption(z));
    r.Exits = analysis::MakeExits(out.Ends, job.Frame, captions, Settings_.FlowWindow);
    r.Lines = std::move(out.Lines);
    for (TLineResult& line : r.Lines) {
        line.PeakFlow = PeakFlow(line.CrossingTimes, Settings_.FlowWindow);
        line.PeakSpecificFlow = line.Length > 0 ? line.PeakFlow / line.Length : 0;
    }
    r.Areas = std::move(out.Areas);
    r.LastOccupiedSteps = analysis::LastOccupiedSteps(r.Occupancy);
    r.HasMeasurements = true;
    return !IsCancelled();
}

bool TEvacuationAnalysis::CollectOccupancy(const TAnalysisResult& r,
                                           std::vector<std::vector<TOccupancyEvent>>& events) {
    const auto& persons = Project_.Persons;
    const std::vector<int>& entries = Project_.EntrySteps;
    const int threads =
        std::min<int>(AnalysisThreads(Options_.Threads), std::max<int>(1, persons.size() / 256));
    std::vector<TCurveWork> work(static_cast<std::size_t>(threads));
    for (auto& w : work) w.Events.resize(static_cast<std::size_t>(r.Decks));
    // Persons are handed out in chunks as the threads get free: tracks differ in length.
    constexpr std::size_t kChunk = 256;
    std::atomic<std::size_t> next{0};
    const auto collect = [&](int t) {
        for (;;) {
            const std::size_t begin = next.fetch_add(kChunk, std::memory_order_relaxed);
            if (begin >= persons.size() || IsCancelled()) return;
            const std::size_t end = std::min(persons.size(), begin + kChunk);
            for (std::size_t i = begin; i < end; ++i) {
                const int64_t entry = i < entries.size() ? std::max(0, entries[i]) : 0;
                CollectPerson(persons[i], entry, r.Columns, r.Rows, r.Decks, work[t]);
            }
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t) helpers.emplace_back(collect, t);
        collect(0);
    }
    if (IsCancelled()) return false;
    events.assign(static_cast<std::size_t>(r.Decks), {});
    for (int z = 0; z < r.Decks; ++z) {
        auto& all = events[static_cast<std::size_t>(z)];
        for (auto& w : work) {
            auto& e = w.Events[static_cast<std::size_t>(z)];
            all.insert(all.end(), e.begin(), e.end());
            std::vector<TOccupancyEvent>().swap(e);
        }
    }
    return true;
}

void TEvacuationAnalysis::MakeOccupancy(TAnalysisResult& r,
                                        std::vector<std::vector<TOccupancyEvent>>& events) {
    r.Occupancy.assign(static_cast<std::size_t>(r.Decks), {});
    for (std::size_t z = 0; z < events.size() && z < r.Occupancy.size(); ++z) {
        r.Occupancy[z] = CurveOf(events[z]);
        std::vector<TOccupancyEvent>().swap(events[z]);
    }
}

void TEvacuationAnalysis::SavedAndExitTimes(TAnalysisResult& r) {
    const auto& persons = Project_.Persons;
    // Tracks are read in file order: only the last ones can be cut.
    const std::size_t complete =
        std::min(persons.size(), static_cast<std::size_t>(std::max(0, Project_.CompleteTracks)));
    r.CutTracks = static_cast<int>(persons.size() - complete);
    std::vector<TOccupancyEvent> saved;
    saved.reserve(persons.size());
    std::vector<double> known;
    known.reserve(complete);
    for (std::size_t i = 0; i < persons.size(); ++i) {
        const int64_t n = std::max(0, persons[i].StepCount);
        r.LastStep = std::max(r.LastStep, n);
        saved.push_back({n + 1, 1});
        const double exit = static_cast<double>(n + 1) / r.StepsPerSecond + r.TimeOffset;
        if (i < complete) known.push_back(exit);
        r.ExitTimes.push_back(i < complete ? exit : std::numeric_limits<double>::quiet_NaN());
    }
    r.Saved = CurveOf(saved);
    if (!persons.empty()) r.Duration = static_cast<double>(r.LastStep + 1) / r.StepsPerSecond;
    if (!known.empty() && r.Complete())
        r.EvacuationTime = *std::max_element(known.begin(), known.end());
    r.ExitStats = ExitStatistics(std::move(known));
}

std::unique_ptr<TAnalysisResult> TEvacuationAnalysis::Run(IAnalysisProgress* progress) {
    if (ValidateAnalysisSettings(Settings_) || IsCancelled()) return nullptr;
    auto r = std::make_unique<TAnalysisResult>();
    r->Settings = Settings_;
    r->StepsPerSecond = Project_.VMax > 0 ? Project_.VMax : 1;
    r->TimeOffset = Project_.TOff;
    r->Persons = Project_.PMax;
    r->Columns = std::max(0, Project_.XMax);
    r->Rows = std::max(0, Project_.YMax);
    r->Decks =
        std::clamp<int>(static_cast<int>(Project_.Decks.size()), 0, std::max(0, Project_.ZMax));
    const int64_t cells = int64_t{r->Columns} * r->Rows * r->Decks;
    // The density pass numbers a deck's cells in 31 bits.
    r->DensityTooLarge = Options_.Density && (cells > Options_.MaxDensityCells ||
                                              int64_t{r->Columns} * r->Rows >= int64_t{1} << 31);
    if (!Options_.Density || r->DensityTooLarge) {
        if (!Curves(*r, progress)) return nullptr;
        return r;
    }
    // The density pass finds the occupancy too.
    SavedAndExitTimes(*r);
    int last = 10;
    Report(progress, last, 10);
    const int threads = AnalysisThreads(Options_.Threads);

    analysis::TDensityJob job;
    job.Project = &Project_;
    job.Columns = r->Columns;
    job.Rows = r->Rows;
    job.Decks = r->Decks;
    job.LastStep = r->LastStep;
    job.Window = Settings_.Window;
    job.CountLimit = analysis::CountLimit(Settings_.DensityLimit, r->WindowArea());
    job.Cancelled = &Cancelled_;
    const double span = Options_.Measurements ? 69.0 : 89.0;
    const auto onProgress = [&](double share) {
        Report(progress, last, 10 + static_cast<int>(span * std::min(1.0, share)));
    };
    std::vector<std::vector<TOccupancyEvent>> occupancy;
    if (!analysis::RunDensity(job, threads, *r, r->Peak, occupancy, onProgress) || IsCancelled()) {
        return nullptr;
    }
    MakeOccupancy(*r, occupancy);
    if (r->Peak) r->Peak->Value = r->DensityOf(static_cast<uint32_t>(r->Peak->Count));
    r->CongestedPerDeck.assign(static_cast<std::size_t>(r->Decks), 0);
    r->UsagePerDeck.assign(static_cast<std::size_t>(r->Decks), 0.0);
    for (int z = 0; z < r->Decks; ++z) {
        const TDeckMaps& maps = r->Maps[static_cast<std::size_t>(z)];
        const uint64_t usage = maps.UsageSteps.Sum();
        r->UsagePerDeck[static_cast<std::size_t>(z)] = r->Seconds(static_cast<double>(usage));
        // Only cells ever above the limit can be congested: those of the tiles made.
        const std::size_t first = r->Congested.size();
        maps.StepsAbove.ForEachSet([&](int row, int column, uint32_t) {
            const TCellPlace cell{z, row, column};
            if (r->IsCongested(cell)) r->Congested.push_back({cell, r->SecondsAbove(cell)});
        });
        std::sort(r->Congested.begin() + static_cast<std::ptrdiff_t>(first), r->Congested.end(),
                  [](const TCongestedCell& a, const TCongestedCell& b) {
                      return std::tie(a.Cell.Row, a.Cell.Column) <
                             std::tie(b.Cell.Row, b.Cell.Column);
                  });
        r->CongestedPerDeck[static_cast<std::size_t>(z)] =
            static_cast<int>(r->Congested.size() - first);
    }
    r->HasDensity = true;
    if (Options_.Measurements && !Measure(*r, progress, last, 80)) return nullptr;
    Report(progress, last, 100);
    return r;
}

}  // namespace orlex
