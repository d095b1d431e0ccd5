#include "world/MenuPicture.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"

std::unique_ptr<CDXSurface> LoadMenuPicture(const char* pszName) {
    CPkgFile* pPkg = pBitmapData ? pBitmapData->GetMenuPkg() : nullptr;
    if (!pPkg || !pScreen) return nullptr;
    const int nSize = pPkg->GetSize(pszName);
    FILE* pStream = nSize > 0 ? pPkg->Seek(pszName) : nullptr;
    if (!pStream) return nullptr;
    auto pSurface = std::make_unique<CDXSurface>();
    if (pSurface->CreateFromStream(pScreen, DWORD(nSize), pStream) != 1) return nullptr;
    pSurface->SetColorKeyFromCorner();
    return pSurface;
}
