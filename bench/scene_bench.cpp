// A busy scene frame: the scene's update and draw into an 800 x 600 16-bit back buffer,
// on both grids, beside a plain memcpy of one frame. The scene has 200 x 200 cells, list A
// tiles under the whole map, 200 list D objects on the screen (a quarter animated, every
// one in the depth sort), 30 list C roofs, cell marks, so every per-frame cell pass runs,
// and 50 characters on the screen (half fighters), drawn from the sprite package.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchScene.h"
#include "bench/BenchWorld.h"
#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Video.h"
#include "shell/ShellGlobals.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/MapWriters.h"
#include "tools/gamekit/NpcRecordWriter.h"
#include "tools/gamekit/Offscreen.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "world/EffectManager.h"
#include "world/Scene.h"
#include "world/SceneHost.h"

namespace {

using namespace benchscene;

struct Result {
    double fFrameMs = 0;
};
std::map<std::string, Result> g_results;
double g_fMemcpyUs = 0;

void RunScene(benchmark::State& state, int nKind, const std::string& strDir) {
    CDXScreen screen;
    pScreen = &screen;
    auto pBackSurface = MakeOffscreen565(screen, kScreenW, kScreenH);
    pBack = pBackSurface.get();
    SetCurrentDirectory(strDir.c_str());
    auto pSceneObject = std::make_unique<CScene>();
    pScene = pSceneObject.get();
    if (!pScene->BuildFromMap(0, BusyMap(nKind))) {
        state.SkipWithError(pScene->GetLoadError().c_str());
        return;
    }
    pScene->ptView = POINT{2900, 1100};
    pScene->ApplySetting(People(*pScene, pScene->ptView));
    for (int i = 0; i < 40; ++i) pScene->SetCellMark(90 + i, 40, i, 0);
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        dwNowTime += 20;
        AdvanceVirtualClock(20);
        pScene->Update();
        pScene->Draw();
        benchmark::ClobberMemory();
    }
    const double fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    g_results[nKind == 0 ? "rectangular" : "diamond"].fFrameMs = fSeconds * 1000 / double(state.iterations());
    state.counters["draw list"] = double(pScene->GetDrawList().size());
    state.counters["characters"] = double(pScene->GetNpcCount());
    pScene = nullptr;
    pSceneObject.reset();
    pBack = nullptr;
    pBackSurface.reset();
    pScreen = nullptr;
}

void RunMemcpy(benchmark::State& state) { RunFrameMemcpy(state, kScreenW, kScreenH, &g_fMemcpyUs); }

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CBenchWorld world("scenebench", EnemyNpcRow{.nLife = 100, .nChangSceneResume = 1}, WritePictures);
    const std::string& strDir = world.strDir;
    auto pEffects = std::make_unique<CEffectManager>();
    pEffectManager = pEffects.get();
    benchmark::RegisterBenchmark("scene/rectangular", [&](benchmark::State& s) { RunScene(s, 0, strDir); })->MinTime(1.0);
    benchmark::RegisterBenchmark("scene/diamond", [&](benchmark::State& s) { RunScene(s, 1, strDir); })->MinTime(1.0);
    benchmark::RegisterBenchmark("memcpy/800x600x2", RunMemcpy)->MinTime(0.5);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nScene frame (Update + Draw), 800 x 600 16-bit, 200 x 200 cells, 200 list D and %d characters on screen; target 2 ms\n", kCharacters);
    std::printf("%-12s %10s %12s %8s %s\n", "grid", "ms/frame", "memcpy us", "ratio", "target");
    for (const auto& [name, r] : g_results)
        std::printf("%-12s %10.3f %12.1f %7.1fx %s\n", name.c_str(), r.fFrameMs, g_fMemcpyUs,
                    g_fMemcpyUs > 0 ? r.fFrameMs * 1000 / g_fMemcpyUs : 0.0, r.fFrameMs < 2.0 ? "met" : "missed");
    pEffectManager = nullptr;
    benchmark::Shutdown();
    return 0;
}
