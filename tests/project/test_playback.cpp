// Playback: texts, time, seconds, the timer rule and the state at every step
// counter however it was reached.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "projects.h"

using namespace orlex::test;

namespace orlex {
namespace {

TEST(Playback, TimeText) {
    const std::pair<int, const char*> cases[] = {{0, "Time: 0:00 min"},  {9, "Time: 0:09 min"},
                                                 {75, "Time: 1:15 min"}, {3600, "Time: 60:00 min"},
                                                 {94, "Time: 1:34 min"}, {-75, "Time: -1:15 min"}};
    for (const auto& [t, text] : cases) EXPECT_EQ(TPlayback::TimeText(t), text) << t;
}

TEST(Playback, SavedText) {
    const std::pair<int, const char*> cases[] = {
        {0, "Saved: 0"},        {999, "Saved: 999"},      {1000, "Saved: 1.000"},
        {1005, "Saved: 1.005"}, {12345, "Saved: 12.345"}, {2000000, "Saved: 2000.000"}};
    for (const auto& [n, text] : cases) EXPECT_EQ(TPlayback::SavedText(n), text) << n;
}

std::string Project(int persons, int vmax, int toff, const std::string& tracks,
                    const std::string& starts) {
    return " <header> pmax " + std::to_string(persons) + " xmax 8 ymax 8 zmax 2 vmax " +
           std::to_string(vmax) + " toff " + std::to_string(toff) +
           " </header>  <persons>  <startpositions> " + starts + " (movement) " + tracks +
           " </persons> ";
}

TEST(Playback, TimeFollowsTheCounter) {
    TLoaded l = LoadText(Project(1, 4, 30, "P300x0S", "1 1 0 1 0"));
    TPlayback pb;
    pb.SetProject(l.Project.get());
    for (int i = 0; i < 10; ++i) pb.StepForward();
    EXPECT_EQ(pb.TimeSeconds, 32);
    for (int i = 10; i < 258; ++i) pb.StepForward();
    EXPECT_EQ(pb.TimeSeconds, 94);
    pb.ResetToStart();
    EXPECT_EQ(pb.TimeSeconds, 94) << "reset leaves the last time";
    EXPECT_EQ(pb.StepCounter, 0);
}

TEST(Playback, TimerInterval) {
    struct Case {
        int vmax, speed, interval;
    } cases[] = {{4, 5, 50},  {3, 5, 66},  {300, 5, 1}, {4, 0, 50},
                 {4, -2, 50}, {0, 5, 200}, {-3, 5, 200}};
    for (const Case& c : cases) {
        TLoaded l = LoadText(Project(1, c.vmax, 0, "S", "1 1 0 1 0"));
        TPlayback pb;
        pb.SetProject(l.Project.get());
        EXPECT_EQ(pb.TimerInterval(c.speed), c.interval) << c.vmax << " " << c.speed;
    }
}

TEST(Playback, ExampleSavedCounts) {
    TLoaded l = LoadText(kExampleFile);
    TPlayback pb;
    pb.SetProject(l.Project.get());
    const int expected[] = {0, 0, 0, 1, 2};
    for (int k = 0; k < 5; ++k) {
        pb.StepForward();
        EXPECT_EQ(pb.SavedCount, expected[k]) << "counter " << k + 1;
    }
    // Everybody is saved: a step forward command does nothing, a step back works.
    pb.ForwardSecond();
    EXPECT_EQ(pb.StepCounter, 5);
    pb.BackwardSecond();
    EXPECT_EQ(pb.StepCounter, 3);
    EXPECT_EQ(pb.SavedCount, 0);
}

TEST(Playback, SecondsAndTheTimerRule) {
    TLoaded l = LoadText(kExampleFile);  // vmax 2; everybody saved at counter 5
    TPlayback pb;
    TRecorder host;
    pb.SetHost(&host);
    pb.SetProject(l.Project.get());
    pb.ForwardSecond();
    EXPECT_EQ(pb.StepCounter, 2);
    EXPECT_TRUE(pb.AtWholeSecond());
    EXPECT_FALSE(pb.TimerTick());
    EXPECT_FALSE(pb.AtWholeSecond());
    EXPECT_FALSE(pb.TimerTick());
    EXPECT_TRUE(pb.TimerTick()) << "counter 5: everybody saved, back to the start";
    EXPECT_EQ(pb.StepCounter, 0);
    EXPECT_EQ(pb.SavedCount, 0);
    EXPECT_EQ(host.Events.back(), "paint");
    EXPECT_EQ(host.Events[host.Events.size() - 3], "Time: 0:00 min");
}

TEST(Playback, HostSeesShotBeforeStepThenTextsThenPaint) {
    TLoaded l = LoadText(kExampleFile);
    TPlayback pb;
    TRecorder host;
    pb.SetHost(&host);
    pb.SetProject(l.Project.get());
    pb.StepForward();
    pb.StepBackward();
    ASSERT_EQ(host.Events.size(), 8u);
    EXPECT_EQ(host.Events[0], "shot 0");
    EXPECT_EQ(host.Events[1], "Saved: 0");
    EXPECT_EQ(host.Events[2], "Time: 0:30 min");
    EXPECT_EQ(host.Events[3], "paint");
    EXPECT_EQ(host.Events[4], "shot 1");
    EXPECT_EQ(host.Events[6], "Time: 0:30 min");
    EXPECT_EQ(host.ProcessCount, 2);
}

TEST(Playback, NoPersonsResetsAfterEveryTick) {
    TLoaded l = LoadText(" <header> pmax 0 xmax 2 ymax 2 zmax 1 vmax 2 </header> ");
    TPlayback pb;
    pb.SetProject(l.Project.get());
    pb.ForwardSecond();
    EXPECT_EQ(pb.StepCounter, 0);
    EXPECT_TRUE(pb.TimerTick());
    EXPECT_EQ(pb.StepCounter, 0);
}

TEST(Playback, ZeroVmaxPlaysOneStepPerSecond) {
    TLoaded l = LoadText(Project(1, 0, 0, "3333S", "1 1 0 1 0"));
    TPlayback pb;
    pb.SetProject(l.Project.get());
    pb.ForwardSecond();
    EXPECT_EQ(pb.StepCounter, 1);
    EXPECT_EQ(pb.TimeSeconds, 1);
    EXPECT_TRUE(pb.AtWholeSecond());
}

struct TState {
    float X, Y;
    int Level;
    bool operator==(const TState&) const = default;
};

std::vector<TState> Snapshot(const TLogFile1& p) {
    std::vector<TState> out;
    for (const TPersonData& person : p.Persons) out.push_back({person.X, person.Y, person.Level});
    return out;
}

// At every counter k the persons and the saved count are the same, whether k
// was reached forward, backward or after a reset.
TEST(Playback, StateDependsOnlyOnTheCounter) {
    std::mt19937 random(11);
    std::string tracks, starts;
    const char* items[] = {"3", "7", "1", "5", "0", "U2", "D6", "P3x0", "P2x4", "8", "2"};
    for (int i = 0; i < 12; ++i) {
        starts += "3 3 " + std::to_string(i % 2) + " 1 0 ";
        const int length = static_cast<int>(random() % 14);
        for (int k = 0; k < length; ++k) tracks += items[random() % 11];
        tracks += "S ";
    }
    const std::string text = Project(12, 3, 0, tracks, starts);

    // Reference: a fresh load stepped forward to k.
    auto reference = [&](int k) {
        TLoaded fresh = LoadText(text);
        TPlayback pb;
        pb.SetProject(fresh.Project.get());
        for (int i = 0; i < k; ++i) pb.StepForward();
        return std::make_pair(Snapshot(*fresh.Project), pb.SavedCount);
    };
    TLoaded l = LoadText(text);
    TPlayback pb;
    pb.SetProject(l.Project.get());
    for (int move = 0; move < 400; ++move) {
        const int choice = static_cast<int>(random() % 10);
        if (choice < 6)
            pb.StepForward();
        else if (choice < 9 && pb.StepCounter > 0)
            pb.StepBackward();
        else if (choice == 9 && random() % 4 == 0)
            pb.ResetToStart();
        if (pb.StepCounter == 0 && choice == 9) continue;
        const auto [state, saved] = reference(pb.StepCounter);
        ASSERT_EQ(Snapshot(*l.Project), state) << "counter " << pb.StepCounter << " move " << move;
        ASSERT_EQ(pb.SavedCount, saved) << "counter " << pb.StepCounter;
    }
}

// Persons entering late are shown from their entry step on, however the counter got
// there; a project without entry steps shows everybody from the start.
TEST(Playback, LateEntriesAreShownFromTheirEntryStep) {
    const std::string text =
        " <header> pmax 3 xmax 8 ymax 8 zmax 1 vmax 1 toff 0 </header>"
        " <import> origin 0 0 cellsize 0.4 entry 1 3 entry 2 9 </import>"
        " <persons> <startpositions> 1 1 0 3 0 2 2 0 3 0 4 4 0 3 0"
        " (movement) 33333S 0003S 00S </persons> ";
    TLoaded l = LoadText(text);
    ASSERT_EQ(l.Project->EntrySteps, (std::vector<int>{0, 3, 9}));
    const auto shown = [&] {
        std::vector<int> levels;
        for (const TPersonData& p : l.Project->Persons) {
            float x = 0, y = 0;
            int tag = 0, heading = 0, level = 0;
            p.GetPosition(x, y, tag, heading, level);
            EXPECT_EQ(level, p.ShownLevel());
            levels.push_back(level);
        }
        return levels;
    };
    // Person 2's track ends (saved) before its entry: it is never shown.
    const std::vector<std::vector<int>> expected = {{0, -1, -1}, {0, -1, -1}, {0, -1, -1},
                                                    {0, 0, -1},  {0, 0, -1},  {0, -1, -1}};
    TPlayback pb;
    pb.SetProject(l.Project.get());
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(shown(), expected[k]) << "forward to " << k;
        pb.StepForward();
    }
    for (int k = 5; k >= 0; --k) {
        pb.StepBackward();
        EXPECT_EQ(shown(), expected[k]) << "back to " << k;
    }
    for (const int k : {4, 1, 3, 0}) {
        pb.SeekTo(k);
        EXPECT_EQ(shown(), expected[k]) << "seek to " << k;
    }
    pb.SeekTo(4);
    pb.ResetToStart();
    EXPECT_EQ(shown(), expected[0]);
}

// The host of the animation commands: the timer calls are recorded with the rest.
class TTimerHost : public TRecorder {
public:
    std::function<void()> WhileEventsRun;
    void StartTimer(int interval) override {
        Events.push_back("timer " + std::to_string(interval));
    }
    void StopTimer() override { Events.push_back("stop timer"); }
    void AnimationChanged(bool running) override {
        Events.push_back(running ? "running" : "stopped");
    }
    void ProcessEvents() override {
        TRecorder::ProcessEvents();
        if (WhileEventsRun) WhileEventsRun();
    }
};

// The viewer's commands on the example (2 steps a second, everybody saved at 5).
TEST(Playback, AnimationCommands) {
    using TCommands = std::function<void(TPlayback&)>;
    const auto steps = [](int n) {
        return [n](TPlayback& pb) {
            for (int i = 0; i < n; ++i) pb.StepForward();
        };
    };
    const TCommands back = [](TPlayback& pb) { pb.BackwardCommand(); };
    const TCommands run = [](TPlayback& pb) { pb.RunCommand(5); };
    struct Case {
        const char* Name;
        std::vector<TCommands> Commands;
        int Counter;
        bool Animating;
    } cases[] = {
        {"back at the start", {back}, 0, false},
        {"back completes the second first", {steps(1), back}, 0, false},
        {"back from 3 completes to 4", {steps(3), back}, 2, false},
        {"back from a whole second", {steps(4), back}, 2, false},
        {"back when everybody is saved: the completion goes to the start",
         {steps(5), back},
         0,
         false},
        {"run takes no step", {steps(1), run}, 1, true},
        {"run twice completes the second", {steps(1), run, run}, 2, false},
        {"back stops the animation", {run, steps(3), back}, 2, false},
        {"steps leave it running", {run, steps(3)}, 3, true},
        {"after a seek", {[](TPlayback& pb) { pb.SeekTo(3); }, back}, 2, false},
        {"a stop on the last step", {steps(5), run, run}, 0, false},
    };
    for (const Case& c : cases) {
        TLoaded l = LoadText(kExampleFile);
        TPlayback pb;
        pb.SetProject(l.Project.get());
        for (const TCommands& command : c.Commands) command(pb);
        EXPECT_EQ(pb.StepCounter, c.Counter) << c.Name;
        EXPECT_EQ(pb.Animating(), c.Animating) << c.Name;
    }
}

TEST(Playback, AnimationHostCalls) {
    TLoaded l = LoadText(kExampleFile);
    TPlayback pb;
    TTimerHost host;
    pb.SetHost(&host);
    pb.SetProject(l.Project.get());
    pb.StepForward();
    host.Events.clear();
    host.ProcessCount = 0;
    pb.RunCommand(5);
    EXPECT_EQ(host.Events, (std::vector<std::string>{"timer 100", "running"}));
    host.Events.clear();
    pb.RunCommand(5);
    EXPECT_EQ(host.Events, (std::vector<std::string>{"stop timer", "shot 1", "Saved: 0",
                                                     "Time: 0:31 min", "paint", "stopped"}));
    EXPECT_EQ(host.ProcessCount, 2) << "the step's own and the timer step's";
    // Without a project, run does nothing; stop still stops.
    pb.SetProject(nullptr);
    host.Events.clear();
    pb.RunCommand(5);
    EXPECT_TRUE(host.Events.empty());
    pb.StopAnimation();
    EXPECT_EQ(host.Events, (std::vector<std::string>{"stop timer", "stopped"}));
}

// A project handed over while a step lets events run ends the command's loop.
TEST(Playback, ANewProjectEndsTheCommand) {
    TLoaded first = LoadText(Project(1, 4, 0, "P300x3S", "1 1 0 1 0"));
    TLoaded second = LoadText(Project(1, 4, 0, "P300x3S", "1 1 0 1 0"));
    TPlayback pb;
    TTimerHost host;
    pb.SetHost(&host);
    pb.SetProject(first.Project.get());
    pb.StepForward();
    host.WhileEventsRun = [&] { pb.SetProject(second.Project.get()); };
    host.ProcessCount = 0;
    pb.BackwardCommand();
    EXPECT_EQ(pb.StepCounter, 0) << "the new project's counter, untouched after the hand-over";
    EXPECT_EQ(host.ProcessCount, 2) << "one timer step, then no more";
    host.WhileEventsRun = nullptr;
    for (int i = 0; i < 5; ++i) pb.StepForward();
    host.WhileEventsRun = [&] { pb.SetProject(first.Project.get()); };
    pb.ForwardSecond();
    EXPECT_EQ(pb.StepCounter, 0);
}

}  // namespace
}  // namespace orlex
