// The shop: a 9 x 8 grid of goods stocked by random rolls each time it opens, beside
// the item panel. Goods are bought into the bag by a right or double click and sold by
// dropping a carried unit on the grid or by the item panel's right click; money moves
// with every deal. OK keeps the deals; Cancel (asked) and the toolbar's close-all undo
// them from the snapshot taken at opening.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ui/panels/GamePanel.h"
#include "ui/panels/ItemGrid.h"

class CDXSurface;

constexpr int kTradeShops = 16;
constexpr int kTradeStockItems = 100;
constexpr int kTradeCells = 72;

class CTradeMenu : public CGamePanel {
public:
    // One entry of the bag snapshot: a bag cell of an item and the anchor it held.
    struct BagRecord {
        int nItem = -1;
        int nCell = -1;
        int nValue = -1;
    };
    // One deal: the item and the money it moved.
    struct Deal {
        int nItem = -1;
        int nPrice = 0;
    };
    // A stock roll: an unsigned draw; a unit shows when draw mod 100 is 50 or more.
    using RollSource = std::function<std::uint32_t()>;

    CTradeMenu();
    ~CTradeMenu() override;

    // Copies shop n's stock counts and places goods by rolls of the game's generator
    // seeded from the clock. False (nothing stocked) for a shop outside 0..15.
    bool StockShop(int nShop);
    // Places goods for the given counts (entry k for item id k + 1) with the rolls given.
    void StockFromCounts(const std::int32_t pCounts[kTradeStockItems], const RollSource& roll);

    void Draw() override;
    // 2 closes (OK kept or Cancel undone), 1 a sale by drop, -1 otherwise.
    int OnLButtonUp() override;
    // 1 when the good under the cursor was bought into the bag.
    int BuyUnderCursor();
    // The item panel's one-click sale into the first empty cell (shown at the first free
    // place for its shape). False, nothing sold, for an id outside the item table or a
    // grid without an empty cell.
    bool SellToFirstEmpty(int nItem);
    // Sells the carried unit, shown at nCell or the first free place.
    void Sell(int nCell);
    // Takes the good at nCell off the grid and charges its price (a price of 0 or less
    // charges nothing); false when short of money or the cell is empty.
    bool Buy(int nItem, int nCell);
    // The first anchor where the shape fits; -1 when none.
    int FindFreePlace(int nShape) const;
    // Undoes every deal of this trade (see the source for what cannot come back).
    void Cancel();

    int GetBalance() const { return m_nBalance; }
    const CItemGrid& Grid() const { return m_grid; }
    const std::vector<Deal>& Sold() const { return m_sold; }
    const std::vector<Deal>& Bought() const { return m_bought; }
    // The hovered button and cell under the cursor, as every draw sets them.
    void TrackCursor();
    int GetHoveredCell() const { return m_nHoveredCell; }
    int GetHoveredButton() const { return m_nHover; }

private:
    void TakeSnapshot();
    // Places one unit at the first free place for its shape; false when none is left.
    bool PlaceStock(int nItem);
    bool CanAfford(int nPrice) const;
    int BuyPrice(int nItem) const;
    int SellPrice(int nItem) const;
    void DrawPlacementMarks();
    void DrawGoods();
    // After Cancel: every held item gets exactly one bag region per unit.
    void ReconcileBagRegions();
    void RestoreQuickSlots();

    std::vector<BagRecord> m_snapshot;
    int m_nSnapshotSlots[8];
    int m_nSnapshotCarried = -1;
    int m_nHoveredCell = -1;
    int m_nShop = -1;
    std::int32_t m_nStock[kTradeStockItems] = {};
    CItemGrid m_grid;
    std::unique_ptr<CDXSurface> m_pPlaceMark;
    RECT m_rcBalance{};
    int m_nBalance = 0;
    // The balance as last drawn, formatted again only when it changes.
    int m_nBalanceShown = 0;
    char m_szBalance[16] = ":0";
    // The deal lists grow as long as the trade runs.
    std::vector<Deal> m_sold;
    std::vector<Deal> m_bought;
};
