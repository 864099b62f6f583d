// Seeking in a person's track: checkpoints every few hundred bytes of the encoded
// track, and a walk of whole items from the nearest one.
#include <algorithm>
#include <array>
#include <limits>

#include "directions.h"
#include "person.h"
#include "trackcode.h"

namespace orlex {

using namespace track;

namespace {

// Bytes of encoded track between two checkpoints: a seek walks at most this many
// items plus one, and the checkpoints take 20 / kIndexSpacing of the track's bytes.
constexpr std::size_t kIndexSpacing = 512;
// Checkpoints hold the byte offset in 28 bits; past that a seek walks on from the last.
constexpr std::size_t kIndexedBytes = std::size_t{1} << 28;

// What a one-byte item does.
struct TByteMove {
    int8_t Steps = 0;
    int8_t Dx = 0;
    int8_t Dy = 0;
    int8_t Level = 0;
    int8_t Heading = 0;  // last move of the item, 0 for none
};

constexpr void AddMove(TByteMove& m, int direction) {
    if (direction < 1 || direction > 8) return;
    m.Dx = static_cast<int8_t>(m.Dx + kDirectionColumn[direction]);
    m.Dy = static_cast<int8_t>(m.Dy - kDirectionRow[direction]);
    m.Heading = static_cast<int8_t>(direction);
}

constexpr std::array<TByteMove, kDown + 9> MakeByteMoves() {
    std::array<TByteMove, kDown + 9> moves{};
    for (int v = 0; v < kDown + 9; ++v) {
        TByteMove& m = moves[static_cast<std::size_t>(v)];
        if (v <= 80) {
            m.Steps = 2;
            AddMove(m, v / 9);
            AddMove(m, v % 9);
            continue;
        }
        m.Steps = 1;
        const int base = v < kUp ? kSingle : v < kDown ? kUp : kDown;
        m.Level = static_cast<int8_t>(base == kSingle ? 0 : base == kUp ? 1 : -1);
        AddMove(m, v - base);
    }
    return moves;
}

constexpr std::array<TByteMove, kDown + 9> kByteMoves = MakeByteMoves();

// The same moves packed into 16-bit fields for summing many bytes in one add:
// steps, Dx + 2, Dy + 2, level change + 1 (every field stays positive).
constexpr std::array<uint64_t, kDown + 9> MakePackedMoves() {
    std::array<uint64_t, kDown + 9> packed{};
    for (std::size_t v = 0; v < packed.size(); ++v) {
        const TByteMove& m = kByteMoves[v];
        packed[v] = static_cast<uint64_t>(m.Steps) | static_cast<uint64_t>(m.Dx + 2) << 16 |
                    static_cast<uint64_t>(m.Dy + 2) << 32 |
                    static_cast<uint64_t>(m.Level + 1) << 48;
    }
    return packed;
}

constexpr std::array<uint64_t, kDown + 9> kPackedMoves = MakePackedMoves();
// Bytes summed in one go: 4 a byte at most must fit a 16-bit field.
constexpr std::size_t kPackedBytes = 8192;

// A walk along a track: the item at Pos starts after Step steps, which moved the
// person by Dx, Dy, changed its level by Level and last headed it Heading.
struct TWalk {
    std::size_t Pos = 0;
    int64_t Step = 0;
    int64_t Dx = 0;
    int64_t Dy = 0;
    uint32_t Level = 0;
    int Heading = 0;

    void Apply(TStep e, int64_t count) {
        if (e.Direction >= 1 && e.Direction <= 8) {
            Dx += count * static_cast<int64_t>(kDirectionColumn[e.Direction]);
            Dy -= count * static_cast<int64_t>(kDirectionRow[e.Direction]);
            Heading = e.Direction;
        }
        Level += static_cast<uint32_t>(e.LevelChange) * static_cast<uint32_t>(count);
    }

    // Adds (sign 1) or takes away (sign -1) count one-byte items summed packed.
    void AddPacked(uint64_t sum, int64_t count, int64_t sign) {
        Step += sign * static_cast<int64_t>(sum & 0xFFFF);
        Dx += sign * (static_cast<int64_t>(sum >> 16 & 0xFFFF) - 2 * count);
        Dy += sign * (static_cast<int64_t>(sum >> 32 & 0xFFFF) - 2 * count);
        Level += static_cast<uint32_t>(sign * (static_cast<int64_t>(sum >> 48) - count));
    }

    // Room for one-byte items of two steps at most in steps, within bytes.
    static std::size_t Room(int64_t steps, std::size_t bytes) {
        return std::min({static_cast<std::size_t>(steps > 1 ? steps / 2 : 0), bytes, kPackedBytes});
    }

