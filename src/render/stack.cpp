#include "stack.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "deck.h"
#include "picking.h"
#include "quadgroups.h"
#include "scenerenderer.h"

namespace orlex {

namespace {

double Dot(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The unit vectors of the view as gluLookAt makes them from the camera.
struct TViewAxes {
    double Forward[3], Side[3], Up[3];
    explicit TViewAxes(const TCamera& c) {
        double f[3] = {-c.EyeX, -c.EyeY, -c.EyeZ};
        const double fl = std::sqrt(Dot(f, f));
        for (double& v : f) v /= fl > 0 ? fl : 1;
        const double u[3] = {c.UpX, c.UpY, c.UpZ};
        double s[3] = {f[1] * u[2] - f[2] * u[1], f[2] * u[0] - f[0] * u[2],
                       f[0] * u[1] - f[1] * u[0]};
        const double sl = std::sqrt(Dot(s, s));
        for (double& v : s) v /= sl > 0 ? sl : 1;
        std::copy(f, f + 3, Forward);
        std::copy(s, s + 3, Side);
        Up[0] = s[1] * f[2] - s[2] * f[1];
        Up[1] = s[2] * f[0] - s[0] * f[2];
        Up[2] = s[0] * f[1] - s[1] * f[0];
    }
};

double HalfFieldTan(const TSceneInput& scene) {
    return std::tan(scene.FieldOfView * M_PI / 360.0);
}

}  // namespace

TFloorOverlay DeckFloorMap(const TDeck& deck, int xmax, int ymax, float alpha) {
    TFloorOverlay map;
    if (xmax <= 0 || ymax <= 0) return map;
    map.Columns = xmax;
    map.Rows = ymax;
    map.Rgba.assign(static_cast<std::size_t>(xmax) * static_cast<std::size_t>(ymax), 0u);
    // Darker than the lit deck shown, as a dimmed deck should be.
    constexpr float kShade = 0.55f;
    const unsigned a = static_cast<unsigned>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255));
    const int hx = xmax / 2, hy = ymax / 2;
    for (const TQuad& q : deck.Quads) {
        if (QuadDirection(q) != 4) continue;
        float x0 = q.Vertices[0][0], x1 = x0, y0 = q.Vertices[0][1], y1 = y0;
        for (const auto& v : q.Vertices) {
            x0 = std::min(x0, v[0]), x1 = std::max(x1, v[0]);
            y0 = std::min(y0, v[1]), y1 = std::max(y1, v[1]);
        }
        const int c0 = std::max(0, static_cast<int>(std::lround(x0 + hx)));
        const int c1 = std::min(xmax, static_cast<int>(std::lround(x1 + hx)));
        const int r0 = std::max(0, static_cast<int>(std::lround(hy - y1)));
        const int r1 = std::min(ymax, static_cast<int>(std::lround(hy - y0)));
        auto channel = [&](int k) {
            return static_cast<unsigned>(
                std::lround(std::clamp(q.Color[k] * kShade, 0.0f, 1.0f) * 255));
        };
        const uint32_t rgba = OverlayRgba(channel(0), channel(1), channel(2), a);
        for (int r = r0; r < r1; ++r)
            std::fill_n(map.Rgba.begin() + static_cast<std::ptrdiff_t>(r) * xmax + c0,
                        std::max(0, c1 - c0), rgba);
    }
    return map;
}

double StackSpacing(const TDeck* decks, int count, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) factor = kDefaultDeckSpacing;
    double block = 0;
    for (int d = 0; decks && d < count; ++d)
        if (std::isfinite(decks[d].BlockHeight))
            block = std::max<double>(block, decks[d].BlockHeight);
    if (!(block > 0)) block = 3.0;
    return factor * block;
}

bool DeckShown(const TSceneInput& scene, int d) {
    if (d < 0 || d >= scene.DeckCount) return false;
    if (!scene.StackAll) return d == scene.CurrentDeck;
    if (static_cast<std::size_t>(d) < scene.HiddenDecks.size() &&
        scene.HiddenDecks[static_cast<std::size_t>(d)])
        return false;
    switch (scene.CutAway) {
        case TCutAway::ThisAndBelow:
            return d <= scene.CurrentDeck;
        case TCutAway::OnlyThis:
            return d == scene.CurrentDeck;
        case TCutAway::All:
            break;
    }
    return true;
}

double DeckZ(const TSceneInput& scene, int d) {
    if (!scene.StackAll) return 0.0;
    return (d - (scene.DeckCount - 1) * 0.5) * scene.DeckSpacing;
}

void StackRange(const TSceneInput& scene, double& lowZ, double& highZ) {
    lowZ = highZ = 0;
    if (!scene.StackAll || scene.DeckCount <= 0) return;
    lowZ = DeckZ(scene, 0);
    highZ = DeckZ(scene, scene.DeckCount - 1);
}

TCamera ViewCamera(const TSceneInput& scene, const TCamera& camera) {
    if (!scene.Plan) return camera;
    TCamera plan = camera;
    plan.Theta = 0;
    plan.UpdateEye();
    plan.UpdateUp();
    return plan;
}

double PlanHalfHeight(const TSceneInput& scene, const TCamera& camera) {
    return camera.Distance * HalfFieldTan(scene);
}

double SceneFarPlane(const TSceneInput& scene, const TCamera& camera) {
    double farPlane = camera.FarPlane(scene.MaxDim);
    if (scene.StackAll) {
        double low = 0, high = 0;
        StackRange(scene, low, high);
        farPlane += high - low;
    }
    return farPlane;
}

