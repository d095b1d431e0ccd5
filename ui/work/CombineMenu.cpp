#include "ui/work/CombineMenu.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Charset.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/panels/ItemMenu.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "ui/work/WorkItems.h"
#include "world/Player.h"

namespace {

constexpr int kPanelX = 36, kPanelY = 120, kPanelWidth = 324, kPanelHeight = 270;
constexpr int kNoticeX = 110, kNoticeY = 150;

// Columns, rows, origin, pitch and cell size of the 4 x 4 source and 2 x 4 result grids.
constexpr ItemGridLayout kSourceLayout{4, 4, POINT{72, 183}, 32, 32, 24, 29};
constexpr ItemGridLayout kResultLayout{2, 4, POINT{260, 183}, 32, 32, 28, 29};

void Notice(const char* pszUtf8) {
    const std::string text = Utf8ToText(pszUtf8);
    ToolBarHost().ShowNoticeAt(text.c_str(), 1, kNoticeX, kNoticeY);
}

// The ingredient item ids: 47 to 58 and 82.
bool IsCombineIngredient(int nItem) { return (nItem >= 47 && nItem <= 58) || nItem == 82; }

}  // namespace

CCombineMenu::CCombineMenu()
    : CGamePanel(kPanelX, kPanelY, kPanelWidth, kPanelHeight), m_source(kSourceLayout), m_results(kResultLayout) {
    m_pPlaceMark.reset(LoadMenuSurface("ItemPos.bmp", true));
    LoadBackground("Menu_Combine_BKGround.tga");
    // Screen rectangles (120, 324, 200, 364) and (200, 324, 290, 364).
    AddButton(120 - kPanelX, 324 - kPanelY, 200 - kPanelX, 364 - kPanelY, "Combine.tga");
    AddButton(200 - kPanelX, 324 - kPanelY, 290 - kPanelX, 364 - kPanelY, "Cancel.tga");
    LoadRecipes();
}

CCombineMenu::~CCombineMenu() = default;

// Rows missing from the game data leave their kind without an item (it is never
// counted) and their recipe unusable, so nothing past a table is ever read.
void CCombineMenu::LoadRecipes() {
    int nIds[kCombineKinds];
    for (int k = 0; k < kCombineKinds; ++k) {
        const PeiFangItemRow* pRow = pGameData ? pGameData->GetPeiFangItem(k) : nullptr;
        nIds[k] = pRow ? pRow->nItemNo : -1;
    }
    for (int r = 0; r < kCombineRecipes; ++r) {
        Recipe& recipe = m_recipes[r];
        recipe = Recipe{};
        std::copy(nIds, nIds + kCombineKinds, recipe.nIds);
        const PeiFangRow* pRow = pGameData ? pGameData->GetPeiFang(r) : nullptr;
        if (!pRow) continue;
        std::copy(pRow->nItemNum, pRow->nItemNum + 12, recipe.nCounts);
        recipe.nCounts[12] = pRow->nItem13Num;
        recipe.nResult = pRow->nNewItemNo;
        recipe.nResultCount = pRow->nNewItemNum;
        // The result cells take one-cell items only; a recipe that makes nothing would
        // eat its ingredients for nothing.
        recipe.bUsable = WorkItemShape(recipe.nResult) == 0 && recipe.nResultCount >= 1;
    }
}

CItemGrid& CCombineMenu::GridOf(int nCell) { return nCell < kCombineSourceCells ? m_source : m_results; }
const CItemGrid& CCombineMenu::GridOf(int nCell) const { return nCell < kCombineSourceCells ? m_source : m_results; }

int CCombineMenu::ItemAt(int nCell) const {
    if (nCell < 0 || nCell >= kCombineCells) return -1;
    return nCell < kCombineSourceCells ? m_source.ItemAt(nCell) : m_results.ItemAt(nCell - kCombineSourceCells);
}

const RECT& CCombineMenu::CellRect(int nCell) const {
    return nCell < kCombineSourceCells ? m_source.Cell(nCell).rc : m_results.Cell(nCell - kCombineSourceCells).rc;
}

int CCombineMenu::CellAt(POINT pt) const {
    const int nSource = m_source.CellAt(pt);
    if (nSource >= 0) return nSource;
    const int nResult = m_results.CellAt(pt);
    return nResult >= 0 ? kCombineSourceCells + nResult : -1;
}

bool CCombineMenu::PutIntoCell(int nCell, int nItem, bool bFromCursor) {
    if (nCell < 0 || nCell >= kCombineCells || WorkItemShape(nItem) != 0 || ItemAt(nCell) != -1) return false;
    const int n = nCell < kCombineSourceCells ? nCell : nCell - kCombineSourceCells;
    GridOf(nCell).MarkRegion(n, 0, nItem);
    if (bFromCursor) ToolBarHost().SetCarriedItem(-1);
    return true;
}

bool CCombineMenu::TakeFromCell(int nCell) {
    const int nItem = ItemAt(nCell);
    if (nItem < 0) return false;
    const int n = nCell < kCombineSourceCells ? nCell : nCell - kCombineSourceCells;
    GridOf(nCell).ClearCell(n);
    ToolBarHost().SetCarriedItem(nItem);
    return true;
}

bool CCombineMenu::PutIntoFirstFree(int nItem) {
    for (int c = 0; c < kCombineSourceCells; ++c)
        if (ItemAt(c) == -1) return PutIntoCell(c, nItem, false);
    return false;
}

