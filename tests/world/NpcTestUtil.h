// The effects' game folder with a sprite package of sculpts 0, 1, 20 and 89 with four
// frames in actions 0..5 and two-frame ground pictures, a small enemy and item table,
// the effect manager, the cursor and fakes of the scene's and characters' hosts: what
// the characters and ground items of a scene need. Scenes are 40 x 30 open cells of 32.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CDX/CDXScreen.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "media/TgaDraw.h"
#include "platform/Clock.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "tests/world/EffectTestUtil.h"
#include "tests/world/SceneTestUtil.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/NpcRecordWriter.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "world/EffectManager.h"
#include "world/NpcHost.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace npctest {

class CFakeNpcHost : public CNpcHost {
public:
    int nStartResult = 0;
    std::vector<int> started;
    bool bPanelOpen = false;
    int nEffectWaitCleared = 0;
    std::vector<std::string> fatal;
    int StartEvent(int nEvent) override {
        started.push_back(nEvent);
        return nStartResult < 0 ? nStartResult : nEvent;
    }
    bool IsPanelOpen() const override { return bPanelOpen; }
    void ClearSecondEffectWait() override { ++nEffectWaitCleared; }
    // The main window's run flag for the next script walk; taking it clears it.
    bool bRunFlag = false;
    bool TakeNpcWalkModeFlag() override { return std::exchange(bRunFlag, false); }
    void FailNpcInit(const std::string& strText) override { fatal.push_back(strText); }
};

// Frame colours of the ground pictures "DWP%03d.bmp": two 16 x 16 frames inside a
// black border that keys them.
constexpr std::uint32_t kGroundFrame0 = Argb(255, 255, 0, 0);
constexpr std::uint32_t kGroundFrame1 = Argb(255, 0, 255, 0);
inline PkgEntryData GroundPicture(int n) {
    PictureRgba pic(32, 16, Argb(255, 0, 0, 0));
    pic.Fill(2, 2, 12, 12, kGroundFrame0);
    pic.Fill(18, 2, 12, 12, kGroundFrame1);
    char szName[32];
    std::snprintf(szName, sizeof szName, "DWP%03d.bmp", n);
    return PkgEntryData{szName, BuildBmp(pic)};
}

inline POINT CursorOfMouse() { return pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{-1, -1}; }

// Enemy rows: 0 a fighter that revives (life 60), 1 one that does not (life 80),
// 2 a fighter with a sound (life 100), 3 a talker's row with its loot flag.
constexpr int kReviveRow = 0, kStayDeadRow = 1, kSoundRow = 2, kTalkerRow = 3;
constexpr int kFrames = 4;
constexpr int kCell = 32;

class NpcTest : public effecttest::EffectTest {
protected:
    SamplePictureOptions PictureOptions() const override {
        SamplePictureOptions options{.nItemCount = 4, .nFaceCount = 1, .nSceneCount = 1,
                                     .sculpts = {0, 1, 20, 89}, .nActions = 6,
                                     .nFramesPerDirection = kFrames, .nEffects = 1, .nEffectFrames = 1, .extraEntries = {}};
        for (int i = 0; i < 4; ++i) options.extraEntries["menu.pkg"].push_back(GroundPicture(i));
        return options;
    }

    void SetUp() override {
        EffectTest::SetUp();
        if (HasFatalFailure()) return;
        m_enemies.resize(4);
        m_enemies[kReviveRow] = EnemyNpcRow{.nLife = 60, .nAttack = 12, .nDefance = 3, .nChangSceneResume = 1};
        m_enemies[kStayDeadRow] = EnemyNpcRow{.nLife = 80, .nChangSceneResume = 0};
        m_enemies[kSoundRow] = EnemyNpcRow{.nSkill1 = 7, .nLife = 100, .nSkillAttackProbability = 25,
                                           .nChangSceneResume = 1, .nSoundNo = 2, .nSoundTime = 3};
        m_enemies[kTalkerRow] = EnemyNpcRow{.nEnableKilled = 1, .nChangSceneResume = 1};
        m_data.pEnemyNpc = m_enemies.data();
        m_data.nEnemyNpcCount = int(m_enemies.size());
        m_items.resize(4);
        for (int i = 0; i < 4; ++i) {
            m_items[size_t(i)].nTypeOnGround = i;
            m_items[size_t(i)].pName = kItemNames[i];
        }
        m_data.pItem = m_items.data();
        m_data.nItemCount = int(m_items.size());
        m_pEffects = std::make_unique<CEffectManager>();
        pEffectManager = m_pEffects.get();
        SetNpcHost(&m_npcHost);
        pMouse = &m_mouse;
        m_mouse.m_nX = m_mouse.m_nY = -1000;
        SetTgaCursorSource(&CursorOfMouse);
        nHoverNpcId = -1;
    }

