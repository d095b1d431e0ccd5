// A game's course through the main window, on a game folder with the sample scenes 0
// and 1 and a few plain scenes: the new game after any game, the scene change with its
// skips, transitions and white scenes, walking by map click through the map link, the
// party's link calls, the scene map closed by a scene change, and the three ways back
// to the title.
#include <cstring>
#include <filesystem>
#include <memory>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "lan/DescBar.h"
#include "lan/GoodsGrid.h"
#include "lan/GoodsPanel.h"
#include "lan/StatusPanel.h"
#include "platform/WindowBackend.h"
#include "shell/HeroLink.h"
#include "shell/PictureStore.h"
#include "shell/SceneLink.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/ScriptTestUtil.h"
#include "tests/shell/ShellTestUtil.h"
#include "tests/world/SceneTestUtil.h"
#include "tools/gamekit/NpcRecordWriter.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/SampleScenes.h"
#include "world/FreeCell.h"
#include "world/PathFinder.h"
#include "world/Player.h"

namespace {

// Plain open scenes besides the sample scenes 0 (town) and 1 (grove).
constexpr int kPlainScenes[] = {5, 7, 20, 23};
// The heroine starts inside the town's L wall.
constexpr POINT kStart{464, 528};

class GameFlow : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        WriteFolder();
        ASSERT_NO_FATAL_FAILURE(OpenGameFolder(folder.Path()));
        pFrame->m_bInGame = 0;
        pFrame->m_bMusicOn = 0;
        InstallSceneLinks();
    }
    void TearDown() override {
        FrameTest::TearDown();  // the main window deletes the world through the map link
        EXPECT_EQ(pScene, nullptr);
        EXPECT_EQ(pPlayer, nullptr);
        for (CPlayer* p : pParty) EXPECT_EQ(p, nullptr);
        CloseGameFolder();
    }
    void WriteFolder() {
        GameModel model;
        model.options.nScene = 0;
        model.options.nPlayerX = kStart.x;
        model.options.nPlayerY = kStart.y;
        model.options.nPlayerSpeed = 10;
        model.options.nDataFrom = 1;
        for (int m = 0; m < 4; ++m) model.levels[size_t(m)] = LevelModel{0, 7, 3, 100, 40, 5, 0, 0, 16};
        std::string why;
        ASSERT_TRUE(WriteGameDataFiles(folder.Path().c_str(), model, &why)) << why;
        SamplePictureOptions pictures;
        pictures.nItemCount = 2;
        pictures.nFaceCount = 1;
        pictures.nSceneCount = 1;
        pictures.sculpts = {1, 2, 3, 4, 5};
        pictures.heroSculpts = pictures.sculpts;
        pictures.nHeroActions = 3;  // stand, walk, run
        pictures.nHeroFrames = 2;
        // Script effect 42 of command 40 shows effect 43.
        pictures.nEffects = 44;
        pictures.nEffectFrames = 1;
        ASSERT_TRUE(WriteSamplePictures(folder.Path(), pictures, &why)) << why;
        ASSERT_TRUE(WriteSampleScenes(folder.Path(), &why)) << why;
        for (int n : kPlainScenes) WritePlainScene(n);
    }
    // Event 0 of scene 0 with the steps given, started; the script data is replaced.
    void StartTownEvent(const std::string& strSteps) {
        pFrame->pScript = nullptr;  // it pointed into the script data replaced here
        delete pGameData->pScriptData;
        pGameData->pScriptData = LoadScriptText("scene 0\nevent 0\n" + strSteps);
        ASSERT_EQ(pFrame->StartEvent(0), 0);
    }
    // Command 1 from the town to the grove with the operands after the hero point; the
    // virtual time the interpreter took over it.
    DWORD RunSceneCommand(const std::string& strOperands) {
        if (pFrame->m_nCurrentScene != 0 || !pScene) {
            EXPECT_TRUE(pFrame->ChangeScene(0, 0, 0));
        }
        StartTownEvent("  SetScene 1 200 300 " + strOperands + "\n");
        const DWORD dwStart = TimeGetTime();
        pFrame->RunScript();
        return TimeGetTime() - dwStart;
    }
    // Drops the quit request a close left and lets the game run again.
    void Revive() {
        MSG msg;
        while (PeekMessage(&msg, true)) {
        }
        pFrame->m_bRunning = 1;
    }
    void WritePlainScene(int n) {
        MapFileData map = EmptyMap(0, 30, 30);
        SettingFileData setting;
        setting.regions.resize(map.cells.size());
        setting.regionIndex.assign(map.cells.size(), -1);
        std::string why;
        ASSERT_TRUE(WriteSceneFiles(folder.Path(), n, map, setting, &why)) << why;
    }
    void RemoveScene(int n) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "map/scene%03d.map", n);
        std::filesystem::remove(folder.Path() + "/" + szName);
    }
    // The back buffer's pixel at (x, y) in the screen's colour words.
    DWORD BackPixel(int x, int y) {
        pBack->Lock();
        const DWORD c = pBack->GetPixel(x, y);
        pBack->Unlock();
        return c;
    }
    // Runs main-loop passes for nMs of virtual time.
    void Passes(DWORD nMs) {
        const DWORD dwEnd = TimeGetTime() + nMs;
        while (TimeGetTime() < dwEnd) pFrame->RunOnePass();
    }

    CBaseFolderGuard guard;
    CTempFolder folder;
};

