#include "shell/ToolBarEffectsLink.h"

#include "shell/FrameLinks.h"
#include "ui/toolbar/GameToolBar.h"

namespace {

CShellFightHost s_fightHost;

CGameToolBar* Bar() { return PanelLink().GetToolBar(); }

}  // namespace

void CShellFightHost::AddEffectAt(int nAttack, int x, int y, int nSkill, int nOwner) {
    if (CGameToolBar* pBar = Bar()) pBar->AddEffectAt(nAttack, x, y, nSkill, nOwner);
}

void CShellFightHost::AddFlyingEffectFromPoint(int nAttack, int x, int y, int nTargetX, int nTargetY, int bUseSkill,
                                               int nOwner) {
    // A shot with the skill flag bursts in a ring, else it flies in a line.
    if (CGameToolBar* pBar = Bar()) pBar->AddFlyingEffectFromPoint(nAttack, x, y, nTargetX, nTargetY, bUseSkill, nOwner);
}

CFightHost* ShellFightHost() { return &s_fightHost; }

void ReapToolBarEffects() {
    if (CGameToolBar* pBar = Bar()) pBar->ReapEffects();
}

void SetToolBarWeather(int nWeather) {
    if (CGameToolBar* pBar = Bar()) pBar->SetSceneWeather(nWeather);
}

void SwitchOffToolBarWeather() {
    if (CGameToolBar* pBar = Bar()) pBar->SwitchOffAllWeather();
}
