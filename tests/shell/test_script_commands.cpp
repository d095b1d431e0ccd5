// The command families of the event scripts: every number has a handler or is a
// declared no-op; items, money, hero, talk and the links; the exit hover; the modal
// talk text.
#include <climits>
#include <initializer_list>

#include "shell/ToolBarLink.h"
#include "tests/TempFolder.h"
#include "ui/panels/ItemMenu.h"
#include "ui/panels/SkillMenu.h"
#include "ui/panels/StateMenu.h"
#include "ui/toolbar/GameToolBar.h"
#include "tests/shell/ScriptTestUtil.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/GroundItem.h"

namespace {

using Lines = std::vector<std::string>;

class CRecordingWork : public CWorkLink {
public:
    void Open(int nKind, int nShop) override { opened.push_back(std::to_string(nKind) + " " + std::to_string(nShop)); }
    Lines opened;
};

class CRecordingGames : public CMiniGameLink {
public:
    bool Run(int nKind) override {
        runs.push_back(nKind);
        return bWin;
    }
    void RunPictureShow(int n) override { shows.push_back(n); }
    bool bWin = false;
    std::vector<int> runs, shows;
};

class CNoticeHost : public CToolBarHost {
public:
    void ShowNotice(const char* psz) override { notices.emplace_back(psz); }
    Lines notices;
};

class ScriptCommandTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        m_strOldDir = GetCurrentDirectory();
        SetCurrentDirectory(m_folder.Path().c_str());
    }
    void TearDown() override {
        SetWorkLink(nullptr);
        SetMiniGameLink(nullptr);
        SetToolBarHost(nullptr);
        ScriptTest::TearDown();
        SetCurrentDirectory(m_strOldDir.c_str());
    }
    // Runs event 0 of a one-event scene 0 for a few frames.
    void Run(const std::string& strSteps, int nFrames = 3) {
        pFrame->pScript = nullptr;  // it pointed into the script data replaced here
        Load("scene 0\ntext 0 \"t\"\nevent 0\n" + strSteps);
        ASSERT_EQ(pFrame->StartEvent(0), 0);
        Frames(nFrames);
    }
    // One region a listed event, region i on cell (10 + i, 5) of the scene.
    static void PutRegions(CScene& scene, std::initializer_list<int> events) {
        scene.pRegions.clear();
        for (int nEvent : events) {
            RegionRecord region;
            region.nEventCount = 1;
            region.nEvents[0] = nEvent;
            scene.CellAt(10 + int(scene.pRegions.size()), 5)->nRegion = int(scene.pRegions.size());
            scene.pRegions.push_back(region);
        }
    }
    CTempFolder m_folder{"scriptcmd"};
    std::string m_strOldDir;
};

TEST_F(ScriptCommandTest, EveryNumberHasAHandlerOrIsADeclaredNoOp) {
    MakeTestScene(20, 20);
    TakeUnhandledScriptCommand();
    for (int n = 1; n <= 114; ++n) {
        // The battle and the bank box run their own loops: the battle's row is checked
        // with the links below, the bank's by the bank tests.
        if (n == 33 || n == 66) continue;
        SCOPED_TRACE(n);
        if (!pPlayer) pPlayer = new CPlayer;
        if (!pScene) MakeTestScene(20, 20);
        pFrame->nEventId = -1;
        pFrame->m_bRunning = 1;
        pFrame->m_pMenuManager->m_nGameMode = 3;
        pEffectManager->EventStates[0][0] = 0;
        Run("  " + std::to_string(n) + " 0 0 0 0 0 0\n", 2);
        EXPECT_EQ(TakeUnhandledScriptCommand(), 0);
    }
    // A number nobody handles is noticed.
    Load("scene 0\nevent 0\n  23\n");
    EXPECT_TRUE(IsNoOpScriptCommand(23));
    EXPECT_FALSE(IsNoOpScriptCommand(13));
}

