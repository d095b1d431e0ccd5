// Heroes against the fighters: the member's choice, approach and strike, the leash of
// 200 pixels, the controlled hero's click attack, damage from marks and leaving the
// party, skill uses and raises, the stun box, the thrown item, buffs, teleport and the
// self-healing from the quick slots; and a minute of party fighting replayed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Clock.h"
#include "tests/world/NpcTestUtil.h"
#include "world/FightHost.h"
#include "world/PathFinder.h"
#include "world/PlayerHost.h"

namespace npctest {
namespace {

POINT Centre(int cx, int cy) { return POINT{cx * kCell + kCell / 2, cy * kCell + kCell / 2}; }

class CHeroRecorder : public CHeroHost {
public:
    int GetCurrentHero() const override { return 1; }
    bool IsKeyTaken() const override { return bKeyTaken; }
    int GetStackItem() const override { return nStackItem; }
    int GetStackCount() const override { return nStackCount; }
    void SetStack(int nItem, int nCount) override {
        nStackItem = nItem;
        nStackCount = nCount;
    }
    void ClearQuickSlot(int nSlot) override { clearedSlots.push_back(nSlot); }
    void ShowCaption(const char* pszText) override { captions.emplace_back(pszText); }
    void LeaveParty(int nMember) override { left.push_back(nMember); }
    void RequestWalk(int x, int y) override { walks.push_back(POINT{x, y}); }
    bool GetShownNpcPoint(int nId, POINT* pPoint) const override {
        const CNpc* pNpc = pScene ? pScene->GetNpc(pScene->FindNpcById(nId)) : nullptr;
        if (!pNpc || !pNpc->IsShown()) return false;
        *pPoint = POINT{pNpc->pState->nMapX, pNpc->pState->nMapY};
        return true;
    }
    bool TalkToNpc(int nId) override {
        talks.push_back(nId);
        return false;
    }

