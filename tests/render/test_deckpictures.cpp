// The deck drawn with and without the faces left out (the sides that blocks
// cover, regions outside the view volume, and in a still view the faces that
// cover no pixel centre) gives the same picture from every camera: above,
// oblique, low, so low that the near plane reaches the blocks, and below.
// The list of a still view is rebuilt for another camera, viewport or deck,
// and its frames equal the first frame of the view pixel for pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "deckgrids.h"
#include "headless.h"

using namespace orlex;
using namespace orlex::test;

namespace {

// Pixels that may differ where covered faces are left out.
constexpr int kEdgePixels = 20;

struct TCameraCase {
    const char* Name;
    double Phi, Theta, Distance, X, Y;
};

TCamera CameraOf(const TCameraCase& c) {
    TCamera camera;
    camera.Phi = c.Phi;
    camera.Theta = c.Theta;
    camera.SetDistance(c.Distance);
    camera.UpdateUp();
    camera.CentreOn(c.X, c.Y);
    return camera;
}

struct TDifference {
    int Drawn = 0;      // not background in the reference
    int Differing = 0;  // a channel differs at all
};

TDifference Compare(const TRgbaPixels& a, const TRgbaPixels& b) {
    TDifference d;
    if (a.Width != b.Width || a.Height != b.Height) {
        d.Differing = b.Width * b.Height + 1;
        return d;
    }
    for (int y = 0; y < b.Height; ++y) {
        for (int x = 0; x < b.Width; ++x) {
            const TRgb p = At(a, x, y), q = At(b, x, y);
            if (!IsBackground(q)) ++d.Drawn;
            if (p != q) ++d.Differing;
        }
    }
    return d;
}

class DeckPictures : public Headless, public testing::WithParamInterface<TCameraCase> {
protected:
    void SetUp() override {
        Headless::SetUp();
        if (IsSkipped()) return;
        Deck_ = DeckOf(RoomRows(120, 60, 11));
        Scene_.Decks = &Deck_;
        Scene_.DeckCount = 1;
        Scene_.LightSet = Deck_.Lights;
        Scene_.FieldOfView = 60;
        Scene_.MaxDim = 120;
    }
    // The frame after `frames` frames of the same view with the given culling.
    TRgbaPixels Frame(const TCamera& camera, TQuadCulling culling, int frames = 3) {
        Scene_.QuadCulling = culling;
        for (int i = 0; i < frames; ++i) Renderer_.DrawFrame(Scene_, camera, kW, kH);
        return Frame_->Read();
    }
    const TQuadGroups& Groups() const { return Renderer_.QuadGroups(); }

