// The characters' share of the scene: building them from the setting file, their
// footprints and cells, the defeat watch, the respawn pass, their update, their place
// in the draw list and the script access by id.
#include <algorithm>
#include <cstdio>

#include "gamedata/NpcPkg.h"
#include "platform/Clock.h"
#include "platform/Stream.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/NpcHost.h"
#include "world/PathFinder.h"
#include "world/MapFile.h"
#include "world/Scene.h"

namespace {

constexpr int kRespawnSpread = 5;

bool IsDown(const CNpc* pNpc) { return !pNpc || pNpc->Life() < 1; }

}  // namespace

void CScene::LoadNpcs() {
    pNpcs.clear();
    m_npcWarnings.clear();
    char szName[32];
    std::snprintf(szName, sizeof szName, "map\\scene%03d.set", nSceneNo);
    for (size_t i = 0; i < npcRecords.size(); ++i) {
        const auto& record = npcRecords[i];
        CByteReader in(record.data(), record.size(), szName);
        auto pNpc = std::make_unique<CNpc>();
        char szText[256];
        const bool bLoaded = pNpc->Load(in, this);
        const int nId = pNpc->mapObject.nId;
        if (!bLoaded) {
            std::snprintf(szText, sizeof szText, "%s: character %zu: id %d is outside 0..%d; it is left out", szName, i,
                          nId, kStateEntries - 1);
            m_npcWarnings.push_back(szText);
            continue;
        }
        const int nCellX = int(pNpc->mapObject.ptCellPos.x), nCellY = int(pNpc->mapObject.ptCellPos.y);
        if (!IsInGrid(nCellX, nCellY)) {
            std::snprintf(szText, sizeof szText,
                          "%s: character %zu (id %d) stands at cell (%d, %d), outside the %d x %d grid", szName, i, nId,
                          nCellX, nCellY, nGridWidth, nGridHeight);
            m_npcWarnings.push_back(szText);
        }
        const int nSculpt = int(pNpc->nSculpt);
        if (!pNpc->BindSculpt()) {
            // The game's own words first, then the file and the record at fault.
            std::snprintf(szText, sizeof szText, "Init NPC failed, Sculpt : %d\n%s: character %zu (id %d): sculpt %d is outside 0..%d",
                          nSculpt, szName, i, nId, nSculpt, kSculptCount - 1);
            NpcHost().FailNpcInit(szText);
            break;
        }
        // A negative sculpt is drawn as sculpt 0.
        if (nSculpt < 0) {
            std::snprintf(szText, sizeof szText,
                          "%s: character %zu (id %d): sculpt %d is negative; it is drawn as sculpt 0", szName, i, nId,
                          nSculpt);
            m_npcWarnings.push_back(szText);
        }
        // A sculpt in range that the package holds no standing frames for hides the character.
        if (pNpc->nFrameCounts[0] == 0) {
            std::snprintf(szText, sizeof szText,
                          "%s: character %zu (id %d): sculpt %d has no frames in bmp\\npc.pkg; the character is not shown",
                          szName, i, nId, int(pNpc->nSculpt));
            m_npcWarnings.push_back(szText);
        }
        pNpcs.push_back(std::move(pNpc));
    }
}

int CScene::FindNpcById(int nId) const {
    for (size_t i = 0; i < pNpcs.size(); ++i)
        if (pNpcs[i]->mapObject.nId == nId) return int(i);
    return -1;
}

void CScene::SetNpcPosition(int nId, int x, int y) {
    CNpc* pNpc = GetNpc(FindNpcById(nId));
    if (!pNpc) return;
    pNpc->pState->nMapX = x;
    pNpc->pState->nMapY = y;
    pNpc->SetHitRect();
}

void CScene::SetNpcDirection(int nId, int nDirection) {
    CNpc* pNpc = GetNpc(FindNpcById(nId));
    // A negative direction wraps too, so the record never holds one outside 0..7.
    if (pNpc) pNpc->pState->nDirection = std::int8_t(((nDirection % 8) + 8) % 8);
}

