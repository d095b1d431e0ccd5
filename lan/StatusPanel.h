// The status and equipment panel: one page per party slot with the member's portrait,
// seven lines of figures and six equipment boxes. Items are dragged onto the boxes from
// the goods grid while the goods panel is open; the weapon, armour and shoot boxes wear
// them (attack and defence grow), the other three hand them back. An equipped item the
// hero holds once waits at the rest point; one held more than once stays visible in the
// grid and is also kept in the page's stack row.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;
class CMouse;
class CPlayer;

class CStatusPanel {
public:
    static constexpr int kPages = 4;
    static constexpr int kRowSlots = 10;   // per page; boxes are slots 4..9
    static constexpr int kSprites = 200;
    static constexpr int kLines = 7;

    CStatusPanel();
    virtual ~CStatusPanel();
    CStatusPanel(const CStatusPanel&) = delete;
    CStatusPanel& operator=(const CStatusPanel&) = delete;

    // Handles the mouse over page k and draws it: 1 when drawn, 0 when the page is not
    // open (or was closed now).
    int DrawPage(CMouse& mouse, int k);
    // Page buttons and the cancel button's hover: 1 when the click was consumed.
    int HandlePageButtons(CMouse& mouse, int k);
    // Closing, drops from the goods grid, carrying items off the boxes.
    void HandleEquipMouse(CMouse& mouse, int k);
    // A drop of an item carried as its own picture, and a pick-up from a box.
    void HandleDrop(CMouse& mouse, int k);
    // Creates slots 0, 1 and 4..9 of page k.
    void BuildPage(int k);
    // A new sprite in the slot (the old one is freed); false when it cannot be made.
    bool CreateSlot(int nSlot, int nRow, int nTile, int x, int y);
    // Hides and records the equipment of the member whose page shows that party id.
    void LoadEquipment(int nMemberId);
    // Adds the attack and defence of the member's worn items, for party members only.
    void ApplyEquipment(int nMemberId);
    // Takes the page's member's equipment off and shifts the later pages' rows down.
    void ReleaseMember(int nPage);
    void ClearRows();
    void MarkSlot();

    // Opens page k (closing the others) and builds it.
    void OpenPage(int k);
    bool IsPageOpen(int k) const { return k >= 0 && k < kPages && m_bPageOpen[k] != 0; }
    void ClosePages();
    // The record page k shows: the hero on page 0, the party member of slot k else;
    // null when the slot is empty or the record is missing.
    static CPlayer* PageMember(int k);
    // Box slot 4..9 → the member's equipment field; null outside.
    static std::int32_t* BoxField(CPlayer* pMember, int nSlot);
    // Box slot 4..9 → the top-left corner of its box on every page; (-1, -1) outside.
    static POINT BoxCorner(int nSlot);
    // Takes the carried-off item (true) and stops carrying.
    bool TakeCarried(int* pItem);
    // True when the item stands in a stack row; that entry is cleared.
    bool ClearStack(int nItem);

    CDXSprite* GetSlot(int n) const { return n >= 0 && n < kSprites ? m_pSlot[n].get() : nullptr; }
    const char* GetLine(int n) const { return n >= 0 && n < kLines ? m_szLine[n] : ""; }

    int m_bBusy = 0;
    RECT m_rcHot[10] = {};
    int m_nCarriedItem = -1;
    int m_bCarrying = 0;
    int m_nStack[kPages][kRowSlots];
    POINT m_ptRest{3000, 3000};
    int m_nEquip[kPages][kRowSlots];
    int m_nMarkedSlot = -1;
    int m_bPageOpen[kPages] = {};
    int m_bDropped = 0;

private:
    void FormatLines(const CPlayer* pMember);
    void DrawCancel(const CMouse& mouse);
    void CloseFromCancel(CMouse& mouse);
    int SwitchTarget(int k, bool bNext) const;
    bool TakeDroppedPlace(CMouse& mouse, int k);
    void PickUpFromBox(CMouse& mouse, int k);

    char m_szLine[kLines][96] = {};
    std::unique_ptr<CDXSprite> m_pSlot[kSprites];
    std::unique_ptr<CDXSprite> m_pCancel;
};

// Null unless an owner sets it; nothing in play does.
extern CStatusPanel* pStatusPanel;
