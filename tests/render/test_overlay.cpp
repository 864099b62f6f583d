// The floor overlay: where its cells and outlines land, and what a frame shows
// with it (pixels read back from a headless context).
#include <gtest/gtest.h>

#include <vector>

#include "headless.h"
#include "overlay.h"
#include "projects.h"

using namespace orlex;

namespace {

using namespace orlex::test;

// Deck point of the centre of cell (column, row), placed like the deck's quads.
void CellCentre(int column, int row, int xmax, int ymax, double& x, double& y) {
    x = column - xmax / 2 + 0.5;
    y = ymax / 2 - row - 0.5;
}

TFloorOverlay Blank(int columns, int rows) {
    TFloorOverlay overlay;
    overlay.Columns = columns;
    overlay.Rows = rows;
    overlay.Rgba.assign(static_cast<std::size_t>(columns) * rows, 0);
    return overlay;
}

TEST(Overlay, ValidOnlyWhenTheCellsFitTheSides) {
    struct TCase {
        int Columns, Rows;
        std::size_t Colours, Outlines;
        bool Valid;
    };
    const TCase cases[] = {
        {6, 4, 24, 0, true},  {6, 4, 24, 24, true}, {6, 4, 23, 0, false},
        {6, 4, 24, 5, false}, {0, 4, 0, 0, false},  {-6, -4, 24, 0, false},
    };
    for (const TCase& c : cases) {
        TFloorOverlay overlay;
        overlay.Columns = c.Columns;
        overlay.Rows = c.Rows;
        overlay.Rgba.assign(c.Colours, 0);
        overlay.Outline.assign(c.Outlines, 1);
        EXPECT_EQ(overlay.IsValid(), c.Valid) << c.Columns << "x" << c.Rows << " " << c.Colours;
        std::vector<float> lines;
        AppendOutlines(overlay, c.Columns, c.Rows, lines);
        if (!c.Valid) {
            EXPECT_TRUE(lines.empty());
        }
    }
    EXPECT_EQ(OverlayRgba(0x12, 0x34, 0x56, 0x78), 0x12345678u);
    EXPECT_EQ(OverlayRgba(1, 2, 3), 0x010203FFu);
}

// The outline of a cell is the square the deck's quad of that cell covers.
TEST(Overlay, OutlinesCoverTheirCell) {
    struct TCase {
        int XMax, YMax, Column, Row;
        float X0, Y0;  // the cell's top left corner
    };
    const TCase cases[] = {
        {6, 4, 0, 0, -3, 2},
        {6, 4, 5, 3, 2, -1},
        {7, 5, 3, 2, 0, 0},
        {1, 1, 0, 0, 0, 0},
    };
    for (const TCase& c : cases) {
        TFloorOverlay overlay = Blank(c.XMax, c.YMax);
        overlay.Outline.assign(overlay.Rgba.size(), 0);
        overlay.Outline[static_cast<std::size_t>(c.Row) * c.XMax + c.Column] = 1;
        std::vector<float> lines;
        AppendOutlines(overlay, c.XMax, c.YMax, lines);
        ASSERT_EQ(lines.size(), 16u);
        float minX = lines[0], maxX = lines[0], minY = lines[1], maxY = lines[1];
        for (std::size_t i = 0; i < lines.size(); i += 2) {
            minX = std::min(minX, lines[i]), maxX = std::max(maxX, lines[i]);
            minY = std::min(minY, lines[i + 1]), maxY = std::max(maxY, lines[i + 1]);
        }
        EXPECT_EQ(minX, c.X0) << c.Column << "," << c.Row;
        EXPECT_EQ(maxX, c.X0 + 1);
        EXPECT_EQ(maxY, c.Y0);
        EXPECT_EQ(minY, c.Y0 - 1);
        double x = 0, y = 0;
        CellCentre(c.Column, c.Row, c.XMax, c.YMax, x, y);
        EXPECT_EQ(x, c.X0 + 0.5);
        EXPECT_EQ(y, c.Y0 - 0.5);
    }
}

// Two decks of 6 x 4 (white floor in a ring of blocks), one person at cell (1, 1).
class OverlayFrame : public Headless {
protected:
    void SetUp() override {
        Headless::SetUp();
        if (IsSkipped()) return;
        Loaded_ = LoadText(ProjectText({"A", "B"}, 1, {"S"}));
        ASSERT_TRUE(Loaded_.Project);
        Scene_ = SceneOf(*Loaded_.Project);
        Scene_.XMax = Loaded_.Project->XMax;
        Scene_.YMax = Loaded_.Project->YMax;
    }
    TRgb Pixel(const TRgbaPixels& p, double x, double y, double z = 0.0) {
        double sx = 0, sy = 0;
        EXPECT_TRUE(Project(Camera_, x, y, z, sx, sy));
        return At(p, static_cast<int>(sx), static_cast<int>(sy));
    }
    TRgb CellPixel(const TRgbaPixels& p, int column, int row) {
        double x = 0, y = 0;
        CellCentre(column, row, Scene_.XMax, Scene_.YMax, x, y);
        return Pixel(p, x, y);
    }
    TRgbaPixels DrawWith(const std::vector<TFloorOverlay>& overlays) {
        Scene_.Overlays = overlays.data();
        Scene_.OverlayCount = static_cast<int>(overlays.size());
        return Draw(Scene_, Camera_);
    }

