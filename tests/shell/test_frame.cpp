// The main window's frame and input routing with recorders in place of the map, the
// panels and the battle: what each game mode updates, draws and sends clicks to; a
// modal box swallowing input; close and quit requests surviving input flushes; the
// cursor keeping its picture when a shape change fails.
#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "gamedata/PkgFile.h"
#include "platform/Charset.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "shell/UiShellLink.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/gamekit/PkgWriters.h"
#include "ui/boxes/MessageBoxes.h"
#include "ui/menus/MainMenu.h"
#include "ui/menus/MenuPanel.h"
#include "ui/menus/PartyHeadBar.h"
#include "ui/menus/TalkBar.h"

namespace {

TEST_F(FrameTest, EachGameModeUpdatesWhatItsRowSays) {
    struct Row {
        int nMode;
        bool bScroll, bScript, bActors, bScene;
    };
    const Row rows[] = {
        {0, false, false, false, false}, {1, true, true, true, true},    {2, true, true, true, true},
        {3, true, true, true, true},     {4, false, false, false, false}, {5, false, false, false, false},
        {6, false, false, false, false}, {7, true, true, true, true},    {8, false, false, false, false},
        {9, false, true, true, true},    {10, false, false, false, false}, {11, false, false, false, true},
        {12, false, false, false, true}, {13, true, true, true, true},   {14, false, false, false, true},
        {15, false, true, true, true},   {16, false, false, true, true},  {17, false, false, false, false},
    };
    pMouse->m_nX = 0;  // on the left edge: edge scrolling scrolls when the mode allows it
    pMouse->m_nY = 300;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.nMode);
        Menus().m_nGameMode = row.nMode;
        links.calls.clear();
        pFrame->UpdateFrame();
        // Edge scrolling acts only in the map mode itself.
        EXPECT_EQ(links.Called("scroll"), row.bScroll && row.nMode == 3);
        EXPECT_EQ(links.Called("script"), row.bScript);
        const bool bActors = links.Called("update heroes") || links.Called("update scene");
        EXPECT_EQ(bActors, row.bActors);
        if (row.bActors) {
            EXPECT_EQ(links.Called("update scene"), row.nMode == 3 || row.nMode == 16);
        }
        EXPECT_EQ(links.Called("scene"), row.bScene);
        EXPECT_TRUE(links.Called("panels draw"));
    }
}

TEST_F(FrameTest, OutOfGameNothingOfTheMapRunsAndAHiddenSceneIsNotDrawn) {
    Menus().m_nGameMode = 3;
    pFrame->m_bInGame = 0;
    pFrame->UpdateFrame();
    EXPECT_TRUE(links.Called("script"));
    EXPECT_FALSE(links.Called("update scene"));
    EXPECT_FALSE(links.Called("scene"));
    pFrame->m_bInGame = 1;
    pFrame->m_bSceneShown = 0;
    links.calls.clear();
    pFrame->UpdateFrame();
    EXPECT_TRUE(links.Called("update scene"));
    EXPECT_FALSE(links.Called("scene"));
    // The map behind a modal box: the actors move only in game, too.
    pFrame->m_bInGame = 0;
    pFrame->m_bSceneShown = 1;
    links.calls.clear();
    pFrame->DrawMapLayer();
    EXPECT_FALSE(links.Called("update scene"));
    EXPECT_FALSE(links.Called("scene"));
    EXPECT_TRUE(links.Called("panels draw"));
    pFrame->m_bInGame = 1;
    links.calls.clear();
    pFrame->DrawMapLayer();
    EXPECT_TRUE(links.Called("update scene"));
    EXPECT_TRUE(links.Called("scene"));
}

TEST_F(FrameTest, ClicksGoToTheScreenOfTheMode) {
    Menus().m_pMainMenu = new CMainMenu;
    Menus().m_pFaceTalkBar = new CFaceTalkBar;
    Menus().m_pChoiceTalkBar = new CChoiceTalkBar;
    Menus().m_pPartyHeadBar = new CPartyHeadBar;
    // Title: the button rectangles.
    EXPECT_EQ(Menus().HitTest(0, 200, 240), 0);
    EXPECT_EQ(Menus().HitTest(0, 200, 300), 1);
    EXPECT_EQ(Menus().HitTest(0, 379, 529), 4);
    EXPECT_EQ(Menus().HitTest(0, 380, 240), -1);
    // Face talk answers 1 wherever the cursor is; the question bar too.
    EXPECT_EQ(Menus().HitTest(9, 3, 3), 1);
    EXPECT_EQ(Menus().HitTest(15, 3, 3), 1);
    // The map modes report nothing, so clicks reach the toolbar and the map.
    for (int nMode : {3, 8, 14, 16}) EXPECT_EQ(Menus().HitTest(nMode, 200, 240), -1) << nMode;
    EXPECT_EQ(Menus().m_nSelection, -1);

    // A press on the map in mode 3 walks the hero; a press in the bottom strip does not.
    Menus().m_nGameMode = 3;
    pFrame->OnLButtonDown(MK_LBUTTON, 300, 300);
    EXPECT_TRUE(links.Called("walk"));
    links.calls.clear();
    pFrame->OnLButtonDown(MK_LBUTTON, 300, 560);
    EXPECT_FALSE(links.Called("walk"));
    // While an event runs, a map click is swallowed.
    links.calls.clear();
    pFrame->nEventId = 4;
    pFrame->OnLButtonDown(MK_LBUTTON, 300, 300);
    EXPECT_FALSE(links.Called("walk"));
}

