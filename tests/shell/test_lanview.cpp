// The library panels driven by lanview over the sample folder: an item dragged from the
// goods panel onto the status page's boxes, its state lines and screenshots.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "lan/LanPictures.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"

namespace {

// The state line of the first frame at or after nMs.
std::string LineAt(const std::string& strOut, long nMs) {
    std::istringstream in(strOut);
    std::string line;
    while (std::getline(in, line)) {
        long nFrame = 0, nTime = 0;
        if (std::sscanf(line.c_str(), "%ld,%ld", &nFrame, &nTime) == 2 && nTime >= nMs) return line;
    }
    return std::string();
}

// The sample folder written into the test's folder and a lanview run of one class over
// it with an input script, run in the test's folder; the run goes to *pRun.
::testing::AssertionResult RunLanView(const CTempFolder& folder, const std::string& strClass,
                                      const std::string& strScript, const std::vector<std::string>& extra,
                                      ProgramRun* pRun) {
    std::string strGame;
    if (::testing::AssertionResult made = WriteSampleFolder(folder, &strGame); !made) return made;
    const std::string strPath = folder.Path() + "/input.txt";
    std::ofstream(strPath) << strScript;
    std::vector<std::string> args{strGame, strClass};
    args.insert(args.end(), extra.begin(), extra.end());
    *pRun = RunProgramIn(folder.Path(), kLanView, args, strPath);
    if (!pRun->bExited || pRun->nCode != 0)
        return ::testing::AssertionFailure() << "lanview " << strClass << " ended with " << pRun->nCode << ": "
                                             << pRun->strErr;
    return ::testing::AssertionSuccess();
}

// The colour the sample game's stand-in of a library picture is painted with (its
// first tile), as 0xRRGGBB.
unsigned StandInColour(const char* pszName) {
    const std::vector<LanPicture> files = LanPictureFiles();
    for (size_t i = 0; i < files.size(); ++i)
        if (std::string(files[i].pszName) == pszName) {
            const unsigned r = 40 + (i * 67) % 200, g = 40 + (i * 131) % 200, b = 40 + (i * 29) % 200;
            return r << 16 | g << 8 | b;
        }
    return 0;
}

struct ScreenProbe {
    const char* pszClass;
    const char* pszPicture;
    int x, y;
};

void PrintTo(const ScreenProbe& p, std::ostream* pOut) { *pOut << p.pszClass; }

class LanViewScreens : public ::testing::TestWithParam<ScreenProbe> {};

TEST_P(LanViewScreens, EachOlderScreenDrawsItsPictureOverTheTitle) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kLanView}));
    const ScreenProbe& p = GetParam();
    CTempFolder folder("lanscreen");
    ProgramRun run;
    ASSERT_TRUE(RunLanView(folder, p.pszClass, "8600 shot shot.png\n",
                           {"--frames", "60", "--items", "3:2", "--party", "0,2"}, &run));
    const CShot shot(folder.Path() + "/shot.png");
    ASSERT_TRUE(shot.Read());
    const unsigned nWant = StandInColour(p.pszPicture);
    ASSERT_NE(nWant, 0u);
    // The colour within the 16-bit screen's rounding.
    EXPECT_TRUE(shot.Near(p.x, p.y, nWant, 8))
        << p.pszClass << ": " << std::hex << shot.Pixel(p.x, p.y) << " against " << nWant;
}

INSTANTIATE_TEST_SUITE_P(Screens, LanViewScreens,
                         ::testing::Values(ScreenProbe{"CSaveList", "me0ML.bmp", 215, 30},
                                           ScreenProbe{"CLeaveMenu", "LeaveMenu.bmp", 400, 300},
                                           ScreenProbe{"CChoosePlayerMenu", "\xD1\xA1\xD4\xF1\xC8\xCB\xCE\xEF.bmp", 300, 90},
                                           ScreenProbe{"CScenePicture", "ScenePanel.bmp", 620, 135},
                                           ScreenProbe{"CIconToolBar", "IconBar.bmp", 760, 585},
                                           ScreenProbe{"CGoodsPanel", "wupinglan.bmp", 480, 40}),
                         [](const ::testing::TestParamInfo<ScreenProbe>& info) {
                             return std::string(info.param.pszClass + 1);
                         });

