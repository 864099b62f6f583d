#include "timenavigation.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace orlex {

int StepsPerSecondOf(int vmax) {
    return vmax <= 0 ? 1 : vmax;
}

int ShownSecondsAt(int64_t stepCounter, int vmax, int toff) {
    const double seconds = static_cast<double>(stepCounter) / StepsPerSecondOf(vmax) + toff;
    if (seconds >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (seconds <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(std::trunc(seconds));
}

std::string ClockText(int seconds) {
    const int64_t t = seconds < 0 ? -int64_t{seconds} : seconds;
    const int64_t s = t % 60;
    return (seconds < 0 ? "-" : "") + std::to_string(t / 60) + (s >= 10 ? ":" : ":0") +
           std::to_string(s);
}

int AnimationInterval(double speed, int vmax) {
    if (!(speed > 0.0)) speed = 5.0;
    const double interval = std::trunc(1000.0 / speed / StepsPerSecondOf(vmax));
    if (interval < 1.0) return 1;
    if (interval >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(interval);
}

namespace {

// A cursor over the entry; letters compare without case.
class TEntryReader {
public:
    explicit TEntryReader(std::string_view text) : Text_(text) {}

    void SkipBlanks() {
        while (Pos_ < Text_.size() && (Text_[Pos_] == ' ' || Text_[Pos_] == '\t')) ++Pos_;
    }
    bool AtEnd() const { return Pos_ == Text_.size(); }
    bool Take(char c) {
        if (AtEnd() || Text_[Pos_] != c) return false;
        ++Pos_;
        return true;
    }
    // Takes word (lower case) when the text goes on with it in any case.
    bool TakeWord(std::string_view word) {
        if (Text_.size() - Pos_ < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            char c = Text_[Pos_ + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != word[i]) return false;
        }
        Pos_ += word.size();
        return true;
    }
    // One or more digits; their count goes to digits.
    bool Digits(double& value, int& digits) {
        value = 0.0;
        digits = 0;
        while (!AtEnd() && Text_[Pos_] >= '0' && Text_[Pos_] <= '9') {
            value = value * 10.0 + (Text_[Pos_] - '0');
            ++Pos_;
            ++digits;
        }
        return digits > 0;
    }
    // Digits with an optional fraction; fraction tells whether it had one.
    bool Number(double& value, int& digits, bool& fraction) {
        fraction = false;
        if (!Digits(value, digits)) return false;
        if (!Take('.')) return true;
        double part = 0.0;
        int partDigits = 0;
        if (!Digits(part, partDigits)) return false;
        value += part / std::pow(10.0, partDigits);
        fraction = true;
        return true;
    }

private:
    std::string_view Text_;
    std::size_t Pos_ = 0;
};

std::optional<TTimeEntry> ParseStep(TEntryReader& in) {
    in.SkipBlanks();
    double value = 0.0;
    int digits = 0;
    if (!in.Digits(value, digits)) return std::nullopt;
    in.SkipBlanks();
    if (!in.AtEnd()) return std::nullopt;
    TTimeEntry entry;
    entry.Kind = TTimeEntry::TKind::Step;
    entry.Step =
        value >= static_cast<double>(kMaxEntryStep) ? kMaxEntryStep : static_cast<int64_t>(value);
    return entry;
}

std::optional<TTimeEntry> ParseTime(TEntryReader& in) {
    const bool negative = in.Take('-');
    in.SkipBlanks();
    double first = 0.0;
    int digits = 0;
    bool fraction = false;
    if (!in.Number(first, digits, fraction)) return std::nullopt;
    in.SkipBlanks();
    double seconds = first;
    if (in.Take(':')) {
        in.SkipBlanks();
        double rest = 0.0;
        int restDigits = 0;
        bool restFraction = false;
        if (fraction || !in.Number(rest, restDigits, restFraction)) return std::nullopt;
        if (restDigits > 2 || rest >= 60.0) return std::nullopt;
        seconds = first * 60.0 + rest;
        in.SkipBlanks();
        in.TakeWord("min");
    } else {
        in.TakeWord("s");
    }
    in.SkipBlanks();
    if (!in.AtEnd()) return std::nullopt;
    TTimeEntry entry;
    entry.Seconds = negative ? -seconds : seconds;
    return entry;
}

}  // namespace

std::optional<TTimeEntry> ParseTimeEntry(std::string_view text) {
    TEntryReader in(text);
    in.SkipBlanks();
    if (in.TakeWord("step")) return ParseStep(in);
    if (in.TakeWord("time")) {
        in.SkipBlanks();
        if (!in.Take(':')) return std::nullopt;
        in.SkipBlanks();
    }
    return ParseTime(in);
}

std::string BadTimeEntryText(std::string_view text) {
    const std::string kinds =
        "minutes and seconds (7:30), seconds (450) or a step counter (step 900).";
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return "Enter a time: " + kinds;
    text.remove_prefix(first);
    text = text.substr(0, text.find_last_not_of(" \t") + 1);
    std::string shown(text);
    constexpr std::size_t kLongest = 40;
    if (shown.size() > kLongest) {
        std::size_t cut = kLongest;
        // Never cut a UTF-8 sequence in two.
        while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
        shown = shown.substr(0, cut) + "...";
    }
    return "\"" + shown + "\" is not a time.\nEnter " + kinds;
}

TTimeline TTimeline::Of(const TLogFile1& project) {
    TTimeline line;
    line.VMax = project.VMax;
    line.TOff = project.TOff;
    int64_t longest = -1;
    for (const TPersonData& person : project.Persons)
        longest = std::max<int64_t>(longest, person.StepCount);
    line.End = static_cast<int>(std::min<int64_t>(longest + 1, INT_MAX));
    return line;
}

int TTimeline::PageSteps() const {
    return static_cast<int>(std::min<int64_t>(int64_t{10} * StepsPerSecond(), INT_MAX));
}

int TTimeline::Clamp(int64_t step) const {
    return static_cast<int>(std::clamp<int64_t>(step, 0, std::max(End, 0)));
}

int TTimeline::FirstStepAt(double seconds) const {
    if (std::isnan(seconds) || SecondsAt(0) >= seconds) return 0;
    if (SecondsAt(End) < seconds) return std::max(End, 0);
    // Shown times never fall as the counter grows: the first step at or past the
    // time is found by halving, with the very formula the playback shows.
    int64_t below = 0;  // shown time below seconds
    int64_t at = End;   // shown time at least seconds
    while (at - below > 1) {
        const int64_t middle = below + (at - below) / 2;
        (SecondsAt(middle) >= seconds ? at : below) = middle;
    }
    return static_cast<int>(at);
}

int TTimeline::StepFor(const TTimeEntry& entry) const {
    return entry.Kind == TTimeEntry::TKind::Step ? Clamp(entry.Step) : FirstStepAt(entry.Seconds);
}

int TTickPacer::StepsFor(double speed, int vmax, double elapsedSeconds) {
    if (!(speed > 0.0)) speed = 5.0;
    if (!(elapsedSeconds > 0.0)) elapsedSeconds = 0.0;
    const double rate = speed * StepsPerSecondOf(vmax);  // steps per real second
    const double owed = Carry_ + rate * elapsedSeconds;
    const double limit = std::min(static_cast<double>(kMaxStepsPerTick),
                                  std::max(1.0, std::floor(rate * kMaxCatchUpSeconds)));
    const double whole = std::floor(owed);
    // Whole steps beyond the cap are dropped; the fraction always carries.
    Carry_ = owed - whole;
    return static_cast<int>(std::min(whole, limit));
}

}  // namespace orlex
