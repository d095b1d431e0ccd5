// The item panel: lifting and putting down units against the counts, shapes at the
// grid's edges, pages, right clicks (use, task item, bomb, hand-offs) and the bonus
// marker that follows the unit with gems set into it.
#include "tests/ui/PanelTestUtil.h"

#include "platform/Charset.h"

namespace {

class ItemPanel : public PanelTest {
protected:
    void OpenItems() {
        bar->OnKeyDown('W', 0);
        ASSERT_NE(Items(), nullptr);
    }
};

TEST_F(ItemPanel, LiftingAndPuttingBackKeepsTheCountAndTheShapeInsideTheGrid) {
    ASSERT_EQ(bar->AddItemToBag(kBig), 1);
    OpenItems();
    EXPECT_EQ(Items()->GetPage(), CItemMenu::kPageGoods);
    EXPECT_EQ(CellsOf(kBig), (std::vector<int>{0, 1, 9, 10}));

    // A click on any cell of the region lifts the unit: one less while carried.
    EXPECT_EQ(ClickCell(10), 1);
    EXPECT_EQ(panelHost.nCarried, kBig);
    EXPECT_EQ(hero.nItemCount[kBig], 0);
    EXPECT_TRUE(CellsOf(kBig).empty());
    for (int c = 0; c < kBagCells; ++c) EXPECT_EQ(items[kBig].nBagCell[0][c], -1) << c;

    // A 2 x 2 unit is refused in the last column and in the last row.
    for (int nCell : {8, 17, 45, 53}) {
        ClickCell(nCell);
        EXPECT_EQ(panelHost.nCarried, kBig) << nCell;
        EXPECT_EQ(hero.nItemCount[kBig], 0) << nCell;
        EXPECT_TRUE(CellsOf(kBig).empty()) << nCell;
    }

    // Put down elsewhere: the count is back and the region is anchored there.
    const size_t nSounds = panelHost.sounds.size();
    EXPECT_EQ(ClickCell(3), 1);
    EXPECT_EQ(panelHost.nCarried, -1);
    EXPECT_EQ(hero.nItemCount[kBig], 1);
    EXPECT_EQ(CellsOf(kBig), (std::vector<int>{3, 4, 12, 13}));
    for (int c : {3, 4, 12, 13}) EXPECT_EQ(items[kBig].nBagCell[0][c], 3);
    EXPECT_EQ(panelHost.sounds.size(), nSounds + 1);
}

TEST_F(ItemPanel, ATallLiftClearsExactlyItsTwoCells) {
    ASSERT_EQ(bar->AddItemToBag(kTall), 1);
    ASSERT_EQ(bar->AddItemToBag(kTall), 1);
    OpenItems();
    EXPECT_EQ(CellsOf(kTall), (std::vector<int>{0, 1, 9, 10}));
    EXPECT_EQ(ClickCell(9), 1);
    EXPECT_EQ(CellsOf(kTall), (std::vector<int>{1, 10}));
    EXPECT_EQ(hero.nItemCount[kTall], 1);
    EXPECT_EQ(items[kTall].nBagCell[0][0], -1);
    EXPECT_EQ(items[kTall].nBagCell[0][9], -1);
    EXPECT_EQ(items[kTall].nBagCell[0][10], 1);
    // The last row cannot take a 2 x 1 unit; the row above can.
    ClickCell(46);
    EXPECT_EQ(panelHost.nCarried, kTall);
    ClickCell(37);
    EXPECT_EQ(panelHost.nCarried, -1);
    EXPECT_EQ(CellsOf(kTall), (std::vector<int>{1, 10, 37, 46}));
}

TEST_F(ItemPanel, AUnitOnTheWrongPageGivesTheNoticeAndStaysCarried) {
    ASSERT_EQ(bar->AddItemToBag(kBig), 1);
    OpenItems();
    ClickCell(0);
    ASSERT_EQ(panelHost.nCarried, kBig);
    Items()->ShowItemPage1();
    panelHost.notices.clear();
    panelHost.noticePlaces.clear();
    ClickCell(20);
    ASSERT_EQ(panelHost.notices.size(), 1u);
    EXPECT_EQ(panelHost.notices[0], Utf8ToText("物品分类错误！"));
    ASSERT_EQ(panelHost.noticePlaces.size(), 1u);
    EXPECT_EQ(panelHost.noticePlaces[0], (std::array<int, 3>{2, 150, 200}));
    EXPECT_EQ(panelHost.nCarried, kBig);
    EXPECT_EQ(hero.nItemCount[kBig], 0);
    EXPECT_TRUE(CellsOf(kBig).empty());
}

TEST_F(ItemPanel, TabsShowTheirFamiliesAndAPlacementShowsItsPage) {
    ASSERT_EQ(bar->AddItemToBag(kHelmet), 1);
    ASSERT_EQ(bar->AddItemToBag(kPotion), 1);
    ASSERT_EQ(bar->AddItemToBag(kGem), 1);
    OpenItems();
    EXPECT_EQ(CellsOf(kGem), (std::vector<int>{0}));
    EXPECT_TRUE(CellsOf(kHelmet).empty());
    // The equipment tab.
    panelHost.ptMouse = POINT{400 + 319, 10 + 240};
    bar->Draw();
    EXPECT_EQ(Items()->GetHoveredTab(), 1);
    bar->OnLButtonUp();
    EXPECT_EQ(Items()->GetPage(), CItemMenu::kPageEquipment);
    EXPECT_EQ(CellsOf(kHelmet), (std::vector<int>{0, 1, 9, 10}));
    // A new potion brings its page up.
    ASSERT_EQ(bar->AddItemToBag(kPotion), 1);
    EXPECT_EQ(Items()->GetPage(), CItemMenu::kPageOther);
    EXPECT_EQ(CellsOf(kPotion), (std::vector<int>{0, 1}));
}

TEST_F(ItemPanel, APotionGoesToTheCompanionOnlyWhenTheHeroIsFull) {
    companion.nLifeMax = 100;
    companion.nLife = 10;
    pCompanion = &companion;
    ASSERT_EQ(bar->AddItemToBag(kPotion), 1);
    ASSERT_EQ(bar->AddItemToBag(kPotion), 1);
    OpenItems();
    Items()->ShowItemPage2();
    EXPECT_EQ(RightClickCell(0), 1);
    EXPECT_EQ(companion.nLife, 40);
    EXPECT_EQ(hero.nItemCount[kPotion], 1);
    EXPECT_EQ(CellsOf(kPotion), (std::vector<int>{1}));
    EXPECT_EQ(panelHost.nCarried, -1);
    // A hurt hero drinks it himself; the last unit leaves the bag.
    hero.nLife = 10;
    EXPECT_EQ(RightClickCell(1), 1);
    EXPECT_EQ(hero.nLife, 40);
    EXPECT_EQ(companion.nLife, 40);
    EXPECT_EQ(hero.nItemCount[kPotion], 0);
    EXPECT_TRUE(CellsOf(kPotion).empty());
    for (int c = 0; c < kBagCells; ++c) EXPECT_EQ(items[kPotion].nBagCell[0][c], -1);
}

TEST_F(ItemPanel, RightClicksOnTaskItemsGemsBombsAndWorkPanels) {
    constexpr int kBomb = 47;  // goods of the bomb type with an explosion
    Item(kBomb, 8, 0);
    ASSERT_EQ(bar->AddItemToBag(kTaskItem), 1);
    for (int n : {kGem, kGem, kGem, kBomb, kBomb}) ASSERT_EQ(bar->AddItemToBag(n), 1);
    OpenItems();
    Items()->ShowItemPage2();
    EXPECT_EQ(RightClickCell(0), 0);
    ASSERT_EQ(panelHost.notices.size(), 1u);
    EXPECT_EQ(panelHost.notices[0], Utf8ToText("该物品是完成\n任务必须的物品!"));
    EXPECT_EQ(hero.nItemCount[kTaskItem], 1);

    // A gem shares the bomb type but has no explosion: it stays and nothing is armed.
    Items()->ShowBagPage(CItemMenu::kPageGoods);
    ASSERT_EQ(CellsOf(kGem), (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(CellsOf(kBomb), (std::vector<int>{3, 4}));
    dwNowTime = 4321;
    EXPECT_EQ(RightClickCell(0), 0);
    EXPECT_EQ(bar->m_bBombArmed, 0);
    EXPECT_EQ(bar->m_nBombItem, -1);
    EXPECT_EQ(hero.nItemCount[kGem], 3);
    EXPECT_EQ(CellsOf(kGem), (std::vector<int>{0, 1, 2}));
    // A bomb arms at the hero and leaves the bag.
    EXPECT_EQ(RightClickCell(3), 1);
    EXPECT_EQ(bar->m_bBombArmed, 1);
    EXPECT_EQ(bar->m_nBombItem, kBomb);
    EXPECT_EQ(bar->m_dwBombTime, 4321u);
    EXPECT_EQ(bar->m_ptBomb.x, 320);
    EXPECT_EQ(hero.nItemCount[kBomb], 1);
    EXPECT_EQ(CellsOf(kBomb), (std::vector<int>{4}));
    EXPECT_EQ(panelHost.nCarried, -1);
    // Only one bomb at a time: the second stays.
    EXPECT_EQ(RightClickCell(4), 0);
    EXPECT_EQ(hero.nItemCount[kBomb], 1);
    EXPECT_EQ(bar->m_nBombItem, kBomb);
    // An open combine panel that takes the gem gets it.
    panelHost.bCombine = true;
    EXPECT_EQ(RightClickCell(1), 1);
    EXPECT_EQ(panelHost.combined, (std::vector<int>{kGem}));
    EXPECT_EQ(hero.nItemCount[kGem], 2);
    // A trade panel that buys it comes first.
    panelHost.bTrade = true;
    EXPECT_EQ(RightClickCell(2), 1);
    EXPECT_EQ(panelHost.sold, (std::vector<int>{kGem}));
    EXPECT_EQ(hero.nItemCount[kGem], 1);
    // Nothing happens while a unit is carried.
    panelHost.nCarried = kBig;
    EXPECT_EQ(RightClickCell(0), 0);
    EXPECT_EQ(hero.nItemCount[kGem], 1);
}

TEST_F(ItemPanel, ARefusedHandOverDoesNothingElse) {
    hero.nLife = 10;
    ASSERT_EQ(bar->AddItemToBag(kPotion), 1);
    ASSERT_EQ(bar->AddItemToBag(kGem), 1);
    OpenItems();
    panelHost.bWorkTakes = false;
    // A shop that does not take the potion: it is not drunk instead.
    panelHost.bTrade = true;
    Items()->ShowItemPage2();
    EXPECT_EQ(RightClickCell(0), 0);
    EXPECT_EQ(panelHost.sold, (std::vector<int>{kPotion}));
    EXPECT_EQ(hero.nLife, 10);
    EXPECT_EQ(hero.nItemCount[kPotion], 1);
    EXPECT_EQ(CellsOf(kPotion), (std::vector<int>{0}));
    // A full combining table: the gem is not armed as a bomb instead.
    panelHost.bTrade = false;
    panelHost.bCombine = true;
    Items()->ShowBagPage(CItemMenu::kPageGoods);
    EXPECT_EQ(RightClickCell(0), 0);
    EXPECT_EQ(panelHost.combined, (std::vector<int>{kGem}));
    EXPECT_EQ(bar->m_bBombArmed, 0);
    EXPECT_EQ(hero.nItemCount[kGem], 1);
    EXPECT_EQ(CellsOf(kGem), (std::vector<int>{0}));
    // With the table open a potion is still drunk: the table never takes one.
    Items()->ShowItemPage2();
    EXPECT_EQ(RightClickCell(0), 1);
    EXPECT_EQ(hero.nLife, 40);
    EXPECT_EQ(panelHost.combined.size(), 1u);
}

TEST_F(ItemPanel, ATabClickActsOnTheTabNotOnTheCellLeftBefore) {
    ASSERT_EQ(bar->AddItemToBag(kBig), 1);
    OpenItems();
    // A frame with the cursor on the unit, then one on the equipment tab.
    panelHost.ptMouse = Centre(Items()->Grid().Cell(0).rc);
    bar->Draw();
    ASSERT_EQ(Items()->GetHoveredCell(), 0);
    ClickAt(Centre(RECT{713, 246, 725, 271}));
    EXPECT_EQ(Items()->GetHoveredCell(), -1);
    EXPECT_EQ(panelHost.nCarried, -1);
    EXPECT_EQ(hero.nItemCount[kBig], 1);
    EXPECT_EQ(Items()->GetPage(), CItemMenu::kPageEquipment);
}

TEST_F(ItemPanel, TheBonusMarkerFollowsTheInlaidUnit) {
    hero.nLevelMember = 2;
    ASSERT_EQ(bar->AddItemToBag(kBlade), 1);  // takes cells 0, 1, 9, 10
    ASSERT_EQ(bar->AddItemToBag(kHelmet), 1);  // anchor 2
    ASSERT_EQ(bar->AddItemToBag(kHelmet), 1);  // anchor 4
    // The first unit's gems are not yet placed: a rebuild puts the marker on it.
    hero.inlay[kHelmet] = InlayRecord{3, 2, 0, -1};
    OpenItems();
    Items()->ShowItemPage1();
    EXPECT_EQ(hero.inlay[kHelmet].nLink, 2);
    for (int c : {2, 3, 11, 12}) EXPECT_EQ(items[kHelmet].nBagMark[2][c], 1) << c;
    for (int c : {4, 5, 13, 14}) EXPECT_EQ(items[kHelmet].nBagMark[2][c], 0) << c;
    // The description tip knows the marked unit from the other one.
    panelHost.ptMouse = Centre(Items()->Grid().Cell(11).rc);
    bar->Draw();
    EXPECT_EQ(bar->m_nTipItem, kHelmet);
    EXPECT_EQ(bar->m_nTipCell, 11);
    panelHost.ptMouse = Centre(Items()->Grid().Cell(13).rc);
    bar->Draw();
    EXPECT_EQ(bar->m_nTipItem, kHelmet);
    EXPECT_EQ(bar->m_nTipCell, -1);

    // Lifted: the marker waits for it; put down: the marker and the marks move with it.
    ClickCell(3);
    EXPECT_EQ(hero.inlay[kHelmet].nLink, -1);
    for (int c : {2, 3, 11, 12}) EXPECT_EQ(items[kHelmet].nBagMark[2][c], 0) << c;
    ClickCell(22);
    EXPECT_EQ(hero.inlay[kHelmet].nLink, 22);
    for (int c : {22, 23, 31, 32}) EXPECT_EQ(items[kHelmet].nBagMark[2][c], 1) << c;
    for (int c : {4, 5, 13, 14}) EXPECT_EQ(items[kHelmet].nBagMark[2][c], 0) << c;
    // Lifting the unmarked unit leaves the marker where it is.
    ClickCell(5);
    EXPECT_EQ(hero.inlay[kHelmet].nLink, 22);
    EXPECT_EQ(items[kHelmet].nBagMark[2][22], 1);
}

TEST_F(ItemPanel, AUnitThatIsNotOnTheCountCannotBeLifted) {
    ASSERT_EQ(bar->AddItemToBag(kBig), 1);
    OpenItems();
    // The count went to 0 behind the panel's back (a script took the item).
    hero.nItemCount[kBig] = 0;
    EXPECT_EQ(Items()->PickUpFromCell(0), -1);
    EXPECT_EQ(panelHost.nCarried, -1);
    EXPECT_EQ(hero.nItemCount[kBig], 0);
    // An empty cell: 0.
    EXPECT_EQ(Items()->PickUpFromCell(30), 0);
}

TEST_F(ItemPanel, ClosingThePanelLeavesTheUnitCarried) {
    ASSERT_EQ(bar->AddItemToBag(kBig), 1);
    OpenItems();
    ClickCell(0);
    bar->OnKeyDown(VK_ESCAPE, 0);
    EXPECT_EQ(Items(), nullptr);
    EXPECT_EQ(panelHost.nCarried, kBig);
    EXPECT_EQ(hero.nItemCount[kBig], 0);
}

}  // namespace
