#include "shell/Transitions.h"

#include <memory>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "ui/OwnLoop.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
// The disc's colour word; the overlay's corner takes it too, so the disc is the key.
constexpr DWORD kDiscColour = 255;

std::unique_ptr<CDXSurface> MakeOverlay() {
    if (!pScreen) return nullptr;
    auto pSurface = std::make_unique<CDXSurface>();
    if (pSurface->Create(pScreen, kWidth, kHeight) < 0) return nullptr;
    return pSurface;
}

// Black with a see-through disc of radius r and, for a large disc, a soft rim of grey rings.
void DrawWipe(CDXSurface& overlay, int r, int nRingStep) {
    overlay.Fill(pScreen->RgbToPixel(RGB(0, 0, 0), &overlay));
    overlay.FillCircle(kWidth / 2, kHeight / 2, r, kDiscColour);
    if (r > 20)
        for (int i = 0; i < 20; ++i) {
            const int g = nRingStep * i;
            overlay.Circle(kWidth / 2, kHeight / 2, r - i, pScreen->RgbToPixel(RGB(g, g, g), &overlay));
        }
    if (overlay.Lock() >= 0) {
        overlay.PutPixel(0, 0, kDiscColour);
        overlay.Unlock();
    }
}

// Takes at most one waiting message, so that a close reaches the main window while a
// transition plays. False when the game is ending: the transition stops at once.
bool PassGoesOn() {
    if (!DispatchOneMessage()) return false;
    dwNowTime = TimeGetTime();
    return !pFrame || pFrame->m_bRunning;
}

// The wait before a transition moves; a negative delay does not wait.
DWORD DelayOf(int nDelay) { return nDelay > 0 ? DWORD(nDelay) : 0; }

// One pass of a wipe: the scene, the overlay keyed over it, the flip.
void ShowWipePass(CDXSurface& overlay) {
    MapLink().DrawScene();
    overlay.SetColorKeyFromCorner();
    if (pBack) overlay.BlitKeyed(pBack, 0, 0);
    pScreen->Flip(FALSE);
}

void RunWipe(int r, int nStep, int nRingStep, int nDelay, bool bOpening) {
    std::unique_ptr<CDXSurface> pOverlay = MakeOverlay();
    if (!pOverlay) return;
    DrawWipe(*pOverlay, r, nRingStep);
    const DWORD dwStart = TimeGetTime();
    while (PassGoesOn()) {
        ShowWipePass(*pOverlay);
        if (TimeGetTime() - dwStart > DelayOf(nDelay)) r += nStep;
        if (bOpening ? r > 500 : r < 0) break;
        DrawWipe(*pOverlay, r, nRingStep);
    }
}

}  // namespace

void CircleWipeOut(int nDelay) {
    if (!pScreen) return;
    RunWipe(500, -10, 1, nDelay, false);
    if (pBack) pBack->Fill(pScreen->RgbToPixel(RGB(0, 0, 0), pBack));
}

void CircleWipeIn(int nDelay) {
    if (!pScreen) return;
    RunWipe(0, 10, 5, nDelay, true);
}

void FadeWelcome(int nRed, int nGreen, int nBlue, int nDelay) {
    if (!pScreen || !pBack) return;
    auto pSurface = MakeOverlay();
    if (!pSurface) return;
    const COLORREF colour = RGB(nRed, nGreen, nBlue);
    const COLORREF textColour = RGB(nGreen, nRed, nBlue);
    pSurface->Fill(pScreen->RgbToPixel(colour, pSurface.get()));
    static const std::string face = Utf8ToText("新宋体");
    pSurface->ChangeFont(face.c_str(), 0, 100, nCharSet, 400, 0);
    RECT rcTitle{0, 100, kWidth, 300};
    pSurface->DrawText("Welcome Playing", textColour, &rcTitle, DT_CENTER);
    RECT rcMaker{0, 0, kWidth, kHeight};
    pSurface->DrawText("ONDRIK-GAME", textColour, &rcMaker, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const DWORD dwStart = TimeGetTime();
    for (int a = 100; a >= 0 && PassGoesOn();) {
        pSurface->BlitAlpha(pBack, 0, 0, nullptr, WORD(a * 255 / 100));
        pScreen->Flip(FALSE);
        if (TimeGetTime() - dwStart > DelayOf(nDelay)) a -= 10;
    }
    pBack->Fill(pScreen->RgbToPixel(colour, pBack));
}
