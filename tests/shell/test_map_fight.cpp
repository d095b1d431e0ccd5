// A fight on the town's ground, headless from the title: the heroine walks up to a wolf
// put into the town's south-east, which comes at her and bites; four clicks on it strike it dead;
// the corpse lies for 20 seconds and is gone. worldprobe's fight columns give the
// wolf's state record, the heroine's life, money and bag, and what the fight asked of
// the toolbar (damage numbers, the loot roll); the screenshots show the blow and the
// corpse.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gamedata/GameData.h"
#include "shell/MainFrame.h"
#include "shell/SceneLink.h"
#include "shell/ToolBarLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"
#include "tests/shell/TownWolf.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"
#include "world/PlayerHost.h"

namespace {

constexpr int kWolf = kTownWolf;

// One pass of worldprobe's CSV with the fight columns.
struct FightRow {
    int nMs = 0, x = 0, y = 0, nAction = 0, nHover = -1;
    int nNpcX = 0, nNpcY = 0, nNpcLife = 0, nNpcDisplay = 0, nNpcAction = 0;
    int nLife = 0, nMoney = 0, nItems = 0, nDecLife = 0, nLoot = 0, nLootMoney = 0, nGround = 0;
};

std::vector<FightRow> ParseFight(const std::string& strCsv) {
    std::vector<FightRow> rows;
    std::istringstream in(strCsv);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        FightRow r;
        long nFrame = 0;
        int nScene = 0, cx = 0, cy = 0, nStamina = 0, nWay = 0, nWall = 0, vx = 0, vy = 0, nCursor = 0;
        // The six script columns after the hover are skipped.
        if (std::sscanf(line.c_str(),
                        "%ld,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%*d,%*d,%*d,%*d,%*d,%*d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d",
                        &nFrame, &r.nMs, &nScene, &r.x, &r.y, &cx, &cy, &r.nAction, &nStamina, &nWay, &nWall, &vx, &vy,
                        &nCursor, &r.nHover, &r.nNpcX, &r.nNpcY, &r.nNpcLife, &r.nNpcDisplay, &r.nNpcAction, &r.nLife,
                        &r.nMoney, &r.nItems, &r.nDecLife, &r.nLoot, &r.nLootMoney, &r.nGround) == 27)
            rows.push_back(r);
    }
    return rows;
}

const FightRow* RowAt(const std::vector<FightRow>& rows, int nMs) {
    const FightRow* pFound = nullptr;
    for (const FightRow& r : rows)
        if (r.nMs <= nMs) pFound = &r;
    return pFound;
}

std::string ClickAt(int nMs, int x, int y) {
    char sz[128];
    std::snprintf(sz, sizeof sz, "%d move %d %d\n%d lbutton down %d %d\n%d lbutton up %d %d\n", nMs, x, y, nMs + 50, x, y,
                  nMs + 90, x, y);
    return sz;
}

// New game; two walks bring the heroine to cell (28, 25) with the view at (410, 360),
// where the wolf comes to the cell below her (screen 502, 488) and bites. Four clicks on
// it at 700 ms intervals strike it dead; a click on its cell later takes what lies there,
// and she walks off before the corpse goes.
const std::string kScript = kNewGame +
                                "12000 move 784 300\n"
                                "12100 lbutton down 784 300\n"
                                "12140 lbutton up 784 300\n"
                                "14000 move 502 440\n"
                                "14100 lbutton down 502 440\n"
                                "14140 lbutton up 502 440\n"
                                "17000 move 500 480\n"
                                "17100 lbutton down 500 480\n"
                                "17140 lbutton up 500 480\n"
                                "17900 shot before.png\n"
                                "18000 lbutton down 500 480\n"
                                "18040 lbutton up 500 480\n"
                                "18150 shot strike.png\n"
                                "18700 lbutton down 500 480\n"
                                "18740 lbutton up 500 480\n"
                                "19400 lbutton down 500 480\n"
                                "19440 lbutton up 500 480\n"
                                "20100 lbutton down 500 480\n"
                                "20140 lbutton up 500 480\n"
                                "23000 shot corpse.png\n"
                                "24000 move 502 488\n"
                                "24100 lbutton down 502 488\n"
                                "24140 lbutton up 502 488\n"
                                "24200 move 534 488\n"
                                "24300 lbutton down 534 488\n"
                                "24340 lbutton up 534 488\n"
                                "24400 move 470 488\n"
                                "24500 lbutton down 470 488\n"
                                "24540 lbutton up 470 488\n"
                                "24600 move 502 520\n"
                                "24700 lbutton down 502 520\n"
                                "24740 lbutton up 502 520\n"
                                "24800 move 502 456\n"
                                "24900 lbutton down 502 456\n"
                                "24940 lbutton up 502 456\n"
                                "25000 move 534 520\n"
                                "25100 lbutton down 534 520\n"
                                "25140 lbutton up 534 520\n"
                                "25200 move 470 520\n"
                                "25300 lbutton down 470 520\n"
                                "25340 lbutton up 470 520\n"
                                "25400 move 534 456\n"
                                "25500 lbutton down 534 456\n"
                                "25540 lbutton up 534 456\n"
                                "25600 move 470 456\n"
                                "25700 lbutton down 470 456\n"
                                "25740 lbutton up 470 456\n"
                                "26000 move 502 300\n"
                                "26100 lbutton down 502 300\n"
                                "26140 lbutton up 502 300\n"
                                "41000 shot gone.png\n";

