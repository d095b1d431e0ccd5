#include "world/MapObject.h"

#include <cstring>

#include "CDX/CDXScreen.h"
#include "shell/ShellGlobals.h"
#include "world/MapFile.h"
#include "world/Scene.h"
#include "world/SceneHost.h"
#include "world/ScenePic.h"

void CMapObject::Read(const MapObjectRecord& r) {
    nKind = r.nKind;
    nId = r.nId;
    nPicture = r.nPicture;
    nFrame = r.nFrame;
    ptCellPos = POINT{r.nCellX, r.nCellY};
    ptObject = POINT{r.nPointX, r.nPointY};
    rcObject = RECT{r.nLeft, r.nTop, r.nRight, r.nBottom};
    std::memcpy(szName, r.szName.data(), sizeof szName);
}

CScenePic* CMapObject::Picture() const { return pScene ? pScene->GetPicture(nPicture) : nullptr; }

SIZE CMapObject::Footprint() const {
    const CScenePic* pPic = Picture();
    return pPic ? pPic->szFootprint : SIZE{1, 1};
}

void CMapObject::UpdateRect() {
    const CScenePic* pPic = Picture();
    if (!pScene || !pPic) return;
    const POINT pt = pScene->CellToPixel(ptCellPos.x, ptCellPos.y);
    rcObject.left = pt.x - pPic->ptFootprintOffset.x;
    rcObject.top = pt.y - pPic->ptFootprintOffset.y;
    rcObject.right = rcObject.left + pPic->szFrame.cx;
    rcObject.bottom = rcObject.top + pPic->szFrame.cy;
}

bool CMapObject::IsOnScreen() const {
    const CScenePic* pPic = Picture();
    if (!pScene || !pPic) return false;
    const POINT view = pScene->ptView;
    const POINT off = pPic->ptDrawOffset;
    const CSceneHost& host = SceneHost();
    if (rcObject.left + off.x > view.x + host.GetScreenWidth()) return false;
    if (rcObject.top + off.y > view.y + host.GetScreenHeight()) return false;
    if (rcObject.right + off.x < view.x) return false;
    if (rcObject.bottom + off.y < view.y) return false;
    return true;
}

void CMapObject::Draw() const {
    CScenePic* pPic = Picture();
    if (!pPic) return;
    const POINT view = pScene->ptView;
    pPic->DrawFrame(rcObject.left - view.x + pPic->ptDrawOffset.x, rcObject.top - view.y + pPic->ptDrawOffset.y, nFrame);
}

void CMapObject::DrawSmall() const {
    CScenePic* pPic = Picture();
    if (!pPic) return;
    const POINT view = pScene->ptView;
    pPic->DrawSmall(rcObject.left - view.x + pPic->ptDrawOffset.x, rcObject.top - view.y + pPic->ptDrawOffset.y, nFrame);
}

void CMapObject::DrawAtRect() const {
    CScenePic* pPic = Picture();
    if (!pPic) return;
    pPic->DrawPlain(pBack, rcObject.left - pScene->ptView.x, rcObject.top - pScene->ptView.y, nFrame);
}

bool CMapObject::HitTest(int x, int y) const {
    CScenePic* pPic = Picture();
    if (!pPic || !pPic->IsLoaded()) return false;
    if (!PtInRect(rcObject, POINT{x, y})) return false;
    return pPic->HitTestPixel(x - rcObject.left, y - rcObject.top, nFrame);
}

namespace {

bool IsFollowerPair(int a, int b) {
    return (a == kKindFollower && (b == kKindHero || b == kKindFollower)) ||
           (a == kKindPartyHero && (b == kKindHero || b == kKindPartyHero));
}

}  // namespace

int CMapObject::CompareDepth(const CMapObject& other) const {
    const int x1 = ptCellPos.x, y1 = ptCellPos.y, x2 = other.ptCellPos.x, y2 = other.ptCellPos.y;
    const SIZE f1 = Footprint(), f2 = other.Footprint();
    const int fw1 = f1.cx, fh1 = f1.cy, fw2 = f2.cx, fh2 = f2.cy;
    if (IsFollowerPair(nKind, other.nKind) && x1 <= x2) {
        if (y2 < y1) return 1;
        if (y2 > y1) return 0;
    }
    // Footprints from the origin to origin + size - 1, intersected as half-open
    // rectangles: a one-cell footprint meets nothing.
    RECT a{x1, y1, x1 + fw1 - 1, y1 + fh1 - 1}, b{x2, y2, x2 + fw2 - 1, y2 + fh2 - 1}, overlap;
    if (IntersectRect(&overlap, a, b)) return -1;
    if (x2 <= x1 && y2 < y1) return 1;
    if (x2 <= x1 + fw1 - 1 && y2 + fh2 - 1 < y1) return 1;
    if (y2 > y1 + fh1 - 1) return 0;
    return x2 + fw2 - 1 < x1 ? 1 : 0;
}
