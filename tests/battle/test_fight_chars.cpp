// Fighters: the rules at the end of an action, the weak stance, life changes and the
// floating number.
#include "tests/battle/FightTestUtil.h"

#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"

namespace fighttest {
namespace {

// Runs the fighter's current action out (its last frame, then one step).
void Finish(CFightChar& c) {
    c.nFrame = c.FrameCount - 1;
    c.AnimateNow();
}

TEST_F(FightTest, TheEightEndOfActionRules) {
    Start({0});
    CFightChar& p = C(0);
    CFightChar& e = C(4);
    // 1. An arrival brings the fighter home.
    p.SetAction(kActAttack);
    p.bArrived = 1;
    Finish(p);
    EXPECT_EQ(p.bBackHome, 1);
    EXPECT_EQ(p.Action, kActStand);
    EXPECT_EQ(p.bArrived, 0);
    // 2. Walk 21: a member takes its queued action, an enemy is home.
    p.bBackHome = 0;
    p.SetAction(kActWalkA);
    p.QueuedAction = kActAttack;
    Finish(p);
    EXPECT_EQ(p.Action, kActAttack);
    e.bPoisoned = 1;
    e.SetAction(kActWalkA);
    Finish(e);
    EXPECT_EQ(e.bBackHome, 1);
    EXPECT_EQ(e.Action, kActWeak);
    e.bPoisoned = 0;
    // 3. Walk 22: a member is home and its multi-hit is over; an enemy strikes.
    p.bRaised[3] = 1;
    p.SetAction(kActWalkB);
    Finish(p);
    EXPECT_EQ(p.bBackHome, 1);
    EXPECT_EQ(p.bRaised[3], 0);
    EXPECT_EQ(p.Action, kActStand);
    e.SetAction(kActWalkB);
    e.QueuedAction = kActAttack;
    Finish(e);
    EXPECT_EQ(e.Action, kActAttack);
    // 4. Hurt: a fighter without life falls, else stands.
    p.SetAction(kActHurt);
    p.HP = 0;
    Finish(p);
    EXPECT_EQ(p.Action, kActFalling);
    p.HP = 100;
    p.SetAction(kActHurt);
    Finish(p);
    EXPECT_EQ(p.Action, kActStand);
    // 5. Recover and entrance end standing.
    p.SetAction(kActRecover);
    Finish(p);
    EXPECT_EQ(p.Action, kActStand);
    // 6. A repeated attack plays again.
    p.SetAction(kActAttack);
    p.bHitAgain = 1;
    Finish(p);
    EXPECT_EQ(p.Action, kActAttack);
    EXPECT_EQ(p.nFrame, 0);
    EXPECT_EQ(p.bHitAgain, 0);
    // 7. Attack or cast: a member with a queued action walks home, else stands; an
    //    enemy walks home.
    p.QueuedAction = kActAttack;
    Finish(p);
    EXPECT_EQ(p.Action, kActWalkB);
    EXPECT_EQ(p.QueuedAction, -1);
    EXPECT_EQ(p.bWalkBack, 1);
    p.SetAction(kActCast);
    Finish(p);
    EXPECT_EQ(p.Action, kActStand);
    e.SetAction(kActCast);
    Finish(e);
    EXPECT_EQ(e.Action, kActWalkA);
    // 8. Falling ends dead, defence stands, death loops.
    p.SetAction(kActFalling);
    Finish(p);
    EXPECT_EQ(p.Action, kActDead);
    Finish(p);
    EXPECT_EQ(p.Action, kActDead);
    p.SetAction(kActDefend);
    Finish(p);
    EXPECT_EQ(p.Action, kActStand);
}

TEST_F(FightTest, AMemberBelowAThirdStandsWeakButAnEnemyDoesNot) {
    Start({0});
    C(0).HP = 32;  // a third of 100 is 33
    C(0).SetAction(kActHurt);
    C(0).SetAction(kActStand);
    EXPECT_EQ(C(0).Action, kActWeak);
    C(0).HP = 33;
    C(0).SetAction(kActHurt);
    C(0).SetAction(kActStand);
    EXPECT_EQ(C(0).Action, kActStand);
    C(4).HP = 1;
    C(4).SetAction(kActHurt);
    C(4).SetAction(kActStand);
    EXPECT_EQ(C(4).Action, kActStand);
}

TEST_F(FightTest, LifeChangesShowOnlyWhatReallyChanged) {
    Start({0});
    C(0).HP = 0;
    C(0).AddHp(50);
    EXPECT_EQ(C(0).HP, 0);
    EXPECT_EQ(C(0).nDamage, 0);
    C(1).HP = 90;
    C(1).AddHp(30);
    EXPECT_EQ(C(1).HP, 100);
    EXPECT_EQ(C(1).nDamage, 10);
    C(1).AddHp(-150);
    EXPECT_EQ(C(1).HP, 0);
    EXPECT_EQ(C(1).nDamage, -100);
}

// The highest lit row of the back buffer in a column band, -1 when none.
int TopLitRow(int x0, int x1) {
    CDXSurface* p = pBack;
    for (int y = 0; y < p->GetHeight(); ++y)
        for (int x = x0; x < x1; ++x)
            if (p->GetPixel(x, y) != 0) return y;
    return -1;
}

TEST_F(FightTest, TheNumberClimbsFiftyPixelsInItsSecondAndThenGoes) {
    Start({0});
    CFightChar& e = C(4);
    e.AddHp(-25);
    const POINT pt = ptFightNumber[4];
    auto drawAt = [&](DWORD age) {
        pBack->Fill(0);
        dwNowTime = e.dwDamageTime + age;
        e.Draw(-3000, -3000, 0, 0, 0);  // the frame far off screen: only the number shows
        return TopLitRow(pt.x, pt.x + 100);
    };
    const int y0 = drawAt(0);
    ASSERT_GE(y0, pt.y);
    EXPECT_EQ(drawAt(500), y0 - 25);
    EXPECT_EQ(drawAt(999), y0 - 49);
    EXPECT_EQ(drawAt(1000), -1);
}

TEST_F(FightTest, TheUntimedStepStandsAnimationSixAtTheEndOfItsOneShot) {
    Start({6});
    CFightChar& e = C(4);
    ASSERT_EQ(e.AniNo, 6);
    e.SetAction(kActAttack);
    Finish(e);
    EXPECT_EQ(e.Action, kActStand);
    e.bBound = 1;
    e.SetAction(kActCast);
    Finish(e);
    EXPECT_EQ(e.Action, kActWeak);
    // The timed step walks it home as any enemy.
    e.bBound = 0;
    e.SetAction(kActAttack);
    e.nFrame = e.FrameCount - 1;
    dwNowTime = e.dwFrameTime + 100;
    e.Animate();
    EXPECT_EQ(e.Action, kActWalkA);
}

TEST_F(FightTest, TheFighterIsDrawnOverItsOwnDamageNumber) {
    Start({0});
    CFightChar& e = C(4);
    e.AddHp(-25);
    const DWORD dwShown = e.dwDamageTime;
    // A lit pixel of the number alone, and where a frame lands for a drawing point.
    pBack->Fill(0);
    dwNowTime = dwShown;
    e.Draw(-3000, -3000, 0, 0, 0);
    const POINT num = ptFightNumber[4];
    POINT lit{-1, -1};
    for (int y = num.y; y < num.y + 40 && lit.x < 0; ++y)
        for (int x = num.x; x < num.x + 100 && lit.x < 0; ++x)
            if (pBack->GetPixel(x, y) != 0) lit = POINT{x, y};
    ASSERT_GE(lit.x, 0);
    pBack->Fill(0);
    dwNowTime = dwShown + 5000;
    e.Draw(300, 300, 0, 0, 0);
    POINT frame{-1, -1};
    for (int y = 0; y < 600 && frame.x < 0; ++y)
        for (int x = 0; x < 800 && frame.x < 0; ++x)
            if (pBack->GetPixel(x, y) != 0) frame = POINT{x, y};
    ASSERT_GE(frame.x, 0);
    // The frame's square over that pixel of the number, alone and with the number.
    const int x = 300 + lit.x - frame.x - 2, y = 300 + lit.y - frame.y - 2;
    pBack->Fill(0);
    e.Draw(x, y, 0, 0, 0);
    const DWORD dwFrameColour = pBack->GetPixel(lit.x, lit.y);
    ASSERT_NE(dwFrameColour, 0u);
    pBack->Fill(0);
    dwNowTime = dwShown;
    e.Draw(x, y, 0, 0, 0);
    EXPECT_EQ(pBack->GetPixel(lit.x, lit.y), dwFrameColour);
}

TEST_F(FightTest, TheStatusShowsTheClothHeadOfMemberZeroPoisonedOrNot) {
    Start({0});
    CFight& f = *fight;
    ASSERT_TRUE(f.pMenu && f.pMenu->pHeadSprite);
    C(1).AniNo = -1;  // member 0 alone: the head drawn last is hers
    ASSERT_EQ(C(0).nMember, 0);
    ASSERT_EQ(C(0).AniNo, 1);
    data.pOptions = std::make_unique<GameOptions>();
    data.pOptions->nPlayerCloth = 1;
    C(0).bPoisoned = 1;
    f.DrawStatus();
    EXPECT_EQ(f.pMenu->pHeadSprite->GetFrame(), 0u) << "the cloth head, poisoned or not";
    C(0).bPoisoned = 0;
    f.DrawStatus();
    EXPECT_EQ(f.pMenu->pHeadSprite->GetFrame(), 0u);
    data.pOptions->nPlayerCloth = 0;
    C(0).bPoisoned = 1;
    f.DrawStatus();
    EXPECT_EQ(f.pMenu->pHeadSprite->GetFrame(), 8u) << "the poisoned heads follow the seven plain ones";
}

}  // namespace
}  // namespace fighttest
