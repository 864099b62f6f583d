// Moving through simulated time: the shown time of a step counter, the typed
// "Go to time" entry, the range and page size of the time slider, the timer
// interval of a playback speed and the pacing of "Keep speed". Toolkit-free;
// the time slider, the speed box and the main window all use these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "logfile.h"

namespace orlex {

// Steps of one simulated second: vmax, taken as 1 when it is 0 or below.
int StepsPerSecondOf(int vmax);

// Simulated time shown after stepCounter steps: trunc(stepCounter / steps per
// second + toff), the division in floating point, kept inside the int range.
int ShownSecondsAt(int64_t stepCounter, int vmax, int toff);

// "m:ss" of a time in whole seconds; minutes are not wrapped into hours and a
// negative time is written with a leading "-" ("-0:05").
std::string ClockText(int seconds);

// Timer interval in ms of the running animation at speed simulated seconds per
// real second: trunc(1000 / speed / steps per second), at least 1 ms. A speed of 0
// or below (or not a number) is taken as 5.
int AnimationInterval(double speed, int vmax);

// A parsed "Go to time" entry: a time in seconds, or a step counter.
struct TTimeEntry {
    enum class TKind { Seconds, Step };
    TKind Kind = TKind::Seconds;
    double Seconds = 0.0;  // Kind Seconds: may be negative or have decimals
    int64_t Step = 0;      // Kind Step: >= 0, saturated at kMaxEntryStep
    bool operator==(const TTimeEntry&) const = default;
};

inline constexpr int64_t kMaxEntryStep = int64_t{1} << 40;

// Reads a "Go to time" entry. Accepted, with blanks around the parts and letters
// in any case:
//   "m:ss"    minutes and seconds, seconds 0 to 59 with one or two digits and
//             optional decimals ("7:30", "7:05.5", "120:00"), optionally
//             written as the status bar does ("Time: 7:30 min");
//   "s"       plain seconds with optional decimals and an optional "s" ("450",
//             "450.5 s");
//   "step N"  a step counter, a whole number ("step 900", "STEP900").
// Times may carry a leading "-" (a negative time offset makes such times exist);
// a step counter may not. Anything else gives no value.
std::optional<TTimeEntry> ParseTimeEntry(std::string_view text);

// The message shown for an entry that ParseTimeEntry refuses.
std::string BadTimeEntryText(std::string_view text);

// The time axis of one project: step counters 0 to End, with their shown times.
struct TTimeline {
    int VMax = 1;
    int TOff = 0;
    // The first step counter at which everybody is saved: the largest StepCount
    // + 1, 0 for a project without persons, at most the int range.
    int End = 0;

    static TTimeline Of(const TLogFile1& project);

    int StepsPerSecond() const { return StepsPerSecondOf(VMax); }
    int SecondsAt(int64_t stepCounter) const { return ShownSecondsAt(stepCounter, VMax, TOff); }
    // Ten simulated seconds in step counters (Page Up / Page Down).
    int PageSteps() const;
    // step clamped to 0 .. End.
    int Clamp(int64_t step) const;
    // The first step counter in 0 .. End whose shown time is at least seconds;
    // End when no step reaches it, 0 when step 0 already does.
    int FirstStepAt(double seconds) const;
    // The step counter an entry asks for: a time by FirstStepAt, a step counter
    // clamped to 0 .. End.
    int StepFor(const TTimeEntry& entry) const;
};

// Paces the animation when "Keep speed" is on: each timer tick asks how many
// steps the real time elapsed since the last tick is worth at the wanted speed.
// The fraction of a step left over is carried to the next tick, so over many
// ticks the speed is exact however the ticks are spaced. A stall (a modal box,
// a very slow frame, the window being moved) is not caught up: one tick applies
// at most the steps of kMaxCatchUpSeconds of real time (but at least one step,
// so the slowest speeds still move) and never more than kMaxStepsPerTick, so
// the window answers again soon; whole steps beyond the cap are dropped.
class TTickPacer {
public:
    static constexpr double kMaxCatchUpSeconds = 1.0;
    static constexpr int kMaxStepsPerTick = 250;

    // Forgets the carried fraction (start of the animation, a seek, a new project).
    void Reset() { Carry_ = 0.0; }
    // Steps to apply now for elapsedSeconds of real time at speed simulated
    // seconds per real second (0 or below, or not a number: 5), with vmax steps
    // per simulated second (0 or below: 1). Negative elapsed time counts as 0.
    int StepsFor(double speed, int vmax, double elapsedSeconds);
    double Carry() const { return Carry_; }

private:
    double Carry_ = 0.0;
};

}  // namespace orlex
