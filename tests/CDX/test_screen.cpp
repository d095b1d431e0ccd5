#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "CDX/CDXScreen.h"
#include "platform/Clock.h"
#include "platform/Window.h"

class CDXScreenTestAccess {
public:
    static int FadeStep(int nDuration, DWORD dwElapsed) { return CDXScreen::FadeStep(nDuration, dwElapsed); }
};

namespace {

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override { UseVirtualClock(true, 1000, 20); }
};

TEST_F(ScreenTest, ModeListHoldsCommonModesAndNeverTheEmptyNode) {
    CDXScreen screen;
    EXPECT_GT(screen.GetDisplayModeCount(), 0);
    EXPECT_TRUE(screen.HasDisplayMode(640, 480, 16));
    EXPECT_TRUE(screen.HasDisplayMode(800, 600, 15));
    EXPECT_TRUE(screen.HasDisplayMode(800, 600, 32));
    EXPECT_FALSE(screen.HasDisplayMode(0, 0, 0));
    EXPECT_FALSE(screen.HasDisplayMode(800, 600, 8));
    int n = 0;
    const DisplayModeNode* p = screen.GetDisplayModes();
    while (p->pNext) {
        ++n;
        p = p->pNext;
    }
    EXPECT_EQ(n, screen.GetDisplayModeCount());
    EXPECT_EQ(p->dwWidth, 0u);
}

TEST_F(ScreenTest, RgbToPixelPinnedValues) {
    CDXScreen screen;
    ASSERT_EQ(screen.CreateWindowed(nullptr, 800, 600), 0);
    EXPECT_EQ(screen.RgbToPixel(0xFBF8BE), 0xBFDFu);
    EXPECT_EQ(screen.RgbToPixel(255), 0xF800u);
    EXPECT_EQ(screen.RgbToPixel(65280), 0x07E0u);
    EXPECT_EQ(screen.RgbToPixel(65535), 0xFFE0u);
    EXPECT_EQ(screen.RgbToPixel(0xFFFFFF), 0xFFFFu);

    CDXSurface s555;
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = desc.dwHeight = 4;
    desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat = MakePixelFormat555();
    CVideoSurface* p = nullptr;
    ASSERT_EQ(screen.GetDirectDraw()->CreateSurface(desc, &p), DD_OK);
    s555.AttachInterface(p, true);
    s555.CompleteCreation(&screen, 1, true);
    EXPECT_EQ(screen.RgbToPixel(0xFFFFFF, &s555), 0x7FFFu);
    EXPECT_EQ(screen.RgbToPixel(255, &s555), 0x7C00u);
    EXPECT_EQ(s555.PixelFormat().dwBitsPerPixel, 15u);

    CDXSurface s32;
    desc.ddpfPixelFormat = MakePixelFormat888(32);
    ASSERT_EQ(screen.GetDirectDraw()->CreateSurface(desc, &p), DD_OK);
    s32.AttachInterface(p, true);
    s32.CompleteCreation(&screen, 1, true);
    EXPECT_EQ(screen.RgbToPixel(0x123456, &s32), 0x563412u);
}

TEST_F(ScreenTest, WindowedCreationMakesBothSurfacesAndTheDefaultPalette) {
    CDXScreen screen;
    ASSERT_EQ(screen.CreateWindowed(nullptr, 640, 480), 0);
    EXPECT_EQ(screen.CreateWindowed(nullptr, 640, 480), -1);  // already created
    ASSERT_NE(screen.GetBack(), nullptr);
    ASSERT_NE(screen.GetFrontSurface(), nullptr);
    EXPECT_EQ(screen.GetBack()->GetWidth(), 640);
    EXPECT_EQ(screen.GetBack()->GetHeight(), 480);
    EXPECT_FALSE(screen.IsFullScreen());
    EXPECT_EQ(screen.GetBpp(), DWORD(GetDesktopBitsPerPixel()));
    const auto& pal = screen.GetFrontSurface()->GetInterface()->Palette();
    ASSERT_EQ(pal.size(), 256u);
    EXPECT_EQ(pal[0].peRed, 0);
    EXPECT_EQ(pal[255].peRed, 255);
    EXPECT_EQ(pal[255].peGreen, 255);
    EXPECT_EQ(pal[255].peBlue, 255);
    EXPECT_EQ(pal[0x25].peRed, 36);    // (1 * 255) / 7
    EXPECT_EQ(pal[0x25].peGreen, 36);  // ((0x25 >> 2) & 7) = 1
    EXPECT_EQ(pal[0x25].peBlue, 85);   // (1 * 255) / 3
}

