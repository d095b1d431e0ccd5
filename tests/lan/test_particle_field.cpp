// The particle field on a headless 800 x 600 screen.
#include "CDX/CDXScreen.h"
#include "lan/ParticleField.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace {

class ParticleFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 5000, 20);
        ASSERT_EQ(screen.CreateWindowed(nullptr, 800, 600), 0);
    }
    void TearDown() override { UseVirtualClock(false); }

    // Counts the lit pixels of the back buffer, and those outside the rectangle.
    void CountLit(const RECT& rcInside, int* pLit, int* pOutside) {
        CDXSurface* pBack = screen.GetBack();
        ASSERT_GE(pBack->Lock(), 0);
        *pLit = *pOutside = 0;
        for (int y = 0; y < pBack->GetHeight(); ++y) {
            for (int x = 0; x < pBack->GetWidth(); ++x) {
                if (pBack->GetPixel(x, y) == 0) continue;
                ++*pLit;
                if (!PtInRect(rcInside, POINT{x, y})) ++*pOutside;
            }
        }
        pBack->Unlock();
    }
    CDXScreen screen;
};

}  // namespace

TEST_F(ParticleFieldTest, SetCountClamps) {
    CParticleField field(&screen);
    EXPECT_EQ(field.GetCount(), 200);
    field.SetCount(20000);
    EXPECT_EQ(field.GetCount(), 10000);
    field.SetCount(-5);
    EXPECT_EQ(field.GetCount(), 0);
    field.SetCount(1234);
    EXPECT_EQ(field.GetCount(), 1234);
}

TEST_F(ParticleFieldTest, EveryModeRunsAThousandFramesInsideItsArea) {
    for (int nMode = 0; nMode < CParticleField::MODE_COUNT; ++nMode) {
        for (bool bDirection : {true, false}) {
            CParticleField field(&screen);
            field.SetMode(nMode);
            field.SetCount(1500);
            field.SetDirection(bDirection);
            field.SetRandomColour(nMode == 3);
            field.SetTwinkle(nMode == 1);
            field.SetArea(100, 700, 50, 500);
            field.Start();
            for (int i = 0; i < 1000; ++i) field.Tick(i % 100 == 0);
            field.Tick(true);
            int nLit = 0, nOutside = 0;
            CountLit(RECT{100, 50, 700, 500}, &nLit, &nOutside);
            EXPECT_GT(nLit, 0) << "mode " << nMode;
            EXPECT_EQ(nOutside, 0) << "mode " << nMode;
            for (int i = 0; i < field.GetCount(); ++i) {
                const Particle& p = field.GetParticle(i);
                if (nMode == 2) {
                    ASSERT_GE(p.nDepth, 1) << "mode 2 particle " << i;
                } else {
                    ASSERT_GE(p.nDepth, 0);
                    ASSERT_LE(p.nDepth, 254);
                }
            }
        }
    }
}

TEST_F(ParticleFieldTest, BandsSetSpeedAndStreamsWrapToTheOtherEdge) {
    CParticleField field(&screen);
    field.SetMode(0);
    field.SetCount(500);
    field.SetRandomBand(false);
    field.Init();
    std::vector<Particle> before;
    for (int i = 0; i < 500; ++i) before.push_back(field.GetParticle(i));
    field.Draw();
    int nMoved = 0;
    for (int i = 0; i < 500; ++i) {
        const Particle& a = before[size_t(i)];
        const Particle& b = field.GetParticle(i);
        EXPECT_EQ(a.nColour, 244 - std::min(a.nDepth / 50, 4));
        if (b.x > a.x) {
            // Wrapped: re-entered beyond the right edge (the stream moves left).
            EXPECT_GE(b.x, 800);
            EXPECT_LE(b.x, 850);
            continue;
        }
        EXPECT_EQ(a.x - b.x, 2 + 4 - std::min(a.nDepth / 50, 4)) << i;
        ++nMoved;
    }
    EXPECT_GT(nMoved, 400);
}