TEST_F(GameFlow, ANewGameAfterAnyGameStartsWithTheHeroineAloneAtTheStart) {
    // Whatever the last game left behind.
    pPlayer = new CPlayer;
    pParty[1] = new CPlayer;
    pParty[2] = new CPlayer;
    links.SetActiveSlot(2);
    pFrame->m_nPartyCount = 3;
    pFrame->m_nPartyIds[1] = 2;
    pFrame->m_nPartyIds[2] = 1;
    pFrame->m_pEventFlagsA[5][5] = 7;
    pFrame->m_pEventFlagsB[199][99] = 1;
    pFrame->m_nBankMoney = 500;
    pFrame->m_nCurrentScene = 1;
    pMouse->m_nCarriedItem = 7;  // a unit lifted from the bag in the last game
    // A scene effect and a countdown the last game ended in.
    pFrame->bSceneEffectWait = 1;
    pFrame->m_nSceneEffectWait2 = 1;
    pFrame->m_nCountdownSeconds = 30;
    pFrame->m_dwCountdownTick = 5;

    pFrame->NewGame();
    EXPECT_EQ(pFrame->bSceneEffectWait, 0);
    EXPECT_EQ(pFrame->m_nSceneEffectWait2, 0);
    EXPECT_EQ(pFrame->m_nCountdownSeconds, 0);
    EXPECT_EQ(pFrame->m_dwCountdownTick, 0u);
    EXPECT_EQ(pMouse->m_nCarriedItem, -1);
    ASSERT_NE(pScene, nullptr);
    ASSERT_NE(pPlayer, nullptr);
    EXPECT_EQ(pFrame->m_nCurrentScene, 0);
    EXPECT_EQ(pScene->nSceneNo, 0);
    EXPECT_EQ(pFrame->m_nPartyCount, 1);
    EXPECT_EQ(pFrame->m_nPartyIds[0], 0);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(pFrame->m_nPartyIds[i], -1);
        EXPECT_EQ(pParty[i], nullptr);
    }
    ASSERT_NE(pParty[0], nullptr);
    EXPECT_EQ(pParty[0]->nMember, 0);
    EXPECT_EQ(links.GetActiveSlot(), 1);
    EXPECT_EQ(links.GetPartyCount(), 1);
    EXPECT_EQ(pFrame->m_pEventFlagsA[5][5], 0);
    EXPECT_EQ(pFrame->m_pEventFlagsB[199][99], 0);
    EXPECT_EQ(pFrame->m_nBankMoney, 0);
    EXPECT_TRUE(pFrame->m_bInGame);
    EXPECT_EQ(pFrame->GetGameMode(), 3);
    EXPECT_EQ(pFrame->m_nSceneChanging, 0);
    EXPECT_TRUE(pFrame->m_bInputHold);
    EXPECT_EQ(pPlayer->nSculpt, 1);
    EXPECT_EQ(pPlayer->mapObject.nKind, kKindHero);
    EXPECT_EQ(pPlayer->ptPos.x, kStart.x);
    EXPECT_EQ(pPlayer->ptPos.y, kStart.y);
    EXPECT_GT(pPlayer->nFrameCounts[1], 0);
    EXPECT_EQ(pPlayer->pPartyMembers[0], pPlayer);
    // The parked copy is never updated or drawn.
    pScene->RebuildBlockMap();
    pScene->BuildDrawList();
    const auto& list = pScene->GetDrawList();
    EXPECT_EQ(std::count(list.begin(), list.end(), &pParty[0]->mapObject), 0);
    EXPECT_EQ(std::count(list.begin(), list.end(), &pPlayer->mapObject), 1);
}

