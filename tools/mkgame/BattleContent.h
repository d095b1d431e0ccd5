// The sample game's battle content: the battle skills and enemies, the two usable
// headwear items, the raise pictures and the battle
// actions of the fighters' sprite sets.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/gamekit/GameModel.h"
#include "tools/gamekit/NpcRecordWriter.h"
#include "tools/gamekit/PkgWriters.h"

// Enemy rows of the sample's battles: the grove's weak beasts and the master's golems.
constexpr int kBeastRow = 14;
constexpr int kGolemRow = 8;
// The golems' life: one blow of a new heroine fells one.
constexpr int kGolemLife = 14;
// The master's bout, after his question (an event of the town).
constexpr int kBoutEvent = 64;
// Items the beasts' event gives: a potion (usable headwear) and darts (thrown).
constexpr int kLifeHeadwear = 25;
constexpr int kManaHeadwear = 26;
constexpr int kDarts = 35;

// Flat probe colours of the battle pictures (24-bit RGB), so that screenshots show
// which one was drawn.
constexpr std::uint32_t kRingColour = 0x3060C0;
constexpr std::uint32_t kRingLitColour = 0xF0E040;
constexpr std::uint32_t kListColour = 0x2A7A4A;
constexpr std::uint32_t kVictoryColour = 0x7A2A6A;
constexpr std::uint32_t kEscapeColour = 0x5A5A5A;
constexpr std::uint32_t kBackgroundColour = 0x30502A;
// The box of the battle's tooltips and messages (drawn at half strength).
constexpr std::uint32_t kMessageBoxColour = 0x283C78;

// Battle skills: retunes skills 0..49 for the three tabs, adds 51..83.
void AddBattleSkills(GameModel& model);
// The beasts' enemy rows (life 40, defence 0).
void AddBattleEnemies(GameModel& model);
// The grove's first fighters (rows 16 and 17, after the beasts): weak enough for a
// new player with the starting equipment.
void AddGroveEnemies(GameModel& model);
// Life and mana of the two usable headwear items.
void AddBattleItems(GameModel& model);
// The raise pictures for Vesk.pkg.
std::vector<PkgEntryData> BattleRaiseEntries();
// Actions 9 and 19..24 of the party sets 0..5 and the enemy sculpts, drawn in the
// battle's two directions.
NpcPkgModel BattleSpriteActions();