    void TearDown() override {
        pScene = nullptr;
        m_pScene.reset();
        SetTgaCursorSource(nullptr);
        pMouse = nullptr;
        pPlayer = nullptr;
        nHoverNpcId = -1;
        SetNpcHost(nullptr);
        pEffectManager = nullptr;
        EffectTest::TearDown();
    }

    using NpcRecord = std::array<std::uint8_t, kNpcRecordSize>;
    // Builds scene nScene (40 x 30 open cells, each with its centre as its point) with
    // these people, as entering the scene does.
    [[nodiscard]] ::testing::AssertionResult Build(int nScene, const std::vector<NpcRecordModel>& people) {
        std::vector<NpcRecord> records;
        for (const NpcRecordModel& npc : people) records.push_back(BuildNpcRecord(npc));
        return BuildRecords(nScene, records);
    }
    [[nodiscard]] ::testing::AssertionResult BuildRecords(int nScene, const std::vector<NpcRecord>& records) {
        pScene = nullptr;
        m_pScene = std::make_unique<CScene>();
        pScene = m_pScene.get();
        m_sceneHost.nScene = nScene;
        MapFileData map = EmptyMap(0, 40, 30);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                map.cells[size_t(x + 40 * y)].nPointX = x * kCell + kCell / 2;
                map.cells[size_t(x + 40 * y)].nPointY = y * kCell + kCell / 2;
            }
        if (!m_pScene->BuildFromMap(nScene, map))
            return ::testing::AssertionFailure() << "scene " << nScene << ": " << m_pScene->GetLoadError();
        SettingFileData setting;
        setting.nStartX = 100;
        setting.nStartY = 100;
        setting.npcs = records;
        m_pScene->ApplySetting(setting);
        return ::testing::AssertionSuccess();
    }
    CScene& Scene() { return *m_pScene; }
    CNpc& Npc(int nIndex) { return *m_pScene->GetNpc(nIndex); }

    static NpcRecordModel Person(int nId, int nClass, int nRow, int cx, int cy, int nSculpt = 1) {
        NpcRecordModel n;
        n.nId = nId;
        n.nClass = nClass;
        n.nEnemyRow = nRow;
        n.nCellX = cx;
        n.nCellY = cy;
        n.nSculpt = nSculpt;
        return n;
    }
    static NpcRecordModel Talker(int nId, int cx, int cy, int nSculpt = 1) {
        NpcRecordModel n = Person(nId, 0, kTalkerRow, cx, cy, nSculpt);
        n.events[0] = 30 + nId;
        return n;
    }

    // Updates every character once per 100 ms for ms milliseconds.
    void Run(DWORD ms) {
        for (DWORD t = 0; t < ms; t += 100) {
            Tick(100);
            for (int i = 0; i < Scene().GetNpcCount(); ++i) Npc(i).Update();
        }
    }
    // Puts the cursor on a character's body (screen pixels) and draws the scene once.
    void HoverAndDraw(const CNpc& npc) {
        m_mouse.m_nX = npc.pState->nMapX - Scene().ptView.x;
        m_mouse.m_nY = npc.pState->nMapY - Scene().ptView.y - 60;
        Scene().Draw();
    }

    static constexpr const char* kItemNames[4] = {"money", "herb", "sword", "cap"};

    std::vector<EnemyNpcRow> m_enemies;
    std::vector<ItemRow> m_items;
    std::unique_ptr<CEffectManager> m_pEffects;
    CFakeSceneHost m_sceneHost;
    CFakeNpcHost m_npcHost;
    CMouse m_mouse;
    std::unique_ptr<CScene> m_pScene;
};

}  // namespace npctest
