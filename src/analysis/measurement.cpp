#include "measurement.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <tuple>

#include "geometry.h"
#include "walk.h"

namespace orlex::analysis {

namespace {

// A line in cell coordinates (column, row as fractions), where persons stand on
// whole numbers; crossings do not change under that affine map.
struct TCellLine {
    int Deck = 0;
    TMetrePoint A, B;  // X column, Y row
    double MinC, MaxC, MinR, MaxR;
};

struct TCellArea {
    int Deck = 0;
    std::vector<TMetrePoint> Polygon;  // X column, Y row
    double MinC, MaxC, MinR, MaxR;
    bool Contains(int64_t c, int64_t r) const {
        return c >= MinC && c <= MaxC && r >= MinR && r <= MaxR &&
               geometry::Contains(Polygon, static_cast<double>(c), static_cast<double>(r));
    }
};

TMetrePoint CellPoint(const TMetreFrame& f, const TMetrePoint& p) {
    return {f.Column(p.X), f.Row(p.Y)};
}

// What one thread gathers.
struct TWork {
    std::vector<std::vector<double>> Crossings;  // per line
    std::vector<std::vector<int>> Count;         // per area, per point
    std::vector<std::vector<double>> SpeedSum;
    std::vector<std::vector<int>> SpeedN;
    std::vector<TExitEnd> Ends;
};

// Where a line or area lies on its deck, in cells.
struct TBox {
    double MinC, MaxC, MinR, MaxR;
};

struct TPassSetup {
    const TMeasureJob& Job;
    std::vector<std::vector<TBox>> BoxesOf;  // per deck, lines and areas
    std::vector<TCellLine> Lines;
    std::vector<TCellArea> Areas;
    std::vector<std::vector<int>> LinesOf;  // per deck
    std::vector<std::vector<int>> AreasOf;
    int64_t Every = 1;
    // Steps between a sample and the places its speed needs: those of a second, or 0
    // (no speeds) for absurd step rates whose places could not be kept.
    int64_t Delay = 1;
    std::size_t Points = 0;
    std::size_t Complete = 0;
};

// Positions of the last 2v + 1 steps, stamped with their step counter.
struct TStamped {
    int64_t Step = -1;
    TPlace Place;
};

class TPersonWalk {
public:
    TPersonWalk(const TPassSetup& s, TWork& w) : S_(s), W_(w) {
        const int64_t v = s.Delay;
        if (!s.Areas.empty()) Ring_.resize(static_cast<std::size_t>(2 * v + 1));
        Crossed_.resize(s.Lines.size());
    }

