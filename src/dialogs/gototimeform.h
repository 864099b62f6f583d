// "Go to time...": a small dialog taking a time as "m:ss", as seconds or as
// "step N" (see ParseTimeEntry). Ok with a good entry closes it with the first
// step counter whose shown time is at least that time (Step()); a bad entry
// gets a message through IMessages and the dialog stays open, nothing changed.
//
// Use (Animation > "Go to time...", Ctrl+G):
//   GoToTimeForm->SetTimeline(TTimeline::Of(*LogFile), Playback.StepCounter);
//   if (GoToTimeForm->exec() == QDialog::Accepted) seek to GoToTimeForm->Step();
#pragma once

#include <QDialog>

#include "interfaces.h"
#include "timenavigation.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orlex {

class TGoToTimeForm : public QDialog {
    Q_OBJECT

public:
    // messages must outlive the dialog.
    explicit TGoToTimeForm(IMessages& messages, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit_Time = nullptr;
    QPushButton* BitBtn_Ok = nullptr;
    QPushButton* BitBtn_Cancel = nullptr;

    // The time axis to go on; the entry shows the time of step, selected.
    void SetTimeline(const TTimeline& timeline, int step);
    // The step counter chosen by the last accepted entry.
    int Step() const { return Step_; }

    // Takes the entry: closes on a good one, says what is wrong with a bad one.
    void accept() override;

private:
    IMessages& Messages_;
    TTimeline Timeline_;
    int Step_ = 0;
};

}  // namespace orlex
