// Random work on the inlay and manufacture boards over many seeds: lifts and drops on
// the bag, the board, its slot and the map, starts, frames of a run, and every way of
// closing, with bags that are often full. Per item, what the hero holds, carries, has
// lying on a board or dropped on the ground changes only by what a finished run
// consumes or makes, an inlay records exactly the gems it consumed, and a closing
// board drops a piece whose bonus waits for it only when the cursor is taken.
#include "tests/ui/CraftTestUtil.h"

#include <array>

namespace {

using Tally = std::array<int, kHeroItemCount>;

class CraftProperty : public CraftTest {
protected:
    static constexpr int kPool[] = {kRuby, kWideGem, kBigGem, kTallGem, kOddGem, kShoes,   kBoots,
                                    kSandals, kClogs, kSlippers, kForeign, kHelmet, kGem};

    // Everything of each item: the bag's count, the cursor, the board and the ground.
    // Opens a work panel as a script would (counted, so a new board is told from the old).
    int Open(int nKind, int nShop) {
        ++workHost.nWorkOpens;
        return work.Open(nKind, nShop);
    }

    Tally Take() {
        Tally t{};
        for (int n = 0; n < kHeroItemCount; ++n) t[size_t(n)] = hero.nItemCount[n];
        if (workHost.nCarried >= 0) ++t[size_t(workHost.nCarried)];
        for (const auto& d : workHost.drops) ++t[size_t(d[0])];
        if (CProgressBoard* pBoard = Board()) {
            Tally lying = OnBoard(pBoard);
            for (int n = 0; n < kHeroItemCount; ++n) t[size_t(n)] += lying[size_t(n)];
            if (pBoard->SlotItem() >= 0) ++t[size_t(pBoard->SlotItem())];
        }
        return t;
    }
    static Tally OnBoard(CProgressBoard* pBoard) {
        Tally t{};
        for (int c = 0; c < kBoardCells; ++c)
            if (pBoard->Grid().ItemAt(c) >= 0 && pBoard->Grid().AnchorAt(c) == c) ++t[size_t(pBoard->Grid().ItemAt(c))];
        return t;
    }
    void Reset(Draws& draws) {
        work.CloseAll();
        bar->CloseAllPanels();
        workHost.nCarried = -1;
        workHost.drops.clear();
        for (auto& row : items) row.ClearBagTables();
        std::fill(std::begin(hero.nItemCount), std::end(hero.nItemCount), 0);
        for (auto& record : hero.inlay) record = InlayRecord{};
        const int nUnits = draws.Below(4) == 0 ? 200 : draws.Below(30);
        for (int i = 0; i < nUnits; ++i) {
            const int nItem = kPool[draws.Below(int(std::size(kPool)))];
            if (bar->PutItemInBag(nItem)) hero.AddItem(nItem);
        }
    }
    void Hover(POINT pt) {
        workHost.ptMouse = pt;
        if (Items()) Items()->SetHover(Items()->Grid().CellAt(pt), -1);
    }
    void Click(POINT pt) {
        Hover(pt);
        if (!bar->OnLButtonUp()) work.OnLButtonUp();
    }
    InlayRecord Record(int nItem) { return nItem >= 0 ? hero.inlay[nItem] : InlayRecord{}; }
};

TEST_F(CraftProperty, NothingIsLostOrMadeFromNothingOverAThousandSeeds) {
    // Nothing is drawn here: every close would clear the whole back buffer.
    struct NoBackBuffer {
        CDXSurface* pSaved = pBack;
        NoBackBuffer() { pBack = nullptr; }
        ~NoBackBuffer() { pBack = pSaved; }
    } noBack;
    int nRunsEnded = 0, nAbandoned = 0;
    for (int nSeed = 1; nSeed <= 1000; ++nSeed) {
        Draws draws{std::uint32_t(nSeed) * 2654435761u + 7u};
        Reset(draws);
        for (int nStep = 0; nStep < 40; ++nStep) {
            if (!Board()) {
                ASSERT_EQ(Open(draws.Below(2) ? kWorkInlay : kWorkManufacture, 0), 1);
            }
            CProgressBoard* pBoard = Board();
            const bool bInlay = work.Inlay() != nullptr;
            const int nOpensBefore = workHost.nWorkOpens;
            const Tally before = Take();
            const Tally lyingBefore = OnBoard(pBoard);
            const bool bRunning = pBoard->IsRunning();
            const int nSlotBefore = pBoard->SlotItem();
            const InlayRecord recordBefore = Record(nSlotBefore);
            const int nCarriedBefore = workHost.nCarried;
            const size_t nDropsBefore = workHost.drops.size();
            std::array<bool, kHeroItemCount> waiting{};
            for (int n = 0; n < kHeroItemCount; ++n) {
                const InlayRecord& r = hero.inlay[n];
                waiting[size_t(n)] = r.nLink == -1 && (r.nAttack != 0 || r.nDefence != 0 || r.nStaminaMax != 0);
            }
            const POINT bag = Items() ? Centre(Items()->Grid().Cell(draws.Below(kBagCells)).rc) : POINT{500, 300};
            int nGiven = 0;
            switch (draws.Below(20)) {
            case 0: case 1: case 2:
                if (Items()) Items()->ShowBagPage(draws.Below(3));
                Click(bag);
                break;
            case 3: case 4: case 5: Click(Cell(draws.Below(kBoardCells))); break;
            case 6: Click(Cell(kBoardSlot)); break;
            case 7: Click(POINT{770, 200}); break;  // the map right of the bag
            case 8: case 16: case 17: Click(Centre(pBoard->StartRect())); break;
            case 9: case 10: {
                const int nFrames = draws.Below(200);
                for (int i = 0; i < nFrames; ++i) {
                    AdvanceVirtualClock(101 + DWORD(draws.Below(40)));
                    work.Draw();
                }
                break;
            }
            case 11: Click(Centre(pBoard->CloseRect())); break;
            case 12: bar->OnKeyDown(draws.Below(2) ? VK_ESCAPE : VK_F1, 0); break;
            case 13: case 14: case 15: {
                // A unit of the goods page (gems and pieces) straight onto the board or its slot.
                if (!Items() || workHost.nCarried >= 0) break;
                Items()->ShowBagPage(0);
                std::vector<int> held;
                for (int c = 0; c < kBagCells; ++c)
                    if (Items()->Grid().ItemAt(c) >= 0) held.push_back(c);
                if (held.empty()) break;
                Click(Centre(Items()->Grid().Cell(held[size_t(draws.Below(int(held.size())))]).rc));
                Click(Cell(draws.Below(4) == 0 ? kBoardSlot : draws.Below(kBoardCells)));
                break;
            }
            case 19:  // a script fills the goods page while the board is open
                while (bar->AddItemToBag(kGem)) ++nGiven;
                break;
            default: Open(draws.Below(6) - 1, 2); break;
            }
            Tally expected = before;
            expected[kGem] += nGiven;
            // Only a run that ran to its end on a board still open consumes or makes.
            const bool bSameBoard = Board() == pBoard && workHost.nWorkOpens == nOpensBefore;
            const bool bEnded = bRunning && bSameBoard && !pBoard->IsRunning();
            if (bRunning && !bSameBoard) ++nAbandoned;
            if (bEnded) {
                ++nRunsEnded;
                for (int n = 0; n < kHeroItemCount; ++n) expected[size_t(n)] -= lyingBefore[size_t(n)];
                if (!bInlay && pBoard->SlotItem() >= 0) {
                    ASSERT_EQ(nSlotBefore, -1) << "seed " << nSeed;
                    ++expected[size_t(pBoard->SlotItem())];
                }
                if (bInlay) {
                    ASSERT_EQ(pBoard->SlotItem(), nSlotBefore) << "seed " << nSeed;
                    long long nAttack = recordBefore.nAttack, nDefence = recordBefore.nDefence,
                              nStamina = recordBefore.nStaminaMax;
                    for (int n = 0; n < kHeroItemCount; ++n) {
                        nAttack += 1LL * lyingBefore[size_t(n)] * items[size_t(n)].nAttack;
                        nDefence += 1LL * lyingBefore[size_t(n)] * items[size_t(n)].nDefence;
                        nStamina += 1LL * lyingBefore[size_t(n)] * items[size_t(n)].nCelerity;
                    }
                    const InlayRecord after = Record(nSlotBefore);
                    ASSERT_EQ(after.nAttack, nAttack) << "seed " << nSeed;
                    ASSERT_EQ(after.nDefence, nDefence) << "seed " << nSeed;
                    ASSERT_EQ(after.nStaminaMax, nStamina) << "seed " << nSeed;
                    ASSERT_EQ(after.nLink, -1) << "seed " << nSeed;
                }
            }
            // A dropped piece loses its bonus: one whose bonus waited for it reaches the
            // ground from the cursor, or when the cursor holds another unit.
            for (size_t i = nDropsBefore; i < workHost.drops.size(); ++i) {
                const int n = workHost.drops[i][0];
                if (waiting[size_t(n)]) {
                    ASSERT_TRUE(nCarriedBefore >= 0 || workHost.nCarried == n) << "seed " << nSeed << " item " << n;
                }
            }
            const Tally after = Take();
            for (int n = 0; n < kHeroItemCount; ++n) {
                ASSERT_EQ(after[size_t(n)], expected[size_t(n)]) << "seed " << nSeed << " step " << nStep << " item " << n;
                ASSERT_EQ(Regions(n), hero.nItemCount[n]) << "seed " << nSeed << " item " << n;
            }
            // Gems of a shape the board does not know, and a piece the hero may not use,
            // never lie on a board.
            if (Board()) {
                const Tally lying = OnBoard(Board());
                ASSERT_EQ(lying[kOddGem], 0) << "seed " << nSeed;
                ASSERT_EQ(lying[kForeign], 0) << "seed " << nSeed;
                if (work.Manufacture()) {
                    ASSERT_LE(int(std::count_if(Board()->Entries().begin(), Board()->Entries().end(), [](int n) { return n >= 0; })),
                              kManufactureEntries);
                }
            }
        }
    }
    // The seeds reach both endings of a run.
    EXPECT_GT(nRunsEnded, 50) << nAbandoned;
    EXPECT_GT(nAbandoned, 20) << nRunsEnded;
}

}  // namespace