// Mouse moves reach the open panels in every mode, with no button held or with one
// (the lists and sliders follow the cursor), but not under a modal box.
TEST_F(FrameTest, MouseMovesReachThePanelsInEveryMode) {
    for (int nMode : {0, 3, 9, 14}) {
        Menus().m_nGameMode = nMode;
        links.nPanelMoves = 0;
        pFrame->OnMouseMove(0, 120, 98);
        pFrame->OnMouseMove(MK_LBUTTON, 130, 98);
        EXPECT_EQ(links.nPanelMoves, 2) << "mode " << nMode;
    }
    EXPECT_EQ(pMouse->m_nX, 130);
    links.nPanelMoves = 0;
    bMsgBoxOpen = 1;
    pFrame->OnMouseMove(0, 140, 98);
    bMsgBoxOpen = 0;
    EXPECT_EQ(links.nPanelMoves, 0);
    EXPECT_EQ(pMouse->m_nX, 140);
}

TEST_F(FrameTest, AnOpenModalBoxSwallowsInputAndReleasesGoInOrder) {
    Menus().m_nGameMode = 3;
    bMsgBoxOpen = 1;
    pFrame->OnLButtonUp(0, 300, 300);
    pFrame->OnRButtonDown(0, 300, 300);
    pFrame->OnKeyUp('A', 1, 0);
    pFrame->OnLButtonDown(MK_LBUTTON, 300, 300);
    EXPECT_FALSE(links.Called("toolbar release"));
    EXPECT_FALSE(links.Called("toolbar right"));
    EXPECT_FALSE(links.Called("walk"));
    EXPECT_TRUE(pFrame->HitToolBar());
    bMsgBoxOpen = 0;

    // The release that answered a box (click state still 1) is ignored too.
    nMsgBoxClick = 1;
    links.calls.clear();
    pFrame->OnLButtonUp(0, 300, 300);
    EXPECT_TRUE(links.calls.empty());
    nMsgBoxClick = -1;

    // Toolbar first, then the work panels; a running battle covers both and takes the
    // release alone.
    links.nPanelTakesRelease = 1;
    pFrame->OnLButtonUp(0, 300, 300);
    EXPECT_EQ(links.calls, (std::vector<std::string>{"toolbar release"}));
    links.calls.clear();
    links.bBattle = true;
    pFrame->OnLButtonUp(0, 300, 300);
    EXPECT_EQ(links.calls, (std::vector<std::string>{"battle release"}));
}

TEST_F(FrameTest, ACloseSurvivesInputFlushesAndEndsTheGameThroughQuit) {
    ASSERT_TRUE(pFrame->CreateMainWindow());
    links.bBattle = true;
    pFrame->m_dwHotKeyTime = dwNowTime;  // a key was just handled: the next release flushes
    InjectKey('A', true);
    InjectClose();
    InjectKey('B', true);
    pFrame->OnKeyUp('C', 1, 0);
    std::vector<UINT> left;
    MSG msg;
    while (PeekMessage(&msg, true)) {
        left.push_back(msg.message);
        if (msg.message == WM_CLOSE) DispatchMessage(&msg);
    }
    // Only the close survived the flush; handling it posted the quit message.
    EXPECT_EQ(left, (std::vector<UINT>{WM_CLOSE, WM_QUIT}));
    EXPECT_EQ(pFrame->m_bRunning, 0);
    EXPECT_TRUE(links.Called("battle stop"));
}