TEST_F(GameFlow, TheTitleAndANewGameLeaveTheLibraryPanelsUnmade) {
    Passes(500);
    pFrame->NewGame();
    Passes(1000);
    ASSERT_NE(pScene, nullptr);
    EXPECT_EQ(pGoodsGrid, nullptr);
    EXPECT_EQ(pGoodsPanel, nullptr);
    EXPECT_EQ(pStatusPanel, nullptr);
    EXPECT_EQ(pDescBar, nullptr);
}

// The scene map (TAB) shows the scene it was opened in: a scene change closes it, and
// opened again it shows the new scene.
TEST_F(GameFlow, ASceneChangeClosesTheSceneMapOfTheSceneLeft) {
    CToolBarPanelLink panels;
    SetPanelLink(&panels);
    panels.CreatePanels();
    pFrame->NewGame();
    CGameToolBar* pBar = panels.GetToolBar();
    ASSERT_NE(pBar, nullptr);
    pBar->OnKeyDown(VK_TAB, 0);
    ASSERT_NE(pBar->m_pSceneMap, nullptr);
    ASSERT_TRUE(pFrame->ChangeScene(1, 0, 100));
    EXPECT_EQ(pBar->m_pSceneMap, nullptr);
    pBar->OnKeyDown(VK_TAB, 0);
    EXPECT_NE(pBar->m_pSceneMap, nullptr);
    SetPanelLink(&links);
}

TEST_F(GameFlow, MissingScenesAreSkippedInTheDirectionOfTravel) {
    pFrame->NewGame();
    ASSERT_TRUE(pFrame->ChangeScene(5, 0, 100));
    EXPECT_TRUE(pFrame->ChangeScene(6, 0, 100));
    EXPECT_EQ(pFrame->m_nCurrentScene, 7);
    EXPECT_EQ(pScene->nSceneNo, 7);
    ASSERT_TRUE(pFrame->ChangeScene(5, 0, 100));
    EXPECT_TRUE(pFrame->ChangeScene(3, 0, 100));
    EXPECT_EQ(pFrame->m_nCurrentScene, 1);
    EXPECT_EQ(pScene->nSceneNo, 1);
    EXPECT_TRUE(pFrame->m_bRunning);

    // Numbers outside the scene table change nothing and leave input alone.
    EXPECT_FALSE(pFrame->ChangeScene(-1, 0, 100));
    EXPECT_FALSE(pFrame->ChangeScene(200, 0, 100));
    EXPECT_EQ(pFrame->m_nSceneChanging, 0);
    EXPECT_EQ(pScene->nSceneNo, 1);
}

TEST_F(GameFlow, AMissingCurrentMapEndsTheGameCleanly) {
    pFrame->NewGame();
    ASSERT_TRUE(pFrame->ChangeScene(5, 0, 100));
    EXPECT_STREQ(pFrame->GetFailure(), "");
    RemoveScene(5);
    EXPECT_FALSE(pFrame->ChangeScene(5, 0, 100));
    EXPECT_EQ(pScene, nullptr);
    EXPECT_FALSE(pFrame->m_bRunning);
    EXPECT_EQ(pFrame->m_nSceneChanging, 0);
    // An end the player did not ask for: the process exits with a failure status.
    EXPECT_EQ(TextToUtf8(pFrame->GetFailure()), "没有找到地图文件 scene005.map\nmap\\scene005.map: does not exist");
}

