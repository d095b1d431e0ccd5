// Random grids that hold the game's path search to the reference search: both grid
// kinds, walls over 0 to 40 % of the cells, random start and goal, goals walled in and
// lowered open-list limits. The path tests and the path benchmark share it; the game
// does not include it.
#pragma once
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "world/PathFinder.h"
#include "world/Scene.h"

struct PathCase {
    int nKind = 0;                 // 0 rectangular, 1 diamond
    int nWidth = 0, nHeight = 0;   // map size as the map file gives it
    int nWallPercent = 0;
    bool bWalledGoal = false;      // the goal's eight neighbours are blocked
    bool bMaze = false;            // corridors instead of scattered walls
    int nOpenLimit = kPathOpenLimit;
    POINT ptStart, ptGoal;
};

inline std::string DescribePathCase(const PathCase& c) {
    char sz[160];
    std::snprintf(sz, sizeof sz, "kind %d map %dx%d walls %d%% walled goal %d limit %d start (%d,%d) goal (%d,%d)",
                  c.nKind, c.nWidth, c.nHeight, c.nWallPercent, int(c.bWalledGoal), c.nOpenLimit, int(c.ptStart.x),
                  int(c.ptStart.y), int(c.ptGoal.x), int(c.ptGoal.y));
    return sz;
}

// Blocks every cell, then opens a maze of one-cell corridors through the cells of odd
// coordinates, each joined to a neighbour two cells away.
inline void CarveMaze(CScene& scene, std::mt19937& rng) {
    std::fill(scene.pBlocked.begin(), scene.pBlocked.end(), 1);
    const int nCols = (scene.nGridWidth - 1) / 2, nRows = (scene.nGridHeight - 1) / 2;
    auto open = [&scene](int x, int y) { scene.pBlocked[size_t(scene.CellIndex(x, y))] = 0; };
    std::vector<char> seen(size_t(nCols * nRows), 0);
    std::vector<int> stack{0};
    seen[0] = 1;
    open(1, 1);
    while (!stack.empty()) {
        const int n = stack.back(), x = n % nCols, y = n / nCols;
        int next[4], nNext = 0;
        const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
        for (int d = 0; d < 4; ++d) {
            const int nx = x + dx[d], ny = y + dy[d];
            if (nx >= 0 && ny >= 0 && nx < nCols && ny < nRows && !seen[size_t(nx + nCols * ny)]) next[nNext++] = d;
        }
        if (nNext == 0) {
            stack.pop_back();
            continue;
        }
        const int d = next[std::uniform_int_distribution<int>(0, nNext - 1)(rng)];
        const int nx = x + dx[d], ny = y + dy[d];
        seen[size_t(nx + nCols * ny)] = 1;
        open(1 + 2 * x + dx[d], 1 + 2 * y + dy[d]);
        open(1 + 2 * nx, 1 + 2 * ny);
        stack.push_back(nx + nCols * ny);
    }
}

