// PeTrack and PedPy trajectory text: rows "id frame x y [z ...]" with "#" comments.
#pragma once

#include <string>
#include <string_view>

#include "trajectories.h"

namespace orlex::import {

enum class TLengthUnit { Unknown, Metre, Centimetre };

struct TTextOptions {
    double Fps = 0;                           // 0: from the file's "framerate" comment
    TLengthUnit Unit = TLengthUnit::Unknown;  // Unknown: from the file's comments
};

// The frame rate a comment line gives (its first number after "framerate"), or 0.
double FrameRateOfComment(std::string_view line);
// The length unit a comment line names ("x/cm", "in cm", "x/m", "in m").
TLengthUnit UnitOfComment(std::string_view line);

// Reads text already in memory; name is used in messages. Throws TImportError.
TTrajectorySet ParsePeTrackText(std::string_view text, const std::string& name,
                                const TTextOptions& options);
// Reads a file (mapped into memory). Throws TImportError.
TTrajectorySet ReadPeTrackFile(const std::string& path, const TTextOptions& options);

}  // namespace orlex::import
