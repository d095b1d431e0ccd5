// The sample story in the sample town, played headless through the main loop: the
// script file compiled from the story, the town built, the heroine at the start point.
// Her walks arrive at once (the walking itself is the hero's own), and her steps into
// the regions are placed directly.
#pragma once
#include <string>

#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "tests/shell/ShellTestUtil.h"
#include "tests/shell/ScriptTestUtil.h"
#include "tools/gamekit/SampleScenes.h"
#include "tools/gamekit/SampleStory.h"
#include "tools/gamekit/ScriptCompiler.h"
#include "shell/SceneLink.h"
#include "shell/ScriptWorld.h"
#include "shell/UiShellLink.h"
#include "ui/menus/TalkBar.h"
#include "world/Player.h"
#include "world/Scene.h"

// The default world, with walks that arrive at once.
class CArrivingWorld : public CScriptWorld {
public:
    void HeroWalkTo(int x, int y, bool) override {
        if (pPlayer) pPlayer->SetMapPosAndHome(x, y);
    }
};

class StoryTest : public ScreenScriptTest {
protected:
    void SetUp() override {
        ScreenScriptTest::SetUp();
        UsePrivateRuntimeFolder();
        std::string why;
        ASSERT_TRUE(WriteSampleScenes(m_folder.Path(), &why)) << why;
        GameModel model;
        ASSERT_TRUE(CompileScriptFile(SampleStoryText(model), m_folder.File("data/script.dat"), &why)) << why;
        SetUiShell(&m_ui);
        pGameData->InitPaths(m_folder.Path().c_str());
        pGameData->LoadOptions();
        ASSERT_TRUE(pGameData->LoadScript()) << pGameData->GetLastError();
        pFrame->m_pMenuManager->InitMenuData();
        SetScriptWorld(&m_world);
        ASSERT_TRUE(MakeScene(0, &why)) << why;
        pPlayer->SetMapPosAndHome(600, 500);
    }
    void TearDown() override {
        ScreenScriptTest::TearDown();
        SetUiShell(nullptr);
    }
    void Passes(int n) {
        for (int i = 0; i < n; ++i) {
            AdvanceVirtualClock(20);
            pFrame->RunOnePass();
        }
    }
    // Clicks of the reader on the talk line, as often as the line needs, until the
    // script has moved past it.
    void ReadTalkLine() {
        const int nStep = pFrame->CurrentScript;
        for (int i = 0; i < 40 && pFrame->GetGameMode() == 9 && pFrame->CurrentScript == nStep; ++i) {
            Passes(15);
            pFrame->OnLButtonDown(MK_LBUTTON, 400, 300);
            pFrame->OnLButtonUp(0, 400, 300);
            Passes(2);
        }
    }
    void Shot(const char* pszName) { EXPECT_TRUE(SaveScreenshotPng(m_folder.File(pszName).c_str())); }
    std::string CurrentTalk() const {
        const CFaceTalkBar* pBar = pFrame->m_pMenuManager->m_pFaceTalkBar;
        return pBar && pFrame->pScript ? pFrame->GetSceneText(pFrame->pScript->a2) : "";
    }
    // Puts the heroine on the cells of a region, as her walk there would.
    void StepInto(int cx, int cy) {
        const POINT pt = pScene->GetCellPoint(cx, cy);
        pPlayer->SetMapPosAndHome(pt.x, pt.y);
    }

    CShellFolder m_folder;
    CShellUiLink m_ui;
    CArrivingWorld m_world;
};
