// One person (agent): start values, compact track and current state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "bigblock.h"
#include "interfaces.h"
#include "trackitems.h"

namespace orlex {

struct TStep {
    int Direction = 0;    // 0 stay, 1..8 a move (anything else is reported when played)
    int LevelChange = 0;  // +1, -1 or 0
};

// Largest number of steps one track may hold.
inline constexpr int64_t kMaxStepCount = 2147483647;

// Writes an encoded track for a reader. Plain steps (direction 0 to 8, no level
// change) take a fast path that packs two of them into one byte.
class TTrackWriter {
public:
    explicit TTrackWriter(std::vector<uint8_t>& bytes) : Bytes_(bytes) {}
    void Plain(unsigned direction) {
        if (Pending_ < 0) {
            Pending_ = static_cast<int>(direction);
        } else {
            Bytes_.push_back(static_cast<uint8_t>(Pending_ * 9 + static_cast<int>(direction)));
            Pending_ = -1;
        }
    }
    void Steps(int64_t count, int direction, int levelChange);
    // Writes a plain step still waiting for its partner; call before using the bytes.
    void Flush();

private:
    std::vector<uint8_t>& Bytes_;
    int Pending_ = -1;
};

// Storage for the tracks of a whole project: tracks are packed into large
// blocks, one allocation per block instead of one per person.
class TTrackArena {
public:
    // Room for size bytes; valid until Clear() or the arena's end.
    uint8_t* Allocate(std::size_t size);
    void Clear();

private:
    static constexpr std::size_t kBlockSize = std::size_t{16} << 20;
    std::vector<TBigBlock> Blocks_;
    uint8_t* Next_ = nullptr;
    std::size_t Left_ = 0;
};

class TPersonData;

// A point of a track kept for seeking: where an item starts, and what the steps
// before it did, summed from the start.
struct TTrackCheckpoint {
    uint32_t PosHeading = 0;  // byte offset of the item (low 28 bits); heading of the last
                              // move before it (high 4 bits, 0 for none)
    int32_t Step = 0;         // steps before the item
    int32_t Dx = 0;
    int32_t Dy = 0;
    int32_t Level = 0;  // level changes, summed with wrapping
};

// A run of equal track entries.
struct TStepRun {
    int Count = 0;
    TStep Step;
};

// Reads a person's track forward, a run of equal entries at a time, without using
// the person's own cursor: any number of cursors may read one track at once, on
// any thread, while nothing changes the track.
class TTrackCursor {
public:
    explicit TTrackCursor(const TPersonData& person);
    // The next run; false at the end of the track. Runs never cross an item of
    // the encoding, so two runs in a row may hold the same entry.
    bool Next(TStepRun& run);
    // Up to max next runs into runs; returns how many (0 at the end of the track).
    int NextRuns(TStepRun* runs, int max);
    // Plain steps in bulk, for readers that only need to know where a person gets to:
    // goes on over the entries without level change while at most budget of them
    // move, adding up their column and row changes. Stops before an entry that
    // changes the level, or one that would exceed the budget, or anywhere else it
    // likes (then Next goes on from there); the steps left out are still read by Next.
    struct TPlainSteps {
        int64_t Steps = 0;
        int64_t Moves = 0;  // steps among them in a direction 1..8
        int64_t Columns = 0;
        int64_t Rows = 0;
    };
    TPlainSteps SkipPlain(int64_t budget);
    // Where the next runs will be read from, for readers that prefetch it.
    const void* Ahead() const { return Data_ + Pos_; }

private:
    const uint8_t* Data_;
    std::size_t Size_;
    std::size_t Pos_ = 0;
    int Offset_ = 0;  // steps of the current item already handed out
    int Left_;        // steps of the track not yet handed out
};

// The fields a step reads and writes come first, within 64 bytes; what stepping
// never needs is held apart, so that a step over many persons streams little memory.
class TPersonData {
    friend class TTrackCursor;

public:
    TPersonData() = default;
    TPersonData(const TPersonData& other);
    TPersonData& operator=(const TPersonData& other);
    TPersonData(TPersonData&&) noexcept = default;
    TPersonData& operator=(TPersonData&&) noexcept = default;

    float X = 0.0f;
    float Y = 0.0f;
    int Level = -1;
    int Heading = 0;
    int StepCount = 0;

private:
    // Cursor: the item starting at byte CursorPos_ covers steps from CursorStep_.
    mutable int CursorStep_ = 0;
    // Encoded items; the last byte of every item tells its kind, so the track can
    // be walked in both directions. Data_ points into Own_ or into a project's arena.
    const uint8_t* Data_ = nullptr;
    std::size_t Size_ = 0;
    mutable std::size_t CursorPos_ = 0;

public:
    int Tag = -1;
    int StartX = -1;
    int StartY = -1;
    int StartLevel = -1;
    int StartHeading = 0;
    // The level the person is shown on: -1 while saved or still waiting to enter.
    int ShownLevel() const { return Waiting ? -1 : Level; }

    void SetStart(int column, int row, int ymax, int xmax, int tag, int heading, int level);
    // Appends count steps of one direction and level change. Returns the number
    // actually appended: a track never grows past kMaxStepCount steps.
    int AppendSteps(int64_t count, int direction, int levelChange);
    // Releases spare capacity of the track.
    void ShrinkTrack();

    // Track encoding, for readers that collect a whole track before handing it
    // over: appends count steps to bytes (count >= 0).
    static void EncodeSteps(std::vector<uint8_t>& bytes, int64_t count, int direction,
                            int levelChange);
    // Appends an encoded track of steps steps whose level changes sum to levelDelta.
    // A first track goes into arena when one is given (the arena must outlive the
    // person's use of its track).
    void AppendEncoded(const std::vector<uint8_t>& bytes, int steps, int levelDelta,
                       TTrackArena* arena = nullptr);

