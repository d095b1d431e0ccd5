// Characters of a scene: placement on first and later meetings, death, revival and
// respawn, the defeat watch, stun, animation, hover and cursor rules, damaged records.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/Stream.h"
#include "tests/world/NpcTestUtil.h"

namespace npctest {
namespace {

POINT CentreOf(int cx, int cy) { return POINT{cx * kCell + kCell / 2, cy * kCell + kCell / 2}; }

TEST_F(NpcTest, FirstMeetingPlacesFromTheCellsLaterMeetingsFromTheStateRecords) {
    const std::vector<NpcRecordModel> people{Talker(1, 10, 10), Person(2, 2, kReviveRow, 20, 15, 20)};
    ASSERT_TRUE(Build(3, people));
    ASSERT_EQ(Scene().GetNpcCount(), 2);
    EXPECT_EQ(Npc(0).pState->nMapX, CentreOf(10, 10).x);
    EXPECT_EQ(Npc(0).pState->nMapY, CentreOf(10, 10).y);
    EXPECT_EQ(Npc(0).pState, &pEffectManager->NpcStates[3][1]);
    // A fighter is spread over a free cell within five of its own.
    const POINT cell = Scene().PixelToCell(Npc(1).pState->nMapX, Npc(1).pState->nMapY);
    EXPECT_LE(std::abs(cell.x - 20), 5);
    EXPECT_LE(std::abs(cell.y - 15), 5);
    EXPECT_EQ(Npc(1).Life(), 60);
    EXPECT_EQ(Npc(1).Display(), kNpcShown);

    Npc(0).pState->nMapX = 500;
    Scene().SetNpcPosition(2, 700, 400);
    Scene().SetNpcDirection(2, 11);
    EXPECT_EQ(Npc(1).pState->nDirection, 3);
    Scene().SetNpcDirection(2, -1);
    EXPECT_EQ(Npc(1).pState->nDirection, 7);
    Scene().SetNpcPosition(9, 1, 1);  // no character has id 9
    ASSERT_TRUE(Build(3, people));
    EXPECT_EQ(Npc(0).pState->nMapX, 500);
    EXPECT_EQ(Npc(1).pState->nMapX, 700);
    EXPECT_EQ(Npc(1).pState->nMapY, 400);
    EXPECT_EQ(Npc(1).pState->nDirection, 7);
    EXPECT_EQ(Npc(1).ptHome.x, Npc(1).ptNextWaypoint.x);
    // A scene change puts everyone back home.
    Scene().UpdateNpcs();
    EXPECT_EQ(Npc(0).pState->nMapX, CentreOf(10, 10).x);
    EXPECT_EQ(Npc(1).pState->nMapX, Npc(1).ptHome.x);
    EXPECT_EQ(Npc(1).pState->nMapY, Npc(1).ptHome.y);
    // Another scene keeps its own records.
    ASSERT_TRUE(Build(4, people));
    EXPECT_EQ(Npc(0).pState->nMapX, CentreOf(10, 10).x);
}

TEST_F(NpcTest, KilledFightersStayGoneOrComeBackAtFullLifePerTheirRow) {
    const std::vector<NpcRecordModel> people{Person(1, 2, kReviveRow, 10, 10, 20), Person(2, 2, kStayDeadRow, 20, 10, 20)};
    ASSERT_TRUE(Build(5, people));
    EXPECT_FALSE(Scene().IsNpcStopped(1));
    for (int i = 0; i < 2; ++i) {
        Npc(i).pState->nLife = 0;
        Npc(i).SetAction(kNpcDie);
        Npc(i).timeDeath = dwNowTime;
    }
    EXPECT_TRUE(Scene().IsNpcStopped(1));
    EXPECT_FALSE(Scene().IsNpcStopped(9));
    Run(1000);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Npc(i).Display(), kNpcCorpse);
        EXPECT_EQ(Npc(i).nFrame, kFrames - 2) << "the dying frame stays";
    }
    Run(19000);
    EXPECT_EQ(Npc(0).Display(), kNpcCorpse) << "a corpse lies 20 seconds";
    Run(1100);
    EXPECT_EQ(Npc(0).Display(), kNpcGoneRevive);
    EXPECT_EQ(Npc(1).Display(), kNpcGone);

