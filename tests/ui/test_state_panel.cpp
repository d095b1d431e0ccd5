// The state panel and the hero's equipment: wearing, taking off and swapping with the
// cursor's item against stats and counts, unfit items, buttons while carrying, and a
// click after the cursor crossed from one kind of target to another.
#include "tests/ui/PanelTestUtil.h"

namespace {

class StatePanel : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        bar->OnKeyDown('S', 0);
        ASSERT_NE(State(), nullptr);
    }
    int ClickBox(int nBox) { return ClickAt(Centre(State()->GetEquipBox(nBox))); }
    int ClickButton(int nButton) { return ClickAt(Centre(State()->GetButtonRect(nButton))); }
    // Count, carried, worn: where units of an item can be.
    int Units(int nItem) {
        int n = hero.nItemCount[nItem] + (panelHost.nCarried == nItem ? 1 : 0);
        for (int s = 0; s < 6; ++s) n += *hero.EquipSlot(s) == nItem ? 1 : 0;
        return n;
    }
};

TEST_F(StatePanel, OpeningItClosesTheWorkPanelsMakingItDoesNot) {
    EXPECT_EQ(panelHost.nWorkCloses, 1);
    { CStateMenu panel; }
    EXPECT_EQ(panelHost.nWorkCloses, 1);
}

TEST_F(StatePanel, WearingAndTakingOffMoveStatsNotCounts) {
    hero.nItemCount[kArmour] = 2;
    hero.nItemCount[kHelmet] = 1;
    // The armour on the cursor is a third armour unit, the helmets come from the test.

    // The carried armour goes into the armour box: defence and life maximum rise.
    panelHost.nCarried = kArmour;
    ClickBox(2);
    EXPECT_EQ(*hero.EquipSlot(2), kArmour);
    EXPECT_EQ(panelHost.nCarried, -1);
    EXPECT_EQ(hero.nDefence, 4);
    EXPECT_EQ(hero.nLifeMax, 70);
    hero.nLife = 70;

    // Taken off: the stats fall and the life is clamped to the new maximum.
    panelHost.sounds.clear();
    ClickBox(2);
    EXPECT_EQ(panelHost.nCarried, kArmour);
    EXPECT_EQ(*hero.EquipSlot(2), -1);
    EXPECT_EQ(hero.nDefence, 0);
    EXPECT_EQ(hero.nLifeMax, 50);
    EXPECT_EQ(hero.nLife, 50);
    EXPECT_EQ(panelHost.sounds, (std::vector<int>{5}));

    // Into the head box it does not fit: nothing moves.
    panelHost.ptMouse = Centre(State()->GetEquipBox(0));
    bar->Draw();
    EXPECT_EQ(State()->OnLButtonUp(), kPanelMissed);
    EXPECT_EQ(*hero.EquipSlot(0), -1);
    EXPECT_EQ(panelHost.nCarried, kArmour);

    // A swap: the worn helmet comes onto the cursor, the second helmet is worn.
    panelHost.nCarried = kHelmet;
    ClickBox(0);
    EXPECT_EQ(hero.nAttack, 5);
    panelHost.nCarried = kHelmet2;
    ClickBox(0);
    EXPECT_EQ(*hero.EquipSlot(0), kHelmet2);
    EXPECT_EQ(panelHost.nCarried, kHelmet);
    EXPECT_EQ(hero.nAttack, 9);

    // No count changed anywhere: units only moved between cursor and boxes.
    EXPECT_EQ(hero.nItemCount[kHelmet], 1);
    EXPECT_EQ(hero.nItemCount[kArmour], 2);
    EXPECT_EQ(Units(kHelmet), 2);
    EXPECT_EQ(Units(kHelmet2), 1);
}

