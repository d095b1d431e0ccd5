#include "world/GroundItem.h"

#include <cstdio>
#include <cstring>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/Stream.h"
#include "platform/Text.h"
#include "shell/ShellGlobals.h"
#include "world/MenuPicture.h"
#include "world/Scene.h"

CGroundItem::CGroundItem() = default;
CGroundItem::~CGroundItem() = default;

void CGroundItem::Init(int nNewItem, int x, int y, int nNewSlot, int nNewCount, const CScene* pOwner) {
    nItem = nNewItem;
    nSlot = nNewSlot;
    const ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
    const int nPicture = pRow ? pRow->nTypeOnGround : 0;
    char szName[32];
    std::snprintf(szName, sizeof szName, "DWP%03d.bmp", nPicture);
    // Picture 0 is money.
    if (nPicture == 0 && nNewCount > 0) nCount = nNewCount;
    ptCell = POINT{x, y};
    if (pOwner) {
        const POINT cell = pOwner->PixelToCell(x, y);
        const POINT pt = pOwner->GetCellPoint(cell.x, cell.y);
        if (pt.x != -1 || pt.y != -1) ptCell = pt;
    }
    pPicture = LoadMenuPicture(szName);
    pLabel = LoadMenuPicture("ShowMoney.bmp");
    if (pPicture) szFrameSize = SIZE{pPicture->GetWidth() / 2, pPicture->GetHeight()};
    rcDrop = RECT{x, y, x + szFrameSize.cx, y + szFrameSize.cy};
    if (nCount < 1) {
        std::snprintf(szLabel, sizeof szLabel, "%s", pRow && pRow->pName ? pRow->pName : "");
    } else {
        char szFormat[64] = {};
        if (LoadString(kMoneyLabelString, szFormat, int(sizeof szFormat)) == 0) std::strcpy(szFormat, "%d");
        // The format comes from our own string table and holds one number.
        std::snprintf(szLabel, sizeof szLabel, szFormat, nCount);
    }
    MakeLabel();
    timeNow = timeToggle = TimeGetTime();
    bBlink = 0;
}

void CGroundItem::MakeLabel() {
    if (!pLabel) return;
    RECT rc{0, 0, 120, 15};
    pLabel->DrawText(szLabel, RGB(255, 255, 255), &rc, DT_CENTER);
    pLabel->SetColorKeyFromCorner();
}

void CGroundItem::Draw(bool bHovered, POINT ptView) {
    if (!pPicture) return;
    if (!bHovered) {
        timeNow = TimeGetTime();
        const DWORD dwHold = bBlink ? kGroundBlinkOnMs : kGroundBlinkOffMs;
        if (timeNow - timeToggle > dwHold) {
            bBlink = !bBlink;
            timeToggle = timeNow;
        }
    }
    if (!pBack) return;
    const int nShow = bHovered ? 1 : bBlink;
    const RECT rcFrame{nShow * szFrameSize.cx, 0, (nShow + 1) * szFrameSize.cx, szFrameSize.cy};
    pPicture->BlitKeyed(pBack, ptCell.x - ptView.x - 12, ptCell.y - ptView.y - 16, &rcFrame);
}

void CGroundItem::Save(CByteWriter& out) const {
    out.WriteI32(nItem);
    out.WriteI32(nCount);
    out.WriteI32(nSlot);
    out.WriteI32(ptCell.x);
    out.WriteI32(ptCell.y);
}
