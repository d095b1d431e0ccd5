// The 412-byte character record of a setting file, from a plain model of its fields,
// and the people of the sample scenes.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "world/MapFile.h"

struct NpcRecordModel {
    std::int32_t nClass = 0;
    std::int32_t nEnemyRow = 0;
    std::int32_t nCellX = 0, nCellY = 0;
    std::int32_t nDirection = 0;
    std::array<std::int32_t, 8> events{-1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t nWanderSpeed = 6;
    std::int32_t nDisplay = 0;
    std::int32_t nId = 0;
    std::int32_t nRangedRadius = 0;
    // Centre of the 256 x 256 hit box; the box is left empty when negative.
    std::int32_t nBoxX = -1, nBoxY = -1;
    std::int32_t nWanderRadius = 0;
    std::array<std::int32_t, 4> loot{-1, -1, -1, -1};
    std::int32_t nAttackRadius = 0;
    std::int32_t nSculpt = 0;
    std::int32_t nStandRule = 0;
    std::int32_t nPost = 0;
    std::int32_t nRanged = 0;
    std::int32_t nLootMoney = 0;
    std::int32_t nRandomEvents = 0;
};

std::array<std::uint8_t, kNpcRecordSize> BuildNpcRecord(const NpcRecordModel& npc);
// Offsets of the fields tests damage.
constexpr size_t kNpcRecordIdOffset = 64;
constexpr size_t kNpcRecordSculptOffset = 132;
constexpr size_t kNpcRecordRowOffset = 4;

// The enemy rows of the grove's first fighters, a new player's match: the imp (row 16)
// and the fox cub (row 17), both after the rows the battles use.
constexpr int kGroveImpRow = 16;
constexpr int kGroveCubRow = 17;
// How near the grove's fighters let her come before they engage: the next cell (three for the
// archer, who shoots from there).
constexpr int kGroveNewcomerReach = 64;
constexpr int kGroveArcherReach = 96;
// The grove's fighters' own cells, in a row running south-east six cells apart: the fox
// cub nearest the road's end, the imp, the archer and the square caster. Each stands at
// the end of a lane of its own off the grove's path (the grove's map leaves them open).
constexpr int kGroveFighterCount = 4;
constexpr int kGroveFighterCells[kGroveFighterCount][2] = {{6, 11}, {12, 11}, {18, 11}, {24, 11}};

// The villagers' sculpts, one each (the face their talk lines show is the same number).
constexpr int kFirstVillagerSculpt = 7;
constexpr int kSquireSculpt = 8;
constexpr int kWandererSculpt = 3;
constexpr int kPedlarSculpt = 9;
constexpr int kHerbalistSculpt = 6;
constexpr int kBankerSculpt = 10;
constexpr int kMasterSculpt = 4;
constexpr int kKeeperSculpt = 11;
constexpr int kShopSculpt = 12;
constexpr int kInlayerSculpt = 13;
constexpr int kSmithSculpt = 14;
constexpr int kBoySculpt = 15;
constexpr int kLadSculpt = 16;
constexpr int kInnkeeperSculpt = 5;
constexpr int kGuestSculpt = 17;

// The people of a sample scene: the town's villagers (no fighter), the grove's fighters,
// its companion and its beasts' ambush, the inn's keeper and guest. Cells are the scene's own.
std::vector<NpcRecordModel> SamplePeople(int nScene);
// The horned beast that once roamed the town's south-east (id 4, row 0, cell 30, 23):
// no longer part of the sample, it is what tests of a fight on the town's ground put there.
NpcRecordModel SampleTownWolf();
