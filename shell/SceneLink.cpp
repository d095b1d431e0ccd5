#include "shell/SceneLink.h"

#include "CDX/CDXSprite.h"
#include "shell/HeroLink.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarEffectsLink.h"
#include "shell/ToolBarLink.h"
#include "platform/Window.h"
#include "world/EffectManager.h"
#include "world/MoveText.h"
#include "world/Player.h"
#include "world/PlayerHost.h"
#include "world/Scene.h"

#include <algorithm>
#include <cstdio>
#include "gamedata/DebugLog.h"
#include "gamedata/ScriptData.h"

int CShellSceneHost::GetScreenWidth() const { return pFrame ? pFrame->m_nScreenWidth : CSceneHost::GetScreenWidth(); }
int CShellSceneHost::GetScreenHeight() const {
    return pFrame ? pFrame->m_nScreenHeight : CSceneHost::GetScreenHeight();
}
int CShellSceneHost::GetSceneNumber() const { return pFrame ? pFrame->m_nCurrentScene : 0; }
bool CShellSceneHost::IsInGame() const { return pFrame && pFrame->m_bInGame; }
SceneFlagTable CShellSceneHost::GetEventFlagsA() const { return pFrame ? pFrame->m_pEventFlagsA : nullptr; }
SceneFlagTable CShellSceneHost::GetEventFlagsB() const { return pFrame ? pFrame->m_pEventFlagsB : nullptr; }
bool CShellSceneHost::CopyPictures() const { return pFrame && pFrame->m_nCopy != 0; }
bool CShellSceneHost::PicturesFromPackages() const { return pFrame && pFrame->m_nScenePkg != 0; }
void CShellSceneHost::SetShadowScale(float fScale) {
    if (pFrame && pFrame->m_pShadow) pFrame->m_pShadow->m_fScale = fScale;
}
CDXSprite* CShellSceneHost::GetBackPicture() const { return pFrame ? pFrame->m_pBackPicture : nullptr; }
int CShellSceneHost::GetActiveSlot() const {
    return PanelLink().GetActiveSlot();
}
bool CShellSceneHost::IsSceneEffectWaiting() const { return pFrame && pFrame->bSceneEffectWait; }
void CShellSceneHost::UpdateEffects() {
    if (pFrame) pFrame->UpdateEffectsAtHero();
}
bool CShellSceneHost::GetCellMarker(CellMarkerView* pMarker) const { return GetToolBarCellMarker(pMarker); }
CDXSurface* CShellSceneHost::GetLabelBox() const { return GetToolBarLabelBox(); }
void CShellSceneHost::ReapEffects() { ReapToolBarEffects(); }
void CShellSceneHost::SaveMemberFile(int nNumber) {
    if (pFrame) pFrame->SavePlayerFile(nNumber);
}
void CShellSceneHost::OnHeroDied() { NoteHeroDied(); }

int CShellNpcHost::StartEvent(int nEvent) { return pFrame ? pFrame->StartEvent(nEvent) : -1; }
bool CShellNpcHost::IsPanelOpen() const { return HeroHost().IsPanelOpen() || PanelLink().IsWorkPanelOpen(); }
void CShellNpcHost::ClearSecondEffectWait() {
    if (pFrame) pFrame->m_nSceneEffectWait2 = 0;
}
bool CShellNpcHost::TakeNpcWalkModeFlag() {
    if (!pFrame || !pFrame->m_bNpcRun) return false;
    pFrame->m_bNpcRun = 0;
    return true;
}
void CShellNpcHost::FailNpcInit(const std::string& strText) {
    MessageBox(nullptr, strText.c_str(), "", 0);
    if (pFrame) pFrame->QuitGameFailed(strText.c_str());
}

POINT CShellEffectSceneLink::GetViewOrigin() const { return pScene ? pScene->ptView : POINT{0, 0}; }
void CShellEffectSceneLink::ClearHoverActor() {
    if (pScene) pScene->nHoverActorId = -1;
}

void CSceneMapLink::CreateEffectManager() {
    DeleteEffectManager();
    pEffectManager = new CEffectManager;
    // A new game replaces the manager while the old scene still stands.
    if (pScene) pScene->RebindNpcStates();
}

void CSceneMapLink::DeleteEffectManager() {
    CEffectManager* pOld = pEffectManager;
    pEffectManager = nullptr;
    if (pScene) pScene->RebindNpcStates();
    delete pOld;
}

bool CSceneMapLink::UpdateEffects() { return UpdateEffectList(pEffectManager); }

