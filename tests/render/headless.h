// A headless drawing fixture: a surfaceless EGL context, a framebuffer object
// and a scene renderer, with helpers to read and classify pixels.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "camera.h"
#include "eglcontext.h"
#include "framebuffer.h"
#include "logfile.h"
#include "scenerenderer.h"

namespace orlex::test {

constexpr int kW = 320, kH = 240;

using TRgb = std::array<int, 3>;

inline TRgb At(const TRgbaPixels& p, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * p.Width + x) * 4;
    return {p.Data[i], p.Data[i + 1], p.Data[i + 2]};
}

inline bool IsBackground(const TRgb& c) {
    return c[0] <= 2 && c[1] <= 2 && std::abs(c[2] - 51) <= 2;
}
inline bool IsGlyphGreen(const TRgb& c) {
    return c[1] > 90 && c[0] < 50 && c[2] < 50;
}
inline bool IsNeutral(const TRgb& c, int minLevel) {
    return std::abs(c[0] - c[1]) <= 3 && std::abs(c[1] - c[2]) <= 3 && c[0] >= minLevel;
}

// A context, a framebuffer and a renderer; skips the test where EGL has no
// surfaceless platform.
class Headless : public testing::Test {
protected:
    void SetUp() override {
        if (!Context_.Create()) GTEST_SKIP() << Context_.Problem();
        Frame_ = std::make_unique<TFramebuffer>(&TEglContext::ProcAddress);
        ASSERT_TRUE(Frame_->Create(kW, kH)) << Frame_->Problem();
        Renderer_.BuildLists();
    }
    void TearDown() override {
        if (!Context_.IsValid()) return;
        Renderer_.ReleaseGL();
        Frame_.reset();
    }

    // The scene of a loaded project, deck 0, as the view shows it.
    TSceneInput SceneOf(TLogFile1& project) {
        TSceneInput scene;
        scene.Decks = project.DeckData();
        scene.DeckCount = project.DeckCount();
        scene.Persons = project.PersonData();
        scene.PersonCount = project.PersonCount();
        scene.LightSet = project.DeckCount() > 0 ? project.Decks[0].Lights : nullptr;
        scene.FieldOfView = 60;
        scene.MaxDim = std::max(project.XMax, project.YMax);
        return scene;
    }
    // Draws twice (the lights lag one frame) and reads the pixels back.
    TRgbaPixels Draw(const TSceneInput& scene, const TCamera& camera,
                     std::vector<int>* bad = nullptr) {
        Renderer_.DrawFrame(scene, camera, kW, kH);
        const std::vector<int>& b = Renderer_.DrawFrame(scene, camera, kW, kH);
        if (bad) *bad = b;
        return Frame_->Read();
    }
    // Window position (y down) of deck point (x, y, z) in the frame drawn last.
    static bool Project(const TCamera& camera, double x, double y, double z, double& sx,
                        double& sy) {
        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        double wz = 0;
        if (!gluProject(x + camera.PanX, y + camera.PanY, z, model, projection, viewport, &sx, &sy,
                        &wz))
            return false;
        sy = viewport[3] - sy;
        return true;
    }
    static TCamera TopView(double x, double y, double distance) {
        TCamera camera;
        camera.SetDistance(distance);
        camera.UpdateUp();
        camera.CentreOn(x, y);
        return camera;
    }

    TEglContext Context_;
    std::unique_ptr<TFramebuffer> Frame_;
    TSceneRenderer Renderer_;
};

}  // namespace orlex::test
