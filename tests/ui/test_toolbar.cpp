// The toolbar: the order in which a left release is offered, the key table, panel
// selectors and game modes, the HUD's bars, text box and caption, the system menu, and
// the mended cases (last potion, task item with a full bag, panels that ask to close
// everything, the system menu's selector after its settings close, missing pictures,
// long texts).
#include "tests/ui/ToolBarTestUtil.h"

#include "tools/mkgame/SampleToolBar.cpp"  // the pictures live in the mkgame tool
#include "ui/panels/SysMenu.h"

namespace {

constexpr int kPotion = 5;     // type 1: used from a portrait
constexpr int kTaskItem = 6;   // type 99
constexpr int kGoods = 7;      // type 2, one cell

class ToolBarRouting : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        items[kPotion].nType = 1;
        items[kPotion].nLife = 30;
        items[kTaskItem].nType = 99;
        items[kGoods].nType = 2;
    }
    // Opens the system menu with ESC and draws it once with the cursor at (x, y).
    void OpenSysMenuAt(int x, int y) {
        bar->OnKeyDown(VK_ESCAPE, 0);
        ASSERT_NE(bar->Panel(kSysPanel), nullptr);
        HoverAndDraw(x, y);
    }
};

TEST_F(ToolBarRouting, ALeftReleaseGoesToTheFirstTakerInOrder) {
    // Without a scene nothing takes it.
    pScene = nullptr;
    EXPECT_EQ(bar->OnLButtonUp(), 0);
    pScene = &scene;

    // A shown text box past its fade-in takes the click before anything else.
    static const char* kTexts[] = {"\xc4\xe3\xba\xc3"};
    data.ppTexts = kTexts;
    data.nTextCount = 1;
    ASSERT_EQ(bar->ShowTextBox(0, 10), 1);
    bar->m_bTextBoxFadingIn = 0;
    host.bEvent = true;
    host.nCarried = kGoods;
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->m_bTextBoxDismissed, 1);
    EXPECT_EQ(host.nCarried, kGoods);

    // A running event: the toolbar leaves the click (and the carried item) alone.
    EXPECT_EQ(bar->OnLButtonUp(), 0);
    EXPECT_EQ(host.nCarried, kGoods);
    host.bEvent = false;

    // An open panel's code comes before the carried item: "return" closes the menu.
    OpenSysMenuAt(500, 200);
    EXPECT_EQ(host.nMode, 14);
    EXPECT_EQ(bar->Panel(kSysPanel)->GetHover(), CSysMenu::kReturn);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->Panel(kSysPanel), nullptr);
    EXPECT_EQ(bar->GetSelectorB(), -1);
    EXPECT_EQ(host.nMode, 3);
    EXPECT_EQ(host.nCarried, kGoods);

    // A carried item over the toolbar strip stays carried.
    host.ptMouse = POINT{400, 560};
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(host.nCarried, kGoods);
    // Elsewhere an ordinary item is dropped at the hero.
    hero.ptPos = POINT{320, 240};
    host.ptMouse = POINT{400, 300};
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(host.nCarried, -1);
    ASSERT_EQ(host.drops.size(), 1u);
    EXPECT_EQ(host.drops[0], (std::vector<int>{kGoods, 320, 240, 0}));
    // A task item brings the notice and goes back into the bag.
    host.nCarried = kTaskItem;
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0], Utf8ToText("该物品为完成\n任务必须的物品!"));
    EXPECT_EQ(host.nCarried, -1);
    EXPECT_EQ(hero.nItemCount[kTaskItem], 1);
    EXPECT_EQ(items[kTaskItem].nBagCell[0][0], 0);
}

