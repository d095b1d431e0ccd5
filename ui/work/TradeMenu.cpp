#include "ui/work/TradeMenu.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/panels/ItemMenu.h"
#include "ui/toolbar/BagRules.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "ui/work/WorkItems.h"
#include "world/EffectManager.h"
#include "world/Player.h"

namespace {

constexpr int kTaskItemType = 99;
constexpr int kOk = 0, kCancel = 1;

ItemGridLayout TradeLayout() {
    ItemGridLayout layout;
    layout.nColumns = 9;
    layout.nRows = 8;
    layout.ptOrigin = POINT{73, 63};
    layout.nPitchX = 32;
    layout.nPitchY = 32;
    layout.nCellWidth = 23;
    layout.nCellHeight = 25;
    return layout;
}

const std::string& ShortOfMoney() {
    static const std::string s = Utf8ToText("金额不足!");
    return s;
}

void NoticeShortOfMoney() { ToolBarHost().ShowNoticeAt(ShortOfMoney().c_str(), 2, 300, 150); }

void CloseItemPanel() {
    if (CGameToolBar* pBar = HostToolBar()) pBar->CloseItemPanel();
}

}  // namespace

CTradeMenu::CTradeMenu() : CGamePanel(40, 10, 340, 435), m_grid(TradeLayout()) {
    m_pPlaceMark.reset(LoadMenuSurface("ItemPos.bmp", true));
    LoadBackground("TradeMenu_BKGround.tga");
    AddButton(135, 355, 220, 395, "OKCancel_OK.tga");
    AddButton(220, 355, 310, 395, "Cancel.tga");
    m_rcBalance = RECT{120, 340, 265, 360};
    std::fill(std::begin(m_nSnapshotSlots), std::end(m_nSnapshotSlots), -1);
    TakeSnapshot();
}

CTradeMenu::~CTradeMenu() = default;

void CTradeMenu::TakeSnapshot() {
    m_nSnapshotCarried = ToolBarHost().GetCarriedItem();
    if (!pPlayer) return;
    const int nMember = pPlayer->TableMember();
    for (int nItem = 0; nItem < kHeroItemCount; ++nItem) {
        const ItemRow* pRow = WorkItemRow(nItem);
        if (!pRow || pPlayer->HasItem(nItem) < 1) continue;
        for (int c = 0; c < kBagCells; ++c)
            if (pRow->nBagCell[nMember][c] != -1) m_snapshot.push_back(BagRecord{nItem, c, pRow->nBagCell[nMember][c]});
    }
    for (int i = 0; i < 8; ++i)
        if (pPlayer->nQuickSlot[i] > 0) m_nSnapshotSlots[i] = pPlayer->nQuickSlot[i];
}

bool CTradeMenu::StockShop(int nShop) {
    if (nShop < 0 || nShop >= kTradeShops || !pEffectManager) return false;
    m_nShop = nShop;
    Srand(unsigned(TimeGetTime()));
    // Summed unsigned: a signed sum overflows once the clock passes 2^31 ms.
    StockFromCounts(pEffectManager->ShopStock[nShop], [] { return std::uint32_t(Rand()) + std::uint32_t(TimeGetTime()); });
    return true;
}

void CTradeMenu::StockFromCounts(const std::int32_t pCounts[kTradeStockItems], const RollSource& roll) {
    std::copy(pCounts, pCounts + kTradeStockItems, m_nStock);
    // Entry k stands for item id k + 1; the last entry names id 100, past the item table.
    // Every unit is rolled. Once a unit finds no place for its shape none of the item's
    // later units can (the grid only fills up), so their rolls are skipped: a damaged
    // count of millions ends as soon as the grid is full.
    for (int k = 0; k + 1 < kHeroItemCount; ++k) {
        if (m_nStock[k] < 1 || FindFreePlace(WorkItemShape(k + 1)) < 0) continue;
        for (int i = 0; i < m_nStock[k]; ++i)
            if (roll() % 100u >= 50u && !PlaceStock(k + 1)) break;
    }
}

