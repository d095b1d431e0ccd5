#include "tools/mkgame/SampleToolBar.h"

#include <string>

#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/SampleLooks.h"
#include "tools/gamekit/TgaWriters.h"

namespace toolbar_art {

// Each picture's body colour; the probe spot lies inside the body.
const ToolBarProbe kProbes[] = {
    {"ToolBar_BKGround.tga", 400, 120, 70, 46, 30},
    {"Blood.tga", 30, 6, 210, 30, 30},
    {"Blood[L].tga", 2, 6, 255, 110, 110},
    {"Blood[R].tga", 2, 6, 140, 0, 20},
    {"Mana.tga", 30, 6, 30, 70, 220},
    {"Mana[L].tga", 2, 6, 110, 150, 255},
    {"Mana[R].tga", 2, 6, 0, 20, 140},
    {"ToolBar_Button.tga", 27, 29, 90, 90, 150},
    {"ToolBar_Button[s].tga", 27, 29, 250, 210, 60},
    {"SysMenu_BKGround.tga", 20, 400, 60, 40, 90},
    {"SaveGame.tga", 10, 26, 40, 110, 60},
    {"SaveGame[s].tga", 10, 26, 120, 230, 140},
    {"LoadGame.tga", 10, 26, 40, 60, 120},
    {"LoadGame[s].tga", 10, 26, 120, 150, 250},
    {"ReturnToGame.tga", 10, 26, 110, 60, 40},
    {"ReturnToGame[s].tga", 10, 26, 250, 160, 110},
    {"SysSet.tga", 10, 26, 90, 90, 40},
    {"SysSet[s].tga", 10, 26, 230, 230, 100},
    {"OverGame.tga", 10, 26, 100, 30, 70},
    {"OverGame[s].tga", 10, 26, 240, 90, 170},
    {"GTX001.tga", 50, 90, 200, 150, 90},
    {"GTX002.tga", 50, 90, 90, 170, 200},
    {"GTX003.tga", 50, 90, 170, 90, 200},
    {"GTX004.tga", 50, 90, 90, 200, 120},
    {"GTX005.tga", 50, 90, 230, 120, 150},
    {"GTX000.bmp", 50, 90, 100, 100, 100},
    {"GTX001.bmp", 50, 90, 120, 120, 120},
    {"GTX002.bmp", 50, 90, 140, 140, 140},
    {"MainMenuthew.bmp", 32, 32, 150, 120, 40},
    {"DescriptMenu.bmp", 200, 85, 24, 28, 70},
};

std::uint32_t BodyOf(const char* pszName) { return ProbeBody(kProbes, pszName); }

// A solid picture keyed by its top-left pixel.
PictureRgba KeyedSolid(const char* pszName, int w, int h) { return KeyedPicture(w, h, BodyOf(pszName)); }

// The strip: keyed above the bar except the portrait frames; the bar body below with
// wells for the bars, skill buttons and quick slots.
PictureRgba ToolBarBackground() {
    const std::uint32_t body = BodyOf("ToolBar_BKGround.tga");
    const std::uint32_t edge = Argb(255, 200, 160, 90);
    const std::uint32_t well = Argb(255, 24, 16, 10);
    PictureRgba pic(800, 145, kSampleKey);
    pic.Fill(0, 75, 800, 70, body);
    pic.Fill(0, 75, 800, 2, edge);
    for (int x0 : {6, 126}) {
        pic.Fill(x0, 1, 113, 104, body);
        PaintFrame(pic, x0, 1, 113, 104, edge);
        pic.Fill(x0 + 4, 5, 105, 96, well);
    }
    for (int x0 : {8, 128}) {
        pic.Fill(x0, 110, 82, 12, well);
        pic.Fill(x0, 127, 82, 13, well);
    }
    // A selected skill's 32-pixel icon is drawn at (93, 110) and (212, 110), a quick
    // slot's item icon 13 and 10 pixels into its slot (from x 261, 320, 376, 431, 498, 556,
    // 611 and 669, y 95) and its count at the slot's top left: each frame holds all of
    // it. The stack slot is the fourth member's, who never joins: it gets no frame.
    for (int x0 : {93, 212}) PaintFrame(pic, x0 - 2, 108, 36, 36, edge);
    for (int x0 : {261, 320, 376, 431, 498, 556, 611, 669}) PaintFrame(pic, x0, 93, 49, 51, edge);
    return pic;
}

PictureRgba ButtonPicture(const char* pszName, const char* pszLabel, int w, int h, bool bHover) {
    PictureRgba pic(w, h, BodyOf(pszName));
    PaintFrame(pic, 0, 0, w, h, bHover ? Argb(255, 255, 255, 255) : Argb(255, 30, 20, 20));
    if (pszLabel) PaintSampleLabel(pic, pszLabel, RECT{40, 0, w, h}, bHover ? RGB(0, 0, 0) : RGB(255, 240, 200), 24);
    return pic;
}

// Member n's head and shoulders in a frame of the picture's body colour, deepest below
// where the probe spot lies.
PictureRgba Portrait(const char* pszName, int nMember, int w, int h) {
    return PaintPortrait(PortraitLook(nMember), w, h, BodyOf(pszName), Argb(255, 60, 44, 36), 11);
}

PictureRgba MarkerFrame(int n) {
    PictureRgba pic(32, 32, kSampleKey);
    const int r = 4 + n % 11;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int d = (x - 16) * (x - 16) + (y - 16) * (y - 16);
            if (d <= r * r && d >= (r - 2) * (r - 2)) pic.At(x, y) = Argb(255, 255, 240 - n * 8, 40 + n * 8);
        }
    return pic;
}

}  // namespace toolbar_art

