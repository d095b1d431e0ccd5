// The command ring and the lists: hover, scrolling, refusals and the choices they
// leave behind.
#include "tests/battle/FightTestUtil.h"

namespace fighttest {
namespace {

TEST(FightListTest, SevenEntriesScrollDownTwiceAndNoFurther) {
    FightList list;
    for (int i = 0; i < 7; ++i) list.Append(i);
    for (int n = 0; n < 5; ++n) list.ScrollDown();
    EXPECT_EQ(list.First, 2);
    list.ScrollUp();
    list.ScrollUp();
    list.ScrollUp();
    EXPECT_EQ(list.First, 0);
    FightList shortList;
    for (int i = 0; i < 5; ++i) shortList.Append(i);
    shortList.ScrollDown();
    EXPECT_EQ(shortList.First, 0);
    FightList full;
    for (int i = 0; i < kFightListSize; ++i) EXPECT_TRUE(full.Append(i));
    EXPECT_FALSE(full.Append(1));
}

class MenuTest : public FightTest {
protected:
    // Member 0 acting with the ring open; skills 10..16 learned, 10 costing 50 MP.
    CFight& Ring() {
        for (int k = 10; k < 17; ++k) {
            hero.nSkillKnown[k] = 1;
            skills[size_t(k)].nDirection = k == 16 ? 2 + 3 : 0;  // 16 on the stunt tab (taken mod 3)
            skills[size_t(k)].nMana = k == 10 ? 50 : 5;
            skills[size_t(k)].nType = 6;
        }
        skills[11].nType = 1;
        CFight& f = Start({0});
        f.ActiveNpc = 0;
        f.SetMenuState(kMenuRing);
        f.CommandMode = 0;
        return f;
    }
    void Click(CFight& f, int nButton) {
        f.pMenu->HoverButton = nButton;
        f.pMenu->bClickArmed = 1;
        f.OnMenuClick();
    }
};

TEST_F(MenuTest, ListsSortLearnedSkillsByTabAndItemsByType) {
    items[2].nType = 0;
    items[3].nType = 6;
    items[4].nType = 0;
    hero.nItemCount[2] = 3;
    hero.nItemCount[3] = 1;
    CFight& f = Ring();
    EXPECT_EQ(f.SkillLists[0][0]->Count, 6);
    EXPECT_EQ(f.SkillLists[2][0]->Count, 1);
    EXPECT_EQ(f.SkillLists[2][0]->Ids[0], 16);
    EXPECT_EQ(f.SkillLists[0][1]->Count, 0);
    EXPECT_EQ(f.ItemList->Count, 1);
    EXPECT_EQ(f.ItemList->Ids[0], 2);
    EXPECT_EQ(f.ThrowList->Count, 1);
}

TEST_F(MenuTest, HoverFindsRingButtonsAndTheSkillButtonResetsTheTab) {
    CFight& f = Ring();
    CFightMenu& m = *f.pMenu;
    m.CurrentTab = 2;
    m.HitTest(m.ptRing.x + 110, m.ptRing.y + 5);
    EXPECT_EQ(m.HoverButton, 1);
    EXPECT_EQ(m.CurrentTab, 0);
    m.HitTest(m.ptRing.x + 60, m.ptRing.y + 5);
    EXPECT_EQ(m.HoverButton, kHoverNoRingButton);
    // A click beside every button does nothing.
    m.bClickArmed = 1;
    f.OnMenuClick();
    EXPECT_EQ(f.MenuState(), kMenuRing);
    EXPECT_EQ(f.CommandMode, 0);
    EXPECT_EQ(m.bClickArmed, 0);
}

TEST_F(MenuTest, AttackDefendAndTheListButtons) {
    CFight& f = Ring();
    Click(f, 0);
    EXPECT_EQ(f.CommandMode, 10);
    EXPECT_EQ(f.pMenu->bRingHidden, 1);
    CFight& g = Ring();
    Click(g, 2);
    EXPECT_EQ(g.MenuState(), kMenuItems);
    CFight& h = Ring();
    C(0).timeRecovered = 77;
    Click(h, 5);
    EXPECT_EQ(h.bDefending[0], 1);
    EXPECT_EQ(h.ActiveNpc, -1);
    EXPECT_EQ(h.MenuState(), kMenuHidden);
    EXPECT_EQ(h.bTurnGate, 1);
    EXPECT_EQ(C(0).timeRecovered, 0u);
}

TEST_F(MenuTest, ASkillTooDearIsRefusedAndTheListStays) {
    CFight& f = Ring();
    Click(f, 1);
    ASSERT_EQ(f.MenuState(), kMenuSkills);
    C(0).MP = 40;
    Click(f, 3);  // row 0: skill 10 costs 50
    EXPECT_EQ(f.CommandMode, -1);
    EXPECT_EQ(f.CommandSkill, -1);
    EXPECT_EQ(f.MenuState(), kMenuSkills);
    Click(f, 5);  // row 1: skill 11, cast in place
    EXPECT_EQ(f.CommandSkill, 11);
    EXPECT_EQ(f.CommandMode, 4);
    EXPECT_EQ(f.MenuState(), kMenuRing);
    // A row past the list's end chooses nothing.
    f.SetMenuState(kMenuSkills);
    f.SkillLists[0][0]->First = 2;
    f.CommandSkill = -1;
    Click(f, 11);  // row 4 = entry 6 (skill 16 is not on this tab: entries 0..5)
    EXPECT_EQ(f.CommandSkill, -1);
}

TEST_F(MenuTest, TheStuntTabIsDeadWithoutStunts) {
    CFight& f = Ring();
    Click(f, 1);
    f.pMenu->CurrentTab = 2;
    f.nStunts = 0;
    Click(f, 3);
    EXPECT_EQ(f.CommandSkill, -1);
    EXPECT_EQ(f.MenuState(), kMenuSkills);
    f.nStunts = 1;
    Click(f, 3);
    EXPECT_EQ(f.CommandSkill, 16);
    EXPECT_EQ(f.CommandMode, 2);
}

TEST_F(MenuTest, TheRightButtonReturnsToTheRingButNotWhileAnEffectRuns) {
    CFight& f = Ring();
    Click(f, 1);
    f.bEffectBusy = 1;
    f.OnRButtonDown(0, 0);
    EXPECT_EQ(f.MenuState(), kMenuSkills);
    f.bEffectBusy = 0;
    f.OnRButtonDown(0, 0);
    EXPECT_EQ(f.MenuState(), kMenuRing);
    EXPECT_EQ(f.CommandMode, 0);
}

TEST_F(MenuTest, EscapeHalvesTheMoneyAndEndsTheBattle) {
    hero.nMoney = 1001;
    CFight& f = Ring();
    Click(f, 4);
    ASSERT_EQ(f.bEscapePopup, 1);
    C(0).HP = 70;
    f.OnLButtonDown(f.ptEscapePopup.x + 20, f.ptEscapePopup.y + 80);
    EXPECT_EQ(f.nResult, 4);
    EXPECT_EQ(hero.nMoney, 500);
    EXPECT_EQ(hero.nLife, 70);
}

}  // namespace
}  // namespace fighttest

#include "battle/FightLink.h"

namespace fighttest {
namespace {

TEST_F(FightTest, TheLinkTurnsResultPagesAndForwardsInput) {
    CFight& f = Start({0});
    CFightLink link(&f);
    EXPECT_TRUE(link.IsRunning());
    EXPECT_EQ(link.GetFight(), &f);
    f.bResultShown = 1;
    f.bPagePending[1] = 1;
    link.OnLButtonUp(0, 10, 10);
    EXPECT_EQ(f.bNextPage, 1);
    EXPECT_EQ(f.bResultShown, 1);
    f.bPagePending[1] = 0;
    link.OnLButtonUp(0, 10, 10);
    EXPECT_EQ(f.bResultShown, 0);
    f.ActiveNpc = 1;
    link.OnKeyUp('A', 1, 0);
    EXPECT_EQ(f.bAutoAttack, 1);
    link.StopRunning();
    EXPECT_EQ(f.bRunning, 0);
    EXPECT_EQ(f.Run(), 0);
    EXPECT_FALSE(CFightLink(nullptr).IsRunning());
}

}  // namespace
}  // namespace fighttest
