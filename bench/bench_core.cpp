// Micro-benchmarks of the project core: the quad-list reduction of a large deck,
// one playback step and a seek over the persons of the large profile.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "deck.h"
#include "generator.h"
#include "interfaces.h"
#include "logfile.h"
#include "playback.h"

namespace {

// A ship deck of the generator: hull, cabins, corridors, lounges, stairs, muster areas.
orlex::TDeck MakeDeck(int side) {
    const std::string grid = orlex::gen::MakeDeckGrid(side, side, 0, 1, 1);
    orlex::TDeck deck;
    deck.CreateGrid(side, side);
    for (std::size_t i = 0; i < grid.size(); ++i) deck.Cells[i].Code = orlex::CellCodeOf(grid[i]);
    return deck;
}

void BM_BuildQuadList(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const orlex::TDeck pristine = MakeDeck(side);
    orlex::TDeck deck = pristine;
    orlex::TNullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        deck.Cells = pristine.Cells;  // clears the Covered marks of the last round
        state.ResumeTiming();
        deck.BuildQuadList(side, side, progress);
        benchmark::DoNotOptimize(deck.Quads.data());
    }
    // Items are cells here; the label gives the size of the result.
    state.SetItemsProcessed(state.iterations() * int64_t{side} * side);
    state.SetLabel(std::to_string(deck.QuadCount()) + " quads");
}
BENCHMARK(BM_BuildQuadList)->Arg(2000)->MinTime(3.0)->Unit(benchmark::kMillisecond);

// Small fixed generator for the synthetic tracks.
struct TLcg {
    uint64_t S;
    uint32_t Below(uint32_t n) {
        S = S * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(((S >> 32) * n) >> 32);
    }
};

// Persons shaped like those of the large profile: tracks of 3,600 to 12,000 steps:
// a reaction wait, a walk written one step per letter, then queueing (mostly
// waiting, some jostling moves, a few long waits).
void FillPersons(orlex::TLogFile1& project, int persons, int maxSteps) {
    project.PMax = persons;
    project.XMax = 1000;
    project.YMax = 200;
    project.ZMax = 12;
    project.VMax = 4;
    project.Persons.assign(static_cast<std::size_t>(persons), orlex::TPersonData());
    TLcg rng{12345};
    for (int i = 0; i < persons; ++i) {
        orlex::TPersonData& p = project.Persons[static_cast<std::size_t>(i)];
        p.SetStart(static_cast<int>(rng.Below(1000)), static_cast<int>(rng.Below(200)),
                   static_cast<int>(rng.Below(12)), 1 + static_cast<int>(rng.Below(8)), 0,
                   project.YMax, project.XMax);
        const int length = maxSteps * 3 / 10 + static_cast<int>(rng.Below(maxSteps * 7 / 10 + 1));
        int n = 0;
        if (rng.Below(4) != 0) {
            const int wait = 20 + static_cast<int>(rng.Below(340));
            n += p.AppendSteps(wait, 0, 0);
        }
        const int walk = 200 + static_cast<int>(rng.Below(1800));
        int heading = 1 + static_cast<int>(rng.Below(8));
        for (int k = 0; k < walk && n < length; ++k) {
            if (rng.Below(10) == 0) heading = 1 + static_cast<int>(rng.Below(8));
            n += p.AppendSteps(1, rng.Below(4) == 0 ? 0 : heading, 0);
        }
        if (rng.Below(3) != 0 && n < length) n += p.AppendSteps(1, 0, 1);
        while (n < length) {
            const uint32_t roll = rng.Below(10000);
            if (roll < 25) {
                n += p.AppendSteps(4 + rng.Below(57), 0, 0);
            } else {
                n += p.AppendSteps(1, roll < 6000 ? 0 : 1 + static_cast<int>(rng.Below(8)), 0);
            }
        }
        p.ShrinkTrack();
    }
}

// Second argument: the longest track (shorter for many persons, to keep the
// project in memory and its making short).
void BM_StepForward(benchmark::State& state) {
    const int persons = static_cast<int>(state.range(0));
    const int kMaxSteps = static_cast<int>(state.range(1));
    orlex::TLogFile1 project("Deck");
    FillPersons(project, persons, kMaxSteps);
    orlex::TPlayback playback;
    playback.SetProject(&project);
    for (auto _ : state) {
        if (playback.StepCounter > kMaxSteps) {
            state.PauseTiming();
            playback.ResetToStart();
            state.ResumeTiming();
        }
        playback.StepForward();
        benchmark::DoNotOptimize(playback.SavedCount);
    }
    // Items are persons stepped.
    state.SetItemsProcessed(state.iterations() * persons);
    state.SetLabel(std::to_string(project.TotalSteps()) + " steps in all");
}
BENCHMARK(BM_StepForward)
    ->Args({20000, 12000})
    ->Args({300000, 2000})
    ->Args({100000, 2000})
    ->Args({200000, 2000})
    ->Unit(benchmark::kMicrosecond);

