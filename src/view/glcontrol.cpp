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

#include "qtmessages.h"

namespace orlex {

namespace {

QSurfaceFormat WantedFormat() {
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

}  // namespace

TGLControl::TGLControl(QWidget* parent) : QOpenGLWidget(parent) {
    setFormat(WantedFormat());
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
    glClearColor(0.0f, 0.0f, 0.2f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    if (LightSet) {
        for (int k = 0; k < kLightSlots; ++k) {
            const TLights& light = LightSet[k];
            const GLenum id = GL_LIGHT0 + static_cast<GLenum>(k);
            if (light.On) {
                glLightfv(id, GL_AMBIENT, light.Ambient);
                glLightfv(id, GL_DIFFUSE, light.Diffuse);
                glLightfv(id, GL_SPECULAR, light.Specular);
                glEnable(id);
            } else {
                glDisable(id);
            }
        }
    }
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    const GLfloat specular[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMateriali(GL_FRONT, GL_SHININESS, 128);
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

void TGLControl::UpdateEye() {
    EyeX = Distance * std::sin(Theta) * std::sin(Phi);
    EyeY = Distance * std::sin(Theta) * std::cos(Phi);
    EyeZ = Distance * std::cos(Theta);
}

void TGLControl::UpdateUp() {
    UpX = std::cos(Theta) * std::sin(Phi);
    UpY = std::cos(Theta) * std::cos(Phi);
    UpZ = -std::sin(Theta);
}

void TGLControl::SetDistance(double d) {
    // An infinite distance would turn the eye into NaN; keep the old one.
    if (std::isinf(d)) return;
    if (std::isnan(d) || d < kMinDistance) d = kMinDistance;
    Distance = d;
    UpdateEye();
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
    if (MouseMode == kMouseRotating) {
        Phi += dx * kRotationPerPixel;
        Theta += dy * kRotationPerPixel;
    } else if (MouseMode == kMouseMoving) {
        const double k = kPanPerPixel * Distance;
        PanX += (std::sin(Phi) * (-dy) + std::cos(Phi) * dx) * k;
        PanY += (std::cos(Phi) * (-dy) - std::sin(Phi) * dx) * k;
    }
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

void TGLControl::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
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
