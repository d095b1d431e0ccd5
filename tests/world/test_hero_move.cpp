// The heroine on a scene: direction choice, walk requests, walking around a wall along
// the found path, running and stamina, rest, one-shot actions with a hold frame, the
// nearest free walk target, and the heroes' share of the block map and draw list.
#include <limits>
#include <memory>
#include <set>

#include "tests/world/PlayerTestUtil.h"
#include "tests/world/SceneTestUtil.h"
#include "world/FreeCell.h"
#include "world/PathFinder.h"

namespace {

class CMoveHost : public CFakeHeroHost {
public:
    int GetHoldFrame() const override { return nHoldFrame; }
    int nHoldFrame = -1;
};

// A 20 x 20 open grid of 32-pixel cells with an L of walls: x 5..9 on row 10 and
// column 9 from row 4 to row 9. The heroine (sculpt 1: 10, 11 and 12 frames for stand,
// walk and run) stands inside the L on cell (6, 7).
class HeroMove : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        SetHeroHost(&heroHost);
        MapFileData map = EmptyMap(0, 20, 20);
        for (int x = 5; x <= 9; ++x) map.cells[size_t(x + 20 * 10)].nWall = 1;
        for (int y = 4; y <= 9; ++y) map.cells[size_t(9 + 20 * y)].nWall = 1;
        ASSERT_TRUE(Build(map));
        hero = std::make_unique<CPlayer>();
        hero->Init(0, false, -1);
        pPlayer = hero.get();
        const POINT start = scene.CellToPixel(6, 7);
        hero->SetMapPosAndHome(start.x, start.y);
        scene.RebuildBlockMap();
    }
    void TearDown() override {
        pPlayer = nullptr;
        SetHeroHost(nullptr);
        SceneTest::TearDown();
    }
    // One frame of the game: the clock, the block map, the heroine's update.
    void Frame() {
        AdvanceVirtualClock(20);
        dwNowTime = TimeGetTime();
        scene.RebuildBlockMap();
        hero->Update();
    }
    bool IsWall(POINT cell) const {
        const SceneCell* p = scene.CellAt(cell.x, cell.y);
        return p && p->nWall == 1;
    }
    POINT Cell() const { return scene.PixelToCell(hero->ptPos.x, hero->ptPos.y); }

    CMoveHost heroHost;
    std::unique_ptr<CPlayer> hero;
};

TEST(HeroDirection, VectorsGiveTheEightDirectionsAndAZeroVectorKeepsTheAngle) {
    double a = 123.0;
    EXPECT_EQ(DirectionFromVector(0, 5, &a), 0);
    EXPECT_EQ(DirectionFromVector(-5, 0, &a), 2);
    EXPECT_EQ(DirectionFromVector(0, -5, &a), 4);
    EXPECT_EQ(DirectionFromVector(5, 0, &a), 6);
    EXPECT_DOUBLE_EQ(a, 270.0);
    EXPECT_EQ(DirectionFromVector(-5, 5, &a), 1);
    EXPECT_EQ(DirectionFromVector(5, -5, &a), 5);
    EXPECT_EQ(DirectionFromVector(5, 5, &a), 7);
    const double dBefore = a;
    EXPECT_EQ(DirectionFromVector(0, 0, &a), 7);
    EXPECT_DOUBLE_EQ(a, dBefore);
    EXPECT_EQ(NeighbourCell(POINT{4, 4}, -1).x, 5);  // -1 wraps to 7: (+1, 0)
}

TEST_F(HeroMove, WalkRequestsThatCannotStartChangeNothing) {
    const POINT pos = hero->ptPos;
    hero->WalkTo(pos.x + 3, pos.y + 3, false, false);  // her own cell
    EXPECT_EQ(hero->nAction, 0);
    EXPECT_EQ(hero->WaypointCount(), 0);
    EXPECT_EQ(hero->ptGoal.x, pos.x);

    hero->nFrameCounts[1] = 0;  // no walk frames
    const POINT far = scene.CellToPixel(2, 2);
    hero->WalkTo(far.x, far.y, false, false);
    EXPECT_EQ(hero->nAction, 0);
    EXPECT_EQ(hero->WaypointCount(), 0);
    EXPECT_EQ(hero->ptGoal.y, pos.y);

    hero->nFrameCounts[1] = 11;
    hero->bHidden = 1;
    hero->WalkTo(far.x, far.y, false, false);
    EXPECT_EQ(hero->nAction, 0);
    hero->bHidden = 0;

    // A walled target cell is no goal; she stays.
    const POINT wall = scene.CellToPixel(9, 6);
    hero->WalkTo(wall.x, wall.y, false, false);
    EXPECT_EQ(hero->nAction, 0);
    EXPECT_EQ(hero->WaypointCount(), 0);
}