bool CSceneMapLink::DrawMoveText(CMoveText* pText) {
    if (!pText) return true;
    // A banner with its pictures slides as a banner; a text-only one as a line.
    const bool bGoingOn = pText->pBanner || pText->pBackground ? pText->Draw() : pText->DrawLine();
    return !bGoingOn;
}

void CSceneMapLink::DeleteMoveText(CMoveText* pText) { delete pText; }

int CSceneMapLink::GetNpcClass(int nId) const { return pScene ? pScene->GetNpcClass(nId) : -1; }
void CSceneMapLink::ReviveNpcs() {
    if (pScene) pScene->ReviveDeadNpcs();
}
void CSceneMapLink::ResetNpcs() {
    if (pScene) pScene->UpdateNpcs();
}

void CSceneMapLink::DrawScene() {
    if (pScene) pScene->Draw();
}

void CSceneMapLink::UpdateScene() {
    if (pScene) pScene->Update();
}

void CSceneMapLink::SetScrolling() {
    if (pScene) pScene->bHoldView = 1;
}

void CSceneMapLink::ScrollView(int nDx, int nDy) {
    if (!pScene) return;
    if (nDx < 0) pScene->ScrollLeft(-nDx);
    if (nDx > 0) pScene->ScrollRight(nDx);
    if (nDy < 0) pScene->ScrollUp(-nDy);
    if (nDy > 0) pScene->ScrollDown(nDy);
}

void CSceneMapLink::HitTestObjects(int x, int y) {
    if (pScene) pScene->HitTestObjects(x + pScene->ptView.x, y + pScene->ptView.y);
}

int CSceneMapLink::GetHoverObject() const { return pScene ? pScene->nHoverActorId : -1; }

void CSceneMapLink::SetHoverObject(int nHover) {
    if (pScene) pScene->nHoverActorId = nHover;
}

void CSceneMapLink::DeleteWorld(int nActiveSlot) {
    (void)nActiveSlot;
    DeleteScene();
}

void CSceneMapLink::DeleteScene() {
    delete pScene;
    pScene = nullptr;
}

void StepViewTowards(int x, int y) {
    if (!pScene || !pFrame) return;
    pScene->ScrollViewTowards(x, y);
    const LONG nMaxX = std::max<LONG>(0, pScene->rcMap.right - pFrame->m_nScreenWidth);
    const LONG nMaxY = std::max<LONG>(0, pScene->rcMap.bottom - pFrame->m_nScreenHeight);
    pScene->ptView.x = std::clamp<LONG>(pScene->ptView.x, 0, nMaxX);
    pScene->ptView.y = std::clamp<LONG>(pScene->ptView.y, 0, nMaxY);
}

void CSceneMapLink::FollowScriptView(const ScriptCommand* pCommand) {
    if (!pCommand) return;
    if (pCommand->nCommand == 20) StepViewTowards(pCommand->a1, pCommand->a2);
    if (pCommand->nCommand == 80 && pPlayer) StepViewTowards(pPlayer->ptPos.x, pPlayer->ptPos.y);
}

namespace {

CShellSceneHost s_host;
CShellHeroHost s_heroHost;
// The map link with the heroes' calls.
CHeroMapLink s_link;
CShellNpcHost s_npcHost;
CShellEffectSceneLink s_effectLink;

}  // namespace

void InstallSceneLinks() {
    SetSceneHost(&s_host);
    SetHeroHost(&s_heroHost);
    SetMapLink(&s_link);
    SetNpcHost(&s_npcHost);
    SetEffectSceneLink(&s_effectLink);
}

bool MakeScene(int nScene, std::string* pWhy, SceneFault* pFault) {
    InstallSceneLinks();
    if (pFault) *pFault = SceneFault::kNone;
    delete pScene;
    pScene = nullptr;
    auto* pNew = new CScene;
    if (!pNew->LoadMap(nScene)) {
        if (pWhy) *pWhy = pNew->GetLoadError();
        if (pFault) *pFault = pNew->IsMapDamaged() ? SceneFault::kMapDamaged : SceneFault::kMapMissing;
        delete pNew;
        return false;
    }
    // A damaged setting file fails the scene as a damaged map does.
    if (!pNew->LoadSetting(nScene)) {
        if (pWhy) *pWhy = pNew->GetSettingError();
        if (pFault) *pFault = SceneFault::kSettingDamaged;
        delete pNew;
        return false;
    }
    if (!pNew->GetSettingError().empty())
        std::fprintf(stderr, "game: %s; the scene has no characters, regions or events\n",
                     pNew->GetSettingError().c_str());
    for (const std::string& strWarning : pNew->GetNpcWarnings()) ReportFileProblem(strWarning);
    pScene = pNew;
    return true;
}
