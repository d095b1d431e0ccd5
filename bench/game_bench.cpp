// The sample game (the folder tools/mkgame writes) run whole in this process, headless,
// over an input script: a new game, a talk with the greeting on the screen, then walks
// and idle play on the map. Each pass of the main loop is timed in processor time and
// sorted by the game mode it ended in, so the passes with a talk on the screen stand
// beside the plain map passes, with a memcpy of one frame as the yardstick. At the end
// of the play every scene of the folder is built from its files and drawn once, as a
// scene change does, beside reading the same files' bytes.
//
// The folder comes from BENCH_GAME_DIR (scripts/bench writes one); without it the
// program says so and ends. The game may extract music into the folder.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchWorld.h"
#include "gamedata/BitmapData.h"
#include "gamedata/PkgFile.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "platform/WindowBackend.h"
#include "shell/GameApp.h"
#include "shell/MainFrame.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"
#include "world/ScenePic.h"

namespace {

constexpr int kModeMap = 3, kModeTalk = 9;
constexpr DWORD kSceneBenchAtMs = 40000;  // virtual time of the scene loads
constexpr int kSceneRepeats = 20;

std::string ClickAt(int nMs, int x, int y) {
    return std::to_string(nMs) + " lbutton down " + std::to_string(x) + " " + std::to_string(y) + "\n" +
           std::to_string(nMs + 40) + " lbutton up " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

// The title's new-game button; a step into the greeting's region; the greeting typed and
// read for ten seconds, then clicked through; two walks and idle play on the map.
std::string PlayScript() {
    std::string s = "8500 move 280 240\n9000 lbutton down 280 240\n9040 lbutton up 280 240\n" + ClickAt(9600, 536, 272);
    for (int t = 20000; t <= 26000; t += 300) s += ClickAt(t, 400, 300);
    s += "26500 move 600 480\n" + ClickAt(27000, 784, 300) + ClickAt(29000, 700, 500);
    s += "40500 close\n";
    return s;
}

struct PassTimes {
    std::map<int, std::vector<double>> byMode;  // microseconds of processor time
    double fLast = -1;
};
PassTimes g_passes;

struct SceneLoad {
    int nScene = 0;
    double fLoadUs = 0;   // building the scene from its files and drawing its first frame
    double fFrameUs = 0;  // a later frame of the same scene
    double fReadUs = 0;   // reading the bytes the load read
    size_t nBytes = 0;
};
std::vector<SceneLoad> g_sceneLoads;
bool g_bScenesDone = false;

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The bytes of a file of the game folder, read whole; 0 when it cannot be read.
size_t ReadFileBytes(const std::string& strName) {
    std::vector<std::uint8_t> bytes;
    std::string strWhy;
    return ReadWholeFile(strName.c_str(), size_t(512) << 20, &bytes, &strWhy) ? bytes.size() : 0;
}

// The bytes of the pictures the scene's first frame loaded, read the way they were found.
size_t ReadPictureBytes(const CScene& scene) {
    size_t nBytes = 0;
    const bool bInside = scene.nSceneNo >= 100;
    for (const auto& pPic : scene.pPictures) {
        if (!pPic->IsLoaded() || pPic->strName.empty()) continue;
        if (!pPic->bFromPackage) {
            nBytes += ReadFileBytes(std::string(bInside ? "pic-inside\\" : "pic\\") + pPic->strName);
            continue;
        }
        CPkgFile* pPkg = bInside ? pBitmapData->GetSceneInsidePkg() : pBitmapData->GetScenePkg();
        const int nSize = pPkg ? pPkg->GetSize(pPic->strName.c_str()) : -1;
        FILE* pStream = nSize > 0 ? pPkg->Seek(pPic->strName.c_str()) : nullptr;
        if (!pStream) continue;
        std::vector<std::uint8_t> bytes(static_cast<size_t>(nSize));
        nBytes += std::fread(bytes.data(), 1, bytes.size(), pStream);
    }
    return nBytes;
}

std::vector<int> SceneNumbers() {
    std::vector<int> scenes;
    for (int n = 0; n < 1000; ++n) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "map\\scene%03d.map", n);
        if (FileExists(szName)) scenes.push_back(n);
    }
    return scenes;
}

