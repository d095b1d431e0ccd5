#include "world/FlyingEffect.h"

#include <algorithm>

#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"
#include "world/Scene.h"
#include "world/TgaAnimation.h"

namespace {

constexpr POINT kRingVelocity[CFlyingEffect::kSprites] = {
    {0, 15},   {-3, 14},  {-5, 13},  {-8, 12},  {-10, 10}, {-12, 8},  {-14, 5},  {-14, 2},
    {-15, 0},  {-14, -2}, {-14, -5}, {-12, -8}, {-10, -10}, {-8, -12}, {-5, -13}, {-3, -14},
    {0, -15},  {2, -14},  {5, -13},  {8, -12},  {10, -10}, {12, -8},  {13, -5},  {14, -2},
    {14, 0},   {14, 2},   {13, 5},   {12, 8},   {10, 10},  {8, 12},   {5, 13},   {2, 14}};

// Drawn sprites stand this far below their map point.
constexpr int kDrawDrop = 70;

POINT View() { return pScene ? pScene->ptView : POINT{0, 0}; }

std::int64_t Length2(POINT v) { return std::int64_t(v.x) * v.x + std::int64_t(v.y) * v.y; }

bool IsFlying(POINT pt) { return !(pt.x == -1 && pt.y == -1) && !(pt.x == 0 && pt.y == 0); }

}  // namespace

CFlyingEffect::CFlyingEffect() {
    std::fill(std::begin(ptPos), std::end(ptPos), POINT{-1, -1});
}

CFlyingEffect::~CFlyingEffect() = default;

POINT CFlyingEffect::LineVelocity(int dx, int dy) {
    const POINT first{dx / 10, dy / 10};
    if (first.x == 0 && first.y == 0) return first;
    POINT v = first;
    while (Length2(v) < 400) v = POINT{v.x + first.x, v.y + first.y};
    while (Length2(v) > 600) {
        v = POINT{v.x - first.x, v.y - first.y};
        if (v.x == 0 && v.y == 0) {
            v = first;
            break;
        }
    }
    return v;
}

int CFlyingEffect::DirectionOf(int vx, int vy) {
    double fAngle = 0.0;
    DirectionFromVector(vx, vy, &fAngle);
    for (int k = 1; k < 64; k += 2)
        if (fAngle < k * 5.625) return k / 2;
    return 0;
}

bool CFlyingEffect::LaunchLine(int nMarkValue, int nAnimation, int nStartX, int nStartY, int nTargetX, int nTargetY,
                               int nCount, int bStop) {
    nSpriteCount = nSpawnCount = std::clamp(nCount, 0, kSprites);
    bStopAtObstacles = bStop;
    nMark = nMarkValue;
    const POINT view = View();
    const POINT start{nStartX - view.x, nStartY - view.y};
    const POINT v = LineVelocity(nTargetX - start.x, nTargetY - start.y);
    if ((v.x == 0 && v.y == 0) || nSpriteCount < 1) return true;
    ptVelocity[0] = v;
    nDirection = DirectionOf(v.x, v.y);
    SetGameFolderCurrent();
    pSprites[0] = std::make_unique<CTgaAnimation>();
    pSprites[0]->Load(nAnimation, nDirection);
    ptStart = start;
    ptPos[0] = POINT{start.x + view.x + v.x, start.y + view.y + v.y};
    dwLastSpawn = dwNow = TimeGetTime();
    return true;
}

bool CFlyingEffect::LaunchRing(int nMarkValue, int nAnimation, int x, int y, int nCount, int bStop) {
    nSpriteCount = std::clamp(nCount, 0, kSprites);
    bStopAtObstacles = bStop;
    nMark = nMarkValue;
    std::copy(std::begin(kRingVelocity), std::end(kRingVelocity), std::begin(ptVelocity));
    SetGameFolderCurrent();
    for (int i = 0; i < nSpriteCount; ++i) {
        pSprites[i] = std::make_unique<CTgaAnimation>();
        pSprites[i]->Load(nAnimation, i);
        ptPos[i] = POINT{x, y};
        if (nCellTest != 0) {
            const int nSteps = (i == 4 || i == 12) ? 2 : 1;
            ptPos[i].x += nSteps * ptVelocity[i].x;
            ptPos[i].y += nSteps * ptVelocity[i].y;
        }
    }
    ptStart = POINT{x, y};
    return true;
}

bool CFlyingEffect::Tick() {
    const POINT view = View();
    bool bDrawn = false;
    for (int i = 0; i < nSpriteCount; ++i) {
        if (!pSprites[i] || !IsFlying(ptPos[i])) continue;
        pSprites[i]->SetPos(ptPos[i].x - view.x, ptPos[i].y - view.y + kDrawDrop);
        pSprites[i]->Draw();
        bDrawn = true;
    }
    if (!bDrawn) return false;
    Move();
    Spawn();
    return true;
}

bool CFlyingEffect::Blocked(POINT pt) const {
    const POINT view = View();
    const int sx = pt.x - view.x, sy = pt.y - view.y;
    if (sx < -kViewMargin || sy < -kViewMargin || sx > 800 + kViewMargin || sy > 600 + kViewMargin) return true;
    if (!bStopAtObstacles || !pScene) return false;
    const POINT cell = pScene->PixelToCell(pt.x, pt.y);
    // A cell off the grid is no obstacle.
    const SceneCell* pCell = pScene->CellAt(cell.x, cell.y);
    if (!pCell) return false;
    return nCellTest == 0 ? !pScene->IsCellFree(cell.x, cell.y) : pCell->nWall == 2;
}

void CFlyingEffect::StopSprite(int i) {
    ptPos[i] = POINT{-1, -1};
    ptVelocity[i] = POINT{0, 0};
}

void CFlyingEffect::Move() {
    for (int i = 0; i < nSpriteCount; ++i) {
        // A slot without a sprite neither moves nor marks.
        if (!pSprites[i] || !IsFlying(ptPos[i])) continue;
        if (pScene) {
            const POINT cell = pScene->PixelToCell(ptPos[i].x, ptPos[i].y);
            pScene->ClearCellMark(cell.x, cell.y);
        }
        if (Blocked(ptPos[i])) {
            StopSprite(i);
            continue;
        }
        ptPos[i].x += ptVelocity[i].x;
        ptPos[i].y += ptVelocity[i].y;
        if (pScene) {
            const POINT cell = pScene->PixelToCell(ptPos[i].x, ptPos[i].y);
            pScene->SetCellMark(cell.x, cell.y, nMark, nCellTest);
        }
    }
}

void CFlyingEffect::Spawn() {
    dwNow = TimeGetTime();
    if (dwNow - dwLastSpawn < kSpawnMs) return;
    dwLastSpawn = dwNow;
    const POINT view = View();
    for (int i = 0; i < nSpawnCount; ++i) {
        if (pSprites[i]) continue;
        ptPos[i] = POINT{ptStart.x + view.x, ptStart.y + view.y};
        ptVelocity[i] = ptVelocity[0];
        break;
    }
}