    bool bKeyTaken = false;
    int nStackItem = -1, nStackCount = 0;
    std::vector<int> clearedSlots, left, talks;
    std::vector<std::string> captions;
    std::vector<POINT> walks;
};

class CShotRecorder : public CFightHost {
public:
    struct Shot {
        int nAttack, x, y, nEffect, tx, ty, nOwner, nKind;
    };
    std::vector<int> damage;
    std::vector<Shot> shots, heroShots;
    std::vector<Shot> laid;
    void AddDecLife(int, int, int nAmount) override { damage.push_back(nAmount); }
    void AddFlyingEffect(int nAttack, int x, int y, int nEffect, int tx, int ty, int nOwner, int nKind) override {
        shots.push_back(Shot{nAttack, x, y, nEffect, tx, ty, nOwner, nKind});
    }
    void AddFlyingEffectFromHero(int tx, int ty, int nKind, int nAction, int nEffect, int nAttack) override {
        heroShots.push_back(Shot{nAttack, 0, 0, nEffect, tx, ty, nAction, nKind});
    }
    void AddEffectAt(int nAttack, int x, int y, int nSkill, int nOwner) override {
        laid.push_back(Shot{nAttack, x, y, nSkill, 0, 0, nOwner, 0});
    }
    void AddAreaEffectAtHero(int nAttack, int x, int y, int nValue, int nAction) override {
        laid.push_back(Shot{nAttack, x, y, nValue, 0, 0, nAction, -1});
    }
};

// Skills: 7 flies, 8 is a buff, 9 teleports, 50 throws the stack item. Levels of
// every skill: needs 2, 4, 6 uses; attack bonus 10, 20, 30; time bonus 1, 2, 3.
constexpr int kFlySkill = 7, kBuffSkill = 8, kTeleportSkill = 9, kThrownSkill = 50;
constexpr int kSkillAction = 5, kHitFrame = 2;

class HeroFightTest : public NpcTest {
protected:
    void SetUp() override {
        NpcTest::SetUp();
        if (HasFatalFailure()) return;
        m_skills.resize(51);
        for (size_t i = 0; i < m_skills.size(); ++i) {
            SkillRow& s = m_skills[i];
            s.nAttack = 40;
            s.nMana = 5;
            s.nDirection = kSkillAction;
            s.nNpcType = kHitFrame;
            s.nSkillNo = -1;
            s.nAttackType = 1;
            s.pName = "skill";
        }
        m_skills[kBuffSkill] = SkillRow{.nAttack = 5, .nDefance = 3, .nCelerity = 7, .nMana = 5,
                                        .nDirection = kSkillAction, .nNpcType = kHitFrame, .nSkillNo = -1,
                                        .nNeedTime = 2, .nAttackType = 10, .pName = "buff"};
        m_skills[kTeleportSkill].nAttackType = 3;
        m_skills[kThrownSkill].nMana = 0;
        m_levels.assign(51, SkillLevelRow{0, 10, 20, 30, 1, 2, 3, 2, 4, 6});
        m_data.pSkill = m_skills.data();
        m_data.pSkillLevel = m_levels.data();
        m_data.nSkillCount = int(m_skills.size());
        m_items[1].nLife = 30;  // the herb heals
        m_items[3].nAttack = 9;  // the cap is thrown for 9
        SetFightHost(&m_shots);
        SetHeroHost(&m_heroHost);
        ASSERT_TRUE(Build(2, {}));
        MakeHero(m_leader, false, 0, 8, 10);
        pPlayer = &m_leader;
    }
    void TearDown() override {
        for (auto& p : pParty) p = nullptr;
        SetHeroHost(nullptr);
        SetFightHost(nullptr);
        NpcTest::TearDown();
    }
    // A hero of sculpt 1 with 4-frame actions, attack 20, defence 2, life and mana 100.
    static void MakeHero(CPlayer& hero, bool bComputer, int nMember, int cx, int cy) {
        hero = CPlayer();
        hero.Init(0, bComputer, nMember);
        hero.nSculpt = 1;
        std::fill(std::begin(hero.nFrameCounts), std::end(hero.nFrameCounts), 0);
        for (int a = 0; a < 6; ++a) hero.GetFrameCount(a);
        hero.nAttack = 20;
        hero.nDefence = 2;
        hero.nLife = hero.nLifeMax = hero.nMana = hero.nManaMax = 100;
        std::strcpy(hero.szName, "Lin");
        const POINT at = Centre(cx, cy);
        hero.SetMapPos(at.x, at.y);
        hero.ptGoal = hero.ptNextWaypoint = at;
    }
    // Adds fighters (shown, seen, life 60) and returns the scene.
    void Fighters(const std::vector<POINT>& cells) {
        std::vector<NpcRecordModel> people;
        int nId = 1;
        for (POINT c : cells) {
            NpcRecordModel n = Person(nId++, 2, kReviveRow, c.x, c.y, 20);
            n.nAttackRadius = 0;  // they stand still: the heroes are under test
            people.push_back(n);
        }
        ASSERT_TRUE(Build(2, people));
        for (int i = 0; i < Scene().GetNpcCount(); ++i) {
            CNpc& npc = Npc(i);
            const POINT at = Centre(cells[size_t(i)].x, cells[size_t(i)].y);
            npc.pState->nMapX = at.x;
            npc.pState->nMapY = at.y;
            npc.ptNextWaypoint = npc.ptHome = at;
            npc.mapObject.ptCellPos = cells[size_t(i)];
            npc.bSeen = 1;
        }
    }
    POINT CellOf(const CPlayer& hero) { return Scene().PixelToCell(hero.ptPos.x, hero.ptPos.y); }
    int MarkAt(int cx, int cy, int nKind) {
        const SceneCell* pCell = Scene().CellAt(cx, cy);
        return pCell && pCell->nMarkKind == nKind ? pCell->nMark : -1;
    }
    // One frame of the member: the clock, its update.
    void Frame(CPlayer& hero) {
        Tick(50);
        hero.Update();
    }

