#include "ui/menus/MenuPackageSource.h"

#include "gamedata/BitmapData.h"

CPkgFile* StoreMenuPackage() { return pBitmapData ? pBitmapData->GetMenuPkg() : nullptr; }

void DrawStoreFace(int nFace, int x, int y) {
    if (pBitmapData) pBitmapData->DrawTx(nFace, x, y);
}

void ReleaseStoreFace() {
    if (pBitmapData) pBitmapData->FreeTx();
}
