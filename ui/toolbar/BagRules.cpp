#include "ui/toolbar/BagRules.h"

#include <algorithm>

#include "gamedata/Tables.h"

ItemRow* BagView::Item(int nItem) const {
    if (!pItems || nItem < 0 || nItem >= nItemCount) return nullptr;
    return &pItems[nItem];
}

bool BagView::Holds(int nItem) const { return pCounts && nItem >= 0 && nItem < 100 && pCounts[nItem] >= 1; }

BagFamily FamilyOfType(int nType) {
    switch (nType) {
    case 0: case 4: case 7: return BagFamily::Equipment;
    case 2: case 8: return BagFamily::Goods;
    default: return BagFamily::Other;
    }
}

bool FamilyTakesShape(BagFamily family, int nShape) {
    switch (family) {
    case BagFamily::Equipment: return nShape == 1 || nShape == 2;
    case BagFamily::Goods: return nShape >= 0 && nShape <= 3;
    case BagFamily::Other: return nShape == 0 || nShape == 1 || nShape == 3;
    }
    return false;
}

int ShapeCells(int nCell, int nShape, int pCells[6]) {
    static const int kOffsets[4][6] = {{0}, {0, 1, 9, 10}, {0, 1, 9, 10, 18, 19}, {0, 9}};
    static const int kCounts[4] = {1, 4, 6, 2};
    if (nShape < 0 || nShape > 3) return 0;
    for (int i = 0; i < kCounts[nShape]; ++i) pCells[i] = nCell + kOffsets[nShape][i];
    return kCounts[nShape];
}

void BuildOccupancy(const BagView& view, BagFamily family, std::int32_t grid[kBagCells]) {
    std::fill(grid, grid + kBagCells, -1);
    if (view.nMember < 0 || view.nMember >= kMemberCount) return;
    for (int nItem = 0; nItem < std::min(view.nItemCount, 100); ++nItem) {
        const ItemRow* pRow = view.Item(nItem);
        // Items of a negative type belong to no family.
        if (!pRow || !view.Holds(nItem) || pRow->nType < 0 || FamilyOfType(pRow->nType) != family) continue;
        for (int c = 0; c < kBagCells; ++c)
            if (pRow->nBagCell[view.nMember][c] >= 0) grid[c] = pRow->nBagCell[view.nMember][c];
    }
}

bool FitsInBag(const std::int32_t grid[kBagCells], int nCell, int nShape) {
    if (nCell < 0 || nCell >= kBagCells) return false;
    const bool bLastColumn = nCell % kBagColumns == kBagColumns - 1;
    switch (nShape) {
    case 0: break;
    case 1: if (bLastColumn || nCell + 10 > 53) return false; break;
    case 2: if (bLastColumn || nCell + 19 > 53) return false; break;
    case 3: if (nCell + 9 > 53) return false; break;
    default: return false;
    }
    int cells[6];
    const int n = ShapeCells(nCell, nShape, cells);
    for (int i = 0; i < n; ++i)
        if (grid[cells[i]] != -1) return false;
    return true;
}

void PlaceInBag(const BagView& view, int nCell, int nShape, int nItem) {
    ItemRow* pRow = view.Item(nItem);
    if (!pRow || view.nMember < 0 || view.nMember >= kMemberCount) return;
    int cells[6];
    const int n = ShapeCells(nCell, nShape, cells);
    for (int i = 0; i < n; ++i)
        if (cells[i] >= 0 && cells[i] < kBagCells) pRow->nBagCell[view.nMember][cells[i]] = nCell;
}

int PutItemInBag(const BagView& view, int nItem) {
    const ItemRow* pRow = view.Item(nItem);
    if (!pRow || pRow->nType < 0 || view.nMember < 0 || view.nMember >= kMemberCount) return -1;
    const BagFamily family = FamilyOfType(pRow->nType);
    const int nShape = pRow->nGirdNum;
    // A shape the family does not take (or no shape at all) is never placed.
    if (!FamilyTakesShape(family, nShape)) return -1;
    std::int32_t grid[kBagCells];
    BuildOccupancy(view, family, grid);
    const int nFirst = int(std::find(grid, grid + kBagCells, -1) - grid);
    for (int c = nFirst; c < kBagCells; ++c) {
        if (grid[c] == -1 && FitsInBag(grid, c, nShape)) {
            PlaceInBag(view, c, nShape, nItem);
            return c;
        }
    }
    return -1;
}
