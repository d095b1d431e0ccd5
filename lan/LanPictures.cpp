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
        {"zhuangbei-nv.bmp", 420, 487, 1}, {"zhuangbei-nan.bmp", 420, 487, 1}, {"MenuShoot.bmp", 80, 80, 1},
        {"MenuWeapon.bmp", 80, 160, 1}, {"MenuAmor.bmp", 80, 120, 1},  {"MenuHead.bmp", 80, 80, 1},
        {"wupinglan.bmp", 337, 483, 1}, {"0120.bmp", 80, 80, 1},      {"ponrenlan.bmp", 544, 482, 1},
        {"quedinanjian2.bmp", 96, 26, 2}, {"jilen-anjian-1.bmp", 87, 30, 5}, {"jilen-anjian-3.bmp", 87, 30, 4},
        {"a00.bmp", 90, 126, 1},        {"a01.bmp", 90, 126, 1},      {"a02.bmp", 90, 126, 1},
        {"a03.bmp", 90, 126, 1},        {"a04.bmp", 90, 126, 1},      {"a05.bmp", 90, 126, 1},
        {"b00.bmp", 100, 129, 1},       {"b01.bmp", 100, 129, 1},     {"b02.bmp", 100, 129, 1},
        {"jilengilan.bmp", 336, 483, 1}, {"DirectionButton1.bmp", 25, 20, 1}, {"DirectionButton2.bmp", 25, 20, 1},
        {"Skill1.bmp", 60, 50, 1},      {"Skill2.bmp", 60, 50, 1},    {"Skill4.bmp", 60, 50, 1},
        {"Skill5.bmp", 60, 50, 1},      {"Item1.bmp", 40, 40, 100},
        {"me0ML.bmp", 330, 520, 1},     {"me00RLL.bmp", 300, 107, 1}, {"me007.bmp", 31, 18, 1},
        {"me0073.bmp", 31, 18, 1},      {"me016.bmp", 48, 23, 1},     {"40x50.bmp", 42, 34, 7},
        {"Endword00.bmp", 300, 60, 1},  {"Endword01.bmp", 300, 60, 1},
        {"\xD1\xA1\xD4\xF1\xC8\xCB\xCE\xEF.bmp", 520, 100, 1},
        {"LeaveMenu.bmp", 800, 600, 1}, {"quxiao.bmp", 226, 90, 1},   {"me020.bmp", 49, 22, 1},
        {"me021.bmp", 49, 22, 1},       {"me00L.bmp", 13, 21, 1},     {"me00R.bmp", 13, 21, 1},
        {"me00M.bmp", 7, 14, 1},        {"me022.bmp", 219, 33, 1},    {"me023.bmp", 219, 33, 1},
        {"ScenePanel.bmp", 160, 150, 1}, {"ScenePanelOpen.bmp", 40, 20, 2}, {"ScenePanelMark.bmp", 10, 10, 1},
        {"ScenePanelClose.bmp", 30, 30, 2}, {"IconBar.bmp", 50, 30, 1},
        {"NameLabel0.bmp", 40, 20, 1},  {"NameLabel1.bmp", 40, 20, 1}, {"NameLabel2.bmp", 40, 20, 1},
        {"NameLabel3.bmp", 40, 20, 1},  {"one.bmp", 40, 20, 1},        {"two.bmp", 40, 20, 1},
    };
    return std::vector<LanPicture>(std::begin(kRows), std::end(kRows));
}