TEST_F(ScreenTest, FullScreenChainFallsBackToSystemMemoryThenFails) {
    CPlatWindow window;
    ASSERT_TRUE(window.CreatePlatWindow("t", WS_POPUP, 0, 0, 640, 480));
    {
        CDXScreen screen;
        screen.GetDirectDraw()->SetCreateFailureCaps(DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY);
        ASSERT_EQ(screen.CreateFullScreen(&window, 640, 480, 16), 0);
        EXPECT_TRUE(screen.IsFullScreen());
        EXPECT_EQ(screen.GetBack()->GetWidth(), 640);
        EXPECT_TRUE(screen.GetFrontSurface()->GetInterface()->Caps() & DDSCAPS_SYSTEMMEMORY);
    }
    {
        CDXScreen screen;
        screen.GetDirectDraw()->SetCreateFailureCaps(DDSCAPS_PRIMARYSURFACE);
        EXPECT_EQ(screen.CreateFullScreen(&window, 640, 480, 16), -8);
        EXPECT_EQ(screen.GetBack(), nullptr);
        EXPECT_EQ(screen.GetFrontSurface(), nullptr);
    }
    {
        CDXScreen screen;
        screen.SetWindowed(FALSE);
        screen.GetDirectDraw()->SetCreateFailureCaps(DDSCAPS_PRIMARYSURFACE);
        EXPECT_EQ(screen.CreateFullScreen(&window, 640, 480, 16), -16);
    }
    {
        CDXScreen screen;
        EXPECT_EQ(screen.CreateFullScreen(&window, 641, 480, 16), -4);  // no such mode
    }
    {
        CDXScreen screen;
        ASSERT_EQ(screen.CreateFullScreen(&window, 800, 600, 15), 0);
        EXPECT_EQ(screen.GetBack()->PixelFormat().dwBitsPerPixel, 15u);
        EXPECT_EQ(screen.RgbToPixel(0xFFFFFF), 0x7FFFu);
        EXPECT_EQ(screen.ChangeVideoMode(640, 480, 0), 0);  // back to a window
        EXPECT_FALSE(screen.IsFullScreen());
        EXPECT_EQ(screen.GetBack()->GetWidth(), 640);
    }
    window.DestroyPlatWindow();
}

TEST_F(ScreenTest, FadeStepArithmetic) {
    EXPECT_EQ(CDXScreenTestAccess::FadeStep(1000, 0), 2);   // no measurable time
    EXPECT_EQ(CDXScreenTestAccess::FadeStep(255, 256), 512);
    EXPECT_EQ(CDXScreenTestAccess::FadeStep(0, 1), 512);    // 0 ms: F = 1
    EXPECT_EQ(CDXScreenTestAccess::FadeStep(0, 0), 2);      // never a division by zero
    EXPECT_EQ(CDXScreenTestAccess::FadeStep(1000, 20), 10); // 512 / (1001 / 20)
    EXPECT_EQ(CDXScreenTestAccess::FadeStep(0x10000 + 1000, 20), 10);  // only the low 16 bits count
}

