#include "petrack.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>

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

TTrajectorySet ParsePeTrackText(std::string_view text, const std::string& name,
                                const TTextOptions& options) {
    TTrajectorySet set;
    set.Source = name;
    double fileFps = 0;
    int64_t fpsLine = 0;
    TLengthUnit fileUnit = TLengthUnit::Unknown;
    std::unordered_map<int64_t, std::size_t> index;
    TPersonTrack* current = nullptr;
    bool unsorted = false;

    const char* p = text.data();
    const char* const end = p + text.size();
    int64_t line = 0;
    while (p < end) {
        ++line;
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!eol) eol = end;
        while (p < eol && IsBlank(*p)) ++p;
        if (p == eol) {
            p = eol + 1;
            continue;
        }
        if (*p == '#') {
            const std::string_view comment(p, eol - p);
            if (fpsLine == 0 && Lower(comment).find("framerate") != std::string::npos) {
                fileFps = FrameRateOfComment(comment);
                fpsLine = line;
            }
            if (fileUnit == TLengthUnit::Unknown) fileUnit = UnitOfComment(comment);
            p = eol + 1;
            continue;
        }
        // id frame x y [z ...]
        int64_t id = 0;
        int64_t frame = 0;
        double values[3] = {0, 0, 0};
        int field = 0;
        const auto next = [&](const char* what) {
            while (p < eol && IsBlank(*p)) ++p;
            if (p == eol)
                Fail(name, line,
                     "a row needs the columns id, frame, x and y; " + std::string(what) +
                         " is missing");
        };
        const auto ended = [&](const char* after, const char* what) {
            if (after < eol && !IsBlank(*after))
                Fail(name, line, std::string(what) + " is not a number");
            p = after;
        };
        next("id");
        {
            const auto [ptr, ec] = std::from_chars(p, eol, id);
            if (ec != std::errc()) Fail(name, line, "the id is not a whole number");
            ended(ptr, "the id");
        }
        next("frame");
        {
            const auto [ptr, ec] = std::from_chars(p, eol, frame);
            if (ec != std::errc()) Fail(name, line, "the frame is not a whole number");
            ended(ptr, "the frame");
        }
        static const char* const kNames[3] = {"x", "y", "z"};
        for (field = 0; field < 3; ++field) {
            while (p < eol && IsBlank(*p)) ++p;
            if (p == eol) {
                if (field < 2) next(kNames[field]);
                break;
            }
            const auto [ptr, ec] = std::from_chars(p, eol, values[field]);
            if (ec != std::errc())
                Fail(name, line, std::string(kNames[field]) + " is not a number");
            ended(ptr, kNames[field]);
            if (!std::isfinite(values[field]))
                Fail(name, line, std::string(kNames[field]) + " is not a finite number");
        }
        p = eol + 1;

        if (!current || current->Id != id) {
            const auto [it, added] = index.try_emplace(id, set.Persons.size());
            if (added) {
                set.Persons.push_back({id, {}});
            } else {
                unsorted = true;  // the person's rows are not together
            }
            current = &set.Persons[it->second];
        }
        if (!current->Samples.empty()) {
            const int64_t last = current->Samples.back().Frame;
            if (frame == last && !unsorted)
                Fail(name, line,
                     "person " + std::to_string(id) + " has frame " + std::to_string(frame) +
                         " twice");
            if (frame <= last) unsorted = true;
        }
        current->Samples.push_back({frame, values[0], values[1], values[2]});
    }

    if (set.Persons.empty()) throw TImportError(name + ": no trajectory rows found");
    if (options.Fps <= 0 && fpsLine > 0 && fileFps < 0)
        throw TImportError(name + ", line " + std::to_string(fpsLine) +
                           ": the framerate comment gives no number");
    if (options.Fps <= 0 && fpsLine > 0 && !(fileFps > 0 && std::isfinite(fileFps)))
        throw TImportError(name + ", line " + std::to_string(fpsLine) +
                           ": the frame rate must be above 0");
    set.Fps = options.Fps > 0 ? options.Fps : fileFps;
    if (!(set.Fps > 0))
        throw TImportError(name +
                           ": the frame rate is not given (no comment line with "
                           "\"framerate\"); give it with --fps");
    if (options.Fps > 0 && fileFps > 0 && std::abs(options.Fps - fileFps) > 1e-9)
        set.Warnings.push_back(name + ": the file gives a frame rate of " +
                               std::to_string(fileFps) + "; " + std::to_string(options.Fps) +
                               " as given is used");
    const TLengthUnit unit = options.Unit != TLengthUnit::Unknown ? options.Unit : fileUnit;
    if (unit == TLengthUnit::Unknown)
        throw TImportError(name +
                           ": the length unit is not given (no comment naming x/m, x/cm, "
                           "\"in m\" or \"in cm\"); give it with --unit m or --unit cm");
    if (unit == TLengthUnit::Centimetre) {
        for (TPersonTrack& person : set.Persons)
            for (TSample& s : person.Samples) {
                s.X *= 0.01;
                s.Y *= 0.01;
                s.Z *= 0.01;
            }
    }
    if (unsorted) SortAndCheck(set);
    return set;
}

TTrajectorySet ReadPeTrackFile(const std::string& path, const TTextOptions& options) {
    const TMappedFile file(path);
    return ParsePeTrackText(file.View(), path, options);
}

void SortAndCheck(TTrajectorySet& set) {
    std::sort(set.Persons.begin(), set.Persons.end(),
              [](const TPersonTrack& a, const TPersonTrack& b) { return a.Id < b.Id; });
    for (TPersonTrack& person : set.Persons) {
        std::stable_sort(person.Samples.begin(), person.Samples.end(),
                         [](const TSample& a, const TSample& b) { return a.Frame < b.Frame; });
        for (std::size_t k = 1; k < person.Samples.size(); ++k)
            if (person.Samples[k].Frame == person.Samples[k - 1].Frame)
                throw TImportError(set.Source + ": person " + std::to_string(person.Id) +
                                   " has frame " + std::to_string(person.Samples[k].Frame) +
                                   " twice");
    }
}

}  // namespace orlex::import
