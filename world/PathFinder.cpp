#include "world/PathFinder.h"

#include <algorithm>

#include "shell/ShellGlobals.h"
#include "world/Scene.h"

namespace {

// Step costs by neighbour position: the screen distances of the eight steps on a diamond
// grid of cell size 10 (straight down or up 10, along one axis 11, sideways 20).
constexpr int kStepCost[8] = {10, 11, 20, 11, 10, 11, 20, 11};
constexpr int kStepX[8] = {1, 0, -1, -1, -1, 0, 1, 1};
constexpr int kStepY[8] = {1, 1, 1, 0, -1, -1, -1, 0};
constexpr std::int32_t kUnseen = 0, kOpen = 1, kClosed = 2;

POINT CellPoint(int nIndex, int nWidth) {
    return POINT{nIndex % nWidth, nIndex / nWidth};
}

// The scene's neighbours of cell (x, y) in the scene's order, read straight from the
// block map: a step leaves the grid or enters a blocked cell, or is a diagonal beside
// such a step, becomes -1. The same rule as CScene::GetNeighbourCells, inlined for the
// game's search, which asks for them once per expanded cell.
inline void Neighbours(int x, int y, int nWidth, int nHeight, const std::int32_t* pBlocked, int pOut[8]) {
    for (int i = 0; i < 8; ++i) {
        const int nx = x + kStepX[i], ny = y + kStepY[i];
        int n = -1;
        if (unsigned(nx) < unsigned(nWidth) && unsigned(ny) < unsigned(nHeight)) {
            n = nx + nWidth * ny;
            if (pBlocked[n] > 0) n = -1;
        }
        pOut[i] = n;
    }
    for (int i = 0; i < 8; i += 2)
        if (pOut[(i + 1) & 7] == -1 || pOut[(i + 7) & 7] == -1) pOut[i] = -1;
}

// The open cells of the game's search. The reference keeps them in an array in the
// order they were opened, picks the earliest cell of least cost when that cost is below
// the running value, else the oldest cell, and shifts the rest down. Here the cells sit
// in buckets by cost: the least cost never falls (every cost set or lowered is at least
// 10 above the cost of a cell already taken), so nothing enters the cheapest bucket once
// it is reached, and sorting it then by order of opening yields its cells earliest
// first. A queue of the cells in opening order yields the oldest. A cell whose cost was
// lowered leaves a stale entry behind, and a cell taken from one structure stays in the
// other: entries count only while their cell is open at that cost.
class COpenCells {
public:
    void Reset(int nCells, const std::int32_t* pCost, const std::int32_t* pState) {
        for (size_t b = m_nLeast; b <= m_nTop && b < m_buckets.size(); ++b) m_buckets[b].clear();
        m_pCost = pCost;
        m_pState = pState;
        m_order.clear();
        if (m_order.capacity() < size_t(nCells)) m_order.reserve(size_t(nCells));
        if (m_orderOf.size() < size_t(nCells)) m_orderOf.resize(size_t(nCells));
        m_nHead = m_nLeast = m_nTop = m_nTaken = 0;
        m_nOpen = 0;
        m_bSorted = false;
    }
    int Size() const { return m_nOpen; }
    void Push(int nCell, int nCost) {
        const std::uint64_t nOrder = m_order.size();
        m_order.push_back(nCell);
        m_orderOf[size_t(nCell)] = std::int32_t(nOrder);
        Place(nCell, nCost, nOrder << 32);
        ++m_nOpen;
    }
    // The cell's cost was lowered to nCost; its entry at the old cost goes stale.
    void Lower(int nCell, int nCost) { Place(nCell, nCost, std::uint64_t(m_orderOf[size_t(nCell)]) << 32); }
    int LeastCost() {
        FindLeast();
        return int(m_nLeast);
    }
    // Removes and returns the earliest cell of least cost.
    int TakeLeast() {
        FindLeast();
        --m_nOpen;
        return std::int32_t(m_buckets[m_nLeast][m_nTaken++] & 0xFFFFFFFFu);
    }
    // Removes and returns the cell opened first among those still open.
    int TakeOldest() {
        while (m_pState[m_order[m_nHead]] != kOpen) ++m_nHead;
        --m_nOpen;
        return m_order[m_nHead++];
    }

private:
    void Place(int nCell, int nCost, std::uint64_t nOrderBits) {
        if (size_t(nCost) >= m_buckets.size()) m_buckets.resize(size_t(nCost) * 2 + 64);
        m_buckets[size_t(nCost)].push_back(nOrderBits | std::uint32_t(nCell));
        m_nTop = std::max(m_nTop, size_t(nCost));
    }
    bool Live(std::uint64_t e, size_t nCost) const {
        const std::int32_t nCell = std::int32_t(e & 0xFFFFFFFFu);
        return m_pState[nCell] == kOpen && size_t(m_pCost[nCell]) == nCost;
    }
    // Moves to the first live entry of the cheapest bucket that has one.
    void FindLeast() {
        for (;;) {
            std::vector<std::uint64_t>& bucket = m_buckets[m_nLeast];
            if (!m_bSorted) {
                std::sort(bucket.begin(), bucket.end());
                m_bSorted = true;
                m_nTaken = 0;
            }
            while (m_nTaken < bucket.size() && !Live(bucket[m_nTaken], m_nLeast)) ++m_nTaken;
            if (m_nTaken < bucket.size()) return;
            bucket.clear();
            ++m_nLeast;
            m_bSorted = false;
        }
    }

