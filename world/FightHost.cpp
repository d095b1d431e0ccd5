#include "world/FightHost.h"

namespace {

CFightHost g_defaultHost;
CFightHost* g_pHost = &g_defaultHost;

}  // namespace

CFightHost& FightHost() { return *g_pHost; }

void SetFightHost(CFightHost* pHost) { g_pHost = pHost ? pHost : &g_defaultHost; }
