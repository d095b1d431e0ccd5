// The scene's frame: the update (cell marks and object animation around the steps of
// the characters and heroes), the draw in depth order and the hit test.
#include <algorithm>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"
#include "world/SceneHost.h"

namespace {

constexpr DWORD kMarkerStepMs = 150;

bool IsActorKind(int nKind) { return nKind >= kKindNpc && nKind <= kKindPartyHero; }

// Advances a frame counter without overflowing a frame read from a file.
std::int32_t NextFrame(std::int32_t nFrame, std::int32_t nFrames) {
    return std::int32_t((std::int64_t(nFrame) + 1) % nFrames);
}

}  // namespace

void CScene::Update() {
    if (!SceneHost().IsInGame()) return;
    WatchDefeats();
    timeNow = TimeGetTime();
    if (timeNow - timeLastRespawn >= kRespawnMs) {
        timeLastRespawn = timeNow;
        RespawnNpcs();
    }
    UpdateMarks();
    UpdateEachNpc();
    if (!UpdateHeroes()) return;
    UpdateHoverGroundItem();
    AnimateObjects();
}

void CScene::UpdateMarks() {
    for (size_t i = 0; i < pCells.size(); ++i) {
        if (pCells[i].nMark < 0) continue;
        if (++pMarkTimer[i] > kMarkLifeUpdates) {
            pCells[i].nMark = -1;
            pMarkTimer[i] = 0;
        }
    }
}

void CScene::AnimateObjects() {
    if (dwNowTime - timeLastAnimation < kAnimationStepMs) return;
    timeLastAnimation = dwNowTime;
    for (auto& pObject : lists[kListD]) {
        const CScenePic* pPic = GetPicture(pObject->nPicture);
        if (pPic && pPic->nFrameCount != 0) pObject->nFrame = NextFrame(pObject->nFrame, pPic->nFrameCount);
    }
    for (int list : {kListA, kListB})
        for (auto& pObject : lists[list]) {
            const CScenePic* pPic = GetPicture(pObject->nPicture);
            if (pPic && pPic->nFrameCount > 1) pObject->nFrame = NextFrame(pObject->nFrame, pPic->nFrameCount);
        }
    auto pFlagsA = SceneHost().GetEventFlagsA();
    auto pFlagsB = SceneHost().GetEventFlagsB();
    auto& levers = lists[kListG];
    for (size_t i = 0; i < levers.size(); ++i) {
        CMapObject& lever = *levers[i];
        const CScenePic* pPic = GetPicture(lever.nPicture);
        if (!pPic || pPic->nFrameCount <= 1) continue;
        if (nStepObjectId < 0 || nStepObjectId != lever.nId) continue;
        // One script step advances one lever by one frame.
        nStepObjectId = -1;
        if (bStepToggleWall && !IsCellFree(lever.ptCellPos.x, lever.ptCellPos.y)) {
            ToggleWall(lever.ptCellPos.x, lever.ptCellPos.y);
            bStepToggleWall = 0;
        }
        lever.nFrame = NextFrame(lever.nFrame, pPic->nFrameCount);
        // The tables have 100 columns; levers past them keep no frame.
        if (pFlagsA && pFlagsB && nSceneNo >= 0 && nSceneNo < kSceneFlagRows && i < size_t(kSceneFlagColumns) &&
            pFlagsA[nSceneNo][i] != 0)
            pFlagsB[nSceneNo][i] = lever.nFrame;
    }
}

void CScene::Draw() {
    if (CDXSprite* pPicture = SceneHost().GetBackPicture()) {
        if (pBack) pPicture->Draw(pBack, 0, 0, BLT_KEYED);
        return;
    }
    RebuildBlockMap();
    UpdateNpcFootprints();
    POINT ptHero;
    bool bWalking = false;
    if (!bHoldView && GetHeroPoint(&ptHero, &bWalking) && bWalking) ScrollToPoint(ptHero.x, ptHero.y);
    ClearOutsideMap();
    BuildDrawList();
    DrawFlatObjects();
    SceneHost().ReapEffects();
    DrawSortedObjects();
    DrawUpperObjects();
    DrawOverlayObjects();
    ReleaseIdlePictures();
}

void CScene::ClearOutsideMap() {
    if (!pBack) return;
    const CSceneHost& host = SceneHost();
    const int sw = host.GetScreenWidth(), sh = host.GetScreenHeight();
    const int nLeft = std::clamp(int(rcMap.left - ptView.x), 0, sw), nRight = std::clamp(int(rcMap.right - ptView.x), 0, sw);
    const int nTop = std::clamp(int(rcMap.top - ptView.y), 0, sh), nBottom = std::clamp(int(rcMap.bottom - ptView.y), 0, sh);
    auto clear = [](int x1, int y1, int x2, int y2) {
        if (x1 < x2 && y1 < y2) pBack->FillRect(x1, y1, x2, y2, 0);
    };
    clear(0, 0, sw, nTop);
    clear(0, nBottom, sw, sh);
    clear(0, nTop, nLeft, nBottom);
    clear(nRight, nTop, sw, nBottom);
}

void CScene::DrawObjectsAgain() {
    DrawFlatObjects();
    DrawSortedObjects();
}