TEST(MapFight, TheWolfBitesIsStruckDeadLiesAsACorpseAndIsGoneTwentySecondsLater) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kWorldProbe}));
    CTempFolder folder("mapfight");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    ASSERT_TRUE(PutWolfInTown(strGame));
    const std::string strRun = folder.Path() + "/run";
    std::filesystem::create_directories(strRun);
    const std::string strScript = strRun + "/input.txt";
    std::ofstream(strScript) << kScript;
    const ProgramRun run = RunProgramIn(strRun, kWorldProbe, {strGame, strScript, "--ms", "41200", "--npc", "4"}, strScript);
    ASSERT_TRUE(run.bExited && run.nCode == 0) << run.strErr;
    const std::vector<FightRow> rows = ParseFight(run.strOut);
    ASSERT_FALSE(rows.empty()) << run.strOut.substr(0, 400);

    const FightRow* pApproach = RowAt(rows, 17950);
    ASSERT_TRUE(pApproach);
    EXPECT_EQ(pApproach->nNpcLife, 60) << "untouched before the first click";
    EXPECT_EQ(pApproach->nHover, kWolf);
    EXPECT_LT(pApproach->nLife, 120) << "the wolf came and bit";
    EXPECT_GT(pApproach->nDecLife, 0) << "its bites asked for damage numbers";
    const int nBites = pApproach->nDecLife;

    // Each click takes 16 (attack 18 against defence 2); the fourth kills.
    const int nAfter[4] = {18600, 19300, 20000, 20700};
    for (int k = 0; k < 4; ++k) {
        const FightRow* pRow = RowAt(rows, nAfter[k]);
        ASSERT_TRUE(pRow);
        EXPECT_EQ(pRow->nNpcLife, 60 - 16 * (k + 1)) << "after click " << k + 1;
    }
    const FightRow* pDead = RowAt(rows, 22000);
    ASSERT_TRUE(pDead);
    EXPECT_LT(pDead->nNpcLife, 1);
    EXPECT_EQ(pDead->nNpcDisplay, 4) << "a corpse";
    EXPECT_EQ(pDead->nNpcAction, 5);
    EXPECT_EQ(pDead->nHover, -1) << "the hover is cleared";
    EXPECT_GT(pDead->nDecLife, nBites + 3) << "the four blows asked for damage numbers too";
    EXPECT_EQ(pDead->nLoot, 1) << "one loot roll";
    EXPECT_EQ(pDead->nLootMoney, 30);

    // What lay on the ground after the roll is what the clicks over the corpse's cell and
    // its neighbours took (the loot lies on the free cells around the corpse).
    const FightRow* pBefore = RowAt(rows, 24000);
    const FightRow* pTaken = RowAt(rows, 26000);
    ASSERT_TRUE(pBefore && pTaken);
    if (pBefore->nGround == 0) {
        EXPECT_EQ(pTaken->nMoney, 0);
        EXPECT_EQ(pTaken->nItems, 0);
    } else {
        // The ground column counts the scene's item slots, which a pick-up empties but
        // does not remove: what was taken shows in the heroine's money and bag.
        EXPECT_EQ(pBefore->nMoney + pBefore->nItems, 0);
        EXPECT_TRUE(pTaken->nMoney == 30 || pTaken->nItems > 0);
    }

    const FightRow* pGone = RowAt(rows, 41000);
    ASSERT_TRUE(pGone);
    EXPECT_EQ(pGone->nNpcDisplay, 3) << "gone, to come back on a later visit";

    CShot before(strRun + "/before.png"), strike(strRun + "/strike.png"), corpse(strRun + "/corpse.png"),
        gone(strRun + "/gone.png");
    ASSERT_TRUE(before.Read() && strike.Read() && corpse.Read() && gone.Read());
    // The heroine (feet at screen 502, 456) swings: her figure changes.
    EXPECT_GT(strike.Differences(before, 482, 376, 40, 80), 30);
    // The corpse lies where the wolf fell (feet at 502, 488), below her feet, and is gone
    // later.
    EXPECT_GT(corpse.Differences(gone, 482, 460, 40, 28), 100);
}

