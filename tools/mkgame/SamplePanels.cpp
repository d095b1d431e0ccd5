#include "tools/mkgame/SamplePanels.h"

#include <string>

#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/SampleLooks.h"
#include "tools/gamekit/TgaWriters.h"

namespace panel_art {

// Name, probe spot (picture-relative) and body colour of every picture.
const ToolBarProbe kProbes[] = {
    {"ItemMenu_BKGround.tga", 20, 420, 52, 40, 70},
    {"StateMenu_BKGround.tga", 20, 420, 40, 62, 52},
    {"SkillMenu_BKGround.tga", 20, 420, 36, 48, 84},
    {"TaskMenu_BKGound.tga", 20, 420, 70, 52, 36},
    {"SysSetMenu_BKGround.tga", 20, 420, 44, 44, 60},
    {"ItemBox_Button[s].tga", 6, 12, 250, 200, 40},
    {"ItemPos.bmp", 12, 15, 60, 200, 60},
    {"CTX001.tga", 60, 124, 180, 120, 110},
    {"CTX002.tga", 60, 124, 100, 150, 190},
    {"CTX003.tga", 60, 124, 150, 100, 190},
    {"CTX004.tga", 60, 124, 100, 190, 130},
    {"CTX005.tga", 60, 124, 220, 110, 160},
    {"Item_Button.tga", 50, 16, 70, 100, 60},
    {"Item_Button[s].tga", 50, 16, 150, 230, 120},
    {"Skill_Button.tga", 50, 16, 60, 80, 120},
    {"Skill_Button[s].tga", 50, 16, 130, 160, 250},
    {"Task_Button.tga", 50, 16, 110, 80, 50},
    {"Task_Button[s].tga", 50, 16, 240, 170, 110},
    {"Sys_Button.tga", 50, 16, 90, 60, 100},
    {"Sys_Button[s].tga", 50, 16, 200, 130, 230},
    {"Cancel_State.tga", 50, 20, 110, 50, 50},
    {"Cancel_State[s].tga", 50, 20, 240, 110, 110},
    {"LeftArrow[s].tga", 11, 6, 250, 250, 120},
    {"RightArrow[s].tga", 11, 6, 120, 250, 250},
    {"Connect.tga", 32, 14, 200, 180, 80},
    {"SkillBox[s].tga", 17, 17, 220, 220, 60},
    {"Ball_Up[s].tga", 10, 10, 90, 230, 90},
    {"Ball_Down[s].tga", 10, 11, 230, 90, 90},
    {"Ball_Left[s].tga", 10, 10, 90, 90, 230},
    {"Ball_Right[s].tga", 11, 10, 230, 230, 90},
    {"ButterFly.tga", 12, 9, 250, 140, 200},
    {"OK.tga", 20, 25, 60, 120, 60},
    {"OK[s].tga", 20, 25, 140, 250, 140},
    {"Cancel.tga", 20, 25, 120, 60, 60},
    {"Cancel[s].tga", 20, 25, 250, 140, 140},
    {"PlayerPos.bmp", 3, 3, 255, 40, 40},
    {"Scene000.bmp", 160, 120, 60, 120, 70},
    {"Scene001.bmp", 100, 100, 40, 100, 60},
    {"TradeMenu_BKGround.tga", 20, 420, 84, 66, 40},
    {"Menu_Combine_BKGround.tga", 10, 250, 40, 80, 96},
    {"Combine.tga", 20, 25, 60, 110, 130},
    {"Combine[s].tga", 20, 25, 150, 230, 240},
};

std::uint32_t BodyOf(const char* pszName) { return ProbeBody(kProbes, pszName); }

constexpr COLORREF kCaption = RGB(250, 220, 150);

PictureRgba Body(const char* pszName, int w, int h) { return PictureRgba(w, h, BodyOf(pszName)); }

// A panel background with a title and the wells its content is drawn in.
PictureRgba Background(const char* pszName, const char* pszTitle) {
    PictureRgba pic = Body(pszName, 340, 440);
    PaintFrame(pic, 0, 0, 340, 440, Argb(255, 200, 170, 100));
    PaintSampleLabel(pic, pszTitle, RECT{0, 400, 340, 436}, RGB(250, 220, 150), 24);
    return pic;
}

// Captions of the five number rows beside the portrait (the rows start at x 215, 25
// pixels apart) and of the money, in the panel's title colour.
void NumberCaptions(PictureRgba& pic, const char* pszFirst) {
    const char* const captions[5] = {pszFirst, "生命", "内力", "攻击", "防御"};
    for (int i = 0; i < 5; ++i) PaintSampleLabel(pic, captions[i], RECT{164, 53 + 25 * i, 212, 75 + 25 * i}, kCaption, 17);
}

PictureRgba ItemBackground() {
    PictureRgba pic = Background("ItemMenu_BKGround.tga", "物品");
    // The item panel's first row is the age, the state and skill panels' the level.
    NumberCaptions(pic, "年龄");
    PaintSampleLabel(pic, "金钱", RECT{22, 173, 62, 195}, kCaption, 17);
    const std::uint32_t well = Argb(255, 22, 18, 30);
    for (int n = 0; n < 54; ++n) pic.Fill(27 + 32 * (n % 9), 205 + 33 * (n / 9), 25, 31, well);
    for (int t = 0; t < 3; ++t) pic.Fill(313, 203 + 33 * t, 12, 25, Argb(255, 120, 100, 60));
    return pic;
}

// The shop: the running balance is written as ":%d" from screen (120, 340); its caption
// stands left of the colon.
PictureRgba TradeBackground() {
    PictureRgba pic = Background("TradeMenu_BKGround.tga", "交易");
    PaintSampleLabel(pic, "本次花费", RECT{12, 328, 80, 352}, kCaption, 16);
    return pic;
}

// The clasp drawn between the state panel and the panel open beside it: two bars of
// the panels' frame colour across the gap, clear between them (the picture is drawn by
// its alpha).
PictureRgba Connector() {
    PictureRgba pic(64, 45, 0);
    const std::uint32_t frame = Argb(255, 200, 170, 100);
    for (int y0 : {12, 29}) {
        pic.Fill(0, y0, 64, 4, frame);
        pic.Fill(0, y0 + 1, 64, 2, BodyOf("Connect.tga"));
    }
    return pic;
}

PictureRgba StateBackground() {
    PictureRgba pic = Background("StateMenu_BKGround.tga", "状态");
    NumberCaptions(pic, "等级");
    static const int kBoxes[6][4] = {{125, 200, 185, 260}, {90, 350, 120, 377}, {125, 270, 185, 330},
                                     {55, 245, 120, 340},  {125, 340, 185, 400}, {195, 350, 225, 377}};
    for (const auto& b : kBoxes) PaintFrame(pic, b[0], b[1], b[2] - b[0], b[3] - b[1], Argb(255, 180, 200, 160));
    return pic;
}

PictureRgba SkillBackground() {
    PictureRgba pic = Background("SkillMenu_BKGround.tga", "技能");
    NumberCaptions(pic, "等级");
    // The three skill slots: a learned skill's icon is drawn 11 pixels in from a slot's
    // corner and the selection framed 7 to 9 pixels in, so the wells sit there; the
    // selected skill's name, words, level and attack are written in the well beside.
    const std::uint32_t well = Argb(255, 22, 26, 44), edge = Argb(255, 160, 170, 220);
    for (int y0 : {210, 275, 340}) {
        pic.Fill(65, y0 + 7, 38, 38, well);
        PaintFrame(pic, 65, y0 + 7, 38, 38, edge);
    }
    pic.Fill(134, 224, 172, 150, well);
    PaintFrame(pic, 134, 224, 172, 150, edge);
    return pic;
}

// The task panel: the open tasks above, the finished ones below.
PictureRgba TaskBackground() {
    PictureRgba pic = Background("TaskMenu_BKGound.tga", "任务");
    PaintSampleLabel(pic, "进行中的任务", RECT{35, 20, 255, 46}, kCaption, 18);
    PaintSampleLabel(pic, "已完成的任务", RECT{82, 207, 310, 233}, kCaption, 18);
    return pic;
}

// The task lists' thumb: a butterfly on a clear ground; its right wing holds the probe.
PictureRgba ButterFly() {
    PictureRgba pic(24, 18, 0);
    const std::uint32_t wing = BodyOf("ButterFly.tga");
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 24; ++x) {
            const int dx = x < 12 ? 11 - x : x - 12;
            const bool bUpper = y < 10 && dx * dx * 4 + (y - 5) * (y - 5) * 9 <= 400;
            const bool bLower = y >= 8 && dx * dx * 9 + (y - 12) * (y - 12) * 16 <= 400;
            if (bUpper || bLower) pic.At(x, y) = wing;
        }
    for (int y = 3; y < 16; ++y) pic.At(11, y) = Argb(255, 60, 30, 40);
    pic.At(9, 1) = pic.At(10, 2) = pic.At(13, 1) = pic.At(12, 2) = Argb(255, 60, 30, 40);
    return pic;
}

