#include "ui/work/WorkMenuHost.h"

#include "gamedata/DebugLog.h"
#include "shell/ShellGlobals.h"
#include "ui/panels/GamePanel.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "ui/work/CombineMenu.h"
#include "ui/work/InlayMenu.h"
#include "ui/work/ManufactureMenu.h"
#include "ui/work/TradeMenu.h"
#include "world/Player.h"

CWorkMenuHost::CWorkMenuHost() = default;

CWorkMenuHost::~CWorkMenuHost() = default;

int CWorkMenuHost::Open(int nKind, int nShop) {
    // The toolbar's close-all comes back here for the work panels.
    if (CGameToolBar* pBar = HostToolBar())
        pBar->CloseAllPanels();
    else
        CloseAll();
    switch (nKind) {
    case kWorkTrade: {
        auto pTrade = std::make_unique<CTradeMenu>();
        if (!pTrade->StockShop(nShop)) return 0;
        m_pTrade = std::move(pTrade);
        break;
    }
    case kWorkCombine: m_pCombine = std::make_unique<CCombineMenu>(); break;
    case kWorkManufacture: m_pManufacture = std::make_unique<CManufactureMenu>(); break;
    case kWorkInlay: m_pInlay = std::make_unique<CInlayMenu>(); break;
    default: return 0;
    }
    m_nOpenKind = nKind;
    if (CGameToolBar* pBar = HostToolBar()) {
        pBar->ToggleItemPanel();
        // The ingredients lie on the item panel's page of the other family.
        if (nKind == kWorkCombine)
            if (CGamePanel* pItems = pBar->Panel(kItemPanel)) pItems->ShowBagPage(2);
    }
    return 1;
}

CGamePanel* CWorkMenuHost::OpenPanel() const {
    switch (m_nOpenKind) {
    case kWorkTrade: return m_pTrade.get();
    case kWorkCombine: return m_pCombine.get();
    case kWorkManufacture: return m_pManufacture.get();
    case kWorkInlay: return m_pInlay.get();
    default: return nullptr;
    }
}

void CWorkMenuHost::Draw() {
    if (CGamePanel* pPanel = OpenPanel()) pPanel->Draw();
}

int CWorkMenuHost::OnLButtonUp() {
    CGamePanel* pPanel = OpenPanel();
    if (!pPanel || !pPanel->IsMouseIn()) return 0;
    const bool bInlay = m_nOpenKind == kWorkInlay;
    if (pPanel->OnLButtonUp() == kPanelClose) {
        DeleteOpen();
        ClearBackBuffer(ToolBarHost().GetSceneNumber());
    }
    if (bInlay && pDebugLog) pDebugLog->Printf("Inlay in %d\t\r", m_nOpenKind);
    return 1;
}

int CWorkMenuHost::OnKeyDown(int nKey) {
    (void)nKey;
    return 0;
}

void CWorkMenuHost::DeleteOpen() {
    if (m_nOpenKind == kWorkTrade) m_pTrade.reset();
    if (m_nOpenKind == kWorkCombine) m_pCombine.reset();
    if (m_nOpenKind == kWorkManufacture || m_nOpenKind == kWorkInlay) CloseBoards();
    m_nOpenKind = kWorkNone;
}

// Every item lying on a board goes back to the hero; a run is abandoned unconsumed.
void CWorkMenuHost::CloseBoards() {
    if (m_pManufacture) m_pManufacture->GiveBackAll();
    if (m_pInlay) m_pInlay->GiveBackAll();
    m_pManufacture.reset();
    m_pInlay.reset();
}

void CWorkMenuHost::CloseAll() {
    if (m_pTrade) {
        m_pTrade->Cancel();
        m_pTrade.reset();
    }
    if (m_pCombine) {
        m_pCombine->ReturnItems();
        m_pCombine.reset();
    }
    CloseBoards();
    m_nOpenKind = kWorkNone;
}

bool CWorkMenuHost::SellToTrade(int nItem) { return m_pTrade && m_pTrade->SellToFirstEmpty(nItem); }

int CWorkMenuHost::BuyUnderCursor() { return m_pTrade ? m_pTrade->BuyUnderCursor() : 0; }

bool CWorkMenuHost::HitTest(POINT pt) const { return m_pTrade && PtInRect(m_pTrade->GetPanelRect(), pt); }

bool CWorkMenuHost::PutIntoCombine(int nItem) { return m_pCombine && m_pCombine->PutIntoFirstFree(nItem); }
