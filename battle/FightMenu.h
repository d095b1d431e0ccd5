// The battle's command menu: the ring of five buttons beside the acting member, the
// skill lists (three tabs), the item and throw lists, and the pictures of the status
// display and the result panels.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/Base.h"

class CDXSurface;
class CDXSprite;

constexpr int kFightListSize = 300;

// One list of skill or item numbers with its scroll position.
struct FightList {
    std::int32_t First = 0;
    std::int32_t Count = 0;
    std::int32_t Visible = 5;
    std::int32_t Ids[kFightListSize];

    FightList();
    void ScrollUp();
    void ScrollDown();
    // Appends an id; false when the list is full.
    bool Append(int nId);
};

// Menu states.
constexpr int kMenuHidden = -1;
constexpr int kMenuRing = 0;
constexpr int kMenuSkills = 1;
constexpr int kMenuItems = 2;
constexpr int kMenuThrow = 3;
constexpr int kMenuPartyTarget = 6;
// Hover code of a tab.
constexpr int kHoverTab = 15;
constexpr int kHoverNoRingButton = 6;

class CFightMenu {
public:
    CFightMenu();
    virtual ~CFightMenu();
    CFightMenu(const CFightMenu&) = delete;
    CFightMenu& operator=(const CFightMenu&) = delete;

    // Loads every picture from the menu package; a missing picture stays null and is
    // not drawn. Returns true.
    bool LoadBmp();
    // Recomputes HoverButton and the tab state from the point (the mouse).
    void HitTest(int x, int y);
    void Draw(int x, int y);

    // Rectangles relative to their origins.
    static const RECT kRing[6];
    static const RECT kList[12];
    static const RECT kTabs[3];
    // Head box s (0..3) and its three bars.
    static RECT HeadRect(int n);

    std::int32_t bRingHidden = 0;
    std::unique_ptr<CDXSprite> pOkSprite;
    std::unique_ptr<CDXSurface> pExitSurface;
    std::int32_t HoverTab = -1;
    std::int32_t bTabArmed = 0;
    std::unique_ptr<CDXSurface> pStuntPanel, pDefancePanel;
    std::int32_t CurrentTab = 0;
    std::unique_ptr<CDXSprite> pHeadSprite, pIconSprite;
    std::uint8_t bClickArmed = 0;
    std::int32_t HoverButton = -1;
    std::int32_t MenuState = kMenuHidden;
    POINT ptStatus{0, 49};
    POINT ptRing{580, 84};
    POINT ptList{330, 240};
    std::unique_ptr<CDXSurface> pRingSurface, pLineSurface;
    std::unique_ptr<CDXSurface> pItemPanel, pAttackPanel;
    std::unique_ptr<CDXSprite> pRingHighlight;
    std::unique_ptr<CDXSurface> pVictoryPanel;
    std::unique_ptr<CDXSurface> pBloodSurface;
    std::unique_ptr<CDXSprite> pArrowUp, pArrowDown;
};