PictureRgba SettingsBackground() {
    PictureRgba pic = Background("SysSetMenu_BKGround.tga", "设置");
    for (int y0 : {80, 168, 260}) pic.Fill(68, y0 + 8, 220, 4, Argb(255, 180, 180, 200));
    PaintSampleLabel(pic, "音乐", RECT{60, 50, 280, 76}, RGB(240, 230, 200), 20);
    PaintSampleLabel(pic, "音效", RECT{60, 140, 280, 166}, RGB(240, 230, 200), 20);
    PaintSampleLabel(pic, "速度", RECT{60, 232, 280, 258}, RGB(240, 230, 200), 20);
    return pic;
}

PictureRgba Button(const char* pszName, const char* pszLabel, int w, int h, bool bHover) {
    PictureRgba pic = Body(pszName, w, h);
    PaintFrame(pic, 0, 0, w, h, bHover ? Argb(255, 255, 255, 255) : Argb(255, 30, 20, 20));
    if (pszLabel) PaintSampleLabel(pic, pszLabel, RECT{0, 0, w / 2 + 10, h}, bHover ? RGB(0, 0, 0) : RGB(255, 240, 200), 18);
    return pic;
}

// Member n's head and shoulders, framed in the picture's body colour.
PictureRgba Portrait(const char* pszName, int nMember) {
    return PaintPortrait(PortraitLook(nMember), 120, 130, BodyOf(pszName), Argb(255, 48, 40, 56), 12);
}

