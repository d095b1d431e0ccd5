// A side panel with one page per party slot: the member's portrait, name and values,
// paging buttons and a close button. Items dropped on it from the goods grid restore the
// member's life and inner power; a member at 0 life takes only the two reviving items.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;
class CMouse;
class CPlayer;

class CPartyPanel {
public:
    static constexpr int kSlots = 10;

    CPartyPanel();
    virtual ~CPartyPanel();
    CPartyPanel(const CPartyPanel&) = delete;
    CPartyPanel& operator=(const CPartyPanel&) = delete;

    // Draws the page and handles the mouse: 0 when closed (or closed now), else 1.
    int Update(CMouse& mouse);
    bool PlaceSprite(int nSlot, int nRow, int nFrame, int x, int y);
    void SetPortrait(int nFrame);
    void SetHeroPortrait();
    // Applies an item dropped on the panel to the page's member.
    void DropItem(CMouse& mouse);
    // Applies a left press at the cursor (the press test of Update already passed).
    int Click(CMouse& mouse);

    // The record of the member the page shows; null when the slot holds none.
    static CPlayer* PageMember(int nPage);

    int m_nPage = 0;
    int m_bOpen = 0;
    int m_nShownWord = -1;
    CDXSprite* GetSlot(int n) const { return n >= 0 && n < kSlots ? m_pSlot[n].get() : nullptr; }
    CDXSprite* GetClose() const { return m_pClose.get(); }

private:
    void ShowPage(int nPage);
    void DrawTexts(const CPlayer& member);

    std::unique_ptr<CDXSprite> m_pSlot[kSlots];
    std::unique_ptr<CDXSprite> m_pClose;
};
