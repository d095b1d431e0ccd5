#include "battle/FightMenu.h"

#include <algorithm>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "shell/ShellGlobals.h"

namespace {

bool Inside(const RECT& rc, int x, int y) { return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom; }

CPkgFile* MenuPkg() { return pBitmapData ? pBitmapData->GetMenuPkg() : nullptr; }

std::unique_ptr<CDXSurface> LoadSurface(const char* pszName, bool bKeyed) {
    return std::unique_ptr<CDXSurface>(LoadPkgSurface(MenuPkg(), pszName, 1, bKeyed));
}

std::unique_ptr<CDXSprite> LoadSprite(const char* pszName, int nWidth, int nHeight, int nTiles) {
    std::unique_ptr<CDXSprite> pSprite(LoadPkgSprite(MenuPkg(), pszName, nWidth, nHeight, nTiles, 1));
    if (pSprite) pSprite->SetColorKey();
    return pSprite;
}

}  // namespace

FightList::FightList() { std::fill(std::begin(Ids), std::end(Ids), -1); }

void FightList::ScrollUp() { First = std::max(First - 1, 0); }

void FightList::ScrollDown() {
    if (Count > Visible)
        First = std::min(First + 1, Count - Visible);
    else
        First = 0;
}

bool FightList::Append(int nId) {
    if (Count >= kFightListSize) return false;
    Ids[Count++] = nId;
    return true;
}

const RECT CFightMenu::kRing[6] = {{0, 0, 40, 40},     {109, 0, 149, 40},   {53, 56, 93, 96},
                                   {-1, -1, -1, -1},   {109, 120, 149, 160}, {0, 120, 40, 160}};
const RECT CFightMenu::kList[12] = {{18, 166, 49, 185}, {108, 166, 139, 185}, {-1, -1, -1, -1}, {36, 43, 99, 60},
                                    {-1, -1, -1, -1},   {36, 62, 99, 82},     {-1, -1, -1, -1}, {36, 84, 99, 104},
                                    {-1, -1, -1, -1},   {36, 106, 99, 126},   {-1, -1, -1, -1}, {36, 128, 99, 148}};
const RECT CFightMenu::kTabs[3] = {{13, 13, 56, 35}, {56, 13, 98, 35}, {98, 13, 141, 35}};

RECT CFightMenu::HeadRect(int n) {
    static const RECT bars[3] = {{19, 70, 137, 76}, {19, 44, 137, 50}, {19, 20, 137, 26}};
    const int s = n / 4;
    if (n % 4 == 0) return RECT{263 * s, 0, 263 * s + 93, 85};
    return bars[n % 4 - 1];
}

CFightMenu::CFightMenu() {
    if (pScreen) ptRing = POINT{pScreen->GetWidth() - 220, 84};
}

CFightMenu::~CFightMenu() = default;

bool CFightMenu::LoadBmp() {
    SetGameFolderCurrent();
    pArrowUp = LoadSprite("me007.bmp", 31, 18, 1);
    pArrowDown = LoadSprite("me0073.bmp", 31, 18, 1);
    if (pArrowUp) pArrowUp->SetPos(ptList.x + 18, ptList.y + 166);
    if (pArrowDown) pArrowDown->SetPos(ptList.x + 108, ptList.y + 166);
    pRingSurface = LoadSurface("me0FMain.bmp", true);
    // Six tiles: one per ring button number 0..5 (tile 3 is never shown).
    pRingHighlight = LoadSprite("me0FMain3.bmp", 40, 40, 6);
    pLineSurface = LoadSurface("me0FLine.bmp", true);
    pBloodSurface = LoadSurface("me0FightBlood.bmp", true);
    // Seven heads, then the same seven poisoned.
    pHeadSprite = LoadSprite("FightHead.bmp", 93, 85, 14);
    pIconSprite = LoadSprite("Icon.bmp", 20, 20, 2);
    pItemPanel = LoadSurface("me0FItem.bmp", true);
    pAttackPanel = LoadSurface("me0FAttack.bmp", true);
    pDefancePanel = LoadSurface("me0FDefance.bmp", true);
    pStuntPanel = LoadSurface("me0FStunt.bmp", true);
    pVictoryPanel = LoadSurface("FightVir.bmp", true);
    pExitSurface = LoadSurface("me0FEXIT.bmp", false);
    pOkSprite = LoadSprite("me0FOK.bmp", 95, 25, 1);
    if (pOkSprite) pOkSprite->SetPos(347, 312);
    return true;
}

void CFightMenu::HitTest(int x, int y) {
    HoverButton = -1;
    if (MenuState == kMenuRing) {
        const int rx = x - ptRing.x, ry = y - ptRing.y;
        HoverButton = kHoverNoRingButton;
        for (int n : {0, 1, 2, 4, 5}) {
            if (!Inside(kRing[n], rx, ry)) continue;
            HoverButton = n;
            if (n == 1) CurrentTab = 0;
            break;
        }
        return;
    }
    if (MenuState < 1 || MenuState > 4) return;
    const int lx = x - ptList.x, ly = y - ptList.y;
    for (int n = 0; n < 12; ++n) {
        if (kList[n].left < 0) continue;
        if (Inside(kList[n], lx, ly)) {
            HoverButton = n;
            return;
        }
    }
    if (bTabArmed) {
        if (HoverTab >= 0 && HoverTab < 3) CurrentTab = HoverTab;
        bTabArmed = 0;
        HoverTab = -1;
    }
    for (int n = 0; n < 3; ++n) {
        if (!Inside(kTabs[n], lx, ly)) continue;
        HoverTab = n;
        HoverButton = kHoverTab;
        break;
    }
}

void CFightMenu::Draw(int x, int y) {
    if (!pBack) return;
    if (MenuState == kMenuRing) {
        if (bRingHidden || !pRingHighlight) return;
        for (int n : {0, 1, 2, 4, 5}) {
            if (!Inside(kRing[n], x - ptRing.x, y - ptRing.y)) continue;
            pRingHighlight->SetPos(ptRing.x + kRing[n].left, ptRing.y + kRing[n].top);
            pRingHighlight->SetFrame(DWORD(n))->Draw(pBack, 0, 0, 100);
            break;
        }
        return;
    }
    CDXSurface* pPanel = nullptr;
    if (MenuState == kMenuSkills) {
        CDXSurface* panels[3] = {pAttackPanel.get(), pDefancePanel.get(), pStuntPanel.get()};
        pPanel = panels[std::clamp(CurrentTab, 0, 2)];
    } else if (MenuState == kMenuItems || MenuState == kMenuThrow) {
        pPanel = pItemPanel.get();
    } else {
        return;
    }
    if (pPanel) pPanel->BlitKeyed(pBack, ptList.x, ptList.y);
    if (bClickArmed && HoverButton == 0 && pArrowUp) pArrowUp->Draw(pBack, 0, 0, 100);
    if (bClickArmed && HoverButton == 1 && pArrowDown) pArrowDown->Draw(pBack, 0, 0, 100);
}
