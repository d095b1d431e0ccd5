// An older bottom tool bar: icon sprites, five buttons that open and close the goods
// panel, the status panel and the description bar, and three quick icons. It owns the
// description bar and, once CreateGoods ran, the goods panel and grid; the status panel
// it makes when its button first asks for it.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;
class CDescBar;
class CGoodsGrid;
class CGoodsPanel;
class CStatusPanel;

class CIconToolBar {
public:
    static constexpr int kSprites = 50;
    static constexpr int kQuick = 3;
    // Draw lays out six rectangles; the clicks test the first five.
    static constexpr int kButtons = 6;
    static constexpr int kClickButtons = 5;

    CIconToolBar(int a, int b);
    virtual ~CIconToolBar();
    CIconToolBar(const CIconToolBar&) = delete;
    CIconToolBar& operator=(const CIconToolBar&) = delete;

    int Draw();
    // 0 while an event runs or on the first call (which arms it); 1 once armed.
    int TryActivate();
    bool SetIcon(int nSlot, int nPicture, int nFrame, int x, int y);
    void AddQuickIcon(int nItem);
    void RemoveQuickIcon(int nItem);
    void SyncEquipment();
    // Tests the five buttons against the mouse and opens or closes the panels.
    void OnClick();
    // Makes the goods panel and grid again (the old ones are freed).
    void CreateGoods();

    // Button n (0 to kButtons - 1) as the last draw laid it out.
    const RECT& GetButton(int n) const { return m_rcButton[n]; }
    int GetQuickItem(int n) const { return n >= 0 && n < kQuick ? m_nQuickItem[n] : -1; }
    const CDXSprite* GetSprite(int n) const { return n >= 0 && n < kSprites ? m_pSprite[n].get() : nullptr; }

    int m_bArmed = 0;
    int m_nSelected = -1;

private:
    int m_nOwnerA = 0, m_nOwnerB = 0;
    RECT m_rcButton[kButtons] = {};
    RECT m_rcArea[3] = {};
    int m_nQuickItem[kQuick] = {-1, -1, -1};
    int m_bQuickUsed[kQuick] = {};
    std::unique_ptr<CDXSprite> m_pSprite[kSprites];
    std::unique_ptr<CDescBar> m_pDescBar;
    std::unique_ptr<CGoodsPanel> m_pGoodsPanel;
    std::unique_ptr<CGoodsGrid> m_pGoodsGrid;
    std::unique_ptr<CStatusPanel> m_pStatusPanel;
};
