// The OpenGL view control: owns a rendering context and an orbiting camera
// (TCamera), sets the fixed rendering state and turns mouse drags into camera
// moves. It knows nothing of projects; TCellView3D draws the scene.
#pragma once

#include <QOpenGLWidget>
#include <QString>
#include <QSurfaceFormat>
#include <memory>

#include "camera.h"
#include "interfaces.h"
#include "lights.h"

namespace orlex {

// The surface format the view asks for: OpenGL 2.1, compatibility profile,
// double-buffered RGB with a 24-bit depth buffer.
QSurfaceFormat ViewSurfaceFormat();

class TGLControl : public QOpenGLWidget {
    Q_OBJECT

    // Declared first: the camera fields below are bound to it.
    TCamera Camera_;

public:
    // Mouse modes.
    static constexpr int kMouseIdle = 0;
    static constexpr int kMouseMoving = 1;    // right button held: pan
    static constexpr int kMouseRotating = 3;  // left button held: orbit
    // Radians per pixel of a left drag.
    static constexpr double kRotationPerPixel = TCamera::kRotationPerPixel;
    // Pan per pixel of a right drag, as a fraction of Distance.
    static constexpr double kPanPerPixel = TCamera::kPanPerPixel;
    // Smallest distance SetDistance accepts.
    static constexpr double kMinDistance = TCamera::kMinDistance;

    explicit TGLControl(QWidget* parent = nullptr);
    ~TGLControl() override;

    bool IsControlEnabled = false;  // mouse input is acted on only while true
    int MouseX = 0;
    int MouseY = 0;
    int MouseMode = kMouseIdle;
    // The camera's fields under the control's names.
    double& Phi = Camera_.Phi;      // azimuth, radians, unbounded
    double& Theta = Camera_.Theta;  // polar angle from +z, radians, unbounded
    double& Distance = Camera_.Distance;
    double& EyeX = Camera_.EyeX;
    double& EyeY = Camera_.EyeY;
    double& EyeZ = Camera_.EyeZ;
    double& PanX = Camera_.PanX;
    double& PanY = Camera_.PanY;
    double& UpX = Camera_.UpX;
    double& UpY = Camera_.UpY;
    double& UpZ = Camera_.UpZ;
    // The 8 light slots of the deck shown (borrowed; null for none).
    const TLights* LightSet = nullptr;
    bool OriginVisible = false;

    // Camera distance, at least kMinDistance; recomputes the eye, the projection
    // and schedules a repaint.
    void SetDistance(double d);
    // Draws the frame now (synchronous repaint). Qt folds it into the next
    // frame instead when the window was composed less than a refresh interval
    // ago; screen shots read the frame with grabFramebuffer(), which always draws.
    void Paint();
    // Schedules a repaint.
    void Invalidate();

    // The fixed rendering state and the light slots of LightSet.
    virtual void SetupRC();
    // The projection; nothing here, the scene renderer sets it.
    virtual void SetOrtho();
    // Draws the scene; nothing here.
    virtual void RenderScene();
    // Unused hook.
    virtual void IniGL();
    // Disables all eight lights.
    void ShutDownLights();

    // Screen shot of the view, scaled to width x height, as a JPEG file.
    // Defined in savecanvas.cpp.
    bool SaveCanvasToFile(const QString& fileName, int width, int height,
                          QString* errorText = nullptr);

    // False while no OpenGL context with the features the view needs exists.
    bool HasContext() const { return ContextOk_; }
    // What was missing when HasContext() is false after initialisation (empty otherwise).
    QString ContextProblem() const { return ContextProblem_; }

    // Camera control; the Qt mouse events end here. Positions in widget pixels.
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y);

    // Where errors of the view go (borrowed; null restores the built-in message
    // boxes).
    void SetMessages(IMessages* messages);
    IMessages& Messages() const;

    // Recomputes EyeX/Y/Z from Phi, Theta and Distance.
    void UpdateEye() { Camera_.UpdateEye(); }
    // Recomputes UpX/Y/Z from Phi and Theta.
    void UpdateUp() { Camera_.UpdateUp(); }

    TCamera& Camera() { return Camera_; }
    const TCamera& Camera() const { return Camera_; }

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // Runs fn with this control's context current. Does nothing without a usable
    // context. Inside initializeGL/resizeGL/paintGL the context is already current.
    template <class F>
    void WithContext(F&& fn) {
        if (!ContextOk_) return;
        if (InGL_) {
            fn();
            return;
        }
        makeCurrent();
        InGL_ = true;
        fn();
        InGL_ = false;
        doneCurrent();
    }
    bool InGL() const { return InGL_; }

    // A left click: pressed and released within kClickSlop pixels while the
    // control was enabled. Nothing here.
    virtual void LeftClick(int x, int y);
    static constexpr int kClickSlop = 3;

    // Called when the context is about to go (window change or destruction) with
    // it current: release GL objects here.
    virtual void ReleaseGL() {}

private:
    void SetCursorShape(Qt::CursorShape shape);
    void RestoreCursor();
    void CheckContextLater();
    void ReportContextProblem();

    bool ContextOk_ = false;
    bool InGL_ = false;
    bool CursorOverridden_ = false;
    bool ContextProblemReported_ = false;
    bool InitAttempted_ = false;
    bool LeftPressed_ = false;  // a left press that may still become a click
    int PressX_ = 0;
    int PressY_ = 0;
    QString ContextProblem_;
    IMessages* Messages_ = nullptr;
    std::unique_ptr<IMessages> OwnMessages_;
};

}  // namespace orlex
