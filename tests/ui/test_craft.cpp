// The inlay and manufacture boards: placing by shape, taking out, the 92-step run on the
// game clock, the inlay's bonus record and the smith's level rule, and every close
// giving back what lies on a board.
#include "tests/ui/CraftTestUtil.h"

#include <functional>
#include <set>

namespace {

// The boards stand at (0, 50) left of the item panel at (400, 10) whatever their
// picture's width: the right-hand column slides 33 pixels left, so slot, buttons and bar
// end at x 400, and nothing of a wider picture is drawn there.
TEST_F(CraftTest, TheBoardsStandOnTheScreenLeftOfTheBag) {
    for (int w : {300, 433, 600}) {
        ASSERT_TRUE(UsePackage({{"MenuInlay.bmp", BuildBmp(Keyed(w, 380, Argb(255, 20, 30, 40)))},
                                {"MenuManufacture.bmp", BuildBmp(Keyed(w, 380, Argb(255, 40, 30, 20)))}}));
        CInlayMenu inlay;
        CManufactureMenu smith;
        for (CProgressBoard* pBoard : {static_cast<CProgressBoard*>(&inlay), static_cast<CProgressBoard*>(&smith)}) {
            EXPECT_EQ(pBoard->GetOrigin().x, 0) << w;
            EXPECT_EQ(pBoard->GetOrigin().y, 50) << w;
            EXPECT_EQ(pBoard->GetPanelRect().right, 400) << w;
            EXPECT_EQ(pBoard->CellRect(0).left, 73) << w;
            EXPECT_EQ(pBoard->StartRect().left, 296) << w;
            for (const RECT& rc : {pBoard->StartRect(), pBoard->CloseRect(), pBoard->ProgressRect(), pBoard->SlotRect()})
                EXPECT_LE(rc.right, 400) << w;
            EXPECT_GT(pBoard->StartRect().left, pBoard->CellRect(7).right) << w;
            pBack->Fill(0);
            pBoard->Draw();
            EXPECT_EQ(pBack->GetPixel(400, 100), 0u) << w;
            EXPECT_NE(pBack->GetPixel(295, 100), 0u) << w;
        }
    }
}

TEST_F(CraftTest, GemsGoWhereTheirShapeFitsAndStayOnTheCursorElsewhere) {
    ASSERT_EQ(work.Open(kWorkInlay, 0), 1);
    ASSERT_NE(work.Inlay(), nullptr);
    ASSERT_NE(Items(), nullptr) << "the bag opens beside the board";
    EXPECT_LE(Board()->GetPanelRect().right, Items()->GetPanelRect().left) << "the board leaves the bag in reach";

    // Shape 3 is one column of six cells on this board.
    Drop(kTallGem, 9);
    EXPECT_EQ(BoardCells(kTallGem), (std::vector<int>{9, 17, 25, 33, 41, 49}));
    EXPECT_EQ(workHost.nCarried, -1);
    Drop(kTallGem, 50);
    EXPECT_EQ(workHost.nCarried, kTallGem) << "its last cell would lie past cell 87";
    Drop(kWideGem, 7);
    EXPECT_EQ(workHost.nCarried, kWideGem) << "a 2 x 2 gem never starts in the last column";
    Drop(kWideGem, 8);
    EXPECT_EQ(workHost.nCarried, kWideGem) << "its lower right cell 17 is taken";
    Drop(kWideGem, 2);
    EXPECT_EQ(BoardCells(kWideGem), (std::vector<int>{2, 3, 10, 11}));
    Drop(kBigGem, 80);
    EXPECT_EQ(workHost.nCarried, kBigGem);
    Drop(kBigGem, 70);
    EXPECT_EQ(BoardCells(kBigGem), (std::vector<int>{70, 71, 78, 79, 86, 87}));
    // A shape the board has no cells for stays on the cursor instead of vanishing.
    workHost.sounds.clear();
    EXPECT_EQ(Drop(kOddGem, 30), 1);
    EXPECT_EQ(workHost.nCarried, kOddGem);
    EXPECT_EQ(workHost.sounds, std::vector<int>{5});
    EXPECT_EQ(EntriesOf(kOddGem), 0);
    // Anything but a gem or a base: the click sound, and it stays.
    EXPECT_EQ(Drop(kHelmet, 30), 1);
    EXPECT_EQ(workHost.nCarried, kHelmet);
    // A gem on the base slot is no drop: it goes on to the buttons and stays.
    Drop(kRuby, kBoardSlot);
    EXPECT_EQ(workHost.nCarried, kRuby);
    EXPECT_EQ(Board()->SlotItem(), -1);
    EXPECT_EQ(EntriesOf(kTallGem) + EntriesOf(kWideGem) + EntriesOf(kBigGem), 3);

    // Taking out by any of its cells empties the whole shape and its entry.
    Carry(-1);
    EXPECT_EQ(ClickBoardCell(33), 1);
    EXPECT_EQ(workHost.nCarried, kTallGem);
    EXPECT_TRUE(BoardCells(kTallGem).empty());
    EXPECT_EQ(EntriesOf(kTallGem), 0);
    // An empty cell gives nothing.
    Carry(-1);
    EXPECT_EQ(ClickBoardCell(40), 1) << "inside the panel";
    EXPECT_EQ(workHost.nCarried, -1);
}

TEST_F(CraftTest, TheBaseSlotTakesOneUsablePieceAndKeepsIt) {
    ASSERT_EQ(work.Open(kWorkInlay, 0), 1);
    Drop(kForeign, kBoardSlot);
    EXPECT_EQ(workHost.nCarried, kForeign) << "the hero may not use it";
    Drop(kShoes, 20);
    EXPECT_EQ(workHost.nCarried, kShoes) << "a base does not go on the board";
    Drop(kShoes, kBoardSlot);
    EXPECT_EQ(Board()->SlotItem(), kShoes);
    EXPECT_EQ(workHost.nCarried, -1);
    // A second base would push the first out: it stays on the cursor.
    Drop(kBoots, kBoardSlot);
    EXPECT_EQ(workHost.nCarried, kBoots);
    EXPECT_EQ(Board()->SlotItem(), kShoes);
    Carry(-1);
    ClickBoardCell(kBoardSlot);
    EXPECT_EQ(workHost.nCarried, kShoes);
    EXPECT_EQ(Board()->SlotItem(), -1);
}

TEST_F(CraftTest, InlayRunsTakeNinetyTwoStepsAndTheirBonusesAccumulate) {
    ASSERT_EQ(work.Open(kWorkInlay, 0), 1);
    Start();
    EXPECT_FALSE(Board()->IsRunning());
    Drop(kShoes, kBoardSlot);
    Start();
    EXPECT_FALSE(Board()->IsRunning()) << "no gem";
    EXPECT_EQ(workHost.pictures, (std::vector<std::string>{"PutInItem.bmp", "PutInItem.bmp"}));

    Drop(kRuby, 0);
    Start();
    ASSERT_TRUE(Board()->IsRunning());
    EXPECT_EQ(Board()->GetSteps(), 1);
    work.Draw();
    // A step needs more than 100 ms.
    const int nSteps = Board()->GetSteps();
    AdvanceVirtualClock(100);
    work.Draw();
    EXPECT_EQ(Board()->GetSteps(), nSteps);
    AdvanceVirtualClock(1);
    work.Draw();
    EXPECT_EQ(Board()->GetSteps(), nSteps + 1);
    // Clicks during a run only sound.
    workHost.sounds.clear();
    EXPECT_EQ(ClickBoardCell(0), 1);
    EXPECT_EQ(workHost.nCarried, -1);
    EXPECT_EQ(workHost.sounds, std::vector<int>{5});
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Board()->GetSteps() - 1, kBoardSteps);
    EXPECT_TRUE(BoardCells(kRuby).empty()) << "the gem is consumed";
    EXPECT_EQ(EntriesOf(-1), kInlayEntries);
    EXPECT_EQ(Board()->SlotItem(), kShoes) << "the base stays";
    EXPECT_EQ(hero.inlay[kShoes].nAttack, 5);
    EXPECT_EQ(hero.inlay[kShoes].nLink, -1);