    void GetPosition(float& x, float& y, int& tag, int& heading, int& level) const;

    // Plays step forward; false when the track has ended (the person is saved).
    // A direction outside 0..8 is reported through messages, when given.
    bool IsStepMoved(int step, IMessages* messages = nullptr) {
        if (step >= StepCount) {
            Level = -1;
            return false;
        }
        // Fast path: the step lies in the cursor's one-byte item or in the next one
        // (selected without branches, which persons' tracks would mispredict).
        if (step >= 0 && CursorPos_ < Size_) {
            const std::size_t at = CursorPos_;
            const unsigned steps = track::kItemMoves[Data_[at]].Steps;
            const unsigned next = static_cast<unsigned>(step - CursorStep_) == steps;
            const unsigned on = next & (steps != 0) & (at + 1 < Size_);
            const std::size_t pos = at + on;
            const int first = CursorStep_ + static_cast<int>(steps & (0u - on));
            const track::TItemMoves& item = track::kItemMoves[Data_[pos]];
            const int offset = step - first;
            if (static_cast<unsigned>(offset) < item.Steps) {
                CursorPos_ = pos;
                CursorStep_ = first;
                const track::TStepMove m = item.At(offset);
                X += static_cast<float>(m.Dx);
                Y += static_cast<float>(m.Dy);
                Heading = (Heading & m.Keep) | m.Heading;
                Level = track::AddLevel(Level, m.Level);
                return true;
            }
        }
        return StepMovedSlowly(step, messages);
    }
    // Takes step back; false while the person is still saved at that step.
    bool IsStepMovedBack(int step, IMessages* messages = nullptr) {
        // Fast path: the step lies in the cursor's one-byte item or in the one before.
        if (static_cast<unsigned>(step) < static_cast<unsigned>(StepCount) && CursorPos_ < Size_) {
            const std::size_t at = CursorPos_;
            const unsigned before = at > 0 ? track::kItemMoves[Data_[at - 1]].Steps : 0;
            const unsigned back = static_cast<unsigned>(step < CursorStep_) & (before != 0);
            const std::size_t pos = at - back;
            const int first = CursorStep_ - static_cast<int>(before & (0u - back));
            const track::TItemMoves& item = track::kItemMoves[Data_[pos]];
            const int offset = step - first;
            if (static_cast<unsigned>(offset) < item.Steps) {
                CursorPos_ = pos;
                CursorStep_ = first;
                const track::TStepMove m = item.At(offset);
                X -= static_cast<float>(m.Dx);
                Y -= static_cast<float>(m.Dy);
                Level = track::AddLevel(Level, -m.Level);
                return true;
            }
        }
        return StepMovedBackSlowly(step, messages);
    }
    // Ask the memory, ahead of a step, for the fields it uses and for the track
    // bytes of the person's next step.
    void PrefetchState() const {
#if defined(__GNUC__)
        __builtin_prefetch(this, 1);
#endif
    }
    void PrefetchTrack() const {
#if defined(__GNUC__)
        __builtin_prefetch(Data_ + CursorPos_);
#endif
    }
    void ResetToStart(int xmax, int ymax);
    // Puts the person where the first k steps from the start take it, as
    // ResetToStart and IsStepMoved for steps 0 to k - 1 would, without messages,
    // and leaves the cursor there, so that stepping goes on from k. False when the
    // person is saved at k (k > StepCount). Costs a bounded walk from the nearest
    // checkpoint; the checkpoints are made on the first seek unless IndexTrack
    // made them before.
    bool SeekTo(int k, int xmax, int ymax);
    // Makes the checkpoints of the track for SeekTo: one every few hundred bytes
    // of the encoded track, so they take a few percent of the track's memory.
    void IndexTrack();
    std::size_t IndexBytes() const {
        return Index_ ? Index_->capacity() * sizeof(TTrackCheckpoint) : 0;
    }

    // Track entry k (0 <= k < StepCount), for inspection and tests.
    TStep GetStep(int k) const;
    // Level after the last step of the track.
    int FinalLevel() const;
    // Bytes held by the track storage.
    std::size_t TrackBytes() const {
        return UsesOwn() ? Own_->capacity() : Size_;
    }

private:
    bool StepMovedSlowly(int step, IMessages* messages);
    bool StepMovedBackSlowly(int step, IMessages* messages);
    void Locate(int step) const;
    TStep CurrentEntry() const;

    bool UsesOwn() const {
        return Size_ > 0 && Own_ && Data_ == Own_->data();
    }
    // Makes Own_ hold the track, so that it can grow; returns it.
    std::vector<uint8_t>& MakeOwn();
    void DropIndex() {
        Index_.reset();
        Indexed_ = false;
    }
    void ViewOwn() {
        Data_ = Own_->data();
        Size_ = Own_->size();
    }

    int LevelDelta_ = 0;
    mutable int CursorOffset_ = 0;  // step within the item found by Locate
    bool Indexed_ = false;

public:
    // Set by the playback while the step shown lies before the person's entry step:
    // the person is not in the building yet, and is neither drawn nor picked. (Kept
    // here, where it fills what would be padding.)
    bool Waiting = false;

private:
    // Checkpoints of the track, in order, valid while Indexed_ (none for a short
    // track), and the track's own storage (none while an arena holds the track).
    std::unique_ptr<std::vector<TTrackCheckpoint>> Index_;
    std::unique_ptr<std::vector<uint8_t>> Own_;
};

static_assert(sizeof(TPersonData) <= 96 || sizeof(void*) > 8, "a step streams the persons");

}  // namespace orlex
