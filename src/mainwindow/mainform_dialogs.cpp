// The auxiliary windows: created once after the main window, in this order, and
// shown by their commands.
#include "cellview3d.h"
#include "helpform.h"
#include "introform.h"
#include "mainform.h"
#include "optionsform.h"
#include "personpanel.h"
#include "progressdialog.h"
#include "statistics.h"

namespace orlex {

void TMainForm::CreateAuxiliaryWindows() {
    CreateStatisticsWindow();
    if (FProgressDialog == nullptr) FProgressDialog = new TFProgressDialog(this);
    CreateOptionsWindow();
    CreateIntroWindow();
    CreateHelpWindow();
}

// Project data dialog.
void TMainForm::CreateStatisticsWindow() {
    if (FStatistics == nullptr) FStatistics = new TFStatistics(this);
}

// Screen-shot options dialog.
void TMainForm::CreateOptionsWindow() {
    if (OptionsForm == nullptr) {
        OptionsForm = new TOptionsForm(this);
        OptionsForm->SetMessages(Messages_);
    }
}

// Start-up window with the version number.
void TMainForm::CreateIntroWindow() {
    if (IntroForm == nullptr) IntroForm = new TIntroForm(this);
}

// Quick-reference window.
void TMainForm::CreateHelpWindow() {
    if (HelpForm == nullptr) HelpForm = new THelpForm(this);
}

void TMainForm::BitBtn2Click() {
    ShowProjectData(*FStatistics, HasProject() ? LogFile.get() : nullptr);
}

void TMainForm::Options1Click() {
    // The settings may change under a running series: it ends first.
    if (Shots) Shots->EndSeries();
    ScreenShotSeries = false;
    const TAnalysisSettings before = Settings_.AnalysisSettings();
    OptionsForm->SetAnalysisSettings(before);
    OptionsForm->SetDeckSpacing(Settings_.DeckSpacing());
    if (!RunOptionsDialog(*OptionsForm, Options,
                          centralWidget() ? centralWidget()->size() : size()))
        return;
    if (const auto entered = OptionsForm->EnteredAnalysisSettings()) {
        Settings_.SetAnalysisSettings(*entered);
        const TAnalysisSettings& a = *entered;
        PersonPanel->SetCellSize(AnalysisSettingsInEffect().CellSize);
        PickPerson(Picked_);  // the positions in metres follow the cell size
        ShowMeasures();       // and so do the cells the measurements lie on
        const bool changed = a.CellSize != before.CellSize || a.Window != before.Window ||
                             a.DensityLimit != before.DensityLimit ||
                             a.CongestionShare != before.CongestionShare ||
                             a.FlowWindow != before.FlowWindow;
        if (changed && HasProject()) StartAnalysis();  // the figures follow the settings
    }
    // The stack follows the spacing, the plan view's scale bar the cell size.
    if (const auto spacing = OptionsForm->EnteredDeckSpacing()) Settings_.SetDeckSpacing(*spacing);
    ApplyStack();
}

void TMainForm::Help2Click() {
    HelpForm->exec();
}

void TMainForm::StartupWindow1Click() {
    IntroForm->SetDisplayTime(5000);
    IntroForm->exec();
}

}  // namespace orlex
