// The path finder: the shape of its waypoint lists, its failures, the open-list limit,
// and the game's search held to the reference search on random maps.
#include <algorithm>
#include <random>

#include "tests/world/SceneTestUtil.h"
#include "world/PathFinder.h"
#include "world/PathFinderCheck.h"

namespace {

struct SearchKind {
    const char* pszName;
    int (CPathFinder::*pSearch)(POINT, POINT);
};
const SearchKind kSearches[] = {{"reference", &CPathFinder::SearchReference}, {"game", &CPathFinder::Search}};

class PathFinderTest : public SceneTest {
protected:
    void Block(int cx, int cy) { scene.pBlocked[size_t(scene.CellIndex(cx, cy))] = 1; }
    // Cells of the waypoint array from the step after the start to the goal.
    static std::vector<POINT> Walk(const CPathFinder& finder) {
        std::vector<POINT> cells;
        for (int i = finder.nWaypoints - 1; i >= 0; --i) cells.push_back(finder.pWaypoints[size_t(i)]);
        return cells;
    }
    // True when every step of the walk from ptStart is one the scene allows.
    static bool WalkIsLegal(const CScene& on, POINT ptStart, const std::vector<POINT>& cells) {
        POINT ptAt = ptStart;
        for (const POINT& pt : cells) {
            int next[8];
            on.GetNeighbourCells(on.CellIndex(ptAt.x, ptAt.y), next);
            if (std::find(next, next + 8, on.CellIndex(pt.x, pt.y)) == next + 8) return false;
            ptAt = pt;
        }
        return true;
    }
};

TEST_F(PathFinderTest, WaypointListsHaveTheirShapeInBothSearches) {
    ASSERT_TRUE(Build(EmptyMap(0, 12, 10)));
    for (const SearchKind& kind : kSearches) {
        SCOPED_TRACE(kind.pszName);
        CPathFinder finder;
        EXPECT_EQ(finder.PopWaypoint(), nullptr);
        EXPECT_EQ((finder.*kind.pSearch)(POINT{5, 5}, POINT{5, 5}), 0);
        EXPECT_EQ(finder.PopWaypoint(), nullptr);

        // Two cells along +x: the middle cell, then the goal, then nothing.
        ASSERT_EQ((finder.*kind.pSearch)(POINT{5, 5}, POINT{7, 5}), 2);
        EXPECT_EQ(finder.pCost[scene.CellIndex(7, 5)], 22);
        const POINT* p = finder.PopWaypoint();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->x, 6 * 32 + 16);
        EXPECT_EQ(p->y, 5 * 32 + 16);
        p = finder.PopWaypoint();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->x, 7 * 32 + 16);
        EXPECT_EQ(finder.nWaypoints, 0);
        EXPECT_EQ(finder.PopWaypoint(), nullptr);

        // A sideways step costs 20: the trace reaches the start and stores it as entry 1,
        // which is never popped.
        ASSERT_EQ((finder.*kind.pSearch)(POINT{5, 5}, POINT{4, 6}), 1);
        EXPECT_EQ(finder.pWaypoints[1].x, 5);
        EXPECT_EQ(finder.pWaypoints[1].y, 5);
        p = finder.PopWaypoint();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->x, 4 * 32 + 16);
        EXPECT_EQ(p->y, 6 * 32 + 16);
        EXPECT_EQ(finder.PopWaypoint(), nullptr);

        // A step of cost 10 stops the trace before the start: one pop, the goal.
        ASSERT_EQ((finder.*kind.pSearch)(POINT{5, 5}, POINT{6, 6}), 1);
        p = finder.PopWaypoint();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->x, 6 * 32 + 16);
        EXPECT_EQ(finder.PopWaypoint(), nullptr);
    }
}

TEST_F(PathFinderTest, DiamondWaypointsPopAsDiamondCentres) {
    ASSERT_TRUE(Build(EmptyMap(1, 10, 6)));  // origin (320, -160)
    for (const SearchKind& kind : kSearches) {
        SCOPED_TRACE(kind.pszName);
        CPathFinder finder;
        ASSERT_EQ((finder.*kind.pSearch)(POINT{4, 5}, POINT{6, 5}), 2);
        const POINT* p = finder.PopWaypoint();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->x, (5 - 5) * 32 + 320);
        EXPECT_EQ(p->y, (5 + 5) * 16 - 160 + 16);
        p = finder.PopWaypoint();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->x, 352);
        EXPECT_EQ(p->y, 32);
    }
}

