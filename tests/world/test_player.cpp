// The hero's set-up by member number, items, money and stats, stance and bonuses,
// copying, and the change of the controlled member.
#include <cstdint>
#include <cstring>
#include <memory>

#include "tests/world/PlayerTestUtil.h"
#include "world/PathFinder.h"

namespace {

using PlayerInit = HeroTest;
using PlayerItems = HeroTest;
using PlayerStats = HeroTest;
using PlayerCopy = HeroTest;

TEST_F(PlayerInit, EachCallerGetsTheSculptMemberAndStatsItExpects) {
    CPlayer hero;  // a new game: (0, clear, -1)
    hero.Init(0, false, -1);
    EXPECT_EQ(hero.nSculpt, 1);
    EXPECT_EQ(hero.nMember, 0);
    EXPECT_EQ(hero.mapObject.nKind, kHeroKindMouse);
    EXPECT_EQ(hero.nLife, 100);
    EXPECT_EQ(hero.nLifeMax, 100);
    EXPECT_EQ(hero.nMana, 40);
    EXPECT_EQ(hero.nAttack, 7);
    EXPECT_EQ(hero.nWalkStep, 9);
    EXPECT_STREQ(hero.szName, "\xC1\xD6\xC7\xE0");
    EXPECT_EQ(hero.nFrameCounts[0], 10);  // sculpt 1, sprite actions 0..2
    EXPECT_EQ(hero.nFrameCounts[2], 12);
    EXPECT_EQ(hero.nTaskState[99], -1);

    // Party members (1, set, k) get sculpts 2..5, member 1 fights from afar.
    for (int m = 0; m < 4; ++m) {
        CPlayer member;
        member.Init(1, true, m);
        EXPECT_EQ(member.nSculpt, m + 2) << m;
        EXPECT_EQ(member.nLevelMember, m);
        EXPECT_EQ(member.mapObject.nKind, kHeroKindComputer);
        EXPECT_EQ(member.nLifeMax, 100 + m);
        EXPECT_EQ(member.nSkillEffectKind, 1);
        EXPECT_EQ(member.bRanged, m == 1 ? 1 : 0);
        EXPECT_EQ(member.nAttackRadius, m == 1 ? 300 : 65);
        EXPECT_EQ(member.nIdleInterval, m == 0 ? 10000 : 1000 * m);
    }

    // Loading keeps the sculpt just read and takes the member of the active slot.
    CPlayer loaded;
    loaded.nSculpt = 7;
    loaded.Init(-1, false, 2);
    EXPECT_EQ(loaded.nSculpt, 7);
    EXPECT_EQ(loaded.nMember, 2);
    EXPECT_EQ(loaded.mapObject.nKind, kHeroKindMouse);
    EXPECT_EQ(loaded.nFrameCounts[1], 71);

    // A member number no table has is member 0, not an index past the tables.
    CPlayer odd;
    odd.Init(1, true, 9);
    EXPECT_EQ(odd.TableMember(), 0);
}

TEST_F(PlayerInit, SculptBaseZeroAddsTheLevelRowToRowZero) {
    data.pLevel[0][3].nLife = 30;
    data.pLevel[0][3].nMana = 20;
    data.pLevel[0][3].nAttack = 4;
    data.pLevel[0][3].nExperience = 900;
    data.pLevel[0][3].nAge = 19;
    CPlayer hero;
    hero.nLifeMax = 77;
    hero.SetLevel(3);
    hero.Init(0, false, -1);
    EXPECT_EQ(hero.nLife, 130);
    EXPECT_EQ(hero.nMana, 60);
    EXPECT_EQ(hero.nAttack, 11);
    EXPECT_EQ(hero.nExperience, 900);
    EXPECT_EQ(hero.nAge, 19);
    EXPECT_EQ(hero.nLifeMax, 77);  // maxima unchanged

    // The level table's words are raw: their sums stay inside the 32-bit range.
    data.pLevel[0][3].nLife = INT32_MAX;
    data.pLevel[0][3].nMana = INT32_MAX - 40;
    data.pLevel[0][3].nAttack = INT32_MAX;
    data.pLevel[0][3].nDefence = INT32_MIN;
    data.pLevel[0][0].nDefence = -1;
    hero.Init(0, false, -1);
    EXPECT_EQ(hero.nLife, INT32_MAX);
    EXPECT_EQ(hero.nMana, INT32_MAX);
    EXPECT_EQ(hero.nAttack, INT32_MAX);
    EXPECT_EQ(hero.nDefence, INT32_MIN);

    hero.SetLevel(500);
    EXPECT_EQ(hero.nLevel, 101);
    hero.SetLevel(-4);
    EXPECT_EQ(hero.nLevel, 0);
}

TEST_F(PlayerItems, CountsStayWithinZeroAndFiveHundred) {
    CPlayer hero;
    EXPECT_EQ(hero.HasItem(-1), 0);
    EXPECT_EQ(hero.HasItem(100), 0);
    hero.AddItem(100);
    hero.AddItem(-1);
    EXPECT_EQ(hero.RemoveItem(100), 0);
    hero.nItemCount[3] = 499;
    hero.AddItem(3);
    hero.AddItem(3);
    EXPECT_EQ(hero.nItemCount[3], 500);
    EXPECT_EQ(hero.HasItem(3), 1);
    EXPECT_EQ(hero.RemoveItem(4), 0);
}

TEST_F(PlayerItems, TheLastRemovedEmptiesTheControlledHerosBagCells) {
    CPlayer hero, member;
    hero.Init(0, false, 2);  // controlled hero is member 2
    member.Init(1, true, 1);
    pPlayer = &hero;
    data.pItem[2].nBagCell[2][5] = 5;
    data.pItem[2].nBagCell[1][5] = 5;
    member.nItemCount[2] = 2;
    EXPECT_EQ(member.RemoveItem(2), 1);
    EXPECT_EQ(data.pItem[2].nBagCell[2][5], 5);  // one is left
    EXPECT_EQ(member.RemoveItem(2), 1);
    EXPECT_EQ(data.pItem[2].nBagCell[2][5], -1);
    EXPECT_EQ(data.pItem[2].nBagCell[1][5], 5);  // the member's own table is not touched
    EXPECT_EQ(member.RemoveItem(2), 0);
}

TEST_F(PlayerItems, UsingAnItemTakesFromTheControlledHeroAndHealsThisOne) {
    CPlayer hero, member;
    hero.Init(0, false, -1);
    member.Init(1, true, 1);
    pPlayer = &hero;
    member.nLife = 10;
    member.nMana = 10;

    member.UseItem(3, false);  // the controlled hero holds none: nothing happens
    EXPECT_EQ(member.nLife, 10);

    hero.nItemCount[3] = 1;
    data.pItem[3].nBagCell[0][7] = 7;
    data.pItem[3].nBagCell[0][8] = 7;
    member.UseItem(3, false);
    EXPECT_EQ(hero.nItemCount[3], 0);
    EXPECT_EQ(member.nLife, 40);
    EXPECT_EQ(member.nMana, 25);
    EXPECT_EQ(data.pItem[3].nBagCell[0][8], -1);  // the highest used cell
    EXPECT_EQ(data.pItem[3].nBagCell[0][7], 7);
    EXPECT_EQ(host.clearedCells, std::vector<int>{8});

    hero.nItemCount[3] = 1;
    member.UseItem(3, true);  // keep cells
    EXPECT_EQ(data.pItem[3].nBagCell[0][7], 7);
    EXPECT_EQ(member.nLife, 70);
    EXPECT_EQ(host.clearedCells.size(), 1u);

    // Life does not pass its maximum.
    hero.nItemCount[5] = 1;
    member.UseItem(5, true);
    EXPECT_EQ(member.nLife, member.nLifeMax);
}

TEST_F(PlayerItems, ItemThirtyOneBringsBackMembersWithPartyFiles) {
    GameModel model;
    model.items.resize(32);
    std::string strError;
    ASSERT_TRUE(WriteGameDataFiles(dir.Path().c_str(), model, &strError)) << strError;
    ASSERT_TRUE(data.ReadTableCache());
    CPlayer hero;
    pPlayer = &hero;
    host.bPartyFile[2] = true;
    host.bPartyFile[4] = true;
    hero.nItemCount[31] = 1;
    hero.UseItem(31, false);
    EXPECT_EQ(host.loadedFiles, (std::vector<int>{2, 4}));
}

TEST_F(PlayerStats, MoneyLifeAndManaStayInRange) {
    CPlayer hero;
    hero.AddMoney(30);
    hero.AddMoney(-100);
    EXPECT_EQ(hero.nMoney, 0);
    hero.AddMoney(2147483000);
    hero.AddMoney(2147483000);
    EXPECT_EQ(hero.nMoney, 2147483647);

    hero.nLife = 20;
    hero.nLifeMax = 50;
    hero.AddHP(100, false);
    EXPECT_EQ(hero.nLife, 50);
    hero.AddHP(10, true);
    EXPECT_EQ(hero.nLifeMax, 60);
    EXPECT_EQ(hero.nLife, 50);
    hero.AddMP(-20, true);
    EXPECT_EQ(hero.nManaMax, 30);
    EXPECT_EQ(hero.nMana, 30);

    hero.SetDirection(-1);
    EXPECT_EQ(hero.nDirection, 7);
    hero.SetDirection(-17);
    EXPECT_EQ(hero.nDirection, 7);
    hero.SetDirection(9);
    EXPECT_EQ(hero.nDirection, 1);
}

TEST_F(PlayerStats, StanceChoosesTheSpriteActionsOfTheFrameCounts) {
    CPlayer hero;
    hero.SetSculpt(3, false);
    EXPECT_EQ(hero.nStance, 0);
    EXPECT_EQ(std::vector<int>(hero.nFrameCounts, hero.nFrameCounts + 5), (std::vector<int>{36, 37, 38, 33, 34}));
    hero.ToggleStance();
    EXPECT_EQ(hero.nStance, 1);
    EXPECT_EQ(std::vector<int>(hero.nFrameCounts, hero.nFrameCounts + 3), (std::vector<int>{30, 31, 32}));
    hero.ToggleStance();
    EXPECT_EQ(hero.nFrameCounts[0], 36);

    // Counts of actions 0..26 load on demand; anything else has none.
    EXPECT_EQ(hero.GetFrameCount(26), 56);
    EXPECT_EQ(hero.nFrameCounts[26], 56);
    EXPECT_EQ(hero.GetFrameCount(27), 0);
    EXPECT_EQ(hero.GetFrameCount(-1), 0);
}

TEST_F(PlayerStats, ItemBonusesComeOffAsTheyWentOn) {
    CPlayer hero;
    const CPlayer before = hero;
    // -1: an inlay recorded for the unit that is being worn.
    hero.inlay[4] = InlayRecord{6, 7, 8, -1};
    hero.ApplyItemBonus(4, false);
    EXPECT_EQ(hero.nAttack, 4 + 6);
    EXPECT_EQ(hero.nDefence, 8 + 7);
    EXPECT_EQ(hero.nLifeMax, before.nLifeMax + 40);
    EXPECT_EQ(hero.nManaMax, before.nManaMax + 20);
    EXPECT_EQ(hero.nStaminaMax, before.nStaminaMax + 5 + 8);
    EXPECT_EQ(hero.inlay[4].nLink, -2);
    hero.ApplyItemBonus(4, true);
    EXPECT_EQ(hero.nAttack, before.nAttack);
    EXPECT_EQ(hero.nDefence, before.nDefence);
    EXPECT_EQ(hero.nStaminaMax, before.nStaminaMax);
    EXPECT_EQ(hero.nLifeMax, before.nLifeMax);
    EXPECT_EQ(hero.inlay[4].nLink, -1);
    // Worn again, it applies again.
    hero.ApplyItemBonus(4, false);
    EXPECT_EQ(hero.nAttack, 4 + 6);
    hero.ApplyItemBonus(4, true);

    // An anchor (the inlaid unit still in the bag) or no record adds only the item's
    // own columns, and taking such an item off leaves its record alone.
    hero.inlay[1] = InlayRecord{6, 7, 8, 3};
    hero.inlay[2] = InlayRecord{6, 7, 8, 0};
    hero.ApplyItemBonus(1, false);
    hero.ApplyItemBonus(2, false);
    EXPECT_EQ(hero.nAttack, 1 + 2);
    EXPECT_EQ(hero.inlay[1].nLink, 3);
    EXPECT_EQ(hero.inlay[2].nLink, 0);
    hero.ApplyItemBonus(1, true);
    EXPECT_EQ(hero.nAttack, 2);
    EXPECT_EQ(hero.inlay[1].nLink, 3);
    hero.ApplyItemBonus(77, false);  // no such row
    hero.ApplyItemBonus(-1, true);
    EXPECT_EQ(hero.nAttack, 2);
}

TEST_F(PlayerStats, MapPositionSetsTheCellOnlyWithAScene) {
    CPlayer hero;
    hero.SetMapPos(100, 70);
    EXPECT_EQ(hero.mapObject.ptCellPos.x, 0);
    host.bScene = true;
    hero.SetMapPosAndHome(100, 70);
    EXPECT_EQ(hero.mapObject.ptCellPos.x, 3);
    EXPECT_EQ(hero.mapObject.ptCellPos.y, 2);
    EXPECT_EQ(hero.ptGoal.x, 100);
    EXPECT_EQ(hero.ptPos.y, 70);
}

TEST_F(PlayerCopy, CopiesOwnTheirBuffersAndNameThemselves) {
    auto pHero = std::make_unique<CPlayer>();
    pHero->Init(0, false, -1);
    pHero->nItemCount[3] = 9;
    pHero->spareBuffers[1] = {1, 2, 3};
    pHero->RefreshPartyMembers();
    ASSERT_EQ(pHero->pPartyMembers[0], pHero.get());

    ASSERT_NE(pHero->pPath, nullptr);
    pHero->pPath->nWaypoints = 3;
    CPlayer copy(*pHero);
    CPlayer assigned;
    assigned.Init(0, false, -1);
    assigned = *pHero;
    pHero->spareBuffers[1][0] = 99;
    pHero->pPath->nWaypoints = 0;
    pHero.reset();  // the copies hold nothing of the original
    for (const CPlayer* p : {&copy, &assigned}) {
        EXPECT_EQ(p->nItemCount[3], 9);
        EXPECT_EQ(p->spareBuffers[1], (std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_EQ(p->pPartyMembers[0], p);
        // Each copy walks its own path.
        ASSERT_NE(p->pPath, nullptr);
        EXPECT_EQ(p->pPath->nWaypoints, 3);
    }
    assigned = assigned;
    EXPECT_EQ(assigned.nItemCount[3], 9);
}

class PlayerSwitchParty : public HeroTest {
protected:
    CPlayer hero, member0, member2;
    void SetUp() override {
        HeroTest::SetUp();
        hero.Init(0, false, -1);
        member0.Init(1, true, 0);
        member2.Init(1, true, 2);
        hero.nMoney = 11;
        hero.nFightTarget = 4;
        member2.nMoney = 22;
        member2.nFightTarget = 5;
        pPlayer = &hero;
        pParty[0] = &member0;
        pParty[2] = &member2;
        host.nCurrentHero = 1;
    }
};

TEST_F(PlayerSwitchParty, RefusalsChangeNothing) {
    host.bPanelOpen = true;
    EXPECT_FALSE(SwitchHero(2));
    host.bPanelOpen = false;
    EXPECT_FALSE(SwitchHero(0));  // already controlled
    EXPECT_FALSE(SwitchHero(1));  // empty slot
    EXPECT_FALSE(SwitchHero(4));
    EXPECT_FALSE(SwitchHero(-1));
    EXPECT_FALSE(LoadHeroFromSlot(0));
    EXPECT_EQ(hero.nMoney, 11);
    EXPECT_EQ(member0.nMoney, 0);
    EXPECT_EQ(host.nCurrentHero, 1);
    EXPECT_TRUE(host.reloads.empty());
}

TEST_F(PlayerSwitchParty, SwitchParksTheHeroAndTakesTheMember) {
    ASSERT_TRUE(SwitchHero(2));
    EXPECT_EQ(member0.nMoney, 11);  // parked copy of the hero
    EXPECT_EQ(member0.mapObject.nKind, kHeroKindComputer);
    EXPECT_EQ(member0.nFightTarget, -1);
    EXPECT_EQ(hero.nMoney, 22);
    EXPECT_EQ(hero.nMember, 2);
    EXPECT_EQ(hero.mapObject.nKind, kHeroKindMouse);
    EXPECT_EQ(hero.nFightTarget, -1);
    EXPECT_EQ(host.nCurrentHero, 3);
    EXPECT_EQ(host.reloads, std::vector<int>{3});
    EXPECT_EQ(hero.pPartyMembers[2], &hero);
    EXPECT_EQ(hero.pPartyMembers[0], &member0);
    EXPECT_EQ(hero.pPartyMembers[1], nullptr);

    SetPartyTarget(8);
    EXPECT_EQ(hero.nSharedTarget, 8);
    EXPECT_EQ(member2.nSharedTarget, 8);
}

TEST_F(PlayerSwitchParty, LoadFromSlotDoesNotParkTheHero) {
    ASSERT_TRUE(LoadHeroFromSlot(2));
    EXPECT_EQ(member0.nMoney, 0);
    EXPECT_EQ(hero.nMoney, 22);
    EXPECT_EQ(host.nCurrentHero, 3);

    // Without a toolbar there is no current member to park.
    host.nCurrentHero = 0;
    hero.nMoney = 5;
    ASSERT_TRUE(SwitchHero(0));
    EXPECT_EQ(hero.nMember, 0);
    EXPECT_EQ(member2.nMoney, 22);
}

}  // namespace
