// Playback: the animation timer and the step commands, on the core's stepper.
#include <QCoreApplication>
#include <QTimer>
#include <QToolButton>

#include "cellview3d.h"
#include "mainform.h"

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
    AnimationTimer->setInterval(Playback.TimerInterval(MaxAnimationSpeed));
    AnimationTimer->start();
    SetStatusText(3, "Animation loop is running.");
    SpeedButton_PlayLoop->setChecked(true);
}

void TMainForm::StopAnimation() {
    AnimationTimer->stop();
    if (HasProject()) {
        // Run on to the next whole simulated second. Commands handled while the
        // steps let events run may replace the project: then the loop ends.
        const unsigned generation = Session_.Generation();
        for (int left = Playback.StepsPerSecond();
             left > 0 && StillCurrent(generation) && !Playback.AtWholeSecond(); --left) {
            AnimationStep();
        }
    }
    SetStatusText(3, QString());
    SpeedButton_PlayLoop->setChecked(false);
}

void TMainForm::Run1Click() {
    if (!HasProject()) return;
    if (AnimationTimer->isActive()) {
        StopAnimation();
    } else {
        StartAnimation();
    }
}

void TMainForm::AnimationTimerTimer() {
    // A tick that arrives while a step lets events run would start a step inside
    // that step: it is skipped, the next tick comes soon enough.
    if (StepEventDepth_ > 0) return;
    // While a shot's question or error box is open, ticks are held back: they
    // would take further shots and ask again.
    if (Shots && Shots->Busy()) return;
    AnimationStep();
}

void TMainForm::AnimationStep() {
    if (!HasProject()) return;
    Playback.TimerTick();
    TDepthGuard depth(StepEventDepth_);
    QCoreApplication::processEvents();
}

void TMainForm::Forward1Click() {
    if (!HasProject() || Playback.SavedCount >= LogFile->PersonCount()) return;
    const unsigned generation = Session_.Generation();
    for (int left = Playback.StepsPerSecond(); left > 0 && StillCurrent(generation); --left) {
        Playback.StepForward();
    }
}

void TMainForm::Backward1Click() {
    if (!HasProject()) return;
    StopAnimation();
    const unsigned generation = Session_.Generation();
    if (!HasProject() || Playback.StepCounter <= 0) return;
    for (int left = Playback.StepsPerSecond();
         left > 0 && StillCurrent(generation) && Playback.StepCounter > 0; --left) {
        Playback.StepBackward();
    }
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
    if (CellView3D != nullptr) CellView3D->Paint();
}

}  // namespace orlex
