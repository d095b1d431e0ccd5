#include "world/SceneHost.h"

#include "CDX/CDXScreen.h"

int CSceneHost::GetDisplayWidth() const { return pScreen && pScreen->GetWidth() > 0 ? pScreen->GetWidth() : 800; }
int CSceneHost::GetDisplayHeight() const { return pScreen && pScreen->GetHeight() > 0 ? pScreen->GetHeight() : 600; }

namespace {

CSceneHost s_defaultHost;
CSceneHost* s_pHost = &s_defaultHost;

}  // namespace

CSceneHost& SceneHost() { return *s_pHost; }
void SetSceneHost(CSceneHost* pHost) { s_pHost = pHost ? pHost : &s_defaultHost; }
