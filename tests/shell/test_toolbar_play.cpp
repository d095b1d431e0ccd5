// The toolbar in the running main loop, headless, on a loaded sample scene with a hero,
// driven by an input script whose screenshots are probed: the strip's bars, the life
// tip on hover, ESC's system menu with the hovered button lit, "return" clearing the
// back buffer, and quit answered with OK ending the loop.
#include <algorithm>
#include <fstream>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/PkgFile.h"
#include "shell/SceneLink.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/gamekit/SampleScenes.h"
#include "tools/mkgame/SampleMenus.cpp"    // the box pictures live in the mkgame tool
#include "tools/mkgame/SampleToolBar.cpp"  // and so do the toolbar's
#include "ui/menus/MenuPanel.h"
#include "world/Player.h"
#include "world/PlayerHost.h"
#include "world/Scene.h"

namespace {

// The pixel at (x, y) shows the picture's probe colour; 16-bit pixels and the pictures'
// alpha blend move a channel by up to 20.
bool NearProbe(const CShot& shot, int x, int y, const char* pszPicture) {
    const ToolBarProbe* p = FindToolBarProbe(pszPicture);
    return p && shot.Near(x, y, PackRgb(p->r, p->g, p->b), 24);
}
// Pixels of a rectangle that are nearly white (each channel above 230).
int WhiteIn(const CShot& shot, const RECT& rc) { return shot.CountNear(rc, 0xFFFFFF, 24); }

// The screenshots both runs take: the strip with its background, portrait, button and
// a full life bar; the life tip in white; the system menu with "return" lit; and the map
// again after "return".
void ExpectToolBarShots(const std::string& s) {
    const CShot strip(s + "strip.png");
    ASSERT_TRUE(strip.Read());
    EXPECT_TRUE(NearProbe(strip, 400, 575, "ToolBar_BKGround.tga"));
    EXPECT_TRUE(NearProbe(strip, 60, 554, "GTX001.tga"));
    EXPECT_TRUE(NearProbe(strip, 760, 566, "ToolBar_Button.tga"));
    EXPECT_TRUE(NearProbe(strip, 10, 571, "Blood[L].tga"));
    EXPECT_TRUE(NearProbe(strip, 50, 571, "Blood.tga"));
    EXPECT_TRUE(NearProbe(strip, 85, 571, "Blood[R].tga"));
    EXPECT_TRUE(NearProbe(strip, 10, 588, "Mana[L].tga"));
    const CShot tip(s + "tip.png");
    ASSERT_TRUE(tip.Read());
    EXPECT_GT(WhiteIn(tip, RECT{0, 558, 90, 582}), 20);
    EXPECT_EQ(WhiteIn(strip, RECT{0, 558, 90, 582}), 0);
    const CShot menu(s + "menu.png");
    ASSERT_TRUE(menu.Read());
    EXPECT_TRUE(NearProbe(menu, 420, 410, "SysMenu_BKGround.tga"));
    EXPECT_TRUE(NearProbe(menu, 450, 210, "ReturnToGame[s].tga"));
    EXPECT_TRUE(NearProbe(menu, 450, 86, "SaveGame.tga"));
    EXPECT_TRUE(NearProbe(menu, 450, 334, "OverGame.tga"));
    const CShot back(s + "back.png");
    ASSERT_TRUE(back.Read());
    EXPECT_FALSE(NearProbe(back, 420, 410, "SysMenu_BKGround.tga"));
    EXPECT_FALSE(NearProbe(back, 450, 210, "ReturnToGame[s].tga"));
    EXPECT_TRUE(NearProbe(back, 400, 575, "ToolBar_BKGround.tga"));
}

// The main window with a probe in the script step, which runs in map play before the
// scene is drawn: it sees the back buffer as the input handlers left it.
class CProbeFrame : public CRecordingFrame {
public:
    explicit CProbeFrame(CRecordingLinks& links) : CRecordingFrame(links) {}
    void UpdateScript() override {
        if (!pBack || Failed(pBack->Lock())) return;
        samples.push_back({dwNowTime, pBack->GetPixel(300, 300)});
        pBack->Unlock();
    }
    std::vector<std::pair<DWORD, DWORD>> samples;
};

class ToolBarPlay : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        delete pFrame;
        pFrame = m_pFrame = new CProbeFrame(links);
        pFrame->m_pMenuManager = new CMenuManager;
        pFrame->m_bInGame = 1;
        pFrame->m_nScreenWidth = 800;
        pFrame->m_nScreenHeight = 600;
        pFrame->m_rcScroll = RECT{4, 4, 796, 596};
        pFrame->m_nSceneChanging = 0;
        pFrame->m_bCanScroll = 0;
        Menus().m_nGameMode = 3;
        std::string why;
        ASSERT_TRUE(WriteSampleScenes(folder.Path(), &why)) << why;
        SetCurrentDirectory(folder.Path().c_str());
        pFrame->m_bFullScreen = 0;
        ASSERT_TRUE(pFrame->CreateMainWindow());
        pFrame->SetWindowMode();
        pScreen = new CDXScreen;
        ASSERT_EQ(pScreen->CreateWindowed(pFrame, 800, 600), 0);
        pBack = pScreen->GetBack();
        // The menu package of the sample game's boxes and toolbar.
        std::vector<PkgEntryData> entries = MenuContentEntries("menu.pkg");
        for (PkgEntryData& e : ToolBarContentEntries()) entries.push_back(std::move(e));
        const std::string strPkg = folder.File("menu.pkg");
        ASSERT_TRUE(WriteBytesToFile(strPkg.c_str(), BuildPkg(std::move(entries))));
        m_pkg = std::make_unique<CPkgFile>(strPkg.c_str());
        ASSERT_TRUE(m_pkg->OpenPath(strPkg.c_str())) << m_pkg->GetError();
        SetMenuPackage(m_pkg.get());
        ASSERT_TRUE(MakeScene(0, &why)) << why;
        pPlayer = new CPlayer;
        // Life full; mana at half, which the hero's regeneration (one point a second)
        // keeps at a 38-pixel bar for the first shots.
        pPlayer->nLife = 80;
        pPlayer->nLifeMax = 80;
        pPlayer->nMana = 40;
        pPlayer->nManaMax = 80;
        SetUiShell(&m_uiLink);
        InstallToolBarLinks();
        PanelLink().CreatePanels();
        ASSERT_NE(pFrame->m_pToolBar, nullptr);
    }
    void TearDown() override {
        RemoveToolBarLinks();
        EXPECT_EQ(pFrame->m_pToolBar, nullptr);
        SetUiShell(nullptr);
        // The main window deletes the scene and the heroes through the scene's map link.
        FrameTest::TearDown();
        delete pPlayer;
        pPlayer = nullptr;
        SetMenuPackage(nullptr);
        m_pkg.reset();
        delete pScreen;
        pScreen = nullptr;
        pBack = nullptr;
        SetSceneHost(nullptr);
    }

    CBaseFolderGuard guard;
    CTempFolder folder;
    CProbeFrame* m_pFrame = nullptr;
    CShellUiLink m_uiLink;
    std::unique_ptr<CPkgFile> m_pkg;
};

