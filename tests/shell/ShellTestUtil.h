// Shared pieces of the shell tests: a fresh game folder written with the game kit,
// a per-process lock folder for the single-instance rule, and recorders that stand
// in for the map, the panels and the battle.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/WindowBackend.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/PictureStore.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/AviWriter.h"
#include "tools/gamekit/GameDataWriters.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "ui/boxes/MessageBoxes.h"
#include "world/PlayerHost.h"
#include "world/SceneHost.h"

struct ShellFolderOptions {
    bool bPlayLeader = false;
    bool bVideos = false;
    bool bTables = true;
};

class CShellFolder {
public:
    explicit CShellFolder(const ShellFolderOptions& options = {}) {
        GameModel model;
        model.options.nFullScreen = 0;
        model.options.nScreenWidth = 800;
        model.options.nScreenHeight = 600;
        model.options.nScreenMode = 1;
        model.options.nDataFrom = 1;
        model.options.nPlayLeader = options.bPlayLeader ? 1 : 0;
        std::string why;
        EXPECT_TRUE(WriteGameDataFiles(m_strPath.c_str(), model, &why)) << why;
        SamplePictureOptions pictures;
        pictures.nItemCount = 2;
        pictures.nFaceCount = 1;
        pictures.nSceneCount = 1;
        pictures.sculpts = {0};
        pictures.nActions = 1;
        pictures.nFramesPerDirection = 1;
        pictures.nEffects = 1;
        pictures.nEffectFrames = 1;
        EXPECT_TRUE(WriteSamplePictures(m_strPath, pictures, &why)) << why;
        EXPECT_TRUE(WriteBytesToFile(File("data/script.dat").c_str(), std::vector<std::uint8_t>(12, 0)));
        if (!options.bTables) std::filesystem::remove(File("data/Base.dat"));
        if (options.bVideos) {
            std::filesystem::create_directories(File("movie"));
            const char* names[3] = {"Piantou.AVI", "Ondrik.Avi", "qrb.avi"};
            for (const char* pszName : names) {
                AviSpec spec;
                spec.nFps = 10;
                spec.colours.assign(10, 0x3060A0);  // one second each
                EXPECT_TRUE(WriteAvi(File(std::string("movie/") + pszName), spec, &why)) << why;
            }
        }
    }
    const std::string& Path() const { return m_strPath; }
    std::string File(const std::string& rel) const { return m_strPath + "/" + rel; }

private:
    CTempFolder m_folder{"shelltest"};
    std::string m_strPath = m_folder.Path();
};

// Every test process gets its own lock folder, so tests running side by side never
// see each other as a running game.
inline void UsePrivateRuntimeFolder() {
    setenv("XDG_RUNTIME_DIR", ProcessTempFolder().Path().c_str(), 1);
}

// Records what the main window asks of the map, the panels and the battle.
class CRecordingLinks : public CMapLink, public CPanelLink, public CBattleLink {
public:
    std::vector<std::string> calls;
    bool bScene = true, bToolBar = false, bBattle = false, bInRegion = false, bEffectsDone = false;
    int nHover = -1;
    int nPanelTakesRelease = 0, nWorkTakesRelease = 0, nToolbarTakesKey = 0, nPanelMoves = 0;

    CRecordingLinks() { Install(); }
    ~CRecordingLinks() override {
        SetMapLink(nullptr);
        SetPanelLink(nullptr);
        SetBattleLink(nullptr);
    }
    void Install() {
        SetMapLink(this);
        SetPanelLink(this);
        SetBattleLink(this);
    }
    bool Called(const std::string& s) const { return Count(s) > 0; }
    int Count(const std::string& s) const {
        int n = 0;
        for (const auto& c : calls) n += c == s;
        return n;
    }

    bool HasScene() const override { return bScene; }
    bool HasHero() const override { return bScene; }
    void DrawScene() override { calls.push_back("scene"); }
    void UpdateScene() override { calls.push_back("update scene"); }
    void UpdateHeroes(int) override { calls.push_back("update heroes"); }
    void StopHero() override { calls.push_back("stop hero"); }
    bool IsHeroInRegion() const override { return bInRegion; }
    void TakeMemberLife(int, int) override { calls.push_back("take life"); }
    void SetScrolling() override { calls.push_back("scroll"); }
    int GetHoverObject() const override { return nHover; }
    void WalkHeroTo(int, int) override { calls.push_back("walk"); }
    void ClickNpc(int, bool, int) override { calls.push_back("click npc"); }
    void HitTestObjects(int, int) override { calls.push_back("hit objects"); }
    bool UpdateEffects() override {
        calls.push_back("effects");
        return bEffectsDone;
    }

