// Random trades and combinations over many seeds: lifts, drops on the bag, the shop, the
// combining table or the map, buys, sales, Combine, OK, Cancel, ESC, F1 and other
// openings, with bags, shop grids and tables that are often full. Every unit and every
// coin is accounted for by the deals, the ingredients consumed and the results made (a
// right click that hands a potion or a bomb to an open panel never uses it instead); a
// cancelled trade with nothing dropped on the map leaves everything as it was at opening.
#include "tests/ui/CombineTestUtil.h"

#include <array>

namespace {

struct Opening {
    int nMoney = 0;
    std::array<int, kHeroItemCount> counts{};
    std::vector<std::vector<std::int32_t>> tables;
    std::array<int, 8> quick{};
    int nCarried = -1;
    size_t nDrops = 0;
};

class TradeProperty : public CombineTest {
protected:
    static constexpr int kPool[] = {kHelmet, kArmour, kBlade, kGem, kTaskItem, kTall, kBig, kPlate, kHelmet2,
                                    kIngredient0, kIngredient1, kIngredient2, kIngredient12, kOther, kBigGem, kPotion};

    Opening Take() {
        Opening o;
        o.nMoney = hero.nMoney;
        for (int n = 0; n < kHeroItemCount; ++n) {
            o.counts[size_t(n)] = hero.nItemCount[n];
            o.tables.emplace_back(items[size_t(n)].nBagCell[0], items[size_t(n)].nBagCell[0] + kBagCells);
        }
        for (int i = 0; i < 8; ++i) o.quick[size_t(i)] = hero.nQuickSlot[i];
        o.nCarried = workHost.nCarried;
        o.nDrops = workHost.drops.size();
        return o;
    }
    int Ground(const Opening& o, int nItem) {
        int n = 0;
        for (size_t i = o.nDrops; i < workHost.drops.size(); ++i) n += workHost.drops[i][0] == nItem;
        return n;
    }
    // Units the hero has: counted, on the cursor, or lying in the combining table.
    int Held(int nItem) {
        int n = hero.nItemCount[nItem] + (workHost.nCarried == nItem);
        if (Table())
            for (int c = 0; c < kCombineCells; ++c) n += Table()->ItemAt(c) == nItem;
        return n;
    }
    // Units and money against the deals of the trade so far.
    void CheckLedger(const Opening& o, const std::vector<CTradeMenu::Deal>& bought,
                     const std::vector<CTradeMenu::Deal>& sold, int nSeed) {
        long long nMoney = o.nMoney;
        std::array<int, kHeroItemCount> delta = made;
        for (const auto& d : bought) delta[size_t(d.nItem)]++, nMoney -= d.nPrice;
        for (const auto& d : sold) delta[size_t(d.nItem)]--, nMoney += d.nPrice;
        ASSERT_EQ(hero.nMoney, nMoney) << "seed " << nSeed;
        for (int n = 0; n < kHeroItemCount; ++n) {
            ASSERT_EQ(Held(n) + Ground(o, n), o.counts[size_t(n)] + (o.nCarried == n) + delta[size_t(n)])
                << "seed " << nSeed << " item " << n;
            ASSERT_EQ(Regions(n), hero.nItemCount[n]) << "seed " << nSeed << " item " << n;
        }
    }
    void CheckCancelled(const Opening& o, const std::vector<CTradeMenu::Deal>& bought,
                        const std::vector<CTradeMenu::Deal>& sold, int nSeed) {
        if (workHost.drops.size() == o.nDrops) {
            ASSERT_EQ(hero.nMoney, o.nMoney) << "seed " << nSeed;
            ASSERT_EQ(workHost.nCarried, o.nCarried) << "seed " << nSeed;
            for (int n = 0; n < kHeroItemCount; ++n) {
                ASSERT_EQ(hero.nItemCount[n], o.counts[size_t(n)]) << "seed " << nSeed << " item " << n;
                for (int c = 0; c < kBagCells; ++c)
                    ASSERT_EQ(items[size_t(n)].nBagCell[0][c], o.tables[size_t(n)][size_t(c)]) << "seed " << nSeed << " item " << n;
            }
            for (int i = 0; i < 8; ++i) {
                ASSERT_EQ(hero.nQuickSlot[i], o.quick[size_t(i)] > 0 ? o.quick[size_t(i)] : -1) << "seed " << nSeed;
                ASSERT_EQ(bar->m_nQuickSlots[i], hero.nQuickSlot[i]) << "seed " << nSeed;
            }
            return;
        }
        // With units on the ground: nothing comes from nowhere, and the bag stays whole.
        int nBought[kHeroItemCount] = {}, nSold[kHeroItemCount] = {};
        for (const auto& d : bought) ++nBought[d.nItem];
        for (const auto& d : sold) ++nSold[d.nItem];
        ASSERT_GE(hero.nMoney, 0);
        for (int n = 0; n < kHeroItemCount; ++n) {
            const int nDelta = Held(n) + Ground(o, n) - o.counts[size_t(n)] - (o.nCarried == n);
            ASSERT_LE(nDelta, nBought[n]) << "seed " << nSeed << " item " << n;
            ASSERT_GE(nDelta, -nSold[n]) << "seed " << nSeed << " item " << n;
            ASSERT_EQ(Regions(n), hero.nItemCount[n]) << "seed " << nSeed << " item " << n;
        }
    }
    // The recipe the source cells match, as the game data's rows say: -1 when none.
    int ExpectedRecipe() {
        int nCounts[kCombineKinds] = {};
        for (int c = 0; c < kCombineSourceCells; ++c) {
            const int nItem = Table()->ItemAt(c);
            if (nItem < 0) continue;
            int k = 0;
            while (k < kCombineKinds && IngredientOf(k) != nItem) ++k;
            if (k == kCombineKinds) return -1;
            ++nCounts[k];
        }
        for (int r = 0; r < kCombineRecipes; ++r) {
            const PeiFangRow& row = recipes[size_t(r)];
            // A recipe whose result is no one-cell item, or that makes nothing, never matches.
            if (items[size_t(row.nNewItemNo)].nGirdNum != 0 || row.nNewItemNum < 1) continue;
            bool bSame = true;
            for (int k = 0; k < kCombineKinds; ++k) bSame = bSame && (k < 12 ? row.nItemNum[k] : row.nItem13Num) == nCounts[k];
            if (bSame) return r;
        }
        return -1;
    }
    // Presses Combine and checks it against the recipes: a match with room for all its
    // results consumes the sources and makes the results; anything else changes nothing.
    void PressCombine(int nSeed) {
        const std::vector<int> sources = SourceItems(), results = ResultItems();
        const int nCarried = workHost.nCarried;
        const int r = ExpectedRecipe();
        const bool bMakes = r >= 0 && int(results.size()) + recipes[size_t(r)].nNewItemNum <= kCombineResultCells;
        nNoRoom += r >= 0 && !bMakes && !sources.empty();
        Click(Centre(Table()->GetButtonRect(0)));
        ASSERT_TRUE(work.IsCombineOpen()) << "seed " << nSeed;
        ASSERT_EQ(workHost.nCarried, nCarried) << "seed " << nSeed;
        if (!bMakes) {
            ASSERT_EQ(SourceItems(), sources) << "seed " << nSeed;
            ASSERT_EQ(ResultItems(), results) << "seed " << nSeed;
            return;
        }
        nCombined += !sources.empty();
        ASSERT_EQ(SourceItems(), std::vector<int>{}) << "seed " << nSeed;
        ASSERT_EQ(int(ResultItems().size()), int(results.size()) + recipes[size_t(r)].nNewItemNum) << "seed " << nSeed;
        for (int nItem : sources) --made[size_t(nItem)];
        made[size_t(recipes[size_t(r)].nNewItemNo)] += recipes[size_t(r)].nNewItemNum;
    }
    std::vector<int> TakenSourceCells() {
        std::vector<int> cells;
        for (int c = 0; c < kCombineSourceCells; ++c)
            if (Table()->ItemAt(c) >= 0) cells.push_back(c);
        return cells;
    }
    // One random step while the combining table is open; true when it closed.
    bool CombineStep(Draws& draws, int nSeed) {
        const POINT bag = Items() ? Centre(Items()->Grid().Cell(draws.Below(kBagCells)).rc) : POINT{500, 300};
        switch (draws.Below(20)) {
        case 0: case 1: case 2:
            if (Items()) Items()->ShowBagPage(draws.Below(3));
            Click(bag);
            break;
        case 3: case 4: Click(Cell(draws.Below(kCombineSourceCells))); break;
        case 5: {  // take a unit out (or drop onto a taken cell), then put it into the bag
            const std::vector<int> taken = TakenSourceCells();
            if (taken.empty()) break;
            Click(Cell(taken[size_t(draws.Below(int(taken.size())))]));
            const int nCarried = workHost.nCarried;
            if (nCarried < 0 || !Items()) break;
            Items()->ShowBagPage(PageOfFamily(FamilyOfType(items[size_t(nCarried)].nType)));
            Click(bag);
            break;
        }
        case 6: Click(Cell(kCombineSourceCells + draws.Below(kCombineResultCells))); break;
        case 7: case 8: case 9: {
            // Right clicks on units of the pages where ingredients lie, now and then
            // enough of them to fill the table.
            if (!Items()) break;
            Items()->ShowBagPage(draws.Below(3) ? CItemMenu::kPageOther : CItemMenu::kPageGoods);
            for (int nClicks = draws.Below(4) ? 1 : kCombineSourceCells + 1; nClicks > 0; --nClicks) {
                // Potions are drunk by a right click whatever is open: not here.
                std::vector<int> held;
                for (int c = 0; c < kBagCells; ++c)
                    if (Items()->Grid().ItemAt(c) >= 0 && Items()->Grid().ItemAt(c) != kPotion) held.push_back(c);
                if (held.empty()) break;
                const POINT pt = Centre(Items()->Grid().Cell(held[size_t(draws.Below(int(held.size())))]).rc);
                Hover(pt);
                bar->OnRButtonDown(pt.x, pt.y);
            }
            break;
        }
        case 16: Click(Centre(Table()->GetButtonRect(1))); break;
        case 17: bar->OnKeyDown(draws.Below(2) ? VK_ESCAPE : VK_F1, 0); break;
        case 18: work.Open(draws.Below(5) - 1, 2); break;
        case 19: Click(POINT{388, 200}); break;  // the map beside the table
        default: PressCombine(nSeed); break;
        }
        return !work.IsCombineOpen();
    }
    // Recipes that random drops meet often: one, two or three units of a few kinds,
    // among them the empty grid, results of every family and counts up to 3.
    void SetRecipes() {
        SetRecipe(0, {{1, 1}}, kTaskItem, 3);
        SetRecipe(1, {{0, 1}, {2, 1}}, kIngredient12, 2);
        SetRecipe(2, {{1, 1}}, kOther, 1);  // the same as 0: never made
        SetRecipe(3, {{12, 2}}, kGem, 1);
        SetRecipe(4, {{2, 1}}, kIngredient1, 1);
        SetRecipe(5, {{0, 1}, {1, 1}, {12, 1}}, kOther, 3);
        SetRecipe(6, {{0, 1}}, kBigGem, 1);  // a result the cells cannot hold: never made
        SetRecipe(7, {}, kTaskItem, 2);
        SetRecipe(8, {{2, 2}}, kIngredient0, 2);
        SetRecipe(9, {{12, 1}}, kOther, 2);
        SetRecipe(10, {{0, 1}}, kGem, 3);
    }
    void Reset(Draws& draws) {
        made = {};
        work.CloseAll();
        bar->CloseAllPanels();
        workHost.nCarried = -1;
        for (auto& row : items) row.ClearBagTables();
        std::fill(std::begin(hero.nItemCount), std::end(hero.nItemCount), 0);
        for (int i = 0; i < 8; ++i) hero.nQuickSlot[i] = bar->m_nQuickSlots[i] = -1;
        hero.nMoney = draws.Below(3) == 0 ? 0 : draws.Below(3000);
        const int nUnits = draws.Below(4) == 0 ? 200 : draws.Below(30);
        for (int i = 0; i < nUnits; ++i) {
            const int nItem = kPool[draws.Below(int(std::size(kPool)))];
            if (bar->PutItemInBag(nItem)) hero.AddItem(nItem);
        }
        for (int i = draws.Below(12); i > 0; --i) {
            const int nItem = IngredientOf(draws.Below(3) == 0 ? 12 : draws.Below(3));
            if (bar->PutItemInBag(nItem)) hero.AddItem(nItem);
        }
        for (int i = 0; i < 8; ++i)
            if (draws.Below(3) == 0) hero.nQuickSlot[i] = bar->m_nQuickSlots[i] = kPool[draws.Below(int(std::size(kPool)))];
        for (int k = 0; k < kTradeStockItems; ++k) effects.ShopStock[2][k] = 0;
        for (int nItem : kPool) effects.ShopStock[2][nItem - 1] = draws.Below(8);
    }
    // The hover as a frame would set it, without drawing (a thousand seeds).
    void Hover(POINT pt) {
        workHost.ptMouse = pt;
        if (Items()) Items()->SetHover(Items()->Grid().CellAt(pt), -1);
        if (Trade()) Trade()->TrackCursor();
        if (Table()) Table()->TrackCursor();
    }
    // Per item: made by the table minus consumed by it since the opening.
    std::array<int, kHeroItemCount> made{};
    // Combinations of ingredients made, and matches refused for want of result cells.
    int nCombined = 0, nNoRoom = 0;
    void Click(POINT pt) {
        Hover(pt);
        if (!bar->OnLButtonUp()) work.OnLButtonUp();
    }
};

TEST_F(TradeProperty, EveryUnitAndCoinIsAccountedForOverAThousandSeeds) {
    // One kind of bomb (ingredient 0) and the potion; the other gems are materials.
    Item(kGem, 9, 0);
    Item(kBigGem, 9, 1);
    SetRecipes();
    // Nothing is drawn here: every close would clear the whole back buffer.
    struct NoBackBuffer {
        CDXSurface* pSaved = pBack;
        NoBackBuffer() { pBack = nullptr; }
        ~NoBackBuffer() { pBack = pSaved; }
    } noBack;
    for (int nSeed = 1; nSeed <= 1000; ++nSeed) {
        Draws draws{std::uint32_t(nSeed) * 2654435761u + 1u};
        Reset(draws);
        Opening o = Take();
        ASSERT_EQ(work.Open(draws.Below(2) ? kWorkTrade : kWorkCombine, 2), 1);
        std::vector<CTradeMenu::Deal> bought, sold;
        for (int nStep = 0; nStep < 30; ++nStep) {
            if (work.IsOpen() && !work.IsTradeOpen() && !work.IsCombineOpen()) bar->CloseAllPanels();
            if (!work.IsOpen()) {
                o = Take();
                made = {};
                ASSERT_EQ(work.Open(draws.Below(2) ? kWorkTrade : kWorkCombine, 2), 1);
            }
            if (work.IsCombineOpen()) {
                const bool bClosed = CombineStep(draws, nSeed);
                if (HasFatalFailure()) return;
                if (work.IsTradeOpen()) {
                    // Another opening closed the table: its units are all back or on the ground.
                    ASSERT_NO_FATAL_FAILURE(CheckLedger(o, {}, {}, nSeed));
                    o = Take();
                    made = {};
                    continue;
                }
                ASSERT_NO_FATAL_FAILURE(CheckLedger(o, {}, {}, nSeed));
                if (bClosed && work.IsOpen()) bar->CloseAllPanels();  // a kind this test does not drive
                continue;
            }
            const POINT bag = Items() ? Centre(Items()->Grid().Cell(draws.Below(kBagCells)).rc) : POINT{500, 300};
            const POINT shop = Centre(Trade()->Grid().Cell(draws.Below(kTradeCells)).rc);
            bool bCancels = false, bCloses = false;
            switch (draws.Below(17)) {
            case 0: case 1: case 2:  // lift, or put down, in the bag on a random page
                if (Items()) Items()->ShowBagPage(draws.Below(3));
                Click(bag);
                break;
            case 3: case 4: Click(shop); break;
            case 5: Click(POINT{388, 200}); break;  // the map between the two panels
            case 6: case 7:
                Hover(shop);
                if (workHost.nCarried < 0) work.BuyUnderCursor();
                break;
            case 8: case 9:
                if (Items()) Items()->ShowBagPage(draws.Below(3));
                Hover(bag);
                bar->OnRButtonDown(bag.x, bag.y);
                break;
            case 10: {
                const int i = draws.Below(8);
                hero.nQuickSlot[i] = bar->m_nQuickSlots[i] = draws.Below(2) ? kPool[draws.Below(int(std::size(kPool)))] : -1;
                break;
            }
            case 11: bar->OnKeyDown(VK_ESCAPE, 0), bCancels = true; break;
            case 12: bar->OnKeyDown(VK_F1, 0), bCancels = true; break;
            case 13: work.Open(draws.Below(5) - 1, 2), bCancels = true; break;
            case 14:
                Click(Centre(Trade()->GetButtonRect(0)));
                bCloses = !work.IsOpen();
                break;
            case 16: {  // the shop's grid filled up: sales from now on go unseen
                std::int32_t counts[kTradeStockItems] = {};
                counts[kGem - 1] = kTradeCells;
                Trade()->StockFromCounts(counts, [] { return 99u; });
                break;
            }
            default:
                workHost.nAnswer = draws.Below(2) ? 1 : 2;
                Click(Centre(Trade()->GetButtonRect(1)));
                bCancels = !work.IsOpen();
                break;
            }
            if (bCancels) {
                ASSERT_NO_FATAL_FAILURE(CheckCancelled(o, bought, sold, nSeed));
                bought.clear(), sold.clear();
                if (work.IsOpen()) o = Take(), made = {};  // another panel opened
                continue;
            }
            if (Trade()) bought = Trade()->Bought(), sold = Trade()->Sold();
            ASSERT_NO_FATAL_FAILURE(CheckLedger(o, bought, sold, nSeed));
            if (bCloses) bought.clear(), sold.clear();
        }
    }
    // The seeds reach the table, make things there and fill its result cells.
    EXPECT_GT(nCombined, 200);
    EXPECT_GT(nNoRoom, 40);
}

}  // namespace
