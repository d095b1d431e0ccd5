#include "shell/FrameLinks.h"

#include <algorithm>
#include <cstdio>

#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"

namespace {

CMapLink s_defaultMap;
CPanelLink s_defaultPanels;
CBattleLink s_defaultBattle;
CMapLink* s_pMap = &s_defaultMap;
CPanelLink* s_pPanels = &s_defaultPanels;
CBattleLink* s_pBattle = &s_defaultBattle;
CWorkLink s_defaultWork;
CMiniGameLink s_defaultMiniGames;
CWorkLink* s_pWork = &s_defaultWork;
CMiniGameLink* s_pMiniGames = &s_defaultMiniGames;
std::vector<std::string> s_unanswered;

}  // namespace

void NoteUnansweredLinkCall(const void* pLink, const char* pszCall) {
    if (pLink == &s_defaultMap || pLink == &s_defaultPanels || pLink == &s_defaultBattle) return;
    if (std::find(s_unanswered.begin(), s_unanswered.end(), pszCall) != s_unanswered.end()) return;
    s_unanswered.emplace_back(pszCall);
    std::fprintf(stderr, "game: the installed link does not answer %s\n", pszCall);
}

const std::vector<std::string>& UnansweredLinkCalls() { return s_unanswered; }
void ClearUnansweredLinkCalls() { s_unanswered.clear(); }

bool CMapLink::HasScene() const { return pScene != nullptr; }
bool CMapLink::HasHero() const { return pPlayer != nullptr; }

CGameToolBar* CPanelLink::GetToolBar() const {
    NoteUnansweredLinkCall(this, "panels GetToolBar");
    return nullptr;
}
void CPanelLink::CreatePanels() { NoteUnansweredLinkCall(this, "panels CreatePanels"); }
void CPanelLink::Draw() { NoteUnansweredLinkCall(this, "panels Draw"); }

CFight* CBattleLink::GetFight() const {
    NoteUnansweredLinkCall(this, "battle GetFight");
    return nullptr;
}
bool CBattleLink::IsRunning() const {
    NoteUnansweredLinkCall(this, "battle IsRunning");
    return false;
}

CMapLink& MapLink() { return *s_pMap; }
CPanelLink& PanelLink() { return *s_pPanels; }
CBattleLink& BattleLink() { return *s_pBattle; }
CWorkLink& WorkLink() { return *s_pWork; }
CMiniGameLink& MiniGameLink() { return *s_pMiniGames; }
void SetWorkLink(CWorkLink* pLink) { s_pWork = pLink ? pLink : &s_defaultWork; }
void SetMiniGameLink(CMiniGameLink* pLink) { s_pMiniGames = pLink ? pLink : &s_defaultMiniGames; }
void SetMapLink(CMapLink* pLink) { s_pMap = pLink ? pLink : &s_defaultMap; }
void SetPanelLink(CPanelLink* pLink) {
    s_pPanels = pLink ? pLink : &s_defaultPanels;
    RefreshFrameLinkFields();
}
void SetBattleLink(CBattleLink* pLink) {
    s_pBattle = pLink ? pLink : &s_defaultBattle;
    RefreshFrameLinkFields();
}

void RefreshFrameLinkFields() {
    if (!pFrame) return;
    pFrame->m_pToolBar = s_pPanels->GetToolBar();
    pFrame->pFight = s_pBattle->GetFight();
}
