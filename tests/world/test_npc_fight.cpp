// Fighters against the heroes: striking in place or chasing, the ranged retreat, the
// choice between heroes, fleeing, the stun hold, damage, death and loot, the ranged
// heal, and the skipped re-planning checked against the plain search.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/Clock.h"
#include "tests/world/NpcTestUtil.h"
#include "world/FightHost.h"
#include "world/PathFinder.h"

namespace npctest {
namespace {

POINT Centre(int cx, int cy) { return POINT{cx * kCell + kCell / 2, cy * kCell + kCell / 2}; }

class CFightRecorder : public CFightHost {
public:
    struct Loot {
        int x, y, nMoney, nItems[4];
    };
    std::vector<int> damage;
    std::vector<Loot> loot;
    int nShots = 0;
    void AddDecLife(int x, int y, int nAmount) override {
        (void)x;
        (void)y;
        damage.push_back(nAmount);
    }
    void DropLoot(int x, int y, int nMoney, int n1, int n2, int n3, int n4) override {
        loot.push_back(Loot{x, y, nMoney, {n1, n2, n3, n4}});
    }
    void AddFlyingEffectFromPoint(int, int, int, int, int, int, int) override { ++nShots; }
};

class NpcFightTest : public NpcTest {
protected:
    void SetUp() override {
        NpcTest::SetUp();
        if (HasFatalFailure()) return;
        SetFightHost(&m_fight);
        pPlayer = &m_hero;
    }
    void TearDown() override {
        for (auto& p : pParty) p = nullptr;
        SetFightHost(nullptr);
        NpcTest::TearDown();
    }
    static NpcRecordModel Fighter(int nId, int cx, int cy) {
        NpcRecordModel n = Person(nId, 2, kReviveRow, cx, cy, 20);
        n.nAttackRadius = 400;
        return n;
    }
    // Builds one fighter, Npc(0), and puts it on cell (cx, cy), the hero on (hx, hy).
    [[nodiscard]] ::testing::AssertionResult Place(const NpcRecordModel& model, int cx, int cy, int hx, int hy) {
        if (::testing::AssertionResult built = Build(2, {model}); !built) return built;
        CNpc& npc = Npc(0);
        const POINT at = Centre(cx, cy);
        npc.pState->nMapX = at.x;
        npc.pState->nMapY = at.y;
        npc.ptNextWaypoint = at;
        npc.ptHome = at;
        npc.mapObject.ptCellPos = POINT{cx, cy};
        m_hero.ptPos = Centre(hx, hy);
        return ::testing::AssertionSuccess();
    }
    POINT CellOf(const CNpc& npc) { return Scene().PixelToCell(npc.pState->nMapX, npc.pState->nMapY); }

    CFightRecorder m_fight;
    CPlayer m_hero;
};

// Runs a fighter until it strikes: attack action, the cell it faces marked with its
// attack for the heroes. False when it did not strike within the frames.
bool RunUntilStrike(CNpc& npc, CScene& scene, int nFrames, void (*pTick)(DWORD)) {
    for (int i = 0; i < nFrames; ++i) {
        pTick(100);
        npc.Update();
        if (npc.nAction != kNpcAttack || npc.ptFrontMark.x < 0) continue;
        const POINT front = npc.CellInFront();
        const SceneCell* pCell = scene.CellAt(front.x, front.y);
        if (front.x == npc.ptFrontMark.x && front.y == npc.ptFrontMark.y && pCell && pCell->nMark == 12 &&
            pCell->nMarkKind == 1)
            return true;
    }
    return false;
}

TEST_F(NpcFightTest, AHeroOnANeighbouringCellIsStruckInPlaceOneTwoCellsAwayIsChased) {
    // Facing: the direction toward the hero's cell centre.
    const struct {
        POINT hero;
        int nFacing;
    } cases[] = {{{11, 11}, 7}, {{10, 11}, 0}, {{9, 9}, 3}, {{10, 9}, 4}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Place(Fighter(1, 0, 0), 10, 10, c.hero.x, c.hero.y));
        CNpc& npc = Npc(0);
        EXPECT_TRUE(RunUntilStrike(npc, Scene(), 40, &Tick)) << c.hero.x << "," << c.hero.y;
        EXPECT_EQ(npc.pState->nDirection, c.nFacing);
        EXPECT_EQ(CellOf(npc).x, 10) << "struck in place";
        EXPECT_EQ(CellOf(npc).y, 10);
        EXPECT_EQ(npc.pState->nMapX, Centre(10, 10).x);
    }

