// The skills' icons: each skill of the sample's skill table drawn as what it is, its
// element as the tile's colour (wind, fire, ice, thunder, earth) and its form as the
// sign on it (a sword, a palm, a shield, ...). "JL%03d.bmp" is a learned skill's icon,
// "skill-%02dn.bmp" the same faded for a skill not learned yet, laid out so that both
// fill the skill panel's slot wells; the five hot-key marks "ShortCutY.bmp" .. "P" sit
// in a slot's corner.
#pragma once
#include <vector>

#include "tools/gamekit/GameModel.h"
#include "tools/gamekit/PkgWriters.h"

// The menu.pkg entries of every skill of the model and the hot-key marks.
std::vector<PkgEntryData> SkillIconEntries(const GameModel& model);
