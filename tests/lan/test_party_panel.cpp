// The party panel: paging over party layouts and items dropped on a member.
#include "CDX/CDXSprite.h"
#include "CDX/CDXTile.h"
#include "gamedata/GameData.h"
#include "lan/PartyPanel.h"
#include "shell/MainFrame.h"
#include "tests/lan/LanTestUtil.h"

namespace {

class PartyPanelTest : public LanFrameTest {
protected:
    void SetUp() override {
        LanFrameTest::SetUp();
        m_items[27].nLife = 40;
        m_items[40].nLife = 15;
        m_items[40].nMana = 9;
        m_pGrid = std::make_unique<CGoodsGrid>();
        pGoodsGrid = m_pGrid.get();
        m_peers.bGoodsOpen = true;
    }
    void TearDown() override {
        pGoodsGrid = nullptr;
        m_pGrid.reset();
        for (CPlayer*& p : pParty) p = nullptr;
        LanFrameTest::TearDown();
    }
    // A left press at (x, y) that the panel's press test sees.
    int Press(CPartyPanel& panel, int x, int y) {
        MoveTo(x, y);
        m_mouse.m_bClick = 1;
        return panel.Click(m_mouse);
    }
    // Starts dragging one of the item held nCount times, with its carried picture.
    void Carry(int nItem, int nCount) {
        int nPlace = m_pGrid->FindPlace(nItem);
        if (nPlace < 0) {
            ASSERT_EQ(m_pGrid->AddItem(&nPlace, nItem), nItem);
        }
        m_player.nItemCount[nItem] = nCount;
        const POINT pt{300 + nItem * 5, 500};  // apart from every other item's picture
        m_pGrid->SetPos(nItem, pt);
        MoveTo(pt.x + 5, pt.y + 5);
        m_mouse.m_bClick = 1;
        m_mouse.m_bButtonReleased = 0;
        m_pGrid->Update(m_mouse);
        ASSERT_NE(m_pGrid->GetCarriedSprite(), nullptr);
    }
    // Releases the carried item over the panel.
    void DropOnPanel(CPartyPanel& panel) {
        MoveTo(150, 300);
        m_mouse.m_bClick = 0;
        m_mouse.m_bButtonReleased = 1;
        panel.DropItem(m_mouse);
    }

    std::unique_ptr<CGoodsGrid> m_pGrid;
    CPlayer m_member;
};

TEST_F(PartyPanelTest, PagesSkipEmptyPartySlots) {
    CPartyPanel panel;
    panel.m_bOpen = 1;
    m_pFrame->m_nPartyIds[0] = 0;
    m_pFrame->m_nPartyIds[3] = 4;
    m_pFrame->m_nPartyCount = 2;
    pParty[3] = &m_member;
    EXPECT_EQ(Press(panel, 45, 210), 1);  // previous on page 0: nothing
    EXPECT_EQ(panel.m_nPage, 0);
    Press(panel, 95, 210);
    EXPECT_EQ(panel.m_nPage, 3);
    ASSERT_NE(panel.GetSlot(3), nullptr);
    EXPECT_EQ(panel.GetSlot(3)->GetFrame(), 4u);  // the member id is the portrait frame
    Press(panel, 95, 210);  // next on the last page: nothing
    EXPECT_EQ(panel.m_nPage, 3);
    Press(panel, 45, 210);
    EXPECT_EQ(panel.m_nPage, 0);
    EXPECT_EQ(panel.m_nShownWord, 0);
    m_player.nSculpt = 0;
    panel.SetHeroPortrait();
    EXPECT_EQ(panel.GetSlot(3)->GetFrame(), 1u);
    // The close button closes the panel and holds the mouse.
    EXPECT_EQ(Press(panel, 250, 110), 0);
    EXPECT_EQ(panel.m_bOpen, 0);
    EXPECT_EQ(m_pFrame->m_nMouseHold, 1);
    EXPECT_EQ(panel.Update(m_mouse), 0);
}

TEST_F(PartyPanelTest, ADeadMemberTakesOnlyTheRevivingItems) {
    CPartyPanel panel;
    m_player.nLife = 0;
    m_player.nLifeMax = 100;
    m_player.nMana = 0;
    m_player.nManaMax = 100;
    Carry(40, 3);
    DropOnPanel(panel);
    EXPECT_EQ(m_player.nLife, 0);
    EXPECT_EQ(m_player.nMana, 0);
    EXPECT_NE(m_pGrid->GetCarriedSprite(), nullptr);  // not taken: still carried
    m_pGrid->DeleteCarriedSprite();
    m_pGrid->SetCarried(-1);

    Carry(27, 2);
    DropOnPanel(panel);
    EXPECT_EQ(m_player.nLife, 40);
    EXPECT_EQ(m_pGrid->GetCarriedSprite(), nullptr);
    EXPECT_EQ(m_pGrid->GetCarried(), -1);
    EXPECT_EQ(m_mouse.m_bButtonReleased, 0);
    EXPECT_EQ(m_player.nItemCount[27], 1);  // the carried unit was used

    Carry(40, 3);
    DropOnPanel(panel);
    EXPECT_EQ(m_player.nLife, 55);
    EXPECT_EQ(m_player.nMana, 9);
}

TEST_F(PartyPanelTest, APageWithoutItsMemberTakesNoDrop) {
    CPartyPanel panel;
    panel.m_nPage = 2;  // party slot 2 is empty
    Carry(40, 3);
    DropOnPanel(panel);
    EXPECT_NE(m_pGrid->GetCarriedSprite(), nullptr);
    panel.m_bOpen = 1;
    FillBack(RGB(0, 0, 0));
    EXPECT_EQ(panel.Update(m_mouse), 1);
    const std::uint32_t c = StandInColour(17);  // "zhuangtailan.bmp"
    EXPECT_TRUE(PixelNear(300, 450, RGB((c >> 16) & 255, (c >> 8) & 255, c & 255), 8));
    EXPECT_TRUE(PixelIs(340, 450, RGB(0, 0, 0)));
    // The picture table ends with the name labels and the page numbers, 40 x 20 each.
    for (int nRow = 6; nRow <= 11; ++nRow) {
        ASSERT_TRUE(panel.PlaceSprite(4, nRow, 0, 10, 10)) << nRow;
        EXPECT_EQ(panel.GetSlot(4)->GetTile()->GetTileWidth(), 40);
        EXPECT_EQ(panel.GetSlot(4)->GetTile()->GetTileHeight(), 20);
    }
    EXPECT_FALSE(panel.PlaceSprite(4, 12, 0, 10, 10));
}

}  // namespace
