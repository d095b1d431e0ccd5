#include "world/FreeCell.h"

#include "world/Scene.h"

namespace {

// Ring r around (cx, cy): each ray's cells from distance r down to 1, the rays in a
// fixed order; the first free cell.
bool SearchRing(const CScene& scene, POINT c, int r, POINT* pFound) {
    static constexpr int kRays[8][2] = {{0, -1}, {0, 1}, {-1, 0}, {-1, -1}, {-1, 1}, {1, 0}, {1, -1}, {1, 1}};
    for (const auto& ray : kRays)
        for (int k = r; k >= 1; --k) {
            const POINT cell{c.x + ray[0] * k, c.y + ray[1] * k};
            if (scene.IsCellFree(cell.x, cell.y)) {
                *pFound = cell;
                return true;
            }
        }
    return false;
}

}  // namespace

POINT FindFreeMapPoint(const CScene& scene, int x, int y) {
    const POINT c = scene.PixelToCell(x, y);
    if (scene.IsCellFree(c.x, c.y)) return POINT{x, y};
    for (int r = 1; r <= kFreePointRings; ++r) {
        POINT cell;
        if (SearchRing(scene, c, r, &cell)) return scene.CellToPixel(cell.x, cell.y);
    }
    return POINT{-1, -1};
}
