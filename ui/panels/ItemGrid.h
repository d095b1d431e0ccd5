// A grid of item cells as the bag and work panels show them: cells laid out by origin
// and pitch, each holding the item that covers it and the anchor (top-left cell) of
// that item's region. Regions take the bag's shape codes: 0 one cell, 1 two rows by two
// columns, 2 three rows by two columns, 3 one column of two rows (six rows on the work
// boards). The grid knows nothing of item tables or counts: its owner decides what
// goes where.
#pragma once
#include <cstddef>
#include <vector>

#include "platform/Base.h"

// One cell: its number, its screen rectangle and the item over it (-1 empty).
struct CItemCell {
    int nCell = 0;
    RECT rc{};
    int nItem = -1;
    int nAnchor = -1;
};

// Cell n lies in column n mod width and row n div width; its rectangle is
// (origin + pitch x (column, row)) to that + cell size.
struct ItemGridLayout {
    int nColumns = 9;
    int nRows = 6;
    POINT ptOrigin{};
    int nPitchX = 32;
    int nPitchY = 33;
    int nCellWidth = 25;
    int nCellHeight = 31;
    // Rows of the one-column shape 3: two in the bag, six on the work boards.
    int nTallRows = 2;
};

class CItemGrid {
public:
    explicit CItemGrid(const ItemGridLayout& layout);

    int GetCount() const { return int(m_cells.size()); }
    int GetColumns() const { return m_layout.nColumns; }
    const CItemCell& Cell(int n) const { return m_cells[size_t(n)]; }
    // The item over cell n; -1 for an empty cell or a number off the grid.
    int ItemAt(int n) const;
    // The anchor of the region over cell n; -1 when empty or off the grid.
    int AnchorAt(int n) const;
    // The first cell whose rectangle holds the point; -1 when none.
    int CellAt(POINT pt) const;

    // The cells a shape covers from an anchor, with this grid's width; the count (0 for
    // a shape outside 0..3). Cells may lie off the grid: the fit test rejects those.
    int RegionCells(int nAnchor, int nShape, int pCells[6]) const;
    // True when the region stays inside the grid (no row wrap, nothing below the last
    // row) and every cell of it is empty.
    bool Fits(int nAnchor, int nShape) const;
    // Writes the item and the anchor into every cell of the region (off-grid cells are
    // skipped); no fit test.
    void MarkRegion(int nAnchor, int nShape, int nItem);
    // Empties every cell of the region.
    void ClearRegion(int nAnchor, int nShape);
    void ClearCell(int n);
    void ClearAll();

private:
    bool InGrid(int n) const { return n >= 0 && n < GetCount(); }

    ItemGridLayout m_layout;
    std::vector<CItemCell> m_cells;
};
