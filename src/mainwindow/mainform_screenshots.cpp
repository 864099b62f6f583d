// Screen-shot commands. The capture itself and the settings dialog are filled in
// with the screen-shot work; until then the commands only keep their state.
#include <QToolButton>

#include "mainform.h"

namespace orlex {

void TMainForm::Singlescreenshot1Click() {}

void TMainForm::Screenshotseries1Click() {
    // The menu item works the tool-bar toggle, so both start and stop a series alike.
    SpeedButton_ScreenShotSeries->click();
}

void TMainForm::SpeedButton_ScreenShotSeriesClick() {
    ScreenShotSeries = SpeedButton_ScreenShotSeries->isChecked();
}

void TMainForm::TakeScreenShot() {}

void TMainForm::LoadScreenShotSettings() {}

void TMainForm::SaveScreenShotSettings() {}

}  // namespace orlex