    void Walk(std::size_t index) {
        const TPersonData& person = S_.Job.Project->Persons[index];
        const auto& entries = S_.Job.Project->EntrySteps;
        N_ = std::max(0, person.StepCount);
        Entry_ = index < entries.size() ? std::max(0, entries[index]) : 0;
        std::fill(Crossed_.begin(), Crossed_.end(), false);
        for (auto& r : Ring_) r.Step = -1;
        Segments_.clear();
        Sampled_ = -1;
        TPlace place = StartPlace(person);
        int lastColumn = 0, lastRow = 0;
        int64_t k = 0;
        At(0, place, place);
        const bool stepwise = !S_.Lines.empty() || !S_.Areas.empty();
        TTrackCursor cursor(person);
        TStepRun run;
        while (k < N_) {
            if (const int64_t budget = Budget(place); budget > 0) {
                // Far from every line and area: plain steps in bulk.
                const TTrackCursor::TPlainSteps plain = cursor.SkipPlain(budget);
                if (plain.Steps > 0) {
                    place.Column += plain.Columns;
                    place.Row += plain.Rows;
                    k += plain.Steps;
                    // The direction of its last moves, for the exit it ends in.
                    if (plain.Moves > 0 && k > Entry_ && (plain.Columns != 0 || plain.Rows != 0)) {
                        lastColumn = static_cast<int>(plain.Columns);
                        lastRow = static_cast<int>(plain.Rows);
                    }
                    // None of these steps, nor a second around them, is inside an area.
                    Sampled_ = std::max(Sampled_, k);
                    continue;
                }
            }
            if (!cursor.Next(run)) break;
            const int64_t m = std::min<int64_t>(run.Count, N_ - k);
            const int d = run.Step.Direction;
            const bool moves = IsMoveDirection(d);
            if (!stepwise) {
                place.Apply(run.Step, m);
                k += m;
            } else if (run.Step.LevelChange == 0 && Clear(place, d, m)) {
                // A straight run that meets no line or area: its places are known
                // without stepping.
                const int dc = moves ? kDirectionColumn[d] : 0;
                const int dr = moves ? kDirectionRow[d] : 0;
                Skip(k, m, place, dc, dr);
                place.Column += dc * m;
                place.Row += dr * m;
                k += m;
            } else {
                for (int64_t j = 0; j < m; ++j) {
                    const TPlace before = place;
                    place.Apply(run.Step, 1);
                    At(++k, before, place);
                }
            }
            // The last move after the person entered gives its direction at the exit.
            if (moves && k > Entry_) {
                lastColumn = kDirectionColumn[d];
                lastRow = kDirectionRow[d];
            }
        }
        Finish();
        if (index < S_.Complete && Entry_ <= N_) {
            const TMeasureJob& job = S_.Job;
            if (place.Level >= 0 && place.Level < job.Decks && place.Column >= 0 &&
                place.Column < job.Frame.Columns && place.Row >= 0 && place.Row < job.Frame.Rows) {
                const double time =
                    static_cast<double>(N_ + 1) / job.StepsPerSecond + job.TimeOffset;
                W_.Ends.push_back({static_cast<int>(place.Level), static_cast<int>(place.Row),
                                   static_cast<int>(place.Column), lastColumn, lastRow, time});
            }
        }
    }

private:
    const std::vector<int>* OnDeck(const std::vector<std::vector<int>>& of, int64_t level) const {
        if (level < 0 || level >= static_cast<int64_t>(of.size())) return nullptr;
        const auto& list = of[static_cast<std::size_t>(level)];
        return list.empty() ? nullptr : &list;
    }

    // The person stands at place at step counter k, coming from before.
    void At(int64_t k, const TPlace& before, const TPlace& place) {
        const int64_t v = S_.Delay;
        if (!Ring_.empty()) Ring_[static_cast<std::size_t>(k % (2 * v + 1))] = {k, place};
        if (k > Entry_ && before.Level == place.Level &&
            (before.Column != place.Column || before.Row != place.Row)) {
            if (const auto* lines = OnDeck(S_.LinesOf, place.Level))
                Cross(k, before, place, *lines);
        }
        if (!Ring_.empty() && k - v >= 0) Sample(k - v);
    }

    void Cross(int64_t k, const TPlace& a, const TPlace& b, const std::vector<int>& lines) {
        const double c0 = static_cast<double>(std::min(a.Column, b.Column));
        const double c1 = static_cast<double>(std::max(a.Column, b.Column));
        const double r0 = static_cast<double>(std::min(a.Row, b.Row));
        const double r1 = static_cast<double>(std::max(a.Row, b.Row));
        for (const int i : lines) {
            const TCellLine& line = S_.Lines[static_cast<std::size_t>(i)];
            if (Crossed_[static_cast<std::size_t>(i)] || c1 < line.MinC || c0 > line.MaxC ||
                r1 < line.MinR || r0 > line.MaxR)
                continue;
            const TMetrePoint p{static_cast<double>(a.Column), static_cast<double>(a.Row)};
            const TMetrePoint q{static_cast<double>(b.Column), static_cast<double>(b.Row)};
            if (!geometry::SegmentsIntersect(p, q, line.A, line.B)) continue;
            Crossed_[static_cast<std::size_t>(i)] = true;
            W_.Crossings[static_cast<std::size_t>(i)].push_back(
                static_cast<double>(k) / S_.Job.StepsPerSecond + S_.Job.TimeOffset);
        }
    }