TEST_F(HeroMove, AWalkBehindTheWallGoesAroundItAndEndsOnTheClickedCell) {
    const POINT target = scene.CellToPixel(12, 7);
    hero->WalkTo(target.x + 5, target.y - 7, false, false);
    EXPECT_EQ(hero->nAction, 1);
    EXPECT_GT(hero->WaypointCount(), 0);
    std::set<std::pair<int, int>> visited;
    int nFrames = 0;
    while (hero->nAction != 0 && nFrames < 2000) {
        Frame();
        ++nFrames;
        const POINT cell = Cell();
        ASSERT_FALSE(IsWall(cell)) << "frame " << nFrames << " on wall cell " << cell.x << "," << cell.y;
        visited.insert({cell.x, cell.y});
        EXPECT_GE(hero->nFrame, 0);
        EXPECT_LT(hero->nFrame, hero->nFrameCounts[hero->nAction]);
    }
    EXPECT_LT(nFrames, 2000);
    EXPECT_EQ(hero->ptPos.x, target.x);
    EXPECT_EQ(hero->ptPos.y, target.y);
    EXPECT_EQ(hero->WaypointCount(), 0);
    // The way round passes above the wall's top end (row 3 or higher up).
    EXPECT_TRUE(std::any_of(visited.begin(), visited.end(), [](auto c) { return c.second <= 3; }));
}

TEST_F(HeroMove, RunningDrainsStaminaThenWalksAndStandingRefillsIt) {
    hero->bMode[2] = 1;
    const POINT from = scene.CellToPixel(0, 0), target = scene.CellToPixel(19, 19);
    hero->SetMapPosAndHome(from.x, from.y);
    hero->WalkTo(target.x, target.y, false, false);
    ASSERT_EQ(hero->nAction, 2);
    const int nStart = hero->nStamina;
    // Five points each full second of running.
    for (int i = 0; i < 52; ++i) Frame();  // 1040 ms
    ASSERT_EQ(hero->nAction, 2);
    EXPECT_EQ(hero->nStamina, nStart - 5);

    hero->nStamina = 0;
    Frame();
    EXPECT_EQ(hero->nAction, 1) << "with no stamina the next update walks";
    hero->StopAndSnap();
    EXPECT_EQ(hero->nAction, 0);
    for (int i = 0; i < 52; ++i) Frame();  // just over a second standing
    EXPECT_EQ(hero->nStamina, hero->nStaminaMax);
}

TEST_F(HeroMove, RestGainsLifeAndManaBeyondStanding) {
    CPlayer stander(*hero);
    hero->nLife = stander.nLife = 50;
    hero->nLifeMax = stander.nLifeMax = 300;
    hero->nMana = stander.nMana = 10;
    hero->nManaMax = stander.nManaMax = 200;
    hero->ToggleRest();
    EXPECT_EQ(hero->nAction, 9);
    AdvanceVirtualClock(1001);
    dwNowTime = TimeGetTime();
    hero->Update();
    stander.Update();
    // Standing: life + 10, mana + 1% of the maximum. Resting adds 0.5% of the life
    // maximum (at least 1) and 1% of the mana maximum (at least 1) on top.
    EXPECT_EQ(stander.nLife, 60);
    EXPECT_EQ(stander.nMana, 12);
    EXPECT_EQ(hero->nLife, 61);
    EXPECT_EQ(hero->nMana, 14);
    hero->ToggleRest();
    EXPECT_EQ(hero->nAction, 0);

    // Maxima that item bonuses drove to the end of the 32-bit range: the gains stop there.
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    for (CPlayer* p : {hero.get(), &stander}) {
        p->nLifeMax = p->nManaMax = p->nStaminaMax = kMax;
        p->nLife = kMax - 3;
        p->nMana = kMax;
        p->nStamina = kMax - 1;
    }
    hero->ToggleRest();
    AdvanceVirtualClock(1001);
    dwNowTime = TimeGetTime();
    hero->Update();
    stander.Update();
    for (const CPlayer* p : {hero.get(), &stander}) {
        EXPECT_EQ(p->nLife, kMax);
        EXPECT_EQ(p->nMana, kMax);
        EXPECT_EQ(p->nStamina, kMax);
    }
}

TEST_F(HeroMove, AOneShotStopsOnTheHoldFrameThenEndsWithTheHurtHold) {
    hero->SetAction(4);  // sculpt 1 has 14 frames of action 4
    ASSERT_EQ(hero->nAction, 4);
    heroHost.nHoldFrame = 2;
    for (int i = 0; i < 40; ++i) Frame();
    EXPECT_EQ(hero->nFrame, 2);
    // StopAndSnap does not cut a hurt action short.
    hero->StopAndSnap();
    EXPECT_EQ(hero->nAction, 4);
    heroHost.nHoldFrame = -1;
    int nFrames = 0;
    while (hero->nAction == 4 && nFrames < 500) {
        Frame();
        ++nFrames;
    }
    EXPECT_EQ(hero->nAction, 0);
    EXPECT_EQ(hero->nFrame, 0);
    EXPECT_EQ(hero->bSlowAnimation, 0);
    ASSERT_NE(hero->timeHurtHold, -1);
    for (int i = 0; i < 4; ++i) Frame();  // 80 ms: still held
    EXPECT_NE(hero->timeHurtHold, -1);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(hero->timeHurtHold, -1);
}

