// Playback stepping: the step counter, forward and backward steps over all
// persons, reset, and the time and saved texts. Toolkit-free; the main window
// drives it from its timer and commands.
#pragma once

#include <string>

#include "interfaces.h"
#include "logfile.h"

namespace orlex {

// What a step asks of its host, in the order of a step.
class IPlaybackHost {
public:
    virtual ~IPlaybackHost() = default;
    // Before the counter changes (screen-shot series); stepCounter is the old value.
    virtual void BeforeStep(int stepCounter) { (void)stepCounter; }
    virtual void ShowSaved(const std::string& text) { (void)text; }
    virtual void ShowTime(const std::string& text) { (void)text; }
    virtual void ProcessEvents() {}
    // Synchronous repaint of the view.
    virtual void Paint() {}
    // The animation timer: started with its interval in ms, or stopped.
    virtual void StartTimer(int intervalMs) { (void)intervalMs; }
    virtual void StopTimer() {}
    // After the animation was started or stopped (status text, tool button).
    virtual void AnimationChanged(bool running) { (void)running; }
};

class TPlayback {
public:
    TPlayback() = default;

    int StepCounter = 0;
    int TimeSeconds = 0;
    int SavedCount = 0;

    // The project to play (borrowed; null for none). Resets the counters. The tracks'
    // checkpoints are made now, unless indexNow is false (for callers that never seek;
    // a seek then makes those it needs).
    void SetProject(TLogFile1* project, bool indexNow = true);
    TLogFile1* Project() const { return Project_; }
    void SetHost(IPlaybackHost* host) { Host_ = host; }
    IPlaybackHost* Host() const { return Host_; }
    void SetMessages(IMessages* messages) { Messages_ = messages; }

    // Steps of one simulated second; VMax taken as 1 when it is 0 or below.
    int StepsPerSecond() const;

    void StepForward();
    void StepBackward();
    // Every person back to the start; counters 0; status texts reset; repaint.
    void ResetToStart();
    // Puts every person where k steps from the start take it (k < 0 counts as 0),
    // without playing the steps: no series shot, no direction message, one repaint.
    void SeekTo(int k);
    // The first step counter at which everybody is saved (largest StepCount + 1;
    // 0 without a project or persons).
    int LastStep() const;
    // One simulated second forward, unless everybody is saved.
    void ForwardSecond();
    // One simulated second back, while the counter is above 0.
    void BackwardSecond();

    // The animation commands of the viewer, shared by every front end. The host
    // runs a timer that calls AnimationStep while Animating().
    bool Animating() const { return Animating_; }
    // Starts the timer for maxSpeed simulated seconds per real second; no step.
    void StartAnimation(int maxSpeed);
    // Stops the timer, then completes the current simulated second with timer
    // steps (which go back to the start once everybody is saved).
    void StopAnimation();
    // Run/pause: starts the animation when stopped, stops it when running.
    void RunCommand(int maxSpeed);
    // One second back: StopAnimation, then a simulated second back.
    void BackwardCommand();
    // One timer tick: TimerTick, then the host lets events run.
    void AnimationStep();
    // One animation tick: a step forward, and back to the start once everybody is
    // saved. Returns true when it went back to the start.
    bool TimerTick();
    // True when the counter stands on a whole simulated second.
    bool AtWholeSecond() const;
    // Timer interval in ms for maxSpeed simulated seconds per real second (>= 1).
    int TimerInterval(int maxSpeed) const;

    static std::string TimeText(int seconds);
    static std::string SavedText(int saved);

    // Marks the persons whose entry step lies after the step counter as waiting
    // (not shown); nothing to do for projects without entry steps.
    void MarkEntries();

private:
    void AfterStep();
    void UpdateTime();

    // A step lets the host's events run, which may hand over another project:
    // loops over steps end when the generation changes.
    bool Current(unsigned generation) const { return Project_ && generation == Generation_; }

    TLogFile1* Project_ = nullptr;
    unsigned Generation_ = 0;
    bool Animating_ = false;
    IPlaybackHost* Host_ = nullptr;
    IMessages* Messages_ = nullptr;
};

}  // namespace orlex
