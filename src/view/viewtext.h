// Text over the 3D view that belongs to the scene rather than to an overlay:
// the names of the decks beside the stack, the names of the measurement lines
// and areas, and the scale bar of the plan view in metres. Painted by the
// window's view and into pictures and videos alike.
#pragma once

#include <QRectF>
#include <QString>

#include "camera.h"
#include "scenerenderer.h"

class QPainter;

namespace orlex {

// Whether a frame of scene carries any of this text.
bool HasViewText(const TSceneInput& scene);

// The scale bar of a plan view: a round length in metres and its width in pixels.
struct TScaleBar {
    double Metres = 0;
    double Pixels = 0;
    QString Label;  // "5 m"
    QRectF Box;     // where it stands, in the bottom left corner of the frame
};
// The bar for a plan view of scene through camera at w x h pixels: at most a
// fifth of the width; Metres 0 outside the plan view.
TScaleBar PlanScaleBar(const TSceneInput& scene, const TCamera& camera, int w, int h);

// Paints the measurements' names, the deck names of a stack and the plan's scale
// bar over a w x h frame.
void PaintViewText(QPainter& painter, const TSceneInput& scene, const TCamera& camera, int w,
                   int h);

}  // namespace orlex
