#include "ui/work/WorkItems.h"

#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "shell/ShellGlobals.h"
#include "ui/panels/GamePanel.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

ItemRow* WorkItemRow(int nItem) {
    return pGameData && nItem >= 0 && nItem < kHeroItemCount ? pGameData->GetItem(nItem) : nullptr;
}

int WorkItemShape(int nItem) {
    const ItemRow* pRow = WorkItemRow(nItem);
    return pRow ? pRow->nGirdNum : -1;
}

void ReturnToBag(int nItem) {
    CGameToolBar* pBar = HostToolBar();
    if (!pBar) {
        if (pPlayer) pPlayer->AddItem(nItem);
        return;
    }
    if (!pBar->AddItemToBag(nItem)) pBar->DropItemAtHero(nItem, 0);
}

bool HasWaitingBonus(int nItem) {
    if (!pPlayer || nItem < 0 || nItem >= kHeroItemCount) return false;
    const InlayRecord& record = pPlayer->inlay[nItem];
    return record.nLink == -1 && (record.nAttack != 0 || record.nDefence != 0 || record.nStaminaMax != 0);
}

void ReturnToBagOrCursor(int nItem) {
    CGameToolBar* pBar = HostToolBar();
    if (!pBar) {
        if (pPlayer) pPlayer->AddItem(nItem);
        return;
    }
    if (pBar->AddItemToBag(nItem)) return;
    CToolBarHost& host = ToolBarHost();
    if (host.GetCarriedItem() < 0)
        host.SetCarriedItem(nItem);
    else
        pBar->DropItemAtHero(nItem, 0);
}
