// The bag rules: random place, lift and remove sequences against a plain first-fit
// reference, and the edge cases of shapes, row ends and families.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "gamedata/Tables.h"
#include "platform/Clock.h"
#include "ui/toolbar/BagRules.h"

namespace {

// Rows x columns of each shape.
constexpr int kShapeRows[4] = {1, 2, 3, 2};
constexpr int kShapeCols[4] = {1, 2, 2, 1};

struct Region {
    int nItem, nAnchor, nShape;
};

// The reference: regions per family, placed by plain geometry.
struct ReferenceBag {
    std::vector<Region> regions[3];

    std::array<int, kBagCells> Grid(int nFamily) const {
        std::array<int, kBagCells> grid;
        grid.fill(-1);
        for (const Region& r : regions[nFamily])
            for (int dr = 0; dr < kShapeRows[r.nShape]; ++dr)
                for (int dc = 0; dc < kShapeCols[r.nShape]; ++dc) grid[size_t(r.nAnchor + dr * 9 + dc)] = r.nAnchor;
        return grid;
    }
    // The first anchor where the whole region lies on the grid and on free cells.
    int FirstFit(int nFamily, int nShape) const {
        const std::array<int, kBagCells> grid = Grid(nFamily);
        for (int c = 0; c < kBagCells; ++c) {
            const int row = c / 9, col = c % 9;
            if (row + kShapeRows[nShape] > 6 || col + kShapeCols[nShape] > 9) continue;
            bool bFree = true;
            for (int dr = 0; dr < kShapeRows[nShape]; ++dr)
                for (int dc = 0; dc < kShapeCols[nShape]; ++dc) bFree = bFree && grid[size_t(c + dr * 9 + dc)] == -1;
            if (bFree) return c;
        }
        return -1;
    }
};

bool Accepts(int nFamily, int nShape) {
    if (nShape < 0 || nShape > 3) return false;
    if (nFamily == 1) return nShape == 1 || nShape == 2;
    if (nFamily == 2) return nShape != 2;
    return true;
}

class BagTest : public ::testing::Test {
protected:
    void SetUp() override {
        items.resize(100);
        view.pItems = items.data();
        view.nItemCount = int(items.size());
        view.pCounts = counts;
    }
    void Item(int nItem, int nType, int nShape) {
        items[size_t(nItem)].nType = nType;
        items[size_t(nItem)].nGirdNum = nShape;
    }
    // Places and counts one unit, as the callers do.
    int Give(int nItem) {
        const int c = PutItemInBag(view, nItem);
        if (c >= 0) ++counts[nItem];
        return c;
    }
    std::vector<ItemRow> items;
    std::int32_t counts[100] = {};
    BagView view;
};

TEST_F(BagTest, RandomSequencesMatchAFirstFitReference) {
    // Types cover the three families; shapes include the forbidden ones and bad codes.
    static const int kTypes[] = {0, 4, 7, 2, 8, 1, 3, 5, 99};
    static const int kShapes[] = {0, 1, 2, 3, 0, 1, 3, -1, 4};
    for (unsigned nSeed = 1; nSeed <= 40; ++nSeed) {
        Srand(nSeed);
        for (auto& row : items) row.ClearBagTables();
        std::fill(std::begin(counts), std::end(counts), 0);
        view.nMember = int(nSeed % 4);
        for (int i = 0; i < 30; ++i) Item(i, kTypes[Rand() % 9], kShapes[Rand() % 9]);
        ReferenceBag ref;
        for (int step = 0; step < 300; ++step) {
            const int op = Rand() % 10;
            if (op < 6) {
                const int nItem = Rand() % 30;
                const int nFamily = int(FamilyOfType(items[size_t(nItem)].nType));
                const int nShape = items[size_t(nItem)].nGirdNum;
                const int nExpected = Accepts(nFamily, nShape) ? ref.FirstFit(nFamily, nShape) : -1;
                const std::vector<ItemRow> before = items;
                const int nGot = Give(nItem);
                ASSERT_EQ(nGot, nExpected) << "seed " << nSeed << " step " << step << " item " << nItem;
                if (nGot < 0) {
                    for (size_t k = 0; k < items.size(); ++k)
                        ASSERT_EQ(std::memcmp(items[k].nBagCell, before[k].nBagCell, sizeof items[k].nBagCell), 0);
                    continue;
                }
                ref.regions[nFamily].push_back(Region{nItem, nGot, nShape});
            } else {
                // Lift one unit (one region), or remove every unit of an item.
                const int nFamily = Rand() % 3;
                auto& regions = ref.regions[nFamily];
                if (regions.empty()) continue;
                const Region r = regions[size_t(Rand()) % regions.size()];
                const bool bAll = op == 9;
                std::int32_t* pCells = items[size_t(r.nItem)].nBagCell[view.nMember];
                for (int c = 0; c < kBagCells; ++c)
                    if (bAll || pCells[c] == r.nAnchor) pCells[c] = -1;
                std::erase_if(regions, [&](const Region& x) {
                    return x.nItem == r.nItem && (bAll || x.nAnchor == r.nAnchor);
                });
                counts[r.nItem] = bAll ? 0 : counts[r.nItem] - 1;
            }
            for (int f = 0; f < 3; ++f) {
                std::int32_t grid[kBagCells];
                BuildOccupancy(view, BagFamily(f), grid);
                const std::array<int, kBagCells> want = ref.Grid(f);
                ASSERT_TRUE(std::equal(want.begin(), want.end(), grid)) << "seed " << nSeed << " family " << f;
            }
            // Regions of one family never overlap: each cell is claimed by one item at most.
            for (int f = 0; f < 3; ++f) {
                int nClaims[kBagCells] = {};
                for (int i = 0; i < 30; ++i) {
                    if (int(FamilyOfType(items[size_t(i)].nType)) != f || counts[i] < 1) continue;
                    for (int c = 0; c < kBagCells; ++c) nClaims[c] += items[size_t(i)].nBagCell[view.nMember][c] >= 0;
                }
                for (int c = 0; c < kBagCells; ++c) ASSERT_LE(nClaims[c], 1) << "cell " << c;
            }
        }
        // Only the hero's own character table is written.
        for (const ItemRow& row : items)
            for (int m = 0; m < 4; ++m)
                if (m != view.nMember) {
                    for (int c = 0; c < kBagCells; ++c) ASSERT_EQ(row.nBagCell[m][c], -1);
                }
    }
}

TEST_F(BagTest, ShapesStopAtTheRowEndAndTheLastRows) {
    // Goods: a 2x2 item whose first empty cell is in column 8 goes to the next cell that
    // fits, never across the row end.
    Item(1, 2, 0);
    Item(2, 2, 1);
    for (int c = 0; c < 8; ++c) ASSERT_EQ(Give(1), c);
    EXPECT_EQ(Give(2), 9);
    EXPECT_EQ(items[2].nBagCell[0][9], 9);
    EXPECT_EQ(items[2].nBagCell[0][19], 9);
    EXPECT_EQ(items[2].nBagCell[0][8], -1);

    // A 3x2 item fits only with its anchor in rows 0..3; a 2x1 only in rows 0..4.
    std::int32_t grid[kBagCells];
    std::fill(std::begin(grid), std::end(grid), -1);
    EXPECT_TRUE(FitsInBag(grid, 34, 2));
    EXPECT_FALSE(FitsInBag(grid, 36, 2));
    EXPECT_FALSE(FitsInBag(grid, 8, 2));
    EXPECT_TRUE(FitsInBag(grid, 44, 3));
    EXPECT_FALSE(FitsInBag(grid, 45, 3));
    EXPECT_FALSE(FitsInBag(grid, 17, 1));
    EXPECT_FALSE(FitsInBag(grid, 0, 4));
    EXPECT_FALSE(FitsInBag(grid, -1, 0));
    EXPECT_FALSE(FitsInBag(grid, 54, 0));
}

TEST_F(BagTest, FamiliesShapesAndRepeatedPlacements) {
    // Equipment of shape 0 or 3 is never placed.
    Item(10, 0, 0);
    Item(11, 4, 3);
    Item(12, 7, 2);
    EXPECT_EQ(Give(10), -1);
    EXPECT_EQ(Give(11), -1);
    EXPECT_EQ(Give(12), 0);
    // Another item of the "other" family with shape 2 never fits either.
    Item(13, 5, 2);
    EXPECT_EQ(Give(13), -1);
    // One item placed twice: two regions, count 2.
    Item(20, 8, 1);
    EXPECT_EQ(Give(20), 0);
    EXPECT_EQ(Give(20), 2);
    EXPECT_EQ(counts[20], 2);
    EXPECT_EQ(items[20].nBagCell[0][11], 2);
    // A full goods page does not stop an equipment item, and its only empty cell 53 takes
    // a one-cell item.
    Item(30, 2, 0);
    for (int i = 0; i < 54 - 8 - 1; ++i) ASSERT_GE(Give(30), 0) << i;
    std::int32_t grid[kBagCells];
    BuildOccupancy(view, BagFamily::Goods, grid);
    EXPECT_EQ(std::count(std::begin(grid), std::end(grid), -1), 1);
    EXPECT_EQ(grid[53], -1);
    EXPECT_EQ(Give(30), 53);
    EXPECT_EQ(Give(30), -1);
    EXPECT_EQ(Give(12), 2);
    // An item that is not held does not block: its stale cells are ignored.
    counts[12] = 0;
    BuildOccupancy(view, BagFamily::Equipment, grid);
    EXPECT_EQ(std::count(std::begin(grid), std::end(grid), -1), kBagCells);
}

}  // namespace
