// Screen-shot commands: single shots, series, and the settings they use.
#include <QFileDialog>
#include <QSignalBlocker>
#include <QToolButton>

#include "cellview3d.h"
#include "mainform.h"

namespace orlex {

TShotState TMainForm::ShotState() const {
    TShotState state;
    state.LogFileLoaded = HasProject();
    if (LogFile) state.LogFileName = QString::fromStdString(LogFile->FileName);
    state.StepCounter = StepCounter();
    return state;
}

void TMainForm::Singlescreenshot1Click() {
    if (!Shots) return;
    Shots->SingleShot(ShotState());
    ScreenShotPath = Shots->ScreenShotPath();
}

void TMainForm::Screenshotseries1Click() {
    // The menu item works the tool-bar toggle, so both start and stop a series alike.
    SpeedButton_ScreenShotSeries->click();
}

void TMainForm::SpeedButton_ScreenShotSeriesClick() {
    const bool wanted = SpeedButton_ScreenShotSeries->isChecked();
    ScreenShotSeries = Shots ? Shots->SetSeries(wanted) : false;
    ScreenShotPath = Shots ? Shots->SeriesDirectory() : QString();
}

void TMainForm::TakeScreenShot() {
    if (!Shots || !Shots->Series()) return;
    Shots->TakeScreenShot(ShotState());
    ScreenShotPath = Shots->ScreenShotPath();
}

void TMainForm::LoadScreenShotSettings() {
    if (!Shots) {
        TShotHost host;
        host.ChooseSaveFile = [this](const QString& dir, const QString& name) {
            if (ChooseShotFile) return ChooseShotFile(dir, name);
            QFileDialog dialog(this, "Save Screen Shot", dir, "JPEG file (*.jpg)");
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix("jpg");
            dialog.selectFile(name);
            return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
        };
        host.ChooseDirectory = [this](const QString& start) {
            if (ChooseShotDirectory) return ChooseShotDirectory(start);
            return QFileDialog::getExistingDirectory(this, QString(), start);
        };
        host.Capture = [this](const QString& file, int width, int height, QString* error) {
            return CellView3D->SaveCanvasToFile(file, width, height, error);
        };
        host.ViewSize = [this] { return CellView3D->size() * CellView3D->devicePixelRatio(); };
        host.SeriesChanged = [this](bool on) {
            ScreenShotSeries = on;
            QAction* action = SpeedButton_ScreenShotSeries->defaultAction();
            const QSignalBlocker blocker(action);
            action->setChecked(on);
        };
        host.Messages = Messages_;
        Shots = std::make_unique<TScreenShots>(Options, AppTitle, std::move(host));
    }
    Options.LoadFromRegistry(AppTitle);
}

void TMainForm::SaveScreenShotSettings() {
    Options.SaveToRegistry(AppTitle);
}

}  // namespace orlex
