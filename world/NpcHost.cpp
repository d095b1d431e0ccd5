#include "world/NpcHost.h"

namespace {

CNpcHost g_defaultHost;
CNpcHost* g_pHost = &g_defaultHost;

}  // namespace

CNpcHost& NpcHost() { return *g_pHost; }

void SetNpcHost(CNpcHost* pHost) { g_pHost = pHost ? pHost : &g_defaultHost; }