    CGameToolBar* GetToolBar() const override { return nullptr; }
    bool HasToolBar() const override { return bToolBar; }
    void Draw() override { calls.push_back("panels draw"); }
    int OnLButtonUp() override {
        calls.push_back("toolbar release");
        return nPanelTakesRelease;
    }
    int WorkOnLButtonUp() override {
        calls.push_back("work release");
        return nWorkTakesRelease;
    }
    int OnKeyDown(int, UINT) override {
        calls.push_back("toolbar key");
        return nToolbarTakesKey;
    }
    int OnRButtonDown(int, int) override {
        calls.push_back("toolbar right");
        return 0;
    }
    int PickUpItem() override {
        calls.push_back("pick up");
        return -1;
    }
    // Counted apart from the calls: every mouse move of a run reaches it.
    int OnMouseMove() override { return ++nPanelMoves; }

    CFight* GetFight() const override { return nullptr; }
    bool IsRunning() const override { return bBattle; }
    void StopRunning() override { calls.push_back("battle stop"); }
    void OnLButtonUp(UINT, int, int) override { calls.push_back("battle release"); }
    void OnLButtonDown(UINT, int, int) override { calls.push_back("battle press"); }
    void OnKeyUp(int, UINT, UINT) override { calls.push_back("battle key"); }
    void OnRButtonDown(UINT, int, int) override { calls.push_back("battle right"); }
};

// A main window whose own script step is recorded with the links' calls.
class CRecordingFrame : public CMainFrame {
public:
    explicit CRecordingFrame(CRecordingLinks& links) : m_links(links) {}
    void UpdateScript() override { m_links.calls.push_back("script"); }

private:
    CRecordingLinks& m_links;
};

// A main window with a game-mode object and a cursor, on the virtual clock, with the
// recorders in place of the map, the panels and the battle; no screen.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 1000, 20);
        ResetMessageQueue();
        pFrame = new CRecordingFrame(links);
        pFrame->m_pMenuManager = new CMenuManager;
        pMouse = new CMouse;
        pFrame->m_bInGame = 1;
        pFrame->m_bCanScroll = 1;
        pFrame->m_nScreenWidth = 800;
        pFrame->m_nScreenHeight = 600;
        pFrame->m_rcScroll = RECT{4, 4, 796, 596};
        pFrame->m_nSceneChanging = 0;
        nMsgBoxClick = -1;
        bMsgBoxOpen = 0;
    }
    void TearDown() override {
        delete pFrame;
        pFrame = nullptr;
        delete pMouse;
        pMouse = nullptr;
        bMsgBoxOpen = 0;
        ResetMessageQueue();
    }
    CMenuManager& Menus() { return *pFrame->m_pMenuManager; }
    // A windowed 800 x 600 headless screen for the main window; the caller deletes it.
    [[nodiscard]] ::testing::AssertionResult OpenScreen() {
        pFrame->m_bFullScreen = 0;
        if (!pFrame->CreateMainWindow()) return ::testing::AssertionFailure() << "the main window was not made";
        pFrame->SetWindowMode();
        pScreen = new CDXScreen;
        if (const int nError = pScreen->CreateWindowed(pFrame, 800, 600); nError != 0)
            return ::testing::AssertionFailure() << "the windowed screen failed with " << nError;
        pBack = pScreen->GetBack();
        return ::testing::AssertionSuccess();
    }
    // Makes a written game folder current and opens it as the game does: options, the
    // table cache, the picture store and the screen. The caller deletes what it made.
    void OpenGameFolder(const std::string& strPath) {
        SetCurrentDirectory(strPath.c_str());
        pGameData = new CGameData;
        pGameData->InitPaths(strPath.c_str());
        pGameData->LoadOptions();
        ASSERT_TRUE(pGameData->ReadTableCache()) << pGameData->GetLastError();
        CreatePictureStore();
        std::string why;
        ASSERT_TRUE(InitPictureStore(&why)) << why;
        ASSERT_TRUE(OpenScreen());
    }
    // Undoes OpenGameFolder once the main window is gone, with the world's hosts.
    void CloseGameFolder() {
        DeletePictureStore();
        delete pGameData;
        pGameData = nullptr;
        delete pScreen;
        pScreen = nullptr;
        pBack = nullptr;
        SetSceneHost(nullptr);
        SetHeroHost(nullptr);
    }
    CRecordingLinks links;
};
