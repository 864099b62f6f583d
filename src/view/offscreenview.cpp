#include "offscreenview.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include "eglcontext.h"
#include "framebuffer.h"
#include "glcontrol.h"

namespace orlex {

namespace {

// The lights lag one frame behind the camera (their positions are given after
// the persons are drawn); a frame for another camera than the last one is
// drawn twice, as the view would show it once it has settled.
bool SameView(const TCamera& a, const TCamera& b) {
    return a.EyeX == b.EyeX && a.EyeY == b.EyeY && a.EyeZ == b.EyeZ && a.UpX == b.UpX &&
           a.UpY == b.UpY && a.UpZ == b.UpZ && a.PanX == b.PanX && a.PanY == b.PanY;
}

QString ProblemOf(const QOpenGLContext& ctx) {
    const QSurfaceFormat f = ctx.format();
    if (ctx.isOpenGLES()) return QStringLiteral("only OpenGL ES is available");
    if (f.profile() == QSurfaceFormat::CoreProfile)
        return QStringLiteral("only a core profile context is available");
    return {};
}

}  // namespace

struct TOffscreenView::TContext {
    std::unique_ptr<QOpenGLContext> Qt;
    std::unique_ptr<QOffscreenSurface> Surface;
    std::unique_ptr<TEglContext> Egl;
    std::unique_ptr<TFramebuffer> Frame;
};

TOffscreenView::TOffscreenView() = default;

TOffscreenView::~TOffscreenView() {
    if (Context_ && MakeCurrent()) {
        Renderer_.ReleaseGL();
        Context_->Frame.reset();
        if (Context_->Qt) Context_->Qt->doneCurrent();
    }
}

bool TOffscreenView::IsValid() const {
    return Context_ != nullptr;
}

bool TOffscreenView::MakeCurrent() {
    if (!Context_) return false;
    if (Context_->Qt) return Context_->Qt->makeCurrent(Context_->Surface.get());
    return Context_->Egl->MakeCurrent();
}

bool TOffscreenView::Create() {
    if (Context_) return true;
    auto context = std::make_unique<TContext>();
    QString qtProblem = QStringLiteral("no Qt application");
    if (QGuiApplication::instance()) {
        auto qt = std::make_unique<QOpenGLContext>();
        qt->setFormat(ViewSurfaceFormat());
        if (qt->create()) {
            qtProblem = ProblemOf(*qt);
            auto surface = std::make_unique<QOffscreenSurface>();
            surface->setFormat(qt->format());
            surface->create();
            if (qtProblem.isEmpty() && !(surface->isValid() && qt->makeCurrent(surface.get())))
                qtProblem = QStringLiteral("the offscreen surface cannot be used");
            if (qtProblem.isEmpty()) {
                QOpenGLContext* raw = qt.get();
                context->Frame = std::make_unique<TFramebuffer>([raw](const char* name) {
                    return reinterpret_cast<void*>(raw->getProcAddress(name));
                });
                context->Qt = std::move(qt);
                context->Surface = std::move(surface);
                Backend_ = QStringLiteral("Qt offscreen surface");
            }
        } else {
            qtProblem = QStringLiteral("the platform \"%1\" offers no OpenGL context")
                            .arg(QGuiApplication::platformName());
        }
    }
    if (!context->Qt) {
        auto egl = std::make_unique<TEglContext>();
        if (!egl->Create()) {
            Problem_ = QStringLiteral("no OpenGL context for drawing without a window: %1; %2")
                           .arg(qtProblem, QString::fromStdString(egl->Problem()));
            return false;
        }
        context->Frame = std::make_unique<TFramebuffer>(&TEglContext::ProcAddress);
        context->Egl = std::move(egl);
        Backend_ = QStringLiteral("EGL surfaceless");
    }
    Context_ = std::move(context);
    Problem_.clear();
    Renderer_.BuildLists();
    HasFrame_ = false;
    return true;
}

bool TOffscreenView::Draw(const TSceneInput& scene, const TCamera& camera, int w, int h) {
    BadHeadings_.clear();
    if (!Create() || !MakeCurrent()) {
        if (Problem_.isEmpty()) Problem_ = QStringLiteral("the offscreen context was lost");
        return false;
    }
    TFramebuffer& frame = *Context_->Frame;
    if (frame.Width() != w || frame.Height() != h) {
        if (!frame.Create(w, h)) {
            Problem_ = QString::fromStdString(frame.Problem());
            return false;
        }
    } else {
        frame.Bind();
    }
    const int passes = HasFrame_ && SameView(camera, LastCamera_) ? 1 : 2;
    for (int k = 0; k < passes; ++k) BadHeadings_ = Renderer_.DrawFrame(scene, camera, w, h);
    HasFrame_ = true;
    LastCamera_ = camera;
    return true;
}

QImage TOffscreenView::Render(const TSceneInput& scene, const TCamera& camera, int w, int h) {
    if (!Draw(scene, camera, w, h)) return {};
    const TRgbaPixels pixels = Context_->Frame->Read();
    if (pixels.Data.empty()) return {};
    const QImage image(pixels.Data.data(), pixels.Width, pixels.Height, pixels.Width * 4,
                       QImage::Format_RGBA8888);
    return image.convertToFormat(QImage::Format_RGB32);
}

bool TOffscreenView::RenderRgb(const TSceneInput& scene, const TCamera& camera, int w, int h,
                               std::vector<std::uint8_t>& rgb) {
    return Draw(scene, camera, w, h) && Context_->Frame->ReadRgbBottomUp(rgb);
}

}  // namespace orlex
