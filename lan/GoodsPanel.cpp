#include "lan/GoodsPanel.h"

#include <algorithm>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "lan/DescBar.h"
#include "lan/GoodsGrid.h"
#include "lan/LanPictures.h"
#include "platform/Window.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

CGoodsPanel* pGoodsPanel = nullptr;

namespace {

const LanPicture kKinds[] = {
    {"wupinglan.bmp", 337, 483, 1},
    {"1.bmp", 34, 40, 1},
    {"anjian.bmp", 30, 30, 6},
    {"0120.bmp", 80, 80, 1},
};
constexpr int kBackButton = 48;
constexpr int kForwardButton = 49;
constexpr int kLastPage = 75;
constexpr POINT kOffScreen{-3000, -100};

bool ValidItem(int n) { return n >= 0 && n < kHeroItemCount; }

int ScreenWidth() {
    return pGameData && pGameData->pOptions ? pGameData->pOptions->nScreenWidth : 640;
}

}  // namespace

CGoodsPanel::CGoodsPanel() : m_nScreenWidth(ScreenWidth()) {
    const int w = m_nScreenWidth;
    std::fill(std::begin(m_nCellOfGood), std::end(m_nCellOfGood), -1);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) m_ptCell[5 * r + c] = POINT{w - 245 + 44 * c, 158 + 42 * r};
    CreateSprite(0, 0, 0, w - 337, 0);
    for (int i = 0; i < kPageCells; ++i) CreateSprite(1 + i, 1, 0, m_ptCell[i].x, m_ptCell[i].y);
    CreateSprite(kBackButton, 2, 0, w - 226, 375);
    CreateSprite(kForwardButton, 2, 1, w - 77, 375);
    m_pClose.reset(MakeLanSprite({"quixiaoanjian01.bmp", 24, 25, 2}, 0, w - 47, 95));
    if (pDebugLog)
        for (int i = 0; i < 2; ++i) pDebugLog->Write("\r\n\r\n Goods Ok2\r\n");
}

CGoodsPanel::~CGoodsPanel() = default;

bool CGoodsPanel::CreateSprite(int nSlot, int nKind, int nFrame, int x, int y) {
    if (nSlot < 0 || nSlot >= kSprites || nKind < 0 || nKind >= int(std::size(kKinds))) return false;
    m_pSprite[nSlot].reset(MakeLanSprite(kKinds[nKind], nFrame, x, y));
    return m_pSprite[nSlot] != nullptr;
}

int CGoodsPanel::SizeOf(int nItem) {
    if (!ValidItem(nItem)) return 0;
    const ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
    static constexpr int kSizes[4] = {1, 4, 6, 8};
    const int nShape = pRow ? pRow->nGirdNum : 0;
    return nShape >= 0 && nShape < 4 ? kSizes[nShape] : 0;
}

bool CGoodsPanel::BlockCells(int nSize, int v, int nPage, int pCells[8], int* pCount) {
    *pCount = 0;
    if (v < nPage || v >= nPage + kPageCells) return false;
    const bool bLastColumn = (v - nPage) % 5 == 4;
    int nRows = 0;
    switch (nSize) {
    case 1:
        pCells[0] = v;
        *pCount = 1;
        return true;
    case 4:
        if (bLastColumn || v >= nPage + 20) return false;
        nRows = 2;
        break;
    case 6:
        if (bLastColumn || v >= nPage + 15) return false;
        nRows = 3;
        break;
    case 8:
        // Four rows end the page at anchor page + 9; page + 4 is the only last-column
        // anchor below it.
        if (v >= nPage + 9 || v == nPage + 4) return false;
        nRows = 4;
        break;
    default:
        return false;
    }
    for (int r = 0; r < nRows; ++r) {
        pCells[(*pCount)++] = v + 5 * r;
        pCells[(*pCount)++] = v + 5 * r + 1;
    }
    return true;
}

POINT CGoodsPanel::CellPos(int v) const {
    if (v < 0 || v >= kCells) return kOffScreen;
    return m_ptCell[v % kPageCells];
}

