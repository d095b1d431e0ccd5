// The bag rules: every item that reaches the controlled hero is placed into a grid of
// 9 columns by 6 rows per item family (goods, equipment, other). An item covers one
// region of cells given by its shape code; each placed unit gets a region of its own.
// The regions live in each item's bag table, one 54-cell table per hero character.
// This unit knows nothing of the screen: the toolbar and the panels call it.
#pragma once
#include <cstdint>

struct ItemRow;

constexpr int kBagColumns = 9;
constexpr int kBagRows = 6;
constexpr int kBagCells = kBagColumns * kBagRows;

// Item families and the item panel page that shows each.
enum class BagFamily { Goods = 0, Equipment = 1, Other = 2 };

// What a placement reads and writes: the item table, the hero's counts and the hero's
// character index (which of the four 54-cell tables is used).
struct BagView {
    ItemRow* pItems = nullptr;
    int nItemCount = 0;
    const std::int32_t* pCounts = nullptr;  // 100 counts by item id; null: holds nothing
    int nMember = 0;                        // 0..3

    ItemRow* Item(int nItem) const;
    bool Holds(int nItem) const;
};

// The family of an item type: equipment 0, 4, 7; goods 2, 8; every other type "other".
BagFamily FamilyOfType(int nType);
// The item panel page of a family (goods 0, equipment 1, other 2).
inline int PageOfFamily(BagFamily family) { return int(family); }
// True when the family accepts the shape: equipment 1 and 2, goods 0..3, other 0, 1, 3.
bool FamilyTakesShape(BagFamily family, int nShape);

// The occupancy of a family: for every held item of the family, its anchors copied in.
void BuildOccupancy(const BagView& view, BagFamily family, std::int32_t grid[kBagCells]);
// The fit test: every cell of the region free (-1), no row wrap, nothing off the grid.
// False for a shape outside 0..3 or a cell outside 0..53.
bool FitsInBag(const std::int32_t grid[kBagCells], int nCell, int nShape);
// Writes anchor nCell into the item's table for each covered cell.
void PlaceInBag(const BagView& view, int nCell, int nShape, int nItem);
// Places one region of the item at the first cell that fits; the cell, or -1 when
// there is no room (nothing changes then). Counts are not touched.
int PutItemInBag(const BagView& view, int nItem);
// The cells a shape covers from an anchor; the count (0 for a bad shape).
int ShapeCells(int nCell, int nShape, int pCells[6]);
