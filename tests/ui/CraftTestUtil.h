// The work-panel fixture with items for the inlay and manufacture boards (gems of every
// shape, pieces of type 2 at a few levels) and helpers that drop, click and run.
#pragma once
#include <algorithm>

#include "platform/Clock.h"
#include "tests/ui/WorkTestUtil.h"
#include "ui/work/InlayMenu.h"
#include "ui/work/ManufactureMenu.h"

class CraftTest : public WorkTest {
protected:
    // Gems of the four shapes and one of a shape the board does not know; pieces of
    // type 2 at a few levels; one the hero may not use.
    static constexpr int kRuby = 20, kWideGem = 21, kBigGem = 22, kTallGem = 23, kOddGem = 24, kShoes = 25,
                         kBoots = 26, kSandals = 27, kForeign = 28, kClogs = 29, kSlippers = 30;

    void SetUp() override {
        WorkTest::SetUp();
        Item(kRuby, 8, 0).nAttack = 5;
        ItemRow& wide = Item(kWideGem, 8, 1);
        wide.nDefence = 4;
        wide.nCelerity = 1;
        Item(kBigGem, 8, 2).nCelerity = 9;
        Item(kTallGem, 8, 3).nAttack = 7;
        Item(kOddGem, 8, 5).nAttack = 50;
        Item(kShoes, 2, 1).nLevel = 20;
        Item(kBoots, 2, 2).nLevel = 31;
        Item(kSandals, 2, 0).nLevel = 25;
        Item(kClogs, 2, 0).nLevel = 26;
        Item(kSlippers, 2, 0).nLevel = 27;
        Item(kForeign, 2, 0).bFit[0] = 0;
        hero.nMember = 0;
    }
    CProgressBoard* Board() {
        if (work.Inlay()) return work.Inlay();
        return work.Manufacture();
    }
    void Carry(int nItem) { workHost.nCarried = nItem; }
    POINT Cell(int n) { return Centre(Board()->CellRect(n)); }
    int ClickBoardCell(int n) { return ClickAt(Cell(n)); }
    // Drops an item on a board cell (88 the slot), as if lifted from the bag.
    int Drop(int nItem, int nCell) {
        Carry(nItem);
        return ClickBoardCell(nCell);
    }
    int Start() { return ClickAt(Centre(Board()->StartRect())); }
    // Frames of 30 ms until the run ends; false when it never does.
    bool RunToEnd() {
        for (int i = 0; i < 5000 && Board()->IsRunning(); ++i) {
            AdvanceVirtualClock(30);
            work.Draw();
        }
        return !Board()->IsRunning();
    }
    std::vector<int> BoardCells(int nItem) {
        std::vector<int> cells;
        for (int c = 0; c < kBoardCells; ++c)
            if (Board()->Grid().ItemAt(c) == nItem) cells.push_back(c);
        return cells;
    }
    int EntriesOf(int nItem) {
        const std::vector<int>& e = Board()->Entries();
        return int(std::count(e.begin(), e.end(), nItem));
    }
};

