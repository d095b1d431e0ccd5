// Start-up under the headless backend: the order of the steps, the notice-picture wait
// and its left-click skip, the opening videos and ESC, start-up failures, and the
// single-instance rule.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>

#include "CDX/CDXScreen.h"
#include "gamedata/DebugLog.h"
#include "platform/Resources.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "shell/GameApp.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "tests/shell/ShellTestUtil.h"

namespace {

struct StepTime {
    std::string strStep;
    DWORD dwTime;
};
std::vector<StepTime> s_steps;

void RecordStep(const char* pszStep) { s_steps.push_back({pszStep, TimeGetTime()}); }

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        UsePrivateRuntimeFolder();
        UseVirtualClock(true, 1000, 20);
        ResetMessageQueue();
        s_steps.clear();
        pfnStartupProbe = RecordStep;
        m_strOldDir = GetCurrentDirectory();
    }
    void TearDown() override {
        pfnStartupProbe = nullptr;
        ResetMessageQueue();
        SetCurrentDirectory(m_strOldDir.c_str());
    }
    // Runs the application in the folder; the exit code.
    int RunGame(const CShellFolder& folder) {
        SetCurrentDirectory(folder.Path().c_str());
        CGameApp app;
        app.InitInstance();
        return app.ExitInstance();
    }
    std::vector<std::string> Steps() const {
        std::vector<std::string> v;
        for (const auto& s : s_steps) v.push_back(s.strStep);
        return v;
    }
    DWORD Between(const char* pszA, const char* pszB) const {
        DWORD a = 0, b = 0;
        for (const auto& s : s_steps) {
            if (s.strStep == pszA) a = s.dwTime;
            if (s.strStep == pszB) b = s.dwTime;
        }
        return b - a;
    }
    std::string m_strOldDir;
};

TEST_F(StartupTest, StepsRunInOrderAndAMissingTableFileEndsStartUpNamingIt) {
    ShellFolderOptions options;
    options.bTables = false;
    CShellFolder folder(options);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGame(folder), 1);
    const std::string strErr = testing::internal::GetCapturedStderr();
    const std::vector<std::string> expected = {"sound effects", "game data",     "picture store", "effect manager",
                                               "window mode",   "screen",        "notice picture", "start picture",
                                               "tables"};
    EXPECT_EQ(Steps(), expected);
    EXPECT_NE(strErr.find("Base.dat"), std::string::npos) << strErr;
    // Everything start-up made is gone again.
    EXPECT_EQ(pFrame, nullptr);
    EXPECT_EQ(pMouse, nullptr);
    EXPECT_EQ(pScreen, nullptr);
}

// So are a misspelt key and section; a display mode that cannot be set names the values tried.
TEST_F(StartupTest, AScreenSizeNearTheIntegerLimitsIsNamedAndReplaced) {
    ShellFolderOptions options;
    options.bTables = false;
    CShellFolder folder(options);
    const std::string strIni = "[Option]\r\nFullScreen=0\r\nScreenWidth=2147483647\r\nScreenHeight=-2147483648\r\n"
                               "PlayLeader=0\r\nScreenWidht=1024\r\n[NewGaem]\r\nScene=3\r\n";
    ASSERT_TRUE(WriteBytesToFile(folder.File("fenwik.ini").c_str(), std::vector<std::uint8_t>(strIni.begin(), strIni.end())));
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGame(folder), 1);  // stops at the missing tables, after the screen was made
    const std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(strErr.find("fenwik.ini: [Option] ScreenWidth=2147483647 is outside"), std::string::npos) << strErr;
    EXPECT_NE(strErr.find("fenwik.ini: [Option] ScreenHeight=-2147483648 is outside"), std::string::npos) << strErr;
    EXPECT_NE(strErr.find("fenwik.ini: [Option] \"ScreenWidht\" is not a key the game reads; it is ignored\n"),
              std::string::npos)
        << strErr;
    EXPECT_NE(strErr.find("fenwik.ini: section \"NewGaem\" is not one the game reads (Option, NewGame)"),
              std::string::npos)
        << strErr;
    const std::vector<std::string> steps = Steps();
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), "tables");

    const std::string strFull = "[Option]\r\nFullScreen=1\r\nScreenWidth=700\r\nScreenHeight=500\r\nScreenBPP=16\r\n";
    ASSERT_TRUE(WriteBytesToFile(folder.File("fenwik.ini").c_str(), std::vector<std::uint8_t>(strFull.begin(), strFull.end())));
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGame(folder), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "the screen: no display mode could be set: full screen 700 x 500 at 15 bits per pixel (fenwik.ini "
                  "[Option] FullScreen=1, ScreenWidth=700, ScreenHeight=500, ScreenBPP=16)"),
              std::string::npos);
}

// A named pipe in place of the tables ends start-up at once instead of waiting for a
// writer; it and a scrambled notice picture are named as the game folder names them.
TEST_F(StartupTest, DamagedGameFilesAreNamedAndNothingWaits) {
    CShellFolder folder;
    std::filesystem::remove(folder.File("data/Base.dat"));
    ASSERT_EQ(mkfifo(folder.File("data/Base.dat").c_str(), 0600), 0);
    const std::vector<std::uint8_t> scrambled(600, 0x5A);
    ASSERT_TRUE(WriteBytesToFile(folder.File("bmp/jiankanyouxi.bmp").c_str(), scrambled));
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunGame(folder), 1);
    const std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(strErr.find("data\\Base.dat: is a named pipe, not a file"), std::string::npos) << strErr;
    EXPECT_NE(strErr.find("the notice picture bmp\\jiankanyouxi.bmp is damaged"), std::string::npos) << strErr;
}

