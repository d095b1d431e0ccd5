// The mini-games through the installed link, headless, in the main window with the
// toolbar, the hero and the sample game's pictures, each played by an input script
// whose screenshots are probed mid-run and at each outcome: a caught item lands in the
// bag, Space presses win the knock game, a timed start wins the gamble, the signboard's
// show shows its three pictures, and shifted timings lose. A close during the gamble's
// wait ends the game and the main loop.
#include <memory>

#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "gamedata/Tables.h"
#include "shell/MiniGameLink.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/mkgame/SampleMiniGames.cpp"  // the pictures live in the mkgame tool
#include "ui/menus/MenuPanel.h"
#include "world/Player.h"

namespace {

// A screenshot read back, probed for a picture's body colour or a colour; the colours
// survive the 16-bit screen within 12 in each channel.
struct Picture {
    std::unique_ptr<CShot> pShot;
    bool Read(const std::string& strPath) {
        pShot = std::make_unique<CShot>(strPath);
        return pShot->Read();
    }
    bool Near(int x, int y, std::uint32_t c) const { return pShot->Near(x, y, c, 12); }
    bool Shows(int x, int y, const char* pszPicture) const { return Near(x, y, MiniGameBody(pszPicture)); }
};

class MiniGamePlay : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        ASSERT_TRUE(OpenScreen());
        const std::string strPkg = folder.File("menu.pkg");
        ASSERT_TRUE(WriteBytesToFile(strPkg.c_str(), BuildPkg(MiniGameContentEntries())));
        m_pkg = std::make_unique<CPkgFile>(strPkg.c_str());
        ASSERT_TRUE(m_pkg->OpenPath(strPkg.c_str())) << m_pkg->GetError();
        SetMenuPackage(m_pkg.get());
        data.nItemCount = 100;
        items.resize(100);
        items[0].nType = 2;  // goods, one cell
        data.pItem = items.data();
        pGameData = &data;
        pPlayer = new CPlayer;
        pPlayer->nMoney = 2000;
        SetUiShell(&m_uiLink);
        InstallToolBarLinks();
        PanelLink().CreatePanels();
        InstallMiniGameLink();
    }
    void TearDown() override {
        LoadInputScriptText("", "none");  // no pending event outlives the test
        RemoveMiniGameLink();
        RemoveToolBarLinks();
        SetUiShell(nullptr);
        FrameTest::TearDown();
        delete pPlayer;
        pPlayer = nullptr;
        pGameData = nullptr;
        SetMenuPackage(nullptr);
        m_pkg.reset();
        delete pScreen;
        pScreen = nullptr;
        pBack = nullptr;
    }
    // Installs an input script whose times and frames count from now; shots go into
    // the test's folder.
    // A close long after the game should have ended stops a game that waits for ever.
    void Script(const std::string& strText) {
        FlushInputMessages();
        ASSERT_EQ(LoadInputScriptText(strText + "200000 close\n", "minigames"), 0);
    }
    std::string Shot(const char* pszName) const { return folder.File(pszName); }

    CBaseFolderGuard guard;
    CTempFolder folder{"minigame-play"};
    CShellUiLink m_uiLink;
    std::unique_ptr<CPkgFile> m_pkg;
    CGameData data;
    std::vector<ItemRow> items;
};

// The start click whose roll ends on a frame count divisible by three (found by
// running it: the frame count depends on the idle polls each pass makes).
constexpr int kGambleWinStartMs = 1522;

// Times of the catch game: a pass takes 22 virtual ms (the frame's 20 and two idle
// polls), the first item flies from the 92nd pass and is 100 pixels in at the 192nd;
// the hand rising from x 158 then meets it.
std::string CatchScript(int nClickMs, const std::string& strFolder) {
    return "100 move 158 500\n" + std::to_string(nClickMs) + " lbutton down 158 500\n" +
           std::to_string(nClickMs + 60) + " lbutton up 158 500\n"
           "frame 300 shot " + strFolder + "/catch-mid.png\n"
           "frame 6001 shot " + strFolder + "/catch-end.png\n";
}

