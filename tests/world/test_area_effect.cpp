#include "tests/world/AreaTestUtil.h"

#include <cstdint>

#include "world/AreaEffect.h"

using namespace areatest;

namespace {

using AreaEffect = AreaTest;

TEST_F(AreaEffect, StepsOnlyAfterMoreThan200Ms) {
    CAreaEffect effect;
    const POINT at = Centre(5, 5);
    ASSERT_TRUE(effect.Cast(100, at.x, at.y, 1, 0, -1));
    // Mode 1 marks its first cell at once, with the cell's step value on the base.
    EXPECT_EQ(Mark(5, 5), 110);
    EXPECT_EQ(MarkKind(5, 5), 0);
    EXPECT_EQ(Mark(6, 5), -1);
    Advance(200);
    EXPECT_TRUE(effect.Tick());
    EXPECT_EQ(effect.nStepsLeft, 4);
    EXPECT_EQ(effect.nNextCell, 1);
    Advance(1);
    EXPECT_TRUE(effect.Tick());
    EXPECT_EQ(effect.nStepsLeft, 3);
    EXPECT_EQ(effect.nNextCell, 2);
    // The next step counts from this one.
    Advance(200);
    EXPECT_TRUE(effect.Tick());
    EXPECT_EQ(effect.nStepsLeft, 3);
}

TEST_F(AreaEffect, AllAtOnceWithOneStepClearsEveryMarkAtItsFirstStep) {
    CAreaEffect effect;
    const POINT at = Centre(5, 5);
    ASSERT_TRUE(effect.Cast(100, at.x, at.y, 0, 1, -1));
    EXPECT_EQ(Mark(5, 5), 110);
    EXPECT_EQ(Mark(6, 5), 120);
    EXPECT_EQ(Mark(7, 5), 130);
    EXPECT_EQ(MarkKind(7, 5), 1);
    // The count runs one past the pattern, but no cell past it is marked.
    EXPECT_EQ(effect.nCount, 4);
    EXPECT_EQ(MarkedCells(), 3);
    Advance(201);
    EXPECT_FALSE(effect.Tick());
    EXPECT_EQ(MarkedCells(), 0);
}

TEST_F(AreaEffect, AMarkBaseNearTheTopOfThe32BitRangeMarksAtItsEnd) {
    // The base comes from table values (an item's or a skill's attack word).
    CAreaEffect effect;
    const POINT at = Centre(5, 5);
    ASSERT_TRUE(effect.Cast(INT32_MAX - 15, at.x, at.y, 0, 0, -1));
    EXPECT_EQ(Mark(5, 5), INT32_MAX - 5);
    EXPECT_EQ(Mark(6, 5), INT32_MAX);
    EXPECT_EQ(Mark(7, 5), INT32_MAX);
}

TEST_F(AreaEffect, PatternNumbersOutsideThePatternsAreRefused) {
    CAreaEffect effect;
    const POINT at = Centre(5, 5);
    EXPECT_FALSE(effect.Cast(100, at.x, at.y, -1, 0, -1));
    EXPECT_FALSE(effect.Cast(100, at.x, at.y, kPatterns, 0, -1));
    EXPECT_FALSE(effect.Cast(100, at.x, at.y, 1 << 30, 0, -1));
    EXPECT_EQ(effect.nPattern, -1);
    EXPECT_EQ(MarkedCells(), 0);
    pScene = nullptr;
    EXPECT_FALSE(effect.Cast(100, at.x, at.y, 0, 0, -1));
}

TEST_F(AreaEffect, SpreadingThenClearingTakesTwiceTheCount) {
    CAreaEffect effect;
    const POINT at = Centre(5, 5);
    ASSERT_TRUE(effect.Cast(0, at.x, at.y, 2, 0, -1));
    std::vector<int> marked{MarkedCells()};
    int nTicks = 0;
    for (; nTicks < 20; ++nTicks) {
        Advance(201);
        const bool bRunning = effect.Tick();
        marked.push_back(MarkedCells());
        if (!bRunning) break;
    }
    // Count 4 of spreading steps and 4 of clearing; finished at the eighth.
    EXPECT_EQ(nTicks + 1, 2 * effect.nCount);
    EXPECT_EQ(marked, (std::vector<int>{1, 1, 2, 3, 3, 2, 1, 1, 0}));
}

TEST_F(AreaEffect, RunningMarkMovesAlongThePatternAndFinishes) {
    CAreaEffect effect;
    const POINT at = Centre(5, 5);
    ASSERT_TRUE(effect.Cast(7, at.x, at.y, 3, 1, -1));
    EXPECT_EQ(Mark(5, 5), 7);
    EXPECT_EQ(effect.nPhase, 1);
    std::vector<int> heads;
    bool bRunning = true;
    int nTicks = 0;
    while (bRunning && nTicks < 50) {
        Advance(201);
        bRunning = effect.Tick();
        ++nTicks;
        // At most the cell just reached and the one before it carry the mark.
        EXPECT_LE(MarkedCells(), 2);
        int nHead = -1;
        for (int i = 0; i < 4; ++i)
            if (Mark(5 + i, 5) != -1) nHead = i;
        heads.push_back(nHead);
        // The mark value at each cell is its step value plus the base.
        if (nHead == 3) {
            EXPECT_EQ(Mark(8, 5), 47);
        }
    }
    // Four steps over the four cells, then the finish, which frees the effect and takes
    // the last mark with it.
    EXPECT_FALSE(bRunning);
    EXPECT_EQ(nTicks, effect.nCount);
    EXPECT_EQ(heads, (std::vector<int>{0, 1, 2, 3, -1}));
    EXPECT_EQ(MarkedCells(), 0);
}

TEST_F(AreaEffect, CellsOffTheGridAreSkipped) {
    CAreaEffect effect;
    const POINT at = Centre(0, 0);
    ASSERT_TRUE(effect.Cast(0, at.x, at.y, 4, 0, -1));
    EXPECT_EQ(Mark(0, 0), 10);
    EXPECT_EQ(Mark(2, 0), 30);
    EXPECT_EQ(MarkedCells(), 2);
    EXPECT_EQ(effect.cellPoints[1].x, -1);
    Advance(201);
    EXPECT_FALSE(effect.Tick());
    EXPECT_EQ(MarkedCells(), 0);
}

}  // namespace
