#include "ui/menus/MenuPanel.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/DebugLog.h"
#include "gamedata/PkgFile.h"
#include "media/SoundEffects.h"
#include "media/TgaImage.h"
#include "ui/ShellServices.h"
#include "ui/menus/MenuPackageSource.h"

namespace {
CPkgFile* g_pMenuPkg = nullptr;
}  // namespace

CPkgFile* GetMenuPackage() { return g_pMenuPkg ? g_pMenuPkg : StoreMenuPackage(); }

void SetMenuPackage(CPkgFile* pPkg) { g_pMenuPkg = pPkg; }

CDXSurface* LoadMenuSurface(const char* pszName, bool bColorKey) {
    return LoadPkgSurface(GetMenuPackage(), pszName, UiShell()->GetSurfaceMemory(), bColorKey);
}

CTgaImage* LoadMenuTga(const char* pszName) {
    CPkgFile* pPkg = GetMenuPackage();
    if (!pPkg || !pszName) return nullptr;
    int nSize = 0;
    FILE* pStream = pPkg->SeekPicture(pszName, &nSize);
    if (!pStream) return nullptr;
    CTgaImage* pImage = new CTgaImage();
    if (!pImage->LoadFromFile(pStream, DWORD(nSize))) {
        pPkg->ReportNotPicture(pszName);
        delete pImage;
        return nullptr;
    }
    return pImage;
}

void PlayUiSound(int n) {
    if (pSoundEffects) pSoundEffects->Play(n);
}

DWORD GetSurfacePixel(CDXSurface* pSurface, int x, int y) { return pSurface ? pSurface->GetPixel(x, y) : 0; }

CMenuPanel::CMenuPanel() = default;

CMenuPanel::~CMenuPanel() {
    ReleaseBmp();
    DeletePicInfo(1);
}

void CMenuPanel::InitButtonRecord(const char* pszName, int x, int y, int nRects) {
    m_pInfo = std::make_unique<MenuPicInfo>();
    m_pInfo->strName = pszName ? pszName : "";
    m_pInfo->x = x;
    m_pInfo->y = y;
    m_pInfo->nRectCount = nRects;
    m_pInfo->flags.assign(size_t(nRects), 0);
    m_rects.assign(size_t(nRects), RECT{});
}

void CMenuPanel::SetRectAt(int n, LONG l, LONG t, LONG r, LONG b) {
    if (n >= 0 && n < int(m_rects.size())) SetRect(&m_rects[size_t(n)], l, t, r, b);
}

int CMenuPanel::LoadMenuBmp() {
    if (m_pPicture || !m_pInfo || m_pInfo->strName.empty()) return 1;
    const char* pszName = m_pInfo->strName.c_str();
    if (pDebugLog) pDebugLog->Printf("Read Menu bmp %s...", pszName);
    m_pPicture = LoadMenuSurface(pszName, true);
    const int nResult = m_pPicture ? 1 : 0;
    // A picture that did not load stays an empty surface, so it is not read every frame.
    if (!m_pPicture) m_pPicture = new CDXSurface();
    if (pDebugLog) pDebugLog->Write(nResult ? "OK\r\n" : "failed\r\n");
    return nResult;
}

void CMenuPanel::Draw() {
    LoadMenuBmp();
    if (m_pPicture && m_pInfo && m_pPicture->GetInterface() && pBack)
        m_pPicture->BlitKeyed(pBack, m_pInfo->x, m_pInfo->y);
}

int CMenuPanel::HitTest(int x, int y) {
    m_nHover = -1;
    if (!m_pInfo) return m_nHover;
    const POINT pt{x - m_pInfo->x, y - m_pInfo->y};
    for (size_t i = 0; i < m_rects.size(); ++i) {
        if (PtInRect(m_rects[i], pt)) {
            m_nHover = int(i);
            break;
        }
    }
    return m_nHover;
}

bool CMenuPanel::PixelHit(POINT pt) {
    if (!m_pPicture || !m_pInfo || !m_pPicture->GetInterface()) return false;
    const int x = pt.x - m_pInfo->x;
    const int y = pt.y - m_pInfo->y;
    if (x < 1 || x >= m_pPicture->GetWidth() || y < 1 || y >= m_pPicture->GetHeight()) return false;
    if (Failed(m_pPicture->Lock())) return false;
    const DWORD dwPixel = GetSurfacePixel(m_pPicture, x, y);
    m_pPicture->Unlock();
    return dwPixel != GetColorKey(m_pPicture);
}

void CMenuPanel::ReleaseBmp() {
    delete m_pPicture;
    m_pPicture = nullptr;
}

DWORD CMenuPanel::GetColorKey(CDXSurface* pSurface) { return pSurface ? pSurface->GetColorKey() : 0; }

void CMenuPanel::DeletePicInfo(int nFlags) {
    if (!m_pInfo) return;
    m_pInfo->strName.clear();
    m_pInfo->flags.clear();
    if (nFlags & 1) m_pInfo.reset();
}