    // Takes one-byte items from Pos up to end while they surely end at or before
    // step target (they hold two steps at most), summing them packed. Stops at
    // the first longer item or near the target; Take goes on from there.
    // Without WithHeading, Heading is left as it was (for walks that find it later).
    template <bool WithHeading = true>
    void TakeBytes(const uint8_t* data, std::size_t end, int64_t target) {
        for (;;) {
            const std::size_t n = Room(target - Step, end > Pos ? end - Pos : 0);
            if (n == 0) return;
            uint64_t sum = 0;
            int heading = Heading;
            std::size_t i = Pos;
            for (const std::size_t stop = Pos + n; i < stop; ++i) {
                const uint8_t v = data[i];
                if (v >= kPackedMoves.size()) break;
                sum += kPackedMoves[v];
                if constexpr (WithHeading)
                    heading = kByteMoves[v].Heading != 0 ? kByteMoves[v].Heading : heading;
            }
            AddPacked(sum, static_cast<int64_t>(i - Pos), 1);
            Heading = heading;
            Pos = i;
            if (i < end && data[i] >= kPackedMoves.size()) return;
        }
    }

    // Takes the whole item at Pos when it ends at or before step target.
    bool Take(const uint8_t* data, int64_t target) {
        const uint8_t* item = data + Pos;
        if (item[0] < kByteMoves.size()) {
            const TByteMove m = kByteMoves[item[0]];
            if (Step + m.Steps > target) return false;
            Step += m.Steps;
            Dx += m.Dx;
            Dy += m.Dy;
            Level += static_cast<uint32_t>(static_cast<int>(m.Level));
            Heading = m.Heading != 0 ? m.Heading : Heading;
            ++Pos;
            return true;
        }
        const int steps = ItemSteps(item);
        if (Step + steps > target) return false;
        Apply(EntryOf(item, 0), steps);
        Step += steps;
        Pos += static_cast<std::size_t>(ItemBytes(item[0]));
        return true;
    }

    // The way back: gives back one-byte items ending at Pos, not before begin,
    // while they surely start at or after step target. Untake goes on from there.
    void UntakeBytes(const uint8_t* data, std::size_t begin, int64_t target) {
        for (;;) {
            const std::size_t n = Room(Step - target, Pos > begin ? Pos - begin : 0);
            if (n == 0) return;
            uint64_t sum = 0;
            std::size_t i = Pos;
            for (const std::size_t stop = Pos - n; i > stop; --i) {
                const uint8_t v = data[i - 1];
                if (v >= kPackedMoves.size()) break;
                sum += kPackedMoves[v];
            }
            AddPacked(sum, static_cast<int64_t>(Pos - i), -1);
            Pos = i;
            if (i > begin && data[i - 1] >= kPackedMoves.size()) return;
        }
    }