TEST_F(MiniGamePlay, CatchPlayedByAnInputScriptPutsTheItemInTheBagAndALateClickMisses) {
    // Catch: one unit of item 0 lands in the bag.
    Script(CatchScript(4200, folder.Path()));
    EXPECT_TRUE(MiniGameLink().Run(1));
    EXPECT_EQ(pPlayer->nItemCount[0], 1);
    EXPECT_TRUE(std::any_of(std::begin(items[0].nBagCell[0]), std::end(items[0].nBagCell[0]), [](int c) { return c >= 0; }));
    Picture mid, end;
    ASSERT_TRUE(mid.Read(Shot("catch-mid.png")));
    EXPECT_TRUE(mid.Shows(400, 500, "EVE.bmp"));
    EXPECT_TRUE(mid.Near(20 + 30, 15, kTimeBarUpper));  // 299 x 640 / 6000 = 31 pixels
    EXPECT_TRUE(mid.Shows(20 + 33, 15, "EVE.bmp"));
    ASSERT_TRUE(end.Read(Shot("catch-end.png")));
    EXPECT_TRUE(end.Near(20 + 639, 15, kTimeBarUpper));
    // The same click 600 ms later misses.
    Script(CatchScript(4800, folder.Path()));
    EXPECT_TRUE(MiniGameLink().Run(1));
    EXPECT_EQ(pPlayer->nItemCount[0], 1);
}

TEST_F(MiniGamePlay, KnockWonBySpacePressesAndLostWhenThePressesStopEarly) {
    // Knock: Space every 15 ms for eight seconds (a frame takes about 23) fills the bar;
    // presses that stop after two seconds lose.
    std::string strPresses;
    for (int t = 15; t <= 8000; t += 15) strPresses += std::to_string(t) + " key press SPACE\n";
    Script(strPresses + "frame 100 shot " + Shot("knock-mid.png") + "\n");
    EXPECT_TRUE(MiniGameLink().Run(3));
    // The last frame shows the won game's last picture.
    ASSERT_TRUE(SaveScreenshotPng(Shot("knock-won.png").c_str()));
    Picture knockMid, knockWon;
    ASSERT_TRUE(knockMid.Read(Shot("knock-mid.png")));
    EXPECT_TRUE(knockMid.Shows(400, 500, "KnockBack.bmp"));
    EXPECT_TRUE(knockMid.Near(98, 35, kTimeBarLower));  // 99 frames of the time bar
    EXPECT_TRUE(knockMid.Shows(101, 35, "KnockBack.bmp"));
    EXPECT_TRUE(knockMid.Near(200, 85, kTimeBarUpper));
    ASSERT_TRUE(knockWon.Read(Shot("knock-won.png")));
    EXPECT_TRUE(knockWon.Shows(550, 300, "Knock0007.bmp"));
    EXPECT_TRUE(knockWon.Near(641, 85, kTimeBarUpper));
    std::string strFewer;
    for (int t = 15; t <= 2000; t += 15) strFewer += std::to_string(t) + " key press SPACE\n";
    Script(strFewer);
    EXPECT_FALSE(MiniGameLink().Run(3));
    ASSERT_TRUE(SaveScreenshotPng(Shot("knock-lost.png").c_str()));
    Picture knockLost;
    ASSERT_TRUE(knockLost.Read(Shot("knock-lost.png")));
    EXPECT_TRUE(knockLost.Shows(550, 300, "Knock0010.bmp"));
}

TEST_F(MiniGamePlay, GambleWonByAStartOnTheRightFrameAndLostOneFrameLater) {
    // Gamble: side 0, a stake of 200, the start at a winning frame: 2000 - 200 + 400.
    const auto gamble = [&](int nStartMs, const char* pszRoll, const char* pszOutcome) {
        const std::string s = std::to_string(nStartMs);
        Script("100 move 50 550\n200 lbutton down 50 550\n200 lbutton up 50 550\n"
               "400 move 60 160\n500 lbutton down 60 160\n500 lbutton up 60 160\n"
               "800 move 300 300\n" + s + " lbutton down 300 300\n" + s + " lbutton up 300 300\n" +
               std::to_string(nStartMs + 700) + " shot " + Shot(pszRoll) + "\n" +
               std::to_string(nStartMs + 1800) + " shot " + Shot(pszOutcome) + "\n" +
               std::to_string(nStartMs + 2000) + " move 400 400\n" +
               std::to_string(nStartMs + 2100) + " lbutton down 400 400\n" +
               std::to_string(nStartMs + 2100) + " lbutton up 400 400\n");
        return MiniGameLink().Run(2);
    };
    pPlayer->nMoney = 2000;
    EXPECT_TRUE(gamble(kGambleWinStartMs, "gamble-roll.png", "gamble-won.png"));
    EXPECT_EQ(pPlayer->nMoney, 2200);
    Picture roll, won;
    ASSERT_TRUE(roll.Read(Shot("gamble-roll.png")));
    EXPECT_TRUE(roll.Shows(20, 20, "a1.bmp"));
    EXPECT_FALSE(roll.Shows(300, 300, "Begin.bmp"));
    ASSERT_TRUE(won.Read(Shot("gamble-won.png")));
    EXPECT_TRUE(won.Shows(400, 100, "s09.bmp"));
    EXPECT_TRUE(won.Shows(300, 300, "Begin.bmp"));
    // One frame later the same stake is lost.
    EXPECT_TRUE(gamble(kGambleWinStartMs + 22, "gamble-roll2.png", "gamble-lost.png"));
    EXPECT_EQ(pPlayer->nMoney, 2000);
    Picture lost;
    ASSERT_TRUE(lost.Read(Shot("gamble-lost.png")));
    EXPECT_TRUE(lost.Shows(400, 100, "s04.bmp"));
}