    // A second run: a gem taken off and put back counts once; the sums add up.
    Drop(kWideGem, 0);
    Drop(kRuby, 40);
    Carry(-1);
    ClickBoardCell(40);
    Drop(kRuby, 44);
    EXPECT_EQ(EntriesOf(kRuby), 1);
    Start();
    ASSERT_TRUE(Board()->IsRunning());
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Board()->GetSteps() - 1, kBoardSteps);
    EXPECT_EQ(hero.inlay[kShoes].nAttack, 10);
    EXPECT_EQ(hero.inlay[kShoes].nDefence, 4);
    EXPECT_EQ(hero.inlay[kShoes].nStaminaMax, 1);

    // Worn, the record applies once, and comes off with the shoes.
    Carry(-1);
    ClickBoardCell(kBoardSlot);
    const int nAttack = hero.nAttack, nDefence = hero.nDefence, nStamina = hero.nStaminaMax;
    std::int32_t nCarried = workHost.nCarried;
    ASSERT_EQ(hero.Unequip(3, &nCarried), 1);
    EXPECT_EQ(hero.nAttack, nAttack + 10);
    EXPECT_EQ(hero.nDefence, nDefence + 4);
    EXPECT_EQ(hero.nStaminaMax, nStamina + 1);
    EXPECT_EQ(hero.inlay[kShoes].nLink, -2);
    ASSERT_EQ(hero.Unequip(3, &nCarried), 1);
    EXPECT_EQ(nCarried, kShoes);
    EXPECT_EQ(hero.nAttack, nAttack);
    EXPECT_EQ(hero.inlay[kShoes].nLink, -1);
}

