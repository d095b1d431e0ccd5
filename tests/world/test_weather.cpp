#include <set>

#include "platform/Window.h"
#include "tests/world/WeatherTestUtil.h"

using namespace areatest;

namespace {

using Weather = WeatherTest;

// Draws with the fast layers and again, from the same pixels, the literal way.
template <typename Overlay>
void ExpectFastEqualsLiteral(Overlay& overlay) {
    const std::vector<BYTE> before = Snapshot(*pBack);
    overlay.Draw();
    const std::vector<BYTE> fast = Snapshot(*pBack);
    Restore(*pBack, before);
    UseLiteralWeather(true);
    overlay.Draw();
    UseLiteralWeather(false);
    EXPECT_TRUE(fast == Snapshot(*pBack));
    EXPECT_FALSE(fast == before);
}

TEST_F(Weather, FogThickensRowByRowFrom51To201) {
    EXPECT_EQ(CFogEffect::RowAlpha(0), 51);
    EXPECT_EQ(CFogEffect::RowAlpha(59), 201);
    pBack->Fill(0);
    CFogEffect fog;
    fog.Draw();
    EXPECT_EQ(fog.nAlphaPercent, 80);
    // Alpha weights the black below: the white is strongest at the top.
    const DWORD top = Pixel(799, 0), bottom = Pixel(0, 599);
    EXPECT_EQ(top, Pixel(0, 9));
    EXPECT_NE(top, bottom);
    EXPECT_GT(top & 0x1F, bottom & 0x1F);
    EXPECT_NE(Pixel(0, 9), Pixel(0, 10));
    FillPattern();
    ExpectFastEqualsLiteral(fog);
}

TEST_F(Weather, StripesLeaveTheBottom60RowsAndTakeTheirPattern) {
    const std::vector<BYTE> before = Snapshot(*pBack);
    CStripeEffect plain;
    plain.Draw();
    const std::vector<BYTE> after = Snapshot(*pBack);
    const size_t nRow = 800 * 2;
    EXPECT_TRUE(std::equal(after.begin() + 540 * nRow, after.end(), before.begin() + 540 * nRow));
    EXPECT_FALSE(std::equal(after.begin() + 539 * nRow, after.begin() + 540 * nRow, before.begin() + 539 * nRow));
    Restore(*pBack, before);
    ExpectFastEqualsLiteral(plain);

    CStripeEffect lined;
    lined.SetPattern(7);
    EXPECT_EQ(lined.nPattern, 0);
    lined.SetPattern(1);
    EXPECT_EQ(lined.nPattern, 1);
    pBack->Fill(0xFFFF);
    lined.Draw();
    // Even rows blend with black, odd rows with the dark grey.
    EXPECT_NE(Pixel(10, 0), Pixel(10, 1));
    EXPECT_EQ(Pixel(10, 0), Pixel(10, 58));
    EXPECT_EQ(Pixel(10, 599), 0xFFFFu);
    Restore(*pBack, before);
    ExpectFastEqualsLiteral(lined);
}

TEST_F(Weather, ThunderAtTheFirstDrawPast30SecondsThenEvery30Seconds) {
    ClockAt(1000);
    {
        // The clock starts near 0, so a rain switched on early waits for its first 30 s.
        CRainEffect early;
        early.Draw();
        EXPECT_EQ(early.dwLastThunder, 0u);
    }
    ClockAt(40000);
    CRainEffect rain;
    rain.Draw();
    EXPECT_EQ(rain.dwLastThunder, 40000u);
    ClockAt(70000);
    rain.Draw();
    EXPECT_EQ(rain.dwLastThunder, 40000u);
    // Input that arrives before the flash waits for it in the queue.
    FlushInputMessages();
    ASSERT_TRUE(PostMessage(nullptr, WM_KEYDOWN, 'K', 0));
    ClockAt(70001);
    rain.Draw();
    EXPECT_EQ(rain.dwLastThunder, 70001u);
    MSG msg{};
    ASSERT_TRUE(PeekMessage(&msg, true));
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, WPARAM('K'));
}

