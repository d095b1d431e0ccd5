#include "shell/ScriptWorld.h"

#include <string>

#include "shell/MainFrame.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "world/PathFinder.h"
#include "world/Player.h"
#include "world/Scene.h"

void CScriptWorld::HeroWalkTo(int x, int y, bool bRun) {
    if (!pPlayer || !pScene) return;
    pPlayer->ptGoal = POINT{x, y};
    if (bRun) pPlayer->nAction = pPlayer->nSpriteAction = 2;
}

bool CScriptWorld::IsHeroAtGoal() const {
    if (!pPlayer || !pScene) return true;
    const bool bOnGoal = pPlayer->ptPos.x == pPlayer->ptGoal.x && pPlayer->ptPos.y == pPlayer->ptGoal.y;
    return bOnGoal && (!pPlayer->pPath || pPlayer->pPath->nWaypoints == 0);
}

bool CScriptWorld::ChangeScene(int nScene, int nPlace, int nX, int nY, int nValue, int nFlag) {
    (void)nPlace; (void)nX; (void)nY; (void)nValue; (void)nFlag;
    std::string why;
    if (!MakeScene(nScene, &why)) return false;
    if (pFrame) pFrame->m_nCurrentScene = nScene;
    return true;
}

namespace {
CScriptWorld s_defaultWorld;
CScriptWorld* s_pWorld = &s_defaultWorld;
}  // namespace

CScriptWorld& ScriptWorld() { return *s_pWorld; }

void SetScriptWorld(CScriptWorld* pWorld) { s_pWorld = pWorld ? pWorld : &s_defaultWorld; }