TEST_F(ScriptCommandTest, ItemsFillTheBagCapAt500AndAFullBagDropsTheItemAfterTheNotice) {
    CScene& scene = MakeTestScene(20, 20);
    // Open ground that can take items, as a loaded map has.
    scene.pGroundItems.resize(size_t(scene.nCellCount));
    for (SceneCell& cell : scene.pCells) cell.nWall = 0;
    pPlayer->ptPos = POINT{5 * 32 + 16, 5 * 32 + 16};
    // Without a toolbar the count grows and stops at 500.
    pPlayer->nItemCount[7] = 499;
    Run("  GiveItem 7\n  GiveItem 7\n  GiveItem 100\n  GiveItem -1\n");
    EXPECT_EQ(pPlayer->nItemCount[7], 500);

    // A toolbar whose bag has no room: the notice, then the item on the ground, count unchanged.
    CNoticeHost host;
    SetToolBarHost(&host);
    CToolBarPanelLink panels;
    SetPanelLink(&panels);
    panels.CreatePanels();
    pPlayer->nItemCount[8] = 2;
    pFrame->nEventId = -1;
    Run("  GiveItem 8\n");
    EXPECT_EQ(pPlayer->nItemCount[8], 2);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0], Utf8ToText("物品栏已满!"));
    bool bOnGround = false;
    for (int i = 0; CGroundItem* pItem = scene.GetGroundItem(i); ++i) bOnGround = bOnGround || pItem->nItem == 8;
    EXPECT_TRUE(bOnGround);
    SetPanelLink(nullptr);

    // Taking: one at a time, nothing below 0, numbers outside the table ignored.
    pFrame->nEventId = -1;
    Run("  TakeItem 8\n  TakeItem 8\n  TakeItem 8\n  TakeItem 250\n");
    EXPECT_EQ(pPlayer->nItemCount[8], 0);
}

TEST_F(ScriptCommandTest, MoneyStopsAtZeroAndSaturates) {
    pPlayer->nMoney = 100;
    Run("  Money 0 250\n");
    EXPECT_EQ(pPlayer->nMoney, 0);
    pPlayer->nMoney = INT_MAX - 5;
    pFrame->nEventId = -1;
    Run("  Money 1 100\n  Money 1 2147483647\n");
    EXPECT_EQ(pPlayer->nMoney, INT_MAX);
    pFrame->nEventId = -1;
    Run("  Money 7 -2147483648\n");
    EXPECT_EQ(pPlayer->nMoney, INT_MAX);
}

TEST_F(ScriptCommandTest, HeroDirectionWrapsExperienceAddsAndFlagsKeepTheirRange) {
    pPlayer->nAction = pPlayer->nSpriteAction = 1;
    Run("  HeroDir 9\n");
    EXPECT_EQ(pPlayer->nDirection, 1);
    EXPECT_EQ(pPlayer->nAction, 0);
    EXPECT_EQ(pPlayer->nSpriteAction, 0);
    pFrame->nEventId = -1;
    Run("  HeroDir -1\n");
    EXPECT_EQ(pPlayer->nDirection, 7);

    pPlayer->nExperience = 40;
    pFrame->nEventId = -1;
    Run("  AddExp 60\n  AddExp -500\n  AddExp 0\n");
    EXPECT_EQ(pPlayer->nExperience, 100);
    pPlayer->nExperience = INT_MAX - 1;
    pFrame->nEventId = -1;
    Run("  AddExp 1000\n");
    EXPECT_EQ(pPlayer->nExperience, INT_MAX);

    pPlayer->nLife = 10;
    pPlayer->nLifeMax = 50;
    pFrame->nEventId = -1;
    Run("  AddHP 100 -3\n  AddHP 5 1\n");
    EXPECT_EQ(pPlayer->nLife, 50);
    EXPECT_EQ(pPlayer->nLifeMax, 55);

    pFrame->nEventId = -1;
    Run("  HeroFlagOn 5\n  HeroFlagOn 100\n  HeroFlagOn -1\n  SetLevel 102\n  SetLevel 7\n", 8);
    EXPECT_EQ(pPlayer->nTaskState[5], 1);
    EXPECT_EQ(pPlayer->nLevel, 7);
    pFrame->nEventId = -1;
    Run("  HeroFlagOff 5\n");
    EXPECT_EQ(pPlayer->nTaskState[5], 0);
}