// The info bar over the title: a click on its up arrow changes nothing; the cursor on
// the close button's last column (x 771) lights it, and a click there closes the bar.
TEST(LanView, TheInfoBarsCloseButtonClosesItAndItsArrowsChangeNothing) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kLanView}));
    CTempFolder folder("laninfo");
    ProgramRun run;
    ASSERT_TRUE(RunLanView(folder, "CInfoBar",
                           "8300 move 400 300\n8400 shot before.png\n"
                           "8500 move 785 20\n8600 lbutton down 785 20\n8640 lbutton up 785 20\n8800 shot arrow.png\n"
                           "8900 move 771 15\n9000 shot hover.png\n"
                           "9100 lbutton down 771 15\n9140 lbutton up 771 15\n9300 shot closed.png\n",
                           {"--frames", "150"}, &run));
    const std::string strArrow = LineAt(run.strOut, 8800), strHover = LineAt(run.strOut, 9000),
                      strClosed = LineAt(run.strOut, 9300);
    EXPECT_NE(strArrow.find(",info=1"), std::string::npos) << strArrow;
    EXPECT_NE(strArrow.find(",closetile=0"), std::string::npos) << strArrow;
    EXPECT_NE(strHover.find(",closetile=1"), std::string::npos) << strHover;
    EXPECT_NE(strClosed.find(",info=0"), std::string::npos) << strClosed;
    const CShot before(folder.Path() + "/before.png"), arrow(folder.Path() + "/arrow.png"),
        closed(folder.Path() + "/closed.png");
    ASSERT_TRUE(before.Read() && arrow.Read() && closed.Read());
    // The bar's background at the right edge, (W - 308, 0) onwards, while it is open.
    const unsigned nBar = StandInColour("xinxilan.bmp");
    ASSERT_NE(nBar, 0u);
    EXPECT_TRUE(before.Near(700, 200, nBar, 8));
    EXPECT_TRUE(arrow.Near(700, 200, nBar, 8));
    EXPECT_FALSE(closed.Near(700, 200, nBar, 8));
}

TEST(LanView, AClassItCannotBuildEndsTheRunWithAFailureAndNothingFreedTwice) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kLanView}));
    CTempFolder folder("lannosuch");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    // Built on the title screen, where the viewer lends the game a hero of its own.
    const ProgramRun run = RunProgramIn(folder.Path(), kLanView, {strGame, "CNoSuch", "--frames", "30"}, "/dev/null");
    ASSERT_TRUE(run.bExited) << "lanview died: " << run.strErr;
    EXPECT_EQ(run.nCode, 1) << run.strErr;
    EXPECT_NE(run.strErr.find("lanview: CNoSuch cannot be built here"), std::string::npos) << run.strErr;
    EXPECT_EQ(run.strErr.find("Sanitizer"), std::string::npos) << run.strErr;
    EXPECT_EQ(run.strOut, "") << "no state lines for a class that was not built";
}

TEST(LanView, EndingWordsGlideLeftTwoPixelsAStep) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kLanView}));
    CTempFolder folder("lanwords");
    ProgramRun run;
    ASSERT_TRUE(RunLanView(folder, "CEndWord", "", {"--frames", "40"}, &run));
    long nFirstX = -1, nLastX = -1;
    std::istringstream in(run.strOut);
    std::string line;
    while (std::getline(in, line)) {
        const size_t n = line.find(",x=");
        if (n == std::string::npos) continue;
        const long x = std::strtol(line.c_str() + n + 3, nullptr, 10);
        if (nFirstX < 0) nFirstX = x;
        nLastX = x;
    }
    EXPECT_EQ(nFirstX, 800);
    EXPECT_LT(nLastX, 800);
    EXPECT_GE(nLastX, 800 - 2 * 40);
}

