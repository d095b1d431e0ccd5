// The goods panel (cells by size code, paging, the description after a rest), the sprite
// board and the skill panel's combining grid (combinations that keep every unit), and
// the skill lists.
#include <memory>

#include "gamedata/GameData.h"
#include "lan/DescBar.h"
#include "lan/GoodsPanel.h"
#include "lan/SkillInfoPanel.h"
#include "lan/SpriteBoard.h"
#include "lan/StatusPanel.h"
#include "platform/WindowBackend.h"
#include "shell/MainFrame.h"
#include "tests/lan/LanTestUtil.h"

namespace {

constexpr int kHerb = 60, kOre = 61, kPill = 9, kBlade = 12;

class FamilyTest : public LanFrameTest {
protected:
    void SetUp() override {
        LanFrameTest::SetUp();
        m_items[kBlade].nGirdNum = 1;
        m_pCombinations = std::make_unique<std::int32_t[][kItemGridSize]>(kItemGridSize);
        for (int a = 0; a < kItemGridSize; ++a)
            for (int b = 0; b < kItemGridSize; ++b) m_pCombinations[a][b] = -1;
        m_pData->nItemGrid = m_pCombinations.get();
        m_pGrid = std::make_unique<CGoodsGrid>();
        pGoodsGrid = m_pGrid.get();
        // The family's own links: the grid asks the panels through their pointers.
        SetGoodsGridPeers(nullptr);
    }
    void TearDown() override {
        pGoodsPanel = nullptr;
        pDescBar = nullptr;
        pGoodsGrid = nullptr;
        m_pGrid.reset();
        m_pData->nItemGrid = nullptr;
        LanFrameTest::TearDown();
    }
    void Hold(int nItem, int nCount, POINT pt) {
        int nPlace = m_pGrid->FindPlace(nItem);
        if (nPlace < 0) {
            ASSERT_EQ(m_pGrid->AddItem(&nPlace, nItem), nItem);
        }
        m_player.nItemCount[nItem] = nCount;
        m_pGrid->SetPos(nItem, pt);
        m_pGrid->GetSprite(nPlace)->SetPos(pt.x, pt.y);
    }
    void Mouse(int x, int y, bool bPress, bool bRelease) {
        MoveTo(x, y);
        m_mouse.m_bClick = bPress ? 1 : 0;
        m_mouse.m_bButtonReleased = bRelease ? 1 : 0;
    }
    void LeftClickBit(int x, int y) {
        InjectMouseButton(VK_LBUTTON, true, x, y);
        InjectMouseButton(VK_LBUTTON, false, x, y);
    }