bool CTradeMenu::PlaceStock(int nItem) {
    const int nShape = WorkItemShape(nItem);
    const int a = FindFreePlace(nShape);
    if (a < 0) return false;
    m_grid.MarkRegion(a, nShape, nItem);
    return true;
}

int CTradeMenu::FindFreePlace(int nShape) const {
    if (nShape < 0 || nShape > 3) return -1;
    for (int p = 0; p < kTradeCells; ++p)
        if (m_grid.Fits(p, nShape)) return p;
    return -1;
}

int CTradeMenu::BuyPrice(int nItem) const {
    ShopTable* pShop = pGameData && m_nShop >= 0 ? pGameData->GetShop(m_nShop) : nullptr;
    return pShop && nItem >= 0 && nItem < kHeroItemCount ? std::max(0, pShop->PriceOut(nItem)) : 0;
}

int CTradeMenu::SellPrice(int nItem) const {
    ShopTable* pShop = pGameData && m_nShop >= 0 ? pGameData->GetShop(m_nShop) : nullptr;
    return pShop && nItem >= 0 && nItem < kHeroItemCount ? std::max(0, pShop->PriceIn(nItem)) : 0;
}

bool CTradeMenu::CanAfford(int nPrice) const { return pPlayer && nPrice <= pPlayer->nMoney; }

void CTradeMenu::Draw() {
    DrawPictures();
    if (m_nBalance != m_nBalanceShown) {
        m_nBalanceShown = m_nBalance;
        std::snprintf(m_szBalance, sizeof m_szBalance, ":%d", m_nBalanceShown);
    }
    DrawPanelText(m_szBalance, RGB(255, 0, 255), m_rcBalance, DT_WORDBREAK);
    TrackCursor();
    DrawPlacementMarks();
    DrawGoods();
    const int nItem = m_grid.ItemAt(m_nHoveredCell);
    if (nItem >= 0)
        if (CGameToolBar* pBar = HostToolBar()) pBar->DrawItemDescriptionAt(nItem, BuyPrice(nItem));
}

void CTradeMenu::TrackCursor() {
    UpdateHover();
    m_nHoveredCell = m_nHover == -1 ? m_grid.CellAt(ToolBarHost().GetMousePos()) : -1;
}

void CTradeMenu::DrawPlacementMarks() {
    const int nShape = WorkItemShape(ToolBarHost().GetCarriedItem());
    if (nShape < 0 || m_nHoveredCell < 0 || !m_pPlaceMark || !pBack) return;
    const int c = m_nHoveredCell;
    if ((nShape == 1 || nShape == 2) && c % 9 == 8) return;
    int cells[6];
    const int nCount = m_grid.RegionCells(c, nShape, cells);
    for (int i = 0; i < nCount; ++i)
        if (cells[i] >= kTradeCells) return;
    for (int i = 0; i < nCount; ++i) m_pPlaceMark->BlitKeyed(pBack, m_grid.Cell(cells[i]).rc.left, m_grid.Cell(cells[i]).rc.top);
}

void CTradeMenu::DrawGoods() {
    if (!pBitmapData) return;
    for (int n = 0; n < kTradeCells; ++n) {
        const CItemCell& cell = m_grid.Cell(n);
        if (cell.nItem < 0 || cell.nAnchor != n) continue;
        const int dx = WorkItemShape(cell.nItem) == 3 ? 0 : -4;
        pBitmapData->DrawPropIcon(cell.nItem, cell.rc.left + dx, cell.rc.top);
    }
}

