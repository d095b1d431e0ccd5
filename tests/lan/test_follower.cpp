// The follower on small scenes with walls, against a world whose hero, sprites and party
// members the test sets.
#include "lan/Follower.h"
#include "tests/world/SceneDrawUtil.h"

#include <map>
#include <vector>

namespace {

class CFakeWorld : public IFollowerWorld {
public:
    POINT ptHero{};
    bool bEvent = false;
    bool bScriptFollower = false;
    std::map<int, int> counts{{0, 6}, {1, 8}, {5, 4}, {7, 3}};
    FollowerMember member;
    std::vector<std::vector<std::int32_t>> levels;
    std::vector<std::vector<std::int32_t>> items;
    int nWaitCleared = 0;
    struct Drawn {
        int nAction, nDirection, nFrame, x, y;
    };
    std::vector<Drawn> drawn;

    POINT HeroPosition() override { return ptHero; }
    bool IsEventRunning() override { return bEvent; }
    bool IsScriptFollowerSet() override { return bScriptFollower; }
    int SculptOf(int nMember) override { return nMember == 0 ? 42 : -1; }
    int FrameCount(int nSculpt, int nAction) override {
        auto it = counts.find(nAction);
        return nSculpt == 42 && it != counts.end() ? it->second : 0;
    }
    FollowerMember* Member(int nMember) override { return nMember == 0 ? &member : nullptr; }
    const std::int32_t* LevelRow(int nMember, int nLevel) override {
        if (nMember != 0 || nLevel < 0 || nLevel >= int(levels.size())) return nullptr;
        return levels[size_t(nLevel)].data();
    }
    const std::int32_t* ItemRow(int nItem) override {
        if (nItem < 0 || nItem >= int(items.size())) return nullptr;
        return items[size_t(nItem)].data();
    }
    void ClearAnimationWait() override { ++nWaitCleared; }
    void DrawFrame(int, int nAction, int nDirection, int nFrame, int x, int y) override {
        drawn.push_back({nAction, nDirection, nFrame, x, y});
    }
};

class FollowerTest : public SceneTest {
protected:
    // A 12 x 10 map of 32-pixel cells with an L of wall: column 5 rows 0..6, row 6 columns 5..8.
    void BuildWalled() {
        MapFileData map = EmptyMap(0, 12, 10);
        for (int y = 0; y <= 6; ++y) map.cells[size_t(5 + 12 * y)].nWall = 1;
        for (int x = 5; x <= 8; ++x) map.cells[size_t(x + 12 * 6)].nWall = 1;
        ASSERT_TRUE(Build(map));
        scene.RebuildBlockMap();
    }
    POINT Centre(int cx, int cy) const { return scene.CellToPixel(cx, cy); }
    void Tick(CFollower& follower, POINT ptLeader) {
        dwNowTime += 20;
        follower.Update(0, ptLeader.x, ptLeader.y);
    }
    CFakeWorld world;
};

long long Squared(POINT a, POINT b) {
    return (long long)(a.x - b.x) * (a.x - b.x) + (long long)(a.y - b.y) * (a.y - b.y);
}

}  // namespace

TEST_F(FollowerTest, WalksAroundTheWallToTheHeroAndLeavesTheGridAsItWas) {
    BuildWalled();
    const std::vector<std::int32_t> blockedBefore = scene.pBlocked;
    CFollower follower(&world);
    follower.Init(0);
    EXPECT_EQ(follower.nFrameCount[1], 8);
    EXPECT_EQ(follower.nSculpt, 42);
    follower.SetPos(Centre(2, 2).x, Centre(2, 2).y);
    world.ptHero = Centre(7, 2);

    bool bWalked = false;
    int nFrames = 0;
    for (int i = 0; i < 3000; ++i, ++nFrames) {
        Tick(follower, world.ptHero);
        bWalked = bWalked || follower.nAction == 1;
        POINT ptCell = scene.PixelToCell(follower.ptPos.x, follower.ptPos.y);
        const SceneCell* pCell = scene.CellAt(ptCell.x, ptCell.y);
        ASSERT_NE(pCell, nullptr) << "frame " << i;
        ASSERT_NE(pCell->nWall, 1) << "on a wall at " << ptCell.x << "," << ptCell.y << " frame " << i;
        if (follower.nAction == 0 && Squared(follower.ptPos, world.ptHero) < 3000) break;
    }
    EXPECT_TRUE(bWalked);
    EXPECT_GT(nFrames, 60);  // round the wall, not through it: well over 5 cells at 4 px a frame
    EXPECT_EQ(follower.nAction, 0);
    EXPECT_LT(Squared(follower.ptPos, world.ptHero), 3000);
    EXPECT_EQ(scene.pBlocked, blockedBefore);
}

