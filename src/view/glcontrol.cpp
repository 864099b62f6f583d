#include "glcontrol.h"

#include <GL/gl.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <QTimer>
#include <cmath>
#include <cstdlib>

#include "qtmessages.h"
#include "scenerenderer.h"

namespace orlex {

QSurfaceFormat ViewSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setDepthBufferSize(24);
    return format;
}

TGLControl::TGLControl(QWidget* parent) : QOpenGLWidget(parent) {
    setFormat(ViewSurfaceFormat());
    // Moves without a button held also repaint (the eye is recomputed).
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

TGLControl::~TGLControl() {
    RestoreCursor();
    // The context outlives this part of the object; it must not call back.
    if (QOpenGLContext* ctx = context()) disconnect(ctx, nullptr, this, nullptr);
}

void TGLControl::SetMessages(IMessages* messages) {
    Messages_ = messages;
}

IMessages& TGLControl::Messages() const {
    if (Messages_) return *Messages_;
    if (!OwnMessages_) {
        auto* self = const_cast<TGLControl*>(this);
        self->OwnMessages_ = std::make_unique<TQtMessages>(self->window());
    }
    return *OwnMessages_;
}

// --- context -----------------------------------------------------------------

void TGLControl::initializeGL() {
    InGL_ = true;
    InitAttempted_ = true;
    ContextOk_ = false;
    ContextProblem_.clear();
    QOpenGLContext* ctx = context();
    if (!ctx || !ctx->isValid()) {
        ContextProblem_ = tr("no OpenGL context could be created");
    } else if (ctx->isOpenGLES()) {
        ContextProblem_ =
            tr("only OpenGL ES is available, desktop OpenGL 1.1 with the "
               "compatibility profile is needed");
    } else if (ctx->format().profile() == QSurfaceFormat::CoreProfile) {
        ContextProblem_ =
            tr("only a core profile context is available, the compatibility "
               "profile (fixed-function pipeline) is needed");
    } else if (ctx->format().majorVersion() < 1 ||
               (ctx->format().majorVersion() == 1 && ctx->format().minorVersion() < 1)) {
        ContextProblem_ = tr("OpenGL 1.1 or later is needed");
    } else if (ctx->format().depthBufferSize() == 0) {
        ContextProblem_ = tr("no depth buffer is available");
    }
    if (ctx) {
        disconnect(ctx, &QOpenGLContext::aboutToBeDestroyed, this, nullptr);
        connect(ctx, &QOpenGLContext::aboutToBeDestroyed, this, [this] {
            if (ContextOk_) {
                makeCurrent();
                InGL_ = true;
                ReleaseGL();
                InGL_ = false;
                doneCurrent();
            }
            ContextOk_ = false;
        });
    }
    if (!ContextProblem_.isEmpty()) {
        InGL_ = false;
        // Never a modal box from inside the GL callbacks.
        QTimer::singleShot(0, this, [this] { ReportContextProblem(); });
        return;
    }
    ContextOk_ = true;
    glFrontFace(GL_CCW);
    SetupRC();
    // A context made anew (the widget moved to another window) gets no resize:
    // give it the projection here.
    SetOrtho();
    InGL_ = false;
}

void TGLControl::showEvent(QShowEvent* event) {
    QOpenGLWidget::showEvent(event);
    CheckContextLater();
}

void TGLControl::CheckContextLater() {
    // When no context at all can be created, initializeGL is never called.
    QTimer::singleShot(0, this, [this] {
        if (!InitAttempted_ && isVisible() && width() > 0 && height() > 0) {
            if (!context() || !context()->isValid()) {
                ContextProblem_ = tr("no OpenGL context could be created");
                ReportContextProblem();
            }
        }
    });
}

void TGLControl::ReportContextProblem() {
    if (ContextProblemReported_ || ContextProblem_.isEmpty()) return;
    ContextProblemReported_ = true;
    const QString text = tr("The 3D view cannot be drawn: %1.\n\nThe program goes on without "
                            "the 3D view.")
                             .arg(ContextProblem_);
    Messages().ShowMessage(text.toStdString(), "Error", TMsgIcon::Error, TMsgButtons::Ok);
}

void TGLControl::resizeGL(int, int) {
    // Qt sets the viewport to the widget's size before every paint.
    if (!ContextOk_) return;
    InGL_ = true;
    SetOrtho();
    InGL_ = false;
}

void TGLControl::paintGL() {
    QOpenGLContext* ctx = context();
    if (!ContextOk_) {
        // Nothing can be drawn; at least do not show stale memory.
        if (ctx && ctx->isValid()) {
            QOpenGLFunctions* f = ctx->functions();
            f->glClearColor(0.0f, 0.0f, 0.2f, 1.0f);
            f->glClear(GL_COLOR_BUFFER_BIT);
        }
        return;
    }
    InGL_ = true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFlush();
    RenderScene();
    glFlush();
    InGL_ = false;
}

void TGLControl::Paint() {
    repaint();
}

void TGLControl::Invalidate() {
    update();
}

// --- rendering state ---------------------------------------------------------

void TGLControl::SetupRC() {
    TSceneRenderer::SetupRenderState(LightSet);
}

void TGLControl::SetOrtho() {}

void TGLControl::RenderScene() {}

void TGLControl::IniGL() {}

void TGLControl::ShutDownLights() {
    WithContext([] {
        for (int k = 0; k < kLightSlots; ++k) glDisable(GL_LIGHT0 + static_cast<GLenum>(k));
    });
}

// --- camera ------------------------------------------------------------------

void TGLControl::SetDistance(double d) {
    if (!Camera_.SetDistance(d)) return;
    WithContext([this] { SetOrtho(); });
    Invalidate();
}

// --- mouse -------------------------------------------------------------------

void TGLControl::SetCursorShape(Qt::CursorShape shape) {
    if (CursorOverridden_) {
        QGuiApplication::changeOverrideCursor(QCursor(shape));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(shape));
        CursorOverridden_ = true;
    }
}

