// The one place that makes the toolbar's panels. Each panel registers its maker when it
// exists; a kind without a maker gives null, which the host treats as a panel that is
// not open (its group stays closed).
#pragma once
#include <memory>

#include "ui/panels/GamePanel.h"

enum class PanelKind { Skill, Item, State, SysMenu, Task, Settings, Save, Load, SceneMap, Count };

// nHero: the hero number (1..4) the panel shows; bHero: the skill panel shows the
// controlled hero (clear: the companion).
using PanelMaker = std::unique_ptr<CGamePanel> (*)(int nHero, bool bHero);

std::unique_ptr<CGamePanel> MakeGamePanel(PanelKind kind, int nHero, bool bHero);
// Sets the maker of a kind (null: none) and returns the one it replaces.
PanelMaker SetPanelMaker(PanelKind kind, PanelMaker pfnMaker);