TEST_F(CraftTest, EveryCloseGivesEverythingBackAndAbandonsTheRun) {
    const std::function<void()> closes[] = {
        [&] { ClickAt(Centre(Board()->CloseRect())); },
        [&] { work.CloseAll(); },
        [&] { bar->OnKeyDown(VK_ESCAPE, 0); },
        [&] { work.Open(kWorkTrade, 2); },
        [&] { work.Open(kWorkManufacture, 0); },
        [&] { bar->CloseAllPanels(); },
    };
    int nWay = 0;
    for (const auto& close : closes) {
        for (bool bRunning : {false, true}) {
            SCOPED_TRACE(testing::Message() << "way " << nWay << (bRunning ? " running" : " idle"));
            work.CloseAll();
            std::fill(std::begin(hero.nItemCount), std::end(hero.nItemCount), 0);
            for (auto& row : items) row.ClearBagTables();
            hero.inlay[kShoes] = InlayRecord{};
            ASSERT_EQ(work.Open(kWorkInlay, 0), 1);
            Drop(kShoes, kBoardSlot);
            Drop(kTallGem, 0);
            Drop(kRuby, 5);
            Carry(-1);
            if (bRunning) {
                Start();
                ASSERT_TRUE(Board()->IsRunning());
                for (int i = 0; i < 40; ++i) AdvanceVirtualClock(120), work.Draw();
            }
            close();
            if (nWay == 0 && bRunning) {
                // During a run the close button only sounds; the run goes on.
                EXPECT_TRUE(Board()->IsRunning());
                work.CloseAll();
            }
            EXPECT_EQ(work.Inlay(), nullptr);
            EXPECT_EQ(hero.nItemCount[kShoes], 1);
            EXPECT_EQ(hero.nItemCount[kTallGem], 1);
            EXPECT_EQ(hero.nItemCount[kRuby], 1);
            EXPECT_EQ(Regions(kTallGem), 1);
            EXPECT_EQ(hero.inlay[kShoes].nLink, 0) << "an abandoned run records nothing";
            EXPECT_EQ(workHost.drops.size(), 0u);
        }
        ++nWay;
    }
}

