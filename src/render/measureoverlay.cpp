#include "measureoverlay.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "scenerenderer.h"
#include "stack.h"

namespace orlex {

namespace {

// Just above the trails, so that both show where they meet.
constexpr double kMeasureHeight = 0.08;
// The share of a dimmed deck's measurements over what lies behind them.
constexpr float kDimAlpha = 0.55f;

bool Usable(const TMetreFrame& frame) {
    return frame.CellSize > 0 && std::isfinite(frame.CellSize) && std::isfinite(frame.OriginX) &&
           std::isfinite(frame.OriginY);
}

bool OnDeckDrawn(const TSceneInput& scene, int deck, bool shownDeck) {
    if (!DeckShown(scene, deck)) return false;
    return (deck == scene.CurrentDeck) == shownDeck;
}

void Vertex(const TMetreFrame& frame, const TMetrePoint& p, double z) {
    const TFloorPoint f = MetresToDeck(frame, p);
    glVertex3d(f.X, f.Y, z);
}

// Fills a simple polygon, convex or not, through the GLU tessellator.
void FillPolygon(const TMetreFrame& frame, const std::vector<TMetrePoint>& polygon, double z) {
    std::vector<std::array<GLdouble, 3>> points;
    points.reserve(polygon.size());
    for (const TMetrePoint& p : polygon) {
        const TFloorPoint f = MetresToDeck(frame, p);
        points.push_back({f.X, f.Y, z});
    }
    GLUtesselator* tess = gluNewTess();
    if (tess == nullptr) return;
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(&glBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(&glVertex3dv));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(&glEnd));
    gluTessNormal(tess, 0, 0, 1);
    gluTessBeginPolygon(tess, nullptr);
    gluTessBeginContour(tess);
    for (std::array<GLdouble, 3>& p : points) gluTessVertex(tess, p.data(), p.data());
    gluTessEndContour(tess);
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
}

}  // namespace

TFloorPoint MetresToDeck(const TMetreFrame& frame, const TMetrePoint& p) {
    // Column c's middle lies at c + 0.5 - Columns / 2, row r's at Rows / 2 - r - 0.5
    // (the deck's quads and the persons are placed so).
    return {frame.Column(p.X) + 0.5 - frame.Columns / 2, frame.Rows / 2 - frame.Row(p.Y) - 0.5};
}

TMetrePoint DeckToMetres(const TMetreFrame& frame, const TFloorPoint& p) {
    return {frame.X(p.X - 0.5 + frame.Columns / 2), frame.Y(frame.Rows / 2 - p.Y - 0.5)};
}

std::vector<TMetrePoint> RectanglePolygon(const TMetrePoint& a, const TMetrePoint& b) {
    const double west = std::min(a.X, b.X), east = std::max(a.X, b.X);
    const double south = std::min(a.Y, b.Y), north = std::max(a.Y, b.Y);
    return {{west, south}, {east, south}, {east, north}, {west, north}};
}

bool MetresUnderPixel(const TSceneInput& scene, const TCamera& camera, double x, double y, int w,
                      int h, int d, TMetrePoint& out) {
    if (!Usable(scene.MeasureFrame)) return false;
    TRay ray;
    if (!SceneRay(scene, camera, x, y, w, h, ray)) return false;
    const double z = DeckZ(scene, d);
    const double dz = ray.Direction[2];
    if (!(std::fabs(dz) > 1e-12)) return false;
    const double t = (z - ray.Origin[2]) / dz;
    if (!(t >= 0) || !std::isfinite(t)) return false;
    const TFloorPoint floor{ray.Origin[0] + t * ray.Direction[0],
                            ray.Origin[1] + t * ray.Direction[1]};
    out = DeckToMetres(scene.MeasureFrame, floor);
    return std::isfinite(out.X) && std::isfinite(out.Y);
}

bool HasMeasures(const TSceneInput& scene) {
    return Usable(scene.MeasureFrame) &&
           ((scene.Measures && !scene.Measures->Empty()) || (scene.Exits && !scene.Exits->empty()));
}