TEST_F(ToolBarRouting, PanelGroupsActOnTheirCodesAndBadSelectorsReset) {
    SetPanelMaker(PanelKind::State, MakeStub);
    SetPanelMaker(PanelKind::Item, MakeStub);
    // The toolbar button opens the state panel in group A.
    HoverAndDraw(760, 560);
    EXPECT_EQ(bar->m_nToolBarHover, 0);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->GetSelectorA(), kGroupAState);
    ASSERT_NE(bar->Panel(kStatePanel), nullptr);
    // State panel code 3 opens the item panel in group B; again closes it.
    host.ptMouse = POINT{150, 150};
    CStubPanel::nNextCode = 3;
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->GetSelectorB(), kGroupBItem);
    EXPECT_EQ(CStubPanel::nAlive, 2);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->GetSelectorB(), -1);
    EXPECT_EQ(CStubPanel::nAlive, 1);
    // Code 2 closes the state panel and clears the back buffer (black in scene 0).
    FillBack(RGB(255, 0, 0));
    CStubPanel::nNextCode = 2;
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->GetSelectorA(), -1);
    EXPECT_EQ(CStubPanel::nAlive, 0);
    EXPECT_TRUE(Near(300, 300, 0, 0, 0));

    // Selectors outside the stored values reset when drawn or clicked; 1..3 in group A
    // and 0, 1, 6 in group B draw nothing and stay.
    bar->m_nSelectorA = 9;
    bar->m_nSelectorB = 8;
    bar->Draw();
    EXPECT_EQ(bar->GetSelectorA(), -1);
    EXPECT_EQ(bar->GetSelectorB(), -1);
    bar->m_nSelectorA = 2;
    bar->m_nSelectorB = 6;
    bar->Draw();
    EXPECT_EQ(bar->GetSelectorA(), 2);
    EXPECT_EQ(bar->GetSelectorB(), 6);
    host.ptMouse = POINT{300, 300};
    EXPECT_EQ(bar->OnLButtonUp(), 0);
    EXPECT_EQ(bar->GetSelectorA(), -1);
    EXPECT_EQ(bar->GetSelectorB(), -1);

    // A panel without a maker keeps its group closed: the system menu's settings button
    // returns to the map.
    OpenSysMenuAt(500, 270);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->Panel(kSysPanel), nullptr);
    EXPECT_EQ(bar->GetSelectorA(), -1);
    EXPECT_EQ(bar->GetSelectorB(), -1);
    EXPECT_EQ(host.nMode, 3);
}