bool CGoodsPanel::CellOfGood(int nItem, POINT* pPos) const {
    const int v = GetCellOfGood(nItem);
    if (v < 0) return false;
    *pPos = v / kPageCells * kPageCells == m_nPage ? CellPos(v) : POINT{-3000, CellPos(v).y};
    return true;
}

int CGoodsPanel::PlaceGoodOnPage(int nItem, int nPage) {
    const int nSize = SizeOf(nItem);
    if (nSize == 0 || nItem >= kGoods || nPage < 0 || nPage > kLastPage || nPage % kPageCells) return -1;
    int cells[8];
    int nCount = 0;
    for (int v = nPage; v < nPage + kPageCells; ++v) {
        if (!BlockCells(nSize, v, nPage, cells, &nCount)) continue;
        if (std::any_of(cells, cells + nCount, [&](int c) { return m_bTaken[c] != 0; })) continue;
        FreeGood(nItem);
        for (int i = 0; i < nCount; ++i) m_bTaken[cells[i]] = 1;
        m_nCellOfGood[nItem] = v;
        if (pGoodsGrid) pGoodsGrid->SetPos(nItem, nPage == m_nPage ? CellPos(v) : POINT{-3000, CellPos(v).y});
        return v;
    }
    return -1;
}

int CGoodsPanel::PlaceGood(int nItem) {
    int v = PlaceGoodOnPage(nItem, m_nPage);
    for (int nPage = 0; v < 0 && nPage <= kLastPage; nPage += kPageCells)
        if (nPage != m_nPage) v = PlaceGoodOnPage(nItem, nPage);
    if (v < 0 && m_bMessage) GoodsGridPeers()->ShowMessage(51);
    return v;
}

void CGoodsPanel::FreeGood(int nItem) {
    const int v = GetCellOfGood(nItem);
    if (v < 0) return;
    int cells[8];
    int nCount = 0;
    if (BlockCells(SizeOf(nItem), v, v / kPageCells * kPageCells, cells, &nCount))
        for (int i = 0; i < nCount; ++i) m_bTaken[cells[i]] = 0;
    m_nCellOfGood[nItem] = -1;
}

bool CGoodsPanel::MoveGood(int nItem, int v) {
    if (nItem < 0 || nItem >= kGoods || v < 0 || v >= kCells) return false;
    const int nPage = v / kPageCells * kPageCells;
    int cells[8];
    int nCount = 0;
    if (!BlockCells(SizeOf(nItem), v, nPage, cells, &nCount)) return false;
    const int nOld = m_nCellOfGood[nItem];
    FreeGood(nItem);
    if (std::any_of(cells, cells + nCount, [&](int c) { return m_bTaken[c] != 0; })) {
        if (nOld >= 0) MoveGood(nItem, nOld);
        return false;
    }
    for (int i = 0; i < nCount; ++i) m_bTaken[cells[i]] = 1;
    m_nCellOfGood[nItem] = v;
    if (pGoodsGrid) pGoodsGrid->SetPos(nItem, nPage == m_nPage ? CellPos(v) : POINT{-3000, CellPos(v).y});
    return true;
}

void CGoodsPanel::ClearCells() {
    std::fill(std::begin(m_nCellOfGood), std::end(m_nCellOfGood), -1);
    std::fill(std::begin(m_bTaken), std::end(m_bTaken), 0);
}

void CGoodsPanel::LayoutPage() {
    if (!pGoodsGrid) return;
    for (int nItem = 0; nItem < kHeroItemCount; ++nItem) {
        const int v = m_nCellOfGood[nItem];
        if (v >= m_nPage && v < m_nPage + kPageCells) pGoodsGrid->SetPos(nItem, CellPos(v));
    }
    for (int i = 0; i < 2; ++i)
        if (ValidItem(m_nPinnedGood[i])) pGoodsGrid->SetPos(m_nPinnedGood[i], m_ptPinned[i]);
}