    ASSERT_TRUE(Build(5, people));
    EXPECT_EQ(Npc(0).Display(), kNpcShown);
    EXPECT_EQ(Npc(0).Life(), 60);
    EXPECT_EQ(Npc(1).Display(), kNpcGone);
    EXPECT_FALSE(Scene().MoveNpcTo(2, 100, 100)) << "a character that is not shown does not walk";
    Scene().BuildDrawList();
    ASSERT_EQ(Scene().GetDrawList().size(), 1u);
    EXPECT_EQ(Scene().GetDrawList()[0], &Npc(0).mapObject);

    // Entered while they lie as corpses: the one that revives stands, the other is gone.
    Npc(0).pState->nDisplay = Npc(1).pState->nDisplay = kNpcCorpse;
    Npc(0).pState->nLife = Npc(1).pState->nLife = 0;
    ASSERT_TRUE(Build(5, people));
    Scene().ReviveDeadNpcs();
    EXPECT_EQ(Npc(0).Display(), kNpcShown);
    EXPECT_EQ(Npc(0).Life(), 60);
    EXPECT_EQ(Npc(0).nAction, kNpcStand);
    EXPECT_EQ(Npc(1).Display(), kNpcGone);
}

// A script walk reports whether the character got a path; the run flag makes it a run
// (the chase step) and is used up; a run without a path leaves the character as it was.
TEST_F(NpcTest, ScriptWalksReportTheirPathAndTheRunFlagMakesARun) {
    ASSERT_TRUE(Build(8, {Talker(1, 10, 10), Talker(2, 20, 20)}));
    const POINT walkTo = CentreOf(16, 10), runTo = CentreOf(26, 20);
    EXPECT_TRUE(Scene().MoveNpcTo(1, walkTo.x, walkTo.y));
    EXPECT_EQ(Npc(0).nAction, kNpcWander);
    m_npcHost.bRunFlag = true;
    EXPECT_TRUE(Scene().MoveNpcTo(2, runTo.x, runTo.y));
    EXPECT_FALSE(m_npcHost.bRunFlag) << "the walk took the flag";
    EXPECT_EQ(Npc(1).nAction, kNpcChase);
    EXPECT_EQ(Npc(1).nFleeMode, Npc(0).nFleeMode) << "the run changes no fight rule";
    Run(4000);
    const auto cellOf = [&](const CNpc& npc) { return Scene().PixelToCell(npc.pState->nMapX, npc.pState->nMapY); };
    EXPECT_EQ(cellOf(Npc(0)).x, 16);
    EXPECT_EQ(cellOf(Npc(1)).x, 26);
    EXPECT_EQ(cellOf(Npc(1)).y, 20);
    EXPECT_EQ(Npc(1).nAction, kNpcStand) << "the run ends standing";

    // Walled in: no path, no walk, and the run flag spent all the same.
    for (int y = 4; y <= 6; ++y)
        for (int x = 34; x <= 36; ++x) Scene().pBlocked[size_t(Scene().CellIndex(x, y))] = 1;
    const POINT walled = CentreOf(35, 5), at{Npc(0).pState->nMapX, Npc(0).pState->nMapY};
    m_npcHost.bRunFlag = true;
    EXPECT_FALSE(Scene().MoveNpcTo(1, walled.x, walled.y));
    EXPECT_FALSE(m_npcHost.bRunFlag);
    EXPECT_EQ(Npc(0).nAction, kNpcStand);
    Run(500);
    EXPECT_EQ(Npc(0).pState->nMapX, at.x);
    EXPECT_EQ(Npc(0).pState->nMapY, at.y);
    EXPECT_FALSE(Scene().MoveNpcTo(1, at.x, at.y)) << "already there";
    EXPECT_FALSE(Scene().MoveNpcTo(9, walkTo.x, walkTo.y)) << "no such character";
}

// A character's map object shows the map file's first picture (index 2), so it stands
// on that picture's footprint.
TEST_F(NpcTest, ACharacterCoversTheFootprintOfTheMapsFirstPicture) {
    ASSERT_TRUE(Build(9, {Talker(1, 10, 10)}));
    ASSERT_EQ(Scene().GetPictureCount(), 2);
    auto pFirst = std::make_unique<CScenePic>();
    pFirst->szFootprint = SIZE{2, 2};
    Scene().pPictures.push_back(std::move(pFirst));
    Scene().PlaceAllFootprints();
    for (int y = 9; y <= 12; ++y)
        for (int x = 9; x <= 12; ++x) {
            const bool bCovered = x >= 10 && x <= 11 && y >= 10 && y <= 11;
            EXPECT_EQ(Scene().CellAt(x, y)->nOccupantKind, bCovered ? kKindNpc : -1) << x << "," << y;
        }
    EXPECT_FALSE(Scene().IsCellFree(11, 11));
}

