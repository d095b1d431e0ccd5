// Presenting frames: a frame stays in the display's pixels until a screenshot asks for
// it and is kept before those pixels change or go; the ARGB conversion the window
// uploads matches the screenshot's RGB; presents are paced to the display's refresh.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/Clock.h"
#include "platform/Video.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"

namespace {

class CPlainWindow : public CPlatWindow {};

// A full-screen 16-bit flipping chain on a window of its own.
class PresentTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 1000, 20);
        ASSERT_TRUE(m_window.CreatePlatWindow("present", WS_POPUP, 0, 0, 640, 480));
        m_pDevice = CVideoDevice::Create();
        ASSERT_NE(m_pDevice, nullptr);
        ASSERT_EQ(m_pDevice->SetCooperativeLevel(&m_window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
        ASSERT_EQ(m_pDevice->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
        SurfaceDesc desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
        ASSERT_EQ(m_pDevice->CreateSurface(desc, &m_pFront), DD_OK);
        ASSERT_EQ(m_pFront->GetAttachedSurface(DDSCAPS_BACKBUFFER, &m_pBack), DD_OK);
    }
    void TearDown() override {
        if (m_pDevice) m_pDevice->RestoreDisplayMode();
        if (m_pFront) m_pFront->Release();
        if (m_pDevice) m_pDevice->Release();
        m_window.DestroyPlatWindow();
    }
    // Fills the back buffer with one colour and flips it into view.
    void ShowColour(WORD colour) {
        ASSERT_EQ(m_pBack->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, colour), DD_OK);
        ASSERT_EQ(m_pFront->Flip(DDFLIP_WAIT), DD_OK);
    }
    static DWORD RgbAt(int x, int y) {
        const FrameImage& frame = LastFrame();
        const BYTE* p = &frame.rgb[(size_t(y) * size_t(frame.nWidth) + size_t(x)) * 3];
        return (DWORD(p[0]) << 16) | (DWORD(p[1]) << 8) | p[2];
    }

    CPlainWindow m_window;
    CVideoDevice* m_pDevice = nullptr;
    CVideoSurface* m_pFront = nullptr;
    CVideoSurface* m_pBack = nullptr;
};

TEST_F(PresentTest, AFrameIsConvertedOnlyWhenAskedForAndKeptBeforeItsPixelsChange) {
    const DWORD dwFrames = GetPresentedFrameCount();
    ShowColour(0xF800);
    EXPECT_EQ(GetPresentedFrameCount(), dwFrames + 1);
    EXPECT_TRUE(LastFrameIsPending());
    EXPECT_EQ(RgbAt(10, 10), 0xFF0000u);
    EXPECT_FALSE(LastFrameIsPending());

    // Each way the front's pixels can change or go keeps the frame that was presented.
    ShowColour(0x07E0);
    ASSERT_TRUE(LastFrameIsPending());
    SurfaceDesc desc;
    ASSERT_EQ(m_pFront->Lock(&desc), DD_OK);
    std::memset(desc.lpSurface, 0, size_t(desc.lPitch) * desc.dwHeight);
    m_pFront->Unlock();
    EXPECT_EQ(RgbAt(0, 0), 0x00FF00u);

    ShowColour(0x001F);
    m_pDevice->LoseAllSurfaces();
    ASSERT_EQ(m_pFront->Restore(), DD_OK);  // clears the pixels
    EXPECT_EQ(RgbAt(639, 479), 0x0000FFu);

    ShowColour(0xFFFF);
    std::memset(m_pFront->Bits(), 0, 16);
    EXPECT_EQ(RgbAt(0, 0), 0xFFFFFFu);

    ShowColour(0xF81F);
    m_pFront->Release();
    m_pFront = nullptr;
    EXPECT_FALSE(LastFrameIsPending());
    EXPECT_EQ(RgbAt(5, 5), 0xFF00FFu);
    EXPECT_EQ(LastFrame().nWidth, 640);
    EXPECT_EQ(LastFrame().nHeight, 480);
}