TEST_F(FollowerTest, FindPathKeepsAWallAtTheGoal) {
    BuildWalled();
    const std::vector<std::int32_t> blockedBefore = scene.pBlocked;
    CFollower follower(&world);
    follower.Init(0);
    follower.SetPos(Centre(2, 2).x, Centre(2, 2).y);
    follower.FindPath(Centre(5, 3).x, Centre(5, 3).y);  // a wall cell
    EXPECT_GT(follower.pPath->nWaypoints, 0);
    EXPECT_EQ(follower.nAction, 1);
    EXPECT_EQ(scene.pBlocked, blockedBefore);
    EXPECT_EQ(scene.pBlocked[size_t(scene.CellIndex(5, 3))], 1);
    // Walking on, it stops before the wall instead of stepping on it.
    for (int i = 0; i < 500 && follower.nAction == 1; ++i) {
        dwNowTime += 20;
        follower.MoveToward();
        POINT ptCell = scene.PixelToCell(follower.ptPos.x, follower.ptPos.y);
        ASSERT_NE(scene.CellAt(ptCell.x, ptCell.y)->nWall, 1);
    }
    // Outside the grid nothing is searched and nothing is written.
    CFollower outside(&world);
    outside.Init(0);
    outside.SetPos(Centre(2, 2).x, Centre(2, 2).y);
    outside.FindPath(5000, 5000);
    EXPECT_EQ(outside.pPath->nWaypoints, 0);
    EXPECT_EQ(scene.pBlocked, blockedBefore);
}

TEST_F(FollowerTest, StopsNearTheLeaderAndStartsWhenBothAreFar) {
    ASSERT_TRUE(Build(EmptyMap(0, 20, 20)));
    scene.RebuildBlockMap();
    CFollower follower(&world);
    follower.Init(0);
    POINT ptAt = Centre(8, 8);
    follower.SetPos(ptAt.x, ptAt.y);
    follower.nAction = 1;
    follower.ptTarget = POINT{ptAt.x + 200, ptAt.y};
    world.ptHero = POINT{ptAt.x + 300, ptAt.y};
    Tick(follower, POINT{follower.ptPos.x + 50, follower.ptPos.y});  // 2500 < 3000
    EXPECT_EQ(follower.nAction, 0);
    EXPECT_EQ(follower.ptDest.x, follower.ptPos.x);

    // 60 pixels (3600) from both leader and hero, idle, no path: it sets off to the hero.
    CFollower idle(&world);
    idle.Init(0);
    idle.SetPos(ptAt.x, ptAt.y);
    world.ptHero = POINT{ptAt.x, ptAt.y + 60};
    world.bScriptFollower = true;
    Tick(idle, world.ptHero);
    EXPECT_EQ(idle.nAction, 0);  // a follower under script control holds everyone back
    world.bScriptFollower = false;
    world.bEvent = true;
    Tick(idle, world.ptHero);
    EXPECT_EQ(idle.nAction, 0);
    world.bEvent = false;
    Tick(idle, world.ptHero);
    EXPECT_EQ(idle.nAction, 1);
    POINT ptHeroCell = scene.PixelToCell(world.ptHero.x, world.ptHero.y);
    EXPECT_EQ(idle.ptDest.x, scene.CellToPixel(ptHeroCell.x, ptHeroCell.y).x);
    EXPECT_EQ(idle.ptDest.y, scene.CellToPixel(ptHeroCell.x, ptHeroCell.y).y);
    EXPECT_EQ(idle.nDirection, 0);  // facing down towards the hero
}

TEST(Follower, DirectionsAndTheirAngles) {
    double dAngle = 123.0;
    EXPECT_EQ(CFollower::DirectionTo(0, 0, &dAngle), 3);  // the kept angle decides
    EXPECT_DOUBLE_EQ(dAngle, 123.0);
    EXPECT_EQ(CFollower::DirectionTo(-5, 0, &dAngle), 2);
    EXPECT_NEAR(dAngle, 90.0, 1e-9);
    EXPECT_EQ(CFollower::DirectionTo(5, 5, &dAngle), 7);
    EXPECT_NEAR(dAngle, 315.0, 1e-4);
    EXPECT_EQ(CFollower::DirectionTo(0, 9, &dAngle), 0);
    EXPECT_EQ(CFollower::DirectionTo(0, -9, &dAngle), 4);
    EXPECT_EQ(CFollower::DirectionTo(9, 0, &dAngle), 6);
    // The sectors: exactly 337.5 degrees is direction 0 again, 22.5 already direction 1.
    EXPECT_EQ(CFollower::DirectionOfAngle(337.5), 0);
    EXPECT_EQ(CFollower::DirectionOfAngle(337.4), 7);
    EXPECT_EQ(CFollower::DirectionOfAngle(22.4), 0);
    EXPECT_EQ(CFollower::DirectionOfAngle(22.5), 1);
    EXPECT_EQ(CFollower::DirectionOfAngle(180.0), 4);

    CFollower follower;
    follower.SetDirection(5);
    follower.SetDirection(8);
    follower.SetDirection(-1);
    EXPECT_EQ(follower.nDirection, 5);
}

