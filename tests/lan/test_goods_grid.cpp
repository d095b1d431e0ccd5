// The goods grid and the description bar: places, counts, dragging and drops.
#include "lan/DescBar.h"
#include "tests/lan/LanTestUtil.h"

namespace {

class GoodsGridTest : public LanTest {
protected:
    // Puts the item into the grid, held nCount times, with its picture at (x, y).
    int Place(CGoodsGrid& grid, int nItem, int nCount, int x, int y) {
        int nPlace = -1;
        EXPECT_EQ(grid.AddItem(&nPlace, nItem), nItem);
        m_player.nItemCount[nItem] = nCount;
        grid.SetPos(nItem, POINT{x, y});
        return nPlace;
    }
    // One frame: press (or release) at (x, y), then the grid's update.
    int Frame(CGoodsGrid& grid, int x, int y, bool bPress, bool bRelease) {
        MoveTo(x, y);
        m_mouse.m_bClick = bPress ? 1 : 0;
        m_mouse.m_bButtonReleased = bRelease ? 1 : 0;
        return grid.Update(m_mouse);
    }
};

TEST_F(GoodsGridTest, AddItemFillsPlacesOneToNinetyNineThenRefuses) {
    CGoodsGrid grid;
    int nPlace = -1;
    for (int i = 1; i <= 99; ++i) {
        ASSERT_EQ(grid.AddItem(&nPlace, i % 100), i % 100);
        EXPECT_EQ(nPlace, i);
        EXPECT_EQ(grid.GetPos(i % 100).x, -3000);
    }
    EXPECT_EQ(grid.GetSprite(0), nullptr);
    nPlace = 77;
    EXPECT_EQ(grid.AddItem(&nPlace, 5), -1);
    EXPECT_EQ(nPlace, 77);
    EXPECT_EQ(grid.GetSprite(100), nullptr);
    EXPECT_EQ(grid.GetItem(100), 0);
    // Numbers outside the item table are never placed.
    CGoodsGrid empty;
    EXPECT_EQ(empty.AddItem(&nPlace, 104), -1);
    EXPECT_EQ(empty.AddItem(&nPlace, -1), -1);
    EXPECT_EQ(empty.GetSprite(1), nullptr);
    // Out-of-range accessors answer "nothing" instead of reading past the tables.
    EXPECT_EQ(empty.GetItem(500), -1);
    EXPECT_EQ(empty.GetSprite(-1), nullptr);
    EXPECT_EQ(empty.GetPos(600).x, -100);
}

TEST_F(GoodsGridTest, RemoveItemLowersACountOrEmptiesThePlace) {
    CGoodsGrid grid;
    const int nPlace = Place(grid, 7, 3, 10, 10);
    grid.RemoveItem(7);
    EXPECT_EQ(m_player.nItemCount[7], 2);
    EXPECT_NE(grid.GetSprite(nPlace), nullptr);
    EXPECT_EQ(grid.GetItem(nPlace), 7);

    m_player.nItemCount[7] = 1;
    grid.RemoveItem(7);
    EXPECT_EQ(m_player.nItemCount[7], 0);
    EXPECT_EQ(grid.GetSprite(nPlace), nullptr);
    EXPECT_EQ(grid.GetItem(nPlace), -1);
    EXPECT_EQ(grid.GetPos(7).x, -100);
    grid.RemoveItem(250);  // no such item: nothing happens
}

TEST_F(GoodsGridTest, UpdateDoesNothingWhileEveryPanelIsClosed) {
    CGoodsGrid grid;
    Place(grid, 4, 1, 100, 100);
    EXPECT_EQ(Frame(grid, 105, 105, true, false), 0);
    EXPECT_EQ(grid.GetCarried(), -1);
    EXPECT_EQ(grid.GetOpenFlag(4), 0);
}

TEST_F(GoodsGridTest, WithoutPeersEveryPanelReadsClosed) {
    SetGoodsGridPeers(nullptr);
    CGoodsGrid grid;
    Place(grid, 4, 1, 100, 100);
    EXPECT_EQ(Frame(grid, 105, 105, true, false), 0);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(grid.GetOpenFlag(k), 0);
    CDescBar bar;
    bar.m_bVisible = 1;
    bar.Draw(m_mouse);
    EXPECT_EQ(bar.m_bVisible, 0);
    EXPECT_EQ(pGoodsGrid, nullptr);
    EXPECT_EQ(pDescBar, nullptr);
}

TEST_F(GoodsGridTest, DraggingOneOfSeveralMakesACarriedPicture) {
    CGoodsGrid grid;
    m_peers.bGoodsOpen = true;
    const int nPlace = Place(grid, 9, 3, 200, 200);
    ASSERT_EQ(Frame(grid, 210, 210, true, false), 1);
    EXPECT_EQ(grid.GetCarried(), nPlace);
    ASSERT_NE(grid.GetCarriedSprite(), nullptr);
    EXPECT_EQ(m_player.nItemCount[9], 2);
    EXPECT_EQ(grid.GetPos(9).x, 200);  // the place itself stays
    // The carried picture follows the cursor.
    Frame(grid, 300, 250, true, false);
    EXPECT_EQ(grid.GetCarriedSprite()->GetPosX(), 300);
    // Released over the panel: the picture goes, nothing is discarded.
    m_peers.nCellItem = 9;
    m_peers.ptCell = POINT{400, 120};
    Frame(grid, 300, 250, false, true);
    EXPECT_EQ(grid.GetCarriedSprite(), nullptr);
    EXPECT_EQ(grid.GetCarried(), -1);
    EXPECT_EQ(m_mouse.m_bButtonReleased, 0);
    EXPECT_TRUE(m_peers.messages.empty());
}

TEST_F(GoodsGridTest, APressOutsideThePictureBoxTakesNothing) {
    CGoodsGrid grid;
    m_peers.bGoodsOpen = true;
    Place(grid, 9, 1, 200, 200);
    // The cursor sprite touches the place but the cursor lies below its 35 x 35 box.
    EXPECT_EQ(Frame(grid, 220, 237, true, false), 0);
    EXPECT_EQ(grid.GetCarried(), -1);
}

TEST_F(GoodsGridTest, ASingleItemDroppedOnItsCellSnapsThereAndOutsideIsDiscarded) {
    CGoodsGrid grid;
    m_peers.bGoodsOpen = true;
    const int nPlace = Place(grid, 3, 1, 50, 50);
    Frame(grid, 55, 55, true, false);
    ASSERT_EQ(grid.GetCarried(), nPlace);
    EXPECT_EQ(grid.GetCarriedSprite(), nullptr);
    Frame(grid, 120, 90, true, false);
    EXPECT_EQ(grid.GetPos(3).x, 120);  // the place itself follows the cursor
    m_peers.nCellItem = 3;
    m_peers.ptCell = POINT{5000, 20};
    Frame(grid, 120, 90, false, true);
    // A cell beyond the screen sends the item to the not-laid-out point.
    EXPECT_EQ(grid.GetPos(3).x, -3000);
    EXPECT_EQ(grid.GetPos(3).y, -3000);
    EXPECT_EQ(m_player.nItemCount[3], 1);

    grid.SetPos(3, POINT{50, 50});
    m_peers.nCellItem = -1;
    Frame(grid, 55, 55, true, false);
    Frame(grid, 700, 500, false, true);
    EXPECT_EQ(m_player.nItemCount[3], 0);
    EXPECT_EQ(grid.GetSprite(nPlace), nullptr);
    ASSERT_EQ(m_peers.messages.size(), 1u);
    EXPECT_EQ(m_peers.messages[0], 52);
}

TEST_F(GoodsGridTest, DescriptionBarHidesWithItsPanelsClosedOrOnAClick) {
    CDescBar bar;
    MoveTo(400, 300);
    bar.m_nItem = 5;
    bar.Draw(m_mouse);  // not visible: nothing changes
    EXPECT_EQ(bar.m_nItem, 5);
    EXPECT_EQ(bar.m_bVisible, 0);

    m_peers.bGoodsOpen = true;
    bar.m_bVisible = 1;
    bar.Draw(m_mouse);
    EXPECT_EQ(bar.m_bVisible, 1);
    ASSERT_NE(bar.GetSlot(0), nullptr);
    EXPECT_EQ(bar.GetSlot(0)->GetPosX(), 200);
    m_mouse.m_bClick = 1;
    bar.Draw(m_mouse);
    EXPECT_EQ(bar.m_bVisible, 0);

    m_mouse.m_bClick = 0;
    m_peers.bGoodsOpen = false;
    bar.m_bVisible = 1;
    bar.Draw(m_mouse);
    EXPECT_EQ(bar.m_bVisible, 0);
}

TEST_F(GoodsGridTest, DescriptionBarDrawsItsBoxBesideTheCursor) {
    CDescBar bar;
    m_peers.bGoodsOpen = true;
    MoveTo(400, 300);
    FillBack(RGB(0, 0, 0));
    bar.m_bVisible = 1;
    bar.Draw(m_mouse);
    // "shuominglan.bmp" is the ninth stand-in; its box starts 200 left of the cursor.
    const std::uint32_t c = StandInColour(8);
    EXPECT_TRUE(PixelNear(205, 390, RGB((c >> 16) & 255, (c >> 8) & 255, c & 255), 8));
    EXPECT_TRUE(PixelIs(195, 390, RGB(0, 0, 0)));
}

// Random presses, moves and releases over a grid with its panels open: no fault, counts
// stay within 0..500 and the total falls only by discards.
TEST_F(GoodsGridTest, RandomDraggingKeepsCountsSound) {
    CGoodsGrid grid;
    m_peers.bGoodsOpen = true;
    m_peers.bStatusOpen[1] = true;
    for (int i = 0; i < 12; ++i) Place(grid, i * 7 % 100, 1 + i % 4, 40 * i, 30 * i);
    Srand(15);
    auto total = [&] {
        long n = 0;
        for (int c : m_player.nItemCount) n += c;
        return n;
    };
    for (int f = 0; f < 10000; ++f) {
        const int nKind = Rand() % 3;
        m_peers.nCellItem = Rand() % 2 ? grid.CarriedItem() : -1;
        m_peers.ptCell = POINT{Rand() % 8000 - 4000, Rand() % 600};
        const long nBefore = total();
        const size_t nDiscards = m_peers.messages.size();
        const bool bCarriedSprite = grid.GetCarriedSprite() != nullptr;
        Frame(grid, Rand() % 800, Rand() % 600, nKind == 0, nKind == 2);
        const long nAfter = total();
        for (int c : m_player.nItemCount) ASSERT_TRUE(c >= 0 && c <= 500);
        if (m_peers.messages.size() == nDiscards) {
            // Without a discard only a new carried picture takes one off the stock.
            ASSERT_TRUE(nAfter == nBefore || (nAfter == nBefore - 1 && !bCarriedSprite)) << "frame " << f;
        } else {
            ASSERT_LE(nAfter, nBefore);
        }
    }
}

}  // namespace
