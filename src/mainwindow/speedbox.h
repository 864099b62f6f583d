// The tool bar's playback speed: a drop-down list of simulated seconds per real
// second, and the checkable "Keep speed" item next to it.
//
// The window sets the start value from "MaxAnimationSpeed" (SetSpeed; the box's
// choice then lasts the session and never goes back into the setting). On
// SpeedChanged it sets AnimationTimer's interval to Interval(VMax), also while
// the animation runs. KeepSpeed1 is the action behind the button, for a menu as
// well. Each timer tick asks StepsForTick how many steps to apply (and then
// draws once): 1 as specified, or, while "Keep speed" is on and no screen-shot
// series runs, as many as the real time since the last tick asks for (0 is
// possible: that tick does nothing). RestartPacing at the start of the animation
// and after a seek; a change of speed or of "Keep speed" restarts it by itself.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <vector>

#include "timenavigation.h"

class QAction;
class QComboBox;
class QToolButton;

namespace orlex {

class TSpeedBox : public QWidget {
    Q_OBJECT

public:
    explicit TSpeedBox(QWidget* parent = nullptr);

    QComboBox* ComboBox_Speed = nullptr;
    QToolButton* ToolButton_KeepSpeed = nullptr;
    QAction* KeepSpeed1 = nullptr;  // "Keep speed", checkable, off at first

    // The speeds offered, slowest first.
    static const std::vector<double>& Speeds();
    // The text of a speed in the list ("0.25×", "5×").
    static QString SpeedText(double speed);

    // Selects speed without sending SpeedChanged. A speed of 0 or below (or not
    // a number) is taken as 5; a speed that is not offered is added to the list
    // in its place by size, so a setting such as 3 keeps its value.
    void SetSpeed(double speed);
    double Speed() const;
    bool KeepSpeed() const;
    // Timer interval in ms of the running animation at the chosen speed.
    int Interval(int vmax) const;

    // Steps for this timer tick; elapsedSeconds: the real time since the last
    // tick, read from the box's own clock when left out.
    int StepsForTick(int vmax, bool seriesRunning);
    int StepsForTick(int vmax, bool seriesRunning, double elapsedSeconds);
    void RestartPacing();

signals:
    void SpeedChanged(double speed);
    void KeepSpeedToggled(bool on);

private:
    TTickPacer Pacer_;
    QElapsedTimer Clock_;
};

}  // namespace orlex