TEST_F(MiniGamePlay, AStartPressThatBringsTheCursorAlongStartsTheRollAtAnyMomentOfAPass) {
    // The press at the start button comes with the cursor's move there, no earlier move:
    // whichever moment of a pass it falls in, the roll starts, the outcome comes and the
    // next click ends the game. A press placed by the cursor object's last move would
    // land on the stake button's spot and wait for ever (the test's closing click).
    for (int nStartMs = 1500; nStartMs < 1566; nStartMs += 6) {
        pPlayer->nMoney = 2000;
        const std::string s = std::to_string(nStartMs), e = std::to_string(nStartMs + 2100);
        Script("100 move 50 550\n200 lbutton down 50 550\n200 lbutton up 50 550\n"
               "400 move 60 160\n500 lbutton down 60 160\n500 lbutton up 60 160\n" +
               s + " lbutton down 300 300\n" + s + " lbutton up 300 300\n" + e + " lbutton down 400 400\n" + e +
               " lbutton up 400 400\n");
        ASSERT_TRUE(MiniGameLink().Run(2)) << "a press at " << nStartMs << " ms was lost";
        EXPECT_TRUE(pPlayer->nMoney == 2200 || pPlayer->nMoney == 1800) << pPlayer->nMoney;
    }
}

TEST_F(MiniGamePlay, TheSignboardShowsThreePicturesAndACloseDuringTheGambleEndsTheGame) {
    Script("frame 250 shot " + Shot("show-0.png") + "\nframe 750 shot " + Shot("show-1.png") + "\nframe 1500 shot " +
           Shot("show-2.png") + "\n1000 lbutton down 300 300\n1000 lbutton up 300 300\n2000 key press ESC\n");
    const DWORD dwBefore = GetPresentedFrameCount();
    MiniGameLink().RunPictureShow(1);
    EXPECT_EQ(GetPresentedFrameCount() - dwBefore, 3001u);
    const char* const names[3] = {"T009.bmp", "I001.bmp", "N006.bmp"};
    for (int i = 0; i < 3; ++i) {
        Picture p;
        ASSERT_TRUE(p.Read(Shot(("show-" + std::to_string(i) + ".png").c_str()))) << i;
        EXPECT_TRUE(p.Shows(320, 400, names[i])) << i;
    }

    // 100 money: the 100 stake is refused and the game waits for a click; the window
    // closes instead. Nothing was paid, the game is not won, and the main loop ends.
    pPlayer->nMoney = 100;
    Script("100 move 50 550\n200 lbutton down 50 550\n200 lbutton up 50 550\n"
           "400 move 60 120\n500 lbutton down 60 120\n500 lbutton up 60 120\n"
           "900 shot " + Shot("gamble-wait.png") + "\n1000 close\n");
    const DWORD dwStart = GetPresentedFrameCount();
    EXPECT_FALSE(MiniGameLink().Run(2));
    EXPECT_LT(GetPresentedFrameCount() - dwStart, 60u);
    EXPECT_EQ(pPlayer->nMoney, 100);
    EXPECT_EQ(pFrame->m_bRunning, 0);
    MSG msg;
    bool bQuit = false;
    while (PeekMessage(&msg, true)) bQuit = bQuit || msg.message == WM_QUIT;
    EXPECT_TRUE(bQuit);
    Picture wait;
    ASSERT_TRUE(wait.Read(Shot("gamble-wait.png")));
    EXPECT_TRUE(wait.Shows(100, 130, "money.bmp") == false);
    EXPECT_TRUE(wait.Shows(20, 20, "a1.bmp"));
}

}  // namespace
