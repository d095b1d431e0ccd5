// The runner the end-to-end tests start programs with: a program that never started or
// never ended reads as a failed run, never as a clean exit, and the sample folder's
// writer fails with mkgame's reason when mkgame cannot write it.
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"

namespace {

TEST(GameRun, AProgramThatNeverStartedOrNeverEndedIsNoCleanExit) {
    CTempFolder folder("gamerun");
    const ProgramRun missing = RunProgramIn(folder.Path(), folder.File("no-such-program"), {}, "/dev/null");
    EXPECT_FALSE(missing.bExited && missing.nCode == 0) << missing.nCode;
    const ProgramRun cut = RunProgramIn(folder.Path(), "/bin/sleep", {"30"}, "/dev/null", 1);
    EXPECT_FALSE(cut.bExited);
    EXPECT_EQ(cut.nCode, -1);
    const ProgramRun ran = RunProgramIn(folder.Path(), "/bin/sh", {"-c", "echo out; echo err >&2; exit 3"}, "/dev/null");
    EXPECT_TRUE(ran.bExited);
    EXPECT_EQ(ran.nCode, 3);
    EXPECT_EQ(ran.strOut, "out\n");
    EXPECT_EQ(ran.strErr, "err\n");
}

TEST(GameRun, TheSampleFolderWriterFailsWithItsReason) {
    CTempFolder folder("gamerun");
    folder.Write("game", "a file where the folder goes");
    std::string strGame;
    const ::testing::AssertionResult made = WriteSampleFolder(folder, &strGame);
    EXPECT_FALSE(made);
    // The build's copy could not be taken, or mkgame (without one) failed: either names
    // the folder and says why.
    const std::string strWhy = made.message();
    EXPECT_TRUE(strWhy.find("copying ") != std::string::npos || strWhy.find("ended with 1: mkgame: ") != std::string::npos)
        << strWhy;
    EXPECT_NE(strWhy.find(folder.Path() + "/game"), std::string::npos) << strWhy;
}

}  // namespace
