#include <gtest/gtest.h>

#include "tests/CDX/BlitTestUtil.h"

namespace {

TEST(PixelFormat, ReadsTheDepthAndChannels) {
    CDXPixelFormat f;
    ASSERT_EQ(PixelFormatFromDescription(MakePixelFormat565(), &f), 1);
    EXPECT_EQ(f.dwBitsPerPixel, 16u);
    EXPECT_EQ(f.nRedShift, 11);
    EXPECT_EQ(f.nGreenShift, 5);
    EXPECT_EQ(f.nBlueShift, 0);
    EXPECT_EQ(f.nGreenMax, 63);
    EXPECT_EQ(f.nRedMax, 31);
    ASSERT_EQ(PixelFormatFromDescription(MakePixelFormat555(), &f), 1);
    EXPECT_EQ(f.dwBitsPerPixel, 15u);
    EXPECT_EQ(f.nRedShift, 10);
    EXPECT_EQ(f.nGreenMax, 31);
    ASSERT_EQ(PixelFormatFromDescription(MakePixelFormat888(32), &f), 1);
    EXPECT_EQ(f.dwBitsPerPixel, 32u);
    EXPECT_EQ(f.nRedShift, 16);
    EXPECT_EQ(f.nRedMax, 255);
    VideoPixelFormat odd{DDPF_RGB, 12, 0xF00, 0x0F0, 0x00F};
    EXPECT_EQ(PixelFormatFromDescription(odd, &f), 1);
    EXPECT_EQ(f.dwBitsPerPixel, 0u);
    VideoPixelFormat notRgb{0, 16, 0, 0, 0};
    EXPECT_EQ(PixelFormatFromDescription(notRgb, &f), 0);
    EXPECT_EQ(f.dwBitsPerPixel, 0u);
    VideoPixelFormat palette{DDPF_RGB, 8, 0, 0, 0};
    EXPECT_EQ(PixelFormatFromDescription(palette, &f), 1);
    EXPECT_EQ(f.dwBitsPerPixel, 8u);
}

TEST(PixelRoutines, PutPixelAndAlphaPixel) {
    CDXScreen screen;
    auto s = MakeSurface(screen, 16, 4, 4);
    ASSERT_TRUE(Succeeded(s->Lock()));
    s->PutPixel(4, 0, 0xFFFF);  // clip right: nothing
    s->PutPixel(0, -1, 0xFFFF);
    s->PutPixel(3, 3, 0xABCD);
    EXPECT_EQ(s->GetPixel(3, 3), 0xABCDu);
    s->PutPixel(1, 1, 0x1234);
    s->PutAlphaPixel(1, 1, 0xFFFF, 0);
    EXPECT_EQ(s->GetPixel(1, 1), 0x1234u);
    s->PutAlphaPixel(1, 1, 0xFFFF, 256);
    EXPECT_EQ(s->GetPixel(1, 1), 0xFFFFu);
    // d + ((c - d) * a >> 8) per channel, rounding down: red 31 towards 0 at 128 gives 15.
    s->PutPixel(2, 2, 31u << 11);
    s->PutAlphaPixel(2, 2, 0, 128);
    EXPECT_EQ(s->GetPixel(2, 2), 15u << 11);
    s->Unlock();
    EXPECT_EQ(Snapshot(*s)[0], 0);  // (0, 0) untouched, nothing wrote past the clip

    auto s32 = MakeSurface(screen, 32, 2, 1);
    s32->Lock();
    s32->PutPixel(0, 0, 0xFF102030);
    s32->PutAlphaPixel(0, 0, 0x00302010, 128);
    // Each of the three bytes blended, the fourth cleared.
    EXPECT_EQ(s32->GetPixel(0, 0), 0x00202020u);
    s32->Unlock();

    auto s24 = MakeSurface(screen, 24, 2, 1);
    s24->Lock();
    s24->PutPixel(1, 0, 0x00ABCDEF);
    EXPECT_EQ(s24->GetLockedBits()[3], 0xEF);
    EXPECT_EQ(s24->GetLockedBits()[4], 0xCD);
    EXPECT_EQ(s24->GetLockedBits()[5], 0xAB);
    EXPECT_EQ(s24->GetPixel(1, 0), 0xABCDEFu);
    s24->Unlock();
}

TEST(PixelRoutines, LinesAreOrderedAndClippedAtEveryDepth) {
    CDXScreen screen;
    for (int nDepth : {15, 16, 24, 32}) {
        auto s = MakeSurface(screen, nDepth, 20, 480);
        s->Lock();
        s->HLine(10, 5, 0, 7);
        for (int x = 0; x < 20; ++x) EXPECT_EQ(s->GetPixel(x, 0), x >= 5 && x <= 10 ? 7u : 0u) << nDepth << " x " << x;
        s->VLine(-5, 1000, 3, 9);
        for (int y = 1; y < 480; ++y) ASSERT_EQ(s->GetPixel(3, y), 9u) << nDepth;
        EXPECT_EQ(s->GetPixel(3, 0), 9u);
        // A clip rectangle cuts both ends; a row or column outside it draws nothing.
        RECT clip{2, 2, 8, 6};
        s->SetClipRect(&clip);
        s->HLine(-3, 30, 4, 5);
        s->HLine(0, 19, 6, 5);
        s->VLine(0, 479, 8, 5);
        s->Unlock();
        s->Lock();
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(s->GetPixel(x, 4), x >= 2 && x < 8 ? 5u : x == 3 ? 9u : 0u) << nDepth << " x " << x;
            EXPECT_EQ(s->GetPixel(x, 6), x == 3 ? 9u : 0u);
        }
        EXPECT_EQ(s->GetPixel(8, 3), 0u);
        s->Unlock();
    }
    // Odd and even runs at 16 bits fill exactly their pixels.
    auto s = MakeSurface(screen, 16, 9, 1);
    for (int n = 1; n <= 7; ++n) {
        s->Fill(0);
        s->Lock();
        s->HLine(1, n, 0, 0xFFFF);
        for (int x = 0; x < 9; ++x) EXPECT_EQ(s->GetPixel(x, 0), x >= 1 && x <= n ? 0xFFFFu : 0u) << n;
        s->Unlock();
    }
}

}  // namespace