TEST_F(FollowerTest, OneShotAnimationsHoldAndReturnToStand) {
    ASSERT_TRUE(Build(EmptyMap(0, 20, 20)));
    CFollower follower(&world);
    follower.Init(0);
    follower.nFrameCount[5] = 4;
    follower.SetPos(Centre(4, 4).x, Centre(4, 4).y);
    world.ptHero = follower.ptPos;
    follower.nAction = 5;
    follower.nHoldFrame = 2;
    std::vector<int> frames;
    for (int i = 0; i < 40; ++i) {
        Tick(follower, follower.ptPos);
        frames.push_back(follower.nFrame);
    }
    EXPECT_EQ(frames.back(), 2);
    EXPECT_EQ(*std::max_element(frames.begin(), frames.end()), 2);

    follower.nHoldFrame = -1;
    follower.bReturnToStand = 1;
    for (int i = 0; i < 60 && follower.nAction == 5; ++i) Tick(follower, follower.ptPos);
    EXPECT_EQ(follower.nAction, 0);
    EXPECT_EQ(world.nWaitCleared, 1);

    // While the action is 10 the alternate action's frames are drawn.
    follower.nAction = 10;
    follower.nAltAction = 7;
    follower.nFrameCount[7] = 3;
    follower.nFrame = 2;
    follower.Draw();
    ASSERT_EQ(world.drawn.size(), 1u);
    EXPECT_EQ(world.drawn[0].nAction, 7);
    follower.nFrame = 3;  // past the alternate action's frames: nothing drawn
    follower.Draw();
    EXPECT_EQ(world.drawn.size(), 1u);
}

TEST(Follower, MemberValuesSkipMissingRowsAndItems) {
    CFakeWorld world;
    world.member.nLevel = 2;
    world.member.nBase[1] = 100;
    world.member.nBase[2] = 50;
    world.member.nBase[5] = 40;
    world.levels = {{0, 10, 20, 30, 40, 0, 0, 0, 0}, {0, 1, 1, 1, 1, 0, 0, 0, 0}, {0, 2, 3, 4, 5, 0, 0, 0, 0}};
    CFollower follower(&world);
    follower.RecomputeStats(0, 3);
    EXPECT_EQ(world.member.nValue[1], 30 + 2 * 4 + 100);
    EXPECT_EQ(world.member.nValue[2], 40 + 2 * 5 + 50);
    EXPECT_EQ(world.member.nValue[3], 10 + 2 * 2);
    EXPECT_EQ(world.member.nValue[4], 20 + 2 * 3);
    EXPECT_EQ(world.member.nValue[5], 43);

    std::vector<std::int32_t> item(10, 0);
    item[3] = 5;
    item[4] = 6;
    item[9] = 4;
    world.items = {item, item};
    // 0 would name item -1 and 99 lies outside the table: both add nothing.
    world.member.nEquip[0] = 0;
    world.member.nEquip[1] = 1;
    world.member.nEquip[2] = 2;
    world.member.nEquip[3] = 99;
    follower.RecomputeEquipStats(0);
    EXPECT_EQ(world.member.nValue[3], 14 + 10);
    EXPECT_EQ(world.member.nValue[4], 26 + 12);
    EXPECT_EQ(world.member.nValue[5], 45);  // 40 + 4 + 4 capped

    // A level beyond the table changes nothing.
    world.member.nLevel = 7;
    FollowerMember before = world.member;
    follower.RecomputeEquipStats(0);
    EXPECT_EQ(std::vector<int>(world.member.nValue, world.member.nValue + 6),
              std::vector<int>(before.nValue, before.nValue + 6));
}

namespace {

class FollowerDrawTest : public SceneDrawTest {
protected:
    CFakeWorld world;
};

}  // namespace

// With the scene's debug flag the follower marks its point (1504) and its destination
// (255) with filled circles of radius 15, less the view origin; without it, nothing.
TEST_F(FollowerDrawTest, TheDebugFlagMarksThePointAndTheDestination) {
    ASSERT_TRUE(Build(EmptyMap(0, 30, 30)));
    scene.ptView = POINT{64, 32};
    CFollower follower(&world);
    follower.Init(0);
    follower.SetPos(300, 200);
    follower.ptDest = POINT{500, 260};
    follower.Draw();
    EXPECT_EQ(At(300 - 64, 200 - 32), 0u);
    EXPECT_EQ(At(500 - 64, 260 - 32), 0u);
    scene.bDebugMarks = 1;
    follower.Draw();
    EXPECT_EQ(At(300 - 64, 200 - 32), 1504u);
    EXPECT_EQ(At(300 - 64 + 14, 200 - 32), 1504u);
    EXPECT_EQ(At(300 - 64 + 17, 200 - 32), 0u);
    EXPECT_EQ(At(500 - 64, 260 - 32 - 14), 255u);
    EXPECT_EQ(At(500 - 64, 260 - 32 + 17), 0u);
    // Scene 12 shows the marks but no sprite.
    EXPECT_EQ(world.drawn.size(), 2u);
    scene.nSceneNo = 12;
    pBack->Fill(0);
    follower.Draw();
    EXPECT_EQ(At(300 - 64, 200 - 32), 1504u);
    EXPECT_EQ(world.drawn.size(), 2u);
}