TEST_F(PathFinderTest, ACellWithNoWayOnLetsTheOldestOpenCellGoFirst) {
    // ..##     The start S stands on a blocked cell (as the hero's own cell is). After
    // ..S.     (2,2) and (1,1) the search expands (3,1), which has no way on: the running
    // ##.#     value stays at 11, no open cell is cheaper, and the oldest open cell, the
    // ..G.     goal at 22, is taken while (0,0) waits at 21.
    MapFileData map = EmptyMap(0, 4, 4);
    for (const POINT& pt : {POINT{2, 0}, POINT{3, 0}, POINT{0, 2}, POINT{1, 2}, POINT{3, 2}})
        map.cells[size_t(pt.x + 4 * pt.y)].nWall = 1;
    ASSERT_TRUE(Build(map));
    scene.RebuildBlockMap();
    Block(2, 1);
    for (const SearchKind& kind : kSearches) {
        SCOPED_TRACE(kind.pszName);
        CPathFinder finder;
        ASSERT_EQ((finder.*kind.pSearch)(POINT{2, 1}, POINT{2, 3}), 2);
        EXPECT_EQ(finder.pState[scene.CellIndex(3, 1)], 2);
        EXPECT_EQ(finder.pState[scene.CellIndex(0, 0)], 1);
        EXPECT_EQ(finder.pCost[scene.CellIndex(0, 0)], 21);
        EXPECT_EQ(finder.pCost[scene.CellIndex(2, 3)], 22);
        const POINT* p = finder.PopWaypoint();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->x, 2 * 32 + 16);
        EXPECT_EQ(p->y, 2 * 32 + 16);
        p = finder.PopWaypoint();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->y, 3 * 32 + 16);
    }
}

TEST_F(PathFinderTest, WallsAreWalkedAroundWithoutCuttingCorners) {
    MapFileData map = EmptyMap(0, 12, 10);
    // An L: a wall down column 5 from row 0 to row 6, and along row 6 to column 8.
    for (int y = 0; y <= 6; ++y) map.cells[size_t(5 + 12 * y)].nWall = 1;
    for (int x = 5; x <= 8; ++x) map.cells[size_t(x + 12 * 6)].nWall = 1;
    ASSERT_TRUE(Build(map));
    scene.RebuildBlockMap();
    for (const SearchKind& kind : kSearches) {
        SCOPED_TRACE(kind.pszName);
        CPathFinder finder;
        const int n = (finder.*kind.pSearch)(POINT{2, 2}, POINT{7, 2});
        ASSERT_GT(n, 0);
        const std::vector<POINT> walk = Walk(finder);
        ASSERT_EQ(int(walk.size()), n);
        EXPECT_TRUE(WalkIsLegal(scene, POINT{2, 2}, walk));
        EXPECT_EQ(walk.back().x, 7);
        EXPECT_EQ(walk.back().y, 2);
        for (const POINT& pt : walk) EXPECT_TRUE(scene.IsCellPassable(pt.x, pt.y)) << pt.x << "," << pt.y;
        // The way round passes below the wall's foot.
        bool bBelow = false;
        for (const POINT& pt : walk) bBelow = bBelow || pt.y >= 7;
        EXPECT_TRUE(bBelow);
    }
}

TEST_F(PathFinderTest, UnreachableGoalsFailAndLeaveNothingToPop) {
    ASSERT_TRUE(Build(EmptyMap(0, 12, 10)));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy) Block(8 + dx, 5 + dy);
    Block(1, 8);
    for (const SearchKind& kind : kSearches) {
        SCOPED_TRACE(kind.pszName);
        CPathFinder finder;
        ASSERT_GT((finder.*kind.pSearch)(POINT{1, 1}, POINT{3, 3}), 0);
        EXPECT_EQ((finder.*kind.pSearch)(POINT{1, 1}, POINT{8, 5}), 0);
        EXPECT_EQ(finder.nWaypoints, 0);
        EXPECT_EQ(finder.PopWaypoint(), nullptr);
        // Every reachable cell was closed before the search gave up.
        EXPECT_EQ(finder.pState[scene.CellIndex(11, 9)], 2);
        EXPECT_EQ(finder.pState[scene.CellIndex(8, 5)], 0);
        // A blocked goal is never entered.
        EXPECT_EQ((finder.*kind.pSearch)(POINT{1, 1}, POINT{1, 8}), 0);
        // Cells outside the grid are refused, also one whose index names another cell.
        EXPECT_EQ((finder.*kind.pSearch)(POINT{-1, 0}, POINT{3, 3}), 0);
        EXPECT_EQ((finder.*kind.pSearch)(POINT{1, 1}, POINT{13, 0}), 0);
        EXPECT_EQ((finder.*kind.pSearch)(POINT{1, 1}, POINT{3, 10}), 0);
        EXPECT_EQ(finder.PopWaypoint(), nullptr);
    }
    pScene = nullptr;
    CPathFinder finder;
    EXPECT_EQ(finder.Search(POINT{1, 1}, POINT{3, 3}), 0);
    EXPECT_EQ(finder.PopWaypoint(), nullptr);
}

