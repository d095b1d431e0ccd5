// Our path finder's search and two peers' on the game's grid, for the benchmarks that
// set them side by side: a grid whose block map comes from a scene, the step costs
// 10 / 11 / 20 of the eight directions with no step cutting a blocked corner, a generic
// graph library's Dijkstra and A* on the grid as an implicit graph (PATH_BENCH_BOOST) and
// a roguelike toolkit's Dijkstra and A* asking a cost function (PATH_BENCH_TCOD).
#pragma once
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "world/PathFinder.h"
#include "world/Scene.h"

#ifdef PATH_BENCH_BOOST
#include <boost/graph/astar_search.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>
#include <boost/graph/graph_traits.hpp>
#include <boost/iterator/counting_iterator.hpp>
#include <boost/iterator/iterator_facade.hpp>
#include <boost/property_map/function_property_map.hpp>
#include <boost/property_map/property_map.hpp>
#endif
#ifdef PATH_BENCH_TCOD
#include <libtcod/path.h>
#endif

namespace {

constexpr int kStepCost[8] = {10, 11, 20, 11, 10, 11, 20, 11};
constexpr int kStepX[8] = {1, 0, -1, -1, -1, 0, 1, 1};
constexpr int kStepY[8] = {1, 1, 1, 0, -1, -1, -1, 0};

// One benchmark grid: a rectangular scene whose block map holds the walls.
struct Grid {
    int nSide = 0;
    bool bWalls = false, bWalledGoal = false;
    std::unique_ptr<CScene> pScene;
    POINT ptStart, ptGoal;
    bool Blocked(int x, int y) const {
        return x < 0 || y < 0 || x >= nSide || y >= nSide || pScene->pBlocked[size_t(x + nSide * y)] > 0;
    }
    // The step from (x, y) in direction k, as the scene allows it: inside, not blocked,
    // and a diagonal only when both steps beside it are allowed.
    bool StepAllowed(int x, int y, int k) const {
        if (Blocked(x + kStepX[k], y + kStepY[k])) return false;
        if (k % 2 == 1) return true;
        const int a = (k + 1) & 7, b = (k + 7) & 7;
        return !Blocked(x + kStepX[a], y + kStepY[a]) && !Blocked(x + kStepX[b], y + kStepY[b]);
    }
};

// A search on a grid: the cost of the goal it found, or -1 without a path.
using Search = std::function<int()>;

// Our path finder's search on the grid: the game's search, or its scalar reference.
inline Search GameSearch(Grid& grid, bool bReference) {
    auto pFinder = std::make_shared<CPathFinder>();
    return [&grid, pFinder, bReference] {
        const int n = bReference ? pFinder->SearchReferenceIn(*grid.pScene, grid.ptStart, grid.ptGoal)
                                 : pFinder->SearchIn(*grid.pScene, grid.ptStart, grid.ptGoal);
        return n > 0 ? pFinder->pCost[grid.ptGoal.x + grid.nSide * grid.ptGoal.y] : -1;
    };
}

#ifdef PATH_BENCH_BOOST
// The grid as a graph the library walks without storing it: vertices are cell indices,
// the out-edges of a cell are the allowed steps, found as the iterator moves.
struct ImplicitGrid {
    const Grid* pGrid;
};
struct GridEdge {
    int nFrom = 0, nTo = 0, k = 0;
    bool operator==(const GridEdge& o) const { return nFrom == o.nFrom && nTo == o.nTo; }
};
class GridEdgeIterator
    : public boost::iterator_facade<GridEdgeIterator, GridEdge, boost::forward_traversal_tag, GridEdge> {
public:
    GridEdgeIterator() = default;
    GridEdgeIterator(const Grid* pGrid, int nCell, int k) : m_pGrid(pGrid), m_nCell(nCell), m_k(k) { Skip(); }

private:
    friend class boost::iterator_core_access;
    void Skip() {
        const int x = m_nCell % m_pGrid->nSide, y = m_nCell / m_pGrid->nSide;
        while (m_k < 8 && !m_pGrid->StepAllowed(x, y, m_k)) ++m_k;
    }
    void increment() {
        ++m_k;
        Skip();
    }
    bool equal(const GridEdgeIterator& o) const { return m_k == o.m_k && m_nCell == o.m_nCell; }
    GridEdge dereference() const {
        return GridEdge{m_nCell, m_nCell + kStepX[m_k] + m_pGrid->nSide * kStepY[m_k], m_k};
    }
    const Grid* m_pGrid = nullptr;
    int m_nCell = 0, m_k = 0;
};
#endif

}  // namespace

