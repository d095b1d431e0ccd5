#include "shell/ToolBarEffectsLink.h"

#include "shell/FrameLinks.h"
#include "ui/toolbar/GameToolBar.h"

namespace {

CGameToolBar* Bar() { return PanelLink().GetToolBar(); }

}  // namespace

void ReapToolBarEffects() {
    if (CGameToolBar* pBar = Bar()) pBar->ReapEffects();
}

void SetToolBarWeather(int nWeather) {
    if (CGameToolBar* pBar = Bar()) pBar->SetSceneWeather(nWeather);
}

void SwitchOffToolBarWeather() {
    if (CGameToolBar* pBar = Bar()) pBar->SwitchOffAllWeather();
}

void ResetToolBarFight() {
    if (CGameToolBar* pBar = Bar()) pBar->ResetFightState();
}
