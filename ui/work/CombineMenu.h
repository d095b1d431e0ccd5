// The combining table: the player drops ingredients into a 4 x 4 grid of source cells
// and presses Combine; when the ingredients equal one of the 25 recipes exactly, they
// are consumed and the recipe's results appear in a 2 x 4 grid of result cells, from
// which the cursor takes them. Cancel and every close give back what lies in the cells.
// Items in the cells belong to no one: they left the bag when they were lifted.
#pragma once
#include <memory>

#include "ui/panels/GamePanel.h"
#include "ui/panels/ItemGrid.h"

class CDXSurface;

constexpr int kCombineSourceCells = 16;
constexpr int kCombineResultCells = 8;
constexpr int kCombineCells = kCombineSourceCells + kCombineResultCells;
constexpr int kCombineKinds = 13;
constexpr int kCombineRecipes = 25;

class CCombineMenu : public CGamePanel {
public:
    // One recipe as the constructor copies it. A recipe that is not usable never
    // matches: its row lies past the game data's table, or its result is not a
    // one-cell item, or it makes nothing.
    struct Recipe {
        int nIds[kCombineKinds] = {};
        int nCounts[kCombineKinds] = {};
        int nResult = -1;
        int nResultCount = 0;
        bool bUsable = false;
    };
    enum Button { kNoButton = -1, kCombineButton = 1, kCancelButton = 2 };

    CCombineMenu();
    ~CCombineMenu() override;

    // Copies the ingredient kinds and the 25 recipes from the game data.
    void LoadRecipes();

    void Draw() override;
    // 1 a cell or Combine took the click, 2 Cancel (items back, close), -1 nothing hit.
    int OnLButtonUp() override;
    // The item panel's one-click transfer: true only when the item was placed.
    bool PutIntoFirstFree(int nItem);
    // Every item in the 24 cells back to the bag; a full bag drops it at the hero.
    void ReturnItems();
    // Fills the counted kinds; false when a source cell holds a non-ingredient or an
    // item that no kind of the data names.
    bool CountIngredients();
    // The first recipe whose counts equal the source cells exactly; -1 when none.
    int MatchRecipe();

    // Puts an item into an empty cell (0..23) when it is a one-cell item; a placed item
    // that came from the cursor leaves it. False leaves everything as it was.
    bool PutIntoCell(int nCell, int nItem, bool bFromCursor);
    // Lifts the item of a cell onto the cursor; false for an empty cell.
    bool TakeFromCell(int nCell);

    // The item in cell 0..23; -1 when empty or off the panel.
    int ItemAt(int nCell) const;
    // The cell (0..23) whose rectangle holds the point; -1 when none.
    int CellAt(POINT pt) const;
    const RECT& CellRect(int nCell) const;
    int GetHoveredCell() const { return m_nHoveredCell; }
    int GetHoveredButton() const { return m_nHoveredButton; }
    const Recipe& GetRecipe(int r) const { return m_recipes[r]; }
    int GetCountedId(int k) const { return m_nCountedIds[k]; }
    int GetCountedNumber(int k) const { return m_nCounted[k]; }
    // The hovered cell and button from the cursor, as every draw sets them.
    void TrackCursor();

private:
    int Combine();
    // True when the free result cells take nCount more results.
    bool ResultsFit(int nCount) const;
    CItemGrid& GridOf(int nCell);
    const CItemGrid& GridOf(int nCell) const;

    int m_nHoveredCell = -1;
    std::unique_ptr<CDXSurface> m_pPlaceMark;
    int m_nHoveredButton = kNoButton;
    CItemGrid m_source;
    CItemGrid m_results;
    int m_nCountedIds[kCombineKinds] = {};
    int m_nCounted[kCombineKinds] = {};
    Recipe m_recipes[kCombineRecipes];
};
