#include "ui/work/WorkMenuHost.h"

#include "ui/panels/GamePanel.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "ui/work/CombineMenu.h"
#include "ui/work/TradeMenu.h"

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
    default: return nullptr;
    }
}

void CWorkMenuHost::Draw() {
    if (CGamePanel* pPanel = OpenPanel()) pPanel->Draw();
}

int CWorkMenuHost::OnLButtonUp() {
    CGamePanel* pPanel = OpenPanel();
    if (!pPanel || !pPanel->IsMouseIn()) return 0;
    if (pPanel->OnLButtonUp() == kPanelClose) {
        DeleteOpen();
        ClearBackBuffer(ToolBarHost().GetSceneNumber());
    }
    return 1;
}

int CWorkMenuHost::OnKeyDown(int nKey) {
    (void)nKey;
    return 0;
}

void CWorkMenuHost::DeleteOpen() {
    if (m_nOpenKind == kWorkTrade) m_pTrade.reset();
    if (m_nOpenKind == kWorkCombine) m_pCombine.reset();
    m_nOpenKind = kWorkNone;
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
    m_nOpenKind = kWorkNone;
}

bool CWorkMenuHost::SellToTrade(int nItem) { return m_pTrade && m_pTrade->SellToFirstEmpty(nItem); }

int CWorkMenuHost::BuyUnderCursor() { return m_pTrade ? m_pTrade->BuyUnderCursor() : 0; }

bool CWorkMenuHost::HitTest(POINT pt) const { return m_pTrade && PtInRect(m_pTrade->GetPanelRect(), pt); }

bool CWorkMenuHost::PutIntoCombine(int nItem) { return m_pCombine && m_pCombine->PutIntoFirstFree(nItem); }
