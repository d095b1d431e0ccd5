// The game keeper's mini-games in the game binary, headless, from the title, each run
// played by one input script: the gamble, the knock game and the catch game chosen from
// her question in turn, then the game saved and dumped with savetool. The winning
// script's screenshots show each game mid-run and its outcome, and the save holds the
// winnings, the caught item in the bag and the knock game's experience; the same script
// with shifted timings loses all three. The signboard's show gives its three pictures,
// and a close while the gamble waits for its click ends the program with code 0.
#include <cstdio>

#include "shell/SaveGameFile.h"
#include "tests/shell/SampleGameRun.h"
#include "tools/mkgame/SampleMiniGames.h"  // the pictures' colours (defined with the in-process runs)

namespace {

std::string At(int t, const std::string& strWhat) { return std::to_string(t) + " " + strWhat + "\n"; }
std::string Point(int x, int y) { return ' ' + std::to_string(x) + " " + std::to_string(y); }
// The cursor moves there, then a press and release 100 ms later.
std::string Click(int t, int x, int y) {
    return At(t, "move" + Point(x, y)) + At(t + 100, "lbutton down" + Point(x, y)) + At(t + 140, "lbutton up" + Point(x, y));
}
std::string Press(int t, const char* pszKey = "SPACE") { return At(t, std::string("key press ") + pszKey); }

// The town from the title's new-game button; a walk east of the wall, where the keeper
// (map 1040, 464) stands at screen (630, 238) under a view at (410, 226).
const std::string kToTheKeeper =
    kNewGame + Click(9600, 784, 300);
constexpr int kKeeperX = 630, kKeeperY = 205;
// Her question's three answers.
constexpr int kCatchAnswerY = 100, kGambleAnswerY = 117, kKnockAnswerY = 135;

// The times of the keeper's script. The games hand out no clock of their own: a pass of
// their loops takes 22 virtual ms, so each time is where the run is at that moment.
struct KeeperTimes {
    int nGambleStart;  // the start button's press: the roll's end frame (a multiple of 3 wins)
    int nKnockShift;   // how late the Space presses start
    int nCatchClick;   // after the catch game began: the hand rises to meet item 0 or not
};
constexpr KeeperTimes kWinning{15507, 0, 4135};
// One and a half passes later the roll ends on a losing frame; presses nine seconds late
// do not fill the power bar before the time bar; the hand rises 600 ms after item 0 passed.
constexpr KeeperTimes kShifted{15540, 9000, 4735};

struct KeeperRun {
    std::string strScript;
    int nKnockStart = 0, nCatchStart = 0;
};

// The whole script: gift and question, the gamble (side 0, 200 on it), the knock game,
// the catch game, the talks after each, the save into slot 3, the bag's third page.
KeeperRun KeeperScript(const KeeperTimes& k) {
    KeeperRun r;
    std::string& s = r.strScript;
    s = kToTheKeeper + Click(11500, kKeeperX, kKeeperY) + Press(12500) + Press(13000);
    const int g = k.nGambleStart;
    s += Click(13900, 230, kGambleAnswerY) + Click(14500, 50, 550) + Click(15000, 60, 160) + At(g - 300, "move 300 300") +
         At(g, "lbutton down 300 300") + At(g + 40, "lbutton up 300 300") + At(g + 700, "shot roll.png") +
         At(g + 1800, "shot gamble.png") + Click(g + 2000, 400, 400);
    // Before each of the other two games she says how it is played: a first Space shows
    // all of it, a second ends it and the game starts.
    s += Press(g + 3000) + Press(g + 3500) + Click(g + 4000, kKeeperX, kKeeperY) + Click(g + 5000, 220, kKnockAnswerY) +
         At(g + 5500, "shot knock-told.png") + Press(g + 5640) + Press(g + 6140);
    r.nKnockStart = g + 6140;
    // Space every 30 ms for 6.6 s (a pass takes one press at most: about 220 count),
    // never past the time bar's end.
    const int nFirst = r.nKnockStart + 860 + k.nKnockShift;
    for (int t = nFirst; t < nFirst + 6600 && t < r.nKnockStart + 14000; t += 30) s += Press(t);
    s += At(r.nKnockStart + 4000, "shot knock-mid.png") + At(r.nKnockStart + 7300, "shot knock-won.png") +
         At(r.nKnockStart + 14300, "shot knock-lost.png");
    const int n = r.nKnockStart + 16000;
    s += Press(n) + Press(n + 500) + Click(n + 1000, kKeeperX, kKeeperY) + Click(n + 2000, 250, kCatchAnswerY) +
         At(n + 2200, "move 158 500") + At(n + 2500, "shot catch-told.png") + Press(n + 2640) + Press(n + 3140);
    r.nCatchStart = n + 3140;
    const int c = r.nCatchStart + k.nCatchClick;
    s += At(c, "lbutton down 158 500") + At(c + 60, "lbutton up 158 500") + At(r.nCatchStart + 3000, "shot catch-mid.png") +
         At(r.nCatchStart + 6135, "shot catch-after.png");
    // 6001 passes of the catch game, then her talk, ESC's save into slot 3 and the bag.
    const int e = r.nCatchStart + 132100;
    s += Press(e + 1000) + Press(e + 1500) + Press(e + 2500, "ESC") + Click(e + 3000, 500, 85) + Click(e + 3600, 236, 296) +
         Click(e + 4200, 215, 370) + Press(e + 5500, "W") + Click(e + 6000, 718, 290) + At(e + 6800, "shot bag.png") +
         At(e + 7300, "close");
    return r;
}

// The pictures' colours survive the 16-bit screen within 12 in each channel.
constexpr int kSlack = 12;
bool Shows(const CShot& shot, int x, int y, const char* pszPicture, int nTile = 0) {
    return shot.Near(x, y, MiniGameBody(pszPicture, nTile), kSlack);
}
// Whether the picture at (x, y) is one of "NAME%04d.bmp"-style pictures first..last.
bool ShowsOneOf(const CShot& shot, int x, int y, const char* pszFormat, int nFirst, int nLast) {
    for (int i = nFirst; i <= nLast; ++i) {
        char sz[32];
        std::snprintf(sz, sizeof sz, pszFormat, i);
        if (Shows(shot, x, y, sz)) return true;
    }
    return false;
}

class KeeperPlay : public SampleGameRun {
protected:
    KeeperPlay() : SampleGameRun("keeperplay") {}
    void SetUp() override { ASSERT_TRUE(WriteSampleGame({&kSaveTool})); }
    // savetool's dump of the save in slot 3.
    std::string DumpSlotThree() {
        std::string strName = SaveFileName(3);
        strName[4] = '/';
        const std::string strSave = m_strGame + "/" + strName;
        EXPECT_TRUE(std::filesystem::exists(strSave));
        const ProgramRun dump = RunProgramIn(m_strRun, kSaveTool, {"dump", strSave}, "/dev/null");
        EXPECT_TRUE(dump.bExited && dump.nCode == 0) << dump.strErr;
        return dump.strOut;
    }
    // The bag's cell 0 (the item panel at (400, 10)) holds an icon: it differs from the
    // empty cell 5 beside it.
    static bool BagCellZeroHolds(const CShot& bag) {
        const unsigned nEmpty = bag.Pixel(427 + 32 * 5 + 12, 215 + 15);
        int nDiffer = 0;
        for (int y = 215 + 4; y < 215 + 28; ++y)
            for (int x = 427 + 4; x < 427 + 24; ++x) nDiffer += !bag.Near(x, y, nEmpty, 8);
        return nDiffer > 200;
    }
};

TEST_F(KeeperPlay, TheScriptWinsTheGambleTheKnockGameAndCatchesItemZeroAndTheSaveHoldsTheWinnings) {
    const KeeperRun plan = KeeperScript(kWinning);
    const ProgramRun run = RunGame(plan.strScript);
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;

    // 2000 from the keeper; the gamble pays 400 on 200; the catch game costs 500.
    const std::string strDump = DumpSlotThree();
    EXPECT_NE(strDump.find("money 1700\n"), std::string::npos) << strDump.substr(0, 2000);
    EXPECT_NE(strDump.find("experience 1100\n"), std::string::npos) << "a new heroine has 100";
    EXPECT_NE(strDump.find("  item 0 x1\n"), std::string::npos);

    CShot roll(Shot("roll.png")), gamble(Shot("gamble.png")), knockMid(Shot("knock-mid.png")),
        knockWon(Shot("knock-won.png")), catchMid(Shot("catch-mid.png")), catchAfter(Shot("catch-after.png")),
        bag(Shot("bag.png")), knockTold(Shot("knock-told.png")), catchTold(Shot("catch-told.png"));
    ASSERT_TRUE(roll.Read() && gamble.Read() && knockMid.Read() && knockWon.Read() && catchMid.Read() && catchAfter.Read() &&
                bag.Read() && knockTold.Read() && catchTold.Read());
    // Her word on how to play comes before each game: the games are not drawn yet.
    EXPECT_FALSE(Shows(knockTold, 100, 400, "KnockBack.bmp"));
    EXPECT_FALSE(Shows(catchTold, 400, 300, "EVE.bmp"));
    // The roll: the table, a roll picture at (100, 0), no start button.
    EXPECT_TRUE(Shows(roll, 600, 150, "a1.bmp"));
    EXPECT_TRUE(ShowsOneOf(roll, 260, 120, "wa%03d.bmp", 1, 80));
    EXPECT_FALSE(Shows(roll, 310, 350, "Begin.bmp"));
    // Side 0 won: picture 9, "你赢了400块" in yellow above the start button.
    EXPECT_TRUE(Shows(gamble, 260, 100, "s09.bmp"));
    EXPECT_TRUE(Shows(gamble, 310, 350, "Begin.bmp"));
    EXPECT_GT(gamble.CountNear(RECT{300, 200, 400, 220}, 0xFFFF00, 40), 30);
    // The knock game under way: its background, the time bar's lower band, the power bar.
    EXPECT_TRUE(Shows(knockMid, 100, 400, "KnockBack.bmp"));
    EXPECT_TRUE(knockMid.Near(60, 35, kTimeBarLower, kSlack));
    EXPECT_TRUE(knockMid.Near(100, 85, kTimeBarUpper, kSlack));
    EXPECT_TRUE(ShowsOneOf(knockMid, 400, 250, "Knock%04d.bmp", 0, 4));
    // Won: one of the three winning pictures, the power bar full.
    EXPECT_TRUE(ShowsOneOf(knockWon, 400, 250, "Knock%04d.bmp", 5, 7));
    EXPECT_TRUE(knockWon.Near(630, 85, kTimeBarUpper, kSlack));
    // The catch game: item 0 flies in the lowest row (y 250), the hand waits at the
    // bottom under the cursor; after the catch the row holds no item 0 past x 100.
    EXPECT_TRUE(Shows(catchMid, 400, 300, "EVE.bmp"));
    EXPECT_GT(catchMid.CountNear(RECT{0, 250, 800, 290}, MiniGameBody("Item1.bmp", 0), kSlack), 500);
    EXPECT_TRUE(Shows(catchMid, 188, 470, "handcircle.bmp"));
    EXPECT_TRUE(Shows(catchAfter, 188, 470, "handcircle.bmp"));
    EXPECT_EQ(catchAfter.CountNear(RECT{100, 250, 800, 290}, MiniGameBody("Item1.bmp", 0), kSlack), 0);
    // The item lies in the bag: its page of other things shows it in cell 0.
    EXPECT_TRUE(BagCellZeroHolds(bag));
}

TEST_F(KeeperPlay, TheSameScriptWithShiftedTimingsLosesAllThree) {
    const KeeperRun plan = KeeperScript(kShifted);
    const ProgramRun run = RunGame(plan.strScript);
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    // 2000 - 200 - 500; no experience; nothing caught.
    const std::string strDump = DumpSlotThree();
    EXPECT_NE(strDump.find("money 1300\n"), std::string::npos) << strDump.substr(0, 2000);
    EXPECT_NE(strDump.find("experience 100\n"), std::string::npos);
    EXPECT_EQ(strDump.find("  item 0 x"), std::string::npos);

    CShot gamble(Shot("gamble.png")), knockMid(Shot("knock-mid.png")), knockLost(Shot("knock-lost.png")),
        catchAfter(Shot("catch-after.png")), bag(Shot("bag.png"));
    ASSERT_TRUE(gamble.Read() && knockMid.Read() && knockLost.Read() && catchAfter.Read() && bag.Read());
    EXPECT_TRUE(Shows(gamble, 260, 100, "s04.bmp"));
    EXPECT_GT(gamble.CountNear(RECT{300, 200, 400, 220}, 0xFFFF00, 40), 30);
    // No press yet: the power bar is empty while the time runs.
    EXPECT_TRUE(knockMid.Near(60, 35, kTimeBarLower, kSlack));
    EXPECT_TRUE(Shows(knockMid, 100, 85, "KnockBack.bmp"));
    EXPECT_TRUE(ShowsOneOf(knockLost, 400, 250, "Knock%04d.bmp", 8, 10));
    EXPECT_TRUE(knockLost.Near(630, 35, kTimeBarLower, kSlack));
    // Item 0 flies on past the late hand, which rises over part of it.
    EXPECT_GT(catchAfter.CountNear(RECT{100, 250, 800, 290}, MiniGameBody("Item1.bmp", 0), kSlack), 200);
    EXPECT_FALSE(BagCellZeroHolds(bag));
}

TEST_F(KeeperPlay, TheSignboardShowsItsThreePicturesAndACloseWhileTheGambleWaitsEndsTheProgram) {
    // Onto the signboard (map cell 34, 13): the show runs 3001 passes of 21 ms from
    // 12292 ms, changing pictures at passes 500, 1000, 2000 and 2500; then she steps off
    // it. The keeper's gamble: a roll, and the window closes while the outcome waits.
    std::string s = kToTheKeeper + Click(11500, 694, 206) + At(17500, "shot show-0.png") + At(28000, "shot show-1.png") +
                    At(44000, "shot show-2.png") + At(70000, "shot show-0b.png");
    s += Click(76000, kKeeperX, 250) + Press(77000) + Press(77500) + Click(78400, 230, kGambleAnswerY) +
         Click(79000, 50, 550) + Click(79500, 60, 160) + Click(80400, 300, 300) + At(83000, "shot waiting.png") +
         At(83500, "close");
    const ProgramRun run = RunGame(s);
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    const char* const names[4] = {"T009.bmp", "I001.bmp", "N006.bmp", "T009.bmp"};
    const char* const shots[4] = {"show-0.png", "show-1.png", "show-2.png", "show-0b.png"};
    for (int i = 0; i < 4; ++i) {
        CShot shot(Shot(shots[i]));
        ASSERT_TRUE(shot.Read()) << shots[i];
        // 640 x 480 at the top left, on black: nothing of the map or the toolbar beside it.
        EXPECT_TRUE(Shows(shot, 320, 300, names[i])) << shots[i];
        EXPECT_EQ(shot.CountNear(RECT{640, 0, 800, 600}, 0, 0), 160 * 600) << shots[i];
        EXPECT_EQ(shot.CountNear(RECT{0, 480, 640, 600}, 0, 0), 640 * 120) << shots[i];
    }
    CShot waiting(Shot("waiting.png"));
    ASSERT_TRUE(waiting.Read());
    EXPECT_TRUE(Shows(waiting, 600, 150, "a1.bmp"));
    EXPECT_TRUE(Shows(waiting, 260, 100, "s04.bmp") || Shows(waiting, 260, 100, "s09.bmp"));
}

}  // namespace
