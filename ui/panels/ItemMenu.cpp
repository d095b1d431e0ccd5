#include "ui/panels/ItemMenu.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "platform/Text.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/BagRules.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "ui/work/WorkItems.h"
#include "world/Player.h"

namespace {

constexpr int kTaskItemType = 99;
constexpr POINT kOrigin{400, 10};

// The item's bag table for the hero's character, and its mark table for the hero's
// second character index.
std::int32_t* BagTable(int nItem) {
    ItemRow* pRow = WorkItemRow(nItem);
    return pRow && pPlayer ? pRow->nBagCell[pPlayer->TableMember()] : nullptr;
}
std::int32_t* MarkTable(int nItem) {
    ItemRow* pRow = WorkItemRow(nItem);
    return pRow && pPlayer ? pRow->nBagMark[std::clamp(pPlayer->nLevelMember, 0, kMemberCount - 1)] : nullptr;
}
// The last word of the hero's bonus record of the item: 0 none, -1 a bonus whose unit is
// not in the grid, else the anchor of that unit.
std::int32_t* BonusMarker(int nItem) { return pPlayer && nItem >= 0 && nItem < kHeroItemCount ? &pPlayer->inlay[nItem].nLink : nullptr; }

int PageOfItem(const ItemRow& row) { return PageOfFamily(FamilyOfType(row.nType)); }

bool InFamily(int nType, int nFamily) {
    const BagFamily family = FamilyOfType(nType);
    switch (nFamily) {
    case CItemMenu::kFamilyGoods: return family == BagFamily::Goods;
    case CItemMenu::kFamilyEquipment: return family == BagFamily::Equipment;
    default: return family == BagFamily::Other;
    }
}

// Where an icon is drawn from its anchor cell's corner, by shape.
POINT IconOffset(int nShape) {
    switch (nShape) {
    case 0: return POINT{-4, -2};
    case 1: return POINT{-2, 0};
    case 3: return POINT{-5, 0};
    default: return POINT{0, 0};
    }
}

ItemGridLayout BagLayout() {
    ItemGridLayout layout;
    layout.ptOrigin = POINT{kOrigin.x + 27, kOrigin.y + 205};
    layout.nCellWidth = 25;
    layout.nCellHeight = 31;
    return layout;
}

}  // namespace

CItemMenu::CItemMenu() : CGamePanel(kOrigin.x, kOrigin.y, 340, 440), m_grid(BagLayout()) {
    m_rcMoney = OffsetBy(RECT{20, 173, 155, 195}, m_ptOrigin);
    static const RECT kTabs[3] = {{313, 203, 325, 228}, {313, 236, 325, 261}, {313, 268, 325, 291}};
    for (int i = 0; i < 3; ++i) m_rcTabs[i] = OffsetBy(kTabs[i], m_ptOrigin);
    for (int i = 0; i < 5; ++i) m_rcValues[i] = OffsetBy(RECT{215, 55 + 25 * i, 315, 79 + 25 * i}, m_ptOrigin);
    m_rcName = OffsetBy(RECT{160, 20, 315, 45}, m_ptOrigin);
    m_ptPortrait = POINT{m_ptOrigin.x + 40, m_ptOrigin.y + 40};
    m_pPlaceMark.reset(LoadMenuSurface("ItemPos.bmp", true));
    LoadBackground("ItemMenu_BKGround.tga");
    m_pTabHighlight.reset(LoadMenuTga("ItemBox_Button[s].tga"));
}

CItemMenu::~CItemMenu() = default;

void CItemMenu::LoadPortrait(int nHero) {
    m_pPortrait.reset();
    m_nHoveredCell = -1;
    const int n = nHero == 1 && pPlayer && ToolBarHost().UsesAlternatePortrait(pPlayer) ? 5 : nHero;
    char szName[32];
    std::snprintf(szName, sizeof szName, "CTX00%d.tga", n);
    m_pPortrait.reset(LoadMenuTga(szName));
    m_grid.ClearAll();
    RefreshItemGrid(kFamilyGoods);
    m_nPage = kPageGoods;
}