#ifdef PATH_BENCH_BOOST
namespace boost {
struct implicit_grid_traversal : incidence_graph_tag, vertex_list_graph_tag {};
template <>
struct graph_traits<ImplicitGrid> {
    using vertex_descriptor = int;
    using edge_descriptor = GridEdge;
    using directed_category = directed_tag;
    using edge_parallel_category = disallow_parallel_edge_tag;
    using traversal_category = implicit_grid_traversal;
    using out_edge_iterator = GridEdgeIterator;
    using vertex_iterator = counting_iterator<int>;
    using degree_size_type = int;
    using vertices_size_type = int;
    using edges_size_type = int;
    using in_edge_iterator = void;
    using adjacency_iterator = void;
    using edge_iterator = void;
    static vertex_descriptor null_vertex() { return -1; }
};
}  // namespace boost

namespace {
int source(const GridEdge& e, const ImplicitGrid&) { return e.nFrom; }
int target(const GridEdge& e, const ImplicitGrid&) { return e.nTo; }
std::pair<GridEdgeIterator, GridEdgeIterator> out_edges(int u, const ImplicitGrid& g) {
    return {GridEdgeIterator(g.pGrid, u, 0), GridEdgeIterator(g.pGrid, u, 8)};
}
int out_degree(int u, const ImplicitGrid& g) {
    auto [a, b] = out_edges(u, g);
    return int(std::distance(a, b));
}
std::pair<boost::counting_iterator<int>, boost::counting_iterator<int>> vertices(const ImplicitGrid& g) {
    return {boost::counting_iterator<int>(0), boost::counting_iterator<int>(g.pGrid->nSide * g.pGrid->nSide)};
}
int num_vertices(const ImplicitGrid& g) { return g.pGrid->nSide * g.pGrid->nSide; }

struct GoalFound {};
struct StopAtGoal : boost::default_dijkstra_visitor {
    int nGoal;
    explicit StopAtGoal(int n) : nGoal(n) {}
    void examine_vertex(int u, const ImplicitGrid&) const {
        if (u == nGoal) throw GoalFound{};
    }
};
struct StopAtGoalAStar : boost::default_astar_visitor {
    int nGoal;
    explicit StopAtGoalAStar(int n) : nGoal(n) {}
    void examine_vertex(int u, const ImplicitGrid&) const {
        if (u == nGoal) throw GoalFound{};
    }
};

// The arrays a graph search fills; allocated once a grid, set again by every search.
struct GraphArrays {
    std::vector<int> distance, predecessor, cost;
    std::vector<boost::default_color_type> colour;
    std::vector<int> path;
    explicit GraphArrays(int n) : distance(size_t(n)), predecessor(size_t(n)), cost(size_t(n)), colour(size_t(n)) {}
    // The walk from the goal back to the start, as every search hands one out.
    int Walk(int nStart, int nGoal) {
        path.clear();
        if (distance[size_t(nGoal)] == std::numeric_limits<int>::max()) return -1;
        for (int v = nGoal; v != nStart; v = predecessor[size_t(v)]) path.push_back(v);
        return distance[size_t(nGoal)];
    }
};

// The screen distance on a diamond grid of cell size 10, slightly lowered so that it
// never exceeds the cost of an axial step (11 against 11.18 on the screen).
struct ScreenDistance : boost::astar_heuristic<ImplicitGrid, int> {
    int nSide = 0, gx = 0, gy = 0;
    int operator()(int v) const {
        const int dx = gx - v % nSide, dy = gy - v / nSide;
        const double sx = (dx - dy) * 10.0, sy = (dx + dy) * 5.0;
        return int(0.98 * std::sqrt(sx * sx + sy * sy));
    }
};

// The library's Dijkstra, or its A* with the screen distance, stopping at the goal.
[[maybe_unused]] Search BoostSearch(const Grid& grid, std::shared_ptr<GraphArrays> a, bool bAStar) {
    return [&grid, a, bAStar] {
        ImplicitGrid g{&grid};
        const int s = grid.ptStart.x + grid.nSide * grid.ptStart.y, t = grid.ptGoal.x + grid.nSide * grid.ptGoal.y;
        auto weight = boost::make_function_property_map<GridEdge, int>([](const GridEdge& e) { return kStepCost[e.k]; });
        auto params = boost::weight_map(weight)
                          .vertex_index_map(boost::identity_property_map())
                          .distance_map(a->distance.data())
                          .predecessor_map(a->predecessor.data())
                          .color_map(a->colour.data());
        try {
            if (bAStar) {
                ScreenDistance h;
                h.nSide = grid.nSide;
                h.gx = grid.ptGoal.x;
                h.gy = grid.ptGoal.y;
                boost::astar_search(g, s, h, params.rank_map(a->cost.data()).visitor(StopAtGoalAStar(t)));
            } else {
                boost::dijkstra_shortest_paths(g, s, params.visitor(StopAtGoal(t)));
            }
        } catch (const GoalFound&) {
        }
        return a->Walk(s, t);
    };
}
}  // namespace
#endif