    // How many moves a person at place may make without coming within a second's
    // walk (v cells) of a line or area of its deck; 0 when it must be followed step
    // by step. At most kMaxBulk, so that an exit knows the direction of the last
    // few moves.
    int64_t Budget(const TPlace& place) const {
        constexpr int64_t kMaxBulk = 32;
        if (place.Level < 0 || place.Level >= static_cast<int64_t>(S_.BoxesOf.size()))
            return kMaxBulk;
        const auto& boxes = S_.BoxesOf[static_cast<std::size_t>(place.Level)];
        double distance = 1e18;
        const double c = static_cast<double>(place.Column), r = static_cast<double>(place.Row);
        for (const TBox& b : boxes) {
            const double dc = std::max({b.MinC - c, 0.0, c - b.MaxC});
            const double dr = std::max({b.MinR - r, 0.0, r - b.MaxR});
            distance = std::min(distance, std::max(dc, dr));
        }
        const double budget = std::floor(distance) - 1 - S_.Delay;
        return budget < 1 ? 0 : budget > kMaxBulk ? kMaxBulk : static_cast<int64_t>(budget);
    }

    // Whether a straight run of m steps from place in direction d stays clear of the
    // boxes of every line and area of its deck.
    bool Clear(const TPlace& place, int d, int64_t m) const {
        if (place.Level < 0 || place.Level >= static_cast<int64_t>(S_.BoxesOf.size())) return true;
        const auto& boxes = S_.BoxesOf[static_cast<std::size_t>(place.Level)];
        if (boxes.empty()) return true;
        const bool moves = IsMoveDirection(d);
        const int64_t c1 = place.Column + (moves ? kDirectionColumn[d] * m : 0);
        const int64_t r1 = place.Row + (moves ? kDirectionRow[d] * m : 0);
        const double minC = static_cast<double>(std::min(place.Column, c1));
        const double maxC = static_cast<double>(std::max(place.Column, c1));
        const double minR = static_cast<double>(std::min(place.Row, r1));
        const double maxR = static_cast<double>(std::max(place.Row, r1));
        for (const TBox& b : boxes) {
            if (!(maxC < b.MinC || minC > b.MaxC || maxR < b.MinR || minR > b.MaxR)) return false;
        }
        return true;
    }

    // Steps k + 1 .. k + m go straight from place by (dc, dr) a step, clear of every
    // line and area: nobody crosses or stands inside, only the samples before them
    // that needed a place among them are taken now.
    void Skip(int64_t k, int64_t m, const TPlace& place, int dc, int dr) {
        if (Ring_.empty()) return;
        const int64_t v = S_.Delay;
        // Segments older than two seconds are no longer asked for.
        while (!Segments_.empty() && Segments_.front().K + Segments_.front().M < k - 2 * v - 1)
            Segments_.erase(Segments_.begin());
        Segments_.push_back({k, m, place, dc, dr});
        for (int64_t s = Sampled_ + 1; s <= std::min(k, k + m - v); ++s) Sample(s);
        Sampled_ = std::max(Sampled_, k + m - v);
    }

    bool PlaceAt(int64_t k, TPlace& out) const {
        if (k < Entry_ || k > N_ || k < 0) return false;
        const int64_t v = S_.Delay;
        const TStamped& s = Ring_[static_cast<std::size_t>(k % (2 * v + 1))];
        if (s.Step == k) {
            out = s.Place;
            return true;
        }
        for (auto it = Segments_.rbegin(); it != Segments_.rend(); ++it) {
            if (k > it->K && k <= it->K + it->M) {
                out = it->Place;
                out.Column += it->Dc * (k - it->K);
                out.Row += it->Dr * (k - it->K);
                return true;
            }
        }
        return false;
    }

    // Counts the person at step counter s in the areas it stands in, once the
    // position a second later is known (or the track has ended).
    void Sample(int64_t s) {
        if (s <= Sampled_) return;
        Sampled_ = s;
        if (s % S_.Every != 0 || s < Entry_ || s > N_) return;
        TPlace at;
        if (!PlaceAt(s, at)) return;
        const TPlace* here = &at;
        const auto* areas = OnDeck(S_.AreasOf, here->Level);
        if (!areas) return;
        const int64_t v = S_.Delay;
        const std::size_t point = static_cast<std::size_t>(s / S_.Every);
        for (const int i : *areas) {
            const auto a = static_cast<std::size_t>(i);
            if (!S_.Areas[a].Contains(here->Column, here->Row)) continue;
            ++W_.Count[a][point];
            TPlace before, after;
            if (v > 0 && PlaceAt(s - v, before) && PlaceAt(s + v, after) &&
                before.Level == here->Level && after.Level == here->Level) {
                const double dc = static_cast<double>(after.Column - before.Column);
                const double dr = static_cast<double>(after.Row - before.Row);
                W_.SpeedSum[a][point] += std::sqrt(dc * dc + dr * dr) * S_.Job.Frame.CellSize / 2.0;
                ++W_.SpeedN[a][point];
            }
        }
    }