TEST_F(ScreenTest, FadeInRunsUnderTheVirtualClockAndEndsOnThePicture) {
    CDXScreen screen;
    ASSERT_EQ(screen.CreateWindowed(nullptr, 64, 48), 0);
    const DWORD dwWhite = screen.RgbToPixel(0xFFFFFF);
    screen.FillBack(dwWhite);
    const DWORD dwFramesBefore = GetPresentedFrameCount();
    ASSERT_EQ(screen.FadeIn(1000), 0);
    // One black frame, 26 steps of 10 (each flip takes one 20 ms frame), one final frame.
    EXPECT_EQ(GetPresentedFrameCount() - dwFramesBefore, 28u);
    CDXSurface* pB = screen.GetBack();
    ASSERT_EQ(pB->Lock(), 1);
    EXPECT_EQ(pB->GetPixel(10, 10), dwWhite);
    pB->Unlock();
    EXPECT_EQ(screen.GetSurfaceCount(), 0);  // the temporary surface is gone

    const DWORD dwBeforeOut = GetPresentedFrameCount();
    ASSERT_EQ(screen.FadeOut(0), 0);  // 0 ms: one step of 512 ends it at once
    EXPECT_EQ(GetPresentedFrameCount() - dwBeforeOut, 2u);
    ASSERT_EQ(pB->Lock(), 1);
    EXPECT_EQ(pB->GetPixel(10, 10), 0u);
    pB->Unlock();
}

TEST_F(ScreenTest, FrameRateAfterOneSecond) {
    CDXScreen screen;
    ASSERT_EQ(screen.CreateWindowed(nullptr, 32, 32), 0);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(screen.Flip(TRUE, TRUE, FALSE), DD_OK);
    EXPECT_EQ(screen.GetFramesPerSecond(), 0u);  // not yet a second
    for (int i = 0; i < 5; ++i) screen.Flip(TRUE, TRUE, FALSE);
    // Frames arrive every 20 ms of virtual time: about 50 per second.
    EXPECT_GE(screen.GetFramesPerSecond(), 48u);
    EXPECT_LE(screen.GetFramesPerSecond(), 51u);
}

TEST_F(ScreenTest, FlipShowsTheBackBufferAndRestoresAfterLoss) {
    CDXScreen screen;
    ASSERT_EQ(screen.CreateWindowed(nullptr, 32, 32), 0);
    screen.FillBack(0xF800);
    ASSERT_EQ(screen.Flip(TRUE, TRUE, FALSE), DD_OK);
    CVideoSurface* pFront = screen.GetFrontSurface()->GetInterface();
    ASSERT_EQ(pFront->IsLost(), DD_OK);
    WORD w;
    std::memcpy(&w, pFront->Bits(), 2);
    EXPECT_EQ(w, 0xF800);
    screen.GetDirectDraw()->LoseAllSurfaces();
    EXPECT_EQ(screen.Flip(TRUE, TRUE, FALSE), DD_OK);  // restored, this frame not shown
    EXPECT_EQ(pFront->IsLost(), DD_OK);
    EXPECT_EQ(screen.GetBack()->GetInterface()->IsLost(), DD_OK);
}

TEST(EngineUtilities, DirectionAngle) {
    const double kPi = 3.1415926;
    EXPECT_NEAR(GetDirectionAngle(0, 0, 10, 0), 3 * kPi / 2, 1e-9);
    EXPECT_NEAR(GetDirectionAngle(0, 0, -10, 0), kPi / 2, 1e-9);
    EXPECT_NEAR(GetDirectionAngle(0, 0, 0, 10), 0.0, 1e-9);
    EXPECT_NEAR(GetDirectionAngle(0, 0, 0, -10), kPi, 1e-9);
    EXPECT_NEAR(GetDirectionAngle(5, 5, 5, 5), kPi, 1e-9);
    for (int dx = -3; dx <= 3; ++dx)
        for (int dy = -3; dy <= 3; ++dy) {
            double a = GetDirectionAngle(0, 0, dx, dy);
            EXPECT_GE(a, 0.0);
            EXPECT_LT(a, 2 * kPi);
        }
}

TEST(EngineUtilities, ErrorNames) {
    EXPECT_STREQ(DisplayErrorName(DDERR_SURFACELOST), "DDERR_SURFACELOST");
    EXPECT_STREQ(DisplayErrorName(DDERR_INVALIDPARAMS), "DDERR_INVALIDPARAMS");
    EXPECT_STREQ(DisplayErrorName(HRESULT(0x80040154u)), "Unknown Error");
}

}  // namespace
