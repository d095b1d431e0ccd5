#include "lan/IconToolBar.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "gamedata/DebugLog.h"
#include "lan/DescBar.h"
#include "lan/GoodsGrid.h"
#include "lan/GoodsPanel.h"
#include "lan/LanPictures.h"
#include "lan/StatusPanel.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {
// The tool bar's own pictures: 12 its corner button, 13 the item icons.
LanPicture Picture(int n) {
    if (n == 13) return {"Item1.bmp", 40, 40, 100};
    return {"IconBar.bmp", 50, 30, 1};
}
const POINT kQuickAt[CIconToolBar::kQuick] = {{20, 2}, {70, 2}, {120, 2}};
bool ValidItem(int n) { return n >= 0 && n < kHeroItemCount; }
}  // namespace

CIconToolBar::CIconToolBar(int a, int b) : m_nOwnerA(a), m_nOwnerB(b) {
    SetIcon(5, 12, 0, 740, 570);
    if (pDebugLog) {
        pDebugLog->Printf("Time-systemNew = %d\r\n", int(dwNowTime));
        pDebugLog->Write("Icon tool bar ok\r\n");
    }
    // The description bar belongs to the tool bar from here on.
    pDescBar = nullptr;
}

CIconToolBar::~CIconToolBar() {
    if (pDescBar == m_pDescBar.get()) pDescBar = nullptr;
    if (pGoodsPanel == m_pGoodsPanel.get()) pGoodsPanel = nullptr;
    if (pGoodsGrid == m_pGoodsGrid.get()) pGoodsGrid = nullptr;
    if (pStatusPanel == m_pStatusPanel.get()) pStatusPanel = nullptr;
}

bool CIconToolBar::SetIcon(int nSlot, int nPicture, int nFrame, int x, int y) {
    if (nSlot < 0 || nSlot >= kSprites) return false;
    m_pSprite[nSlot].reset(MakeLanSprite(Picture(nPicture), nFrame, x, y));
    return m_pSprite[nSlot] != nullptr;
}

int CIconToolBar::Draw() {
    if (pBack)
        for (int i = 0; i < kSprites; ++i)
            if (m_pSprite[i] && (i < 1 || i > 4)) m_pSprite[i]->Draw(pBack, 0, 0, BLT_KEYED);
    m_bArmed = 0;
    if (m_pDescBar && pMouse) m_pDescBar->Draw(*pMouse);
    for (int i = 0; i < kButtons; ++i) m_rcButton[i] = RECT{32 + 20 * i, 80, 52 + 20 * i, 102};
    for (int i = 0; i < kQuick; ++i) {
        const int x = i == 0 ? 15 : i == 1 ? 70 : 120;
        m_rcArea[i] = RECT{x, 2, x + 50, 52};
    }
    return 1;
}

int CIconToolBar::TryActivate() {
    if (pFrame && pFrame->IsEventRunning()) return 0;
    if (!m_bArmed) {
        m_bArmed = 1;
        return 0;
    }
    return 1;
}

void CIconToolBar::AddQuickIcon(int nItem) {
    if (!ValidItem(nItem)) return;
    for (int i = 0; i < kQuick; ++i) {
        if (m_bQuickUsed[i]) continue;
        m_nQuickItem[i] = nItem;
        SetIcon(14 + i, 13, nItem, kQuickAt[i].x, kQuickAt[i].y);
        return;
    }
}

void CIconToolBar::RemoveQuickIcon(int nItem) {
    for (int i = 0; i < kQuick; ++i) {
        if (m_nQuickItem[i] != nItem || nItem < 0) continue;
        m_nQuickItem[i] = -1;
        m_bQuickUsed[i] = 0;
        m_pSprite[14 + i].reset();
        return;
    }
}

void CIconToolBar::SyncEquipment() {
    if (!pStatusPanel) return;
    for (int k = 0; k < 4; ++k) {
        CPlayer* pMember = CStatusPanel::PageMember(k);
        if (!pMember) continue;
        for (int s = 4; s < CStatusPanel::kRowSlots; ++s) {
            const int nItem = *CStatusPanel::BoxField(pMember, s);
            pStatusPanel->m_nEquip[k][s] = ValidItem(nItem) ? nItem : -1;
            if (!ValidItem(nItem) || !pGoodsGrid) continue;
            // A worn item held once waits at the rest point: the status panel finds it
            // there when it is taken off and when a page is built. Only the selected
            // item stands on its box.
            if (pPlayer && pPlayer->nItemCount[nItem] < 2)
                pGoodsGrid->SetPos(nItem, POINT{kRestPoint.x, pGoodsGrid->GetPos(nItem).y});
            if (nItem == m_nSelected) pGoodsGrid->SetPos(nItem, CStatusPanel::BoxCorner(s));
        }
    }
}

void CIconToolBar::CreateGoods() {
    if (pGoodsPanel == m_pGoodsPanel.get()) pGoodsPanel = nullptr;
    if (pGoodsGrid == m_pGoodsGrid.get()) pGoodsGrid = nullptr;
    m_pGoodsPanel.reset();
    m_pGoodsGrid.reset();
    m_pGoodsGrid = std::make_unique<CGoodsGrid>();
    m_pGoodsPanel = std::make_unique<CGoodsPanel>();
    pGoodsGrid = m_pGoodsGrid.get();
    pGoodsPanel = m_pGoodsPanel.get();
}

void CIconToolBar::OnClick() {
    if (!pMouse) return;
    const POINT pt{pMouse->m_nX, pMouse->m_nY};
    int nButton = -1;
    for (int i = 0; i < kClickButtons && nButton < 0; ++i)
        if (PtInRect(m_rcButton[i], pt)) nButton = i;
    if (nButton < 0) return;
    auto hideDesc = [this] {
        if (m_pDescBar) m_pDescBar->m_bVisible = 0;
    };
    switch (nButton) {
    case 0:  // the tool-bar panel is not there: only the others close
    case 4:
        if (pGoodsPanel) pGoodsPanel->m_bShown = 0;
        if (pStatusPanel) pStatusPanel->ClosePages();
        hideDesc();
        if (nButton == 4) {
            if (!m_pStatusPanel) {
                m_pStatusPanel = std::make_unique<CStatusPanel>();
                pStatusPanel = m_pStatusPanel.get();
            }
            pStatusPanel->OpenPage(0);
        }
        break;
    case 1:  // the second panel is not there either
        if (pStatusPanel) pStatusPanel->ClosePages();
        break;
    case 2:
        if (pGoodsPanel) pGoodsPanel->m_bShown = 1;
        break;
    case 3:
        if (pGoodsPanel) pGoodsPanel->m_bShown = 0;
        if (pStatusPanel) pStatusPanel->ClosePages();
        if (!m_pDescBar) m_pDescBar = std::make_unique<CDescBar>();
        pDescBar = m_pDescBar.get();
        m_pDescBar->m_bVisible = 1;
        break;
    default:
        break;
    }
}
