// The status panel: paging over party layouts, wearing items dropped from the goods grid,
// taking them off, and the rows kept per page.
#include "gamedata/GameData.h"
#include "lan/StatusPanel.h"
#include "platform/WindowBackend.h"
#include "shell/MainFrame.h"
#include "tests/lan/LanTestUtil.h"

namespace {

constexpr int kSword = 12, kRing = 14, kCoat = 16;

class StatusPanelTest : public LanFrameTest {
protected:
    void SetUp() override {
        LanFrameTest::SetUp();
        m_items[kSword].nAttack = 7;
        m_items[kSword].nDefence = 3;
        m_items[kCoat].nDefence = 11;
        m_pGrid = std::make_unique<CGoodsGrid>();
        pGoodsGrid = m_pGrid.get();
        m_peers.bGoodsOpen = true;
        m_pPanel = std::make_unique<CStatusPanel>();
        pStatusPanel = m_pPanel.get();
        m_player.nAttack = 20;
        m_player.nDefence = 5;
    }
    void TearDown() override {
        pStatusPanel = nullptr;
        m_pPanel.reset();
        pGoodsGrid = nullptr;
        m_pGrid.reset();
        LanFrameTest::TearDown();
    }
    // Gives the hero nCount of the item with its picture in the grid at (x, y).
    void Hold(int nItem, int nCount, int x, int y) {
        int nPlace = m_pGrid->FindPlace(nItem);
        if (nPlace < 0) {
            ASSERT_EQ(m_pGrid->AddItem(&nPlace, nItem), nItem);
        }
        m_player.nItemCount[nItem] = nCount;
        m_pGrid->SetPos(nItem, POINT{x, y});
    }
    // The grid's frame with the cursor at (x, y), pressed or released.
    void GridFrame(int x, int y, bool bPress, bool bRelease) {
        MoveTo(x, y);
        m_mouse.m_bClick = bPress ? 1 : 0;
        m_mouse.m_bButtonReleased = bRelease ? 1 : 0;
        m_pGrid->Update(m_mouse);
    }
    // The panel's mouse handling on page k with the cursor at (x, y).
    void PanelFrame(int k, int x, int y, bool bPress, bool bRelease) {
        MoveTo(x, y);
        m_mouse.m_bClick = bPress ? 1 : 0;
        m_mouse.m_bButtonReleased = bRelease ? 1 : 0;
        m_pPanel->HandleEquipMouse(m_mouse, k);
    }
    // The box sprite's position.
    POINT Box(int nSlot) const {
        const CDXSprite* p = m_pPanel->GetSlot(nSlot);
        return p ? POINT{p->GetPosX(), p->GetPosY()} : POINT{-1, -1};
    }
    // A left press the panel's button test sees.
    int PageButton(int k, int x, int y) {
        MoveTo(x, y);
        m_mouse.m_bClick = 1;
        m_mouse.m_bButtonReleased = 1;
        InjectMouseButton(VK_LBUTTON, true, x, y);
        InjectMouseButton(VK_LBUTTON, false, x, y);
        return m_pPanel->HandlePageButtons(m_mouse, k);
    }