TEST_F(ToolBarPlay, StripTipSystemMenuReturnAndQuit) {
    pFrame->m_nCurrentScene = 20;  // the cleared back buffer is white here
    const std::string s = folder.Path() + "/";
    ASSERT_EQ(LoadInputScriptText("0 move 400 200\n"
                                  "400 shot " + s + "strip.png\n"
                                  "500 move 40 570\n"
                                  "800 shot " + s + "tip.png\n"
                                  "900 move 500 200\n"
                                  "1000 key press ESC\n"
                                  "1300 shot " + s + "menu.png\n"
                                  "1400 lbutton down 500 200\n"
                                  "1420 lbutton up 500 200\n"
                                  "1700 shot " + s + "back.png\n"
                                  "1800 key press ESC\n"
                                  "2000 move 500 330\n"
                                  "2100 lbutton down 500 330\n"
                                  "2120 lbutton up 500 330\n"
                                  "2600 move 220 275\n"
                                  "2700 lbutton down 220 275\n"
                                  "2720 lbutton up 220 275\n",
                                  "toolbar play"),
              0);
    const DWORD dwStart = TimeGetTime();
    DWORD dwReturn = 0;
    while (pFrame->m_bRunning && TimeGetTime() - dwStart < 6000) {
        pFrame->RunOnePass();
        if (dwReturn == 0 && TimeGetTime() - dwStart >= 1420 && Menus().m_nGameMode == 3 && m_pFrame->samples.size())
            dwReturn = TimeGetTime();
    }
    // 5: quit answered with OK ends the main loop.
    EXPECT_EQ(pFrame->m_bRunning, 0);

    // 1-3: the strip, the life tip ("80/80") and the system menu; the mana bar at half
    // (38 px) ends with its right cap.
    ExpectToolBarShots(s);
    const CShot strip(s + "strip.png");
    ASSERT_TRUE(strip.Read());
    EXPECT_TRUE(NearProbe(strip, 30, 588, "Mana.tga"));
    EXPECT_TRUE(NearProbe(strip, 47, 588, "Mana[R].tga"));
    EXPECT_FALSE(NearProbe(strip, 60, 588, "Mana.tga"));
    // 4: after "return" the back buffer was cleared (white in scene 20) before the next
    // frame, and the next frames show no menu.
    ASSERT_NE(dwReturn, 0u);
    DWORD dwFirst = 0;
    for (const auto& [dwTime, dwPixel] : m_pFrame->samples) {
        if (dwTime < dwStart + 1420) continue;
        dwFirst = dwPixel;
        break;
    }
    EXPECT_EQ(dwFirst, pScreen->RgbToPixel(RGB(255, 255, 255), pBack));
}