    TLoaded Loaded_;
    TSceneInput Scene_;
    TCamera Camera_ = TopView(0, 0, 20);
};

void ExpectBlend(const TRgb& floor, uint32_t rgba, const TRgb& seen) {
    const double a = (rgba & 255u) / 255.0;
    const int colour[3] = {static_cast<int>(rgba >> 24), static_cast<int>(rgba >> 16 & 255u),
                           static_cast<int>(rgba >> 8 & 255u)};
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(seen[k], floor[k] * (1 - a) + colour[k] * a, 3.0)
            << "channel " << k << ": floor " << floor[k];
}

TEST_F(OverlayFrame, CellShowsItsColourBlendedOverTheFloor) {
    const TRgbaPixels plain = DrawWith({});
    const TRgb floor = CellPixel(plain, 4, 1);
    ASSERT_TRUE(IsNeutral(floor, 60));
    struct TCase {
        uint32_t Rgba;
    };
    const TCase cases[] = {{OverlayRgba(255, 0, 0, 128)},
                           {OverlayRgba(0, 200, 255, 64)},
                           {OverlayRgba(20, 255, 20, 255)},
                           {OverlayRgba(255, 255, 255, 0)}};
    for (const TCase& c : cases) {
        std::vector<TFloorOverlay> overlays{Blank(6, 4)};
        overlays[0].Rgba[1 * 6 + 4] = c.Rgba;
        Renderer_.ForgetOverlay();
        const TRgbaPixels pixels = DrawWith(overlays);
        ExpectBlend(floor, c.Rgba, CellPixel(pixels, 4, 1));
        // The neighbours keep the floor; blocks stay on top of the map.
        EXPECT_EQ(CellPixel(pixels, 3, 1), CellPixel(plain, 3, 1));
        EXPECT_EQ(CellPixel(pixels, 4, 2), CellPixel(plain, 4, 2));
    }
}

TEST_F(OverlayFrame, BlocksHideTheMap) {
    const TRgbaPixels plain = DrawWith({});
    std::vector<TFloorOverlay> overlays{Blank(6, 4)};
    for (uint32_t& c : overlays[0].Rgba) c = OverlayRgba(255, 0, 0, 200);
    const TRgbaPixels pixels = DrawWith(overlays);
    double x = 0, y = 0;
    CellCentre(0, 0, 6, 4, x, y);  // a block of the ring
    EXPECT_EQ(Pixel(pixels, x, y, 3.0), Pixel(plain, x, y, 3.0));
    EXPECT_NE(CellPixel(pixels, 2, 2), CellPixel(plain, 2, 2));
}

TEST_F(OverlayFrame, NoOverlayLeavesThePictureAsBefore) {
    const TRgbaPixels before = DrawWith({});
    // Nothing to show: clear cells; then a full overlay, then none again.
    EXPECT_EQ(DrawWith({Blank(6, 4)}).Data, before.Data);
    // The legend is the views' to paint with a font: the GL frame leaves it out.
    std::vector<TFloorOverlay> legendOnly{Blank(6, 4)};
    legendOnly[0].Legend = {{0.0f, OverlayRgba(0, 0, 255), "0"},
                            {1.0f, OverlayRgba(255, 0, 0), "1"}};
    EXPECT_EQ(DrawWith(legendOnly).Data, before.Data);
    std::vector<TFloorOverlay> full{Blank(6, 4)};
    for (uint32_t& c : full[0].Rgba) c = OverlayRgba(0, 255, 0, 128);
    full[0].Outline.assign(24, 1);
    full[0].Legend = {{0.0f, OverlayRgba(0, 0, 255), "0"}, {1.0f, OverlayRgba(255, 0, 0), "1"}};
    EXPECT_NE(DrawWith(full).Data, before.Data);
    EXPECT_EQ(DrawWith({}).Data, before.Data);
    // A malformed overlay draws nothing.
    std::vector<TFloorOverlay> bad{Blank(6, 4)};
    bad[0].Rgba.pop_back();
    EXPECT_EQ(DrawWith(bad).Data, before.Data);
}

TEST_F(OverlayFrame, CongestedCellIsOutlined) {
    std::vector<TFloorOverlay> overlays{Blank(6, 4)};
    overlays[0].Outline.assign(24, 0);
    overlays[0].Outline[2 * 6 + 3] = 1;  // cell (3, 2): x 0..1, y -1..0
    const TRgbaPixels pixels = DrawWith(overlays);
    auto dark = [](const TRgb& c) { return c[0] < 20 && c[1] < 20 && c[2] < 20; };
    // A line lands on the pixels next to its point, depending on rounding.
    auto darkNear = [&](double x, double y) {
        double sx = 0, sy = 0;
        EXPECT_TRUE(Project(Camera_, x, y, 0.03, sx, sy));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dark(At(pixels, static_cast<int>(sx) + dx, static_cast<int>(sy) + dy)))
                    return true;
        return false;
    };
    const double edges[][2] = {{0.0, -0.5}, {1.0, -0.5}, {0.5, 0.0}, {0.5, -1.0}};
    for (const auto& e : edges) EXPECT_TRUE(darkNear(e[0], e[1])) << e[0] << "," << e[1];
    EXPECT_FALSE(dark(CellPixel(pixels, 3, 2)));  // the inside keeps the floor
    EXPECT_FALSE(darkNear(0.0, 0.5));             // edges of other cells are not drawn
}

TEST_F(OverlayFrame, OverlayFollowsTheDeck) {
    std::vector<TFloorOverlay> overlays{Blank(6, 4), Blank(6, 4)};
    overlays[0].Rgba[1 * 6 + 4] = OverlayRgba(255, 0, 0, 255);
    overlays[1].Rgba[1 * 6 + 4] = OverlayRgba(0, 0, 255, 255);
    struct TCase {
        int Deck;
        TRgb Expected;
    };
    const TCase cases[] = {{0, {255, 0, 0}}, {1, {0, 0, 255}}, {0, {255, 0, 0}}};
    for (const TCase& c : cases) {
        Scene_.CurrentDeck = c.Deck;
        const TRgb seen = CellPixel(DrawWith(overlays), 4, 1);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(seen[k], c.Expected[k], 3) << "deck " << c.Deck;
    }
    // A deck past the overlays shows none.
    Scene_.CurrentDeck = 1;
    const TRgb plain = CellPixel(DrawWith({}), 4, 1);
    EXPECT_EQ(CellPixel(DrawWith({overlays[0]}), 4, 1), plain);
}

}  // namespace
