// The scheduler and the interpreter: endings, the kept quirks (walk batch, commands that
// pass over the next one), the waits and their ends, pending events, the end of an event
// and the scene, view and event-control commands.
#include "platform/Charset.h"
#include "tests/shell/ScriptTestUtil.h"
#include "ui/menus/TalkBar.h"

namespace {

using Lines = std::vector<std::string>;

TEST_F(ScriptTest, InstantCommandsRunInOneFrameWithoutGrowingTheStack) {
    // Far more instant commands than a recursive interpreter could nest.
    std::string text = "scene 0\nevent 0\n";
    for (int i = 0; i < 100000; ++i) text += "Nop\n";
    text += "event 1\n  CounterAAdd 5\n  Next\n  SetValue 3\n  CounterASub 2\n";
    Load(text);
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frame();
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pFrame->CurrentScript, -1);
    EXPECT_EQ(watch.With("run").size(), 100000u);
    watch.lines.clear();
    ASSERT_EQ(pFrame->StartEvent(1), 1);
    Frame();
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pPlayer->nCounterA, 53);
    EXPECT_EQ(watch.With("run").size(), 4u);
    // Counters near the ends of their range stop there instead of wrapping.
    Load("scene 0\nevent 2\n  CounterAAdd 2147483647\n  CounterBSub 2147483647\n  CounterBSub 5\n");
    pPlayer->nCounterA = 2147483000;
    pPlayer->nCounterB = -1000;
    ASSERT_EQ(pFrame->StartEvent(2), 2);
    Frame();
    EXPECT_EQ(pPlayer->nCounterA, 2147483647);
    EXPECT_EQ(pPlayer->nCounterB, -2147483647 - 1);
}

TEST_F(ScriptTest, CommandsThatPassOverTheNextOne) {
    Load(R"(scene 0
event 0
  PlayMusic 99
  CounterAAdd 1
  CounterAAdd 10
event 1
  SceneEffect -1 0 0 0
  CounterAAdd 1
  CounterAAdd 10
event 2
  Talk 0 0
  CounterAAdd 1
  CounterAAdd 10
)");
    for (int e : {0, 1}) {
        SCOPED_TRACE(e);
        pPlayer->nCounterA = 0;
        MakeTestScene(40, 40);
        ASSERT_EQ(pFrame->StartEvent(e), e);
        Frames(3);
        EXPECT_EQ(pFrame->nEventId, -1);
        EXPECT_EQ(pPlayer->nCounterA, 10);
    }
    // Ctrl with the left button passes a talk line and the command after it.
    pPlayer->nCounterA = 0;
    ASSERT_EQ(pFrame->StartEvent(2), 2);
    OnKeyEvent(VK_CONTROL, VK_LCONTROL, true, false);
    OnMouseButton(VK_LBUTTON, true, false, 0, 0);
    Frame();
    OnKeyEvent(VK_CONTROL, VK_LCONTROL, false, false);
    OnMouseButton(VK_LBUTTON, false, false, 0, 0);
    EXPECT_EQ(watch.With("skip"), Lines({"skip 6 Talk"}));
    EXPECT_EQ(Mode(), 3);
    Frames(2);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pPlayer->nCounterA, 10);
}

// Sets the scene-effect wait when a scene effect command runs, as an effect the
// manager accepted does.
class CEffectAcceptingWatcher : public CLineWatcher {
public:
    void OnCommand(int nStep, const ScriptCommand& c, ScriptEnding ending, bool bSkipped) override {
        CLineWatcher::OnCommand(nStep, c, ending, bSkipped);
        if (c.nCommand == 75) pFrame->bSceneEffectWait = 1;
    }
};

TEST_F(ScriptTest, AnAcceptedSceneEffectHoldsTheNextCommandUntilItEnds) {
    Load("scene 0\nevent 0\n  SceneEffect 0 300 200 7\n  CounterAAdd 1\n  CounterAAdd 10\n");
    CEffectAcceptingWatcher accepting;
    SetScriptWatcher(&accepting);
    MakeTestScene(40, 40);
    pPlayer->nCounterA = 0;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frames(4);
    EXPECT_EQ(pPlayer->nCounterA, 0);
    EXPECT_EQ(pFrame->CurrentScript, 1);
    // The end of the effect clears the wait: the command after it runs, then the rest.
    pFrame->bSceneEffectWait = 0;
    Frames(3);
    EXPECT_EQ(pPlayer->nCounterA, 11);
    EXPECT_EQ(pFrame->nEventId, -1);
    SetScriptWatcher(&watch);
}