// A small landscape: the probe colour as grass, a road and a pond.
PictureRgba SceneMap(const char* pszName, int w, int h) {
    PictureRgba pic = Body(pszName, w, h);
    pic.At(0, 0) = kSampleKey;
    pic.Fill(0, h / 2 - 4, w, 8, Argb(255, 170, 150, 100));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = x - w / 4, dy = y - h / 4;
            if (dx * dx + dy * dy < 20 * 20) pic.At(x, y) = Argb(255, 50, 90, 200);
        }
    return pic;
}

// The combining table: a 4 x 4 grid of source wells and a 2 x 4 grid of result wells.
PictureRgba CombineBackground() {
    constexpr const char* kName = "Menu_Combine_BKGround.tga";
    PictureRgba pic = Body(kName, 324, 270);
    PaintFrame(pic, 0, 0, 324, 270, Argb(255, 200, 170, 100));
    PaintSampleLabel(pic, "合成", RECT{0, 8, 324, 44}, RGB(250, 220, 150), 24);
    const std::uint32_t well = Argb(255, 22, 18, 30);
    for (int n = 0; n < 16; ++n) pic.Fill(36 + 32 * (n % 4), 63 + 32 * (n / 4), 24, 29, well);
    for (int n = 0; n < 8; ++n) pic.Fill(224 + 32 * (n % 2), 63 + 32 * (n / 2), 28, 29, well);
    return pic;
}

}  // namespace panel_art

