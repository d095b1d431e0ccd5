#include "world/PlayerHost.h"

#include "gamedata/BitmapData.h"
#include "gamedata/NpcPkg.h"

int CHeroHost::GetSpriteFrameCount(int nSculpt, int nAction) const {
    if (pBitmapData == nullptr || pBitmapData->GetNpcPkg() == nullptr) return 0;
    return pBitmapData->GetNpcPkg()->GetFrameCount(nSculpt, nAction);
}

namespace {
CHeroHost g_defaultHost;
CHeroHost* g_pHost = &g_defaultHost;
}  // namespace

CHeroHost& HeroHost() { return *g_pHost; }

void SetHeroHost(CHeroHost* pHost) { g_pHost = pHost != nullptr ? pHost : &g_defaultHost; }
