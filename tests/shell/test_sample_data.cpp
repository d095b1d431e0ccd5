// The sample folder mkgame writes, read back with the game's own readers, holds what a
// newcomer playing with the mouse needs: every region of events is a cell a click above
// the toolbar walks to (a way out of a scene in every view the camera shows it), every
// house stands on walls, no fighter reaches a path, every task given is completed by some
// event, and every villager says something when clicked. Every story place is drawn and
// is walked to from where she arrives without coming near a fighter, and no two fighters
// can engage her at once.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "shell/SceneLink.h"
#include "platform/Files.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ScriptTestUtil.h"
#include "tests/shell/ShellTestUtil.h"
#include "world/Npc.h"
#include "world/Scene.h"

namespace {

// The part of the screen a click walks the heroine on: above the toolbar.
constexpr int kClickBottom = 455;
constexpr int kScreenWidth = 800, kScreenHeight = 600;
constexpr int kTalk = 4, kTalkChoice = 42, kSetScene = 1, kTaskOpen = 38, kTaskDone = 39;

class SampleData : public ScreenScriptTest {
protected:
    void SetUp() override {
        ScreenScriptTest::SetUp();
        UsePrivateRuntimeFolder();
        ASSERT_TRUE(WriteSampleFolder(m_temp, &m_strGame));
        m_strOldDir = GetCurrentDirectory();
        SetCurrentDirectory(m_strGame.c_str());
        pGameData->InitPaths(m_strGame.c_str());
        pGameData->LoadOptions();
        ASSERT_TRUE(pGameData->LoadTables() && pGameData->LoadScript()) << pGameData->GetLastError();
        for (const auto& entry : std::filesystem::directory_iterator(m_strGame + "/map")) {
            int n = -1;
            if (std::sscanf(entry.path().filename().string().c_str(), "scene%d.map", &n) == 1) m_scenes.insert(n);
        }
        ASSERT_FALSE(m_scenes.empty());
    }
    void TearDown() override {
        SetCurrentDirectory(m_strOldDir.c_str());
        ScreenScriptTest::TearDown();
    }
    // Whether event e of scene n holds one of the commands.
    bool Holds(int n, int e, std::initializer_list<int> commands) const {
        const CScriptData& data = *pGameData->pScriptData;
        for (int i = 0; i < data.GetSubEventCount(n); ++i)
            if (const SubEvent* pSub = data.GetSubEvent(n, i); pSub && pSub->nEvent == e)
                for (int k = pSub->nFirstStep; k <= pSub->nLastStep; ++k)
                    if (std::find(commands.begin(), commands.end(), data.GetCommand(n, k)->nCommand) != commands.end())
                        return true;
        return false;
    }
    // The scene n as the game builds it, with the record cells of its characters.
    ::testing::AssertionResult Load(int n) {
        pFrame->m_nCurrentScene = n;
        std::string why;
        if (!MakeScene(n, &why)) return ::testing::AssertionFailure() << "scene " << n << ": " << why;
        char szName[32];
        std::snprintf(szName, sizeof szName, "map/scene%03d.set", n);
        const std::string bytes = ReadWholeFile(m_strGame + "/" + szName);
        SettingFileData setting;
        if (!ReadSettingFile(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), szName, pScene->nGridWidth,
                             pScene->nGridHeight, &setting, &why))
            return ::testing::AssertionFailure() << why;
        m_homes.clear();
        for (const auto& record : setting.npcs) {
            std::int32_t cell[2];
            std::memcpy(cell, record.data() + kNpcCellXOffset, sizeof cell);
            m_homes.push_back(POINT{cell[0], cell[1]});
        }
        return ::testing::AssertionSuccess();
    }
    bool Walkable(int cx, int cy) const {
        if (!pScene->IsInGrid(cx, cy)) return false;
        const SceneCell& c = pScene->pCells[size_t(pScene->CellIndex(cx, cy))];
        return c.nWall != 1 && !(c.nOccupantKind >= 0 && c.nOccupantKind <= 10) && c.nOccupantKind != kKindNpc;
    }
    // The cells a walk from start reaches over cells that pass, by the path finder's
    // steps (a diagonal only between two open sides).
    template <class Pass>
    std::vector<char> Reached(POINT start, Pass pass) const {
        std::vector<char> seen(pScene->pCells.size(), 0);
        std::vector<POINT> todo{start};
        seen[size_t(pScene->CellIndex(start.x, start.y))] = 1;
        while (!todo.empty()) {
            const POINT c = todo.back();
            todo.pop_back();
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = c.x + dx, y = c.y + dy;
                    if (!pass(x, y) || seen[size_t(pScene->CellIndex(x, y))]) continue;
                    if (dx && dy && (!pass(c.x + dx, c.y) || !pass(c.x, c.y + dy))) continue;
                    seen[size_t(pScene->CellIndex(x, y))] = 1;
                    todo.push_back(POINT{x, y});
                }
        }
        return seen;
    }
    // The cells a walk from the scene's start reaches.
    std::vector<char> Reached() const {
        return Reached(pScene->PixelToCell(pScene->ptStart.x, pScene->ptStart.y),
                       [this](int x, int y) { return Walkable(x, y); });
    }
    // The part of cell (cx, cy) a click lands in, on the screen of view v: the whole cell
    // on the square grid, the middle of the diamond on the diamond grid.
    RECT CellOnScreen(int cx, int cy, POINT v) const {
        const POINT p = pScene->GetCellPoint(cx, cy);
        const int hw = 16, hh = pScene->nGridKind == 0 ? 16 : 8;
        return RECT{p.x - hw - v.x, p.y - hh - v.y, p.x + hw - v.x, p.y + hh - v.y};
    }

    // Where a fighter may stand once its scene loads (its own cell, or any cell that is no
    // wall within the scatter of its cell) and how near it engages (its wander and its
    // widest radius).
    struct Reach {
        int nId = 0;
        std::vector<POINT> cells;
        double dRadius = 0;
    };
    std::vector<Reach> Reaches() const {
        std::vector<Reach> out;
        for (int i = 0; i < pScene->GetNpcCount(); ++i) {
            const CNpc& npc = *pScene->GetNpc(i);
            if (npc.nClass != kNpcClassFighter) continue;
            Reach r{npc.mapObject.nId, {m_homes[size_t(i)]},
                    double(npc.nWanderRadius + std::max(npc.nAttackRadius, npc.nRangedRadius))};
            for (int dy = -kNpcSpreadCells; dy <= kNpcSpreadCells; ++dy)
                for (int dx = -kNpcSpreadCells; dx <= kNpcSpreadCells; ++dx) {
                    const POINT c{r.cells[0].x + dx, r.cells[0].y + dy};
                    if ((dx || dy) && pScene->IsInGrid(c.x, c.y) && pScene->pCells[size_t(pScene->CellIndex(c.x, c.y))].nWall != 1)
                        r.cells.push_back(c);
                }
            out.push_back(std::move(r));
        }
        return out;
    }
    double CellDistance(POINT a, POINT b) const {
        const POINT p = pScene->GetCellPoint(a.x, a.y), q = pScene->GetCellPoint(b.x, b.y);
        return std::hypot(double(p.x - q.x), double(p.y - q.y));
    }

    CTempFolder m_temp{"sampledata"};
    std::string m_strGame, m_strOldDir;
    std::set<int> m_scenes;
    std::vector<POINT> m_homes;
};