TEST_F(ScriptCommandTest, ObjectFlagsCheckSceneAndCharacter) {
    Run("  SetObjFlag 4 -1\n  SetObjFlag 5 200\n  SetObjFlag 100 0\n");
    // Records start unset (-1); hiding sets the hidden bit alone.
    EXPECT_EQ(pEffectManager->NpcStates[0][4].nDisplay, 1);
    for (int s = 0; s < kStateScenes; ++s) EXPECT_EQ(pEffectManager->NpcStates[s][5].nDisplay, -1) << s;
    pFrame->nEventId = -1;
    Run("  ClearObjFlag 4 0\n");
    EXPECT_EQ(pEffectManager->NpcStates[0][4].nDisplay & 1, 0);
}

TEST_F(ScriptCommandTest, TextBoxStepAndExitMark) {
    world.bTextBoxOpen = true;
    Run("  TextBox 12 -5\n  TextBox 13 40\n");
    EXPECT_EQ(world.calls, Lines({"text box 12 120"}));
    world.bTextBoxOpen = false;
    Frames(3);
    EXPECT_EQ(world.calls, Lines({"text box 12 120", "text box 13 40"}));

    pFrame->nEventId = -1;
    Run("  SetExitMark 1\n");
    EXPECT_EQ(pFrame->m_nExitMark, 1);
    pFrame->nEventId = -1;
    Run("  ClearExitMark\n");
    EXPECT_EQ(pFrame->m_nExitMark, -1);
}

TEST_F(ScriptCommandTest, LinkCommandsGoOnWithDefaultLinksAndPassTheirArguments) {
    pPlayer->nMoney = 800;
    Run("  OpenWorkPanel 3\n  OpenCraftPanel 0\n  KnockGame 1\n  PictureShow 2\n  Nop\n", 8);
    EXPECT_EQ(pFrame->nEventId, -1) << "the event ran to its end";
    EXPECT_EQ(pPlayer->nMoney, 300) << "the capture game costs 500 even when it cannot run";

    CRecordingWork work;
    CRecordingGames games;
    SetWorkLink(&work);
    SetMiniGameLink(&games);
    games.bWin = true;
    pPlayer->nExperience = 0;
    pPlayer->nMoney = 100;
    pFrame->nEventId = -1;
    Run("  OpenWorkPanel 3\n  OpenWorkPanel 17\n  OpenCraftPanel 0\n  OpenCraftPanel 1\n  OpenCraftPanel 3\n"
        "  KnockGame 1\n  KnockGame 3\n  KnockGame 4\n  PictureShow 2\n",
        12);
    EXPECT_EQ(work.opened, Lines({"0 2", "2 0", "1 0"}));
    EXPECT_EQ(games.runs, std::vector<int>({1, 3}));
    EXPECT_EQ(games.shows, std::vector<int>({2}));
    EXPECT_EQ(pPlayer->nMoney, 0);
    EXPECT_EQ(pPlayer->nExperience, 1000);
    // The command was rewritten: 0 became the inlay panel.
    EXPECT_EQ(pGameData->pScriptData->GetCommand(0, 2)->a1, 2);

    // A kind that names no game runs none and still gives the scene its music back.
    pGameData->nSceneMusic[0] = 12;
    pFrame->m_nCurrentScene = 0;
    for (const int nKind : {0, 7, -1}) {
        SCOPED_TRACE(nKind);
        pFrame->PlayMusic(5);
        pFrame->nEventId = -1;
        Run("  KnockGame " + std::to_string(nKind) + "\n");
        const std::string strTrack = pFrame->m_mp3.GetFileName();
        EXPECT_EQ(strTrack.substr(strTrack.size() - 10), "mp3\\12.mp3") << strTrack;
    }
    EXPECT_EQ(games.runs, std::vector<int>({1, 3}));
}