TEST_F(CraftTest, AFullBagDropsWhatComesBackAtTheHero) {
    for (int c = 0; c < kBagCells; ++c)
        if (bar->PutItemInBag(kGem)) hero.AddItem(kGem);
    ASSERT_EQ(hero.nItemCount[kGem], kBagCells);
    ASSERT_EQ(work.Open(kWorkManufacture, 0), 1);
    Drop(kSandals, 0);
    Drop(kShoes, 10);
    work.CloseAll();
    ASSERT_EQ(workHost.drops.size(), 2u);
    EXPECT_EQ(workHost.drops[0][0], kSandals);
    EXPECT_EQ(workHost.drops[1][0], kShoes);
    EXPECT_EQ(hero.nItemCount[kSandals] + hero.nItemCount[kShoes], 0);
}

TEST_F(CraftTest, AnInlaidBaseKeepsItsPlaceAndBonusWhenTheBagIsTight) {
    ASSERT_EQ(work.Open(kWorkInlay, 0), 1);
    Drop(kShoes, kBoardSlot);
    Drop(kRuby, 0);
    Carry(-1);
    Start();
    ASSERT_TRUE(RunToEnd());
    ASSERT_EQ(hero.inlay[kShoes].nAttack, 5);
    // The goods page full but for one 2 x 2 block, and a tall gem on the board that
    // would fit there too: the base goes back first, the gem is dropped.
    Drop(kTallGem, 9);
    ASSERT_TRUE(bar->PutItemInBag(kBig));
    hero.AddItem(kBig);
    while (bar->PutItemInBag(kGem)) hero.AddItem(kGem);
    hero.nItemCount[kBig] = 0;
    items[kBig].ClearBagTables();
    work.CloseAll();
    EXPECT_EQ(hero.nItemCount[kShoes], 1);
    EXPECT_EQ(Regions(kShoes), 1);
    ASSERT_EQ(workHost.drops.size(), 1u);
    EXPECT_EQ(workHost.drops[0][0], kTallGem);
    EXPECT_EQ(hero.inlay[kShoes].nAttack, 5);
    EXPECT_EQ(hero.inlay[kShoes].nLink, 0) << "the marker names the unit's anchor cell";

    // The bag full: the base stays on the free cursor, bonus and all.
    ASSERT_EQ(work.Open(kWorkInlay, 0), 1);
    Items()->ShowBagPage(CItemMenu::kPageGoods);
    ASSERT_EQ(ClickCell(0), 1);
    ASSERT_EQ(workHost.nCarried, kShoes);
    ClickBoardCell(kBoardSlot);
    ASSERT_EQ(Board()->SlotItem(), kShoes);
    while (bar->PutItemInBag(kGem)) hero.AddItem(kGem);
    work.CloseAll();
    EXPECT_EQ(workHost.nCarried, kShoes);
    EXPECT_EQ(hero.nItemCount[kShoes], 0);
    EXPECT_EQ(workHost.drops.size(), 1u);
    EXPECT_EQ(hero.inlay[kShoes].nAttack, 5);
    EXPECT_EQ(hero.inlay[kShoes].nLink, -1);

    // Laid on the smith's board beside another piece: the inlaid one takes the cursor,
    // the other is dropped.
    ASSERT_EQ(work.Open(kWorkManufacture, 0), 1);
    Drop(kSandals, 0);
    Drop(kShoes, 10);
    ASSERT_EQ(BoardCells(kShoes).size(), 4u);
    work.CloseAll();
    EXPECT_EQ(workHost.nCarried, kShoes);
    ASSERT_EQ(workHost.drops.size(), 2u);
    EXPECT_EQ(workHost.drops[1][0], kSandals);
    EXPECT_EQ(hero.inlay[kShoes].nAttack, 5);

    // With the cursor busy there is nowhere else: the base is dropped at the hero.
    ASSERT_EQ(work.Open(kWorkInlay, 0), 1);
    ClickBoardCell(kBoardSlot);
    ASSERT_EQ(Board()->SlotItem(), kShoes);
    Carry(kRuby);
    work.CloseAll();
    ASSERT_EQ(workHost.drops.size(), 3u);
    EXPECT_EQ(workHost.drops[2][0], kShoes);
    Carry(-1);
}

