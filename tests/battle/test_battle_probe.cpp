// The battle probe on the sample game: the grove's beasts fall in a fixed turn order
// from a fixed seed, an escape from them costs half the money, the grove's casters (who
// forbid escape) fight to an end even when a script leaves the ring open, and random
// battles with random clicks over every enemy row of the sample end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "tests/TempFolder.h"
#include "tests/battle/ProbeTestUtil.h"

namespace {

#if defined(MKGAME_BINARY) && defined(BATTLEPROBE_BINARY)

using namespace probetest;

// The ring waits for the player: its escape button, then the OK of the question.
const std::string kEscapeScript =
    "3000 move 619 425\n3100 lbutton down 619 425\n3140 lbutton up 619 425\n"
    "3500 move 380 322\n3600 lbutton down 380 322\n3640 lbutton up 380 322\n";

TEST(BattleProbeTest, TheSampleBeastsFallInTheGoldenOrderAndEscapeCostsHalf) {
    CTempFolder folder("battleprobe");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));

    const ProbeRun won = RunProbe(folder, strGame, "1 14 15 --seed 7");
    ASSERT_EQ(won.program.nCode, 0) << won.program.strErr;
    EXPECT_EQ(won.turns, (std::vector<int>{0, 5, 4, 0, 5, 4, 0, 5, 0, 5, 0, 5, 0}));
    EXPECT_NE(won.strTail.find("result 1\nmoney 20\n"), std::string::npos) << won.strTail;
    EXPECT_LT(won.nPasses, 20000);

    folder.Write("escape.txt", kEscapeScript);
    const ProbeRun fled = RunProbe(folder, strGame, "1 14 15 --seed 7 --money 1001", folder.File("escape.txt"));
    ASSERT_EQ(fled.program.nCode, 0) << fled.program.strErr;
    EXPECT_NE(fled.strTail.find("result 4\nmoney 500\n"), std::string::npos) << fled.strTail;
    EXPECT_NE(fled.strTail.find("hero hp 120 mp 60"), std::string::npos) << fled.strTail;

    // A battle picture the menu package lacks is said once, and the battle is fought without it.
    EXPECT_EQ(won.program.strErr, "");
    std::string strPkg = ReadWholeFile(strGame + "/bmp/menu.pkg");
    const size_t nAt = strPkg.find(std::string("me0FLine.bmp") + '\0');
    ASSERT_NE(nAt, std::string::npos);
    strPkg[nAt + 11] = 'q';
    std::ofstream(strGame + "/bmp/menu.pkg", std::ios::binary) << strPkg;
    const ProbeRun lacking = RunProbe(folder, strGame, "1 14 15 --seed 7");
    EXPECT_EQ(lacking.program.nCode, 0);
    EXPECT_EQ(lacking.program.strErr,
              "game: bmp\\menu.pkg holds no picture \"me0FLine.bmp\"; pictures it lacks are not drawn\n");
}