TEST_F(ToolBarRouting, TheKeyTable) {
    SetPanelMaker(PanelKind::SceneMap, MakeStub);
    SetPanelMaker(PanelKind::State, MakeStub);
    SetPanelMaker(PanelKind::Task, MakeStub);
    SetPanelMaker(PanelKind::Item, MakeStub);
    SetPanelMaker(PanelKind::Skill, MakeStub);
    // ESC with only the scene map open opens the system menu and leaves the map.
    bar->OnKeyDown(VK_TAB, 0);
    ASSERT_NE(bar->m_pSceneMap, nullptr);
    EXPECT_EQ(bar->OnKeyDown(VK_ESCAPE, 0), 0);
    EXPECT_NE(bar->Panel(kSysPanel), nullptr);
    EXPECT_EQ(bar->GetSelectorB(), kGroupBSys);
    EXPECT_EQ(host.nMode, 14);
    EXPECT_NE(bar->m_pSceneMap, nullptr);
    // ESC again closes every panel and the mode goes back to 3; the key flag is set.
    EXPECT_EQ(bar->OnKeyDown(VK_ESCAPE, 0), 1);
    EXPECT_EQ(bar->m_bKeyTaken, 1);
    EXPECT_EQ(bar->Panel(kSysPanel), nullptr);
    EXPECT_EQ(host.nMode, 3);
    bar->Draw();
    EXPECT_EQ(bar->m_bKeyTaken, 0);

    // While an event runs: S, T, W open nothing, J does nothing, arrows do not walk, and
    // ESC opens no system menu.
    host.bEvent = true;
    for (int nKey : {int('S'), int('T'), int('W'), int('J'), VK_LEFT, VK_DOWN, VK_ESCAPE}) bar->OnKeyDown(nKey, 0);
    EXPECT_EQ(bar->GetSelectorA(), -1);
    EXPECT_EQ(bar->GetSelectorB(), -1);
    EXPECT_TRUE(host.walks.empty());
    host.bEvent = false;

    // S opens the state panel; S again closes it. W opens the item panel.
    bar->OnKeyDown('S', 0);
    EXPECT_EQ(bar->GetSelectorA(), kGroupAState);
    bar->OnKeyDown('S', 0);
    EXPECT_EQ(bar->GetSelectorA(), -1);
    bar->OnKeyDown('W', 0);
    EXPECT_EQ(bar->GetSelectorB(), kGroupBItem);
    // Closing still works while an event runs.
    host.bEvent = true;
    bar->OnKeyDown('W', 0);
    EXPECT_EQ(bar->GetSelectorB(), -1);
    host.bEvent = false;
    EXPECT_EQ(bar->OnKeyDown('J', 0), 1);
    EXPECT_EQ(bar->GetSelectorB(), kGroupBSkill);
    EXPECT_EQ(bar->m_nSkillMenuHero, 1);

    // Arrows: one step of (speed x 16 / 32) x 32 from the hero, less the view origin.
    hero.ptPos = POINT{400, 300};
    hero.nWalkStep = 5;
    hero.nRunStep = 14;
    scene.ptView = POINT{100, 50};
    bar->OnKeyDown(VK_RIGHT, 0);
    bar->OnKeyDown('R', 0);  // run
    bar->OnKeyDown(VK_UP, 0);
    ASSERT_EQ(host.walks.size(), 2u);
    EXPECT_EQ(host.walks[0].x, 400 + 64 - 100);
    EXPECT_EQ(host.walks[0].y, 300 - 50);
    EXPECT_EQ(host.walks[1].y, 300 - 224 - 50);

    // A key that is not taken clears the back buffer: white in scene 20, black in 0.
    host.nScene = 20;
    FillBack(RGB(255, 0, 0));
    EXPECT_EQ(bar->OnKeyDown('Q', 0), 0);
    EXPECT_TRUE(Near(10, 10, 255, 255, 255));
    host.nScene = 0;
    FillBack(RGB(255, 0, 0));
    EXPECT_EQ(bar->OnKeyDown('Q', 0), 0);
    EXPECT_TRUE(Near(10, 10, 0, 0, 0));
}

TEST_F(ToolBarRouting, TheSystemMenuButtons) {
    // A click while no button was hovered: -1 and no sound; the menu stays.
    OpenSysMenuAt(410, 20);
    CGamePanel* pMenu = bar->Panel(kSysPanel);
    EXPECT_EQ(pMenu->GetHover(), -1);
    EXPECT_EQ(pMenu->OnLButtonUp(), -1);
    EXPECT_TRUE(host.sounds.empty());
    // Save with the save-allowed flag clear: the click sounds and nothing opens.
    hero.bMode[0] = 0;
    HoverAndDraw(500, 80);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(host.sounds, std::vector<int>{5});
    EXPECT_NE(bar->Panel(kSysPanel), nullptr);
    EXPECT_EQ(bar->GetSelectorB(), kGroupBSys);
    hero.bMode[0] = 1;
    HoverAndDraw(500, 80);
    EXPECT_EQ(bar->Panel(kSysPanel)->OnLButtonUp(), 3);
    HoverAndDraw(500, 140);
    EXPECT_EQ(bar->Panel(kSysPanel)->OnLButtonUp(), 4);
    // Quit answered with Cancel: asked, the menu closes and play goes on.
    HoverAndDraw(500, 330);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], Utf8ToText("是否退出游戏?"));
    EXPECT_EQ(host.nQuits, 0);
    EXPECT_EQ(bar->Panel(kSysPanel), nullptr);
    EXPECT_EQ(host.nMode, 3);
    // Answered with OK the game ends.
    host.nAnswer = 1;
    OpenSysMenuAt(500, 330);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(host.nQuits, 1);
}

