// Pictures and videos of the evacuation drawn offscreen: the frames of a time
// range as an MP4 video, or one picture of one moment.
#pragma once

#include <QImage>
#include <QString>
#include <functional>

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
};

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
