#include "gototimeform.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orlex {

TGoToTimeForm::TGoToTimeForm(IMessages& messages, QWidget* parent)
    : QDialog(parent), Messages_(messages) {
    setObjectName("GoToTimeForm");
    setWindowTitle("Go to time");
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel("&Time (m:ss), seconds or step N:", this);
    Label1->setObjectName("Label1");
    Edit_Time = new QLineEdit(this);
    Edit_Time->setObjectName("Edit_Time");
    Edit_Time->setPlaceholderText("7:30, 450 or step 900");
    Edit_Time->setMaxLength(200);
    Label1->setBuddy(Edit_Time);
    auto* buttons = new QDialogButtonBox(this);
    BitBtn_Ok = buttons->addButton("&Ok", QDialogButtonBox::AcceptRole);
    BitBtn_Ok->setObjectName("BitBtn_Ok");
    BitBtn_Ok->setDefault(true);
    BitBtn_Cancel = buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    BitBtn_Cancel->setObjectName("BitBtn_Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &TGoToTimeForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TGoToTimeForm::reject);
    layout->addWidget(Label1);
    layout->addWidget(Edit_Time);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(280, 0)));
}

void TGoToTimeForm::SetTimeline(const TTimeline& timeline, int step) {
    Timeline_ = timeline;
    Step_ = Timeline_.Clamp(step);
    Edit_Time->setText(QString::fromStdString(ClockText(Timeline_.SecondsAt(Step_))));
    Edit_Time->selectAll();
    Edit_Time->setFocus();
}

void TGoToTimeForm::accept() {
    const std::string text = Edit_Time->text().toStdString();
    const std::optional<TTimeEntry> entry = ParseTimeEntry(text);
    if (!entry) {
        Messages_.ShowMessage(BadTimeEntryText(text), "Error", TMsgIcon::Error, TMsgButtons::Ok);
        Edit_Time->selectAll();
        Edit_Time->setFocus();
        return;
    }
    Step_ = Timeline_.StepFor(*entry);
    QDialog::accept();
}

}  // namespace orlex