// A new player in the grove: from the town's east road into the grove, a walk to the
// mouth of the imp's lane and a click on the imp bring her to it; clicks on it where it
// stands by her (the view then stops at (104, -88)) strike it down while its bites take
// little, and she is alive and well 30 s later.
// The imp is a horned beast with red eyes, no villager.
TEST(MapFight, InTheGroveANewPlayerStrikesTheFirstImpDownAndLives) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kWorldProbe}));
    CTempFolder folder("grovefight");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    const std::string strRun = folder.Path() + "/run";
    std::filesystem::create_directories(strRun);
    std::string strText = kNewGame + ClickAt(9500, 790, 332) + ClickAt(11500, 726, 304) +
                          "14000 key press RIGHT\n14500 key press RIGHT\n15000 key press RIGHT\n"
                          "15500 key press RIGHT\n" + ClickAt(16000, 400, 300) + ClickAt(17000, 352, 312) +
                          "18400 shot " + strRun + "/imp.png\n" + ClickAt(18500, 544, 200);
    for (int t = 20000; t <= 26000; t += 700) strText += ClickAt(t, 440, 200);
    const std::string strScript = strRun + "/input.txt";
    std::ofstream(strScript) << strText;
    const ProgramRun run = RunProgramIn(strRun, kWorldProbe, {strGame, strScript, "--ms", "54000", "--npc", "1"}, strScript);
    ASSERT_TRUE(run.bExited && run.nCode == 0) << run.strErr;
    const std::vector<FightRow> rows = ParseFight(run.strOut);
    ASSERT_FALSE(rows.empty()) << run.strOut.substr(0, 400);

    int nKilledMs = -1, nLowest = 120;
    for (const FightRow& r : rows) {
        if (r.nMs < 16500) continue;
        nLowest = std::min(nLowest, r.nLife);
        if (nKilledMs < 0 && r.nNpcLife < 1) nKilledMs = r.nMs;
    }
    ASSERT_GT(nKilledMs, 0) << "the imp never fell";
    EXPECT_LT(nKilledMs, 26000);
    EXPECT_GT(nLowest, 60) << "the first fight nearly killed her";
    const FightRow* pLater = RowAt(rows, nKilledMs + 30000);
    ASSERT_TRUE(pLater && pLater->nMs >= nKilledMs + 29000);
    EXPECT_GT(pLater->nLife, 0) << "alive 30 s after the first kill";

    CShot imp(strRun + "/imp.png");
    ASSERT_TRUE(imp.Read());
    EXPECT_GT(imp.CountNear(RECT{484, 133, 614, 243}, 0xE61E1E, 24), 20) << "the imp's red eyes";
}

class FightLinkTest : public FrameTest {
protected:
    void TearDown() override {
        pGameData = nullptr;
        pPlayer = nullptr;
        RemoveToolBarLinks();
        links.Install();
        InstallSceneLinks();
        FrameTest::TearDown();
    }
};

// The hero's fight calls reach the toolbar and the main window: the stack slot, the key
// flag, the quick slots, the raise caption cut whole, the party ids; the toolbar's skill
// calls reach the hero.
TEST_F(FightLinkTest, TheHerosFightCallsReachTheToolBarAndTheMainWindow) {
    InstallToolBarLinks();
    InstallSceneLinks();
    PanelLink().CreatePanels();
    CGameToolBar* pBar = pFrame->m_pToolBar;
    ASSERT_NE(pBar, nullptr);
    CHeroHost& host = HeroHost();

    pBar->m_nStackItem = 3;
    pBar->m_nStackCount = 2;
    EXPECT_EQ(host.GetStackItem(), 3);
    EXPECT_EQ(host.GetStackCount(), 2);
    host.SetStack(-1, 0);
    EXPECT_EQ(pBar->m_nStackItem, -1);
    EXPECT_EQ(pBar->m_nStackCount, 0);

    EXPECT_FALSE(host.IsKeyTaken());
    pBar->m_bKeyTaken = 1;
    EXPECT_TRUE(host.IsKeyTaken());

    pBar->m_nQuickSlots[5] = 12;
    host.ClearQuickSlot(5);
    host.ClearQuickSlot(8);
    host.ClearQuickSlot(-1);
    EXPECT_EQ(pBar->m_nQuickSlots[5], -1);

    // 101 ASCII bytes and a double-byte character: the character does not fit whole.
    const std::string strLong = std::string(101, 'a') + "\xBC\xBC";
    host.ShowCaption(strLong.c_str());
    EXPECT_EQ(std::string(pBar->m_szCaption), std::string(101, 'a'));
    EXPECT_EQ(pBar->m_bCaptionShown, 1);

    pFrame->m_nPartyIds[2] = 2;
    host.LeaveParty(2);
    host.LeaveParty(7);
    EXPECT_EQ(pFrame->m_nPartyIds[2], -1);
    EXPECT_EQ(host.GetScreenSize().cx, 800);
    EXPECT_EQ(host.GetScreenSize().cy, 600);

    std::vector<SkillRow> skills(3);
    skills[2].nMana = 7;
    skills[2].nDirection = 12;
    CGameData data;
    data.pSkill = skills.data();
    data.nSkillCount = 3;
    pGameData = &data;
    CPlayer hero;
    ToolBarHost().SelectSkill(&hero, 2);
    EXPECT_EQ(hero.nSelectedSkill, 2);
    EXPECT_EQ(hero.nSkillCost, 7);
    EXPECT_EQ(hero.nSkillAction, 12);
}

}  // namespace