TEST_F(Weather, DropsFallToTheirStageDepthAndSplash) {
    CRainEffect rain;
    scene.ptView = POINT{40, 300};
    for (int nStage : {0, 4}) {
        CRainDrop drop;
        ASSERT_TRUE(drop.Place(rain, 40, 300, 500, 3, nStage));
        drop.nSplash = -2;
        EXPECT_EQ(drop.x, 340);
        int nLastScreenY = 0, nFrames = 0;
        while (drop.Update(rain) && nFrames < 100) {
            nLastScreenY = drop.y - 300;
            ++nFrames;
        }
        // It ends on the first frame at or below the depth.
        EXPECT_GE(nLastScreenY, kWeatherDepth[nStage]);
        EXPECT_LT(nLastScreenY - drop.nSpeed, kWeatherDepth[nStage]);
    }
    CRainDrop drop;
    ASSERT_TRUE(drop.Place(rain, 40, 300, 500, 3, 0));
    drop.nSplash = -1;
    while (drop.y - 300 < kWeatherDepth[0]) ASSERT_TRUE(drop.Update(rain));
    CDXSurface* pStreak = drop.pPicture;
    const DWORD dwDown = TimeGetTime();
    DWORD dwEnd = dwDown;
    while (drop.Update(rain)) {
        Advance(20);
        dwEnd = TimeGetTime();
        ASSERT_LT(dwEnd - dwDown, 1000u);
    }
    // The splash shows a 5 x 5 picture for 100 ms after waiting 100 ms on the ground.
    EXPECT_NE(drop.pPicture, pStreak);
    EXPECT_EQ(drop.pPicture->GetWidth(), 5);
    EXPECT_GE(dwEnd - dwDown, 200u);
    EXPECT_LE(dwEnd - dwDown, 240u);
}

TEST_F(Weather, SnowDriftsAtMostTwoPixelsEvery100MsAndFallsByStage) {
    CSnowEffect snow;
    for (int nStage = 0; nStage < 5; ++nStage) {
        CSnowFlake flake;
        ASSERT_TRUE(flake.Place(snow, 0, 0, 200, nStage % 3, nStage));
        EXPECT_EQ(flake.y, -19);
        int nDrifts = 0;
        DWORD dwLastDrift = TimeGetTime();
        for (int f = 0; f < 200; ++f) {
            const int x0 = flake.x, y0 = flake.y;
            if (!flake.Update()) break;
            if (flake.x != x0) {
                EXPECT_EQ(std::abs(flake.x - x0), 2);
                EXPECT_GT(TimeGetTime() - dwLastDrift, 100u);
                dwLastDrift = TimeGetTime();
                ++nDrifts;
            }
            EXPECT_EQ(flake.y - y0, kSnowFall[nStage]);
            Advance(20);
        }
        EXPECT_GE(flake.y, kWeatherDepth[nStage]);
        EXPECT_GT(nDrifts, 0);
    }
}

TEST_F(Weather, RainAndSnowSpawnTheirParticlesAroundTheView) {
    ClockAt(1001);
    scene.ptView = POINT{500, 200};
    CRainEffect rain;
    CSnowEffect snow;
    for (int f = 0; f < 10; ++f) {
        rain.Draw();
        snow.Draw();
        Advance(20);
    }
    EXPECT_GT(rain.CountDrops(), 40);
    EXPECT_LE(rain.CountDrops(), 200);
    EXPECT_GT(snow.CountFlakes(), 10);
    std::set<int> stages;
    for (const auto& p : rain.pDrops) {
        if (!p) continue;
        EXPECT_GE(p->x, 300);
        EXPECT_LT(p->x, 1500);
        stages.insert(p->nStage);
    }
    EXPECT_EQ(stages.size(), 5u);
    // The shared pictures: one per kind and grey level, not one per drop.
    std::set<CDXSurface*> pictures;
    for (const auto& p : rain.pDrops)
        if (p && p->nSplash < 0) pictures.insert(p->pPicture);
    EXPECT_LE(pictures.size(), 10u);
}

TEST_F(Weather, WithoutSurfacesNothingIsDrawnAndParticlesEnd) {
    const std::vector<BYTE> before = Snapshot(*pBack);
    CDXScreen* pSaved = pScreen;
    pScreen = nullptr;
    CFogEffect fog;
    CStripeEffect stripes;
    CRainEffect rain;
    CSnowEffect snow;
    EXPECT_EQ(fog.pTile, nullptr);
    fog.Draw();
    stripes.SetPattern(1);
    stripes.Draw();
    rain.Draw();
    snow.Draw();
    EXPECT_EQ(rain.CountDrops(), 0);
    EXPECT_EQ(snow.CountFlakes(), 0);
    CRainDrop drop;
    EXPECT_FALSE(drop.Place(rain, 0, 0, 0, 0, 0));
    EXPECT_FALSE(drop.Update(rain));
    UseLiteralWeather(true);
    CSnowFlake flake;
    EXPECT_FALSE(flake.Place(snow, 0, 0, 0, 1, 0));
    pScreen = pSaved;
    EXPECT_TRUE(before == Snapshot(*pBack));
}

}  // namespace
