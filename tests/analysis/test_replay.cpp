// Agreement of the analysis with a plain replay: every person moved step by step,
// every window counted cell by cell, on generated and on randomly written projects.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "analysis.h"
#include "generated.h"
#include "generator.h"
#include "projects.h"
#include "rooms.h"

using orlex::test::Generated;
using orlex::test::WildText;

namespace {

using orlex::TAnalysisResult;
using orlex::TAnalysisSettings;
using orlex::TLogFile1;

constexpr int kColumnStep[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kRowStep[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};

struct TReplay {
    std::vector<std::vector<int>> Occupancy;  // [deck][step]
    std::vector<int> Saved;                   // [step]
    std::vector<std::vector<uint32_t>> Peak, Above;
    std::vector<std::vector<uint64_t>> Usage;
    int BestCount = 0;
    std::tuple<int, int, int, int> BestAt{-1, -1, -1, -1};  // step, deck, row, column
};

bool IsVoid(const TLogFile1& p, int z, int r, int c) {
    const orlex::TCell* cell = p.Decks[z].CellAt(r, c);
    return !cell || cell->Code == orlex::kCodeVoid;
}

TReplay Replay(TLogFile1& p, const TAnalysisSettings& s) {
    const int X = p.XMax, Y = p.YMax, Z = static_cast<int>(p.Decks.size());
    const int h = (s.Window - 1) / 2;
    const double area = (s.Window * s.CellSize) * (s.Window * s.CellSize);
    int last = -1;
    for (const auto& person : p.Persons) last = std::max(last, person.StepCount);
    TReplay out;
    out.Occupancy.assign(Z, std::vector<int>(last + 2, 0));
    out.Peak.assign(Z, std::vector<uint32_t>(X * Y, 0));
    out.Above = out.Peak;
    out.Usage.assign(Z, std::vector<uint64_t>(X * Y, 0));
    struct TAt {
        long long C, R, L;
    };
    std::vector<TAt> at;
    for (const auto& person : p.Persons)
        at.push_back({person.StartX, person.StartY, person.StartLevel});
    for (int k = 0; k <= last + 1; ++k) {
        if (k > 0) {
            for (std::size_t i = 0; i < p.Persons.size(); ++i) {
                if (k - 1 >= p.Persons[i].StepCount) continue;
                const orlex::TStep e = p.Persons[i].GetStep(k - 1);
                if (e.Direction >= 1 && e.Direction <= 8) {
                    at[i].C += kColumnStep[e.Direction];
                    at[i].R += kRowStep[e.Direction];
                }
                at[i].L += e.LevelChange;
            }
        }
        int saved = 0;
        std::vector<std::vector<int>> grid(Z, std::vector<int>(X * Y, 0));
        for (std::size_t i = 0; i < p.Persons.size(); ++i) {
            if (k > p.Persons[i].StepCount) {
                ++saved;
                continue;
            }
            if (i < p.EntrySteps.size() && k < p.EntrySteps[i]) continue;  // not in yet
            const TAt& a = at[i];
            if (a.L < 0 || a.L >= Z || a.C < 0 || a.C >= X || a.R < 0 || a.R >= Y) continue;
            ++grid[a.L][a.R * X + a.C];
            ++out.Occupancy[a.L][k];
        }
        out.Saved.push_back(saved);
        if (k > last) break;
        for (int z = 0; z < Z; ++z) {
            for (int r = 0; r < Y; ++r) {
                for (int c = 0; c < X; ++c) {
                    if (IsVoid(p, z, r, c)) continue;
                    uint32_t n = 0;
                    for (int rr = r - h; rr <= r + h; ++rr)
                        for (int cc = c - h; cc <= c + h; ++cc)
                            if (rr >= 0 && rr < Y && cc >= 0 && cc < X) n += grid[z][rr * X + cc];
                    const int i = r * X + c;
                    out.Usage[z][i] += grid[z][i];
                    out.Peak[z][i] = std::max(out.Peak[z][i], n);
                    if (n / area > s.DensityLimit) ++out.Above[z][i];
                    if (static_cast<int>(n) > out.BestCount) {
                        out.BestCount = static_cast<int>(n);
                        out.BestAt = {k, z, r, c};
                    }
                }
            }
        }
    }
    return out;
}

void ExpectAgreement(TLogFile1& project, const TAnalysisSettings& settings, int threads) {
    const auto r = orlex::TEvacuationAnalysis(project, settings, {true, threads}).Run();
    ASSERT_TRUE(r);
    const TReplay replay = Replay(project, settings);
    const int Z = static_cast<int>(project.Decks.size());
    for (std::size_t k = 0; k < replay.Saved.size(); ++k) {
        ASSERT_EQ(r->Saved.At(k), replay.Saved[k]) << "step " << k;
        for (int z = 0; z < Z; ++z) {
            ASSERT_EQ(r->Occupancy[z].At(k), replay.Occupancy[z][k])
                << "deck " << z << " step " << k;
        }
    }
    for (int z = 0; z < Z; ++z) {
        for (std::size_t i = 0; i < replay.Peak[z].size(); ++i) {
            SCOPED_TRACE(testing::Message() << "deck " << z << " cell " << i);
            ASSERT_EQ(r->Maps[z].PeakCount[i], replay.Peak[z][i]);
            ASSERT_EQ(r->Maps[z].StepsAbove[i], replay.Above[z][i]);
            ASSERT_EQ(r->Maps[z].UsageSteps[i], replay.Usage[z][i]);
        }
    }
    ASSERT_EQ(r->Peak.has_value(), replay.BestCount > 0);
    if (r->Peak) {
        EXPECT_EQ(r->Peak->Count, replay.BestCount);
        EXPECT_EQ(std::make_tuple(static_cast<int>(r->Peak->Step), r->Peak->Cell.Deck,
                                  r->Peak->Cell.Row, r->Peak->Cell.Column),
                  replay.BestAt);
    }
}

// Persons crossing the borders of the maps' tiles (every 16 rows and 64 columns) on a
// deck of 70 x 40 cells, with void cells along the borders.
std::string TileBorderText(uint64_t seed) {
    std::mt19937_64 rng(seed);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); };
    const int near[] = {0, 30, 31, 32, 33, 62, 63, 64, 65, 69};
    std::vector<orlex::test::TRoomPerson> persons;
    for (int i = 0; i < 30; ++i) {
        orlex::test::TRoomPerson p{near[pick(10)], near[pick(9)] % 40, 0, ""};
        for (int j = pick(12); j > 0; --j) {
            const char d = static_cast<char>('0' + pick(9));
            p.Track +=
                pick(3) == 0 ? "P" + std::to_string(1 + pick(5)) + "x" + d : std::string(1, d);
        }
        persons.push_back(p);
    }
    std::vector<std::string> cells;
    for (int r = 0; r < 40; ++r) {
        std::string row;
        for (int c = 0; c < 70; ++c) row += (c == 32 || r == 31) && (c + r) % 3 == 0 ? '4' : '1';
        cells.push_back(row);
    }
    return orlex::test::RoomText(70, 40, 1, 1, persons, cells);
}