bool CScene::MoveNpcTo(int nId, int x, int y) {
    CNpc* pNpc = GetNpc(FindNpcById(nId));
    if (!pNpc || pNpc->Display() != kNpcShown) return false;
    // The script's run flag makes the walk a run: a walk started in action 2 goes by
    // the chase step. A run that found no path and took no step leaves the character
    // in the action it had, so it does not set off toward an old waypoint.
    const int nWasAction = pNpc->nAction;
    const POINT ptWas{pNpc->pState->nMapX, pNpc->pState->nMapY};
    if (NpcHost().TakeNpcWalkModeFlag()) pNpc->nAction = kNpcChase;
    pNpc->MoveTo(x, y);
    const bool bWaypoints = pNpc->pPath && pNpc->pPath->nWaypoints > 0;
    const bool bMoved = pNpc->pState->nMapX != ptWas.x || pNpc->pState->nMapY != ptWas.y;
    if (!bWaypoints && !bMoved && pNpc->nAction == kNpcChase) pNpc->nAction = nWasAction;
    return bWaypoints;
}

bool CScene::IsNpcStopped(int nId) const {
    const CNpc* pNpc = GetNpc(FindNpcById(nId));
    return pNpc && pNpc->Life() < 1;
}

int CScene::GetNpcClass(int nId) const {
    const CNpc* pNpc = GetNpc(FindNpcById(nId));
    return pNpc ? pNpc->nClass : -1;
}

void CScene::RebindNpcStates() {
    for (auto& pNpc : pNpcs)
        pNpc->RebindState(pEffectManager ? pEffectManager->GetNpcState(nSceneNo, pNpc->mapObject.nId) : nullptr);
}

void CScene::ReviveDeadNpcs() {
    for (auto& pNpc : pNpcs) {
        if (pNpc->Display() != kNpcCorpse) continue;
        if (pNpc->bRevive) {
            pNpc->pState->nDisplay = kNpcShown;
            pNpc->BindFightStats();
            pNpc->SetAction(kNpcStand);
        } else {
            pNpc->pState->nDisplay = kNpcGone;
        }
    }
}

void CScene::UpdateNpcs() {
    for (auto& pNpc : pNpcs) pNpc->ResetPos();
}

void CScene::WatchDefeats() {
    if (!watch.bArmed) return;
    // Indices past the array hold no character and count as down.
    std::vector<int> watched;
    if (watch.nMode == 0) {
        const int nFirst = std::max(watch.nFirst, 0), nLast = std::min(watch.nLast, GetNpcCount() - 1);
        for (int i = nFirst; i <= nLast; ++i) watched.push_back(i);
    } else {
        for (int k = 0; k < std::min(watch.nCount, 10); ++k) watched.push_back(watch.nList[k]);
    }
    for (int i : watched)
        if (!IsDown(GetNpc(i))) return;
    // A refused event keeps the watch armed for the next frame.
    if (NpcHost().StartEvent(watch.nEvent) < 0) return;
    for (int i : watched) {
        if (CNpc* pNpc = GetNpc(i)) {
            pNpc->timeDeath = dwNowTime - kCorpseMs;
            pNpc->Hide();
        }
    }
    watch = DefeatWatch{};
}

void CScene::RespawnNpcs() {
    for (auto& pNpc : pNpcs) {
        if (pNpc->Display() != kNpcGoneRevive || !pNpc->bRevive) continue;
        pNpc->pState->nDisplay = kNpcShown;
        pNpc->BindFightStats();
        POINT cell = PixelToCell(pNpc->ptHome.x, pNpc->ptHome.y);
        Srand(TimeGetTime());
        const int dx = Rand() % (2 * kRespawnSpread + 1) - kRespawnSpread;
        const int dy = Rand() % (2 * kRespawnSpread + 1) - kRespawnSpread;
        if (IsCellFree(cell.x + dx, cell.y + dy)) cell = POINT{cell.x + dx, cell.y + dy};
        const POINT pt = CellToPixel(cell.x, cell.y);
        pNpc->SetMapPos(pt.x, pt.y);
        pNpc->SetAction(kNpcStand);
    }
}

