// The toolbar's weather switch: the script's weather numbers toggle the overlays, which
// the toolbar draws every frame over the map.
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarSave.h"

namespace {

template <typename T>
void Toggle(std::unique_ptr<T>& p) {
    if (p) p.reset();
    else p = std::make_unique<T>();
}

}  // namespace

void CGameToolBar::SetSceneWeather(int nWeather) {
    // Only the six weathers exist; another number would be recorded and saved, and a
    // save with it could not be loaded.
    if (nWeather < 0 || nWeather > kToolBarWeatherMax) return;
    m_nWeather = m_nWeather != -1 ? -1 : nWeather;
    switch (nWeather) {
    case 0:
        m_bShake = !m_bShake;
        break;
    case 1:
        Toggle(m_pSnow);
        break;
    case 2:
        Toggle(m_pFog);
        break;
    case 3:
        Toggle(m_pRain);
        break;
    case 4:
    case 5:
        // Either stripe number switches stripes that are on off, whatever their pattern.
        if (m_pStripes) {
            m_pStripes.reset();
        } else {
            m_pStripes = std::make_unique<CStripeEffect>();
            m_pStripes->SetPattern(nWeather == 4 ? 0 : 1);
        }
        break;
    default:
        break;
    }
}

void CGameToolBar::DrawWeather() {
    if (!pScene) return;
    if (m_pFog) m_pFog->Draw();
    if (m_pSnow) m_pSnow->Draw();
    if (m_pRain) m_pRain->Draw();
    if (m_pStripes) m_pStripes->Draw();
    if (m_bShake) ShakeView();
}

void CGameToolBar::SwitchOffAllWeather() {
    m_pSnow.reset();
    m_pFog.reset();
    m_pRain.reset();
    m_pStripes.reset();
    m_bShake = 0;
    m_nWeather = -1;
}
