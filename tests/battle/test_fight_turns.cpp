// Gauges, turn order and the enemies' decisions.
#include "tests/battle/FightTestUtil.h"

namespace fighttest {
namespace {

// Moves the frame clock well past the step clock, so gauges may rise.
void Later() { dwNowTime = dwStepTime + 1000; }

TEST_F(FightTest, EqualGaugesGoToTheLowerSlot) {
    CFight& f = Start({0});
    Later();
    for (int s : {0, 1}) {
        C(s).Action = kActStand;
        C(s).timeRecovered = 90;
        C(s).Recover = 40;
    }
    f.ScheduleTurn();
    EXPECT_EQ(f.ActiveNpc, 0);
    EXPECT_EQ(f.MenuState(), kMenuRing);
    EXPECT_EQ(f.bTurnGate, 0);
    EXPECT_EQ(f.pMenu->ptRing.x, ptFightHome[0].x + 120);
    EXPECT_EQ(f.pMenu->ptRing.y, ptFightHome[0].y + 50);
}

TEST_F(FightTest, ALowerNeighbourThatJustEndedCostsTenAndNeverWraps) {
    CFight& f = Start({0});
    Later();
    C(0).timeRecovered = 0;
    C(0).bContinue = 0;
    C(1).timeRecovered = 45;
    C(1).Recover = 40;
    f.SetMenuState(kMenuHidden);
    f.ScheduleTurn();
    EXPECT_EQ(f.ActiveNpc, -1);
    EXPECT_EQ(C(1).timeRecovered, 36u);  // it rose by one, then lost ten
    // An enemy just over its threshold below 10: the gauge stops at 0.
    C(1).timeRecovered = 0;
    C(4).timeRecovered = 7;
    C(4).Recover = 5;
    C(4).Action = kActStand;
    f.ScheduleTurn();
    EXPECT_EQ(C(4).timeRecovered, 0u);
    EXPECT_EQ(f.ActiveNpc, -1);
}

TEST_F(FightTest, NothingRisesWhileTheMenuIsOpenOrInTheFirstTenthOfASecond) {
    CFight& f = Start({0});
    for (int s : {0, 1, 4}) C(s).Recover = 1000;
    const DWORD before = C(4).timeRecovered;
    dwNowTime = dwStepTime + 100;
    f.ScheduleTurn();
    EXPECT_EQ(C(4).timeRecovered, before);
    Later();
    f.SetMenuState(kMenuSkills);
    f.ScheduleTurn();
    EXPECT_EQ(C(4).timeRecovered, before);
    f.SetMenuState(kMenuHidden);
    f.ScheduleTurn();
    EXPECT_EQ(C(4).timeRecovered, before + 1);
}

TEST_F(FightTest, PickTargetSkipsTheFallen) {
    CFight& f = Start({0});
    C(0).HP = 0;
    for (DWORD d = 0; d < 4; ++d) {
        draws.values = {d};
        EXPECT_EQ(f.PickTarget(), 1);
        EXPECT_EQ(f.EnemyTarget, 1);
    }
    C(1).HP = 0;
    EXPECT_EQ(f.PickTarget(), -1);
}

// Gives enemy slot 4 its turn on the next scheduler pass.
void ReadyEnemy(CFight& f, CFightChar& c) {
    Later();
    for (int s = 0; s < 4; ++s)
        if (f.Filled(s)) f.pChar[s]->timeRecovered = 1;
    c.Action = kActStand;
    c.timeRecovered = DWORD(c.Recover) + 1;
}

TEST_F(FightTest, EnemySkillChanceFollowsProbability) {
    skills[40].nType = 36;  // kind 0: walks out
    skills[41].nType = 37;  // kind 1: cast at home
    for (int nProbability : {0, 100}) {
        enemies[0].nProbability = nProbability;
        enemies[0].nSkill = 41;
        for (DWORD d = 0; d < 10; ++d) {
            CFight& f = Start({0});
            ReadyEnemy(f, C(4));
            draws.values = {d, 0};
            f.ScheduleTurn();
            EXPECT_EQ(f.ActiveNpc, 4);
            if (nProbability == 0) EXPECT_EQ(C(4).Action, kActWalkB) << d;  // its normal attack
            else EXPECT_EQ(C(4).Action, kActCast) << d;
        }
    }
    enemies[0].nSkill = 40;
    CFight& f = Start({0});
    ReadyEnemy(f, C(4));
    f.ScheduleTurn();
    EXPECT_EQ(C(4).Action, kActWalkB);
    EXPECT_EQ(C(4).QueuedAction, kActCast);
}

TEST_F(FightTest, EnemyKindsThreeWalkAndTwoCastsAtHome) {
    enemies[0].nProbability = 100;
    enemies[0].nSkill = 42;
    skills[42].nType = 39;  // kind 3
    CFight& f = Start({0});
    ReadyEnemy(f, C(4));
    f.ScheduleTurn();
    EXPECT_EQ(C(4).Action, kActWalkB);
    skills[42].nType = 38 + 45;  // kind 2 after the modulo
    CFight& g = Start({0});
    ReadyEnemy(g, C(4));
    g.ScheduleTurn();
    EXPECT_EQ(C(4).Action, kActCast);
}

TEST_F(FightTest, EnemyRecoversOnlyBelowThirtyPercentAndUnderItsLimit) {
    enemies[0].nRecoverSkill = 5;
    enemies[0].nLevel = 1;  // the healing limit
    CFight& f = Start({0});
    ReadyEnemy(f, C(4));
    C(4).HP = 12;  // 30 % of 40 is 12: not below
    draws.values = {0};
    f.ScheduleTurn();
    EXPECT_NE(C(4).Action, kActRecover);

    CFight& g = Start({0});
    ReadyEnemy(g, C(4));
    C(4).HP = 11;
    draws.values = {8};  // the 20 % that does not heal
    g.ScheduleTurn();
    EXPECT_NE(C(4).Action, kActRecover);

    CFight& h = Start({0});
    ReadyEnemy(h, C(4));
    C(4).HP = 11;
    draws.values = {7};
    h.ScheduleTurn();
    EXPECT_EQ(C(4).Action, kActRecover);
    EXPECT_EQ(C(4).RecoverCount, 1);
    // At its limit it never heals again.
    h.ActiveNpc = -1;
    h.bTurnGate = 1;
    ReadyEnemy(h, C(4));
    draws.values = {0};
    h.ScheduleTurn();
    EXPECT_NE(C(4).Action, kActRecover);
    EXPECT_EQ(C(4).RecoverCount, 1);
}

TEST_F(FightTest, NormalAttackSeventySixWalksAndSeventySevenStrikesFromHome) {
    CFight& f = Start({0});
    ReadyEnemy(f, C(4));
    draws.values = {1};
    f.ScheduleTurn();
    EXPECT_EQ(C(4).Action, kActWalkB);
    EXPECT_EQ(C(4).QueuedAction, kActAttack);
    EXPECT_EQ(f.EnemyTarget, 1);
    EXPECT_EQ(f.bEnemyRanged, 0);

    enemies[0].nNormalAttack = 77;
    CFight& g = Start({0});
    ReadyEnemy(g, C(4));
    g.ScheduleTurn();
    EXPECT_EQ(C(4).Action, kActAttack);
    EXPECT_EQ(g.bEnemyRanged, 1);
    // At its middle frame the blow starts from home and the turn is over.
    g.ScheduleTurn();
    EXPECT_EQ(g.ActiveNpc, 4);
    C(4).nFrame = C(4).FrameCount / 2;
    g.ScheduleTurn();
    EXPECT_EQ(g.ActiveNpc, -1);
    EXPECT_EQ(effects_.GetEffectCount(), 1);
    EXPECT_EQ(effects_.First()->m_nAttacker, 4);
    EXPECT_EQ(effects_.First()->m_nSkill, 77);
    EXPECT_EQ(C(4).bContinue, 0);
    EXPECT_EQ(C(4).timeRecovered, 0u);
}

TEST_F(FightTest, AnEnemyWithNothingUsableEndsItsTurnAndFreesTheScheduler) {
    enemies[0].nNormalAttack = 95;  // past the skill table
    CFight& f = Start({0});
    ReadyEnemy(f, C(4));
    f.ScheduleTurn();
    EXPECT_EQ(f.ActiveNpc, 4);
    f.ScheduleTurn();  // standing: its middle frame ends the turn
    C(4).nFrame = C(4).FrameCount / 2;
    f.ScheduleTurn();
    EXPECT_EQ(f.ActiveNpc, -1);
    EXPECT_EQ(f.bEnemyActing, 0);
    EXPECT_EQ(f.bActing[4], 0);
}

// The order in which fighters take their turns in a 2 against 3 battle at a fixed
// clock step with every draw 2: recorded as each new actor appears.
TEST_F(FightTest, GoldenTurnOrderTwoAgainstThree) {
    for (int n = 0; n < 3; ++n) enemies[size_t(n)].nLife = 5000;
    CFight& f = Start({0, 1, 2});
    std::vector<int> order;
    CAutoAttacker auto_;
    SetFightObserver(&auto_);
    int nLast = -1;
    while (f.nResult == 0 && f.nPasses < 20000 && order.size() < 12) {
        Pass();
        if (f.ActiveNpc != -1 && f.ActiveNpc != nLast) order.push_back(f.ActiveNpc);
        nLast = f.ActiveNpc;
    }
    SetFightObserver(nullptr);
    const std::vector<int> golden{0, 4, 1, 5, 6, 0, 1, 4, 5, 1, 6, 4};
    EXPECT_EQ(order, golden);
}

}  // namespace
}  // namespace fighttest
