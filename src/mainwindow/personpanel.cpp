#include "personpanel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "playback.h"
#include "timenavigation.h"

namespace orlex {

TPersonPanel::TPersonPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("PersonPanel");
    auto* layout = new QVBoxLayout(this);
    Label_Hint = new QLabel("No person picked.\nClick a person in the view.", this);
    Label_Hint->setObjectName("Label_Hint");
    layout->addWidget(Label_Hint);

    auto* form = new QFormLayout;
    const struct {
        QLabel** label;
        const char* name;
        const char* caption;
    } rows[] = {
        {&Label_Number, "Label_Number", "Person:"},        {&Label_Tag, "Label_Tag", "Tag:"},
        {&Label_Start, "Label_Start", "Start:"},           {&Label_Now, "Label_Now", "Now:"},
        {&Label_Heading, "Label_Heading", "Heading:"},     {&Label_Steps, "Label_Steps", "Steps:"},
        {&Label_ExitTime, "Label_ExitTime", "Exit time:"}, {&Label_State, "Label_State", "State:"}};
    const QString where = QString(
        "x east and y north of the deck's south-west corner, in "
        "metres at the analysis cell size (Settings > Options)");
    for (const auto& r : rows) {
        *r.label = new QLabel(this);
        (*r.label)->setObjectName(r.name);
        (*r.label)->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(r.caption, *r.label);
    }
    Label_Start->setToolTip(where);
    Label_Now->setToolTip(where);
    layout->addLayout(form);
    CheckBox_Follow = new QCheckBox("Follow", this);
    CheckBox_Follow->setObjectName("CheckBox_Follow");
    CheckBox_Follow->setToolTip("keep the person in the centre of the view [F]");
    layout->addWidget(CheckBox_Follow);
    layout->addStretch(1);
    connect(CheckBox_Follow, &QCheckBox::toggled, this, &TPersonPanel::FollowToggled);
    ShowNothing();
}

void TPersonPanel::CellOf(float x, float y, int xmax, int ymax, int& column, int& row) {
    // The centre of column c, row r is c - xmax / 2 + 0.5, ymax / 2 - r - 0.5.
    const double c = std::floor(static_cast<double>(x)) + xmax / 2;
    const double r = ymax / 2 - 1 - std::floor(static_cast<double>(y));
    column = static_cast<int>(std::clamp(c, double{INT_MIN}, double{INT_MAX}));
    row = static_cast<int>(std::clamp(r, double{INT_MIN}, double{INT_MAX}));
}

QString TPersonPanel::PlaceText(int column, int row, int ymax, double cellSize) {
    const double east = (column + 0.5) * cellSize;
    const double north = (ymax - 1 - row + 0.5) * cellSize;
    return QString("column %1, row %2 (x %3 m, y %4 m)")
        .arg(column)
        .arg(row)
        .arg(east, 0, 'f', 2)
        .arg(north, 0, 'f', 2);
}

void TPersonPanel::SetCellSize(double metres) {
    if (metres > 0 && std::isfinite(metres)) CellSize_ = metres;
}

QString TPersonPanel::HeadingText(int heading) {
    static const char* const names[] = {"north", "north-east", "east", "south-east",
                                        "south", "south-west", "west", "north-west"};
    if (heading < 1 || heading > 8) return QString::number(heading);
    return QString("%1 (%2)").arg(heading).arg(names[heading - 1]);
}

QString TPersonPanel::LevelText(const TLogFile1& project, int level) {
    if (level < 0) return "none";
    if (level >= project.DeckCount()) return QString::number(level);
    return QString("%1 (%2)").arg(level).arg(QString::fromStdString(project.GetDeckCaption(level)));
}

void TPersonPanel::Update(const TLogFile1* project, int person, bool saved) {
    if (!project || person < 0 || person >= project->PersonCount()) {
        ShowNothing();
        return;
    }
    Person_ = person;
    const TPersonData& p = project->Persons[static_cast<std::size_t>(person)];
    Label_Hint->hide();
    Label_Number->setText(QString("%1 of %2").arg(person).arg(project->PersonCount()));
    Label_Tag->setText(QString::number(p.Tag));
    Label_Start->setText(QString("%1, level %2")
                             .arg(PlaceText(p.StartX, p.StartY, project->YMax, CellSize_))
                             .arg(LevelText(*project, p.StartLevel)));
    int column = 0, row = 0;
    CellOf(p.X, p.Y, project->XMax, project->YMax, column, row);
    if (p.Waiting) {
        Label_Now->setText("not entered yet");
    } else {
        Label_Now->setText(QString("%1, level %2")
                               .arg(PlaceText(column, row, project->YMax, CellSize_))
                               .arg(LevelText(*project, saved ? -1 : p.Level)));
    }
    Label_Heading->setText(HeadingText(p.Heading));
    Label_Steps->setText(QString::number(p.StepCount));
    const int exit = ShownSecondsAt(int64_t{p.StepCount} + 1, project->VMax, project->TOff);
    Label_ExitTime->setText(QString::fromStdString(ClockText(exit)) + " min");
    Label_State->setText(saved ? "saved" : "in the simulation");
    if (saved) CheckBox_Follow->setChecked(false);
    CheckBox_Follow->setEnabled(!saved);
}

bool TPersonPanel::Follow() const {
    return CheckBox_Follow->isChecked();
}

void TPersonPanel::SetFollow(bool on) {
    if (CheckBox_Follow->isEnabled() || !on) CheckBox_Follow->setChecked(on);
}

void TPersonPanel::ShowNothing() {
    Person_ = -1;
    Label_Hint->show();
    for (QLabel* label : {Label_Number, Label_Tag, Label_Start, Label_Now, Label_Heading,
                          Label_Steps, Label_ExitTime, Label_State})
        label->clear();
    CheckBox_Follow->setChecked(false);
    CheckBox_Follow->setEnabled(false);
}

}  // namespace orlex
