// The board the inlay and manufacture panels share: 8 x 11 cells (88 cells, shape 3 one
// column of six) plus an extra slot, cell 88, a start and a close button and a progress
// bar of 92 steps of just over 100 ms on the game clock. Items lying on the board left
// the hero's bag when they were lifted; every close gives them back (GiveBackAll) and a
// run in progress is then abandoned without consuming anything.
#pragma once
#include <memory>
#include <vector>

#include "ui/panels/GamePanel.h"
#include "ui/panels/ItemGrid.h"

class CDXSurface;

constexpr int kBoardCells = 88;
constexpr int kBoardSlot = 88;  // the base slot (inlay) or the output slot (manufacture)
constexpr int kBoardSteps = 92;
constexpr int kBoardStepMs = 100;
// The board stands at (0, 50) in the room left of the item panel at x 400. Its picture's
// right-hand column (slot, bar and buttons, from x 329, reaching 433) slides 33 pixels
// left over the empty strip beside the last board column, so every button and the bar
// end at the item panel's edge; a wider picture is cut there.
constexpr int kBoardRoom = 400;
constexpr int kBoardRightColumn = 329;
constexpr int kBoardFold = 33;

class CProgressBoard : public CGamePanel {
public:
    // The background picture and the number of entries of the placed-item list.
    CProgressBoard(const char* pszBackground, int nEntries);
    ~CProgressBoard() override;

    void Draw() override;
    // Running: the click sound and 1. Otherwise takes out, places (PlaceCarried) or
    // presses a button: 2 closes, -1 when nothing was hit or a run started.
    int OnLButtonUp() override;

    // The item of cell 0..88 onto the cursor; false for an empty cell or a number off
    // the board. A board item leaves every cell of its shape and one entry of the list.
    bool TakeOut(int nCell);
    // One frame of the bar while running: a step when the clock passed the last step by
    // more than 100 ms; past 92 steps the run ends (FinishRun).
    void RunProgress();
    // Gives every item lying on the board and in the slot back to the hero's bag and
    // abandons a run: nothing is consumed. A full bag drops an item at the hero, except
    // that a piece whose inlay bonus waits for it stays on the cursor when that is free.
    void GiveBackAll();

    const CItemGrid& Grid() const { return m_grid; }
    int SlotItem() const { return m_slot.nItem; }
    const RECT& SlotRect() const { return m_slot.rc; }
    const std::vector<int>& Entries() const { return m_entries; }
    bool IsRunning() const { return m_bRunning; }
    int GetSteps() const { return m_nSteps; }
    int GetHoveredCell() const { return m_nHoveredCell; }
    // The first of the 89 cells whose rectangle holds the point; -1 when none.
    int CellAt(POINT pt) const;
    const RECT& CellRect(int nCell) const;
    const RECT& StartRect() const { return m_rcStart; }
    const RECT& CloseRect() const { return m_rcClose; }
    const RECT& ProgressRect() const { return m_rcProgress; }

protected:
    // A carried item dropped on the panel: 1 taken care of (the panel plays the sound
    // and returns 1), 0 to go on to the buttons.
    virtual int PlaceCarried(int nCarried, POINT pt) = 0;
    // The start button: true when a run may start; false after showing why not.
    virtual bool MayStart() = 0;
    // Whether the start button plays the click sound.
    virtual bool StartSounds() const { return false; }
    // The end of a run, after the board's cells were emptied and before the list is.
    virtual void FinishRun() = 0;

    // Places an item of the given shape at a board anchor when the shape fits and the
    // list has a free entry; the carried item is then cleared. False leaves all as it was.
    bool PlaceOnBoard(int nCell, int nItem);
    // True when some board cell holds an item.
    bool BoardHoldsItem() const;
    void SetSlot(int nItem);
    void ClearSlot();
    // The "put something in" picture box.
    void ShowPutInNotice();

private:
    void DrawBackground();
    void DrawPlacementMarks();
    void DrawIcons();
    void TrackCursor();

    std::unique_ptr<CDXSurface> m_pBoardPicture;
    CItemGrid m_grid;
    CItemCell m_slot;
    std::vector<int> m_entries;
    DWORD m_dwLastStep = 0;
    DWORD m_dwNow = 0;
    int m_nSteps = 1;
    bool m_bRunning = false;
    int m_nHoveredCell = -1;
    RECT m_rcStart{}, m_rcClose{}, m_rcProgress{};
    std::unique_ptr<CDXSurface> m_pPlaceMark;
    std::unique_ptr<CDXSurface> m_pProgress;
    std::unique_ptr<CDXSurface> m_pButtons;
};

// True when the current hero may use the item (its fit byte for the hero's member).
bool HeroMayUse(int nItem);