TEST_F(ScriptCommandTest, HoverOverAnExitNamesItsSceneAndChangesNoEventState) {
    Load("scene 0\nevent 0 limit 3\n  SetScene 1 200 300 -1\nevent 1\n  SetExitMark 1\n  SetScene 1 200 300 -1\n"
         "event 2 limit 0\n  SetScene 2 0 0 -1\nevent 3\n");
    PutRegions(MakeTestScene(20, 20), {0, 1, 2});  // the exit, the marked exit, the spent one
    // A region whose first event has no steps: it would not start, so the exit after it
    // is the one named.
    RegionRecord stepless = pScene->pRegions[0];
    stepless.nEventCount = 2;
    stepless.nEvents[0] = 3;
    stepless.nEvents[1] = 0;
    pScene->CellAt(13, 5)->nRegion = int(pScene->pRegions.size());
    pScene->pRegions.push_back(stepless);
    pPlayer->ptPos = POINT{2 * 32 + 16, 12 * 32 + 16};
    pEffectManager->EventStates[0][0] = 1;
    pEffectManager->EventRuns[0][0] = 0;
    std::vector<std::uint8_t> states(&pEffectManager->EventStates[0][0], &pEffectManager->EventStates[0][0] + 100);
    std::vector<std::int32_t> runs(&pEffectManager->EventRuns[0][0], &pEffectManager->EventRuns[0][0] + 100);
    pMouse->m_nX = 10 * 32 + 5;
    pMouse->m_nY = 5 * 32 + 5;
    for (int i = 0; i < 100; ++i) Frame();
    EXPECT_EQ(pFrame->m_nToolTipScene, 1);
    EXPECT_EQ(pMouse->m_nShape, 2);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(std::vector<std::uint8_t>(&pEffectManager->EventStates[0][0], &pEffectManager->EventStates[0][0] + 100),
              states);
    EXPECT_EQ(std::vector<std::int32_t>(&pEffectManager->EventRuns[0][0], &pEffectManager->EventRuns[0][0] + 100),
              runs);
    EXPECT_TRUE(watch.With("start").empty());
    pMouse->m_nX = 13 * 32 + 5;
    Frame();
    EXPECT_EQ(pFrame->m_nToolTipScene, 1);
    // The event's own mark for its destination, and an event that may not start: no name.
    pMouse->m_nX = 11 * 32 + 5;
    Frame();
    EXPECT_EQ(pFrame->m_nToolTipScene, -1);
    pMouse->m_nX = 12 * 32 + 5;
    Frame();
    EXPECT_EQ(pFrame->m_nToolTipScene, -1);
    // The scene's own exit mark hides the name too.
    pMouse->m_nX = 10 * 32 + 5;
    pFrame->m_nExitMark = 1;
    Frame();
    EXPECT_EQ(pFrame->m_nToolTipScene, -1);
}

// Over any region whose event could start the hero's talk target goes, and where nothing
// could start it stays; the cursor takes shape 2 over any such event, and the frame's end
// keeps it only where the event leads to another scene: elsewhere it ends shape 0.
TEST_F(ScriptCommandTest, HoverOverAStartableEventDropsTheTalkTargetAndOnlyAnExitKeepsShapeTwo) {
    Load("scene 0\nevent 0\n  Nop\nevent 1 limit 0\n  Nop\nevent 2\n  SetScene 1 200 300 -1\n");
    PutRegions(MakeTestScene(20, 20), {0, 1, 2});  // a talk, a spent event, an exit
    pPlayer->ptPos = POINT{2 * 32 + 16, 12 * 32 + 16};
    pFrame->m_bSceneShown = 0;
    auto frameOver = [&](int cx, int cy) {
        pMouse->m_nX = cx * 32 + 5;
        pMouse->m_nY = cy * 32 + 5;
        for (int i = 0; i < 3; ++i) {
            AdvanceVirtualClock(20);
            dwNowTime = TimeGetTime();
            pFrame->UpdateFrame();
        }
    };
    pPlayer->nTalkTarget = 7;
    frameOver(10, 5);
    EXPECT_EQ(pMouse->m_nShape, 0) << "no way out here";
    EXPECT_EQ(pFrame->m_nToolTipScene, -1);
    EXPECT_EQ(pPlayer->nTalkTarget, -1);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(State(0, 0), 0) << "the hover starts nothing";
    // Inside the frame the talk takes shape 2 as well: a talker drawn after the scheduler
    // finds the cursor taken.
    pFrame->UpdateScript();
    EXPECT_EQ(pMouse->m_nShape, 2);
    frameOver(10, 5);
    EXPECT_EQ(pMouse->m_nShape, 0);
    // Nothing here, then an event that may not start: shape 0, the target kept.
    pPlayer->nTalkTarget = 7;
    frameOver(3, 3);
    EXPECT_EQ(pMouse->m_nShape, 0);
    frameOver(11, 5);
    EXPECT_EQ(pMouse->m_nShape, 0);
    EXPECT_EQ(pPlayer->nTalkTarget, 7);
    // A way out: shape 2 and the scene's name; back over the talk, shape 0 again.
    frameOver(12, 5);
    EXPECT_EQ(pMouse->m_nShape, 2);
    EXPECT_EQ(pFrame->m_nToolTipScene, 1);
    EXPECT_EQ(pPlayer->nTalkTarget, -1);
    frameOver(10, 5);
    EXPECT_EQ(pMouse->m_nShape, 0);
}