void TGLControl::RestoreCursor() {
    if (!CursorOverridden_) return;
    QGuiApplication::restoreOverrideCursor();
    CursorOverridden_ = false;
}

void TGLControl::MouseDown(Qt::MouseButton button, int x, int y) {
    if (!IsControlEnabled) return;
    MouseX = x;
    MouseY = y;
    if (button == Qt::LeftButton) {
        MouseMode = kMouseRotating;
        SetCursorShape(Qt::CrossCursor);
    } else if (button == Qt::RightButton) {
        MouseMode = kMouseMoving;
        SetCursorShape(Qt::PointingHandCursor);
    }
}

void TGLControl::MouseMove(int x, int y) {
    if (!IsControlEnabled) return;
    const double dx = static_cast<double>(x) - MouseX;
    const double dy = static_cast<double>(y) - MouseY;
    if (MouseMode == kMouseRotating)
        Camera_.Rotate(dx, dy);
    else if (MouseMode == kMouseMoving)
        Camera_.Pan(dx, dy);
    MouseX = x;
    MouseY = y;
    UpdateEye();
    UpdateUp();
    WithContext([this] { SetOrtho(); });
    Invalidate();
}

void TGLControl::MouseUp(Qt::MouseButton, int, int) {
    MouseMode = kMouseIdle;
    RestoreCursor();
}

void TGLControl::LeftClick(int, int) {}

void TGLControl::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    LeftPressed_ = IsControlEnabled && event->button() == Qt::LeftButton;
    PressX_ = p.x();
    PressY_ = p.y();
    MouseDown(event->button(), p.x(), p.y());
    event->accept();
}

void TGLControl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseMove(p.x(), p.y());
    event->accept();
}

void TGLControl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseUp(event->button(), p.x(), p.y());
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const bool click = LeftPressed_ && IsControlEnabled &&
                       std::abs(p.x() - PressX_) <= kClickSlop &&
                       std::abs(p.y() - PressY_) <= kClickSlop;
    LeftPressed_ = false;
    if (click) LeftClick(p.x(), p.y());
}

// Keys are not acted on here and not passed on; the main window's shortcuts
// still reach their actions.
void TGLControl::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

void TGLControl::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
}

}  // namespace orlex