    // The steps whose second after lies beyond the end of the track.
    void Finish() {
        if (Ring_.empty()) return;
        const int64_t v = S_.Delay;
        for (int64_t s = std::max<int64_t>(Sampled_ + 1, N_ - v + 1); s <= N_; ++s) Sample(s);
    }

    // Steps K + 1 .. K + M, at Place + (step - K) * (Dc, Dr).
    struct TSegment {
        int64_t K, M;
        TPlace Place;
        int Dc, Dr;
    };

    const TPassSetup& S_;
    TWork& W_;
    std::vector<TStamped> Ring_;
    std::vector<TSegment> Segments_;
    int64_t Sampled_ = -1;  // the last step counter sampled
    std::vector<bool> Crossed_;
    int64_t N_ = 0;
    int64_t Entry_ = 0;
};

TPassSetup Setup(const TMeasureJob& job) {
    TPassSetup s{job, {}, {}, {}, {}, {}, 1, 1, 0, 0};
    constexpr int64_t kMaxDelay = 1000;
    s.Delay = job.StepsPerSecond <= kMaxDelay ? std::max(1, job.StepsPerSecond) : 0;
    const TMetreFrame& f = job.Frame;
    s.LinesOf.resize(static_cast<std::size_t>(std::max(0, job.Decks)));
    s.AreasOf = s.LinesOf;
    if (job.Set) {
        for (const TMeasureLine& l : job.Set->Lines) {
            TCellLine c{l.Deck, CellPoint(f, l.From), CellPoint(f, l.To), 0, 0, 0, 0};
            std::tie(c.MinC, c.MaxC) = std::minmax(c.A.X, c.B.X);
            std::tie(c.MinR, c.MaxR) = std::minmax(c.A.Y, c.B.Y);
            if (l.Deck >= 0 && l.Deck < job.Decks)
                s.LinesOf[static_cast<std::size_t>(l.Deck)].push_back(
                    static_cast<int>(s.Lines.size()));
            s.Lines.push_back(c);
        }
        for (const TMeasureArea& a : job.Set->Areas) {
            TCellArea c{a.Deck, {}, 1e300, -1e300, 1e300, -1e300};
            for (const TMetrePoint& p : a.Polygon) {
                const TMetrePoint q = CellPoint(f, p);
                c.Polygon.push_back(q);
                c.MinC = std::min(c.MinC, q.X);
                c.MaxC = std::max(c.MaxC, q.X);
                c.MinR = std::min(c.MinR, q.Y);
                c.MaxR = std::max(c.MaxR, q.Y);
            }
            if (a.Deck >= 0 && a.Deck < job.Decks)
                s.AreasOf[static_cast<std::size_t>(a.Deck)].push_back(
                    static_cast<int>(s.Areas.size()));
            s.Areas.push_back(std::move(c));
        }
    }
    s.BoxesOf.resize(s.LinesOf.size());
    for (const TCellLine& l : s.Lines) {
        if (l.Deck >= 0 && l.Deck < job.Decks)
            s.BoxesOf[static_cast<std::size_t>(l.Deck)].push_back({l.MinC, l.MaxC, l.MinR, l.MaxR});
    }
    for (const TCellArea& a : s.Areas) {
        if (a.Deck >= 0 && a.Deck < job.Decks)
            s.BoxesOf[static_cast<std::size_t>(a.Deck)].push_back({a.MinC, a.MaxC, a.MinR, a.MaxR});
    }
    // Every step while the run fits the curve limit, else evenly spaced steps.
    const int64_t steps = std::max<int64_t>(job.LastStep, 0) + 1;
    // The series of all areas together hold at most kMaxAreaPoints points.
    constexpr std::size_t kMaxAreaPoints = std::size_t{1} << 23;
    const std::size_t perArea = kMaxAreaPoints / std::max<std::size_t>(1, s.Areas.size());
    const auto limit =
        static_cast<int64_t>(std::max<std::size_t>(std::min(job.MaxPoints, perArea), 2));
    s.Every = (steps + limit - 1) / limit;
    s.Points = static_cast<std::size_t>((steps + s.Every - 1) / s.Every);
    const auto& persons = job.Project->Persons;
    s.Complete = std::min(persons.size(),
                          static_cast<std::size_t>(std::max(0, job.Project->CompleteTracks)));
    return s;
}

}  // namespace

bool RunMeasurePass(const TMeasureJob& job, int threads, TMeasureOutput& out,
                    const std::function<void(double)>& progress) {
    const TPassSetup setup = Setup(job);
    const auto& persons = job.Project->Persons;
    const auto cancelled = [&] {
        return job.Cancelled && job.Cancelled->load(std::memory_order_relaxed);
    };
    threads = std::clamp<int>(threads, 1, std::max<int>(1, static_cast<int>(persons.size() / 256)));
    // Each thread sums the areas' series of its own: at most about 512 MB of them.
    const std::size_t seriesBytes = setup.Areas.size() * setup.Points * 16 + 1;
    threads = std::min<int>(
        threads, static_cast<int>(std::max<std::size_t>(1, (std::size_t{1} << 29) / seriesBytes)));
    std::vector<TWork> work(static_cast<std::size_t>(threads));
    for (TWork& w : work) {
        w.Crossings.resize(setup.Lines.size());
        w.Count.assign(setup.Areas.size(), std::vector<int>(setup.Points, 0));
        w.SpeedSum.assign(setup.Areas.size(), std::vector<double>(setup.Points, 0.0));
        w.SpeedN = w.Count;
    }
    constexpr std::size_t kChunk = 256;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    const auto walk = [&](int t) {
        TPersonWalk person(setup, work[static_cast<std::size_t>(t)]);
        for (;;) {
            const std::size_t begin = next.fetch_add(kChunk, std::memory_order_relaxed);
            if (begin >= persons.size() || cancelled()) return;
            const std::size_t end = std::min(persons.size(), begin + kChunk);
            for (std::size_t i = begin; i < end; ++i) person.Walk(i);
            done.fetch_add(end - begin, std::memory_order_relaxed);
            if (t == 0 && progress) progress(static_cast<double>(done.load()) / persons.size());
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t) helpers.emplace_back(walk, t);
        walk(0);
    }
    if (cancelled()) return false;

    out = {};
    for (TWork& w : work) out.Ends.insert(out.Ends.end(), w.Ends.begin(), w.Ends.end());
    std::sort(out.Ends.begin(), out.Ends.end(), [](const TExitEnd& a, const TExitEnd& b) {
        return std::tie(a.Deck, a.Row, a.Column, a.Time) <
               std::tie(b.Deck, b.Row, b.Column, b.Time);
    });
    if (job.Set) {
        for (std::size_t i = 0; i < setup.Lines.size(); ++i) {
            const TMeasureLine& l = job.Set->Lines[i];
            TLineResult r;
            r.Name = l.Name;
            r.Deck = l.Deck;
            r.Length = std::sqrt((l.To.X - l.From.X) * (l.To.X - l.From.X) +
                                 (l.To.Y - l.From.Y) * (l.To.Y - l.From.Y));
            for (TWork& w : work)
                r.CrossingTimes.insert(r.CrossingTimes.end(), w.Crossings[i].begin(),
                                       w.Crossings[i].end());
            std::sort(r.CrossingTimes.begin(), r.CrossingTimes.end());
            out.Lines.push_back(std::move(r));
        }
        for (std::size_t i = 0; i < setup.Areas.size(); ++i) {
            const TMeasureArea& a = job.Set->Areas[i];
            TAreaResult r;
            r.Name = a.Name;
            r.Deck = a.Deck;
            r.Area = geometry::Area(a.Polygon);
            r.EveryStep = setup.Every;
            r.Count.assign(setup.Points, 0);
            r.Speed.assign(setup.Points, std::nullopt);
            for (std::size_t p = 0; p < setup.Points; ++p) {
                double sum = 0;
                int n = 0;
                for (TWork& w : work) {
                    r.Count[p] += w.Count[i][p];
                    sum += w.SpeedSum[i][p];
                    n += w.SpeedN[i][p];
                }
                if (n > 0) r.Speed[p] = sum / n;
            }
            out.Areas.push_back(std::move(r));
        }
    }
    return true;
}

}  // namespace orlex::analysis
