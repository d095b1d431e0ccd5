// The shell's answers to the work panels: the panel link owns the work-panel host, and
// the toolbar's host, the panel link's waiting calls and the script commands reach it.
#include "shell/ToolBarLink.h"
#include "ui/work/TradeMenu.h"

namespace {

CWorkMenuHost* Work() {
    auto* pLink = dynamic_cast<CToolBarPanelLink*>(&PanelLink());
    return pLink ? pLink->GetWorkHost() : nullptr;
}

}  // namespace

bool CToolBarPanelLink::IsWorkPanelOpen() const { return m_pWorkHost && m_pWorkHost->IsOpen(); }
int CToolBarPanelLink::WorkOnLButtonUp() { return m_pWorkHost ? m_pWorkHost->OnLButtonUp() : 0; }
int CToolBarPanelLink::WorkOnKeyDown(int nKey) { return m_pWorkHost ? m_pWorkHost->OnKeyDown(nKey) : 0; }
int CToolBarPanelLink::BuyUnderCursor() { return m_pWorkHost ? m_pWorkHost->BuyUnderCursor() : 0; }

bool CShellToolBarHost::IsWorkPanelOpen() const { return Work() && Work()->IsOpen(); }
int CShellToolBarHost::WorkOnLButtonUp() { return Work() ? Work()->OnLButtonUp() : 0; }
bool CShellToolBarHost::IsCombineOpen() const { return Work() && Work()->IsCombineOpen(); }
void CShellToolBarHost::OpenWorkPanel(int nKind, int nShop) {
    if (Work()) Work()->Open(nKind, nShop);
}
void CShellToolBarHost::CloseWorkPanels() {
    if (Work()) Work()->CloseAll();
}
bool CShellToolBarHost::IsTradeOpen() const { return Work() && Work()->IsTradeOpen(); }
bool CShellToolBarHost::SellToTrade(int nItem) { return Work() && Work()->SellToTrade(nItem); }
bool CShellToolBarHost::PutIntoCombine(int nItem) { return Work() && Work()->PutIntoCombine(nItem); }

void CShellWorkLink::Open(int nKind, int nShop) {
    if (Work()) Work()->Open(nKind, nShop);
}