std::vector<TMeasureLabel> MeasureLabels(const TSceneInput& scene, const TCamera& camera, int w,
                                         int h) {
    std::vector<TMeasureLabel> labels;
    if (!HasMeasures(scene)) return labels;
    const TMetreFrame& frame = scene.MeasureFrame;
    const TMeasureSet none;
    const TMeasureSet& set = scene.Measures ? *scene.Measures : none;
    auto project = [&](int deck, const TMetrePoint& p, double& wx, double& wy) {
        const TFloorPoint f = MetresToDeck(frame, p);
        return ProjectToWindow(scene, camera, f.X, f.Y, DeckZ(scene, deck) + kMeasureHeight, w, h,
                               wx, wy);
    };
    for (const TMeasureLine& line : set.Lines) {
        if (!DeckShown(scene, line.Deck)) continue;
        const TMetrePoint middle{0.5 * (line.From.X + line.To.X), 0.5 * (line.From.Y + line.To.Y)};
        TMeasureLabel label{line.Name, false, line.Deck == scene.CurrentDeck, 0, 0, 0, 0};
        if (!project(line.Deck, middle, label.X, label.Y)) continue;
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (project(line.Deck, line.From, x0, y0) && project(line.Deck, line.To, x1, y1)) {
            const double length = std::hypot(x1 - x0, y1 - y0);
            if (length > 1e-9) {
                label.DirX = (x1 - x0) / length;
                label.DirY = (y1 - y0) / length;
            }
        }
        labels.push_back(label);
    }
    for (const TMeasureArea& area : set.Areas) {
        if (!DeckShown(scene, area.Deck) || area.Polygon.empty()) continue;
        TMeasureLabel label{area.Name, true, area.Deck == scene.CurrentDeck, 0, 0, 0, 0};
        bool any = false;
        // The corner highest in the picture (the leftmost of equals).
        for (const TMetrePoint& p : area.Polygon) {
            double wx = 0, wy = 0;
            if (!project(area.Deck, p, wx, wy)) continue;
            if (!any || wy < label.Y - 0.5 || (std::fabs(wy - label.Y) <= 0.5 && wx < label.X)) {
                label.X = wx;
                label.Y = wy;
            }
            any = true;
        }
        if (any) labels.push_back(label);
    }
    if (scene.Exits) {
        for (const std::size_t i : BusiestExits(*scene.Exits, kMaxShownExits)) {
            const TExitResult& exit = (*scene.Exits)[i];
            if (!DeckShown(scene, exit.Deck) || exit.Cells.empty()) continue;
            TMeasureLabel label{
                "E" + std::to_string(i + 1), true, exit.Deck == scene.CurrentDeck, 0, 0, 0, 0};
            label.Exit = true;
            // Above the north-west corner of its first cell.
            const TCellPlace& c = exit.Cells.front();
            const TMetrePoint corner{frame.X(c.Column - 0.5), frame.Y(c.Row - 0.5)};
            if (project(exit.Deck, corner, label.X, label.Y)) labels.push_back(label);
        }
    }
    return labels;
}

void DrawMeasures(const TSceneInput& scene, bool shownDeck) {
    if (!HasMeasures(scene)) return;
    const TMetreFrame& frame = scene.MeasureFrame;
    const TMeasureSet none;
    const TMeasureSet& set = scene.Measures ? *scene.Measures : none;
    const float alpha = shownDeck ? 1.0f : kDimAlpha;
    // Unlit, and without touching the material the persons are lit with.
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_COLOR_BUFFER_BIT |
                 GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The deck shown carries its measurements over everything on it; the
    // other decks' lie in the scene like their floors.
    if (shownDeck) glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);

    if (scene.Exits) {
        // Each exit cell filled and outlined, under the measurements.
        static constexpr double kCorner[5][2] = {
            {-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}, {-0.5, -0.5}};
        const auto corner = [&](const TCellPlace& c, int k, double z) {
            Vertex(frame, {frame.X(c.Column + kCorner[k][0]), frame.Y(c.Row + kCorner[k][1])}, z);
        };
        const auto corners = [&](const TCellPlace& c, double z) {
            for (int k = 0; k < 4; ++k) corner(c, k, z);
        };
        glLineWidth(1.5f);
        for (const TExitResult& exit : *scene.Exits) {
            if (!OnDeckDrawn(scene, exit.Deck, shownDeck)) continue;
            const double z = DeckZ(scene, exit.Deck) + kMeasureHeight;
            glColor4f(kExitColour[0], kExitColour[1], kExitColour[2], 0.45f * alpha);
            glBegin(GL_QUADS);
            for (const TCellPlace& c : exit.Cells) corners(c, z);
            glEnd();
            glColor4f(kExitColour[0], kExitColour[1], kExitColour[2], alpha);
            // Every outline in one batch: an exit may have many cells.
            glBegin(GL_LINES);
            for (const TCellPlace& c : exit.Cells) {
                for (int k = 0; k < 4; ++k) {
                    corner(c, k, z);
                    corner(c, k + 1, z);
                }
            }
            glEnd();
        }
    }
    for (const TMeasureArea& area : set.Areas) {
        if (!OnDeckDrawn(scene, area.Deck, shownDeck) || area.Polygon.size() < 3) continue;
        const double z = DeckZ(scene, area.Deck) + kMeasureHeight;
        glColor4f(kMeasureAreaColour[0], kMeasureAreaColour[1], kMeasureAreaColour[2],
                  kMeasureFillAlpha * alpha);
        FillPolygon(frame, area.Polygon, z);
        glLineWidth(2.0f);
        glColor4f(kMeasureAreaColour[0], kMeasureAreaColour[1], kMeasureAreaColour[2], alpha);
        glBegin(GL_LINE_LOOP);
        for (const TMetrePoint& p : area.Polygon) Vertex(frame, p, z);
        glEnd();
    }
    glColor4f(kMeasureLineColour[0], kMeasureLineColour[1], kMeasureLineColour[2], alpha);
    for (const TMeasureLine& line : set.Lines) {
        if (!OnDeckDrawn(scene, line.Deck, shownDeck)) continue;
        const double z = DeckZ(scene, line.Deck) + kMeasureHeight;
        glLineWidth(3.0f);
        glBegin(GL_LINES);
        Vertex(frame, line.From, z);
        Vertex(frame, line.To, z);
        glEnd();
        // The ends as dots, so that a short line still shows where it lies.
        glPointSize(7.0f);
        glBegin(GL_POINTS);
        Vertex(frame, line.From, z);
        Vertex(frame, line.To, z);
        glEnd();
    }
    glPopAttrib();
    glLineWidth(1.0f);
    glPointSize(1.0f);
}

}  // namespace orlex
