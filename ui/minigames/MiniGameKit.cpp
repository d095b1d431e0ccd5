#include "ui/minigames/MiniGameKit.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "platform/Window.h"
#include "ui/ShellServices.h"
#include "ui/menus/MenuPanel.h"

std::unique_ptr<CDXSprite> LoadGameSprite(const char* pszName, int w, int h, int nCount, int x, int y) {
    std::unique_ptr<CDXSprite> pSprite(
        LoadPkgSprite(GetMenuPackage(), pszName, w, h, nCount, UiShell()->GetSurfaceMemory()));
    if (!pSprite) return nullptr;
    pSprite->SetColorKey();
    pSprite->SetPos(x, y);
    return pSprite;
}

std::unique_ptr<CDXSurface> LoadGameSurface(const char* pszName, bool bColorKey) {
    return std::unique_ptr<CDXSurface>(LoadMenuSurface(pszName, bColorKey));
}

void DrawGameSprite(CDXSprite* pSprite) {
    if (pSprite && pBack) pSprite->Draw(pBack, 0, 0, BLT_KEYED);
}

void PresentGameFrame() {
    if (pScreen) pScreen->Flip(FALSE);
}

bool KeyPressedSince(int nKey) { return (GetAsyncKeyState(nKey) & 1) != 0; }

bool KeyDown(int nKey) { return (GetAsyncKeyState(nKey) & 0x8000) != 0; }

namespace {
void (*s_pfnCursorRefresh)() = nullptr;
}  // namespace

POINT GameCursorNow() {
    if (s_pfnCursorRefresh) s_pfnCursorRefresh();
    return UiShell()->GetMousePos();
}

void SetGameCursorRefresh(void (*pfnRefresh)()) { s_pfnCursorRefresh = pfnRefresh; }
