// The person glyph: an upright prism of height 6 over an equilateral triangle
// of side 1, apex along +y, and its copies turned to the eight headings.
#pragma once

namespace orlex {

inline constexpr float kPersonHeight = 6.0f;

// The six corners of the glyph: A, B, C on the floor, then A, B, C on top.
inline constexpr float kGlyphCorners[6][3] = {
    {-0.5f, -0.289f, 0},
    {0.5f, -0.289f, 0},
    {0.0f, 0.577f, 0},
    {-0.5f, -0.289f, kPersonHeight},
    {0.5f, -0.289f, kPersonHeight},
    {0.0f, 0.577f, kPersonHeight},
};

struct TGlyphFace {
    int Count;      // 3: a triangle, 4: a quad
    int Corner[4];  // into kGlyphCorners, in drawing order
    float Normal[3];
};

// The glyph faces in list order: bottom, top, then the three sides.
inline constexpr TGlyphFace kGlyphFaces[5] = {
    {3, {0, 2, 1, 0}, {0, 0, -1}},          {3, {3, 4, 5, 0}, {0, 0, 1}},
    {4, {0, 1, 4, 3}, {0, -1, 0}},          {4, {2, 0, 3, 5}, {-0.866f, 0.866f, 0}},
    {4, {1, 2, 5, 4}, {0.866f, 0.866f, 0}},
};

// The glyph turned by a heading's angle.
struct TTurnedGlyph {
    float Corners[6][3];
    float Normals[5][3];
};

// Degrees about +z that turn the glyph to heading 1..8; -1 for any other heading.
int HeadingAngle(int heading);
// The glyph turned to heading 1..8; unturned for any other heading.
const TTurnedGlyph& TurnedGlyph(int heading);
// Draws the glyph at (x, y) turned to heading, in the current colour.
void DrawGlyph(int heading, float x, float y);
// Compiles the glyph, the way a display list draws it, into the list given.
void CompileGlyphList(unsigned int list);
// Compiles the origin marker (three arrows and a ball) into the list given.
void CompileOriginList(unsigned int list);

}  // namespace orlex
