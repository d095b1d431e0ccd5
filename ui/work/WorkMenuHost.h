// The holder of the work panels (shop, manufacture, inlay, combining table): at most one
// is open, drawn after the toolbar every frame and given the left clicks that fall in
// it. Event scripts and the toolbar open them; the toolbar's close-all closes them.
#pragma once
#include <memory>

#include "platform/Base.h"

class CGamePanel;
class CTradeMenu;
class CCombineMenu;
class CInlayMenu;
class CManufactureMenu;

enum WorkKind : int { kWorkNone = -1, kWorkTrade = 0, kWorkManufacture = 1, kWorkInlay = 2, kWorkCombine = 3 };

class CWorkMenuHost {
public:
    CWorkMenuHost();
    virtual ~CWorkMenuHost();
    CWorkMenuHost(const CWorkMenuHost&) = delete;
    CWorkMenuHost& operator=(const CWorkMenuHost&) = delete;

    // Closes every panel (toolbar and work), then opens the panel of that kind (the
    // shop's number counts for the trade only) with the item panel beside it. 1 when a
    // panel opened; 0 for an unknown kind or a shop outside 0..15.
    int Open(int nKind, int nShop);
    void Draw();
    // 1 when the click fell in the open panel (the panel closes on its code 2).
    int OnLButtonUp();
    // No work panel takes keys: always 0.
    int OnKeyDown(int nKey);
    // Undoes an open trade and gives back what lies in any open work panel, then
    // closes it (the toolbar's close-all).
    void CloseAll();

    int GetOpenKind() const { return m_nOpenKind; }
    bool IsOpen() const { return m_nOpenKind != kWorkNone; }
    bool IsTradeOpen() const { return m_pTrade != nullptr; }
    bool IsCombineOpen() const { return m_pCombine != nullptr; }
    CCombineMenu* Combine() const { return m_pCombine.get(); }
    // The item panel's one-click transfer into the open combining table; true when placed.
    bool PutIntoCombine(int nItem);
    CTradeMenu* Trade() const { return m_pTrade.get(); }
    CInlayMenu* Inlay() const { return m_pInlay.get(); }
    CManufactureMenu* Manufacture() const { return m_pManufacture.get(); }
    // The item panel's one-click sale into the open trade; true when sold.
    bool SellToTrade(int nItem);
    // The right click and double click on a good of the open trade.
    int BuyUnderCursor();
    // True when the cursor lies on the open trade panel.
    bool HitTest(POINT pt) const;

private:
    CGamePanel* OpenPanel() const;
    void DeleteOpen();

    void CloseBoards();

    int m_nOpenKind = kWorkNone;
    std::unique_ptr<CTradeMenu> m_pTrade;
    std::unique_ptr<CCombineMenu> m_pCombine;
    std::unique_ptr<CManufactureMenu> m_pManufacture;
    std::unique_ptr<CInlayMenu> m_pInlay;
};
