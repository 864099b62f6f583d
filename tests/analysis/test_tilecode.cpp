// The cell numbers of the density pass: tile and place in the tile, back to row and
// column, for grids whose tile rows are and are not a power of two wide.
#include <gtest/gtest.h>

#include <set>

#include "densitypass.h"

namespace {

using orlex::analysis::pass::kHere;
using orlex::analysis::pass::TTileCode;

TEST(DensityTileCode, RoundTripAndTiles) {
    const struct {
        int Columns, Rows;
    } grids[] = {{1, 1}, {4, 3}, {64, 16}, {65, 17}, {1000, 200}, {8000, 8000}, {130, 40}};
    for (const auto& g : grids) {
        const TTileCode code(g.Columns, g.Rows);
        std::set<uint32_t> seen;
        const auto check = [&](int row, int column) {
            const uint32_t c = code.Of(row, column);
            EXPECT_EQ(c & kHere, 0u);
            EXPECT_EQ(code.Row(c), row) << g.Columns << "x" << g.Rows;
            EXPECT_EQ(code.Column(c), column) << g.Columns << "x" << g.Rows;
            EXPECT_EQ(code.Row(c | kHere), row);  // the mark does not disturb the place
            EXPECT_EQ(TTileCode::Tile(c), code.TileOf(row, column));
            EXPECT_LT(TTileCode::Tile(c), code.TileCount());
            EXPECT_EQ(code.TileRow(TTileCode::Tile(c)), row & ~15);
            EXPECT_EQ(code.TileColumn(TTileCode::Tile(c)), column & ~63);
            EXPECT_TRUE(seen.insert(c).second) << row << "," << column;
        };
        // The grid's corners and the cells on both sides of every tile border.
        for (int row : {0, 15, 16, 17, g.Rows / 2, g.Rows - 1}) {
            for (int column : {0, 63, 64, 65, g.Columns / 2, g.Columns - 1}) {
                if (row < g.Rows && column < g.Columns && !seen.contains(code.Of(row, column)))
                    check(row, column);
            }
        }
    }
}

// The grids whose cells all get a number below the mark; the analysis leaves the
// density out for the others.
TEST(DensityTileCode, GridsThatFit) {
    const struct {
        int Columns, Rows;
        bool Fits;
    } grids[] = {
        {8000, 8000, true},               // the large declared deck
        {1 << 15, 1 << 16, true},         // 2^31 cells exactly: the codes run to 2^31 - 1
        {(1 << 15) + 1, 1 << 16, false},  // 513 tiles a row round up to 1024
        {1, 1 << 26, false},              // one column takes a whole tile row
        {1 << 26, 1, true},               // one row: 16 rows of a tile, 2^30 codes
        {0, 0, true},
    };
    for (const auto& g : grids) {
        EXPECT_EQ(TTileCode::Fits(g.Columns, g.Rows), g.Fits) << g.Columns << "x" << g.Rows;
        EXPECT_EQ(orlex::analysis::DensityGridFits(g.Columns, g.Rows), g.Fits);
    }
}

}  // namespace
