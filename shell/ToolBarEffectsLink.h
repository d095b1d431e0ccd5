// The shell's side of the toolbar's effect pools and weather: the fighting's area and
// flying effects, the scene draw's tick, the script's weather switch and the switch-off
// of every overlay when a game starts, is loaded or ends.
#pragma once
#include "world/FightHost.h"

// The fighting's calls into the toolbar's pools; nothing without a toolbar.
class CShellFightHost : public CFightHost {
public:
    void AddEffectAt(int nAttack, int x, int y, int nSkill, int nOwner) override;
    void AddFlyingEffectFromPoint(int nAttack, int x, int y, int nTargetX, int nTargetY, int bUseSkill,
                                  int nOwner) override;
};

CFightHost* ShellFightHost();
// Ticks the toolbar's area and flying effects (the scene draw, once a frame).
void ReapToolBarEffects();
// Toggles a weather number 0..5 of the toolbar (script command 95).
void SetToolBarWeather(int nWeather);
// Every overlay and the shake off: a new game, the title, a loaded game.
void SwitchOffToolBarWeather();
