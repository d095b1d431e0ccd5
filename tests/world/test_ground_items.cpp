// Ground items of a scene: where drops land, slot reuse, the save block and its damaged
// forms, the hovered item and the blink, and the labels.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/Resources.h"
#include "platform/Stream.h"
#include "tests/CDX/BlitTestUtil.h"
#include "tests/world/SceneDrawUtil.h"
#include "tests/world/NpcTestUtil.h"

namespace npctest {
namespace {

class GroundItemTest : public NpcTest {
protected:
    POINT Centre(int cx, int cy) const { return POINT{cx * kCell + kCell / 2, cy * kCell + kCell / 2}; }
    int CellOf(int nSlot) { return Scene().GetGroundItem(nSlot)->nCellIndex; }
    int Index(int cx, int cy) { return Scene().CellIndex(cx, cy); }
    // Back-buffer value of the frame colour drawn at the item's picture.
    DWORD PixelAtItem(int nSlot) {
        const CGroundItem& item = *Scene().GetGroundItem(nSlot);
        return ReadPixel(*pBack, item.ptCell.x - 12 + 6, item.ptCell.y - 16 + 6);
    }
    static std::vector<std::uint8_t> Block(const std::vector<std::int32_t>& words) {
        CByteWriter out;
        for (std::int32_t w : words) out.WriteI32(w);
        return out.TakeBytes();
    }
};

TEST_F(GroundItemTest, DropsTakeTheCellThenRingOneInOrderPassingWallsAndTakenCells) {
    ASSERT_TRUE(Build(30, {}));
    const POINT p = Centre(10, 10);
    Scene().DropItemOnGround(1, p.x, p.y, 0);
    Scene().pCells[size_t(Index(11, 11))].nWall = 1;
    Scene().DropItemOnGround(2, p.x, p.y, 0);
    Scene().DropItemOnGround(3, p.x + 5, p.y + 5, 0);
    EXPECT_EQ(CellOf(0), Index(10, 10));
    EXPECT_EQ(CellOf(1), Index(10, 11));
    EXPECT_EQ(CellOf(2), Index(9, 11));
    EXPECT_EQ(Scene().pCells[size_t(Index(10, 11))].nGroundItem, 2);
    EXPECT_EQ(Scene().GetGroundItem(1)->ptCell.x, Centre(10, 11).x);
    EXPECT_EQ(Scene().GetGroundItem(1)->ptCell.y, Centre(10, 11).y);
    EXPECT_EQ(Scene().nGroundItemCount, 3);

    // Off the grid the search starts from the nearest cell; at the grid's corner the
    // first ring reaches past the edge and the item shares the starting cell.
    Scene().DropItemOnGround(1, -500, -500, 0);
    EXPECT_EQ(CellOf(3), Index(0, 0));
    const POINT corner = Centre(39, 29);
    Scene().DropItemOnGround(1, corner.x, corner.y, 0);
    Scene().DropItemOnGround(2, corner.x, corner.y, 0);
    EXPECT_EQ(CellOf(4), Index(39, 29));
    EXPECT_EQ(CellOf(5), Index(39, 29));
    // Item -1 would read as an empty slot.
    Scene().DropItemOnGround(-1, p.x, p.y, 0);
    EXPECT_EQ(Scene().nGroundItemCount, 6);
}

TEST_F(GroundItemTest, APickedUpSlotIsFilledAgainAndTheBlockRoundTrips) {
    ASSERT_TRUE(Build(31, {}));
    const POINT p = Centre(10, 10);
    Scene().DropItemOnGround(1, p.x, p.y, 0);
    Scene().RemoveGroundItem(0);
    // The emptied cell keeps its mark: the hover finds nothing there and the next drop
    // passes over it to the first cell of the ring.
    EXPECT_EQ(Scene().pCells[size_t(Index(10, 10))].nGroundItem, 1);
    m_mouse.m_nX = p.x;
    m_mouse.m_nY = p.y;
    Scene().UpdateHoverGroundItem();
    EXPECT_EQ(Scene().nHoverGroundItem, -1);
    Scene().DropItemOnGround(2, p.x, p.y, 0);
    EXPECT_EQ(CellOf(0), Index(11, 11));
    EXPECT_EQ(Scene().nGroundItemCount, 2);
    const POINT q = Centre(11, 11);
    CByteWriter out;
    Scene().SaveGroundItems(out);
    EXPECT_EQ(out.Bytes(), Block({2, 2, 0, 0, q.x, q.y, -1, 0, 0, 0, 0}));

    Scene().DropItemOnGround(0, Centre(20, 5).x, Centre(20, 5).y, 50);
    CByteWriter saved;
    Scene().SaveGroundItems(saved);
    ASSERT_TRUE(Build(31, {}));
    CByteReader in(saved.Bytes(), "save");
    std::string strError;
    ASSERT_TRUE(Scene().LoadGroundItems(in, &strError)) << strError;
    EXPECT_EQ(Scene().nGroundItemCount, 3);
    EXPECT_EQ(Scene().GetGroundItem(1)->nCount, 50);
    EXPECT_EQ(Scene().pCells[size_t(Index(20, 5))].nGroundItem, 0);
    EXPECT_EQ(Scene().GetGroundItem(2), nullptr);
    CByteWriter again;
    Scene().SaveGroundItems(again);
    EXPECT_EQ(again.Bytes(), saved.Bytes());
}

TEST_F(GroundItemTest, DamagedBlocksAreRefusedAndBadRecordsSkipped) {
    ASSERT_TRUE(Build(32, {}));
    std::string strError;
    for (const auto& bytes : {Block({5, 1, 0, 0, 16, 16}), Block({-1}), Block({1200 * 10}), Block({})}) {
        CByteReader in(bytes, "save");
        EXPECT_FALSE(Scene().LoadGroundItems(in, &strError));
        EXPECT_NE(strError.find("ground"), std::string::npos) << strError;
        EXPECT_EQ(Scene().nGroundItemCount, 0);
    }
    const POINT good = Centre(3, 3);
    const std::vector<std::int32_t> words{
        6,
        1, 0, 2, good.x, good.y,         // kept
        2, 0, 5000, good.x, good.y,      // slot past the grid
        2, 0, 2, good.x + 40, good.y,    // slot taken
        2, 0, 3, -900, good.y,           // point off the grid
        99, 0, 4, good.x, good.y,        // no such item
        -1, 7, 7, 7, 7};                 // an empty slot
    const std::vector<std::uint8_t> block = Block(words);
    CByteReader in(block, "save");
    ASSERT_TRUE(Scene().LoadGroundItems(in, &strError)) << strError;
    int nItems = 0;
    for (int i = 0; i < Scene().nCellCount; ++i) nItems += Scene().GetGroundItem(i) != nullptr;
    EXPECT_EQ(nItems, 1);
    ASSERT_NE(Scene().GetGroundItem(2), nullptr);
    EXPECT_EQ(Scene().GetGroundItem(2)->nItem, 1);
    EXPECT_EQ(Scene().pCells[size_t(Index(3, 3))].nGroundItem, 1);
}

TEST_F(GroundItemTest, TheHoveredItemShowsItsSecondFrameOthersFlashItEveryOneAndAHalfSeconds) {
    ASSERT_TRUE(Build(33, {}));
    const POINT p = Centre(10, 10);
    Scene().DropItemOnGround(1, p.x, p.y, 0);
    m_mouse.m_nX = p.x;
    m_mouse.m_nY = p.y;
    Scene().UpdateHoverGroundItem();
    EXPECT_EQ(Scene().nHoverGroundItem, 0);
    const DWORD dwFrame0 = Rgb565(255, 0, 0), dwFrame1 = Rgb565(0, 255, 0);
    CGroundItem& item = *Scene().GetGroundItem(0);
    for (int i = 0; i < 3; ++i) {
        Tick(1000);
        pBack->Fill(0);
        item.Draw(Scene().nHoverGroundItem == 0, Scene().ptView);
        EXPECT_EQ(PixelAtItem(0), dwFrame1) << i;
    }
    // The hovered item's label lies over it, left of and above its point.
    auto labelPixels = [&] {
        int n = 0;
        for (int y = item.ptCell.y - 32; y < item.ptCell.y - 17; ++y)
            for (int x = item.ptCell.x - 32; x < item.ptCell.x + 88; ++x) n += ReadPixel(*pBack, x, y) != 0;
        return n;
    };
    pBack->Fill(0);
    Scene().Draw();
    EXPECT_GT(labelPixels(), 0);
    m_mouse.m_nX = 790;
    Scene().UpdateHoverGroundItem();
    EXPECT_EQ(Scene().nHoverGroundItem, -1);
    pBack->Fill(0);
    Scene().Draw();
    EXPECT_EQ(labelPixels(), 0);
    // The blink clock ran on while hovered: start a fresh off phase.
    Scene().Draw();
    Scene().Draw();
    const int nStart = Scene().GetGroundItem(0)->bBlink;
    if (nStart == 1) {
        Tick(101);
        Scene().Draw();
    }
    ASSERT_EQ(PixelAtItem(0), dwFrame0);
    Tick(1500);
    Scene().Draw();
    EXPECT_EQ(PixelAtItem(0), dwFrame0);
    Tick(1);
    Scene().Draw();
    EXPECT_EQ(PixelAtItem(0), dwFrame1);
    Tick(100);
    Scene().Draw();
    EXPECT_EQ(PixelAtItem(0), dwFrame1);
    Tick(1);
    Scene().Draw();
    EXPECT_EQ(PixelAtItem(0), dwFrame0);
}

TEST_F(GroundItemTest, MoneyIsLabelledWithItsAmountItemsWithTheirNames) {
    ASSERT_TRUE(Build(34, {}));
    Scene().DropItemOnGround(0, 100, 100, 50);
    Scene().DropItemOnGround(2, 300, 100, 0);
    Scene().DropItemOnGround(2, 500, 100, 9);
    char szFormat[64] = {};
    ASSERT_GT(LoadString(kMoneyLabelString, szFormat, int(sizeof szFormat)), 0);
    char szExpected[64];
    std::snprintf(szExpected, sizeof szExpected, szFormat, 50);
    EXPECT_STREQ(Scene().GetGroundItem(0)->szLabel, szExpected);
    EXPECT_EQ(Scene().GetGroundItem(0)->nCount, 50);
    EXPECT_STREQ(Scene().GetGroundItem(1)->szLabel, "sword");
    // Only money (picture 0) keeps an amount.
    EXPECT_EQ(Scene().GetGroundItem(2)->nCount, 0);
    EXPECT_EQ(Scene().GetGroundItem(0)->szFrameSize.cx, 16);
}

}  // namespace
}  // namespace npctest