// Builds a random case on the scene: a grid of up to nMaxSide cells a side, walls in its
// block map, start and goal anywhere in the grid (the start may stand on a blocked cell,
// as the hero's own cell is blocked). Returns false when the scene refused the grid.
inline bool MakeRandomPathCase(CScene& scene, std::mt19937& rng, int nMaxSide, PathCase* pCase) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    PathCase c;
    c.nKind = pick(0, 1);
    // A quarter of the maps are small with the goal near the start: pockets beside the
    // start, where the running value stays low and the oldest open cell is taken, are
    // commonest there.
    const bool bSmall = pick(0, 3) == 0;
    if (bSmall) nMaxSide = std::min(nMaxSide, 8);
    if (c.nKind == 0) {
        c.nWidth = pick(1, nMaxSide);
        c.nHeight = pick(1, nMaxSide);
    } else {
        c.nWidth = pick(1, std::max(1, nMaxSide / 2));
        c.nHeight = pick(1, std::max(1, nMaxSide / 2));
    }
    if (!scene.InitMap(c.nWidth, c.nHeight, c.nKind, 32)) return false;
    c.nWallPercent = pick(0, 40);
    std::bernoulli_distribution wall(c.nWallPercent / 100.0);
    for (auto& nBlocked : scene.pBlocked) nBlocked = wall(rng) ? 1 : 0;
    c.ptStart = POINT{pick(0, scene.nGridWidth - 1), pick(0, scene.nGridHeight - 1)};
    c.ptGoal = POINT{pick(0, scene.nGridWidth - 1), pick(0, scene.nGridHeight - 1)};
    if (bSmall) {
        c.ptGoal.x = std::clamp(int(c.ptStart.x) + pick(-3, 3), 0, scene.nGridWidth - 1);
        c.ptGoal.y = std::clamp(int(c.ptStart.y) + pick(-3, 3), 0, scene.nGridHeight - 1);
    }
    const int nShape = pick(0, 99);
    if (nShape >= 60 && scene.nGridWidth >= 3 && scene.nGridHeight >= 3) {
        // Corridors one cell wide with a few walls opened into loops.
        c.bMaze = true;
        CarveMaze(scene, rng);
        for (auto& nBlocked : scene.pBlocked)
            if (nBlocked && !wall(rng) && pick(0, 3) == 0) nBlocked = 0;
        c.ptStart = POINT{1 + 2 * pick(0, (scene.nGridWidth - 2) / 2), 1 + 2 * pick(0, (scene.nGridHeight - 2) / 2)};
        c.ptGoal = POINT{1 + 2 * pick(0, (scene.nGridWidth - 2) / 2), 1 + 2 * pick(0, (scene.nGridHeight - 2) / 2)};
    }
    if (nShape < 10) {
        // A start beside the goal walks in all the same, blocked or not.
        c.bWalledGoal = std::abs(c.ptStart.x - c.ptGoal.x) > 1 || std::abs(c.ptStart.y - c.ptGoal.y) > 1;
        scene.pBlocked[size_t(scene.CellIndex(c.ptGoal.x, c.ptGoal.y))] = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((dx || dy) && scene.IsInGrid(c.ptGoal.x + dx, c.ptGoal.y + dy))
                    scene.pBlocked[size_t(scene.CellIndex(c.ptGoal.x + dx, c.ptGoal.y + dy))] = 1;
    } else if (nShape < 25) {
        c.nOpenLimit = pick(1, 200);
    } else if (nShape < 35) {
        // Corner to corner, the longest walk the grid holds.
        c.ptStart = POINT{0, 0};
        c.ptGoal = POINT{scene.nGridWidth - 1, scene.nGridHeight - 1};
        scene.pBlocked[size_t(scene.CellIndex(c.ptGoal.x, c.ptGoal.y))] = 0;
    }
    *pCase = c;
    return true;
}

// Runs both searches on the scene's current block map and compares everything the
// search leaves behind: result, waypoint array, last waypoint, the scene's cost and state
// arrays, and every popped point. Returns "" when they agree, else the first difference.
inline std::string ComparePathSearches(CScene& scene, const PathCase& c, int* pResult = nullptr) {
    CPathFinder reference, game;
    reference.nOpenLimit = game.nOpenLimit = c.nOpenLimit;
    const int nReference = reference.SearchReferenceIn(scene, c.ptStart, c.ptGoal);
    const std::vector<std::int32_t> cost = scene.pPathCost, state = scene.pPathState;
    const int nGame = game.SearchIn(scene, c.ptStart, c.ptGoal);
    if (pResult) *pResult = nReference;
    if (nReference != nGame) return "results " + std::to_string(nReference) + " and " + std::to_string(nGame);
    if (reference.nWaypoints != game.nWaypoints) return "waypoint counts differ";
    if (cost != scene.pPathCost) return "cost arrays differ";
    if (state != scene.pPathState) return "state arrays differ";
    if (nReference == 0) return "";
    if (reference.pWaypoints.size() != game.pWaypoints.size()) return "waypoint arrays differ in size";
    for (size_t i = 0; i < reference.pWaypoints.size(); ++i)
        if (reference.pWaypoints[i].x != game.pWaypoints[i].x || reference.pWaypoints[i].y != game.pWaypoints[i].y)
            return "waypoint " + std::to_string(i) + " differs";
    if (reference.ptWaypoint.x != game.ptWaypoint.x || reference.ptWaypoint.y != game.ptWaypoint.y)
        return "last waypoints differ";
    for (;;) {
        const POINT* pA = reference.PopWaypointIn(scene);
        const POINT* pB = game.PopWaypointIn(scene);
        if (!pA || !pB) return pA == pB ? "" : "one finder ran out of waypoints first";
        if (pA->x != pB->x || pA->y != pB->y) return "popped points differ";
    }
}
