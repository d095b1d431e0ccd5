#include "ui/work/InlayMenu.h"

#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/ToolBarHost.h"
#include "ui/work/WorkItems.h"
#include "world/Player.h"
#include "world/WorldMath.h"

namespace {

constexpr int kBaseType = 2, kGemType = 8;

}  // namespace

CInlayMenu::CInlayMenu() : CProgressBoard("MenuInlay.bmp", kInlayEntries) {}

int CInlayMenu::PlaceCarried(int nCarried, POINT pt) {
    const ItemRow* pRow = WorkItemRow(nCarried);
    const int nType = pRow ? pRow->nType : -1;
    if (nType == kBaseType && PtInRect(SlotRect(), pt)) {
        SetBase();
        return 1;
    }
    if (nType != kGemType) return 1;
    const int nCell = Grid().CellAt(pt);
    if (nCell < 0) return 0;
    PlaceGem(nCell, nCarried);
    return 1;
}

void CInlayMenu::PlaceGem(int nCell, int nItem) {
    // Shapes past 3 have no cells here: such a gem stays on the cursor rather than
    // being taken without a place on the board.
    const int nShape = WorkItemShape(nItem);
    if (nShape < 0 || nShape > 3) return;
    PlaceOnBoard(nCell, nItem);
}

void CInlayMenu::SetBase() {
    CToolBarHost& host = ToolBarHost();
    const int nItem = host.GetCarriedItem();
    // A second base would push the first out of the panel: it stays on the cursor.
    if (SlotItem() >= 0 || !HeroMayUse(nItem)) return;
    SetSlot(nItem);
    host.SetCarriedItem(-1);
    if (pDebugLog)
        pDebugLog->Printf("GirdInfo No:%d,ItemNo:%d,Rectleft:%d\n", kBoardSlot, SlotItem(), int(SlotRect().left));
}

bool CInlayMenu::MayStart() {
    if (BoardHoldsItem() && SlotItem() >= 0) return true;
    ShowPutInNotice();
    return false;
}

void CInlayMenu::Apply() {
    const int nBase = SlotItem();
    if (!pPlayer || !pGameData || nBase < 0 || nBase >= kHeroItemCount) return;
    std::int64_t nAttack = 0, nDefence = 0, nCelerity = 0;
    for (int nGem : Entries()) {
        const ItemRow* pRow = WorkItemRow(nGem);
        if (!pRow) continue;
        nAttack += pRow->nAttack;
        nDefence += pRow->nDefence;
        nCelerity += pRow->nCelerity;
    }
    InlayRecord& record = pPlayer->inlay[nBase];
    record.nAttack = SaturatingAdd(record.nAttack, nAttack);
    record.nDefence = SaturatingAdd(record.nDefence, nDefence);
    record.nStaminaMax = SaturatingAdd(record.nStaminaMax, nCelerity);
    record.nLink = -1;
}
