#include "world/MenuPicture.h"

#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"

std::unique_ptr<CDXSurface> LoadMenuPicture(const char* pszName) {
    return std::unique_ptr<CDXSurface>(LoadPkgSurface(pBitmapData ? pBitmapData->GetMenuPkg() : nullptr, pszName, 1, true));
}
