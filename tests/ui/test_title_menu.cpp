#include "tests/ui/UiTestUtil.h"

#include "CDX/CDXSprite.h"
#include "platform/Charset.h"
#include "ui/menus/MainMenu.h"
#include "ui/menus/PartyHeadBar.h"

namespace {

constexpr COLORREF kBack = RGB(0, 0, 248);
constexpr COLORREF kNormal = RGB(0, 128, 0);
constexpr COLORREF kHover = RGB(248, 248, 0);

const RECT kButtons[5] = {{185, 220, 380, 260}, {185, 285, 380, 325}, {185, 355, 380, 395},
                          {185, 420, 380, 460}, {185, 490, 380, 530}};

class TitleTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        std::vector<PkgEntryData> entries = {
            {"MainMenu_BKGround.bmp", BuildBmp(Keyed(800, 600, Argb(255, 0, 0, 248)))},
            {"OK_Cancel_BKGround1.tga", BuildRleTga32(Solid(236, 160, Argb(255, 200, 180, 140)))},
            {"ExitGameOk.bmp", BuildBmp(Keyed(230, 134, Argb(255, 60, 60, 60)))},
            {"YesOrNo.bmp", BuildBmp(Keyed(194, 42, Argb(255, 250, 200, 0)))}};
        for (int i = 0; i < 5; ++i) {
            entries.push_back({CMainMenu::kNormalNames[i], BuildBmp(Keyed(195, 40, Argb(255, 0, 128, 0)))});
            entries.push_back({CMainMenu::kHoverNames[i], BuildBmp(Keyed(195, 40, Argb(255, 248, 248, 0)))});
        }
        ASSERT_TRUE(UsePackage(std::move(entries)));
        m_pMenu = std::make_unique<CMainMenu>();
        m_pMenu->LoadButtons();
    }
    void TearDown() override {
        m_pMenu.reset();
        UiTest::TearDown();
    }
    // Draws the title with the cursor at (x, y).
    void DrawAt(int x, int y) {
        m_shell.ptMouse = POINT{x, y};
        m_pMenu->Draw();
    }
    std::unique_ptr<CMainMenu> m_pMenu;
};

TEST_F(TitleTest, HoverLightsTheButtonUnderTheCursor) {
    for (int i = 0; i < 5; ++i) {
        const RECT& rc = kButtons[i];
        DrawAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        EXPECT_EQ(m_pMenu->GetHoveredButton(), i);
        DrawAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);  // drawn with the hover of the last frame
        for (int j = 0; j < 5; ++j)
            EXPECT_TRUE(PixelIs(kButtons[j].left + 5, kButtons[j].top + 5, j == i ? kHover : kNormal)) << i << " " << j;
    }
    // Edges: left and top inside, right and bottom outside; between buttons nothing.
    DrawAt(185, 220);
    EXPECT_EQ(m_pMenu->GetHoveredButton(), 0);
    DrawAt(380, 240);
    EXPECT_EQ(m_pMenu->GetHoveredButton(), -1);
    DrawAt(200, 260);
    EXPECT_EQ(m_pMenu->GetHoveredButton(), -1);
    DrawAt(200, 529);
    EXPECT_EQ(m_pMenu->GetHoveredButton(), 4);
    EXPECT_TRUE(PixelIs(100, 100, kBack));
    // The base hit test finds the same rectangles.
    EXPECT_EQ(m_pMenu->HitTest(300, 300), 1);
    EXPECT_EQ(m_pMenu->HitTest(300, 270), -1);
}

TEST_F(TitleTest, ClicksMapToTheirActions) {
    DrawAt(300, 240);
    m_pMenu->OnLButtonUp(0);
    EXPECT_EQ(m_shell.nNewGames, 1);
    EXPECT_NE(m_pMenu->GetPicture(), nullptr);  // no scene came up: the background stays
    DrawAt(300, 300);
    m_pMenu->OnLButtonUp(1);
    EXPECT_EQ(m_shell.nLoadOpens, 1);
    DrawAt(300, 370);
    m_pMenu->OnLButtonUp(2);
    EXPECT_EQ(m_shell.nSettingsOpens, 1);
    DrawAt(300, 440);
    m_pMenu->OnLButtonUp(3);
    EXPECT_EQ(m_shell.nCredits, 1);
    // A click on a button the last frame did not light does nothing.
    DrawAt(100, 100);
    m_shell.ptMouse = POINT{300, 240};
    m_pMenu->OnLButtonUp(0);
    EXPECT_EQ(m_shell.nNewGames, 1);
}

