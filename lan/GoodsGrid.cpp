#include "lan/GoodsGrid.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "lan/GoodsPanel.h"
#include "lan/LanPictures.h"
#include "lan/StatusPanel.h"
#include "platform/Resources.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/PictureStore.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

CGoodsGrid* pGoodsGrid = nullptr;

namespace {
CGoodsGridPeers g_defaultPeers;
CGoodsGridPeers* g_pPeers = nullptr;

const LanPicture kGridPictures[] = {
    {"1.bmp", 34, 40, 1},   {"2.bmp", 34, 40, 1}, {"headgreen.bmp", 34, 40, 1},
    {"Success.bmp", 34, 40, 1}, {"4.bmp", 80, 80, 1}, {"head.bmp", 34, 40, 1},
    {"6.bmp", 80, 120, 1},  {"head.bmp", 34, 40, 1}, {"8.bmp", 80, 160, 1},
};

bool ValidPlace(int n) { return n >= 0 && n < kGridPlaces; }
bool ValidItem(int n) { return n >= 0 && n < kHeroItemCount; }
int HeroCount(int nItem) { return pPlayer && ValidItem(nItem) ? pPlayer->nItemCount[nItem] : 0; }
}  // namespace

void CGoodsGridPeers::ShowMessage(int nId) {
    if (!pFrame) return;
    char szText[kMessageTextSize] = {};
    LoadString(UINT(nId), szText, int(sizeof(szText)));
    pFrame->SetMessageText(szText);
}

bool CGoodsGridPeers::IsStatusPageOpen(int nPage) { return pStatusPanel && pStatusPanel->IsPageOpen(nPage); }
bool CGoodsGridPeers::IsGoodsPanelOpen() { return pGoodsPanel && pGoodsPanel->m_bShown; }
bool CGoodsGridPeers::TakeStatusCarried(int* pItem) { return pStatusPanel && pStatusPanel->TakeCarried(pItem); }
bool CGoodsGridPeers::ClearStatusStack(int nItem) { return pStatusPanel && pStatusPanel->ClearStack(nItem); }
bool CGoodsGridPeers::GoodsPanelCell(int nItem, POINT* pPos) { return pGoodsPanel && pGoodsPanel->CellOfGood(nItem, pPos); }
void CGoodsGridPeers::LayoutGoodsPanel() {
    if (pGoodsPanel) pGoodsPanel->LayoutPage();
}

CGoodsGridPeers* GoodsGridPeers() { return g_pPeers ? g_pPeers : &g_defaultPeers; }
void SetGoodsGridPeers(CGoodsGridPeers* pPeers) { g_pPeers = pPeers; }

bool MouseTouches(const CMouse& mouse, const CDXSprite* pSprite) {
    return mouse.m_pSprite && pSprite && mouse.m_pSprite->HitsBox(pSprite);
}

bool CursorInBox(const CMouse& mouse, const CDXSprite* pSprite, int nSize) {
    if (!pSprite) return false;
    const int x = pSprite->GetPosX(), y = pSprite->GetPosY();
    return mouse.m_nX >= x && mouse.m_nX < x + nSize && mouse.m_nY >= y && mouse.m_nY < y + nSize;
}

CGoodsGrid::CGoodsGrid() {
    for (POINT& pt : m_pos) pt = kUnplaced;
}

CGoodsGrid::~CGoodsGrid() = default;

int CGoodsGrid::GetItem(int nPlace) const { return ValidPlace(nPlace) ? m_nItem[nPlace] : -1; }
void CGoodsGrid::SetItem(int nPlace, int nItem) {
    if (ValidPlace(nPlace)) m_nItem[nPlace] = nItem;
}
CDXSprite* CGoodsGrid::GetSprite(int nPlace) const { return ValidPlace(nPlace) ? m_pSprite[nPlace].get() : nullptr; }
POINT CGoodsGrid::GetPos(int nItem) const { return ValidPlace(nItem) ? m_pos[nItem] : kUnplaced; }
void CGoodsGrid::SetPos(int nItem, POINT pt) {
    if (ValidPlace(nItem)) m_pos[nItem] = pt;
}
void CGoodsGrid::DeleteCarriedSprite() { m_pCarriedSprite.reset(); }

void CGoodsGrid::ReleasePlaceSprite(int nPlace) {
    if (ValidPlace(nPlace)) m_pSprite[nPlace].reset();
}

int CGoodsGrid::FindPlace(int nItem) const {
    if (!ValidItem(nItem)) return -1;
    for (int i = kGridFirstPlace; i < kGridPlaces; ++i)
        if (m_pSprite[i] && m_nItem[i] == nItem) return i;
    return -1;
}

bool CGoodsGrid::CreatePlaceSprite(int nPlace, int nRow) {
    if (!ValidPlace(nPlace) || nRow < 0 || nRow >= int(std::size(kGridPictures))) return false;
    m_pSprite[nPlace].reset(MakeLanSprite(kGridPictures[nRow], 0, 0, 0));
    return m_pSprite[nPlace] != nullptr;
}

int CGoodsGrid::AddItem(int* pPlace, int nItem) {
    if (!ValidItem(nItem)) return -1;
    for (int i = kGridFirstPlace; i <= kGridLastPlace; ++i) {
        if (m_pSprite[i]) continue;
        if (!CreatePlaceSprite(i, 1)) return -1;
        m_nItem[i] = nItem;
        m_pos[nItem].x = kOffPage.x;
        if (pPlace) *pPlace = i;
        GoodsGridPeers()->ResetGoodsPanelPage();
        return nItem;
    }
    return -1;
}

