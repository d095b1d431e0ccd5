#include "ui/toolbar/DecLife.h"

#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "world/Scene.h"

CDecLife::CDecLife() {
    SetGameFolderCurrent();
    m_pPicture.reset(LoadMenuSurface("DecLife.bmp", false));
    m_dwFrameTime = m_dwShowTime = m_dwEndTime = TimeGetTime();
}

CDecLife::~CDecLife() = default;

void CDecLife::Start(int x, int y, int nAmount) {
    const POINT view = pScene ? pScene->ptView : POINT{0, 0};
    m_nX = x - view.x - 20;
    m_nY = y - view.y - 100;
    if (m_pPicture) {
        static const std::string s_strFace = Utf8ToText("隶书");
        m_pPicture->ChangeFont(s_strFace.c_str(), 0, 20, nCharSet, 400, 0);
        char szText[16];
        std::snprintf(szText, sizeof szText, "-%d", nAmount);
        RECT rc{0, 0, 50, 20};
        m_pPicture->DrawText(szText, RGB(255, 0, 0), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        m_pPicture->SetColorKeyFromCorner();
    }
    m_dwFrameTime = m_dwShowTime = m_dwEndTime = TimeGetTime();
}

int CDecLife::Draw() {
    m_dwFrameTime = TimeGetTime();
    const DWORD dwAge = m_dwFrameTime - m_dwShowTime;
    if (dwAge <= kDecLifeHiddenMs) return 1;
    if (m_pPicture && pBack) m_pPicture->BlitKeyed(pBack, m_nX, m_nY);
    m_nY -= kDecLifeRise;
    return dwAge <= kDecLifeLifeMs ? 1 : 0;
}
