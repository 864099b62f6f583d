// The auxiliary windows: created once after the main window, in this order, and
// shown by their commands.
#include "mainform.h"
#include "progressdialog.h"

namespace orlex {

void TMainForm::CreateAuxiliaryWindows() {
    CreateStatisticsWindow();
    if (FProgressDialog == nullptr) FProgressDialog = new TFProgressDialog(this);
    CreateOptionsWindow();
    CreateIntroWindow();
    CreateHelpWindow();
}

// Project data dialog.
void TMainForm::CreateStatisticsWindow() {}

// Screen-shot options dialog.
void TMainForm::CreateOptionsWindow() {}

// Start-up window with the version number.
void TMainForm::CreateIntroWindow() {}

// Quick-reference window.
void TMainForm::CreateHelpWindow() {}

void TMainForm::BitBtn2Click() {}

void TMainForm::Options1Click() {}

void TMainForm::Help2Click() {}

void TMainForm::StartupWindow1Click() {}

}  // namespace orlex
