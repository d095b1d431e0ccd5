// Shared pieces of the script-engine tests: a main window with a game-mode object, a
// hero, an effect manager and script data compiled from the text form, a recording
// world in place of the walks, the scene change and the toolbar, and a watcher that
// writes what the engine did as short lines.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "gamedata/ScriptNames.h"
#include "platform/Clock.h"
#include "platform/Stream.h"
#include "platform/WindowBackend.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/SceneLink.h"
#include "shell/ScriptWatch.h"
#include "shell/ScriptWorld.h"
#include "shell/ShellGlobals.h"
#include "tools/gamekit/ScriptCompiler.h"
#include "world/EffectManager.h"
#include "world/Player.h"
#include "world/Scene.h"

// Compiles the text form and loads it as the game would read the file.
inline CScriptData* LoadScriptText(const std::string& strText) {
    std::vector<ScriptSceneModel> scenes;
    std::string why;
    EXPECT_TRUE(CompileScriptText(strText, &scenes, &why)) << why;
    const std::vector<std::uint8_t> bytes = BuildScriptFile(scenes);
    auto* pData = new CScriptData;
    CByteReader reader(bytes, "script.dat");
    EXPECT_TRUE(pData->LoadEventTables(reader) && pData->LoadScripts(reader)) << pData->GetError();
    return pData;
}

class CRecordingWorld : public CScriptWorld {
public:
    std::vector<std::string> calls;
    bool bHeroAtGoal = true;
    bool bNpcAtGoal = true;
    bool bNpcPresent = false;
    bool bChangeSucceeds = true;

    void HeroWalkTo(int x, int y, bool bRun) override {
        calls.push_back((bRun ? "hero run " : "hero walk ") + std::to_string(x) + " " + std::to_string(y));
    }
    bool IsHeroAtGoal() const override { return bHeroAtGoal; }
    bool NpcWalkTo(int nId, int x, int y, bool bRun) override {
        calls.push_back((bRun ? "npc run " : "npc walk ") + std::to_string(nId) + " " + std::to_string(x) + " " +
                        std::to_string(y));
        return bNpcPresent;
    }
    bool IsNpcAtGoal(int) const override { return bNpcAtGoal; }
    bool IsNpcPresentAndStopped(int) const override { return bNpcPresent; }
    void GiveNpcDirection(int nIndex, int nDirection) override {
        calls.push_back("npc direction " + std::to_string(nIndex) + " " + std::to_string(nDirection));
    }
    bool ChangeScene(int nScene, int nKind, int nTime, int nExtra1, int nExtra2, int nExtra3) override {
        calls.push_back("change " + std::to_string(nScene) + " " + std::to_string(nKind) + " " + std::to_string(nTime) +
                        " " + std::to_string(nExtra1) + " " + std::to_string(nExtra2) + " " + std::to_string(nExtra3));
        if (bChangeSucceeds && pFrame) pFrame->m_nCurrentScene = nScene;
        return bChangeSucceeds;
    }
    void SetSceneWeather(int nWeather) override { calls.push_back("weather " + std::to_string(nWeather)); }
    bool IsTextBoxOpen() const override { return bTextBoxOpen; }
    void ShowTextBox(int nText, int nStepMs) override {
        calls.push_back("text box " + std::to_string(nText) + " " + std::to_string(nStepMs));
    }
    bool bTextBoxOpen = false;
};

// "start E R", "run STEP NAME ENDING", "skip STEP NAME", "poll STEP NAME go|wait".
class CLineWatcher : public CScriptWatcher {
public:
    std::vector<std::string> lines;
    void OnStart(int nEvent, int nResult, int, int, int, int) override {
        lines.push_back("start " + std::to_string(nEvent) + " " + std::to_string(nResult));
    }
    void OnCommand(int nStep, const ScriptCommand& c, ScriptEnding ending, bool bSkipped) override {
        lines.push_back((bSkipped ? "skip " : "run ") + std::to_string(nStep) + " " + ScriptCommandName(c.nCommand) +
                        (bSkipped ? "" : std::string(" ") + ScriptEndingName(ending)));
    }
    void OnPoll(int nStep, const ScriptCommand& c, bool bContinued) override {
        lines.push_back("poll " + std::to_string(nStep) + " " + ScriptCommandName(c.nCommand) +
                        (bContinued ? " go" : " wait"));
    }
    // The lines that start with the prefix.
    std::vector<std::string> With(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& s : lines)
            if (s.rfind(prefix, 0) == 0) out.push_back(s);
        return out;
    }
};

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 1000, 20);
        ResetMessageQueue();
        pGameData = new CGameData;
        pEffectManager = new CEffectManager;
        pMouse = new CMouse;
        pFrame = new CMainFrame;
        pFrame->m_pMenuManager = new CMenuManager;
        pFrame->m_pMenuManager->m_nGameMode = 3;
        pFrame->m_bInGame = 1;
        pFrame->m_nScreenWidth = 800;
        pFrame->m_nScreenHeight = 600;
        pFrame->m_nSceneChanging = 0;
        pPlayer = new CPlayer;
        InstallSceneLinks();
        SetScriptWorld(&world);
        SetScriptWatcher(&watch);
    }
    void TearDown() override {
        SetScriptWatcher(nullptr);
        SetScriptWorld(nullptr);
        delete pFrame;  // deletes the scene through the map link
        pFrame = nullptr;
        delete pPlayer;
        pPlayer = nullptr;
        delete pMouse;
        pMouse = nullptr;
        delete pEffectManager;
        pEffectManager = nullptr;
        delete pGameData;
        pGameData = nullptr;
        SetMapLink(nullptr);
        ResetMessageQueue();
    }
    void Load(const std::string& strText) {
        delete pGameData->pScriptData;
        pGameData->pScriptData = LoadScriptText(strText);
    }
    // A rectangular scene on a grid of 32-pixel cells (InitMap with w, h), scene number 0, view at (0, 0).
    CScene& MakeTestScene(int w, int h) {
        delete pScene;
        pScene = new CScene;
        EXPECT_TRUE(pScene->InitMap(w, h, 0, 32));
        pScene->nSceneNo = 0;
        pScene->ptView = POINT{0, 0};
        return *pScene;
    }
    // One frame of the scheduler, with the view following a view command as the
    // frame's actor update does.
    void Frame() {
        AdvanceVirtualClock(20);
        dwNowTime = TimeGetTime();
        pFrame->UpdateScript();
        if (pFrame->pScript && pFrame->m_bViewMove) MapLink().FollowScriptView(pFrame->pScript);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) Frame();
    }
public:
    static std::uint8_t& State(int s, int e) { return pEffectManager->EventStates[s][e]; }
    static std::int32_t& Runs(int s, int e) { return pEffectManager->EventRuns[s][e]; }

protected:
    int Mode() const { return pFrame->GetGameMode(); }

    CRecordingWorld world;
    CLineWatcher watch;
};

// The same with a headless window and an 800 x 600 screen, for scenes built from files.
class ScreenScriptTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        pFrame->m_bFullScreen = 0;
        ASSERT_TRUE(pFrame->CreateMainWindow());
        pScreen = new CDXScreen;
        ASSERT_EQ(pScreen->CreateWindowed(pFrame, 800, 600), 0);
        pBack = pScreen->GetBack();
    }
    void TearDown() override {
        ScriptTest::TearDown();
        delete pScreen;
        pScreen = nullptr;
        pBack = nullptr;
        SetSceneHost(nullptr);
    }
};
