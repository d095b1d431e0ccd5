// The panel fixture with a real work-panel host behind the toolbar's host calls, a
// shop table and stock, and helpers that click the trade panel and the item panel.
#pragma once
#include <cstdint>
#include <map>
#include <memory>

#include "tests/ui/PanelTestUtil.h"
#include "ui/work/TradeMenu.h"
#include "ui/work/WorkMenuHost.h"
#include "world/EffectManager.h"

// A property test's own draws (xorshift), apart from the game's generator that the
// shop reseeds.
struct Draws {
    std::uint32_t n;
    int Below(int nLimit) {
        n ^= n << 13;
        n ^= n >> 17;
        n ^= n << 5;
        return int(n % std::uint32_t(nLimit));
    }
};

class CWorkTestHost : public CPanelTestHost {
public:
    bool IsWorkPanelOpen() const override { return pWork && pWork->IsOpen(); }
    int WorkOnLButtonUp() override { return pWork ? pWork->OnLButtonUp() : 0; }
    bool IsCombineOpen() const override { return pWork && pWork->IsCombineOpen(); }
    void OpenWorkPanel(int nKind, int nShop) override {
        ++nWorkOpens;
        if (pWork) pWork->Open(nKind, nShop);
    }
    void CloseWorkPanels() override {
        ++nWorkCloses;
        if (pWork) pWork->CloseAll();
    }
    bool IsTradeOpen() const override { return pWork && pWork->IsTradeOpen(); }
    bool SellToTrade(int nItem) override {
        sold.push_back(nItem);
        return pWork && pWork->SellToTrade(nItem);
    }
    bool PutIntoCombine(int nItem) override {
        combined.push_back(nItem);
        return pWork && pWork->PutIntoCombine(nItem);
    }
    CWorkMenuHost* pWork = nullptr;
    // Opens asked for through the host: a panel opened since is a new one, whatever its
    // address (the allocator hands a closed panel's memory straight to the next).
    int nWorkOpens = 0;
    // The boards' picture box, recorded instead of run.
    void ShowPictureNotice(const char* psz) override { pictures.emplace_back(psz); }
    std::vector<std::string> pictures;
};

class WorkTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        InstallHost(&workHost);
        workHost.pWork = &work;
        shops.resize(kTradeShops);
        data.pShop = shops.data();
        data.nShopCount = kTradeShops;
        pEffectManager = &effects;
        // Shop 2 sells every test item; buy prices 10 x id, sale prices 4 x id.
        for (int n : {kHelmet, kArmour, kBlade, kGem, kPotion, kTaskItem, kTall, kBig, kPlate, kHelmet2}) {
            shops[2].PriceOut(n) = 10 * n;
            shops[2].PriceIn(n) = 4 * n;
        }
    }
    void TearDown() override {
        work.CloseAll();
        bar->CloseAllPanels();
        pEffectManager = nullptr;
        InstallHost(&panelHost);
        PanelTest::TearDown();
    }
    CTradeMenu* Trade() { return work.Trade(); }
    // The clicks draw and release the work panels after the toolbar's.
    void DrawFrame() override {
        PanelTest::DrawFrame();
        work.Draw();
    }
    int Release() override { return PanelTest::Release() || work.OnLButtonUp(); }
    POINT TradeCell(int n) { return Centre(Trade()->Grid().Cell(n).rc); }
    int RightClickTrade(int n) {
        workHost.ptMouse = TradeCell(n);
        work.Draw();
        return work.BuyUnderCursor();
    }
    // Every stock unit of a list of (id, count) at the clock's rolls.
    void Stock(std::initializer_list<std::pair<int, int>> list) {
        for (auto [nItem, nCount] : list) effects.ShopStock[2][nItem - 1] = nCount;
    }
    // The number of regions (anchor cells) of an item in the hero's bag table.
    int Regions(int nItem) {
        int n = 0;
        for (int c = 0; c < kBagCells; ++c) n += items[size_t(nItem)].nBagCell[0][c] == c;
        return n;
    }

    CWorkTestHost workHost;
    CWorkMenuHost work;
    CEffectManager effects;
    std::vector<ShopTable> shops;
};
