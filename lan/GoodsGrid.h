// The goods grid: up to 500 places, each holding one item number with a picture that is
// dragged between the panels of its family (status pages, goods panel, sprite board,
// combining grid). The hero's count of each item is the stock; a place only shows it.
// The panels reach the grid through pGoodsGrid, and the grid reaches them through the
// peer link below, whose default answers "panel absent" (closed, flags 0).
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;
class CMouse;

constexpr int kGridPlaces = 500;
constexpr int kGridFirstPlace = 1;   // place 0 is never used
constexpr int kGridLastPlace = 99;
constexpr POINT kRestPoint{3000, 3000};   // an equipped item's picture waits here
constexpr POINT kOffPage{-3000, -100};    // laid off the goods panel's shown page
constexpr POINT kUnplaced{-100, -100};

// What the grid asks of the panels around it. The defaults forward to the family's
// panels through their global pointers (pStatusPanel, pGoodsPanel); a panel that is
// not there answers "absent": closed, flags 0, no cell.
class CGoodsGridPeers {
public:
    virtual ~CGoodsGridPeers() = default;
    virtual bool IsStatusPageOpen(int nPage);
    virtual bool IsGoodsPanelOpen();
    virtual bool IsToolBarPanelShown() { return false; }
    // The item a status page is carrying off an equipment slot: true and the item, and
    // the page stops carrying.
    virtual bool TakeStatusCarried(int* pItem);
    // True when the item stands in a status page's stack row; the entry is cleared.
    virtual bool ClearStatusStack(int nItem);
    // The goods panel's cell position of an item; false when it has none.
    virtual bool GoodsPanelCell(int nItem, POINT* pPos);
    virtual void LayoutGoodsPanel();
    virtual void ResetGoodsPanelPage() {}
    // Places string-table entry nId in the main window's message text.
    virtual void ShowMessage(int nId);
};

CGoodsGridPeers* GoodsGridPeers();
void SetGoodsGridPeers(CGoodsGridPeers* pPeers);

class CGoodsGrid {
public:
    CGoodsGrid();
    virtual ~CGoodsGrid();
    CGoodsGrid(const CGoodsGrid&) = delete;
    CGoodsGrid& operator=(const CGoodsGrid&) = delete;

    // Per-frame drawing and dragging; 0 when no panel that uses the grid is open.
    int Update(CMouse& mouse);
    // Puts the item into the first free place 1..99: the item number, or -1 when every
    // place is taken or the item is no item number (nothing changes then).
    int AddItem(int* pPlace, int nItem);
    bool CreatePlaceSprite(int nPlace, int nRow);
    // Draws a place's item and its count ("*%d" from 2 up); 1 in every case.
    int DrawSlot(int nPlace);
    // Empties the place that holds the last one of the item; passing places with more
    // held lowers the count by one each.
    void RemoveItem(int nItem);

    // Accessors for the panels of the family; out-of-range indices answer "nothing".
    int GetItem(int nPlace) const;
    void SetItem(int nPlace, int nItem);
    CDXSprite* GetSprite(int nPlace) const;
    POINT GetPos(int nItem) const;
    void SetPos(int nItem, POINT pt);
    // The first place (1..kGridPlaces-1) that holds the item, -1 none.
    int FindPlace(int nItem) const;
    int GetCarried() const { return m_nCarried; }
    void SetCarried(int nPlace) { m_nCarried = nPlace; }
    int CarriedItem() const { return GetItem(m_nCarried); }
    CDXSprite* GetCarriedSprite() const { return m_pCarriedSprite.get(); }
    void DeleteCarriedSprite();
    // Drops the place's picture (the item left the grid for a box of another panel).
    void ReleasePlaceSprite(int nPlace);
    int GetOpenFlag(int n) const { return n >= 0 && n < 6 ? m_bOpen[n] : 0; }

    int m_bBoardBusy = 0;
    int m_bTaken = 0;

private:
    bool MakeCarriedSprite(int x, int y);
    void HandlePress(CMouse& mouse, bool* pEnd);
    void HandleRelease(CMouse& mouse);

    int m_bOpen[6] = {};
    int m_nCarried = -1;
    int m_nItem[kGridPlaces] = {};
    POINT m_pos[kGridPlaces];
    std::unique_ptr<CDXSprite> m_pSprite[kGridPlaces];
    std::unique_ptr<CDXSprite> m_pCarriedSprite;
};

extern CGoodsGrid* pGoodsGrid;

// The cursor's position and whether its sprite touches another sprite (bounding boxes).
bool MouseTouches(const CMouse& mouse, const CDXSprite* pSprite);
// True when the cursor lies in the box of nSize pixels at the sprite's position.
bool CursorInBox(const CMouse& mouse, const CDXSprite* pSprite, int nSize);
