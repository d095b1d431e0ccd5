#include "ui/work/ProgressBoard.h"

#include <algorithm>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/ToolBarHost.h"
#include "ui/work/WorkItems.h"
#include "world/Player.h"

namespace {

constexpr int kBoardTop = 50;
// The height a board takes when its background picture is missing.
constexpr int kDefaultHeight = 380;
constexpr int kStripWidth = 99, kStripRow = 44;

ItemGridLayout BoardLayout(POINT ptOrigin) {
    ItemGridLayout layout;
    layout.nColumns = 8;
    layout.nRows = 11;
    layout.ptOrigin = POINT{ptOrigin.x + 73, ptOrigin.y + 39};
    layout.nPitchX = 28;
    layout.nPitchY = 29;
    layout.nCellWidth = 25;
    layout.nCellHeight = 25;
    layout.nTallRows = 6;
    return layout;
}

// A rectangle of the board's picture at its place on the screen: the right-hand column
// slides left by the fold.
RECT Placed(RECT rc, POINT ptOrigin) {
    const int dx = rc.left >= kBoardRightColumn ? -kBoardFold : 0;
    return RECT{rc.left + ptOrigin.x + dx, rc.top + ptOrigin.y, rc.right + ptOrigin.x + dx, rc.bottom + ptOrigin.y};
}

}  // namespace

bool HeroMayUse(int nItem) {
    const ItemRow* pRow = WorkItemRow(nItem);
    if (!pRow || !pPlayer || pPlayer->nMember < 0 || pPlayer->nMember >= kFitCount) return false;
    return pRow->bFit[pPlayer->nMember] != 0;
}

CProgressBoard::CProgressBoard(const char* pszBackground, int nEntries)
    : CGamePanel(0, 0, 0, 0),
      m_pBoardPicture(LoadMenuSurface(pszBackground, true)),
      m_grid(BoardLayout(POINT{0, kBoardTop})),
      m_entries(size_t(std::max(nEntries, 1)), -1) {
    m_ptOrigin = POINT{0, kBoardTop};
    const int nHeight = m_pBoardPicture ? m_pBoardPicture->GetHeight() : kDefaultHeight;
    m_rcPanel = RECT{0, kBoardTop, kBoardRoom, kBoardTop + nHeight};
    m_slot.nCell = kBoardSlot;
    m_slot.rc = Placed(RECT{352, 38, 405, 207}, m_ptOrigin);
    m_rcStart = Placed(RECT{329, 268, 428, 312}, m_ptOrigin);
    m_rcClose = Placed(RECT{329, 320, 428, 364}, m_ptOrigin);
    m_rcProgress = Placed(RECT{341, 239, 433, 249}, m_ptOrigin);
    m_pPlaceMark.reset(LoadMenuSurface("ItemPos.bmp", true));
    m_pProgress.reset(LoadMenuSurface("Making.bmp", true));
    m_pButtons.reset(LoadMenuSurface("ManufactureButton.bmp", true));
}

CProgressBoard::~CProgressBoard() = default;

int CProgressBoard::CellAt(POINT pt) const {
    const int n = m_grid.CellAt(pt);
    if (n >= 0) return n;
    return PtInRect(m_slot.rc, pt) ? kBoardSlot : -1;
}

const RECT& CProgressBoard::CellRect(int nCell) const {
    return nCell >= 0 && nCell < kBoardCells ? m_grid.Cell(nCell).rc : m_slot.rc;
}

int CProgressBoard::OnLButtonUp() {
    CToolBarHost& host = ToolBarHost();
    if (m_bRunning) {
        PlayPanelClick();
        return kPanelHandledOne;
    }
    const POINT pt = host.GetMousePos();
    const int nCarried = host.GetCarriedItem();
    if (nCarried < 0) {
        if (TakeOut(CellAt(pt))) {
            PlayPanelClick();
            return kPanelHandledOne;
        }
    } else if (PlaceCarried(nCarried, pt)) {
        PlayPanelClick();
        return kPanelHandledOne;
    }
    if (PtInRect(m_rcStart, pt)) {
        if (MayStart()) {
            if (StartSounds()) PlayPanelClick();
            m_bRunning = true;
            m_nSteps = 1;
        }
    } else if (PtInRect(m_rcClose, pt)) {
        PlayPanelClick();
        return kPanelClose;
    }
    return kPanelMissed;
}

bool CProgressBoard::TakeOut(int nCell) {
    if (nCell == kBoardSlot) {
        if (m_slot.nItem < 0) return false;
        ToolBarHost().SetCarriedItem(m_slot.nItem);
        ClearSlot();
        return true;
    }
    const int nItem = m_grid.ItemAt(nCell);
    if (nItem < 0) return false;
    m_grid.ClearRegion(m_grid.AnchorAt(nCell), WorkItemShape(nItem));
    auto it = std::find(m_entries.begin(), m_entries.end(), nItem);
    if (it != m_entries.end()) *it = -1;
    ToolBarHost().SetCarriedItem(nItem);
    return true;
}

bool CProgressBoard::PlaceOnBoard(int nCell, int nItem) {
    const int nShape = WorkItemShape(nItem);
    if (nCell < 0 || nCell >= kBoardCells || !m_grid.Fits(nCell, nShape)) return false;
    auto it = std::find(m_entries.begin(), m_entries.end(), -1);
    // A full list refuses the item: one lying on the board without an entry would be
    // neither counted nor given back.
    if (it == m_entries.end()) return false;
    *it = nItem;
    m_grid.MarkRegion(nCell, nShape, nItem);
    ToolBarHost().SetCarriedItem(-1);
    return true;
}

