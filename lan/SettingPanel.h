// A game-settings panel at (250, 0): music row (shown only), sound-effects row (on/off),
// a walking-speed slider with slower/faster buttons, and a cancel button. The game-mode
// object draws it in mode 13 when one is set; the game itself never sets one.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;

class CSettingPanel {
public:
    static constexpr POINT kOrigin{250, 0};
    static constexpr int kSlots = 10;
    static constexpr int kKnobSlot = 8;

    CSettingPanel();
    virtual ~CSettingPanel();
    CSettingPanel(const CSettingPanel&) = delete;
    CSettingPanel& operator=(const CSettingPanel&) = delete;

    // Draws the panel, then handles a new left press; 1.
    int Draw();
    // The left press since the last query, at the cursor of the mouse object.
    void HandleInput();
    // Applies a click at (x, y) as HandleInput does.
    void Click(int x, int y);
    bool CreateSlot(int nSlot, int nRow, int x, int y, int nTile);

    int GetKnobX() const;
    CDXSprite* GetSlot(int n) const { return n >= 0 && n < kSlots ? m_pSlot[n].get() : nullptr; }
    const RECT& GetRect(int n) const { return m_rects[n]; }

private:
    RECT m_rects[10] = {};
    std::unique_ptr<CDXSprite> m_pBackground;
    std::unique_ptr<CDXSprite> m_pCancel;
    std::unique_ptr<CDXSprite> m_pSlot[kSlots];
    int m_nKnobX = kOrigin.x + 75;  // kept apart from the sprite so a missing picture still slides
};
