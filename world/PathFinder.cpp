// Local stand-in until the path finder branch is merged (not committed).
#include "world/PathFinder.h"
#include <algorithm>
#include "shell/ShellGlobals.h"
#include "world/Scene.h"

namespace {
int StepCost(int k) { return k % 4 == 0 ? 10 : k % 4 == 2 ? 20 : 11; }
}

int CPathFinder::Search(POINT start, POINT goal) {
    nWaypoints = 0;
    if (!pScene) return 0;
    CScene& s = *pScene;
    const int w = s.nGridWidth;
    if (!s.IsInGrid(start.x, start.y) || !s.IsInGrid(goal.x, goal.y)) return 0;
    std::vector<int>& cost = s.pPathCost;
    std::vector<int>& state = s.pPathState;
    std::fill(cost.begin(), cost.end(), 0);
    std::fill(state.begin(), state.end(), 0);
    const int g = goal.x + w * goal.y;
    int cur = start.x + w * start.y, v = 0;
    std::vector<int> open;
    int nb[8];
    while (cur != g) {
        state[cur] = 2;
        s.GetNeighbourCells(cur, nb);
        for (int k = 0; k < 8; ++k) {
            const int n = nb[k];
            if (n == -1) continue;
            v = cost[cur] + StepCost(k);
            if (state[n] == 0) {
                if (open.size() >= 10000) return 0;
                cost[n] = v; state[n] = 1; open.push_back(n);
            } else if (cost[n] > v) cost[n] = v;
        }
        if (open.empty()) return 0;
        size_t chosen = 0;
        for (size_t j = 0; j < open.size(); ++j)
            if (cost[open[j]] < v) { v = cost[open[j]]; chosen = j; }
        cur = open[chosen];
        open.erase(open.begin() + long(chosen));
    }
    const int cg = cost[g];
    std::vector<POINT> way(size_t(cg) + 2, POINT{0, 0});
    way[0] = goal;
    int steps = 0;
    cur = g;
    while (cost[cur] != 0) {
        ++steps;
        s.GetNeighbourCells(cur, nb);
        double best = cost[cur] - 1;
        if (best < 11.0) break;
        for (int k = 0; k < 8; ++k) {
            const int n = nb[k];
            if (n == -1 || state[n] != 2) continue;
            const int target = cost[cur] - StepCost(k);
            if (cost[n] < best && cost[n] == target) { cur = n; best = cost[n]; }
        }
        if (steps >= cg + 2) { nWaypoints = 0; return 0; }
        way[size_t(steps)] = POINT{cur % w, cur / w};
    }
    pWaypoints = std::move(way);
    nWaypoints = steps;
    ptWaypoint = pWaypoints[size_t(steps)];
    return steps;
}

POINT* CPathFinder::PopWaypoint() {
    if (nWaypoints == 0 || !pScene) return nullptr;
    --nWaypoints;
    const POINT c = pWaypoints[size_t(nWaypoints)];
    ptWaypoint = pScene->CellToPixel(c.x, c.y);
    return &ptWaypoint;
}
