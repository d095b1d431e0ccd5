#include "world/Scene.h"

#include <algorithm>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "shell/ShellGlobals.h"
#include "world/SceneHost.h"

CScene::CScene() { SetGameFolderCurrent(); }

CScene::~CScene() {
    if (pBitmapData) pBitmapData->FreeEffectFrames();
    if (pScene == this) pScene = nullptr;
}

bool CScene::InitMap(int nWidth, int nHeight, int nKind, int nSize) {
    std::int32_t nGw = 0, nGh = 0;
    if (!MapGridSize(nWidth, nHeight, nKind, nSize, &nGw, &nGh)) return false;
    SceneHost().SetShadowScale(float(nSize) / 160.0f);
    nGridKind = nKind;
    nCellSize = nSize;
    nGridWidth = nGw;
    nGridHeight = nGh;
    if (nKind == 0) {
        ptDiamondOrigin = POINT{0, 0};
        rcMap = RECT{0, 0, nGridWidth * nSize, nGridHeight * nSize};
    } else {
        ptDiamondOrigin = POINT{nWidth * nSize, -(nWidth * nSize) / 2};
        rcMap = RECT{0, 0, 2 * nWidth * nSize, nHeight * nSize};
    }
    nCellCount = nGridWidth * nGridHeight;
    const size_t n = size_t(nCellCount);
    pCells.assign(n, SceneCell{});
    pBlocked.assign(n, 0);
    pPathCost.assign(n, 0);
    pPathState.assign(n, 0);
    pMarkTimer.assign(n, 0);
    pRegions.assign(n, RegionRecord{});
    for (auto& list : lists) {
        list.clear();
        list.reserve(std::min<size_t>(n, 4096));
    }
    ResetPictures();
    return true;
}

void CScene::ResetPictures() {
    pPictures.clear();
    std::fill(std::begin(nLayerCount), std::end(nLayerCount), 0);
    const POINT ptDraw{nGridKind == 0 ? nCellSize / 2 : 0, 0};
    auto pNpc = std::make_unique<CScenePic>();
    pNpc->InitBuiltIn("NPC_BMP", 64, 96, POINT{32, 64}, 12, 15, ptDraw);
    auto pCrate = std::make_unique<CScenePic>();
    pCrate->InitBuiltIn("CRATE_BMP", 64, 64, POINT{32, 32}, 11, 2, ptDraw);
    ++nLayerCount[pNpc->nLayer];
    ++nLayerCount[pCrate->nLayer];
    pPictures.push_back(std::move(pNpc));
    pPictures.push_back(std::move(pCrate));
}

POINT CScene::PixelToCell(int x, int y) const {
    const int c = nCellSize;
    if (nGridKind == 0) return POINT{x / c, y / c};
    const std::int64_t xd = std::int64_t(x) - ptDiamondOrigin.x, yd = std::int64_t(y) - ptDiamondOrigin.y;
    const std::int64_t a = xd + 2 * yd, b = 2 * yd - xd;
    std::int64_t cx = a / (2 * c), cy = b / (2 * c);
    if (a <= 0) --cx;
    if (b <= 0) --cy;
    return POINT{LONG(cx), LONG(cy)};
}

POINT CScene::CellToPixel(int cx, int cy) const {
    const int c = nCellSize;
    if (nGridKind == 0) return POINT{cx * c + c / 2, cy * c + c / 2};
    return POINT{(cx - cy) * c + ptDiamondOrigin.x, (cx + cy) * (c / 2) + ptDiamondOrigin.y + c / 2};
}

SceneCell* CScene::CellAt(int cx, int cy) {
    return IsInGrid(cx, cy) ? &pCells[size_t(CellIndex(cx, cy))] : nullptr;
}

const SceneCell* CScene::CellAt(int cx, int cy) const {
    return IsInGrid(cx, cy) ? &pCells[size_t(CellIndex(cx, cy))] : nullptr;
}

