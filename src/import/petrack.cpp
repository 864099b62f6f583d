#include "petrack.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "mappedfile.h"

namespace orlex::import {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Whether word stands in text with no letter right after it.
bool HasWord(const std::string& text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const std::size_t after = at + word.size();
        if (after >= text.size() || !std::isalpha(static_cast<unsigned char>(text[after])))
            return true;
    }
    return false;
}

[[noreturn]] void Fail(const std::string& name, int64_t line, const std::string& what) {
    throw TImportError(name + ", line " + std::to_string(line) + ": " + what);
}

}  // namespace

double FrameRateOfComment(std::string_view line) {
    const std::string lower = Lower(line);
    const std::size_t at = lower.find("framerate");
    if (at == std::string::npos) return 0;
    const char* p = lower.data() + at + 9;
    const char* end = lower.data() + lower.size();
    while (p < end && !(std::isdigit(static_cast<unsigned char>(*p)) || *p == '.' || *p == '-'))
        ++p;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(p, end, value);
    if (ec != std::errc() || ptr == p) return -1;  // "framerate" with no number
    return value;
}

TLengthUnit UnitOfComment(std::string_view line) {
    const std::string lower = Lower(line);
    if (HasWord(lower, "x/cm") || HasWord(lower, "in cm")) return TLengthUnit::Centimetre;
    if (HasWord(lower, "x/m") || HasWord(lower, "in m")) return TLengthUnit::Metre;
    return TLengthUnit::Unknown;
}

namespace {

struct TRow {
    int64_t Id = 0;
    int64_t Frame = 0;
    double X = 0, Y = 0, Z = 0;
};

// The rows of the text one after the other; notes the frame rate and the unit
// that the comments give.
class TRowScanner {
public:
    TRowScanner(std::string_view text, const std::string& name)
        : Begin_(text.data()), P_(text.data()), End_(text.data() + text.size()), Name_(name) {}

    int64_t Line() const { return Line_; }
    // Bytes read so far.
    std::size_t Offset() const { return static_cast<std::size_t>(P_ - Begin_); }
    double FileFps = 0;
    int64_t FpsLine = 0;
    TLengthUnit FileUnit = TLengthUnit::Unknown;

    // The next row; false at the end. Throws TImportError naming the line.
    bool Next(TRow& row) {
        while (P_ < End_) {
            ++Line_;
            const char* eol = static_cast<const char*>(std::memchr(P_, '\n', End_ - P_));
            if (!eol) eol = End_;
            const char* p = P_;
            P_ = eol < End_ ? eol + 1 : End_;
            while (p < eol && IsBlank(*p)) ++p;
            if (p == eol) continue;
            if (*p == '#') {
                Comment(std::string_view(p, eol - p));
                continue;
            }
            Parse(p, eol, row);
            return true;
        }
        return false;
    }

private:
    void Comment(std::string_view comment) {
        if (FpsLine == 0 && Lower(comment).find("framerate") != std::string::npos) {
            FileFps = FrameRateOfComment(comment);
            FpsLine = Line_;
        }
        if (FileUnit == TLengthUnit::Unknown) FileUnit = UnitOfComment(comment);
    }

    // id frame x y [z ...]
    void Parse(const char* p, const char* eol, TRow& row) {
        const auto next = [&](const char* what) {
            while (p < eol && IsBlank(*p)) ++p;
            if (p == eol)
                Fail(Name_, Line_,
                     "a row needs the columns id, frame, x and y; " + std::string(what) +
                         " is missing");
        };
        const auto ended = [&](const char* after, const char* what) {
            if (after < eol && !IsBlank(*after))
                Fail(Name_, Line_, std::string(what) + " is not a number");
            p = after;
        };
        next("id");
        {
            const auto [ptr, ec] = std::from_chars(p, eol, row.Id);
            if (ec != std::errc()) Fail(Name_, Line_, "the id is not a whole number");
            ended(ptr, "the id");
        }
        next("frame");
        {
            const auto [ptr, ec] = std::from_chars(p, eol, row.Frame);
            if (ec != std::errc()) Fail(Name_, Line_, "the frame is not a whole number");
            ended(ptr, "the frame");
        }
        static const char* const kNames[3] = {"x", "y", "z"};
        double* const values[3] = {&row.X, &row.Y, &row.Z};
        row.Z = 0;
        for (int field = 0; field < 3; ++field) {
            while (p < eol && IsBlank(*p)) ++p;
            if (p == eol) {
                if (field < 2) next(kNames[field]);
                break;
            }
            const auto [ptr, ec] = std::from_chars(p, eol, *values[field]);
            if (ec != std::errc())
                Fail(Name_, Line_, std::string(kNames[field]) + " is not a number");
            ended(ptr, kNames[field]);
            if (!std::isfinite(*values[field]))
                Fail(Name_, Line_, std::string(kNames[field]) + " is not a finite number");
        }
    }