TEST_F(ScriptTest, AWalkBatchStartsEveryWalkAndWaitsForTheFirst) {
    Load(R"(scene 0
event 0
  HeroWalk 100 100
  NpcWalk 4 200 200
  HeroWalk 300 300
  HeroRun 1 1
  Nop
)");
    MakeTestScene(40, 40);
    world.bHeroAtGoal = false;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frame();
    EXPECT_EQ(world.calls, Lines({"hero walk 100 100", "npc walk 4 200 200", "hero walk 300 300"}));
    Frames(3);
    EXPECT_EQ(pFrame->CurrentScript, 0);
    // Each step that follows issues the rest of the batch again.
    world.bHeroAtGoal = true;
    world.calls.clear();
    Frames(2);
    EXPECT_EQ(world.calls, Lines({"npc walk 4 200 200", "hero walk 300 300"}));
    Frames(6);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(world.calls.back(), "hero run 1 1");
}

TEST_F(ScriptTest, WaitsForMissingMoversAndFollowersEndAtOnce) {
    Load(R"(scene 0
event 0
  NpcWalk 77 10 10
  NpcRun 78 10 10
  FollowerWalk 3 10 10 0
  FollowerCmd 3 10 10 2
  Nop
)");
    MakeTestScene(40, 40);
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frames(12);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pFrame->m_nSelectedFollower, -1);
}

TEST_F(ScriptTest, PendingEventsAreSetByTheirCommands) {
    Load(R"(scene 0
event 0
  PartyBranch 5 1 2
  PartyBranch 9 3 6
  ItemBranch 1 4
  ItemBranch 2 4
  CountdownStart 30
  CountdownStop 5
  CountdownStop 6
  PartySizeBranch 7
  MoneyBranch 100 8
  CounterAAdd 1000
)");
    pPlayer->nItemCount[0] = 1;
    pFrame->m_nPartyCount = 2;
    pFrame->m_nPartyIds[1] = 5;
    pPlayer->nCounterA = 0;
    // Each setter ends its frame; the start at the end of the frame is refused (the
    // events have no steps), which ends the running event: watch one setter a run.
    const struct {
        int nStep;
        int nSlot;
        int nEvent;
    } rows[] = {{0, 0, 1}, {1, 0, 6}, {2, 1, 4}, {3, 1, -1}, {5, 2, 5}, {6, 2, -1}, {7, 3, -1}, {8, 4, 8}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.nStep);
        if (row.nStep == 5) pFrame->m_nCountdownSeconds = 12;
        pFrame->StartEvent(0);
        pFrame->CurrentScript = row.nStep;
        pFrame->RunScript();
        EXPECT_EQ(pFrame->m_nPendingEvents[row.nSlot], row.nEvent);
        for (int& n : pFrame->m_nPendingEvents) n = -1;
    }
    EXPECT_EQ(pFrame->m_nCountdownSeconds, 0);
    EXPECT_EQ(pPlayer->nCounterA, 0);
}

TEST_F(ScriptTest, PendingEventsStartInTheirOrderAndOnlyTheLastStartRemains) {
    Load(R"(scene 0
event 0
  Yield
  Yield
event 1
  CounterAAdd 1
event 2
  CounterAAdd 2
event 3
  CounterAAdd 4
event 4
  CounterAAdd 8
event 5 limit 0
  CounterAAdd 16
)");
    pPlayer->nCounterA = 0;
    for (int nLast : {4, 5}) {
        SCOPED_TRACE(nLast);
        watch.lines.clear();
        ASSERT_EQ(pFrame->StartEvent(0), 0);
        const int events[5] = {2, 1, 3, nLast == 4 ? 5 : 4, nLast};
        for (int i = 0; i < 5; ++i) pFrame->m_nPendingEvents[i] = events[i];
        Frame();
        EXPECT_EQ(watch.With("start"), Lines({"start 0 0", "start 2 2", "start 1 1", "start 3 3",
                                              nLast == 4 ? "start 5 -1" : "start 4 4",
                                              nLast == 4 ? "start 4 4" : "start 5 -1"}));
        for (int n : pFrame->m_nPendingEvents) EXPECT_EQ(n, -1);
        Frames(2);
    }
    // Only event 4 ever ran: the refused last start left no event running.
    EXPECT_EQ(pPlayer->nCounterA, 8);
    EXPECT_EQ(pFrame->nEventId, -1);
}