TEST_F(StartupTest, TheDebugLogGetsTheTableTimeRightAfterTheTables) {
    CShellFolder folder;
    for (const auto& e : std::filesystem::directory_iterator(folder.File("bmp")))
        if (e.path().extension() == ".pkg") std::filesystem::remove(e.path());
    SetCurrentDirectory(folder.Path().c_str());
    {
        CDebugLog log;
        log.Open();
        pDebugLog = &log;
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunGame(folder), 1);  // the picture packages are missing
        testing::internal::GetCapturedStderr();
        pDebugLog = nullptr;
    }
    const std::vector<std::string> steps = Steps();
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), "picture packages");
    std::ifstream in(folder.File("DEBUG.TXT"), std::ios::binary);
    const std::string strLog((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t nAt = strLog.find("BaseDataTime = ");
    ASSERT_NE(nAt, std::string::npos) << strLog;
    const size_t nEnd = strLog.find("\r\n", nAt);
    ASSERT_NE(nEnd, std::string::npos);
    const std::string strMs = strLog.substr(nAt + 15, nEnd - nAt - 15);
    EXPECT_FALSE(strMs.empty());
    EXPECT_EQ(strMs.find_first_not_of("0123456789"), std::string::npos) << strMs;
    // Right after the tables, before the picture packages are opened.
    EXPECT_LT(strLog.find("Read Item Data...OK\r\n"), nAt);
    const size_t nPackages = strLog.find("open data file");
    if (nPackages != std::string::npos) {
        EXPECT_GT(nPackages, nAt);
    }
}

TEST_F(StartupTest, TheNoticePictureStaysTwoSecondsUnlessTheLeftButtonIsPressed) {
    ShellFolderOptions options;
    options.bTables = false;
    CShellFolder folder(options);
    testing::internal::CaptureStderr();
    RunGame(folder);
    const DWORD dwWait = Between("notice picture", "start picture");
    EXPECT_GT(dwWait, 2000u);
    EXPECT_LT(dwWait, 2100u);

    s_steps.clear();
    InjectMouseButton(VK_LBUTTON, true, 10, 10);
    RunGame(folder);
    testing::internal::GetCapturedStderr();
    EXPECT_LT(Between("notice picture", "start picture"), 50u);
    InjectMouseButton(VK_LBUTTON, false, 10, 10);
}

TEST_F(StartupTest, EscSkipsOnlyTheThirdOpeningVideo) {
    ShellFolderOptions options;
    options.bTables = false;
    options.bPlayLeader = true;
    options.bVideos = true;
    CShellFolder folder(options);
    testing::internal::CaptureStderr();
    RunGame(folder);
    const DWORD dwAll = Between("opening videos", "start picture");
    EXPECT_GE(dwAll, 2600u);  // three one-second videos

    // ESC released before the videos: the first two take no messages and play in
    // full; the third takes the key release and ends at once.
    s_steps.clear();
    InjectKey(VK_ESCAPE, true);
    InjectKey(VK_ESCAPE, false);
    RunGame(folder);
    testing::internal::GetCapturedStderr();
    const DWORD dwSkipped = Between("opening videos", "start picture");
    EXPECT_GE(dwSkipped, 1700u);
    EXPECT_LT(dwSkipped, dwAll - 600) << dwSkipped;
}

TEST_F(StartupTest, WithoutPlayLeaderNoVideoPlays) {
    ShellFolderOptions options;
    options.bTables = false;
    options.bVideos = true;
    CShellFolder folder(options);
    testing::internal::CaptureStderr();
    RunGame(folder);
    testing::internal::GetCapturedStderr();
    for (const auto& s : Steps()) EXPECT_NE(s, "opening videos");
}

// The single-instance rule is about windows: a headless run, which has none to find or
// raise, starts in full while another game holds the lock, and neither signals that
// game nor leaves a lock file of its own.
TEST_F(StartupTest, AHeadlessStartNeitherTakesNorHonoursTheInstanceLock) {
    ShellFolderOptions options;
    options.bTables = false;  // start-up runs to the tables and ends there
    CShellFolder folder(options);
    char szTitle[32] = {};
    LoadString(2, szTitle, sizeof szTitle);
    const std::string strLock = SingleInstanceLockPath(szTitle);
    int fds[2], ready[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(pipe(ready), 0);
    std::fflush(nullptr);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The running game: holds the lock until the parent is done, then tells by its
        // exit code whether anyone asked it to raise its window.
        close(fds[1]);
        close(ready[0]);
        if (!AcquireSingleInstance(szTitle)) _exit(3);
        char c = 1;
        (void)!write(ready[1], &c, 1);
        (void)!read(fds[0], &c, 1);
        const bool bAsked = TakeRaiseRequest();
        ReleaseSingleInstance();
        _exit(bAsked ? 4 : 0);
    }
    close(fds[0]);
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    EXPECT_TRUE(std::filesystem::exists(strLock)) << strLock;
    testing::internal::CaptureStderr();
    const int nCode = RunGame(folder);
    const std::string strErr = testing::internal::GetCapturedStderr();
    close(fds[1]);
    int nStatus = 0;
    waitpid(child, &nStatus, 0);
    EXPECT_EQ(nCode, 1) << strErr;  // the missing tables, not the other game, ended it
    ASSERT_FALSE(Steps().empty());
    EXPECT_EQ(Steps().back(), "tables");
    EXPECT_EQ(strErr.find("already runs"), std::string::npos) << strErr;
    EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << "status " << nStatus;
    // Letting go took the holder's lock file with it.
    EXPECT_FALSE(std::filesystem::exists(strLock)) << strLock;
}

}  // namespace
