// A colour map laid on the floor of the deck shown: one colour per cell, some
// cells outlined, and the legend that explains the colours (painted with a
// font by the views, over the frame). The map is one texture (tiled on huge
// decks) on a quad spanning the deck just above the floor, so its cost per
// frame does not grow with the cells.
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
    // A colour of the legend at At (0 = low end, 1 = high end) with its label (UTF-8).
    struct TStop {
        float At = 0.0f;
        uint32_t Rgba = 0;
        std::string Label;
    };
    // Low to high. A continuous scale blends from stop to stop and needs two of
    // them; discrete classes (Discrete) are one band of equal size each.
    std::vector<TStop> Legend;
    bool Discrete = false;
    // What the map shows, with its unit (UTF-8).
    std::string Title;

    // True when the cell vectors fit the sides (anything else draws nothing).
    bool IsValid() const;
    // True when there is a legend to show.
    bool HasLegend() const { return Legend.size() >= (Discrete ? 1u : 2u); }
};

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
    // Draws what the last DrawFloor uploaded, without its overlay (which may be
    // gone since); nothing before the first upload or after Release.
    void DrawUploaded(int xmax, int ymax);
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
};

}  // namespace orlex