TEST_F(PathFinderTest, OpeningOneCellPastTheLimitFailsTheSearch) {
    ASSERT_TRUE(Build(EmptyMap(0, 12, 10)));
    for (const SearchKind& kind : kSearches) {
        SCOPED_TRACE(kind.pszName);
        CPathFinder finder;
        // The first expansion opens all eight neighbours.
        finder.nOpenLimit = 7;
        EXPECT_EQ((finder.*kind.pSearch)(POINT{5, 5}, POINT{6, 6}), 0);
        finder.nOpenLimit = 8;
        EXPECT_EQ((finder.*kind.pSearch)(POINT{5, 5}, POINT{6, 6}), 1);
        EXPECT_EQ((finder.*kind.pSearch)(POINT{5, 5}, POINT{9, 5}), 0);
    }
}

// An H-tree of one-cell corridors with bars of half-length h, its four smaller trees at
// the ends of its upright bars: every branch end lies at the same walking cost from the
// centre, so the search's front widens to a few cells per branch. Halving h keeps a wall
// between every two corridors, and the corner rule keeps the steps along the corridors.
void CarveHTree(std::vector<SceneCell>& cells, int nSide, int cx, int cy, int h) {
    auto open = [&](int x, int y) { cells[size_t(x + nSide * y)].nWall = 0; };
    for (int x = cx - h; x <= cx + h; ++x) open(x, cy);
    for (int y = cy - h; y <= cy + h; ++y) {
        open(cx - h, y);
        open(cx + h, y);
    }
    if (h > 2)
        for (int dy : {-h, h})
            for (int dx : {-h, h}) CarveHTree(cells, nSide, cx + dx, cy + dy, h / 2);
}

TEST_F(PathFinderTest, TenThousandOpenCellsAreTheLimit) {
    // Seven levels, 4,096 smallest trees: the front reaches 16,384 cells.
    constexpr int kSide = 509, kCentre = 254;
    MapFileData map = EmptyMap(0, kSide, kSide);
    for (SceneCell& cell : map.cells) cell.nWall = 1;
    CarveHTree(map.cells, kSide, kCentre, kCentre, 128);
    ASSERT_TRUE(Build(map));
    scene.RebuildBlockMap();
    const POINT ptCentre{kCentre, kCentre}, ptLeaf{0, 0}, ptSmallest{2, 2};
    ASSERT_TRUE(scene.IsCellPassable(ptLeaf.x, ptLeaf.y));
    PathCase c;
    c.nWidth = c.nHeight = kSide;
    c.ptStart = ptCentre;
    c.ptGoal = ptLeaf;
    int nResult = -1;
    EXPECT_EQ(ComparePathSearches(scene, c, &nResult), "");
    EXPECT_EQ(nResult, 0);
    // The centre of a smallest tree is reached while the front is still narrow enough.
    CPathFinder finder;
    EXPECT_GT(finder.SearchIn(scene, ptCentre, ptSmallest), 0);
    // With room for the whole front the branch end is reached along the corridors.
    finder.nOpenLimit = 20000;
    const int n = finder.SearchIn(scene, ptCentre, ptLeaf);
    ASSERT_GT(n, 0);
    EXPECT_EQ(finder.pCost[scene.CellIndex(ptLeaf.x, ptLeaf.y)], 11 * 2 * kCentre);
    EXPECT_TRUE(WalkIsLegal(scene, ptCentre, Walk(finder)));
}

TEST_F(PathFinderTest, GameSearchMatchesTheReferenceOnRandomMaps) {
    std::mt19937 rng(1105);
    int nFound = 0, nFailed = 0, nWalled = 0, nLimited = 0;
    for (int i = 0; i < 2000; ++i) {
        CScene random;
        PathCase c;
        ASSERT_TRUE(MakeRandomPathCase(random, rng, 48, &c));
        int nResult = 0;
        const std::string strDifference = ComparePathSearches(random, c, &nResult);
        ASSERT_EQ(strDifference, "") << "map " << i << ": " << DescribePathCase(c);
        (nResult > 0 ? nFound : nFailed)++;
        if (c.bWalledGoal) {
            EXPECT_EQ(nResult, 0) << DescribePathCase(c);
            ++nWalled;
        }
        if (c.nOpenLimit < kPathOpenLimit && nResult == 0) ++nLimited;
        if (nResult > 0) {
            CPathFinder finder;
            finder.nOpenLimit = c.nOpenLimit;
            ASSERT_EQ(finder.SearchIn(random, c.ptStart, c.ptGoal), nResult);
            const std::vector<POINT> walk = Walk(finder);
            EXPECT_TRUE(WalkIsLegal(random, c.ptStart, walk)) << DescribePathCase(c);
            EXPECT_TRUE(walk.back().x == c.ptGoal.x && walk.back().y == c.ptGoal.y) << DescribePathCase(c);
        }
    }
    // The maps cover every outcome.
    EXPECT_GT(nFound, 500);
    EXPECT_GT(nFailed, 200);
    EXPECT_GT(nWalled, 100);
    EXPECT_GT(nLimited, 50);
}

}  // namespace