// Builds every scene as a scene change does, then the scene of the play again.
void MeasureSceneLoads() {
    const int nPlayScene = pFrame->m_nCurrentScene;
    for (int nScene : SceneNumbers()) {
        SceneLoad load;
        load.nScene = nScene;
        // The scene's number is the game's, as after a scene change (pictures of the
        // inside scenes come from their own folder).
        pFrame->m_nCurrentScene = nScene;
        for (int i = 0; i < kSceneRepeats; ++i) {
            const double t0 = ThreadCpuSeconds();
            if (!MakeScene(nScene, nullptr)) break;
            pScene->Draw();
            const double t1 = ThreadCpuSeconds();
            pScene->Draw();
            const double t2 = ThreadCpuSeconds();
            char szMap[32], szSet[32];
            std::snprintf(szMap, sizeof szMap, "map\\scene%03d.map", nScene);
            std::snprintf(szSet, sizeof szSet, "map\\scene%03d.set", nScene);
            SetGameFolderCurrent();
            load.nBytes = ReadFileBytes(szMap) + ReadFileBytes(szSet) + ReadPictureBytes(*pScene);
            const double t3 = ThreadCpuSeconds();
            load.fLoadUs += (t1 - t0) * 1e6 / kSceneRepeats;
            load.fFrameUs += (t2 - t1) * 1e6 / kSceneRepeats;
            load.fReadUs += (t3 - t2) * 1e6 / kSceneRepeats;
        }
        g_sceneLoads.push_back(load);
    }
    pFrame->m_nCurrentScene = nPlayScene;
    MakeScene(nPlayScene, nullptr);
}

void OnPass() {
    const double t = ThreadCpuSeconds();
    if (g_passes.fLast >= 0 && pFrame) g_passes.byMode[pFrame->GetGameMode()].push_back((t - g_passes.fLast) * 1e6);
    if (!g_bScenesDone && TimeGetTime() >= kSceneBenchAtMs && pFrame && pFrame->GetGameMode() == kModeMap) {
        g_bScenesDone = true;
        MeasureSceneLoads();
    }
    g_passes.fLast = ThreadCpuSeconds();
}

// Runs the game as its main does over the sample folder until the script closes it;
// false when it did not start. The single-instance lock is kept in a folder of its own,
// so a game running elsewhere does not end this one at once.
bool RunGame(const std::string& strDir) {
    std::string strRuntime = (std::filesystem::temp_directory_path() / "game_bench.XXXXXX").string();
    if (!mkdtemp(strRuntime.data())) return false;
    setenv("XDG_RUNTIME_DIR", strRuntime.c_str(), 1);
    SetCurrentDirectory(strDir.c_str());
    UseVirtualClock(true, 1000, 20);
    ResetMessageQueue();
    if (LoadInputScriptText(PlayScript(), "game_bench") != 0) return false;
    pfnFrameProbe = OnPass;
    CGameApp app;
    app.InitInstance();
    pfnFrameProbe = nullptr;
    const bool bRan = app.ExitInstance() == 0 && !g_passes.byMode.empty();
    std::error_code ec;
    std::filesystem::remove_all(strRuntime, ec);
    return bRan;
}

double g_fMemcpyUs = 0;

}  // namespace

int main(int argc, char** argv) {
    setenv("GAME_HEADLESS", "1", 1);
    benchmark::Initialize(&argc, argv);
    const char* pszDir = std::getenv("BENCH_GAME_DIR");
    if (!pszDir || !std::filesystem::is_directory(pszDir)) {
        std::fprintf(stderr, "game_bench: BENCH_GAME_DIR names no sample game folder (tools/mkgame DIR writes one)\n");
        return 0;
    }
    benchmark::RegisterBenchmark("memcpy/800x600x2", [](benchmark::State& s) { RunFrameMemcpy(s, 800, 600, &g_fMemcpyUs); })
        ->MinTime(0.5);
    benchmark::RunSpecifiedBenchmarks();

    if (!RunGame(std::filesystem::absolute(pszDir).string())) {
        std::fprintf(stderr, "game_bench: the game did not run\n");
        return 1;
    }
    const double fMap = Median(g_passes.byMode[kModeMap]);
    std::printf("\nSample game pass (one pass of the main loop, headless, 800 x 600), processor time; target: talk <= 1.3x map\n");
    std::printf("%-14s %7s %10s %10s %10s %9s\n", "passes", "count", "median us", "mean us", "vs memcpy", "vs map");
    for (const auto& [nMode, times] : g_passes.byMode) {
        if (nMode != kModeMap && nMode != kModeTalk) continue;
        double fSum = 0;
        for (double f : times) fSum += f;
        const double fMedian = Median(times), fMean = times.empty() ? 0 : fSum / double(times.size());
        std::printf("%-14s %7zu %10.1f %10.1f %9.1fx %8.2fx\n", nMode == kModeMap ? "map (mode 3)" : "talk (mode 9)",
                    times.size(), fMedian, fMean, g_fMemcpyUs > 0 ? fMedian / g_fMemcpyUs : 0.0,
                    fMap > 0 ? fMedian / fMap : 0.0);
    }
    std::printf("\nScene change: the scene built from its files and its first frame drawn, beside reading the same bytes\n");
    std::printf("%-8s %10s %12s %12s %12s %9s\n", "scene", "bytes", "load us", "frame us", "read us", "vs read");
    for (const SceneLoad& l : g_sceneLoads)
        std::printf("%-8d %10zu %12.1f %12.1f %12.1f %8.1fx\n", l.nScene, l.nBytes, l.fLoadUs, l.fFrameUs, l.fReadUs,
                    l.fReadUs > 0 ? l.fLoadUs / l.fReadUs : 0.0);
    benchmark::Shutdown();
    return 0;
}
