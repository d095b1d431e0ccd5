#include "ui/panels/ItemGrid.h"

CItemGrid::CItemGrid(const ItemGridLayout& layout) : m_layout(layout) {
    const int nCount = layout.nColumns > 0 && layout.nRows > 0 ? layout.nColumns * layout.nRows : 0;
    m_cells.resize(size_t(nCount));
    for (int n = 0; n < nCount; ++n) {
        const int x = layout.ptOrigin.x + layout.nPitchX * (n % layout.nColumns);
        const int y = layout.ptOrigin.y + layout.nPitchY * (n / layout.nColumns);
        m_cells[size_t(n)].nCell = n;
        m_cells[size_t(n)].rc = RECT{x, y, x + layout.nCellWidth, y + layout.nCellHeight};
    }
}

int CItemGrid::ItemAt(int n) const { return InGrid(n) ? m_cells[size_t(n)].nItem : -1; }

int CItemGrid::AnchorAt(int n) const { return InGrid(n) && m_cells[size_t(n)].nItem >= 0 ? m_cells[size_t(n)].nAnchor : -1; }

int CItemGrid::CellAt(POINT pt) const {
    for (const CItemCell& cell : m_cells)
        if (PtInRect(cell.rc, pt)) return cell.nCell;
    // A good that covers several cells is one picture: the gaps between its own cells
    // (the middle of a 2 x 2 one among them) hit its cell above and to the left.
    const ItemGridLayout& l = m_layout;
    const int dx = pt.x - l.ptOrigin.x, dy = pt.y - l.ptOrigin.y;
    if (dx < 0 || dy < 0 || l.nPitchX < 1 || l.nPitchY < 1) return -1;
    const int nColumn = dx / l.nPitchX, nRow = dy / l.nPitchY;
    const bool bGapX = dx % l.nPitchX >= l.nCellWidth, bGapY = dy % l.nPitchY >= l.nCellHeight;
    if (nColumn + (bGapX ? 1 : 0) >= l.nColumns || nRow + (bGapY ? 1 : 0) >= l.nRows) return -1;
    const int n = nRow * l.nColumns + nColumn;
    const int nAcross = n + (bGapX ? 1 : 0) + (bGapY ? l.nColumns : 0);
    const int nAnchor = AnchorAt(n);
    return nAnchor >= 0 && AnchorAt(nAcross) == nAnchor ? n : -1;
}

int CItemGrid::RegionCells(int nAnchor, int nShape, int pCells[6]) const {
    const int w = m_layout.nColumns;
    switch (nShape) {
    case 0: pCells[0] = nAnchor; return 1;
    case 1:
        pCells[0] = nAnchor, pCells[1] = nAnchor + 1, pCells[2] = nAnchor + w, pCells[3] = nAnchor + w + 1;
        return 4;
    case 2:
        pCells[0] = nAnchor, pCells[1] = nAnchor + 1, pCells[2] = nAnchor + w, pCells[3] = nAnchor + w + 1;
        pCells[4] = nAnchor + 2 * w, pCells[5] = nAnchor + 2 * w + 1;
        return 6;
    case 3: {
        const int nRows = m_layout.nTallRows < 1 ? 1 : m_layout.nTallRows > 6 ? 6 : m_layout.nTallRows;
        for (int i = 0; i < nRows; ++i) pCells[i] = nAnchor + i * w;
        return nRows;
    }
    default: return 0;
    }
}

bool CItemGrid::Fits(int nAnchor, int nShape) const {
    if (!InGrid(nAnchor)) return false;
    const int w = m_layout.nColumns;
    // Two-column shapes may not start in the last column: they would wrap a row.
    if ((nShape == 1 || nShape == 2) && nAnchor % w == w - 1) return false;
    int cells[6];
    const int nCount = RegionCells(nAnchor, nShape, cells);
    if (nCount == 0) return false;
    for (int i = 0; i < nCount; ++i)
        if (!InGrid(cells[i]) || m_cells[size_t(cells[i])].nItem != -1) return false;
    return true;
}

void CItemGrid::MarkRegion(int nAnchor, int nShape, int nItem) {
    int cells[6];
    const int nCount = RegionCells(nAnchor, nShape, cells);
    for (int i = 0; i < nCount; ++i) {
        if (!InGrid(cells[i])) continue;
        m_cells[size_t(cells[i])].nItem = nItem;
        m_cells[size_t(cells[i])].nAnchor = nItem >= 0 ? nAnchor : -1;
    }
}

void CItemGrid::ClearRegion(int nAnchor, int nShape) { MarkRegion(nAnchor, nShape, -1); }

void CItemGrid::ClearCell(int n) {
    if (!InGrid(n)) return;
    m_cells[size_t(n)].nItem = -1;
    m_cells[size_t(n)].nAnchor = -1;
}

void CItemGrid::ClearAll() {
    for (CItemCell& cell : m_cells) cell.nItem = cell.nAnchor = -1;
}