TEST_F(GameFlow, ADamagedSettingFileIsSkippedLikeADamagedMap) {
    pFrame->NewGame();
    ASSERT_TRUE(pFrame->ChangeScene(7, 0, 100));
    // Scene 5's first region claims 256 events: from 7 the change passes over 5 (and the
    // missing 3) to the grove, naming the file, the field and the offset.
    std::vector<std::uint8_t> bytes = folder.Read("map/scene005.set");
    const size_t nAt = kFileHeaderSize + 8 + 4;
    ASSERT_GT(bytes.size(), nAt + 4);
    const std::int32_t nCount = 256;
    std::memcpy(&bytes[nAt], &nCount, 4);
    folder.Write("map/scene005.set", bytes);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(pFrame->ChangeScene(5, 0, 100));
    const std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_EQ(pScene->nSceneNo, 1);
    EXPECT_NE(strErr.find("scene 5: map\\scene005.set"), std::string::npos) << strErr;
    EXPECT_NE(strErr.find("event count 256 at offset " + std::to_string(nAt)), std::string::npos) << strErr;
    EXPECT_TRUE(pFrame->m_bRunning);
}

// A setting file that is missing, empty, short or of another kind leaves the scene empty
// and says so in one line naming the file and why.
TEST_F(GameFlow, ASettingFileWithoutItsHeaderIsSaidInOneLine) {
    pFrame->NewGame();
    const std::vector<std::uint8_t> good = folder.Read("map/scene005.set");
    std::vector<std::uint8_t> damaged = good;
    damaged[3] ^= 0x40;
    const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
        {damaged, "the header at offset 0 is not a setting file header"},
        {std::vector<std::uint8_t>(good.begin(), good.begin() + 20), "20 bytes, shorter than the 32-byte header"},
        {{}, "the file is empty"},
        {{}, "does not exist"}};
    for (const auto& [bytes, strWhy] : cases) {
        if (strWhy == "does not exist") std::filesystem::remove(folder.Path() + "/map/scene005.set");
        else folder.Write("map/scene005.set", bytes);
        ASSERT_TRUE(pFrame->ChangeScene(7, 0, 100));
        testing::internal::CaptureStderr();
        EXPECT_TRUE(pFrame->ChangeScene(5, 0, 100));
        const std::string strErr = testing::internal::GetCapturedStderr();
        EXPECT_EQ(pScene->nSceneNo, 5);
        EXPECT_EQ(pScene->GetNpcCount(), 0);
        EXPECT_EQ(strErr, "game: map\\scene005.set: " + strWhy + "; the scene has no characters, regions or events\n");
    }
}

TEST_F(GameFlow, ACharacterThatCannotBeSetUpEndsTheGameAsAFailure) {
    pFrame->NewGame();
    MapFileData map = EmptyMap(0, 30, 30);
    SettingFileData setting;
    setting.regions.resize(map.cells.size());
    setting.regionIndex.assign(map.cells.size(), -1);
    NpcRecordModel npc;
    npc.nId = 1;
    npc.nCellX = npc.nCellY = 3;
    npc.nSculpt = 300;  // past the sprite package
    setting.npcs.push_back(BuildNpcRecord(npc));
    std::string why;
    ASSERT_TRUE(WriteSceneFiles(folder.Path(), 9, map, setting, &why)) << why;
    testing::internal::CaptureStderr();
    pFrame->ChangeScene(9, 0, 100);
    const std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(strErr.find("Init NPC failed, Sculpt : 300"), std::string::npos) << strErr;
    EXPECT_FALSE(pFrame->m_bRunning);
    EXPECT_STREQ(pFrame->GetFailure(),
                 "Init NPC failed, Sculpt : 300\nmap\\scene009.set: character 0 (id 1): sculpt 300 is outside 0..299");
}

TEST_F(GameFlow, AMissingSceneZeroEndsTheGameCleanly) {
    pFrame->NewGame();
    ASSERT_TRUE(pFrame->ChangeScene(1, 0, 100));
    RemoveScene(0);
    EXPECT_FALSE(pFrame->ChangeScene(0, 0, 100));
    EXPECT_EQ(pScene, nullptr);
    EXPECT_FALSE(pFrame->m_bRunning);
    EXPECT_EQ(pFrame->m_nSceneChanging, 0);
}