TEST(AnalysisReplay, TileBordersAgree) {
    const TAnalysisSettings settings[] = {{0.4, 3, 2.0, 0.1}, {0.4, 5, 1.0, 0.05}};
    for (uint64_t seed = 1; seed <= 3; ++seed) {
        auto loaded = orlex::test::LoadText(TileBorderText(seed));
        for (const auto& s : settings) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " w " << s.Window);
            ExpectAgreement(*loaded.Project, s, static_cast<int>(seed % 2) + 1);
            // The congested cells are those above the limit long enough, in order.
            const auto r = orlex::TEvacuationAnalysis(*loaded.Project, s, {true, 2}).Run();
            ASSERT_TRUE(r);
            std::vector<orlex::TCellPlace> congested;
            for (int row = 0; row < r->Rows; ++row) {
                for (int column = 0; column < r->Columns; ++column) {
                    if (r->IsCongested({0, row, column})) congested.push_back({0, row, column});
                }
            }
            ASSERT_EQ(r->Congested.size(), congested.size());
            for (std::size_t i = 0; i < congested.size(); ++i)
                EXPECT_EQ(r->Congested[i].Cell, congested[i]);
        }
    }
}

TEST(AnalysisReplay, GeneratedProjectsAgree) {
    const TAnalysisSettings settings[] = {{}, {0.4, 3, 2.0, 0.1}, {0.3, 1, 10.0, 0.0}};
    for (const uint64_t seed : {1u, 2u}) {
        auto project = Generated(2, 150, 120, seed);
        for (const auto& s : settings) {
            for (const int threads : {1, 2}) {
                SCOPED_TRACE(testing::Message()
                             << "seed " << seed << " w " << s.Window << " threads " << threads);
                ExpectAgreement(*project, s, threads);
            }
        }
    }
}

// Persons entering late (as imported trajectories do) are counted from their entry
// step on, also where the track moves them before it or ends before it; the
// occupancy alone (no density pass) follows the same rule.
TEST(AnalysisReplay, LateEntriesAgree) {
    const TAnalysisSettings s{0.4, 3, 2.0, 0.1};
    for (uint64_t seed = 1; seed <= 4; ++seed) {
        auto loaded = orlex::test::LoadText(WildText(seed));
        TLogFile1& p = *loaded.Project;
        std::mt19937_64 rng(seed);
        p.EntrySteps.assign(p.Persons.size(), 0);
        for (int& e : p.EntrySteps) e = static_cast<int>(rng() % 3 == 0 ? 0 : rng() % 40);
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        ExpectAgreement(p, s, static_cast<int>(seed % 2) + 1);
        const auto curves = orlex::TEvacuationAnalysis(p, s, {false, 2}).Run();
        ASSERT_TRUE(curves);
        const TReplay replay = Replay(p, s);
        for (std::size_t z = 0; z < p.Decks.size(); ++z) {
            for (std::size_t k = 0; k < replay.Occupancy[z].size(); ++k)
                ASSERT_EQ(curves->Occupancy[z].At(k), replay.Occupancy[z][k]) << z << " " << k;
        }
    }
}

TEST(AnalysisReplay, WildProjectsAgree) {
    const TAnalysisSettings settings[] = {{0.4, 3, 2.0, 0.1}, {0.5, 15, 0.1, 0.5}};
    for (uint64_t seed = 1; seed <= 6; ++seed) {
        auto loaded = orlex::test::LoadText(WildText(seed));
        for (const auto& s : settings) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " w " << s.Window);
            ExpectAgreement(*loaded.Project, s, static_cast<int>(seed % 3));
        }
    }
}

}  // namespace