    std::unique_ptr<std::int32_t[][kItemGridSize]> m_pCombinations;
    std::unique_ptr<CGoodsGrid> m_pGrid;
};

TEST_F(FamilyTest, SizeCodesAnchorOnlyWhereTheBlockStaysOnThePage) {
    struct Row {
        int nSize, v, nPage;
        bool bFits;
    } const rows[] = {
        {1, 24, 0, true},  {1, 25, 0, false}, {4, 0, 0, true},   {4, 4, 0, false},  {4, 18, 0, true},
        {4, 20, 0, false}, {6, 13, 0, true},  {6, 15, 0, false}, {6, 9, 0, false},  {8, 8, 0, true},
        {8, 9, 0, false},  {8, 4, 0, false},  {8, 29, 25, false}, {8, 33, 25, true}, {4, 74, 50, false},
        {3, 0, 0, false},
    };
    int cells[8];
    int nCount = 0;
    for (const Row& r : rows)
        EXPECT_EQ(CGoodsPanel::BlockCells(r.nSize, r.v, r.nPage, cells, &nCount), r.bFits)
            << "size " << r.nSize << " at " << r.v << " on page " << r.nPage;
    ASSERT_TRUE(CGoodsPanel::BlockCells(6, 7, 0, cells, &nCount));
    EXPECT_EQ(nCount, 6);
    EXPECT_EQ(cells[4], 17);
    EXPECT_EQ(cells[5], 18);
}

TEST_F(FamilyTest, PlacementFillsThePagesThenShowsTheFullMessage) {
    std::vector<int> messages;
    class CRecorder : public CGoodsGridPeers {
    public:
        explicit CRecorder(std::vector<int>* p) : m_p(p) {}
        void ShowMessage(int nId) override { m_p->push_back(nId); }
        std::vector<int>* m_p;
    } recorder(&messages);
    SetGoodsGridPeers(&recorder);
    CGoodsPanel panel;
    // Two 2 x 4 blocks fit a page, at cells 0 and 2.
    int nFirst = -1;
    for (int i = 0; i < 24; ++i) {
        const int nItem = 20 + i;
        m_items[nItem].nGirdNum = 3;  // 2 x 4 blocks: two per page
        const int v = panel.PlaceGood(nItem);
        if (i == 0) nFirst = v;
        if (i < 8) EXPECT_GE(v, 0) << i;
        else EXPECT_EQ(v, -1) << i;
    }
    EXPECT_EQ(nFirst, 0);
    EXPECT_TRUE(panel.IsCellTaken(16));
    EXPECT_EQ(panel.GetCellOfGood(22), 25);  // the third went on to the next page
    EXPECT_EQ(messages.size(), 16u);
    EXPECT_EQ(messages.front(), 51);
    // Freed cells take the next good; an out-of-range number does nothing.
    panel.FreeGood(20);
    EXPECT_FALSE(panel.IsCellTaken(16));
    EXPECT_EQ(panel.PlaceGood(50), 0);
    panel.FreeGood(700);
    EXPECT_EQ(panel.PlaceGood(-4), -1);
    EXPECT_FALSE(panel.MoveGood(50, 2));  // taken by the second block
    EXPECT_EQ(panel.GetCellOfGood(50), 0);
    EXPECT_TRUE(panel.MoveGood(50, 4));
    EXPECT_FALSE(panel.IsCellTaken(0));
    SetGoodsGridPeers(nullptr);
}

TEST_F(FamilyTest, PagingMovesTheGoodsOffAndBackAndARestShowsTheDescription) {
    CGoodsPanel panel;
    pGoodsPanel = &panel;
    panel.m_bShown = 1;
    CDescBar bar;
    pDescBar = &bar;
    Hold(kPill, 1, POINT{0, 0});
    Hold(kOre, 1, POINT{0, 0});
    ASSERT_EQ(panel.PlaceGood(kPill), 0);
    ASSERT_TRUE(panel.MoveGood(kOre, 30));
    const POINT ptCell = panel.CellPos(0);
    EXPECT_EQ(m_pGrid->GetPos(kPill).x, ptCell.x);
    EXPECT_EQ(m_pGrid->GetPos(kOre).x, -3000);

    // The cursor rests on the pill: the description shows after 31 updates.
    for (int i = 0; i < 31; ++i) {
        Mouse(ptCell.x + 3, ptCell.y + 3, false, false);
        m_pGrid->Update(m_mouse);
        EXPECT_EQ(bar.m_bVisible, 0) << i;
        panel.Update(m_mouse);
    }
    EXPECT_EQ(bar.m_bVisible, 1);
    EXPECT_EQ(bar.m_nItem, kPill);
    Mouse(10, 10, false, false);
    panel.Update(m_mouse);
    EXPECT_EQ(bar.m_bVisible, 0);

    // Page forward: the pill leaves for (-3000, -100), the ore comes to its cell.
    const int w = 640;
    Mouse(w - 60, 390, true, false);
    LeftClickBit(w - 60, 390);
    panel.Update(m_mouse);
    EXPECT_EQ(panel.m_nPage, 25);
    EXPECT_EQ(m_pGrid->GetPos(kPill).x, -3000);
    EXPECT_EQ(m_pGrid->GetPos(kPill).y, -100);
    EXPECT_EQ(m_pGrid->GetPos(kOre).x, panel.CellPos(30).x);
    // The close button hides it.
    Mouse(w - 40, 100, true, false);
    LeftClickBit(w - 40, 100);
    EXPECT_EQ(panel.Update(m_mouse), 0);
    EXPECT_EQ(panel.m_bShown, 0);
    EXPECT_FALSE(GoodsGridPeers()->IsGoodsPanelOpen());
}

TEST_F(FamilyTest, ACarriedPictureDroppedOnThePanelGoesBackToTheStock) {
    CGoodsPanel panel;
    pGoodsPanel = &panel;
    panel.m_bShown = 1;
    Hold(kPill, 3, POINT{0, 0});
    panel.PlaceGood(kPill);
    const POINT ptCell = panel.CellPos(0);
    Mouse(ptCell.x + 3, ptCell.y + 3, true, false);
    m_pGrid->Update(m_mouse);
    ASSERT_NE(m_pGrid->GetCarriedSprite(), nullptr);
    EXPECT_EQ(m_player.nItemCount[kPill], 2);
    Mouse(ptCell.x + 50, ptCell.y + 50, false, true);
    panel.Update(m_mouse);
    m_pGrid->Update(m_mouse);
    EXPECT_EQ(m_player.nItemCount[kPill], 3);
    EXPECT_EQ(m_pGrid->GetCarriedSprite(), nullptr);
    EXPECT_EQ(m_pGrid->GetCarried(), -1);
}

TEST_F(FamilyTest, TheBoardCombinesAfterSixFramesOverOneHundredAndOneTicks) {
    m_pCombinations[kHerb][kOre] = kPill;
    EXPECT_EQ(CSpriteBoard::CombinationOf(kHerb, kOre), kPill);
    EXPECT_EQ(CSpriteBoard::CombinationOf(kOre, kHerb), -1);  // the board reads (a, b) only
    EXPECT_EQ(CSpriteBoard::CombinationOf(kHerb, kHerb), -1);
    EXPECT_EQ(CSpriteBoard::CombinationOf(600, 1), -1);
    CSpriteBoard board;
    board.m_bOpen = 1;
    const CDXSprite* pA = board.GetSlot(2);
    const CDXSprite* pB = board.GetSlot(3);
    ASSERT_NE(pA, nullptr);
    ASSERT_NE(pB, nullptr);
    // Pictures dropped on the boxes are placed there.
    Hold(kHerb, 2, POINT{pA->GetPosX() + 2, pA->GetPosY() + 2});
    m_pGrid->SetCarried(m_pGrid->FindPlace(kHerb));
    Mouse(pA->GetPosX() + 4, pA->GetPosY() + 4, false, true);
    board.Update(m_mouse);
    Hold(kOre, 1, POINT{pB->GetPosX() + 2, pB->GetPosY() + 2});
    m_pGrid->SetCarried(m_pGrid->FindPlace(kOre));
    Mouse(pB->GetPosX() + 4, pB->GetPosY() + 4, false, true);
    board.Update(m_mouse);
    EXPECT_EQ(board.m_bFilledA, 1);
    EXPECT_EQ(board.m_bFilledB, 1);
    EXPECT_EQ(m_pGrid->GetCarried(), -1);

    board.m_bCombining = 1;
    int nFrameChanges = 0, nLast = board.m_nFrameSlot;
    Mouse(5, 5, false, false);
    for (int t = 0; t < CSpriteBoard::kTicks; ++t) {
        EXPECT_EQ(m_player.nItemCount[kPill], 0) << t;
        board.Update(m_mouse);
        if (board.m_nFrameSlot != nLast) ++nFrameChanges;
        nLast = board.m_nFrameSlot;
    }
    EXPECT_EQ(nFrameChanges, 20);  // a new frame every fifth tick, round the six
    EXPECT_EQ(board.m_bCombining, 0);
    EXPECT_EQ(m_player.nItemCount[kHerb], 1);
    EXPECT_EQ(m_player.nItemCount[kOre], 0);
    EXPECT_EQ(m_player.nItemCount[kPill], 1);
    EXPECT_EQ(m_pGrid->FindPlace(kOre), -1);
    EXPECT_GE(m_pGrid->FindPlace(kPill), 0);
    EXPECT_EQ(board.m_nResult, kPill);
    EXPECT_EQ(board.m_bFilledA, 0);

    // A pair without a result fails until the next press; so does the pair the table
    // holds in the other order.
    m_player.nItemCount[kOre] = 1;
    for (const auto& [a, b] : {std::pair{kHerb, kHerb}, std::pair{kOre, kHerb}}) {
        board.m_bFailed = 0;
        board.m_nItemA = a;
        board.m_nItemB = b;
        board.Combine();
        EXPECT_EQ(board.m_bFailed, 1) << a << " " << b;
        EXPECT_EQ(m_player.nItemCount[kHerb], 1);
        EXPECT_EQ(m_player.nItemCount[kOre], 1);
        EXPECT_EQ(m_player.nItemCount[kPill], 1);
    }
    m_player.nItemCount[kOre] = 0;
    board.m_nItemA = board.m_nItemB = -1;
    Mouse(5, 5, true, false);
    board.Update(m_mouse);
    EXPECT_EQ(board.m_bFailed, 0);
}

TEST_F(FamilyTest, TheCombiningGridKeepsEveryUnitThroughDropsReturnsAndCombines) {
    m_pCombinations[kHerb][kOre] = kPill;
    CSkillButtonGrid grid;
    grid.m_bOpen = 1;
    const CDXSprite* pA = grid.GetSlot(2);
    const CDXSprite* pB = grid.GetSlot(3);
    ASSERT_NE(pA, nullptr);
    Hold(kHerb, 2, POINT{500, 500});
    Hold(kOre, 1, POINT{550, 500});
    auto total = [&] { return m_player.nItemCount[kHerb] + m_player.nItemCount[kOre] + (grid.m_nItemA >= 0) + (grid.m_nItemB >= 0); };
    // Drop the herb (one of two) on A and the single ore on B.
    m_pGrid->SetCarried(m_pGrid->FindPlace(kHerb));
    Mouse(pA->GetPosX() + 3, pA->GetPosY() + 3, false, true);
    grid.Update(m_mouse);
    EXPECT_EQ(grid.m_nItemA, kHerb);
    EXPECT_EQ(m_player.nItemCount[kHerb], 1);
    m_pGrid->SetCarried(m_pGrid->FindPlace(kOre));
    Mouse(pB->GetPosX() + 3, pB->GetPosY() + 3, false, true);
    grid.Update(m_mouse);
    EXPECT_EQ(grid.m_nItemB, kOre);
    EXPECT_EQ(m_pGrid->FindPlace(kOre), -1);
    EXPECT_EQ(total(), 3);
    // A click on a filled slot gives its item back.
    Mouse(pB->GetPosX() + 3, pB->GetPosY() + 3, true, false);
    grid.Update(m_mouse);
    EXPECT_EQ(grid.m_nItemB, -1);
    EXPECT_EQ(m_player.nItemCount[kOre], 1);
    EXPECT_GE(m_pGrid->FindPlace(kOre), 0);
    EXPECT_EQ(total(), 3);
    // Back in, confirm: one pill for the pair.
    m_pGrid->SetCarried(m_pGrid->FindPlace(kOre));
    Mouse(pB->GetPosX() + 3, pB->GetPosY() + 3, false, true);
    grid.Update(m_mouse);
    Mouse(340, 340, true, false);
    grid.Update(m_mouse);
    EXPECT_EQ(grid.m_nResult, kPill);
    EXPECT_EQ(m_player.nItemCount[kPill], 1);
    EXPECT_EQ(m_player.nItemCount[kHerb], 1);
    EXPECT_EQ(m_player.nItemCount[kOre], 0);
    // Leaving by the second leave rectangle returns 0 and gives back what is left.
    m_pGrid->SetCarried(m_pGrid->FindPlace(kHerb));
    Mouse(pA->GetPosX() + 3, pA->GetPosY() + 3, false, true);
    grid.Update(m_mouse);
    EXPECT_EQ(m_player.nItemCount[kHerb], 0);
    Mouse(40, 240, true, false);
    EXPECT_EQ(grid.Update(m_mouse), 0);
    EXPECT_EQ(grid.m_bOpen, 0);
    EXPECT_EQ(m_player.nItemCount[kHerb], 1);
    EXPECT_EQ(m_pFrame->m_nMouseHold, 1);
    // The grid takes a pair in either order: ore on A and herb on B make the pill that
    // the table holds for herb and ore.
    grid.m_nItemA = kOre;
    grid.m_nItemB = kHerb;
    grid.Combine();
    EXPECT_EQ(grid.m_bFailed, 0);
    EXPECT_EQ(grid.m_nResult, kPill);
    EXPECT_EQ(m_player.nItemCount[kPill], 2);
}

TEST_F(FamilyTest, SkillListsScrollFillInNumberOrderAndTakeNoMoreThanTheirRoom) {
    CSkillInfoPanel panel;
    m_pFrame->m_nPartyIds[0] = 0;
    m_player.nMember = 0;
    for (int s : {3, 9, 1, 40, 22, 17, 5}) m_player.nSkillKnown[s] = 1;
    panel.FillSkillLists();
    const SkillList* pList = panel.GetList(0);
    ASSERT_NE(pList, nullptr);
    ASSERT_EQ(pList->nCount, 7);
    const int expected[7] = {1, 3, 5, 9, 17, 22, 40};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(pList->nSkill[i], expected[i]);
    for (int i = 0; i < 4; ++i) panel.ScrollDown(0);
    EXPECT_EQ(pList->nTop, 2);
    panel.ScrollUp(0);
    panel.ScrollUp(0);
    panel.ScrollUp(0);
    EXPECT_EQ(pList->nTop, 0);

    panel.ResetSkillLists();
    pList = panel.GetList(0);
    for (int s : {1, 3, 5, 9}) panel.AddSkill(0, s);
    panel.AddSkill(0, 2);   // not known
    panel.AddSkill(4, 1);   // no such member in the party
    panel.AddSkill(0, 50);  // past the skill table
    EXPECT_EQ(pList->nCount, 4);
    panel.ScrollDown(0);
    EXPECT_EQ(pList->nTop, 0);
    for (int i = 0; i < 300; ++i) panel.AddSkill(0, 1);
    EXPECT_EQ(pList->nCount, SkillList::kCapacity);
    EXPECT_EQ(panel.GetList(9), nullptr);
}

}  // namespace

