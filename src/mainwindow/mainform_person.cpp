// The picked person: the "Person" dock, following it, and the trails.
#include <QAction>
#include <QDockWidget>
#include <QMenu>

#include "cellview3d.h"
#include "gototimeform.h"
#include "mainform.h"
#include "personpanel.h"
#include "speedbox.h"
#include "timelinebar.h"

namespace orlex {

void TMainForm::CreatePersonDock() {
    Dock_Person = new QDockWidget("Person", this);
    Dock_Person->setObjectName("Dock_Person");
    PersonPanel = new TPersonPanel(Dock_Person);
    PersonPanel->setObjectName("PersonPanel");
    Dock_Person->setWidget(PersonPanel);
    addDockWidget(Qt::RightDockWidgetArea, Dock_Person);
    connect(PersonPanel, &TPersonPanel::FollowToggled, this, &TMainForm::FollowToggled);
    QAction* toggle = Dock_Person->toggleViewAction();
    toggle->setObjectName("PersonPanel1");
    toggle->setText("&Person panel");

    auto make = [this](QAction*& action, const char* name, const QString& text,
                       const QKeySequence& shortcut, void (TMainForm::*handler)()) {
        action = new QAction(text, this);
        action->setObjectName(name);
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
    };
    make(AllTrails1, "AllTrails1", "&Trails of everyone", QKeySequence(),
         &TMainForm::AllTrails1Click);
    AllTrails1->setCheckable(true);
    AllTrails1->setChecked(false);
    make(Follow1, "Follow1", "&Follow", QKeySequence(Qt::Key_F), &TMainForm::FollowClick);
    make(ClearPick1, "ClearPick1", "Clear pick", QKeySequence(Qt::Key_Escape),
         &TMainForm::ClearPickClick);
    AppendWhileShown(Views1, {toggle, AllTrails1});

    GoToTimeForm = new TGoToTimeForm(*Messages_, this);
    GoToTimeForm->setObjectName("GoToTimeForm");
}

void TMainForm::StartTimeNavigation() {
    Picked_ = -1;
    CellView3D->SetPlayback(&Playback);
    CellView3D->SetPickedPerson(-1);
    TimelineBar->SetTimeline(TTimeline::Of(*LogFile));
    PersonPanel->Update(LogFile.get(), -1, false);
    SpeedBox->RestartPacing();
}

void TMainForm::StopTimeNavigation() {
    Picked_ = -1;
    if (TimelineBar != nullptr) TimelineBar->Clear();
    if (PersonPanel != nullptr) PersonPanel->Update(nullptr, -1, false);
}

void TMainForm::PickPerson(int person) {
    if (!HasProject() || person < -1 || person >= LogFile->PersonCount()) person = -1;
    Picked_ = person;
    CellView3D->SetPickedPerson(person);
    const bool saved = person >= 0 && Playback.StepCounter > LogFile->Persons[person].StepCount;
    PersonPanel->Update(HasProject() ? LogFile.get() : nullptr, person, saved);
}

void TMainForm::ClearPickClick() {
    PickPerson(-1);
}

void TMainForm::FollowClick() {
    if (Picked_ < 0) return;
    PersonPanel->SetFollow(!PersonPanel->Follow());
}

void TMainForm::FollowToggled(bool on) {
    // Straight to the person, not only at the next step.
    if (on) Paint();
}

void TMainForm::AllTrails1Click() {
    CellView3D->SetShowAllTrails(AllTrails1->isChecked());
}

}  // namespace orlex
