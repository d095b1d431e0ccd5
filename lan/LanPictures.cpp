#include "lan/LanPictures.h"

#include <algorithm>
#include <cstring>

#include "CDX/CDXSprite.h"
#include "shell/PictureStore.h"
#include "ui/ShellServices.h"

CDXSprite* MakeLanSprite(const LanPicture& pic, int nTile, int x, int y) {
    const int nTiles = std::max(pic.nTiles, 1);
    CDXSprite* pSprite = LoadMenuSprite(pic.pszName, pic.nWidth, pic.nHeight, nTiles, UiShell()->GetSurfaceMemory());
    if (!pSprite) return nullptr;
    pSprite->SetColorKey();
    pSprite->SetFrame(DWORD(std::clamp(nTile, 0, nTiles - 1)));
    pSprite->SetPos(x, y);
    return pSprite;
}

std::vector<LanPicture> LanPictureFiles() {
    static const LanPicture kRows[] = {
        {"1.bmp", 50, 50, 1},          {"2.bmp", 50, 50, 1},           {"Success.bmp", 34, 40, 1},
        {"headgreen.bmp", 34, 40, 1},  {"4.bmp", 80, 80, 1},           {"head.bmp", 34, 40, 1},
        {"6.bmp", 80, 120, 1},         {"8.bmp", 80, 160, 1},          {"shuominglan.bmp", 237, 100, 1},
        {"duan.bmp", 50, 25, 1},       {"Smallpicture.bmp", 35, 40, 5}, {"ThrowMoney.tga", 200, 100, 1},
        {"youxishedin.bmp", 284, 341, 1}, {"youxishedin-1.bmp", 53, 21, 2}, {"anjian.bmp", 30, 30, 6},
        {"quixiaoanjian01.bmp", 24, 25, 2}, {"xinxilan.bmp", 308, 360, 1},
        {"zhuangtailan.bmp", 336, 483, 1}, {"72.bmp", 72, 90, 10}, {"head2.bmp", 79, 76, 1},
        {"head3.bmp", 74, 78, 1},       {"head4.bmp", 76, 80, 1},
    };
    return std::vector<LanPicture>(std::begin(kRows), std::end(kRows));
}