TEST_F(GameFlow, ScenesTwentyAndTwentyThreeStartWhiteOthersBlack) {
    pFrame->NewGame();
    const DWORD white = pScreen->RgbToPixel(RGB(255, 255, 255), pBack);
    const DWORD black = pScreen->RgbToPixel(RGB(0, 0, 0), pBack);
    ASSERT_TRUE(pFrame->ChangeScene(20, 0, 100));
    EXPECT_EQ(BackPixel(400, 300), white);
    ASSERT_TRUE(pFrame->ChangeScene(23, 0, 100));
    EXPECT_EQ(BackPixel(5, 590), white);
    ASSERT_TRUE(pFrame->ChangeScene(7, 0, 100));
    EXPECT_EQ(BackPixel(400, 300), black);
}

TEST_F(GameFlow, EachTransitionKindChangesFromTheTownToTheGrove) {
    pFrame->NewGame();
    // Kind: the least virtual time the transition takes (20 ms a presented frame).
    const DWORD kLeast[4] = {80, 2 * 51 * 20, 11 * 20, 0};
    for (int nKind = 0; nKind < 4; ++nKind) {
        ASSERT_TRUE(pFrame->ChangeScene(0, 0, 0));
        pFrame->m_bInputHold = 0;
        Passes(100);
        const DWORD dwStart = TimeGetTime();
        ASSERT_TRUE(pFrame->ChangeScene(1, nKind, 100)) << nKind;
        EXPECT_GE(TimeGetTime() - dwStart, kLeast[nKind]) << nKind;
        EXPECT_EQ(pScene->nSceneNo, 1);
        EXPECT_EQ(pPlayer->bWipe, 0);
        Passes(300);
        const std::string strShot = folder.Path() + "/kind" + std::to_string(nKind) + ".png";
        ASSERT_TRUE(WritePng(LastFrame(), strShot));
        EXPECT_GT(std::filesystem::file_size(strShot), 1000u);
        // The grove is drawn: the middle of the screen is not the cleared black.
        const FrameImage& frame = LastFrame();
        const BYTE* p = frame.rgb.data() + (size_t(300) * size_t(frame.nWidth) + 400) * 3;
        EXPECT_GT(int(p[0]) + int(p[1]) + int(p[2]), 0) << nKind;
    }
}

// The scene command passes its transition kind and time on: a time of -1 is the 500 ms
// default for every kind, the short forms give kind 0 in 100 ms or keep kind and time,
// every transition ends, and a close while one plays ends the game.
TEST_F(GameFlow, TheSceneCommandsTransitionTakesItsTimeAndACloseEndsIt) {
    pFrame->NewGame();
    struct Case {
        const char* pszOperands;
        DWORD dwLeast, dwMost;
    };
    // A wipe runs 51 passes each way after its delay (100 ms for the opening one); the
    // welcome fade 10 more passes after its delay; passes take 20 ms or a little more.
    // The loading screen takes its own time whatever the command says.
    const Case cases[] = {
        {"0 40 0", 0, 200},        {"0 -1 0", 200, 1500},     {"-1", 0, 300},
        {"1 300 0", 2340, 6000},   {"1 -1 0", 2540, 6500},    {"1 300 -1", 2340, 6000},
        {"2 300 0", 480, 2000},    {"2 -1 0", 680, 2200},     {"2 600 -1", 780, 2500},
        {"3 300 0", 0, 3000},      {"3 -1 0", 0, 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszOperands);
        const DWORD dwTook = RunSceneCommand(c.pszOperands);
        EXPECT_GE(dwTook, c.dwLeast);
        EXPECT_LE(dwTook, c.dwMost);
        EXPECT_EQ(pFrame->m_nCurrentScene, 1);
        ASSERT_NE(pScene, nullptr);
        EXPECT_EQ(pScene->nSceneNo, 1);
        EXPECT_EQ(pPlayer->bWipe, 0);
        EXPECT_TRUE(pFrame->m_bRunning);
    }

    // A minute's delay, closed 400 ms in: the wipe and the welcome fade stop at once; the
    // plain fade and the loading screen end on their own, and the close ends the game
    // at the next pass.
    for (int nKind = 0; nKind < 4; ++nKind) {
        SCOPED_TRACE(nKind);
        ASSERT_TRUE(pFrame->ChangeScene(0, 0, 0));
        ASSERT_EQ(LoadInputScriptText("400 close\n", "close"), 0);
        const DWORD dwTook = RunSceneCommand(std::to_string(nKind) + " 60000 0");
        EXPECT_LT(dwTook, nKind == 1 || nKind == 2 ? 1500u : 4500u);
        EXPECT_EQ(pFrame->m_nCurrentScene, 1);
        for (int i = 0; i < 20 && pFrame->m_bRunning; ++i) pFrame->RunOnePass();
        EXPECT_FALSE(pFrame->m_bRunning);
        Revive();
    }
}