TEST_F(CraftTest, TheResultLevelIsTheAverageBumpedByChanceAndCapped) {
    auto level = [](std::vector<int> levels, std::uint32_t nRoll) {
        return CManufactureMenu::ResultLevel(levels, [nRoll] { return nRoll; });
    };
    EXPECT_EQ(level({20, 31}, 99), 25);
    // Levels 16 to 35 bump with 5 %: draws 0..4 mod 100.
    EXPECT_EQ(level({20, 31}, 4), 27);
    EXPECT_EQ(level({20, 31}, 105), 25);
    EXPECT_EQ(level({20, 31}, 204), 27);
    // Below 16, 3 %; from 36, 10 %.
    EXPECT_EQ(level({10, 11}, 2), 12);
    EXPECT_EQ(level({10, 11}, 3), 10);
    EXPECT_EQ(level({36, 41}, 9), 40);
    EXPECT_EQ(level({36, 41}, 10), 38);
    // Mixed: one input of each band, draw 4 bumps the 5 % and the 10 % input only.
    EXPECT_EQ(level({10, 20, 40}, 4), 23 + 2);
    // Capped at 60.
    EXPECT_EQ(level({60, 70}, 0), 60);
    EXPECT_EQ(level({59, 59}, 99), 59);
    // The draw is unsigned: a sum past 2^31 is a large draw, not a negative one.
    EXPECT_EQ(level({20, 31}, 0xFFFFFFFFu), 25);
    EXPECT_EQ(level({20, 31}, 0x80000000u), 25);
    // A single input, or none, yields nothing.
    EXPECT_EQ(level({20}, 0), -1);
    EXPECT_EQ(level({}, 0), -1);
}

TEST_F(CraftTest, TheSmithConsumesTheInputsAndMakesOnePieceOfTheirLevel) {
    ASSERT_EQ(work.Open(kWorkManufacture, 0), 1);
    ASSERT_NE(work.Manufacture(), nullptr);
    EXPECT_EQ(CManufactureMenu::Candidates(25), std::vector<int>{kSandals});
    // Not for the smith: a gem, a piece the hero may not use; the output slot takes nothing.
    EXPECT_EQ(Drop(kRuby, 0), 1);
    EXPECT_EQ(workHost.nCarried, kRuby);
    Drop(kForeign, 0);
    EXPECT_EQ(workHost.nCarried, kForeign);
    Drop(kSandals, kBoardSlot);
    EXPECT_EQ(workHost.nCarried, kSandals);
    EXPECT_EQ(Board()->SlotItem(), -1);

    Drop(kShoes, 0);
    Drop(kBoots, 4);
    Carry(-1);
    workHost.sounds.clear();
    Start();
    ASSERT_TRUE(Board()->IsRunning());
    EXPECT_EQ(workHost.sounds, std::vector<int>{5});
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Board()->GetSteps() - 1, kBoardSteps);
    EXPECT_TRUE(BoardCells(kShoes).empty() && BoardCells(kBoots).empty());
    EXPECT_EQ(EntriesOf(-1), kManufactureEntries);
    const int nMade = Board()->SlotItem();
    EXPECT_TRUE(nMade == kSandals || nMade == kClogs || nMade == kSlippers) << nMade;

    // While the output lies there, start is refused and the board keeps its pieces.
    Drop(kShoes, 0);
    Drop(kShoes, 20);
    Carry(-1);
    Start();
    EXPECT_FALSE(Board()->IsRunning());
    EXPECT_EQ(BoardCells(kShoes).size(), 8u);
    EXPECT_EQ(Board()->SlotItem(), nMade);
    ClickBoardCell(kBoardSlot);
    EXPECT_EQ(workHost.nCarried, nMade);
    Carry(-1);

    // A single input is consumed and yields nothing.
    ClickBoardCell(20);
    Carry(-1);
    Start();
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(BoardCells(kShoes).empty());
    EXPECT_EQ(Board()->SlotItem(), -1);
    Start();
    EXPECT_FALSE(Board()->IsRunning()) << "an empty board";
    EXPECT_EQ(workHost.pictures, std::vector<std::string>{"PutInItem.bmp"});
}

