#include "lan/EndWord.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"

CEndWord::CEndWord(int n) {
    char szName[32];
    std::snprintf(szName, sizeof(szName), "Endword%02d.bmp", n);
    m_pPicture.reset(LoadMenuSurface(szName, false));
    if (m_pPicture) m_pPicture->SetColorKeyFromCorner();
    m_dwLastStep = TimeGetTime();
}

CEndWord::~CEndWord() = default;

int CEndWord::Draw() {
    if (m_pPicture && pBack) m_pPicture->BlitAlphaKeyed(pBack, m_nX, 50, nullptr, WORD(m_nAlpha & 0xFFFF));
    if (dwNowTime - m_dwLastStep < DWORD(kStepMs)) return 0;
    m_nX -= 2;
    m_dwLastStep = dwNowTime;
    if (m_nX < -30) return 1;
    if (m_bFading) {
        if (m_nAlpha >= 1) --m_nAlpha;
        else m_bFading = 0;
    } else {
        if (m_nAlpha < 200) ++m_nAlpha;
        else m_bFading = 1;
    }
    return 0;
}