// The battle's sub-scripts: a listed event takes its steps and is marked started; an
// event the scene does not list leaves the steps as they are and is marked all the same.
TEST_F(ScriptCommandTest, ASubScriptOfAnUnknownEventKeepsTheStepsAndMarksTheEvent) {
    Load("scene 0\nevent 0\n  Nop\n  Nop\n  Nop\nevent 1\n  CounterAAdd 1\n");
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    pFrame->CurrentScript = 1;
    EXPECT_EQ(pFrame->StartSubScript(7), 1);
    EXPECT_EQ(pFrame->FirstScript, 0);
    EXPECT_EQ(pFrame->EndScript, 2);
    EXPECT_EQ(State(0, 7), 1);
    EXPECT_EQ(pFrame->m_nSavedCurrentScript, 1);
    EXPECT_EQ(pFrame->m_nSavedEndScript, 2);
    EXPECT_EQ(pFrame->StartSubScript(1), 3);
    EXPECT_EQ(pFrame->FirstScript, 3);
    EXPECT_EQ(pFrame->EndScript, 3);
    EXPECT_EQ(State(0, 1), 1);
    // Numbers outside the state table mark nothing.
    EXPECT_EQ(pFrame->StartSubScript(150), 3);
    EXPECT_EQ(pFrame->StartSubScript(-4), 3);
}

// Taking an item frees its last bag cell in the open item panel too; the last unit takes
// every cell of the item with it.
TEST_F(ScriptCommandTest, TakeItemEmptiesTheOpenItemPanelsCell) {
    std::vector<ItemRow> items(4);
    for (ItemRow& row : items) std::fill(&row.nBagCell[0][0], &row.nBagCell[0][0] + kMemberCount * kBagCellCount, -1);
    items[2].nType = 2;     // goods
    items[2].nGirdNum = 0;  // one cell
    pGameData->pItem = items.data();
    pGameData->nItemCount = 4;
    pPlayer->nItemCount[2] = 3;
    const int nMember = pPlayer->TableMember();
    for (int c : {5, 9, 12}) items[2].nBagCell[nMember][c] = c;
    InstallToolBarLinks();
    PanelLink().CreatePanels();
    CGameToolBar* pBar = PanelLink().GetToolBar();
    ASSERT_NE(pBar, nullptr);
    pBar->ToggleItemPanel();
    const auto* pItems = dynamic_cast<CItemMenu*>(pBar->Panel(kItemPanel));
    ASSERT_NE(pItems, nullptr);
    for (int c : {5, 9, 12}) ASSERT_EQ(pItems->Grid().ItemAt(c), 2) << c;

    Run("  TakeItem 2\n");
    EXPECT_EQ(pPlayer->nItemCount[2], 2);
    EXPECT_EQ(items[2].nBagCell[nMember][12], -1);
    EXPECT_EQ(pItems->Grid().ItemAt(12), -1);
    EXPECT_EQ(pItems->Grid().ItemAt(9), 2);
    pFrame->nEventId = -1;
    Run("  TakeItem 2\n  TakeItem 2\n  TakeItem 2\n");
    EXPECT_EQ(pPlayer->nItemCount[2], 0);
    for (int c : {5, 9}) {
        EXPECT_EQ(items[2].nBagCell[nMember][c], -1) << c;
        EXPECT_EQ(pItems->Grid().ItemAt(c), -1) << c;
    }
    RemoveToolBarLinks();
    pGameData->pItem = nullptr;
    pGameData->nItemCount = 0;
}

