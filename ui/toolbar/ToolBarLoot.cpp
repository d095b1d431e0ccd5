// Life-loss numbers and loot: the pool of rising "-n" numbers, the loot roll of a
// defeated monster and the pick-up of a ground item near the hero.
#include <cstdint>

#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/GroundItem.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

constexpr int kNothingBelow = 30;
// Pick-up reach: the squared distance must stay below 100 px squared.
constexpr std::int64_t kPickUpReach2 = 100 * 100;

}  // namespace

void CGameToolBar::AddDecLife(int x, int y, int nAmount) {
    for (std::unique_ptr<CDecLife>& p : m_pFloatingNumbers) {
        if (p) continue;
        m_decLifeArt.Load();
        p = std::make_unique<CDecLife>(&m_decLifeArt);
        p->Start(x, y, nAmount);
        return;
    }
}

void CGameToolBar::ReapFloatingNumbers() {
    for (std::unique_ptr<CDecLife>& p : m_pFloatingNumbers)
        if (p && !p->Draw()) p.reset();
}

int CGameToolBar::FloatingNumberCount() const {
    int n = 0;
    for (const std::unique_ptr<CDecLife>& p : m_pFloatingNumbers) n += p ? 1 : 0;
    return n;
}

int CGameToolBar::LootRoll() {
    Srand(unsigned(Rand()));
    return int((std::uint32_t(Rand()) + std::uint32_t(TimeGetTime())) % 100u);
}

bool CGameToolBar::LootPass(int nType, int nRoll) {
    switch (nType) {
    case kLootMoney:
    case 0: return nRoll >= 31;
    case 1: return nRoll >= 53;
    case 2: return nRoll >= 69;
    case 3: return nRoll >= 84;
    case 4: return nRoll >= 88;
    case 5: return nRoll >= 92;
    case 6: return nRoll >= 94;
    case 7: return nRoll >= 96;
    case 8: return nRoll < 99;
    default: return false;
    }
}

void CGameToolBar::DropLoot(int x, int y, int nMoney, int nItem1, int nItem2, int nItem3, int nItem4) {
    const int nItems[4] = {nItem1, nItem2, nItem3, nItem4};
    LayLoot(LootRoll(), x, y, nMoney, nItems);
}

void CGameToolBar::LayLoot(int nRoll, int x, int y, int nMoney, const int nItems[4]) {
    if (nRoll < kNothingBelow) return;
    CToolBarHost& host = ToolBarHost();
    if (nMoney > 0 && LootPass(kLootMoney, nRoll)) host.DropItemOnGround(0, x, y, nMoney);
    for (int i = 0; i < 4; ++i) {
        // Ids outside the hero's item range are no items and never drop.
        const int nItem = nItems[i];
        if (nItem < 0 || nItem >= kHeroItemCount) continue;
        const ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
        if (pRow && LootPass(pRow->nType, nRoll)) host.DropItemOnGround(nItem, x, y, 0);
    }
}

int CGameToolBar::PickUpItem() {
    if (!pScene || !pPlayer) return -1;
    const int nSlot = pScene->nHoverGroundItem;
    const CGroundItem* pItem = pScene->GetGroundItem(nSlot);
    if (!pItem) return -1;
    const std::int64_t dx = std::int64_t(pPlayer->ptPos.x) - pItem->ptCell.x;
    const std::int64_t dy = std::int64_t(pPlayer->ptPos.y) - pItem->ptCell.y;
    if (dx * dx + dy * dy >= kPickUpReach2) return -1;
    CToolBarHost& host = ToolBarHost();
    if (pItem->nCount != 0) {
        pPlayer->AddMoney(pItem->nCount);
    } else if (m_nSelectorB == kGroupBItem) {
        // The open item panel takes it on the cursor; a cursor already carrying an item
        // would lose that one, so the ground item stays where it lies.
        if (host.GetCarriedItem() >= 0) return 1;
        host.SetCarriedItem(pItem->nItem);
    } else if (!AddItemToBag(pItem->nItem)) {
        return 1;
    }
    pScene->RemoveGroundItem(nSlot);
    return 1;
}