TEST_F(NpcTest, GoneFightersRespawnNearHomeAtTheFirstPassSevenMinutesAfterTheBuild) {
    ASSERT_TRUE(Build(6, {Person(1, 2, kReviveRow, 10, 10, 20), Person(2, 2, kStayDeadRow, 20, 20, 20)}));
    for (int i = 0; i < 2; ++i) {
        Npc(i).pState->nDisplay = kNpcGoneRevive;
        Npc(i).pState->nLife = 0;
    }
    Npc(1).bRevive = 0;
    Tick(kRespawnMs - 1000);
    Scene().Update();
    EXPECT_EQ(Npc(0).Display(), kNpcGoneRevive);
    Tick(1000);
    Scene().Update();
    EXPECT_EQ(Npc(0).Display(), kNpcShown);
    EXPECT_EQ(Npc(0).Life(), 60);
    const POINT home = Scene().PixelToCell(Npc(0).ptHome.x, Npc(0).ptHome.y);
    const POINT cell = Scene().PixelToCell(Npc(0).pState->nMapX, Npc(0).pState->nMapY);
    EXPECT_LE(std::abs(cell.x - home.x), 5);
    EXPECT_LE(std::abs(cell.y - home.y), 5);
    EXPECT_EQ(Npc(1).Display(), kNpcGoneRevive) << "without its revive flag it stays away";
}

TEST_F(NpcTest, TheDefeatWatchFiresWhenAllWatchedAreDownHidesThemAndRetriesARefusedEvent) {
    std::vector<NpcRecordModel> people;
    for (int i = 0; i < 6; ++i) people.push_back(Person(i, 2, kReviveRow, 5 + 3 * i, 5, 20));
    ASSERT_TRUE(Build(7, people));
    DefeatWatch& watch = Scene().watch;
    watch.bArmed = 1;
    watch.nMode = 0;
    watch.nFirst = 3;
    watch.nLast = 5;
    watch.nEvent = 77;
    Npc(3).pState->nLife = Npc(4).pState->nLife = 0;
    Scene().Update();
    EXPECT_TRUE(m_npcHost.started.empty());
    Npc(5).pState->nLife = 0;
    m_npcHost.nStartResult = -1;
    Scene().Update();
    Scene().Update();
    EXPECT_EQ(m_npcHost.started, (std::vector<int>{77, 77}));
    EXPECT_EQ(watch.bArmed, 1);
    EXPECT_EQ(Npc(3).Display(), kNpcShown);
    m_npcHost.nStartResult = 0;
    Scene().Update();
    EXPECT_EQ(watch.bArmed, 0);
    EXPECT_EQ(watch.nEvent, -1);
    EXPECT_EQ(watch.nFirst, -1);
    for (int i = 3; i < 6; ++i) EXPECT_EQ(Npc(i).Display(), kNpcGoneRevive) << i;
    EXPECT_EQ(Npc(2).Display(), kNpcShown);

    // List mode: an index without a character counts as down.
    watch.bArmed = 1;
    watch.nMode = 1;
    watch.nCount = 2;
    watch.nList[0] = 0;
    watch.nList[1] = 40;
    watch.nEvent = 78;
    Scene().Update();
    EXPECT_EQ(watch.bArmed, 1);
    Npc(0).pState->nLife = 0;
    Scene().Update();
    EXPECT_EQ(watch.bArmed, 0);
    EXPECT_EQ(m_npcHost.started.back(), 78);
}

TEST_F(NpcTest, StunLastsByTheHerosSkillLevelAndBelowTwentyLifeUntilDeath) {
    CPlayer hero;
    pPlayer = &hero;
    ASSERT_TRUE(Build(8, {Person(1, 2, kReviveRow, 10, 10, 20)}));
    CNpc& npc = Npc(0);
    const DWORD expected[] = {1500, 3000, 5000, 0};
    for (int nLevel = 0; nLevel < 4; ++nLevel) {
        hero.nSkillLevel[3] = nLevel;
        npc.bStunned = 1;
        npc.timeFrame = dwNowTime;
        const int nCounter = npc.nFrameCounter;
        DWORD dwTaken = 0;
        while (npc.bStunned && dwTaken < 10000) {
            Tick(100);
            dwTaken += 100;
            npc.Update();
            if (npc.bStunned) {
                EXPECT_EQ(npc.nFrameCounter, nCounter);
                EXPECT_EQ(npc.nWanderSpeed, 0);
            }
        }
        EXPECT_EQ(dwTaken, expected[nLevel] + 100) << "level " << nLevel;
    }
    npc.pState->nLife = 10;
    npc.bStunned = 1;
    const int nCounter = npc.nFrameCounter;
    Run(10000);
    EXPECT_EQ(npc.bStunned, 1);
    EXPECT_GT(npc.nFrameCounter, nCounter + 90) << "the animation runs on";
    EXPECT_EQ(npc.nChaseSpeed, 0);
    npc.pState->nLife = 0;
    Run(100);
    EXPECT_EQ(npc.bStunned, 0);
}

