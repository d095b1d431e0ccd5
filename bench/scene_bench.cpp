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

constexpr int kScreenW = 800, kScreenH = 600;
constexpr int kCharacters = 50;

PictureRgba Keyed(int w, int h, std::uint32_t c) {
    PictureRgba pic(w, h, Argb(255, 0, 0, 0));
    pic.Fill(w / 8, h / 8, w - w / 4, h - h / 4, c);
    return pic;
}

void WritePictures(const std::string& strDir) {
    std::filesystem::create_directories(strDir + "/pic");
    auto save = [&](const char* pszName, const PictureRgba& pic) {
        WriteBytesToFile((strDir + "/pic/" + pszName).c_str(), BuildBmp(pic));
    };
    PictureRgba tile(64, 64, Argb(255, 60, 140, 60));
    tile.At(5, 5) = Argb(255, 0, 0, 0);
    save("tile.bmp", tile);
    save("thing.bmp", Keyed(48, 64, Argb(255, 180, 90, 40)));
    PictureRgba anim(4 * 48, 64, Argb(255, 0, 0, 0));
    for (int f = 0; f < 4; ++f) anim.Fill(f * 48 + 6, 10 + 4 * f, 36, 40, Argb(255, 240, 120 + 30 * f, 20));
    save("anim.bmp", anim);
    save("roof.bmp", Keyed(96, 64, Argb(255, 150, 50, 40)));
    // The packages with two character sculpts of four frames a direction.
    const SamplePictureOptions options{.nItemCount = 1, .nFaceCount = 1, .nSceneCount = 1, .sculpts = {1, 20},
                                       .nActions = 2, .nFramesPerDirection = 4, .nEffects = 1, .nEffectFrames = 1,
                                       .extraEntries = {}};
    std::string strError;
    if (!WriteSamplePictures(strDir, options, &strError)) std::fprintf(stderr, "scene_bench: %s\n", strError.c_str());
}

// 50 characters spread over the screen at the view, every other one a fighter.
SettingFileData People(const CScene& scene, POINT ptView) {
    SettingFileData setting;
    for (int i = 0; i < kCharacters; ++i) {
        const POINT pt{ptView.x + 60 + (i % 10) * 70, ptView.y + 120 + (i / 10) * 90};
        const POINT cell = scene.PixelToCell(pt.x, pt.y);
        NpcRecordModel npc;
        npc.nId = i;
        npc.nClass = i % 2 == 0 ? 2 : 0;
        npc.nSculpt = i % 2 == 0 ? 20 : 1;
        npc.nCellX = cell.x;
        npc.nCellY = cell.y;
        npc.events[0] = npc.nClass == 0 ? 10 + i : -1;
        setting.npcs.push_back(BuildNpcRecord(npc));
    }
    return setting;
}

// 200 x 200 cells on either grid; the view sits in the middle of the map.
MapFileData BusyMap(int nKind) {
    MapFileData map;
    map.nGridKind = nKind;
    map.nWidth = nKind == 0 ? 200 : 100;
    map.nHeight = nKind == 0 ? 200 : 100;
    map.nCellSize = 32;
    SceneCell open;
    open.nWall = 0;
    map.cells.assign(200 * 200, open);
    for (int i = 0; i < 200 * 200; i += 37) map.cells[size_t(i)].nWall = 1;
    auto picture = [&](const char* pszName, int nFrames, int w, int h) {
        map.pictures.push_back(ScenePicture(pszName, nFrames, w, h));
        return map.PictureCount() - 1;
    };
    const int tile = picture("tile.bmp", 1, 64, 64), thing = picture("thing.bmp", 1, 48, 64),
              anim = picture("anim.bmp", 4, 48, 64), roof = picture("roof.bmp", 1, 96, 64);
    const int nMapW = nKind == 0 ? 6400 : 6400, nMapH = nKind == 0 ? 6400 : 3200;
    for (int y = 0; y < nMapH; y += 64)
        for (int x = 0; x < nMapW; x += 64) map.lists[kListA].push_back(MapObjectAt(0, 0, tile, x, y, 64, 64));
    const int x0 = 2950, y0 = 1200;
    for (int i = 0; i < 200; ++i) {
        const int x = x0 + (i % 20) * 36, y = y0 + (i / 20) * 48;
        map.lists[kListD].push_back(MapObjectAt(1, i, i % 4 == 0 ? anim : thing, x, y, 48, 64));
    }
    for (int i = 0; i < 30; ++i)
        map.lists[kListC].push_back(MapObjectAt(0, i, roof, x0 + (i % 6) * 130, y0 + (i / 6) * 110, 96, 64));
    return map;
}

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
