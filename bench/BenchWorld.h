// The world the scene benchmarks share: a temporary game folder holding the pictures a
// benchmark writes, the virtual clock, a default scene host, game data with one enemy row
// and the picture store. Everything is undone and the folder removed on destruction.
#pragma once
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "bench/BenchTimed.h"
#include "CDX/CDXScreen.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/SceneHost.h"

class CBenchWorld {
public:
    // pszName names the folder and the messages; fnWritePictures fills the folder.
    CBenchWorld(const char* pszName, const EnemyNpcRow& enemy,
                const std::function<void(const std::string&)>& fnWritePictures) {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(pszName) + ".XXXXXX")).string();
        if (!mkdtemp(pattern.data())) {
            std::fprintf(stderr, "%s: cannot make a temporary folder\n", pszName);
            std::exit(1);
        }
        strDir = pattern;
        fnWritePictures(strDir);
        UseVirtualClock(true, 1000, 20);
        dwNowTime = TimeGetTime();
        SetSceneHost(&m_host);
        m_data.InitPaths(strDir.c_str());
        m_enemies.assign(1, enemy);
        m_data.pEnemyNpc = m_enemies.data();
        m_data.nEnemyNpcCount = 1;
        pGameData = &m_data;
        CDXScreen storeScreen;
        pScreen = &storeScreen;
        m_pStore = std::make_unique<CBitmapData>();
        if (m_pStore->Init()) pBitmapData = m_pStore.get();
        else std::fprintf(stderr, "%s: no picture store: %s\n", pszName, m_pStore->GetError().c_str());
        pScreen = nullptr;
    }
    ~CBenchWorld() {
        pBitmapData = nullptr;
        m_pStore.reset();
        pGameData = nullptr;
        SetSceneHost(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(strDir, ec);
    }
    CBenchWorld(const CBenchWorld&) = delete;
    CBenchWorld& operator=(const CBenchWorld&) = delete;

    std::string strDir;

private:
    CSceneHost m_host;
    CGameData m_data;
    std::vector<EnemyNpcRow> m_enemies;
    std::unique_ptr<CBitmapData> m_pStore;
};

// A plain memcpy of one 16-bit frame of w x h pixels, the yardstick of the frame
// benchmarks; the microseconds per copy go to *pUs.
inline void RunFrameMemcpy(benchmark::State& state, int w, int h, double* pUs) {
    std::vector<std::uint16_t> a(size_t(w) * size_t(h), 0x1234), b(a.size());
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 2);
        benchmark::ClobberMemory();
    }
    const double fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    *pUs = fSeconds * 1e6 / double(state.iterations());
}
