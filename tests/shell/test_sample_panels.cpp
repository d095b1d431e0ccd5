// The sample game's panels in the game binary, headless, from the title: the title's
// settings button opens the settings panel in the middle of the screen; in the town the
// item, task and map panels show the sample game's pictures.
#include <fstream>

#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/mkgame/SamplePanels.h"

namespace {

bool NearPanelProbe(const CShot& shot, int x, int y, const char* pszPicture) {
    const ToolBarProbe* p = FindPanelProbe(pszPicture);
    return p && shot.Near(x, y, PackRgb(p->r, p->g, p->b), 24);
}

TEST(SamplePanels, TheTitlesSettingsAndTheTownsPanelsShowTheirPictures) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kGame}));
    CTempFolder folder{"samplepanels"};
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    // Settings from the title (OK closes it), a new game, the greeting talked through,
    // then W, T and TAB each shown and closed again.
    std::ofstream(strGame + "/input.txt") << "8500 move 280 375\n"
                                             "9000 lbutton down 280 375\n"
                                             "9040 lbutton up 280 375\n"
                                             "9800 move 360 417\n"
                                             "10000 shot settings.png\n"
                                             "10100 lbutton down 360 417\n"
                                             "10140 lbutton up 360 417\n"
                                             "10800 shot title.png\n"
                                             "11000 move 280 240\n"
                                             "11500 lbutton down 280 240\n"
                                             "11540 lbutton up 280 240\n"
                                             "14000 key press SPACE\n"
                                             "15000 key press SPACE\n"
                                             "16000 key press SPACE\n"
                                             "17000 key press SPACE\n"
                                             "18000 key press SPACE\n"
                                             "19000 move 300 300\n"
                                             "19500 key press W\n"
                                             "20000 shot bag.png\n"
                                             "20100 key press W\n"
                                             "20500 key press T\n"
                                             "21000 shot tasks.png\n"
                                             "21100 key press T\n"
                                             "21500 key press TAB\n"
                                             "22000 shot map.png\n"
                                             "22500 close\n";
    const ProgramRun run = RunProgramIn(strGame, kGame, {}, strGame + "/input.txt");
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    CShot settings(strGame + "/settings.png"), title(strGame + "/title.png"), bag(strGame + "/bag.png"),
        tasks(strGame + "/tasks.png"), map(strGame + "/map.png");
    ASSERT_TRUE(settings.Read() && title.Read() && bag.Read() && tasks.Read() && map.Read());
    // The title's panel sits at (230, 60); OK closed it.
    EXPECT_TRUE(NearPanelProbe(settings, 230 + 20, 60 + 420, "SysSetMenu_BKGround.tga"));
    EXPECT_FALSE(NearPanelProbe(title, 230 + 20, 60 + 420, "SysSetMenu_BKGround.tga"));
    // The bag and the tasks at (400, 10).
    EXPECT_TRUE(NearPanelProbe(bag, 400 + 20, 10 + 420, "ItemMenu_BKGround.tga"));
    EXPECT_TRUE(NearPanelProbe(tasks, 400 + 20, 10 + 420, "TaskMenu_BKGound.tga"));
    EXPECT_FALSE(NearPanelProbe(tasks, 400 + 20, 10 + 420, "ItemMenu_BKGround.tga"));
    // The town's map picture is 320 pixels wide: its window starts at x 560.
    EXPECT_TRUE(NearPanelProbe(map, 560 + 30, 1 + 20, "Scene000.bmp") || NearPanelProbe(map, 560 + 200, 1 + 200, "Scene000.bmp"));
    EXPECT_FALSE(NearPanelProbe(map, 550, 30, "Scene000.bmp"));
}

}  // namespace