int CGoodsGrid::DrawSlot(int nPlace) {
    CDXSprite* pSprite = GetSprite(nPlace);
    if (!pSprite) return 1;
    const int nItem = m_nItem[nPlace];
    const POINT pt = GetPos(nItem);
    pSprite->SetPos(pt.x, pt.y);
    DrawItemIcon(nItem, pt.x, pt.y);
    const int nCount = HeroCount(nItem);
    if (nCount >= 2 && pBack) {
        char szCount[16];
        std::snprintf(szCount, sizeof(szCount), "*%d", nCount);
        pBack->TextOut(pt.x, pt.y, RGB(255, 255, 0), szCount);
    }
    return 1;
}

void CGoodsGrid::RemoveItem(int nItem) {
    if (!ValidItem(nItem) || !pPlayer) return;
    for (int i = 0; i < kGridPlaces; ++i) {
        if (m_nItem[i] != nItem || !m_pSprite[i]) continue;
        int& rCount = pPlayer->nItemCount[nItem];
        if (rCount == 1) {
            m_pSprite[i].reset();
            m_pos[nItem] = kUnplaced;
            m_nItem[i] = -1;
            rCount = 0;
            return;
        }
        if (rCount > 1) --rCount;
    }
}

bool CGoodsGrid::MakeCarriedSprite(int x, int y) {
    m_pCarriedSprite.reset(MakeLanSprite({"2.bmp", 40, 40, 1}, 0, x, y));
    return m_pCarriedSprite != nullptr;
}

void CGoodsGrid::HandlePress(CMouse& mouse, bool* pEnd) {
    CGoodsGridPeers* pPeers = GoodsGridPeers();
    if (m_nCarried < 0) {
        int nItem = -1;
        if (pPeers->TakeStatusCarried(&nItem)) {
            // The status page's item has no place of its own while it is carried.
            m_nCarried = FindPlace(nItem);
            MakeCarriedSprite(mouse.m_nX, mouse.m_nY);
            if (m_nCarried < 0) {
                *pEnd = true;
                return;
            }
        } else {
            for (int i = 0; i < kGridPlaces; ++i) {
                if (!m_pSprite[i] || !MouseTouches(mouse, m_pSprite[i].get())) continue;
                if (!CursorInBox(mouse, m_pSprite[i].get(), 35)) {
                    *pEnd = true;
                    return;
                }
                m_nCarried = i;
                m_bTaken = 1;
                const int nHeld = m_nItem[i];
                if (pPeers->IsGoodsPanelOpen() && HeroCount(nHeld) > 1 && MakeCarriedSprite(mouse.m_nX, mouse.m_nY))
                    --pPlayer->nItemCount[nHeld];
                break;
            }
        }
    }
    const int nItem = CarriedItem();
    if (m_nCarried < 0 || !ValidItem(nItem)) return;
    if (!m_pCarriedSprite) {
        if (HeroCount(nItem) == 1) {
            m_pos[nItem] = POINT{mouse.m_nX, mouse.m_nY};
            DrawSlot(m_nCarried);
        }
    } else {
        m_pCarriedSprite->SetPos(mouse.m_nX, mouse.m_nY);
        if (pBack) m_pCarriedSprite->Draw(pBack, 0, 0, BLT_KEYED);
        DrawItemIcon(nItem, mouse.m_nX, mouse.m_nY);
    }
}

void CGoodsGrid::HandleRelease(CMouse& mouse) {
    mouse.m_bClick = 0;
    CGoodsGridPeers* pPeers = GoodsGridPeers();
    const int nItem = CarriedItem();
    if (m_nCarried >= 0 && !m_pCarriedSprite && ValidItem(nItem)) {
        POINT ptCell{};
        if (!pPeers->GoodsPanelCell(nItem, &ptCell)) {
            // Dropped outside every panel: the item is thrown away, unless it is the
            // last of an equipped item, which goes back to its rest point.
            if (HeroCount(nItem) == 1 && pPeers->ClearStatusStack(nItem)) m_pos[nItem] = kRestPoint;
            else RemoveItem(nItem);
            pPeers->ShowMessage(52);
        } else {
            if (ptCell.x < -3000 || ptCell.x > 3000) ptCell = POINT{-3000, -3000};
            m_pos[nItem] = ptCell;
        }
    }
    m_pCarriedSprite.reset();
    m_nCarried = -1;
    mouse.m_bButtonReleased = 0;
}

int CGoodsGrid::Update(CMouse& mouse) {
    CGoodsGridPeers* pPeers = GoodsGridPeers();
    bool bAny = false;
    for (int k = 0; k < 4; ++k) bAny |= (m_bOpen[k] = pPeers->IsStatusPageOpen(k) ? 1 : 0) != 0;
    bAny |= (m_bOpen[4] = pPeers->IsGoodsPanelOpen() ? 1 : 0) != 0;
    bAny |= (m_bOpen[5] = pPeers->IsToolBarPanelShown() ? 1 : 0) != 0;
    if (!bAny) return 0;
    for (int i = 0; i < kGridPlaces; ++i) {
        if (m_pSprite[i]) {
            const POINT pt = GetPos(m_nItem[i]);
            m_pSprite[i]->SetPos(pt.x, pt.y);
        }
    }
    m_bTaken = 0;
    if (mouse.m_bClick) {
        bool bEnd = false;
        HandlePress(mouse, &bEnd);
        if (bEnd) return 0;
    }
    if (mouse.m_bButtonReleased) HandleRelease(mouse);
    return 1;
}
