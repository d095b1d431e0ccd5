// Event starts: every refusal of the start record, the run limits, the once flag, the
// precondition pairs, the items, what a start (or a refusal) does to the registers, and
// the random pick of a character's events.
#include <algorithm>
#include <map>
#include <memory>

#include "tests/shell/ScriptTestUtil.h"
#include "world/PlayerHost.h"

namespace {

const char* const kScript = R"(
scene 0
event 0
  Nop
  Nop
event 1 once
  Nop
event 2 limit 0
  Nop
event 3 limit 1
  Nop
event 4 limit 3
  Nop
event 5 needs 7
  Nop
event 6 after 0:1
  Nop
event 7 after 0:1 3:2
  Nop
event 8 needs 250
  Nop
event 9 after 250:1
  Nop
event 10
event 11 limit -3
  Nop
)";

class StartTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        Load(kScript);
    }
};

TEST_F(StartTest, EachRuleRefusesOrAdmitsAsItsRowSays) {
    struct Case {
        const char* pszWhat;
        int nEvent;
        void (*prepare)(StartTest&);
        int nExpected;
    };
    auto none = [](StartTest&) {};
    const Case cases[] = {
        {"a plain event starts", 0, none, 0},
        {"a negative number", -1, none, -1},
        {"a number past the sub-event table", 12, none, -1},
        {"a disabled event", 0, [](StartTest& t) { t.State(0, 0) = 2; }, -1},
        {"once with state 0 starts", 1, none, 1},
        {"once with state 1 refuses", 1, [](StartTest& t) { t.State(0, 1) = 1; }, -1},
        {"limit 0 never starts", 2, none, -1},
        {"a missing item", 5, none, -1},
        {"the held item", 5, [](StartTest&) { pPlayer->nItemCount[7] = 1; }, 5},
        {"an item outside the item numbers is never held", 8, none, -1},
        {"a new precondition", 6, none, -1},
        {"a started precondition", 6, [](StartTest& t) { t.State(0, 1) = 1; }, 6},
        {"a disabled precondition fails like a new one", 6, [](StartTest& t) { t.State(0, 1) = 2; }, -1},
        {"one of two preconditions missing", 7, [](StartTest& t) { t.State(0, 1) = 1; }, -1},
        {"both preconditions started", 7, [](StartTest& t) { t.State(0, 1) = t.State(3, 2) = 1; }, 7},
        {"a precondition outside the tables is not met", 9, none, -1},
        {"a limit below -1 does not limit", 11, none, 11},
        {"a current scene outside the tables", 0, [](StartTest&) { pFrame->m_nCurrentScene = 250; }, -1},
        {"a scene without data", 0, [](StartTest&) { pFrame->m_nCurrentScene = 3; }, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        for (auto& row : pEffectManager->EventStates) std::fill(std::begin(row), std::end(row), 0);
        std::fill(std::begin(pPlayer->nItemCount), std::end(pPlayer->nItemCount), 0);
        pFrame->m_nCurrentScene = 0;
        c.prepare(*this);
        const int nScene = pFrame->m_nCurrentScene;
        const bool bInTables = nScene >= 0 && nScene < kStateScenes;
        const int nStateBefore = bInTables && c.nEvent >= 0 ? State(nScene, c.nEvent) : -1;
        const bool bCan = pFrame->CanStartEvent(c.nEvent);
        // The test changes nothing.
        if (nStateBefore >= 0) {
            EXPECT_EQ(State(nScene, c.nEvent), nStateBefore);
        }
        EXPECT_EQ(bCan, c.nExpected >= 0);
        EXPECT_EQ(pFrame->StartEvent(c.nEvent), c.nExpected);
        EXPECT_EQ(pFrame->nEventId, c.nExpected);
        if (c.nExpected >= 0) {
            EXPECT_EQ(State(nScene, c.nEvent), 1);
            EXPECT_EQ(pFrame->bScriptGoOn, 1);
        } else if (nStateBefore >= 0) {
            EXPECT_EQ(State(nScene, c.nEvent), nStateBefore);
        }
    }
}

TEST_F(StartTest, RunLimitsCountStartsAndNeverCountRefusals) {
    for (int i = 0; i < 5; ++i) pFrame->StartEvent(2);
    EXPECT_EQ(Runs(0, 2), -1);
    EXPECT_EQ(pFrame->StartEvent(3), 3);
    EXPECT_EQ(Runs(0, 3), 0);
    EXPECT_EQ(pFrame->StartEvent(3), -1);
    EXPECT_FALSE(pFrame->CanStartEvent(3));
    EXPECT_EQ(Runs(0, 3), 0);
    int nStarts = 0;
    for (int i = 0; i < 6; ++i) nStarts += pFrame->StartEvent(4) == 4;
    EXPECT_EQ(nStarts, 3);
    EXPECT_EQ(Runs(0, 4), 2);
    // A counter from another data version already past the limit refuses.
    Runs(0, 3) = 40;
    EXPECT_EQ(pFrame->StartEvent(3), -1);
    EXPECT_EQ(Runs(0, 3), 40);
    // Events without a limit do not count.
    pFrame->StartEvent(0);
    EXPECT_EQ(Runs(0, 0), -1);
}

TEST_F(StartTest, AStartSetsTheStepsAndARefusalClearsTheRunningEvent) {
    ASSERT_EQ(pFrame->StartEvent(1), 1);
    EXPECT_EQ(pFrame->FirstScript, 2);
    EXPECT_EQ(pFrame->CurrentScript, 2);
    EXPECT_EQ(pFrame->EndScript, 2);
    MakeTestScene(10, 10).nHoverActorId = 5;
    // The refused start (once, state 1) still clears the running event and the click.
    EXPECT_EQ(pFrame->StartEvent(1), -1);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pScene->nHoverActorId, -1);
}