TEST_F(ScriptTest, BranchesAndTestsSteerTheEvent) {
    Load(R"(scene 0
event 0
  BranchOnCounterA 1 2
  CounterAAdd 1000
event 1
  CounterBAdd 1
event 2
  CounterBAdd 10
event 3
  NpcTest 5 64 96
  CounterAAdd 1000
event 4
  MoneyBranch 100 1
  CounterBAdd 100
)");
    // Counter 50 starts the second event; the next frame runs it from its first step.
    pPlayer->nCounterA = 50;
    pPlayer->nCounterB = 0;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frames(3);
    EXPECT_EQ(pPlayer->nCounterB, 10);
    EXPECT_EQ(pPlayer->nCounterA, 50);
    pPlayer->nCounterA = 51;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frames(3);
    EXPECT_EQ(pPlayer->nCounterB, 11);
    // An absent character resets the event so that it can start again, and places the
    // hero without touching his goal.
    pPlayer->ptGoal = POINT{1, 1};
    ASSERT_EQ(pFrame->StartEvent(3), 3);
    Frame();
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(State(0, 3), 0);
    EXPECT_EQ(pPlayer->nCounterA, 51);
    EXPECT_EQ(pPlayer->ptPos.x, 64);
    EXPECT_EQ(pPlayer->ptPos.y, 96);
    // Exactly enough money continues the event.
    pPlayer->nMoney = 100;
    ASSERT_EQ(pFrame->StartEvent(4), 4);
    Frames(2);
    EXPECT_EQ(pPlayer->nCounterB, 111);
}

TEST_F(ScriptTest, StateCommandsWriteOnlyInsideTheTables) {
    Load(R"(scene 0
event 0
  DisableEvent 3 4
  SetEventState 5 6
  SetEventState -1 6
  DisableEvent 250 1
  DisableEvent 1 100
  SetState 7 8
  SetState 7 -8
)");
    State(7, 8) = 1;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frames(3);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(State(3, 4), 2);
    EXPECT_EQ(State(5, 6), 2);
    EXPECT_EQ(State(7, 8), 0);
}

TEST_F(ScriptTest, SceneFieldsWeatherAndDefeatWatch) {
    Load(R"(scene 0
event 0
  SetSceneFields 12 1 9
  SetSceneFields 150 0 9
  Weather 3
  Weather 6
  Weather -1
  SceneMarks 0 7 2 4
event 1
  SceneMarks 1 8 3 5 6 7
event 2
  SceneMarks 1 8 2 5 -1
event 3
  SceneMarks 1 8 4 1 2 3
)");
    CScene& scene = MakeTestScene(40, 40);
    scene.nSceneNo = 6;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frames(3);
    EXPECT_EQ(scene.nStepObjectId, 150);
    EXPECT_EQ(scene.bStepToggleWall, 0);
    EXPECT_EQ(pFrame->m_pEventFlagsA[6][12], 9);
    // Every weather number goes on to the world; the toolbar's switch ignores those
    // outside 0..5.
    EXPECT_EQ(world.calls, Lines({"weather 3", "weather 6", "weather -1"}));
    EXPECT_EQ(scene.watch.bArmed, 1);
    EXPECT_EQ(scene.watch.nEvent, 7);
    EXPECT_EQ(scene.watch.nFirst, 2);
    EXPECT_EQ(scene.watch.nLast, 4);
    ASSERT_EQ(pFrame->StartEvent(1), 1);
    Frames(2);
    EXPECT_EQ(scene.watch.nCount, 3);
    EXPECT_EQ(scene.watch.nList[2], 7);
    EXPECT_EQ(scene.watch.nFirst, -1);
    // A negative entry leaves the block empty and the flag as it was.
    scene.watch.bArmed = 0;
    ASSERT_EQ(pFrame->StartEvent(2), 2);
    Frames(2);
    EXPECT_EQ(scene.watch.bArmed, 0);
    EXPECT_EQ(scene.watch.nList[0], -1);
    EXPECT_EQ(scene.watch.nEvent, -1);
    // The fourth value is a7, which the file does not hold: the list stops there.
    ASSERT_EQ(pFrame->StartEvent(3), 3);
    Frames(2);
    EXPECT_EQ(scene.watch.bArmed, 0);
    EXPECT_EQ(scene.watch.nCount, -1);
}

TEST_F(ScriptTest, ViewWaitsEndAtTheFarEdgesWithinAFrameBound) {
    Load(R"(scene 0
event 0
  MoveView 100000 100000
  MoveView 0 0
  ViewFollowHero
  Nop
)");
    CScene& scene = MakeTestScene(60, 50);
    ASSERT_GT(scene.rcMap.right, 800);
    ASSERT_GT(scene.rcMap.bottom, 600);
    pPlayer->ptPos = POINT{scene.rcMap.right - 5, scene.rcMap.bottom - 5};
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    int nFrames = 0;
    while (pFrame->nEventId >= 0 && nFrames < 2000) {
        Frame();
        ++nFrames;
    }
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_LT(nFrames, 600);
    EXPECT_EQ(pFrame->m_bViewMove, 0);
    EXPECT_EQ(scene.ptView.x, scene.rcMap.right - 800);
    EXPECT_EQ(scene.ptView.y, scene.rcMap.bottom - 600);
    // The raised point is written back into the command.
    const ScriptCommand* pMove = pGameData->pScriptData->GetCommand(0, 1);
    EXPECT_EQ(pMove->a1, 400);
    EXPECT_EQ(pMove->a2, 300);
}