void CItemMenu::ShowPage(int nPage) {
    m_nHoveredCell = -1;
    m_grid.ClearAll();
    m_nPage = nPage;
    RefreshItemGrid(nPage == kPageEquipment ? kFamilyEquipment : nPage == kPageGoods ? kFamilyGoods : kFamilyOther);
}

void CItemMenu::ShowItemPage1() { ShowPage(kPageEquipment); }
void CItemMenu::ShowItemPage2() { ShowPage(kPageOther); }
void CItemMenu::ShowBagPage(int nPage) { ShowPage(std::clamp(nPage, 0, 2)); }

void CItemMenu::RefreshItemGrid(int nFamily) {
    m_grid.ClearAll();
    if (!pPlayer || !pGameData) return;
    for (int nItem = 0; nItem < std::min(kHeroItemCount, pGameData->nItemCount); ++nItem) {
        const ItemRow* pRow = WorkItemRow(nItem);
        if (!pRow || !pPlayer->HasItem(nItem) || !InFamily(pRow->nType, nFamily)) continue;
        const std::int32_t* pBag = BagTable(nItem);
        for (int c = 0; c < kBagCells; ++c) {
            // Only a region's anchor places it; its other cells then fail the fit test.
            if (pBag[c] == c) PlaceItemAt(c, pRow->nGirdNum, nItem, false);
        }
    }
}

void CItemMenu::ClearCell(int nCell) { m_grid.ClearCell(nCell); }

int CItemMenu::PlaceItemAt(int nCell, int nShape, int nItem, bool bFromCursor) {
    std::int32_t* pBag = BagTable(nItem);
    std::int32_t* pMark = MarkTable(nItem);
    std::int32_t* pMarker = BonusMarker(nItem);
    if (!pBag || !CanPlaceAt(nCell, nShape)) return 0;
    int cells[6];
    const int nCount = m_grid.RegionCells(nCell, nShape, cells);
    m_grid.MarkRegion(nCell, nShape, nItem);
    for (int i = 0; i < nCount; ++i) {
        pBag[cells[i]] = nCell;
        if (nShape != 0 && *pMarker == -1) pMark[cells[i]] = 1;
    }
    if (*pMarker == -1) *pMarker = nCell;
    if (bFromCursor) pPlayer->AddItem(nItem);
    return 1;
}

int CItemMenu::PickUpFromCell(int nCell) {
    const int nItem = m_grid.ItemAt(nCell);
    if (nItem < 0) return 0;
    std::int32_t* pBag = BagTable(nItem);
    if (!pBag) return -1;
    const int nAnchor = pBag[nCell];
    if (nAnchor < 0) return -1;
    // A unit that is not on the count cannot be lifted: nothing moves.
    if (!pPlayer->RemoveItem(nItem)) return -1;
    pBag[nCell] = -1;
    ToolBarHost().SetCarriedItem(nItem);
    const int nShape = WorkItemRow(nItem)->nGirdNum;
    std::int32_t* pMark = MarkTable(nItem);
    std::int32_t* pMarker = BonusMarker(nItem);
    int cells[6];
    const int nCount = m_grid.RegionCells(nAnchor, nShape, cells);
    for (int i = 0; i < nCount; ++i) {
        if (cells[i] < 0 || cells[i] >= kBagCells) continue;
        m_grid.ClearCell(cells[i]);
        pBag[cells[i]] = -1;
        if (nShape != 0 && *pMarker != 0) pMark[cells[i]] = 0;
    }
    if (*pMarker == nAnchor) *pMarker = -1;
    return 1;
}

