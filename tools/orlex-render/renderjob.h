// Draws what the options ask for: one picture, a numbered series or a video.
#pragma once

#include <cstdio>

#include "renderoptions.h"

namespace orlex::render {

// 0 when done; 1 for an unreadable input, an unwritable output or a failed
// drawing, with a message on err; 2 for options the file cannot satisfy.
int RunRender(const TRenderOptions& options, std::FILE* err);

}  // namespace orlex::render