    const char* Begin_;
    const char* P_;
    const char* End_;
    const std::string& Name_;
    int64_t Line_ = 0;
};

struct TTextMeta {
    double Fps = 0;
    double Scale = 1;  // to metres
    std::vector<std::string> Warnings;
};

// The frame rate and the unit in effect, from the options or the file's comments.
TTextMeta MetaOf(const TRowScanner& rows, const std::string& name, const TTextOptions& options) {
    TTextMeta meta;
    const double fileFps = rows.FileFps;
    const int64_t fpsLine = rows.FpsLine;
    if (options.Fps <= 0 && fpsLine > 0 && fileFps < 0)
        throw TImportError(name + ", line " + std::to_string(fpsLine) +
                           ": the framerate comment gives no number");
    if (options.Fps <= 0 && fpsLine > 0 && !(fileFps > 0 && std::isfinite(fileFps)))
        throw TImportError(name + ", line " + std::to_string(fpsLine) +
                           ": the frame rate must be above 0");
    meta.Fps = options.Fps > 0 ? options.Fps : fileFps;
    if (!(meta.Fps > 0))
        throw TImportError(name +
                           ": the frame rate is not given (no comment line with "
                           "\"framerate\"); give it with --fps");
    if (options.Fps > 0 && fileFps > 0 && std::abs(options.Fps - fileFps) > 1e-9)
        meta.Warnings.push_back(name + ": the file gives a frame rate of " +
                                std::to_string(fileFps) + "; " + std::to_string(options.Fps) +
                                " as given is used");
    const TLengthUnit unit = options.Unit != TLengthUnit::Unknown ? options.Unit : rows.FileUnit;
    if (unit == TLengthUnit::Unknown)
        throw TImportError(name +
                           ": the length unit is not given (no comment naming x/m, x/cm, "
                           "\"in m\" or \"in cm\"); give it with --unit m or --unit cm");
    meta.Scale = unit == TLengthUnit::Centimetre ? 0.01 : 1.0;
    return meta;
}

void Twice(const std::string& name, int64_t line, int64_t id, int64_t frame) {
    Fail(name, line,
         "person " + std::to_string(id) + " has frame " + std::to_string(frame) + " twice");
}

}  // namespace

TTrajectorySet ParsePeTrackText(std::string_view text, const std::string& name,
                                const TTextOptions& options) {
    TTrajectorySet set;
    set.Source = name;
    std::unordered_map<int64_t, std::size_t> index;
    TPersonTrack* current = nullptr;
    bool unsorted = false;
    TRowScanner rows(text, name);
    TRow row;
    while (rows.Next(row)) {
        if (!current || current->Id != row.Id) {
            const auto [it, added] = index.try_emplace(row.Id, set.Persons.size());
            if (added) {
                set.Persons.push_back({row.Id, {}});
            } else {
                unsorted = true;  // the person's rows are not together
            }
            current = &set.Persons[it->second];
        }
        if (!current->Samples.empty()) {
            const int64_t last = current->Samples.back().Frame;
            if (row.Frame == last && !unsorted) Twice(name, rows.Line(), row.Id, row.Frame);
            if (row.Frame <= last) unsorted = true;
        }
        current->Samples.push_back({row.Frame, row.X, row.Y, row.Z});
    }
    if (set.Persons.empty()) throw TImportError(name + ": no trajectory rows found");
    TTextMeta meta = MetaOf(rows, name, options);
    set.Fps = meta.Fps;
    set.Warnings = std::move(meta.Warnings);
    if (meta.Scale != 1.0) {
        for (TPersonTrack& person : set.Persons)
            for (TSample& s : person.Samples) {
                s.X *= meta.Scale;
                s.Y *= meta.Scale;
                s.Z *= meta.Scale;
            }
    }
    if (unsorted) SortAndCheck(set);
    return set;
}

TTrajectorySet ReadPeTrackFile(const std::string& path, const TTextOptions& options) {
    const TMappedFile file(path);
    return ParsePeTrackText(file.View(), path, options);
}

// Rows read are let go from memory in pieces of this size, so that a large file
// never stays mapped in memory whole.
constexpr std::size_t kReleaseEvery = std::size_t{1} << 20;