// A scene command that cannot change the scene tells the player once what failed and
// ends the game: the map of a scene that is not there, or a number that is no scene.
TEST_F(GameFlow, AFailedSceneCommandShowsOneMessageNamingWhatFailed) {
    auto count = [](const std::string& strText, const std::string& strWhat) {
        int n = 0;
        for (size_t at = strText.find(strWhat); at != std::string::npos; at = strText.find(strWhat, at + 1)) ++n;
        return n;
    };
    pFrame->NewGame();
    ::testing::internal::CaptureStderr();
    RunSceneCommand("-1");  // scene 1 is there: no message
    pFrame->NewGame();
    pFrame->pScript = nullptr;
    delete pGameData->pScriptData;
    pGameData->pScriptData = LoadScriptText("scene 0\nevent 0\n  SetScene 6 200 300 -1\nevent 1\n  SetScene -1 200 300 -1\n");
    ASSERT_EQ(pFrame->StartEvent(0), 0);
    pFrame->RunScript();
    std::string strErr = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(strErr, "[message box]"), 1) << strErr;
    EXPECT_NE(strErr.find("scene006.map"), std::string::npos) << strErr;
    EXPECT_FALSE(pFrame->m_bRunning);
    EXPECT_EQ(pFrame->nEventId, -1);
    Revive();

    pFrame->NewGame();
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(pFrame->StartEvent(1), 1);
    pFrame->RunScript();
    strErr = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(strErr, "[message box]"), 1) << strErr;
    EXPECT_NE(strErr.find("Scene -1 "), std::string::npos) << strErr;
    EXPECT_EQ(strErr.find("scene-01"), std::string::npos) << strErr;
    EXPECT_FALSE(pFrame->m_bRunning);
    EXPECT_EQ(pScene->nSceneNo, 0) << "the town stays";
    Revive();
}

// Command 40 waits for the effect it started, not for the whole effect list: scene
// effects playing on beside it do not hold the script.
TEST_F(GameFlow, TheScriptEffectWaitEndsWithItsOwnEffect) {
    pFrame->NewGame();
    pPlayer->nCounterA = 0;
    StartTownEvent("  ScriptEffect\n  CounterAAdd 1\n");
    pFrame->RunScript();
    ASSERT_TRUE(pEffectManager->IsScriptEffectRunning());
    EXPECT_EQ(pFrame->bScriptGoOn, 0);
    for (int i = 0; i < 40 && pPlayer->nCounterA == 0; ++i) {
        ASSERT_TRUE(pEffectManager->Add45Effect(0, 300, 300));
        AdvanceVirtualClock(20);
        dwNowTime = TimeGetTime();
        pFrame->CMainFrame::UpdateScript();
        pFrame->UpdateEffects();
    }
    EXPECT_EQ(pPlayer->nCounterA, 1);
    EXPECT_FALSE(pEffectManager->IsScriptEffectRunning());
    EXPECT_NE(pEffectManager->First(), nullptr) << "the scene effects play on";
}