TEST_F(StartTest, AnEventWithoutStepsIsMarkedStartedButRunsNothing) {
    EXPECT_EQ(pFrame->StartEvent(10), -1);
    EXPECT_EQ(State(0, 10), 1);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_LT(pFrame->EndScript, pFrame->FirstScript);
    Frames(2);
    EXPECT_TRUE(watch.With("run").empty());
}

TEST_F(StartTest, AnEventMissingFromTheSubEventTableRunsNoEarlierSteps) {
    // Scene 0's record 0 exists, the table's count covers it, but no entry names it (the
    // text form gives every skipped number an entry: the file is built by hand).
    std::vector<ScriptSceneModel> scenes(1);
    scenes[0].bHasBlock = true;
    scenes[0].events.assign(6, OpenEventRecord());
    scenes[0].subEvents = {SubEvent{1, 0, 0}, SubEvent{5, 1, 1}};
    scenes[0].commands.assign(2, ScriptCommand{23, 0, 0, 0, 0, 0, 0, -1, -1});
    const std::vector<std::uint8_t> bytes = BuildScriptFile(scenes);
    CByteReader reader(bytes, "script.dat");
    auto* pData = new CScriptData;
    ASSERT_TRUE(pData->LoadEventTables(reader) && pData->LoadScripts(reader)) << pData->GetError();
    delete pGameData->pScriptData;
    pGameData->pScriptData = pData;
    ASSERT_EQ(pFrame->StartEvent(0), -1);
    EXPECT_EQ(State(0, 0), 1);
    EXPECT_EQ(pFrame->CurrentScript, -1);
    EXPECT_EQ(pFrame->nEventId, -1);
}

