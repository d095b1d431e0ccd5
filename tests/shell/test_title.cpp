// The title screen in the main loop: the button under the cursor lights, and the quit
// button answered with Yes ends the loop; exit then deletes every global object.
#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "platform/Window.h"
#include "shell/GameApp.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "shell/UiShellLink.h"
#include "tests/shell/ShellTestUtil.h"
#include "ui/menus/MainMenu.h"
#include "ui/menus/MenuPanel.h"

namespace {

class TitleTest : public ::testing::Test {
protected:
    void SetUp() override {
        UsePrivateRuntimeFolder();
        UseVirtualClock(true, 1000, 20);
        ResetMessageQueue();
        m_strOldDir = GetCurrentDirectory();
        SetCurrentDirectory(m_folder.Path().c_str());
        SetUiShell(&m_ui);
        pGameData = new CGameData;
        pGameData->InitPaths(nullptr);
        pGameData->LoadOptions();
        m_strPkg = m_folder.File("bmp/menu.pkg");
        m_pPkg = new CPkgFile(m_strPkg.c_str());
        ASSERT_TRUE(m_pPkg->OpenPath(m_strPkg.c_str()));
        SetMenuPackage(m_pPkg);
        // The part of start-up the title needs: window, screen, cursor, menus.
        pFrame = new CMainFrame;
        ASSERT_TRUE(pFrame->CreateMainWindow());
        pFrame->m_nScreenWidth = 800;
        pFrame->m_nScreenHeight = 600;
        pFrame->m_bFullScreen = 0;
        pFrame->SetWindowMode();
        pFrame->InitScreen();
        ASSERT_NE(pBack, nullptr);
        pMouse = new CMouse;
        ASSERT_TRUE(pMouse->Init());
        pFrame->m_pMenuManager = new CMenuManager;
        pFrame->m_pMenuManager->InitMenuData();
        ASSERT_NE(pFrame->m_pMenuManager->m_pMainMenu, nullptr);
    }
    void TearDown() override {
        delete pFrame;
        pFrame = nullptr;
        // The application object's constructor empties the data pointers (as the one
        // static object does before start-up), so the game data goes first.
        delete pGameData;
        pGameData = nullptr;
        CGameApp app;
        app.ExitInstance();
        SetMenuPackage(nullptr);
        delete m_pPkg;
        SetUiShell(nullptr);
        SetCurrentDirectory(m_strOldDir.c_str());
        ResetMessageQueue();
    }
    CShellFolder m_folder;
    CShellUiLink m_ui;
    std::string m_strOldDir, m_strPkg;
    CPkgFile* m_pPkg = nullptr;
};

TEST_F(TitleTest, TheButtonUnderTheCursorLights) {
    CMainMenu* pMenu = pFrame->m_pMenuManager->m_pMainMenu;
    struct Probe {
        int x, y, nButton;
    };
    const Probe probes[] = {{185, 220, 0}, {379, 259, 0}, {200, 300, 1}, {300, 360, 2}, {190, 430, 3},
                            {250, 500, 4}, {184, 240, -1}, {380, 240, -1}, {250, 270, -1}, {250, 530, -1}};
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        pFrame->OnMouseMove(0, p.x, p.y);
        pFrame->m_pMenuManager->Draw(0);
        EXPECT_EQ(pMenu->GetHoveredButton(), p.nButton);
    }
}

TEST_F(TitleTest, QuitAnsweredWithYesEndsTheMainLoop) {
    // After the 3 s start-picture wait: over the quit button, click it, then click OK
    // of the question box at (400, 225).
    const DWORD dwStart = TimeGetTime();
    LoadInputScriptText(
        "3500 move 250 500\n"
        "3600 lbutton down 250 500\n"
        "3640 lbutton up 250 500\n"
        "4200 move 470 350\n"
        "4400 lbutton down 470 350\n"
        "4440 lbutton up 470 350\n"
        "20000 close\n",
        "title-quit");
    pFrame->Run();
    EXPECT_EQ(pFrame->m_bRunning, 0);
    // The question box ended the loop, not the close request at 20 s.
    EXPECT_LT(TimeGetTime() - dwStart, 15000u);
    EXPECT_EQ(bMsgBoxOpen, 0);
}

TEST_F(TitleTest, QuitAnsweredWithCancelLeavesTheTitle) {
    LoadInputScriptText(
        "3500 move 250 500\n"
        "3600 lbutton down 250 500\n"
        "3640 lbutton up 250 500\n"
        "4200 move 560 350\n"
        "4400 lbutton down 560 350\n"
        "4440 lbutton up 560 350\n"
        "9000 close\n",
        "title-cancel");
    const DWORD dwStart = TimeGetTime();
    pFrame->Run();
    // Only the close request at 9 s ended it.
    EXPECT_GE(TimeGetTime() - dwStart, 9000u);
    EXPECT_NE(pFrame->m_pMenuManager->m_pMainMenu, nullptr);
}

}  // namespace