void CCombineMenu::ReturnItems() {
    for (int c = 0; c < kCombineCells; ++c) {
        const int nItem = ItemAt(c);
        if (nItem < 0) continue;
        GridOf(c).ClearCell(c < kCombineSourceCells ? c : c - kCombineSourceCells);
        ReturnToBag(nItem);
    }
}

bool CCombineMenu::CountIngredients() {
    for (int k = 0; k < kCombineKinds; ++k) {
        m_nCountedIds[k] = m_recipes[0].nIds[k];
        m_nCounted[k] = 0;
        if (m_nCountedIds[k] < 0) continue;  // a kind without a row matches no cell
        for (int c = 0; c < kCombineSourceCells; ++c) m_nCounted[k] += ItemAt(c) == m_nCountedIds[k];
    }
    // A combination empties every source cell, so each must hold a counted kind: an
    // ingredient that the data names for no kind would be consumed uncounted.
    for (int c = 0; c < kCombineSourceCells; ++c) {
        const int nItem = ItemAt(c);
        if (nItem == -1) continue;
        const bool bCounted = std::find(std::begin(m_nCountedIds), std::end(m_nCountedIds), nItem) != std::end(m_nCountedIds);
        if (!IsCombineIngredient(nItem) || !bCounted) return false;
    }
    return true;
}

int CCombineMenu::MatchRecipe() {
    if (!CountIngredients()) return -1;
    for (int r = 0; r < kCombineRecipes; ++r) {
        const Recipe& recipe = m_recipes[r];
        if (!recipe.bUsable) continue;
        bool bMatch = true;
        for (int k = 0; k < kCombineKinds && bMatch; ++k)
            bMatch = recipe.nCounts[k] == m_nCounted[k];
        if (bMatch) return r;
    }
    return -1;
}

bool CCombineMenu::ResultsFit(int nCount) const {
    int nFree = 0;
    for (int c = 0; c < kCombineResultCells; ++c) nFree += m_results.ItemAt(c) == -1;
    return nCount <= nFree;
}

// Results go straight into the result cells, never through the cursor, and only when
// all of them fit: otherwise nothing is made and nothing consumed.
int CCombineMenu::Combine() {
    const int r = MatchRecipe();
    if (r < 0) {
        Notice("配方错误,不能合成!");
        return r;
    }
    const Recipe& recipe = m_recipes[r];
    if (!ResultsFit(recipe.nResultCount)) {
        Notice("合成栏已满,请先取出物品!");
        return -1;
    }
    for (int i = 0; i < recipe.nResultCount; ++i) {
        for (int c = kCombineSourceCells; c < kCombineCells; ++c)
            if (PutIntoCell(c, recipe.nResult, false)) break;
    }
    m_source.ClearAll();
    CGameToolBar* pBar = HostToolBar();
    if (CGamePanel* pItems = pBar ? pBar->Panel(kItemPanel) : nullptr) pItems->ShowBagPage(CItemMenu::kPageGoods);
    return r;
}

int CCombineMenu::OnLButtonUp() {
    CToolBarHost& host = ToolBarHost();
    const int nCarried = host.GetCarriedItem();
    const int nCell = CellAt(host.GetMousePos());
    if (nCarried < 0 && nCell >= 0) {
        TakeFromCell(nCell);
        host.PlaySound(5);
        return kPanelHandledOne;
    }
    if (nCarried >= 0 && nCell >= 0 && nCell < kCombineSourceCells) {
        PutIntoCell(nCell, nCarried, true);
        host.PlaySound(5);
        return kPanelHandledOne;
    }
    switch (m_nHoveredButton) {
    case kCombineButton: Combine(); return kPanelHandledOne;
    case kCancelButton:
        if (CGameToolBar* pBar = HostToolBar()) pBar->CloseItemPanel();
        ReturnItems();
        return kPanelClose;
    default: return kPanelMissed;
    }
}

void CCombineMenu::TrackCursor() {
    const POINT pt = ToolBarHost().GetMousePos();
    m_nHoveredCell = CellAt(pt);
    m_nHoveredButton = kNoButton;
    if (m_nHoveredCell < 0)
        for (int i = 0; i < GetButtonCount(); ++i)
            if (PtInRect(GetButtonRect(i), pt)) {
                m_nHoveredButton = i + 1;
                break;
            }
    m_nHover = m_nHoveredButton == kNoButton ? -1 : m_nHoveredButton - 1;
}

void CCombineMenu::Draw() {
    DrawPictures();
    TrackCursor();
    if (!pBack) return;
    const int nCarried = ToolBarHost().GetCarriedItem();
    if (nCarried >= 0 && WorkItemShape(nCarried) == 0 && m_nHoveredCell >= 0 && m_nHoveredCell < kCombineSourceCells &&
        m_pPlaceMark) {
        const RECT& rc = CellRect(m_nHoveredCell);
        m_pPlaceMark->BlitKeyed(pBack, rc.left + 3, rc.top + 3);
    }
    if (!pBitmapData) return;
    for (int c = 0; c < kCombineCells; ++c) {
        const int nItem = ItemAt(c);
        if (nItem >= 0) pBitmapData->DrawPropIcon(nItem, CellRect(c).left, CellRect(c).top);
    }
}
