#include <cstdio>
#include <set>

#include "CDX/CDXSurface.h"
#include "media/TgaFrame.h"
#include "tests/world/EffectTestUtil.h"
#include "world/MoveText.h"
#include "world/TgaAnimation.h"

using namespace effecttest;

namespace {

std::string FrameName(int nGroup, int nRow, int i) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%02d-%02d%02d.tga", nGroup, nRow, i);
    return sz;
}

// Vesk.pkg rows: group 0 row 1 holds 5 frames of growing width; group 1 row 1 holds
// 12; group 2 row 1 holds frames 0, 1 and 3 (a gap); group 3 row 1 holds 3 frames, the
// second with a header that is not a 32-bit run-length picture's.
class FrameAnimationTest : public EffectTest {
protected:
    std::vector<PkgEntryData> VeskEntries() const override {
        std::vector<PkgEntryData> entries;
        for (int i = 0; i < 5; ++i)
            entries.push_back({FrameName(0, 1, i), BuildRleTga32(PictureRgba(4 + 4 * i, 8, 0xFFFFFFFFu))});
        for (int i = 0; i < 12; ++i) entries.push_back({FrameName(1, 1, i), SquareTga(8, 0xFFFFFFFFu)});
        for (int i : {0, 1, 3}) entries.push_back({FrameName(2, 1, i), SquareTga(8, 0xFFFFFFFFu)});
        for (int i = 0; i < 3; ++i) entries.push_back({FrameName(3, 1, i), SquareTga(8, 0xFFFFFFFFu)});
        entries[entries.size() - 2].bytes[2] = 2;  // image type: uncompressed
        return entries;
    }
};

TEST_F(FrameAnimationTest, FiveFramesLoopAtAboutTenPerSecond) {
    CTgaAnimation anim;
    ASSERT_EQ(anim.Load(0, 0), 5);
    anim.SetPos(300, 300);
    // Drawn with its foot point 64 right of and 128 below its top-left corner.
    ClearBack();
    anim.Draw();
    EXPECT_EQ(LitPixels(0, 0, 800, 600), 4 * 8);
    EXPECT_EQ(LitPixels(236, 172, 240, 180), 4 * 8);

    std::vector<int> frames;
    for (DWORD t = 0; t < 2000; t += 20) {
        Tick(20);
        anim.Draw();
        if (frames.empty() || frames.back() != anim.nCurrent) frames.push_back(anim.nCurrent);
    }
    // 16 to 20 steps in two seconds, wrapping from the last frame to the first.
    EXPECT_GE(frames.size(), 16u);
    EXPECT_LE(frames.size(), 21u);
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_EQ(frames[i], (frames[i - 1] + 1) % 5) << i;
}

TEST_F(FrameAnimationTest, FrameCountsStopAtTenAtAGapAndZeroDrawsNothing) {
    CTgaAnimation anim;
    EXPECT_EQ(anim.Load(1, 0), CTgaAnimation::kMaxFrames);
    EXPECT_NE(anim.pFrames[9], nullptr);
    EXPECT_EQ(anim.Load(2, 0), 2);
    EXPECT_EQ(anim.pFrames[2], nullptr);
    EXPECT_EQ(anim.Load(5, 5), 0);
    ClearBack();
    for (int i = 0; i < 10; ++i) {
        Tick(120);
        anim.Draw();
    }
    EXPECT_EQ(anim.nCurrent, 0);
    EXPECT_EQ(LitPixels(0, 0, 800, 600), 0);
    pBitmapData = nullptr;
    EXPECT_EQ(anim.Load(0, 0), 0);
}

TEST_F(FrameAnimationTest, AFrameThatDoesNotDecodeEndsTheRowAndIsSaidOnce) {
    CTgaAnimation anim;
    testing::internal::CaptureStderr();
    EXPECT_EQ(anim.Load(3, 0), 1);
    EXPECT_EQ(anim.Load(3, 0), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "game: bmp\\Vesk.pkg: entry \"03-0101.tga\" is not a picture; entries that do not decode are not drawn\n");
}

using MoveTextTest = EffectTest;

TEST_F(MoveTextTest, ATextLineArrivesAndEndsOnTime) {
    CMoveText line;
    ASSERT_TRUE(line.Init(200, 50, 0, 0, "text", 4));
    int nFrames = 0;
    while (line.DrawLine() && nFrames < 1000) {
        ++nFrames;
        if (nFrames == 49) {
            EXPECT_GT(line.nX, 0);
        }
        if (nFrames == 50) {
            EXPECT_EQ(line.nX, 0);
        }
    }
    // 50 frames to arrive, then the 101st frame after reports done.
    EXPECT_EQ(nFrames, 150);
    line.NextLine();
    EXPECT_EQ(line.nY, 65);

    // A step of 0 (or below) moves one pixel a frame instead of dividing by zero.
    CMoveText slow;
    slow.Init(3, 0, 0, 0, "x", 0);
    EXPECT_EQ(slow.nStep, 1);
    EXPECT_TRUE(slow.DrawLine());
    EXPECT_EQ(slow.nX, 2);
    CMoveText back;
    back.Init(3, 0, 0, 0, nullptr, -7);
    EXPECT_EQ(back.nStep, 1);
    EXPECT_EQ(back.nTextTicks, 0);
}

TEST_F(MoveTextTest, TheBannerSlidesInScrollsItsTextAndEnds) {
    CMoveText banner;
    ASSERT_TRUE(banner.Start(500, 10, 20, 20, "a banner text that is long enough to scroll", 2));
    ASSERT_NE(banner.pBanner, nullptr);
    ASSERT_NE(banner.pBackground, nullptr);
    EXPECT_GT(banner.nTextTicks, 20);
    const int nTicks = banner.nTextTicks;
    ClearBack();
    int nFrames = 0;
    bool bTextSeen = false;
    while (banner.Draw() && nFrames < 5000) {
        ++nFrames;
        // The banner's left edge follows its x; the part shown grows from there.
        if (nFrames == 100) {
            EXPECT_EQ(banner.nX, 300);
            EXPECT_GT(LitPixels(302, 10, 398, 42), 0);
            EXPECT_EQ(LitPixels(0, 0, 300, 600), 0);
        }
        if (banner.nX < 1 && banner.nTextScroll < 0) bTextSeen = true;
    }
    // 250 frames to arrive, then the text scrolls for its ticks, then it is done.
    EXPECT_EQ(nFrames, 250 + nTicks + 1);
    EXPECT_TRUE(bTextSeen);
    EXPECT_EQ(banner.nTextScroll, -2 * (nTicks + 1));
    EXPECT_GT(banner.nTrim, 0);
    EXPECT_GT(LitPixels(0, 0, 800, 600), 0);
}

TEST_F(MoveTextTest, BannerPicturesAreClippedToWhatTheyHold) {
    // Source rectangles reach past both pictures (the banner is 96 x 32 here, and the
    // background's width comes out negative near the right): nothing is read outside.
    CMoveText banner;
    ASSERT_TRUE(banner.Start(790, 590, -200, 0, "edge", 40));
    for (int i = 0; i < 100 && banner.Draw(); ++i) {
    }
    EXPECT_LT(banner.nX, 1);
    CMoveText bare;
    ASSERT_TRUE(bare.Init(30, 0, -200, 0, "no pictures", 3));
    int nFrames = 0;
    while (bare.Draw() && nFrames < 1000) ++nFrames;
    EXPECT_LT(nFrames, 1000);
}

}  // namespace
