// The item, money, value and flag commands of the event scripts. Item, task, scene and
// character numbers outside their tables make the command do nothing; sums saturate.
#include <climits>

#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "gamedata/Tables.h"
#include "platform/Charset.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "ui/panels/ItemMenu.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/EffectManager.h"
#include "world/Player.h"
#include "world/PlayerRecord.h"
#include "world/Scene.h"

namespace {

bool IsItem(int n) { return n >= 0 && n < kHeroItemCount; }

// The scene of commands 5 and 6 (-1 the current one); -1 when outside the tables.
int ObjectScene(int nScene, int nCurrent) {
    const int s = nScene == -1 ? nCurrent : nScene;
    return s >= 0 && s < kStateScenes ? s : -1;
}

// Gives the hero one item: into the current member's bag, or, when the bag is full,
// after the notice onto the ground under the hero. Without a toolbar there is no bag
// to fill and the count grows.
void GiveItem(CGameToolBar* pBar, int nItem) {
    if (!pPlayer) return;
    if (!pBar || pBar->PutItemInBag(nItem)) {
        pPlayer->AddItem(nItem);
        return;
    }
    static const std::string kFull = Utf8ToText("物品栏已满!");
    ToolBarHost().ShowNotice(kFull.c_str());
    if (pScene) pScene->DropItemOnGround(nItem, pPlayer->ptPos.x, pPlayer->ptPos.y, 0);
}

// Takes one item (the last one takes all its bag cells with it); while some remain,
// the item's last used bag cell of the current member is freed, in the open item
// panel too.
void TakeItem(CGameToolBar* pBar, int nItem) {
    if (!pPlayer || !pPlayer->RemoveItem(nItem)) return;
    auto* pItems = dynamic_cast<CItemMenu*>(pBar ? pBar->Panel(kItemPanel) : nullptr);
    if (pPlayer->nItemCount[nItem] == 0) {
        // The last one went with all its cells: the panel shows none of it any more.
        for (int nCell = 0; pItems && nCell < pItems->Grid().GetCount(); ++nCell)
            if (pItems->Grid().ItemAt(nCell) == nItem) pItems->ClearCell(nCell);
        return;
    }
    ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
    if (!pRow) return;
    std::int32_t* pCells = pRow->nBagCell[pPlayer->TableMember()];
    for (int nCell = kHeroBagCells - 1; nCell >= 0; --nCell) {
        if (pCells[nCell] == -1) continue;
        pCells[nCell] = -1;
        if (pItems) pItems->ClearCell(nCell);
        return;
    }
}

}  // namespace

bool CMainFrame::RunValueCommand(ScriptCommand& c, ScriptEnding* pEnding) {
    *pEnding = ScriptEnding::Now;
    switch (c.nCommand) {
    case 5: case 6: {
        const int s = ObjectScene(c.a2, m_nCurrentScene);
        if (!pEffectManager || s < 0 || c.a1 < 0 || c.a1 >= kStateEntries) return true;
        if (c.nCommand == 5) pEffectManager->ClearObjectFlag(s, c.a1);
        else pEffectManager->SetObjectFlag(s, c.a1);
        return true;
    }
    case 9:
        if (pPlayer) pPlayer->AddHP(c.a1, c.a2 > 0);
        return true;
    case 11:
        if (pPlayer) pPlayer->AddMP(c.a1, c.a2 > 0);
        return true;
    case 10:
        if (pPlayer && c.a1 > 0) pPlayer->AddExperience(c.a1);
        return true;
    case 12:
        if (pPlayer) pPlayer->AddMoney(c.a1 == 1 ? c.a2 : (c.a2 == INT_MIN ? INT_MAX : -c.a2));
        return true;
    case 13:
        if (IsItem(c.a1)) GiveItem(m_pToolBar, c.a1);
        return true;
    case 17:
        m_bStorySaved = 1;
        return true;
    case 19:
        if (IsItem(c.a1)) TakeItem(m_pToolBar, c.a1);
        return true;
    case 22:
        if (pPlayer && c.a1 >= 0 && c.a1 <= kHeroMaxLevel) pPlayer->SetLevel(c.a1);
        *pEnding = ScriptEnding::Next;
        return true;
    case 38:
        if (pPlayer) pPlayer->SetFlag(c.a1);
        return true;
    case 39:
        if (pPlayer) pPlayer->ClearFlag(c.a1);
        return true;
    case 49:
        m_bDormantFlag = 1;
        return true;
    case 82:
        m_nExitMark = c.a1;
        return true;
    case 83:
        m_nExitMark = -1;
        return true;
    case 90:
        // A failed save has said why on the error output; the script goes on.
        SaveGame(0);
        return true;
    default:
        return false;
    }
}
