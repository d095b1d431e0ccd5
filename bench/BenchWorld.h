// The world the scene benchmarks share: a temporary game folder holding the pictures a
// benchmark writes, the virtual clock, a default scene host, game data with one enemy row
// and the picture store. Everything is undone and the folder removed on destruction.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>
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
