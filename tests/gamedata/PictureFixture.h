// A game folder with small sample packages, a headless 800 x 600 screen and the
// globals the picture store draws through.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CDX/CDXImage.h"
#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "gamedata/NpcPkg.h"
#include "media/TgaDraw.h"
#include "platform/Files.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/PkgSamplePictures.h"

using Bytes = std::vector<std::uint8_t>;

class PictureFixture : public ::testing::Test {
protected:
    CTempFolder m_folder{"picture_test"};
    std::filesystem::path dir = m_folder.Path();
    CDXScreen screen;
    CGameData data;
    std::string m_strOldDir;
    static inline POINT s_mouse{-1000, -1000};
    static POINT Cursor() { return s_mouse; }

    void SetUp() override {
        m_strOldDir = GetCurrentDirectory();
        SamplePictureOptions o;
        o.nItemCount = 5;
        o.nFaceCount = 3;
        o.nSceneCount = 1;
        o.sculpts = {0, 3};
        o.nActions = 3;
        o.nEffects = 3;
        o.nEffectFrames = 4;
        std::string strError;
        ASSERT_TRUE(WriteSamplePictures(dir.string(), o, &strError)) << strError;
        data.InitPaths(dir.string().c_str());
        pGameData = &data;
        ASSERT_EQ(screen.CreateWindowed(nullptr, 800, 600), 0);
        pScreen = &screen;
        pBack = screen.GetBack();
        s_mouse = POINT{-1000, -1000};
        SetTgaCursorSource(Cursor);
    }
    void TearDown() override {
        SetTgaCursorSource(nullptr);
        SetPictureHost(nullptr);
        pGameData = nullptr;
        pScreen = nullptr;
        pBack = nullptr;
        SetCurrentDirectory(m_strOldDir.c_str());
    }
    static WORD BackPixel(int x, int y) {
        CVideoSurface* p = pBack->GetInterface();
        const BYTE* q = p->Bits() + size_t(y) * size_t(p->Pitch()) + size_t(x) * 2;
        return WORD(q[0] | (q[1] << 8));
    }
    static void ClearBack() { pBack->FillRect(0, 0, 800, 600, 0); }
    // 5-6-5 value of an opaque TGA pixel (colour scaled by 255 / 256).
    static WORD TgaOpaque565(std::uint32_t c) {
        const int r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
        return WORD((((r >> 3) * 255 >> 8) << 11) | (((g >> 2) * 255 >> 8) << 5) | ((b >> 3) * 255 >> 8));
    }
    // 5-6-5 value of a picture pixel loaded into a surface (truncation).
    static WORD Plain565(std::uint32_t c) {
        return WORD(((((c >> 16) & 255) >> 3) << 11) | ((((c >> 8) & 255) >> 2) << 5) | ((c & 255) >> 3));
    }
};
