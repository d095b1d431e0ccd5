// The item panel: the controlled hero's bag, one page per item family (goods,
// equipment, other), with portrait, name, five values and money. A click lifts one unit
// of an item onto the cursor or puts the carried unit down; a right click uses, arms or
// hands an item on. A lifted unit is off the hero's count until it is put down again.
#pragma once
#include <memory>

#include "ui/panels/GamePanel.h"
#include "ui/panels/ItemGrid.h"

class CDXSurface;

class CItemMenu : public CGamePanel {
public:
    static constexpr int kPageGoods = 0, kPageEquipment = 1, kPageOther = 2;
    // Family codes of RefreshItemGrid.
    static constexpr int kFamilyOther = 0, kFamilyGoods = 2, kFamilyEquipment = 4;

    CItemMenu();
    ~CItemMenu() override;

    // Loads portrait n (1..4; the hero's alternate look gives 5 for hero 1) and shows page 0.
    void LoadPortrait(int nHero);
    void ShowItemPage1();
    void ShowItemPage2();
    // Rebuilds the 54 cells from the hero's items of a family (kFamily...).
    void RefreshItemGrid(int nFamily);

    void Draw() override;
    int OnLButtonUp() override;
    int OnRButtonDown() override;
    int OnKeyDown(int nKey) override { (void)nKey; return 0; }
    void ShowBagPage(int nPage) override;
    // The script interpreter's refresh: portrait 1 again.
    void Refresh() override { LoadPortrait(1); }

    // Empties a shown cell (a use that took the last unit).
    void ClearCell(int nCell);
    // 1 when placed (from the cursor: one unit back on the count), 0 when it does not fit.
    int PlaceItemAt(int nCell, int nShape, int nItem, bool bFromCursor);
    // 0 an empty cell, -1 a cell without a region (or no unit to lift), 1 lifted.
    int PickUpFromCell(int nCell);
    bool CanPlaceAt(int nCell, int nShape) const { return m_grid.Fits(nCell, nShape); }

    int GetPage() const { return m_nPage; }
    int GetHoveredCell() const { return m_nHoveredCell; }
    int GetHoveredTab() const { return m_nHoveredTab; }
    const CItemGrid& Grid() const { return m_grid; }
    // Sets the hover as a draw would (tests and the toolbar's refresh paths).
    void SetHover(int nCell, int nTab) { m_nHoveredCell = nCell, m_nHoveredTab = nTab; }
    // The hover as a draw sets it from the cursor: a tab, else a cell.
    void UpdateItemHover();

private:
    void ShowPage(int nPage);
    void DrawPlacementMarks();
    void DrawIcons();
    void DrawValues();
    // Lifts the unit under the hovered cell and lets it go (sold, combined, armed, used).
    void LiftAndRelease(int nCell);

    int m_nHoveredCell = -1;
    CItemGrid m_grid;
    RECT m_rcMoney{};
    RECT m_rcTabs[3]{};
    RECT m_rcValues[5]{};
    RECT m_rcName{};
    int m_nHoveredTab = -1;
    POINT m_ptPortrait{};
    std::unique_ptr<CDXSurface> m_pPlaceMark;
    std::unique_ptr<CTgaImage> m_pPortrait;
    std::unique_ptr<CTgaImage> m_pTabHighlight;
    int m_nPage = kPageGoods;
    // The money as last drawn, formatted again only when it changes.
    int m_nMoneyShown = 0;
    char m_szMoney[16] = "0";
};