int CItemMenu::OnLButtonUp() {
    CToolBarHost& host = ToolBarHost();
    const int nCarried = host.GetCarriedItem();
    if (nCarried >= 0 && m_nHoveredCell >= 0) {
        const ItemRow* pRow = WorkItemRow(nCarried);
        if (pRow && PageOfItem(*pRow) == m_nPage) {
            if (!PlaceItemAt(m_nHoveredCell, pRow->nGirdNum, nCarried, true)) return kPanelHandled;
            PlayPanelClick();
            host.SetCarriedItem(-1);
            return kPanelHandledOne;
        }
        // The shop's return of a bought item is not defined: nothing to undo there.
        static const std::string kWrongPage = Utf8ToText("物品分类错误！");
        host.ShowNoticeAt(kWrongPage.c_str(), 2, 150, 200);
    } else if (nCarried < 0 && m_nHoveredCell >= 0) {
        if (PickUpFromCell(m_nHoveredCell) != 0) return kPanelHandledOne;
        PlayPanelClick();
        host.SetCarriedItem(-1);
    }
    switch (m_nHoveredTab) {
    case 0: {
        CGameToolBar* pBar = HostToolBar();
        LoadPortrait(pBar ? pBar->m_nHero : 1);
        PlayPanelClick();
        break;
    }
    case 1: ShowItemPage1(); PlayPanelClick(); break;
    case 2: ShowItemPage2(); PlayPanelClick(); break;
    default: break;
    }
    return kPanelMissed;
}

void CItemMenu::LiftAndRelease(int nCell) {
    if (PickUpFromCell(nCell) == 1) ToolBarHost().SetCarriedItem(-1);
    m_nHoveredCell = -1;
}

int CItemMenu::OnRButtonDown() {
    CToolBarHost& host = ToolBarHost();
    const int nCell = m_nHoveredCell;
    const int nItem = m_grid.ItemAt(nCell);
    const ItemRow* pRow = WorkItemRow(nItem);
    if (!pRow || !pPlayer || host.GetCarriedItem() >= 0 || pPlayer->HasItem(nItem) < 1) return 0;
    if (pRow->nType == kTaskItemType) {
        static const std::string kTaskItem = Utf8ToText("该物品是完成\n任务必须的物品!");
        host.ShowNotice(kTaskItem.c_str());
        return 0;
    }
    // With a shop or the combining table open the right click hands the unit over; a
    // refused hand-over does nothing else (the unit is not used or armed instead).
    if (host.IsTradeOpen()) {
        if (!host.SellToTrade(nItem)) return 0;
        LiftAndRelease(nCell);
        return 1;
    }
    if (pRow->nType == 8 || pRow->nType == 9) {
        if (host.IsCombineOpen()) {
            if (!host.PutIntoCombine(nItem)) return 0;
            LiftAndRelease(nCell);
            return 1;
        }
        // A bomb counts down at the hero; the lifted unit is the one it uses.
        CGameToolBar* pBar = HostToolBar();
        if (pRow->nType == 8 && pBar && pBar->ArmBombItem(nItem)) {
            LiftAndRelease(nCell);
            return 1;
        }
        return 0;
    }
    if (pRow->nType == 1) {
        const bool bHeroFull = pPlayer->nLife >= pPlayer->nLifeMax && pPlayer->nMana >= pPlayer->nManaMax;
        CPlayer* pTarget = bHeroFull && pCompanion ? pCompanion : pPlayer;
        // The use takes a unit off the count; lifting the region takes it again, so the
        // unit is put back first and the used unit's region leaves the grid.
        pTarget->UseItem(nItem, true);
        pPlayer->AddItem(nItem);
        LiftAndRelease(nCell);
        return 1;
    }
    return 0;
}

