// The game in a real window, on a virtual X display started with xvfb-run: a click on
// the title starts a new game, a second windowed start only raises the window, Alt+Enter
// goes to full screen over the whole display (there is no window manager) and back, the
// window then still shows the whole 800 x 600 screen, pixel for pixel as a headless run
// draws the same map, and a close request from the window manager's side ends the game
// with exit code 0; without a sound card it says so in one line. Input goes in through
// xdotool (real X input); the window is looked at with Xlib. Skipped, saying why, where
// they are absent.
#include <fcntl.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/shell/SampleGameRun.h"

#ifdef GAME_TEST_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace {

using namespace std::chrono_literals;

// The full path of a program on PATH, or "".
std::string FindOnPath(const std::string& strName) {
    const char* pszPath = std::getenv("PATH");
    std::istringstream in(pszPath ? pszPath : "/usr/bin:/bin");
    std::string strDir;
    while (std::getline(in, strDir, ':'))
        if (!strDir.empty() && access((strDir + "/" + strName).c_str(), X_OK) == 0) return strDir + "/" + strName;
    return "";
}

// Polls until bDone() or the time is up; the last answer.
template <class Done>
bool WaitFor(std::chrono::milliseconds limit, Done bDone) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!bDone()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

#ifdef GAME_TEST_X11

