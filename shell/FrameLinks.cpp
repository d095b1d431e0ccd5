#include "shell/FrameLinks.h"

#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"

bool CMapLink::HasScene() const { return pScene != nullptr; }
bool CMapLink::HasHero() const { return pPlayer != nullptr; }
bool CPanelLink::HasToolBar() const { return pFrame && pFrame->m_pToolBar; }
bool CBattleLink::IsRunning() const { return pFrame && pFrame->pFight; }

namespace {

CMapLink s_defaultMap;
CPanelLink s_defaultPanels;
CBattleLink s_defaultBattle;
CMapLink* s_pMap = &s_defaultMap;
CPanelLink* s_pPanels = &s_defaultPanels;
CBattleLink* s_pBattle = &s_defaultBattle;

}  // namespace

CMapLink& MapLink() { return *s_pMap; }
CPanelLink& PanelLink() { return *s_pPanels; }
CBattleLink& BattleLink() { return *s_pBattle; }
void SetMapLink(CMapLink* pLink) { s_pMap = pLink ? pLink : &s_defaultMap; }
void SetPanelLink(CPanelLink* pLink) { s_pPanels = pLink ? pLink : &s_defaultPanels; }
void SetBattleLink(CBattleLink* pLink) { s_pBattle = pLink ? pLink : &s_defaultBattle; }
