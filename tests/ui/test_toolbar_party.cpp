// The toolbar's shake and party services: party-wide refills, looks, busy flags and
// bonuses skip the parked copy of the hero's own member; the two cell searches.
#include "tests/ui/ToolBarTestUtil.h"

namespace {

class ToolBarPartyTest : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        ASSERT_TRUE(scene.InitMap(20, 20, 0, 32));
        bar->m_nHero = 1;
        for (int i = 0; i < 3; ++i) {
            members[i].nMember = i;
            members[i].nLife = 5;
            members[i].nLifeMax = 60;
            members[i].nMana = 7;
            members[i].nManaMax = 70;
            pParty[i] = &members[i];
        }
        hero.nMember = 0;
        hero.nLife = 1;
        hero.nLifeMax = 40;
        hero.nMana = 2;
        hero.nManaMax = 30;
    }
    void TearDown() override {
        for (CPlayer*& p : pParty) p = nullptr;
        pScene = nullptr;
        ToolBarTest::TearDown();
    }
    void Block(int cx, int cy) { scene.pBlocked[size_t(cx + scene.nGridWidth * cy)] = 1; }

    CPlayer members[3];
};

TEST_F(ToolBarPartyTest, RefillsTouchOnePoolOfTheHeroAndTheMembersButNotTheParkedCopy) {
    bar->RefillParty(0);
    EXPECT_EQ(hero.nLife, 40);
    EXPECT_EQ(hero.nMana, 2);
    EXPECT_EQ(members[1].nLife, 60);
    EXPECT_EQ(members[2].nLife, 60);
    EXPECT_EQ(members[1].nMana, 7);
    EXPECT_EQ(members[0].nLife, 5) << "slot 0 holds the hero's parked copy";
    bar->RefillParty(1);
    EXPECT_EQ(hero.nMana, 30);
    EXPECT_EQ(members[2].nMana, 70);
    EXPECT_EQ(members[0].nMana, 7);
}

TEST_F(ToolBarPartyTest, LookBusyAndAttackDefence) {
    hero.nStance = members[1].nStance = members[0].nStance = 1;
    bar->TogglePartyLook();
    EXPECT_EQ(hero.nStance, 0);
    EXPECT_EQ(members[1].nStance, 0);
    EXPECT_EQ(members[0].nStance, 1);

    bar->ToggleMemberBusy(2);
    EXPECT_EQ(members[2].bBusy, 1);
    EXPECT_EQ(hero.bBusy, 0);
    bar->ToggleMemberBusy(0);
    EXPECT_EQ(hero.bBusy, 1);
    EXPECT_EQ(members[0].bBusy, 0);
    bar->ToggleMemberBusy(2);
    EXPECT_EQ(members[2].bBusy, 0);

    hero.nAttack = 10;
    hero.nDefence = 2147483640;
    bar->AddHeroAttackDefence(5, 100);
    EXPECT_EQ(hero.nAttack, 15);
    EXPECT_EQ(hero.nDefence, 2147483647);
}

TEST_F(ToolBarPartyTest, ClearingBonusesTakesAppliedOnesOffAndKeepsTheCounts) {
    members[1].nItemCount[4] = 3;
    members[1].nAttack = 50;
    members[1].nDefence = 20;
    members[1].inlay[4] = InlayRecord{10, 5, 0, -2};  // in force
    members[1].inlay[6] = InlayRecord{7, 7, 0, 3};    // recorded, not applied
    bar->ClearMemberItems(2);
    EXPECT_EQ(members[1].nItemCount[4], 3);
    EXPECT_EQ(members[1].nAttack, 40);
    EXPECT_EQ(members[1].nDefence, 15);
    for (const InlayRecord& b : members[1].inlay) {
        EXPECT_EQ(b.nAttack, 0);
        EXPECT_EQ(b.nLink, 0);
    }
    hero.inlay[1] = InlayRecord{1, 1, 1, 1};
    bar->ClearMemberItems(1);
    EXPECT_EQ(hero.inlay[1].nLink, 0);
    bar->ClearMemberItems(9);  // no such member: nothing
}

TEST_F(ToolBarPartyTest, FreePointFollowsTheRaysAndGivesUpWithMinusOne) {
    // A free cell keeps the exact pixel.
    for (SceneCell& c : scene.pCells) c.nWall = 0;
    EXPECT_EQ(bar->FindFreeMapPoint(5 * 32 + 3, 5 * 32 + 9).x, 5 * 32 + 3);
    // A wall at the centre and up to distance 1 above it: ring 1 tries up, then down.
    scene.CellAt(5, 5)->nWall = 1;
    scene.CellAt(5, 4)->nWall = 1;
    POINT pt = bar->FindFreeMapPoint(5 * 32 + 3, 5 * 32 + 9);
    EXPECT_EQ(pt.x, 5 * 32 + 16);
    EXPECT_EQ(pt.y, 6 * 32 + 16);
    // With down taken too, ring 1 goes on to the left before the diagonals.
    scene.CellAt(5, 6)->nWall = 1;
    pt = bar->FindFreeMapPoint(5 * 32 + 3, 5 * 32 + 9);
    EXPECT_EQ(scene.PixelToCell(pt.x, pt.y).x, 4);
    EXPECT_EQ(scene.PixelToCell(pt.x, pt.y).y, 5);
    // Walls everywhere: nothing within reach.
    for (SceneCell& c : scene.pCells) c.nWall = 1;
    pt = bar->FindFreeMapPoint(100, 100);
    EXPECT_EQ(pt.x, -1);
    EXPECT_EQ(pt.y, -1);
}

TEST_F(ToolBarPartyTest, NeighbourCellIsTheFirstPassableInOrderElseTheCellItself) {
    POINT c = bar->FindNeighbourCell(5, 5);
    EXPECT_EQ(c.x, 5);
    EXPECT_EQ(c.y, 6);
    Block(5, 6);
    Block(4, 6);
    c = bar->FindNeighbourCell(5, 5);
    EXPECT_EQ(c.x, 4);
    EXPECT_EQ(c.y, 5);
    // At the grid's corner the neighbours off the grid are passed over.
    c = bar->FindNeighbourCell(0, 0);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 1);
    for (std::int32_t& b : scene.pBlocked) b = 1;
    c = bar->FindNeighbourCell(7, 8);
    EXPECT_EQ(c.x, 7);
    EXPECT_EQ(c.y, 8);
}

TEST_F(ToolBarPartyTest, AShakeNeverCarriesTheViewOutOfItsScrollRange) {
    scene.rcMap = RECT{0, 0, 900, 700};
    scene.ptView = POINT{0, 0};
    bool bMoved = false;
    for (int i = 0; i < 2000; ++i) {
        AdvanceVirtualClock(7);
        bar->ShakeView();
        ASSERT_GE(scene.ptView.x, 0);
        ASSERT_GE(scene.ptView.y, 0);
        ASSERT_LE(scene.ptView.x, 100);
        ASSERT_LE(scene.ptView.y, 100);
        bMoved = bMoved || scene.ptView.y != 0;
    }
    EXPECT_TRUE(bMoved);
}

}  // namespace