struct TPeTrackFile::TCursor {
    TCursor(std::string_view text, const std::string& name) : Scanner(text, name) {}
    TRowScanner Scanner;
    TRow Pending;
    bool HasPending = false;
    std::size_t Released = 0;
    std::unordered_set<int64_t> Seen;  // the persons read so far, until checked
};

// Thrown by a pass that finds a person's rows apart or its frames out of order.
struct TUnsorted {};

TPeTrackFile::TPeTrackFile(const std::string& path, const TTextOptions& options, bool floorsFromZ)
    : Name_(path), File_(std::make_unique<TMappedFile>(path)), FloorsFromZ_(floorsFromZ) {
    // Do the comments before the first row, or the options, give the frame rate and
    // the unit? Then one pass checks the rows and makes the summary.
    TRowScanner lead(File_->View(), Name_);
    TRow row;
    if (!lead.Next(row)) throw TImportError(Name_ + ": no trajectory rows found");
    const bool known =
        (options.Fps > 0 || lead.FpsLine > 0) &&
        (options.Unit != TLengthUnit::Unknown || lead.FileUnit != TLengthUnit::Unknown);
    try {
        if (!known) {
            // A pass for the rows alone; the comments may come after them.
            Rewind();
            TPersonTrack person;
            while (Next(person)) {
            }
        }
        TTextMeta meta = MetaOf(known ? lead : Cursor_->Scanner, Name_, options);
        Fps_ = meta.Fps;
        Scale_ = meta.Scale;
        Warnings_ = std::move(meta.Warnings);
        Rewind();
        TSummaryBuilder builder(Fps_, floorsFromZ, Name_);
        TPersonTrack person;
        while (Next(person)) builder.Add(person);
        Summary_ = std::make_unique<TTrajectorySummary>(builder.Finish());
        Rewind();
    } catch (const TUnsorted&) {
        // Read whole and sorted in memory.
        Cursor_.reset();
        Whole_ = std::make_unique<TTrajectorySet>(ParsePeTrackText(File_->View(), path, options));
        WholeSource_ = std::make_unique<TSetSource>(*Whole_);
        File_.reset();
    }
}

const TTrajectorySummary* TPeTrackFile::Summarized(bool floorsFromZ) const {
    return Summary_ && floorsFromZ == FloorsFromZ_ ? Summary_.get() : nullptr;
}

TPeTrackFile::~TPeTrackFile() = default;

double TPeTrackFile::Fps() const {
    return Whole_ ? Whole_->Fps : Fps_;
}

const std::vector<std::string>& TPeTrackFile::WalkableWkt() const {
    return Whole_ ? Whole_->WalkableWkt : NoWkt_;
}

const std::vector<std::string>& TPeTrackFile::Warnings() const {
    return Whole_ ? Whole_->Warnings : Warnings_;
}

void TPeTrackFile::Rewind() {
    if (WholeSource_) return WholeSource_->Rewind();
    Cursor_ = std::make_unique<TCursor>(File_->View(), Name_);
}

bool TPeTrackFile::Next(TPersonTrack& person) {
    if (WholeSource_) return WholeSource_->Next(person);
    person.Samples.clear();
    TRow row;
    const TRowScanner& rows = Cursor_->Scanner;
    const auto add = [&](const TRow& r) {
        if (!person.Samples.empty() && r.Frame <= person.Samples.back().Frame) {
            if (r.Frame == person.Samples.back().Frame) Twice(Name_, rows.Line(), r.Id, r.Frame);
            throw TUnsorted{};
        }
        person.Samples.push_back({r.Frame, r.X * Scale_, r.Y * Scale_, r.Z * Scale_});
    };
    if (Cursor_->HasPending) {
        Cursor_->HasPending = false;
        person.Id = Cursor_->Pending.Id;
        add(Cursor_->Pending);
    } else if (Cursor_->Scanner.Next(row)) {
        person.Id = row.Id;
        add(row);
    } else {
        return false;
    }
    if (!Summary_ && !Cursor_->Seen.insert(person.Id).second) throw TUnsorted{};
    while (Cursor_->Scanner.Next(row)) {
        if (row.Id != person.Id) {
            Cursor_->Pending = row;
            Cursor_->HasPending = true;
            break;
        }
        add(row);
    }
    const std::size_t offset = Cursor_->Scanner.Offset();
    if (offset > Cursor_->Released + kReleaseEvery) {
        Cursor_->Released = offset;
        File_->Release(offset);
    }
    return true;
}

}  // namespace orlex::import