TEST_F(TitleTest, NewGameThatBuildsASceneReleasesTheBackground) {
    int nScene = 0;
    DrawAt(300, 240);
    pScene = reinterpret_cast<CScene*>(&nScene);
    m_pMenu->OnLButtonUp(0);
    EXPECT_EQ(m_pMenu->GetPicture(), nullptr);
    pScene = nullptr;
}

TEST_F(TitleTest, QuitAsksAndEndsOnlyOnOk) {
    DrawAt(300, 510);
    m_shell.onFrame = [&](int n) {
        if (n == 2) {
            m_shell.ptMouse = POINT{560, 350};  // Cancel of the box at (400, 225)
            InjectMouseButton(VK_LBUTTON, true, 560, 350);
            InjectMouseButton(VK_LBUTTON, false, 560, 350);
        }
    };
    m_shell.pTitleMenu = m_pMenu.get();
    m_pMenu->OnLButtonUp(4);
    EXPECT_EQ(m_shell.nQuits, 0);
    EXPECT_EQ(m_shell.nFrames, 2);
    // The title is as it was.
    DrawAt(300, 510);
    EXPECT_EQ(m_pMenu->GetHoveredButton(), 4);
    m_shell.nFrames = 0;
    m_shell.onFrame = [&](int n) {
        if (n == 2) {
            m_shell.ptMouse = POINT{450, 340};  // OK
            InjectMouseButton(VK_LBUTTON, true, 450, 340);
            InjectMouseButton(VK_LBUTTON, false, 450, 340);
        }
    };
    m_pMenu->OnLButtonUp(4);
    EXPECT_EQ(m_shell.nQuits, 1);
}

TEST_F(TitleTest, OpenLoadPanelHidesAndFreezesTheButtons) {
    m_shell.nSelector = 6;
    DrawAt(300, 240);
    EXPECT_EQ(m_pMenu->GetHoveredButton(), -1);
    EXPECT_TRUE(PixelIs(kButtons[0].left + 5, kButtons[0].top + 5, kBack));
    EXPECT_EQ(m_shell.nPanelRuns, 1);
    m_pMenu->OnLButtonUp(0);
    EXPECT_EQ(m_shell.nNewGames, 0);
    // The settings panel: hover still follows the cursor, but no button is drawn or acts.
    m_shell.nSelector = 4;
    DrawAt(300, 240);
    EXPECT_EQ(m_pMenu->GetHoveredButton(), 0);
    EXPECT_TRUE(PixelIs(kButtons[0].left + 5, kButtons[0].top + 5, kBack));
    m_pMenu->OnLButtonUp(0);
    EXPECT_EQ(m_shell.nNewGames, 0);
    EXPECT_EQ(m_shell.nPanelRuns, 2);
}

TEST_F(TitleTest, MissingPicturesDrawNothingAndTheMenuStillWorks) {
    ASSERT_TRUE(UsePackage({{"unrelated.bmp", BuildBmp(Solid(4, 4, 0))}}));
    CMainMenu menu;
    menu.LoadButtons();
    FillBack(RGB(8, 8, 8));
    m_shell.ptMouse = POINT{300, 240};
    menu.Draw();
    EXPECT_TRUE(PixelIs(300, 240, RGB(8, 8, 8)));
    EXPECT_EQ(menu.GetHoveredButton(), 0);
    menu.OnLButtonUp(0);
    EXPECT_EQ(m_shell.nNewGames, 1);
    EXPECT_FALSE(menu.PixelHit(POINT{300, 240}));
}