RECT CScene::VisibleArea() const {
    const CSceneHost& host = SceneHost();
    return RECT{ptView.x, ptView.y, ptView.x + host.GetScreenWidth(),
                ptView.y + host.GetScreenHeight() - kToolbarStripHeight};
}

void CScene::DrawIfVisible(const CMapObject& object, const RECT& rcVisible, bool bSmallTiles) {
    const CScenePic* pPic = GetPicture(object.nPicture);
    if (!pPic) return;
    RECT rc = object.rcObject, rcMeet;
    OffsetRect(&rc, pPic->ptDrawOffset.x, pPic->ptDrawOffset.y);
    if (!IntersectRect(&rcMeet, rc, rcVisible)) return;
    const RECT& r = object.rcObject;
    if (bSmallTiles && r.bottom - r.top <= 64 && r.right - r.left <= 64) object.DrawSmall();
    else object.Draw();
}

void CScene::DrawFlatObjects() {
    const RECT rcVisible = VisibleArea();
    for (auto& pObject : lists[kListA]) DrawIfVisible(*pObject, rcVisible, true);
    for (auto& pObject : lists[kListB]) DrawIfVisible(*pObject, rcVisible, false);
    for (auto& pObject : lists[kListG]) DrawIfVisible(*pObject, rcVisible, false);
    DrawGroundItems();
    DrawCellMarker();
}

void CScene::DrawCellMarker() {
    CellMarkerView marker;
    if (!pBack || !SceneHost().GetCellMarker(&marker) || !marker.bShown || !marker.ppFrames) return;
    if (dwNowTime <= kMarkerStepMs) return;
    const DWORD n = (dwNowTime - marker.dwStart) / kMarkerStepMs;
    if (n >= DWORD(kMarkerFrames) || !marker.ppFrames[n]) return;
    POINT cell = PixelToCell(marker.pt.x, marker.pt.y);
    switch (marker.nDirection) {
    case 0: case 1: case 2: ++cell.y; break;
    case 3: --cell.x; break;
    case 4: case 5: --cell.y; break;
    case 6: ++cell.x; --cell.y; break;
    case 7: ++cell.x; break;
    default: break;
    }
    const POINT centre = CellToPixel(cell.x, cell.y);
    marker.ppFrames[n]->BlitKeyed(pBack, centre.x - 16 - ptView.x, centre.y - 16 - ptView.y);
}

void CScene::BuildDrawList() {
    drawList.clear();
    for (auto& pObject : lists[kListD]) {
        if (drawList.size() >= size_t(kDrawListLimit)) break;
        if (!pObject->IsOnScreen()) continue;
        drawList.push_back(pObject.get());
        CScenePic* pPic = GetPicture(pObject->nPicture);
        if (pObject->nKind == 0 && pPic && !pPic->IsLoaded()) pPic->LoadSurface();
    }
    AppendNpcs();
    AppendHeroes();
    DepthSortDrawList();
}

void CScene::DepthSortDrawList() {
    const size_t n = drawList.size();
    for (size_t i = 0; i + 1 < n; ++i)
        for (size_t j = i + 1; j < n; ++j) {
            const int nOrder = drawList[i]->CompareDepth(*drawList[j]);
            // Overlapping footprints end the whole sort, as stored scenes expect.
            if (nOrder == -1) return;
            if (nOrder == 1) std::swap(drawList[i], drawList[j]);
        }
}

void CScene::DrawSortedObjects() {
    for (CMapObject* pObject : drawList) {
        if (!IsActorKind(pObject->nKind)) {
            pObject->Draw();
            continue;
        }
        // Scene effects appear at the hero's depth.
        if (pObject->nKind == kKindHero && SceneHost().IsSceneEffectWaiting()) SceneHost().UpdateEffects();
        if (pObject->nKind == kKindNpc) DrawNpc(pObject);
        else DrawHero(pObject, false);
    }
    for (CMapObject* pObject : drawList) {
        if (pObject->nKind == kKindNpc) DrawNpcTranslucent(pObject);
        else if (pObject->nKind == kKindHero || pObject->nKind == kKindPartyHero) DrawHero(pObject, true);
    }
}

void CScene::DrawUpperObjects() {
    const RECT rcVisible = VisibleArea();
    for (auto& pObject : lists[kListC]) DrawIfVisible(*pObject, rcVisible, false);
}

void CScene::DrawOverlayObjects() {
    for (auto& pObject : lists[kListE]) pObject->DrawAtRect();
    for (auto& pObject : lists[kListF]) pObject->DrawAtRect();
    DrawGroundItemLabel();
}

void CScene::ReleaseIdlePictures() {
    for (size_t i = 2; i < pPictures.size(); ++i)
        if (pPictures[i]) pPictures[i]->ReleaseIfIdle();
}

bool CScene::HitTestObjects(int x, int y) {
    pHitObject = nullptr;
    auto search = [&](int nList) {
        auto& list = lists[nList];
        for (size_t i = list.size(); i-- > 0;)
            if (list[i]->HitTest(x, y)) {
                pHitObject = list[i].get();
                return;
            }
    };
    // Later searches overwrite earlier finds: A wins over C, D, the characters, E and F.
    search(kListF);
    search(kListE);
    HitTestNpcs(x, y);
    search(kListD);
    search(kListC);
    search(kListA);
    return true;
}