POINT CScene::GetCellPoint(int cx, int cy) const {
    const SceneCell* pCell = CellAt(cx, cy);
    return pCell ? POINT{pCell->nPointX, pCell->nPointY} : POINT{-1, -1};
}

int CScene::GetCellRegion(int x, int y) const {
    const POINT cell = PixelToCell(x, y);
    const SceneCell* pCell = CellAt(cell.x, cell.y);
    return pCell ? pCell->nRegion : -1;
}

void CScene::GetNeighbourCells(int nIndex, int pOut[8]) const {
    static const int kSteps[8][2] = {{1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}};
    const int x = nGridWidth > 0 ? nIndex % nGridWidth : 0, y = nGridWidth > 0 ? nIndex / nGridWidth : 0;
    for (int i = 0; i < 8; ++i) {
        const int nx = x + kSteps[i][0], ny = y + kSteps[i][1];
        const bool bInside = nIndex >= 0 && nIndex < nCellCount && IsInGrid(nx, ny);
        const int n = bInside ? CellIndex(nx, ny) : -1;
        pOut[i] = n >= 0 && pBlocked[size_t(n)] <= 0 ? n : -1;
    }
    // No diagonal step cuts a blocked corner.
    for (int i = 0; i < 8; i += 2)
        if (pOut[(i + 1) % 8] == -1 || pOut[(i + 7) % 8] == -1) pOut[i] = -1;
}

bool CScene::IsCellFree(int cx, int cy) const {
    const SceneCell* pCell = CellAt(cx, cy);
    return pCell && pCell->nWall != 1 && pCell->nOccupantKind < 0;
}

bool CScene::IsCellPassable(int cx, int cy) const {
    return IsInGrid(cx, cy) && pBlocked[size_t(CellIndex(cx, cy))] != 1;
}

bool CScene::IsNotHeroCell(int cx, int cy) const {
    const SceneCell* pCell = CellAt(cx, cy);
    return pCell && pCell->nWall != 2;
}

void CScene::ToggleWall(int cx, int cy) {
    if (SceneCell* pCell = CellAt(cx, cy)) pCell->nWall ^= 1;
}

int CScene::PlaceObjectFootprint(CMapObject* pObject) {
    // This scene's own picture: footprints are placed while the scene is being read,
    // before it becomes the current scene that the object's own lookup goes through.
    const CScenePic* pPic = GetPicture(pObject->nPicture);
    const POINT off = pPic ? pPic->ptFootprintOffset : POINT{0, 0};
    const SIZE size = pPic ? pPic->szFootprint : SIZE{1, 1};
    const POINT origin = PixelToCell(pObject->rcObject.left + off.x, pObject->rcObject.top + off.y);
    pObject->ptCellPos = origin;
    if (size.cx <= 0 || size.cy <= 0) return 1;
    const std::int64_t x2 = std::int64_t(origin.x) + size.cx - 1, y2 = std::int64_t(origin.y) + size.cy - 1;
    if (origin.x < 0 || origin.y < 0 || x2 >= nGridWidth || y2 >= nGridHeight) return -1;
    for (int y = origin.y; y <= y2; ++y)
        for (int x = origin.x; x <= x2; ++x)
            if (pCells[size_t(CellIndex(x, y))].nOccupantKind != -1) return 0;
    for (int y = origin.y; y <= y2; ++y)
        for (int x = origin.x; x <= x2; ++x) {
            SceneCell& cell = pCells[size_t(CellIndex(x, y))];
            cell.nOccupantKind = pObject->nKind;
            cell.nOccupantId = pObject->nId;
        }
    return 1;
}

void CScene::PlaceAllFootprints() {
    for (SceneCell& cell : pCells) cell.nOccupantKind = -1;
    for (auto& pObject : lists[kListD]) PlaceObjectFootprint(pObject.get());
    PlaceNpcFootprints();
}

