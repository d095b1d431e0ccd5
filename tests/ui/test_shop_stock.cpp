// The shop's stock from the game data to the goods on its grid: a new game copies each
// shop's stock of items 1..100 into the running stock, whose entry k the shop panel
// rolls for item k + 1.
#include <string>

#include "shell/SceneLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/SampleScenes.h"
#include "ui/work/TradeMenu.h"
#include "world/EffectManager.h"
#include "world/Player.h"

namespace {

class ShopStock : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        WriteFolder();
        ASSERT_NO_FATAL_FAILURE(OpenGameFolder(folder.Path()));
        pFrame->m_bInGame = 0;
        pFrame->m_bMusicOn = 0;
        InstallSceneLinks();
    }
    void TearDown() override {
        FrameTest::TearDown();  // the main window deletes the world through the map link
        CloseGameFolder();
    }
    void WriteFolder() {
        GameModel model;
        model.options.nScene = 0;
        model.options.nPlayerX = 464;
        model.options.nPlayerY = 528;
        model.options.nDataFrom = 1;
        for (int m = 0; m < 4; ++m) model.levels[size_t(m)] = LevelModel{0, 7, 3, 100, 40, 5, 0, 0, 16};
        // One-cell goods 1, 2 and 3.
        model.items.resize(4);
        for (int n = 1; n <= 3; ++n) model.items[size_t(n)].nType = 2;
        // Shop 0 stocks items 1, 2 and 3 (two, five and seven units); shop 15 its last
        // item, 100.
        model.shops[0].entries = {{2, 5, 10}, {5, 6, 12}, {7, 7, 14}};
        model.shops[15].entries.resize(100);
        model.shops[15].entries[99] = ShopEntryModel{9, 1, 2};
        std::string why;
        ASSERT_TRUE(WriteGameDataFiles(folder.Path().c_str(), model, &why)) << why;
        SamplePictureOptions pictures;
        pictures.nItemCount = 2;
        pictures.nFaceCount = 1;
        pictures.nSceneCount = 1;
        pictures.sculpts = {1};
        pictures.heroSculpts = pictures.sculpts;
        pictures.nHeroActions = 3;
        pictures.nHeroFrames = 1;
        pictures.nEffects = 1;
        pictures.nEffectFrames = 1;
        ASSERT_TRUE(WriteSamplePictures(folder.Path(), pictures, &why)) << why;
        ASSERT_TRUE(WriteSampleScenes(folder.Path(), &why)) << why;
    }

    CBaseFolderGuard guard;
    CTempFolder folder{"shopstock"};
};

TEST_F(ShopStock, ANewGameStocksEntryKWithItemKPlusOne) {
    pFrame->NewGame();
    ASSERT_NE(pEffectManager, nullptr);
    const std::int32_t* pStock = pEffectManager->ShopStock[0];
    EXPECT_EQ(pStock[0], 2);
    EXPECT_EQ(pStock[1], 5);
    EXPECT_EQ(pStock[2], 7);
    for (int k = 3; k < kTradeStockItems; ++k) EXPECT_EQ(pStock[k], 0) << k;
    EXPECT_EQ(pEffectManager->ShopStock[15][99], 9);
    for (int k = 0; k < 99; ++k) EXPECT_EQ(pEffectManager->ShopStock[15][k], 0) << k;

    // The shop panel rolls entry k for item k + 1: with every roll above the half,
    // shop 0 shows exactly its three goods, each with its buy price.
    CTradeMenu trade;
    trade.StockFromCounts(pStock, [] { return 99u; });
    int nShown[4] = {};
    for (int c = 0; c < kTradeCells; ++c) {
        const int nItem = trade.Grid().ItemAt(c);
        if (nItem < 0) continue;
        ASSERT_TRUE(nItem >= 1 && nItem <= 3) << nItem;
        ++nShown[nItem];
        EXPECT_GT(pGameData->GetShop(0)->PriceOut(nItem), 0) << nItem;
    }
    EXPECT_EQ(nShown[1], 2);
    EXPECT_EQ(nShown[2], 5);
    EXPECT_EQ(nShown[3], 7);
}

}  // namespace
