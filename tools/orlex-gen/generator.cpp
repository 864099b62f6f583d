// Writing the file: header, decks in packed rows, start records and tracks.
// Everything is streamed through a fixed buffer; persons are generated one at a
// time from their own random stream, so the start record and the track of a
// person agree without keeping either in memory.
#include "generator.h"

#include <algorithm>
#include <string_view>

#include "automaton.h"
#include "rng.h"

namespace orlex::gen {
namespace {

class TWriter {
public:
    explicit TWriter(ISink& sink) : Sink_(sink), Buffer_(kSize) {}

    void Put(char c) {
        if (Used_ == kSize) Flush();
        Buffer_[Used_++] = c;
    }
    void Put(std::string_view text) {
        for (const char c : text) Put(c);
    }
    void PutInt(int64_t value) {
        char digits[24];
        int n = 0;
        const bool negative = value < 0;
        uint64_t v = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        if (negative) Put('-');
        while (n > 0) Put(digits[--n]);
    }
    void Flush() {
        if (Used_ > 0 && Ok_) Ok_ = Sink_.Write(Buffer_.data(), Used_);
        Used_ = 0;
    }
    bool Ok() const { return Ok_; }

private:
    static constexpr std::size_t kSize = std::size_t{1} << 20;
    ISink& Sink_;
    std::vector<char> Buffer_;
    std::size_t Used_ = 0;
    bool Ok_ = true;
};

// Writes count cells of character c: packed as P<n>x<c> from four on.
void PutRun(TWriter& w, int64_t count, char c) {
    if (count >= 4) {
        w.Put('P');
        w.PutInt(count);
        w.Put('x');
        w.Put(c);
    } else {
        for (int64_t k = 0; k < count; ++k) w.Put(c);
    }
}

// Cells where persons may start: cabins, lounges, machinery and corridors from
// which a route leads on. Falls back to any walkable cell.
class TStartCells {
public:
    explicit TStartCells(const TShip& ship) {
        for (int pass = 0; pass < 2 && Cells_.empty(); ++pass) {
            for (int z = 0; z < ship.Decks(); ++z) {
                const std::string& g = ship.Grid(z);
                for (std::size_t i = 0; i < g.size(); ++i) {
                    const char ch = g[i];
                    const bool ok = pass == 0 ? (ch == '0' || ch == '2' || ch == '5') &&
                                                    ship.Distance(z, i) >= 0
                                              : IsWalkable(ch);
                    if (ok) Cells_.push_back({z, static_cast<uint32_t>(i)});
                }
            }
        }
    }
    bool Empty() const { return Cells_.empty(); }
    std::size_t Size() const { return Cells_.size(); }
    std::pair<int, uint32_t> operator[](std::size_t k) const { return Cells_[k]; }

private:
    std::vector<std::pair<int, uint32_t>> Cells_;
};

TStart PickStart(const TShip& ship, const TStartCells& cells, uint64_t seed, int person) {
    TRng rng(SubSeed(seed, 0x100000000ull + static_cast<uint64_t>(person)));
    TStart s;
    if (!cells.Empty()) {
        const auto [z, i] = cells[rng.Below(static_cast<uint32_t>(cells.Size()))];
        s.Level = z;
        s.Row = static_cast<int>(i / static_cast<uint32_t>(ship.Columns()));
        s.Column = static_cast<int>(i % static_cast<uint32_t>(ship.Columns()));
    }
    s.Heading = rng.Range(1, 8);
    s.Tag = rng.Chance(100) ? 1 : 0;  // 1 crew, 0 passenger
    return s;
}

// One person's movement: reaction time, the walk to the muster area (by the
// stairs when the deck has none), then queueing there until the track ends.
void PutTrack(TWriter& w, const TShip& ship, const TGenOptions& o, const TStart& start,
              int person) {
    TRng rng(SubSeed(o.Seed, 0x200000000ull + static_cast<uint64_t>(person)));
    const int64_t maxSteps = o.Steps;
    const int64_t minTarget = maxSteps * 3 / 10;
    const int64_t target = minTarget + rng.Below(static_cast<uint32_t>(maxSteps - minTarget + 1));
    const int vmax = o.VMax;
    int z = start.Level;
    int c = start.Column;
    int r = start.Row;
    int heading = start.Heading;
    int64_t n = 0;

    auto wait = [&] {
        w.Put('0');
        ++n;
    };
    auto longWait = [&](int64_t count, int64_t limit) {
        count = std::min(count, limit - n);
        if (count <= 0) return;
        PutRun(w, count, '0');
        n += count;
    };
    auto move = [&](int d) {
        w.Put(static_cast<char>('0' + d));
        ++n;
        c += kDirColumn[d];
        r += kDirRow[d];
        if (d != 0) heading = d;
    };

    if (rng.Chance(750)) longWait(rng.Range(vmax * 5, vmax * 90), maxSteps);

    const int speed = rng.Range(std::max(1, vmax / 2), vmax);
    int acc = static_cast<int>(rng.Below(static_cast<uint32_t>(vmax)));
    while (n < maxSteps) {
        const std::size_t cell = static_cast<std::size_t>(r) * ship.Columns() + c;
        const int32_t here = ship.Distance(z, cell);
        if (here < 0) break;
        if (here == 0) {
            if (ship.IsExitDeck(z)) break;
            const int to = ship.TargetDeck(z);
            if (to == z) break;
            // Up or down the stairs, one deck per step.
            while (z != to && n < maxSteps) {
                const bool up = to > z;
                const int next = up ? z + 1 : z - 1;
                int d = up ? 3 : 7;
                if (!ship.CanStep(next, c, r, d) ||
                    ship.At(next, r + kDirRow[d], c + kDirColumn[d]) != '3') {
                    d = 0;
                }
                w.Put(up ? 'U' : 'D');
                z = next;
                move(d);
            }
            continue;
        }
        acc += speed;
        if (acc < vmax) {
            wait();
            continue;
        }
        acc -= vmax;
        if (rng.Chance(25)) {
            for (int k = rng.Range(1, 3); k > 0 && n < maxSteps; --k) wait();
            continue;
        }
        int choice = 0;
        const auto leadsOn = [&](int d) {
            return ship.CanStep(z, c, r, d) &&
                   ship.Distance(z, static_cast<std::size_t>(r + kDirRow[d]) * ship.Columns() +
                                        (c + kDirColumn[d])) == here - 1;
        };
        if (heading >= 1 && heading <= 8 && leadsOn(heading) && rng.Chance(700)) {
            choice = heading;
        } else {
            int options[8];
            int count = 0;
            for (int d = 1; d <= 8; ++d) {
                if (leadsOn(d)) options[count++] = d;
            }
            if (count == 0) break;
            choice = options[rng.Below(static_cast<uint32_t>(count))];
        }
        move(choice);
    }

    // Queueing: mostly waiting, with short jostling moves inside the area.
    const char area = ship.At(z, r, c);
    while (n < target) {
        const uint32_t roll = rng.Below(10000);
        if (roll < 25) {
            longWait(rng.Range(4, vmax * 15), target);
        } else if (roll < 6000) {
            wait();
        } else {
            const int d = rng.Range(1, 8);
            if (ship.CanStep(z, c, r, d) && ship.At(z, r + kDirRow[d], c + kDirColumn[d]) == area) {
                move(d);
            } else {
                wait();
            }
        }
    }
    w.Put("S\n");
}

void PutHeaderAndDecks(TWriter& w, const TGenOptions& o, const TShip& ship) {
    w.Put("<header>\nversion 1\npmax ");
    w.PutInt(o.Persons);
    w.Put("\nxmax ");
    w.PutInt(o.Columns);
    w.Put("\nymax ");
    w.PutInt(o.Rows);
    w.Put("\nzmax ");
    w.PutInt(o.Decks);
    w.Put("\nvmax ");
    w.PutInt(o.VMax);
    w.Put("\ntoff ");
    w.PutInt(o.TOff);
    w.Put("\n</header>\n");

    for (int z = 0; z < ship.Decks(); ++z) {
        w.Put("<deck>\nlevel ");
        w.PutInt(z);
        w.Put("\ncaption ");
        w.Put(ship.Caption(z));
        w.Put("\n(celldata)\n");
        const std::string& g = ship.Grid(z);
        for (int r = 0; r < ship.Rows(); ++r) {
            const std::size_t begin = static_cast<std::size_t>(r) * ship.Columns();
            const std::size_t end = begin + static_cast<std::size_t>(ship.Columns());
            for (std::size_t i = begin; i < end;) {
                std::size_t j = i + 1;
                while (j < end && g[j] == g[i]) ++j;
                PutRun(w, static_cast<int64_t>(j - i), g[i]);
                i = j;
            }
            w.Put('\n');
        }
        w.Put("</deck>\n");
    }
}

void PutStart(TWriter& w, const TStart& s) {
    w.PutInt(s.Column);
    w.Put(' ');
    w.PutInt(s.Row);
    w.Put(' ');
    w.PutInt(s.Level);
    w.Put(' ');
    w.PutInt(s.Heading);
    w.Put(' ');
    w.PutInt(s.Tag);
    w.Put('\n');
}

TGenStatus Finish(TWriter& w, int64_t lastStep) {
    w.Put("</persons>\n");
    w.Flush();
    TGenStatus status;
    status.Ok = w.Ok();
    status.LastStep = lastStep;
    if (!status.Ok) status.Error = "the output could not be written";
    return status;
}

TGenStatus GenerateAutomaton(const TGenOptions& o, const TShip& ship, ISink& sink) {
    TAutomatonRun run = RunAutomaton(ship, o);
    if (!run.Ok) {
        TGenStatus status;
        status.Ok = false;
        status.Error = run.Error;
        return status;
    }
    TWriter w(sink);
    PutHeaderAndDecks(w, o, ship);
    w.Put("<persons>\n<startpositions>\n");
    for (const TStart& s : run.Starts) PutStart(w, s);
    w.Put("(movement)\n");
    for (const std::string& track : run.Tracks) {
        w.Put(track);
        w.Put('\n');
    }
    return Finish(w, run.LastStep);
}

}  // namespace

TGenStatus Generate(const TGenOptions& o, ISink& sink) {
    const TShip ship(o.Columns, o.Rows, o.Decks, o.Seed);
    if (o.Model == TModel::Ca) return GenerateAutomaton(o, ship, sink);

    TWriter w(sink);
    PutHeaderAndDecks(w, o, ship);
    const TStartCells cells(ship);
    w.Put("<persons>\n<startpositions>\n");
    for (int i = 0; i < o.Persons; ++i) PutStart(w, PickStart(ship, cells, o.Seed, i));
    w.Put("(movement)\n");
    for (int i = 0; i < o.Persons; ++i) {
        PutTrack(w, ship, o, PickStart(ship, cells, o.Seed, i), i);
        if (!w.Ok()) return Finish(w, 0);
    }
    return Finish(w, 0);
}

}  // namespace orlex::gen