    ASSERT_TRUE(Place(Fighter(1, 0, 0), 10, 10, 12, 10));
    CNpc& npc = Npc(0);
    Tick(100);
    npc.Update();
    EXPECT_EQ(npc.nAction, kNpcChase);
    EXPECT_EQ(npc.bChasing, 1);
    EXPECT_NE(npc.pState->nMapX, Centre(10, 10).x) << "it set off at once";
    EXPECT_TRUE(RunUntilStrike(npc, Scene(), 60, &Tick)) << "it closes in and strikes";
    const POINT cell = CellOf(npc);
    EXPECT_LT((cell.x - 12) * (cell.x - 12) + (cell.y - 10) * (cell.y - 10), 3) << "beside the hero";
}

// Event regions are not chased into: the chase stops at the region's edge, and a fighter
// whose home lies in a region walks home into it and stays there.
TEST_F(NpcFightTest, AChaseStopsAtAnEventRegionAndAFighterAtHomeInOneWalksBackThere) {
    for (const bool bHomeInRegion : {false, true}) {
        SCOPED_TRACE(bHomeInRegion ? "home in the region" : "home outside");
        // A fresh character each time: its record keeps where the last one stood.
        ASSERT_TRUE(Place(Fighter(bHomeInRegion ? 2 : 1, 0, 0), 10, 10, 18, 10));
        // Columns 13 and 14 are an event region from top to bottom: no way around it.
        for (int y = 0; y < 30; ++y)
            for (int x = 13; x <= 14; ++x) Scene().CellAt(x, y)->nRegion = 0;
        CNpc& npc = Npc(0);
        if (bHomeInRegion) npc.ptHome = Centre(13, 10);
        int nFarthest = 0;
        for (int i = 0; i < 80; ++i) {
            Tick(100);
            npc.Update();
            nFarthest = std::max(nFarthest, int(CellOf(npc).x));
        }
        if (bHomeInRegion) {
            EXPECT_LE(nFarthest, 13) << "it goes no farther than its home";
            EXPECT_EQ(CellOf(npc).x, 13);
            EXPECT_EQ(CellOf(npc).y, 10);
        } else {
            EXPECT_EQ(nFarthest, 12) << "it comes up to the region's edge and no farther";
        }
    }
}

TEST_F(NpcFightTest, ChoosingTakesTheNearestHeroInTheRadiusAndOnATieTheWeakerOne) {
    CPlayer second;
    pParty[1] = &second;
    ASSERT_TRUE(Place(Fighter(1, 0, 0), 10, 10, 13, 10));
    CNpc& npc = Npc(0);
    second.ptPos = Centre(7, 10);
    m_hero.nLife = 40;
    second.nLife = 30;
    EXPECT_EQ(npc.ChooseTarget(), 1);
    second.nLife = 50;
    EXPECT_EQ(npc.ChooseTarget(), 0);
    second.ptPos = Centre(8, 10);
    EXPECT_EQ(npc.ChooseTarget(), 1) << "nearer wins over less life";
    npc.nAttackRadius = 32;
    EXPECT_EQ(npc.ChooseTarget(), -1) << "nobody inside the radius";
    second.ptPos = POINT{npc.pState->nMapX, npc.pState->nMapY};
    npc.nAttackRadius = 400;
    EXPECT_EQ(npc.ChooseTarget(), 0) << "a hero on the very point is no candidate";
}

TEST_F(NpcFightTest, ARangedFighterTooNearItsTargetAndFarFromTheStartWalksBack) {
    NpcRecordModel model = Fighter(1, 0, 0);
    model.nRanged = 1;
    model.nRangedRadius = 150;
    ASSERT_TRUE(Place(model, 25, 20, 26, 20));
    CNpc& npc = Npc(0);
    const POINT start = Scene().ptStart;
    ASSERT_GE(start.x, 0);
    const auto Distance2 = [&] {
        const std::int64_t dx = npc.pState->nMapX - start.x, dy = npc.pState->nMapY - start.y;
        return dx * dx + dy * dy;
    };
    const std::int64_t nBefore = Distance2();
    ASSERT_GE(nBefore, 200 * 200);
    Tick(100);
    npc.Update();
    EXPECT_EQ(npc.bChasing, 0);
    EXPECT_EQ(m_fight.nShots, 0);
    for (int i = 0; i < 5; ++i) {
        Tick(100);
        npc.Update();
    }
    EXPECT_LT(Distance2(), nBefore) << "it walks toward the start point";

    // Out of the retreat rule (target 4 cells away) it shoots instead.
    ASSERT_TRUE(Place(model, 25, 20, 29, 20));
    CNpc& shooter = Npc(0);
    for (int i = 0; i < 40 && m_fight.nShots == 0; ++i) {
        Tick(100);
        shooter.Update();
    }
    EXPECT_GT(m_fight.nShots, 0);
}

TEST_F(NpcFightTest, AFighterThatFleesLeavesBelowThirtyPercentAndStopsFighting) {
    NpcRecordModel model = Fighter(1, 0, 0);
    model.nStandRule = 1;
    ASSERT_TRUE(Place(model, 20, 15, 21, 15));
    CNpc& npc = Npc(0);
    npc.pState->nLife = 18;  // 30 % of 60
    Tick(100);
    npc.Update();
    EXPECT_EQ(npc.nFleeMode, 1) << "at 30 % it still fights";
    npc.pState->nLife = 17;
    npc.nAction = kNpcStand;
    Tick(100);
    npc.Update();
    EXPECT_EQ(npc.nFleeMode, -1);
    EXPECT_EQ(npc.ptHome.x, Scene().ptStart.x);
    EXPECT_EQ(npc.ptHome.y, Scene().ptStart.y);
    EXPECT_EQ(npc.nAction, kNpcWander);

    NpcRecordModel stays = Fighter(1, 0, 0);
    ASSERT_TRUE(Place(stays, 20, 15, 25, 15));
    CNpc& other = Npc(0);
    other.pState->nLife = 5;
    Tick(100);
    other.Update();
    EXPECT_EQ(other.nFleeMode, 0) << "one that does not flee keeps fighting";
    EXPECT_EQ(other.nAction, kNpcChase);
}

TEST_F(NpcFightTest, AStunnedFighterBelowTwentyLifeStaysStill) {
    ASSERT_TRUE(Place(Fighter(1, 0, 0), 10, 10, 13, 10));
    CNpc& npc = Npc(0);
    npc.pState->nLife = 19;
    npc.bStunned = 1;
    const POINT at{npc.pState->nMapX, npc.pState->nMapY};
    for (int i = 0; i < 30; ++i) {
        Tick(100);
        npc.Update();
    }
    EXPECT_EQ(npc.pState->nMapX, at.x);
    EXPECT_EQ(npc.pState->nMapY, at.y);
    EXPECT_EQ(npc.bStunned, 1);
}

TEST_F(NpcFightTest, MarksHurtAtLeastOneLifeAndDeathLeavesACorpseLootAndNoHover) {
    NpcRecordModel model = Fighter(1, 0, 0);
    model.nLootMoney = 77;
    model.loot = {0, 3, 4, -7};  // items 4 and -7 lie outside the item table
    ASSERT_TRUE(Place(model, 10, 10, 30, 25));
    CNpc& npc = Npc(0);
    Scene().SetCellMark(10, 10, 2, 0);  // below the defence of 3
    Tick(100);
    npc.Update();
    EXPECT_EQ(npc.Life(), 59);
    ASSERT_EQ(m_fight.damage.size(), 1u);
    EXPECT_EQ(m_fight.damage[0], 1);
    EXPECT_EQ(npc.nAction, kNpcHurt);

    Scene().SetCellMark(10, 10, 5, 1);  // a mark for heroes does not hurt characters
    npc.nAction = kNpcStand;
    Tick(100);
    npc.Update();
    EXPECT_EQ(npc.Life(), 59);

    Scene().nHoverActorId = 1;
    Scene().SetCellMark(10, 10, 100, 0);
    Tick(100);
    npc.Update();
    EXPECT_LT(npc.Life(), 1);
    EXPECT_EQ(npc.nAction, kNpcDie);
    EXPECT_EQ(Scene().nHoverActorId, -1);
    EXPECT_EQ(Scene().CellAt(10, 10)->nMark, -1) << "the mark is used up";
    ASSERT_EQ(m_fight.loot.size(), 1u);
    EXPECT_EQ(m_fight.loot[0].nMoney, 77);
    EXPECT_EQ(m_fight.loot[0].x, npc.pState->nMapX);
    EXPECT_EQ(m_fight.loot[0].nItems[0], 0);
    EXPECT_EQ(m_fight.loot[0].nItems[1], 3);
    EXPECT_EQ(m_fight.loot[0].nItems[2], -1);
    EXPECT_EQ(m_fight.loot[0].nItems[3], -1);
    Run(1000);
    EXPECT_EQ(npc.Display(), kNpcCorpse);
    EXPECT_EQ(m_fight.loot.size(), 1u) << "a corpse drops nothing more";
}

// A fighter whose sprite has standing frames only: the forced hurt ends at once, so the
// next mark hurts again, and the forced death still leaves a corpse that blocks nothing
// and is gone after its 20 seconds.
TEST_F(NpcFightTest, HurtAndDeathWithoutTheirFramesEndLikeAnyAction) {
    NpcRecordModel model = Fighter(1, 0, 0);
    model.nSculpt = 2;  // not in the sprite package
    ASSERT_TRUE(Place(model, 10, 10, 30, 25));
    CNpc& npc = Npc(0);
    npc.nFrameCounts[kNpcStand] = kFrames;
    npc.pState->nDisplay = kNpcShown;
    ASSERT_EQ(npc.FrameCount(kNpcHurt), 0);
    ASSERT_EQ(npc.FrameCount(kNpcDie), 0);
    for (int nBlow = 0; nBlow < 2; ++nBlow) {
        Scene().SetCellMark(10, 10, 13, 0);
        Run(100);
        Scene().ClearCellMark(10, 10);
        Run(200);
        EXPECT_EQ(npc.Life(), 60 - 10 * (nBlow + 1)) << "blow " << nBlow;
        EXPECT_EQ(npc.nAction, kNpcStand) << "blow " << nBlow;
    }
    EXPECT_GE(m_npcHost.nEffectWaitCleared, 2) << "each ended hurt clears the held effect list";

    Scene().SetCellMark(10, 10, 100, 0);
    Run(1000);
    EXPECT_LT(npc.Life(), 1);
    EXPECT_EQ(npc.Display(), kNpcCorpse);
    Scene().RebuildBlockMap();
    EXPECT_EQ(Scene().pBlocked[size_t(Scene().CellIndex(10, 10))], 0) << "the corpse blocks nothing";
    Run(20100);
    EXPECT_EQ(npc.Display(), kNpcGoneRevive);
}

TEST_F(NpcFightTest, TheRangedHealSparesCorpsesAndTheDying) {
    NpcRecordModel healer = Fighter(1, 0, 0);
    healer.nRanged = 1;
    healer.nRangedRadius = 300;
    m_enemies[kReviveRow].nLife = 1000;
    ASSERT_TRUE(Build(2, {healer, Fighter(2, 0, 0), Fighter(3, 0, 0)}));
    const POINT at[3] = {Centre(5, 5), Centre(6, 5), Centre(5, 6)};
    for (int i = 0; i < 3; ++i) {
        Npc(i).pState->nMapX = at[i].x;
        Npc(i).pState->nMapY = at[i].y;
        Npc(i).ptNextWaypoint = at[i];
    }
    Scene().ptStart = at[0];
    Npc(1).pState->nLife = 100;
    Npc(2).pState->nLife = 0;
    Npc(2).nAction = kNpcDie;
    Npc(2).pState->nDisplay = kNpcCorpse;
    m_hero.ptPos = Centre(9, 5);
    for (int i = 0; i < 60; ++i) {
        Tick(100);
        Npc(0).nAction = kNpcStand;
        Npc(0).timeAttack = -1;
        Npc(0).Update();
    }
    EXPECT_GT(Npc(1).Life(), 100) << "a live neighbour is healed";
    EXPECT_EQ(Npc(2).Life(), 0) << "a corpse stays defeated";
}

// The skipped re-planning must hand out the same waypoints as planning every time.
TEST_F(NpcFightTest, SkippedReplanningGivesTheSameWaypointsAsThePlainSearch) {
    ASSERT_TRUE(Build(2, {Fighter(1, 0, 0), Fighter(2, 0, 0)}));
    CNpc& cached = Npc(0);
    CNpc& literal = Npc(1);
    literal.bLiteralPlanning = true;
    Srand(12345);
    for (int nMap = 0; nMap < 30; ++nMap) {
        for (auto& n : Scene().pBlocked) n = Rand() % 100 < 30 ? 1 : 0;
        const POINT from = Centre(Rand() % 40, Rand() % 30);
        for (int nTry = 0; nTry < 6; ++nTry) {
            const POINT to = Centre(Rand() % 40, Rand() % 30);
            for (int nRepeat = 0; nRepeat < 3; ++nRepeat) {
                if (nRepeat == 2) {
                    // A change of the grid must be noticed.
                    const size_t nCell = size_t(Rand() % int(Scene().pBlocked.size()));
                    Scene().pBlocked[nCell] ^= 1;
                }
                for (CNpc* p : {&cached, &literal}) {
                    p->pState->nMapX = from.x;
                    p->pState->nMapY = from.y;
                    p->ptNextWaypoint = from;
                    p->nAction = kNpcStand;
                    p->bChasing = 1;
                    p->MoveTo(to.x, to.y);
                }
                ASSERT_EQ(cached.pPath->nWaypoints, literal.pPath->nWaypoints);
                for (int w = 0; w < literal.pPath->nWaypoints; ++w) {
                    ASSERT_EQ(cached.pPath->pWaypoints[size_t(w)].x, literal.pPath->pWaypoints[size_t(w)].x);
                    ASSERT_EQ(cached.pPath->pWaypoints[size_t(w)].y, literal.pPath->pWaypoints[size_t(w)].y);
                }
                EXPECT_EQ(cached.pState->nMapX, literal.pState->nMapX);
                EXPECT_EQ(cached.pState->nMapY, literal.pState->nMapY);
            }
        }
    }
}


// A minute of fighting from the same clock and seed plays out the same way.
TEST_F(NpcFightTest, AMinuteOfFightingRepeatsExactlyFromTheSameClockAndSeed) {
    const auto Fight = [&] {
        UseVirtualClock(true, 5000, 20);
        dwNowTime = TimeGetTime();
        Srand(99);
        NpcRecordModel archer = Fighter(2, 0, 0);
        archer.nRanged = 1;
        archer.nRangedRadius = 150;
        NpcRecordModel coward = Fighter(3, 0, 0);
        coward.nStandRule = 1;
        coward.nWanderRadius = 64;
        std::vector<std::int64_t> trace;
        const ::testing::AssertionResult built = Build(6, {Fighter(1, 8, 8), archer, coward});
        EXPECT_TRUE(built);
        if (!built) return trace;
        m_hero.ptPos = Centre(12, 10);
        for (int nFrame = 0; nFrame < 600; ++nFrame) {
            Tick(100);
            // The hero's blows land on every third second.
            if (nFrame % 30 == 0)
                for (int i = 0; i < Scene().GetNpcCount(); ++i) {
                    const POINT cell = CellOf(Npc(i));
                    Scene().SetCellMark(cell.x, cell.y, 15, 0);
                }
            for (int i = 0; i < Scene().GetNpcCount(); ++i) {
                CNpc& npc = Npc(i);
                npc.Update();
                trace.insert(trace.end(), {npc.pState->nMapX, npc.pState->nMapY, npc.Life(), npc.nAction,
                                           npc.pState->nDirection, npc.Display()});
            }
        }
        return trace;
    };
    const std::vector<std::int64_t> first = Fight();
    const size_t nLoot = m_fight.loot.size(), nDamage = m_fight.damage.size();
    EXPECT_GT(nDamage, 0u) << "the fight hurt someone";
    // The same records are met again: start from fresh ones.
    m_pEffects = std::make_unique<CEffectManager>();
    pEffectManager = m_pEffects.get();
    const std::vector<std::int64_t> second = Fight();
    EXPECT_EQ(first, second);
    EXPECT_EQ(m_fight.loot.size(), 2 * nLoot);
    EXPECT_EQ(m_fight.damage.size(), 2 * nDamage);
}

}  // namespace
}  // namespace npctest
