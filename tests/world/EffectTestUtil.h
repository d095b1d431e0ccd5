// A game folder with the picture packages, an effect package of chosen frame counts,
// a headless 800 x 600 screen, the picture store, a skill table, the null sound device
// and the virtual clock: what the effects, frame animations and banners draw through.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSound.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "media/MediaHost.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/TgaWriters.h"
#include "tools/gamekit/WavWriter.h"
#include "world/EffectAnim.h"

namespace effecttest {

class CTestMediaHost : public IMediaHost {
public:
    std::string strFolder;
    bool bSoundOn = true;
    std::string GetGameFolder() const override { return strFolder; }
    bool IsSoundOn() const override { return bSoundOn; }
    int GetSoundVolume() const override { return 80; }
};

class CRecordingSceneLink : public CEffectSceneLink {
public:
    POINT ptView{0, 0};
    int nHoverCleared = 0;
    POINT GetViewOrigin() const override { return ptView; }
    void ClearHoverActor() override { ++nHoverCleared; }
};

// A square frame of one opaque colour.
inline std::vector<std::uint8_t> SquareTga(int nSize, std::uint32_t argb) {
    return BuildRleTga32(PictureRgba(nSize, nSize, argb));
}

class EffectTest : public ::testing::Test {
protected:
    static constexpr int kEffects = 20;
    static constexpr int kSquare = 16;

    // Frames of each effect: 2, except 3 (falling) with 6, 4 (falling) with 1, 5 with 5
    // and 7 with none.
    static int FramesOf(int nEffect) {
        switch (nEffect) {
            case 3: return 6;
            case 4: return 1;
            case 5: return 5;
            case 7: return 0;
            default: return 2;
        }
    }

    // More entries of Vesk.pkg for the frame animations.
    virtual std::vector<PkgEntryData> VeskEntries() const { return {}; }

    // The picture packages written into the game folder.
    virtual SamplePictureOptions PictureOptions() const {
        return SamplePictureOptions{.nItemCount = 2, .nFaceCount = 1, .nSceneCount = 1, .sculpts = {0},
                                    .nActions = 1, .nFramesPerDirection = 2, .nEffects = 1,
                                    .nEffectFrames = 1, .extraEntries = {{"Vesk.pkg", VeskEntries()}}};
    }

    void SetUp() override {
        UseVirtualClock(true, 1000, 20);
        dwNowTime = TimeGetTime();
        ASSERT_FALSE(m_folder.Path().empty());
        std::string strError;
        ASSERT_TRUE(WriteSamplePictures(m_folder.Path(), PictureOptions(), &strError)) << strError;
        std::vector<std::vector<std::vector<std::uint8_t>>> effects(kEffects);
        for (int e = 0; e < kEffects; ++e)
            for (int f = 0; f < FramesOf(e); ++f)
                effects[size_t(e)].push_back(SquareTga(kSquare, 0xFF000000u | std::uint32_t(0x102030 * (f + 1))));
        m_folder.Write("bmp/Effect.pkg", BuildEffectPkg(effects));

        m_skills.resize(30);
        for (int i = 0; i < 30; ++i) {
            m_names.push_back("skill" + std::to_string(i));
            m_skills[size_t(i)] = SkillRow{.nAttack = 100 + i, .nPicNo = i % kEffects, .pName = m_names.back().c_str()};
        }
        m_data.InitPaths(m_folder.Path().c_str());
        m_data.pSkill = m_skills.data();
        m_data.nSkillCount = int(m_skills.size());
        pGameData = &m_data;

        ASSERT_EQ(m_screen.CreateWindowed(nullptr, 800, 600), 0);
        pScreen = &m_screen;
        pBack = m_screen.GetBack();
        ASSERT_TRUE(m_store.Init()) << m_store.GetError();
        pBitmapData = &m_store;

        m_host.strFolder = m_folder.Path();
        pMediaHost = &m_host;
        ASSERT_TRUE(AudioIsNullDevice());
        AudioSetManualPull(true);
        pSound = new CDXSound;
        ASSERT_EQ(pSound->Create(nullptr, FALSE), DS_OK);
        SetEffectSceneLink(&m_sceneLink);
    }

    void TearDown() override {
        SetEffectSceneLink(nullptr);
        delete pSound;
        pSound = nullptr;
        pMediaHost = nullptr;
        pBitmapData = nullptr;
        pGameData = nullptr;
        pScreen = nullptr;
        pBack = nullptr;
    }

    // Moves the frame clock (and the platform clock) on.
    static void Tick(DWORD ms) {
        AdvanceVirtualClock(ms);
        dwNowTime += ms;
    }
    static void ClearBack() { pBack->FillRect(0, 0, 800, 600, 0); }
    // Number of lit pixels of the back buffer inside a rectangle.
    static int LitPixels(int x0, int y0, int x1, int y1) {
        const CVideoSurface* p = pBack->GetInterface();
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const BYTE* q = p->Bits() + size_t(y) * size_t(p->Pitch()) + size_t(x) * 2;
                n += (q[0] | q[1]) != 0;
            }
        return n;
    }

    CTempFolder m_folder;
    CBaseFolderGuard m_guard;
    CGameData m_data;
    std::vector<SkillRow> m_skills;
    std::deque<std::string> m_names;
    CDXScreen m_screen;
    CBitmapData m_store;
    CTestMediaHost m_host;
    CRecordingSceneLink m_sceneLink;
};

}  // namespace effecttest