TEST(LanView, AWeaponDraggedOntoTheWeaponBoxIsWornAndSlotFiveRefusesIt) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kLanView}));
    CTempFolder folder("lanview");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    // Item 12 (a sword, attack 20, a 2 x 2 block) lies in the goods panel's first cell at
    // (555, 158). It is dragged onto box 5 first, then onto the weapon box.
    const std::string strScript = folder.Path() + "/input.txt";
    std::ofstream(strScript) << "8300 shot before.png\n"
                                "8400 move 560 165\n8500 lbutton down 560 165\n8600 move 300 160\n"
                                "8700 move 105 135\n8800 lbutton up 105 135\n8900 shot refused.png\n"
                                "9000 move 560 165\n9100 lbutton down 560 165\n9200 move 400 180\n"
                                "9300 move 255 200\n9400 lbutton up 255 200\n9500 shot equipped.png\n";
    const ProgramRun run = RunProgramIn(folder.Path(), kLanView,
                                        {strGame, "CStatusPanel", "--items", "12:1,3:2", "--frames", "100"}, strScript);
    ASSERT_TRUE(run.bExited && run.nCode == 0) << run.strErr;

    const std::string strDragged = LineAt(run.strOut, 8700);
    EXPECT_NE(strDragged.find("item=12"), std::string::npos) << strDragged;
    const std::string strRefused = LineAt(run.strOut, 8900);
    EXPECT_NE(strRefused.find("attack=0,"), std::string::npos) << strRefused;
    EXPECT_NE(strRefused.find("equip=-1 -1 -1 -1 -1 -1"), std::string::npos) << strRefused;
    EXPECT_NE(strRefused.find("count12=1@(555 158)"), std::string::npos) << strRefused;
    const std::string strWorn = LineAt(run.strOut, 9500);
    EXPECT_NE(strWorn.find("attack=20,"), std::string::npos) << strWorn;
    EXPECT_NE(strWorn.find("equip=-1 -1 -1 -1 12 -1"), std::string::npos) << strWorn;
    EXPECT_NE(strWorn.find("count12=1@(3000 3000)"), std::string::npos) << strWorn;

    const CShot before(folder.Path() + "/before.png"), refused(folder.Path() + "/refused.png"),
        worn(folder.Path() + "/equipped.png");
    ASSERT_TRUE(before.Read() && refused.Read() && worn.Read());
    // Refused: the boxes and the goods cell look as before.
    EXPECT_EQ(refused.Differences(before, 247, 186, 80, 160), 0);
    EXPECT_EQ(refused.Differences(before, 555, 158, 80, 80), 0);
    // Worn: the sword's picture (a blade on clear ground) stands in the weapon box and has
    // left the goods cell.
    EXPECT_GT(worn.Differences(before, 247, 186, 80, 160), 300);
    EXPECT_GT(worn.Differences(before, 560, 165, 70, 70), 300);
    EXPECT_EQ(worn.Differences(before, 155, 135, 60, 40), 0);  // the armour box is untouched
}

}  // namespace

namespace {

// The follower after a new game: it walks behind the heroine around the town's wall,
// never stands on a blocking cell, and stops close to her.
TEST(LanView, AFollowerWalksAroundTheWallBehindTheHeroineAndStopsBesideHer) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kLanView}));
    CTempFolder folder("lanfollow");
    ProgramRun run;
    ASSERT_TRUE(RunLanView(folder, "CFollower",
                           kNewGame +
                               "9500 move 784 300\n9600 lbutton down 784 300\n9640 lbutton up 784 300\n"
                               "16000 shot follower.png\n",
                           {"--frames", "400"}, &run));
    std::istringstream in(run.strOut);
    std::string line;
    int nLines = 0, nWalls = 0;
    long nFirstX = 0, nFirstY = 0, x = 0, y = 0, hx = 0, hy = 0, vx = 0, vy = 0, nAction = -1, nMs = 0;
    long nShotX = 0, nShotY = 0;
    while (std::getline(in, line)) {
        const size_t n = line.find(",follower=(");
        if (n == std::string::npos) continue;
        long cx = 0, cy = 0, nWall = 0, nFrame = 0;
        if (std::sscanf(line.c_str(), "%ld,%ld", &nFrame, &nMs) != 2 ||
            std::sscanf(line.c_str() + n, ",follower=(%ld %ld),cell=(%ld %ld),wall=%ld,hero=(%ld %ld),view=(%ld %ld),faction=%ld",
                        &x, &y, &cx, &cy, &nWall, &hx, &hy, &vx, &vy, &nAction) != 10)
            continue;
        if (nLines++ == 0) nFirstX = x, nFirstY = y;
        nWalls += int(nWall);
        if (nMs <= 16000) nShotX = x - vx, nShotY = y - vy;
    }
    ASSERT_GT(nLines, 100);
    EXPECT_EQ(nWalls, 0);
    // It went the long way round: well over 300 px from where it started.
    EXPECT_GT((x - nFirstX) * (x - nFirstX) + (y - nFirstY) * (y - nFirstY), 300L * 300L);
    EXPECT_LT((hx - x) * (hx - x) + (hy - y) * (hy - y), 3600L);
    EXPECT_EQ(nAction, 0);
    // Its figure stands on the grass above its point in the screenshot.
    const CShot shot(folder.Path() + "/follower.png");
    ASSERT_TRUE(shot.Read());
    int nFigure = 0;
    for (long py = std::max(0L, nShotY - 80); py < std::min(600L, nShotY); ++py)
        for (long px = std::max(0L, nShotX - 20); px < std::min(800L, nShotX + 20); ++px) {
            const unsigned c = shot.Pixel(int(px), int(py));
            const int r = int(c >> 16), g = int(c >> 8 & 255), b = int(c & 255);
            nFigure += !(g > r + 20 && g > b + 20);  // not grass green
        }
    EXPECT_GT(nFigure, 300);
}

}  // namespace