namespace {

// Random presses, moves and releases with every panel of the family open: nothing
// crashes, counts stay within 0..500, and the units held (stock, carried picture, boxes)
// never grow, since drops outside discard and combinations turn two into one.
TEST_F(FamilyTest, RandomFramesOverTheWholeFamilyNeverMintUnits) {
    m_pCombinations[kHerb][kOre] = kPill;
    m_pCombinations[kPill][kHerb] = kOre;
    CGoodsPanel panel;
    pGoodsPanel = &panel;
    panel.m_bShown = 1;
    CDescBar bar;
    pDescBar = &bar;
    auto pStatus = std::make_unique<CStatusPanel>();
    pStatusPanel = pStatus.get();
    pStatus->OpenPage(0);
    CSpriteBoard board;
    board.m_bOpen = 1;
    CSkillInfoPanel skills;
    skills.m_bOpen = 1;
    skills.GetGrid()->m_bOpen = 1;
    skills.GetBoard()->m_bOpen = 1;
    const int items[] = {kHerb, kOre, kPill, kBlade, 13, 20};
    for (int nItem : items) {
        m_items[nItem].nAttack = 3;
        Hold(nItem, 1 + nItem % 4, POINT{0, 0});
        panel.PlaceGood(nItem);
    }
    auto held = [&] {
        long n = 0;
        for (int nItem : items) n += m_player.nItemCount[nItem];
        if (m_pGrid->GetCarriedSprite()) ++n;
        for (int v : {board.m_nItemA, board.m_nItemB, skills.GetGrid()->m_nItemA, skills.GetGrid()->m_nItemB,
                      skills.GetBoard()->m_nItemA, skills.GetBoard()->m_nItemB})
            n += v >= 0;
        n += pStatus->m_bCarrying;
        return n;
    };
    std::uint32_t nSeed = 12345;
    auto next = [&] { return nSeed = nSeed * 1664525u + 1013904223u; };
    long nLast = held();
    const long nStart = nLast;
    int nCarriedFrames = 0;
    for (int f = 0; f < 10000; ++f) {
        const int x = int(next() % 800), y = int(next() % 600);
        const int nKind = int(next() % 4);
        Mouse(x, y, nKind == 1 || nKind == 2, nKind == 3);
        if (next() % 3 == 0) LeftClickBit(x, y);
        for (int k = 0; k < 4; ++k)
            if (pStatus->IsPageOpen(k)) pStatus->DrawPage(m_mouse, k);
        board.Update(m_mouse);
        skills.Update(m_mouse);
        panel.Update(m_mouse);
        m_pGrid->Update(m_mouse);
        if (!pStatus->IsPageOpen(0) && f % 50 == 0) pStatus->OpenPage(0);
        panel.m_bShown = 1;
        board.m_bOpen = 1;
        skills.m_bOpen = 1;
        skills.GetGrid()->m_bOpen = 1;
        for (int nItem : items) {
            ASSERT_GE(m_player.nItemCount[nItem], 0);
            ASSERT_LE(m_player.nItemCount[nItem], kHeroMaxItemCount);
        }
        const long nNow = held();
        ASSERT_LE(nNow, nLast) << "frame " << f;
        nLast = nNow;
        nCarriedFrames += m_pGrid->GetCarried() >= 0;
    }
    // The frames did drag goods about.
    EXPECT_GT(nCarriedFrames, 100);
    EXPECT_LE(nLast, nStart);
    pStatusPanel = nullptr;
}

}  // namespace