namespace {

#ifdef PATH_BENCH_TCOD
// The toolkit asks a function for the cost of every step; 0 refuses it.
float TcodStepCost(int xFrom, int yFrom, int xTo, int yTo, void* pData) {
    const Grid& grid = *static_cast<const Grid*>(pData);
    for (int k = 0; k < 8; ++k)
        if (xTo - xFrom == kStepX[k] && yTo - yFrom == kStepY[k])
            return grid.StepAllowed(xFrom, yFrom, k) ? float(kStepCost[k]) : 0.0f;
    return 0.0f;
}

struct TcodDijkstra {
    TCOD_dijkstra_t p;
    explicit TcodDijkstra(Grid& g) : p(TCOD_dijkstra_new_using_function(g.nSide, g.nSide, TcodStepCost, &g, 1.0f)) {}
    ~TcodDijkstra() { TCOD_dijkstra_delete(p); }
};
struct TcodPath {
    TCOD_path_t p;
    explicit TcodPath(Grid& g) : p(TCOD_path_new_using_function(g.nSide, g.nSide, TcodStepCost, &g, 1.0f)) {}
    ~TcodPath() { TCOD_path_delete(p); }
};

// The cost of the steps of a toolkit path from the start, -1 when it does not reach the
// goal, -2 when it takes a step the cost function refuses.
template <typename Get>
int TcodWalkCost(const Grid& grid, int nSteps, Get get) {
    int x = grid.ptStart.x, y = grid.ptStart.y, nCost = 0;
    for (int i = 0; i < nSteps; ++i) {
        int nx = 0, ny = 0;
        get(i, &nx, &ny);
        int nStep = -1;
        for (int k = 0; k < 8; ++k)
            if (nx - x == kStepX[k] && ny - y == kStepY[k]) nStep = k;
        // A step the cost function refused: the path was not built from its answers.
        if (nStep < 0 || !grid.StepAllowed(x, y, nStep)) return -2;
        nCost += kStepCost[nStep];
        x = nx;
        y = ny;
    }
    return x == grid.ptGoal.x && y == grid.ptGoal.y ? nCost : -1;
}

[[maybe_unused]] Search TcodDijkstraSearch(Grid& grid, std::shared_ptr<TcodDijkstra> d) {
    return [&grid, d] {
        TCOD_dijkstra_compute(d->p, grid.ptStart.x, grid.ptStart.y);
        if (!TCOD_dijkstra_path_set(d->p, grid.ptGoal.x, grid.ptGoal.y)) return -1;
        const int n = TCOD_dijkstra_size(d->p);
        return TcodWalkCost(grid, n, [&](int i, int* x, int* y) { TCOD_dijkstra_get(d->p, i, x, y); });
    };
}

[[maybe_unused]] Search TcodAStarSearch(Grid& grid, std::shared_ptr<TcodPath> a) {
    return [&grid, a] {
        if (!TCOD_path_compute(a->p, grid.ptStart.x, grid.ptStart.y, grid.ptGoal.x, grid.ptGoal.y)) return -1;
        return TcodWalkCost(grid, TCOD_path_size(a->p), [&](int i, int* x, int* y) { TCOD_path_get(a->p, i, x, y); });
    };
}
#endif

}  // namespace