// Seeks to random step counters between the start and the end, then (second
// argument 1) plays one step on from there.
void SeekRandomly(benchmark::State& state, orlex::TLogFile1& project) {
    orlex::TPlayback playback;
    playback.SetProject(&project);
    const bool step = state.range(1) != 0;
    const uint32_t span = static_cast<uint32_t>(playback.LastStep()) + 1;
    TLcg rng{777};
    for (auto _ : state) {
        playback.SeekTo(static_cast<int>(rng.Below(span)));
        if (step) playback.StepForward();
        benchmark::DoNotOptimize(playback.SavedCount);
    }
    // Items are persons put in place.
    state.SetItemsProcessed(state.iterations() * project.PersonCount());
    std::size_t index = 0;
    for (const orlex::TPersonData& p : project.Persons) index += p.IndexBytes();
    state.SetLabel(std::to_string(project.TotalSteps()) + " steps, checkpoints " +
                   std::to_string(index / 1024) + " KiB");
}

void BM_SeekTo(benchmark::State& state) {
    orlex::TLogFile1 project("Deck");
    FillPersons(project, static_cast<int>(state.range(0)), 12000);
    SeekRandomly(state, project);
}
BENCHMARK(BM_SeekTo)->Args({20000, 0})->Args({20000, 1})->Unit(benchmark::kMillisecond);

// The generated large profile (bench/run_bench.sh makes it), as the reader stores
// it; ORLEX_LARGE_FILE names another file.
bool LoadLargeFile(benchmark::State& state, orlex::TLogFile1& project) {
    const char* env = std::getenv("ORLEX_LARGE_FILE");
    const std::string path = env ? env : ORLEX_SOURCE_DIR "/bench/data/large.3dl";
    orlex::TNullProgress progress;
    orlex::TNullMessages messages;
    if (project.LoadFromFile(path, progress, messages)) return true;
    state.SkipWithError(("cannot read " + path).c_str());
    return false;
}

void BM_SeekToLargeFile(benchmark::State& state) {
    orlex::TLogFile1 project("Deck");
    if (LoadLargeFile(state, project)) SeekRandomly(state, project);
}
BENCHMARK(BM_SeekToLargeFile)->Args({0, 0})->Args({0, 1})->Unit(benchmark::kMillisecond);

// Making the checkpoints of every track, as handing a project to the playback does.
void BM_IndexTracksLargeFile(benchmark::State& state) {
    orlex::TLogFile1 project("Deck");
    if (!LoadLargeFile(state, project)) return;
    for (auto _ : state)
        for (orlex::TPersonData& p : project.Persons) p.IndexTrack();
    state.SetItemsProcessed(state.iterations() * project.TotalSteps());
}
BENCHMARK(BM_IndexTracksLargeFile)->Unit(benchmark::kMillisecond);

// Where the memory of the large profile's tracks goes, and what one-byte items for
// runs of stays (3 to 147 of them) would save: a model of the encoding, fed with
// the tracks' runs of equal entries. One iteration; the figures are in the label.
void BM_TrackBytesLargeFile(benchmark::State& state) {
    orlex::TLogFile1 project("Deck");
    if (!LoadLargeFile(state, project)) return;
    std::size_t tracks = 0;
    std::size_t index = 0;
    int64_t stays = 0;
    int64_t staysInRuns = 0;  // stays in runs of 3 or more
    double modelled = 0;      // bytes with the stay-run items
    for (auto _ : state) {
        for (const orlex::TPersonData& p : project.Persons) {
            tracks += p.TrackBytes();
            index += p.IndexBytes();
            orlex::TTrackCursor cursor(p);
            orlex::TStepRun run;
            int64_t stayRun = 0;
            int64_t others = 0;  // steps since the last stay run, paired two a byte
            const auto endStays = [&] {
                if (stayRun >= 3) {
                    staysInRuns += stayRun;
                    modelled += static_cast<double>((stayRun + 146) / 147);
                } else {
                    others += stayRun;
                }
                stayRun = 0;
            };
            while (cursor.Next(run)) {
                const bool stay = run.Step.Direction == 0 && run.Step.LevelChange == 0;
                if (stay) {
                    stays += run.Count;
                    stayRun += run.Count;
                    continue;
                }
                endStays();
                others += run.Count;
                modelled += static_cast<double>(run.Count) / 2;
            }
            endStays();
            (void)others;
        }
    }
    const double steps = static_cast<double>(project.TotalSteps());
    char label[320];
    std::snprintf(label, sizeof label,
                  "tracks %.1f MB (%.3f B/step), checkpoints %.1f MB, persons %.1f MB; stays "
                  "%.1f%% of steps, %.1f%% in runs of 3+; with stay-run items %.1f MB",
                  static_cast<double>(tracks) / 1e6, static_cast<double>(tracks) / steps,
                  static_cast<double>(index) / 1e6,
                  static_cast<double>(project.Persons.size() * sizeof(orlex::TPersonData)) / 1e6,
                  100.0 * static_cast<double>(stays) / steps,
                  100.0 * static_cast<double>(staysInRuns) / steps,
                  (modelled + static_cast<double>(stays - staysInRuns) / 2) / 1e6);
    state.SetLabel(label);
}
BENCHMARK(BM_TrackBytesLargeFile)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