TEST_F(ScriptTest, TalkLinesAndQuestionsWaitForTheirBars) {
    Load(R"(scene 0
text 0 "one"
text 1 "two"
event 0
  Talk 140 0
  Talk 3 1
  TalkChoice 2 1 4 5 0
  Talk 40000 1
  CounterAAdd 1
)");
    pPlayer->nCounterA = 0;
    CMenuManager& menus = *pFrame->m_pMenuManager;
    menus.m_pFaceTalkBar = new CFaceTalkBar;
    menus.m_pChoiceTalkBar = new CChoiceTalkBar;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frames(3);
    EXPECT_EQ(Mode(), 9);
    EXPECT_EQ(menus.m_pFaceTalkBar->m_nFace, 40);
    EXPECT_EQ(pFrame->CurrentScript, 0);
    // The first line read: talk mode stays for the second line.
    menus.m_pFaceTalkBar->m_bFinished = true;
    Frame();
    EXPECT_EQ(Mode(), 9);
    EXPECT_EQ(menus.m_pFaceTalkBar->m_nFollowOn, 1);
    Frame();
    EXPECT_EQ(pFrame->CurrentScript, 1);
    menus.m_pFaceTalkBar->m_bFinished = true;
    Frames(2);
    EXPECT_EQ(Mode(), 15);
    EXPECT_EQ(pFrame->m_nAnswerRequired, 0);
    EXPECT_EQ(menus.m_pChoiceTalkBar->m_nValues[1], 4);
    Frames(3);
    EXPECT_EQ(pFrame->CurrentScript, 2);
    menus.m_pChoiceTalkBar->m_nAnswered = 1;
    Frames(4);
    EXPECT_EQ(pPlayer->nCounterA, 1);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(menus.m_pChoiceTalkBar->m_nFace, 40000);
}

TEST_F(ScriptTest, ASceneChangeStartsTheNewScenesAreaEventAtOnce) {
    Load(R"(scene 0
event 0
  SetScene 1 64 64 -1
  CounterAAdd 1000
scene 1
event 0
  CounterAAdd 1
  Yield
  CounterAAdd 10
)");
    MakeTestScene(40, 40);
    pPlayer->nCounterA = 0;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frame();
    EXPECT_EQ(world.calls.front(), "change 1 0 100 100 155 0");
    EXPECT_EQ(pFrame->m_nCurrentScene, 1);
    // No cell area lies under the hero in the test scene: event -1 is refused.
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pPlayer->nCounterA, 0);
    EXPECT_EQ(pPlayer->ptPos.x, 64);
}

TEST_F(ScriptTest, AFailedSceneChangeReportsAndQuits) {
    Load("scene 0\nevent 0\n  SetScene 300 64 64 -1\n  CounterAAdd 1000\n");
    MakeTestScene(40, 40);
    pPlayer->nCounterA = 0;
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    Frame();
    EXPECT_TRUE(world.calls.empty());
    EXPECT_EQ(pFrame->m_bRunning, 0);
    // The game ends as a failure, with the message the player saw.
    EXPECT_EQ(TextToUtf8(pFrame->GetFailure()), "Scene 300 does not exist: scenes are numbered 0 to 199.");
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pPlayer->nCounterA, 0);
}

TEST_F(ScriptTest, ARegionStartsItsFirstStartableEventAndStopsTheHero) {
    Load("scene 0\nevent 0 limit 0\n  Nop\nevent 1\n  Nop\nevent 2\n  Nop\n");
    CScene& scene = MakeTestScene(20, 20);
    RegionRecord region;
    region.nEventCount = 3;
    region.nEvents[0] = 0;
    region.nEvents[1] = 1;
    region.nEvents[2] = 2;
    scene.pRegions.assign(1, region);
    scene.CellAt(2, 3)->nRegion = 0;
    pPlayer->ptPos = POINT{2 * 32 + 10, 3 * 32 + 10};
    pPlayer->ptGoal = POINT{500, 500};
    pPlayer->nAction = 1;
    Frame();
    EXPECT_EQ(pFrame->nEventId, 1);
    EXPECT_EQ(pPlayer->nAction, 0);
    EXPECT_EQ(pPlayer->ptGoal.x, pPlayer->ptPos.x);
    EXPECT_EQ(watch.With("start"), Lines({"start 0 -1", "start 1 1"}));
}

}  // namespace
