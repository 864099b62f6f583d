// Taking screen shots: file names, targets per save option, the overwrite
// question, series mode and error reporting. Free of widgets: the main window
// hands in the dialogs and the capture as callbacks, so that its handlers stay
// a few lines each:
//
//   TScreenShots Shots{Options, AppTitle, host};       // one per main window
//   Singlescreenshot1Click:          Shots.SingleShot(state);
//   SpeedButton_ScreenShotSeriesClick: Shots.SetSeries(button->isChecked(), state);
//   TakeScreenShot (series step):    if (Shots.Series()) Shots.TakeScreenShot(state);
//   Options1Click:                   Shots.EndSeries(); then the options dialog
//   AnimationTimerTimer:             if (Shots.Busy()) return;  (ticks held back)
//
// host.SeriesChanged is called whenever the series is switched on or off here,
// so the main window can set the toggle button's down state.
#pragma once

#include <QSize>
#include <QString>
#include <functional>

#include "interfaces.h"
#include "options1.h"

namespace orlex {

// "%.6i" + ".jpg": 0 -> "000000.jpg", 137 -> "000137.jpg", 1234567 -> "1234567.jpg".
QString FormatShotNumber(int n);
// Everything up to and including the last path separator ('/' or '\\'); "" when
// there is none.
QString DirectoryPart(const QString& path);
// dir + separator + name, with one separator between them (dir may end in one).
QString JoinPath(const QString& dir, const QString& name);

// Resize options of the screen-shot settings.
constexpr int kResizeByPercentage = 1;
constexpr int kResizeFixedWidth = 2;
constexpr int kResizeFixedHeight = 3;

// Output size of a screen shot of a viewWidth x viewHeight view:
//   option 1: value% of both sides; option 2: width = value, height follows
//   the view's aspect ratio; option 3: height = value, width follows. Every
//   division is exact and rounded down.
// A result with a side of 0 or below (0 %, a fixed width of 0, a very small
// fixed size, negative values) and an unknown option give the view's own
// size. Returns false only for an unknown option.
bool ComputeShotSize(int resizeOption, int value, int viewWidth, int viewHeight, int* width,
                     int* height);

// Message texts.
QString ShotInternalErrorText();      // "Error in TMainForm::Singlescreenshot1Click()..."
QString ShotOverwriteQuestionText();  // "You are about to overwrite ..."

// What the main window provides.
struct TShotHost {
    // Save dialog "Save Screen Shot" opened in initialDir proposing fileName; the
    // chosen full file name, or "" when cancelled.
    std::function<QString(const QString& initialDir, const QString& fileName)> ChooseSaveFile;
    // Directory chooser opened on startDir; the chosen directory, "" when cancelled.
    std::function<QString(const QString& startDir)> ChooseDirectory;
    // Captures the view into fileName at width x height (0 means the view's
    // size); false with a reason when the file could not be written.
    std::function<bool(const QString& fileName, int width, int height, QString* errorText)> Capture;
    // The view's current size in pixels.
    std::function<QSize()> ViewSize;
    // The series was switched on or off here (set the toggle button).
    std::function<void(bool on)> SeriesChanged;
    // Message boxes (borrowed, must be set).
    IMessages* Messages = nullptr;
};

// The part of the main window's state a shot needs.
struct TShotState {
    bool LogFileLoaded = false;
    QString LogFileName;  // full path of the loaded 3D log file
    int StepCounter = 0;
};

class TScreenShots {
public:
    TScreenShots(TOptions1& options, QString appTitle, TShotHost host);

    // A single shot (menu "&Single screen shot", Y, tool-bar button). While a
    // series runs under save option 2 the shot goes into the series directory
    // and the series is left as it is.
    void SingleShot(const TShotState& state);
    // One shot as the settings say; called by every animation sub-step while
    // the series is on (before the step counter changes). Returns true when a
    // file was written. Does nothing while another shot's message is open.
    bool TakeScreenShot(const TShotState& state);
    // Series button changed to down (on) or up. Under save option 2 switching on
    // asks for the series directory; cancelling leaves the series off. Returns
    // the series state afterwards.
    bool SetSeries(bool on);
    // Ends a running series (opening the options dialog does this).
    void EndSeries();

    bool Series() const { return series_; }
    // The series directory of save option 2 (ends in a separator), "" otherwise.
    const QString& SeriesDirectory() const { return seriesDirectory_; }
    // The target of the last shot attempted ("" when none was built).
    const QString& ScreenShotPath() const { return screenShotPath_; }
    // True while a shot is being taken, including its message boxes; animation
    // ticks arriving meanwhile should be skipped.
    bool Busy() const { return busy_; }

private:
    bool Shoot(const TShotState& state, bool single);
    QString BuildTarget(const TShotState& state, bool single, bool* failed);
    void SetSeriesState(bool on);
    void Error(const QString& text);

    TOptions1& options_;
    QString appTitle_;
    TShotHost host_;
    bool series_ = false;
    bool busy_ = false;
    QString seriesDirectory_;
    QString screenShotPath_;
};

}  // namespace orlex
