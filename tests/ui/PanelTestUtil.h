// The toolbar fixture with the game's own panel makers, the toolbar installed as the
// panels' host, and a small item and skill table for the character panels.
#pragma once
#include "tests/ui/ToolBarTestUtil.h"
#include "ui/panels/ItemMenu.h"
#include "ui/panels/SkillMenu.h"
#include "ui/panels/StateMenu.h"
#include "ui/panels/SysSetMenu.h"
#include "ui/panels/TaskMenu.h"

class CBarPanelLink : public CPanelLink {
public:
    CGameToolBar* GetToolBar() const override { return pBar; }
    CGameToolBar* pBar = nullptr;
};

// The test host also records the work-panel hand-offs.
class CPanelTestHost : public CFakeToolBarHost {
public:
    bool IsTradeOpen() const override { return bTrade; }
    bool SellToTrade(int nItem) override {
        sold.push_back(nItem);
        return bTrade && bWorkTakes;
    }
    bool IsCombineOpen() const override { return bCombine; }
    bool PutIntoCombine(int nItem) override {
        combined.push_back(nItem);
        return bCombine && bWorkTakes;
    }
    void SelectSkill(CPlayer* pHero, int nSkill) override { selected.push_back({pHero, nSkill}); }
    void CloseWorkPanels() override { ++nWorkCloses; }
    bool bTrade = false, bCombine = false;
    // Whether the open trade or combining table takes what the right click hands it.
    bool bWorkTakes = true;
    int nWorkCloses = 0;
    std::vector<int> sold, combined;
    std::vector<std::pair<CPlayer*, int>> selected;
};

class PanelTest : public ToolBarTest {
protected:
    // Items: equipment (types 0, 4, 7), goods (2, 8), other (1, 99).
    static constexpr int kHelmet = 10, kArmour = 11, kBlade = 12, kGem = 13, kPotion = 14, kTaskItem = 15,
                         kTall = 16, kBig = 17, kPlate = 18, kHelmet2 = 19;

    void SetUp() override {
        ToolBarTest::SetUp();
        InstallHost(&panelHost);
        UseGameMakers();
        link.pBar = bar.get();
        SetPanelLink(&link);
        for (auto& row : items) row.ClearBagTables();
        Item(kHelmet, 0, 1).nAttack = 5;
        Item(kHelmet2, 0, 1).nAttack = 9;
        ItemRow& armour = Item(kArmour, 4, 1);
        armour.nDefence = 4;
        armour.nLife = 20;
        Item(kBlade, 7, 1).nDefence = 1;
        Item(kGem, 8, 0);
        Item(kPotion, 1, 0).nLife = 30;
        Item(kTaskItem, 99, 0);
        Item(kTall, 2, 3);
        Item(kBig, 2, 1);
        Item(kPlate, 0, 2);
        hero.nLifeMax = hero.nLife = 50;
        hero.nManaMax = hero.nMana = 50;
        hero.ptPos = POINT{320, 240};
    }
    void TearDown() override {
        bar->CloseAllPanels();
        SetPanelLink(&m_shell);
        InstallHost(&host);
        ToolBarTest::TearDown();
    }
    ItemRow& Item(int n, int nType, int nShape) {
        items[size_t(n)].nType = nType;
        items[size_t(n)].nGirdNum = nShape;
        items[size_t(n)].bFit[0] = 1;
        return items[size_t(n)];
    }
    CItemMenu* Items() { return static_cast<CItemMenu*>(bar->Panel(kItemPanel)); }
    CStateMenu* State() { return static_cast<CStateMenu*>(bar->Panel(kStatePanel)); }
    CSkillMenu* Skills() { return static_cast<CSkillMenu*>(bar->Panel(kSkillPanel)); }
    static POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
    // Moves the installed host's cursor, draws a frame (the panels take their hover), then
    // releases the left button.
    int ClickAt(POINT pt) {
        pHost->ptMouse = pt;
        DrawFrame();
        return Release();
    }
    // One frame of the panels under the clicks; a fixture with more panels draws them too.
    virtual void DrawFrame() { bar->Draw(); }
    // The left button's release; nonzero when a panel took it.
    virtual int Release() { return bar->OnLButtonUp(); }
    POINT BagCell(int nCell) { return Centre(Items()->Grid().Cell(nCell).rc); }
    int ClickCell(int nCell) { return ClickAt(BagCell(nCell)); }
    int RightClickCell(int nCell) {
        pHost->ptMouse = BagCell(nCell);
        bar->Draw();
        return bar->OnRButtonDown(pHost->ptMouse.x, pHost->ptMouse.y);
    }
    // The cells of the shown page that hold the item.
    std::vector<int> CellsOf(int nItem) {
        std::vector<int> cells;
        for (int c = 0; c < kBagCells; ++c)
            if (Items()->Grid().ItemAt(c) == nItem) cells.push_back(c);
        return cells;
    }

    CPanelTestHost panelHost;
    CBarPanelLink link;
    CPlayer companion;
};
