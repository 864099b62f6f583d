// One light slot of a deck. Every deck has eight; a slot that is on becomes
// one OpenGL light (GL_LIGHT0 + slot index) while its deck is shown.
#pragma once

namespace orlex {

struct TLights {
    bool On = false;
    float Ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    float Diffuse[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    float Specular[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    float Position[4] = {0.0f, 0.0f, 10.0f, 1.0f};
};

inline constexpr int kLightSlots = 8;
// Divisor of a deck's size in the default grid of lights, in cells.
inline constexpr int LightSpacing = 100;

}  // namespace orlex
