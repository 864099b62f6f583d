// A colour map laid on the floor of the deck shown: one colour per cell, some
// cells outlined, and a colour bar with its scale in the view's top right
// corner. The map is one texture (tiled on huge decks) on a quad spanning the
// deck just above the floor, so its cost per frame does not grow with the cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orlex {

// Packs a colour as 0xRRGGBBAA: red in the highest byte, alpha in the lowest.
constexpr uint32_t OverlayRgba(unsigned r, unsigned g, unsigned b, unsigned a = 255) {
    return (r & 255u) << 24 | (g & 255u) << 16 | (b & 255u) << 8 | (a & 255u);
}

struct TFloorOverlay {
    int Columns = 0;  // the project's columns and rows (XMax, YMax)
    int Rows = 0;
    // Per cell, 0xRRGGBBAA (see OverlayRgba); row r, column c at r * Columns + c,
    // the order of the deck's cells. Alpha 0 leaves the floor as it is.
    std::vector<uint32_t> Rgba;
    // Per cell (same order) or empty: non-zero cells are outlined.
    std::vector<uint8_t> Outline;
    // A colour of the bar at At (0 = bottom, 1 = top) with the text beside it.
    struct TStop {
        float At = 0.0f;
        uint32_t Rgba = 0;
        std::string Label;
    };
    // Bottom to top; fewer than two stops draw no bar.
    std::vector<TStop> Legend;
    // What the map shows; drawn by views that draw text (the bar's labels are
    // stroked here: digits, "A" to "F", "-" and "."; other characters leave a gap).
    std::string Title;

    // True when the cell vectors fit the sides (anything else draws nothing).
    bool IsValid() const;
};

// Where the colour bar lies in a w x h view, in pixels from the bottom left.
struct TOverlayBar {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool Shown = false;
};
TOverlayBar OverlayBarOf(const TFloorOverlay& overlay, int w, int h);

// The 2D line segments (x0, y0, x1, y1, ...) that stroke text with its lower left
// corner at (x, y) and characters size x (size * 5 / 3) high.
void AppendStrokedText(const std::string& text, float x, float y, float size,
                       std::vector<float>& out);
// The width in pixels AppendStrokedText gives text.
float StrokedTextWidth(const std::string& text, float size);

// The floor segments (x0, y0, x1, y1, ...) outlining the marked cells, placed
// like the deck's quads in a project of xmax x ymax cells.
void AppendOutlines(const TFloorOverlay& overlay, int xmax, int ymax, std::vector<float>& out);

// The GL side: the textures of the overlay drawn last, kept until it changes.
class TOverlayLayer {
public:
    TOverlayLayer() = default;
    TOverlayLayer(const TOverlayLayer&) = delete;
    TOverlayLayer& operator=(const TOverlayLayer&) = delete;

    // Draws the map and outlines on the floor (model-view at deck coordinates).
    void DrawFloor(const TFloorOverlay& overlay, int xmax, int ymax);
    // Draws the colour bar over the frame in the current viewport.
    void DrawBar(const TFloorOverlay& overlay);
    // The next draw uploads the overlay again (its cells changed in place).
    void Forget() { Key_ = {}; }
    // Deletes the textures; needs their context current.
    void Release();
    std::size_t TileCount() const { return Tiles_.size(); }

private:
    struct TTile {
        unsigned int Texture = 0;
        int Column = 0, Row = 0, Columns = 0, Rows = 0;  // the cells it holds
        float U = 1.0f, V = 1.0f;                        // their share of the padded texture
    };
    struct TKey {
        const TFloorOverlay* Overlay = nullptr;
        const uint32_t* Rgba = nullptr;
        const uint8_t* Outline = nullptr;
        int Columns = 0, Rows = 0, XMax = 0, YMax = 0;
        bool operator==(const TKey&) const = default;
    };
    void Upload(const TFloorOverlay& overlay, int xmax, int ymax);

    TKey Key_;
    std::vector<TTile> Tiles_;
    std::vector<float> Outlines_;
    std::vector<float> Strokes_;
};

}  // namespace orlex
