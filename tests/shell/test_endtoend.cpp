// The game binary, headless, on a game folder written here, driven by an input script:
// screenshots of the notice picture, the start picture and the title screen, then the
// quit button answered with Yes ends the game with exit code 0.
#include <sys/resource.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
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
    const std::string strErr = folder.File("stderr.txt");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (chdir(folder.Path().c_str()) != 0) _exit(90);
        setenv("GAME_HEADLESS", "1", 1);
        setenv("GAME_INPUT", strScript.c_str(), 1);
        setenv("GAME_SHOT_DIR", folder.Path().c_str(), 1);
        if (!freopen(strErr.c_str(), "w", stderr)) _exit(91);
        // A game that spins ends on its processor time, which a loaded machine does not
        // stretch; the wall-clock alarm only catches one that waits for ever.
        const rlimit cpu{120, 130};
        setrlimit(RLIMIT_CPU, &cpu);
        alarm(900);
        execl(strGame.c_str(), strGame.c_str(), static_cast<char*>(nullptr));
        _exit(92);
    }
    int nStatus = 0;
    ASSERT_EQ(waitpid(child, &nStatus, 0), child);
    ASSERT_TRUE(WIFEXITED(nStatus)) << "the game did not exit normally; stderr:\n" << ReadFile(strErr);
    const std::string notice = ReadFile(folder.File("notice.png"));
    const std::string start = ReadFile(folder.File("start.png"));
    EXPECT_GT(notice.size(), 100u);
    EXPECT_GT(start.size(), 100u);
    EXPECT_NE(notice, start);
    const std::string err = ReadFile(strErr);
    EXPECT_EQ(WEXITSTATUS(nStatus), 0) << err;
    const std::string title = ReadFile(folder.File("title.png"));
    EXPECT_GT(title.size(), 100u);
    EXPECT_NE(title, start);
}

}  // namespace
