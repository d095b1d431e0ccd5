// The ground items of the scene: dropping on the nearest free cell, removing, the save
// block, the item under the cursor, and their draw with the hovered item's label.
#include <algorithm>
#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "platform/Stream.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"
#include "world/SceneHost.h"

namespace {

constexpr int kRingSteps[8][2] = {{1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}};

}  // namespace

bool CScene::DropItemOnGround(int nItem, int x, int y, int nCount) {
    // An empty slot is saved as item -1, so -1 cannot lie on the ground.
    if (nItem < 0 || nGridWidth <= 0 || nGridHeight <= 0) return false;
    int nSlot = -1;
    for (int i = 0; i < nCellCount && i < int(pGroundItems.size()); ++i)
        if (!pGroundItems[size_t(i)]) {
            nSlot = i;
            break;
        }
    if (nSlot < 0) return false;
    POINT start = PixelToCell(x, y);
    // A drop off the grid starts from the nearest cell of the grid.
    start.x = std::clamp<LONG>(start.x, 0, nGridWidth - 1);
    start.y = std::clamp<LONG>(start.y, 0, nGridHeight - 1);
    auto takes = [&](int cx, int cy) {
        const size_t n = size_t(CellIndex(cx, cy));
        return pCells[n].nGroundItem == -1 && pCells[n].nWall == 0 && pBlocked[n] == 0;
    };
    POINT chosen = start;
    if (!takes(start.x, start.y)) {
        bool bDone = false;
        for (int r = 1; !bDone; ++r)
            for (const auto& step : kRingSteps) {
                const int cx = start.x + step[0] * r, cy = start.y + step[1] * r;
                if (!IsInGrid(cx, cy)) {
                    bDone = true;
                    break;
                }
                if (takes(cx, cy)) {
                    chosen = POINT{cx, cy};
                    bDone = true;
                    break;
                }
            }
    }
    const POINT centre = CellToPixel(chosen.x, chosen.y);
    auto pItem = std::make_unique<CGroundItem>();
    pItem->Init(nItem, centre.x, centre.y, nSlot, nCount, this);
    const int nIndex = CellIndex(chosen.x, chosen.y);
    pCells[size_t(nIndex)].nGroundItem = nItem;
    pItem->nCellIndex = nIndex;
    pGroundItems[size_t(nSlot)] = std::move(pItem);
    // Every drop adds one, as saved games count; never past the slots.
    nGroundItemCount = std::min(nGroundItemCount + 1, nCellCount);
    return true;
}

void CScene::RemoveGroundItem(int nSlot) {
    CGroundItem* pItem = GetGroundItem(nSlot);
    if (!pItem) return;
    // The cell keeps the item number: later drops pass over it, and the hover search
    // finds no item there.
    if (nHoverGroundItem == nSlot) nHoverGroundItem = -1;
    pGroundItems[size_t(nSlot)].reset();
}

void CScene::SaveGroundItems(CByteWriter& out) const {
    out.WriteI32(nGroundItemCount);
    for (int i = 0; i < nGroundItemCount; ++i) {
        if (const CGroundItem* pItem = GetGroundItem(i)) {
            pItem->Save(out);
            continue;
        }
        out.WriteI32(-1);
        for (int k = 0; k < 4; ++k) out.WriteI32(0);
    }
}

bool CScene::LoadGroundItems(CByteReader& in, std::string* pError) {
    // The block replaces the whole ground, the marks of removed items with it.
    for (int i = 0; i < int(pGroundItems.size()); ++i) RemoveGroundItem(i);
    for (SceneCell& cell : pCells) cell.nGroundItem = -1;
    nHoverGroundItem = -1;
    in.SetContext("ground items");
    std::int32_t nCount = 0;
    in.ReadI32(&nCount);
    if (!in.Failed() && (nCount < 0 || nCount > nCellCount)) {
        char szWhat[96];
        std::snprintf(szWhat, sizeof szWhat, "item count %d outside 0..%d", int(nCount), int(nCellCount));
        in.Fail(szWhat);
    }
    if (in.Failed() || !in.CheckCount(nCount, 20, "ground item")) {
        if (pError) *pError = in.Error();
        nGroundItemCount = 0;
        return false;
    }
    nGroundItemCount = nCount;
    for (int i = 0; i < nCount; ++i) {
        std::int32_t w[5] = {};
        in.SetRecord(i);
        for (auto& n : w) in.ReadI32(&n);
        const int nItem = w[0], nSlot = w[2];
        if (nItem == -1) continue;
        // Records that do not fit this scene are skipped.
        const POINT cell = PixelToCell(w[3], w[4]);
        if (nItem < 0 || (pGameData && !pGameData->GetItem(nItem))) continue;
        if (nSlot < 0 || nSlot >= nCellCount || size_t(nSlot) >= pGroundItems.size() || pGroundItems[size_t(nSlot)])
            continue;
        if (!IsInGrid(cell.x, cell.y)) continue;
        auto pItem = std::make_unique<CGroundItem>();
        pItem->Init(nItem, w[3], w[4], nSlot, w[1], this);
        const int nIndex = CellIndex(cell.x, cell.y);
        pCells[size_t(nIndex)].nGroundItem = nItem;
        pItem->nCellIndex = nIndex;
        pGroundItems[size_t(nSlot)] = std::move(pItem);
    }
    return true;
}

void CScene::UpdateHoverGroundItem() {
    nHoverGroundItem = -1;
    if (!pMouse) return;
    const POINT cell = PixelToCell(pMouse->m_nX + ptView.x, pMouse->m_nY + ptView.y);
    const SceneCell* pCell = CellAt(cell.x, cell.y);
    if (!pCell || pCell->nGroundItem < 0) return;
    const int nIndex = CellIndex(cell.x, cell.y);
    for (int i = 0; i < nGroundItemCount; ++i) {
        const CGroundItem* pItem = GetGroundItem(i);
        if (pItem && pItem->nCellIndex == nIndex && pItem->nItem == pCell->nGroundItem) {
            nHoverGroundItem = i;
            return;
        }
    }
}

void CScene::DrawGroundItems() {
    for (size_t i = 0; i < pGroundItems.size(); ++i)
        if (pGroundItems[i]) pGroundItems[i]->Draw(int(i) == nHoverGroundItem, ptView);
}

void CScene::DrawGroundItemLabel() {
    const CGroundItem* pItem = GetGroundItem(nHoverGroundItem);
    if (!pItem || !pBack) return;
    if (CDXSurface* pBox = SceneHost().GetLabelBox()) {
        const RECT rcBox{0, 0, 100, 30};
        pBox->BlitHalfAlphaKeyed(pBack, pItem->ptCell.x - 22 - ptView.x, pItem->ptCell.y - 38 - ptView.y, &rcBox);
    }
    if (pItem->pLabel) pItem->pLabel->BlitKeyed(pBack, pItem->ptCell.x - 32 - ptView.x, pItem->ptCell.y - 32 - ptView.y);
}