TEST_F(StatePanel, UnfitItemsAreRefused) {
    // Wrong type, wrong shape, or not for this member.
    for (int nItem : {kPotion, kPlate}) {
        panelHost.nCarried = nItem;
        panelHost.ptMouse = Centre(State()->GetEquipBox(0));
        bar->Draw();
        EXPECT_EQ(State()->OnLButtonUp(), kPanelMissed) << nItem;
        EXPECT_EQ(*hero.EquipSlot(0), -1);
        EXPECT_EQ(panelHost.nCarried, nItem);
    }
    items[kHelmet].bFit[0] = 0;
    items[kHelmet].bFit[1] = 1;
    panelHost.nCarried = kHelmet;
    EXPECT_EQ(State()->OnLButtonUp(), kPanelMissed);
    hero.nMember = 1;
    EXPECT_EQ(State()->OnLButtonUp(), kPanelHandled);
    EXPECT_EQ(*hero.EquipSlot(0), kHelmet);
    // An empty box with an empty cursor: nothing to take off.
    panelHost.nCarried = -1;
    panelHost.ptMouse = Centre(State()->GetEquipBox(4));
    bar->Draw();
    EXPECT_EQ(State()->OnLButtonUp(), kPanelMissed);
}

TEST_F(StatePanel, ButtonsAreInertWhileCarryingAndActOtherwise) {
    panelHost.nCarried = kHelmet;
    for (int b : {CStateMenu::kItem, CStateMenu::kSkill, CStateMenu::kTask, CStateMenu::kClose}) {
        panelHost.ptMouse = Centre(State()->GetButtonRect(b));
        bar->Draw();
        EXPECT_EQ(State()->OnLButtonUp(), kPanelMissed) << b;
    }
    EXPECT_EQ(bar->Panel(kItemPanel), nullptr);
    panelHost.nCarried = -1;
    ClickButton(CStateMenu::kItem);
    ASSERT_NE(Items(), nullptr);
    EXPECT_EQ(bar->GetSelectorB(), kGroupBItem);
    bar->Draw();
    EXPECT_TRUE(State()->HasConnector());
    ClickButton(CStateMenu::kClose);
    EXPECT_EQ(State(), nullptr);
}

TEST_F(StatePanel, AClickActsOnlyOnWhatTheCursorIsOver) {
    hero.nItemCount[kHelmet] = 0;
    panelHost.nCarried = kHelmet;
    ClickBox(0);
    ASSERT_EQ(*hero.EquipSlot(0), kHelmet);

    // Over the head box, then straight onto the left arrow: the arrow acts, the
    // helmet stays worn.
    panelHost.ptMouse = Centre(State()->GetEquipBox(0));
    bar->Draw();
    EXPECT_EQ(State()->GetEquipHover(), 0);
    panelHost.ptMouse = Centre(State()->GetButtonRect(CStateMenu::kLeftArrow));
    bar->Draw();
    EXPECT_EQ(State()->GetEquipHover(), -1);
    EXPECT_EQ(State()->OnLButtonUp(), kPanelMissed);
    EXPECT_EQ(*hero.EquipSlot(0), kHelmet);
    EXPECT_EQ(panelHost.nCarried, -1);

    // Over the close button, then onto the box: the box acts, the panel stays.
    panelHost.ptMouse = Centre(State()->GetButtonRect(CStateMenu::kClose));
    bar->Draw();
    panelHost.ptMouse = Centre(State()->GetEquipBox(0));
    bar->Draw();
    EXPECT_EQ(State()->OnLButtonUp(), kPanelHandled);
    EXPECT_EQ(panelHost.nCarried, kHelmet);
    EXPECT_EQ(*hero.EquipSlot(0), -1);
}

TEST_F(StatePanel, TheArrowsShowTheCompanionOnlyWhenThereIsOne) {
    companion.nEquipSlot5 = -1;
    *companion.EquipSlot(0) = kHelmet;
    companion.nAttack = 5;
    ClickButton(CStateMenu::kRightArrow);
    EXPECT_TRUE(State()->IsHeroShown());
    pCompanion = &companion;
    bar->m_nCompanion = 2;
    ClickButton(CStateMenu::kRightArrow);
    EXPECT_FALSE(State()->IsHeroShown());
    // Taking off now works on the companion.
    ClickBox(0);
    EXPECT_EQ(panelHost.nCarried, kHelmet);
    EXPECT_EQ(companion.nAttack, 0);
    EXPECT_EQ(*companion.EquipSlot(0), -1);
    // A refresh (a script changed the party) shows the hero again.
    bar->RefreshPanels();
    EXPECT_TRUE(State()->IsHeroShown());
}

}  // namespace
