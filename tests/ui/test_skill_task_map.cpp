// The skill panel's lists, selection and hot keys; the task panel's lists and
// butterflies; the scene map's window, marker and missing extent.
#include "tests/ui/PanelTestUtil.h"

#include "ui/panels/SceneMapView.h"

namespace {

class SkillPanel : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        skills.resize(40);
        levels.resize(40);
        // The hero's kind (member 1) owns skills 3, 5, 7 and 9; member 2's owns 4 and 6.
        for (auto& row : skills) row.nType = -5;
        for (int k : {3, 5, 7, 9}) skills[size_t(k)].nType = 0;
        for (int k : {4, 6}) skills[size_t(k)].nType = 1;
        data.pSkill = skills.data();
        data.pSkillLevel = levels.data();
        data.nSkillCount = 40;
        hero.nSkillKnown[3] = hero.nSkillKnown[9] = 1;
        for (int& k : hero.nHotKey) k = -1;
        bar->OnKeyDown('J', 0);
        ASSERT_NE(Skills(), nullptr);
    }
    int ClickSlot(int n) { return ClickAt(Centre(Skills()->GetHotRect(CSkillMenu::kFirstSlot + n))); }

    std::vector<SkillRow> skills;
    std::vector<SkillLevelRow> levels;
};

TEST_F(SkillPanel, ListsSelectionAndHotKeys) {
    EXPECT_EQ(Skills()->HeroKind(0), 3);
    EXPECT_EQ(Skills()->HeroKind(1), 5);
    EXPECT_EQ(Skills()->HeroKind(2), 7);
    EXPECT_EQ(Skills()->HeroLearned(0), 3);
    EXPECT_EQ(Skills()->HeroLearned(1), 9);
    EXPECT_EQ(Skills()->HeroLearned(2), -1);

    // Nothing selected: keys and the right click pass through.
    EXPECT_EQ(Skills()->OnKeyDown('Y'), 0);
    EXPECT_FALSE(Skills()->UseSelectedSkill());
    // An unlearned slot cannot be selected.
    ClickSlot(2);
    EXPECT_EQ(Skills()->GetHeroSelected(), -1);
    ClickSlot(1);
    EXPECT_EQ(Skills()->GetHeroSelected(), 1);

    // U, then Y: the skill moves to Y.
    EXPECT_EQ(bar->OnKeyDown('U', 0), 1);
    EXPECT_EQ(hero.nHotKey[1], 9);
    EXPECT_EQ(bar->OnKeyDown('Y', 0), 1);
    EXPECT_EQ(hero.nHotKey[0], 9);
    EXPECT_EQ(hero.nHotKey[1], -1);
    EXPECT_EQ(Skills()->OnKeyDown('Q'), 0);

    // A right click makes the hero select it.
    EXPECT_EQ(bar->OnRButtonDown(10, 10), 1);
    ASSERT_EQ(panelHost.selected.size(), 1u);
    EXPECT_EQ(panelHost.selected[0], (std::pair<CPlayer*, int>{&hero, 9}));
}

TEST_F(SkillPanel, TheCompanionArrowNeedsACompanion) {
    ClickAt(Centre(Skills()->GetHotRect(CSkillMenu::kRightArrow)));
    EXPECT_TRUE(Skills()->IsHeroShown());
    companion.nSkillKnown[4] = 1;
    companion.nSkillKnown[45] = 1;  // past the listed range
    pCompanion = &companion;
    bar->m_nCompanion = 2;
    ClickAt(Centre(Skills()->GetHotRect(CSkillMenu::kRightArrow)));
    EXPECT_FALSE(Skills()->IsHeroShown());
    EXPECT_EQ(Skills()->CompanionLearned(0), 4);
    EXPECT_EQ(Skills()->CompanionLearned(1), -1);
    ClickSlot(0);
    EXPECT_EQ(Skills()->GetCompanionSelected(), 0);
    EXPECT_TRUE(Skills()->UseSelectedSkill());
    EXPECT_EQ(panelHost.selected.back(), (std::pair<CPlayer*, int>{&companion, 4}));
    // The companion's skill is no hot-key skill of the hero.
    EXPECT_EQ(Skills()->OnKeyDown('Y'), 0);
    // Without a companion any more, the right click is taken and does nothing.
    pCompanion = nullptr;
    const size_t n = panelHost.selected.size();
    EXPECT_TRUE(Skills()->UseSelectedSkill());
    EXPECT_EQ(panelHost.selected.size(), n);
    // The refresh goes back to the hero.
    bar->RefreshPanels();
    EXPECT_TRUE(Skills()->IsHeroShown());
}

TEST_F(SkillPanel, RaisingALevelNeedsAPointAndStopsAtSeven) {
    ClickSlot(0);
    Skills()->RaiseSkillLevel(0);
    EXPECT_EQ(hero.nSkillLevel[3], 0);
    hero.nSkillPoints = 9;
    for (int i = 0; i < 9; ++i) Skills()->RaiseSkillLevel(0);
    EXPECT_EQ(hero.nSkillLevel[3], 7);
    EXPECT_EQ(hero.nSkillPoints, 2);
    Skills()->RaiseSkillLevel(2);  // no learned skill there
    EXPECT_EQ(hero.nSkillPoints, 2);
    // Drawing the information of a level past the level row is safe.
    bar->Draw();
}