TEST_F(FrameTest, TheKeyHoldEndsASecondAfterTheHandledKeyWithoutTheMapLoop) {
    // A battle runs its own loop, so nothing but the release itself ends the hold.
    links.bBattle = true;
    pFrame->m_dwHotKeyTime = dwNowTime;
    pFrame->OnKeyUp('A', 1, 0);
    EXPECT_FALSE(links.Called("battle key")) << "swallowed within the second";
    dwNowTime += 1000;
    pFrame->OnKeyUp('A', 1, 0);
    EXPECT_FALSE(links.Called("battle key")) << "still held at exactly one second";
    dwNowTime += 1;
    pFrame->OnKeyUp('A', 1, 0);
    EXPECT_TRUE(links.Called("battle key"));
    EXPECT_EQ(pFrame->m_dwHotKeyTime, dwNowTime) << "the release starts the next hold";
}

TEST_F(FrameTest, MessageTextIsBoundedAndClearedByEsc) {
    std::string strLong(600, 'x');
    strLong[198] = char(0xB0);  // a double-byte character across the end of the buffer
    strLong[199] = char(0xA1);
    pFrame->SetMessageText(strLong.c_str());
    EXPECT_EQ(std::string(pFrame->m_pszMessageText).size(), 198u);
    strLong[197] = char(0xB0);  // one that ends on the last byte before the terminator
    strLong[198] = char(0xA1);
    pFrame->SetMessageText(strLong.c_str());
    EXPECT_EQ(std::string(pFrame->m_pszMessageText).size(), 199u);
    pFrame->m_dwHotKeyTime = DWORD(-1);
    pFrame->OnKeyUp(VK_ESCAPE, 1, 0);
    EXPECT_FALSE(pFrame->HasMessageText());
}

// The cursor: a shape whose picture is missing keeps the old picture.
class CursorTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        ASSERT_EQ(m_screen.CreateWindowed(nullptr, 800, 600), 0);
        pScreen = &m_screen;
        pBack = m_screen.GetBack();
        PictureRgba sheet(200, 40, Argb(255, 0, 255, 0));
        sheet.Fill(0, 0, 10, 10, Argb(255, 255, 0, 0));
        // The party strip: opaque but for its key corner, wider than its pixel test.
        PictureRgba strip(640, 100, Argb(255, 200, 0, 0));
        strip.At(0, 0) = Argb(255, 255, 0, 255);
        std::vector<PkgEntryData> entries{{"mouse-1.bmp", BuildBmp(sheet)},
                                          {Utf8ToText("头像2.bmp"), BuildBmp(strip)}};
        m_strPkg = m_folder.File("menu.pkg");
        ASSERT_TRUE(WriteBytesToFile(m_strPkg.c_str(), BuildPkg(entries)));
        m_pPkg = new CPkgFile(m_strPkg.c_str());
        ASSERT_TRUE(m_pPkg->OpenPath(m_strPkg.c_str()));
        SetMenuPackage(m_pPkg);
    }
    void TearDown() override {
        SetMenuPackage(nullptr);
        delete pMouse;
        pMouse = nullptr;
        delete m_pPkg;
        pScreen = nullptr;
        pBack = nullptr;
        FrameTest::TearDown();
    }
    CShellFolder m_folder;
    CDXScreen m_screen;
    std::string m_strPkg;
    CPkgFile* m_pPkg = nullptr;
};

TEST_F(CursorTest, AFailedShapeChangeKeepsThePictureAndDrawingWithoutOneDoesNothing) {
    CMouse mouse;
    pBack->Fill(0);
    mouse.Draw();  // no picture yet: nothing drawn, no crash
    EXPECT_EQ(pBack->GetPixel(0, 0), 0u);

    ASSERT_TRUE(mouse.Init());
    CDXSprite* pBefore = mouse.m_pSprite;
    ASSERT_NE(pBefore, nullptr);
    EXPECT_FALSE(mouse.SetShape(2));  // "mouse-3.bmp" is not in the package
    EXPECT_EQ(mouse.m_pSprite, pBefore);
    EXPECT_EQ(mouse.m_bSpecialShape, 1);
    EXPECT_TRUE(mouse.SetShape(0));
    EXPECT_EQ(mouse.m_nHoverTarget, -1);

    mouse.m_nX = 100;
    mouse.m_nY = 50;
    mouse.Draw();
    EXPECT_NE(pBack->GetPixel(100, 50), 0u);  // the red corner of frame 0
    // The scene hidden by a script hides the cursor too.
    pBack->Fill(0);
    pFrame->m_bSceneShown = 0;
    mouse.Draw();
    EXPECT_EQ(pBack->GetPixel(100, 50), 0u);
}