    std::vector<std::vector<std::uint64_t>> m_buckets;  // (order << 32 | cell) by cost
    const std::int32_t* m_pCost = nullptr;
    const std::int32_t* m_pState = nullptr;
    std::vector<std::int32_t> m_order;    // cells in the order they were opened
    std::vector<std::int32_t> m_orderOf;  // the place of each open cell in m_order
    size_t m_nHead = 0;                 // first queue entry that may still be open
    size_t m_nLeast = 0, m_nTop = 0;    // cheapest bucket that may hold a live entry; dearest used
    size_t m_nTaken = 0;                // entries of the cheapest bucket already passed
    int m_nOpen = 0;
    bool m_bSorted = false;
};

// Searches never overlap (they share the scene's arrays), so one set of open cells
// serves every finder and keeps its memory between searches.
COpenCells& SharedOpenCells() {
    static thread_local COpenCells open;
    return open;
}

}  // namespace

bool CPathFinder::BeginSearch(CScene& scene, POINT ptStart, POINT ptGoal) {
    nWaypoints = 0;
    // A cell outside the grid would index past the arrays, or name another cell.
    if (!scene.IsInGrid(ptStart.x, ptStart.y) || !scene.IsInGrid(ptGoal.x, ptGoal.y)) return false;
    if (scene.pPathCost.size() < size_t(scene.nCellCount) || scene.pPathState.size() < size_t(scene.nCellCount) ||
        scene.pBlocked.size() < size_t(scene.nCellCount))
        return false;
    pCost = scene.pPathCost.data();
    pState = scene.pPathState.data();
    std::fill_n(pCost, scene.nCellCount, 0);
    std::fill_n(pState, scene.nCellCount, kUnseen);
    return true;
}

int CPathFinder::SearchReferenceIn(CScene& scene, POINT ptStart, POINT ptGoal) {
    if (!BeginSearch(scene, ptStart, ptGoal)) return 0;
    const int nGoal = scene.CellIndex(ptGoal.x, ptGoal.y);
    std::vector<int> open(size_t(std::max(nOpenLimit, 0)));
    int nOpen = 0, v = 0;
    for (int nCur = scene.CellIndex(ptStart.x, ptStart.y); nCur != nGoal;) {
        pState[nCur] = kClosed;
        int pNext[8];
        scene.GetNeighbourCells(nCur, pNext);
        for (int k = 0; k < 8; ++k) {
            const int n = pNext[k];
            if (n == -1) continue;
            v = pCost[nCur] + kStepCost[k];
            if (pState[n] == kUnseen) {
                if (nOpen >= nOpenLimit) return 0;
                pCost[n] = v;
                pState[n] = kOpen;
                open[size_t(nOpen++)] = n;
            } else if (pCost[n] > v) {
                pCost[n] = v;
            }
        }
        if (nOpen == 0) return 0;
        // The scan starts from the value the last neighbour left, takes only strictly
        // smaller costs, and falls back on the oldest open cell.
        int nChosen = 0;
        for (int j = 0; j < nOpen; ++j)
            if (pCost[open[size_t(j)]] < v) {
                v = pCost[open[size_t(j)]];
                nChosen = j;
            }
        nCur = open[size_t(nChosen)];
        std::copy(open.begin() + nChosen + 1, open.begin() + nOpen, open.begin() + nChosen);
        --nOpen;
    }
    return TraceBack(scene, nGoal);
}