// A virtual display from xvfb-run, kept while the object lives: xvfb-run runs a shell
// that writes the display's name and authority file, then waits for its input to close.
class CVirtualDisplay {
public:
    explicit CVirtualDisplay(const std::string& strFolder) {
        const std::string strInfo = strFolder + "/display.txt";
        int fds[2];
        if (pipe(fds) != 0) return;
        std::fflush(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            dup2(fds[0], 0);
            close(fds[0]);
            close(fds[1]);
            setpgid(0, 0);
            const std::string strShell = "echo \"$DISPLAY $XAUTHORITY\" > '" + strInfo + "'.part && mv '" + strInfo +
                                         "'.part '" + strInfo + "' && exec cat >/dev/null";
            if (!freopen((strFolder + "/xvfb.txt").c_str(), "w", stderr)) _exit(91);
            execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -nolisten tcp", "sh", "-c",
                   strShell.c_str(), static_cast<char*>(nullptr));
            _exit(92);
        }
        close(fds[0]);
        m_nInput = fds[1];
        std::string strLine;
        WaitFor(30s, [&] {
            std::ifstream in(strInfo);
            return static_cast<bool>(std::getline(in, strLine));
        });
        std::istringstream line(strLine);
        line >> m_strDisplay >> m_strAuthority;
    }
    ~CVirtualDisplay() {
        if (m_pDisplay) XCloseDisplay(m_pDisplay);
        if (m_nInput >= 0) close(m_nInput);  // the shell's cat ends; xvfb-run stops the server
        if (m_pid > 0) {
            int nStatus = 0;
            if (!WaitFor(20s, [&] { return waitpid(m_pid, &nStatus, WNOHANG) == m_pid; })) {
                kill(-m_pid, SIGTERM);
                waitpid(m_pid, &nStatus, 0);
            }
        }
    }
    CVirtualDisplay(const CVirtualDisplay&) = delete;
    CVirtualDisplay& operator=(const CVirtualDisplay&) = delete;

    // Opens the display for this process; false when the server never came up.
    bool Open() {
        if (m_strDisplay.empty()) return false;
        setenv("DISPLAY", m_strDisplay.c_str(), 1);
        setenv("XAUTHORITY", m_strAuthority.c_str(), 1);
        m_pDisplay = XOpenDisplay(m_strDisplay.c_str());
        // A window can go away between listing it and asking for its attributes (the
        // game's own windows come and go while it starts): the failed request then reads
        // as "no such window" instead of Xlib's default handler ending the test.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        return m_pDisplay != nullptr;
    }
    const std::string& Name() const { return m_strDisplay; }
    const std::string& Authority() const { return m_strAuthority; }

    // The biggest viewable top-level window of process nPid, 0 for none.
    Window WindowOf(pid_t nPid) {
        Window root = DefaultRootWindow(m_pDisplay), parent = 0, *pChildren = nullptr;
        unsigned nChildren = 0;
        Window found = 0;
        long nBest = 0;
        const Atom pidAtom = XInternAtom(m_pDisplay, "_NET_WM_PID", False);
        if (!XQueryTree(m_pDisplay, root, &root, &parent, &pChildren, &nChildren)) return 0;
        for (unsigned i = 0; i < nChildren; ++i) {
            XWindowAttributes attr;
            if (!XGetWindowAttributes(m_pDisplay, pChildren[i], &attr) || attr.map_state != IsViewable) continue;
            Atom type = 0;
            int nFormat = 0;
            unsigned long nItems = 0, nAfter = 0;
            unsigned char* pData = nullptr;
            if (XGetWindowProperty(m_pDisplay, pChildren[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &nFormat,
                                   &nItems, &nAfter, &pData) == Success &&
                pData && nItems == 1 && nFormat == 32 && pid_t(*reinterpret_cast<unsigned long*>(pData)) == nPid &&
                long(attr.width) * attr.height > nBest) {
                found = pChildren[i];
                nBest = long(attr.width) * attr.height;
            }
            if (pData) XFree(pData);
        }
        if (pChildren) XFree(pChildren);
        return found;
    }
    // The window's place on the screen and its size (its client area: there is no
    // window manager to frame it).
    RECT RectOf(Window w) {
        XWindowAttributes attr;
        if (!XGetWindowAttributes(m_pDisplay, w, &attr)) return RECT{0, 0, 0, 0};
        return RECT{attr.x, attr.y, attr.x + attr.width, attr.y + attr.height};
    }
    // The window's pixels of a rectangle as 0xRRGGBB, row after row; empty when unreadable.
    std::vector<unsigned> Pixels(Window w, int x, int y, int nWidth, int nHeight) {
        std::vector<unsigned> pixels;
        XImage* pImage = XGetImage(m_pDisplay, w, x, y, unsigned(nWidth), unsigned(nHeight), AllPlanes, ZPixmap);
        if (!pImage) return pixels;
        for (int row = 0; row < nHeight; ++row)
            for (int col = 0; col < nWidth; ++col) pixels.push_back(unsigned(XGetPixel(pImage, col, row) & 0xFFFFFF));
        XDestroyImage(pImage);
        return pixels;
    }
    // What a window manager sends when the user closes the window.
    void RequestClose(Window w) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = XInternAtom(m_pDisplay, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = long(XInternAtom(m_pDisplay, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_pDisplay, w, False, NoEventMask, &ev);
        XFlush(m_pDisplay);
    }

private:
    pid_t m_pid = -1;
    int m_nInput = -1;
    std::string m_strDisplay, m_strAuthority;
    Display* m_pDisplay = nullptr;
};

class RealWindow : public SampleGameRun {
protected:
    RealWindow() : SampleGameRun("realwindow") {}
    // Runs xdotool with the arguments; true when it succeeded.
    bool XDoTool(const std::vector<std::string>& args) {
        // Its output has a folder of its own: the game's stderr stays whole.
        ProgramStart start;
        start.strWorkFolder = start.strOutFolder = m_strRun + "/xdotool";
        std::filesystem::create_directories(start.strOutFolder);
        start.nWallSeconds = 20;
        const ProgramRun run = FinishProgram(StartProgram(m_strXDoTool, args, start), start);
        EXPECT_TRUE(run.bExited && run.nCode == 0) << "xdotool: " << run.strErr;
        return run.bExited && run.nCode == 0;
    }
    std::string m_strXDoTool;
};

// How many pixels of two equal-sized pixel lists are within nTolerance in each channel.
int Matching(const std::vector<unsigned>& a, const std::vector<unsigned>& b, int nTolerance) {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += NearRgb(a[i], b[i], nTolerance);
    return n;
}

TEST_F(RealWindow, NewGameAltEnterTwiceThenTheWholeMapShowsAndACloseEndsTheGame) {
#ifdef __SANITIZE_ADDRESS__
    // The window's system libraries keep memory to the end; their suppressions come with
    // the test, however it is run.
    const char* pszLeaks = std::getenv("LSAN_OPTIONS");
    EXPECT_NE(std::string(pszLeaks ? pszLeaks : "").find(GAME_SOURCE_DIR "/tests/lsan.supp"), std::string::npos);
#endif
    if (FindOnPath("xvfb-run").empty() || FindOnPath("Xvfb").empty())
        GTEST_SKIP() << "xvfb-run or Xvfb is not installed (Debian package xvfb): the real window is not tested";
    m_strXDoTool = FindOnPath("xdotool");
    if (m_strXDoTool.empty())
        GTEST_SKIP() << "xdotool is not installed (Debian package xdotool): the real window is not tested";
    ASSERT_TRUE(WriteSampleGame());

    // What the title and the map look like: the same new game, headless. The title comes
    // at 8 s; before it the third opening video plays, which drops a click, so the title's
    // picture is taken after 8 s (and before the move of the click at 8.5 s).
    const ProgramRun headless =
        RunGame("7500 shot video.png\n8400 shot title.png\n" + kNewGame +
                "11000 shot map.png\n11100 move 160 80\n11300 shot cursor.png\n11500 close\n");
    ASSERT_TRUE(headless.bExited && headless.nCode == 0) << headless.strErr;
    const CShot video(Shot("video.png")), title(Shot("title.png")), map(Shot("map.png")), cursor(Shot("cursor.png"));
    ASSERT_TRUE(video.Read() && title.Read() && map.Read() && cursor.Read());

    CVirtualDisplay display(m_strRun);
    ASSERT_TRUE(display.Open()) << "no virtual display: " << ReadWholeFile(m_strRun + "/xvfb.txt");
    ProgramStart game;
    game.strWorkFolder = m_strGame;
    game.strOutFolder = m_strRun;
    // A machine without a sound card: the sound device named is not there.
    game.environment = {"GAME_HEADLESS", "GAME_INPUT", "SDL_AUDIODRIVER=alsa", "AUDIODEV=no-such-card",
                        "DISPLAY=" + display.Name(), "XAUTHORITY=" + display.Authority()};
    game.nWallSeconds = 300;
    const pid_t pid = StartProgram(kGame, {}, game);
    ASSERT_GT(pid, 0);
    // A run that fails half-way does not leave the game behind.
    struct Reaper {
        pid_t pid;
        bool bEnded = false;
        ~Reaper() {
            if (bEnded) return;
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } reaper{pid};
    Window window = 0;
    ASSERT_TRUE(WaitFor(120s, [&] { return (window = display.WindowOf(pid)) != 0; }))
        << ReadWholeFile(m_strRun + "/stderr.txt");
    const std::string strWindow = std::to_string(window);
    EXPECT_TRUE(EqualRect(display.RectOf(window), RECT{112, 84, 912, 684}));  // centred on 1024 x 768

    // The screen's top-left 320 x 160, away from the buttons, the cursor, the heroine
    // and the characters.
    constexpr int kPatchW = 320, kPatchH = 160;
    // Where the headless run moved the pointer after its map shot, inside that patch.
    constexpr int kCursorX = 160, kCursorY = 80;
    auto patchOf = [&](const CShot& shot) {
        std::vector<unsigned> patch;
        for (int y = 0; y < kPatchH; ++y)
            for (int x = 0; x < kPatchW; ++x) patch.push_back(shot.Pixel(x, y));
        return patch;
    };
    const std::vector<unsigned> titlePatch = patchOf(title), mapPatch = patchOf(map);
    // The window must not pass for the title while the video still plays.
    ASSERT_LT(Matching(patchOf(video), titlePatch, 8), kPatchW * kPatchH / 2);
    auto shows = [&](const std::vector<unsigned>& patch) {
        return Matching(display.Pixels(window, 0, 0, kPatchW, kPatchH), patch, 8) > kPatchW * kPatchH * 9 / 10;
    };
    ASSERT_TRUE(WaitFor(120s, [&] { return shows(titlePatch); })) << ReadWholeFile(m_strRun + "/stderr.txt");
    XDoTool({"mousemove", "--window", strWindow, "280", "240", "click", "1"});
    ASSERT_TRUE(WaitFor(60s, [&] { return shows(mapPatch); })) << ReadWholeFile(m_strRun + "/stderr.txt");

    // A second windowed start only raises this window.
    ProgramStart second = game;
    second.strOutFolder = m_folder.Path();
    second.nWallSeconds = 60;
    const ProgramRun again = FinishProgram(StartProgram(kGame, {}, second), second);
    EXPECT_TRUE(again.bExited && again.nCode == 0) << again.strErr;
    EXPECT_NE(again.strErr.find("the game already runs; its window was raised"), std::string::npos) << again.strErr;

    // For its first 200 ms on a new map the game drops all input, so an Alt+Enter sent as
    // soon as the map shows may be lost (and under load the map shows well inside that
    // time). The game's own cursor following the pointer shows that it takes input again
    // (and, coming after the raise request, that the raise was handled): each try moves
    // the pointer away and back, since the game may have dropped the last move.
    const auto cursorPixels = [&] {
        std::vector<POINT> pixels;
        for (int y = kCursorY - 16; y < kCursorY + 32; ++y)
            for (int x = kCursorX - 16; x < kCursorX + 32; ++x)
                if (!NearRgb(cursor.Pixel(x, y), map.Pixel(x, y), 8)) pixels.push_back(POINT{x, y});
        return pixels;
    }();
    ASSERT_GE(cursorPixels.size(), 20u) << "the game's cursor does not show in " << cursor.Path();
    auto showsCursor = [&] {
        const std::vector<unsigned> pixels = display.Pixels(window, kCursorX - 16, kCursorY - 16, 48, 48);
        if (pixels.size() != 48u * 48u) return false;
        size_t nSame = 0;
        for (const POINT& pt : cursorPixels)
            nSame += NearRgb(pixels[size_t(pt.y - kCursorY + 16) * 48 + size_t(pt.x - kCursorX + 16)],
                             cursor.Pixel(pt.x, pt.y), 8);
        return nSame * 10 >= cursorPixels.size() * 9;
    };
    const std::string strCursorX = std::to_string(kCursorX), strCursorY = std::to_string(kCursorY);
    ASSERT_TRUE(WaitFor(30s, [&] {
        if (showsCursor()) return true;
        XDoTool({"mousemove", "--window", strWindow, "400", "300", "mousemove", "--window", strWindow, strCursorX,
                 strCursorY});
        return false;
    })) << "the game's cursor never followed the pointer to " << strCursorX << "," << strCursorY;

    // Alt+Enter twice: full screen covers the whole display, though no window manager
    // answers the request, and shows the screen's lower part (the toolbar, right end
    // included) scaled to it; then back in a window, centred, the whole screen shows again.
    auto at = [&](const RECT& rc) { return EqualRect(display.RectOf(window), rc); };
    auto where = [&] {
        const RECT rc = display.RectOf(window);
        return testing::Message() << rc.left << "," << rc.top << " " << rc.right - rc.left << " x " << rc.bottom - rc.top;
    };
    XDoTool({"mousemove", "--window", strWindow, "400", "300", "key", "alt+Return"});
    EXPECT_TRUE(WaitFor(10s, [&] { return at(RECT{0, 0, 1024, 768}); })) << where();
    int nScaledSame = 0, nScaledAll = 0;
    auto showsScaledBottom = [&] {
        constexpr int kTop = 608, kRows = 768 - kTop;
        const std::vector<unsigned> band = display.Pixels(window, 0, kTop, 1024, kRows);
        nScaledSame = nScaledAll = 0;
        for (int y = 0; y < kRows && band.size() == 1024u * kRows; y += 8)
            for (int x = 0; x < 1024; x += 8, ++nScaledAll)
                // A window pixel spans parts of up to two frame pixels each way.
                nScaledSame += [&](int nFx, int nFy) {
                    for (int i = 0; i < 4; ++i)
                        if (NearRgb(band[size_t(y) * 1024 + size_t(x)], map.Pixel(nFx + i % 2, nFy + i / 2), 8))
                            return true;
                    return false;
                }(x * 800 / 1024, (kTop + y) * 600 / 768);
        return nScaledAll > 0 && nScaledSame * 10 >= nScaledAll * 9;
    };
    EXPECT_TRUE(WaitFor(5s, showsScaledBottom)) << nScaledSame << " of " << nScaledAll << " pixels match";
    XDoTool({"key", "alt+Return"});
    EXPECT_TRUE(WaitFor(10s, [&] { return at(RECT{112, 84, 912, 684}); })) << where();
    EXPECT_TRUE(WaitFor(5s, [&] { return shows(mapPatch); }));

    display.RequestClose(window);
    ProgramRun run;
    reaper.bEnded = WaitFor(60s, [&] {
        int nStatus = 0;
        if (waitpid(pid, &nStatus, WNOHANG) != pid) return false;
        run.bExited = WIFEXITED(nStatus);
        run.nCode = run.bExited ? WEXITSTATUS(nStatus) : -1;
        return true;
    });
    EXPECT_TRUE(reaper.bEnded) << "the game did not end after the close request";
    const std::string strErr = ReadWholeFile(m_strRun + "/stderr.txt");
    EXPECT_TRUE(run.bExited && run.nCode == 0) << strErr;
    // Without sound it says so in one line of its own.
    EXPECT_EQ(strErr.find("ALSA lib"), std::string::npos) << strErr;
    EXPECT_EQ(strErr.find("audio:"), strErr.rfind("audio:")) << strErr;
}

#else

TEST(RealWindow, NewGameAltEnterTwiceThenTheWholeMapShowsAndACloseEndsTheGame) {
    GTEST_SKIP() << "built without the X11 headers (Debian package libx11-dev): the real window is not tested";
}

#endif

}  // namespace
