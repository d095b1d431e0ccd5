#include "world/CellArea.h"

#include "shell/ShellGlobals.h"
#include "world/Scene.h"

void CCellArea::AddCell(int cx, int cy) {
    if (nCells >= kCellAreaMaxCells) return;
    ptCells[nCells].x = cx;
    ptCells[nCells].y = cy;
    ++nCells;
}

bool CCellArea::Contains(int x, int y) const {
    if (!pScene) return false;
    const POINT cell = pScene->PixelToCell(x, y);
    for (int i = 0; i < nCells && i < kCellAreaMaxCells; ++i)
        if (ptCells[i].x == cell.x && ptCells[i].y == cell.y) return true;
    return false;
}
