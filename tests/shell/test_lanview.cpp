// The library panels driven by lanview over the sample folder: an item dragged from the
// goods panel onto the status page's boxes, its state lines and screenshots.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"

namespace {

#if defined(LANVIEW_BINARY) && defined(MKGAME_BINARY)
const std::string kLanView = LANVIEW_BINARY;
const std::string kMkGame = MKGAME_BINARY;
#else
const std::string kLanView, kMkGame;
#endif

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

TEST(LanView, AWeaponDraggedOntoTheWeaponBoxIsWornAndSlotFiveRefusesIt) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(std::filesystem::exists(kLanView) && std::filesystem::exists(kMkGame));
    CTempFolder folder("lanview");
    const std::string strGame = folder.Path() + "/game";
    const ProgramRun made = RunProgramIn(folder.Path(), kMkGame, {strGame}, "/dev/null");
    ASSERT_TRUE(made.bExited && made.nCode == 0) << made.strErr;
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
    // Worn: the sword's icon stands in the weapon box and has left the goods cell.
    EXPECT_GT(worn.Differences(before, 247, 186, 80, 160), 2000);
    EXPECT_GT(worn.Differences(before, 560, 165, 70, 70), 2000);
    EXPECT_EQ(worn.Differences(before, 155, 135, 60, 40), 0);  // the armour box is untouched
}

}  // namespace