TEST_F(ToolBarPlay, AnItemLetGoOnTheMapLiesAtTheHero) {
    pPlayer->SetMapPos(320, 256);
    pPlayer->inlay[9] = InlayRecord{5, 6, 7, -1};
    pMouse->m_nCarriedItem = 9;
    pMouse->m_nX = 400;
    pMouse->m_nY = 200;
    EXPECT_EQ(PanelLink().OnLButtonUp(), 1);
    EXPECT_EQ(pMouse->m_nCarriedItem, -1);
    const CGroundItem* pItem = nullptr;
    for (int i = 0; i < int(pScene->pGroundItems.size()) && !pItem; ++i)
        if (pScene->GetGroundItem(i) && pScene->GetGroundItem(i)->nItem == 9) pItem = pScene->GetGroundItem(i);
    ASSERT_NE(pItem, nullptr);
    // The gems set into the item leave with it.
    EXPECT_EQ(pPlayer->inlay[9].nAttack, 0);
    EXPECT_EQ(pPlayer->inlay[9].nLink, 0);
}

}  // namespace

namespace {

class CTitleStub : public CGamePanel {
public:
    CTitleStub() : CGamePanel(0, 0, 10, 10) {}
};

class ToolBarLinkTest : public FrameTest {
protected:
    void TearDown() override {
        SetPanelMaker(PanelKind::Load, nullptr);
        RemoveToolBarLinks();
        links.Install();
        InstallSceneLinks();
        SetSceneHost(nullptr);
        FrameTest::TearDown();
    }
};

TEST_F(ToolBarLinkTest, TheLinkOwnsTheToolBarAndAnswersTheHeroesSceneAndTitle) {
    InstallToolBarLinks();
    InstallSceneLinks();
    CPanelLink& panels = PanelLink();
    EXPECT_EQ(pFrame->m_pToolBar, nullptr);
    // Before there is a toolbar the link keeps the hero number and the party count.
    panels.SetActiveSlot(2);
    panels.SetPartyCount(2);
    panels.CreatePanels();
    EXPECT_EQ(pFrame->m_pToolBar->m_nHero, 2);
    EXPECT_EQ(panels.GetPartyCount(), 2);
    panels.SetActiveSlot(1);
    CGameToolBar* pFirst = pFrame->m_pToolBar;
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(panels.GetActiveSlot(), 1);
    EXPECT_EQ(HeroHost().GetCurrentHero(), 1);
    // A new toolbar (game over) keeps the party fields.
    HeroHost().SetCurrentHero(3);
    pFirst->m_nCompanion = 2;
    pFirst->m_nPartyIds[2] = 7;
    panels.CreatePanels();
    CGameToolBar* pSecond = pFrame->m_pToolBar;
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(pSecond->m_nHero, 3);
    EXPECT_EQ(pSecond->m_nCompanion, 2);
    EXPECT_EQ(pSecond->m_nPartyIds[2], 7);
    EXPECT_EQ(HeroHost().GetCurrentHero(), 3);
    EXPECT_FALSE(HeroHost().IsPanelOpen());
    // The scene draws the toolbar's cell marker with the marker frames.
    pSecond->m_bMarkerShown = 1;
    pSecond->m_ptMarker = POINT{64, 96};
    CellMarkerView marker;
    ASSERT_TRUE(SceneHost().GetCellMarker(&marker));
    EXPECT_TRUE(marker.bShown);
    EXPECT_EQ(marker.pt.x, 64);
    EXPECT_EQ(marker.ppFrames, pSecond->m_pBombFrames);
    EXPECT_EQ(SceneHost().GetLabelBox(), pSecond->GetLabelBox());
    // The title's load panel: without a maker the group stays closed.
    SetPanelMaker(PanelKind::Load, nullptr);
    panels.OpenLoadPanel();
    EXPECT_EQ(panels.GetLeftGroupSelector(), -1);
    EXPECT_FALSE(panels.HasLoadPanel());
    SetPanelMaker(PanelKind::Load, [](int, bool) -> std::unique_ptr<CGamePanel> { return std::make_unique<CTitleStub>(); });
    panels.OpenLoadPanel();
    EXPECT_EQ(panels.GetLeftGroupSelector(), 6);
    EXPECT_TRUE(panels.HasLoadPanel());
    EXPECT_TRUE(HeroHost().IsPanelOpen());
    EXPECT_TRUE(panels.HitTest(POINT{5, 5}));
    EXPECT_FALSE(panels.HitTest(POINT{300, 300}));
    // The link answers every panel call the main window must have answered.
    ClearUnansweredLinkCalls();
    panels.Draw();
    (void)panels.GetToolBar();
    for (const std::string& call : UnansweredLinkCalls()) EXPECT_NE(call.rfind("panels", 0), 0u) << call;
}

}  // namespace

