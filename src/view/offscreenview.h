// The 3D view without a window: draws the same scene as TCellView3D into a
// framebuffer object of any size and reads it back. The context is Qt's on an
// offscreen surface where the platform offers OpenGL (X11), else a surfaceless
// EGL context (no display server at all).
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "camera.h"
#include "scenerenderer.h"

namespace orlex {

class TOffscreenView {
public:
    TOffscreenView();
    ~TOffscreenView();
    TOffscreenView(const TOffscreenView&) = delete;
    TOffscreenView& operator=(const TOffscreenView&) = delete;

    // Makes the context; false with Problem() saying why. Render calls it when
    // needed.
    bool Create();
    bool IsValid() const;
    QString Problem() const { return Problem_; }
    // Which context draws: "Qt offscreen surface" or "EGL surfaceless".
    QString Backend() const { return Backend_; }

    // The frame of scene seen by camera at w x h pixels; a null image when it
    // cannot be drawn (see Problem()).
    QImage Render(const TSceneInput& scene, const TCamera& camera, int w, int h);
    // The same frame as 8-bit RGB with its rows from the bottom, into rgb (which
    // keeps its memory): the fast way for video frames. False as Render's null image.
    bool RenderRgb(const TSceneInput& scene, const TCamera& camera, int w, int h,
                   std::vector<std::uint8_t>& rgb);
    // Drops what was kept of the persons drawn last (their trails): call it
    // before those persons are released or replaced by another project's.
    void ForgetPersons() { Renderer_.ForgetPersons(); }
    // The overlay drawn last changed in place: upload it again.
    void ForgetOverlay() { Renderer_.ForgetOverlay(); }
    // The persons drawn with a heading outside 1..8 in the last frame.
    const std::vector<int>& BadHeadings() const { return BadHeadings_; }

private:
    struct TContext;
    bool MakeCurrent();
    // Draws the frame into the framebuffer; false with Problem().
    bool Draw(const TSceneInput& scene, const TCamera& camera, int w, int h);
    std::unique_ptr<TContext> Context_;
    TSceneRenderer Renderer_;
    std::vector<int> BadHeadings_;
    QString Problem_;
    QString Backend_;
    bool HasFrame_ = false;
    TCamera LastCamera_;
};

}  // namespace orlex
