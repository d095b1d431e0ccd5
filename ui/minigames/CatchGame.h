// The catch game: items fly across the upper screen from left to right, a hand at the
// bottom follows the mouse and rises on a left click; an item the hand meets goes to
// the hero. It runs 6001 frames in its own loop.
#pragma once
#include <memory>

#include "platform/Base.h"

class CDXSprite;
class CDXSurface;

constexpr int kCatchSlots = 10;
constexpr int kCatchLastFrame = 6000;
constexpr DWORD kCatchSpawnMs = 2001;

// One flying item: its kind (0..4, also the item number it gives), speed and row. The
// items draw with one sheet of item tiles that the game holds.
class CFlyItem {
public:
    // pSheet is the game's item sheet (not owned); without one the item is not drawn
    // and cannot be caught.
    explicit CFlyItem(CDXSprite* pSheet);
    virtual ~CFlyItem();
    CFlyItem(const CFlyItem&) = delete;
    CFlyItem& operator=(const CFlyItem&) = delete;

    // Starts at the left edge with the speed and row of kind n % 5, showing tile n.
    void Set(int n);
    // Draws the item keyed at its place, then moves it on: true while it is on screen.
    // The sheet keeps the place and tile drawn until the next item draws.
    bool Move();

    int m_nSpeed = 0;
    int m_x = 0;
    int m_y = 0;
    CDXSprite* m_pSheet = nullptr;
    int m_nKind = -1;
};

class CCatchGame {
public:
    CCatchGame();
    virtual ~CCatchGame();
    CCatchGame(const CCatchGame&) = delete;
    CCatchGame& operator=(const CCatchGame&) = delete;

    // The game's loop: 1 when it ran its frames, 0 when a quit or a close stopped it.
    int Run();

    int m_bRunning = 0;
    int m_nMouseX = 0;
    // The item tiles, decoded once for all the items.
    std::unique_ptr<CDXSprite> m_pItemSheet;
    std::unique_ptr<CFlyItem> m_pItems[kCatchSlots];
    int m_bRising = 0;
    POINT m_ptHand{300, 430};
    std::unique_ptr<CDXSurface> m_pBack;
    std::unique_ptr<CDXSprite> m_pHand;
    std::unique_ptr<CDXSurface> m_pTimeBar;

private:
    void Spawn(DWORD dwNow);
    void MoveItems();
    void MoveHand();
    void DrawTimeBar(int c) const;

    DWORD m_dwLastSpawn = 0;
};

// A caught unit of item nItem: into the controlled hero's bag as a script gift goes
// (then counted); with no room it is dropped at the hero's feet.
void GiveCaughtItem(int nItem);
