// The whole game run in the test's own process over the sample folder: a main window
// that calls the test's hook once a pass, and the sample folder written and entered.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/GameApp.h"
#include "shell/MainFrame.h"
#include "shell/PictureStore.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"

// A main window that calls the hook once a pass, after the event scripts ran.
class CHookedFrame : public CMainFrame {
public:
    void UpdateScript() override {
        CMainFrame::UpdateScript();
        if (onFrame) onFrame();
    }
    std::function<void()> onFrame;
};

// Writes the sample game into FOLDER/game with mkgame and makes it the current folder,
// with the virtual clock and an empty input queue; the folder that was current goes to
// *pOldDir.
[[nodiscard]] inline ::testing::AssertionResult EnterSampleGame(const CTempFolder& folder, std::string* pOldDir) {
    std::string strGame;
    if (::testing::AssertionResult made = WriteSampleFolder(folder, &strGame); !made) return made;
    *pOldDir = GetCurrentDirectory();
    SetCurrentDirectory(strGame.c_str());
    UseVirtualClock(true, 1000, 20);
    ResetMessageQueue();
    return ::testing::AssertionSuccess();
}

// Runs the main window in this process over the entered sample folder with the game's
// links installed, calling onFrame once a pass, until the game ends; the start-up error,
// empty when the game ran.
inline std::string RunHookedGame(const std::function<void()>& onFrame) {
    CGameApp app;  // its start clears the game's globals; its exit deletes them
    nCharSet = 134;
    dwNowTime = TimeGetTime();
    CShellUiLink uiLink;
    SetUiShell(&uiLink);
    InstallShellPictureLinks();
    InstallToolBarLinks();
    InstallSceneLinks();
    auto* pHooked = new CHookedFrame;
    pFrame = pHooked;
    pHooked->onFrame = onFrame;
    if (pFrame->CreateMainWindow()) pFrame->InitGame();
    const std::string strError = pFrame->GetStartupError();
    RemoveToolBarLinks();
    delete pFrame;
    pFrame = nullptr;
    SetUiShell(nullptr);
    RemoveShellPictureLinks();
    app.ExitInstance();
    return strError;
}
