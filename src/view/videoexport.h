// Pictures and videos of the evacuation drawn offscreen: the frames of a time
// range as an MP4 video, or one picture of one moment. Both carry a caption
// band by default (time, deck, the overlay's legend) within their size.
#pragma once

#include <QImage>
#include <QString>
#include <functional>

#include "annotation.h"
#include "camera.h"
#include "scenerenderer.h"
#include "videoplan.h"

namespace orlex {

class TLogFile1;
class TOffscreenView;
class TPlayback;

struct TVideoJob {
    QString Path;  // the .mp4 file
    TVideoTimes Times;
    int Width = 1280;
    int Height = 720;
    // The scene of every frame: deck, origin, trails, pick; its step counter is set
    // per frame.
    TSceneInput Scene;
    TCamera Camera;
    // Follows this person: its deck, and the camera panned to it; -1 for none.
    int FollowPerson = -1;
    // The caption band at the top of every frame (time, deck, legend).
    bool Caption = true;
};

// Whether the overlays of scene have a legend to show.
bool ShowsLegend(const TSceneInput& scene);

// The rows of a w x h picture of scene left to the 3D view below the caption
// band (all of them without a caption).
int SceneRows(const TSceneInput& scene, int w, int h, bool caption);

// One w x h picture of scene. With a caption, its band on top (its overlay
// taken from the scene's deck) and the scene in the rows below; without, the
// scene alone with the overlay's legend in its top right corner. A null image
// when it cannot be drawn (see view.Problem()).
QImage RenderPicture(TOffscreenView& view, const TSceneInput& scene, const TCamera& camera, int w,
                     int h, const TCaption* caption);

// Called after every frame with the frames done and the total; returns false
// to cancel.
using TVideoProgress = std::function<bool(int done, int total)>;

// Draws and encodes the frames of job, seeking playback to the step of each
// frame (its host, if any, is not told: nothing is painted or shot). Playback
// is left at the last frame's step; the caller seeks back. A failure or a
// cancel leaves no file; error then tells why ("Cancelled." for a cancel).
bool ExportVideo(TLogFile1& project, TPlayback& playback, const TVideoJob& job,
                 TOffscreenView& view, const TVideoProgress& progress, QString* error);

}  // namespace orlex
