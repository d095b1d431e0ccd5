#include "lan/MenuPanelAlt.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/DebugLog.h"
#include "ui/ShellServices.h"

int CMenuPanelAlt::LoadMenuBmp() {
    if (m_pPicture || !m_pInfo || m_pInfo->strName.empty()) return 1;
    const char* pszName = m_pInfo->strName.c_str();
    if (pDebugLog) pDebugLog->Printf("Read Menu bmp %s...", pszName);
    auto* pSurface = new CDXSurface();
    const int nResult = pScreen && pSurface->CreateFromImageFile(pScreen, pszName, UiShell()->GetSurfaceMemory()) == 1 ? 1 : 0;
    if (nResult) pSurface->SetColorKeyFromCorner();
    // A failed load keeps the empty surface, so the file is not read every frame.
    m_pPicture = pSurface;
    if (pDebugLog) pDebugLog->Write(nResult ? "OK\r\n" : "failed\r\n");
    return nResult;
}

void CMenuPanelAlt::Draw() {
    LoadMenuBmp();
    CMenuPanel::Draw();
}
