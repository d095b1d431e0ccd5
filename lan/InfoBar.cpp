#include "lan/InfoBar.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "lan/LanPictures.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "ui/ShellServices.h"
#include "ui/menus/MenuPanel.h"

CInfoBar::CInfoBar() {
    m_nScreenWidth = UiShell()->GetScreenWidth();
    const int w = m_nScreenWidth;
    const LanPicture kArrows{"anjian.bmp", 30, 30, 6};
    m_pUp.reset(MakeLanSprite(kArrows, 2, w - 25, 5));
    m_pDown.reset(MakeLanSprite(kArrows, 3, w - 25, 315));
    m_pBackground.reset(LoadMenuSurface("xinxilan.bmp", true));
    m_pClose.reset(MakeLanSprite({"quixiaoanjian01.bmp", 24, 25, 2}, 0, w - 53, 5));
}

CInfoBar::~CInfoBar() = default;

int CInfoBar::Draw(const CMouse& mouse) {
    if (!m_bOpen) return 0;
    const int w = m_nScreenWidth;
    if (pBack) {
        if (m_pBackground) m_pBackground->BlitKeyed(pBack, w - 308, 0);
        for (CDXSprite* p : {m_pUp.get(), m_pDown.get()})
            if (p) p->Draw(pBack, 0, 0, BLT_KEYED);
    }
    const POINT pt{mouse.m_nX, mouse.m_nY};
    const RECT rcClose = CloseRect();
    if (GetAsyncKeyState(VK_LBUTTON) & 1) {
        if (PtInRect(RECT{w - 25, 5, w + 5, 35}, pt)) ScrollUp();
        if (PtInRect(RECT{w - 25, 315, w + 5, 345}, pt)) ScrollDown();
        if (PtInRect(rcClose, pt)) {
            m_bOpen = 0;
            if (pFrame) pFrame->m_nMouseHold = 1;
            return 0;
        }
    }
    if (m_pClose) {
        m_pClose->SetFrame(PtInRect(rcClose, pt) ? 1 : 0);
        if (pBack) m_pClose->Draw(pBack, 0, 0, BLT_KEYED);
    }
    return 1;
}
