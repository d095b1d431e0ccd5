#include "world/PlayerHost.h"

#include "gamedata/BitmapData.h"
#include "gamedata/NpcPkg.h"
#include "media/SoundEffects.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"

int CHeroHost::GetSpriteFrameCount(int nSculpt, int nAction) const {
    if (pBitmapData == nullptr || pBitmapData->GetNpcPkg() == nullptr) return 0;
    return pBitmapData->GetNpcPkg()->GetFrameCount(nSculpt, nAction);
}

bool CHeroHost::GetCellOfPoint(POINT pt, POINT* pCell) const {
    if (pScene == nullptr) return false;
    const POINT cell = pScene->PixelToCell(pt.x, pt.y);
    if (!pScene->IsInGrid(cell.x, cell.y)) return false;
    *pCell = cell;
    return true;
}

void CHeroHost::PlayStepSound() {
    if (pSoundEffects != nullptr) pSoundEffects->Play(4);
}

void CHeroHost::PlaySound(int n) {
    if (pSoundEffects != nullptr) pSoundEffects->Play(n);
}

void CHeroHost::PlaySkillSound(int n) {
    if (pSoundEffects != nullptr) pSoundEffects->PlayJl(n);
}

namespace {
CHeroHost g_defaultHost;
CHeroHost* g_pHost = &g_defaultHost;
}  // namespace

CHeroHost& HeroHost() { return *g_pHost; }

void SetHeroHost(CHeroHost* pHost) { g_pHost = pHost != nullptr ? pHost : &g_defaultHost; }
