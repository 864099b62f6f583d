#include "videoexport.h"

#include <QPainter>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "logfile.h"
#include "offscreenview.h"
#include "playback.h"
#include "videoencoder.h"
#include "viewtext.h"

namespace orlex {

namespace {

// Encodes frames on a thread of its own while the next ones are drawn. At most
// kQueued frames wait, and their buffers go round, so memory stays small and no
// frame costs an allocation.
class TEncoderThread {
public:
    using TFrame = std::vector<uint8_t>;  // RGB rows from the bottom
    static constexpr std::size_t kQueued = 3;

    bool Start(const std::string& path, const TVideoFormat& format) {
        Format_ = format;
        if (!Encoder_.Open(path, format)) return false;
        Thread_ = std::thread([this] { Work(); });
        return true;
    }
    // A buffer to draw the next frame into.
    TFrame Take() {
        std::lock_guard<std::mutex> lock(Mutex_);
        if (Free_.empty()) return {};
        TFrame frame = std::move(Free_.back());
        Free_.pop_back();
        return frame;
    }
    // False once the encoder failed.
    bool Push(TFrame frame) {
        std::unique_lock<std::mutex> lock(Mutex_);
        Room_.wait(lock, [this] { return Queue_.size() < kQueued || Failed_; });
        if (Failed_) return false;
        Queue_.push_back(std::move(frame));
        Ready_.notify_one();
        return true;
    }
    // Encodes what is queued and closes the file (finish) or drops it.
    bool Stop(bool finish) {
        {
            std::lock_guard<std::mutex> lock(Mutex_);
            Done_ = true;
            if (!finish) Queue_.clear();
            Ready_.notify_one();
        }
        if (Thread_.joinable()) Thread_.join();
        if (!finish || Failed_) {
            Encoder_.Abort();
            return false;
        }
        return Encoder_.Finish();
    }
    QString Error() const { return QString::fromStdString(Encoder_.Error()); }

private:
    void Work() {
        const int stride = Format_.Width * 3;
        for (;;) {
            TFrame frame;
            {
                std::unique_lock<std::mutex> lock(Mutex_);
                Ready_.wait(lock, [this] { return !Queue_.empty() || Done_; });
                if (Queue_.empty()) return;
                frame = std::move(Queue_.front());
                Queue_.pop_front();
                Room_.notify_one();
            }
            // The last row first with a negative stride: the picture upright.
            const uint8_t* top =
                frame.data() + static_cast<std::size_t>(Format_.Height - 1) * stride;
            const bool ok = Encoder_.AddFrame(top, -stride);
            std::lock_guard<std::mutex> lock(Mutex_);
            Free_.push_back(std::move(frame));
            if (!ok) {
                Failed_ = true;
                Queue_.clear();
                Room_.notify_one();
                return;
            }
        }
    }

