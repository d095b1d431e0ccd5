// The goods panel: a tall window at the right edge with a 5 × 5 grid of cells on four
// pages of 25 (100 cells). Goods take one cell or a block of 2 × 2, 2 × 3 or 2 × 4 cells
// by their size code; the goods grid owns their pictures and positions, the panel only
// lays them out, pages and hands dragged goods back. The description bar shows a good
// the cursor rests on.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;
class CMouse;

class CGoodsPanel {
public:
    static constexpr int kCells = 100;
    static constexpr int kPageCells = 25;
    static constexpr int kTakenFlags = 120;
    static constexpr int kGoods = 200;
    static constexpr int kSprites = 50;
    static constexpr int kRestFrames = 30;

    CGoodsPanel();
    virtual ~CGoodsPanel();
    CGoodsPanel(const CGoodsPanel&) = delete;
    CGoodsPanel& operator=(const CGoodsPanel&) = delete;

    // Lays out, handles the mouse and draws while shown; 0 when hidden.
    int Update(CMouse& mouse);
    // A new left press or the end of a drag over the panel.
    void OnClick(CMouse& mouse);
    bool CreateSprite(int nSlot, int nKind, int nFrame, int x, int y);
    // Moves every good of the shown page to its cell and the pinned goods to their points.
    void LayoutPage();

    // Size code of an item: 1, 4, 6 or 8 by its bag shape; 0 for no item.
    static int SizeOf(int nItem);
    // Cells a block of that size takes from anchor v; false when v may not anchor it on
    // page nPage (the block would leave the page or wrap past its last column).
    static bool BlockCells(int nSize, int v, int nPage, int pCells[8], int* pCount);
    // Places the good on the shown page, else on any page: its cell, or -1 (string 51
    // shows while the message flag is set).
    int PlaceGood(int nItem);
    int PlaceGoodOnPage(int nItem, int nPage);
    // Frees the good's cells.
    void FreeGood(int nItem);
    // Moves the good to anchor cell v; false when the block does not fit there.
    bool MoveGood(int nItem, int v);
    // Screen position of cell v (its page's column and row).
    POINT CellPos(int v) const;
    // The position the good's cell gives, when the good has a cell.
    bool CellOfGood(int nItem, POINT* pPos) const;
    int GetCellOfGood(int nItem) const { return nItem >= 0 && nItem < kGoods ? m_nCellOfGood[nItem] : -1; }
    bool IsCellTaken(int v) const { return v >= 0 && v < kTakenFlags && m_bTaken[v] != 0; }
    // Clears every cell and every good's cell.
    void ClearCells();

    CDXSprite* GetSprite(int n) const { return n >= 0 && n < kSprites ? m_pSprite[n].get() : nullptr; }

    int m_bMessage = 1;
    POINT m_ptPinned[2] = {{-3000, -3000}, {-3000, -3000}};
    int m_nPinnedGood[2] = {-1, -1};
    int m_nPage = 0;
    int m_nHoverGood = -1;
    int m_nHoverFrames = 0;
    int m_bShown = 0;

private:
    void MoveGoodsOff();
    void TrackHover(CMouse& mouse);

    int m_nScreenWidth = 640;
    int m_nCellOfGood[kGoods];
    int m_bTaken[kTakenFlags] = {};
    POINT m_ptCell[kPageCells] = {};
    std::unique_ptr<CDXSprite> m_pSprite[kSprites];
    std::unique_ptr<CDXSprite> m_pClose;
};

// Null unless an owner sets it; nothing in play does.
extern CGoodsPanel* pGoodsPanel;
