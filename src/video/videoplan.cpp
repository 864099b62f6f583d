#include "videoplan.h"

#include <cmath>
#include <limits>

namespace orlex {

namespace {

// Keeps results of exact decimal inputs (2 s at 25 fps and speed 5 is 10 frames)
// from falling just below a whole number.
constexpr double kSlack = 1e-9;
constexpr double kLongest = 1e7;  // seconds; longer ranges are refused

}  // namespace

std::string CheckVideoTimes(const TVideoTimes& t) {
    if (!std::isfinite(t.From) || !std::isfinite(t.To) || std::fabs(t.From) > kLongest ||
        std::fabs(t.To) > kLongest)
        return "The times must be numbers of seconds.";
    if (t.To <= t.From) return "The end time must be after the start time.";
    if (!std::isfinite(t.Speed) || t.Speed <= 0 || t.Speed > 1000)
        return "The speed must be above 0 and at most 1000 simulated seconds per second.";
    if (t.Fps < 1 || t.Fps > 240) return "The frame rate must be between 1 and 240.";
    if (VideoFrameCount(t) < 1) return "The time range is too short for one frame.";
    if (static_cast<double>(t.To - t.From) / t.Speed * t.Fps > 1e7)
        return "The video would have more than 10,000,000 frames.";
    return {};
}

int VideoFrameCount(const TVideoTimes& t) {
    if (!(t.To > t.From) || !(t.Speed > 0) || t.Fps < 1) return 0;
    const double frames = std::floor((t.To - t.From) * t.Fps / t.Speed + kSlack);
    if (!(frames < static_cast<double>(std::numeric_limits<int>::max()))) return 0;
    return static_cast<int>(frames);
}

int VideoFrameStep(const TVideoTimes& t, double timeOffset, int stepsPerSecond, int n) {
    const double v = stepsPerSecond > 0 ? stepsPerSecond : 1;
    const double seconds = t.From - timeOffset + static_cast<double>(n) * t.Speed / t.Fps;
    const double step = std::round(seconds * v);
    if (!(step > 0)) return 0;
    if (step >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(step);
}

}  // namespace orlex
