// What finished effects do: spells and their caps, heals, raises with their pictures
// and their end, throws, thefts, poison and bind, the victory's pay, and whole random
// battles of every skill kind that must end.
#include "tests/battle/FightTestUtil.h"

#include "platform/Charset.h"
#include "platform/Resources.h"

namespace fighttest {
namespace {

// A finished effect of skill k from a to t with an amount and an item.
struct Hit : CEffectAnim {
    Hit(int k, int a, int t, int nAmount = 0, int nItem = -1) {
        m_nSkill = k;
        m_nAttacker = a;
        m_nTarget = t;
        m_nAttack = nAmount;
        m_nExtra = nItem;
    }
};

class EffectTest : public FightTest {
protected:
    // Skill 20 of the given type and attack; a battle against enemies 0 and 7 (slots 4
    // and 5), both with 500 life.
    CFight& Battle(int nType, int nAttack = 50) {
        skills[20].nType = nType;
        skills[20].nAttack = nAttack;
        CFight& f = Start({0, 7});
        for (int s : {4, 5}) C(s).MaxHP = C(s).HP = 500;
        return f;
    }
};

TEST_F(EffectTest, SpellsFollowTheFactorAndTheirCapOfOne) {
    CFight& f = Battle(6, 50);
    draws.values = {0, 4};
    f.ApplyEffect(Hit(20, 0, 4));
    EXPECT_EQ(C(4).HP, 500 - 40);
    EXPECT_EQ(C(4).Action, kActHurt);
    f.ApplyEffect(Hit(20, 0, 4));
    EXPECT_EQ(C(4).HP, 500 - 40 - 60);
    // A defending member takes half, and at least 1.
    C(4).Attack = 0;
    skills[20].nAttack = 30;
    f.bDefending[0] = 1;
    draws.values = {2};
    f.ApplyEffect(Hit(20, 4, 0));
    EXPECT_EQ(C(0).HP, 100 - 15);
    EXPECT_EQ(f.bDefending[0], 0);
    skills[20].nAttack = 0;
    f.ApplyEffect(Hit(20, 4, 0));
    EXPECT_EQ(C(0).HP, 100 - 15 - 1);
}

TEST_F(EffectTest, SpellsOnAllEnemiesSkipTheFallenAndPartySpellsUseTheDifference) {
    CFight& f = Battle(1, 50);
    C(5).HP = 0;
    draws.values = {2};
    f.ApplyEffect(Hit(20, 0, 4));
    EXPECT_EQ(C(4).HP, 450);
    EXPECT_EQ(C(5).HP, 0);
    EXPECT_EQ(C(5).nDamage, 0);
    // Kinds 38 and 39: the skill's attack less the attacker's, on every live member.
    skills[20].nType = 38;
    skills[20].nAttack = 20;
    C(4).Attack = 50;
    C(1).HP = 0;
    draws.values = {2, 2};
    f.ApplyEffect(Hit(20, 4, 0));
    EXPECT_EQ(C(0).HP, 100 - 30);
    EXPECT_EQ(C(1).HP, 0);
}

TEST_F(EffectTest, HealsAddTheEffectsAmountAndLiftTheWeakStance) {
    CFight& f = Battle(3);
    C(1).HP = 20;
    C(1).SetAction(kActWeak);
    f.ApplyEffect(Hit(20, 0, 1, 50));
    EXPECT_EQ(C(1).HP, 70);
    EXPECT_EQ(C(1).Action, kActStand);
    // The party heal reaches every member, never past the maximum.
    skills[20].nType = 4;
    C(0).HP = 90;
    f.ApplyEffect(Hit(20, 0, 0, 50));
    EXPECT_EQ(C(0).HP, 100);
    EXPECT_EQ(C(0).nDamage, 10);
    EXPECT_EQ(C(1).HP, 100);
}

TEST_F(EffectTest, RaisesDoubleAndEndAtTheOwnersFourthResolvedEffect) {
    CFight& f = Battle(5);
    C(0).Defence = 15;
    f.ApplyEffect(Hit(20, 0, 0));
    EXPECT_EQ(C(0).Defence, 30);
    EXPECT_EQ(C(0).bRaised[0], 1);
    for (int n = 0; n < 4; ++n) EXPECT_NE(f.RaiseSprites[0][n], nullptr);
    // Raising again only restarts the count: never 60, and never left at 30.
    f.ApplyEffect(Hit(20, 0, 0));
    EXPECT_EQ(C(0).Defence, 30);
    for (int n = 0; n < 3; ++n) f.ApplyEffect(Hit(80, 0, 4));
    EXPECT_EQ(C(0).Defence, 30);
    f.ApplyEffect(Hit(80, 0, 4));
    EXPECT_EQ(C(0).Defence, 15);
    EXPECT_EQ(C(0).bRaised[0], 0);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(f.RaiseSprites[0][n], nullptr);
    // The agility raise halves the threshold and doubles it back.
    skills[20].nType = 11;
    C(0).Recover = 45;
    f.ApplyEffect(Hit(20, 0, 0));
    EXPECT_EQ(C(0).Recover, 22);
    for (int n = 0; n < 4; ++n) f.ApplyEffect(Hit(80, 0, 4));
    EXPECT_EQ(C(0).Recover, 44);
    // The attack raise; aimed at an enemy it lands on its caster.
    skills[20].nType = 29;
    C(1).Attack = 40;
    f.ApplyEffect(Hit(20, 1, 5));
    EXPECT_EQ(C(1).Attack, 80);
    EXPECT_EQ(C(5).Attack, 30);
    EXPECT_EQ(C(1).bRaised[2], 1);
}

TEST_F(EffectTest, TheMultiHitRaiseStrikesTwice) {
    CFight& f = Battle(23);
    f.ApplyEffect(Hit(20, 1, 1));
    EXPECT_EQ(C(1).RepeatTarget, 1);
    EXPECT_EQ(C(1).bRaised[3], 1);
    f.CommandMode = 10;
    ASSERT_EQ(f.ExecuteCommand(-1, 1, 4), 1);
    EXPECT_EQ(C(1).bHitAgain, 1);
    C(1).Action = kActAttack;
    C(1).QueuedAction = kActAttack;
    EXPECT_EQ(f.LaunchEffect(), 1);
    EXPECT_EQ(f.PendingAttacker, 1);
    // While the first attack plays no further blow starts.
    EXPECT_EQ(f.LaunchEffect(), 0);
    EXPECT_EQ(effects_.GetEffectCount(), 1);
    // The attack replays (the hit-again flag is used up) and strikes once more.
    C(1).nFrame = C(1).FrameCount - 1;
    C(1).AnimateNow();
    EXPECT_EQ(C(1).bHitAgain, 0);
    EXPECT_EQ(C(1).Action, kActAttack);
    EXPECT_EQ(f.LaunchEffect(), 1);
    EXPECT_EQ(effects_.GetEffectCount(), 2);
    EXPECT_EQ(f.PendingAttacker, -1);
}

TEST_F(EffectTest, AThrowCostsItsItemEvenAtAFallenTargetAndHitsWithoutFactorOrFloor) {
    items[3] = MakeItem(6, 15, 0, 0);
    hero.nItemCount[3] = 2;
    CFight& f = Battle(17);
    f.BuildLists();
    ASSERT_EQ(f.ThrowList->Count, 1);
    C(0).Attack = 60;
    draws.values = {0};
    f.ApplyEffect(Hit(20, 0, 4, 0, 3));
    EXPECT_EQ(C(4).HP, 500 - 90);
    EXPECT_EQ(C(4).Action, kActHurt);
    EXPECT_EQ(hero.nItemCount[3], 1);
    hero.nItemCount[3] = 1;
    f.ApplyEffect(Hit(20, 0, 4, 0, 3));
    EXPECT_EQ(hero.nItemCount[3], 0);
    EXPECT_EQ(f.ThrowList->Count, 0);
    EXPECT_EQ(draws.values.size(), 1u);  // no factor was drawn
    // A target that fell before the throw landed: the item is spent all the same.
    hero.nItemCount[3] = 1;
    f.ThrowItemNo = 3;
    C(5).HP = 0;
    C(5).Action = kActDead;
    f.ApplyEffect(Hit(20, 0, 5, 0, 3));
    EXPECT_EQ(hero.nItemCount[3], 0);
    EXPECT_EQ(f.ThrowItemNo, -1);
    EXPECT_EQ(C(5).Action, kActDead);
}

TEST_F(EffectTest, ATheftSucceedsOnlyAtDrawZeroAndOncePerEnemyKind) {
    items[3] = MakeItem(5, 0, 0, 0, "dart");
    enemies[0].nItem = 3;
    skills[20].nType = 35;
    CFight& f = Start({0, 0});
    char szFail[128];
    LoadString(55, szFail, sizeof szFail);
    draws.values = {3};
    f.ApplyEffect(Hit(20, 0, 4));
    EXPECT_EQ(f.MessageText, szFail);
    EXPECT_EQ(C(0).bMessage, 1);
    EXPECT_EQ(hero.nItemCount[3], 0);
    draws.values = {0};
    f.ApplyEffect(Hit(20, 0, 4));
    EXPECT_NE(f.MessageText.find("dart"), std::string::npos);
    EXPECT_EQ(hero.nItemCount[3], 1);
    EXPECT_EQ(enemies[0].nItem, 0);
    // The other enemy of the same kind has nothing left.
    draws.values = {0};
    f.ApplyEffect(Hit(20, 0, 5));
    EXPECT_EQ(f.MessageText, szFail);
    EXPECT_EQ(hero.nItemCount[3], 1);
    // A click takes the message away.
    f.OnLButtonUp(0, 0);
    EXPECT_EQ(C(0).bMessage, 0);
}

TEST_F(EffectTest, AStolenNameIsCutToTheMessageWithoutSplittingACharacter) {
    const std::string strLong = Utf8ToText("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十");
    items[3] = MakeItem(5, 0, 0, 0, strLong.c_str());
    enemies[0].nItem = 3;
    skills[20].nType = 35;
    CFight& f = Start({0});
    draws.values = {0};
    f.ApplyEffect(Hit(20, 0, 4));
    ASSERT_LE(f.MessageText.size(), 63u);
    EXPECT_GT(f.MessageText.size(), 55u);
    size_t i = 0;
    while (i < f.MessageText.size()) i += IsDoubleByteLead(f.MessageText, i) ? 2 : 1;
    EXPECT_EQ(i, f.MessageText.size());
}

TEST_F(EffectTest, PoisonAndBindWeakenTheTargetAndPoisonCostsTheSourcesStrength) {
    CFight& f = Battle(43);
    f.ApplyEffect(Hit(20, 0, 4));
    EXPECT_EQ(C(4).bPoisoned, 1);
    EXPECT_EQ(C(4).Action, kActWeak);
    skills[20].nType = 44;
    f.ApplyEffect(Hit(20, 4, 1));
    EXPECT_EQ(C(1).bBound, 1);
    EXPECT_EQ(C(1).Action, kActWeak);
    // A poisoned member acting loses the poison of the fighter it picks.
    C(0).bPoisoned = 1;
    C(5).Poison = 12;
    f.ActiveNpc = 0;
    f.CommandMode = 10;
    f.HoverFighter = 5;
    f.OnLButtonUp(10, 10);
    EXPECT_EQ(C(0).HP, 88);
    EXPECT_EQ(f.PendingTarget, 5);
}

TEST_F(EffectTest, AFighterHitDuringItsOwnActionKeepsAtItAndABrokenActionFreesTheScheduler) {
    CFight& f = Battle(2);
    // Member 0 is on its way home after its blow when an enemy's blow lands.
    f.bCommandBusy = 1;
    f.bActing[0] = 1;
    C(0).Action = kActWalkB;
    draws.values = {2};
    f.ApplyEffect(Hit(76, 4, 0));
    EXPECT_LT(C(0).HP, 100);
    EXPECT_EQ(C(0).Action, kActWalkB);
    // Had anything cut its action short, the command would still be released.
    C(0).Action = kActStand;
    f.UpdateFighters();
    EXPECT_EQ(f.bCommandBusy, 0);
    EXPECT_EQ(f.bActing[0], 0);
    // The same for an enemy that stopped in the middle of its action.
    f.bEnemyActing = 1;
    f.bActing[4] = 1;
    C(4).Action = kActHurt;
    f.UpdateFighters();
    EXPECT_EQ(f.bEnemyActing, 0);
}

// Closes every result page and counts the clicks.
class CClicker : public CFightObserver {
public:
    int nClicks = 0;
    void OnPass(CFight& f) override {
        if (!f.bResultShown) return;
        ++nClicks;
        f.OnResultRelease();
    }
};

TEST_F(EffectTest, VictoryPaysFilledSlotsAndWritesTheFallenBackAtZero) {
    hero.nMoney = 0;
    CFight& f = Start({0, -1, 7});
    C(4).HP = C(6).HP = 0;
    C(4).Action = C(6).Action = kActDead;
    C(1).HP = 0;
    C(0).HP = 77;
    C(0).MP = 5;
    CClicker clicker;
    SetFightObserver(&clicker);
    pScreen = nullptr;  // no fades
    EXPECT_EQ(f.CheckEnd(), 1);
    pScreen = &screen;
    SetFightObserver(nullptr);
    EXPECT_EQ(hero.nMoney, 40);
    EXPECT_EQ(clicker.nClicks, 1);
    EXPECT_EQ(hero.nLife, 77);
    EXPECT_EQ(hero.nMana, 5);
    EXPECT_EQ(members[1].nLife, 0);
    // Each member gets its line with the whole sum, the fallen one too.
    size_t nLines = 0;
    for (size_t at = f.ResultText.find("40"); at != std::string::npos; at = f.ResultText.find("40", at + 1)) ++nLines;
    EXPECT_EQ(nLines, 3u);  // the money and two experience lines
}

TEST_F(EffectTest, DefeatClosesOnOneClick) {
    CFight& f = Start({0});
    C(0).HP = C(1).HP = 0;
    CClicker clicker;
    SetFightObserver(&clicker);
    pScreen = nullptr;
    EXPECT_EQ(f.CheckEnd(), 2);
    pScreen = &screen;
    SetFightObserver(nullptr);
    EXPECT_EQ(clicker.nClicks, 1);
    EXPECT_EQ(f.bResultShown, 0);
}

// Members choose random skills of every kind, items and stunts against random
// fighters; the battle must still end.
TEST_F(FightTest, RandomSkillsOfEveryKindNeverStallABattle) {
    items[2] = MakeItem(0, 0, 30, 10);
    items[3] = MakeItem(6, 5, 0, 0);
    for (unsigned seed : {5u, 9u}) {
        Srand(seed);
        for (int k = 1; k < 50; ++k) {
            skills[size_t(k)].nType = int(Rand() % 92);
            skills[size_t(k)].nMana = int(Rand() % 12);
            skills[size_t(k)].nAttack = int(Rand() % 40);
            skills[size_t(k)].nDirection = int(Rand() % 3);
            hero.nSkillKnown[k] = members[1].nSkillKnown[k] = 1;
        }
        hero.nItemCount[2] = 5;
        hero.nItemCount[3] = 5;
        CRandDraws random;
        CFight& f = Start({0, 7, 8}, &random);
        CClicker closer;
        SetFightObserver(&closer);
        while (f.nResult == 0 && f.nPasses < 50000) {
            const int a = f.ActiveNpc;
            if (a >= 0 && a < 4 && !f.bEffectBusy && Rand() % 4 == 0) {
                switch (Rand() % 6) {
                    case 0: f.CommandItem = 2; f.CommandMode = 3; break;
                    case 1: f.ThrowItemNo = 3; f.CommandSkill = int(Rand() % 50); f.CommandMode = 2; break;
                    case 2: f.bRepeat = 1; break;
                    default: f.CommandSkill = int(Rand() % 50); f.CommandMode = int(Rand() % 3) == 0 ? 4 : 2; break;
                }
                f.HoverFighter = int(Rand() % 8);
                f.OnLButtonUp(int(Rand() % 800), int(Rand() % 600));
            } else if (Rand() % 50 == 0) {
                f.OnKeyUp('A');
            }
            Pass();
        }
        SetFightObserver(nullptr);
        EXPECT_NE(f.nResult, 0) << "seed " << seed;
        fight.reset();
        effects_.ClearEffects();
    }
}

}  // namespace
}  // namespace fighttest
