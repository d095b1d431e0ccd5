// The battle probe on the sample game: the grove's beasts fall in a fixed turn order
// from a fixed seed, an escape from them costs half the money, and a battle with the
// sample's usable items and skills learned still ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TempFolder.h"

namespace {

#if defined(MKGAME_BINARY) && defined(BATTLEPROBE_BINARY)

// Runs a command, returns its standard output; the exit code in *pCode.
std::string RunCommand(const std::string& strCommand, int* pCode) {
    std::string out;
    FILE* p = popen(strCommand.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    *pCode = pclose(p);
    return out;
}

struct ProbeRun {
    std::vector<int> turns;  // the acting slot each time it changes to a fighter
    std::string strTail;     // the lines after the CSV
    int nPasses = 0;
};

ProbeRun Parse(const std::string& out) {
    ProbeRun r;
    std::istringstream in(out);
    std::string line;
    int nLast = -1;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] < '0' || line[0] > '9') {
            r.strTail += line + "\n";
            continue;
        }
        ++r.nPasses;
        std::vector<std::string> cells;
        std::stringstream cs(line);
        std::string cell;
        while (std::getline(cs, cell, ',')) cells.push_back(cell);
        if (cells.size() < 35) continue;
        const int nActive = std::stoi(cells[33]);
        if (nActive != nLast && nActive != -1) r.turns.push_back(nActive);
        nLast = nActive;
    }
    return r;
}

TEST(BattleProbeTest, TheSampleBeastsFallInTheGoldenOrderAndEscapeCostsHalf) {
    CTempFolder folder("battleprobe");
    int nCode = -1;
    RunCommand(std::string(MKGAME_BINARY) + " " + folder.Path() + " >/dev/null", &nCode);
    ASSERT_EQ(nCode, 0);
    const std::string strProbe = std::string("GAME_HEADLESS=1 ") + BATTLEPROBE_BINARY + " " + folder.Path();

    const ProbeRun won = Parse(RunCommand(strProbe + " 1 14 15 --seed 7", &nCode));
    ASSERT_EQ(nCode, 0);
    EXPECT_EQ(won.turns, (std::vector<int>{0, 5, 4, 0, 5, 4, 0, 5, 0, 5, 0, 5, 0}));
    EXPECT_NE(won.strTail.find("result 1\nmoney 20\n"), std::string::npos) << won.strTail;
    EXPECT_LT(won.nPasses, 20000);

    // The ring waits for the player: escape, then its OK.
    folder.Write("escape.txt", std::string("3000 move 619 425\n3100 lbutton down 619 425\n3140 lbutton up 619 425\n"
                                           "3500 move 380 322\n3600 lbutton down 380 322\n3640 lbutton up 380 322\n"));
    const ProbeRun fled = Parse(RunCommand(strProbe + " 1 14 15 --seed 7 --money 1001 --input " + folder.File("escape.txt"), &nCode));
    ASSERT_EQ(nCode, 0);
    EXPECT_NE(fled.strTail.find("result 4\nmoney 500\n"), std::string::npos) << fled.strTail;
    EXPECT_NE(fled.strTail.find("hero hp 120 mp 60"), std::string::npos) << fled.strTail;
}

#endif

}  // namespace
