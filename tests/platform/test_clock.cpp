#include <gtest/gtest.h>

#include <vector>

#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"

TEST(VirtualClock, FramesPollsAndSleepsAdvanceIt) {
    UseVirtualClock(true, 1000, 20);
    EXPECT_TRUE(IsVirtualClock());
    EXPECT_EQ(TimeGetTime(), 1000u);
    EXPECT_EQ(TimeGetTime(), 1000u);  // reading alone does not move it
    ClockOnFrame();
    EXPECT_EQ(TimeGetTime(), 1020u);
    ClockOnIdlePoll();
    EXPECT_EQ(TimeGetTime(), 1021u);
    SleepMs(100);
    EXPECT_EQ(TimeGetTime(), 1121u);
    AdvanceVirtualClock(9);
    EXPECT_EQ(TimeGetTime(), 1130u);

    UseVirtualClock(true, 0, 33);
    ClockOnFrame();
    ClockOnFrame();
    EXPECT_EQ(TimeGetTime(), 66u);
}

TEST(VirtualClock, WrapsAndDifferencesStayRight) {
    UseVirtualClock(true, 0xFFFFFFF0u, 20);
    const DWORD dwStart = TimeGetTime();
    ClockOnFrame();
    EXPECT_EQ(TimeGetTime(), 4u);
    EXPECT_EQ(TimeGetTime() - dwStart, 20u);
    SleepMs(0xFFFFFFFFu);
    EXPECT_EQ(TimeGetTime(), 3u);
}

TEST(VirtualClock, BusyWaitsOnTheClockEnd) {
    ResetMessageQueue();
    UseVirtualClock(true, 5000, 20);
    // The start-up wait: "more than 2000 ms or the left button", polling key state only.
    DWORD dwStart = TimeGetTime();
    int nPolls = 0;
    while (TimeGetTime() - dwStart <= 2000 && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
        ASSERT_LT(++nPolls, 100000) << "the wait never ended";
    }
    EXPECT_EQ(nPolls, 2001);

    // A wait that only peeks an empty queue ends as well.
    dwStart = TimeGetTime();
    MSG msg;
    nPolls = 0;
    while (TimeGetTime() - dwStart < 500) {
        ASSERT_FALSE(PeekMessage(&msg, true));
        ASSERT_LT(++nPolls, 100000);
    }
    EXPECT_EQ(nPolls, 500);
}

TEST(RealClock, SleepWaitsAtLeastThatLong) {
    UseVirtualClock(false);
    EXPECT_FALSE(IsVirtualClock());
    const DWORD dwStart = TimeGetTime();
    SleepMs(30);
    const DWORD dwElapsed = TimeGetTime() - dwStart;
    EXPECT_GE(dwElapsed, 30u);
    EXPECT_LT(dwElapsed, 5000u);
    ClockOnFrame();  // no effect on the real clock
    EXPECT_LT(TimeGetTime() - dwStart, 5000u);
    UseVirtualClock(true, 0, 20);
}

TEST(Rand, SeededSequencesRepeatAndDiffer) {
    Srand(1);
    std::vector<int> a, b, c;
    for (int i = 0; i < 1000; ++i) a.push_back(Rand());
    Srand(1);
    for (int i = 0; i < 1000; ++i) b.push_back(Rand());
    Srand(2);
    for (int i = 0; i < 1000; ++i) c.push_back(Rand());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

TEST(Rand, CoversTheWholeRangeWithoutPatterns) {
    Srand(12345);
    std::vector<int> hits(GAME_RAND_MAX + 1, 0);
    int nSameParity = 0, nPrevOdd = -1;
    const int nDraws = 1 << 21;
    for (int i = 0; i < nDraws; ++i) {
        int n = Rand();
        ASSERT_GE(n, 0);
        ASSERT_LE(n, GAME_RAND_MAX);
        ++hits[size_t(n)];
        if ((n & 1) == nPrevOdd) ++nSameParity;
        nPrevOdd = n & 1;
    }
    int nMissing = 0;
    for (int h : hits) nMissing += h == 0;
    EXPECT_EQ(nMissing, 0);
    // The low bit must not simply alternate (a classic fault of returning an LCG's low bits).
    EXPECT_GT(nSameParity, nDraws * 45 / 100);
    EXPECT_LT(nSameParity, nDraws * 55 / 100);
}
