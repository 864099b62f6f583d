// Which step of the evacuation each frame of a video shows.
#pragma once

#include <string>

namespace orlex {

// Times are the times the viewer shows (the time offset included), in seconds.
struct TVideoTimes {
    double From = 0;
    double To = 0;
    double Speed = 5;  // simulated seconds per video second
    int Fps = 25;
};

// Checks times, speed and frame rate; returns an empty text when they are usable.
std::string CheckVideoTimes(const TVideoTimes& times);

// The number of frames: floor((To - From) / Speed * Fps), 0 for an empty range.
int VideoFrameCount(const TVideoTimes& times);

// The step counter frame n shows: max(0, round((From - timeOffset + n * Speed / Fps) * V)),
// V being the steps per simulated second.
int VideoFrameStep(const TVideoTimes& times, double timeOffset, int stepsPerSecond, int n);

}  // namespace orlex