TEST_F(ToolBarRouting, MendedCases) {
    // The last potion dropped on the hero's portrait is used, not lost: the lifted unit
    // is already off the count.
    hero.nLife = 10;
    hero.nLifeMax = 100;
    hero.nItemCount[kPotion] = 0;
    host.nCarried = kPotion;
    host.ptMouse = POINT{50, 500};
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(hero.nLife, 40);
    EXPECT_EQ(hero.nItemCount[kPotion], 0);
    EXPECT_EQ(host.nCarried, -1);

    // A task item dropped on the map with a full bag stays on the cursor.
    items[kGoods].nType = 5;  // the "other" family, one cell
    for (int c = 0; c < kBagCells; ++c) items[kGoods].nBagCell[0][c] = c;
    hero.nItemCount[kGoods] = 54;
    host.nCarried = kTaskItem;
    host.ptMouse = POINT{400, 300};
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(host.nCarried, kTaskItem);
    ASSERT_EQ(host.notices.size(), 2u);
    EXPECT_EQ(host.notices[1], Utf8ToText("物品栏已满\n无法放置！"));
    EXPECT_EQ(hero.nItemCount[kTaskItem], 0);
    host.nCarried = -1;

    // A panel that asks to close everything is closed by the host after its call.
    SetPanelMaker(PanelKind::State, MakeStub);
    SetPanelMaker(PanelKind::Task, MakeStub);
    bar->OnKeyDown('T', 0);
    bar->OnKeyDown('S', 0);
    EXPECT_EQ(CStubPanel::nAlive, 2);
    host.ptMouse = POINT{150, 150};
    CStubPanel::nNextCode = 7;
    bar->m_nSelectorA = kGroupALoad;
    bar->m_pPanels[kLoadPanel] = MakeStub(1, true);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(CStubPanel::nAlive, 1);  // the state panel is kept outside its selector
    EXPECT_EQ(bar->GetSelectorA(), -1);
    EXPECT_EQ(bar->GetSelectorB(), -1);

    // The settings opened from the system menu and closed by OK leave neither group
    // selected: W opens the bag at once, and after it ESC opens the system menu again.
    SetPanelMaker(PanelKind::Settings, MakeStub);
    SetPanelMaker(PanelKind::Item, MakeStub);
    OpenSysMenuAt(500, 270);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    ASSERT_EQ(bar->GetSelectorA(), kGroupASettings);
    EXPECT_EQ(bar->Panel(kSysPanel), nullptr);
    host.ptMouse = POINT{150, 150};
    CStubPanel::nNextCode = 2;
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->Panel(kSetPanel), nullptr);
    EXPECT_EQ(bar->GetSelectorA(), -1);
    EXPECT_EQ(bar->GetSelectorB(), -1);
    EXPECT_EQ(host.nMode, 3);
    bar->OnKeyDown('W', 0);
    EXPECT_EQ(bar->GetSelectorB(), kGroupBItem);
    bar->OnKeyDown('W', 0);
    EXPECT_EQ(bar->OnKeyDown(VK_ESCAPE, 0), 0);
    EXPECT_NE(bar->Panel(kSysPanel), nullptr);

    // A long caption is cut to 102 bytes at a character boundary.
    std::string strLong = "a";
    for (int i = 0; i < 80; ++i) strLong += "\xc4\xe3";
    bar->SetCaption(strLong.c_str());
    EXPECT_EQ(std::string(bar->m_szCaption).size(), 101u);
    EXPECT_EQ(std::string(bar->m_szCaption), strLong.substr(0, 101));
}

TEST_F(ToolBarRouting, MissingPicturesDrawNothing) {
    ASSERT_TRUE(UsePackage({}));
    CSysMenu menu;
    FillBack(RGB(0, 0, 0));
    host.ptMouse = POINT{500, 80};
    menu.Draw();
    EXPECT_TRUE(Near(420, 30, 0, 0, 0));
    EXPECT_TRUE(Near(500, 80, 0, 0, 0));
    EXPECT_EQ(menu.GetHover(), CSysMenu::kSave);
    CGameToolBar bare;
    bare.DrawToolBarOnly();
    EXPECT_TRUE(Near(400, 590, 0, 0, 0));
    EXPECT_EQ(bare.ShowTextBox(3, 10), 0);
}

}  // namespace
