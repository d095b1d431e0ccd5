// The small dev tools run as a user runs them: the writers' and dumpdata's --help, the mini-game
// probe's kind check and frame limit, the UDP driver's real seconds with a datagram sent
// at it from outside, and the map viewer with a game folder named relative to where it
// starts.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "lan/UdpRecords.h"
#include "platform/UdpSocket.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"

namespace {

bool Contains(const std::string& strText, const std::string& strPart) { return strText.find(strPart) != std::string::npos; }

TEST(ToolArguments, HelpPrintsTheUsageAndAnOptionIsNeverTakenForAFolder) {
    ASSERT_TRUE(ProgramsBuilt({&kMkGame, &kMkRes, &kDumpData}));
    CTempFolder folder("toolhelp");
    for (const std::string* pTool : {&kMkGame, &kMkRes, &kDumpData}) {
        const ProgramRun help = RunProgramIn(folder.Path(), *pTool, {"--help"}, "/dev/null");
        ASSERT_TRUE(help.bExited) << *pTool;
        EXPECT_EQ(help.nCode, 0) << *pTool << ": " << help.strErr;
        EXPECT_TRUE(Contains(help.strOut, "usage:")) << *pTool << ": " << help.strOut;
        const ProgramRun typo = RunProgramIn(folder.Path(), *pTool, {"-x"}, "/dev/null");
        ASSERT_TRUE(typo.bExited) << *pTool;
        EXPECT_EQ(typo.nCode, 2) << *pTool;
        EXPECT_TRUE(Contains(typo.strErr, "unknown option -x")) << *pTool << ": " << typo.strErr;
    }
    // Nothing but the runs' own output files was written.
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        const std::string strName = entry.path().filename().string();
        EXPECT_TRUE(strName == "stdout.txt" || strName == "stderr.txt") << "written: " << strName;
    }
}

TEST(MiniGameProbe, RefusesAKindOutsideOneToFourAndEndsTheGambleAtTheFrameLimit) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kMiniGameProbe}));
    CTempFolder folder("gameprobe");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    for (const char* pszKind : {"9", "0", "two"}) {
        const ProgramRun bad = RunProgramIn(folder.Path(), kMiniGameProbe, {strGame, pszKind}, "/dev/null");
        ASSERT_TRUE(bad.bExited) << pszKind;
        EXPECT_EQ(bad.nCode, 2) << pszKind << ": " << bad.strOut;
        EXPECT_TRUE(Contains(bad.strErr, "KIND must be 1, 2, 3 or 4")) << pszKind << ": " << bad.strErr;
    }
    const ProgramRun noCount = RunProgramIn(folder.Path(), kMiniGameProbe, {strGame, "2", "--frames", "0"}, "/dev/null");
    EXPECT_EQ(noCount.nCode, 2) << noCount.strOut;
    // The gamble waits for a player: nobody plays, and the limit ends it.
    const ProgramRun run =
        RunProgramIn(folder.Path(), kMiniGameProbe, {strGame, "2", "--frames", "40"}, "/dev/null", 300);
    ASSERT_TRUE(run.bExited) << "the gamble never ended: " << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    EXPECT_TRUE(Contains(run.strOut, "kind 2: 40 frames")) << run.strOut;
    EXPECT_TRUE(Contains(run.strOut, "not won, stopped at the frame limit")) << run.strOut;
}

TEST(UdpDrive, ListensForItsSecondsOfRealTimeAndTakesADatagramSentFromOutside) {
    ASSERT_TRUE(ProgramsBuilt({&kUdpDrive}));
    CTempFolder folder("udpdrive");
    // The sender reads the port the peer took from its first line, waits a second and a
    // half (a peer that ends at once is gone by then), then sends a state record to it
    // every 50 ms until the run ends.
    std::atomic<bool> bDone{false};
    std::atomic<int> nSent{0};
    std::thread sender([&] {
        CUdpSocket socket;
        if (!socket.Open()) return;
        unsigned nPort = 0;
        while (!bDone && nPort == 0) {
            const std::string strOut = ReadWholeFile(folder.Path() + "/stdout.txt");
            const size_t n = strOut.find("listening on ");
            if (n != std::string::npos) std::sscanf(strOut.c_str() + n, "listening on %u", &nPort);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        std::vector<std::uint8_t> record(UDP_STATE_SIZE, 0);
        record[8] = 3;
        while (!bDone && nPort != 0) {
            if (socket.SendTo(LoopbackAddress(), std::uint16_t(nPort), record.data(), record.size()) > 0) ++nSent;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const ProgramRun run =
        RunProgramIn(folder.Path(), kUdpDrive, {"peer", "--listen", "0", "--send", "9", "--seconds", "4"}, "/dev/null", 60);
    bDone = true;
    sender.join();
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    EXPECT_TRUE(Contains(run.strOut, "done")) << run.strOut;
    // Four real seconds: the record arrived while the peer listened.
    EXPECT_GT(nSent.load(), 0) << run.strOut;
    EXPECT_TRUE(Contains(run.strOut, "state: result 1, word0 0, word2 3")) << run.strOut;
}

TEST(MapView, DrawsASceneOfAFolderNamedRelativeToWhereItStarts) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kMapView}));
    CTempFolder folder("mapview");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    // Run as outside a desktop session (no display, no runtime folder): it says nothing
    // of displays it does not need.
    ProgramStart start;
    start.strWorkFolder = start.strOutFolder = folder.Path();
    start.environment = {"GAME_HEADLESS", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"};
    const ProgramRun run = FinishProgram(StartProgram(kMapView, {"game", "0", "town.png"}, start), start);
    ASSERT_TRUE(run.bExited) << run.strErr;
    ASSERT_EQ(run.nCode, 0) << run.strErr;
    EXPECT_TRUE(run.strErr.empty()) << run.strErr;
    // The picture lands where the tool started, and shows the town, not a black screen.
    const CShot town(folder.Path() + "/town.png");
    ASSERT_TRUE(town.Read()) << run.strOut;
    EXPECT_LT(town.CountNear(RECT{0, 0, 800, 540}, 0x000000, 8), 800 * 540 / 2);
}

}  // namespace
