// The timeline bar above the tool bar: a slider over the step counters 0 to the
// first step at which everybody is saved, the current time ("m:ss") at its left
// and the total at its right.
//
// The window calls SetTimeline after a load (it enables the bar; Clear with no
// project disables it), SetStep after every step, reset and seek, and
// setEnabled(false) during a load. The
// user's moves come back as SeekRequested(step): dragging, a click on the groove
// (the handle jumps there), the arrow keys (one step), Page Up / Page Down (ten
// simulated seconds), Home and End. Requests are coalesced: the latest position
// waits for the next pass of the event loop (a 0 ms timer) and is sent then, so
// a seek, which repaints once, runs at most once per frame drawn however fast
// the mouse moves; FrameDrawn() sends a waiting request at once. A position the
// window already stands on is not sent. A press on the handle or the groove
// sends DragStarted; the release sends the final position first, then
// DragFinished, so the window seeks there before it resumes the animation.
#pragma once

#include <QWidget>

#include "timenavigation.h"

class QLabel;
class QSlider;
class QTimer;

namespace orlex {

class TTimelineBar : public QWidget {
    Q_OBJECT

public:
    explicit TTimelineBar(QWidget* parent = nullptr);

    QLabel* Label_TimeNow = nullptr;    // "m:ss" of the slider's position
    QSlider* Slider_Time = nullptr;     // step counters 0 .. End
    QLabel* Label_TimeTotal = nullptr;  // "m:ss" of End

    // A new time axis; the slider goes to step (clamped), nothing is sent; enabled.
    void SetTimeline(const TTimeline& timeline, int step = 0);
    // No project: range 0 .. 0, times "0:00", disabled.
    void Clear();
    const TTimeline& Timeline() const { return Timeline_; }

    // Follows the playback without sending a request. Ignored while the user
    // holds the handle, so the handle stays under the mouse.
    void SetStep(int step);
    int Step() const;
    bool Dragging() const;

public slots:
    // The view has drawn a frame: a waiting request is sent now.
    void FrameDrawn();
    // Keyboard commands, for window shortcuts: as the slider's own keys.
    void PageForward();
    void PageBack();
    void GoToStart();
    void GoToEnd();

signals:
    void SeekRequested(int step);
    void DragStarted();
    void DragFinished();

private:
    void UserMoved(int step);
    void SendPending();
    void ShowTimes();

    TTimeline Timeline_;
    QTimer* SendTimer_ = nullptr;
    int Pending_ = -1;  // the request waiting to be sent, -1 for none
    int Known_ = 0;     // where the window stands: the last step set or sent
};

}  // namespace orlex