namespace {

// The game binary, headless, in the sample game folder that mkgame writes, driven by an
// input script as scripts/play runs it: title, new game, the strip, the life tip, the
// system menu, "return", then quit answered with OK ends the game with exit code 0.
TEST(ToolBarEndToEnd, TitleNewGameStripTipSystemMenuReturnAndQuit) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kGame}));
    CTempFolder folder("toolbar-e2e");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    const std::string s = strGame + "/";
    std::ofstream(s + "input.txt") << "8500 move 250 240\n"
                                      "9100 lbutton down 250 240\n"
                                      "9140 lbutton up 250 240\n"
                                      "16000 move 400 200\n"
                                      "16500 shot strip.png\n"
                                      "16600 move 40 570\n"
                                      "17000 shot tip.png\n"
                                      "17100 move 500 200\n"
                                      "17200 key press ESC\n"
                                      "17600 shot menu.png\n"
                                      "17700 lbutton down 500 200\n"
                                      "17740 lbutton up 500 200\n"
                                      "18200 shot back.png\n"
                                      "18300 key press ESC\n"
                                      "18600 move 500 330\n"
                                      "18700 lbutton down 500 330\n"
                                      "18740 lbutton up 500 330\n"
                                      "19000 move 310 275\n"
                                      "19100 lbutton down 310 275\n"
                                      "19300 lbutton up 310 275\n"
                                      "20000 shot cancelled.png\n"
                                      "20300 key press ESC\n"
                                      "20600 move 500 330\n"
                                      "20700 lbutton down 500 330\n"
                                      "20740 lbutton up 500 330\n"
                                      "21300 move 220 275\n"
                                      "21400 lbutton down 220 275\n"
                                      "21440 lbutton up 220 275\n";
    // Nothing closes the window: only the quit button ends the game in time.
    const ProgramRun run = RunProgramIn(strGame, kGame, {}, s + "input.txt", 200);
    ASSERT_TRUE(run.bExited) << "the game did not end by itself: " << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;

    // A new game's hero has full life: a 76-pixel bar in the life bar's rectangle.
    ExpectToolBarShots(s);
    // Cancel of the quit question, pressed and held over the map, left the heroine
    // standing: the map shows as it did after "return" (the town's walkers and fires
    // aside), not walked and scrolled.
    const CShot back(s + "back.png"), cancelled(s + "cancelled.png");
    ASSERT_TRUE(back.Read() && cancelled.Read());
    EXPECT_LT(cancelled.Differences(back, 0, 0, 800, 450), 40000);
}

}  // namespace
