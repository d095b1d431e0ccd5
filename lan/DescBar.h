// A floating box beside the cursor with an item's name and description. Its owner sets
// the item and the visible flag and draws it each frame; it hides itself when neither
// the goods panel nor the tool bar's panel is open, and on a click.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;
class CMouse;

class CDescBar {
public:
    static constexpr int kSlots = 20;

    CDescBar();
    virtual ~CDescBar();
    CDescBar(const CDescBar&) = delete;
    CDescBar& operator=(const CDescBar&) = delete;

    bool CreateSlot(int nSlot, int nRow, int nTile);
    // Draws the box at the cursor when visible, then hides it when its panels are
    // closed or the mouse clicked; 1.
    int Draw(CMouse& mouse);

    int m_nItem = -1;
    int m_bVisible = 0;
    CDXSprite* GetSlot(int n) const { return n >= 0 && n < kSlots ? m_pSlot[n].get() : nullptr; }

private:
    std::unique_ptr<CDXSprite> m_pSlot[kSlots];
};

extern CDescBar* pDescBar;