    // Gives back the whole item ending at Pos when it starts at or after step target.
    bool Untake(const uint8_t* data, int64_t target) {
        TWalk item;
        item.Pos = Pos - static_cast<std::size_t>(ItemBytes(data[Pos - 1]));
        const std::size_t start = item.Pos;
        item.Take(data, std::numeric_limits<int64_t>::max());
        if (Step - item.Step < target) return false;
        Step -= item.Step;
        Dx -= item.Dx;
        Dy -= item.Dy;
        Level -= item.Level;
        Pos = start;
        return true;
    }
};

// The heading of the last move before offset steps into the item at pos, looking
// back no further than the checkpoint at low.
int HeadingBefore(const uint8_t* data, std::size_t pos, int64_t offset, const TWalk& low) {
    if (offset > 0) {
        const TStep e = EntryOf(data + pos, 0);
        if (e.Direction >= 1 && e.Direction <= 8) return e.Direction;
    }
    while (pos > low.Pos) {
        pos -= static_cast<std::size_t>(ItemBytes(data[pos - 1]));
        TWalk item;
        item.Pos = pos;
        item.Take(data, std::numeric_limits<int64_t>::max());
        if (item.Heading != 0) return item.Heading;
    }
    return low.Heading;
}

TWalk WalkFrom(const TTrackCheckpoint& c) {
    TWalk w;
    w.Pos = c.PosHeading & 0x0FFFFFFFu;
    w.Heading = static_cast<int>(c.PosHeading >> 28);
    w.Step = c.Step;
    w.Dx = c.Dx;
    w.Dy = c.Dy;
    w.Level = static_cast<uint32_t>(c.Level);
    return w;
}

// The position stepping reaches: the same float sums while the track stays
// within the range where a float holds whole cells exactly.
float Moved(float start, int64_t delta) {
    return static_cast<float>(static_cast<double>(start) + static_cast<double>(delta));
}

}  // namespace

void TPersonData::IndexTrack() {
    Index_.reset();
    Indexed_ = true;
    if (StepCount <= 0 || Size_ <= kIndexSpacing) return;
    const std::size_t limit = std::min(Size_, kIndexedBytes);
    Index_ = std::make_unique<std::vector<TTrackCheckpoint>>();
    std::vector<TTrackCheckpoint>& index = *Index_;
    index.reserve(limit / kIndexSpacing + 1);
    TWalk w;
    std::size_t next = kIndexSpacing;
    TWalk last;  // the checkpoint before, whose heading is known
    const auto keep = [this, &last, &index](TWalk& at) {
        at.Heading = HeadingBefore(Data_, at.Pos, 0, last);
        last = at;
        TTrackCheckpoint c;
        c.PosHeading = static_cast<uint32_t>(at.Pos) | (static_cast<uint32_t>(at.Heading) << 28);
        c.Step = static_cast<int32_t>(at.Step);
        c.Dx = static_cast<int32_t>(at.Dx);
        c.Dy = static_cast<int32_t>(at.Dy);
        c.Level = static_cast<int32_t>(at.Level);
        index.push_back(c);
    };
    while (w.Pos < limit) {
        w.TakeBytes<false>(Data_, std::min(next, limit), std::numeric_limits<int64_t>::max());
        if (w.Pos >= next) {
            if (w.Step > std::numeric_limits<int32_t>::max()) return;
            keep(w);
            next = (w.Pos / kIndexSpacing + 1) * kIndexSpacing;
        }
        if (w.Pos < limit) w.Take(Data_, std::numeric_limits<int64_t>::max());
    }
    // The end of the track, for seeks close to it.
    if (Size_ < kIndexedBytes && w.Step <= std::numeric_limits<int32_t>::max()) keep(w);
}

bool TPersonData::SeekTo(int k, int xmax, int ymax) {
    ResetToStart(xmax, ymax);
    const int target = std::clamp(k, 0, std::max(StepCount, 0));
    if (target > 0 && Size_ > 0) {
        if (!Indexed_) IndexTrack();
        const TTrackCheckpoint* begin = Index_ ? Index_->data() : nullptr;
        const TTrackCheckpoint* end = Index_ ? begin + Index_->size() : nullptr;
        const TTrackCheckpoint* after = std::upper_bound(
            begin, end, target, [](int step, const TTrackCheckpoint& c) { return step < c.Step; });
        const TWalk low = after == begin ? TWalk{} : WalkFrom(*(after - 1));
        TWalk w = low;
        if (after != end && after->Step - target < target - low.Step) {
            // Back from the next checkpoint, which is closer.
            w = WalkFrom(*after);
            for (;;) {
                w.UntakeBytes(Data_, low.Pos, target);
                if (w.Pos <= low.Pos || !w.Untake(Data_, target)) break;
            }
            int64_t offset = 0;
            if (w.Step > target) {
                // The item ending here holds the target: give back its steps from
                // the target on (the second entry of a pair, or part of a run).
                const std::size_t start = w.Pos - ItemBytes(Data_[w.Pos - 1]);
                const int steps = ItemSteps(Data_ + start);
                const int64_t back = w.Step - target;
                w.Apply(EntryOf(Data_ + start, static_cast<int>(steps - back)), -back);
                w.Pos = start;
                offset = steps - back;
                w.Step = target - offset;
            }
            w.Heading = HeadingBefore(Data_, w.Pos, offset, low);
            CursorPos_ = w.Pos;
            CursorStep_ = static_cast<int>(w.Step);
        } else {
            for (;;) {
                w.TakeBytes(Data_, Size_, target);
                if (w.Pos >= Size_ || !w.Take(Data_, target)) break;
            }
            if (w.Pos < Size_) {
                // Part of the item holding the target: the first entry of a pair,
                // or the steps of a run taken so far.
                const int partial = static_cast<int>(target - w.Step);
                if (partial > 0) w.Apply(EntryOf(Data_ + w.Pos, 0), partial);
                CursorPos_ = w.Pos;
                CursorStep_ = static_cast<int>(w.Step);
            } else {
                // At the end: the cursor stands on the last item, for a step back.
                CursorPos_ = Size_ - static_cast<std::size_t>(ItemBytes(Data_[Size_ - 1]));
                CursorStep_ = static_cast<int>(w.Step - ItemSteps(Data_ + CursorPos_));
            }
        }
        X = Moved(X, w.Dx);
        Y = Moved(Y, w.Dy);
        Level = AddLevel(StartLevel, static_cast<int>(w.Level));
        if (w.Heading != 0) Heading = w.Heading;
    }
    if (k > StepCount) {
        Level = -1;
        return false;
    }
    return true;
}

}  // namespace orlex
