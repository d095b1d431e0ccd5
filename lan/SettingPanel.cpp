#include "lan/SettingPanel.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "lan/LanPictures.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {
const LanPicture kRows[] = {
    {"youxishedin.bmp", 284, 341, 1},
    {"youxishedin-1.bmp", 53, 21, 2},
    {"anjian.bmp", 30, 30, 6},
};

struct SlotDef {
    int nSlot, nRow, nTile, x, y, nRect;
};
// Slot, picture row, tile, position and hot rectangle (-1 none), relative to the origin.
const SlotDef kSlotDefs[] = {
    {0, 1, 0, 58, 115, 0}, {1, 1, 1, 183, 115, 1}, {2, 1, 0, 58, 193, 3}, {3, 1, 1, 183, 193, 2},
    {4, 2, 0, 60, 287, 4}, {5, 2, 1, 208, 287, 5}, {8, 2, 4, 75, 290, -1},
};
const RECT kRectDefs[6] = {
    {58, 115, 102, 137}, {183, 115, 227, 137}, {183, 193, 227, 215},
    {58, 193, 102, 215}, {60, 287, 90, 317},  {208, 287, 238, 317},
};
const RECT kCancel{132, 55, 156, 80};

RECT Offset(RECT rc) {
    OffsetRect(&rc, CSettingPanel::kOrigin.x, CSettingPanel::kOrigin.y);
    return rc;
}

void DrawSprite(CDXSprite* p) {
    if (p && pBack) p->Draw(pBack, 0, 0, BLT_KEYED);
}
}  // namespace

CSettingPanel::CSettingPanel() {
    m_pBackground.reset(MakeLanSprite(kRows[0], 0, kOrigin.x, kOrigin.y));
    for (int i = 0; i < 6; ++i) m_rects[i] = Offset(kRectDefs[i]);
    for (const SlotDef& d : kSlotDefs) CreateSlot(d.nSlot, d.nRow, kOrigin.x + d.x, kOrigin.y + d.y, d.nTile);
    m_pCancel.reset(MakeLanSprite({"quixiaoanjian01.bmp", 24, 25, 2}, 0, kOrigin.x + 132, kOrigin.y + 55));
}

CSettingPanel::~CSettingPanel() = default;

bool CSettingPanel::CreateSlot(int nSlot, int nRow, int x, int y, int nTile) {
    if (nSlot < 0 || nSlot >= kSlots || nRow < 0 || nRow >= int(std::size(kRows))) return false;
    m_pSlot[nSlot].reset(MakeLanSprite(kRows[nRow], nTile, x, y));
    return m_pSlot[nSlot] != nullptr;
}

int CSettingPanel::GetKnobX() const { return m_nKnobX; }

int CSettingPanel::Draw() {
    DrawSprite(m_pBackground.get());
    for (int i = 4; i < kSlots; ++i) DrawSprite(m_pSlot[i].get());
    DrawSprite(m_pSlot[pFrame && pFrame->m_bMusicOn ? 0 : 1].get());
    if (m_pCancel) {
        const POINT pt = pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{-1, -1};
        m_pCancel->SetFrame(PtInRect(Offset(kCancel), pt) ? 1 : 0);
        DrawSprite(m_pCancel.get());
    }
    DrawSprite(m_pSlot[pFrame && pFrame->m_bSoundOn ? 3 : 2].get());
    HandleInput();
    return 1;
}

void CSettingPanel::HandleInput() {
    if (!(GetAsyncKeyState(VK_LBUTTON) & 1) || !pMouse) return;
    Click(pMouse->m_nX, pMouse->m_nY);
}

void CSettingPanel::Click(int x, int y) {
    const POINT pt{x, y};
    if (PtInRect(Offset(kCancel), pt) && pFrame) {
        CMenuManager* pManager = pFrame->m_pMenuManager;
        if (pFrame->m_bInGame) {
            if (pManager) pManager->m_nGameMode = 3;
            pFrame->m_nMouseHold = 1;
        } else if (pManager) {
            pManager->m_nGameMode = 0;
        }
    }
    for (int i = 0; i < 8; ++i) {
        if (!PtInRect(m_rects[i], pt)) continue;
        if (i == 2 && pFrame) pFrame->m_bSoundOn = 1;
        if (i == 3 && pFrame) pFrame->m_bSoundOn = 0;
        if (i == 4 && pPlayer && m_nKnobX > kOrigin.x + 75) {
            m_nKnobX -= 32;
            if (pPlayer->nWalkStep > 4) --pPlayer->nWalkStep;
            if (pPlayer->nRunStep > 8) --pPlayer->nRunStep;
        }
        if (i == 5 && pPlayer && m_nKnobX < kOrigin.x + 144) {
            m_nKnobX += 32;
            if (pPlayer->nWalkStep < 8) ++pPlayer->nWalkStep;
            if (pPlayer->nRunStep < 12) ++pPlayer->nRunStep;
        }
        if (m_pSlot[kKnobSlot]) m_pSlot[kKnobSlot]->SetPos(m_nKnobX, m_pSlot[kKnobSlot]->GetPosY());
    }
}