TEST_F(CursorTest, TheAnimationStepsEvery200Milliseconds) {
    CMouse mouse;
    ASSERT_TRUE(mouse.Init());
    dwNowTime = 10000;
    mouse.m_dwFrameTime = 10000;
    int nSteps = 0;
    for (DWORD t = 10000; t <= 11000; t += 20) {
        dwNowTime = t;
        int nBefore = mouse.m_nFrame;
        mouse.Draw();
        if (mouse.m_nFrame != nBefore) ++nSteps;
    }
    EXPECT_EQ(nSteps, 4);  // steps at 10220, 10440, 10660, 10880
    EXPECT_EQ(mouse.m_nFrame, 4);
}

TEST_F(CursorTest, ThePartyStripAnswersThePixelTestOfTheMapModesLeftOfItsCutOff) {
    Menus().m_pPartyHeadBar = new CPartyHeadBar;
    EXPECT_FALSE(Menus().PixelHit(3, POINT{20, 400}));  // its picture is not loaded
    ASSERT_EQ(Menus().m_pPartyHeadBar->LoadMenuBmp(), 1);
    for (int nMode : {1, 2, 3}) {
        SCOPED_TRACE(nMode);
        EXPECT_TRUE(Menus().PixelHit(nMode, POINT{20, 400}));
        EXPECT_TRUE(Menus().PixelHit(nMode, POINT{212, 400}));
        EXPECT_FALSE(Menus().PixelHit(nMode, POINT{213, 400}));
        EXPECT_FALSE(Menus().PixelHit(nMode, POINT{600, 400}));
    }
    // The other modes ask other screens.
    EXPECT_FALSE(Menus().PixelHit(16, POINT{20, 400}));
}

// Leaving the party: the choice bar's answer goes through the shell's link to the
// main window, which empties the member's slot and lowers the count once.
TEST_F(FrameTest, TheLeaveQuestionRemovesTheChosenMemberAndLowersTheCount) {
    CShellUiLink link;
    SetUiShell(&link);
    pFrame->m_nPartyIds[1] = 2;
    pFrame->m_nPartyIds[2] = 3;
    pFrame->m_nPartyCount = 3;
    pFrame->m_bPartyChoice = 1;
    pFrame->m_nAnswerRequired = 1;
    CChoiceTalkBar bar;
    bar.m_nValues[1] = 3;
    bar.m_nValues[2] = 2;
    bar.SetText("who\\nthree\\ntwo");
    pMouse->m_nX = 200;  // line 1: (178, 89)-(528, 108)
    pMouse->m_nY = 95;
    bar.OnLButtonUp(1);
    SetUiShell(nullptr);
    EXPECT_EQ(pFrame->m_nPartyIds[1], 2);
    EXPECT_EQ(pFrame->m_nPartyIds[2], -1);
    EXPECT_EQ(pFrame->m_nPartyCount, 2);
    EXPECT_EQ(pFrame->m_bPartyChoice, 0);
    EXPECT_EQ(pFrame->m_bScriptStep, 1);
    EXPECT_EQ(pFrame->m_nAnswerRequired, 0);
}

TEST_F(FrameTest, RemovingAPartyMemberEmptiesItsFirstSlotAndNeverDropsBelowOne) {
    pFrame->m_nPartyIds[1] = 4;
    pFrame->m_nPartyIds[2] = 4;
    pFrame->m_nPartyIds[3] = 6;
    pFrame->m_nPartyCount = 4;
    pFrame->RemovePartyMember(4);
    EXPECT_EQ(pFrame->m_nPartyIds[1], -1);
    EXPECT_EQ(pFrame->m_nPartyIds[2], 4);  // only the first slot holding it
    EXPECT_EQ(pFrame->m_nPartyCount, 3);
    // A member in no slot still lowers the count; slot 0 (the hero) is never emptied.
    pFrame->m_nPartyIds[0] = 9;
    pFrame->RemovePartyMember(9);
    EXPECT_EQ(pFrame->m_nPartyIds[0], 9);
    EXPECT_EQ(pFrame->m_nPartyCount, 2);
    pFrame->RemovePartyMember(6);
    EXPECT_EQ(pFrame->m_nPartyIds[3], -1);
    EXPECT_EQ(pFrame->m_nPartyCount, 1);
    pFrame->RemovePartyMember(4);
    EXPECT_EQ(pFrame->m_nPartyCount, 1);
}

// A box given an empty text shows nothing; the next release must still reach the game.
TEST_F(FrameTest, AReleaseAfterABoxWithAnEmptyTextReachesTheGame) {
    Menus().m_nGameMode = 3;
    {
        CNoticeBox notice;
        EXPECT_EQ(notice.Run("", 1, 150, 200), 0);
    }
    pFrame->OnLButtonUp(0, 300, 300);
    EXPECT_TRUE(links.Called("toolbar release"));
}

}  // namespace