void CGoodsPanel::MoveGoodsOff() {
    if (!pGoodsGrid) return;
    for (int nItem = 0; nItem < kHeroItemCount; ++nItem)
        if (m_nCellOfGood[nItem] >= 0) pGoodsGrid->SetPos(nItem, kOffScreen);
}

void CGoodsPanel::OnClick(CMouse& mouse) {
    const int w = m_nScreenWidth;
    const POINT pt{mouse.m_nX, mouse.m_nY};
    if (mouse.m_bClick && (GetAsyncKeyState(VK_LBUTTON) & 1)) {
        if (PtInRect(RECT{w - 47, 95, w - 23, 120}, pt)) {
            m_bShown = 0;
            return;
        }
        int nStep = 0;
        if (PtInRect(RECT{w - 226, 375, w - 196, 405}, pt) && m_nPage > 0) nStep = -kPageCells;
        if (PtInRect(RECT{w - 77, 375, w - 47, 405}, pt) && m_nPage < kLastPage) nStep = kPageCells;
        if (nStep != 0) {
            MoveGoodsOff();
            m_nPage += nStep;
            LayoutPage();
        }
    }
    // A drag that ends over the panel: a separately carried picture's unit goes back to
    // the hero, any other dragged good returns to its cell.
    if (mouse.m_bButtonReleased && MouseTouches(mouse, m_pSprite[0].get()) && pGoodsGrid &&
        pGoodsGrid->GetCarried() >= 0) {
        const int nItem = pGoodsGrid->CarriedItem();
        if (pGoodsGrid->GetCarriedSprite()) {
            if (pPlayer) pPlayer->AddItem(nItem);
            pGoodsGrid->DeleteCarriedSprite();
        } else {
            POINT ptCell{};
            if (CellOfGood(nItem, &ptCell)) pGoodsGrid->SetPos(nItem, ptCell);
        }
    }
}

void CGoodsPanel::TrackHover(CMouse& mouse) {
    int nGood = -1;
    if (pGoodsGrid)
        for (int i = 0; i < kGridPlaces && nGood < 0; ++i) {
            const int nItem = pGoodsGrid->GetItem(i);
            const int v = GetCellOfGood(nItem);
            if (pGoodsGrid->GetSprite(i) && v >= m_nPage && v < m_nPage + kPageCells &&
                MouseTouches(mouse, pGoodsGrid->GetSprite(i)))
                nGood = nItem;
        }
    if (nGood != m_nHoverGood) {
        m_nHoverGood = nGood;
        m_nHoverFrames = 0;
        if (pDescBar) pDescBar->m_bVisible = 0;
    }
    if (nGood < 0) return;
    if (++m_nHoverFrames > kRestFrames && pDescBar) {
        pDescBar->m_nItem = nGood;
        pDescBar->m_bVisible = 1;
    }
}

int CGoodsPanel::Update(CMouse& mouse) {
    if (!m_bShown) return 0;
    for (int i = 0; i < kPageCells; ++i)
        if (m_pSprite[1 + i]) m_pSprite[1 + i]->SetPos(m_ptCell[i].x, m_ptCell[i].y);
    const int w = m_nScreenWidth;
    if (m_pClose) m_pClose->SetFrame(PtInRect(RECT{w - 47, 95, w - 23, 120}, POINT{mouse.m_nX, mouse.m_nY}) ? 1 : 0);
    OnClick(mouse);
    if (!m_bShown) return 0;
    if (pBack) {
        for (const auto& p : m_pSprite)
            if (p) p->Draw(pBack, 0, 0, BLT_KEYED);
        if (m_pClose) m_pClose->Draw(pBack, 0, 0, BLT_KEYED);
    }
    if (pGoodsGrid)
        for (int i = 0; i < kGridPlaces; ++i) {
            const int v = GetCellOfGood(pGoodsGrid->GetItem(i));
            if (pGoodsGrid->GetSprite(i) && v >= m_nPage && v < m_nPage + kPageCells) pGoodsGrid->DrawSlot(i);
        }
    TrackHover(mouse);
    return 1;
}