    std::vector<SkillLevelRow> m_levels;
    CShotRecorder m_shots;
    CHeroRecorder m_heroHost;
    CPlayer m_leader, m_member;
};

TEST_F(HeroFightTest, AMeleeMemberStrikesADiagonalNeighbourAndApproachesOneTwoCellsAway) {
    Fighters({{11, 11}});
    MakeHero(m_member, true, 2, 10, 10);
    ASSERT_EQ(m_member.bRanged, 0);
    EXPECT_EQ(m_member.Fight(), 1);
    EXPECT_EQ(m_member.nStrikeTarget, 0);
    EXPECT_EQ(m_member.nFightTarget, 1);
    EXPECT_EQ(m_member.nAction, 3);
    EXPECT_EQ(MarkAt(11, 11, 0), 20) << "the fighter's cell is marked with the hero's attack";
    EXPECT_EQ(m_member.ptStrikeCell.x, 11);
    EXPECT_EQ(m_member.ptStrikeCell.y, 11);

    Fighters({{12, 12}});
    MakeHero(m_member, true, 2, 10, 10);
    EXPECT_EQ(m_member.Fight(), 1);
    EXPECT_EQ(m_member.nFightTarget, 1) << "beyond the attack radius it is only named";
    EXPECT_EQ(m_member.nAction, 0);
    EXPECT_EQ(m_member.Fight(), 1);
    EXPECT_EQ(m_member.nStrikeTarget, -1);
    EXPECT_EQ(m_member.ptGoal.x, Centre(11, 11).x) << "the cell beside it on the hero's side";
    EXPECT_EQ(m_member.ptGoal.y, Centre(11, 11).y);
    EXPECT_GT(m_member.nAction, 0) << "it walks";
    for (int i = 0; i < 10; ++i) EXPECT_EQ(MarkAt(12, 12, 0), -1) << "nothing struck on the way";
    bool bStruck = false;
    for (int i = 0; i < 60 && !bStruck; ++i) {
        Frame(m_member);
        bStruck = MarkAt(12, 12, 0) == 20;
    }
    EXPECT_TRUE(bStruck);
    EXPECT_EQ(CellOf(m_member).x, 11);
    EXPECT_EQ(CellOf(m_member).y, 11);
}

TEST_F(HeroFightTest, AStrikeLandsOnTheNeighbourFacedOnEitherGridKind) {
    // Also from near a corner of her cell, where a hurt may stop her walk: the blow still
    // lands on the neighbour's cell.
    for (const int nOff : {0, 14, -14})
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if (!dx && !dy) continue;
                Fighters({{8 + dx, 10 + dy}});
                MakeHero(m_leader, false, 0, 8, 10);
                m_leader.SetMapPos(m_leader.ptPos.x + nOff, m_leader.ptPos.y + nOff);
                m_leader.AttackNpc(0, (dx * dx + dy * dy) * kCell * kCell);
                EXPECT_EQ(MarkAt(8 + dx, 10 + dy, 0), 20) << dx << "," << dy << " off " << nOff;
            }
    // On a diamond grid the neighbour table already follows the screen.
    for (int d = 0; d < 8; ++d) {
        EXPECT_EQ(FrontCell(POINT{5, 5}, d, 1).x, NeighbourCell(POINT{5, 5}, d).x);
        EXPECT_EQ(FrontCell(POINT{5, 5}, d, 1).y, NeighbourCell(POINT{5, 5}, d).y);
    }
}

TEST_F(HeroFightTest, AMemberNeverWalksToAFighterMoreThan200PixelsFromTheHero) {
    Fighters({{14, 10}});
    MakeHero(m_leader, false, 0, 2, 10);
    MakeHero(m_member, true, 2, 8, 10);
    for (int i = 0; i < 5; ++i) Frame(m_member);
    EXPECT_EQ(m_member.nFightTarget, 1);
    EXPECT_EQ(m_member.WaypointCount(), 0);
    EXPECT_EQ(m_member.nAction, 0);
    EXPECT_EQ(CellOf(m_member).x, 8) << "it stays beside the hero";

    // The hero comes nearer: the fighter's side cell lies within 200 pixels of him.
    MakeHero(m_leader, false, 0, 9, 11);
    Frame(m_member);
    EXPECT_GT(m_member.nAction, 0);
    EXPECT_EQ(m_member.ptGoal.x, Centre(13, 10).x);

    // A member that strayed beyond 200 pixels drops its targets and heads back.
    MakeHero(m_leader, false, 0, 1, 1);
    m_member.ptPendingWalk = Centre(2, 2);
    EXPECT_TRUE(m_member.LeashToLeader());
    EXPECT_EQ(m_member.nFightTarget, -1);
    EXPECT_EQ(m_member.ptGoal.x, Centre(2, 2).x);
    // Near the hero the answer is the toolbar's key flag.
    MakeHero(m_member, true, 2, 2, 1);
    EXPECT_FALSE(m_member.LeashToLeader());
    m_heroHost.bKeyTaken = true;
    EXPECT_TRUE(m_member.LeashToLeader());
}

TEST_F(HeroFightTest, TheClickedFighterIsStruckInReachAndWalkedToOutOfIt) {
    Fighters({{9, 11}, {15, 10}});
    Scene().ptView = POINT{32, 64};
    const POINT near = Centre(9, 11), far = Centre(15, 10);
    m_leader.AttackNpc(0, 2048);
    EXPECT_EQ(m_leader.nAction, 3);
    EXPECT_EQ(MarkAt(9, 11, 0), 20);
    EXPECT_EQ(m_leader.nStrikeTarget, -1) << "one blow per click";
    EXPECT_TRUE(m_heroHost.walks.empty());
    // A second click while the blow runs only clears the mark.
    m_leader.nStrikeTarget = -1;
    m_leader.AttackNpc(0, 2048);
    EXPECT_EQ(MarkAt(9, 11, 0), -1);

    m_leader.AttackNpc(1, (far.x - near.x) * (far.x - near.x));
    ASSERT_EQ(m_heroHost.walks.size(), 1u);
    EXPECT_EQ(m_heroHost.walks[0].x, far.x - 32) << "the walk request is in screen pixels";
    EXPECT_EQ(m_heroHost.walks[0].y, far.y - 64);

    // A ranged hero shoots from 200 pixels.
    m_leader.nAction = 0;
    m_leader.bRanged = 1;
    m_leader.nAttackRadius = 300;
    m_leader.AttackNpc(1, 200 * 200);
    ASSERT_EQ(m_shots.shots.size(), 1u);
    EXPECT_EQ(m_shots.shots[0].nAttack, 20);
    EXPECT_EQ(m_shots.shots[0].tx, far.x - 32);
    EXPECT_EQ(m_shots.shots[0].ty, far.y - 64);
}

TEST_F(HeroFightTest, MarksHurtAtLeastOneLifeAndAMemberWithoutLifeOrWithTheLeaveFlagLeaves) {
    MakeHero(m_member, true, 2, 5, 5);
    m_member.nDefence = 10;
    Scene().SetCellMark(5, 5, 4, 1);
    EXPECT_FALSE(m_member.TakeAreaDamage());
    EXPECT_EQ(m_member.nLife, 99);
    ASSERT_EQ(m_shots.damage.size(), 1u);
    EXPECT_EQ(m_shots.damage[0], 1);
    Scene().SetCellMark(5, 5, 80, 0);
    m_member.nAction = 0;
    EXPECT_FALSE(m_member.TakeAreaDamage()) << "kind 0 hurts characters only";
    EXPECT_EQ(m_member.nLife, 99);

    Scene().SetCellMark(5, 5, 80, 1);
    EXPECT_FALSE(m_member.TakeAreaDamage());
    EXPECT_EQ(m_member.nLife, 29);
    EXPECT_EQ(m_member.bLow, 1) << "below 30 %";
    m_member.nAction = 0;
    EXPECT_TRUE(m_member.TakeAreaDamage());
    EXPECT_LT(m_member.nLife, 1);
    ASSERT_EQ(m_heroHost.left.size(), 1u);
    EXPECT_EQ(m_heroHost.left[0], 2);

    MakeHero(m_member, true, 3, 20, 20);
    m_member.bMode[3] = 1;
    EXPECT_EQ(m_member.Update(), 1) << "the leave flag removes the member at once";
    EXPECT_EQ(m_member.bMode[3], 0);
    EXPECT_EQ(m_heroHost.left.back(), 3);
}

TEST_F(HeroFightTest, UsesReachingTheNeedsRaiseTheLevelWithACaptionAndSkill50KeepsOffTheArrays) {
    m_leader.nSkillLevel[kFlySkill] = 0;
    m_leader.SelectSkill(kFlySkill);
    int nLevels[6];
    for (int i = 0; i < 6; ++i) {
        m_leader.nAction = 0;
        m_leader.CastSkill(400, 300);
        nLevels[i] = m_leader.nSkillLevel[kFlySkill];
    }
    EXPECT_EQ(m_leader.nSkillUses[kFlySkill], 6);
    EXPECT_EQ(m_leader.nMana, 70);
    EXPECT_EQ(nLevels[1], 0);
    EXPECT_EQ(nLevels[3], 1);
    EXPECT_EQ(nLevels[5], 2);
    ASSERT_EQ(m_heroHost.captions.size(), 3u);
    EXPECT_EQ(m_heroHost.captions[0], "Lin\xB5\xC4skill\xBC\xBC\xC4\xDC\xC9\xFD\xBC\xB6\xC1\xCB");

    // A cast is refused while the skill's own action, a blow or a rest runs.
    const int nMana = m_leader.nMana;
    for (int nAction : {kSkillAction, 3, 9}) {
        m_leader.nAction = nAction;
        m_leader.CastSkill(400, 300);
    }
    EXPECT_EQ(m_leader.nMana, nMana);

    // The thrown item: the stack's item gives the attack, each cast takes one.
    m_heroHost.nStackItem = 3;
    m_heroHost.nStackCount = 2;
    m_leader.SelectSkill(kThrownSkill);
    EXPECT_EQ(m_leader.nSkillBonusAttack, 9);
    const std::int32_t nSlot5 = m_leader.nEquipSlot5;
    for (int i = 0; i < 3; ++i) {
        m_leader.nAction = 0;
        m_leader.CastSkill(400, 300);
    }
    EXPECT_EQ(m_heroHost.nStackCount, 0);
    EXPECT_EQ(m_heroHost.nStackItem, -1) << "the slot empties at 0";
    EXPECT_EQ(m_leader.nThrownCount, 0);
    EXPECT_EQ(m_leader.nEquipSlot5, nSlot5) << "skill 50 has no use counter";
    EXPECT_EQ(m_heroHost.captions.size(), 3u);
    // With the stack empty the cast does nothing, and costs no mana even when the
    // thrown skill has a price.
    m_skills[kThrownSkill].nMana = 4;
    m_leader.SelectSkill(kThrownSkill);
    m_leader.nAction = 0;
    m_leader.nDirection = 3;
    const int nManaLeft = m_leader.nMana;
    m_leader.CastSkill(400, 300);
    EXPECT_EQ(m_leader.nMana, nManaLeft);
    EXPECT_EQ(m_leader.nAction, 0);
    EXPECT_EQ(m_leader.nDirection, 3);

    // A skill number outside the table selects nothing.
    m_leader.SelectSkill(51);
    EXPECT_EQ(m_leader.nSelectedSkill, -1);
}

TEST_F(HeroFightTest, TheStunBoxGrowsWithTheLevelAndLevelThreeStunsNobody) {
    // Offsets from the hero at (8, 10): 128 px right; 256 px right; 224 px down; 384 px right.
    Fighters({{12, 10}, {16, 10}, {8, 17}, {20, 10}});
    auto stunnedAt = [&](int nLevel) {
        for (int i = 0; i < Scene().GetNpcCount(); ++i) Npc(i).bStunned = 0;
        m_leader.nSkillLevel[1] = nLevel;
        m_leader.SelectSkill(1);
        m_leader.nAction = 0;
        m_leader.nMana = 100;
        m_leader.CastSkill(0, 0);
        std::string s;
        for (int i = 0; i < Scene().GetNpcCount(); ++i) s += Npc(i).bStunned ? '1' : '0';
        return s;
    };
    Npc(0).ptFrontMark = POINT{13, 10};
    Scene().SetCellMark(13, 10, 12, 1);
    EXPECT_EQ(stunnedAt(0), "1000");
    EXPECT_EQ(Npc(0).ptFrontMark.x, -1) << "its front mark is forgotten";
    EXPECT_EQ(MarkAt(13, 10, 1), -1);
    EXPECT_EQ(stunnedAt(1), "1100");
    EXPECT_EQ(stunnedAt(2), "1111");
    EXPECT_EQ(stunnedAt(3), "0000");
    EXPECT_EQ(stunnedAt(7), "0000");
}

TEST_F(HeroFightTest, TheHitFrameFiresTheSkillAndEachLevelAddsTheWordPastIt) {
    Scene().ptView = POINT{0, 0};
    m_leader.SelectSkill(kFlySkill);
    m_leader.nDirection = 7;
    // While it fights the hero keeps the cell it marked.
    m_leader.nFightTarget = 1;
    m_leader.ptStrikeCell = POINT{9, 10};
    m_leader.CastSkill(500, 320);
    EXPECT_EQ(m_leader.nAction, kSkillAction);
    for (int i = 0; i < 12 && m_shots.heroShots.empty(); ++i) Frame(m_leader);
    ASSERT_EQ(m_shots.heroShots.size(), 1u) << "the hit frame shot once";
    EXPECT_EQ(m_shots.heroShots[0].nAttack, 40);
    EXPECT_EQ(MarkAt(9, 10, 0), 40);

    // Words of the level row: 0, 10, 20, 30, 1, 2, 3, 2, 4, 6; level n adds word n + 1,
    // and a level past the row adds nothing.
    const struct {
        int nLevel, nMark;
    } cases[] = {{0, 40}, {1, 60}, {2, 70}, {3, 41}, {5, 43}, {7, 44}, {8, 46}, {9, 40}, {-1, 40}};
    for (const auto& c : cases) {
        m_leader.nSkillLevel[kFlySkill] = c.nLevel;
        m_leader.SkillHit();
        EXPECT_EQ(MarkAt(9, 10, 0), c.nMark) << "level " << c.nLevel;
    }

    // A member shoots with its own attack and its member number.
    MakeHero(m_member, true, 1, 8, 12);
    m_member.SelectSkill(kFlySkill);
    m_member.ptSkillTarget = POINT{600, 400};
    m_member.SkillHit();
    ASSERT_EQ(m_shots.shots.size(), 1u);
    EXPECT_EQ(m_shots.shots[0].nAttack, 20);
    EXPECT_EQ(m_shots.shots[0].nOwner, 1);
    EXPECT_EQ(m_shots.shots[0].tx, 600);
}

TEST_F(HeroFightTest, ABuffAddsItsBonusesOnceAndRemovesThemWhenItsTimeIsUp) {
    m_leader.nSkillLevel[kBuffSkill] = 1;
    m_leader.SelectSkill(kBuffSkill);
    const int nAttack = m_leader.nAttack, nDefence = m_leader.nDefence, nStamina = m_leader.nStaminaMax;
    m_leader.SkillHit();
    m_leader.SkillHit();
    EXPECT_EQ(m_leader.nAttack, nAttack + 5) << "a second cast replaces the first";
    EXPECT_EQ(m_leader.nDefence, nDefence + 3);
    EXPECT_EQ(m_leader.nStaminaMax, nStamina + 7);
    EXPECT_EQ(m_leader.nBuffSeconds, 4) << "two seconds and the level's two";
    EXPECT_EQ(m_leader.nSkillBonusAttack, 20);
    int nMs = 0;
    while (m_leader.nBuff != -1 && nMs < 10000) {
        Tick(100);
        nMs += 100;
        m_leader.UpdateBuff();
    }
    EXPECT_EQ(m_leader.nBuff, -1);
    EXPECT_GE(nMs, 3000);
    EXPECT_LE(nMs, 4100);
    EXPECT_EQ(m_leader.nAttack, nAttack);
    EXPECT_EQ(m_leader.nDefence, nDefence);
    EXPECT_EQ(m_leader.nStaminaMax, nStamina);

    // A buff without time ends at once and gives its bonuses back.
    m_skills[kBuffSkill].nNeedTime = 0;
    m_leader.nSkillLevel[kBuffSkill] = 0;
    m_leader.SkillHit();
    m_leader.UpdateBuff();
    EXPECT_EQ(m_leader.nBuff, -1);
    EXPECT_EQ(m_leader.nAttack, nAttack);

    // Higher levels read further along the row (0, 10, 20, 30, 1, 2, 3, 2, 4, 6): level 3
    // adds word 4 to the attack and word 7 to the time; at level 6 the time word would lie
    // past the row and adds nothing.
    m_skills[kBuffSkill].nNeedTime = 2;
    m_leader.nSkillLevel[kBuffSkill] = 3;
    m_leader.SkillHit();
    EXPECT_EQ(m_leader.nSkillBonusAttack, 1);
    EXPECT_EQ(m_leader.nBuffSeconds, 4);
    m_leader.nSkillLevel[kBuffSkill] = 6;
    m_leader.SkillHit();
    EXPECT_EQ(m_leader.nSkillBonusAttack, 2);
    EXPECT_EQ(m_leader.nBuffSeconds, 2);
}

// A hero standing with a talk target talks when the character stands near his next
// waypoint; from farther away he walks up to it instead of talking across the map.
TEST_F(HeroFightTest, AStandingHeroTalksOnlyToACharacterAtHisWaypoint) {
    NpcRecordModel fighter = Person(1, 2, kReviveRow, 9, 10, 20);
    fighter.nAttackRadius = 0;
    ASSERT_TRUE(Build(2, {fighter, Talker(2, 20, 10)}));
    // The shared target beside the hero keeps his thinking going; his blow is cooling down.
    CNpc& target = Npc(0);
    target.pState->nMapX = Centre(9, 10).x;
    target.pState->nMapY = Centre(9, 10).y;
    CNpc& talker = Npc(1);
    const auto Stand = [&] {
        m_leader.nSharedTarget = 1;
        m_leader.nTalkTarget = 2;
        m_leader.nAction = 0;
        m_leader.ptNextWaypoint = m_leader.ptPos;
        m_leader.timeAttackCoolDown = std::int32_t(dwNowTime);
    };
    Stand();
    m_leader.Think();
    EXPECT_TRUE(m_heroHost.talks.empty()) << "no talk from eleven cells away";
    EXPECT_EQ(m_leader.nAction, 1) << "he walks up to the character";
    EXPECT_EQ(m_leader.nTalkTarget, 2);

    Stand();
    talker.pState->nMapX = m_leader.ptPos.x + 20;
    talker.pState->nMapY = m_leader.ptPos.y + 20;
    m_leader.Think();
    EXPECT_EQ(m_heroHost.talks, std::vector<int>{2}) << "within 32 pixels of the waypoint";
    EXPECT_EQ(m_leader.nTalkTarget, -1) << "nothing started: the hero lets the character go";

    Stand();
    talker.pState->nDisplay = kNpcGone;
    m_leader.Think();
    EXPECT_EQ(m_heroHost.talks.size(), 1u);
    EXPECT_EQ(m_leader.nTalkTarget, -1) << "a character that is gone is let go";
}

TEST_F(HeroFightTest, SkillValuesFromTheTablesAddWithoutLeavingThe32BitRange) {
    // The tables hold raw 32-bit words; the sums with the hero's values are held at the
    // range's ends instead of wrapping.
    m_skills[kBuffSkill] = SkillRow{.nAttack = INT32_MAX, .nDefance = INT32_MIN, .nCelerity = INT32_MAX,
                                    .nMana = INT32_MIN, .nDirection = kSkillAction, .nNpcType = kHitFrame,
                                    .nSkillNo = -1, .nNeedTime = INT32_MAX, .nAttackType = 10, .pName = "buff"};
    m_leader.nSkillLevel[kBuffSkill] = 2;  // adds 3 seconds
    m_leader.nDefence = -5;
    m_leader.nStaminaMax = 10;
    m_leader.SelectSkill(kBuffSkill);
    m_leader.nAction = 0;
    m_leader.CastSkill(400, 300);
    EXPECT_EQ(m_leader.nMana, INT32_MAX) << "a negative price adds";
    m_leader.SkillHit();
    EXPECT_EQ(m_leader.nAttack, INT32_MAX);
    EXPECT_EQ(m_leader.nDefence, INT32_MIN);
    EXPECT_EQ(m_leader.nStaminaMax, INT32_MAX);
    EXPECT_EQ(m_leader.nBuffSeconds, INT32_MAX);
    // Taking the buff off when its time is up subtracts it, again held inside the range.
    m_leader.nAttack = -5;
    m_leader.nDefence = 5;
    m_leader.nBuffSeconds = 0;
    m_leader.UpdateBuff();
    EXPECT_EQ(m_leader.nBuff, -1);
    EXPECT_EQ(m_leader.nAttack, INT32_MIN);
    EXPECT_EQ(m_leader.nDefence, INT32_MAX);

    // A flying skill's mark: the attack word and the level's bonus.
    m_skills[kFlySkill].nAttack = INT32_MAX;
    m_leader.nSkillLevel[kFlySkill] = 2;
    m_leader.SelectSkill(kFlySkill);
    m_leader.ptStrikeCell = POINT{9, 10};
    m_leader.SkillHit();
    EXPECT_EQ(MarkAt(9, 10, 0), INT32_MAX);
    ASSERT_FALSE(m_shots.heroShots.empty());
    EXPECT_EQ(m_shots.heroShots.back().nAttack, INT32_MAX);
    // A laid skill's mark on the cell it aims at.
    m_skills[kFlySkill].nAttackType = 0;
    m_leader.SelectSkill(kFlySkill);
    m_leader.ptSkillTarget = Centre(12, 12);
    m_leader.SkillHit();
    EXPECT_EQ(MarkAt(12, 12, 0), INT32_MAX);
}

TEST_F(HeroFightTest, TeleportLandsOnTheCellOrAFreeNeighbourAndStaysPutInAWall) {
    m_leader.SelectSkill(kTeleportSkill);
    m_leader.ptSkillTarget = Centre(20, 15);
    m_leader.SkillHit();
    EXPECT_EQ(CellOf(m_leader).x, 20);
    EXPECT_EQ(CellOf(m_leader).y, 15);

    Scene().CellAt(25, 15)->nWall = 1;
    Scene().RebuildBlockMap();
    m_leader.ptSkillTarget = Centre(25, 15);
    m_leader.SkillHit();
    const POINT cell = CellOf(m_leader);
    EXPECT_LE(std::abs(cell.x - 25), 1);
    EXPECT_LE(std::abs(cell.y - 15), 1);
    EXPECT_FALSE(cell.x == 25 && cell.y == 15);

    for (int y = 4; y <= 6; ++y)
        for (int x = 4; x <= 6; ++x) Scene().CellAt(x, y)->nWall = 1;
    Scene().RebuildBlockMap();
    const POINT before = m_leader.ptPos;
    m_leader.ptSkillTarget = Centre(5, 5);
    m_leader.SkillHit();
    EXPECT_EQ(m_leader.ptPos.x, before.x) << "walled in: no move";
    EXPECT_EQ(m_leader.ptPos.y, before.y);
    m_leader.ptSkillTarget = POINT{-500, -500};
    m_leader.SkillHit();
    EXPECT_EQ(m_leader.ptPos.x, before.x) << "off the grid: no move";
}

TEST_F(HeroFightTest, ALowMemberHealsFromTheHerosQuickSlotsUntilNoneIsLeft) {
    MakeHero(m_member, true, 2, 9, 10);
    std::fill(std::begin(m_leader.nQuickSlot), std::end(m_leader.nQuickSlot), -1);
    m_leader.nQuickSlot[2] = 2;  // no life in it
    m_leader.nQuickSlot[5] = 1;
    m_leader.nItemCount[1] = 2;
    m_member.nLife = 5;
    m_member.bLow = 1;
    m_member.AutoHeal();
    EXPECT_EQ(m_member.nLife, 35);
    EXPECT_EQ(m_leader.nItemCount[1], 1);
    EXPECT_TRUE(m_heroHost.clearedSlots.empty());
    m_member.nLife = 8;
    m_member.AutoHeal();
    EXPECT_EQ(m_member.nLife, 38);
    EXPECT_EQ(m_leader.nQuickSlot[5], -1) << "the last one empties the slot";
    ASSERT_EQ(m_heroHost.clearedSlots.size(), 1u);
    EXPECT_EQ(m_heroHost.clearedSlots[0], 5);

    m_member.nLife = 90;
    m_member.nMana = 90;
    m_member.AutoHeal();
    EXPECT_EQ(m_member.bLow, 0) << "above 80 % of both the flag clears";
    m_leader.bLow = 1;
    m_leader.nLife = 5;
    m_leader.nQuickSlot[0] = 1;
    m_leader.nItemCount[1] = 1;
    m_leader.AutoHeal();
    EXPECT_EQ(m_leader.nLife, 5) << "the controlled hero heals by hand";
}

// A minute of a hero and a member against three fighters, twice from the same clock and
// seed: the same positions, lives and actions frame by frame.
TEST_F(HeroFightTest, AMinuteOfPartyFightingRepeatsExactly) {
    const auto run = [&] {
        UseVirtualClock(true, 5000, 20);
        dwNowTime = TimeGetTime();
        Srand(7);
        m_pEffects = std::make_unique<CEffectManager>();
        pEffectManager = m_pEffects.get();
        std::vector<NpcRecordModel> people;
        for (int i = 0; i < 3; ++i) {
            NpcRecordModel n = Person(i + 1, 2, kReviveRow, 12 + 2 * i, 9 + i, 20);
            n.nAttackRadius = 200;
            n.nWanderRadius = 48;
            people.push_back(n);
        }
        std::vector<std::int64_t> trace;
        const ::testing::AssertionResult built = Build(2, people);
        EXPECT_TRUE(built);
        if (!built) return trace;
        MakeHero(m_leader, false, 0, 8, 10);
        MakeHero(m_member, true, 2, 9, 11);
        // Nobody dies here: the scene would delete a fallen hero.
        for (CPlayer* p : {&m_leader, &m_member}) p->nLife = p->nLifeMax = 100000;
        m_member.SelectSkill(kFlySkill);
        pParty[2] = &m_member;
        for (int nFrame = 0; nFrame < 1200; ++nFrame) {
            Tick(50);
            for (int i = 0; i < Scene().GetNpcCount(); ++i) Npc(i).bSeen = 1;
            Scene().Update();
            trace.insert(trace.end(), {m_member.ptPos.x, m_member.ptPos.y, m_member.nAction, m_member.nLife,
                                       m_member.nMana, m_leader.nLife});
            for (int i = 0; i < Scene().GetNpcCount(); ++i)
                trace.insert(trace.end(), {Npc(i).pState->nMapX, Npc(i).pState->nMapY, Npc(i).Life(), Npc(i).nAction});
        }
        pParty[2] = nullptr;
        return trace;
    };
    const std::vector<std::int64_t> first = run();
    const size_t nDamage = m_shots.damage.size();
    EXPECT_GT(nDamage, 0u);
    EXPECT_GT(m_member.nSkillUses[kFlySkill] + int(m_shots.shots.size()), 0) << "the member fought";
    const std::vector<std::int64_t> second = run();
    EXPECT_EQ(first, second);
    EXPECT_EQ(m_shots.damage.size(), 2 * nDamage);
}

}  // namespace
}  // namespace npctest
