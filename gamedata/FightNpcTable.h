// The battle-enemy table. Nothing in the game's data carries it, so it is made from
// the map characters' type table after the tables are loaded: row n takes type row
// n's values of the same meaning, a fixed gauge threshold (45) and normal attack (76),
// money and experience of 10 per level, and 0 for the rest.
#pragma once
#include <vector>

#include "gamedata/Tables.h"

constexpr int kFightNpcTableRows = 301;  // enemy numbers 0..300

// The rows for the type rows given (at most 301); texts point into the type rows.
std::vector<FightNpcRow> BuildFightNpcRows(const std::vector<EnemyNpcRow>& enemies);