TEST_F(GameFlow, AMapClickOnAWallSendsTheHeroineAndTheMemberToFreeCells) {
    pFrame->NewGame();
    Passes(300);  // the input hold after the scene change is over
    pFrame->AddPartyMember(1);
    ASSERT_NE(pParty[1], nullptr);
    EXPECT_EQ(pPlayer->pPartyMembers[1], pParty[1]);
    // Once there the member would wander about the heroine after its idle second.
    pParty[1]->nIdleInterval = 100000;
    pScene->RebuildBlockMap();
    // Cell (18, 14) is in the wall's upright; (18, 13) and (18, 15) are too, so the
    // first free cell along the rays is (17, 14).
    const POINT wall = pScene->CellToPixel(18, 14);
    pFrame->WalkHeroTo(wall.x - pScene->ptView.x, wall.y - pScene->ptView.y);
    const POINT expect = pScene->CellToPixel(17, 14);
    EXPECT_EQ(pPlayer->ptGoal.x, expect.x);
    EXPECT_EQ(pPlayer->ptGoal.y, expect.y);
    EXPECT_EQ(pPlayer->nAction, 1);
    // The member walks to its place beside the target: offset (0, 2) for slot 1.
    const POINT member = pScene->CellToPixel(17, 16);
    EXPECT_EQ(pParty[1]->ptGoal.x, member.x);
    EXPECT_EQ(pParty[1]->ptGoal.y, member.y);
    Passes(4000);
    EXPECT_EQ(pPlayer->ptPos.x, expect.x);
    EXPECT_EQ(pPlayer->ptPos.y, expect.y);
    EXPECT_EQ(pParty[1]->ptPos.x, member.x);
    EXPECT_EQ(pParty[1]->ptPos.y, member.y);
}

TEST_F(GameFlow, PartyCallsOfTheMapLinkFindTheirMembersAndPassOverAbsentOnes) {
    pFrame->NewGame();
    CMapLink& map = MapLink();
    EXPECT_TRUE(map.HasHero());
    const int nLife = pPlayer->nLife;
    map.TakeMemberLife(0, 10);
    EXPECT_EQ(pPlayer->nLife, nLife - 10);
    EXPECT_EQ(pParty[0]->nLife, nLife) << "the parked copy is not the heroine";
    map.TakeMemberLife(2, 10);  // not in the party
    map.TakeMemberLife(9, 10);
    map.TakeMemberLife(-1, 10);
    EXPECT_EQ(pPlayer->nLife, nLife - 10);

    EXPECT_FALSE(map.IsHeroInRegion());
    const POINT door = pScene->CellToPixel(5, 6);  // the inn's door is an exit region
    pPlayer->SetMapPosAndHome(door.x, door.y);
    EXPECT_TRUE(map.IsHeroInRegion());

    pPlayer->SetAction(2);
    EXPECT_EQ(map.GetHeroAction(), 2);
    pPlayer->SetAction(4);  // the sprite set has no action 4: refused
    EXPECT_EQ(map.GetHeroAction(), 2);
    pPlayer->nHotKey[2] = 7;
    CShellPictureHost pictures;
    EXPECT_EQ(pictures.GetHotKeySkill(2), 7);
    EXPECT_EQ(pictures.GetHotKeySkill(5), -1);
}

TEST_F(GameFlow, CreditsScrollTheirWholeHeightAndTheEndingItsWidthUnlessEscEndsThem) {
    pFrame->NewGame();
    // Without a screen the loops only count (the clock runs by the polls).
    CDXScreen* pSavedScreen = pScreen;
    pScreen = nullptr;
    pBack = nullptr;
    // A tap of ESC from before the credits or the ending does not end them.
    auto tapEsc = [] {
        InjectKey(VK_ESCAPE, true);
        InjectKey(VK_ESCAPE, false);
    };
    tapEsc();
    pFrame->ShowCredits();
    EXPECT_EQ(pFrame->m_nLastScroll, 1800);
    EXPECT_EQ(pScene, nullptr);
    EXPECT_EQ(pPlayer, nullptr);
    EXPECT_EQ(pFrame->GetGameMode(), 0);
    EXPECT_FALSE(pFrame->m_bInGame);
    EXPECT_NE(Menus().m_pMainMenu, nullptr);

    pFrame->NewGame();
    tapEsc();
    pFrame->PlayEnding(1);
    EXPECT_EQ(pFrame->m_nLastScroll, 1364);
    EXPECT_EQ(pPlayer, nullptr);
    for (CPlayer* p : pParty) EXPECT_EQ(p, nullptr);

    ASSERT_EQ(LoadInputScriptText("500 key down ESC\n600 key up ESC\n", "esc"), 0);
    pFrame->ShowCredits();
    EXPECT_GT(pFrame->m_nLastScroll, 0);
    EXPECT_LT(pFrame->m_nLastScroll, 100);
    // The credits ended with ESC still down; a tap, down and up between two passes,
    // ends the ending.
    ASSERT_EQ(LoadInputScriptText("0 key up ESC\n500 key press ESC\n", "esc"), 0);
    pFrame->PlayEnding(1);
    EXPECT_GT(pFrame->m_nLastScroll, 0);
    EXPECT_LT(pFrame->m_nLastScroll, 100);
    pScreen = pSavedScreen;
    pBack = pScreen->GetBack();
}

