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
    Dock_Person->hide();
    connect(PersonPanel, &TPersonPanel::FollowToggled, this, &TMainForm::FollowToggled);
    QAction* toggle = Dock_Person->toggleViewAction();
    toggle->setObjectName("PersonPanel1");
    toggle->setText("&Person panel");
    connect(toggle, &QAction::triggered, this, [this] { PersonDockChosen_ = true; });

    AllTrails1 = AddWindowAction("AllTrails1", "&Trails of everyone", QKeySequence());
    connect(AllTrails1, &QAction::triggered, this, &TMainForm::AllTrails1Click);
    AllTrails1->setCheckable(true);
    AllTrails1->setChecked(false);
    Follow1 = AddWindowAction("Follow1", "&Follow", QKeySequence(Qt::Key_F));
    connect(Follow1, &QAction::triggered, this, &TMainForm::FollowClick);
    ClearPick1 = AddWindowAction("ClearPick1", "Clear pick", QKeySequence(Qt::Key_Escape));
    connect(ClearPick1, &QAction::triggered, this, &TMainForm::ClearPickClick);
    AppendMenuItems(Views1, {toggle, AllTrails1});

    GoToTimeForm = new TGoToTimeForm(*Messages_, this);
    GoToTimeForm->setObjectName("GoToTimeForm");
}

void TMainForm::StartTimeNavigation() {
    Picked_ = -1;
    CellView3D->SetPlayback(&Playback);
    CellView3D->SetPickedPerson(-1);
    TimelineBar->SetTimeline(TTimeline::Of(*LogFile));
    PersonPanel->SetCellSize(AnalysisSettingsInEffect().CellSize);
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
    if (person >= 0 && !PersonDockChosen_) {
        PersonDockChosen_ = true;
        Dock_Person->show();
    }
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
