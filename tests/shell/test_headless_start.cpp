// Starting the game without a window: scripts/play without a display (a folder named
// from where it was started, what it says it does, where the screenshots go, an idle wait
// at real-time pace), the sample folder it writes and a build folder it lacks, two
// headless games at once, and a start that fails on an empty folder.
#include <filesystem>
#include <fstream>

#include "tests/shell/SampleGameRun.h"

namespace {

class HeadlessStart : public SampleGameRun {
protected:
    HeadlessStart() : SampleGameRun("headless") {}
    void SetUp() override { ASSERT_TRUE(WriteSampleGame()); }
    std::string Script(const std::string& strName, const std::string& strText) const {
        const std::string strPath = m_strRun + "/" + strName;
        std::ofstream(strPath) << strText;
        return strPath;
    }
};

// The build folder of the game the tests run (…/shell/game).
std::string BuildFolder() { return std::filesystem::path(kGame).parent_path().parent_path().string(); }

TEST_F(HeadlessStart, PlayWithoutADisplayTakesTheFolderFromWhereItStartedAndSaysHowItEnds) {
    // Started from the test's folder with the game folder named relative to it; no
    // display, no screenshot folder: the shot goes to the game folder.
    ProgramStart start;
    start.strWorkFolder = m_folder.Path();
    start.strOutFolder = m_strRun;
    start.environment = {"DISPLAY", "WAYLAND_DISPLAY", "GAME_HEADLESS", "GAME_SHOT_DIR",
                         "GAME_BUILD=" + BuildFolder(), "GAME_INPUT=run/title.txt"};
    Script("title.txt", "7500 shot title.png\n8000 close\n");
    const ProgramRun run =
        FinishProgram(StartProgram("/bin/bash", {std::string(GAME_SOURCE_DIR) + "/scripts/play", "game"}, start), start);
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    EXPECT_NE(run.strErr.find("runs headless"), std::string::npos) << run.strErr;
    EXPECT_NE(run.strErr.find("ends at its 'close' line, or on Ctrl+C"), std::string::npos) << run.strErr;
    EXPECT_NE(run.strErr.find("screenshots the script asks for go to " + m_strGame + "\n"), std::string::npos)
        << run.strErr;
    EXPECT_TRUE(CShot(m_strGame + "/title.png").Read());

    // Without an input script it says that only Ctrl+C ends it (cut short here), and its
    // clock keeps to real time: the sound mixed as the clock goes lasts no longer than the
    // 3 s run (a clock running free mixes minutes of it).
    start.environment = {"DISPLAY", "WAYLAND_DISPLAY", "GAME_HEADLESS", "GAME_INPUT", "GAME_BUILD=" + BuildFolder(),
                         "GAME_AUDIO_WAV=run/idle.wav"};
    start.nWallSeconds = 3;
    const ProgramRun idle =
        FinishProgram(StartProgram("/bin/bash", {std::string(GAME_SOURCE_DIR) + "/scripts/play", "game"}, start), start);
    EXPECT_FALSE(idle.bExited);
    EXPECT_NE(idle.strErr.find("waits until Ctrl+C"), std::string::npos) << idle.strErr;
    // (The file is opened with the first sound, which a slow start may not reach.)
    std::error_code ec;
    const auto nWavBytes = std::filesystem::file_size(m_strRun + "/idle.wav", ec);
    EXPECT_LT(ec ? 0.0 : double(nWavBytes) / (44100 * 4), 4.0) << "seconds of sound mixed in a 3 s run";

    // A folder that is not there is named, and nothing starts.
    start.nWallSeconds = 60;
    const ProgramRun missing =
        FinishProgram(StartProgram("/bin/bash", {std::string(GAME_SOURCE_DIR) + "/scripts/play", "no-such"}, start),
                      start);
    EXPECT_TRUE(missing.bExited && missing.nCode == 2) << missing.strErr;
    EXPECT_NE(missing.strErr.find("play: no-such is not a folder"), std::string::npos) << missing.strErr;
}

// scripts/play without a folder writes the sample folder only when it is missing or was
// written by another mkgame, names a build folder that lacks the game, and keeps quiet
// about a build that had nothing to do. The build here
// is a stand-in whose mkgame writes one line and whose game prints the folder's options.
TEST(PlayScript, WritesTheSampleFolderOnlyForAnotherMkgameNamesAMissingBuildAndBuildsQuietly) {
    CTempFolder folder("playstamp");
    const std::string strRoot = folder.Path(), strBuild = strRoot + "/stand-in";
    std::filesystem::create_directories(strRoot + "/scripts");
    std::filesystem::create_directories(strBuild + "/tools");
    std::filesystem::create_directories(strBuild + "/shell");
    std::filesystem::copy_file(std::string(GAME_SOURCE_DIR) + "/scripts/play", strRoot + "/scripts/play");
    auto writeProgram = [](const std::string& strPath, const std::string& strText) {
        std::ofstream(strPath) << "#!/bin/sh\n" << strText;
        std::filesystem::permissions(strPath, std::filesystem::perms::owner_all);
    };
    writeProgram(strBuild + "/tools/mkgame", "mkdir -p \"$1\" && echo written > \"$1/fenwik.ini\"\n");
    writeProgram(strBuild + "/shell/game", "cat fenwik.ini\n");
    ProgramStart start;
    start.strWorkFolder = start.strOutFolder = strRoot;
    start.environment = {"GAME_HEADLESS=1", "GAME_INPUT", "GAME_BUILD=stand-in"};
    auto play = [&] { return FinishProgram(StartProgram("/bin/bash", {strRoot + "/scripts/play"}, start), start); };
    const std::string strOptions = strRoot + "/build/sample-game/fenwik.ini";

    EXPECT_EQ(play().strOut, "written\n");
    std::ofstream(strOptions) << "edited\n";
    EXPECT_EQ(play().strOut, "edited\n") << "a second start wrote the folder again";
    writeProgram(strBuild + "/tools/mkgame", "mkdir -p \"$1\" && echo rebuilt > \"$1/fenwik.ini\"\n");
    EXPECT_EQ(play().strOut, "rebuilt\n") << "another mkgame did not write the folder";

    start.environment.back() = "GAME_BUILD=build/release";
    const ProgramRun missing = play();
    EXPECT_TRUE(missing.bExited && missing.nCode == 2) << missing.strErr;
    EXPECT_NE(missing.strErr.find("play: the build folder " + strRoot + "/build/release has no shell/game"),
              std::string::npos)
        << missing.strErr;

    // Without GAME_BUILD it builds first (the stand-in build says what the file "said"
    // holds): nothing of a build that had nothing to do, one line for one that built, and
    // a failed build's words without its progress lines, and no game then.
    writeProgram(strRoot + "/scripts/deps", "exit 0\n");
    writeProgram(strRoot + "/scripts/build", "cat scripts/said >&2; echo stand-in; exit $(cat scripts/code)\n");
    start.environment = {"GAME_HEADLESS=1", "GAME_INPUT", "GAME_BUILD"};
    auto build = [&](const std::string& strSaid, int nCode) {
        std::ofstream(strRoot + "/scripts/said") << strSaid;
        std::ofstream(strRoot + "/scripts/code") << nCode;
        return play();
    };
    std::string strBuilt;
    for (int i = 0; i < 21; ++i)
        strBuilt += "[" + std::to_string(i * 5) + "%] Built target t" + std::to_string(i) + "\n";
    const ProgramRun same = build(strBuilt, 0);
    EXPECT_EQ(same.strOut, "rebuilt\n");
    EXPECT_EQ(same.strErr.find("Built target"), std::string::npos) << same.strErr;
    EXPECT_EQ(same.strErr.find("play: building"), std::string::npos) << same.strErr;
    const ProgramRun built =
        build("[ 10%] Building CXX object shell/x.o\n[ 20%] Linking CXX executable game\n" + strBuilt, 0);
    EXPECT_EQ(built.strOut, "rebuilt\n");
    EXPECT_EQ(built.strErr.find("Linking"), std::string::npos) << built.strErr;
    EXPECT_EQ(built.strErr.find("Built target"), std::string::npos) << built.strErr;
    EXPECT_EQ(built.strErr.find("play: building"), built.strErr.rfind("play: building")) << built.strErr;
    EXPECT_NE(built.strErr.find("play: building"), std::string::npos) << built.strErr;
    const ProgramRun failed = build("[ 10%] Building CXX object shell/x.o\nx.cpp:1:1: error: no\n" + strBuilt, 2);
    EXPECT_TRUE(failed.bExited && failed.nCode == 1) << failed.strErr;
    EXPECT_EQ(failed.strOut, "");
    EXPECT_NE(failed.strErr.find("x.cpp:1:1: error: no\n"), std::string::npos) << failed.strErr;
    EXPECT_EQ(failed.strErr.find("Built target"), std::string::npos) << failed.strErr;
}

TEST_F(HeadlessStart, TwoHeadlessGamesOfOneUserRunSideBySide) {
    // Both share the runtime folder (the fixture's): neither keeps the other out.
    ProgramStart first, second;
    first.strWorkFolder = second.strWorkFolder = m_strGame;
    first.strOutFolder = m_folder.Path();
    second.strOutFolder = m_strRun;
    first.environment = {"GAME_HEADLESS=1", "GAME_INPUT=" + Script("a.txt", "7000 shot a.png\n7500 close\n"),
                         "GAME_SHOT_DIR=" + m_strRun};
    second.environment = {"GAME_HEADLESS=1", "GAME_INPUT=" + Script("b.txt", "7000 shot b.png\n7500 close\n"),
                          "GAME_SHOT_DIR=" + m_strRun};
    const pid_t a = StartProgram(kGame, {}, first);
    const pid_t b = StartProgram(kGame, {}, second);
    const ProgramRun runA = FinishProgram(a, first), runB = FinishProgram(b, second);
    EXPECT_TRUE(runA.bExited && runA.nCode == 0) << runA.strErr;
    EXPECT_TRUE(runB.bExited && runB.nCode == 0) << runB.strErr;
    EXPECT_TRUE(CShot(Shot("a.png")).Read());
    EXPECT_TRUE(CShot(Shot("b.png")).Read());
    EXPECT_TRUE(std::filesystem::is_empty(ProcessTempFolder().Path())) << "a headless run leaves no lock file";
}

TEST_F(HeadlessStart, AStartThatFailsOnAnEmptyFolderLeavesItAsItWas) {
    const std::string strEmpty = m_folder.File("empty");
    std::filesystem::create_directories(strEmpty);
    ProgramStart start;
    start.strWorkFolder = strEmpty;
    start.strOutFolder = m_strRun;
    start.environment = {"GAME_HEADLESS=1", "GAME_INPUT=" + Script("none.txt", "60000 close\n")};
    const ProgramRun run = FinishProgram(StartProgram(kGame, {}, start), start);
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 1) << run.strErr;
    EXPECT_NE(run.strErr.find("Base.dat"), std::string::npos) << run.strErr;
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(strEmpty)) left.push_back(e.path().filename().string());
    EXPECT_TRUE(left.empty()) << left.front();
}

}  // namespace
