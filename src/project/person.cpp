#include "person.h"

#include <cstring>

#include "directions.h"
#include "trackcode.h"

namespace orlex {

using namespace track;

void TPersonData::EncodeSteps(std::vector<uint8_t>& bytes, int64_t count, int direction,
                              int levelChange) {
    if (count <= 0) return;
    // Directions come from one character of the file; anything else is kept as an
    // invalid direction, level changes as one level at most.
    if (direction < -'0' || direction > 255 - '0') direction = 9;
    if (levelChange > 1) levelChange = 1;
    if (levelChange < -1) levelChange = -1;
    const bool plainDirection = direction >= 0 && direction <= 8;
    if (levelChange == 0 && plainDirection && count <= kShortRun) {
        for (int64_t i = 0; i < count; ++i) {
            if (!bytes.empty() && bytes.back() >= kSingle && bytes.back() < kUp)
                bytes.back() = static_cast<uint8_t>((bytes.back() - kSingle) * 9 + direction);
            else
                bytes.push_back(static_cast<uint8_t>(kSingle + direction));
        }
        return;
    }
    if (levelChange == 0) {
        while (count > 0) {
            const uint32_t n = count > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<uint32_t>(count);
            uint8_t item[kRunBytes] = {kRun, 0, 0, 0, 0, static_cast<uint8_t>(direction + '0'),
                                       kRun};
            std::memcpy(item + 1, &n, 4);
            bytes.insert(bytes.end(), item, item + kRunBytes);
            count -= n;
        }
        return;
    }
    for (int64_t i = 0; i < count; ++i) {
        if (plainDirection && (levelChange == 1 || levelChange == -1)) {
            bytes.push_back(static_cast<uint8_t>((levelChange > 0 ? kUp : kDown) + direction));
        } else {
            const uint8_t item[kGeneralBytes] = {kGeneral, static_cast<uint8_t>(direction + '0'),
                                                 static_cast<uint8_t>(levelChange + 1), kGeneral};
            bytes.insert(bytes.end(), item, item + kGeneralBytes);
        }
    }
}

void TTrackWriter::Steps(int64_t count, int direction, int levelChange) {
    Flush();
    TPersonData::EncodeSteps(Bytes_, count, direction, levelChange);
}

void TTrackWriter::Flush() {
    if (Pending_ >= 0) Bytes_.push_back(static_cast<uint8_t>(kSingle + Pending_));
    Pending_ = -1;
}

void TPersonData::SetStart(int column, int row, int ymax, int xmax, int tag, int heading,
                           int level) {
    StartX = column;
    StartY = row;
    StartLevel = level;
    StartHeading = heading;
    Tag = tag;
    ResetToStart(xmax, ymax);
}

int TPersonData::AppendSteps(int64_t count, int direction, int levelChange) {
    if (count <= 0) return 0;
    const int64_t room = kMaxStepCount - StepCount;
    if (count > room) count = room;
    if (count <= 0) return 0;
    EncodeSteps(MakeOwn(), count, direction, levelChange);
    ViewOwn();
    DropIndex();
    StepCount += static_cast<int>(count);
    if (levelChange > 1) levelChange = 1;
    if (levelChange < -1) levelChange = -1;
    LevelDelta_ = AddLevel(LevelDelta_, static_cast<int>(count * levelChange));
    return static_cast<int>(count);
}

void TPersonData::AppendEncoded(const std::vector<uint8_t>& bytes, int steps, int levelDelta,
                                TTrackArena* arena) {
    if (Size_ == 0 && arena && !bytes.empty()) {
        uint8_t* room = arena->Allocate(bytes.size());
        std::memcpy(room, bytes.data(), bytes.size());
        Data_ = room;
        Size_ = bytes.size();
    } else {
        std::vector<uint8_t>& own = MakeOwn();
        own.insert(own.end(), bytes.begin(), bytes.end());
        ViewOwn();
    }
    StepCount = static_cast<int>(static_cast<int64_t>(StepCount) + steps);
    LevelDelta_ = AddLevel(LevelDelta_, levelDelta);
    DropIndex();
}

void TPersonData::ShrinkTrack() {
    if (!UsesOwn()) return;
    Own_->shrink_to_fit();
    ViewOwn();
}

std::vector<uint8_t>& TPersonData::MakeOwn() {
    if (!Own_) Own_ = std::make_unique<std::vector<uint8_t>>();
    if (UsesOwn() || Size_ == 0) return *Own_;
    Own_->assign(Data_, Data_ + Size_);
    ViewOwn();
    return *Own_;
}

TPersonData::TPersonData(const TPersonData& other) {
    *this = other;
}

TPersonData& TPersonData::operator=(const TPersonData& other) {
    if (this == &other) return *this;
    const bool own = other.UsesOwn();
    Tag = other.Tag;
    StepCount = other.StepCount;
    StartX = other.StartX;
    StartY = other.StartY;
    StartLevel = other.StartLevel;
    StartHeading = other.StartHeading;
    Waiting = other.Waiting;
    X = other.X;
    Y = other.Y;
    Level = other.Level;
    Heading = other.Heading;
    Own_ = other.Own_ ? std::make_unique<std::vector<uint8_t>>(*other.Own_) : nullptr;
    Data_ = own ? Own_->data() : other.Data_;
    Size_ = other.Size_;
    LevelDelta_ = other.LevelDelta_;
    CursorPos_ = other.CursorPos_;
    CursorStep_ = other.CursorStep_;
    CursorOffset_ = other.CursorOffset_;
    Index_ =
        other.Index_ ? std::make_unique<std::vector<TTrackCheckpoint>>(*other.Index_) : nullptr;
    Indexed_ = other.Indexed_;
    return *this;
}

uint8_t* TTrackArena::Allocate(std::size_t size) {
    if (size > kBlockSize / 4) {
        // A long track gets a block of its own.
        Blocks_.emplace_back(size);
        return Blocks_.back().Data();
    }
    if (size > Left_) {
        Blocks_.emplace_back(kBlockSize);
        Next_ = Blocks_.back().Data();
        Left_ = kBlockSize;
    }
    uint8_t* room = Next_;
    Next_ += size;
    Left_ -= size;
    return room;
}

void TTrackArena::Clear() {
    Blocks_.clear();
    Blocks_.shrink_to_fit();
    Next_ = nullptr;
    Left_ = 0;
}

void TPersonData::GetPosition(float& x, float& y, int& tag, int& heading, int& level) const {
    x = X;
    y = Y;
    tag = Tag;
    heading = Heading;
    level = ShownLevel();
}

void TPersonData::Locate(int step) const {
    const uint8_t* data = Data_;
    while (step < CursorStep_) {
        const int bytes = ItemBytes(data[CursorPos_ - 1]);
        CursorPos_ -= bytes;
        CursorStep_ -= ItemSteps(data + CursorPos_);
    }
    for (;;) {
        const int steps = ItemSteps(data + CursorPos_);
        if (step < CursorStep_ + steps) break;
        CursorStep_ += steps;
        CursorPos_ += ItemBytes(data[CursorPos_]);
    }
    CursorOffset_ = step - CursorStep_;
}

TStep TPersonData::CurrentEntry() const {
    return EntryOf(Data_ + CursorPos_, CursorOffset_);
}

TStep TPersonData::GetStep(int k) const {
    if (k < 0 || k >= StepCount) return {};
    Locate(k);
    return CurrentEntry();
}

TTrackCursor::TTrackCursor(const TPersonData& person)
    : Data_(person.Data_),
      Size_(person.StepCount > 0 ? person.Size_ : 0),
      Left_(person.StepCount > 0 ? person.StepCount : 0) {}

bool TTrackCursor::Next(TStepRun& run) {
    while (Pos_ < Size_ && Left_ > 0) {
        const uint8_t* item = Data_ + Pos_;
        const int steps = ItemSteps(item);
        if (Offset_ >= steps) {
            Pos_ += ItemBytes(item[0]);
            Offset_ = 0;
            continue;
        }
        run.Step = EntryOf(item, Offset_);
        if (steps == 2 && Offset_ == 0 && EntryOf(item, 1).Direction == run.Step.Direction) {
            run.Count = 2;
        } else {
            run.Count = steps == 2 ? 1 : steps - Offset_;
        }
        if (run.Count > Left_) run.Count = Left_;
        Left_ -= run.Count;
        Offset_ += run.Count;
        return true;
    }
    return false;
}

int TTrackCursor::NextRuns(TStepRun* runs, int max) {
    int n = 0;
    while (n < max) {
        // The commonest item, two plain steps in one byte, without the general walk.
        if (Offset_ == 0 && Left_ >= 2 && Pos_ < Size_ && Data_[Pos_] <= 80) {
            const int v = Data_[Pos_];
            const int first = v / 9;
            const int second = v % 9;
            if (first == second || n + 2 <= max) {
                if (first == second) {
                    runs[n++] = {2, {first, 0}};
                } else {
                    runs[n++] = {1, {first, 0}};
                    runs[n++] = {1, {second, 0}};
                }
                ++Pos_;
                Left_ -= 2;
                continue;
            }
        }
        if (!Next(runs[n])) break;
        ++n;
    }
    return n;
}

TTrackCursor::TPlainSteps TTrackCursor::SkipPlain(int64_t budget) {
    TPlainSteps done;
    if (Offset_ != 0 && Pos_ < Size_ && Offset_ >= ItemSteps(Data_ + Pos_)) {
        Pos_ += static_cast<std::size_t>(ItemBytes(Data_[Pos_]));  // the item is read
        Offset_ = 0;
    }
    if (Offset_ != 0) return done;
    while (Pos_ < Size_ && Left_ > 0) {
        const uint8_t* item = Data_ + Pos_;
        const uint8_t v = item[0];
        int steps = 0;
        if (v < kUp) {
            // One or two plain steps: the table of the one-byte items tells their moves.
            const TItemMoves& m = kItemMoves[v];
            steps = m.Steps;
            const int rest = steps - 1;
            const int moves = (m.First.Keep == 0) + rest * (m.Rest.Keep == 0);
            if (steps > Left_ || moves > budget - done.Moves) break;
            done.Moves += moves;
            done.Columns += m.First.Dx + rest * m.Rest.Dx;
            done.Rows -= m.First.Dy + rest * m.Rest.Dy;  // Dy counts upwards
        } else if (v == kRun) {
            steps = ItemSteps(item);
            const int direction = EntryOf(item, 0).Direction;
            const bool moving = IsMoveDirection(direction);
            if (steps > Left_ || (moving && steps > budget - done.Moves)) break;
            if (moving) {
                done.Moves += steps;
                done.Columns += int64_t{kDirectionColumn[direction]} * steps;
                done.Rows += int64_t{kDirectionRow[direction]} * steps;
            }
        } else {
            break;  // a level change, or a step of the general kind
        }
        Pos_ += static_cast<std::size_t>(ItemBytes(v));
        Left_ -= steps;
        done.Steps += steps;
    }
    return done;
}

int TPersonData::FinalLevel() const {
    return AddLevel(StartLevel, LevelDelta_);
}

bool TPersonData::StepMovedSlowly(int step, IMessages* messages) {
    if (step < 0 || step >= StepCount) {
        Level = -1;
        return false;
    }
    Locate(step);
    const TStep e = CurrentEntry();
    if (e.Direction >= 1 && e.Direction <= 8) {
        X += static_cast<float>(kDirectionColumn[e.Direction]);
        Y -= static_cast<float>(kDirectionRow[e.Direction]);
        Heading = e.Direction;
    } else if (e.Direction != 0 && messages) {
        messages->ShowMessage("Error in TPersonData::IsStepMoved()", "Error", TMsgIcon::Warning,
                              TMsgButtons::Ok);
    }
    Level = AddLevel(Level, e.LevelChange);
    return true;
}

bool TPersonData::StepMovedBackSlowly(int step, IMessages* messages) {
    if (step < 0 || step > StepCount) {
        Level = -1;
        return false;
    }
    if (step == StepCount) {
        // Back from the saved state: the person stands again on its last cell, on
        // the level it reached with its last step.
        Level = FinalLevel();
        return true;
    }
    Locate(step);
    const TStep e = CurrentEntry();
    if (e.Direction >= 1 && e.Direction <= 8) {
        X -= static_cast<float>(kDirectionColumn[e.Direction]);
        Y += static_cast<float>(kDirectionRow[e.Direction]);
    } else if (e.Direction != 0 && messages) {
        messages->ShowMessage("Error in TPersonData::IsStepMoved()", "Error", TMsgIcon::Warning,
                              TMsgButtons::Ok);
    }
    Level = AddLevel(Level, -e.LevelChange);
    return true;
}

void TPersonData::ResetToStart(int xmax, int ymax) {
    X = static_cast<float>(int64_t{StartX} - xmax / 2) + 0.5f;
    Y = static_cast<float>(int64_t{ymax / 2} - StartY) - 0.5f;
    Level = StartLevel;
    Heading = StartHeading;
    CursorPos_ = 0;
    CursorStep_ = 0;
}

}  // namespace orlex
