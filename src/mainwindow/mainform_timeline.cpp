// Time navigation: the timeline bar, "Go to time...", the speed box and the
// keyboard commands that move through simulated time.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTimer>
#include <QToolBar>

#include "cellview3d.h"
#include "gototimeform.h"
#include "mainform.h"
#include "personpanel.h"
#include "speedbox.h"
#include "timelinebar.h"

namespace orlex {

void TMainForm::CreateTimeNavigation() {
    // Across the window, on a line of its own above the tool bar.
    Panel_Timeline = new QToolBar("Timeline", this);
    Panel_Timeline->setObjectName("Panel_Timeline");
    Panel_Timeline->setMovable(false);
    Panel_Timeline->setFloatable(false);
    Panel_Timeline->toggleViewAction()->setVisible(false);
    TimelineBar = new TTimelineBar(Panel_Timeline);
    TimelineBar->setObjectName("TimelineBar");
    TimelineBar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Panel_Timeline->addWidget(TimelineBar);
    addToolBarBreak(Qt::BottomToolBarArea);
    addToolBar(Qt::BottomToolBarArea, Panel_Timeline);
    TimelineBar->Clear();
    connect(TimelineBar, &TTimelineBar::SeekRequested, this, &TMainForm::SeekTo);
    connect(TimelineBar, &TTimelineBar::DragStarted, this, &TMainForm::TimelineDragStarted);
    connect(TimelineBar, &TTimelineBar::DragFinished, this, &TMainForm::TimelineDragFinished);

    auto* spacer = new QWidget(Panel1);
    spacer->setFixedWidth(5);
    Panel1->addWidget(spacer);
    SpeedBox = new TSpeedBox(Panel1);
    SpeedBox->setObjectName("SpeedBox");
    Panel1->addWidget(SpeedBox);
    connect(SpeedBox, &TSpeedBox::SpeedChanged, this, &TMainForm::SpeedChanged);

    GoToTime1 = AddWindowAction("GoToTime1", "Go to time...", QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(GoToTime1, &QAction::triggered, this, &TMainForm::GoToTime1Click);
    PageForward1 =
        AddWindowAction("PageForward1", "Ten seconds forward", QKeySequence(Qt::Key_PageUp));
    connect(PageForward1, &QAction::triggered, TimelineBar, &TTimelineBar::PageForward);
    PageBack1 = AddWindowAction("PageBack1", "Ten seconds back", QKeySequence(Qt::Key_PageDown));
    connect(PageBack1, &QAction::triggered, TimelineBar, &TTimelineBar::PageBack);
    GoToStart1 = AddWindowAction("GoToStart1", "Go to start", QKeySequence(Qt::Key_Home));
    connect(GoToStart1, &QAction::triggered, TimelineBar, &TTimelineBar::GoToStart);
    GoToEnd1 = AddWindowAction("GoToEnd1", "Go to end", QKeySequence(Qt::Key_End));
    connect(GoToEnd1, &QAction::triggered, TimelineBar, &TTimelineBar::GoToEnd);
    AppendMenuItems(Animation1, {GoToTime1});
}

QAction* TMainForm::AddWindowAction(const char* name, const QString& text,
                                    const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

void TMainForm::AppendMenuItems(QMenu* menu, const QList<QAction*>& items) {
    // After the menu's own items, behind a separator; the shortcuts work through
    // the window wherever the focus is.
    menu->addSeparator();
    menu->addActions(items);
}

void TMainForm::SeekTo(int step) {
    if (!HasProject()) return;
    Playback.SeekTo(step);
    SpeedBox->RestartPacing();
}

void TMainForm::GoToTime1Click() {
    if (!HasProject()) return;
    GoToTimeForm->SetTimeline(TTimeline::Of(*LogFile), Playback.StepCounter);
    if (GoToTimeForm->exec() == QDialog::Accepted) SeekTo(GoToTimeForm->Step());
}

double TMainForm::AnimationSpeed() const {
    return SpeedBox->Speed();
}

void TMainForm::SpeedChanged() {
    // At once, also while running: the interval StartAnimation would set.
    if (AnimationTimer->isActive() && HasProject())
        AnimationTimer->setInterval(SpeedBox->Interval(LogFile->VMax));
}

void TMainForm::TimelineDragStarted() {
    // A drag pauses a running animation without completing its second.
    if (!AnimationTimer->isActive()) return;
    AnimationTimer->stop();
    ResumeAfterDrag_ = true;
}

void TMainForm::TimelineDragFinished() {
    if (!ResumeAfterDrag_) return;
    ResumeAfterDrag_ = false;
    if (HasProject() && Playback.Animating()) StartAnimation();
}

void TMainForm::FollowPlayback() {
    if (!HasProject()) return;
    TimelineBar->SetStep(Playback.StepCounter);
    const bool saved = Picked_ >= 0 && Playback.StepCounter > LogFile->Persons[Picked_].StepCount;
    PersonPanel->Update(LogFile.get(), Picked_, saved);
    if (Picked_ < 0 || !PersonPanel->Follow()) return;
    const TPersonData& person = LogFile->Persons[Picked_];
    const int level = person.ShownLevel();
    if (level >= 0 && level < DeckCount() && level != CellView3D->CurrentDeck) {
        ComboBox1->setCurrentIndex(ComboBox1->count() - 1 - level);
        CellView3D->SetCurrentDeck(level);
        UpdateLightsStatus();
    }
    CellView3D->CentreOn(person.X, person.Y);
}

}  // namespace orlex
