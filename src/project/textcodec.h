// Decoding of the 8-bit caption text of a 3D log file.
#pragma once

#include <string>
#include <string_view>

namespace orlex {

// True when text is well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view text);
// Text written on Windows: UTF-8 when it is valid UTF-8, otherwise Windows-1252.
// The result is UTF-8.
std::string DecodeCaption(std::string_view text);

}  // namespace orlex
