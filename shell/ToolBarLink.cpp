#include "shell/ToolBarLink.h"

#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/SaveGameLink.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/ToolBarFightHost.h"
#include "shell/ToolBarEffectsLink.h"
#include "world/Scene.h"

namespace {

CToolBarPanelLink s_panelLink;
CShellToolBarHost s_toolBarHost;

CGameToolBar* Bar() { return PanelLink().GetToolBar(); }

CToolBarFightHost s_fightHost(&Bar);
CShellWorkLink s_workLink;

}  // namespace

void CToolBarPanelLink::CreatePanels() {
    auto pNew = std::make_unique<CGameToolBar>();
    if (m_pToolBar) {
        pNew->m_nHero = m_pToolBar->m_nHero;
        pNew->m_nCompanion = m_pToolBar->m_nCompanion;
        pNew->m_nPartyCount = m_pToolBar->m_nPartyCount;
        for (int i = 0; i < 5; ++i) pNew->m_nPartyIds[i] = m_pToolBar->m_nPartyIds[i];
    } else if (CPanelLink::GetActiveSlot() != 0) {
        // What the link kept before there was a toolbar.
        pNew->m_nHero = CPanelLink::GetActiveSlot();
        pNew->m_nPartyCount = CPanelLink::GetPartyCount();
    }
    m_pToolBar = std::move(pNew);
    m_pWorkHost = std::make_unique<CWorkMenuHost>();
    RefreshFrameLinkFields();
}

void CToolBarPanelLink::DeletePanels() {
    m_pWorkHost.reset();
    m_pToolBar.reset();
    RefreshFrameLinkFields();
}

int CToolBarPanelLink::GetActiveSlot() const { return m_pToolBar ? m_pToolBar->m_nHero : CPanelLink::GetActiveSlot(); }
void CToolBarPanelLink::SetActiveSlot(int nSlot) {
    CPanelLink::SetActiveSlot(nSlot);
    if (m_pToolBar) m_pToolBar->m_nHero = nSlot;
}
int CToolBarPanelLink::GetPartyCount() const { return m_pToolBar ? m_pToolBar->m_nPartyCount : CPanelLink::GetPartyCount(); }
void CToolBarPanelLink::SetPartyCount(int nCount) {
    CPanelLink::SetPartyCount(nCount);
    if (m_pToolBar) m_pToolBar->m_nPartyCount = nCount;
}
void CToolBarPanelLink::CloseAllPanels() {
    if (m_pToolBar) m_pToolBar->CloseAllPanels();
}

void CToolBarPanelLink::CloseSceneMap() {
    if (m_pToolBar) m_pToolBar->m_pSceneMap.reset();
}

void CToolBarPanelLink::Draw() {
    if (m_pToolBar) m_pToolBar->Draw();
    if (m_pWorkHost) m_pWorkHost->Draw();
}

int CToolBarPanelLink::OnKeyDown(int nKey, UINT nFlags) { return m_pToolBar ? m_pToolBar->OnKeyDown(nKey, nFlags) : 0; }
int CToolBarPanelLink::OnLButtonUp() { return m_pToolBar ? m_pToolBar->OnLButtonUp() : 0; }
int CToolBarPanelLink::OnRButtonDown(int x, int y) {
    if (!m_pToolBar || bMsgBoxOpen) return 0;
    return m_pToolBar->OnRButtonDown(x, y);
}
int CToolBarPanelLink::ClearSkillAtPortrait() { return m_pToolBar ? m_pToolBar->ClearSkillAtPortrait() : 0; }
int CToolBarPanelLink::OnLButtonDblClk(int x, int y) { return m_pToolBar ? m_pToolBar->OnLButtonDblClk(x, y) : 0; }
int CToolBarPanelLink::OnMouseMove() { return m_pToolBar ? m_pToolBar->OnMouseMove() : 0; }

bool CToolBarPanelLink::HitTest(POINT pt) const {
    if (!m_pToolBar || bMsgBoxOpen) return false;
    if (m_pWorkHost && m_pWorkHost->HitTest(pt)) return true;
    for (ToolBarPanel n : {kSkillPanel, kItemPanel, kStatePanel, kSysPanel, kTaskPanel, kSetPanel, kSavePanel, kLoadPanel}) {
        const CGamePanel* pPanel = m_pToolBar->Panel(n);
        if (pPanel && PtInRect(pPanel->GetPanelRect(), pt)) return true;
    }
    if (m_pToolBar->m_pSceneMap && PtInRect(m_pToolBar->m_pSceneMap->GetPanelRect(), pt)) return true;
    return PtInRect(m_pToolBar->m_rcButtonStrip, pt);
}