bool CProgressBoard::BoardHoldsItem() const {
    for (int n = 0; n < kBoardCells; ++n)
        if (m_grid.ItemAt(n) >= 0) return true;
    return false;
}

void CProgressBoard::SetSlot(int nItem) {
    m_slot.nItem = nItem;
    m_slot.nAnchor = nItem >= 0 ? kBoardSlot : -1;
}

void CProgressBoard::ClearSlot() { SetSlot(-1); }

void CProgressBoard::ShowPutInNotice() { ToolBarHost().ShowPictureNotice("PutInItem.bmp"); }

void CProgressBoard::RunProgress() {
    m_dwNow = TimeGetTime();
    // A signed difference, so a clock that wrapped still steps.
    if (std::int32_t(m_dwNow - m_dwLastStep) > kBoardStepMs) {
        m_dwLastStep = m_dwNow;
        if (++m_nSteps > kBoardSteps) {
            m_grid.ClearAll();
            FinishRun();
            m_bRunning = false;
            std::fill(m_entries.begin(), m_entries.end(), -1);
            return;
        }
    }
    if (!m_pProgress || !pBack) return;
    const RECT rcSource{0, 0, m_nSteps, 10};
    m_pProgress->BlitKeyed(pBack, m_rcProgress.left, m_rcProgress.top, &rcSource);
}

void CProgressBoard::GiveBackAll() {
    std::vector<int> items;
    if (m_slot.nItem >= 0) items.push_back(m_slot.nItem);
    for (int n = 0; n < kBoardCells; ++n)
        if (m_grid.ItemAt(n) >= 0 && m_grid.AnchorAt(n) == n) items.push_back(m_grid.ItemAt(n));
    m_grid.ClearAll();
    ClearSlot();
    std::fill(m_entries.begin(), m_entries.end(), -1);
    m_bRunning = false;
    m_nSteps = 1;
    // A piece whose inlay bonus waits for it (the inlaid base) goes back before the
    // rest, so they do not take its room, and one the full bag refuses stays on a free
    // cursor: dropped on the ground it would lose the bonus.
    std::stable_partition(items.begin(), items.end(), HasWaitingBonus);
    for (int nItem : items) {
        if (HasWaitingBonus(nItem))
            ReturnToBagOrCursor(nItem);
        else
            ReturnToBag(nItem);
    }
}

void CProgressBoard::Draw() {
    DrawBackground();
    DrawPlacementMarks();
    DrawIcons();
    TrackCursor();
    if (m_bRunning) RunProgress();
}

// The picture in two pieces: the board up to the fold, then its right-hand column slid
// left over the fold and cut at the item panel.
void CProgressBoard::DrawBackground() {
    if (!m_pBoardPicture || !pBack) return;
    const int nWidth = m_pBoardPicture->GetWidth(), nHeight = m_pBoardPicture->GetHeight();
    const int nLeft = std::min(nWidth, kBoardRightColumn - kBoardFold);
    const RECT rcLeft{0, 0, nLeft, nHeight};
    m_pBoardPicture->BlitKeyed(pBack, m_ptOrigin.x, m_ptOrigin.y, &rcLeft);
    const int nRight = std::min(nWidth, kBoardRightColumn + kBoardRoom - nLeft);
    if (nRight <= kBoardRightColumn) return;
    const RECT rcRight{kBoardRightColumn, 0, nRight, nHeight};
    m_pBoardPicture->BlitKeyed(pBack, m_ptOrigin.x + nLeft, m_ptOrigin.y, &rcRight);
}

void CProgressBoard::DrawPlacementMarks() {
    const int nShape = WorkItemShape(ToolBarHost().GetCarriedItem());
    const int c = m_nHoveredCell;
    if (nShape < 0 || c < 0 || c >= kBoardCells || !m_pPlaceMark || !pBack) return;
    if ((nShape == 1 || nShape == 2) && c % 8 == 7) return;
    int cells[6];
    const int nCount = m_grid.RegionCells(c, nShape, cells);
    if (nCount == 0 || cells[nCount - 1] >= kBoardCells) return;
    for (int i = 0; i < nCount; ++i) m_pPlaceMark->BlitKeyed(pBack, m_grid.Cell(cells[i]).rc.left, m_grid.Cell(cells[i]).rc.top);
}

void CProgressBoard::DrawIcons() {
    if (!pBitmapData) return;
    for (int n = 0; n < kBoardCells; ++n) {
        const CItemCell& cell = m_grid.Cell(n);
        if (cell.nItem >= 0 && cell.nAnchor == n) pBitmapData->DrawPropIcon(cell.nItem, cell.rc.left, cell.rc.top);
    }
    if (m_slot.nItem >= 0) pBitmapData->DrawPropIcon(m_slot.nItem, m_slot.rc.left, m_slot.rc.top);
}

void CProgressBoard::TrackCursor() {
    const POINT pt = ToolBarHost().GetMousePos();
    m_nHoveredCell = CellAt(pt);
    m_nHover = -1;
    if (m_nHoveredCell >= 0) return;
    const RECT* pButtons[2] = {&m_rcStart, &m_rcClose};
    for (int i = 0; i < 2; ++i) {
        if (!PtInRect(*pButtons[i], pt)) continue;
        m_nHover = i;
        if (m_pButtons && pBack) {
            const RECT rcSource{0, kStripRow * i, kStripWidth, kStripRow * i + kStripRow};
            m_pButtons->BlitKeyed(pBack, pButtons[i]->left, pButtons[i]->top, &rcSource);
        }
    }
}
