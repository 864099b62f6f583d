#include "renderjob.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "analysis.h"
#include "analysisoverlay.h"
#include "interfaces.h"
#include "logfile.h"
#include "measurefile.h"
#include "offscreenview.h"
#include "openproject.h"
#include "playback.h"
#include "projectscene.h"
#include "runset.h"
#include "videoexport.h"

namespace orlex::render {

namespace {

// Loader messages go to stderr; questions get the default answer.
class TStderrMessages final : public IMessages {
public:
    explicit TStderrMessages(std::FILE* err) : Err_(err) {}
    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon,
                           TMsgButtons buttons) override {
        std::fprintf(Err_, "%s: %s\n", caption.c_str(), text.c_str());
        return DefaultAnswer(buttons);
    }

private:
    std::FILE* Err_;
};

// Progress on stderr: a bar on a terminal, else a line every 5 %.
class TProgressLine {
public:
    explicit TProgressLine(std::FILE* err) : Err_(err), Bar_(isatty(fileno(err)) != 0) {}
    ~TProgressLine() {
        if (Bar_ && Shown_ >= 0) std::fputc('\n', Err_);
    }
    void Show(int done, int total) {
        const int percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
        if (Bar_) {
            if (percent == Shown_) return;
            const int filled = percent * 40 / 100;
            std::fprintf(Err_, "\r[%-40.*s] %3d %% (%d of %d frames)", filled,
                         "########################################", percent, done, total);
            std::fflush(Err_);
            Shown_ = percent;
        } else if (percent / 5 > Shown_ / 5 || Shown_ < 0) {
            Shown_ = percent - percent % 5;
            std::fprintf(Err_, "orlex-render: %d %% (%d of %d frames)\n", Shown_, done, total);
        }
    }

private:
    std::FILE* Err_;
    bool Bar_;
    int Shown_ = -1;
};

// Writes image atomically; on failure nothing of it stays and why says why.
bool SavePicture(const QImage& image, const QString& path, QString& why) {
    const QString lower = path.toLower();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        why = file.errorString();
        return false;
    }
    QImageWriter writer(&file, lower.endsWith(".png") ? "png" : "jpeg");
    if (!lower.endsWith(".png")) writer.setQuality(90);
    if (!writer.write(image)) {
        why = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        why = file.errorString();
        return false;
    }
    return true;
}

// The angle from the vertical of the oblique camera, in radians.
constexpr double kObliqueTheta = 0.9;

// aspect: of the part of the picture the 3D view fills.
TCamera CameraOf(const TRenderOptions& o, const TLogFile1& project, const TSceneInput& scene,
                 double aspect) {
    switch (o.Camera) {
        case TCameraKind::Oblique:
            return FitScene(scene, 0.0, scene.StackAll ? kStackTheta : kObliqueTheta, aspect);
        case TCameraKind::Given: {
            TCamera camera = TiltedCamera(project.XMax, project.YMax, o.Phi, o.Theta);
            camera.SetDistance(o.Distance);
            camera.PanX = o.PanX;
            camera.PanY = o.PanY;
            return camera;
        }
        case TCameraKind::Top:
            // The stack from straight above shows only its top deck.
            if (!o.CameraGiven && scene.StackAll && !scene.Plan)
                return FitScene(scene, 0.0, kStackTheta, aspect);
            break;
    }
    return FitScene(scene, 0.0, 0.0, aspect);
}

}  // namespace

