// The toolbar's save block taken from and given to the toolbar.
#include <algorithm>

#include "platform/Stream.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarSave.h"

ToolBarSaveState GetToolBarState(const CGameToolBar& bar) {
    ToolBarSaveState s;
    s.nHero = bar.m_nHero;
    s.nPartyBehaviour = bar.m_nPartyBehaviour;
    std::copy(std::begin(bar.m_nQuickSlots), std::end(bar.m_nQuickSlots), s.nQuickSlots);
    s.nStackCount = bar.m_nStackCount;
    s.nStackItem = bar.m_nStackItem;
    std::copy(std::begin(bar.m_nReserved), std::end(bar.m_nReserved), s.nReserved);
    s.nWeather = bar.m_nWeather;
    return s;
}

void ReplaceToolBarWeather(CGameToolBar& bar, int nWeather) {
    // Every overlay goes, not only the recorded one: two weathers may run at once, and
    // one left running would leak into the loaded game.
    bar.SwitchOffAllWeather();
    if (nWeather >= 0) bar.SetSceneWeather(nWeather);
}

void ApplyToolBarState(CGameToolBar& bar, const ToolBarSaveState& s, bool bWithHero) {
    if (bWithHero) bar.m_nHero = s.nHero;
    bar.m_nPartyBehaviour = s.nPartyBehaviour;
    std::copy(std::begin(s.nQuickSlots), std::end(s.nQuickSlots), bar.m_nQuickSlots);
    bar.m_nStackCount = s.nStackCount;
    bar.m_nStackItem = s.nStackItem;
    std::copy(std::begin(s.nReserved), std::end(s.nReserved), bar.m_nReserved);
    // Nothing of the fight that ran before the load goes on in the loaded game.
    bar.ResetFightState();
    ReplaceToolBarWeather(bar, s.nWeather);
}

void SaveToolBarState(const CGameToolBar& bar, CByteWriter& out, bool bWithHero) {
    WriteToolBarState(GetToolBarState(bar), bWithHero, out);
}

bool LoadToolBarState(CGameToolBar& bar, CByteReader& in, bool bWithHero) {
    ToolBarSaveState s;
    if (!ParseToolBarState(in, bWithHero, &s)) return false;
    ApplyToolBarState(bar, s, bWithHero);
    return true;
}
