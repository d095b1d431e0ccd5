// Random trades over many seeds: lifts, drops on the bag, the shop or the map, buys,
// sales, OK, Cancel, ESC, F1 and other openings, with bags that are often full. Every
// unit and every coin is accounted for by the deals; a cancelled trade with nothing
// dropped on the map leaves everything as it was at opening.
#include "tests/ui/WorkTestUtil.h"

#include <array>

namespace {

// The test's own draws, apart from the game's generator that the shop reseeds.
struct Draws {
    std::uint32_t n;
    int Below(int nLimit) {
        n ^= n << 13;
        n ^= n >> 17;
        n ^= n << 5;
        return int(n % std::uint32_t(nLimit));
    }
};

struct Opening {
    int nMoney = 0;
    std::array<int, kHeroItemCount> counts{};
    std::vector<std::vector<std::int32_t>> tables;
    std::array<int, 8> quick{};
    int nCarried = -1;
    size_t nDrops = 0;
};

class TradeProperty : public WorkTest {
protected:
    static constexpr int kPool[] = {kHelmet, kArmour, kBlade, kGem, kTaskItem, kTall, kBig, kPlate, kHelmet2};

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
    int Held(int nItem) { return hero.nItemCount[nItem] + (workHost.nCarried == nItem); }
    // Units and money against the deals of the trade so far.
    void CheckLedger(const Opening& o, const std::vector<CTradeMenu::Deal>& bought,
                     const std::vector<CTradeMenu::Deal>& sold, int nSeed) {
        long long nMoney = o.nMoney;
        std::array<int, kHeroItemCount> delta{};
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
    void Reset(Draws& draws) {
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
    }
    void Click(POINT pt) {
        Hover(pt);
        if (!bar->OnLButtonUp()) work.OnLButtonUp();
    }
};

TEST_F(TradeProperty, EveryUnitAndCoinIsAccountedForOverAThousandSeeds) {
    // Gems are not bombs here, and no item is used up by a right click.
    Item(kGem, 9, 0);
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
        ASSERT_EQ(work.Open(kWorkTrade, 2), 1);
        std::vector<CTradeMenu::Deal> bought, sold;
        for (int nStep = 0; nStep < 30; ++nStep) {
            if (!work.IsTradeOpen()) {
                o = Take();
                ASSERT_EQ(work.Open(kWorkTrade, 2), 1);
            }
            const POINT bag = Items() ? Centre(Items()->Grid().Cell(draws.Below(kBagCells)).rc) : POINT{500, 300};
            const POINT shop = Centre(Trade()->Grid().Cell(draws.Below(kTradeCells)).rc);
            bool bCancels = false, bCloses = false;
            switch (draws.Below(16)) {
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
            default:
                workHost.nAnswer = draws.Below(2) ? 1 : 2;
                Click(Centre(Trade()->GetButtonRect(1)));
                bCancels = !work.IsOpen();
                break;
            }
            if (bCancels) {
                ASSERT_NO_FATAL_FAILURE(CheckCancelled(o, bought, sold, nSeed));
                bought.clear(), sold.clear();
                if (work.IsTradeOpen()) o = Take();  // another trade opened
                continue;
            }
            if (work.IsTradeOpen()) bought = Trade()->Bought(), sold = Trade()->Sold();
            ASSERT_NO_FATAL_FAILURE(CheckLedger(o, bought, sold, nSeed));
            if (bCloses) bought.clear(), sold.clear();
        }
    }
}

}  // namespace