void CScene::UpdateNpcFootprints() {
    for (SceneCell& cell : pCells)
        if (cell.nOccupantKind == kKindNpc) cell.nOccupantKind = -1;
    PlaceNpcFootprints();
}

void CScene::RebuildBlockMap() {
    PlaceNpcCells();
    PlaceHeroCells();
    for (size_t i = 0; i < pCells.size(); ++i) {
        const SceneCell& cell = pCells[i];
        pBlocked[i] = (cell.nOccupantKind >= 0 && cell.nOccupantKind <= 10) || cell.nWall == 1 ? 1 : 0;
    }
    BlockNpcCells();
    BlockHeroCells();
}

bool CScene::SetCellMark(int cx, int cy, int nMark, int nKind) {
    SceneCell* pCell = CellAt(cx, cy);
    if (!pCell) return false;
    pCell->nMark = nMark;
    pCell->nMarkKind = nKind;
    if (!pMarkPicture && pScreen) {
        SetGameFolderCurrent();
        auto pSurface = std::make_unique<CDXSurface>();
        const char* pszName = nKind == 0 ? "otherMenubmp\\Effect1.bmp" : "otherMenubmp\\Effect2.bmp";
        if (pSurface->CreateFromImageFile(pScreen, pszName) == 1) {
            pSurface->SetColorKeyFromCorner();
            pMarkPicture = std::move(pSurface);
        }
    }
    return true;
}

bool CScene::ClearCellMark(int cx, int cy) {
    SceneCell* pCell = CellAt(cx, cy);
    if (!pCell) return false;
    pCell->nMark = -1;
    pCell->nMarkKind = -1;
    pMarkTimer[size_t(CellIndex(cx, cy))] = 0;
    return true;
}

void CScene::ScrollToHero() {
    POINT pt;
    bool bWalking = false;
    if (GetHeroPoint(&pt, &bWalking)) ScrollToPoint(pt.x, pt.y);
}

void CScene::ScrollToPoint(int hx, int hy) {
    const int sw = SceneHost().GetScreenWidth(), sh = SceneHost().GetScreenHeight();
    const int W = rcMap.right, H = rcMap.bottom;
    const RECT inner{sw / 2, sh / 2, W - sw / 2, H - sh / 2};
    int x, y;
    if (hx <= inner.left) x = 0;
    else if (hx < inner.right - kViewRightMargin) x = hx - sw / 2;
    else x = W - sw - kViewRightMargin;
    if (hy <= inner.top) y = 0;
    else if (hy < inner.bottom) y = hy - sh / 2;
    else y = H - sh;
    x = std::max(x, 0);
    y = std::max(y, 0);
    y = std::min(y, H - sh);
    x = std::min(x, W - sw);
    ptView = POINT{x, y};
}

void CScene::ScrollViewTowards(int x, int y) {
    const int sw = SceneHost().GetDisplayWidth(), sh = SceneHost().GetDisplayHeight();
    auto step = [](int d) { return d > 15 ? 8 : d < -15 ? -8 : d; };
    ptView.x += step((x - sw / 2) - ptView.x);
    ptView.y += step((y - sh / 2) - ptView.y);
}

void CScene::ScrollUp(int n) { ptView.y = std::max(ptView.y - n, 0); }
void CScene::ScrollLeft(int n) { ptView.x = std::max(ptView.x - n, 0); }
void CScene::ScrollDown(int n) {
    ptView.y = std::min(ptView.y + n, LONG(rcMap.bottom - SceneHost().GetDisplayHeight()));
}
void CScene::ScrollRight(int n) {
    ptView.x = std::min(ptView.x + n, LONG(rcMap.right - SceneHost().GetDisplayWidth()));
}

int CScene::FindCellArea(int x, int y) const {
    for (int i = 0; i < nCellAreaCount && i < int(pCellAreas.size()); ++i)
        if (pCellAreas[size_t(i)].Contains(x, y)) return pCellAreas[size_t(i)].nId;
    return -1;
}
