#include "lan/DescBar.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "lan/GoodsGrid.h"
#include "lan/LanPictures.h"
#include "shell/Mouse.h"

CDescBar* pDescBar = nullptr;

namespace {
const LanPicture kRows[] = {
    {"shuominglan.bmp", 237, 100, 1},
    {"duan.bmp", 50, 25, 0},
};
}  // namespace

CDescBar::CDescBar() { CreateSlot(0, 0, 0); }

CDescBar::~CDescBar() = default;

bool CDescBar::CreateSlot(int nSlot, int nRow, int nTile) {
    if (nSlot < 0 || nSlot >= kSlots || nRow < 0 || nRow >= int(std::size(kRows))) return false;
    m_pSlot[nSlot].reset(MakeLanSprite(kRows[nRow], nTile, 0, 0));
    return m_pSlot[nSlot] != nullptr;
}

int CDescBar::Draw(CMouse& mouse) {
    if (!m_bVisible) return 1;
    const int mx = mouse.m_nX, my = mouse.m_nY;
    if (m_pSlot[0]) m_pSlot[0]->SetPos(mx - 200, my);
    for (auto& p : m_pSlot)
        if (p && pBack) p->Draw(pBack, 0, 0, BLT_KEYED);
    const ItemRow* pRow = pGameData ? pGameData->GetItem(m_nItem) : nullptr;
    if (pBack && pRow) {
        pBack->ChangeFont("Arial", 10, 10, 134, 400, 0);
        RECT rcName{mx - 190, my + 20, mx - 50, my + 40};
        RECT rcText{mx - 190, my + 40, mx - 50, my + 100};
        pBack->DrawText(pRow->pName ? pRow->pName : "", RGB(255, 255, 0), &rcName, 16);
        pBack->DrawText(pRow->pDescription ? pRow->pDescription : "", RGB(255, 0, 255), &rcText, 16);
    }
    CGoodsGridPeers* pPeers = GoodsGridPeers();
    if ((!pPeers->IsGoodsPanelOpen() && !pPeers->IsToolBarPanelShown()) || mouse.m_bClick == 1) m_bVisible = 0;
    return 1;
}
