// The battle commands: how each kind of skill starts, what it costs, the stunts, the
// area walk, auto attack and repeat, and the commands that start nothing.
#include "tests/battle/FightTestUtil.h"

namespace fighttest {
namespace {

class CommandTest : public FightTest {
protected:
    // Member 0 acts against enemies 0 and 7, 100 MP; skill k gets the type given.
    CFight& Acting(int k = -1, int nType = 0, int nMana = 5) {
        if (k >= 0) {
            skills[size_t(k)].nType = nType;
            skills[size_t(k)].nMana = nMana;
            skills[size_t(k)].nAttack = 30;
        }
        CFight& f = Start({0, 7});
        C(0).MaxMP = C(0).MP = 100;
        C(0).Action = kActStand;
        f.ActiveNpc = 0;
        f.SetMenuState(kMenuRing);
        f.bTurnGate = 0;
        return f;
    }
};

TEST_F(CommandTest, EachKindStartsItsOwnWay) {
    struct Row {
        int nType;
        int nAction, nQueued;  // after the start
        bool bPending;         // a blow waits for the hit frame
        int nEffects;          // effects added at once
        int nResult;
    };
    const Row rows[] = {
        {6, kActWalkA, kActCast, true, 0, 1},       // single spell: walk out
        {7, kActWalkA, kActCast, true, 0, 1},       // area spell: walk out
        {45 + 12, kActWalkA, kActCast, true, 0, 1}, // kinds are taken mod 45
        {3, kActRecover, -1, false, 1, 1},          // heal one: from home, at once
        {10, kActRecover, -1, false, 1, 1},         // heal the party
        {2, kActStand, -1, false, 0, 2},            // nothing: the turn is over
        {40, kActStand, -1, false, 0, 2},
        {1, kActCast, -1, false, 0, 2},             // cast in place chosen against one
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.nType);
        CFight& f = Acting(20, r.nType, 7);
        const int nEffects = effects_.GetEffectCount();
        EXPECT_EQ(f.ExecuteCommand(20, 0, 4), r.nResult);
        EXPECT_EQ(C(0).Action, r.nAction);
        EXPECT_EQ(C(0).QueuedAction, r.nQueued);
        EXPECT_EQ(f.PendingSkill, r.bPending ? 20 : -1);
        EXPECT_EQ(effects_.GetEffectCount() - nEffects, r.nEffects);
        EXPECT_EQ(C(0).MP, 93);
        fight.reset();
        effects_.ClearEffects();
    }
}

TEST_F(CommandTest, ASkillStartsNothingWhileTheMemberIsDownOrTheSkillUnknown) {
    CFight& f = Acting(20, 6);
    C(0).HP = 0;
    EXPECT_EQ(f.ExecuteCommand(20, 0, 4), 0);
    EXPECT_EQ(C(0).MP, 100);
    C(0).HP = 50;
    EXPECT_EQ(f.ExecuteCommand(500, 0, 4), 0);
    EXPECT_EQ(f.PendingAttacker, -1);
}

TEST_F(CommandTest, ACommandThatStartsNothingPaysAndEndsTheTurn) {
    CFight& f = Acting(20, 8, 9);
    f.CommandSkill = 20;
    f.CommandMode = 2;
    f.HoverFighter = 4;
    f.OnLButtonUp(100, 100);
    EXPECT_EQ(C(0).MP, 91);
    EXPECT_EQ(f.ActiveNpc, -1);
    EXPECT_EQ(f.bTurnGate, 1);
    EXPECT_EQ(f.bCommandBusy, 0);
    EXPECT_EQ(C(0).bContinue, 1);
    EXPECT_EQ(C(0).timeRecovered, 0u);
    EXPECT_EQ(f.MenuState(), kMenuHidden);
}

TEST_F(CommandTest, ManaNeverGoesBelowZero) {
    CFight& f = Acting(20, 6, 30);
    C(0).MP = 10;
    EXPECT_EQ(f.ExecuteCommand(20, 0, 4), 1);
    EXPECT_EQ(C(0).MP, 0);
    skills[80].nMana = 5;
    f.CommandMode = 10;
    f.ExecuteCommand(-1, 0, 5);
    EXPECT_EQ(C(0).MP, 0);
}

TEST_F(CommandTest, StuntsTakeOneUseEachAndTheLastIsRefused) {
    CFight& f = Acting(20, 5);
    f.nStunts = 1;
    EXPECT_EQ(f.ExecuteCommand(20, 0, 0), 1);
    EXPECT_EQ(f.nStunts, 0);
    C(0).Action = kActStand;
    EXPECT_EQ(f.ExecuteCommand(20, 0, 0), 0);
    EXPECT_EQ(C(0).Action, kActStand);
    // A throw without an item is refused and keeps the stunt.
    skills[21].nType = 17;
    f.nStunts = 2;
    f.ThrowItemNo = -1;
    EXPECT_EQ(f.ExecuteCommand(21, 0, 4), 0);
    EXPECT_EQ(f.nStunts, 2);
    f.ThrowItemNo = 3;
    EXPECT_EQ(f.ExecuteCommand(21, 0, 4), 1);
    EXPECT_EQ(f.nStunts, 1);
    EXPECT_EQ(f.PendingItem, 3);
}

TEST_F(CommandTest, TheLeadUsesItsOwnStrikePointsOnlyAgainstEnemies) {
    CFight& f = Acting(20, 6);
    C(0).FrameCount = 4;
    f.ExecuteCommand(20, 0, 5);
    EXPECT_EQ(C(0).StepX, std::abs(ptFightHome[0].x - ptLeadStrike[1].x) / C(0).FrameCount);
    // Against a member the lead walks to the member's strike point (no lead table).
    C(0).Action = kActStand;
    f.ExecuteCommand(20, 0, 1);
    EXPECT_EQ(C(0).StepY, std::abs(ptFightHome[0].y - ptFightStrike[1].y) / C(0).FrameCount);
}

TEST_F(CommandTest, CastInPlaceStrikesTheWholeEnemySideAndEndsTheTurn) {
    CFight& f = Acting(20, 1, 12);
    f.CommandSkill = 20;
    f.CastInPlace(0);
    EXPECT_EQ(C(0).Action, kActCast);
    EXPECT_EQ(C(0).MP, 88);
    EXPECT_EQ(f.LastSkill[0], 20);
    EXPECT_EQ(f.ActiveNpc, -1);
    ASSERT_EQ(effects_.GetEffectCount(), 1);
    EXPECT_EQ(effects_.First()->m_nTarget, 4);
    EXPECT_EQ(effects_.First()->m_nAttack, 30);
    // Without a skill only the turn ends.
    f.ActiveNpc = 0;
    f.CommandSkill = -1;
    f.CastInPlace(0);
    EXPECT_EQ(f.bTurnGate, 1);
    EXPECT_EQ(effects_.GetEffectCount(), 1);
}

TEST_F(CommandTest, TheAreaCommandWalksToTheFirstEnemyStrikePoint) {
    CFight& f = Acting(20, 7, 10);
    C(0).bPoisoned = 1;
    C(4).Poison = 6;
    f.ExecuteAreaCommand(0, 20);
    EXPECT_EQ(C(0).HP, 94);
    EXPECT_EQ(C(0).Action, kActWalkA);
    EXPECT_EQ(C(0).QueuedAction, kActCast);
    EXPECT_EQ(f.ChosenTarget, 4);
    EXPECT_EQ(f.LastTarget[0], 4);
    EXPECT_EQ(f.PendingTarget, 4);
    ASSERT_GT(C(0).FrameCount, 0);
    EXPECT_EQ(C(0).StepX, std::abs(ptFightHome[0].x - ptFightStrike[4].x) / C(0).FrameCount);
    EXPECT_EQ(C(0).StepY, std::abs(ptFightHome[0].y - ptFightStrike[4].y) / C(0).FrameCount);
    EXPECT_EQ(C(0).MP, 90);
    EXPECT_EQ(f.ActiveNpc, -1);
    EXPECT_EQ(f.bTurnMayAdvance, 1);
}

TEST_F(CommandTest, AutoAttackWithoutALiveEnemyOnlyEndsTheTurn) {
    CFight& f = Acting();
    C(4).HP = 0;
    C(5).HP = 0;
    f.AutoAttack();
    EXPECT_EQ(f.PendingAttacker, -1);
    EXPECT_EQ(C(0).Action, kActStand);
    EXPECT_EQ(f.ActiveNpc, -1);
    EXPECT_EQ(f.bTurnGate, 1);
    EXPECT_EQ(f.bCommandBusy, 0);
    EXPECT_EQ(C(0).bContinue, 1);
}

TEST_F(CommandTest, RepeatWithoutALastSkillAttacksTheLastTargetWithItsRepeatBlow) {
    CFight& f = Acting();
    skills[70].nMana = 4;
    f.LastTarget[0] = 5;
    f.bRepeat = 1;
    f.RepeatCommand();
    EXPECT_EQ(f.PendingSkill, 70);
    EXPECT_EQ(f.PendingTarget, 5);
    EXPECT_EQ(C(0).MP, 96);
    EXPECT_EQ(f.bRepeat, 0);
    EXPECT_EQ(f.ActiveNpc, -1);
}

TEST_F(CommandTest, RepeatReplacesAFallenTargetAndRefusesWhatItCannotPay) {
    CFight& f = Acting(20, 6, 10);
    f.LastSkill[0] = 20;
    f.LastTarget[0] = 4;
    C(4).HP = 0;
    f.RepeatCommand();
    EXPECT_EQ(f.PendingTarget, 5);
    EXPECT_EQ(f.ChosenTarget, 5);
    // Too dear: nothing happens, the member keeps its turn.
    fight.reset();
    CFight& g = Acting(20, 6, 500);
    g.LastSkill[0] = 20;
    g.LastTarget[0] = 4;
    g.RepeatCommand();
    EXPECT_EQ(g.PendingAttacker, -1);
    EXPECT_EQ(g.ActiveNpc, 0);
    EXPECT_EQ(C(0).MP, 100);
}

TEST_F(CommandTest, ARepeatedCastInPlaceLandsOnTheEnemySideAtOnce) {
    CFight& f = Acting(20, 1, 10);
    f.LastSkill[0] = 20;
    f.RepeatCommand();
    ASSERT_EQ(effects_.GetEffectCount(), 1);
    EXPECT_EQ(effects_.First()->m_nTarget, 4);
    EXPECT_EQ(effects_.First()->m_ptPos.x, ptFightHome[4].x);
    EXPECT_EQ(C(0).Action, kActCast);
}

TEST_F(CommandTest, UsingAnItemOnAFallenMemberRevivesOnceAndTheEffectEndsTheTurn) {
    items[2] = MakeItem(0, 0, 60, 10);
    hero.nItemCount[2] = 1;
    CFight& f = Acting(0, 45);
    C(1).HP = 0;
    C(1).MP = 0;
    f.BuildLists();
    f.CommandItem = 2;
    f.CommandMode = 3;
    f.HoverFighter = 1;
    f.OnLButtonUp(100, 100);
    EXPECT_EQ(C(1).HP, 60);
    EXPECT_EQ(C(1).MP, 10);
    EXPECT_EQ(hero.nItemCount[2], 0);
    EXPECT_EQ(f.ItemList->Count, 0);
    EXPECT_EQ(f.bItemApplied, 1);
    // The item's effect finishes: no second helping of life, the turn is over.
    auto finish = [&f] {
        for (int n = 0; n < 40 && f.bEffectBusy; ++n) {
            AdvanceVirtualClock(100);
            dwNowTime = TimeGetTime();
            f.UpdateEffects();
        }
    };
    ASSERT_EQ(f.bEffectBusy, 1);
    finish();
    EXPECT_EQ(C(1).HP, 60);
    EXPECT_EQ(f.bItemApplied, 0);
    EXPECT_EQ(f.bTurnGate, 1);
    // On a living member the effect gives the item's life.
    hero.nItemCount[2] = 1;
    C(1).HP = 10;
    f.ActiveNpc = 0;
    f.CommandItem = 2;
    f.HoverFighter = 1;
    f.OnLButtonUp(100, 100);
    EXPECT_EQ(C(1).HP, 10);
    finish();
    EXPECT_EQ(C(1).HP, 70);
}

TEST_F(CommandTest, EscapeHalvesTheMoneyAndWritesEachMemberBack) {
    hero.nMoney = 1001;
    CFight& f = Acting();
    C(0).HP = 33;
    C(0).MP = 7;
    C(1).HP = 44;
    C(1).MP = 0;
    f.bEscapePopup = 1;
    f.OnLButtonDown(330 + 20, 240 + 80);
    EXPECT_EQ(f.nResult, 4);
    EXPECT_EQ(hero.nMoney, 500);
    EXPECT_EQ(hero.nLife, 33);
    EXPECT_EQ(hero.nMana, 7);
    EXPECT_EQ(members[1].nLife, 44);
    EXPECT_EQ(members[1].nMana, 0);
}

}  // namespace
}  // namespace fighttest
