// The sample game's panels in the game binary, headless, from the title: the title's
// settings button opens the settings panel in the middle of the screen, and its music
// knob follows the cursor over the slider with no button held; in the town the item,
// task and map panels show the sample game's pictures (the bag's numbers captioned, the
// task the first villager gives listed), and the load list's handle follows the cursor
// down its strip.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The loudest sample a headless run mixed (GAME_AUDIO_WAV, 16-bit stereo at 44100 Hz)
// in the 100 ms from ms t of its clock; -1 when the file holds no such data.
int PeakAt(const std::string& strWav, int t) {
    const std::string bytes = ReadWholeFile(strWav);
    const size_t nData = bytes.find("data");
    const size_t nFrom = nData + 8 + size_t(t) * 441 / 10 * 4, nTo = nFrom + 4410 * 4;
    if (nData == std::string::npos || nTo > bytes.size()) return -1;
    int nPeak = 0;
    for (size_t i = nFrom; i < nTo; i += 2) {
        std::int16_t n = 0;
        std::memcpy(&n, bytes.data() + i, 2);
        nPeak = std::max(nPeak, std::abs(int(n)));
    }
    return nPeak;
}

// Whether the knob of the settings panel at (x0, y0) stands at notch n of slider 1.
bool KnobAt(const CShot& shot, int x0, int y0, int n) {
    return NearPanelProbe(shot, x0 + 68 + 19 * n + 12, y0 + 78 + 9, "ButterFly.tga");
}

