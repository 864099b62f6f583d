#include "generated.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "generator.h"
#include "projects.h"
#include "rooms.h"

namespace orlex::test {

std::unique_ptr<TLogFile1> Generated(int decks, int persons, int steps, uint64_t seed) {
    gen::TGenOptions options;
    options.Model = gen::TModel::Classic;  // persons share cells, as files may
    options.Decks = decks;
    options.Columns = 24;
    options.Rows = 10;
    options.Persons = persons;
    options.Steps = steps;
    options.Seed = seed;
    gen::TStringSink sink;
    EXPECT_TRUE(gen::Generate(options, sink));
    auto loaded = LoadText(sink.Text);
    return std::move(loaded.Project);
}

// Tracks of every kind: runs, stays, level changes, odd directions, starts off the
// grid and on missing levels, over void and floor cells.
std::string WildText(uint64_t seed) {
    std::mt19937_64 rng(seed);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); };
    std::vector<TRoomPerson> persons;
    for (int i = 0; i < 40; ++i) {
        TRoomPerson p{pick(14) - 2, pick(10) - 2, pick(4) - 1, ""};
        const int items = pick(30);
        for (int j = 0; j < items; ++j) {
            const int kind = pick(10);
            const char d = static_cast<char>('0' + pick(10));
            if (kind == 0)
                p.Track += std::string("U") + d;
            else if (kind == 1)
                p.Track += std::string("D") + d;
            else if (kind == 2)
                p.Track += "P" + std::to_string(1 + pick(12)) + "x" + d;
            else
                p.Track += d;
        }
        persons.push_back(p);
    }
    std::vector<std::string> cells;
    for (int r = 0; r < 6; ++r) {
        std::string row;
        for (int c = 0; c < 10; ++c) row += "0123.5"[pick(6)];
        cells.push_back(row);
    }
    return RoomText(10, 6, 2, 1, persons, cells);
}

}  // namespace orlex::test