bool SceneRay(const TSceneInput& scene, const TCamera& camera, double x, double y, int w, int h,
              TRay& ray) {
    if (scene.FieldOfView <= 0) return false;
    const TCamera view = ViewCamera(scene, camera);
    if (!scene.Plan) return view.ScreenRay(x, y, w, h, scene.FieldOfView, ray);
    if (w <= 0 || h <= 0) return false;
    // Parallel rays from the plane of the eye, straight down.
    const TViewAxes axes(view);
    const double halfHeight = PlanHalfHeight(scene, view);
    const double halfWidth = halfHeight * static_cast<double>(w) / h;
    const double nx = (2.0 * x / w - 1.0) * halfWidth;
    const double ny = (1.0 - 2.0 * y / h) * halfHeight;
    const double eye[3] = {view.EyeX - view.PanX, view.EyeY - view.PanY, view.EyeZ};
    for (int k = 0; k < 3; ++k) {
        ray.Origin[k] = eye[k] + nx * axes.Side[k] + ny * axes.Up[k];
        ray.Direction[k] = axes.Forward[k];
    }
    // Far enough above everything drawn.
    double low = 0, high = 0;
    StackRange(scene, low, high);
    ray.Origin[2] = std::max(ray.Origin[2], high + 10.0);
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(ray.Origin[k]) || !std::isfinite(ray.Direction[k])) return false;
    return true;
}

bool ProjectToWindow(const TSceneInput& scene, const TCamera& camera, double x, double y, double z,
                     int w, int h, double& wx, double& wy) {
    if (w <= 0 || h <= 0 || scene.FieldOfView <= 0) return false;
    const TCamera view = ViewCamera(scene, camera);
    const TViewAxes axes(view);
    const double p[3] = {x + view.PanX - view.EyeX, y + view.PanY - view.EyeY, z - view.EyeZ};
    const double across = Dot(p, axes.Side), high = Dot(p, axes.Up), depth = Dot(p, axes.Forward);
    double halfHeight = 0;
    if (scene.Plan) {
        halfHeight = PlanHalfHeight(scene, view);
    } else {
        if (!(depth > 1e-9)) return false;
        halfHeight = depth * HalfFieldTan(scene);
    }
    const double halfWidth = halfHeight * static_cast<double>(w) / h;
    if (!(halfHeight > 0)) return false;
    wx = (across / halfWidth + 1.0) * 0.5 * w;
    wy = (1.0 - high / halfHeight) * 0.5 * h;
    return std::isfinite(wx) && std::isfinite(wy);
}

double PlanUnitsPerPixel(const TSceneInput& scene, const TCamera& camera, int h) {
    if (!scene.Plan || h <= 0 || scene.FieldOfView <= 0) return 0;
    return 2.0 * PlanHalfHeight(scene, camera) / h;
}

int PickInScene(const TSceneInput& scene, const TRay& ray) {
    if (!scene.StackAll)
        return PickPerson(scene.Persons, scene.PersonCount, scene.CurrentDeck, ray);
    int best = -1;
    double nearest = std::numeric_limits<double>::infinity();
    for (int d = 0; d < scene.DeckCount; ++d) {
        if (!DeckShown(scene, d)) continue;
        TRay onDeck = ray;
        onDeck.Origin[2] -= DeckZ(scene, d);
        double t = 0;
        const int hit = PickPerson(scene.Persons, scene.PersonCount, d, onDeck, &t);
        // The deck shown lies over the others in the picture: its persons win.
        if (hit >= 0 && d == scene.CurrentDeck) return hit;
        if (hit >= 0 && t < nearest) {
            nearest = t;
            best = hit;
        }
    }
    return best;
}

int LastLevelChange(const TPersonData& person, int stepCounter) {
    if (person.ShownLevel() < 0 || stepCounter <= 0 || stepCounter > person.StepCount) return 0;
    return person.GetStep(stepCounter - 1).LevelChange;
}

std::vector<TDeckLabel> DeckLabels(const TSceneInput& scene, const TCamera& camera, int w, int h) {
    std::vector<TDeckLabel> labels;
    if (!scene.StackAll) return labels;
    // The cells run from x = -(XMax / 2) and from y = YMax / 2 down (whole halves).
    const double x = -(scene.XMax / 2);
    const double top = scene.YMax / 2;
    const double middle = top - 0.5 * scene.YMax;
    const double bottom = top - scene.YMax;
    // The names stand in one column left of every deck drawn, each level with the
    // middle of its deck's low-x end.
    double column = std::numeric_limits<double>::infinity();
    for (int d = 0; d < scene.DeckCount; ++d) {
        if (!DeckShown(scene, d)) continue;
        TDeckLabel label;
        label.Deck = d;
        const double z = DeckZ(scene, d);
        if (!ProjectToWindow(scene, camera, x, middle, z, w, h, label.X, label.Y)) continue;
        for (const double y : {top, bottom}) {
            double cx = 0, cy = 0;
            if (ProjectToWindow(scene, camera, x, y, z, w, h, cx, cy))
                label.X = std::min(label.X, cx);
        }
        column = std::min(column, label.X);
        labels.push_back(label);
    }
    for (TDeckLabel& label : labels) label.X = column;
    return labels;
}

}  // namespace orlex