    std::unique_ptr<CGoodsGrid> m_pGrid;
    std::unique_ptr<CStatusPanel> m_pPanel;
    CPlayer m_members[4];
};

TEST_F(StatusPanelTest, PageButtonsFollowThePartyLayoutAndTheLastPageKeepsTheClick) {
    m_pFrame->m_nPartyIds[0] = 0;
    m_pFrame->m_nPartyIds[1] = -1;
    m_pFrame->m_nPartyIds[2] = 2;
    m_pFrame->m_nPartyIds[3] = -1;
    m_pFrame->m_nPartyCount = 3;
    m_members[2].nMember = 2;
    m_player.pPartyMembers[2] = &m_members[2];
    m_pPanel->OpenPage(0);
    // Page 0's next button with slot 1 empty goes on to slot 2.
    EXPECT_EQ(PageButton(0, 30, 140), 1);
    EXPECT_TRUE(m_pPanel->IsPageOpen(2));
    EXPECT_FALSE(m_pPanel->IsPageOpen(0));
    EXPECT_EQ(m_mouse.m_bClick, 0);
    EXPECT_EQ(m_pPanel->m_bBusy, 1);
    // Page 2 is the last page (party count 3): next is not consumed and nothing changes.
    m_pPanel->m_bBusy = 0;
    EXPECT_EQ(PageButton(2, 30, 140), 0);
    EXPECT_TRUE(m_pPanel->IsPageOpen(2));
    EXPECT_EQ(m_mouse.m_bClick, 1);
    // Previous on page 2 with slot 1 empty goes back to page 0.
    EXPECT_EQ(PageButton(2, 80, 140), 1);
    EXPECT_TRUE(m_pPanel->IsPageOpen(0));
    // A click beside both buttons is left to the boxes.
    EXPECT_EQ(PageButton(0, 200, 300), 0);
    EXPECT_TRUE(m_pPanel->IsPageOpen(0));
}

TEST_F(StatusPanelTest, WeaponArmourAndShootBoxesWearTheOtherThreeHandBack) {
    m_pPanel->OpenPage(0);
    const POINT ptWeapon = Box(8);
    Hold(kSword, 1, ptWeapon.x + 5, ptWeapon.y + 5);
    GridFrame(600, 500, false, false);  // the grid lays its pictures out
    PanelFrame(0, ptWeapon.x + 5, ptWeapon.y + 5, false, true);
    EXPECT_EQ(*m_player.EquipSlot(4), kSword);
    EXPECT_EQ(m_pPanel->m_nEquip[0][8], kSword);
    EXPECT_EQ(m_player.nAttack, 27);
    EXPECT_EQ(m_player.nDefence, 8);
    // Held once: its picture waits at the rest point.
    EXPECT_EQ(m_pGrid->GetPos(kSword).x, 3000);
    EXPECT_EQ(m_pGrid->GetPos(kSword).y, 3000);
    EXPECT_EQ(m_player.nItemCount[kSword], 1);

    // Slot 5 takes nothing: the ring goes back to its goods-panel cell.
    const POINT ptFive = Box(5);
    Hold(kRing, 1, ptFive.x + 2, ptFive.y + 2);
    m_peers.nCellItem = kRing;
    m_peers.ptCell = POINT{700, 200};
    GridFrame(600, 500, false, false);
    PanelFrame(0, ptFive.x + 2, ptFive.y + 2, false, true);
    EXPECT_EQ(m_pPanel->m_nEquip[0][5], -1);
    EXPECT_EQ(*m_player.EquipSlot(1), -1);
    EXPECT_EQ(m_pGrid->GetPos(kRing).x, 700);
    EXPECT_EQ(m_player.nAttack, 27);
}

TEST_F(StatusPanelTest, AnItemHeldTwiceStaysVisibleAndIsKeptInTheStackRow) {
    m_pPanel->OpenPage(0);
    Hold(kCoat, 2, 600, 400);
    // Dragging one of two makes a carried picture and takes the unit off the stock.
    GridFrame(605, 405, true, false);
    ASSERT_NE(m_pGrid->GetCarriedSprite(), nullptr);
    EXPECT_EQ(m_player.nItemCount[kCoat], 1);
    const POINT ptArmour = Box(6);
    MoveTo(ptArmour.x + 5, ptArmour.y + 5);
    m_pGrid->GetCarriedSprite()->SetPos(ptArmour.x + 5, ptArmour.y + 5);
    PanelFrame(0, ptArmour.x + 5, ptArmour.y + 5, false, true);
    EXPECT_EQ(m_pPanel->m_nStack[0][6], kCoat);
    EXPECT_EQ(m_pPanel->m_nEquip[0][6], kCoat);
    EXPECT_EQ(*m_player.EquipSlot(2), kCoat);
    EXPECT_EQ(m_player.nDefence, 16);
    EXPECT_EQ(m_pGrid->GetCarriedSprite(), nullptr);
    EXPECT_EQ(m_pGrid->GetCarried(), -1);
    EXPECT_EQ(m_pGrid->GetPos(kCoat).x, 600);  // still visible in the grid

    // Picked off the box again, the page carries it and the grid takes it from the page.
    PanelFrame(0, ptArmour.x + 5, ptArmour.y + 5, true, false);
    EXPECT_EQ(m_pPanel->m_bCarrying, 1);
    EXPECT_EQ(*m_player.EquipSlot(2), -1);
    EXPECT_EQ(m_player.nDefence, 5);
    int nItem = -1;
    EXPECT_TRUE(GoodsGridPeers()->TakeStatusCarried(&nItem));
    EXPECT_EQ(nItem, kCoat);
    EXPECT_EQ(m_pPanel->m_bCarrying, 0);
}

TEST_F(StatusPanelTest, AClickOnAWornItemHeldOnceCarriesItOffAndTakingOffNeverGoesBelowZero) {
    m_pPanel->OpenPage(0);
    const POINT ptWeapon = Box(8);
    Hold(kSword, 1, ptWeapon.x + 5, ptWeapon.y + 5);
    GridFrame(600, 500, false, false);
    PanelFrame(0, ptWeapon.x + 5, ptWeapon.y + 5, false, true);
    ASSERT_EQ(*m_player.EquipSlot(4), kSword);
    m_player.nAttack = 2;  // something lowered it meanwhile
    GridFrame(600, 500, false, false);
    PanelFrame(0, ptWeapon.x + 10, ptWeapon.y + 10, true, false);
    EXPECT_EQ(*m_player.EquipSlot(4), -1);
    EXPECT_EQ(m_pPanel->m_nEquip[0][8], -1);
    EXPECT_EQ(m_player.nAttack, 0);
    EXPECT_EQ(m_player.nDefence, 5);
    EXPECT_EQ(m_pGrid->CarriedItem(), kSword);
    EXPECT_EQ(m_pGrid->GetPos(kSword).x, ptWeapon.x + 10);
    EXPECT_EQ(m_player.nItemCount[kSword], 1);
}

TEST_F(StatusPanelTest, CancelClosesEveryPageWhileTheGoodsPanelIsShut) {
    m_peers.bGoodsOpen = false;
    m_pPanel->OpenPage(0);
    PanelFrame(0, 310, 450, true, false);
    for (int k = 0; k < 4; ++k) EXPECT_FALSE(m_pPanel->IsPageOpen(k));
    EXPECT_EQ(m_pFrame->m_nMouseHold, 1);
    EXPECT_EQ(m_mouse.m_bClick, 0);
    EXPECT_EQ(m_pPanel->DrawPage(m_mouse, 0), 0);
}

TEST_F(StatusPanelTest, PagesWithoutARecordDrawOnlyAndTakeNoDrop) {
    m_pFrame->m_nPartyIds[1] = 3;  // a party id whose record is missing
    m_pFrame->m_nPartyCount = 2;
    m_pPanel->OpenPage(1);
    const POINT ptWeapon = Box(8);
    Hold(kSword, 1, ptWeapon.x + 5, ptWeapon.y + 5);
    GridFrame(600, 500, false, false);
    PanelFrame(1, ptWeapon.x + 5, ptWeapon.y + 5, false, true);
    EXPECT_EQ(m_pPanel->m_nEquip[1][8], -1);
    EXPECT_EQ(m_pGrid->GetPos(kSword).x, ptWeapon.x + 5);
    MoveTo(500, 560);
    EXPECT_EQ(m_pPanel->DrawPage(m_mouse, 1), 1);
}

TEST_F(StatusPanelTest, LinesHoldLongNamesWholeAndEquipmentLoadsAppliesAndReleases) {
    std::snprintf(m_player.szName, sizeof(m_player.szName), "%s", "AVeryLongHeroNameOfThirtyOneCh");
    m_player.nLevel = 12;
    m_player.nMoney = 345;
    m_pPanel->OpenPage(0);
    MoveTo(500, 560);
    ASSERT_EQ(m_pPanel->DrawPage(m_mouse, 0), 1);
    EXPECT_STREQ(m_pPanel->GetLine(0), "AVeryLongHeroNameOfThirtyOneCh    12");
    EXPECT_STREQ(m_pPanel->GetLine(6), "345");

    // Member 2 in party slot 1 wears a sword held once and a coat held twice.
    m_pFrame->m_nPartyIds[1] = 2;
    m_pFrame->m_nPartyCount = 2;
    m_members[2].nMember = 2;
    m_player.pPartyMembers[2] = &m_members[2];
    Hold(kSword, 1, 600, 300);
    Hold(kCoat, 2, 650, 300);
    *m_members[2].EquipSlot(4) = kSword;
    *m_members[2].EquipSlot(2) = kCoat;
    m_pPanel->LoadEquipment(2);
    EXPECT_EQ(m_pPanel->m_nEquip[1][8], kSword);
    EXPECT_EQ(m_pPanel->m_nStack[1][8], -1);
    EXPECT_EQ(m_pPanel->m_nStack[1][6], kCoat);
    EXPECT_EQ(m_pGrid->GetPos(kSword).x, 3000);
    EXPECT_EQ(m_pGrid->GetPos(kCoat).x, 650);
    EXPECT_EQ(m_members[2].nAttack, 7);
    EXPECT_EQ(m_members[2].nDefence, 14);
    m_pPanel->ApplyEquipment(2);
    EXPECT_EQ(m_members[2].nAttack, 14);
    m_pPanel->ApplyEquipment(5);  // not in the party: nothing
    EXPECT_EQ(m_members[2].nAttack, 14);

    // Releasing page 1: the sword held once leaves the grid, the rows shift down.
    m_pPanel->m_nEquip[2][4] = kRing;
    m_pPanel->m_nEquip[3][7] = kRing;
    m_pPanel->ReleaseMember(1);
    EXPECT_EQ(*m_members[2].EquipSlot(4), -1);
    EXPECT_EQ(m_player.nItemCount[kSword], 0);
    EXPECT_EQ(m_pGrid->FindPlace(kSword), -1);
    EXPECT_EQ(m_player.nItemCount[kCoat], 2);
    EXPECT_EQ(m_pPanel->m_nEquip[1][4], kRing);
    EXPECT_EQ(m_pPanel->m_nEquip[2][7], kRing);
    for (int s = 0; s < CStatusPanel::kRowSlots; ++s) EXPECT_EQ(m_pPanel->m_nEquip[3][s], -1);
    m_pPanel->ClearRows();
    EXPECT_EQ(m_pPanel->m_nEquip[1][4], -1);
}

}  // namespace