TEST_F(NpcTest, StandingPingPongsOneShotsReturnToStandingAndBadActionsAreRefused) {
    ASSERT_TRUE(Build(9, {Talker(1, 10, 10), Talker(2, 12, 10, 5)}));
    CNpc& npc = Npc(0);
    std::vector<int> frames;
    for (int i = 0; i < 8; ++i) {
        Run(100);
        frames.push_back(npc.nFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 3, 2, 1, 0, 0}));
    npc.SetAction(kNpcAttack);
    Run(100);
    EXPECT_EQ(npc.nFrame, 1);
    EXPECT_EQ(npc.timeAttack, std::int32_t(dwNowTime));
    Run(100);
    EXPECT_EQ(npc.nFrame, 2);
    EXPECT_EQ(npc.nAction, kNpcAttack);
    // The step that reaches the last frame ends the pose.
    Run(100);
    EXPECT_EQ(npc.nAction, kNpcStand);
    EXPECT_EQ(npc.nFrame, 0);
    EXPECT_EQ(m_npcHost.nEffectWaitCleared, 1);
    // Actions past the 27 of a sculpt, and actions without frames, change nothing.
    npc.SetAction(27);
    npc.SetAction(8);
    EXPECT_EQ(npc.nAction, kNpcStand);
    npc.SetActionByScript(4);
    EXPECT_EQ(npc.bForcedPose, 1);
    npc.SetActionByScript(1);
    EXPECT_EQ(npc.bForcedPose, 0);
    // A sculpt without standing frames is hidden for good; its steps divide by nothing.
    EXPECT_EQ(Npc(1).Display(), kNpcHidden);
    Run(300);
    EXPECT_EQ(Npc(1).Display(), kNpcHidden);
}

TEST_F(NpcTest, TheLowerOfTwoFightersTakesTheAttackCursor) {
    ASSERT_TRUE(Build(10, {Person(1, 2, kReviveRow, 10, 10, 20), Person(2, 2, kReviveRow, 10, 11, 20)}));
    Scene().SetNpcPosition(1, CentreOf(10, 10).x, CentreOf(10, 10).y);
    Scene().SetNpcPosition(2, CentreOf(10, 11).x, CentreOf(10, 11).y);
    m_mouse.m_nX = CentreOf(10, 10).x;
    m_mouse.m_nY = CentreOf(10, 10).y - 40;
    Scene().Draw();
    Scene().Draw();
    EXPECT_EQ(Scene().nHoverActorId, 2);
    EXPECT_EQ(m_mouse.m_nShape, 3);
    // A resting hero hovers no fighter.
    CPlayer hero;
    hero.nAction = 9;
    pPlayer = &hero;
    Scene().nHoverActorId = -1;
    Scene().Draw();
    EXPECT_EQ(Scene().nHoverActorId, -1);
}

TEST_F(NpcTest, TalkersShowTheTalkCursorCorpsesNeverHoverAndOpenPanelsBlock) {
    ASSERT_TRUE(Build(11, {Talker(1, 5, 10), Talker(2, 12, 10, 89), Person(3, 2, kReviveRow, 18, 10, 20)}));
    HoverAndDraw(Npc(0));
    EXPECT_EQ(Scene().nHoverActorId, 1);
    EXPECT_EQ(nHoverNpcId, -1) << "the main window takes the id on the next draw";
    EXPECT_EQ(m_mouse.m_nShape, 1);
    EXPECT_EQ(m_mouse.m_nHoverTarget, 1);
    Scene().Draw();
    EXPECT_EQ(nHoverNpcId, 1);
    m_mouse.m_nX = 790;
    Scene().Draw();
    EXPECT_EQ(Scene().nHoverActorId, -1);
    EXPECT_EQ(m_mouse.m_nShape, 0);

    HoverAndDraw(Npc(1));
    EXPECT_EQ(m_mouse.m_nShape, 4) << "the shop keeper's sculpt";
    m_mouse.SetShape(0);
    Scene().nHoverActorId = -1;

    CNpc& fighter = Npc(2);
    Scene().SetNpcPosition(3, CentreOf(18, 10).x, CentreOf(18, 10).y);
    fighter.pState->nDisplay = kNpcCorpse;
    fighter.nAction = kNpcDie;
    fighter.nFrame = 1;
    Scene().nHoverActorId = 3;
    HoverAndDraw(fighter);
    EXPECT_EQ(Scene().nHoverActorId, -1);
    EXPECT_EQ(m_mouse.m_nShape, 0);

    m_npcHost.bPanelOpen = true;
    HoverAndDraw(Npc(0));
    EXPECT_EQ(Scene().nHoverActorId, -1);
    EXPECT_EQ(m_mouse.m_nShape, 0);
}