TEST(SamplePanels, TheTitlesSettingsAndTheTownsPanelsShowTheirPictures) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kGame}));
    CTempFolder folder{"samplepanels"};
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    // The music is decoded by a worker on real time, so under the virtual clock where it
    // lies in the mix differs from run to run; without it only the clicks sound.
    ASSERT_EQ(std::remove((strGame + "/data/veskmp3.dat").c_str()), 0);
    // Settings from the title (OK closes it), a new game, the greeting talked through,
    // then W, T and TAB each shown and closed again. A press beside the settings, at
    // (700, 550), is not theirs: no click sounds, as it does for OK.
    // Over the title's settings the cursor crosses slider 1's track, (298, 140) to
    // (518, 160), with no button held: the knob goes from notch 5 to notch 9. In the
    // town the system menu's load button opens the load list; the cursor on its strip,
    // (310, 85) to (340, 283), at y 252 scrolls it to top row 6, the handle with it.
    std::ofstream(strGame + "/input.txt") << "8500 move 280 375\n"
                                             "9000 lbutton down 280 375\n"
                                             "9040 lbutton up 280 375\n"
                                             "9300 shot before.png\n"
                                             "9400 move 400 150\n"
                                             "9450 move 474 150\n"
                                             "9600 shot slid.png\n"
                                             "9650 move 700 550\n"
                                             "9700 lbutton down 700 550\n"
                                             "9740 lbutton up 700 550\n"
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
                                             "18300 move 400 80\n"
                                             "18350 lbutton down 400 80\n"
                                             "18390 lbutton up 400 80\n"
                                             "19100 key press SPACE\n"
                                             "19400 key press SPACE\n"
                                             "19000 move 300 300\n"
                                             "19500 key press W\n"
                                             "20000 shot bag.png\n"
                                             "20100 key press W\n"
                                             "20200 key press J\n"
                                             "20400 shot skills.png\n"
                                             "20450 key press J\n"
                                             "20500 key press T\n"
                                             "21000 shot tasks.png\n"
                                             "21100 key press T\n"
                                             "21500 key press TAB\n"
                                             "22000 shot map.png\n"
                                             "22400 key press ESC\n"
                                             "22700 move 500 147\n"
                                             "22800 lbutton down 500 147\n"
                                             "22840 lbutton up 500 147\n"
                                             "23200 move 325 100\n"
                                             "23300 move 325 252\n"
                                             "23600 shot list.png\n"
                                             "23700 key press TAB\n"
                                             "24000 close\n";
    const std::string strWav = strGame + "/mix.wav";
    setenv("GAME_AUDIO_WAV", strWav.c_str(), 1);
    const ProgramRun run = RunProgramIn(strGame, kGame, {}, strGame + "/input.txt");
    unsetenv("GAME_AUDIO_WAV");
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    CShot settings(strGame + "/settings.png"), title(strGame + "/title.png"), bag(strGame + "/bag.png"),
        tasks(strGame + "/tasks.png"), map(strGame + "/map.png"), before(strGame + "/before.png"),
        slid(strGame + "/slid.png"), list(strGame + "/list.png"), skills(strGame + "/skills.png");
    ASSERT_TRUE(settings.Read() && title.Read() && bag.Read() && tasks.Read() && map.Read() && before.Read() &&
                slid.Read() && list.Read() && skills.Read());
    // The title's panel sits at (230, 60); the knob followed the cursor; OK closed it.
    EXPECT_TRUE(NearPanelProbe(settings, 230 + 20, 60 + 420, "SysSetMenu_BKGround.tga"));
    EXPECT_TRUE(KnobAt(before, 230, 60, 5));
    EXPECT_FALSE(KnobAt(before, 230, 60, 9));
    EXPECT_TRUE(KnobAt(slid, 230, 60, 9));
    EXPECT_FALSE(KnobAt(slid, 230, 60, 5));
    EXPECT_GT(slid.Differences(before, 298, 138, 220, 24), 200) << "the knob did not move";
    EXPECT_FALSE(NearPanelProbe(title, 230 + 20, 60 + 420, "SysSetMenu_BKGround.tga"));
    const int nMusic = PeakAt(strWav, 9550), nBeside = PeakAt(strWav, 9700), nOk = PeakAt(strWav, 10100);
    EXPECT_GT(nOk, nMusic + 1000) << "OK's click is not in the mix";
    EXPECT_LT(nBeside, nMusic + 500) << "the press beside the settings clicked";
    // The bag and the tasks at (400, 10).
    EXPECT_TRUE(NearPanelProbe(bag, 400 + 20, 10 + 420, "ItemMenu_BKGround.tga"));
    EXPECT_TRUE(NearPanelProbe(tasks, 400 + 20, 10 + 420, "TaskMenu_BKGound.tga"));
    EXPECT_FALSE(NearPanelProbe(tasks, 400 + 20, 10 + 420, "ItemMenu_BKGround.tga"));
    // Each number of the bag has its caption at its left (the age and the four rows
    // below it, and the money): strokes on the panel's body colour.
    const ToolBarProbe* pBody = FindPanelProbe("ItemMenu_BKGround.tga");
    ASSERT_TRUE(pBody);
    const auto strokes = [&](const CShot& shot, const RECT& rc) {
        const int nArea = int((rc.right - rc.left) * (rc.bottom - rc.top));
        return nArea - shot.CountNear(rc, PackRgb(pBody->r, pBody->g, pBody->b), 24);
    };
    for (int i = 0; i < 5; ++i) EXPECT_GT(strokes(bag, RECT{564, 63 + 25 * i, 612, 85 + 25 * i}), 40) << "row " << i;
    EXPECT_GT(strokes(bag, RECT{422, 183, 462, 205}), 40) << "the money";
    // The skill panel's three slots show the skills of her kind not learned yet, each a
    // picture of its own filling the slot's well (a learned icon stands 11 pixels in).
    const int nSlotTop[3] = {210, 275, 340};
    for (int i = 0; i < 3; ++i) {
        const RECT rcIcon{400 + 58 + 11, 10 + nSlotTop[i] + 11, 400 + 58 + 43, 10 + nSlotTop[i] + 43};
        const ToolBarProbe* pPanel = FindPanelProbe("SkillMenu_BKGround.tga");
        ASSERT_TRUE(pPanel);
        EXPECT_GT(32 * 32 - skills.CountNear(rcIcon, PackRgb(22, 26, 44), 16) -
                      skills.CountNear(rcIcon, PackRgb(pPanel->r, pPanel->g, pPanel->b), 16),
                  300)
            << "slot " << i << " shows no skill";
        if (i == 0) continue;
        int nDiffer = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                nDiffer += skills.Pixel(rcIcon.left + x, rcIcon.top + y) != skills.Pixel(rcIcon.left + x, rcIcon.top + y - 65);
        EXPECT_GT(nDiffer, 100) << "slots " << i - 1 << " and " << i << " show the same skill";
    }
    // The first villager gave the first task: the open list's caption and its text.
    EXPECT_GT(tasks.CountNear(RECT{435, 30, 655, 56}, PackRgb(250, 220, 150), 60), 20);
    EXPECT_GT(tasks.CountNear(RECT{435, 60, 655, 205}, PackRgb(0, 255, 0), 40), 20) << "no task text";
    // The town's map picture is 320 pixels wide: its window starts at x 560.
    EXPECT_TRUE(NearPanelProbe(map, 560 + 30, 1 + 20, "Scene000.bmp") || NearPanelProbe(map, 560 + 200, 1 + 200, "Scene000.bmp"));
    EXPECT_FALSE(NearPanelProbe(map, 550, 30, "Scene000.bmp"));
    // The load list at (40, 10): its handle went down the strip to notch 6 with the
    // cursor (the strip's notches are 27 pixels apart from y 85).
    EXPECT_TRUE(NearPanelProbe(list, 310 + 12, 85 + 27 * 6 + 9, "ButterFly.tga"));
    EXPECT_FALSE(NearPanelProbe(list, 310 + 12, 85 + 9, "ButterFly.tga"));
    // ESC with the scene map open opened the system menu (the list came from it), and
    // the map stayed: it is no panel.
    EXPECT_TRUE(NearPanelProbe(list, 560 + 30, 1 + 20, "Scene000.bmp") || NearPanelProbe(list, 560 + 200, 1 + 200, "Scene000.bmp"));
}

}  // namespace
