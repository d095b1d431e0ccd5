// The game binary, headless, on a game folder written here, driven by an input script:
// screenshots of the notice picture, the start picture and the title screen, then the
// quit button answered with Yes ends the game with exit code 0.
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"

namespace {

// The build makes the game before this test program and passes its path.
std::string GameBinary() {
#ifdef GAME_BINARY
    return GAME_BINARY;
#else
    return "";
#endif
}

TEST(EndToEnd, NoticeStartPictureAndTitleScreenshotsThenQuit) {
    UsePrivateRuntimeFolder();
    const std::string strGame = GameBinary();
    ASSERT_FALSE(strGame.empty()) << "the build gave no path of the game binary";
    ASSERT_TRUE(std::filesystem::exists(strGame)) << "the game binary is missing: " << strGame;
    CShellFolder folder;
    const std::string strScript = folder.File("input.txt");
    std::ofstream(strScript) << "frame 1 shot notice.png\n"
                                "frame 2 shot start.png\n"
                                "7000 move 250 300\n"
                                "7500 shot title.png\n"
                                "8000 move 250 500\n"
                                "8200 lbutton down 250 500\n"
                                "8240 lbutton up 250 500\n"
                                "8800 move 470 350\n"
                                "9000 lbutton down 470 350\n"
                                "9040 lbutton up 470 350\n"
                                "40000 close\n";
    const ProgramRun run = RunProgramIn(folder.Path(), strGame, {}, strScript);
    ASSERT_TRUE(run.bExited) << "the game did not exit normally; stderr:\n" << run.strErr;
    const std::string notice = ReadWholeFile(folder.File("notice.png"));
    const std::string start = ReadWholeFile(folder.File("start.png"));
    EXPECT_GT(notice.size(), 100u);
    EXPECT_GT(start.size(), 100u);
    EXPECT_NE(notice, start);
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    const std::string title = ReadWholeFile(folder.File("title.png"));
    EXPECT_GT(title.size(), 100u);
    EXPECT_NE(title, start);
}

}  // namespace
