#include "tests/world/AreaTestUtil.h"
#include "world/FlyingEffect.h"

using namespace areatest;

namespace {

using FlyingEffect = AreaTest;

TEST_F(FlyingEffect, DirectionsAndLineSpeeds) {
    EXPECT_EQ(CFlyingEffect::DirectionOf(0, 20), 0);
    EXPECT_EQ(CFlyingEffect::DirectionOf(0, -20), 16);
    EXPECT_EQ(CFlyingEffect::DirectionOf(-20, 0), 8);
    EXPECT_EQ(CFlyingEffect::DirectionOf(20, 0), 24);
    EXPECT_EQ(CFlyingEffect::DirectionOf(-14, -14), 12);

    // A tenth of the way, brought to a squared length of 400 to 600.
    const POINT doubled = CFlyingEffect::LineVelocity(100, 0);
    EXPECT_EQ(doubled.x, 20);
    EXPECT_EQ(doubled.y, 0);
    const POINT tripled = CFlyingEffect::LineVelocity(-70, 0);
    EXPECT_EQ(tripled.x, -21);
    const POINT kept = CFlyingEffect::LineVelocity(0, 230);
    EXPECT_EQ(kept.y, 23);
    // A first step already past 600 cannot be shortened and stays.
    const POINT fast = CFlyingEffect::LineVelocity(3000, 0);
    EXPECT_EQ(fast.x, 300);
    const POINT none = CFlyingEffect::LineVelocity(9, -9);
    EXPECT_EQ(none.x, 0);
    EXPECT_EQ(none.y, 0);
}

TEST_F(FlyingEffect, ALaunchOntoItsOwnStartEndsAtOnce) {
    CFlyingEffect effect;
    scene.ptView = POINT{100, 50};
    EXPECT_TRUE(effect.LaunchLine(30, 0, 300, 250, 205, 205, 1, 1));
    EXPECT_EQ(effect.pSprites[0], nullptr);
    EXPECT_FALSE(effect.Tick());
    EXPECT_EQ(MarkedCells(), 0);
}

TEST_F(FlyingEffect, ALineFliesAndStopsOnTheBlockedCellItReached) {
    scene.CellAt(5, 3)->nWall = 1;
    CFlyingEffect effect;
    // From map (100, 100) toward screen (300, 100): 20 pixels a step to the right.
    ASSERT_TRUE(effect.LaunchLine(55, 2, 100, 100, 300, 100, 1, 1));
    EXPECT_EQ(effect.nDirection, 24);
    EXPECT_EQ(effect.ptPos[0].x, 120);
    ASSERT_TRUE(effect.Tick());
    EXPECT_EQ(Mark(4, 3), 55);
    EXPECT_EQ(MarkKind(4, 3), 0);
    ASSERT_TRUE(effect.Tick());
    EXPECT_EQ(Mark(4, 3), -1);
    EXPECT_EQ(Mark(5, 3), 55);
    // Standing on the wall now: the next tick clears its mark and stops it for good.
    ASSERT_TRUE(effect.Tick());
    EXPECT_EQ(Mark(5, 3), -1);
    EXPECT_EQ(effect.ptPos[0].x, -1);
    EXPECT_EQ(MarkedCells(), 0);
    EXPECT_FALSE(effect.Tick());
    EXPECT_EQ(MarkedCells(), 0);
}

TEST_F(FlyingEffect, CharacterShotsMarkKindOneAndStopOnlyOnHeroCells) {
    scene.CellAt(5, 3)->nWall = 1;
    scene.CellAt(7, 3)->nWall = 2;
    CFlyingEffect effect;
    effect.SetOption();
    ASSERT_TRUE(effect.LaunchLine(9, 0, 100, 100, 300, 100, 1, 1));
    std::vector<int> xs;
    while (effect.Tick() && xs.size() < 50) xs.push_back(effect.ptPos[0].x);
    // Through the wall at cell 5, stopped on the hero's cell 7 (x 224..255).
    ASSERT_GE(xs.size(), 2u);
    EXPECT_EQ(xs[xs.size() - 2], 240);
    EXPECT_EQ(xs.back(), -1);
    EXPECT_EQ(MarkedCells(), 0);
}

TEST_F(FlyingEffect, ARingSpriteOutOfViewStopsAndClearsItsMark) {
    CFlyingEffect effect;
    ASSERT_TRUE(effect.LaunchRing(12, 1, 100, 650, 1, 1));
    ASSERT_NE(effect.pSprites[0], nullptr);
    EXPECT_EQ(effect.pSprites[1], nullptr);
    std::vector<int> ys;
    while (effect.Tick() && ys.size() < 50) ys.push_back(effect.ptPos[0].y);
    // Down 15 a tick: 665, 680, 695, 710, then more than 100 below the view: stopped.
    EXPECT_EQ(ys, (std::vector<int>{665, 680, 695, 710, -1}));
    EXPECT_EQ(MarkedCells(), 0);
}

TEST_F(FlyingEffect, ARingOfCharacterShotsStartsOneStepOut) {
    CFlyingEffect effect;
    effect.SetOption();
    ASSERT_TRUE(effect.LaunchRing(12, 1, 400, 400, 40, 1));
    EXPECT_EQ(effect.nSpriteCount, 32);
    EXPECT_EQ(effect.ptPos[0].y, 415);
    EXPECT_EQ(effect.ptPos[8].x, 385);
    EXPECT_EQ(effect.ptPos[4].x, 380);
    EXPECT_EQ(effect.ptPos[12].y, 380);
    ASSERT_TRUE(effect.Tick());
    EXPECT_GE(MarkedCells(), 8);
    EXPECT_EQ(MarkKind(12, 13), 1);
}

}  // namespace
