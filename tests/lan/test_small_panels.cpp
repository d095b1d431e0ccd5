// The flying picture, the setting panel, the money box and the menu-screen twin.
#include <cstring>

#include "lan/InfoBar.h"
#include "lan/MenuPanelAlt.h"
#include "lan/MoneyInput.h"
#include "lan/SettingPanel.h"
#include "lan/SmallPicture.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "tests/lan/LanTestUtil.h"

namespace {

using SmallPictureTest = LanTest;

TEST_F(SmallPictureTest, FliesUpThenLeftThenDown) {
    CSmallPicture pic;
    ASSERT_TRUE(pic.CreateSprite(0));
    int nSteps = 0;
    while (pic.GetPos().y > 48 && nSteps < 1000) pic.Update(1, nullptr, nullptr), ++nSteps;
    EXPECT_EQ(pic.GetPos().x, 570);
    EXPECT_EQ(pic.GetPos().y, 48);
    while (pic.GetPos().x > 78 && nSteps < 2000) pic.Update(1, nullptr, nullptr), ++nSteps;
    EXPECT_EQ(pic.GetPos().x, 78);
    EXPECT_EQ(pic.GetPos().y, 48);
    EXPECT_EQ(pic.Update(7, nullptr, nullptr), 7);
    EXPECT_EQ(pic.GetPos().y, 50);
    // Stopped, it drops 8 a step.
    pic.Stop(0, 0);
    pic.Update(1, nullptr, nullptr);
    EXPECT_EQ(pic.GetPos().y, 58);
}

TEST_F(SmallPictureTest, ATouchResetsItEvenWhenNotMoving) {
    CSmallPicture pic;
    ASSERT_TRUE(pic.CreateSprite(0));
    pic.SetPos(POINT{100, 100});
    pic.Stop(0, 0);
    MoveTo(400, 400);
    EXPECT_EQ(pic.Update(0, m_mouse.m_pSprite, nullptr), 0);
    EXPECT_EQ(pic.GetPos().x, 100);  // far away: state 0 does not move it
    MoveTo(110, 110);
    EXPECT_EQ(pic.Update(0, nullptr, m_mouse.m_pSprite), 0);
    EXPECT_EQ(pic.GetPos().x, 570);
    EXPECT_EQ(pic.GetPos().y, 300);
    EXPECT_EQ(pic.IsFlying(), 1);
    // The drop box stops it only while the picture stands above it.
    pic.CheckArea(0, 470, 50);
    EXPECT_EQ(pic.IsFlying(), 1);
    pic.SetPos(POINT{460, 40});
    pic.CheckArea(0, 470, 50);
    EXPECT_EQ(pic.IsFlying(), 0);
}

class SettingPanelTest : public LanTest {
protected:
    void SetUp() override {
        LanTest::SetUp();
        m_pFrame = std::make_unique<CMainFrame>();
        m_pFrame->m_pMenuManager = &m_manager;
        pFrame = m_pFrame.get();
        pPlayer = &m_player;  // the frame's constructor clears the hero pointer
    }
    void TearDown() override {
        m_pFrame->m_pMenuManager = nullptr;
        pFrame = nullptr;
        m_pFrame.reset();
        LanTest::TearDown();
    }
    static POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
    std::unique_ptr<CMainFrame> m_pFrame;
    CMenuManager m_manager;
};

TEST_F(SettingPanelTest, TheFasterButtonStepsTheKnobUntilItsEnd) {
    CSettingPanel panel;
    m_player.nWalkStep = 6;
    m_player.nRunStep = 11;
    const int x0 = CSettingPanel::kOrigin.x;
    const POINT faster = Centre(panel.GetRect(5)), slower = Centre(panel.GetRect(4));
    EXPECT_EQ(panel.GetKnobX(), x0 + 75);
    panel.Click(slower.x, slower.y);  // already at the left end
    EXPECT_EQ(panel.GetKnobX(), x0 + 75);
    EXPECT_EQ(m_player.nWalkStep, 6);
    const int kStops[] = {107, 139, 171, 171};
    for (int nStop : kStops) {
        panel.Click(faster.x, faster.y);
        EXPECT_EQ(panel.GetKnobX(), x0 + nStop);
    }
    // Three moves: the walk step stops at 8, the run step at 12.
    EXPECT_EQ(m_player.nWalkStep, 8);
    EXPECT_EQ(m_player.nRunStep, 12);
    ASSERT_NE(panel.GetSlot(CSettingPanel::kKnobSlot), nullptr);
    EXPECT_EQ(panel.GetSlot(CSettingPanel::kKnobSlot)->GetPosX(), x0 + 171);
    panel.Click(slower.x, slower.y);
    EXPECT_EQ(panel.GetKnobX(), x0 + 139);
    EXPECT_EQ(m_player.nWalkStep, 7);
    EXPECT_EQ(m_player.nRunStep, 11);
}

TEST_F(SettingPanelTest, WithoutAHeroTheSpeedButtonsDoNothing) {
    CSettingPanel panel;
    pPlayer = nullptr;
    const POINT faster = Centre(panel.GetRect(5));
    panel.Click(faster.x, faster.y);
    EXPECT_EQ(panel.GetKnobX(), CSettingPanel::kOrigin.x + 75);
}

TEST_F(SettingPanelTest, SoundRowSwitchesAndMusicRowAndCancelActOnTheFrame) {
    CSettingPanel panel;
    const POINT on = Centre(panel.GetRect(2)), off = Centre(panel.GetRect(3)), music = Centre(panel.GetRect(1));
    panel.Click(off.x, off.y);
    EXPECT_EQ(m_pFrame->m_bSoundOn, 0);
    panel.Click(on.x, on.y);
    EXPECT_EQ(m_pFrame->m_bSoundOn, 1);
    panel.Click(music.x, music.y);
    EXPECT_EQ(m_pFrame->m_bMusicOn, 1);
    const int cx = CSettingPanel::kOrigin.x + 140, cy = 60;
    m_manager.m_nGameMode = 13;
    panel.Click(cx, cy);
    EXPECT_EQ(m_manager.m_nGameMode, 0);
    m_pFrame->m_bInGame = 1;
    m_manager.m_nGameMode = 13;
    panel.Click(cx, cy);
    EXPECT_EQ(m_manager.m_nGameMode, 3);
    EXPECT_EQ(m_pFrame->m_nMouseHold, 1);
}

TEST_F(SettingPanelTest, ModeThirteenDrawsThePanelOnlyWhenOneIsSet) {
    FillBack(RGB(0, 0, 0));
    m_pFrame->m_bInGame = 1;
    m_manager.Draw(13);  // no panel: nothing drawn, no fault
    EXPECT_TRUE(PixelIs(260, 20, RGB(0, 0, 0)));
    m_manager.m_pSettingPanel = new CSettingPanel();
    m_manager.Draw(13);
    // The background ("youxishedin.bmp", the thirteenth stand-in) at the origin.
    const std::uint32_t c = StandInColour(12);
    EXPECT_TRUE(PixelNear(260, 20, RGB((c >> 16) & 255, (c >> 8) & 255, c & 255), 8));
    EXPECT_TRUE(PixelIs(245, 20, RGB(0, 0, 0)));
    delete m_manager.m_pSettingPanel;
    m_manager.m_pSettingPanel = nullptr;
}

using MoneyInputTest = LanTest;

TEST_F(MoneyInputTest, KeepsTenBytesAndEnterConfirms) {
    CMoneyInput box;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(box.OnChar('0' + i), -1);
    EXPECT_EQ(box.OnChar('9'), 1);
    EXPECT_EQ(box.GetLength(), 10);
    EXPECT_STREQ(box.GetRawText(), "0123456789|");
    EXPECT_EQ(box.OnChar(13), 2);
    EXPECT_STREQ(box.GetText(), "0123456789");
    box.Clear();
    EXPECT_STREQ(box.GetRawText(), "|");
    EXPECT_EQ(box.OnChar(8), 1);
    EXPECT_EQ(box.GetLength(), 0);
}

TEST_F(MoneyInputTest, BackspaceErasesWholeDoubleByteCharacters) {
    CMoneyInput box;
    // A trail byte with its top bit set must not be taken for a lead byte.
    for (int c : {0xD6, 0xD0, int('a')}) box.OnChar(c);
    EXPECT_EQ(box.OnChar(8), 1);
    EXPECT_STREQ(box.GetRawText(), "\xD6\xD0|");
    EXPECT_EQ(box.OnChar(8), 1);
    EXPECT_STREQ(box.GetRawText(), "|");
    for (int c : {int('1'), 0xB0, 0xA1, 0xB0, 0xA1}) box.OnChar(c);
    box.OnChar(8);
    EXPECT_STREQ(box.GetRawText(), "1\xB0\xA1|");
}

TEST_F(MoneyInputTest, ALeadByteIsRefusedWhenItsTrailCouldNotFollow) {
    CMoneyInput box;
    for (int i = 0; i < 9; ++i) box.OnChar('1');
    EXPECT_EQ(box.OnChar(0xD6), 1);
    EXPECT_EQ(box.GetLength(), 9);
    box.Clear();
    for (int i = 0; i < 8; ++i) box.OnChar('1');
    EXPECT_EQ(box.OnChar(0xD6), -1);
    EXPECT_EQ(box.OnChar(0xD0), -1);  // the trail completes the character
    EXPECT_EQ(box.GetLength(), 10);
}

TEST_F(MoneyInputTest, TheCaretBlinksEveryHalfSecond) {
    CMoneyInput box;
    box.OnChar('5');
    box.ResetBlink();
    box.Draw(100, 100);
    EXPECT_STREQ(box.GetRawText(), "5|");
    AdvanceVirtualClock(500);
    box.Draw(100, 100);
    EXPECT_STREQ(box.GetRawText(), "5|");  // exactly 500 ms: not yet
    AdvanceVirtualClock(1);
    box.Draw(100, 100);
    EXPECT_STREQ(box.GetRawText(), "5");
    AdvanceVirtualClock(501);
    box.Draw(100, 100);
    EXPECT_STREQ(box.GetRawText(), "5|");
}

TEST_F(MoneyInputTest, DrawsItsPictureAtThePosition) {
    CMoneyInput box;
    ASSERT_TRUE(box.HasPicture());
    FillBack(RGB(0, 0, 0));
    box.Draw(100, 100);
    const std::uint32_t c = StandInColour(11);  // "ThrowMoney.tga"
    EXPECT_TRUE(PixelNear(105, 105, RGB((c >> 16) & 255, (c >> 8) & 255, c & 255), 8));
    EXPECT_TRUE(PixelIs(95, 105, RGB(0, 0, 0)));
}

// A menu-screen base described as the twin is.
class CTestPanel : public CMenuPanel {
public:
    void Describe(const char* pszFile, int x, int y, int nRects) { InitButtonRecord(pszFile, x, y, nRects); }
    void SetHotRect(int n, LONG l, LONG t, LONG r, LONG b) { SetRectAt(n, l, t, r, b); }
};

using MenuPanelAltTest = LanTest;

TEST_F(MenuPanelAltTest, HitTestsMatchTheMenuScreenBase) {
    CTestPanel base;
    CMenuPanelAlt twin;
    base.Describe("none.bmp", 40, 30, 3);
    twin.Describe("none.bmp", 40, 30, 3);
    const RECT rects[3] = {{0, 0, 20, 10}, {10, 5, 60, 40}, {100, 100, 101, 101}};
    for (int i = 0; i < 3; ++i) {
        base.SetHotRect(i, rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
        twin.SetHotRect(i, rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    }
    int nHits = 0;
    for (int y = 20; y < 150; y += 3)
        for (int x = 30; x < 160; x += 3) {
            const int n = base.HitTest(x, y);
            ASSERT_EQ(twin.HitTest(x, y), n) << x << "," << y;
            nHits += n >= 0;
        }
    EXPECT_GT(nHits, 0);
}

TEST_F(MenuPanelAltTest, LoadsItsPictureFromAnImageFile) {
    const std::string strFile = m_folder.File("twin.bmp");
    ASSERT_TRUE(WriteBytesToFile(strFile.c_str(), BuildBmp(Keyed(30, 20, Argb(255, 0, 200, 0)))));
    CMenuPanelAlt twin;
    twin.Describe(strFile.c_str(), 300, 200, 0);
    EXPECT_EQ(twin.LoadMenuBmp(), 1);
    FillBack(RGB(0, 0, 0));
    twin.Draw();
    EXPECT_TRUE(PixelIs(310, 210, RGB(0, 200, 0)));
    EXPECT_TRUE(PixelIs(300, 200, RGB(0, 0, 0)));  // the keyed corner
    EXPECT_TRUE(twin.PixelHit(POINT{310, 210}));
    EXPECT_FALSE(twin.PixelHit(POINT{335, 210}));

    CMenuPanelAlt missing;
    missing.Describe(m_folder.File("absent.bmp").c_str(), 0, 0, 0);
    EXPECT_EQ(missing.LoadMenuBmp(), 0);
    EXPECT_FALSE(missing.PixelHit(POINT{5, 5}));
}

using InfoBarTest = LanFrameTest;

TEST_F(InfoBarTest, DrawsAtTheRightEdgeOnlyWhileOpen) {
    CInfoBar bar;
    FillBack(RGB(0, 0, 0));
    EXPECT_EQ(bar.Draw(m_mouse), 0);
    EXPECT_TRUE(PixelIs(700, 200, RGB(0, 0, 0)));
    ASSERT_NE(bar.GetUp(), nullptr);
    EXPECT_EQ(bar.GetUp()->GetPosX(), 775);
    EXPECT_EQ(bar.GetDown()->GetPosY(), 315);
    bar.m_bOpen = 1;
    MoveTo(760, 10);  // over the close button
    EXPECT_EQ(bar.Draw(m_mouse), 1);
    const std::uint32_t c = StandInColour(16);  // "xinxilan.bmp"
    EXPECT_TRUE(PixelNear(700, 200, RGB((c >> 16) & 255, (c >> 8) & 255, c & 255), 8));
    EXPECT_TRUE(PixelIs(480, 200, RGB(0, 0, 0)));
    EXPECT_EQ(bar.GetClose()->GetFrame(), 1u);
    MoveTo(100, 100);
    bar.Draw(m_mouse);
    EXPECT_EQ(bar.GetClose()->GetFrame(), 0u);
    // The close button's last column is W - 29.
    MoveTo(771, 29);
    bar.Draw(m_mouse);
    EXPECT_EQ(bar.GetClose()->GetFrame(), 1u);
    MoveTo(772, 15);
    bar.Draw(m_mouse);
    EXPECT_EQ(bar.GetClose()->GetFrame(), 0u);

    // A click on either arrow changes nothing; one on the close button closes the bar
    // and holds the main window's mouse.
    auto click = [&](int x, int y) {
        MoveTo(x, y);
        InjectMouseButton(VK_LBUTTON, true, x, y);
        InjectMouseButton(VK_LBUTTON, false, x, y);
        return bar.Draw(m_mouse);
    };
    EXPECT_EQ(click(790, 20), 1);
    EXPECT_EQ(click(790, 330), 1);
    EXPECT_EQ(bar.m_bOpen, 1);
    EXPECT_EQ(bar.m_nFirst, 0);
    EXPECT_EQ(m_pFrame->m_nMouseHold, 0);
    EXPECT_EQ(click(771, 29), 0);
    EXPECT_EQ(bar.m_bOpen, 0);
    EXPECT_EQ(m_pFrame->m_nMouseHold, 1);
    FillBack(RGB(0, 0, 0));
    EXPECT_EQ(bar.Draw(m_mouse), 0);
    EXPECT_TRUE(PixelIs(700, 200, RGB(0, 0, 0)));
}

}  // namespace