TEST_F(HeroMove, ScriptActionsPlaceOrWalkTheHeroineAndEndByThemselves) {
    const POINT there = scene.CellToPixel(3, 7);
    hero->PlayScriptAction(there.x + 4, there.y - 4, 5, true);
    EXPECT_EQ(hero->nAction, 4);
    EXPECT_EQ(hero->nSpriteAction, 5);
    EXPECT_EQ(hero->nFrameCounts[4], 15);  // sculpt 1, sprite action 5
    EXPECT_EQ(hero->ptPos.x, there.x);
    EXPECT_EQ(hero->ptPos.y, there.y);
    EXPECT_EQ(hero->nDirection, 2);  // she turned left toward the point

    // Walking there: a path is planned from where she stands.
    const POINT far = scene.CellToPixel(3, 2);
    hero->PlayScriptAction(far.x, far.y, 5, false);
    EXPECT_GT(hero->WaypointCount(), 0);
    EXPECT_EQ(hero->nDirection, 4);

    // A sprite action the package lacks: the one-shot ends at the next frames.
    hero->PlayScriptAction(far.x, far.y, 40, false);
    EXPECT_EQ(hero->nAction, 4);
    Frame();
    Frame();
    EXPECT_EQ(hero->nAction, 0);
}

TEST_F(HeroMove, StandingFramesRunForwardThenBackward) {
    std::vector<int> frames;
    for (int i = 0; i < 300; ++i) {
        Frame();
        frames.push_back(hero->nFrame);
    }
    const int nCount = hero->nFrameCounts[0];
    EXPECT_EQ(*std::max_element(frames.begin(), frames.end()), nCount - 1);
    const auto top = std::find(frames.begin(), frames.end(), nCount - 1);
    // Right after the top frame the animation runs back down, one frame at a time.
    const auto after = std::find_if(top, frames.end(), [&](int f) { return f != nCount - 1; });
    ASSERT_NE(after, frames.end());
    EXPECT_EQ(*after, nCount - 2);
}

TEST_F(HeroMove, BlockedWalkTargetsMoveToTheNearestFreeCellAlongTheRays) {
    const POINT free = FindFreeMapPoint(scene, 100, 130);
    EXPECT_EQ(free.x, 100);  // a free cell keeps the exact pixel
    EXPECT_EQ(free.y, 130);
    // Cell (9, 6) is a wall with walls above and below: the first ray that finds a free
    // cell is -x at distance 1.
    const POINT wall = scene.CellToPixel(9, 6);
    const POINT moved = FindFreeMapPoint(scene, wall.x + 3, wall.y + 3);
    const POINT expect = scene.CellToPixel(8, 6);
    EXPECT_EQ(moved.x, expect.x);
    EXPECT_EQ(moved.y, expect.y);
    // Cell (9, 4), the top of the wall: straight up is free first.
    const POINT top = scene.CellToPixel(9, 4);
    const POINT up = FindFreeMapPoint(scene, top.x, top.y);
    EXPECT_EQ(up.y, scene.CellToPixel(9, 3).y);
    EXPECT_EQ(up.x, top.x);

    CScene walled;
    pScene = &walled;
    MapFileData map = EmptyMap(0, 3, 3);
    for (auto& cell : map.cells) cell.nWall = 1;
    ASSERT_TRUE(walled.BuildFromMap(0, map));
    const POINT none = FindFreeMapPoint(walled, 40, 40);
    EXPECT_EQ(none.x, -1);
    EXPECT_EQ(none.y, -1);
    pScene = &scene;
}

TEST_F(HeroMove, HeroesBlockTheirCellsAndJoinTheDrawListLastWithTheParkedCopyLeftOut) {
    host.nActiveSlot = 1;  // slot 0 holds the parked copy of the heroine
    CPlayer parked(*hero), member;
    member.Init(1, true, 1);
    const POINT memberAt = scene.CellToPixel(3, 3);
    member.SetMapPosAndHome(memberAt.x, memberAt.y);
    pParty[0] = &parked;
    pParty[1] = &member;
    scene.RebuildBlockMap();
    for (POINT cell : {POINT{6, 7}, POINT{3, 3}}) {
        EXPECT_EQ(scene.pBlocked[size_t(scene.CellIndex(cell.x, cell.y))], 1);
        EXPECT_EQ(scene.CellAt(cell.x, cell.y)->nWall, 2);
    }
    scene.BuildDrawList();
    const auto& list = scene.GetDrawList();
    EXPECT_EQ(std::count(list.begin(), list.end(), &parked.mapObject), 0);
    EXPECT_EQ(std::count(list.begin(), list.end(), &member.mapObject), 1);
    EXPECT_EQ(std::count(list.begin(), list.end(), &hero->mapObject), 1);
    pParty[0] = pParty[1] = nullptr;
}

}  // namespace
