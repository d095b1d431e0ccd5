// The title screen in the main loop: the button under the cursor lights, and the quit
// button answered with Yes ends the loop; exit then deletes every global object.
#include <iterator>
#include <vector>

#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
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

// What the window and the display show at a few moments of a run.
struct WindowLook {
    bool bFullScreen;
    RECT rcClient;
    int nFrameW, nFrameH;
};
std::vector<WindowLook> s_looks;
DWORD s_dwScriptStart = 0;

// Frame probe: one look at the first frame past each moment (ms of the input script).
void LookAtTheWindow() {
    static constexpr DWORD kMoments[] = {3500, 4000, 4800};
    if (s_looks.size() >= std::size(kMoments) || TimeGetTime() - s_dwScriptStart < kMoments[s_looks.size()]) return;
    WindowLook look{};
    look.bFullScreen = pFrame->m_bFullScreen != 0;
    pFrame->GetClientRect(&look.rcClient);
    look.nFrameW = LastFrame().nWidth;
    look.nFrameH = LastFrame().nHeight;
    s_looks.push_back(look);
}

// Alt+Enter to full screen and back, as the main loop takes it, with a 640 x 480 screen
// on the 800 x 600 desktop (the window then has a caption): the client area and the
// frames shown are the whole screen in both modes.
TEST_F(TitleTest, AltEnterToFullScreenAndBackKeepsTheWholeScreenInTheWindow) {
    pFrame->m_nScreenWidth = 640;
    pFrame->m_nScreenHeight = 480;
    pFrame->m_nScreenMode = 1;
    pFrame->SetWindowMode();
    pScreen->ChangeVideoMode(640, 480, 0);
    pBack = pScreen->GetBack();
    ASSERT_NE(pBack, nullptr);
    ASSERT_EQ(pFrame->GetStyle() & WS_CAPTION, WS_CAPTION);
    s_looks.clear();
    s_dwScriptStart = TimeGetTime();
    LoadInputScriptText(
        "3700 key down ALT\n3700 key press RETURN\n3700 key up ALT\n"
        "4200 key down ALT\n4200 key press RETURN\n4200 key up ALT\n"
        "6000 close\n",
        "alt-enter");
    pfnFrameProbe = LookAtTheWindow;
    pFrame->Run();
    pfnFrameProbe = nullptr;
    ASSERT_EQ(s_looks.size(), 3u);
    const bool modes[] = {false, true, false};
    for (size_t i = 0; i < s_looks.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "look " << i);
        EXPECT_EQ(s_looks[i].bFullScreen, modes[i]);
        EXPECT_TRUE(EqualRect(s_looks[i].rcClient, RECT{0, 0, 640, 480}))
            << s_looks[i].rcClient.right << " x " << s_looks[i].rcClient.bottom;
        EXPECT_EQ(s_looks[i].nFrameW, 640);
        EXPECT_EQ(s_looks[i].nFrameH, 480);
    }
    EXPECT_EQ(pFrame->GetStyle() & WS_CAPTION, WS_CAPTION);
}

}  // namespace
