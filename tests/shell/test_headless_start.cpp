// Starting the game without a window: scripts/play without a display (a folder named
// from where it was started, what it says it does, where the screenshots go, an idle wait
// at real-time pace), the sample folder it writes and a build folder it lacks, two
// headless games at once, a start that fails on an empty folder, and what a start says
// of a damaged options file or input script.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

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

// Writes the options file as the sample game wrote it (strSample) between two more texts.
void WriteOptions(const std::string& strGame, const std::string& strSample, const std::string& strBefore,
                  const std::string& strAfter) {
    std::ofstream(strGame + "/fenwik.ini", std::ios::binary) << strBefore << strSample << strAfter;
}

// Lines of the output that hold a byte outside printable ASCII.
int RawLines(const std::string& strErr) {
    int n = 0;
    std::istringstream in(strErr);
    for (std::string strLine; std::getline(in, strLine);)
        n += std::any_of(strLine.begin(), strLine.end(), [](char c) { return c < 0x20 || c > 0x7E; });
    return n;
}

// Damaged input echoes a screenful at most: each text from it quoted short and escaped,
// twenty lines of a kind, then one line that counts the rest.
TEST_F(HeadlessStart, EchoesOfDamagedInputAreQuotedAndBounded) {
    const std::string strSample = ReadWholeFile(m_strGame + "/fenwik.ini");
    const std::string strLong(1 << 20, 'n'), strCut = " (first 80 of 1048576 bytes)";
    std::string strJunk;
    for (int i = 0; i < 200000; ++i) strJunk += "junk\n";
    std::string strShots = "7000 shot no-folder/" + strLong + "\n";
    for (int i = 0; i < 30; ++i) strShots += "7000 shot no-folder/" + std::to_string(i) + ".png\n";
    // Before the sample's own keys, so that they are the ones read.
    const std::string strBefore = strLong + "=1\n[Option]\nMusic=" + strLong + "\n";
    std::string strAfter = "[" + strLong + "]\n[Option]\n" + std::string("K\0ey\x01\xFF=1\n", 9);
    for (int i = 0; i < 100000; ++i) strAfter += "A=1\n";
    struct Case {
        const char* pszName;
        std::string strScript, strBefore, strAfter;
        std::vector<std::string> expected;
    };
    const std::string strInput = "input script " + m_strGame + "/input.txt";
    const std::string strShotCut =
        " (first 80 of " + std::to_string(m_strGame.size() + 11 + strLong.size()) + " bytes): ";  // "/no-folder/"
    const Case cases[] = {
        {"bad lines", strJunk, "", "",
         {strInput + " line 20: a line starts with a time in milliseconds or 'frame': \"junk\" (line skipped)\n",
          strInput + ": 199980 more bad lines skipped, not listed\n"}},
        {"failing shots", strShots, "", "",
         {strInput + " line 1: screenshot \"", strShotCut, strInput + " line 20: screenshot \"",
          strInput + ": more screenshots failed; the later ones are not reported\n"}},
        {"long and binary names", "", strBefore, strAfter,
         {"game: fenwik.ini: [Option] Music=\"nnnn", strCut + " is not a whole number; its leading digits give 0\n",
          "game: fenwik.ini: key \"nnnn", strCut + " stands before any section; it is ignored\n",
          "game: fenwik.ini: section \"nnnn", strCut + " is not one the game reads",
          "game: fenwik.ini: [Option] \"K\\x00ey\\x01\\xFF\" is not a key the game reads; it is ignored\n",
          "game: fenwik.ini: 99984 more problems, not listed\n"}},
    };
    for (const Case& c : cases) {
        WriteOptions(m_strGame, strSample, c.strBefore, c.strAfter);
        const ProgramRun run = RunGame(c.strScript + "8000 close\n");
        EXPECT_TRUE(run.bExited && run.nCode == 0) << c.pszName << ": " << run.strErr.substr(0, 2000);
        EXPECT_LT(run.strErr.size(), 8000u) << c.pszName;
        EXPECT_EQ(std::count(run.strErr.begin(), run.strErr.end(), '\n'), 21) << c.pszName;
        EXPECT_EQ(RawLines(run.strErr), 0) << c.pszName;
        for (const std::string& strText : c.expected)
            EXPECT_NE(run.strErr.find(strText), std::string::npos) << c.pszName << ": " << strText << "\n"
                                                                   << run.strErr.substr(0, 8000);
    }
}

// An options file that cannot be read or holds values that are not whole numbers is
// named, and the game starts with the defaults or the values' leading digits (the screen
// size shows which were used); a byte-order mark at the start of the options file or the
// input script is passed over.
TEST_F(HeadlessStart, BadOptionValuesAreNamedOnceAndTheGameGoesOnWithTheDefaults) {
    const std::string strSample = ReadWholeFile(m_strGame + "/fenwik.ini");
    struct Case {
        const char* pszName;
        bool bFolder;
        std::string strBefore, strScript;
        int nWidth, nHeight;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"folder", true, "", "", 640, 480, {"game: fenwik.ini: is a folder, not a file; every option takes its default\n"}},
        {"not whole numbers", false, "[Option]\nScreenWidth=800abc\nScreenHeight=0x320\n", "", 800, 480,
         {"game: fenwik.ini: [Option] ScreenWidth=\"800abc\" is not a whole number; its leading digits give 800\n",
          "game: fenwik.ini: [Option] ScreenHeight=\"0x320\" is not a whole number; its leading digits give 0\n",
          "game: fenwik.ini: [Option] ScreenHeight=0 is outside 480..8192; 480 is used\n"}},
        {"byte-order marks", false, "\xEF\xBB\xBF[Option]\nScreenWidth=720\n", "\xEF\xBB\xBF", 720, 600, {}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(m_strGame + "/fenwik.ini");
        if (c.bFolder) std::filesystem::create_directory(m_strGame + "/fenwik.ini");
        else WriteOptions(m_strGame, strSample, c.strBefore, "");
        const ProgramRun run = RunGame(c.strScript + "7000 shot on.png\n8000 close\n");
        EXPECT_TRUE(run.bExited && run.nCode == 0) << c.pszName << ": " << run.strErr;
        EXPECT_EQ(std::count(run.strErr.begin(), run.strErr.end(), '\n'), long(c.expected.size()))
            << c.pszName << ": " << run.strErr;
        for (const std::string& strText : c.expected)
            EXPECT_NE(run.strErr.find(strText), std::string::npos) << c.pszName << ": " << run.strErr;
        FrameImage shot;
        EXPECT_TRUE(ReadPng(Shot("on.png"), &shot)) << c.pszName;
        EXPECT_EQ(shot.nWidth, c.nWidth) << c.pszName;
        EXPECT_EQ(shot.nHeight, c.nHeight) << c.pszName;
        std::filesystem::remove(Shot("on.png"));
    }
}

}  // namespace
