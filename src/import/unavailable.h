// What a build made without one of its optional libraries says when a file needs it.
#pragma once

#include <string>

#include "trajectories.h"

namespace orlex::import {

// Throws TImportError: "NAME: WHAT are not available in this build (made without LIBRARY)".
[[noreturn]] inline void NotInThisBuild(const std::string& name, const std::string& what,
                                        const std::string& library) {
    throw TImportError(name + ": " + what + " are not available in this build (made without " +
                       library + ")");
}

}  // namespace orlex::import
