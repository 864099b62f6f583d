// The main window: menu, tool bar with the deck box, status bar and the 3D view.
// It owns the loaded project and drives the playback. Its handlers are split by
// concern over the mainform_*.cpp files.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "appsettings.h"
#include "deckoverlay.h"
#include "interfaces.h"
#include "logfile.h"
#include "measure.h"
#include "openproject.h"
#include "options1.h"
#include "playback.h"
#include "projectsession.h"
#include "screenshots.h"

class QAction;
class QComboBox;
class QDockWidget;
class QKeySequence;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;

namespace orlex {

class TCellView3D;
class TFProgressDialog;
class TFStatistics;
class TOptionsForm;
class TIntroForm;
class THelpForm;
class TKeysForm;
struct TKeyGroup;
class TTimelineBar;
class TSpeedBox;
class TPersonPanel;
class TGoToTimeForm;
class TAnalysisPanel;
class TAnalysisRunner;
class TAnalysisResult;
class TDeckList;
class TMeasurePanel;

class TMainForm : public QMainWindow, public IPlaybackHost {
    Q_OBJECT
    // The loaded project and the playback on it, with the order in which they are
    // let go. Declared first: LogFile, LogFileLoaded and Playback below read it.
    TProjectSession Session_;

public:
    // messages: where boxes go (null: the standard message boxes).
    explicit TMainForm(IMessages* messages = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- state (fields of the window) ---
    const QString AppTitle = "ORLEX Viewer";
    std::array<QString, 4> LastProjects;
    QString ScreenShotPath;
    // Set by the load procedure, never cleared.
    const bool& LogFileLoaded{Session_.LoadedRef()};
    bool ScreenShotSeries = false;
    int MaxAnimationSpeed = 5;
    QString StartFile;
    // The loaded project, owned by the session; null when there is none.
    const std::unique_ptr<TLogFile1>& LogFile{Session_.ProjectRef()};

    // Playback counters live in the core's stepper; these read them.
    int StepCounter() const { return Playback.StepCounter; }
    int TimeSeconds() const { return Playback.TimeSeconds; }
    int SavedCount() const { return Playback.SavedCount; }
    TPlayback& Playback{Session_.Playback};

    // Screen-shot settings and the shots taken with them.
    TOptions1 Options;
    std::unique_ptr<TScreenShots> Shots;

    // The 3D view, owned by the window, and the menu items of the recent list.
    TCellView3D* CellView3D = nullptr;
    std::array<QAction*, 4> OldFileItems{};

    // Text of status panel index (0 lights, 1 time, 2 saved, 3 messages).
    QString StatusText(int index) const;
    void SetStatusText(int index, const QString& text);

    // --- start-up and close (mainform.cpp) ---
    void FormCreate();
    void FormActivate();
    void FormClose();
    void Quit1Click();

    // --- opening projects (mainform_loading.cpp) ---
    void BitBtn1Click();
    void OpenRecent(QAction* item);
    // With importing, path is not a 3D log file but imported with those options.
    void LoadLogFile(const QString& path, const import::TImportOptions* importing = nullptr);
    void AddToLastProjects(const QString& path);
    void EnableControls(bool enabled);
    // Loads a file dropped on the window, as a recent entry would.
    void OpenDroppedFile(const QString& path);
    // True while the load procedure runs.
    bool IsLoading() const { return Loading_; }
    // Chooses the file of the Load dialog: (initial directory, initial file name)
    // -> chosen path or empty. Replaced by tests; the default shows the dialog.
    std::function<QString(const QString&, const QString&)> ChooseLogFile;

    // --- other tools' trajectories (mainform_import.cpp) ---
    // File > "Import trajectories...": the file, then the import dialog, then the load.
    void ImportTrajectories1Click();
    // The import dialog for path, then the load; the file of a command line or a drop.
    void ImportTrajectories(const QString& path);
    // Chooses the file to import (folder -> path or empty), and asks for the import's
    // options (path, what the file says -> options, none when cancelled). Replaced
    // by tests; the defaults show the dialogs.
    std::function<QString(const QString&)> ChooseImportFile;
    std::function<std::optional<import::TImportOptions>(const QString&, const import::TFileFacts&)>
        AskImportOptions;
    // The analysis settings with the cell size in effect: the project's own where it
    // was imported or converted, else the setting's.
    TAnalysisSettings AnalysisSettingsInEffect() const;

    // --- exports (mainform_export.cpp) ---
    void ExportVideo1Click();

    // --- the evacuation analysis (mainform_analysis.cpp) ---
    void ExportAnalysis1Click();
    // Chooses the file of "Export analysis...": suggested path -> chosen path or empty.
    // Replaced by tests; the default shows the save dialog.
    std::function<QString(const QString&)> ChooseAnalysisFile;
    // "Export report over runs...": the runs chosen, the report written (runsexport.h).
    void ExportRunsReport1Click();
    // Choose the runs (folder -> files, none to stop) and the report (suggested path ->
    // path or empty). Replaced by tests; the defaults show the file dialogs.
    std::function<QStringList(const QString&)> ChooseRunFiles;
    std::function<QString(const QString&)> ChooseRunsReportFile;
    // The analysis of the project shown; null until it has finished.
    const std::shared_ptr<const TAnalysisResult>& Analysis() const { return Analysis_; }

    // --- playback (mainform_playback.cpp) ---
    void StartAnimation();
    void StopAnimation();
    void Run1Click();
    void AnimationTimerTimer();
    void Forward1Click();
    void Backward1Click();
    void ResettoStart1Click();
    void StepForward();
    void StepBackward();

    // --- time navigation (mainform_timeline.cpp) ---
    // Puts the playback at step counter step (a seek: no shot, one repaint).
    void SeekTo(int step);
    void GoToTime1Click();
    // The speed the animation runs at now: the speed box's choice.
    double AnimationSpeed() const;
    void SpeedChanged();

    // --- the picked person (mainform_person.cpp) ---
    int PickedPerson() const { return Picked_; }
    // Picks person (-1: nothing); out of range counts as nothing.
    void PickPerson(int person);
    void ClearPickClick();
    void FollowClick();
    void AllTrails1Click();

    // --- decks and view (mainform_decks.cpp) ---
    void Deckup1Click();
    void Deckdown1Click();
    void ComboBox1Select();
    void Button1Click();
    void Button2Click();
    void FormMouseWheel(int wheelDelta);
    void ShowOriginClick();
    void AddLightClick();
    void RemoveLightClick();
    void UpdateLightsStatus();

    // --- screen shots (mainform_screenshots.cpp) ---
    void Singlescreenshot1Click();
    void Screenshotseries1Click();
    void SpeedButton_ScreenShotSeriesClick();
    void TakeScreenShot();
    // The part of the window's state a shot needs.
    TShotState ShotState() const;
    // Replaced by tests; the defaults show the save dialog and the directory chooser.
    std::function<QString(const QString& dir, const QString& name)> ChooseShotFile;
    std::function<QString(const QString& startDir)> ChooseShotDirectory;
    void LoadScreenShotSettings();
    void SaveScreenShotSettings();

    // --- auxiliary windows (mainform_dialogs.cpp) ---
    void CreateAuxiliaryWindows();
    void CreateStatisticsWindow();
    void CreateOptionsWindow();
    void CreateIntroWindow();
    void CreateHelpWindow();
    void BitBtn2Click();
    void Options1Click();
    void Help2Click();
    void StartupWindow1Click();

    // --- all decks and the plan view (mainform_stack.cpp) ---
    void AllDecks1Click();
    void PlanView1Click();
    // The view's stack from the items, the cut, the deck list and the settings.
    void ApplyStack();
    // The deck list's rows for the project and its counts for the moment shown.
    void UpdateDeckList();

    // --- measurement lines and areas (mainform_measure.cpp) ---
    // Views > "Measure": the view's drags draw lines and areas while it is on.
    void Measure1Click(bool on);
    // The measurements of the project shown.
    const TMeasureSet& Measures() const { return Measures_; }
    // Makes next the project's measurements when the file would read it back
    // whole (else a warning names what is wrong and nothing changes): kept for
    // undo, saved beside the project and shown. False when nothing changed.
    bool ChangeMeasures(const TMeasureSet& next);
    // Ctrl+Z: back to the measurements before the last change.
    void UndoMeasures();

    // Layout commands (mainform_layout.cpp).
    void ResetView1Click();
    void KeysAndMouse1Click();
    // Every key and mouse action of the window, grouped by menu.
    QList<TKeyGroup> KeyGroups() const;

    // IPlaybackHost
    void BeforeStep(int stepCounter) override;
    void ShowSaved(const std::string& text) override;
    void ShowTime(const std::string& text) override;
    void ProcessEvents() override;
    void Paint() override;
    void StartTimer(int intervalMs) override;
    void StopTimer() override;
    void AnimationChanged(bool running) override;

    IMessages& Messages() { return *Messages_; }
    TAppSettings& Settings() { return Settings_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void ReadSettings();
    void ShowLastProjects();
    void ShowCannotOpen(const QString& path);
    // A project is in place and no load is replacing it.
    bool HasProject() const { return Session_.Project() != nullptr && !Loading_; }
    int DeckCount() const;
    QString ShortPath(const QString& path) const;
    // Lets go of the project in the session's order (timer, playback, view, readers).
    void ReleaseProject();
    // True while the project that a loop of steps started on is still in place.
    bool StillCurrent(unsigned generation) const {
        return HasProject() && Session_.IsCurrent(generation);
    }
    // One animation tick without the guard against nesting.
    void AnimationStep();
    QString DefaultChooseLogFile(const QString& dir, const QString& name);
    void CreateTimeNavigation();
    // An item of the window with its shortcut, in no menu of its own.
    QAction* AddWindowAction(const char* name, const QString& text, const QKeySequence& shortcut);
    void CreatePersonDock();
    void CreateAnalysis();
    void CreateImport();
    void CreateLayoutCommands();
    void CreateStackCommands();
    void CreateMeasureCommands();
    // At every load: the measurement file beside projectPath (none: no file) read
    // with its problems shown as warnings; no undo yet.
    void LoadMeasures(const QString& projectPath);
    void ShowMeasures();
    // Writes the measurements beside the project; an "Error" box when it cannot.
    bool SaveMeasures();
    void MeasureDrawn(bool area, int deck, TMetrePoint a, TMetrePoint b);
    TMetreFrame MeasureFrame() const;
    QString MeasureFilePath() const;
    void RestoreWindowState();
    void SaveWindowState();
    // After a load: a new run; before a release: no result.
    void StartAnalysis();
    void ClearAnalysis();
    // Puts back the message the analysis progress covered.
    void EndAnalysisStatus();
    void AnalysisFinished(std::shared_ptr<const TAnalysisResult> result);
    // The current time in the charts.
    void ShowAnalysisTime();
    TOverlayKind OverlayKind() const;
    // The overlays of the chosen kind on the decks, or none.
    void UpdateOverlay();
    QStringList DeckCaptions() const;
    // Items shown at the end of a menu while it is open; the menu's own list stays.
    void AppendMenuItems(QMenu* menu, const QList<QAction*>& items);
    void TimelineDragStarted();
    void TimelineDragFinished();
    // After every step, reset and seek: slider, person panel and following.
    void FollowPlayback();
    // After a load: the new time axis, no pick, fresh pacing.
    void StartTimeNavigation();
    // The project goes: no time axis, no pick.
    void StopTimeNavigation();
    void FollowToggled(bool on);

    // --- components (found by their object names from outside) ---
    TFStatistics* FStatistics = nullptr;
    TFProgressDialog* FProgressDialog = nullptr;
    TOptionsForm* OptionsForm = nullptr;
    TIntroForm* IntroForm = nullptr;
    THelpForm* HelpForm = nullptr;
    TKeysForm* KeysForm_ = nullptr;
    bool AnalysisDockSized_ = false;  // the analysis dock has had its first width
    QTimer* AnimationTimer = nullptr;

    QMenu* File1 = nullptr;
    QMenu* Views1 = nullptr;
    QMenu* Animation1 = nullptr;
    QMenu* Settings1 = nullptr;
    QMenu* Help1 = nullptr;

    QAction* LoadLogfile1 = nullptr;
    QAction* N6 = nullptr;
    QAction* Singlescreenshot1 = nullptr;
    QAction* Screenshotseries1 = nullptr;
    QAction* ExportVideo1 = nullptr;
    QAction* N8 = nullptr;
    QAction* N4 = nullptr;
    QAction* N1 = nullptr;
    QAction* Quit1 = nullptr;
    QAction* Deckup1 = nullptr;
    QAction* Deckdown1 = nullptr;
    QAction* N3 = nullptr;
    QAction* Zoomin1 = nullptr;
    QAction* Zoomout1 = nullptr;
    QAction* Run1 = nullptr;
    QAction* ResettoStart1 = nullptr;
    QAction* N5 = nullptr;
    QAction* Forward1 = nullptr;
    QAction* Backward1 = nullptr;
    QAction* ShowOrigin = nullptr;
    QAction* AddLight = nullptr;
    QAction* RemoveLight = nullptr;
    QAction* N2 = nullptr;
    QAction* Options1 = nullptr;
    QAction* Statistics = nullptr;
    QAction* Help2 = nullptr;
    QAction* ResetView1 = nullptr;
    QAction* KeysAndMouse1 = nullptr;
    QAction* N7 = nullptr;
    QAction* StartupWindow1 = nullptr;
    QAction* GoToTime1 = nullptr;
    QAction* AllTrails1 = nullptr;
    QAction* Follow1 = nullptr;
    QAction* ClearPick1 = nullptr;
    QAction* PageForward1 = nullptr;
    QAction* PageBack1 = nullptr;
    QAction* GoToStart1 = nullptr;
    QAction* GoToEnd1 = nullptr;

    QToolBar* Panel_Timeline = nullptr;
    TTimelineBar* TimelineBar = nullptr;
    TSpeedBox* SpeedBox = nullptr;
    QDockWidget* Dock_Person = nullptr;
    TPersonPanel* PersonPanel = nullptr;
    TGoToTimeForm* GoToTimeForm = nullptr;
    QDockWidget* Dock_Analysis = nullptr;
    TAnalysisPanel* AnalysisPanel_ = nullptr;
    TAnalysisRunner* AnalysisRunner_ = nullptr;
    QMenu* Overlay1 = nullptr;
    QAction* OverlayExits1 = nullptr;  // the exits marked on the decks
    QAction* ExportAnalysis1 = nullptr;
    QAction* ExportRunsReport1 = nullptr;
    QAction* ImportTrajectories1 = nullptr;
    std::shared_ptr<const TAnalysisResult> Analysis_;
    // The analysis shows its progress in the message panel after this long.
    static constexpr qint64 kQuietAnalysisMs = 300;
    QElapsedTimer AnalysisClock_;
    bool AnalysisShown_ = false;
    QString AnalysisStatusBefore_;
    QString ShownAnalysisText_;

    QAction* AllDecks1 = nullptr;
    QAction* PlanView1 = nullptr;
    QComboBox* CutAwayBox = nullptr;
    QDockWidget* Dock_Decks = nullptr;
    TDeckList* DeckList = nullptr;

    QAction* Measure1 = nullptr;
    QAction* UndoMeasure1 = nullptr;
    QToolButton* SpeedButton_Measure = nullptr;
    QDockWidget* Dock_Measure = nullptr;
    TMeasurePanel* MeasurePanel = nullptr;
    TMeasureSet Measures_;
    std::vector<TMeasureSet> MeasureUndo_;  // oldest first
    QString MeasureProject_;                // the file the measurements lie beside

    QToolBar* Panel1 = nullptr;
    QToolButton* BitBtn1 = nullptr;
    QToolButton* BitBtn2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QToolButton* BitBtn_ResetToStart = nullptr;
    QToolButton* SpeedButton_PlayLoop = nullptr;
    QToolButton* BitBtn_StepBack = nullptr;
    QToolButton* BitBtn_StepFore = nullptr;
    QToolButton* BitBtn_ScreenShotSingle = nullptr;
    QToolButton* SpeedButton_ScreenShotSeries = nullptr;
    std::array<QLabel*, 4> StatusPanels{};

    TAppSettings Settings_;
    std::unique_ptr<IMessages> OwnMessages_;
    IMessages* Messages_ = nullptr;
    bool Loading_ = false;
    bool ControlsEnabled_ = true;
    // What UpdateLightsStatus allows for the two light items while controls are enabled.
    bool AddLightAllowed_ = true;
    bool RemoveLightAllowed_ = true;
    bool Closed_ = false;
    bool CloseAfterLoad_ = false;
    // While a video is written; a close waits for it (and cancels it).
    bool Exporting_ = false;
    bool ExportCancelled_ = false;
    // Depth of steps that are letting events run; ticks arriving meanwhile are skipped.
    int StepEventDepth_ = 0;
    // While set, Paint draws nothing: the steps of one tick are drawn once, at the end.
    bool PaintHeld_ = false;
    // The animation ran when a drag on the slider paused it.
    bool ResumeAfterDrag_ = false;
    int Picked_ = -1;
    // The "Person" dock starts hidden and opens at the first pick, unless the user
    // has already chosen for it.
    bool PersonDockChosen_ = false;
};

}  // namespace orlex
