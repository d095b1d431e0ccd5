// The shop in the whole game, headless, on the sample folder that mkgame writes: the
// harness opens the shop keeper's shop through the work link (as his script line does),
// a right click buys the first good, the sword dropped on the shop sells it, and Cancel,
// answered OK, puts the money and the bag back as they were. The goods show as what
// they are, and the sword lifted from the bag follows the cursor.
#include <filesystem>
#include <functional>
#include <string>

#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/GameApp.h"
#include "shell/MainFrame.h"
#include "shell/PictureStore.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/HookedGame.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/mkgame/SampleGoods.cpp"  // the goods' pictures live in the mkgame tool
#include "tools/mkgame/SamplePanels.h"
#include "ui/toolbar/BagRules.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/work/TradeMenu.h"
#include "ui/work/WorkItems.h"
#include "ui/work/WorkMenuHost.h"
#include "world/Player.h"

namespace {

constexpr int kSword = 12;
constexpr DWORD kOpenAt = 10500, kGiveUpAt = 20000;

CWorkMenuHost* Work() {
    auto* pLink = dynamic_cast<CToolBarPanelLink*>(&PanelLink());
    return pLink ? pLink->GetWorkHost() : nullptr;
}

TEST(TradePlay, BuySellAndCancelLeaveMoneyAndBagAsBefore) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("trade-play");
    const std::string s = folder.Path() + "/";
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    // Buy at shop cell 0; the equipment page; lift the sword from bag cell 0; drop it on
    // shop cell 70; Cancel, and the question's OK.
    const std::string strScript = kNewGame +
                                  "11000 move 84 75\n"
                                  "11100 rbutton down 84 75\n"
                                  "11140 rbutton up 84 75\n"
                                  "11600 shot " + s + "bought.png\n"
                                  "12000 move 719 258\n"
                                  "12040 lbutton down 719 258\n"
                                  "12080 lbutton up 719 258\n"
                                  "12200 move 770 300\n"
                                  "12300 shot " + s + "uncarried.png\n"
                                  "12500 move 439 230\n"
                                  "12540 lbutton down 439 230\n"
                                  "12580 lbutton up 439 230\n"
                                  "12700 move 150 400\n"
                                  "12800 shot " + s + "carried.png\n"
                                  "13000 move 297 287\n"
                                  "13040 lbutton down 297 287\n"
                                  "13080 lbutton up 297 287\n"
                                  "13600 shot " + s + "sold.png\n"
                                  "14000 move 305 385\n"
                                  "14040 lbutton down 305 385\n"
                                  "14080 lbutton up 305 385\n"
                                  "14500 move 220 275\n"
                                  "14600 lbutton down 220 275\n"
                                  "14640 lbutton up 220 275\n"
                                  "15400 shot " + s + "cancelled.png\n"
                                  "16000 move 719 258\n"
                                  "16040 lbutton down 719 258\n"
                                  "16080 lbutton up 719 258\n"
                                  "16500 move 439 230\n"
                                  "16540 rbutton down 439 230\n"
                                  "16580 rbutton up 439 230\n"
                                  "17200 move 84 75\n"
                                  "17240 rbutton down 84 75\n"
                                  "17280 rbutton up 84 75\n"
                                  "18000 close\n";
    ASSERT_EQ(LoadInputScriptText(strScript, "trade play"), 0);

    const DWORD dwStart = TimeGetTime();
    bool bOpened = false;
    // The colours the sword's and the shop's second good's pictures are drawn in.
    auto colourOf = [](int n) {
        const ItemRow* pRow = pGameData->GetItem(n);
        ItemModel item;
        if (pRow) item.strName = pRow->pName, item.nType = pRow->nType;
        return GoodColour(item) & 0xFFFFFF;
    };
    unsigned nSwordColour = 0, nSecondColour = 0;
    int nGood = -1, nSecond = -1, nMoney0 = -1, nGood0 = -1, nSword0 = -1;
    int nMoneyBought = -1, nGoodBought = -1, nMoneySold = -1, nSwordSold = -1;
    int nMoneyEnd = -1, nGoodEnd = -1, nSwordEnd = -1, nBuyPrice = 0, nSellPrice = 0;
    bool bOpenAtEnd = true;
    // The shop opened again with every cell taken, and the good of cell 0 given no price.
    int nFree = -1, nFree0 = -1, nFreeEnd = -1, nMoneyAgain = -1, nSwordKept = -1, nMoneyKept = -1, nMoneyFree = -1;
    const std::string strError = RunHookedGame([&] {
        CGameToolBar* pBar = PanelLink().GetToolBar();
        if (!pPlayer || !pScene || !pBar || !pGameData || pFrame->GetGameMode() != 3) return;
        const DWORD t = TimeGetTime() - dwStart;
        if (t > kGiveUpAt) pFrame->QuitGame();
        if (!bOpened && t >= kOpenAt) {
            bOpened = true;
            // Her equipment page holds the sword alone, in cell 0.
            for (int n = 0; n < kHeroItemCount; ++n) {
                ItemRow* pRow = pGameData->GetItem(n);
                if (pRow && FamilyOfType(pRow->nType) == BagFamily::Equipment) pPlayer->nItemCount[n] = 0;
            }
            pBar->AddItemToBag(kSword);
            pPlayer->nMoney = 1000;
            WorkLink().Open(0, 0);
            if (Work() && Work()->Trade()) nGood = Work()->Trade()->Grid().ItemAt(0), nSecond = Work()->Trade()->Grid().ItemAt(1);
            if (nGood < 0) return;
            nSwordColour = colourOf(kSword);
            if (nSecond >= 0) nSecondColour = colourOf(nSecond);
            nMoney0 = pPlayer->nMoney;
            nGood0 = pPlayer->nItemCount[nGood];
            nSword0 = pPlayer->nItemCount[kSword];
            if (ShopTable* pShop = pGameData->GetShop(0)) {
                nBuyPrice = pShop->PriceOut(nGood);
                nSellPrice = pShop->PriceIn(kSword);
            }
        }
        if (nGood < 0) return;
        if (nMoneyBought < 0 && t >= 11500) nMoneyBought = pPlayer->nMoney, nGoodBought = pPlayer->nItemCount[nGood];
        if (nMoneySold < 0 && t >= 13500) nMoneySold = pPlayer->nMoney, nSwordSold = pPlayer->nItemCount[kSword];
        if (nMoneyEnd < 0 && t >= 15300) {
            nMoneyEnd = pPlayer->nMoney;
            nGoodEnd = pPlayer->nItemCount[nGood];
            nSwordEnd = pPlayer->nItemCount[kSword];
            bOpenAtEnd = Work() && Work()->IsOpen();
        }
        if (nFree < 0 && t >= 15500) {
            WorkLink().Open(0, 0);
            if (!Work() || !Work()->Trade()) return;
            std::int32_t counts[kTradeStockItems] = {};
            for (int n = 1; n < kTradeStockItems; ++n)
                if (WorkItemShape(n) == 0) {
                    counts[n - 1] = kTradeCells;
                    break;
                }
            Work()->Trade()->StockFromCounts(counts, [] { return 99u; });
            nFree = Work()->Trade()->Grid().ItemAt(0);
            if (nFree < 0) return;
            pGameData->GetShop(0)->PriceOut(nFree) = 0;
            nFree0 = pPlayer->nItemCount[nFree];
            nMoneyAgain = pPlayer->nMoney;
        }
        if (nFree >= 0 && nSwordKept < 0 && t >= 17000) nSwordKept = pPlayer->nItemCount[kSword], nMoneyKept = pPlayer->nMoney;
        if (nFree >= 0 && nFreeEnd < 0 && t >= 17800) nFreeEnd = pPlayer->nItemCount[nFree], nMoneyFree = pPlayer->nMoney;
    });
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
    ASSERT_TRUE(bOpened) << "the map never ran";

