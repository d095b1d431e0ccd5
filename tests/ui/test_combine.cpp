// The combining table: exact recipe matching, results placed without the cursor and
// only when they all fit, one-cell items only, and every close giving the items back.
#include "tests/ui/CombineTestUtil.h"

namespace {

using CombinePanel = CombineTest;

TEST_F(CombinePanel, AnExactMultisetIsNeededAndTheLowerRecipeWins) {
    // Recipes 1 and 2 ask the same; recipe 3 asks two of the first kind.
    SetRecipe(1, {{0, 1}, {1, 1}}, kPotion, 1);
    SetRecipe(2, {{0, 1}, {1, 1}}, kOther, 1);
    SetRecipe(3, {{0, 2}}, kOther, 2);
    ASSERT_TRUE(OpenTable());
    ASSERT_TRUE(Fill({kIngredient0, kIngredient1}));
    EXPECT_EQ(Table()->MatchRecipe(), 1);
    EXPECT_EQ(Table()->GetCountedNumber(0), 1);
    EXPECT_EQ(Table()->GetCountedNumber(1), 1);
    ASSERT_TRUE(Fill({kIngredient0, kIngredient1, kIngredient1}));
    EXPECT_EQ(Table()->MatchRecipe(), -1);
    ASSERT_TRUE(Fill({kIngredient0}));
    EXPECT_EQ(Table()->MatchRecipe(), -1);
    ASSERT_TRUE(Fill({kIngredient0, kIngredient0}));
    EXPECT_EQ(Table()->MatchRecipe(), 3);

    // A non-ingredient spoils every match: the notice, nothing consumed.
    ASSERT_TRUE(Fill({kIngredient0, kIngredient1, kOther}));
    EXPECT_FALSE(Table()->CountIngredients());
    EXPECT_EQ(Table()->MatchRecipe(), -1);
    ClickButton(0);
    ASSERT_EQ(workHost.notices.size(), 1u);
    EXPECT_EQ(workHost.notices[0], Utf8ToText("配方错误,不能合成!"));
    EXPECT_EQ(SourceItems(), (std::vector<int>{kIngredient0, kIngredient1, kOther}));
    EXPECT_EQ(ResultItems(), std::vector<int>{});
}

TEST_F(CombinePanel, AResultCountOfThreeFillsCellsSixteenToEighteenAndSparesTheCursor) {
    SetRecipe(0, {{2, 2}, {12, 1}}, kPotion, 3);
    ASSERT_TRUE(OpenTable());
    ASSERT_TRUE(Fill({kIngredient2, kIngredient12, kIngredient2}));
    workHost.nCarried = kIngredient1;  // held while Combine is pressed
    EXPECT_EQ(ClickButton(0), 1);
    EXPECT_TRUE(workHost.notices.empty());
    EXPECT_EQ(workHost.nCarried, kIngredient1);
    EXPECT_EQ(SourceItems(), std::vector<int>{});
    for (int c = 16; c < 24; ++c) EXPECT_EQ(Table()->ItemAt(c), c <= 18 ? kPotion : -1) << c;
    EXPECT_EQ(Items()->GetPage(), CItemMenu::kPageGoods);
    workHost.nCarried = -1;

    // A result is taken with the cursor; the result cells take nothing dropped.
    EXPECT_EQ(ClickAt(Cell(17)), 1);
    EXPECT_EQ(workHost.nCarried, kPotion);
    EXPECT_EQ(Table()->ItemAt(17), -1);
    ClickAt(Cell(17));
    EXPECT_EQ(workHost.nCarried, kPotion);
    EXPECT_EQ(Table()->ItemAt(17), -1);
    workHost.nCarried = -1;
}

TEST_F(CombinePanel, ResultsThatDoNotAllFitConsumeNothing) {
    SetRecipe(0, {{0, 1}}, kPotion, 3);
    ASSERT_TRUE(OpenTable());
    for (int c = 16; c < 22; ++c) ASSERT_TRUE(Table()->PutIntoCell(c, kOther, false));
    ASSERT_TRUE(Fill({kIngredient0}));
    ClickButton(0);
    ASSERT_EQ(workHost.notices.size(), 1u);
    EXPECT_EQ(SourceItems(), (std::vector<int>{kIngredient0}));
    EXPECT_EQ(ResultItems(), std::vector<int>(6, kOther));
    // With one more cell free the three fit.
    ASSERT_TRUE(Table()->TakeFromCell(21));
    workHost.nCarried = -1;
    ClickButton(0);
    EXPECT_EQ(SourceItems(), std::vector<int>{});
    EXPECT_EQ(ResultItems(), (std::vector<int>{kOther, kOther, kOther, kOther, kOther, kPotion, kPotion, kPotion}));
}

TEST_F(CombinePanel, OnlyOneCellItemsArePlaced) {
    ASSERT_TRUE(OpenTable());
    // A 2 x 2 gem dropped on a source cell stays on the cursor; so does an item dropped
    // on a taken cell.
    workHost.nCarried = kBigGem;
    EXPECT_EQ(ClickAt(Cell(5)), 1);
    EXPECT_EQ(workHost.nCarried, kBigGem);
    EXPECT_EQ(Table()->ItemAt(5), -1);
    workHost.nCarried = kIngredient3;
    ClickAt(Cell(5));
    EXPECT_EQ(workHost.nCarried, -1);
    workHost.nCarried = kIngredient4;
    ClickAt(Cell(5));
    EXPECT_EQ(workHost.nCarried, kIngredient4);
    EXPECT_EQ(Table()->ItemAt(5), kIngredient3);
    workHost.nCarried = -1;

    // The one-click transfer answers true only when it placed the item.
    EXPECT_FALSE(Table()->PutIntoFirstFree(kBigGem));
    EXPECT_TRUE(Table()->PutIntoFirstFree(kIngredient1));
    EXPECT_EQ(Table()->ItemAt(0), kIngredient1);
    for (int i = 0; i < 14; ++i) ASSERT_TRUE(Table()->PutIntoFirstFree(kIngredient2));
    EXPECT_FALSE(Table()->PutIntoFirstFree(kIngredient2));

    // A click on an empty cell with nothing carried still sounds.
    Table()->ReturnItems();
    workHost.sounds.clear();
    EXPECT_EQ(ClickAt(Cell(20)), 1);
    EXPECT_EQ(workHost.sounds, std::vector<int>{5});
    EXPECT_EQ(workHost.nCarried, -1);
}

TEST_F(CombinePanel, AnAllZeroRecipeMatchesOnlyTheEmptyGrid) {
    ASSERT_TRUE(OpenTable());
    EXPECT_EQ(Table()->MatchRecipe(), -1);  // the fixture's recipes all ask something
    SetRecipe(4, {}, kPotion, 1);
    ASSERT_TRUE(OpenTable());
    EXPECT_EQ(Table()->MatchRecipe(), 4);
    ASSERT_TRUE(Fill({kIngredient0}));
    EXPECT_EQ(Table()->MatchRecipe(), -1);
}

TEST_F(CombinePanel, RecipesThatCannotBeMadeAndRowsPastTheTablesNeverMatch) {
    SetRecipe(0, {{0, 1}}, kBigGem, 1);  // a result that the cells cannot hold
    SetRecipe(1, {{1, 1}}, kPotion, 0);  // makes nothing
    SetRecipe(2, {{2, 1}}, 150, 1);      // no such item
    SetRecipe(5, {{5, 1}}, kPotion, 1);
    SetRecipe(24, {{3, 1}}, kPotion, 1);
    ASSERT_TRUE(OpenTable());
    for (int k : {0, 1, 2}) {
        ASSERT_TRUE(Fill({IngredientOf(k)}));
        EXPECT_EQ(Table()->MatchRecipe(), -1) << k;
    }
    ASSERT_TRUE(Fill({kIngredient3}));
    EXPECT_EQ(Table()->MatchRecipe(), 24);

    // Game data with 6 recipe rows and 4 ingredient rows: recipe 24 is past the table,
    // and kinds 4..12 name no item, so no cell, empty or not, counts for them.
    data.nPeiFangCount = 6;
    data.nPeiFangItemCount = 4;
    ASSERT_TRUE(OpenTable());
    EXPECT_FALSE(Table()->GetRecipe(24).bUsable);
    EXPECT_EQ(Table()->MatchRecipe(), -1);
    EXPECT_EQ(Table()->GetCountedId(4), -1);
    EXPECT_EQ(Table()->GetCountedNumber(4), 0);
    ASSERT_TRUE(Fill({kIngredient3}));
    EXPECT_EQ(Table()->MatchRecipe(), -1);
    ASSERT_TRUE(Fill({kIngredient5}));
    EXPECT_EQ(Table()->MatchRecipe(), -1);  // kind 5 has no row
}

TEST_F(CombinePanel, AnIngredientNoKindNamesIsNeverConsumed) {
    // The data's last kind names another item: item 82 takes no part in any count.
    ingredientRows[12].nItemNo = 60;
    SetRecipe(0, {{0, 1}}, kPotion, 1);
    ASSERT_TRUE(OpenTable());
    ASSERT_TRUE(Fill({kIngredient0, kIngredient12}));
    EXPECT_FALSE(Table()->CountIngredients());
    EXPECT_EQ(Table()->MatchRecipe(), -1);
    ClickButton(0);
    ASSERT_EQ(workHost.notices.size(), 1u);
    EXPECT_EQ(workHost.notices[0], Utf8ToText("配方错误,不能合成!"));
    EXPECT_EQ(SourceItems(), (std::vector<int>{kIngredient0, kIngredient12}));
    EXPECT_EQ(ResultItems(), std::vector<int>{});
    // Without it the recipe matches.
    ASSERT_TRUE(Fill({kIngredient0}));
    EXPECT_EQ(Table()->MatchRecipe(), 0);
}

TEST_F(CombinePanel, EveryCloseGivesTheItemsBackAndAFullBagDropsThemAtTheHero) {
    for (int n : {kIngredient1, kIngredient2, kIngredient2}) ASSERT_EQ(bar->AddItemToBag(n), 1);
    // F1 opens the table with the item panel on its page 2.
    bar->OnKeyDown(VK_F1, 0);
    ASSERT_NE(Table(), nullptr);
    ASSERT_NE(Items(), nullptr);
    EXPECT_EQ(Items()->GetPage(), CItemMenu::kPageOther);

    // The item panel's right click hands an ingredient over.
    EXPECT_EQ(RightClickCell(0), 1);
    EXPECT_EQ(workHost.combined, std::vector<int>{kIngredient1});
    EXPECT_EQ(hero.nItemCount[kIngredient1], 0);
    EXPECT_EQ(Table()->ItemAt(0), kIngredient1);
    EXPECT_EQ(workHost.nCarried, -1);
    // And the cursor drops one into cell 9.
    ASSERT_EQ(ClickCell(1), 1);
    ASSERT_EQ(workHost.nCarried, kIngredient2);
    EXPECT_EQ(ClickAt(Cell(9)), 1);
    EXPECT_EQ(Table()->ItemAt(9), kIngredient2);
    EXPECT_EQ(hero.nItemCount[kIngredient2], 1);

    // F1 again closes everything: both come back.
    bar->OnKeyDown(VK_F1, 0);
    EXPECT_FALSE(work.IsOpen());
    EXPECT_EQ(Items(), nullptr);
    EXPECT_EQ(hero.nItemCount[kIngredient1], 1);
    EXPECT_EQ(hero.nItemCount[kIngredient2], 2);
    EXPECT_EQ(Regions(kIngredient1), 1);
    EXPECT_EQ(Regions(kIngredient2), 2);

    // Cancel closes the item panel too and gives back what lies in either grid.
    ASSERT_TRUE(OpenTable());
    Table()->PutIntoCell(3, kIngredient4, false);
    Table()->PutIntoCell(22, kPotion, false);
    EXPECT_EQ(ClickButton(1), 1);
    EXPECT_FALSE(work.IsOpen());
    EXPECT_EQ(Items(), nullptr);
    EXPECT_EQ(hero.nItemCount[kIngredient4], 1);
    EXPECT_EQ(hero.nItemCount[kPotion], 1);

    // Another panel opening gives them back as well; with the other page full, the
    // ingredient is dropped at the hero after the bag's notice.
    while (bar->AddItemToBag(kOther)) {
    }
    ASSERT_TRUE(OpenTable());
    Table()->PutIntoCell(0, kIngredient3, false);
    Table()->PutIntoCell(1, kIngredient0, false);  // a gem: the goods page has room
    workHost.notices.clear();
    const size_t nDrops = workHost.drops.size();
    EXPECT_EQ(work.Open(kWorkTrade, 2), 1);
    EXPECT_FALSE(work.IsCombineOpen());
    EXPECT_EQ(hero.nItemCount[kIngredient3], 0);
    ASSERT_EQ(workHost.drops.size(), nDrops + 1);
    EXPECT_EQ(workHost.drops.back()[0], kIngredient3);
    EXPECT_EQ(workHost.notices.size(), 1u);
    EXPECT_EQ(hero.nItemCount[kIngredient0], 1);
}

TEST_F(CombinePanel, TheStatePanelOpensTheTableAndClosesItWithItsItemsBack) {
    bar->OnKeyDown('S', 0);
    ASSERT_NE(State(), nullptr);
    const POINT combineButton = Centre(State()->GetButtonRect(CStateMenu::kCombine));
    ClickAt(combineButton);
    EXPECT_TRUE(work.IsCombineOpen());
    EXPECT_EQ(State(), nullptr);
    // Opening the state panel again closes the table and gives its items back; its
    // combine button then opens a fresh one.
    Table()->PutIntoCell(6, kIngredient5, false);
    bar->OnKeyDown('S', 0);
    ASSERT_NE(State(), nullptr);
    EXPECT_FALSE(work.IsCombineOpen());
    EXPECT_EQ(hero.nItemCount[kIngredient5], 1);
    ClickAt(combineButton);
    ASSERT_TRUE(work.IsCombineOpen());
    EXPECT_EQ(SourceItems(), std::vector<int>{});
    // Outside the panel the host does not take the click; inside, off every cell and
    // button, the panel misses but the host keeps the click.
    workHost.ptMouse = POINT{380, 500};
    work.Draw();
    EXPECT_EQ(work.OnLButtonUp(), 0);
    workHost.ptMouse = POINT{50, 140};
    work.Draw();
    EXPECT_EQ(work.OnLButtonUp(), 1);
    EXPECT_TRUE(work.IsCombineOpen());
}

}  // namespace