int CToolBarPanelLink::GetLeftGroupSelector() const { return m_pToolBar ? m_pToolBar->GetSelectorA() : -1; }
bool CToolBarPanelLink::HasLoadPanel() const { return m_pToolBar && m_pToolBar->Panel(kLoadPanel); }
bool CToolBarPanelLink::HasSettingsPanel() const { return m_pToolBar && m_pToolBar->Panel(kSetPanel); }
void CToolBarPanelLink::OpenLoadPanel() {
    if (m_pToolBar) m_pToolBar->OpenTitlePanel(kGroupALoad);
}
void CToolBarPanelLink::OpenSettingsPanel() {
    if (m_pToolBar) m_pToolBar->OpenTitlePanel(kGroupASettings);
}
int CToolBarPanelLink::PickUpItem() { return m_pToolBar ? m_pToolBar->PickUpItem() : -1; }
void CToolBarPanelLink::RunLeftGroupPanel() {
    if (!m_pToolBar) return;
    m_pToolBar->RunTitleLoadPanel();
    m_pToolBar->RunTitleSettingsPanel();
}

POINT CShellToolBarHost::GetMousePos() const { return pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{}; }
int CShellToolBarHost::GetCarriedItem() const { return pMouse ? pMouse->m_nCarriedItem : -1; }
void CShellToolBarHost::SetCarriedItem(int nItem) {
    if (pMouse) pMouse->m_nCarriedItem = nItem;
}
bool CShellToolBarHost::PollLeftButton() { return GetAsyncKeyState(VK_LBUTTON) != 0; }
bool CShellToolBarHost::IsEventRunning() const { return pFrame && pFrame->IsEventRunning(); }
int CShellToolBarHost::GetGameMode() const { return pFrame ? pFrame->GetGameMode() : 0; }
void CShellToolBarHost::SetGameMode(int nMode) {
    if (pFrame && pFrame->m_pMenuManager) pFrame->m_pMenuManager->m_nGameMode = nMode;
}
int CShellToolBarHost::GetSceneNumber() const { return pFrame ? pFrame->m_nCurrentScene : 0; }
void CShellToolBarHost::QuitGame() {
    if (pFrame) pFrame->QuitGame();
}
void CShellToolBarHost::WalkHeroTo(int x, int y) {
    if (pFrame) pFrame->WalkHeroTo(x, y);
}
DWORD CShellToolBarHost::GetSurfaceMemory() const { return pFrame ? DWORD(pFrame->m_nScreenMode) : 1; }
void CShellToolBarHost::DropItemOnGround(int nItem, int x, int y, int nMoney) {
    if (pScene) pScene->DropItemOnGround(nItem, x, y, nMoney);
}

bool CShellToolBarHost::StartSceneEffect(int nEffect, int x, int y) {
    return pFrame && pFrame->StartSceneEffect(nEffect, x, y, 0);
}
void CShellToolBarHost::UpdateEffects() {
    if (pFrame) pFrame->UpdateEffects();
}

bool GetToolBarCellMarker(CellMarkerView* pMarker) {
    CGameToolBar* pBar = Bar();
    if (!pBar || !pMarker) return false;
    pMarker->bShown = pBar->m_bMarkerShown != 0;
    pMarker->pt = pBar->m_ptMarker;
    pMarker->nDirection = pBar->m_nMarkerDirection;
    pMarker->dwStart = pBar->m_dwMarkerStart;
    pMarker->ppFrames = pBar->m_pBombFrames;
    return true;
}

CDXSurface* GetToolBarLabelBox() { return Bar() ? Bar()->GetLabelBox() : nullptr; }

void InstallToolBarLinks() {
    SetPanelLink(&s_panelLink);
    SetToolBarHost(&s_toolBarHost);
    SetFightHost(&s_fightHost);
    SetWorkLink(&s_workLink);
    InstallSaveSlotHost();
}

void RemoveToolBarLinks() {
    s_panelLink.DeletePanels();
    SetPanelLink(nullptr);
    SetToolBarHost(nullptr);
    SetFightHost(nullptr);
    SetWorkLink(nullptr);
    RemoveSaveSlotHost();
}