int RunRender(const TRenderOptions& o, std::FILE* err) {
    TStderrMessages messages(err);
    TNullProgress progress;
    TLogFile1 project("Deck");
    if (!import::OpenProject(o.Input.toStdString(), o.Import, project, progress, messages))
        return 1;
    TAnalysisSettings settings;
    settings.CellSize = stats::CellSizeInEffect(o.Import.CellSize, project, settings.CellSize);
    if (!o.Busiest && o.Deck > 0 && o.Deck >= project.DeckCount()) {
        std::fprintf(err, "orlex-render: --deck: the file has %d deck(s)\n", project.DeckCount());
        return 2;
    }
    TPlayback playback;
    playback.SetProject(&project);
    const double start = project.TOff;
    const double end = start + static_cast<double>(playback.LastStep()) / playback.StepsPerSecond();
    // The busiest deck is the most crowded one at the first moment drawn.
    const double first =
        o.Kind == TOutputKind::Picture ? o.At.value_or(start) : o.From.value_or(start);
    playback.SeekTo(
        VideoFrameStep({first, first + 1, 1, 1}, project.TOff, playback.StepsPerSecond(), 0));
    const int deck = o.Busiest ? CrowdedDeck(project) : o.Deck;

    TSceneInput scene = ProjectScene(project, deck, 0);
    scene.OriginVisible = o.Origin;
    scene.AllTrails = o.Trails;
    scene.StackAll = o.AllDecks;
    scene.Plan = o.Plan;
    scene.CutAway = static_cast<TCutAway>(o.Cut);
    if (o.DeckSpacing > 0)
        scene.DeckSpacing = StackSpacing(scene.Decks, scene.DeckCount, o.DeckSpacing);
    scene.CellMetres = settings.CellSize;
    // The measurements named, else those beside the project; what cannot be used
    // is named and left out.
    TMeasureSet measures;
    const std::string measurePath =
        o.Measure.isEmpty() ? MeasureFilePathFor(o.Input.toStdString()) : o.Measure.toStdString();
    if (!o.Measure.isEmpty() || QFileInfo::exists(QString::fromStdString(measurePath))) {
        std::vector<std::string> problems;
        const TMetreFrame frame = MetreFrameOf(project, settings.CellSize);
        const bool read = ReadMeasureFile(measurePath, measures, problems);
        if (read)
            CheckMeasuresOnProject(measures, frame, project.DeckCount(), measurePath, problems);
        for (const std::string& problem : problems)
            std::fprintf(err, "orlex-render: %s\n", problem.c_str());
        if (!read && !o.Measure.isEmpty()) return 1;
        scene.Measures = &measures;
        scene.MeasureFrame = frame;
    }
    std::vector<TFloorOverlay> overlays;
    TOverlayKind kind = TOverlayKind::None;
    OverlayKindOf(o.Overlay.toStdString().c_str(), kind);
    if (kind != TOverlayKind::None) {
        std::unique_ptr<TAnalysisResult> result = TEvacuationAnalysis(project, settings).Run();
        if (result) overlays = FloorOverlays(*result, project, kind);
        scene.Overlays = overlays.empty() ? nullptr : overlays.data();
        scene.OverlayCount = static_cast<int>(overlays.size());
    }
    const double aspect =
        static_cast<double>(o.Width) / std::max(1, SceneRows(scene, o.Width, o.Height, o.Caption));
    const TCamera camera = CameraOf(o, project, scene, aspect);
    // The band's words for the moment the playback stands at.
    auto captionNow = [&] {
        TCaption caption;
        caption.Time = QString::fromStdString(TPlayback::TimeText(playback.TimeSeconds));
        caption.Deck = QString::fromStdString(project.GetDeckCaption(scene.CurrentDeck));
        // The cut in the viewer's words.
        if (scene.StackAll && scene.CutAway == TCutAway::All)
            caption.Deck = QStringLiteral("All decks, %1 in full").arg(caption.Deck);
        else if (scene.StackAll && scene.CutAway == TCutAway::ThisAndBelow)
            caption.Deck = QStringLiteral("This deck and below, %1 in full").arg(caption.Deck);
        else if (scene.StackAll)
            caption.Deck = QStringLiteral("Only this deck, %1").arg(caption.Deck);
        return caption;
    };
    TOffscreenView view;
    if (!view.Create()) {
        std::fprintf(err, "orlex-render: cannot draw: %s\n", qPrintable(view.Problem()));
        return 1;
    }

    if (o.Kind == TOutputKind::Picture) {
        scene.StepCounter = playback.StepCounter;
        const TCaption caption = captionNow();
        const QImage image =
            RenderPicture(view, scene, camera, o.Width, o.Height, o.Caption ? &caption : nullptr);
        QString why;
        if (image.isNull()) why = view.Problem();
        if (image.isNull() || !SavePicture(image, o.Output, why)) {
            std::fprintf(err, "orlex-render: cannot write %s: %s\n", qPrintable(o.Output),
                         qPrintable(why));
            return 1;
        }
        return 0;
    }

    TVideoTimes times{o.From.value_or(start), o.To.value_or(end), o.Speed, o.Fps};
    if (const std::string why = CheckVideoTimes(times); !why.empty()) {
        std::fprintf(err, "orlex-render: --from/--to: %s\n", why.c_str());
        return 2;
    }
    TProgressLine line(err);
    if (o.Kind == TOutputKind::Video) {
        TVideoJob job;
        job.Path = o.Output;
        job.Times = times;
        job.Width = o.Width;
        job.Height = o.Height;
        job.Scene = scene;
        job.Camera = camera;
        job.Caption = o.Caption;
        QString why;
        const bool ok = ExportVideo(
            project, playback, job, view,
            [&](int done, int total) {
                line.Show(done, total);
                return true;
            },
            &why);
        if (!ok) {
            std::fprintf(err, "orlex-render: cannot write %s: %s\n", qPrintable(o.Output),
                         qPrintable(why));
            return 1;
        }
        return 0;
    }

    // A numbered series: every frame a file; a failure removes the ones written.
    const int frames = VideoFrameCount(times);
    QStringList written;
    for (int n = 0; n < frames; ++n) {
        playback.SeekTo(VideoFrameStep(times, project.TOff, playback.StepsPerSecond(), n));
        scene.StepCounter = playback.StepCounter;
        const TCaption caption = captionNow();
        const QImage image =
            RenderPicture(view, scene, camera, o.Width, o.Height, o.Caption ? &caption : nullptr);
        const QString path = QString::asprintf(qPrintable(o.Output), n);
        QString why;
        if (image.isNull()) why = view.Problem();
        if (image.isNull() || !SavePicture(image, path, why)) {
            for (const QString& done : written) QFile::remove(done);
            std::fprintf(err, "orlex-render: cannot write %s: %s\n", qPrintable(path),
                         qPrintable(why));
            return 1;
        }
        written << path;
        line.Show(n + 1, frames);
    }
    return 0;
}

}  // namespace orlex::render