// The look command sets the hero's look and shows the hero again in the open state and
// skill panels; the item panel takes the hero's portrait and its first page again.
TEST_F(ScriptCommandTest, HeroPanelSetsTheLookAndRefreshesTheOpenPanels) {
    MakeTestScene(20, 20);  // the panel keys work on the map
    InstallToolBarLinks();
    PanelLink().CreatePanels();
    CGameToolBar* pBar = PanelLink().GetToolBar();
    ASSERT_NE(pBar, nullptr);
    CPlayer companion;
    pCompanion = &companion;
    pBar->m_nCompanion = 2;
    pBar->OnKeyDown('S', 0);
    pBar->OnKeyDown('J', 0);
    auto* pState = dynamic_cast<CStateMenu*>(pBar->Panel(kStatePanel));
    auto* pSkills = dynamic_cast<CSkillMenu*>(pBar->Panel(kSkillPanel));
    ASSERT_NE(pState, nullptr);
    ASSERT_NE(pSkills, nullptr);
    const RECT& rcRight = pState->GetButtonRect(CStateMenu::kRightArrow);
    pMouse->m_nX = int(rcRight.left + rcRight.right) / 2;
    pMouse->m_nY = int(rcRight.top + rcRight.bottom) / 2;
    pState->UpdateStateHover();
    pState->OnLButtonUp();
    pSkills->ShowCompanion(2);
    ASSERT_FALSE(pState->IsHeroShown());
    ASSERT_FALSE(pSkills->IsHeroShown());
    Run("  HeroPanel 1\n");
    EXPECT_EQ(pPlayer->bAltLook, 1);
    EXPECT_TRUE(pState->IsHeroShown());
    EXPECT_TRUE(pSkills->IsHeroShown());

    pBar->CloseAllPanels();
    pBar->ToggleItemPanel();
    auto* pItems = dynamic_cast<CItemMenu*>(pBar->Panel(kItemPanel));
    ASSERT_NE(pItems, nullptr);
    pItems->ShowItemPage2();
    ASSERT_EQ(pItems->GetPage(), CItemMenu::kPageOther);
    pFrame->nEventId = -1;
    Run("  HeroPanel 0\n  HeroPanel 4\n");
    EXPECT_EQ(pPlayer->bAltLook, 0);
    EXPECT_EQ(pItems->GetPage(), CItemMenu::kPageGoods);
    pCompanion = nullptr;
    RemoveToolBarLinks();
}

TEST_F(ScriptCommandTest, WaitTalkEndsOnAPressOnlyAfterItsFirstSecondOrOnAQuit) {
    InjectMouseButton(VK_LBUTTON, true, 100, 100);
    DWORD dwStart = TimeGetTime();
    pFrame->WaitTalk("x");
    EXPECT_GT(TimeGetTime() - dwStart, 1000u);
    EXPECT_LT(TimeGetTime() - dwStart, 1200u);
    InjectMouseButton(VK_LBUTTON, false, 100, 100);

    PostQuitMessage(0);
    dwStart = TimeGetTime();
    pFrame->WaitTalk("x");
    EXPECT_LT(TimeGetTime() - dwStart, 100u);
    // The quit stays for the main loop.
    MSG msg;
    bool bQuit = false;
    while (PeekMessage(&msg, true)) bQuit = bQuit || msg.message == WM_QUIT;
    EXPECT_TRUE(bQuit);
}

TEST_F(ScriptCommandTest, DamageZoneAndHeadsCheckTheirSlots) {
    Run("  DamageZone 4 10\n  ShowUpHead 4 1 0\n  HideUpHead -1\n", 4);
    EXPECT_EQ(pFrame->m_nDamageMember, -1);
    pFrame->nEventId = -1;
    Run("  DamageZone 2 10\n", 1);
    EXPECT_EQ(pFrame->m_nDamageMember, 2);
    EXPECT_EQ(pFrame->m_nDamageAmount, 10);
    EXPECT_EQ(Mode(), 16);
}

}  // namespace

namespace {

// A battle that cannot be set up (no background to show) is not won: its event ends
// before the steps that reward the victory, as a background out of range is refused.
TEST_F(ScriptCommandTest, ABattleThatIsNotFoughtEndsItsEvent) {
    for (const char* pszFight : {"  Fight 1 0 -1 -1\n", "  Fight 2147483647 0 -1 -1\n"}) {
        SCOPED_TRACE(pszFight);
        pPlayer->nCounterA = 0;
        Run(std::string(pszFight) + "  CounterAAdd 5\n");
        EXPECT_EQ(pPlayer->nCounterA, 0);
        EXPECT_EQ(pFrame->nEventId, -1);
    }
}

}  // namespace
