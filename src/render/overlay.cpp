#include "overlay.h"

#include <GL/gl.h>

#include <algorithm>

namespace orlex {

namespace {

constexpr int kTileCells = 1024;     // cells per side of one texture
constexpr float kMapHeight = 0.02f;  // above the floor, below the trails
constexpr float kOutlineHeight = 0.03f;

unsigned PowerOfTwo(int n) {
    unsigned p = 1;
    while (p < static_cast<unsigned>(n)) p <<= 1;
    return p;
}

void DrawLines(const std::vector<float>& segments) {
    if (segments.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, segments.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(segments.size() / 2));
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace

bool TFloorOverlay::IsValid() const {
    if (Columns <= 0 || Rows <= 0) return false;
    const std::size_t cells = static_cast<std::size_t>(Columns) * static_cast<std::size_t>(Rows);
    return Rgba.size() == cells && (Outline.empty() || Outline.size() == cells);
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
    DrawUploaded(xmax, ymax);
}

void TOverlayLayer::DrawUploaded(int xmax, int ymax) {
    if (Tiles_.empty()) return;
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

}  // namespace orlex
