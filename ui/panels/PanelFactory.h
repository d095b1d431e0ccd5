// The one place that makes the toolbar's panels. Each panel kind is filled in when its
// panel exists; a kind that cannot be made yet gives null, which the host treats as a
// panel that is not open.
#pragma once
#include <memory>

#include "ui/panels/GamePanel.h"

enum class PanelKind { Skill, Item, State, SysMenu, Task, Settings, Save, Load, SceneMap };

// nHero: the hero number (1..4) the panel shows; bHero: the skill panel shows the
// controlled hero (clear: the companion).
std::unique_ptr<CGamePanel> MakeGamePanel(PanelKind kind, int nHero, bool bHero);
