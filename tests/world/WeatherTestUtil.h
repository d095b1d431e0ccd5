// The area-test scene with a headless 800 x 600 screen whose back buffer starts from a
// fixed pattern, for the weather overlays and the effects' pictures.
#pragma once
#include <random>

#include "CDX/CDXScreen.h"
#include "tests/CDX/BlitTestUtil.h"
#include "tests/world/AreaTestUtil.h"
#include "world/Weather.h"

namespace areatest {

class WeatherTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        ASSERT_EQ(m_screen.CreateWindowed(nullptr, 800, 600), 0);
        pScreen = &m_screen;
        pBack = m_screen.GetBack();
        UseLiteralWeather(false);
        FillPattern();
    }
    void TearDown() override {
        UseLiteralWeather(false);
        pScreen = nullptr;
        pBack = nullptr;
        AreaTest::TearDown();
    }
    // The same random pixels every time.
    static void FillPattern() {
        std::mt19937 rng(7);
        FillRandom(*pBack, rng);
    }
    static DWORD Pixel(int x, int y) {
        pBack->Lock();
        const DWORD dw = pBack->GetPixel(x, y);
        pBack->Unlock();
        return dw;
    }
    // Restarts the virtual clock at t.
    static void ClockAt(DWORD t) {
        UseVirtualClock(true, t, 20);
        dwNowTime = t;
    }

    CDXScreen m_screen;
};

}  // namespace areatest