int CPathFinder::SearchIn(CScene& scene, POINT ptStart, POINT ptGoal) {
    if (!BeginSearch(scene, ptStart, ptGoal)) return 0;
    const int nWidth = scene.nGridWidth, nHeight = scene.nGridHeight;
    const std::int32_t* pBlocked = scene.pBlocked.data();
    std::int32_t* const pCostOf = pCost;
    std::int32_t* const pStateOf = pState;
    const int nGoal = scene.CellIndex(ptGoal.x, ptGoal.y);
    COpenCells& open = SharedOpenCells();
    open.Reset(scene.nCellCount, pCostOf, pStateOf);
    int v = 0;
    for (int nCur = scene.CellIndex(ptStart.x, ptStart.y); nCur != nGoal;) {
        pStateOf[nCur] = kClosed;
        int pNext[8];
        Neighbours(nCur % nWidth, nCur / nWidth, nWidth, nHeight, pBlocked, pNext);
        const int nBase = pCostOf[nCur];
        for (int k = 0; k < 8; ++k) {
            const int n = pNext[k];
            if (n == -1) continue;
            v = nBase + kStepCost[k];
            if (pStateOf[n] == kUnseen) {
                if (open.Size() >= nOpenLimit) return 0;
                pCostOf[n] = v;
                pStateOf[n] = kOpen;
                open.Push(n, v);
            } else if (pCostOf[n] > v) {
                // Closed cells take the lower cost too; the trace back reads it.
                pCostOf[n] = v;
                if (pStateOf[n] == kOpen) open.Lower(n, v);
            }
        }
        if (open.Size() == 0) return 0;
        if (open.LeastCost() < v) {
            v = open.LeastCost();
            nCur = open.TakeLeast();
        } else {
            nCur = open.TakeOldest();
        }
    }
    return TraceBack(scene, nGoal);
}

int CPathFinder::TraceBack(const CScene& scene, int nGoal) {
    const int nWidth = scene.nGridWidth;
    const int nGoalCost = pCost[nGoal];
    pWaypoints.assign(size_t(nGoalCost) + 2, POINT{});
    pWaypoints[0] = CellPoint(nGoal, nWidth);
    int nSteps = 0, nCur = nGoal;
    double fBest = 1000000.0;
    while (pCost[nCur] != 0) {
        ++nSteps;
        int pNext[8];
        scene.GetNeighbourCells(nCur, pNext);
        fBest = double(pCost[nCur] - 1);
        // Next to the start: the last slot stays unfilled and is never popped.
        if (fBest < 11.0) break;
        // nCur may move during the scan; later targets are taken from the moved cell.
        for (int k = 0; k < 8; ++k) {
            const int n = pNext[k];
            if (n == -1 || pState[n] != kClosed) continue;
            const int nTarget = pCost[nCur] - kStepCost[k];
            if (pCost[n] < fBest && pCost[n] == nTarget) {
                nCur = n;
                fBest = pCost[n];
            }
        }
        if (nSteps >= nGoalCost + 2) {
            nWaypoints = 0;
            return 0;
        }
        pWaypoints[size_t(nSteps)] = CellPoint(nCur, nWidth);
    }
    nWaypoints = nSteps;
    ptWaypoint = pWaypoints[size_t(nSteps)];
    return nSteps;
}

int CPathFinder::Search(POINT ptStart, POINT ptGoal) {
    if (!pScene) return nWaypoints = 0;
    return SearchIn(*pScene, ptStart, ptGoal);
}

int CPathFinder::SearchReference(POINT ptStart, POINT ptGoal) {
    if (!pScene) return nWaypoints = 0;
    return SearchReferenceIn(*pScene, ptStart, ptGoal);
}

POINT* CPathFinder::PopWaypointIn(const CScene& scene) {
    if (nWaypoints <= 0 || size_t(nWaypoints) > pWaypoints.size()) return nullptr;
    --nWaypoints;
    const POINT ptCell = pWaypoints[size_t(nWaypoints)];
    ptWaypoint = scene.CellToPixel(ptCell.x, ptCell.y);
    return &ptWaypoint;
}

POINT* CPathFinder::PopWaypoint() {
    return pScene ? PopWaypointIn(*pScene) : nullptr;
}
