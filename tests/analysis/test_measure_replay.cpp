// Agreement of the exits, lines and areas with a plain replay: every person moved
// step by step and every measurement tested in metres, on generated and on randomly
// written projects with random lines and areas.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <tuple>

#include "analysis.h"
#include "generated.h"
#include "projects.h"
#include "rooms.h"

namespace orlex {
namespace {

constexpr int kColumnStep[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kRowStep[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};

struct TAt {
    long long C = 0, R = 0, L = 0;
};

// Every person's place at every step counter 0 .. StepCount.
std::vector<std::vector<TAt>> Places(const TLogFile1& p) {
    std::vector<std::vector<TAt>> all;
    for (const TPersonData& person : p.Persons) {
        std::vector<TAt> at{{person.StartX, person.StartY, person.StartLevel}};
        for (int k = 0; k < person.StepCount; ++k) {
            TAt next = at.back();
            const TStep e = person.GetStep(k);
            if (e.Direction >= 1 && e.Direction <= 8) {
                next.C += kColumnStep[e.Direction];
                next.R += kRowStep[e.Direction];
            }
            next.L += e.LevelChange;
            at.push_back(next);
        }
        all.push_back(std::move(at));
    }
    return all;
}

double Orient(double ax, double ay, double bx, double by, double cx, double cy) {
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

// Whether the segments p-q and a-b share a point, in metres.
bool Meet(double px, double py, double qx, double qy, const TMetrePoint& a, const TMetrePoint& b) {
    const double d1 = Orient(a.X, a.Y, b.X, b.Y, px, py);
    const double d2 = Orient(a.X, a.Y, b.X, b.Y, qx, qy);
    const double d3 = Orient(px, py, qx, qy, a.X, a.Y);
    const double d4 = Orient(px, py, qx, qy, b.X, b.Y);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// Ray casting towards +x.
bool Inside(const std::vector<TMetrePoint>& poly, double x, double y) {
    int crossings = 0;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const TMetrePoint& a = poly[i];
        const TMetrePoint& b = poly[(i + 1) % poly.size()];
        if ((a.Y <= y && b.Y > y) || (b.Y <= y && a.Y > y)) {
            if (x < a.X + (y - a.Y) / (b.Y - a.Y) * (b.X - a.X)) ++crossings;
        }
    }
    return crossings % 2 == 1;
}

// Random lines and areas (rectangles and triangles) over the grid, in metres.
TMeasureSet RandomSet(const TLogFile1& p, double cellSize, uint64_t seed) {
    std::mt19937_64 rng(seed);
    const double w = p.XMax * cellSize, h = p.YMax * cellSize;
    std::uniform_real_distribution<double> x(0, w), y(0, h);
    const int decks = static_cast<int>(p.Decks.size());
    TMeasureSet set;
    for (int i = 0; i < 6; ++i)
        set.Lines.push_back(
            {"L" + std::to_string(i), i % decks, {x(rng), y(rng)}, {x(rng), y(rng)}});
    for (int i = 0; i < 6; ++i) {
        const double x0 = x(rng), x1 = x(rng), y0 = y(rng), y1 = y(rng);
        TMeasureArea a{"A" + std::to_string(i), i % decks, {}};
        if (i % 2 == 0) {
            a.Polygon = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        } else {
            a.Polygon = {{x0, y0}, {x1, y0}, {x(rng), y1}};
        }
        set.Areas.push_back(a);
    }
    return set;
}

// What the measurements saw, so that a test knows it was not empty.
struct TSeen {
    std::size_t Crossings = 0;
    std::size_t Inside = 0;
    std::size_t Exits = 0;
};

void ExpectAgreement(const TLogFile1& p, const TAnalysisSettings& s, const TMeasureSet& set,
                     int threads, TSeen& seen) {
    TAnalysisOptions options;
    options.Threads = threads;
    options.Measures = &set;
    options.Density = threads % 2 == 0;  // both ways of the analysis
    const auto r = TEvacuationAnalysis(p, s, options).Run();
    ASSERT_TRUE(r);
    ASSERT_TRUE(r->HasMeasurements);
    const TMetreFrame f = MetreFrameOf(p, s.CellSize);
    const auto places = Places(p);
    const int v = r->StepsPerSecond;
    const auto entry = [&](std::size_t i) { return i < p.EntrySteps.size() ? p.EntrySteps[i] : 0; };
    // Lines.
    ASSERT_EQ(r->Lines.size(), set.Lines.size());
    for (std::size_t l = 0; l < set.Lines.size(); ++l) {
        const TMeasureLine& line = set.Lines[l];
        std::vector<double> times;
        for (std::size_t i = 0; i < places.size(); ++i) {
            const auto& at = places[i];
            for (std::size_t k = 1; k < at.size(); ++k) {
                if (static_cast<int>(k) - 1 < entry(i)) continue;
                const TAt& a = at[k - 1];
                const TAt& b = at[k];
                if (a.L != line.Deck || b.L != line.Deck) continue;
                if (Meet(f.X(a.C), f.Y(a.R), f.X(b.C), f.Y(b.R), line.From, line.To)) {
                    times.push_back(r->TimeOfStep(static_cast<int64_t>(k)));
                    break;
                }
            }
        }
        std::sort(times.begin(), times.end());
        seen.Crossings += times.size();
        EXPECT_EQ(r->Lines[l].CrossingTimes, times) << line.Name;
        EXPECT_DOUBLE_EQ(r->Lines[l].PeakFlow, PeakFlow(times, s.FlowWindow));
    }
    // Areas.
    ASSERT_EQ(r->Areas.size(), set.Areas.size());
    for (std::size_t a = 0; a < set.Areas.size(); ++a) {
        const TMeasureArea& area = set.Areas[a];
        const TAreaResult& got = r->Areas[a];
        for (std::size_t point = 0; point < got.Count.size(); ++point) {
            const long long k = static_cast<long long>(point) * got.EveryStep;
            int count = 0, moving = 0;
            double speeds = 0;
            for (std::size_t i = 0; i < places.size(); ++i) {
                const auto& at = places[i];
                const auto present = [&](long long j) {
                    return j >= entry(i) && j < static_cast<long long>(at.size());
                };
                if (!present(k) || at[k].L != area.Deck) continue;
                if (!Inside(area.Polygon, f.X(at[k].C), f.Y(at[k].R))) continue;
                ++count;
                if (present(k - v) && present(k + v) && at[k - v].L == area.Deck &&
                    at[k + v].L == area.Deck) {
                    speeds += std::hypot(f.X(at[k + v].C) - f.X(at[k - v].C),
                                         f.Y(at[k + v].R) - f.Y(at[k - v].R)) /
                              2.0;
                    ++moving;
                }
            }
            ASSERT_EQ(got.Count[point], count) << area.Name << " step " << k;
            seen.Inside += static_cast<std::size_t>(count);
            ASSERT_EQ(got.Speed[point].has_value(), moving > 0) << area.Name << " step " << k;
            if (moving > 0) {
                EXPECT_NEAR(*got.Speed[point], speeds / moving, 1e-9) << area.Name << " step " << k;
            }
        }
    }
    // Exits: the persons ending on each cell.
    std::map<std::tuple<int, int, int>, int> ends, found;
    const std::size_t complete = static_cast<std::size_t>(std::max(0, p.CompleteTracks));
    for (std::size_t i = 0; i < places.size() && i < complete; ++i) {
        const TAt& e = places[i].back();
        if (entry(i) > static_cast<int>(places[i].size()) - 1) continue;
        if (e.L < 0 || e.L >= r->Decks || e.C < 0 || e.C >= p.XMax || e.R < 0 || e.R >= p.YMax)
            continue;
        ++ends[{static_cast<int>(e.L), static_cast<int>(e.R), static_cast<int>(e.C)}];
    }
    int persons = 0;
    for (const TExitResult& exit : r->Exits) {
        for (const TCellPlace& c : exit.Cells) found[{c.Deck, c.Row, c.Column}] = 1;
        persons += exit.Persons();
        EXPECT_TRUE(std::is_sorted(exit.Times.begin(), exit.Times.end()));
    }
    int total = 0;
    for (const auto& [cell, n] : ends) {
        total += n;
        EXPECT_TRUE(found.count(cell));
    }
    EXPECT_EQ(found.size(), ends.size());
    EXPECT_EQ(persons, total);
    seen.Exits += r->Exits.size();
}

TEST(MeasureReplay, GeneratedProjectsAgree) {
    TSeen seen;
    for (const uint64_t seed : {1u, 2u}) {
        auto project = test::Generated(2, 150, 120, seed);
        for (const int threads : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " threads " << threads);
            TAnalysisSettings s;
            s.FlowWindow = 5 + threads;
            TMeasureSet set = RandomSet(*project, s.CellSize, seed * 10 + threads);
            // With one line and one area most runs of the tracks pass clear of them.
            if (threads == 3) {
                set.Lines.resize(1);
                set.Areas.resize(1);
            }
            ExpectAgreement(*project, s, set, threads, seen);
        }
    }
    EXPECT_GT(seen.Crossings, 100u);
    EXPECT_GT(seen.Inside, 1000u);
    EXPECT_GT(seen.Exits, 5u);
}

TEST(MeasureReplay, WildProjectsWithLateEntriesAgree) {
    TSeen seen;
    for (uint64_t seed = 1; seed <= 6; ++seed) {
        std::string text = test::WildText(seed);
        if (seed % 2 == 0) {
            std::string entries = "<import>\n";
            for (int i = 0; i < 40; i += 3)
                entries += "entry " + std::to_string(i) + " " + std::to_string(i % 7) + "\n";
            text.insert(text.find("</header>\n") + 10, entries + "</import>\n");
        }
        const auto loaded = test::LoadText(text);
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        TAnalysisSettings s;
        s.CellSize = 0.5;
        ExpectAgreement(*loaded.Project, s, RandomSet(*loaded.Project, s.CellSize, seed),
                        static_cast<int>(seed % 3) + 1, seen);
    }
    EXPECT_GT(seen.Crossings, 10u);
    EXPECT_GT(seen.Inside, 10u);
    EXPECT_GT(seen.Exits, 5u);
}

}  // namespace
}  // namespace orlex
