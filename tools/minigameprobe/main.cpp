// minigameprobe GAMEDIR KIND: runs one mini-game (1 catch, 2 gamble, 3 knock, 4 the
// picture show) in a window on the sample game's menu package, with nobody playing, and
// prints how many frames it presented and how long it took. With a display the frames
// are paced by its refresh; headless by the virtual clock's frame step.
#include <cstdio>
#include <cstdlib>
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

class CProbeShell : public CUiShell {
public:
    explicit CProbeShell(CProbeWindow& window) : m_window(window) {}
    bool IsGameRunning() override { return !m_window.bClosed; }
    POINT GetMousePos() override {
        POINT pt{};
        GetCursorPos(&pt);
        return pt;
    }

private:
    CProbeWindow& m_window;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: minigameprobe GAMEDIR KIND (1 catch, 2 gamble, 3 knock, 4 show)\n");
        return 2;
    }
    const std::string strPkg = std::string(argv[1]) + "/bmp/menu.pkg";
    const int nKind = std::atoi(argv[2]);
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
    CProbeShell shell(window);
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
        bWon = games.Run(nKind);
    nFrames = int(GetPresentedFrameCount() - dwFlipsBefore);
    const DWORD dwMs = TimeGetTime() - dwStart;
    std::printf("kind %d: %d frames in %.1f s (%.2f ms a frame), %s\n", nKind, nFrames, dwMs / 1000.0,
                nFrames ? double(dwMs) / nFrames : 0.0, bWon ? "won" : "not won");
    pPlayer = nullptr;
    SetUiShell(nullptr);
    SetMenuPackage(nullptr);
    delete pScreen;
    pScreen = nullptr;
    pBack = nullptr;
    window.DestroyPlatWindow();
    return 0;
}
