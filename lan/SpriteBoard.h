// The sprite board: two input boxes that take items dragged from the goods grid, a
// confirm button and a six-frame animation, after which the pair is replaced in the
// hero's stock by the item the game data's combination table gives for it (row A,
// column B; the other order when that entry is empty).
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;
class CMouse;

class CSpriteBoard {
public:
    static constexpr int kSlots = 200;
    static constexpr int kFirstFrame = 45;
    static constexpr int kLastFrame = 50;
    static constexpr int kTicks = 101;

    CSpriteBoard();
    virtual ~CSpriteBoard();
    CSpriteBoard(const CSpriteBoard&) = delete;
    CSpriteBoard& operator=(const CSpriteBoard&) = delete;

    // Input and drawing of one frame: 1, or 0 when the board was closed this frame.
    int Update(CMouse& mouse);
    bool CreateSlot(int nSlot, int nRow, int nTile, int x, int y);
    bool Rebuild(int nSlot, int nRow, int nTile, int x, int y) { return CreateSlot(nSlot, nRow, nTile, x, y); }
    // Replaces the boxes' pair by its combination; sets the failed flag without one.
    void Combine();
    // Gives the goods grid a place picture for an item taken back out of a box.
    void CreateGridPicture(int nItem);
    // When pSprite touches the board's slot, its position minus (15, 20) goes to *pOut,
    // else the fallback point; the second form answers whether they touch.
    void SnapToSprite(const CDXSprite* pSprite, int nSlot, POINT* pOut, POINT ptFallback) const;
    bool SnapToSprite(const CDXSprite* pSprite, int nSlot) const;

    // The combination table's entry at row a, column b; -1 none (or outside the table).
    static int CombinationOf(int a, int b);

    CDXSprite* GetSlot(int n) const { return n >= 0 && n < kSlots ? m_pSlot[n].get() : nullptr; }

    int m_nItemA = -1;
    int m_nItemB = -1;
    int m_nResult = -1;
    int m_bFailed = 0;
    int m_nGridPlace = -1;
    int m_bFilledA = 0;
    int m_bFilledB = 0;
    // The box entries a goods panel would keep: the items placed by their pictures.
    int m_nBoxItem[2] = {-1, -1};
    POINT m_ptBox[2] = {};
    POINT m_ptPoints[3] = {{20, 275}, {70, 275}, {170, 200}};
    int m_bCombining = 0;
    int m_nFrameSlot = kFirstFrame;
    int m_bOpen = 0;
    int m_nCounter = 0;

private:
    void HandlePress(CMouse& mouse);
    bool HandleClick(CMouse& mouse);
    void HandleRelease(CMouse& mouse);
    void Draw(const CMouse& mouse);
    void StepAnimation();
    void TakeBackFromBox(int nBox);

    std::unique_ptr<CDXSprite> m_pCancel;
    std::unique_ptr<CDXSprite> m_pSlot[kSlots];
};
