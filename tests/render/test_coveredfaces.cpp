// The sides of blocks that other blocks cover: found from the quad list alone,
// only for faces covered whole, only against boxes of the same bottom and top,
// and never for quads that do not close a box.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "coveredfaces.h"
#include "deckgrids.h"
#include "quadgroups.h"

using namespace orlex;
using orlex::test::DeckOf;

namespace {

std::vector<TQuad> Joined(const std::vector<TQuad>& a, const std::vector<TQuad>& b) {
    std::vector<TQuad> all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

struct TGridCase {
    const char* Name;
    std::vector<std::string> Rows;
    int MergeLimit;
    std::size_t Boxes;
    std::size_t Covered;
};

class CoveredOnGrid : public testing::TestWithParam<TGridCase> {};

TEST_P(CoveredOnGrid, CountsTheFacesBetweenBlocks) {
    const TGridCase& c = GetParam();
    const TDeck deck = DeckOf(c.Rows, c.MergeLimit);
    EXPECT_EQ(FindBlockBoxes(deck.Quads.data(), deck.Quads.size()).size(), c.Boxes);
    const TCoveredFaces covered = FindCoveredFaces(deck.Quads.data(), deck.Quads.size());
    ASSERT_EQ(covered.Covered.size(), deck.Quads.size());
    std::size_t marked = 0;
    for (std::size_t i = 0; i < deck.Quads.size(); ++i) {
        if (!covered.Covered[i]) continue;
        ++marked;
        // Only sides of blocks: grey 0.8 (x) or 0.75 (y), never a floor or a top.
        EXPECT_LT(QuadDirection(deck.Quads[i]), 4) << c.Name << " quad " << i;
    }
    EXPECT_EQ(marked, covered.Count) << c.Name;
    EXPECT_EQ(covered.Count, c.Covered) << c.Name;
    if (c.Boxes > 0) {
        EXPECT_EQ(covered.Bottom, 0.0f);
        EXPECT_EQ(covered.Top, 3.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grids, CoveredOnGrid,
    testing::Values(TGridCase{"floor only", {"0230", "5400"}, 10, 0, 0},
                    TGridCase{"one block", {"010"}, 10, 1, 0},
                    TGridCase{"two blocks side by side", {"11"}, 1, 2, 2},
                    TGridCase{"merged into one box", {"11"}, 10, 1, 0},
                    TGridCase{"three in a row", {"111"}, 1, 3, 4},
                    TGridCase{"a gap between", {"101"}, 1, 2, 0},
                    TGridCase{"a void cell between", {"1.1"}, 1, 2, 0},
                    TGridCase{"two above each other", {"1", "1"}, 1, 2, 2},
                    TGridCase{"a square of four", {"11", "11"}, 1, 4, 8},
                    TGridCase{"an L", {"11", "10"}, 1, 3, 4},
                    // Row 0 is one box over three columns; the block below covers
                    // only a third of its lower side, but is itself covered whole.
                    TGridCase{"a T", {"111", "010"}, 10, 2, 1},
                    // A run of 15 merges into boxes of 10 and 5.
                    TGridCase{"a long wall", {"111111111111111"}, 10, 2, 2},
                    TGridCase{"a wall with a door", {"1111101111"}, 10, 2, 0}));

TEST(CoveredFaces, AFaceCanBeCoveredByTwoBoxesTogether) {
    // One box over four columns in row 0; below it boxes of two columns each.
    const TDeck top = DeckOf({"1111", "...."}, 4);
    const TDeck halves = DeckOf({"....", "1111"}, 2);
    const std::vector<TQuad> all = Joined(top.Quads, halves.Quads);
    ASSERT_EQ(FindBlockBoxes(all.data(), all.size()).size(), 3u);
    // The long lower side of the top box, and the upper sides of both halves;
    // the halves also cover each other's inner ends.
    EXPECT_EQ(FindCoveredFaces(all.data(), all.size()).Count, 5u);

    const TDeck gap = DeckOf({"....", "11.1"}, 2);
    const std::vector<TQuad> withGap = Joined(top.Quads, gap.Quads);
    // Now only the upper sides of the two pieces below are covered.
    EXPECT_EQ(FindCoveredFaces(withGap.data(), withGap.size()).Count, 2u);
}

TEST(CoveredFaces, OnlyBoxesOfTheSameBottomAndTopCover) {
    const TDeck left = DeckOf({"10"}, 1, 3.0f);
    const TDeck right = DeckOf({"01"}, 1, 2.0f);
    const std::vector<TQuad> all = Joined(left.Quads, right.Quads);
    ASSERT_EQ(FindBlockBoxes(all.data(), all.size()).size(), 2u);
    const TCoveredFaces covered = FindCoveredFaces(all.data(), all.size());
    EXPECT_EQ(covered.Count, 0u);
    EXPECT_EQ(covered.Top, 3.0f);
}

TEST(CoveredFaces, QuadsThatDoNotCloseABoxAreNoBox) {
    const TDeck deck = DeckOf({"11"}, 1);
    ASSERT_EQ(deck.Quads.size(), 12u);
    struct TBreak {
        const char* Name;
        void (*Apply)(std::vector<TQuad>&);
    };
    const TBreak breaks[] = {
        {"a face missing", [](std::vector<TQuad>& q) { q.erase(q.begin() + 2); }},
        {"a face turned inwards",
         [](std::vector<TQuad>& q) { std::swap(q[1].Vertices[1], q[1].Vertices[3]); }},
        {"crossed corners",
         [](std::vector<TQuad>& q) { std::swap(q[1].Vertices[1], q[1].Vertices[2]); }},
        {"a face short of the edge", [](std::vector<TQuad>& q) { q[3].Vertices[0][2] = 2.5f; }},
        {"a normal off the axes", [](std::vector<TQuad>& q) { q[1].Normal[1] = 0.5f; }},
        {"a corner not a number",
         [](std::vector<TQuad>& q) {
             q[0].Vertices[2][0] = std::numeric_limits<float>::quiet_NaN();
         }},
    };
    for (const TBreak& b : breaks) {
        std::vector<TQuad> quads = deck.Quads;
        b.Apply(quads);
        // The first box is broken; the second stays, with nothing to cover it.
        EXPECT_EQ(FindBlockBoxes(quads.data(), quads.size()).size(), 1u) << b.Name;
        EXPECT_EQ(FindCoveredFaces(quads.data(), quads.size()).Count, 0u) << b.Name;
    }
}

TEST(CoveredFaces, OddListsGiveNoCoverAndNoCrash) {
    EXPECT_EQ(FindCoveredFaces(nullptr, 0).Count, 0u);
    EXPECT_TRUE(FindCoveredFaces(nullptr, 0).Covered.empty());
    // Huge coordinates still compare; infinite ones give no box, and no crash.
    for (const float far : {-1e30f, -std::numeric_limits<float>::infinity()}) {
        std::vector<TQuad> quads = DeckOf({"11"}, 1).Quads;
        for (TQuad& q : quads)
            for (auto& v : q.Vertices)
                if (v[1] < 0) v[1] = far;
        const TCoveredFaces covered = FindCoveredFaces(quads.data(), quads.size());
        EXPECT_EQ(covered.Count, std::isfinite(far) ? 2u : 0u) << far;
    }
    std::vector<TQuad> all;
    for (int i = 0; i < 50; ++i) {
        const TDeck d = DeckOf({"1111111111111111111111111"}, 1 + i % 7);
        all.insert(all.end(), d.Quads.begin(), d.Quads.end());
    }
    // 50 copies lying in each other: faces inside another copy count only when covered.
    EXPECT_GT(FindCoveredFaces(all.data(), all.size()).Count, 0u);
}

TEST(CoveredFaces, ARoomDeckLosesOnlyFacesBetweenBlocks) {
    const TDeck deck = DeckOf(test::RoomRows(120, 60, 7));
    const TCoveredFaces covered = FindCoveredFaces(deck.Quads.data(), deck.Quads.size());
    EXPECT_GT(covered.Count, 50u);
    // Every covered face has a block cell right behind each of its cells.
    const int hx = deck.GridColumns() / 2, hy = deck.GridRows() / 2;
    for (std::size_t i = 0; i < deck.Quads.size(); ++i) {
        if (!covered.Covered[i]) continue;
        const TQuad& q = deck.Quads[i];
        const int d = QuadDirection(q);
        const int axis = d / 2, other = 1 - axis;
        const float plane = q.Vertices[0][axis];
        float lo = q.Vertices[0][other], hi = lo;
        for (const auto& v : q.Vertices) {
            lo = std::min(lo, v[other]);
            hi = std::max(hi, v[other]);
        }
        for (float t = lo + 0.5f; t < hi; t += 1.0f) {
            // The cell just across the plane, on the side the face looks to.
            const float step = d % 2 == 0 ? 0.5f : -0.5f;
            const float x = axis == 0 ? plane + step : t;
            const float y = axis == 1 ? plane + step : t;
            const int column = static_cast<int>(std::floor(x)) + hx;
            const int row = hy - 1 - static_cast<int>(std::floor(y));
            const TCell* cell = deck.CellAt(row, column);
            ASSERT_NE(cell, nullptr) << i;
            EXPECT_EQ(cell->Code, kCodeBlock) << "quad " << i << " at " << x << "," << y;
        }
    }
}

}  // namespace
