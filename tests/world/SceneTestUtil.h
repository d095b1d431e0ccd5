// Shared pieces of the scene tests: a host standing in for the main window and the
// toolbar, small map models, and a fixture that makes the scene current.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/MapFile.h"
#include "world/Scene.h"
#include "tools/gamekit/MapWriters.h"
#include "world/SceneHost.h"

class CFakeSceneHost : public CSceneHost {
public:
    int nScreenWidth = 800, nScreenHeight = 600;
    int nScene = 0;
    bool bInGame = true;
    bool bPackages = false, bCopy = false;
    float fShadowScale = 0.0f;
    int nReapCalls = 0;
    int nActiveSlot = 0;
    std::int32_t flagsA[kSceneFlagRows][kSceneFlagColumns] = {};
    std::int32_t flagsB[kSceneFlagRows][kSceneFlagColumns] = {};

    CFakeSceneHost() { SetSceneHost(this); }
    ~CFakeSceneHost() override { SetSceneHost(nullptr); }
    int GetScreenWidth() const override { return nScreenWidth; }
    int GetScreenHeight() const override { return nScreenHeight; }
    int GetDisplayWidth() const override { return nScreenWidth; }
    int GetDisplayHeight() const override { return nScreenHeight; }
    int GetSceneNumber() const override { return nScene; }
    bool IsInGame() const override { return bInGame; }
    SceneFlagTable GetEventFlagsA() const override { return const_cast<SceneFlagTable>(flagsA); }
    SceneFlagTable GetEventFlagsB() const override { return const_cast<SceneFlagTable>(flagsB); }
    bool CopyPictures() const override { return bCopy; }
    bool PicturesFromPackages() const override { return bPackages; }
    void SetShadowScale(float f) override { fShadowScale = f; }
    void ReapEffects() override { ++nReapCalls; }
    int GetActiveSlot() const override { return nActiveSlot; }
};

// Cells of an open grid: no walls, every other word as a new scene has it.
inline std::vector<SceneCell> OpenCells(int nCount) {
    SceneCell open;
    open.nWall = 0;
    return std::vector<SceneCell>(size_t(nCount), open);
}

// A map of w x h (rectangular) or a diamond of arguments w, h, with open cells.
inline MapFileData EmptyMap(int nKind, int w, int h, int nVersion = 1, int nCell = 32) {
    MapFileData map;
    map.nVersion = nVersion;
    map.nGridKind = nKind;
    map.nWidth = w;
    map.nHeight = h;
    map.nCellSize = nCell;
    const int nSide = nKind == 0 ? 0 : w + h;
    map.cells = OpenCells(nKind == 0 ? w * h : nSide * nSide);
    return map;
}

// The scene under test is the current scene; the virtual clock runs from 1000.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 1000, 20);
        dwNowTime = TimeGetTime();
        pScene = &scene;
    }
    void TearDown() override { pScene = nullptr; }
    [[nodiscard]] ::testing::AssertionResult Build(const MapFileData& map, int nScene = 0) {
        host.nScene = nScene;
        if (!scene.BuildFromMap(nScene, map)) return ::testing::AssertionFailure() << scene.GetLoadError();
        return ::testing::AssertionSuccess();
    }
    CFakeSceneHost host;
    CScene scene;
};
