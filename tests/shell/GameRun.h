// Runs a built program of this project (the game, a dev tool) headless in a folder, with
// an input script and the screenshots written into that folder, and reads back what it
// wrote: its output, its error output and its screenshots.
#pragma once
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "platform/WindowBackend.h"
#include "tests/TempFolder.h"

// The programs of the build the runs start; empty when the build named none.
#ifdef GAME_BINARY
inline const std::string kGame = GAME_BINARY;
#else
inline const std::string kGame;
#endif
#ifdef MKGAME_BINARY
inline const std::string kMkGame = MKGAME_BINARY;
#else
inline const std::string kMkGame;
#endif
#ifdef WORLDPROBE_BINARY
inline const std::string kWorldProbe = WORLDPROBE_BINARY;
#else
inline const std::string kWorldProbe;
#endif
#ifdef SAVETOOL_BINARY
inline const std::string kSaveTool = SAVETOOL_BINARY;
#else
inline const std::string kSaveTool;
#endif
#ifdef LANVIEW_BINARY
inline const std::string kLanView = LANVIEW_BINARY;
#else
inline const std::string kLanView;
#endif
#ifdef MKRES_BINARY
inline const std::string kMkRes = MKRES_BINARY;
#else
inline const std::string kMkRes;
#endif
#ifdef MINIGAMEPROBE_BINARY
inline const std::string kMiniGameProbe = MINIGAMEPROBE_BINARY;
#else
inline const std::string kMiniGameProbe;
#endif
#ifdef UDPDRIVE_BINARY
inline const std::string kUdpDrive = UDPDRIVE_BINARY;
#else
inline const std::string kUdpDrive;
#endif
#ifdef MAPVIEW_BINARY
inline const std::string kMapView = MAPVIEW_BINARY;
#else
inline const std::string kMapView;
#endif
#ifdef DUMPDATA_BINARY
inline const std::string kDumpData = DUMPDATA_BINARY;
#else
inline const std::string kDumpData;
#endif
#ifdef PKGTOOL_BINARY
inline const std::string kPkgTool = PKGTOOL_BINARY;
#else
inline const std::string kPkgTool;
#endif

// The title's new-game button, clicked once the title shows; the game's first scene follows.
inline const std::string kNewGame = "8500 move 280 240\n9000 lbutton down 280 240\n9040 lbutton up 280 240\n";

inline std::string ReadWholeFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct ProgramRun {
    bool bExited = false;
    int nCode = -1;
    std::string strOut, strErr;
};

// How to start a program: its current folder, the folder its output goes to (as
// stdout.txt and stderr.txt), environment changes ("NAME=value" sets, "NAME" removes)
// and the wall-clock limit after which an alarm ends it (it then reads as not exited).
struct ProgramStart {
    std::string strWorkFolder, strOutFolder;
    std::vector<std::string> environment;
    unsigned nWallSeconds = 900;
};