TEST_F(TitleTest, ExitBoxAnswersYesAndNo) {
    CExitGameBox box;
    EXPECT_EQ(box.GetInfo()->x, 285);
    EXPECT_EQ(box.GetInfo()->y, 233);
    EXPECT_EQ(box.HitTest(300, 325), 0);
    EXPECT_EQ(box.HitTest(410, 325), 1);
    EXPECT_EQ(box.HitTest(330, 260), 2);
    EXPECT_EQ(box.HitTest(100, 100), -1);
    EXPECT_EQ(box.GetHover(), -1);
    // Held on Yes: the pressed frame sits on the Yes area.
    FillBack(RGB(0, 0, 0));
    box.HitTest(300, 325);
    m_shell.bClickHeld = true;
    box.Draw();
    EXPECT_TRUE(PixelIs(285 + 5, 233 + 5, RGB(60, 60, 60)));
    EXPECT_TRUE(PixelIs(295 + 20, 319 + 20, RGB(250, 200, 0)));

    box.OnButton(2);
    EXPECT_EQ(m_shell.nExitBoxState, 7);  // the caption area does nothing
    box.OnButton(1);
    EXPECT_EQ(box.IsConfirmed(), 0);
    EXPECT_EQ(m_shell.nExitConfirmed, 0);
    EXPECT_EQ(m_shell.nExitBoxState, 0);
    m_shell.nExitBoxState = 2;
    box.OnButton(0);
    EXPECT_EQ(box.IsConfirmed(), 1);
    EXPECT_EQ(m_shell.nExitConfirmed, 1);
    EXPECT_EQ(m_shell.nExitBoxState, 0);
}

TEST_F(TitleTest, MenuPanelPixelTestSkipsTheFirstColumnAndRow) {
    // The background is opaque everywhere except its key corner.
    EXPECT_TRUE(m_pMenu->PixelHit(POINT{10, 10}));
    EXPECT_FALSE(m_pMenu->PixelHit(POINT{0, 10}));
    EXPECT_FALSE(m_pMenu->PixelHit(POINT{10, 0}));
    EXPECT_FALSE(m_pMenu->PixelHit(POINT{800, 10}));
    m_pMenu->ReleaseBmp();
    EXPECT_FALSE(m_pMenu->PixelHit(POINT{10, 10}));
    EXPECT_EQ(m_pMenu->LoadMenuBmp(), 1);  // loaded again after a release
    EXPECT_TRUE(m_pMenu->PixelHit(POINT{10, 10}));
}

TEST_F(TitleTest, PartyStripDrawsNothing) {
    CPartyHeadBar strip;
    EXPECT_EQ(strip.GetInfo()->x, 0);
    EXPECT_EQ(strip.GetInfo()->y, 377);
    ASSERT_EQ(strip.GetRectCount(), 15);
    EXPECT_TRUE(EqualRect(strip.GetRect(0), RECT{0, 10, 83, 105}));
    EXPECT_TRUE(EqualRect(strip.GetRect(8), RECT{519, 50, 629, 57}));
    EXPECT_TRUE(EqualRect(strip.GetRect(14), RECT{537, 63, 612, 78}));
    FillBack(RGB(16, 16, 16));
    strip.Draw();
    strip.OnLButtonUp(0);
    EXPECT_TRUE(PixelIs(40, 420, RGB(16, 16, 16)));
    EXPECT_EQ(strip.GetPicture(), nullptr);
}

TEST_F(TitleTest, PartyStripPixelTestStopsAtItsCutOffAndWhileTheHeroHidesTheStrip) {
    // A strip picture opaque everywhere but its key corner, wider than the cut-off.
    ASSERT_TRUE(UsePackage({{Utf8ToText("头像2.bmp"), BuildBmp(Keyed(640, 100, Argb(255, 90, 60, 30)))}}));
    CPartyHeadBar strip;
    EXPECT_FALSE(strip.PixelHit(POINT{20, 400}));  // not loaded yet
    ASSERT_EQ(strip.LoadMenuBmp(), 1);
    EXPECT_TRUE(strip.PixelHit(POINT{20, 400}));
    EXPECT_TRUE(strip.PixelHit(POINT{212, 400}));
    EXPECT_FALSE(strip.PixelHit(POINT{213, 400}));  // opaque there, but past the cut-off
    EXPECT_FALSE(strip.PixelHit(POINT{500, 400}));
    EXPECT_FALSE(strip.PixelHit(POINT{0, 400}));   // column 0
    EXPECT_FALSE(strip.PixelHit(POINT{20, 377}));  // row 0
    EXPECT_FALSE(strip.PixelHit(POINT{20, 477}));  // below the picture
    m_shell.nHeroPortraitWord = 1;
    EXPECT_FALSE(strip.PixelHit(POINT{20, 400}));
    m_shell.nHeroPortraitWord = 0;
    EXPECT_TRUE(strip.PixelHit(POINT{20, 400}));
}

}  // namespace
