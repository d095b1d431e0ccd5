// The path finder beside its peers on the same grids: our reference search, our game
// search, a generic graph library's Dijkstra and A* on an implicit 8-connected grid, and a
// roguelike toolkit's Dijkstra and A*. Every row uses the step costs 10 / 11 / 20 of the
// eight directions and refuses steps that cut a blocked corner; each search starts in
// one corner and looks for the opposite one, clearing its arrays every time. Before the
// runs the game search is held to the reference on 20,000 random maps. After the runs a
// table of milliseconds per search and ratios is printed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "world/PathFinder.h"
#include "world/PathFinderCheck.h"
#include "world/Scene.h"
#include "bench/GridPeers.h"

namespace {

// 20 % walls by a fixed seed, the corners kept open; a walled-in goal has its eight
// neighbours blocked.
Grid MakeGrid(int nSide, bool bWalls, bool bWalledGoal) {
    Grid g;
    g.nSide = nSide;
    g.bWalls = bWalls;
    g.bWalledGoal = bWalledGoal;
    g.pScene = std::make_unique<CScene>();
    g.pScene->InitMap(nSide, nSide, 0, 32);
    std::mt19937 rng{unsigned(nSide)};
    std::bernoulli_distribution wall(0.2);
    for (auto& nBlocked : g.pScene->pBlocked) nBlocked = bWalls && wall(rng) ? 1 : 0;
    g.ptStart = POINT{0, 0};
    g.ptGoal = POINT{nSide - 1, nSide - 1};
    for (int d = 0; d < 3; ++d)
        for (int e = 0; e < 3; ++e) {
            g.pScene->pBlocked[size_t(d + nSide * e)] = 0;
            g.pScene->pBlocked[size_t((nSide - 1 - d) + nSide * (nSide - 1 - e))] = 0;
        }
    if (bWalledGoal)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((dx || dy) && !g.Blocked(nSide - 1 + dx, nSide - 1 + dy))
                    g.pScene->pBlocked[size_t((nSide - 1 + dx) + nSide * (nSide - 1 + dy))] = 1;
    return g;
}

const int kSides[] = {100, 200, 300};
const char* const kImpls[] = {"ours-game", "ours-reference", "graph-dijkstra", "graph-astar", "tk-dijkstra", "tk-astar"};

std::string GridName(int nSide, bool bWalls, bool bWalledGoal) {
    return std::to_string(nSide) + "^2/" + (bWalls ? "walls20" : "open") + "/" + (bWalledGoal ? "walled-goal" : "reachable");
}

// Milliseconds per search (the fastest repetition) and the goal cost found, by grid name
// and implementation.
std::map<std::string, double> g_ms;
std::map<std::string, int> g_cost;

bool MakeSearch(Grid& grid, const std::string& impl, Search* pOut) {
    if (impl == "ours-game") return bool(*pOut = GameSearch(grid, false));
    if (impl == "ours-reference") return bool(*pOut = GameSearch(grid, true));
#ifdef PATH_BENCH_BOOST
    if (impl == "graph-dijkstra") return bool(*pOut = BoostSearch(grid, std::make_shared<GraphArrays>(grid.nSide * grid.nSide), false));
    if (impl == "graph-astar") return bool(*pOut = BoostSearch(grid, std::make_shared<GraphArrays>(grid.nSide * grid.nSide), true));
#endif
#ifdef PATH_BENCH_TCOD
    if (impl == "tk-dijkstra") return bool(*pOut = TcodDijkstraSearch(grid, std::make_shared<TcodDijkstra>(grid)));
    if (impl == "tk-astar") return bool(*pOut = TcodAStarSearch(grid, std::make_shared<TcodPath>(grid)));
#endif
    return false;
}

// The game search against the reference on random maps; false at the first difference.
bool CheckRandomMaps(int nMaps) {
    std::mt19937 rng(20000);
    for (int i = 0; i < nMaps; ++i) {
        CScene scene;
        PathCase c;
        if (!MakeRandomPathCase(scene, rng, 64, &c)) continue;
        const std::string strDifference = ComparePathSearches(scene, c);
        if (!strDifference.empty()) {
            std::printf("map %d (%s): %s\n", i, DescribePathCase(c).c_str(), strDifference.c_str());
            return false;
        }
    }
    return true;
}

void PrintTable() {
    std::printf("\nPath search, start corner to opposite corner, milliseconds per search (goal cost found)\n");
    std::printf("%-28s", "grid");
    for (const char* impl : kImpls) std::printf(" %16s", impl);
    std::printf(" %10s %10s\n", "game/dijk", "game/A*");
    for (int nSide : kSides)
        for (bool bWalls : {false, true})
            for (bool bWalled : {false, true}) {
                const std::string name = GridName(nSide, bWalls, bWalled);
                std::printf("%-28s", name.c_str());
                auto ms = [&](const char* impl) {
                    auto it = g_ms.find(name + "/" + impl);
                    return it == g_ms.end() ? -1.0 : it->second;
                };
                for (const char* impl : kImpls) {
                    const double v = ms(impl);
                    if (v < 0) {
                        std::printf(" %16s", "-");
                        continue;
                    }
                    char cell[40];
                    std::snprintf(cell, sizeof cell, "%.3f (%d)", v, g_cost[name + "/" + impl]);
                    std::printf(" %16s", cell);
                }
                double fDijkstra = -1, fAStar = -1;
                for (const char* impl : {"graph-dijkstra", "tk-dijkstra"})
                    if (ms(impl) > 0 && (fDijkstra < 0 || ms(impl) < fDijkstra)) fDijkstra = ms(impl);
                for (const char* impl : {"graph-astar", "tk-astar"})
                    if (ms(impl) > 0 && (fAStar < 0 || ms(impl) < fAStar)) fAStar = ms(impl);
                const double fGame = ms("ours-game");
                std::printf(" %9.2fx %9.2fx\n", fDijkstra > 0 ? fGame / fDijkstra : 0.0, fAStar > 0 ? fGame / fAStar : 0.0);
            }
    std::printf("ratios: the game search's time over the fastest peer's (below 1 is faster)\n");
    std::printf("cost -1: no path; -2: the path takes a step the cost function refused\n");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    constexpr int kCheckedMaps = 20000;
    const auto t0 = std::chrono::steady_clock::now();
    const bool bSame = CheckRandomMaps(kCheckedMaps);
    std::printf("game search against the reference on %d random maps: %s (%.1f s)\n", kCheckedMaps,
                bSame ? "identical" : "DIFFERENT",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    if (!bSame) return 1;

    std::vector<std::unique_ptr<Grid>> grids;
    for (int nSide : kSides)
        for (bool bWalls : {false, true})
            for (bool bWalled : {false, true}) {
                grids.push_back(std::make_unique<Grid>(MakeGrid(nSide, bWalls, bWalled)));
                Grid& grid = *grids.back();
                const std::string name = GridName(nSide, bWalls, bWalled);
                for (const char* impl : kImpls) {
                    Search search;
                    if (!MakeSearch(grid, impl, &search)) continue;
                    const std::string key = name + "/" + impl;
                    benchmark::RegisterBenchmark(key.c_str(), [key, search](benchmark::State& state) {
                        int nCost = 0;
                        const auto t = std::chrono::steady_clock::now();
                        for (auto _ : state) {
                            nCost = search();
                            benchmark::DoNotOptimize(nCost);
                        }
                        const double fSeconds =
                            std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
                        // The fastest of the repetitions: the machine's other work only adds.
                        const double fMs = fSeconds * 1000.0 / double(std::max<std::int64_t>(state.iterations(), 1));
                        if (!g_ms.count(key) || fMs < g_ms[key]) g_ms[key] = fMs;
                        g_cost[key] = nCost;
                    })
                        ->MinTime(0.2)
                        ->Repetitions(3)
                        ->ReportAggregatesOnly(true)
                        ->Unit(benchmark::kMillisecond);
                }
            }
    benchmark::RunSpecifiedBenchmarks();
    PrintTable();
    benchmark::Shutdown();
    return 0;
}