void CScene::UpdateEachNpc() {
    for (auto& pNpc : pNpcs) pNpc->Update();
}

void CScene::PlaceNpcFootprint(CNpc& npc) {
    CMapObject& object = npc.mapObject;
    const POINT origin = PixelToCell(npc.pState->nMapX, npc.pState->nMapY);
    object.ptCellPos = origin;
    const CScenePic* pPic = GetPicture(object.nPicture);
    const SIZE size = pPic ? pPic->szFootprint : SIZE{1, 1};
    if (size.cx <= 0 || size.cy <= 0) return;
    const std::int64_t x2 = std::int64_t(origin.x) + size.cx - 1, y2 = std::int64_t(origin.y) + size.cy - 1;
    if (origin.x < 0 || origin.y < 0 || x2 >= nGridWidth || y2 >= nGridHeight) return;
    for (int y = origin.y; y <= y2; ++y)
        for (int x = origin.x; x <= x2; ++x)
            if (pCells[size_t(CellIndex(x, y))].nOccupantKind != -1) return;
    for (int y = origin.y; y <= y2; ++y)
        for (int x = origin.x; x <= x2; ++x) {
            SceneCell& cell = pCells[size_t(CellIndex(x, y))];
            cell.nOccupantKind = object.nKind;
            cell.nOccupantId = object.nId;
            cell.nWall = 0;
        }
}

void CScene::PlaceNpcFootprints() {
    for (auto& pNpc : pNpcs) {
        if (pNpc->IsShown()) PlaceNpcFootprint(*pNpc);
        else PlaceObjectFootprint(&pNpc->mapObject);
    }
}

void CScene::PlaceNpcCells() {
    for (auto& pNpc : pNpcs) pNpc->mapObject.ptCellPos = PixelToCell(pNpc->pState->nMapX, pNpc->pState->nMapY);
}

void CScene::BlockNpcCells() {
    for (auto& pNpc : pNpcs) {
        const POINT cell = pNpc->mapObject.ptCellPos;
        if (IsInGrid(cell.x, cell.y)) pBlocked[size_t(CellIndex(cell.x, cell.y))] = pNpc->IsShown() ? 1 : 0;
    }
}

void CScene::AppendNpcs() {
    RECT rcVisible = VisibleArea(), rcMeet;
    for (auto& pNpc : pNpcs) {
        pNpc->bSeen = 0;
        const std::int8_t nDisplay = pNpc->Display();
        if (pNpc->nClass == 1 || nDisplay == kNpcHidden || nDisplay == kNpcGone) continue;
        if (!IntersectRect(&rcMeet, pNpc->mapObject.rcObject, rcVisible)) continue;
        if (drawList.size() >= size_t(kDrawListLimit)) break;
        drawList.push_back(&pNpc->mapObject);
        pNpc->bSeen = 1;
    }
}

CNpc* CScene::NpcOfObject(const CMapObject* pObject) const {
    for (auto& pNpc : pNpcs)
        if (&pNpc->mapObject == pObject) return pNpc.get();
    return nullptr;
}

void CScene::DrawNpc(CMapObject* pObject) {
    if (CNpc* pNpc = NpcOfObject(pObject)) pNpc->Draw();
}

void CScene::DrawNpcTranslucent(CMapObject* pObject) {
    if (CNpc* pNpc = NpcOfObject(pObject)) pNpc->DrawTranslucent();
}

void CScene::HitTestNpcs(int x, int y) {
    for (size_t i = pNpcs.size(); i-- > 0;)
        if (pNpcs[i]->mapObject.HitTest(x, y)) {
            pHitObject = &pNpcs[i]->mapObject;
            return;
        }
}
