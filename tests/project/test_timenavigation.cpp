// Time navigation: the typed entry, the shown time against the playback's own,
// the first step at a time, the slider range and page, the timer interval and
// the pacing of "Keep speed".
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "projects.h"
#include "timenavigation.h"

using namespace orlex::test;

namespace orlex {
namespace {

TTimeEntry Seconds(double s) {
    return {TTimeEntry::TKind::Seconds, s, 0};
}
TTimeEntry Step(int64_t k) {
    return {TTimeEntry::TKind::Step, 0.0, k};
}

TEST(TimeEntry, Accepted) {
    const std::pair<const char*, TTimeEntry> cases[] = {
        {"7:30", Seconds(450)},        {"0:00", Seconds(0)},
        {"  7 : 05 ", Seconds(425)},   {"7:5", Seconds(425)},
        {"120:00", Seconds(7200)},     {"7:05.5", Seconds(425.5)},
        {"-0:05", Seconds(-5)},        {"Time: 1:34 min", Seconds(94)},
        {"time:1:34MIN", Seconds(94)}, {"1:34 min", Seconds(94)},
        {"450", Seconds(450)},         {"450.25", Seconds(450.25)},
        {"450 s", Seconds(450)},       {"450S", Seconds(450)},
        {"-12", Seconds(-12)},         {"\t90\t", Seconds(90)},
        {"step 900", Step(900)},       {"STEP900", Step(900)},
        {" Step  0 ", Step(0)},        {"step 99999999999999999999", Step(kMaxEntryStep)},
    };
    for (const auto& [text, want] : cases) {
        const std::optional<TTimeEntry> got = ParseTimeEntry(text);
        ASSERT_TRUE(got.has_value()) << text;
        EXPECT_EQ(got->Kind, want.Kind) << text;
        EXPECT_DOUBLE_EQ(got->Seconds, want.Seconds) << text;
        EXPECT_EQ(got->Step, want.Step) << text;
    }
}

TEST(TimeEntry, Refused) {
    const char* cases[] = {"",        "   ",       "abc",     "7:60",   "7:123",   "7.5:00",
                           "7:",      ":30",       "5.",      ".5",     "1,5",     "step",
                           "step -3", "step 1.5",  "step 3x", "7:30 s", "450 min", "--5",
                           "1:2:3",   "Time 1:00", "Time:",   "0x10",   "5 5",     "1e3"};
    for (const char* text : cases) EXPECT_FALSE(ParseTimeEntry(text).has_value()) << text;
}

TEST(TimeEntry, MessageNamesTheEntry) {
    EXPECT_EQ(BadTimeEntryText("  abc "),
              "\"abc\" is not a time.\nEnter minutes and seconds (7:30), seconds (450) or a step "
              "counter (step 900).");
    EXPECT_EQ(BadTimeEntryText(" "),
              "Enter a time: minutes and seconds (7:30), seconds (450) or a "
              "step counter (step 900).");
    // A long entry is cut, never inside a UTF-8 sequence.
    const std::string longEntry = std::string(39, 'x') + "\xC3\xA4" + std::string(20, 'y');
    const std::string text = BadTimeEntryText(longEntry);
    EXPECT_EQ(text.substr(0, 44), "\"" + std::string(39, 'x') + "...\"");
}

TEST(TimeNavigation, ClockText) {
    const std::pair<int, const char*> cases[] = {{0, "0:00"},
                                                 {9, "0:09"},
                                                 {75, "1:15"},
                                                 {3600, "60:00"},
                                                 {-5, "-0:05"},
                                                 {-75, "-1:15"},
                                                 {INT_MAX, "35791394:07"},
                                                 {INT_MIN, "-35791394:08"}};
    for (const auto& [t, text] : cases) EXPECT_EQ(ClockText(t), text) << t;
}

// The shown time of every step counter is the one that stepping shows.
TEST(TimeNavigation, ShownTimeIsThePlaybacksTime) {
    const struct {
        int vmax, toff;
    } cases[] = {{2, 30}, {4, 30}, {3, 0}, {1, -7}, {4, -3}, {0, 5}, {-2, 0}};
    for (const auto& c : cases) {
        TLoaded l = LoadText(ProjectText({"Main deck"}, c.vmax, {"P13x0S", "3S"}, c.toff));
        TPlayback pb;
        pb.SetProject(l.Project.get());
        const TTimeline line = TTimeline::Of(*l.Project);
        ASSERT_EQ(line.End, 14) << c.vmax;
        for (int k = 1; k <= line.End + 3; ++k) {
            pb.StepForward();
            EXPECT_EQ(line.SecondsAt(k), pb.TimeSeconds) << c.vmax << " " << c.toff << " " << k;
        }
    }
}

TEST(TimeNavigation, FirstStepAtMatchesAScan) {
    const struct {
        int vmax, toff, end;
    } cases[] = {{2, 30, 14}, {4, 0, 57}, {3, -5, 40}, {1, 0, 9}, {7, -100, 3}, {0, 2, 5}};
    for (const auto& c : cases) {
        const TTimeline line{c.vmax, c.toff, c.end};
        for (double t = line.SecondsAt(0) - 3.0; t <= line.SecondsAt(c.end) + 3.0; t += 0.25) {
            int want = c.end;
            for (int k = 0; k <= c.end; ++k) {
                if (line.SecondsAt(k) >= t) {
                    want = k;
                    break;
                }
            }
            EXPECT_EQ(line.FirstStepAt(t), want) << c.vmax << " " << c.toff << " t=" << t;
        }
    }
}

TEST(TimeNavigation, StepForEntries) {
    const TTimeline line{4, 30, 258};  // 4 steps a second from 0:30 to 1:34
    const struct {
        const char* text;
        int step;
    } cases[] = {{"0:32", 8},
                 {"32.1", 12},
                 {"1:34", 256},
                 {"1:35", 258},
                 {"0:00", 0},
                 {"-1:00", 0},
                 {"step 10", 10},
                 {"step 0", 0},
                 {"step 9999", 258},
                 {"0:30", 0},
                 {"0:31", 4},
                 {"10:00", 258},
                 {"step 99999999999999999999", 258}};
    for (const auto& c : cases) {
        const std::optional<TTimeEntry> entry = ParseTimeEntry(c.text);
        ASSERT_TRUE(entry.has_value()) << c.text;
        EXPECT_EQ(line.StepFor(*entry), c.step) << c.text;
    }
}

TEST(TimeNavigation, RangeOfTheProject) {
    const struct {
        std::vector<std::string> tracks;
        int end;
    } cases[] = {{{"P3x3S", "33P2x0S"}, 5}, {{"S"}, 1}, {{}, 0}, {{"S", "P9x3S", "3S"}, 10}};
    for (const auto& c : cases) {
        TLoaded l = LoadText(ProjectText({"Main deck"}, 2, c.tracks));
        EXPECT_EQ(TTimeline::Of(*l.Project).End, c.end) << c.tracks.size();
    }
    // A track of the largest length still ends inside the int range.
    TLogFile1 project("Deck");
    project.Persons.resize(1);
    project.Persons[0].StepCount = INT_MAX;
    EXPECT_EQ(TTimeline::Of(project).End, INT_MAX);
}

TEST(TimeNavigation, PageAndClamp) {
    const struct {
        int vmax, page;
    } cases[] = {{4, 40}, {1, 10}, {0, 10}, {-5, 10}, {300, 3000}, {INT_MAX, INT_MAX}};
    for (const auto& c : cases) EXPECT_EQ((TTimeline{c.vmax, 0, 100}.PageSteps()), c.page);
    const TTimeline line{2, 0, 100};
    EXPECT_EQ(line.Clamp(-1), 0);
    EXPECT_EQ(line.Clamp(50), 50);
    EXPECT_EQ(line.Clamp(int64_t{1} << 40), 100);
    EXPECT_EQ((TTimeline{2, 0, 0}.Clamp(5)), 0);
}

TEST(TimeNavigation, IntervalAsThePlaybackComputesIt) {
    const struct {
        double speed;
        int vmax, interval;
    } cases[] = {{5, 4, 50},   {5, 3, 66},  {5, 300, 1},     {0, 4, 50},
                 {-1, 4, 50},  {5, 0, 200}, {0.25, 1, 4000}, {0.5, 4, 500},
                 {100, 10, 1}, {20, 2, 25}, {NAN, 4, 50},    {1e-300, 1, INT_MAX}};
    for (const auto& c : cases)
        EXPECT_EQ(AnimationInterval(c.speed, c.vmax), c.interval) << c.speed << " " << c.vmax;
    // Whole speeds give exactly the playback's own interval.
    for (int vmax : {1, 2, 3, 4, 7, 10, 300}) {
        TLoaded l = LoadText(ProjectText({"Main deck"}, vmax, {"S"}));
        TPlayback pb;
        pb.SetProject(l.Project.get());
        for (int speed : {-1, 0, 1, 2, 5, 10, 20, 50, 100})
            EXPECT_EQ(AnimationInterval(speed, vmax), pb.TimerInterval(speed)) << vmax;
    }
}

// Steps per tick for a sequence of elapsed times.
TEST(TickPacer, StepsPerTick) {
    const struct {
        double speed;
        int vmax;
        std::vector<double> elapsed;
        std::vector<int> steps;
    } cases[] = {
        // 5 s/s at 4 steps a second: 20 steps a real second.
        {5, 4, {0.05, 0.05, 0.1, 0.025, 0.025}, {1, 1, 2, 0, 1}},
        // Slow frames: several steps at once.
        {5, 4, {0.2, 0.2}, {4, 4}},
        // A quarter of a simulated second per real second, one step a second.
        {0.25, 1, {1, 1, 1, 1, 1}, {0, 0, 0, 1, 0}},
        // A stall counts as one second only.
        {5, 4, {10.0, 0.05}, {20, 1}},
        // The slowest speed still gets its one step after a long tick.
        {0.25, 1, {4.001, 4.0}, {1, 1}},
        // The step cap.
        {100, 100, {0.2, 0.01}, {TTickPacer::kMaxStepsPerTick, 100}},
        // No time, negative time, bad speed (taken as 5).
        {5, 4, {0, -1, NAN}, {0, 0, 0}},
        {0, 4, {0.1}, {2}},
        {5, -1, {0.2}, {1}},
    };
    for (const auto& c : cases) {
        TTickPacer pacer;
        std::vector<int> got;
        for (double e : c.elapsed) got.push_back(pacer.StepsFor(c.speed, c.vmax, e));
        EXPECT_EQ(got, c.steps) << c.speed << " " << c.vmax;
    }
}

TEST(TickPacer, LongRunSpeedIsExact) {
    // Uneven ticks of 7 to 43 ms over 60 real seconds at speeds of the box.
    for (double speed : {0.25, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
        for (int vmax : {1, 3, 4, 10}) {
            TTickPacer pacer;
            int64_t steps = 0;
            double real = 0.0;
            for (int i = 0; real < 60.0; ++i) {
                const double e = 0.007 + 0.036 * ((i * 7919) % 101) / 100.0;
                real += e;
                steps += pacer.StepsFor(speed, vmax, e);
            }
            const double want = speed * vmax * real;
            EXPECT_LE(std::fabs(static_cast<double>(steps) + pacer.Carry() - want), 1e-6 * want)
                << speed << " " << vmax;
        }
    }
    TTickPacer pacer;
    pacer.StepsFor(1, 1, 0.2);
    EXPECT_GT(pacer.Carry(), 0.0);
    pacer.Reset();
    EXPECT_EQ(pacer.Carry(), 0.0);
}

}  // namespace
}  // namespace orlex