// Talking to a character whose events start at random: one of those that can start now is
// picked, never an empty slot or a refused event, and each of them in its turn; the
// character neither turns nor is recorded for the event's end. A shop keeper's talk
// leaves it as it is when the event ends.
TEST_F(StartTest, ARandomTalkPicksAmongTheEventsThatCanStart) {
    MakeTestScene(40, 40);
    auto addTalker = [](int nId, std::initializer_list<int> events) {
        auto pNpc = std::make_unique<CNpc>();
        pNpc->mapObject.nId = nId;
        pNpc->bRandomEvents = 1;
        std::copy(events.begin(), events.end(), pNpc->nEvents);
        pNpc->pState->nDisplay = kNpcShown;
        pNpc->pState->nMapX = pNpc->pState->nMapY = 200;
        pScene->pNpcs.push_back(std::move(pNpc));
    };
    // Event 2 never starts (limit 0), event 5 needs an item the hero lacks.
    addTalker(1, {2, 5, 0});
    addTalker(2, {0, 11, 2, 5});
    pScene->pNpcs[0]->pState->nDirection = 6;
    pFrame->m_nTalkNpcIndex = pFrame->m_nTalkNpcDirection = -1;
    std::map<int, int> started;
    for (int nTalk = 0; nTalk < 40; ++nTalk) {
        AdvanceVirtualClock(37);
        pFrame->nEventId = -1;
        ASSERT_TRUE(HeroHost().TalkToNpc(1)) << "talk " << nTalk;
        EXPECT_EQ(pFrame->nEventId, 0);
        pFrame->nEventId = -1;
        ASSERT_TRUE(HeroHost().TalkToNpc(2)) << "talk " << nTalk;
        ++started[pFrame->nEventId];
    }
    EXPECT_EQ(started.size(), 2u);
    EXPECT_GT(started[0], 0);
    EXPECT_GT(started[11], 0);
    EXPECT_EQ(pScene->pNpcs[0]->pState->nDirection, 6);
    EXPECT_EQ(pFrame->m_nTalkNpcIndex, -1);
    EXPECT_EQ(pFrame->m_nTalkNpcDirection, -1);

    // With nothing that can start, nothing starts and the character keeps its direction.
    addTalker(3, {2, 5});
    pScene->pNpcs.back()->pState->nDirection = 6;
    pFrame->nEventId = -1;
    EXPECT_FALSE(HeroHost().TalkToNpc(3));
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pScene->pNpcs.back()->pState->nDirection, 6);

    // A shop keeper takes its talk pose and starts its event, but is not recorded for
    // the event's end, which would give it its direction back and drop the pose.
    addTalker(4, {0});
    CNpc& keeper = *pScene->pNpcs.back();
    keeper.bRandomEvents = 0;
    keeper.nSculpt = kNpcShopSculpt;
    keeper.bTalkPose = 1;
    pFrame->nEventId = pFrame->m_nTalkNpcIndex = -1;
    ASSERT_TRUE(HeroHost().TalkToNpc(4));
    EXPECT_EQ(pFrame->m_nTalkNpcIndex, -1);
    Frames(4);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_TRUE(keeper.bForcedPose);
}

TEST_F(StartTest, EventNumbersOfAHundredOrMoreAreRefused) {
    // The text form refuses such numbers; a file from elsewhere may hold them.
    std::vector<ScriptSceneModel> scenes(1);
    scenes[0].bHasBlock = true;
    scenes[0].events.assign(101, OpenEventRecord());
    for (int e = 0; e <= 100; ++e) {
        scenes[0].subEvents.push_back(SubEvent{e, e, e});
        scenes[0].commands.push_back(ScriptCommand{23, 0, 0, 0, 0, 0, 0, -1, -1});
    }
    const std::vector<std::uint8_t> bytes = BuildScriptFile(scenes);
    CByteReader reader(bytes, "script.dat");
    auto* pData = new CScriptData;
    ASSERT_TRUE(pData->LoadEventTables(reader) && pData->LoadScripts(reader)) << pData->GetError();
    delete pGameData->pScriptData;
    pGameData->pScriptData = pData;
    EXPECT_EQ(pFrame->StartEvent(99), 99);
    EXPECT_EQ(pFrame->StartEvent(100), -1);
    EXPECT_FALSE(pFrame->CanStartEvent(100));
}

}  // namespace
