#include "shell/UiShellLink.h"
#include "media/TgaDraw.h"

#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"
#include "world/Scene.h"

POINT CShellUiLink::GetMousePos() { return pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{}; }
bool CShellUiLink::IsMouseClickHeld() { return pMouse && pMouse->m_bClick; }
void CShellUiLink::DrawMouse() {
    if (pMouse) pMouse->Draw();
}
void CShellUiLink::SetExitBoxState(int nState) {
    if (pMouse) pMouse->m_nExitBoxState = nState;
}
void CShellUiLink::DrawMapLayer() {
    if (pFrame) pFrame->DrawMapLayer();
}
int CShellUiLink::GetScreenWidth() { return pFrame ? pFrame->m_nScreenWidth : 800; }
int CShellUiLink::GetScreenHeight() { return pFrame ? pFrame->m_nScreenHeight : 600; }
DWORD CShellUiLink::GetSurfaceMemory() { return pFrame ? DWORD(pFrame->m_nScreenMode) : 1; }
void CShellUiLink::QuitGame() {
    if (pFrame) pFrame->QuitGame();
}
bool CShellUiLink::IsGameRunning() { return pFrame && pFrame->m_bRunning; }
void CShellUiLink::NewGame() {
    if (pFrame) pFrame->NewGame();
}
void CShellUiLink::ShowCredits() {
    if (pFrame) pFrame->ShowCredits();
}
int CShellUiLink::GetMusicVolume() { return pFrame ? pFrame->m_nMusicVolume : 50; }
void CShellUiLink::SetMusicVolume(int nVolume) {
    if (pFrame) pFrame->m_nMusicVolume = nVolume;
}
int CShellUiLink::GetSoundVolume() { return pFrame ? pFrame->m_nSoundVolume : 90; }
void CShellUiLink::SetSoundVolume(int nVolume) {
    if (pFrame) pFrame->m_nSoundVolume = nVolume;
}
void CShellUiLink::PauseMusic() {
    if (pFrame) pFrame->m_mp3.Pause();
}
void CShellUiLink::PollScriptWait() {
    if (pFrame) pFrame->PollScriptWait();
}
void CShellUiLink::StartEvent(int nEvent) {
    if (pFrame) pFrame->StartEvent(nEvent);
}
void CShellUiLink::RemovePartyMember(int nMember) {
    if (pFrame) pFrame->RemovePartyMember(nMember);
}
int CShellUiLink::GetAnswerRequired() { return pFrame ? pFrame->m_nAnswerRequired : 0; }
void CShellUiLink::SetAnswerRequired(int nValue) {
    if (pFrame) pFrame->m_nAnswerRequired = nValue;
}
bool CShellUiLink::IsPartyChoice() { return pFrame && pFrame->m_bPartyChoice; }
void CShellUiLink::SetPartyChoice(bool bSet) {
    if (pFrame) pFrame->m_bPartyChoice = bSet ? 1 : 0;
}
void CShellUiLink::SetScriptStep(bool bSet) {
    if (pFrame) pFrame->m_bScriptStep = bSet ? 1 : 0;
}
int CShellUiLink::GetPartyCount() { return pFrame ? pFrame->m_nPartyCount : 1; }
int CShellUiLink::GetPartyMemberId(int nSlot) {
    return pFrame && nSlot >= 0 && nSlot < 4 ? pFrame->m_nPartyIds[nSlot] : -1;
}
void CShellUiLink::SetPartyMemberId(int nSlot, int nId) {
    if (pFrame && nSlot >= 0 && nSlot < 4) pFrame->m_nPartyIds[nSlot] = nId;
}
CMainMenu* CShellUiLink::GetTitleMenu() {
    return pFrame && pFrame->m_pMenuManager ? pFrame->m_pMenuManager->m_pMainMenu : nullptr;
}
void CShellUiLink::OnExitConfirmed() {
    if (pFrame && pFrame->m_pMenuManager) pFrame->m_pMenuManager->OnExitConfirmed();
}

DWORD CShellPictureHost::GetSurfaceMemory() const { return pFrame ? DWORD(pFrame->m_nScreenMode) : 1; }
int CShellPictureHost::GetHoverActorId() const { return pScene ? pScene->nHoverActorId : -1; }
int CShellPictureHost::GetHotKeySkill(int nKey) const {
    return pPlayer && nKey >= 0 && nKey < kHeroHotKeys ? pPlayer->nHotKey[nKey] : -1;
}

namespace {
CShellPictureHost s_pictureHost;
POINT CursorPosition() { return pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{-1, -1}; }
}  // namespace

void InstallShellPictureLinks() {
    SetPictureHost(&s_pictureHost);
    SetTgaCursorSource(&CursorPosition);
}

void RemoveShellPictureLinks() {
    SetPictureHost(nullptr);
    SetTgaCursorSource(nullptr);
}
