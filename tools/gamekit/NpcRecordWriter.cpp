#include "tools/gamekit/NpcRecordWriter.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>

#include "platform/Stream.h"

std::array<std::uint8_t, kNpcRecordSize> BuildNpcRecord(const NpcRecordModel& n) {
    CByteWriter out;
    for (std::int32_t v : {n.nClass, n.nEnemyRow, 0, n.nCellX, n.nCellY, n.nDirection}) out.WriteI32(v);
    for (std::int32_t v : n.events) out.WriteI32(v);
    for (std::int32_t v : {n.nWanderSpeed, n.nDisplay, n.nId, 0, 0, 0, 0, n.nRangedRadius}) out.WriteI32(v);
    const bool bBox = n.nBoxX >= 0 && n.nBoxY >= 0;
    for (std::int32_t v : {bBox ? n.nBoxX - 128 : 0, bBox ? n.nBoxY - 160 : 0, bBox ? n.nBoxX + 128 : 0,
                           bBox ? n.nBoxY + 96 : 0})
        out.WriteI32(v);
    out.WriteI32(0);
    out.WriteI32(n.nWanderRadius);
    for (std::int32_t v : n.loot) out.WriteI32(v);
    for (std::int32_t v : {n.nAttackRadius, n.nSculpt, n.nStandRule, n.nPost, n.nRanged, n.nLootMoney, n.nRandomEvents})
        out.WriteI32(v);
    std::array<std::uint8_t, kNpcRecordSize> record{};
    std::memcpy(record.data(), out.Bytes().data(), out.Bytes().size());
    return record;
}

namespace {

// A villager at cell (cx, cy) whose talk starts the first of its events that can start.
NpcRecordModel Talker(int nId, int nSculpt, int cx, int cy, std::initializer_list<int> events) {
    NpcRecordModel n;
    n.nId = nId;
    n.nSculpt = nSculpt;
    n.nEnemyRow = 1;
    n.nCellX = cx;
    n.nCellY = cy;
    std::copy_n(events.begin(), std::min(events.size(), std::size(n.events)), std::begin(n.events));
    return n;
}

NpcRecordModel Fighter(int nId, int nRow, int nSculpt, int cx, int cy) {
    NpcRecordModel n;
    n.nClass = 2;
    n.nId = nId;
    n.nEnemyRow = nRow;
    n.nSculpt = nSculpt;
    n.nCellX = cx;
    n.nCellY = cy;
    n.nAttackRadius = 160;
    n.loot = {1, 2, -1, -1};
    n.nLootMoney = 30;
    return n;
}

}  // namespace

NpcRecordModel SampleTownWolf() {
    // Drops money, a head piece (type 0) and a gem (type 8).
    NpcRecordModel wolf = Fighter(4, 0, 20, 30, 23);
    wolf.loot = {25, 40, -1, -1};
    return wolf;
}

std::vector<NpcRecordModel> SamplePeople(int nScene) {
    // Every villager wears a sculpt of its own (3..19 and the shop keeper's 89; 1 is the
    // heroine's and 2 the companion's), and its talk lines show that sculpt's face.
    std::vector<NpcRecordModel> people;
    if (nScene == 0) {
        // The first villager, beside the start: the first task once, then a reminder.
        people.push_back(Talker(1, kFirstVillagerSculpt, 14, 10, {20, 24}));
        // Squire Li, who lost his jade pendant: he takes it back once she holds it (25).
        people.push_back(Talker(2, kSquireSculpt, 24, 9, {25, 21}));
        people.push_back(Talker(3, 89, 20, 16, {22}));
        // The wanderer keeps to the open grass east of the south-west house, clear of its roof.
        NpcRecordModel wanderer = Talker(5, kWandererSculpt, 12, 24, {23});
        wanderer.nWanderRadius = 96;
        wanderer.nDirection = 2;
        people.push_back(wanderer);
        // The pedlar who hands out medicines and bombs (event 30), then a line of his own.
        people.push_back(Talker(20, kPedlarSculpt, 24, 22, {30, 31}));
        // The herbalist, south-east of the start.
        people.push_back(Talker(6, kHerbalistSculpt, 30, 24, {40}));
        // The banker on the road east of the start (event 50 opens the bank).
        people.push_back(Talker(8, kBankerSculpt, 24, 14, {50}));
        // The master who offers a bout against his golems.
        people.push_back(Talker(11, kMasterSculpt, 33, 12, {60}));
        // The game keeper east of the fires: her gift and question once, then the question.
        people.push_back(Talker(17, kKeeperSculpt, 32, 14, {85, 89}));
        // The shop keeper, the inlay master and the smith in the quiet north-east corner.
        people.push_back(Talker(14, kShopSculpt, 33, 4, {75}));
        // The inlay master and the smith give their first pieces once (81, 82), then
        // open their boards (76, 77).
        people.push_back(Talker(15, kInlayerSculpt, 35, 4, {81, 76}));
        people.push_back(Talker(16, kSmithSculpt, 37, 4, {82, 77}));
        // West of the inn's door: a boy (who answers with event 97), and his brother whose
        // talk (96) sends him running.
        people.push_back(Talker(40, kBoySculpt, 2, 6, {97}));
        people.push_back(Talker(41, kLadSculpt, 3, 9, {96}));
    } else if (nScene == 1) {
        // The fighters, each alone in a nook of bamboo off the grove's path, engaging only
        // who comes within two or three cells, so that they come one at a time: the fox
        // cub nearest the road's end, then the imp, and in the south-east the harder two
        // the companion warns of, a ranged fighter and one whose skills lay area effects.
        // The cub stands its ground (a fleeing fighter runs to the grove's start, which is
        // the archer's cell, so that the archer never walks off to it).
        auto at = [](NpcRecordModel n) {
            n.nAttackRadius = kGroveNewcomerReach;
            return n;
        };
        const auto& cells = kGroveFighterCells;
        const NpcRecordModel cub = at(Fighter(3, kGroveCubRow, 23, cells[0][0], cells[0][1]));
        people.push_back(at(Fighter(1, kGroveImpRow, 21, cells[1][0], cells[1][1])));
        NpcRecordModel archer = at(Fighter(2, 2, 22, cells[2][0], cells[2][1]));
        archer.nRanged = 1;
        archer.nAttackRadius = archer.nRangedRadius = kGroveArcherReach;
        people.push_back(archer);
        people.push_back(cub);
        // The companion, on the road from the town; she wears member 2's sculpt.
        people.push_back(Talker(5, 2, 14, 22, {40}));
        // The square caster: its skill spreads a square cell by cell.
        people.push_back(at(Fighter(9, 12, 24, cells[3][0], cells[3][1])));
        // Two weak beasts that jump out once, north of the road's end.
        people.push_back(Talker(11, 20, 9, 19, {60}));
    } else if (nScene == 100) {
        // The innkeeper east of the door mat, and a guest at the west table.
        // The first task's end once, the story's end once the master and the herbalist
        // are content, else a word of advice.
        people.push_back(Talker(30, kInnkeeperSculpt, 17, 12, {20, 21, 22}));
        people.push_back(Talker(31, kGuestSculpt, 4, 12, {23}));
    }
    return people;
}
