// Playback: the animation timer and the step commands, on the core's stepper.
#include <QCoreApplication>
#include <QTimer>
#include <QToolButton>

#include "cellview3d.h"
#include "mainform.h"
#include "speedbox.h"
#include "timelinebar.h"

namespace orlex {

namespace {

// Counts the steps that are letting events run, also when an error leaves early.
class TDepthGuard {
public:
    explicit TDepthGuard(int& depth) : Depth_(depth) { ++Depth_; }
    ~TDepthGuard() { --Depth_; }
    TDepthGuard(const TDepthGuard&) = delete;
    TDepthGuard& operator=(const TDepthGuard&) = delete;

private:
    int& Depth_;
};

}  // namespace

void TMainForm::StartAnimation() {
    SpeedBox->RestartPacing();
    Playback.StartAnimation(MaxAnimationSpeed);
}

void TMainForm::StopAnimation() {
    ResumeAfterDrag_ = false;
    Playback.StopAnimation();
}

void TMainForm::Run1Click() {
    if (!HasProject()) return;
    SpeedBox->RestartPacing();
    Playback.RunCommand(MaxAnimationSpeed);
}

void TMainForm::AnimationTimerTimer() {
    // A tick that arrives while a step lets events run would start a step inside
    // that step: it is skipped, the next tick comes soon enough.
    if (StepEventDepth_ > 0) return;
    // While a shot's question or error box is open, ticks are held back: they
    // would take further shots and ask again.
    if (Shots && Shots->Busy()) return;
    if (!HasProject()) return;
    // "Keep speed" may ask for several steps (or none) in one tick: all are
    // applied in order, and only the last one is drawn.
    const int steps = SpeedBox->StepsForTick(LogFile->VMax, ScreenShotSeries);
    const unsigned generation = Session_.Generation();
    for (int left = steps; left > 1 && StillCurrent(generation); --left) {
        PaintHeld_ = true;
        Playback.TimerTick();
        PaintHeld_ = false;
    }
    if (steps > 0 && StillCurrent(generation)) AnimationStep();
}

void TMainForm::AnimationStep() {
    if (!HasProject()) return;
    Playback.AnimationStep();
}

void TMainForm::Forward1Click() {
    if (!HasProject()) return;
    Playback.ForwardSecond();
}

void TMainForm::Backward1Click() {
    if (!HasProject()) return;
    Playback.BackwardCommand();
}

void TMainForm::ResettoStart1Click() {
    if (!HasProject()) return;
    Playback.ResetToStart();
}

void TMainForm::StepForward() {
    if (HasProject()) Playback.StepForward();
}

void TMainForm::StepBackward() {
    if (HasProject() && Playback.StepCounter > 0) Playback.StepBackward();
}

void TMainForm::BeforeStep(int stepCounter) {
    (void)stepCounter;  // the series names its shots after the counter itself
    if (ScreenShotSeries) TakeScreenShot();
}

void TMainForm::ShowSaved(const std::string& text) {
    SetStatusText(2, QString::fromStdString(text));
}

void TMainForm::ShowTime(const std::string& text) {
    SetStatusText(1, QString::fromStdString(text));
}

void TMainForm::ProcessEvents() {
    TDepthGuard depth(StepEventDepth_);
    QCoreApplication::processEvents();
}

void TMainForm::Paint() {
    if (PaintHeld_) return;
    FollowPlayback();
    ShowAnalysisTime();
    UpdateDeckList();
    if (CellView3D != nullptr) CellView3D->Paint();
    if (TimelineBar != nullptr) TimelineBar->FrameDrawn();
}

void TMainForm::StartTimer(int intervalMs) {
    (void)intervalMs;  // the speed box's choice sets the pace
    AnimationTimer->setInterval(SpeedBox->Interval(HasProject() ? LogFile->VMax : 1));
    AnimationTimer->start();
}

void TMainForm::StopTimer() {
    AnimationTimer->stop();
}

void TMainForm::AnimationChanged(bool running) {
    SetStatusText(3, running ? QString("Animation loop is running.") : QString());
    SpeedButton_PlayLoop->setChecked(running);
}

}  // namespace orlex