void CItemMenu::Draw() {
    if (!pBack) return;
    if (m_pBackground) m_pBackground->Draw(pBack, m_ptOrigin.x, m_ptOrigin.y, nullptr, 0, 0, 0, 0);
    if (m_pTabHighlight) m_pTabHighlight->Draw(pBack, m_rcTabs[m_nPage].left, m_rcTabs[m_nPage].top, nullptr, 0, 0, 0, 0);
    if (m_pPortrait) m_pPortrait->Draw(pBack, m_ptPortrait.x, m_ptPortrait.y - 10, nullptr, 0, 0, 0, 0);
    DrawValues();
    CGameToolBar* pBar = HostToolBar();
    if (CGamePanel* pState = pBar ? pBar->Panel(kStatePanel) : nullptr) pState->DrawConnectorIfShown();
    if (pPlayer) {
        if (pPlayer->nMoney != m_nMoneyShown) {
            m_nMoneyShown = pPlayer->nMoney;
            std::snprintf(m_szMoney, sizeof m_szMoney, "%d", m_nMoneyShown);
        }
        SetPanelFont(PanelScriptFace(), 0, 20);
        DrawPanelText(m_szMoney, RGB(255, 0, 255), m_rcMoney, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        RestorePanelFont();
    }
    if (m_nHoveredTab >= 0) {
        if (m_pTabHighlight)
            m_pTabHighlight->Draw(pBack, m_rcTabs[m_nHoveredTab].left, m_rcTabs[m_nHoveredTab].top, nullptr, 0, 0, 0, 0);
        const POINT pt = ToolBarHost().GetMousePos();
        const POINT corner{pt.x - 50, pt.y - 50};
        if (CDXSurface* pBox = pBar ? pBar->GetLabelBox() : nullptr) {
            RECT rc{0, 0, std::min(100, pBox->GetWidth()), std::min(50, pBox->GetHeight())};
            pBox->BlitHalfAlphaKeyed(pBack, corner.x, corner.y, &rc);
        }
        static const std::string kTips[3] = {Utf8ToText("武器"), Utf8ToText("装备"), Utf8ToText("其它")};
        DrawPanelText(kTips[m_nHoveredTab].c_str(), RGB(0, 255, 0), OffsetBy(RECT{5, 8, 100, 28}, corner),
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    UpdateItemHover();
    if (pBar) {
        const int nItem = m_grid.ItemAt(m_nHoveredCell);
        const std::int32_t* pMark = MarkTable(nItem);
        pBar->m_nTipItem = nItem;
        pBar->m_nTipCell = nItem >= 0 && pMark && pMark[m_nHoveredCell] >= 1 ? m_nHoveredCell : -1;
    }
    DrawPlacementMarks();
    DrawIcons();
}

void CItemMenu::DrawValues() {
    if (!pPlayer) return;
    DrawHeroNumbers(*pPlayer, pPlayer->nAge, m_rcName, m_rcValues);
}

void CItemMenu::UpdateItemHover() {
    const POINT pt = ToolBarHost().GetMousePos();
    m_nHoveredTab = -1;
    for (int i = 0; i < 3; ++i) {
        if (PtInRect(m_rcTabs[i], pt)) {
            m_nHoveredTab = i;
            m_nHoveredCell = -1;
            return;
        }
    }
    m_nHoveredCell = m_grid.CellAt(pt);
}

void CItemMenu::DrawPlacementMarks() {
    const int nCarried = ToolBarHost().GetCarriedItem();
    const ItemRow* pRow = WorkItemRow(nCarried);
    if (!pRow || m_nHoveredCell < 0 || !m_pPlaceMark) return;
    const int c = m_nHoveredCell, nShape = pRow->nGirdNum;
    const bool bLastColumn = c % m_grid.GetColumns() == m_grid.GetColumns() - 1;
    int cells[6];
    const int nCount = m_grid.RegionCells(c, nShape, cells);
    if ((nShape == 1 || nShape == 2) && bLastColumn) return;
    for (int i = 0; i < nCount; ++i)
        if (cells[i] < 0 || cells[i] >= m_grid.GetCount()) return;
    for (int i = 0; i < nCount; ++i) {
        const RECT& rc = m_grid.Cell(cells[i]).rc;
        m_pPlaceMark->BlitKeyed(pBack, rc.left, rc.top);
    }
}

void CItemMenu::DrawIcons() {
    if (!pBitmapData) return;
    for (int n = 0; n < m_grid.GetCount(); ++n) {
        const CItemCell& cell = m_grid.Cell(n);
        // Each region once, at its anchor.
        if (cell.nItem < 0 || cell.nAnchor != n) continue;
        const ItemRow* pRow = WorkItemRow(cell.nItem);
        if (!pRow) continue;
        const POINT off = IconOffset(pRow->nGirdNum);
        pBitmapData->DrawPropIcon(cell.nItem, cell.rc.left + off.x, cell.rc.top + off.y);
    }
}
