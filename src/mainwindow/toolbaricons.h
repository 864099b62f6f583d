// Glyphs of the tool-bar buttons, drawn at run time so that they need no files.
#pragma once

#include <QIcon>

namespace orlex {

enum class TToolIcon {
    LoadFile,
    Statistics,
    ResetToStart,
    PlayLoop,
    StepBack,
    StepForward,
    ScreenShotSingle,
    ScreenShotSeries,
    Measure,
};

// The icon with its normal and disabled images.
QIcon ToolBarIcon(TToolIcon kind);

}  // namespace orlex