    TVideoFormat Format_;
    TVideoEncoder Encoder_;
    std::thread Thread_;
    std::mutex Mutex_;
    std::condition_variable Ready_;
    std::condition_variable Room_;
    std::deque<TFrame> Queue_;
    std::vector<TFrame> Free_;
    bool Done_ = false;
    bool Failed_ = false;
};

// Puts the scene on the followed person's deck and the camera over it.
void Follow(const TLogFile1& project, int person, TSceneInput& scene, TCamera& camera) {
    if (person < 0 || person >= project.PersonCount()) return;
    const TPersonData& p = project.Persons[static_cast<std::size_t>(person)];
    const int level = p.ShownLevel();
    if (level >= 0 && level < scene.DeckCount) {
        scene.CurrentDeck = level;
        scene.LightSet = project.Decks[static_cast<std::size_t>(level)].Lights;
    }
    camera.CentreOn(p.X, p.Y);
}

// Appends the rows of image (RGB888) to rgb, the last row first.
void AppendRowsBottomUp(const QImage& image, std::vector<uint8_t>& rgb) {
    const auto row = static_cast<std::size_t>(image.width()) * 3;
    std::size_t at = rgb.size();
    rgb.resize(at + row * static_cast<std::size_t>(image.height()));
    for (int y = image.height() - 1; y >= 0; --y, at += row)
        std::copy_n(image.constScanLine(y), row, rgb.data() + at);
}

const TFloorOverlay* LegendOf(const TSceneInput& scene) {
    const TFloorOverlay* overlay = scene.CurrentOverlay();
    return overlay && overlay->HasLegend() ? overlay : nullptr;
}

// One frame of a video as RGB rows from the bottom: the fast way straight from
// the framebuffer, the band drawn apart and put on top.
bool RenderFrame(TOffscreenView& view, const TSceneInput& scene, const TCamera& camera, int w,
                 int h, const TCaption* caption, std::vector<uint8_t>& rgb) {
    if (HasViewText(scene)) {
        // The deck names and the scale bar are painted over the scene.
        const QImage picture = RenderPicture(view, scene, camera, w, h, caption);
        if (picture.isNull()) return false;
        rgb.clear();
        AppendRowsBottomUp(picture.convertToFormat(QImage::Format_RGB888), rgb);
        return true;
    }
    if (caption) {
        const int rows = SceneRows(scene, w, h, true);
        if (!view.RenderRgb(scene, camera, w, rows, rgb)) return false;
        QImage band(w, h - rows, QImage::Format_RGB888);
        QPainter painter(&band);
        TCaption text = *caption;
        text.Overlay = LegendOf(scene);
        PaintCaptionBand(painter, text, w, h);
        painter.end();
        AppendRowsBottomUp(band, rgb);
        return true;
    }
    if (!LegendOf(scene)) return view.RenderRgb(scene, camera, w, h, rgb);
    const QImage picture = RenderPicture(view, scene, camera, w, h, nullptr);
    if (picture.isNull()) return false;
    rgb.clear();
    AppendRowsBottomUp(picture.convertToFormat(QImage::Format_RGB888), rgb);
    return true;
}

}  // namespace

bool ShowsLegend(const TSceneInput& scene) {
    for (int d = 0; scene.Overlays && d < scene.OverlayCount; ++d)
        if (scene.Overlays[d].HasLegend()) return true;
    return false;
}

int SceneRows(const TSceneInput& scene, int w, int h, bool caption) {
    return caption ? h - CaptionBandHeight(w, h, ShowsLegend(scene)) : h;
}

QImage RenderPicture(TOffscreenView& view, const TSceneInput& scene, const TCamera& camera, int w,
                     int h, const TCaption* caption) {
    const int rows = SceneRows(scene, w, h, caption != nullptr);
    QImage picture = view.Render(scene, camera, w, rows);
    if (!picture.isNull() && HasViewText(scene)) {
        QPainter painter(&picture);
        PaintViewText(painter, scene, camera, w, rows);
    }
    if (picture.isNull() || !caption) {
        if (!picture.isNull() && LegendOf(scene)) {
            QPainter painter(&picture);
            PaintLegendBox(painter, *LegendOf(scene), w, h);
        }
        return picture;
    }
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.drawImage(0, h - rows, picture);
    TCaption text = *caption;
    text.Overlay = LegendOf(scene);
    PaintCaptionBand(painter, text, w, h);
    return image;
}

bool ExportVideo(TLogFile1& project, TPlayback& playback, const TVideoJob& job,
                 TOffscreenView& view, const TVideoProgress& progress, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (const std::string why = CheckVideoTimes(job.Times); !why.empty())
        return fail(QString::fromStdString(why));
    const TVideoFormat format{job.Width, job.Height, job.Times.Fps};
    if (const std::string why = CheckVideoFormat(format); !why.empty())
        return fail(QString::fromStdString(why));
    if (!view.Create()) return fail(view.Problem());

    TEncoderThread encoder;
    if (!encoder.Start(job.Path.toStdString(), format)) return fail(encoder.Error());
    IPlaybackHost* host = playback.Host();
    playback.SetHost(nullptr);  // a frame is not a step: nothing painted, no shot
    const int frames = VideoFrameCount(job.Times);
    const int v = playback.StepsPerSecond();
    bool ok = true;
    QString why;
    for (int n = 0; n < frames && ok; ++n) {
        const int step = VideoFrameStep(job.Times, project.TOff, v, n);
        playback.SeekTo(step);
        TSceneInput scene = job.Scene;
        scene.StepCounter = playback.StepCounter;
        TCamera camera = job.Camera;
        Follow(project, job.FollowPerson, scene, camera);
        TCaption caption;
        caption.Time = QString::fromStdString(TPlayback::TimeText(playback.TimeSeconds));
        caption.Deck = QString::fromStdString(project.GetDeckCaption(scene.CurrentDeck));
        TEncoderThread::TFrame frame = encoder.Take();
        if (!RenderFrame(view, scene, camera, job.Width, job.Height,
                         job.Caption ? &caption : nullptr, frame)) {
            ok = false;
            why = view.Problem();
            break;
        }
        if (!encoder.Push(std::move(frame))) {
            ok = false;
            break;
        }
        if (progress && !progress(n + 1, frames)) {
            ok = false;
            why = QStringLiteral("Cancelled.");
        }
    }
    playback.SetHost(host);
    if (!encoder.Stop(ok)) {
        return fail(why.isEmpty() ? encoder.Error() : why);
    }
    return true;
}

}  // namespace orlex
