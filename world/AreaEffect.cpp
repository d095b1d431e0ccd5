#include "world/AreaEffect.h"

#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/Scene.h"
#include "world/WorldMath.h"

namespace {

const AreaPatternRow* PatternRow(int n) { return pGameData ? pGameData->GetAreaPattern(n) : nullptr; }

}  // namespace

CAreaEffect::CAreaEffect() = default;

CAreaEffect::~CAreaEffect() = default;

bool CAreaEffect::Cast(int nBase, int x, int y, int nPatternNo, int nKind, int nDir) {
    const AreaPatternRow* pRow = PatternRow(nPatternNo);
    const AreaPatternTail* pTail = pGameData ? pGameData->GetAreaPatternTail(nPatternNo) : nullptr;
    if (!pRow || !pTail || !pScene || pRow->nCellCount < 0 || pRow->nCellCount + 1 < 1) return false;
    nMode = pTail->n[8] < 0 ? 0 : pTail->n[8];
    ptTarget = pScene->PixelToCell(x, y);
    nPattern = nPatternNo;
    nCount = pRow->nCellCount + 1;
    nCellEffect = pTail->n[7];
    nMarkBase = nBase;
    nMarkKind = nKind;
    nDirection = nDir;
    cellPoints.assign(size_t(nCount), POINT{0, 0});
    for (int i = 0; i < nCount; ++i) {
        POINT cell;
        // A cell off the grid (or past the pattern) has no point.
        if (PatternCell(i, &cell)) cellPoints[size_t(i)] = pScene->GetCellPoint(cell.x, cell.y);
    }
    SetGameFolderCurrent();
    Start();
    dwNow = dwLastStep = TimeGetTime();
    return true;
}

bool CAreaEffect::PatternCell(int i, POINT* pCell) const {
    const AreaPatternRow* pRow = PatternRow(nPattern);
    if (!pRow || i < 0 || i >= pRow->nCellCount || i >= nCount - 1) return false;
    *pCell = POINT{ptTarget.x + pRow->pCells[i].x, ptTarget.y + pRow->pCells[i].y};
    return true;
}

int CAreaEffect::CellMark(int i) const {
    const AreaPatternRow* pRow = PatternRow(nPattern);
    const int nStep = pRow && i >= 0 && i < pRow->nCellCount ? pRow->pSteps[i].n[0] : 0;
    return SaturatingAdd(nStep, nMarkBase);
}

void CAreaEffect::MarkCell(int i, int nMark) {
    POINT cell;
    if (pScene && PatternCell(i, &cell)) pScene->SetCellMark(cell.x, cell.y, nMark, nMarkKind);
}

void CAreaEffect::ClearCell(int i) {
    POINT cell;
    if (pScene && PatternCell(i, &cell)) pScene->ClearCellMark(cell.x, cell.y);
}

void CAreaEffect::ClearAllCells() {
    for (int i = 0; i < nCount; ++i) ClearCell(i);
}

void CAreaEffect::AddCellEffect(int nEffect, int i, int dx, int dy) const {
    POINT cell;
    if (!pScene || !pEffectManager || !PatternCell(i, &cell) || !pScene->IsInGrid(cell.x, cell.y)) return;
    const POINT centre = pScene->CellToPixel(cell.x, cell.y);
    pEffectManager->Add45Effect(nEffect, centre.x + dx, centre.y + dy);
}

void CAreaEffect::Start() {
    switch (nMode) {
    case 0: {
        for (int i = 0; i < nCount; ++i) {
            MarkCell(i, CellMark(i));
            if (nCellEffect != -1) AddCellEffect(nCellEffect, i, -64, -100);
        }
        const AreaPatternRow* pRow = PatternRow(nPattern);
        nStepsLeft = pRow && pRow->nCellCount > 0 ? pRow->pSteps[0].n[1] : 0;
        nNextCell = nCount;
        break;
    }
    case 1:
    case 2:
        nStepsLeft = nCount;
        MarkCell(0, CellMark(0));
        nNextCell = 1;
        break;
    case 3:
        nNextCell = 1;
        nStepsLeft = nCount;
        MarkCell(0, nMarkBase);
        nPhase = 1;
        break;
    default:
        // A mode past 3 lays nothing; the effect ends at its step count.
        nStepsLeft = nCount;
        break;
    }
}

void CAreaEffect::Step() {
    if ((nMode == 1 || nMode == 2) && nPhase == 0) {
        if (nNextCell < nCount) {
            MarkCell(nNextCell - 1, CellMark(nNextCell - 1));
            ++nNextCell;
            AddCellEffect(0, nNextCell - 1, -64, -200);
        }
    } else if (nMode == 2) {
        ClearCell(nPhase);
        ++nPhase;
    } else if (nMode == 3) {
        if (nNextCell < nCount) {
            ClearCell(nNextCell - 2);
            MarkCell(nNextCell - 1, CellMark(nNextCell - 1));
            nPhase = nNextCell;
            ++nNextCell;
        }
    }
}

bool CAreaEffect::Finish() {
    switch (nMode) {
    case 2:
        if (nPhase == 0) {
            nPhase = 1;
            nStepsLeft = nCount;
            return true;
        }
        ClearAllCells();
        nPhase = 0;
        return false;
    case 3:
        // The running mark ends here and takes its last mark (the cell the last step
        // reached) with it. Reporting finished frees the pool slot, where a phase kept
        // above 0 would tick (and hold the slot) for the rest of the game.
        ClearCell(nNextCell - 2);
        return false;
    default:
        ClearAllCells();
        return false;
    }
}

bool CAreaEffect::Tick() {
    dwNow = TimeGetTime();
    if (dwNow - dwLastStep <= kStepMs) return true;
    dwLastStep = dwNow;
    if (--nStepsLeft < 1) return Finish();
    Step();
    return true;
}