int CTradeMenu::OnLButtonUp() {
    CToolBarHost& host = ToolBarHost();
    if (m_nHover == kOk) {
        host.PlaySound(5);
        // Payments stop at 0, but money may come in below it (a damaged save): the
        // trade cannot stand on a debt.
        if (pPlayer && pPlayer->nMoney < 0) {
            NoticeShortOfMoney();
            return kPanelMissed;
        }
        CloseItemPanel();
        return kPanelClose;
    }
    if (m_nHover == kCancel) {
        static const std::string kAsk = Utf8ToText("是否取消交易?");
        if (host.AskQuestion(kAsk.c_str()) != 1) return kPanelMissed;
        Cancel();
        host.PlaySound(5);
        CloseItemPanel();
        return kPanelClose;
    }
    const int nCarried = host.GetCarriedItem();
    if (nCarried < 0) return kPanelMissed;
    const ItemRow* pRow = WorkItemRow(nCarried);
    if (pRow && pRow->nType == kTaskItemType) {
        static const std::string kTaskItem = Utf8ToText("该物品为完成\n任务必须的物品!");
        host.ShowNotice(kTaskItem.c_str());
        host.SetCarriedItem(-1);
        ReturnToBag(nCarried);
        return kPanelMissed;
    }
    const int nCell = m_grid.CellAt(host.GetMousePos());
    if (nCell < 0) return kPanelMissed;
    Sell(nCell);
    return kPanelHandledOne;
}

void CTradeMenu::Sell(int nCell) {
    CToolBarHost& host = ToolBarHost();
    const int nItem = host.GetCarriedItem();
    if (nItem < 0) return;
    const int nShape = WorkItemShape(nItem);
    const int a = m_grid.Fits(nCell, nShape) ? nCell : FindFreePlace(nShape);
    // No room: the unit is sold all the same, just not shown.
    if (a >= 0) m_grid.MarkRegion(a, nShape, nItem);
    const int nPrice = SellPrice(nItem);
    m_nBalance -= nPrice;
    m_sold.push_back(Deal{nItem, nPrice});
    if (pPlayer) pPlayer->AddMoney(nPrice);
    host.SetCarriedItem(-1);
}

bool CTradeMenu::Buy(int nItem, int nCell) {
    // A good without a price (0 or less) goes for nothing: the price never pays the hero.
    const int nPrice = BuyPrice(nItem);
    if (!CanAfford(nPrice)) {
        NoticeShortOfMoney();
        return false;
    }
    const int a = m_grid.AnchorAt(nCell);
    if (a < 0) return false;
    m_bought.push_back(Deal{nItem, nPrice});
    m_nBalance += nPrice;
    pPlayer->AddMoney(-nPrice);
    m_grid.ClearRegion(a, WorkItemShape(nItem));
    return true;
}

int CTradeMenu::BuyUnderCursor() {
    CToolBarHost& host = ToolBarHost();
    // A buy never touches the cursor: a carried unit would be lost.
    if (host.GetCarriedItem() >= 0) return 0;
    const int nCell = m_grid.CellAt(host.GetMousePos());
    const int nItem = m_grid.ItemAt(nCell);
    if (nItem < 0) return 0;
    const int nPrice = BuyPrice(nItem);
    if (!CanAfford(nPrice)) {
        NoticeShortOfMoney();
        return 0;
    }
    CGameToolBar* pBar = HostToolBar();
    if (!pBar || !pBar->AddItemToBag(nItem)) return 0;
    return Buy(nItem, nCell) ? 1 : 0;
}

// Sells into the first empty cell; a grid without one takes nothing.
bool CTradeMenu::SellToFirstEmpty(int nItem) {
    if (!WorkItemRow(nItem)) return false;
    int nCell = 0;
    while (nCell < kTradeCells && m_grid.ItemAt(nCell) != -1) ++nCell;
    if (nCell == kTradeCells) return false;
    ToolBarHost().SetCarriedItem(nItem);
    Sell(nCell);
    return true;
}

