// File > "Export video...": the frames of a time range drawn offscreen with the
// view's camera, lights, origin, pick, trails and overlay, under a caption band,
// encoded as an MP4 video.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

#include "cellview3d.h"
#include "exportvideoform.h"
#include "mainform.h"
#include "offscreenview.h"
#include "videoexport.h"

namespace orlex {

namespace {

QString ClockOf(qint64 ms) {
    const qint64 s = (ms + 999) / 1000;
    return QString("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

}  // namespace

void TMainForm::ExportVideo1Click() {
    if (!LogFileLoaded || !LogFile || Loading_ || Exporting_) return;
    TLogFile1& project = *LogFile;
    TVideoChoices choices;
    choices.Start = project.TOff;
    choices.End =
        project.TOff + static_cast<double>(Playback.LastStep()) / Playback.StepsPerSecond();
    for (int d = 0; d < project.DeckCount(); ++d)
        choices.Decks << QString::fromStdString(project.GetDeckCaption(d));
    choices.CurrentDeck = CellView3D->CurrentDeck;
    choices.PersonPicked = CellView3D->PickedPerson >= 0;
    choices.ViewWidth = CellView3D->width();
    choices.ViewHeight = CellView3D->height();
    const QFileInfo file(QString::fromStdString(project.FileName));
    const QString lastFolder = Settings().LastExportFolder();
    choices.Folder =
        !lastFolder.isEmpty() && QDir(lastFolder).exists() ? lastFolder : file.absolutePath();
    choices.Project = file.completeBaseName();
    TExportVideoForm form(Messages(), this);
    form.Setup(choices);
    if (form.exec() != QDialog::Accepted) return;
    const TVideoRequest& request = form.Request();

    TVideoJob job;
    job.Path = request.Path;
    job.Times = request.Times;
    job.Width = request.Width;
    job.Height = request.Height;
    job.Scene = CellView3D->SceneInput();
    job.Camera = CellView3D->Camera();
    job.Caption = request.Caption;
    if (request.Deck == TVideoRequest::kFollowPicked) {
        job.FollowPerson = CellView3D->PickedPerson;
    } else if (request.Deck >= 0 && request.Deck < project.DeckCount()) {
        job.Scene.CurrentDeck = request.Deck;
        job.Scene.LightSet = project.Decks[static_cast<std::size_t>(request.Deck)].Lights;
    }
    const int frames = VideoFrameCount(job.Times);

    // The playback is left as it was: the timer pauses, the counter comes back.
    const bool wasRunning = AnimationTimer->isActive();
    AnimationTimer->stop();
    const int counter = Playback.StepCounter;
    Exporting_ = true;
    ExportCancelled_ = false;
    QProgressDialog dialog("Exporting the video...", "Cancel", 0, frames, this);
    dialog.setObjectName("ExportProgress");
    dialog.setWindowTitle("Export video");
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    QElapsedTimer clock;
    clock.start();
    TOffscreenView offscreen;
    QString why;
    const bool ok = ExportVideo(
        project, Playback, job, offscreen,
        [&](int done, int total) {
            const qint64 left = clock.elapsed() * (total - done) / std::max(done, 1);
            dialog.setLabelText(
                QString("Frame %1 of %2, about %3 left").arg(done).arg(total).arg(ClockOf(left)));
            dialog.setValue(done);  // handles the events of the modal dialog
            return !dialog.wasCanceled() && !ExportCancelled_;
        },
        &why);
    dialog.reset();
    offscreen.ForgetPersons();
    Exporting_ = false;
    Playback.SeekTo(counter);
    if (ok) {
        Settings().SetLastExportFolder(QFileInfo(job.Path).absolutePath());
        SetStatusText(3, QString("Video written: %1").arg(QDir::toNativeSeparators(job.Path)));
    } else {
        Messages().ShowMessage(
            QString("The video was not written:\n%1\n\n%2").arg(job.Path, why).toStdString(),
            "Error", TMsgIcon::Error, TMsgButtons::Ok);
    }
    if (CloseAfterLoad_) {
        CloseAfterLoad_ = false;
        QTimer::singleShot(0, this, &TMainForm::close);
        return;
    }
    if (wasRunning) AnimationTimer->start();
}

}  // namespace orlex