    ASSERT_GE(nGood, 1) << "the shop showed nothing in its first cell";
    ASSERT_GT(nBuyPrice, 0);
    ASSERT_GT(nSellPrice, 0);
    EXPECT_EQ(nSword0, 1);
    EXPECT_EQ(nGoodBought, nGood0 + 1);
    EXPECT_EQ(nMoneyBought, nMoney0 - nBuyPrice);
    EXPECT_EQ(nSwordSold, 0);
    EXPECT_EQ(nMoneySold, nMoney0 - nBuyPrice + nSellPrice);
    EXPECT_FALSE(bOpenAtEnd);
    EXPECT_EQ(nMoneyEnd, nMoney0);
    EXPECT_EQ(nGoodEnd, nGood0);
    EXPECT_EQ(nSwordEnd, nSword0);
    // A right click on the sword sells nothing into the full shop; the good without a
    // price is bought for nothing.
    ASSERT_GE(nFree, 0) << "the full shop showed nothing in its first cell";
    EXPECT_EQ(nSwordKept, nSword0);
    EXPECT_EQ(nMoneyKept, nMoneyAgain);
    EXPECT_EQ(nFreeEnd, nFree0 + 1);
    EXPECT_EQ(nMoneyFree, nMoneyAgain);

    CShot bought(s + "bought.png"), sold(s + "sold.png"), cancelled(s + "cancelled.png");
    ASSERT_TRUE(bought.Read() && sold.Read() && cancelled.Read());
    const ToolBarProbe* pProbe = FindPanelProbe("TradeMenu_BKGround.tga");
    ASSERT_NE(pProbe, nullptr);
    const int x = 40 + pProbe->x, y = 10 + pProbe->y;
    const unsigned nBack = PackRgb(pProbe->r, pProbe->g, pProbe->b);
    EXPECT_TRUE(bought.Near(x, y, nBack, 12));
    EXPECT_TRUE(sold.Near(x, y, nBack, 12));
    EXPECT_FALSE(cancelled.Near(x, y, nBack, 12));
    // The sword's icon shows on the shop after the sale, at the first free place.
    EXPECT_GT(sold.Differences(bought, 40, 53, 340, 270), 100);

    // The goods are drawn as what they are: the sword in its 2 x 2 cells of the bag in
    // its blade's colour, the shop's second good (a medicine) in its own.
    CShot uncarried(s + "uncarried.png"), carried(s + "carried.png");
    ASSERT_TRUE(uncarried.Read() && carried.Read());
    ASSERT_TRUE(nSecond >= 1 && nSecondColour != nSwordColour);
    const RECT rcSword{425, 215, 486, 279}, rcSecond{101, 63, 133, 95};
    EXPECT_GT(uncarried.CountNear(rcSword, nSwordColour, 20), 40);
    EXPECT_GT(uncarried.CountNear(rcSecond, nSecondColour, 20), 20);
    EXPECT_LT(uncarried.CountNear(rcSecond, nSwordColour, 20), 5);
    // Lifted, it follows the cursor to (150, 400), its corner 12 pixels up and left, and
    // covers only itself: the shop beside it shows as it did before.
    EXPECT_GT(carried.Differences(uncarried, 138, 388, 61, 64), 300) << "the carried sword is not at the cursor";
    EXPECT_EQ(carried.Differences(uncarried, 205, 395, 65, 55), 0) << "the carried picture covers more than the sword";
}

}  // namespace