// Undoes the trade. A bought unit is refunded only when it comes off the count (one
// used or dropped during the trade is not), and a sold unit comes back only while the
// money covers its price, so money never pays for what is not returned. The bag then
// takes the snapshot's layout, with one region per held unit.
void CTradeMenu::Cancel() {
    CToolBarHost& host = ToolBarHost();
    if (!pPlayer) return;
    const int nCarried = host.GetCarriedItem();
    if (nCarried >= 0 && nCarried < kHeroItemCount) {
        pPlayer->AddItem(nCarried);
        host.SetCarriedItem(-1);
    }
    // Sold units first, so that one bought and sold again is there to take back.
    for (const Deal& deal : m_sold) pPlayer->AddItem(deal.nItem);
    for (const Deal& deal : m_bought)
        if (pPlayer->RemoveItem(deal.nItem) == 1) pPlayer->AddMoney(deal.nPrice);
    for (const Deal& deal : m_sold) {
        if (deal.nPrice <= pPlayer->nMoney)
            pPlayer->AddMoney(-deal.nPrice);
        else
            pPlayer->RemoveItem(deal.nItem);  // the sale stands
    }
    const int nMember = pPlayer->TableMember();
    for (int nItem = 0; nItem < kHeroItemCount; ++nItem) {
        ItemRow* pRow = WorkItemRow(nItem);
        if (pRow && pPlayer->HasItem(nItem) >= 1) std::fill(pRow->nBagCell[nMember], pRow->nBagCell[nMember] + kBagCells, -1);
    }
    for (const BagRecord& rec : m_snapshot)
        if (ItemRow* pRow = WorkItemRow(rec.nItem)) pRow->nBagCell[nMember][rec.nCell] = rec.nValue;
    // The unit carried at opening is carried again when one is there to lift.
    if (m_nSnapshotCarried >= 0 && pPlayer->HasItem(m_nSnapshotCarried) >= 1) {
        --pPlayer->nItemCount[m_nSnapshotCarried];
        host.SetCarriedItem(m_nSnapshotCarried);
    }
    ReconcileBagRegions();
    CGameToolBar* pBar = HostToolBar();
    if (auto* pItems = dynamic_cast<CItemMenu*>(pBar ? pBar->Panel(kItemPanel) : nullptr)) pItems->ShowBagPage(pItems->GetPage());
    RestoreQuickSlots();
    m_sold.clear();
    m_bought.clear();
    m_nBalance = 0;
}

void CTradeMenu::ReconcileBagRegions() {
    const int nMember = pPlayer->TableMember();
    // Every surplus region goes first, so a unit placed next finds all the room that
    // the bag has once the used-up units are gone.
    for (int nItem = 0; nItem < kHeroItemCount; ++nItem) {
        ItemRow* pRow = WorkItemRow(nItem);
        if (!pRow) continue;
        std::int32_t* pBag = pRow->nBagCell[nMember];
        const int nCount = pPlayer->nItemCount[nItem];
        if (nCount < 1) {
            std::fill(pBag, pBag + kBagCells, -1);
            continue;
        }
        std::vector<int> anchors;
        for (int c = 0; c < kBagCells; ++c)
            if (pBag[c] == c) anchors.push_back(c);
        // A unit used up during the trade leaves its region behind.
        while (int(anchors.size()) > nCount) {
            const int a = anchors.back();
            anchors.pop_back();
            for (int c = 0; c < kBagCells; ++c)
                if (pBag[c] == a) pBag[c] = -1;
        }
    }
    CGameToolBar* pBar = HostToolBar();
    if (!pBar) return;
    for (int nItem = 0; nItem < kHeroItemCount; ++nItem) {
        ItemRow* pRow = WorkItemRow(nItem);
        if (!pRow) continue;
        const std::int32_t* pBag = pRow->nBagCell[nMember];
        int nRegions = 0;
        for (int c = 0; c < kBagCells; ++c) nRegions += pBag[c] == c;
        const int nCount = pPlayer->nItemCount[nItem];
        for (int n = nRegions; n < nCount; ++n) {
            if (pBar->PutItemInBag(nItem)) continue;
            --pPlayer->nItemCount[nItem];
            pBar->DropItemAtHero(nItem, 0);
        }
    }
}

void CTradeMenu::RestoreQuickSlots() {
    CGameToolBar* pBar = HostToolBar();
    for (int i = 0; i < 8; ++i) {
        const int n = m_nSnapshotSlots[i] < 1 ? -1 : m_nSnapshotSlots[i];
        pPlayer->nQuickSlot[i] = n;
        if (pBar) pBar->m_nQuickSlots[i] = n;
    }
}
