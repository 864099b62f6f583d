// The quad-list reduction: rectangles, their scan order, edges and colours.
#include <gtest/gtest.h>

#include "projects.h"

using namespace orlex::test;

namespace orlex {
namespace {

// A deck grid from rows of cell characters.
TDeck MakeDeck(const std::vector<std::string>& rows) {
    TDeck deck;
    const int columns = static_cast<int>(rows[0].size());
    deck.CreateGrid(columns, static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns; ++c)
            deck.CellAt(static_cast<int>(r), c)->Code =
                CellCodeOf(rows[r][static_cast<std::size_t>(c)]);
    TNullProgress progress;
    deck.BuildQuadList(columns, static_cast<int>(rows.size()), progress);
    return deck;
}

struct Rect {
    float X0, X1, Y0, Y1;
};

// West, east, north and south edges of a flat quad or of a box's bottom face.
Rect EdgesOf(const TQuad& q) {
    Rect r{q.Vertices[0][0], q.Vertices[0][0], q.Vertices[0][1], q.Vertices[0][1]};
    for (const auto& v : q.Vertices) {
        r.X0 = std::min(r.X0, v[0]), r.X1 = std::max(r.X1, v[0]);
        r.Y1 = std::min(r.Y1, v[1]), r.Y0 = std::max(r.Y0, v[1]);
    }
    return r;
}

TEST(Quads, ExampleGivesTwentySevenQuadsInScanOrder) {
    TLoaded l = LoadText(kExampleFile);
    const TDeck& d = l.Project->Decks[0];
    ASSERT_EQ(d.QuadCount(), 27);
    ASSERT_EQ(d.Quads.size(), 27u);
    // First quad of each rectangle: box, box, white, red, box, green, box.
    struct Expected {
        int index;
        float r, g, b;
        Rect edges;
    } expected[] = {
        {0, 0.2f, 0.2f, 0.2f, {-3, 3, 2, 1}},    {6, 0.2f, 0.2f, 0.2f, {-3, -2, 1, -2}},
        {12, 1.0f, 1.0f, 1.0f, {-2, 1, 1, -1}},  {13, 1.0f, 0.63f, 0.63f, {1, 2, 1, 0}},
        {14, 0.2f, 0.2f, 0.2f, {2, 3, 1, -2}},   {20, 0.63f, 1.0f, 0.63f, {1, 2, 0, -1}},
        {21, 0.2f, 0.2f, 0.2f, {-2, 3, -1, -2}},
    };
    for (const Expected& e : expected) {
        const TQuad& q = d.Quads[static_cast<std::size_t>(e.index)];
        EXPECT_FLOAT_EQ(q.Color[0], e.r) << e.index;
        EXPECT_FLOAT_EQ(q.Color[1], e.g) << e.index;
        EXPECT_FLOAT_EQ(q.Color[2], e.b) << e.index;
        const Rect r = EdgesOf(q);
        EXPECT_EQ(r.X0, e.edges.X0) << e.index;
        EXPECT_EQ(r.X1, e.edges.X1) << e.index;
        EXPECT_EQ(r.Y0, e.edges.Y0) << e.index;
        EXPECT_EQ(r.Y1, e.edges.Y1) << e.index;
    }
}

TEST(Quads, BoxFacesHaveTheirOrderColoursAndNormals) {
    const TDeck d = MakeDeck({"1"});  // 1 x 1: hx = hy = 0
    ASSERT_EQ(d.QuadCount(), 6);
    const float normals[6][3] = {{0, 0, -1}, {-1, 0, 0}, {1, 0, 0},
                                 {0, 1, 0},  {0, -1, 0}, {0, 0, 1}};
    const float grey[6] = {0.2f, 0.8f, 0.8f, 0.75f, 0.75f, 0.2f};
    for (int f = 0; f < 6; ++f) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(d.Quads[f].Normal[k], normals[f][k]) << f;
        EXPECT_FLOAT_EQ(d.Quads[f].Color[0], grey[f]) << f;
    }
    // West face: (X0,Y0,H), (X0,Y0,0), (X0,Y1,0), (X0,Y1,H) with X0 = 0, Y0 = 0, Y1 = -1.
    const float west[4][3] = {{0, 0, 3}, {0, 0, 0}, {0, -1, 0}, {0, -1, 3}};
    for (int v = 0; v < 4; ++v)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(d.Quads[1].Vertices[v][k], west[v][k]);
    // Every face runs counter-clockwise seen from where its normal points.
    for (const TQuad& q : d.Quads) {
        float e1[3], e2[3];
        for (int k = 0; k < 3; ++k) {
            e1[k] = q.Vertices[1][k] - q.Vertices[0][k];
            e2[k] = q.Vertices[2][k] - q.Vertices[1][k];
        }
        const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
        EXPECT_GT(cross[0] * q.Normal[0] + cross[1] * q.Normal[1] + cross[2] * q.Normal[2], 0);
    }
}

TEST(Quads, SingleWhiteCellInFourByFour) {
    const TDeck d = MakeDeck({"....", "..0.", "....", "...."});  // column 2, row 1
    ASSERT_EQ(d.QuadCount(), 1);
    const float expected[4][3] = {{0, 1, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    for (int v = 0; v < 4; ++v)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(d.Quads[0].Vertices[v][k], expected[v][k]);
    EXPECT_EQ(d.Quads[0].Normal[2], 1.0f);
}

TEST(Quads, MergeLimitSplitsRectangles) {
    struct Case {
        int columns, rows;
        std::vector<Rect> rects;  // in scan order
    } cases[] = {
        {1, 1, {{0, 1, 0, -1}}},
        {25, 1, {{-12, -2, 0, -1}, {-2, 8, 0, -1}, {8, 13, 0, -1}}},
        {10, 10, {{-5, 5, 5, -5}}},
        {11, 11, {{-5, 5, 5, -5}, {5, 6, 5, -5}, {-5, 5, -5, -6}, {5, 6, -5, -6}}},
        {5, 3, {{-2, 3, 1, -2}}},
    };
    for (const Case& c : cases) {
        const TDeck d = MakeDeck(std::vector<std::string>(c.rows, std::string(c.columns, '0')));
        ASSERT_EQ(d.QuadCount(), static_cast<int>(c.rects.size())) << c.columns << "x" << c.rows;
        for (std::size_t i = 0; i < c.rects.size(); ++i) {
            const Rect r = EdgesOf(d.Quads[i]);
            EXPECT_EQ(r.X0, c.rects[i].X0) << c.columns << " quad " << i;
            EXPECT_EQ(r.X1, c.rects[i].X1) << c.columns << " quad " << i;
            EXPECT_EQ(r.Y0, c.rects[i].Y0) << c.columns << " quad " << i;
            EXPECT_EQ(r.Y1, c.rects[i].Y1) << c.columns << " quad " << i;
        }
    }
}

TEST(Quads, VoidGridGivesNothingAndRebuildReplaces) {
    TDeck d = MakeDeck({"..", ".."});
    EXPECT_EQ(d.QuadCount(), 0);
    EXPECT_TRUE(d.Quads.empty());
    d.CellAt(0, 0)->Code = kCodeGrey;
    TNullProgress progress;
    d.BuildQuadList(2, 2, progress);
    EXPECT_EQ(d.QuadCount(), 1);
    d.BuildQuadList(2, 2, progress);  // cells are covered now: nothing new starts
    EXPECT_EQ(d.QuadCount(), 0);
}

TEST(Quads, ProgressRisesToTheEnd) {
    TLoaded l = LoadText(kExampleFile);
    const std::vector<int>& p = l.Recorder.Positions;
    ASSERT_FALSE(p.empty());
    EXPECT_TRUE(std::is_sorted(p.end() - 5, p.end()));
    EXPECT_LE(p.back(), 100);
}

}  // namespace
}  // namespace orlex
