// The work-panel fixture with ingredient items, a recipe table of 25 rows and helpers
// that fill and click the combining table.
#pragma once
#include <initializer_list>
#include <utility>
#include <vector>

#include "tests/ui/WorkTestUtil.h"
#include "ui/work/CombineMenu.h"

class CombineTest : public WorkTest {
protected:
    // The 13 ingredient kinds: 47 a gem (goods), the rest materials (other).
    static constexpr int kIngredient0 = 47, kIngredient1 = 48, kIngredient2 = 49, kIngredient3 = 50,
                         kIngredient4 = 51, kIngredient5 = 52, kIngredient12 = 82;
    // A one-cell material that is no ingredient, and a 2 x 2 gem.
    static constexpr int kOther = 59, kBigGem = 46;
    static int IngredientOf(int k) { return k < 12 ? 47 + k : 82; }

    void SetUp() override {
        WorkTest::SetUp();
        for (int k = 0; k < kCombineKinds; ++k) Item(IngredientOf(k), k == 0 ? 8 : 9, 0);
        Item(kOther, 9, 0);
        Item(kBigGem, 8, 1);
        ingredientRows.resize(kCombineKinds);
        for (int k = 0; k < kCombineKinds; ++k) ingredientRows[size_t(k)] = PeiFangItemRow{k + 1, IngredientOf(k)};
        // Every recipe asks for something by default: three of kind 12 plus its own.
        recipes.resize(kCombineRecipes);
        for (int r = 0; r < kCombineRecipes; ++r) SetRecipe(r, {{12, 3}, {r % 12, 4}}, kOther, 1);
        data.pPeiFang = recipes.data();
        data.nPeiFangCount = kCombineRecipes;
        data.pPeiFangItem = ingredientRows.data();
        data.nPeiFangItemCount = kCombineKinds;
    }
    void TearDown() override {
        work.CloseAll();
        data.pPeiFang = nullptr;
        data.nPeiFangCount = 0;
        data.pPeiFangItem = nullptr;
        data.nPeiFangItemCount = 0;
        WorkTest::TearDown();
    }
    // Recipe r: counts by kind, the result and how many.
    void SetRecipe(int r, std::initializer_list<std::pair<int, int>> counts, int nResult, int nCount) {
        PeiFangRow row;
        row.nId = r + 1;
        row.nPeiFangNo = r;
        for (auto [k, n] : counts) (k < 12 ? row.nItemNum[k] : row.nItem13Num) = n;
        row.nNewItemNo = nResult;
        row.nNewItemNum = nCount;
        recipes[size_t(r)] = row;
    }
    // Opens the table afresh (the recipes are copied then).
    [[nodiscard]] ::testing::AssertionResult OpenTable() {
        if (work.Open(kWorkCombine, 0) != 1) return ::testing::AssertionFailure() << "the combining table did not open";
        if (!Table()) return ::testing::AssertionFailure() << "the work panels hold no combining table";
        return ::testing::AssertionSuccess();
    }
    CCombineMenu* Table() { return work.Combine(); }
    // Empties the source cells of the open table and puts the items into the first ones.
    [[nodiscard]] ::testing::AssertionResult Fill(std::initializer_list<int> list) {
        if (!Table()) return ::testing::AssertionFailure() << "no combining table is open";
        for (int c = 0; c < kCombineSourceCells; ++c)
            if (Table()->ItemAt(c) >= 0) {
                Table()->TakeFromCell(c);
                workHost.nCarried = -1;
            }
        int c = 0;
        for (int nItem : list) {
            if (!Table()->PutIntoCell(c, nItem, false))
                return ::testing::AssertionFailure() << "source cell " << c << " refused item " << nItem;
            ++c;
        }
        return ::testing::AssertionSuccess();
    }
    POINT Cell(int n) { return Centre(Table()->CellRect(n)); }
    int ClickButton(int n) { return ClickAt(Centre(Table()->GetButtonRect(n))); }
    std::vector<int> SourceItems() { return ItemsIn(0, kCombineSourceCells); }
    std::vector<int> ResultItems() { return ItemsIn(kCombineSourceCells, kCombineCells); }
    std::vector<int> ItemsIn(int nFirst, int nEnd) {
        std::vector<int> list;
        for (int c = nFirst; c < nEnd; ++c)
            if (Table()->ItemAt(c) >= 0) list.push_back(Table()->ItemAt(c));
        return list;
    }

    std::vector<PeiFangRow> recipes;
    std::vector<PeiFangItemRow> ingredientRows;
};