std::vector<PkgEntryData> ToolBarContentEntries() {
    using namespace toolbar_art;
    std::vector<PkgEntryData> e;
    auto tga = [&](const std::string& name, const PictureRgba& pic) { e.push_back(PkgEntryData{name, BuildRleTga32(pic)}); };
    auto bmp = [&](const std::string& name, const PictureRgba& pic) { e.push_back(PkgEntryData{name, BuildBmp(pic)}); };

    tga("ToolBar_BKGround.tga", ToolBarBackground());
    tga("Blood.tga", KeyedSolid("Blood.tga", 72, 12));
    tga("Blood[L].tga", KeyedSolid("Blood[L].tga", 4, 12));
    tga("Blood[R].tga", KeyedSolid("Blood[R].tga", 4, 12));
    tga("Mana.tga", KeyedSolid("Mana.tga", 72, 12));
    tga("Mana[L].tga", KeyedSolid("Mana[L].tga", 4, 12));
    tga("Mana[R].tga", KeyedSolid("Mana[R].tga", 4, 12));
    tga("ToolBar_Button.tga", ButtonPicture("ToolBar_Button.tga", nullptr, 55, 58, false));
    tga("ToolBar_Button[s].tga", ButtonPicture("ToolBar_Button[s].tga", nullptr, 55, 58, true));

    PictureRgba sys(360, 460, BodyOf("SysMenu_BKGround.tga"));
    PaintFrame(sys, 0, 0, 360, 460, Argb(255, 200, 170, 100));
    PaintSampleLabel(sys, "系统", RECT{0, 8, 360, 44}, RGB(250, 220, 150), 28);
    tga("SysMenu_BKGround.tga", sys);
    const char* kButtons[5][2] = {{"SaveGame", "保存进度"}, {"LoadGame", "读取进度"}, {"ReturnToGame", "回到游戏"},
                                  {"SysSet", "游戏设置"}, {"OverGame", "离开游戏"}};
    for (const auto& b : kButtons) {
        const std::string normal = std::string(b[0]) + ".tga", hover = std::string(b[0]) + "[s].tga";
        tga(normal, ButtonPicture(normal.c_str(), b[1], 265, 52, false));
        tga(hover, ButtonPicture(hover.c_str(), b[1], 265, 52, true));
    }
    for (int i = 1; i <= 5; ++i) tga(Numbered("GTX%03d.tga", i), Portrait(Numbered("GTX%03d.tga", i).c_str(), i, 105, 96));
    // Members 2..4 before they join: their portraits in grey.
    for (int i = 0; i <= 2; ++i) {
        PictureRgba absent = Portrait(Numbered("GTX%03d.bmp", i).c_str(), i + 2, 105, 96);
        MakeGrey(absent);
        absent.At(0, 0) = kSampleKey;
        bmp(Numbered("GTX%03d.bmp", i), absent);
    }
    bmp("MainMenuthew.bmp", KeyedSolid("MainMenuthew.bmp", 64, 64));
    for (int i = 0; i <= 20; ++i) tga(Numbered("Bomb%02d.tga", i), MarkerFrame(i));
    PictureRgba desc = KeyedSolid("DescriptMenu.bmp", 400, 170);
    PaintFrame(desc, 1, 1, 398, 168, Argb(255, 160, 140, 90));
    bmp("DescriptMenu.bmp", desc);
    // The life-loss number is written on a black picture keyed by its corner: only the
    // red digits and their dark edges show.
    bmp("DecLife.bmp", PictureRgba(50, 20, Argb(255, 0, 0, 0)));
    return e;
}

const ToolBarProbe* FindToolBarProbe(const char* pszName) { return FindProbe(toolbar_art::kProbes, pszName); }