std::vector<PkgEntryData> PanelContentEntries() {
    using namespace panel_art;
    std::vector<PkgEntryData> e;
    auto tga = [&](const std::string& name, const PictureRgba& pic) { e.push_back(PkgEntryData{name, BuildRleTga32(pic)}); };
    auto bmp = [&](const std::string& name, const PictureRgba& pic) { e.push_back(PkgEntryData{name, BuildBmp(pic)}); };

    tga("ItemMenu_BKGround.tga", ItemBackground());
    tga("StateMenu_BKGround.tga", StateBackground());
    tga("SkillMenu_BKGround.tga", SkillBackground());
    tga("TaskMenu_BKGound.tga", TaskBackground());
    tga("SysSetMenu_BKGround.tga", SettingsBackground());
    tga("TradeMenu_BKGround.tga", TradeBackground());
    tga("ItemBox_Button[s].tga", Body("ItemBox_Button[s].tga", 12, 25));
    bmp("ItemPos.bmp", KeyedPicture(25, 31, BodyOf("ItemPos.bmp")));
    for (int i = 1; i <= 5; ++i) tga(Numbered("CTX%03d.tga", i), Portrait(Numbered("CTX%03d.tga", i).c_str(), i));
    const struct {
        const char* pszName;
        const char* pszLabel;
        int w, h;
    } kButtons[] = {{"Item_Button", "物品", 63, 33}, {"Skill_Button", "技能", 63, 33}, {"Task_Button", "任务", 63, 34},
                    {"Sys_Button", "合成", 63, 33},  {"Cancel_State", "关闭", 63, 40}, {"OK", "确定", 90, 35},
                    {"Cancel", "取消", 90, 35}};
    for (const auto& b : kButtons) {
        const std::string normal = std::string(b.pszName) + ".tga", hover = std::string(b.pszName) + "[s].tga";
        tga(normal, Button(normal.c_str(), b.pszLabel, b.w, b.h, false));
        tga(hover, Button(hover.c_str(), b.pszLabel, b.w, b.h, true));
    }
    tga("LeftArrow[s].tga", Body("LeftArrow[s].tga", 22, 12));
    tga("RightArrow[s].tga", Body("RightArrow[s].tga", 22, 12));
    tga("Connect.tga", Connector());
    PictureRgba box = Body("SkillBox[s].tga", 35, 35);
    tga("SkillBox[s].tga", box);
    tga("Ball_Up[s].tga", Body("Ball_Up[s].tga", 20, 20));
    tga("Ball_Down[s].tga", Body("Ball_Down[s].tga", 21, 22));
    tga("Ball_Left[s].tga", Body("Ball_Left[s].tga", 20, 20));
    tga("Ball_Right[s].tga", Body("Ball_Right[s].tga", 22, 20));
    tga("ButterFly.tga", ButterFly());
    tga("Menu_Combine_BKGround.tga", CombineBackground());
    tga("Combine.tga", Button("Combine.tga", "合成", 80, 40, false));
    tga("Combine[s].tga", Button("Combine[s].tga", "合成", 80, 40, true));
    bmp("PlayerPos.bmp", Body("PlayerPos.bmp", 6, 6));
    bmp("Scene000.bmp", SceneMap("Scene000.bmp", 320, 240));
    bmp("Scene001.bmp", SceneMap("Scene001.bmp", 200, 200));
    return e;
}

const ToolBarProbe* FindPanelProbe(const char* pszName) { return FindProbe(panel_art::kProbes, pszName); }
