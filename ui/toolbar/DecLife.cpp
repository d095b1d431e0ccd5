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

namespace {

// A surface of the source's size, format and memory holding a copy of its pixels.
std::unique_ptr<CDXSurface> CopyOf(CDXSurface& source) {
    auto pCopy = std::make_unique<CDXSurface>();
    if (Failed(pCopy->Create(source.GetScreen(), source.GetWidth(), source.GetHeight(), source.GetMemoryType())) ||
        Failed(source.BlitOpaque(pCopy.get(), 0, 0)))
        return nullptr;
    return pCopy;
}

}  // namespace

CDecLifeArt::CDecLifeArt() = default;

CDecLifeArt::~CDecLifeArt() = default;

bool CDecLifeArt::Load() {
    if (m_pPicture) return true;
    SetGameFolderCurrent();
    std::unique_ptr<CDXSurface> pPicture(LoadMenuSurface("DecLife.bmp", false));
    if (!pPicture) return false;
    std::unique_ptr<CDXSurface> pPage = CopyOf(*pPicture);
    if (!pPage) return false;
    static const std::string s_strFace = Utf8ToText("隶书");
    pPage->ChangeFont(s_strFace.c_str(), 0, 20, nCharSet, 400, 0);
    m_pPicture = std::move(pPicture);
    m_pPage = std::move(pPage);
    return true;
}

std::unique_ptr<CDXSurface> CDecLifeArt::Write(int nAmount) {
    if (!m_pPicture || !m_pPage) return nullptr;
    // The page starts as the picture each time, so the text lands on the picture's own
    // pixels and the number looks as if written on a freshly read picture.
    if (Failed(m_pPicture->BlitOpaque(m_pPage.get(), 0, 0))) return nullptr;
    char szText[16];
    std::snprintf(szText, sizeof szText, "-%d", nAmount);
    RECT rc{0, 0, 50, 20};
    m_pPage->DrawText(szText, RGB(255, 0, 0), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    std::unique_ptr<CDXSurface> pNumber = CopyOf(*m_pPage);
    if (pNumber) pNumber->SetColorKeyFromCorner();
    return pNumber;
}

CDecLife::CDecLife(CDecLifeArt* pArt) : m_pArt(pArt) {
    m_dwFrameTime = m_dwShowTime = m_dwEndTime = TimeGetTime();
}

CDecLife::~CDecLife() = default;

void CDecLife::Start(int x, int y, int nAmount) {
    const POINT view = pScene ? pScene->ptView : POINT{0, 0};
    m_nX = x - view.x - 20;
    m_nY = y - view.y - 100;
    if (m_pArt) m_pPicture = m_pArt->Write(nAmount);
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