// Starts strProgram with args as set out; its process id, or -1 when it cannot fork.
inline pid_t StartProgram(const std::string& strProgram, const std::vector<std::string>& args,
                          const ProgramStart& start) {
    const std::string strOutFile = start.strOutFolder + "/stdout.txt", strErrFile = start.strOutFolder + "/stderr.txt";
    pid_t child = fork();
    if (child != 0) return child;
    if (chdir(start.strWorkFolder.c_str()) != 0) _exit(90);
    for (const std::string& e : start.environment) {
        const size_t nEq = e.find('=');
        if (nEq == std::string::npos) unsetenv(e.c_str());
        else setenv(e.substr(0, nEq).c_str(), e.c_str() + nEq + 1, 1);
    }
    if (!freopen(strErrFile.c_str(), "w", stderr) || !freopen(strOutFile.c_str(), "w", stdout)) _exit(91);
    // A game that spins ends on its processor time, which a loaded machine does not
    // stretch; the wall-clock alarm only catches one that waits for ever.
    const rlimit cpu{180, 190};
    setrlimit(RLIMIT_CPU, &cpu);
    alarm(start.nWallSeconds);
    std::vector<char*> argv{const_cast<char*>(strProgram.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(strProgram.c_str(), argv.data());
    _exit(92);
}

// Waits for a started program and reads back what it wrote.
inline ProgramRun FinishProgram(pid_t child, const ProgramStart& start) {
    ProgramRun run;
    if (child < 0) return run;
    int nStatus = 0;
    if (waitpid(child, &nStatus, 0) != child) return run;
    run.bExited = WIFEXITED(nStatus);
    run.nCode = run.bExited ? WEXITSTATUS(nStatus) : -1;
    run.strOut = ReadWholeFile(start.strOutFolder + "/stdout.txt");
    run.strErr = ReadWholeFile(start.strOutFolder + "/stderr.txt");
    return run;
}

// How RunProgramIn starts a program in strFolder (for runs started side by side and
// finished later).
inline ProgramStart HeadlessStartIn(const std::string& strFolder, const std::string& strScript,
                                    unsigned nWallSeconds = 900) {
    ProgramStart start;
    start.strWorkFolder = start.strOutFolder = strFolder;
    start.environment = {"GAME_HEADLESS=1", "GAME_SHOT_DIR=" + strFolder};
    // "/dev/null" (or nothing) runs without an input script: the driver reads scripts
    // from regular files only.
    if (!strScript.empty() && strScript != "/dev/null") start.environment.push_back("GAME_INPUT=" + strScript);
    start.nWallSeconds = nWallSeconds;
    return start;
}

// Runs strProgram with args in strFolder (its current folder), GAME_HEADLESS=1, the input
// script strScript and the screenshot folder strFolder; the output goes to files there.
// A run still going after nWallSeconds is ended by an alarm (and reads as not exited).
inline ProgramRun RunProgramIn(const std::string& strFolder, const std::string& strProgram,
                               const std::vector<std::string>& args, const std::string& strScript,
                               unsigned nWallSeconds = 900) {
    const ProgramStart start = HeadlessStartIn(strFolder, strScript, nWallSeconds);
    return FinishProgram(StartProgram(strProgram, args, start), start);
}

// Whether every program named is one the build gave and that exists.
[[nodiscard]] inline ::testing::AssertionResult ProgramsBuilt(std::initializer_list<const std::string*> programs) {
    for (const std::string* p : programs)
        if (p->empty() || !std::filesystem::exists(*p))
            return ::testing::AssertionFailure() << "a program of the build is missing: " << *p;
    return ::testing::AssertionSuccess();
}

// Writes the sample game into FOLDER/game; its path goes to *pGame. The build writes the
// folder once with its own mkgame (SAMPLE_GAME_DIR) and each run takes a copy of it;
// without that folder mkgame writes it here. Fails with the reason when neither works.
[[nodiscard]] inline ::testing::AssertionResult WriteSampleFolder(const CTempFolder& folder, std::string* pGame) {
    *pGame = folder.Path() + "/game";
#ifdef SAMPLE_GAME_DIR
    if (std::filesystem::exists(SAMPLE_GAME_DIR ".stamp")) {
        std::error_code error;
        std::filesystem::copy(SAMPLE_GAME_DIR, *pGame, std::filesystem::copy_options::recursive, error);
        if (error)
            return ::testing::AssertionFailure() << "copying " << SAMPLE_GAME_DIR << " to " << *pGame << ": "
                                                 << error.message();
        return ::testing::AssertionSuccess();
    }
#endif
    if (::testing::AssertionResult built = ProgramsBuilt({&kMkGame}); !built) return built;
    const ProgramRun made = RunProgramIn(folder.Path(), kMkGame, {*pGame}, "/dev/null");
    if (!made.bExited || made.nCode != 0)
        return ::testing::AssertionFailure() << "mkgame " << *pGame << " ended with "
                                             << (made.bExited ? std::to_string(made.nCode) : "a signal") << ": "
                                             << made.strErr;
    return ::testing::AssertionSuccess();
}

// 0xRRGGBB of three channels.
constexpr unsigned PackRgb(int r, int g, int b) { return unsigned(r) << 16 | unsigned(g) << 8 | unsigned(b); }

// Whether two 0xRRGGBB colours differ by at most nTolerance in each channel.
inline bool NearRgb(unsigned a, unsigned b, int nTolerance) {
    for (int nShift : {16, 8, 0})
        if (std::abs(int(a >> nShift & 0xFF) - int(b >> nShift & 0xFF)) > nTolerance) return false;
    return true;
}

// A screenshot read back, with its pixels by screen position.
class CShot {
public:
    explicit CShot(const std::string& strPath) : m_strPath(strPath) { m_bRead = ReadPng(strPath, &m_frame); }
    bool Read() const { return m_bRead && m_frame.nWidth == 800 && m_frame.nHeight == 600; }
    const std::string& Path() const { return m_strPath; }
    // The pixel at (x, y) as 0xRRGGBB.
    unsigned Pixel(int x, int y) const {
        const BYTE* p = m_frame.rgb.data() + (size_t(y) * size_t(m_frame.nWidth) + size_t(x)) * 3;
        return unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | unsigned(p[2]);
    }
    // Whether the pixel at (x, y) is within nTolerance of the colour 0xRRGGBB in each channel.
    bool Near(int x, int y, unsigned rgb, int nTolerance) const { return NearRgb(Pixel(x, y), rgb, nTolerance); }
    // How many pixels of the rectangle are within nTolerance of the colour in each channel.
    int CountNear(const RECT& rc, unsigned rgb, int nTolerance) const {
        int n = 0;
        for (int y = int(rc.top); y < int(rc.bottom); ++y)
            for (int x = int(rc.left); x < int(rc.right); ++x) n += Near(x, y, rgb, nTolerance);
        return n;
    }
    // How many pixels of the rectangle differ from the other screenshot's.
    int Differences(const CShot& other, int x, int y, int w, int h) const {
        int n = 0;
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col) n += Pixel(col, row) != other.Pixel(col, row);
        return n;
    }

private:
    std::string m_strPath;
    FrameImage m_frame;
    bool m_bRead = false;
};