TEST_F(SampleData, ExitsHousesFightersTasksAndTalksAreWhatANewcomerNeeds) {
    std::set<int> opened, done;
    for (int n : m_scenes) {
        SCOPED_TRACE("scene " + std::to_string(n));
        ASSERT_TRUE(Load(n));
        const std::vector<char> reached = Reached();
        // The views the camera follows the heroine to, one for each cell she reaches.
        std::set<std::pair<int, int>> views;
        for (int cy = 0; cy < pScene->nGridHeight; ++cy)
            for (int cx = 0; cx < pScene->nGridWidth; ++cx)
                if (reached[size_t(pScene->CellIndex(cx, cy))]) {
                    const POINT p = pScene->GetCellPoint(cx, cy);
                    pScene->ScrollToPoint(p.x, p.y);
                    views.insert({int(pScene->ptView.x), int(pScene->ptView.y)});
                }
        // Every region of events: some view shows a cell of it that a click walks to. A
        // way out (an event that changes the scene) does so in every view that shows it.
        for (size_t r = 0; r < pScene->pRegions.size(); ++r) {
            const RegionRecord& region = pScene->pRegions[r];
            if (region.nEventCount < 1) continue;
            bool bExit = false;
            for (int i = 0; i < region.nEventCount && i < kRegionEventCount; ++i)
                bExit = bExit || Holds(n, region.nEvents[i], {kSetScene});
            int nClickable = 0;
            for (const auto& [vx, vy] : views) {
                bool bOnScreen = false, bClickable = false;
                for (int cy = 0; cy < pScene->nGridHeight; ++cy)
                    for (int cx = 0; cx < pScene->nGridWidth; ++cx) {
                        if (pScene->pCells[size_t(pScene->CellIndex(cx, cy))].nRegion != int(r)) continue;
                        const RECT rc = CellOnScreen(cx, cy, POINT{vx, vy});
                        if (rc.right <= 0 || rc.left >= kScreenWidth || rc.bottom <= 0 || rc.top >= kScreenHeight) continue;
                        bOnScreen = true;
                        bClickable = bClickable || (reached[size_t(pScene->CellIndex(cx, cy))] && rc.top < kClickBottom);
                    }
                if (!bOnScreen) continue;
                nClickable += bClickable;
                if (bExit) {
                    EXPECT_TRUE(bClickable) << "exit region " << r << " shows in the view " << vx << "," << vy
                                        << " but no click above the toolbar walks to it";
                }
            }
            EXPECT_GT(nClickable, 0) << "region " << r << " shows in no view the camera follows her to where a click walks to it";
        }
        // Houses stand on walls.
        for (const auto& pObject : pScene->List(kListD)) {
            if (std::string(pObject->szName) != "house") continue;
            const SIZE size = pObject->Footprint();
            const POINT off = pObject->Picture()->ptFootprintOffset;
            const POINT origin = pScene->PixelToCell(pObject->rcObject.left + off.x, pObject->rcObject.top + off.y);
            for (int y = 0; y < size.cy; ++y)
                for (int x = 0; x < size.cx; ++x) {
                    const POINT c{origin.x + x, origin.y + y};
                    EXPECT_EQ(pScene->pCells[size_t(pScene->CellIndex(c.x, c.y))].nWall, 1)
                        << "house " << pObject->nId << " on cell " << c.x << "," << c.y;
                }
        }
        // No fighter, wherever its scene's load puts it, wanders or chases onto a path.
        std::vector<RECT> paths;
        for (const auto& pObject : pScene->List(kListA)) {
            const CScenePic* pPic = pObject->Picture();
            if (pPic && pPic->strName == "path.bmp") paths.push_back(pObject->rcObject);
        }
        ASSERT_EQ(m_homes.size(), size_t(pScene->GetNpcCount()));
        for (int i = 0; i < pScene->GetNpcCount(); ++i) {
            const CNpc& npc = *pScene->GetNpc(i);
            if (npc.nClass != kNpcClassFighter) {
                // Every villager says something, whichever of its events starts.
                bool bAny = false;
                for (int e : npc.nEvents) {
                    if (e < 0) continue;
                    bAny = true;
                    EXPECT_TRUE(Holds(n, e, {kTalk, kTalkChoice})) << "character " << npc.mapObject.nId << " event " << e;
                }
                EXPECT_TRUE(bAny) << "character " << npc.mapObject.nId << " starts nothing";
                continue;
            }
            const POINT home = pScene->GetCellPoint(m_homes[size_t(i)].x, m_homes[size_t(i)].y);
            const double dReach = std::sqrt(2.0) * kNpcSpreadCells * pScene->nCellSize * (pScene->nGridKind ? 2 : 1) +
                                  npc.nWanderRadius + std::max(npc.nAttackRadius, npc.nRangedRadius);
            for (const RECT& rc : paths) {
                const double dx = std::max({double(rc.left - home.x), 0.0, double(home.x - rc.right)});
                const double dy = std::max({double(rc.top - home.y), 0.0, double(home.y - rc.bottom)});
                EXPECT_GT(std::hypot(dx, dy), dReach) << "fighter " << npc.mapObject.nId << " reaches the path at "
                                                      << rc.left << "," << rc.top;
            }
        }
        const CScriptData& data = *pGameData->pScriptData;
        for (int k = 0; k < data.GetCommandCount(n); ++k) {
            const ScriptCommand* pC = data.GetCommand(n, k);
            if (pC->nCommand == kTaskOpen) opened.insert(pC->a1);
            if (pC->nCommand == kTaskDone) done.insert(pC->a1);
        }
    }
    for (int t : opened) EXPECT_TRUE(done.count(t)) << "task " << t << " is given but never completed";
}


