// Frame counts and the step each frame shows.
#include <gtest/gtest.h>

#include "videoplan.h"

namespace {

using orlex::TVideoTimes;

TEST(VideoPlan, FrameCountIsTheFloorOfTheVideoLength) {
    const struct {
        TVideoTimes times;
        int frames;
    } cases[] = {
        {{0, 2, 5, 25}, 10},  {{0, 2, 1, 25}, 50},        {{30, 32.5, 5, 25}, 12},
        {{0, 0.1, 1, 10}, 1}, {{0, 0.09, 1, 10}, 0},      {{5, 5, 5, 25}, 0},
        {{5, 4, 5, 25}, 0},   {{0, 3600, 20, 60}, 10800}, {{0.3, 0.9, 0.2, 10}, 30},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(orlex::VideoFrameCount(c.times), c.frames)
            << c.times.From << ".." << c.times.To << " speed " << c.times.Speed;
    }
}

TEST(VideoPlan, FrameStepCountsFromTheOffsetAndRounds) {
    // From, offset, V, speed, fps, frame -> step.
    const struct {
        double from, toff;
        int v;
        double speed;
        int fps, n, step;
    } cases[] = {
        {30, 30, 2, 5, 25, 0, 0}, {30, 30, 2, 5, 25, 1, 0}, {30, 30, 2, 5, 25, 2, 1},
        {30, 30, 2, 5, 25, 5, 2}, {0, 30, 2, 5, 25, 10, 0}, {31, 30, 4, 1, 25, 0, 4},
        {0, 0, 0, 1, 10, 25, 3},  {0, 0, -3, 1, 10, 25, 3}, {10, 0, 10, 20, 50, 3, 112},
    };
    for (const auto& c : cases) {
        const TVideoTimes t{c.from, c.from + 100, c.speed, c.fps};
        EXPECT_EQ(orlex::VideoFrameStep(t, c.toff, c.v, c.n), c.step)
            << "from " << c.from << " frame " << c.n;
    }
}

TEST(VideoPlan, RefusesUnusableTimes) {
    const struct {
        TVideoTimes times;
        const char* reason;
    } cases[] = {
        {{10, 5, 5, 25}, "after the start"}, {{0, 0.01, 5, 25}, "too short"},
        {{0, 10, 0, 25}, "speed"},           {{0, 10, -1, 25}, "speed"},
        {{0, 10, 5, 0}, "frame rate"},       {{0, 1e300, 5, 25}, "numbers"},
    };
    for (const auto& c : cases) {
        const std::string why = orlex::CheckVideoTimes(c.times);
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
    EXPECT_EQ(orlex::CheckVideoTimes({0, 60, 5, 25}), "");
}

}  // namespace