TEST_F(NpcTest, DamagedRecordsAreSkippedOrEndTheBuildWithTheMessage) {
    NpcRecordModel badId = Talker(150, 3, 3);
    NpcRecordModel badRow = Person(4, 2, 99, 6, 6, 20);
    NpcRecordModel negativeSculpt = Talker(5, 8, 8, -7);
    NpcRecordModel badSculpt = Talker(6, 9, 9, 400);
    ASSERT_TRUE(Build(12, {badId, Talker(1, 4, 4), badRow, negativeSculpt, badSculpt, Talker(7, 11, 11)}));
    ASSERT_EQ(Scene().GetNpcCount(), 3);
    EXPECT_EQ(Scene().FindNpcById(150), -1);
    ASSERT_EQ(Scene().GetNpcWarnings().size(), 2u);
    EXPECT_NE(Scene().GetNpcWarnings()[0].find("150"), std::string::npos);
    EXPECT_EQ(Scene().GetNpcWarnings()[1],
              "map\\scene012.set: character 3 (id 5): sculpt -7 is negative; it is drawn as sculpt 0");
    EXPECT_EQ(m_npcHost.fatal, (std::vector<std::string>{"Init NPC failed, Sculpt : 400\nmap\\scene012.set: "
                                                          "character 4 (id 6): sculpt 400 is outside 0..299"}));
    EXPECT_EQ(Scene().FindNpcById(7), -1) << "nothing after the failed sculpt is read";
    // A row outside the enemy table reads empty.
    const CNpc& noRow = Npc(Scene().FindNpcById(4));
    EXPECT_EQ(noRow.nSoundNo, -1);
    EXPECT_EQ(noRow.nLifeMax, 0);
    EXPECT_EQ(Npc(Scene().FindNpcById(5)).nSculpt, 0);

    // A direction byte outside 0..7 from a damaged save is never drawn or stepped from.
    CNpc& npc = Npc(0);
    npc.pState->nDirection = 9;
    EXPECT_FALSE(npc.Draw());
    EXPECT_EQ(npc.CellInFront().x, npc.mapObject.ptCellPos.x);
    npc.pState->nDirection = 2;
    npc.nFrame = -1;
    EXPECT_FALSE(npc.Draw());
}

TEST_F(NpcTest, TheSavedStateBlockRestoresACharacterHiddenInAnotherScene) {
    const std::vector<NpcRecordModel> people{Talker(1, 10, 10), Talker(2, 12, 10)};
    ASSERT_TRUE(Build(20, people));
    ASSERT_TRUE(Build(21, {}));
    pEffectManager->SetObjectFlag(20, 2);
    CByteWriter out;
    pEffectManager->Save(out);
    m_pEffects = std::make_unique<CEffectManager>();
    pEffectManager = m_pEffects.get();
    CByteReader in(out.Bytes(), "save");
    ASSERT_TRUE(pEffectManager->Load(in)) << pEffectManager->GetError();
    ASSERT_TRUE(Build(20, people));
    EXPECT_EQ(Npc(0).Display(), kNpcShown);
    EXPECT_EQ(Npc(1).Display(), kNpcHidden);
    Scene().BuildDrawList();
    EXPECT_EQ(Scene().GetDrawList().size(), 1u);
    CByteWriter again;
    pEffectManager->Save(again);
    ASSERT_TRUE(Build(21, {}));
    CByteWriter third;
    pEffectManager->Save(third);
    EXPECT_EQ(again.Bytes(), third.Bytes());
}

}  // namespace
}  // namespace npctest
