#include "world/MenuPicture.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"

std::unique_ptr<CDXSurface> LoadMenuPicture(const char* pszName) {
    CPkgFile* pPkg = pBitmapData ? pBitmapData->GetMenuPkg() : nullptr;
    if (!pPkg || !pScreen) return nullptr;
    int nSize = 0;
    FILE* pStream = pPkg->SeekPicture(pszName, &nSize);
    if (!pStream) return nullptr;
    auto pSurface = std::make_unique<CDXSurface>();
    if (pSurface->CreateFromStream(pScreen, DWORD(nSize), pStream) != 1) {
        pPkg->ReportNotPicture(pszName);
        return nullptr;
    }
    pSurface->SetColorKeyFromCorner();
    return pSurface;
}