// A quit request that comes while the credits or the ending run is kept for the loops
// outside (they run on to their end, as before); a close ends them and the game.
TEST_F(GameFlow, AQuitDuringTheCreditsOrTheEndingStaysQueuedAndACloseEndsThem) {
    auto quitQueued = [] {
        MSG msg;
        bool bQuit = false;
        while (PeekMessage(&msg, true)) bQuit = bQuit || msg.message == WM_QUIT;
        return bQuit;
    };
    CDXScreen* pSavedScreen = pScreen;
    pScreen = nullptr;
    pBack = nullptr;
    pFrame->NewGame();
    PostQuitMessage(0);
    pFrame->ShowCredits();
    EXPECT_EQ(pFrame->m_nLastScroll, 1800);
    EXPECT_TRUE(quitQueued());
    pFrame->NewGame();
    PostQuitMessage(0);
    pFrame->PlayEnding(1);
    EXPECT_EQ(pFrame->m_nLastScroll, 1364);
    EXPECT_TRUE(quitQueued());

    pFrame->NewGame();
    ASSERT_EQ(LoadInputScriptText("300 close\n", "close"), 0);
    pFrame->ShowCredits();
    EXPECT_EQ(pFrame->m_bRunning, 0);
    EXPECT_LT(pFrame->m_nLastScroll, 1800);
    EXPECT_TRUE(quitQueued());
    pFrame->m_bRunning = 1;
    pFrame->NewGame();
    ASSERT_EQ(LoadInputScriptText("300 close\n", "close"), 0);
    pFrame->PlayEnding(1);
    EXPECT_EQ(pFrame->m_bRunning, 0);
    EXPECT_LT(pFrame->m_nLastScroll, 1364);
    EXPECT_TRUE(quitQueued());
    pScreen = pSavedScreen;
    pBack = pScreen->GetBack();
}

TEST_F(GameFlow, GameOverReturnsToTheTitleAndANewGameFollows) {
    // The scene goes first; the heroes are still there when the toolbar is made again.
    class CWatchPanels : public CPanelLink {
    public:
        void CreatePanels() override { bHeroOnly = !pScene && pPlayer && pParty[2]; }
        bool bHeroOnly = false;
    } watch;
    pFrame->NewGame();
    pFrame->AddPartyMember(2);
    pMouse->m_nCarriedItem = 7;
    SetPanelLink(&watch);
    pFrame->GameOver();
    SetPanelLink(nullptr);
    EXPECT_TRUE(watch.bHeroOnly);
    EXPECT_EQ(pMouse->m_nCarriedItem, -1);
    EXPECT_EQ(pScene, nullptr);
    EXPECT_EQ(pPlayer, nullptr);
    for (CPlayer* p : pParty) EXPECT_EQ(p, nullptr);
    EXPECT_EQ(pCompanion, nullptr);
    EXPECT_EQ(pFrame->GetGameMode(), 0);
    EXPECT_FALSE(pFrame->m_bInGame);
    EXPECT_EQ(pFrame->m_nPartyCount, 1);
    EXPECT_NE(Menus().m_pMainMenu, nullptr);
    pFrame->NewGame();
    ASSERT_NE(pPlayer, nullptr);
    EXPECT_NE(pScene, nullptr);
    Passes(200);
    // The window's end deletes the world once (the sanitizer checks the rest).
}

}  // namespace
