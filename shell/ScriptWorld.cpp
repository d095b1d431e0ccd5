#include "shell/ScriptWorld.h"

#include <string>

#include "shell/MainFrame.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "shell/ToolBarEffectsLink.h"
#include "world/EffectManager.h"
#include "world/Npc.h"
#include "world/PathFinder.h"
#include "world/Player.h"
#include "world/Scene.h"

void CScriptWorld::HeroWalkTo(int x, int y, bool bRun) {
    if (!pPlayer || !pScene) return;
    if (bRun) pPlayer->nAction = pPlayer->nSpriteAction = 2;
    pPlayer->WalkTo(x, y, false, false);
}

bool CScriptWorld::IsHeroAtGoal() const {
    if (!pPlayer || !pScene) return true;
    const bool bOnGoal = pPlayer->ptPos.x == pPlayer->ptGoal.x && pPlayer->ptPos.y == pPlayer->ptGoal.y;
    return bOnGoal && (!pPlayer->pPath || pPlayer->pPath->nWaypoints == 0);
}

bool CScriptWorld::NpcWalkTo(int nId, int x, int y, bool bRun) {
    if (!pScene) return false;
    // The run flag is the main window's: the scene's walk start takes it.
    if (bRun && pFrame) pFrame->m_bNpcRun = 1;
    return pScene->MoveNpcTo(nId, x, y);
}

bool CScriptWorld::IsNpcAtGoal(int nId) const {
    const CNpc* pNpc = pScene ? pScene->GetNpc(pScene->FindNpcById(nId)) : nullptr;
    if (!pNpc || !pNpc->IsShown()) return true;
    // A character that no longer walks has arrived or stopped short for good: a run
    // ends at an event region's edge and any walk at a cell another has taken, with
    // waypoints left over. The script goes on then rather than waiting for ever. A
    // wanderer plans walks of its own again even while the event runs; the frame polls
    // the wait before it updates the characters, so the stop is seen before a new walk.
    if (pNpc->nAction != kNpcWander && pNpc->nAction != kNpcChase) return true;
    // Still walking: only on the goal with no cell left to take. The last cell is taken
    // a cell's walk before the character stands on it.
    const bool bOnGoal = pNpc->pState->nMapX == pNpc->ptNextWaypoint.x && pNpc->pState->nMapY == pNpc->ptNextWaypoint.y;
    return bOnGoal && (!pNpc->pPath || pNpc->pPath->nWaypoints == 0);
}

bool CScriptWorld::IsNpcPresentAndStopped(int nId) const { return pScene && pScene->IsNpcStopped(nId); }

void CScriptWorld::GiveNpcDirection(int nIndex, int nDirection) {
    CNpc* pNpc = pScene ? pScene->GetNpc(nIndex) : nullptr;
    if (!pNpc) return;
    if (pNpc->pState) pNpc->pState->nDirection = std::int8_t(nDirection & 7);
    if (pNpc->bForcedPose) pNpc->SetActionByScript(0);
}

bool CScriptWorld::ChangeScene(int nScene, int nKind, int nTime, int nExtra1, int nExtra2, int nExtra3) {
    // The three values after the time play no part in the scene change.
    (void)nExtra1; (void)nExtra2; (void)nExtra3;
    return pFrame && pFrame->ChangeScene(nScene, nKind, nTime);
}

bool CScriptWorld::IsTextBoxOpen() const { return pFrame && pFrame->m_pToolBar && pFrame->m_pToolBar->m_pTextBox; }

void CScriptWorld::ShowTextBox(int nText, int nStepMs) {
    if (pFrame && pFrame->m_pToolBar) pFrame->m_pToolBar->ShowTextBox(nText, nStepMs);
}
void CScriptWorld::SetSceneWeather(int nWeather) { SetToolBarWeather(nWeather); }

namespace {
CScriptWorld s_defaultWorld;
CScriptWorld* s_pWorld = &s_defaultWorld;
}  // namespace

CScriptWorld& ScriptWorld() { return *s_pWorld; }

void SetScriptWorld(CScriptWorld* pWorld) { s_pWorld = pWorld ? pWorld : &s_defaultWorld; }
