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

// The people of a sample scene: scene 0 two talkers, a shop keeper, a fighter and a
// wanderer; scene 1 six fighters; none elsewhere. Cells are the scene's own.
std::vector<NpcRecordModel> SamplePeople(int nScene);
