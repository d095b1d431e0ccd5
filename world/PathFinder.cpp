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
// the running value, else the oldest cell, and shifts the rest down. Here a 4-ary heap
// ordered by (cost, order of opening) yields the earliest cell of least cost, and a queue
// of the cells in opening order, skipping those already taken, yields the oldest.
class COpenCells {
public:
    void Reset(int nCells) {
        m_heap.clear();
        m_order.clear();
        m_nHead = 0;
        if (m_pos.size() < size_t(nCells)) m_pos.resize(size_t(nCells));
        if (m_order.capacity() < size_t(nCells)) m_order.reserve(size_t(nCells));
    }
    int Size() const { return int(m_heap.size()); }
    void Push(int nCell, int nCost) {
        const std::uint64_t nOrder = m_order.size();
        m_order.push_back(nCell);
        m_heap.push_back(Entry{Key(nCost, nOrder), nCell});
        SiftUp(m_heap.size() - 1);
    }
    void Lower(int nCell, int nCost) {
        const size_t i = size_t(m_pos[size_t(nCell)]);
        m_heap[i].nKey = Key(nCost, m_heap[i].nKey & 0xFFFFFFFFu);
        SiftUp(i);
    }
    int LeastCost() const { return int(m_heap[0].nKey >> 32); }
    // Removes and returns the earliest cell of least cost.
    int TakeLeast() {
        const int nCell = m_heap[0].nCell;
        RemoveAt(0);
        return nCell;
    }
    // Removes and returns the cell opened first among those still open.
    int TakeOldest() {
        while (m_pos[size_t(m_order[m_nHead])] < 0) ++m_nHead;
        const int nCell = m_order[m_nHead++];
        RemoveAt(size_t(m_pos[size_t(nCell)]));
        return nCell;
    }

private:
    struct Entry {
        std::uint64_t nKey;
        int nCell;
    };
    static std::uint64_t Key(int nCost, std::uint64_t nOrder) { return std::uint64_t(std::uint32_t(nCost)) << 32 | nOrder; }
    void Place(size_t i, const Entry& e) {
        m_heap[i] = e;
        m_pos[size_t(e.nCell)] = std::int32_t(i);
    }
    void SiftUp(size_t i) {
        const Entry e = m_heap[i];
        while (i > 0) {
            const size_t nParent = (i - 1) / 4;
            if (m_heap[nParent].nKey <= e.nKey) break;
            Place(i, m_heap[nParent]);
            i = nParent;
        }
        Place(i, e);
    }
    void SiftDown(size_t i) {
        const Entry e = m_heap[i];
        const size_t n = m_heap.size();
        for (;;) {
            const size_t nFirst = 4 * i + 1;
            if (nFirst >= n) break;
            size_t nBest = nFirst;
            const size_t nEnd = std::min(nFirst + 4, n);
            for (size_t c = nFirst + 1; c < nEnd; ++c)
                if (m_heap[c].nKey < m_heap[nBest].nKey) nBest = c;
            if (m_heap[nBest].nKey >= e.nKey) break;
            Place(i, m_heap[nBest]);
            i = nBest;
        }
        Place(i, e);
    }
    void RemoveAt(size_t i) {
        m_pos[size_t(m_heap[i].nCell)] = -1;
        const Entry last = m_heap.back();
        m_heap.pop_back();
        if (i == m_heap.size()) return;
        m_heap[i] = last;
        if (i > 0 && m_heap[(i - 1) / 4].nKey > last.nKey)
            SiftUp(i);
        else
            SiftDown(i);
    }

    std::vector<Entry> m_heap;
    std::vector<std::int32_t> m_pos;    // heap slot of each open cell; -1 once taken
    std::vector<std::int32_t> m_order;  // cells in the order they were opened
    size_t m_nHead = 0;
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
    open.Reset(scene.nCellCount);
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