class TaskPanel : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        tasks.resize(150);
        for (auto& t : tasks) t.pDescription = "task";
        data.pTask = tasks.data();
        data.nTaskCount = 20;
        for (int& s : hero.nTaskState) s = -1;
    }
    CTaskMenu* Open() {
        bar->OnKeyDown('T', 0);
        return static_cast<CTaskMenu*>(bar->Panel(kTaskPanel));
    }
    int ClickBall(CTaskMenu* p, int n) { return ClickAt(Centre(p->GetBallRect(n))); }
    std::vector<TaskRow> tasks;
};

TEST_F(TaskPanel, TheButterflyStepsThroughFiveTasksFromTheLast) {
    for (int t : {2, 4, 6, 8, 10}) hero.nTaskState[t] = 1;
    hero.nTaskState[3] = 0;
    hero.nTaskState[5] = 7;  // neither list
    CTaskMenu* p = Open();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Upper(), (std::vector<int>{2, 4, 6, 8, 10}));
    EXPECT_EQ(p->Lower(), (std::vector<int>{3}));
    EXPECT_EQ(p->UpperThumbY(), 160);
    EXPECT_EQ(p->LowerThumbY(), 270);
    std::vector<int> ys;
    for (int i = 0; i < 4; ++i) {
        ClickBall(p, CTaskMenu::kUpperUp);
        ys.push_back(p->UpperThumbY());
    }
    EXPECT_EQ(ys, (std::vector<int>{140, 120, 100, 80}));
    // At an end the click still sounds and nothing moves.
    panelHost.sounds.clear();
    ClickBall(p, CTaskMenu::kUpperUp);
    EXPECT_EQ(p->GetUpperPos(), 0);
    EXPECT_EQ(panelHost.sounds, (std::vector<int>{5}));
    ClickBall(p, CTaskMenu::kLowerDown);
    EXPECT_EQ(p->GetLowerPos(), 0);
    // No button hovered: -1.
    panelHost.ptMouse = POINT{600, 400};
    bar->Draw();
    EXPECT_EQ(p->OnLButtonUp(), kPanelMissed);
}

TEST_F(TaskPanel, EmptyListsAndALongTaskTable) {
    CTaskMenu* p = Open();
    EXPECT_TRUE(p->Upper().empty());
    EXPECT_EQ(p->UpperThumbY(), 80);
    ClickBall(p, CTaskMenu::kUpperDown);
    bar->Draw();
    bar->OnKeyDown('T', 0);
    // 150 task rows, but only 100 task states: the lists stop there.
    data.nTaskCount = 150;
    for (int& s : hero.nTaskState) s = 0;
    p = Open();
    EXPECT_EQ(p->Lower().size(), 100u);
    EXPECT_EQ(p->Lower().back(), 99);
    EXPECT_EQ(p->LowerThumbY(), 270 + 75);
}

class SceneMap : public PanelTest {};

TEST_F(SceneMap, TheWindowSitsAtTheRightAndTheMarkerStaysInside) {
    CSceneMapView narrow(0);
    narrow.SetPictureSize(200, 300);
    EXPECT_EQ(narrow.GetWindowOrigin().x, 600);
    CSceneMapView wide(0);
    wide.SetPictureSize(240, 240);
    EXPECT_EQ(wide.GetWindowOrigin().x, 560);
    wide.SetPictureSize(480, 480);
    EXPECT_EQ(wide.GetWindowOrigin().x, 560);

    // Map 2400 x 2400 on a 480 picture; top-left corner.
    SceneMapInput in{POINT{0, 0}, RECT{0, 0, 2400, 2400}, POINT{800, 600}};
    wide.UpdateFrom(in);
    EXPECT_TRUE(wide.IsShown());
    EXPECT_EQ(wide.GetViewOffset().x, 0);
    EXPECT_EQ(wide.GetViewOffset().y, 0);
    EXPECT_EQ(wide.GetMarker().x, 560 + 20);
    EXPECT_EQ(wide.GetMarker().y, 1 + 15);
    // Bottom-right corner: the window stays on the picture, the marker inside it.
    in = SceneMapInput{POINT{2400, 2400}, RECT{0, 0, 2400, 2400}, POINT{2400, 2400}};
    wide.UpdateFrom(in);
    EXPECT_EQ(wide.GetViewOffset().x, 480 - 240);
    EXPECT_EQ(wide.GetViewOffset().y, 480 - 240);
    EXPECT_EQ(wide.GetMarker().x, 560 + 460 - 240);
    EXPECT_EQ(wide.GetMarker().y, 1 + 465 - 240);
    // A map without extent shows nothing and keeps the last place.
    in.rcMap = RECT{0, 0, 0, 2400};
    wide.UpdateFrom(in);
    EXPECT_FALSE(wide.IsShown());
    EXPECT_FALSE(wide.IsMouseIn());
}

TEST_F(SceneMap, TabTogglesItAndWithoutAPictureItDrawsNothing) {
    FillBack(RGB(0, 0, 0));
    bar->OnKeyDown(VK_TAB, 0);
    ASSERT_NE(bar->m_pSceneMap, nullptr);
    auto* pMap = static_cast<CSceneMapView*>(bar->m_pSceneMap.get());
    EXPECT_FALSE(pMap->HasPicture());
    bar->Draw();
    EXPECT_TRUE(PixelIs(700, 100, RGB(0, 0, 0)));
    bar->OnKeyDown(VK_TAB, 0);
    EXPECT_EQ(bar->m_pSceneMap, nullptr);
}

}  // namespace
