#include "ui/minigames/KnockGame.h"

#include <algorithm>
#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "platform/Window.h"
#include "ui/OwnLoop.h"
#include "ui/ShellServices.h"
#include "ui/minigames/MiniGameKit.h"

namespace {

constexpr int kPowerStep = 3;
constexpr int kFirstWinPicture = 5, kLastWinPicture = 7, kFirstLosePicture = 8, kLastLosePicture = 10;

// The part (0, nTop)-(w, nTop + 10) of a bar picture at (x, y), cut to the picture.
void DrawBarPart(CDXSurface* pBar, int nTop, int w, int x, int y) {
    if (!pBar || !pBack) return;
    w = std::min(w, pBar->GetWidth());
    if (w <= 0) return;
    const RECT rc{0, nTop, w, nTop + 10};
    pBar->BlitOpaque(pBack, x, y, &rc);
}

}  // namespace

CKnockGame::CKnockGame() {
    m_pTimeBar = LoadGameSurface("TimeBar.bmp", false);
    for (int i = 0; i < kKnockPictures; ++i) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "Knock%04d.bmp", i);
        m_pKnockFrames[i] = LoadGameSprite(szName, 320, 240, 1, 250, 100);
    }
    m_pLittle = LoadGameSprite("KnockLitte.bmp", 80, 120, 3, 600, 400);
    m_pBack = LoadGameSurface("KnockBack.bmp", false);
    m_bRunning = 1;
}

CKnockGame::~CKnockGame() = default;

void CKnockGame::TakeSpace() {
    int nTile = 0;
    if (KeyPressedSince(VK_SPACE)) {
        if (m_nPower < kKnockFull) m_nPower += kPowerStep;
        nTile = 1;
        GetAsyncKeyState(VK_SPACE);
    }
    if (m_pLittle) m_pLittle->SetFrame(DWORD(nTile));
}

void CKnockGame::Draw() const {
    if (m_pBack && pBack) m_pBack->BlitOpaque(pBack, 0, 0);
    if (m_nTicks > 0) DrawBarPart(m_pTimeBar.get(), 10, m_nTicks, 0, 30);
    if (m_nPower > 0) DrawBarPart(m_pTimeBar.get(), 0, m_nPower, 0, 80);
    DrawGameSprite(m_pKnockFrames[m_nPicture].get());
    DrawGameSprite(m_pLittle.get());
}

int CKnockGame::StepPicture() {
    if (m_nTicks % 5 != 4) return -1;
    if (m_nPower < kKnockFull && m_nTicks < kKnockFull && m_nPicture < kFirstWinPicture) {
        m_nPicture = (m_nPicture + 1) % kFirstWinPicture;
    } else if (m_nPicture >= kFirstWinPicture && m_nPicture <= kLastWinPicture) {
        if (m_nPicture == kLastWinPicture) return 1;
        ++m_nPicture;
    } else if (m_nPicture >= kFirstLosePicture) {
        if (m_nPicture >= kLastLosePicture) return 0;
        ++m_nPicture;
    }
    return -1;
}

int CKnockGame::Run() {
    m_nPicture = 0;
    int nResult = 0;
    while (m_bRunning) {
        if (!PumpOneMessage()) {
            nResult = 0;
            break;
        }
        TakeSpace();
        Draw();
        if (const int nEnd = StepPicture(); nEnd >= 0) {
            // The frame still goes out; the loop ends at its next test.
            nResult = nEnd;
            m_bRunning = 0;
        }
        if (m_nPower > kKnockFull && m_nPicture < kFirstWinPicture) m_nPicture = kFirstWinPicture;
        if (m_nTicks == kKnockFull && m_nPower < kKnockFull) m_nPicture = kFirstLosePicture;
        ++m_nTicks;
        UiShell()->DrawMouse();
        PresentGameFrame();
    }
    m_bRunning = 0;
    return nResult;
}
