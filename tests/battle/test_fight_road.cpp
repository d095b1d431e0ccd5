// The attack road: blows and their damage, raises running out, whole battles that
// end, and battles that must not stall whatever goes missing.
#include "tests/battle/FightTestUtil.h"

namespace fighttest {
namespace {

// A finished effect of skill k from a to t.
struct Blow : CEffectAnim {
    Blow(int k, int a, int t) {
        m_nSkill = k;
        m_nAttacker = a;
        m_nTarget = t;
    }
};

TEST_F(FightTest, PhysicalBlowsFollowAttackDefenceAndTheDrawnFactor) {
    CFight& f = Start({0});
    C(0).Attack = 90;
    C(0).nAttackBonus = 10;
    C(4).Defence = 20;
    C(4).nDefenceBonus = 10;
    C(4).MaxHP = C(4).HP = 500;
    draws.values = {0};
    f.ApplyEffect(Blow(80, 0, 4));
    EXPECT_EQ(C(4).HP, 500 - 56);
    EXPECT_EQ(C(4).Action, kActHurt);
    draws.values = {4};
    f.ApplyEffect(Blow(80, 0, 4));
    EXPECT_EQ(C(4).HP, 500 - 56 - 84);
    // Defence above attack still costs 10.
    C(4).Defence = 400;
    f.ApplyEffect(Blow(80, 0, 4));
    EXPECT_EQ(C(4).HP, 500 - 56 - 84 - 10);
    // Nothing lands on the fallen.
    C(5).HP = 0;
    f.ApplyEffect(Blow(80, 0, 5));
    EXPECT_EQ(C(5).nDamage, 0);
}

TEST_F(FightTest, ADefendingMemberTakesHalfAndDropsItsGuard) {
    CFight& f = Start({0});
    C(4).Attack = 75;
    C(0).Defence = 5;
    f.bDefending[0] = 1;
    draws.values = {2};
    f.ApplyEffect(Blow(76, 4, 0));
    EXPECT_EQ(C(0).HP, 100 - 35);
    EXPECT_EQ(f.bDefending[0], 0);
    EXPECT_NE(C(0).Action, kActHurt);
    f.bDefending[0] = 1;
    C(4).Attack = 20;
    f.ApplyEffect(Blow(76, 4, 0));
    EXPECT_EQ(C(0).HP, 100 - 35 - 10);
}

TEST_F(FightTest, ARaiseLastsThreeResolvedEffectsOfItsOwner) {
    CFight& f = Start({0});
    C(0).Defence = 30;
    C(0).bRaised[0] = 1;
    for (int n = 0; n < 3; ++n) f.TickStatus(0);
    EXPECT_EQ(C(0).Defence, 30);
    f.TickStatus(0);
    EXPECT_EQ(C(0).Defence, 15);
    EXPECT_EQ(C(0).bRaised[0], 0);
    C(0).Recover = 22;
    C(0).bRaised[1] = 1;
    for (int n = 0; n < 4; ++n) f.TickStatus(0);
    EXPECT_EQ(C(0).Recover, 44);
}

TEST_F(FightTest, AutoAttacksWinAndPayTheParty) {
    hero.nMoney = 5;
    CFight& f = Start({0, 7});
    EXPECT_LT(RunAuto(20000), 20000);
    EXPECT_EQ(f.nResult, 1);
    EXPECT_EQ(hero.nMoney, 5 + 40);
    EXPECT_EQ(hero.nLife, C(0).HP);
    EXPECT_EQ(members[1].nLife, C(1).HP);
    EXPECT_EQ(C(0).Action, kActVictory);
}

TEST_F(FightTest, StrongEnemiesDefeatTheParty) {
    for (int n : {0, 7, 8}) {
        enemies[size_t(n)].nLife = 100000;
        enemies[size_t(n)].nAttack = 500;
    }
    CFight& f = Start({0, 7, 8});
    EXPECT_LT(RunAuto(20000), 20000);
    EXPECT_EQ(f.nResult, 2);
    EXPECT_EQ(C(0).HP, 0);
    EXPECT_EQ(C(1).HP, 0);
}

TEST_F(FightTest, NoStallWhenEffectPicturesAreMissing) {
    for (int k : {76, 80, 81}) skills[size_t(k)].nPicNo = 60;
    CFight& f = Start({0, 7});
    EXPECT_LE(RunAuto(20000), 20000);
    EXPECT_NE(f.nResult, 0);
}

TEST_F(FightTest, NoStallWhenTheAttackerFallsBeforeItsBlowLands) {
    enemies[0].nNormalAttack = 77;
    CFight& f = Start({0, 7});
    dwNowTime = dwStepTime + 1000;
    for (int s : {0, 1}) C(s).timeRecovered = 1;
    C(4).Action = kActStand;
    C(4).timeRecovered = 46;
    f.ScheduleTurn();
    ASSERT_EQ(C(4).Action, kActAttack);
    C(4).nFrame = C(4).FrameCount / 2;
    f.ScheduleTurn();
    ASSERT_EQ(effects_.GetEffectCount(), 1);
    // The enemy falls before its blow lands: the blow is dropped, the battle goes on.
    C(4).HP = 0;
    const int nLife = C(0).HP + C(1).HP;
    f.UpdateEffects();
    EXPECT_EQ(effects_.GetEffectCount(), 0);
    EXPECT_EQ(f.bEffectBusy, 0);
    EXPECT_EQ(f.bTurnGate, 1);
    EXPECT_EQ(C(0).HP + C(1).HP, nLife);
    EXPECT_LE(RunAuto(20000), 20000);
    EXPECT_EQ(f.nResult, 1);
}

TEST_F(FightTest, NoStallWhenSkillNumbersPassTheTable) {
    enemies[0].nNormalAttack = 95;
    enemies[0].nSkill = 120;
    enemies[0].nProbability = 100;
    skills[80].nType = 2;
    CFight& f = Start({0});
    EXPECT_LE(RunAuto(20000), 20000);
    EXPECT_EQ(f.nResult, 1);
}

class NoFramesTest : public FightTest {
    FightWorld World() const override {
        FightWorld w;
        w.actions = {0, 3, 7, 9};  // no entrance, walks or falling
        return w;
    }
};

TEST_F(NoFramesTest, NoStallWhenASetHasNoFramesForItsActions) {
    CFight& f = Start({0, 7});
    // The members' sets have no entrance: their slots are cleared, and the battle is lost.
    EXPECT_TRUE(C(0).IsEmpty());
    EXPECT_LE(RunAuto(20000), 20000);
    EXPECT_EQ(f.nResult, 2);
}

class WalklessTest : public FightTest {
    FightWorld World() const override {
        FightWorld w;
        w.actions = {0, 3, 4, 7, 9, 20};  // no walks, no falling
        return w;
    }
};

TEST_F(WalklessTest, NoStallWhenFightersCannotWalk) {
    CFight& f = Start({0, 7});
    EXPECT_LE(RunAuto(20000), 20000);
    EXPECT_NE(f.nResult, 0);
}

class NoMenuTest : public FightTest {
    FightWorld World() const override {
        FightWorld w;
        w.bMenuPictures = false;
        return w;
    }
};

TEST_F(NoMenuTest, NoStallWhenTheMenuPicturesAreMissing) {
    CFight& f = Start({0, 7});
    EXPECT_LE(RunAuto(20000), 20000);
    EXPECT_EQ(f.nResult, 1);
}

// Random clicks, keys and right clicks from the seeded generator; a pass is idle when
// nobody acts, no gauge moves and no ring or list is open.
TEST_F(FightTest, SeededRandomBattlesNeverIdle) {
    for (unsigned seed : {3u, 7u, 11u}) {
        Srand(seed);
        CRandDraws random;
        CFight& f = Start({0, 7, 8}, &random);
        CAutoAttacker closer;
        int nIdle = 0, nLongest = 0;
        std::vector<DWORD> gauges(8);
        while (f.nResult == 0 && f.nPasses < 20000) {
            if (f.bResultShown) f.OnResultRelease();
            switch (Rand() % 40) {
                case 0:
                    f.OnLButtonDown(Rand() % 800, Rand() % 600);
                    f.HoverFighter = Rand() % 9 - 1;
                    if (f.pMenu) f.pMenu->HoverButton = Rand() % 13 - 1;
                    f.OnLButtonUp(Rand() % 800, Rand() % 600);
                    break;
                case 1: f.OnRButtonDown(0, 0); break;
                case 2: f.OnKeyUp('A'); break;
                default: break;
            }
            SetFightObserver(&closer);
            Pass();
            SetFightObserver(nullptr);
            bool bMoved = false;
            for (int s = 0; s < 8; ++s) {
                const DWORD g = f.Filled(s) ? C(s).timeRecovered : 0;
                bMoved = bMoved || g != gauges[size_t(s)];
                gauges[size_t(s)] = g;
            }
            const bool bIdle = f.ActiveNpc == -1 && !bMoved && f.MenuState() == kMenuHidden;
            nIdle = bIdle ? nIdle + 1 : 0;
            nLongest = std::max(nLongest, nIdle);
        }
        EXPECT_LT(nLongest, 2000) << "seed " << seed;
        fight.reset();
    }
}

}  // namespace
}  // namespace fighttest
