// The shop: placement on its 9 x 8 grid, stock rolls, buying and selling against the
// money and the bag, and Cancel putting everything back as it was at opening.
#include "tests/ui/WorkTestUtil.h"

#include "platform/Charset.h"

namespace {

class TradePanel : public WorkTest {
protected:
    // Opens shop 2 with nothing in stock, then places the given goods.
    void OpenEmptyShop() {
        ASSERT_EQ(work.Open(kWorkTrade, 2), 1);
        ASSERT_NE(Trade(), nullptr);
        ASSERT_NE(Items(), nullptr);
    }
    // Opens shop 2 with every unit of one good shown.
    void OpenWithGoods(int nItem, int nCount) {
        OpenEmptyShop();
        std::int32_t counts[kTradeStockItems] = {};
        counts[nItem - 1] = nCount;
        Trade()->StockFromCounts(counts, [] { return 60u; });
    }
    std::vector<int> CellsOfGood(int nItem) {
        std::vector<int> cells;
        for (int c = 0; c < kTradeCells; ++c)
            if (Trade()->Grid().ItemAt(c) == nItem) cells.push_back(c);
        return cells;
    }
    // Fills the grid with one-cell goods except for the listed cells.
    void FillGridExcept(std::initializer_list<int> free) {
        std::vector<int> nFree(free);
        std::int32_t counts[kTradeStockItems] = {};
        counts[kGem - 1] = kTradeCells;
        Trade()->StockFromCounts(counts, [] { return 99u; });
        for (int c : nFree) const_cast<CItemGrid&>(Trade()->Grid()).ClearCell(c);
    }
};

TEST_F(TradePanel, FindFreePlaceFollowsTheShapeRules) {
    OpenEmptyShop();
    CItemGrid& grid = const_cast<CItemGrid&>(Trade()->Grid());
    struct Case {
        std::vector<int> taken;
        int nShape;
        int nExpected;
    };
    const Case cases[] = {
        {{}, 0, 0}, {{}, 1, 0}, {{}, 2, 0}, {{}, 3, 0}, {{}, 4, -1}, {{}, -1, -1},
        {{0}, 0, 1},
        // Every cell of the first row but the last taken: a 2-wide shape may not start
        // in the last column, so it goes to the second row.
        {{0, 1, 2, 3, 4, 5, 6, 7}, 1, 9},
        {{0, 1, 2, 3, 4, 5, 6, 7}, 3, 8},
        // A 2 x 3 shape needs three rows: with rows 6 and 7 free only, it never fits.
        {[] { std::vector<int> v; for (int c = 0; c < 54; ++c) v.push_back(c); return v; }(), 2, -1},
        {[] { std::vector<int> v; for (int c = 0; c < 54; ++c) v.push_back(c); return v; }(), 1, 54},
        {[] { std::vector<int> v; for (int c = 0; c < 63; ++c) v.push_back(c); return v; }(), 3, -1},
        {[] { std::vector<int> v; for (int c = 0; c < 71; ++c) v.push_back(c); return v; }(), 0, 71},
    };
    for (const Case& test : cases) {
        grid.ClearAll();
        for (int c : test.taken) grid.MarkRegion(c, 0, kGem);
        EXPECT_EQ(Trade()->FindFreePlace(test.nShape), test.nExpected) << test.taken.size() << " shape " << test.nShape;
    }
}

TEST_F(TradePanel, RollsShowHalfTheUnitsAndNoneThatDoesNotFit) {
    OpenEmptyShop();
    std::int32_t counts[kTradeStockItems] = {};
    counts[kGem - 1] = 10;
    counts[kPlate - 1] = 40;  // 2 x 3: 20 shown units cannot all fit
    counts[99] = 5;           // item id 100 is past the table: never rolled
    std::uint32_t n = 0;
    int nRolls = 0;
    // Draws alternate below and above the half (the second past 2^31): every second
    // unit shows.
    Trade()->StockFromCounts(counts, [&] {
        ++nRolls;
        return (n++ % 2) ? 0x80000032u : 49u;
    });
    EXPECT_EQ(CellsOfGood(kGem), (std::vector<int>{0, 1, 2, 3, 4}));
    const size_t nPlateCells = CellsOfGood(kPlate).size();
    EXPECT_EQ(nPlateCells % 6, 0u);
    EXPECT_GT(nPlateCells, 0u);
    EXPECT_LT(nPlateCells, 20u * 6u);
    EXPECT_EQ(Trade()->FindFreePlace(2), -1);
    // Every gem rolled; the plates rolled until a shown one found no place.
    EXPECT_EQ(nRolls, 10 + 2 * int(nPlateCells / 6 + 1));

    // A hundred one-cell units: every unit is rolled, so half of them show.
    const_cast<CItemGrid&>(Trade()->Grid()).ClearAll();
    std::int32_t hundred[kTradeStockItems] = {};
    hundred[kGem - 1] = 100;
    n = 0;
    Trade()->StockFromCounts(hundred, [&] { return (n++ % 2) ? 99u : 0u; });
    EXPECT_EQ(CellsOfGood(kGem).size(), 50u);

    // A damaged count stops rolling once the grid is full; all rolls above the half.
    const_cast<CItemGrid&>(Trade()->Grid()).ClearAll();
    std::int32_t huge[kTradeStockItems] = {};
    huge[kGem - 1] = 2000000000;
    nRolls = 0;
    Trade()->StockFromCounts(huge, [&] { ++nRolls; return 99u; });
    EXPECT_EQ(nRolls, kTradeCells + 1);
    EXPECT_EQ(CellsOfGood(kGem).size(), size_t(kTradeCells));
}

TEST_F(TradePanel, ShopsOutsideTheTableOpenNothingButStillCloseTheTrade) {
    Stock({{kGem, 3}});
    OpenEmptyShop();
    hero.nMoney = 500;
    EXPECT_EQ(work.Open(kWorkTrade, 16), 0);
    EXPECT_EQ(work.Open(kWorkTrade, -1), 0);
    EXPECT_FALSE(work.IsOpen());
    EXPECT_EQ(Trade(), nullptr);
    EXPECT_EQ(work.Open(7, 0), 0);
}

TEST_F(TradePanel, BuyingByRightClickPutsTheGoodInTheBagAndRefusesWhileCarrying) {
    OpenEmptyShop();
    hero.nMoney = 299;
    std::int32_t counts[kTradeStockItems] = {};
    counts[kGem - 1] = 2;
    counts[kBig - 1] = 1;
    Trade()->StockFromCounts(counts, [] { return 50u; });
    ASSERT_EQ(CellsOfGood(kGem), (std::vector<int>{0, 1}));
    ASSERT_EQ(CellsOfGood(kBig), (std::vector<int>{2, 3, 11, 12}));

    EXPECT_EQ(RightClickTrade(1), 1);
    EXPECT_EQ(hero.nMoney, 299 - 130);
    EXPECT_EQ(hero.nItemCount[kGem], 1);
    EXPECT_EQ(Regions(kGem), 1);
    EXPECT_EQ(CellsOfGood(kGem), (std::vector<int>{0}));
    EXPECT_EQ(Trade()->GetBalance(), 130);
    EXPECT_EQ(workHost.nCarried, -1);

    // Too dear: the notice (layout 2 at (300, 150)), nothing moves.
    EXPECT_EQ(RightClickTrade(11), 0);
    ASSERT_FALSE(workHost.notices.empty());
    EXPECT_EQ(workHost.notices.back(), Utf8ToText("金额不足!"));
    ASSERT_FALSE(workHost.noticePlaces.empty());
    EXPECT_EQ(workHost.noticePlaces.back(), (std::array<int, 3>{2, 300, 150}));
    EXPECT_EQ(CellsOfGood(kBig).size(), 4u);
    EXPECT_EQ(hero.nItemCount[kBig], 0);

    // With a unit on the cursor no purchase happens, and the unit stays.
    workHost.nCarried = kPotion;
    EXPECT_EQ(RightClickTrade(0), 0);
    EXPECT_EQ(workHost.nCarried, kPotion);
    EXPECT_EQ(hero.nItemCount[kGem], 1);
    EXPECT_EQ(hero.nMoney, 169);
    workHost.nCarried = -1;
}

TEST_F(TradePanel, DroppedSalesPlaceAtTheCellOrTheFirstFreePlace) {
    ASSERT_EQ(bar->AddItemToBag(kBig), 1);
    ASSERT_EQ(bar->AddItemToBag(kTaskItem), 1);
    hero.nMoney = 5;
    OpenEmptyShop();
    FillGridExcept({8, 17, 30, 31, 39, 40, 60});

    // Lift the 2 x 2 unit and drop it on the free last-column cell 8: it goes to 30.
    ASSERT_EQ(ClickCell(0), 1);
    ASSERT_EQ(workHost.nCarried, kBig);
    EXPECT_EQ(hero.nItemCount[kBig], 0);
    EXPECT_EQ(ClickAt(TradeCell(8)), 1);
    EXPECT_EQ(workHost.nCarried, -1);
    EXPECT_EQ(CellsOfGood(kBig), (std::vector<int>{30, 31, 39, 40}));
    EXPECT_EQ(hero.nMoney, 5 + 4 * kBig);
    EXPECT_EQ(Trade()->GetBalance(), -4 * kBig);
    ASSERT_EQ(Trade()->Sold().size(), 1u);

    // A task item is refused and goes back into the bag.
    Items()->ShowItemPage2();
    ASSERT_EQ(ClickCell(0), 1);
    ASSERT_EQ(workHost.nCarried, kTaskItem);
    workHost.notices.clear();
    ClickAt(TradeCell(60));
    EXPECT_EQ(workHost.nCarried, -1);
    EXPECT_EQ(hero.nItemCount[kTaskItem], 1);
    EXPECT_EQ(Regions(kTaskItem), 1);
    ASSERT_EQ(workHost.notices.size(), 1u);
    EXPECT_EQ(workHost.notices[0], Utf8ToText("该物品为完成\n任务必须的物品!"));
    EXPECT_TRUE(CellsOfGood(kTaskItem).empty());
    EXPECT_EQ(Trade()->Sold().size(), 1u);

    // Inside the panel but off the grid: the unit stays carried.
    Items()->ShowItemPage1();
    workHost.nCarried = kGem;
    EXPECT_EQ(ClickAt(POINT{60, 30}), 1);
    EXPECT_EQ(workHost.nCarried, kGem);
    workHost.nCarried = -1;
}

TEST_F(TradePanel, CancelRestoresMoneyBagQuickSlotsAndTheCarriedUnit) {
    for (int n : {kGem, kGem, kBig, kHelmet}) ASSERT_EQ(bar->AddItemToBag(n), 1);
    hero.nMoney = 1000;
    hero.nQuickSlot[2] = kGem;
    bar->m_nQuickSlots[2] = kGem;
    OpenEmptyShop();
    std::int32_t counts[kTradeStockItems] = {};
    counts[kPotion - 1] = 3;
    Trade()->StockFromCounts(counts, [] { return 77u; });
    std::vector<ItemRow> before = items;
    const auto countsBefore = std::vector<int>(hero.nItemCount, hero.nItemCount + kHeroItemCount);

    // Buy two potions, sell a gem by drop and the 2 x 2 unit by right click in the bag,
    // clear a quick slot, and hold a helmet at the end.
    EXPECT_EQ(RightClickTrade(0), 1);
    EXPECT_EQ(RightClickTrade(1), 1);
    Items()->ShowBagPage(0);
    ASSERT_EQ(ClickCell(0), 1);
    ASSERT_EQ(workHost.nCarried, kGem);
    ASSERT_EQ(ClickAt(TradeCell(40)), 1);
    EXPECT_EQ(workHost.nCarried, -1);
    workHost.ptMouse = BagCell(2);
    bar->Draw();
    EXPECT_EQ(bar->OnRButtonDown(workHost.ptMouse.x, workHost.ptMouse.y), 1);
    EXPECT_EQ(hero.nItemCount[kGem], 1);
    EXPECT_EQ(hero.nItemCount[kBig], 0);
    EXPECT_EQ(Trade()->Sold().size(), 2u);
    hero.nQuickSlot[2] = -1;
    bar->m_nQuickSlots[2] = -1;
    Items()->ShowItemPage1();
    ASSERT_EQ(ClickCell(0), 1);
    ASSERT_EQ(workHost.nCarried, kHelmet);
    EXPECT_NE(hero.nMoney, 1000);

    workHost.nAnswer = 1;
    ASSERT_EQ(ClickAt(Centre(Trade()->GetButtonRect(1))), 1);
    EXPECT_FALSE(work.IsOpen());
    EXPECT_EQ(Items(), nullptr);
    EXPECT_EQ(hero.nMoney, 1000);
    EXPECT_EQ(workHost.nCarried, -1);
    for (int n = 0; n < kHeroItemCount; ++n) {
        EXPECT_EQ(hero.nItemCount[n], countsBefore[size_t(n)]) << n;
        for (int c = 0; c < kBagCells; ++c) EXPECT_EQ(items[size_t(n)].nBagCell[0][c], before[size_t(n)].nBagCell[0][c]) << n;
    }
    EXPECT_EQ(hero.nQuickSlot[2], kGem);
    EXPECT_EQ(bar->m_nQuickSlots[2], kGem);
}

TEST_F(TradePanel, CancelRefundsOnlyUnitsItTakesBack) {
    hero.nMoney = 500;
    OpenWithGoods(kPotion, 2);
    ASSERT_EQ(RightClickTrade(0), 1);
    ASSERT_EQ(RightClickTrade(1), 1);
    EXPECT_EQ(hero.nMoney, 500 - 2 * 140);
    // One bought potion is lifted and dropped on the map: it lies at the hero's feet.
    ASSERT_EQ(ClickCell(0), 1);
    ASSERT_EQ(workHost.nCarried, kPotion);
    ClickAt(POINT{388, 200});
    ASSERT_EQ(workHost.drops.size(), 1u);
    EXPECT_EQ(workHost.drops[0][0], kPotion);
    // Another open cancels: the potion in the bag is refunded, the one on the ground not.
    EXPECT_EQ(work.Open(kWorkTrade, 2), 1);
    EXPECT_EQ(hero.nMoney, 500 - 140);
    EXPECT_EQ(hero.nItemCount[kPotion], 0);
    EXPECT_EQ(Regions(kPotion), 0);
}

TEST_F(TradePanel, AGoodWithoutAPriceGoesForNothing) {
    constexpr int kUnpriced = 20;
    Item(kUnpriced, 2, 0);
    hero.nMoney = 100;
    OpenWithGoods(kUnpriced, 1);
    ASSERT_EQ(CellsOfGood(kUnpriced), std::vector<int>{0});
    EXPECT_EQ(RightClickTrade(0), 1);
    EXPECT_EQ(hero.nItemCount[kUnpriced], 1);
    EXPECT_EQ(hero.nMoney, 100);
    ASSERT_EQ(Trade()->Bought().size(), 1u);
    EXPECT_EQ(Trade()->Bought()[0].nPrice, 0);
    EXPECT_TRUE(CellsOfGood(kUnpriced).empty());
}

TEST_F(TradePanel, ARightClickSellsNothingIntoAGridWithoutAnEmptyCell) {
    ASSERT_EQ(bar->AddItemToBag(kPotion), 1);
    hero.nLife = 10;
    hero.nMoney = 7;
    OpenEmptyShop();
    FillGridExcept({});
    Items()->ShowItemPage2();
    workHost.ptMouse = BagCell(0);
    bar->Draw();
    EXPECT_EQ(bar->OnRButtonDown(workHost.ptMouse.x, workHost.ptMouse.y), 0);
    EXPECT_EQ(hero.nItemCount[kPotion], 1);
    EXPECT_EQ(Regions(kPotion), 1);
    EXPECT_EQ(hero.nLife, 10) << "neither sold nor drunk";
    EXPECT_EQ(hero.nMoney, 7);
    EXPECT_TRUE(Trade()->Sold().empty());
    EXPECT_EQ(workHost.nCarried, -1);
}

TEST_F(TradePanel, CancelFreesTheRoomOfUsedUnitsBeforePlacingOthers) {
    // The page of other items full: two units of a higher id and 52 task items.
    constexpr int kTonic = 31;
    Item(kTonic, 1, 0);
    for (int i = 0; i < 2; ++i) ASSERT_EQ(bar->AddItemToBag(kTonic), 1);
    for (int i = 0; i < 52; ++i) ASSERT_EQ(bar->AddItemToBag(kTaskItem), 1);
    OpenEmptyShop();
    // A tonic is lifted and used up on a portrait; a script then gives a potion, which
    // takes the tonic's cell.
    Items()->ShowItemPage2();
    ASSERT_EQ(ClickCell(0), 1);
    ASSERT_EQ(workHost.nCarried, kTonic);
    workHost.nCarried = -1;
    ASSERT_EQ(bar->AddItemToBag(kPotion), 1);
    // Cancel lays the bag out as at opening: the used tonic's region goes, and the
    // potion has the room it left.
    work.CloseAll();
    EXPECT_TRUE(workHost.drops.empty());
    EXPECT_EQ(hero.nItemCount[kPotion], 1);
    EXPECT_EQ(Regions(kPotion), 1);
    EXPECT_EQ(hero.nItemCount[kTonic], 1);
    EXPECT_EQ(Regions(kTonic), 1);
    EXPECT_EQ(Regions(kTaskItem), 52);
}

TEST_F(TradePanel, OkKeepsTheDealsAndEscapeUndoesThem) {
    hero.nMoney = 500;
    OpenWithGoods(kPotion, 2);
    ASSERT_EQ(RightClickTrade(0), 1);
    // Money below 0 (brought in by a save) keeps the trade open with the notice in
    // layout 2 at (300, 150).
    hero.nMoney = -5;
    ASSERT_EQ(ClickAt(Centre(Trade()->GetButtonRect(0))), 1);
    EXPECT_TRUE(work.IsOpen());
    EXPECT_NE(Items(), nullptr);
    ASSERT_FALSE(workHost.notices.empty());
    EXPECT_EQ(workHost.notices.back(), Utf8ToText("金额不足!"));
    ASSERT_FALSE(workHost.noticePlaces.empty());
    EXPECT_EQ(workHost.noticePlaces.back(), (std::array<int, 3>{2, 300, 150}));
    hero.nMoney = 360;
    ASSERT_EQ(ClickAt(Centre(Trade()->GetButtonRect(0))), 1);
    EXPECT_FALSE(work.IsOpen());
    EXPECT_EQ(Items(), nullptr);
    EXPECT_EQ(hero.nMoney, 360);
    EXPECT_EQ(hero.nItemCount[kPotion], 1);

    // With the item panel closed, ESC still closes the trade (and undoes it).
    OpenWithGoods(kPotion, 2);
    ASSERT_EQ(RightClickTrade(0), 1);
    bar->CloseItemPanel();
    EXPECT_EQ(bar->OnKeyDown(VK_ESCAPE, 0), 1);
    EXPECT_FALSE(work.IsOpen());
    EXPECT_EQ(bar->Panel(kSysPanel), nullptr);
    EXPECT_EQ(hero.nMoney, 360);
    EXPECT_EQ(hero.nItemCount[kPotion], 1);
}

}  // namespace
