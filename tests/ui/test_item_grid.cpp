// The item grid: cell rectangles by origin and pitch, regions by shape for any width,
// and the fit test, which for the bag's 9 x 6 grid must agree with the bag rules'.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Clock.h"
#include "ui/panels/ItemGrid.h"
#include "ui/toolbar/BagRules.h"

namespace {

TEST(ItemGrid, CellsLieByOriginAndPitch) {
    ItemGridLayout layout;
    layout.nColumns = 4;
    layout.nRows = 3;
    layout.ptOrigin = POINT{100, 50};
    layout.nPitchX = 40;
    layout.nPitchY = 30;
    layout.nCellWidth = 36;
    layout.nCellHeight = 28;
    CItemGrid grid(layout);
    ASSERT_EQ(grid.GetCount(), 12);
    EXPECT_EQ(grid.Cell(6).rc.left, 100 + 2 * 40);
    EXPECT_EQ(grid.Cell(6).rc.top, 50 + 30);
    EXPECT_EQ(grid.Cell(6).rc.right, 100 + 2 * 40 + 36);
    EXPECT_EQ(grid.CellAt(POINT{100 + 2 * 40 + 5, 50 + 30 + 5}), 6);
    // The gap between two cells belongs to neither, unless one good covers both: then
    // its middle and the gaps between its cells hit it.
    EXPECT_EQ(grid.CellAt(POINT{100 + 37, 55}), -1);
    EXPECT_EQ(grid.CellAt(POINT{99, 55}), -1);
    grid.MarkRegion(1, 2, 42);  // cells 1, 2, 5, 6, 9, 10
    grid.MarkRegion(3, 0, 43);
    for (const POINT pt : {POINT{100 + 77, 50 + 29}, POINT{100 + 60, 50 + 29}, POINT{100 + 77, 50 + 40},
                           POINT{100 + 77, 50 + 59}})
        EXPECT_EQ(grid.ItemAt(grid.CellAt(pt)), 42) << pt.x << "," << pt.y;
    EXPECT_EQ(grid.CellAt(POINT{100 + 117, 55}), -1);  // between the good and another
    EXPECT_EQ(grid.CellAt(POINT{100 + 60, 50 + 89}), -1);  // below the last row
}

TEST(ItemGrid, RegionsFollowTheWidthAndNeverWrapOrLeave) {
    ItemGridLayout layout;
    layout.nColumns = 5;
    layout.nRows = 4;
    CItemGrid grid(layout);
    int cells[6];
    ASSERT_EQ(grid.RegionCells(6, 2, cells), 6);
    EXPECT_EQ(std::vector<int>(cells, cells + 6), (std::vector<int>{6, 7, 11, 12, 16, 17}));
    EXPECT_EQ(grid.RegionCells(6, 7, cells), 0);
    // Last column, last rows, bad anchors and shapes.
    EXPECT_FALSE(grid.Fits(4, 1));
    EXPECT_TRUE(grid.Fits(4, 3));
    EXPECT_FALSE(grid.Fits(15, 3));
    EXPECT_FALSE(grid.Fits(10, 2));
    EXPECT_TRUE(grid.Fits(5, 2));
    EXPECT_FALSE(grid.Fits(-1, 0));
    EXPECT_FALSE(grid.Fits(20, 0));
    EXPECT_FALSE(grid.Fits(0, -1));

    grid.MarkRegion(6, 1, 42);
    EXPECT_EQ(grid.ItemAt(12), 42);
    EXPECT_EQ(grid.AnchorAt(12), 6);
    EXPECT_FALSE(grid.Fits(7, 0));
    EXPECT_FALSE(grid.Fits(2, 3));  // its lower cell is taken
    EXPECT_TRUE(grid.Fits(8, 1));
    grid.ClearRegion(6, 1);
    EXPECT_EQ(grid.ItemAt(12), -1);
    EXPECT_EQ(grid.AnchorAt(12), -1);
    EXPECT_TRUE(grid.Fits(6, 1));
}

TEST(ItemGrid, TheBagGridAgreesWithTheBagRules) {
    CItemGrid grid{ItemGridLayout{}};
    for (unsigned nSeed = 1; nSeed <= 200; ++nSeed) {
        Srand(nSeed);
        grid.ClearAll();
        std::int32_t occupancy[kBagCells];
        std::fill(std::begin(occupancy), std::end(occupancy), -1);
        for (int i = 0; i < 12; ++i) {
            const int c = Rand() % kBagCells, nShape = Rand() % 4;
            if (!grid.Fits(c, nShape)) continue;
            ASSERT_TRUE(FitsInBag(occupancy, c, nShape));
            grid.MarkRegion(c, nShape, i);
            int cells[6];
            for (int k = 0, n = ShapeCells(c, nShape, cells); k < n; ++k) occupancy[cells[k]] = c;
        }
        for (int c = -1; c <= kBagCells; ++c)
            for (int nShape = -1; nShape <= 4; ++nShape)
                ASSERT_EQ(grid.Fits(c, nShape), FitsInBag(occupancy, c, nShape))
                    << "seed " << nSeed << " cell " << c << " shape " << nShape;
    }
}

}  // namespace