TEST_F(CraftTest, TheSmithTakesTwentyInputsAndPicksAmongEveryCandidate) {
    // Twelve usable pieces of level 5 (more than a list of ten would hold).
    std::set<int> level5;
    for (int n = 40; n < 52; ++n) {
        Item(n, 2, 0).nLevel = 5;
        level5.insert(n);
    }
    ASSERT_EQ(work.Open(kWorkManufacture, 0), 1);
    for (int c = 0; c < kManufactureEntries; ++c) Drop(40, c);
    EXPECT_EQ(EntriesOf(40), kManufactureEntries);
    Drop(40, 30);
    EXPECT_EQ(workHost.nCarried, 40) << "a 21st input would lie there uncounted";
    EXPECT_EQ(BoardCells(40).size(), size_t(kManufactureEntries));

    std::set<int> picked;
    for (int i = 0; i < 400; ++i) {
        AdvanceVirtualClock(7);
        const int n = work.Manufacture()->PickResult();
        if (n >= 0) {
            EXPECT_TRUE(level5.count(n)) << n;
            picked.insert(n);
        }
    }
    EXPECT_EQ(picked, level5);
}

TEST_F(CraftTest, OpeningABoardCancelsATradeAndReplacesTheOtherBoard) {
    hero.nMoney = 1000;
    Stock({{kHelmet, 1}});
    ASSERT_EQ(work.Open(kWorkTrade, 2), 1);
    Trade()->StockFromCounts(effects.ShopStock[2], [] { return 60u; });
    ASSERT_EQ(RightClickTrade(0), 1);
    ASSERT_EQ(hero.nMoney, 1000 - 10 * kHelmet);
    ASSERT_EQ(work.Open(kWorkInlay, 0), 1);
    EXPECT_EQ(hero.nMoney, 1000);
    EXPECT_EQ(hero.nItemCount[kHelmet], 0);
    EXPECT_EQ(work.GetOpenKind(), kWorkInlay);
    EXPECT_FALSE(work.IsTradeOpen());

    Drop(kRuby, 3);
    ASSERT_EQ(work.Open(kWorkManufacture, 0), 1);
    EXPECT_EQ(work.Inlay(), nullptr);
    EXPECT_EQ(hero.nItemCount[kRuby], 1);
    ASSERT_NE(work.Manufacture(), nullptr);
    EXPECT_EQ(work.GetOpenKind(), kWorkManufacture);
    // A click beside the board is not the board's.
    workHost.ptMouse = POINT{790, 590};
    EXPECT_EQ(work.OnLButtonUp(), 0);
    // The close button closes, with the back buffer cleared.
    FillBack(RGB(200, 0, 0));
    ClickAt(Centre(Board()->CloseRect()));
    EXPECT_FALSE(work.IsOpen());
    EXPECT_EQ(work.Manufacture(), nullptr);
    EXPECT_TRUE(Near(10, 10, 0, 0, 0));
    EXPECT_EQ(work.Open(4, 0), 0);
    EXPECT_EQ(work.Open(-1, 0), 0);
}

}  // namespace