TEST(FrameConversion, ArgbMatchesTheScreenshotsRgbForEveryLayout) {
    std::mt19937 rng(42);
    const VideoPixelFormat formats[] = {MakePixelFormat565(), MakePixelFormat555(), MakePixelFormat888(24),
                                        MakePixelFormat888(32), VideoPixelFormat{DDPF_RGB, 16, 0x001F, 0x07E0, 0xF800}};
    const int bytes[] = {2, 2, 3, 4, 2};
    for (int f = 0; f < 5; ++f) {
        for (int nTrial = 0; nTrial < 60; ++nTrial) {
            const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 6);
            const int nPitch = w * bytes[f] + int(rng() % 5);
            std::vector<BYTE> pixels(size_t(nPitch) * h);
            for (auto& b : pixels) b = BYTE(rng());
            // Mostly the whole picture; now and then a rectangle reaching past its edges.
            RECT rc{0, 0, w, h};
            if (rng() % 3 == 0) rc = RECT{-LONG(rng() % 3), -LONG(rng() % 2), w + LONG(rng() % 4), h + LONG(rng() % 3)};
            FramePixels frame;
            frame.pBits = pixels.data();
            frame.nPitch = nPitch;
            frame.nWidth = w;
            frame.nHeight = h;
            frame.nBytesPerPixel = bytes[f];
            frame.format = formats[f];
            frame.rcSource = rc;
            FrameImage rgb;
            ASSERT_TRUE(ConvertFrameToRgb(frame, &rgb)) << "format " << f << " " << rc.left << "," << rc.top << ","
                                                         << rc.right << "," << rc.bottom;
            const int fw = frame.FrameWidth(), fh = frame.FrameHeight();
            const int nArgbPitch = fw * 4 + 12;
            std::vector<BYTE> argb(size_t(nArgbPitch) * fh, 0xCD);
            ASSERT_TRUE(ConvertFrameToArgb(frame, argb.data(), nArgbPitch));
            for (int y = 0; y < fh; ++y)
                for (int x = 0; x < fw; ++x) {
                    const BYTE* a = &argb[size_t(y) * nArgbPitch + size_t(x) * 4];
                    const BYTE* c = &rgb.rgb[(size_t(y) * fw + size_t(x)) * 3];
                    ASSERT_EQ(a[3], 0xFF);
                    ASSERT_EQ(a[2], c[0]) << "format " << f << " width " << w << " at " << x << "," << y;
                    ASSERT_EQ(a[1], c[1]) << "format " << f << " width " << w << " at " << x << "," << y;
                    ASSERT_EQ(a[0], c[2]) << "format " << f << " width " << w << " at " << x << "," << y;
                }
            // Nothing is written past the frame's rows.
            for (int y = 0; y < fh; ++y)
                for (int i = fw * 4; i < nArgbPitch; ++i) ASSERT_EQ(argb[size_t(y) * nArgbPitch + i], 0xCD);
        }
    }
    // A white 5-6-5 pixel is white; the unfillable frames are refused.
    const WORD white = 0xFFFF;
    FramePixels one;
    one.pBits = reinterpret_cast<const BYTE*>(&white);
    one.nPitch = 2;
    one.nWidth = one.nHeight = 1;
    one.nBytesPerPixel = 2;
    one.format = MakePixelFormat565();
    one.rcSource = RECT{0, 0, 1, 1};
    DWORD out = 0;
    ASSERT_TRUE(ConvertFrameToArgb(one, reinterpret_cast<BYTE*>(&out), 4));
    EXPECT_EQ(out, 0xFFFFFFFFu);
    one.nBytesPerPixel = 1;
    EXPECT_FALSE(ConvertFrameToArgb(one, reinterpret_cast<BYTE*>(&out), 4));
}

TEST(PresentPacing, NoMorePresentsThanTheDisplayRefreshes) {
    CPresentPacer pacer;
    pacer.SetRefreshRate(0);  // unknown: 60 Hz
    const std::int64_t p = pacer.PeriodMicros();
    EXPECT_EQ(p, 16666);
    std::int64_t now = 5000000;
    EXPECT_EQ(pacer.WaitBeforePresent(now), 0);  // the first present shows at once
    // A game that flips every 4 ms is held to one present per period.
    std::int64_t nShown = now;
    for (int i = 0; i < 20; ++i) {
        now = nShown + 4000;
        const std::int64_t nWait = pacer.WaitBeforePresent(now);
        EXPECT_EQ(now + nWait, nShown + p) << i;
        nShown = now + nWait;
    }
    // A present late by less than a period waits for nothing and keeps the grid ...
    now = nShown + p + 3000;
    EXPECT_EQ(pacer.WaitBeforePresent(now), 0);
    EXPECT_EQ(pacer.WaitBeforePresent(now + 1000), nShown + 2 * p - (now + 1000));
    // ... one later than that starts a new grid instead of catching up.
    now += 10 * p;
    EXPECT_EQ(pacer.WaitBeforePresent(now), 0);
    EXPECT_EQ(pacer.WaitBeforePresent(now + 1), p - 1);

    pacer.SetRefreshRate(144);
    EXPECT_EQ(pacer.PeriodMicros(), 1000000 / 144);
    pacer.SetUncapped(true);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(pacer.WaitBeforePresent(now + i), 0);
}

}  // namespace