    TDeck Deck_;
    TSceneInput Scene_;
};

TEST_P(DeckPictures, LeavingOutFacesChangesNoPixel) {
    const TCamera camera = CameraOf(GetParam());
    const TRgbaPixels all = Frame(camera, {false, false, false});
    const std::size_t total = Groups().DrawnQuads();
    ASSERT_GT(total, 0u);
    ASSERT_FALSE(Groups().DrewViewList());
    struct TWay {
        const char* Name;
        TQuadCulling Culling;
    };
    for (const TWay& way :
         {TWay{"covered", {true, false, false}}, TWay{"unseen", {false, true, false}},
          TWay{"outside", {false, false, true}}, TWay{"all three", {true, true, true}}}) {
        const TRgbaPixels pixels = Frame(camera, way.Culling);
        EXPECT_EQ(Groups().DrewViewList(), way.Culling.Unseen) << way.Name;
        EXPECT_LE(Groups().DrawnQuads(), total) << way.Name;
        const TDifference d = Compare(pixels, all);
        EXPECT_GT(d.Drawn, kW * kH / 10) << GetParam().Name;  // the deck is in view
        // Faces that cover no pixel centre change nothing at all. A covered side
        // may show through at a pixel on the edge it shares with its neighbour's
        // top or side (both lie at the same depth there): the tolerance of the
        // view's comparisons.
        EXPECT_LE(d.Differing, way.Culling.Covered ? kEdgePixels : 0)
            << GetParam().Name << ", " << way.Name << ": " << Groups().DrawnQuads() << " of "
            << total << " quads";
    }
    // The list of the still view holds far fewer quads than the groups send.
    Frame(camera, {});
    EXPECT_LT(Groups().DrawnQuads(), total) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Cameras, DeckPictures,
    testing::Values(TCameraCase{"above the whole deck", 0.0, 0.0, 104.0, 0.0, 0.0},
                    TCameraCase{"above, close", 0.3, 0.0, 25.0, -20.0, 8.0},
                    TCameraCase{"oblique", 0.7, 0.7, 70.0, 5.0, -3.0},
                    TCameraCase{"low oblique", 2.2, 1.35, 60.0, 10.0, 5.0},
                    TCameraCase{"low, the near plane at the blocks", -0.4, 1.48, 25.0, 3.0, 1.0},
                    TCameraCase{"below the floor", 0.5, 2.5, 60.0, 0.0, 0.0}),
    [](const testing::TestParamInfo<TCameraCase>& info) {
        std::string name;
        for (const char* p = info.param.Name; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST_F(DeckPictures, TheViewListFollowsTheCameraAndTheDeck) {
    const TCamera first = CameraOf({"", 0.0, 0.6, 80.0, 0.0, 0.0});
    TCamera second = first;
    second.Rotate(3, 0);
    second.UpdateEye();
    second.UpdateUp();
    Frame(first, {}, 1);
    EXPECT_FALSE(Groups().DrewViewList());  // a view seen once: the groups
    const std::size_t fromGroups = Groups().DrawnQuads();
    Frame(first, {}, 1);
    EXPECT_TRUE(Groups().DrewViewList());  // the same view again: its list
    EXPECT_LT(Groups().DrawnQuads(), fromGroups);
    const TRgbaPixels moved = Frame(second, {}, 1);
    EXPECT_FALSE(Groups().DrewViewList());
    EXPECT_EQ(Compare(Frame(second, {}, 1), moved).Differing, 0);
    EXPECT_TRUE(Groups().DrewViewList());

    // Another deck in the same view: its own quads, at once.
    TDeck other = DeckOf(RoomRows(120, 60, 12));
    Scene_.Decks = &other;
    Scene_.LightSet = other.Lights;
    const TRgbaPixels otherFirst = Frame(second, {}, 1);
    EXPECT_FALSE(Groups().DrewViewList());
    const TRgbaPixels otherAll = Frame(second, {false, false, false});
    EXPECT_LE(Compare(otherFirst, otherAll).Differing, kEdgePixels);
    EXPECT_EQ(Compare(Frame(second, {}), otherFirst).Differing, 0);
    EXPECT_TRUE(Groups().DrewViewList());
}

// Regions wholly outside the view are not sent, even while the view changes.
TEST_F(DeckPictures, RegionsOutsideTheViewAreNotSent) {
    const TCamera whole = CameraOf({"", 0.0, 0.0, 104.0, 0.0, 0.0});
    const TCamera corner = CameraOf({"", 0.0, 0.0, 12.0, -50.0, 24.0});
    const TQuadCulling groupsOnly{true, false, true};
    Frame(whole, groupsOnly, 1);
    const std::size_t wholeQuads = Groups().DrawnQuads();
    const TRgbaPixels near = Frame(corner, groupsOnly, 1);
    EXPECT_LT(Groups().DrawnQuads() * 8, wholeQuads);
    EXPECT_EQ(Compare(near, Frame(corner, {true, false, false}, 1)).Differing, 0);
}

// The window is resized: the same camera in another viewport is another view.
TEST_F(DeckPictures, AnotherViewportIsAnotherView) {
    const TCamera camera = CameraOf({"", 1.0, 0.9, 60.0, 0.0, 0.0});
    Frame(camera, {}, 2);
    ASSERT_TRUE(Groups().DrewViewList());
    Scene_.QuadCulling = {};
    Renderer_.DrawFrame(Scene_, camera, kW / 2, kH);
    EXPECT_FALSE(Groups().DrewViewList());
    const TRgbaPixels half = Frame_->Read();
    Renderer_.DrawFrame(Scene_, camera, kW / 2, kH);
    EXPECT_TRUE(Groups().DrewViewList());
    EXPECT_EQ(Compare(Frame_->Read(), half).Differing, 0);
}

}  // namespace