TEST_F(SampleData, EveryStoryPlaceIsDrawnAndWalkedToPastTheFightersWhoEngageOneAtATime) {
    // Where a scene change puts her (and the new game's start in the first scene).
    std::map<int, std::vector<POINT>> arrivals;
    const CScriptData& data = *pGameData->pScriptData;
    for (int n : m_scenes)
        for (int k = 0; k < data.GetCommandCount(n); ++k)
            if (const ScriptCommand* pC = data.GetCommand(n, k); pC->nCommand == kSetScene)
                arrivals[pC->a1].push_back(POINT{pC->a2, pC->a3});
    for (int n : m_scenes) {
        SCOPED_TRACE("scene " + std::to_string(n));
        ASSERT_TRUE(Load(n));
        if (n == *m_scenes.begin()) arrivals[n].push_back(pScene->ptStart);
        const std::vector<Reach> reaches = Reaches();
        // No two fighters, wherever they stand, engage her at one place.
        for (size_t a = 0; a < reaches.size(); ++a)
            for (size_t b = a + 1; b < reaches.size(); ++b) {
                double dNearest = 1e9;
                for (const POINT& p : reaches[a].cells)
                    for (const POINT& q : reaches[b].cells) dNearest = std::min(dNearest, CellDistance(p, q));
                EXPECT_GE(dNearest, reaches[a].dRadius + reaches[b].dRadius)
                    << "fighters " << reaches[a].nId << " and " << reaches[b].nId << " engage together";
            }
        auto engaged = [&](POINT c) {
            for (const Reach& r : reaches)
                for (const POINT& p : r.cells)
                    if (CellDistance(c, p) < r.dRadius) return true;
            return false;
        };
        // The cells walked to from each arrival by the path finder's steps, none of them
        // where a fighter engages.
        auto safe = [&](int x, int y) { return Walkable(x, y) && !engaged(POINT{x, y}); };
        std::vector<std::vector<char>> walks;
        for (const POINT& pt : arrivals[n]) {
            const POINT start = pScene->PixelToCell(pt.x, pt.y);
            ASSERT_TRUE(pScene->IsInGrid(start.x, start.y));
            EXPECT_FALSE(engaged(start)) << "a fighter engages her where she arrives at " << pt.x << "," << pt.y;
            walks.push_back(Reached(start, safe));
        }
        // The cells something is drawn on: a character's, and those of each object of the
        // lists B to G (the cell of its point, at its bottom middle, and those whose middle
        // it covers).
        std::vector<char> drawn(pScene->pCells.size(), 0);
        for (const POINT& c : m_homes) drawn[size_t(pScene->CellIndex(c.x, c.y))] = 1;
        for (int nList = kListB; nList <= kListG; ++nList)
            for (const auto& pObject : pScene->List(nList)) {
                const RECT& rc = pObject->rcObject;
                const POINT foot = pScene->PixelToCell((rc.left + rc.right) / 2, rc.bottom - 1);
                if (pScene->IsInGrid(foot.x, foot.y)) drawn[size_t(pScene->CellIndex(foot.x, foot.y))] = 1;
                for (int cy = 0; cy < pScene->nGridHeight; ++cy)
                    for (int cx = 0; cx < pScene->nGridWidth; ++cx) {
                        const POINT p = pScene->GetCellPoint(cx, cy);
                        if (p.x >= rc.left && p.x < rc.right && p.y >= rc.top && p.y < rc.bottom)
                            drawn[size_t(pScene->CellIndex(cx, cy))] = 1;
                    }
            }
        // Every story place (a region whose events keep the scene) is drawn on or beside
        // one of its cells, and some walk from every arrival reaches it.
        for (size_t r = 0; r < pScene->pRegions.size(); ++r) {
            const RegionRecord& region = pScene->pRegions[r];
            bool bExit = region.nEventCount < 1;
            for (int i = 0; i < region.nEventCount && i < kRegionEventCount; ++i)
                bExit = bExit || Holds(n, region.nEvents[i], {kSetScene});
            if (bExit) continue;
            bool bDrawn = false;
            std::vector<char> reached(walks.size(), 0);
            for (int cy = 0; cy < pScene->nGridHeight; ++cy)
                for (int cx = 0; cx < pScene->nGridWidth; ++cx) {
                    if (pScene->pCells[size_t(pScene->CellIndex(cx, cy))].nRegion != int(r)) continue;
                    for (size_t w = 0; w < walks.size(); ++w) reached[w] = reached[w] || walks[w][size_t(pScene->CellIndex(cx, cy))];
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            bDrawn = bDrawn || (pScene->IsInGrid(cx + dx, cy + dy) &&
                                                drawn[size_t(pScene->CellIndex(cx + dx, cy + dy))]);
                }
            EXPECT_TRUE(bDrawn) << "region " << r << " (event " << region.nEvents[0] << ") shows nothing on or beside it";
            for (size_t w = 0; w < walks.size(); ++w)
                EXPECT_TRUE(reached[w]) << "region " << r << " (event " << region.nEvents[0]
                                        << ") is walked to from arrival " << w << " only past a fighter";
        }
    }
}

}  // namespace
