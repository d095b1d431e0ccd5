#include "shell/PictureStore.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "gamedata/BitmapData.h"
#include "gamedata/PkgFile.h"
#include "ui/menus/MenuPanel.h"

void CreatePictureStore() {
    if (!pBitmapData) pBitmapData = new CBitmapData;
}

bool InitPictureStore(std::string* pWhy) {
    if (pBitmapData && pBitmapData->Init()) return true;
    if (pWhy) *pWhy = pBitmapData && !pBitmapData->GetError().empty() ? pBitmapData->GetError() : "cannot be opened";
    return false;
}

void DeletePictureStore() {
    delete pBitmapData;
    pBitmapData = nullptr;
}

CDXSprite* LoadMenuSprite(const char* pszName, int nWidth, int nHeight, int nCount, unsigned nMemory) {
    return LoadPkgSprite(GetMenuPackage(), pszName, nWidth, nHeight, nCount, nMemory);
}

void DrawItemIcon(int nItem, int x, int y) {
    if (pBitmapData) pBitmapData->DrawItemIcon(nItem, x, y);
}
