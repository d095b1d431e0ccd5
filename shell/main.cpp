// Engine check: opens the window and the screen, draws a filled frame with text in two
// faces, fades it in and flips until the window is closed (or, headless, for a fixed
// number of frames). It stands where the game's start-up will run.
#include <cstdio>
#include <cstdlib>

#include "CDX/CDXScreen.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/Window.h"

namespace {

class CCheckWindow : public CPlatWindow {
public:
    bool m_bRunning = true;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
        if (message == WM_CLOSE || (message == WM_KEYDOWN && wParam == WPARAM(VK_ESCAPE))) m_bRunning = false;
        return 0;
    }
};

void DrawFrame(CDXScreen* pScr, DWORD dwFrame) {
    CDXSurface* pSurface = pScr->GetBack();
    pScr->FillBack(pScr->RgbToPixel(RGB(24, 40, 72)));
    RECT rcBand{0, 440, 800, 600};
    pSurface->GetInterface()->Blt(&rcBand, nullptr, nullptr, DDBLT_COLORFILL, pScr->RgbToPixel(RGB(200, 170, 90)));
    static const std::string kTitle = Utf8ToText("青石奇缘");
    static const std::string kLine = Utf8ToText("引擎自检：屏幕、表面、文字与淡入");
    pSurface->ChangeFont(Utf8ToText("隶书").c_str(), 0, 64);
    RECT rcTitle{0, 120, 800, 220};
    pSurface->DrawText(kTitle.c_str(), RGB(255, 230, 120), &rcTitle, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pSurface->ChangeFont(Utf8ToText("新宋体").c_str(), 0, 24);
    RECT rcLine{0, 260, 800, 300};
    pSurface->DrawText(kLine.c_str(), RGB(255, 255, 255), &rcLine, DT_CENTER | DT_SINGLELINE);
    pSurface->ChangeFont("Arial", 0, 15);
    char szFrame[64];
    std::snprintf(szFrame, sizeof szFrame, "frame %u", unsigned(dwFrame));
    pSurface->TextOut(20, 560, RGB(0, 0, 0), szFrame);
}

}  // namespace

int main() {
    char szTitle[32] = {};
    LoadString(2, szTitle, sizeof szTitle);
    if (!AcquireSingleInstance(szTitle)) return 0;

    CCheckWindow window;
    const int nWidth = 800, nHeight = 600;
    // A caption only when the window does not fill the desktop's width.
    const DWORD dwStyle = GetDesktopSize().cx != nWidth ? WS_POPUP | WS_VISIBLE | WS_CAPTION : WS_POPUP | WS_VISIBLE;
    if (!window.CreatePlatWindow(szTitle, dwStyle, 0, 0, nWidth, nHeight)) {
        std::fprintf(stderr, "game: the window could not be created\n");
        ReleaseSingleInstance();
        return 1;
    }
    RECT rc{0, 0, nWidth, nHeight};
    AdjustWindowRectEx(&rc, window.GetStyle(), false, 0);
    window.SetWindowPos(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER);
    window.CenterWindow();
    window.ShowWindow(SW_SHOWNORMAL);
    ShowSystemCursor(true);

    pScreen = new CDXScreen();
    pScreen->SetWindowed(TRUE);
    int nResult = pScreen->CreateWindowed(&window, nWidth, nHeight);
    if (nResult != 0) {
        std::fprintf(stderr, "game: the screen could not be created (%d)\n", nResult);
        delete pScreen;
        ReleaseSingleInstance();
        return 1;
    }
    pBack = pScreen->GetBack();

    const char* pszFrames = std::getenv("GAME_FRAMES");
    const DWORD dwFrameLimit = pszFrames ? DWORD(std::atoi(pszFrames)) : (IsHeadless() ? 120 : 0);
    DrawFrame(pScreen, 0);
    pScreen->FadeIn(1000);
    DWORD dwFrame = 0;
    while (window.m_bRunning && (dwFrameLimit == 0 || dwFrame < dwFrameLimit)) {
        MSG msg;
        if (PeekMessage(&msg, true)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
        DrawFrame(pScreen, ++dwFrame);
        pScreen->Flip(TRUE, TRUE, FALSE);
        if (!IsHeadless()) SleepMs(15);
    }
    pScreen->FadeOut(500);
    delete pScreen;
    pScreen = nullptr;
    window.DestroyPlatWindow();
    ReleaseSingleInstance();
    return 0;
}
