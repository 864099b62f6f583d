#include "overlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>

namespace orlex {

namespace {

constexpr int kTileCells = 1024;     // cells per side of one texture
constexpr float kMapHeight = 0.02f;  // above the floor, below the trails
constexpr float kOutlineHeight = 0.03f;
constexpr int kMargin = 10, kBarWidth = 14, kTick = 4, kLabelGap = 3, kPadding = 5;
constexpr float kCharSize = 6.0f;  // stroked label width; height is 5/3 of it

// Seven segments a..g as bits 0..6: top, upper right, lower right, bottom,
// lower left, upper left, middle.
int SegmentsOf(char c) {
    switch (c) {
        case '0':
            return 0x3F;
        case '1':
            return 0x06;
        case '2':
            return 0x5B;
        case '3':
            return 0x4F;
        case '4':
            return 0x66;
        case '5':
            return 0x6D;
        case '6':
            return 0x7D;
        case '7':
            return 0x07;
        case '8':
            return 0x7F;
        case '9':
            return 0x6F;
        case 'A':
        case 'a':
            return 0x77;
        case 'B':
        case 'b':
            return 0x7C;
        case 'C':
        case 'c':
            return 0x39;
        case 'D':
        case 'd':
            return 0x5E;
        case 'E':
        case 'e':
            return 0x79;
        case 'F':
        case 'f':
            return 0x71;
        case '-':
            return 0x40;
        default:
            return 0;
    }
}

// Each segment as (x0, y0, x1, y1) in a unit cell, y up.
constexpr std::array<std::array<float, 4>, 7> kSegments = {{{0, 1, 1, 1},
                                                            {1, 1, 1, 0.5f},
                                                            {1, 0.5f, 1, 0},
                                                            {0, 0, 1, 0},
                                                            {0, 0, 0, 0.5f},
                                                            {0, 0.5f, 0, 1},
                                                            {0, 0.5f, 1, 0.5f}}};

unsigned PowerOfTwo(int n) {
    unsigned p = 1;
    while (p < static_cast<unsigned>(n)) p <<= 1;
    return p;
}

void Colour(uint32_t rgba, bool opaque) {
    glColor4ub(static_cast<GLubyte>(rgba >> 24), static_cast<GLubyte>(rgba >> 16),
               static_cast<GLubyte>(rgba >> 8), opaque ? 255 : static_cast<GLubyte>(rgba));
}

void DrawLines(const std::vector<float>& segments) {
    if (segments.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, segments.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(segments.size() / 2));
    glDisableClientState(GL_VERTEX_ARRAY);
}

void Rectangle(float x0, float y0, float x1, float y1) {
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
}

float LabelsWidth(const TFloorOverlay& overlay) {
    float widest = 0;
    for (const auto& stop : overlay.Legend)
        widest = std::max(widest, StrokedTextWidth(stop.Label, kCharSize));
    return widest;
}

}  // namespace

bool TFloorOverlay::IsValid() const {
    if (Columns <= 0 || Rows <= 0) return false;
    const std::size_t cells = static_cast<std::size_t>(Columns) * static_cast<std::size_t>(Rows);
    return Rgba.size() == cells && (Outline.empty() || Outline.size() == cells);
}

TOverlayBar OverlayBarOf(const TFloorOverlay& overlay, int w, int h) {
    TOverlayBar bar;
    if (overlay.Legend.size() < 2) return bar;
    bar.Height = std::clamp(h / 3, 60, 240);
    bar.Width = kBarWidth;
    bar.X = w - kMargin - kPadding - kBarWidth;
    bar.Y = h - kMargin - kPadding - bar.Height;
    const float left = bar.X - kTick - kLabelGap - LabelsWidth(overlay) - kPadding;
    bar.Shown = bar.Y - kPadding >= 0 && left >= 0;
    return bar;
}

float StrokedTextWidth(const std::string& text, float size) {
    if (text.empty()) return 0;
    return static_cast<float>(text.size()) * size * 1.5f - size * 0.5f;
}

void AppendStrokedText(const std::string& text, float x, float y, float size,
                       std::vector<float>& out) {
    const float height = size * 5.0f / 3.0f;
    for (char c : text) {
        if (c == '.') {
            out.insert(out.end(), {x + size * 0.4f, y, x + size * 0.6f, y});
        } else {
            const int bits = SegmentsOf(c);
            for (int k = 0; k < 7; ++k) {
                if (!(bits & (1 << k))) continue;
                const auto& s = kSegments[static_cast<std::size_t>(k)];
                out.insert(out.end(), {x + s[0] * size, y + s[1] * height, x + s[2] * size,
                                       y + s[3] * height});
            }
        }
        x += size * 1.5f;
    }
}

void AppendOutlines(const TFloorOverlay& overlay, int xmax, int ymax, std::vector<float>& out) {
    if (!overlay.IsValid() || overlay.Outline.empty()) return;
    const int hx = xmax / 2, hy = ymax / 2;
    for (int r = 0; r < overlay.Rows; ++r) {
        for (int c = 0; c < overlay.Columns; ++c) {
            if (!overlay.Outline[static_cast<std::size_t>(r) * overlay.Columns + c]) continue;
            const float x0 = static_cast<float>(c - hx), x1 = x0 + 1.0f;
            const float y0 = static_cast<float>(hy - r), y1 = y0 - 1.0f;
            out.insert(out.end(), {x0, y0, x1, y0, x1, y0, x1, y1, x1, y1, x0, y1, x0, y1, x0, y0});
        }
    }
}

void TOverlayLayer::Release() {
    for (const TTile& tile : Tiles_) glDeleteTextures(1, &tile.Texture);
    Tiles_.clear();
    Outlines_.clear();
    Key_ = {};
}

void TOverlayLayer::Upload(const TFloorOverlay& overlay, int xmax, int ymax) {
    Release();
    Key_ = {
        &overlay, overlay.Rgba.data(), overlay.Outline.data(), overlay.Columns, overlay.Rows, xmax,
        ymax};
    AppendOutlines(overlay, xmax, ymax, Outlines_);
    std::vector<uint8_t> texels;
    for (int row = 0; row < overlay.Rows; row += kTileCells) {
        for (int column = 0; column < overlay.Columns; column += kTileCells) {
            TTile tile;
            tile.Column = column;
            tile.Row = row;
            tile.Columns = std::min(kTileCells, overlay.Columns - column);
            tile.Rows = std::min(kTileCells, overlay.Rows - row);
            // Sides of a power of two: OpenGL 1.1 takes no others.
            const unsigned pw = PowerOfTwo(tile.Columns), ph = PowerOfTwo(tile.Rows);
            tile.U = static_cast<float>(tile.Columns) / static_cast<float>(pw);
            tile.V = static_cast<float>(tile.Rows) / static_cast<float>(ph);
            texels.assign(std::size_t{pw} * ph * 4, 0);
            for (int r = 0; r < tile.Rows; ++r) {
                const uint32_t* from = overlay.Rgba.data() +
                                       static_cast<std::size_t>(row + r) * overlay.Columns + column;
                uint8_t* to = texels.data() + static_cast<std::size_t>(r) * pw * 4;
                for (int c = 0; c < tile.Columns; ++c, to += 4) {
                    to[0] = static_cast<uint8_t>(from[c] >> 24);
                    to[1] = static_cast<uint8_t>(from[c] >> 16);
                    to[2] = static_cast<uint8_t>(from[c] >> 8);
                    to[3] = static_cast<uint8_t>(from[c]);
                }
            }
            glGenTextures(1, &tile.Texture);
            if (!tile.Texture) continue;
            glBindTexture(GL_TEXTURE_2D, tile.Texture);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(pw),
                         static_cast<GLsizei>(ph), 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
            Tiles_.push_back(tile);
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void TOverlayLayer::DrawFloor(const TFloorOverlay& overlay, int xmax, int ymax) {
    if (!overlay.IsValid()) return;
    const TKey key{
        &overlay, overlay.Rgba.data(), overlay.Outline.data(), overlay.Columns, overlay.Rows, xmax,
        ymax};
    if (!(key == Key_)) Upload(overlay, xmax, ymax);
    const int hx = xmax / 2, hy = ymax / 2;
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Blocks still hide the map, but the map hides nothing drawn after it.
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (const TTile& tile : Tiles_) {
        const float x0 = static_cast<float>(tile.Column - hx);
        const float x1 = static_cast<float>(tile.Column + tile.Columns - hx);
        const float y0 = static_cast<float>(hy - tile.Row);
        const float y1 = static_cast<float>(hy - tile.Row - tile.Rows);
        glBindTexture(GL_TEXTURE_2D, tile.Texture);
        glBegin(GL_QUADS);
        glNormal3f(0.0f, 0.0f, 1.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(x0, y0, kMapHeight);
        glTexCoord2f(0.0f, tile.V);
        glVertex3f(x0, y1, kMapHeight);
        glTexCoord2f(tile.U, tile.V);
        glVertex3f(x1, y1, kMapHeight);
        glTexCoord2f(tile.U, 0.0f);
        glVertex3f(x1, y0, kMapHeight);
        glEnd();
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    if (!Outlines_.empty()) {
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, kOutlineHeight);
        glLineWidth(2.0f);
        glColor3f(0.0f, 0.0f, 0.0f);
        DrawLines(Outlines_);
        glLineWidth(1.0f);
        glPopMatrix();
    }
    glEnable(GL_LIGHTING);
}

void TOverlayLayer::DrawBar(const TFloorOverlay& overlay) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const TOverlayBar bar = OverlayBarOf(overlay, viewport[2], viewport[3]);
    if (!bar.Shown) return;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const float x0 = static_cast<float>(bar.X), x1 = x0 + static_cast<float>(bar.Width);
    const float y0 = static_cast<float>(bar.Y), height = static_cast<float>(bar.Height);
    const float left = x0 - kTick - kLabelGap - LabelsWidth(overlay) - kPadding;
    glColor4f(0.0f, 0.0f, 0.0f, 0.55f);
    glBegin(GL_QUADS);
    Rectangle(left, y0 - kPadding, x1 + kPadding, y0 + height + kPadding);
    glEnd();
    glDisable(GL_BLEND);
    glBegin(GL_QUADS);
    for (std::size_t i = 0; i + 1 < overlay.Legend.size(); ++i) {
        const auto& a = overlay.Legend[i];
        const auto& b = overlay.Legend[i + 1];
        const float ya = y0 + std::clamp(a.At, 0.0f, 1.0f) * height;
        const float yb = y0 + std::clamp(b.At, 0.0f, 1.0f) * height;
        Colour(a.Rgba, true);
        glVertex2f(x0, ya);
        glVertex2f(x1, ya);
        Colour(b.Rgba, true);
        glVertex2f(x1, yb);
        glVertex2f(x0, yb);
    }
    glEnd();

    Strokes_.clear();
    Strokes_.insert(Strokes_.end(), {x0, y0, x1, y0, x1, y0, x1, y0 + height, x1, y0 + height, x0,
                                     y0 + height, x0, y0 + height, x0, y0});
    const float charHeight = kCharSize * 5.0f / 3.0f;
    for (const auto& stop : overlay.Legend) {
        const float y = y0 + std::clamp(stop.At, 0.0f, 1.0f) * height;
        Strokes_.insert(Strokes_.end(), {x0 - kTick, y, x0, y});
        const float width = StrokedTextWidth(stop.Label, kCharSize);
        AppendStrokedText(stop.Label, x0 - kTick - kLabelGap - width, y - charHeight / 2, kCharSize,
                          Strokes_);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    DrawLines(Strokes_);

    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace orlex