TEST(BattleProbeTest, TheGrovesCastersFightToAnEndEvenWhenTheScriptLeavesTheRingOpen) {
    CTempFolder folder("battleprobe");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    for (const char* pszSeed : {"1", "3", "7", "11"}) {
        SCOPED_TRACE(pszSeed);
        const ProbeRun run = RunProbe(folder, strGame, std::string("1 12 13 --seed ") + pszSeed);
        EXPECT_EQ(run.program.nCode, 0) << run.program.strErr;
        EXPECT_TRUE(run.nResult == 1 || run.nResult == 2) << run.strTail;
        EXPECT_LT(run.nPasses, 20000);
        EXPECT_GE(run.turns.size(), 4u) << "both sides act";
    }
    // The casters forbid escape: the script's escape click opens nothing and its OK
    // click lands on the ring's background; the ring stays open for a player who does
    // not come. Once the script is over the probe plays on, and the money stays whole.
    folder.Write("escape.txt", kEscapeScript);
    const ProbeRun stay = RunProbe(folder, strGame, "1 12 13 --seed 7 --money 1001", folder.File("escape.txt"));
    EXPECT_EQ(stay.program.nCode, 0) << stay.program.strErr;
    EXPECT_TRUE(stay.nResult == 1 || stay.nResult == 2) << stay.strTail;
    EXPECT_GE(stay.nMoney, 1001) << stay.strTail;
    EXPECT_LT(stay.nPasses, 20000);

    // A battle cut short by the pass limit says so and fails, after running exactly the
    // passes it names.
    const ProbeRun cut = RunProbe(folder, strGame, "1 12 13 --seed 7 --max-passes 40");
    EXPECT_TRUE(cut.program.bExited && cut.program.nCode == 3) << cut.program.nCode;
    EXPECT_NE(cut.program.strErr.find("no result after 40 passes"), std::string::npos) << cut.program.strErr;
    EXPECT_EQ(cut.nResult, -1) << "no result lines: " << cut.strTail;
    ASSERT_FALSE(cut.rows.empty());
    EXPECT_EQ(cut.rows.back()[0], 40) << "the last pass printed";
    EXPECT_EQ(cut.nPasses, 40);
}

// Random clicks over the ring, the lists, the tabs and the fighters, right clicks and
// 'A' presses, in the first 30 seconds of the battle.
std::string RandomClicks() {
    std::string text;
    struct Box {
        int x, y, w, h;
    };
    const Box boxes[] = {{490, 285, 150, 160}, {330, 240, 160, 190}, {60, 300, 200, 250}, {520, 300, 120, 120}};
    for (DWORD t = 1200; t < 30000; t += 60 + DWORD(Rand() % 200)) {
        const Box& b = boxes[Rand() % 4];
        const int x = b.x + Rand() % b.w, y = b.y + Rand() % b.h;
        const std::string strWhen = std::to_string(t), strAt = ' ' + std::to_string(x) + " " + std::to_string(y) + "\n";
        switch (Rand() % 8) {
            case 0: text += strWhen + " key up A\n"; break;
            case 1: text += strWhen + " rbutton down" + strAt + std::to_string(t + 30) + " rbutton up" + strAt; break;
            default:
                text += strWhen + " move" + strAt + std::to_string(t + 20) + " lbutton down" + strAt +
                        std::to_string(t + 40) + " lbutton up" + strAt;
                break;
        }
    }
    return text;
}

TEST(BattleProbeTest, RandomBattlesOverEveryEnemyRowOfTheSampleEnd) {
    CTempFolder folder("battleprobe");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    // Every row of the sample's enemy table, three a battle.
    const char* const battles[] = {"0 1 2", "3 4 5", "6 7 8", "9 10 11", "12 13 14", "15"};
    // What the beasts' event gives and teaches: potions, darts and a skill of each kind.
    const std::string strKit = " --items 25:2,26:1,35:3 --skills 1,3,4,5,6,7,11,12,15,17,23,29,35 --max-passes 60000";
    Srand(20261209);
    int nRun = 0;
    for (const char* pszEnemies : battles) {
        for (int k = 0; k < 2; ++k, ++nRun) {
            SCOPED_TRACE(std::string(pszEnemies) + " run " + std::to_string(k));
            const std::string strScript = "clicks" + std::to_string(nRun) + ".txt";
            folder.Write(strScript, RandomClicks());
            const ProbeRun run = RunProbe(folder, strGame,
                                          std::string("1 ") + pszEnemies + " --seed " + std::to_string(nRun + 1) +
                                              " --money 300" + strKit,
                                          folder.File(strScript));
            EXPECT_EQ(run.program.nCode, 0) << run.strTail << run.program.strErr;
            EXPECT_TRUE(run.nResult == 1 || run.nResult == 2 || run.nResult == 4) << run.strTail;
            // Money: whole or more after a victory or a defeat, half after an escape.
            if (run.nResult == 4) EXPECT_EQ(run.nMoney, 150);
            else EXPECT_GE(run.nMoney, 300);
        }
    }
}

#endif

}  // namespace
