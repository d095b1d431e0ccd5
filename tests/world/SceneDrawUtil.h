// A headless 800 x 600 16-bit back buffer and loose scene pictures in a fresh game
// folder, for the scene's drawing tests.
#pragma once
#include <string>

#include "CDX/CDXScreen.h"
#include "platform/Files.h"
#include "tests/CDX/BlitTestUtil.h"
#include "tests/TempFolder.h"
#include "tests/world/SceneTestUtil.h"
#include "tools/gamekit/ImageWriters.h"

// 16-bit 5-6-5 value of an RGB colour, as the back buffer holds it.
constexpr DWORD Rgb565(int r, int g, int b) { return DWORD(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)); }

class SceneDrawTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        SetCurrentDirectory(folder.Path().c_str());
        pBackSurface = MakeSurface(screen, 16, 800, 600);
        ASSERT_TRUE(pBackSurface);
        pScreen = &screen;
        pBack = pBackSurface.get();
        pBack->Fill(0);
    }
    void TearDown() override {
        // Surfaces leave the screen's list when deleted, so they go before the screen.
        scene.pPictures.clear();
        scene.pMarkPicture.reset();
        pBackSurface.reset();
        pBack = nullptr;
        pScreen = nullptr;
        SceneTest::TearDown();
    }

public:
    // Writes a picture into "pic" (or "pic-inside") as a 24-bit BMP.
    void WritePicture(const std::string& strName, const PictureRgba& pic, const char* pszFolder = "pic") {
        folder.Write(std::string(pszFolder) + "/" + strName, BuildBmp(pic));
    }
    DWORD At(int x, int y) { return ReadPixel(*pBack, x, y); }

    CBaseFolderGuard guard;
    CTempFolder folder;
    CDXScreen screen;
    std::unique_ptr<CDXSurface> pBackSurface;
};
