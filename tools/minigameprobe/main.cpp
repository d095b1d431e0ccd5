// minigameprobe GAMEDIR KIND [--frames N]: runs one mini-game (1 catch, 2 gamble, 3 knock,
// 4 the picture show) in a window on the sample game's menu package, with nobody playing,
// and prints how many frames it presented and how long it took. With a display the frames
// are paced by its refresh; headless by the virtual clock's frame step. --frames ends the
// game after N presented frames (the gamble waits for a player and ends only so).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CDX/CDXScreen.h"
#include "gamedata/PkgFile.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/MiniGameLink.h"
#include "ui/ShellServices.h"
#include "ui/menus/MenuPanel.h"
#include "world/Player.h"

namespace {

// The window: a close ends the game.
class CProbeWindow : public CPlatWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLOSE) {
            bClosed = true;
            return 0;
        }
        return CPlatWindow::WindowProc(message, wParam, lParam);
    }
    bool bClosed = false;
};

// The game runs until the window closes or, with a frame limit, until that many frames
// were presented since the probe began.
class CProbeShell : public CUiShell {
public:
    CProbeShell(CProbeWindow& window, long nMaxFrames)
        : m_window(window), m_nMaxFrames(nMaxFrames), m_dwFirstFrame(GetPresentedFrameCount()) {}
    bool IsGameRunning() override {
        if (m_window.bClosed) return false;
        return m_nMaxFrames <= 0 || long(GetPresentedFrameCount() - m_dwFirstFrame) < m_nMaxFrames;
    }
    POINT GetMousePos() override {
        POINT pt{};
        GetCursorPos(&pt);
        return pt;
    }

private:
    CProbeWindow& m_window;
    long m_nMaxFrames;
    DWORD m_dwFirstFrame;
};

const char kUsage[] = "usage: minigameprobe GAMEDIR KIND [--frames N] (KIND 1 catch, 2 gamble, 3 knock, 4 show)\n";

// A whole number in [nMin, nMax]; false for anything else.
bool ParseNumber(const char* psz, long nMin, long nMax, long* pValue) {
    char* pEnd = nullptr;
    const long n = std::strtol(psz, &pEnd, 10);
    if (pEnd == psz || *pEnd != 0 || n < nMin || n > nMax) return false;
    *pValue = n;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    long nKind = 0, nMaxFrames = 0;
    if (!ParseNumber(argv[2], 1, 4, &nKind)) {
        std::fprintf(stderr, "minigameprobe: KIND must be 1, 2, 3 or 4, not %s\n%s", argv[2], kUsage);
        return 2;
    }
    if (argc == 5 && (std::strcmp(argv[3], "--frames") != 0 || !ParseNumber(argv[4], 1, 10000000, &nMaxFrames))) {
        std::fprintf(stderr, "minigameprobe: %s %s: expected --frames and a count of 1 or more\n%s", argv[3], argv[4],
                     kUsage);
        return 2;
    }
    const std::string strPkg = std::string(argv[1]) + "/bmp/menu.pkg";
    CPkgFile pkg(strPkg.c_str());
    if (!pkg.OpenPath(strPkg.c_str())) {
        std::fprintf(stderr, "minigameprobe: %s: %s\n", strPkg.c_str(), pkg.GetError().c_str());
        return 1;
    }
    SetMenuPackage(&pkg);
    CProbeWindow window;
    if (!window.CreatePlatWindow("minigameprobe", WS_POPUP, 0, 0, 800, 600)) {
        std::fprintf(stderr, "minigameprobe: no window\n");
        return 1;
    }
    pScreen = new CDXScreen();
    if (pScreen->CreateWindowed(&window, 800, 600) != 0) {
        std::fprintf(stderr, "minigameprobe: no screen\n");
        return 1;
    }
    pBack = pScreen->GetBack();
    CProbeShell shell(window, nMaxFrames);
    SetUiShell(&shell);
    CPlayer hero;
    hero.nMoney = 2000;
    pPlayer = &hero;
    CShellMiniGameLink games;
    int nFrames = 0;
    const DWORD dwStart = TimeGetTime();
    const DWORD dwFlipsBefore = GetPresentedFrameCount();
    bool bWon = false;
    if (nKind == 4)
        games.RunPictureShow(1);
    else
        bWon = games.Run(int(nKind));
    nFrames = int(GetPresentedFrameCount() - dwFlipsBefore);
    const DWORD dwMs = TimeGetTime() - dwStart;
    std::printf("kind %ld: %d frames in %.1f s (%.2f ms a frame), %s%s\n", nKind, nFrames, dwMs / 1000.0,
                nFrames ? double(dwMs) / nFrames : 0.0, bWon ? "won" : "not won",
                nMaxFrames > 0 && nFrames >= nMaxFrames ? ", stopped at the frame limit" : "");
    pPlayer = nullptr;
    SetUiShell(nullptr);
    SetMenuPackage(nullptr);
    delete pScreen;
    pScreen = nullptr;
    pBack = nullptr;
    window.DestroyPlatWindow();
    return 0;
}
