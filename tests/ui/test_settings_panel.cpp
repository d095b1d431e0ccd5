// The settings panel: slider values from and to the main window's volumes, arrows,
// drags over a track, OK and Cancel, a miss, and the speed slider's knob.
#include "tests/ui/PanelTestUtil.h"

namespace {

class CVolumeShell : public CFakeShell {
public:
    int GetMusicVolume() override { return nMusic; }
    void SetMusicVolume(int n) override { nMusic = n; }
    int GetSoundVolume() override { return nSound; }
    void SetSoundVolume(int n) override { nSound = n; }
    int nMusic = 50, nSound = 90;
};

class SettingsPanel : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        SetUiShell(&volumes);
        hero.nWalkStep = 10;
    }
    void TearDown() override {
        SetUiShell(&m_shell);
        PanelTest::TearDown();
    }
    CSysSetMenu* OpenFromSystemMenu() {
        bar->OnKeyDown(VK_ESCAPE, 0);
        ClickAt(POINT{500, 50 + 62 * 3 + 20});
        return static_cast<CSysSetMenu*>(bar->Panel(kSetPanel));
    }
    int ClickButton(CSysSetMenu* p, int n) {
        const RECT& rc = p->GetButtonRect(n);
        return ClickAt(POINT{(rc.left + rc.right) / 2, rc.bottom - 3});
    }
    CVolumeShell volumes;
};

TEST_F(SettingsPanel, SlidersStartFromTheVolumesAndTheSpeedKnobStaysOnTheTrack) {
    CSysSetMenu* p = OpenFromSystemMenu();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(bar->GetSelectorA(), kGroupASettings);
    EXPECT_EQ(p->GetOrigin().x, 40);
    EXPECT_EQ(p->GetValue(0), 5);
    EXPECT_EQ(p->GetValue(1), 5);
    // Speed 10 would give 12: the knob stops at the last notch and nothing applies it.
    EXPECT_EQ(p->GetValue(2), 10);
    ClickButton(p, CSysSetMenu::kRight3);
    EXPECT_EQ(p->GetValue(2), 10);
    EXPECT_EQ(hero.nWalkStep, 10);
}

TEST_F(SettingsPanel, TheEffectSliderMapsToFiftyAndEightyTwoToAHundred) {
    CSysSetMenu* p = OpenFromSystemMenu();
    ASSERT_NE(p, nullptr);
    const int kWant[][2] = {{0, 50}, {1, 82}, {2, 84}, {10, 100}};
    for (const auto& w : kWant) {
        p->SetValue(1, w[0]);
        p->Apply();
        EXPECT_EQ(volumes.nSound, w[1]) << w[0];
        EXPECT_EQ(p->GetEffectValue(), w[1]);
    }
    // The arrows step and apply at once, and stop at the ends.
    p->SetValue(1, 1);
    ClickButton(p, CSysSetMenu::kLeft2);
    EXPECT_EQ(volumes.nSound, 50);
    ClickButton(p, CSysSetMenu::kLeft2);
    EXPECT_EQ(p->GetValue(1), 0);
    p->SetValue(0, 10);
    ClickButton(p, CSysSetMenu::kRight1);
    EXPECT_EQ(p->GetValue(0), 10);
    EXPECT_EQ(volumes.nMusic, 100);
}

TEST_F(SettingsPanel, AMissSoundsAndADragSetsTheMusicThatCancelKeeps) {
    CSysSetMenu* p = OpenFromSystemMenu();
    ASSERT_NE(p, nullptr);
    panelHost.ptMouse = POINT{60, 40};
    bar->Draw();
    panelHost.sounds.clear();
    EXPECT_EQ(p->OnLButtonUp(), kPanelMissed);
    EXPECT_EQ(panelHost.sounds, (std::vector<int>{5}));
    // OK counts only from 15 pixels below its top edge.
    const RECT& ok = p->GetButtonRect(CSysSetMenu::kOK);
    panelHost.ptMouse = POINT{ok.left + 10, ok.top + 5};
    bar->Draw();
    EXPECT_EQ(p->GetHover(), -1);

    // Moving over slider 1's track sets the music volume; 15 pixels at each end do not.
    const RECT& track = p->GetTrack(0);
    panelHost.ptMouse = POINT{track.left + 19 * 3 + 2, track.top + 5};
    bar->OnMouseMove();
    EXPECT_EQ(p->GetValue(0), 3);
    EXPECT_EQ(volumes.nMusic, 30);
    panelHost.ptMouse = POINT{track.left + 5, track.top + 5};
    bar->OnMouseMove();
    EXPECT_EQ(p->GetValue(0), 3);
    panelHost.ptMouse = POINT{track.right - 16, track.top + 5};
    bar->OnMouseMove();
    EXPECT_EQ(p->GetValue(0), 10);
    EXPECT_EQ(volumes.nMusic, 100);
    panelHost.ptMouse = POINT{track.left + 19 * 2 + 2, track.top + 5};
    bar->OnMouseMove();
    EXPECT_EQ(volumes.nMusic, 20);

    // Cancel closes and keeps what was applied.
    ClickButton(p, CSysSetMenu::kCancel);
    EXPECT_EQ(bar->Panel(kSetPanel), nullptr);
    EXPECT_EQ(volumes.nMusic, 20);
}

TEST_F(SettingsPanel, OnTheTitleScreenThePanelSitsInTheMiddle) {
    volumes.pTitleMenu = reinterpret_cast<CMainMenu*>(&volumes);  // only its presence counts
    bar->OpenTitlePanel(kGroupASettings);
    auto* p = static_cast<CSysSetMenu*>(bar->Panel(kSetPanel));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetOrigin().x, 230);
    EXPECT_EQ(p->GetOrigin().y, 60);
    // A click on OK while the title polls the button closes it.
    const RECT& ok = p->GetButtonRect(CSysSetMenu::kOK);
    panelHost.ptMouse = POINT{ok.left + 10, ok.bottom - 3};
    bar->RunTitleSettingsPanel();
    panelHost.bLeftPressed = true;
    bar->RunTitleSettingsPanel();
    EXPECT_EQ(bar->Panel(kSetPanel), nullptr);
    EXPECT_EQ(bar->GetSelectorA(), -1);
    volumes.pTitleMenu = nullptr;
}

}  // namespace
