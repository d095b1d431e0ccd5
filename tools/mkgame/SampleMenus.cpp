// The menu screens' pictures. Colour-keyed BMPs keep magenta in their top-left corner;
// TGAs carry their own alpha. Labels are drawn with the game's own text renderer.
#include "tools/mkgame/SampleMenus.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/Charset.h"
#include "platform/FontRender.h"
#include "platform/Text.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/SampleArt.h"
#include "tools/gamekit/SampleLooks.h"
#include "tools/gamekit/StoryPictures.h"
#include "tools/gamekit/TextLabel.h"
#include "tools/gamekit/TgaWriters.h"

namespace {

// The key of the scrolling text strips, dark like the pictures under them.
constexpr std::uint32_t kDarkKey = Argb(255, 8, 8, 16);

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
    auto ch = [&](int s) {
        const double va = double((a >> s) & 0xFF), vb = double((b >> s) & 0xFF);
        return std::uint32_t(std::lround(va + (vb - va) * t)) << s;
    };
    return ch(24) | ch(16) | ch(8) | ch(0);
}

// A rounded panel: border colour, then the body, corners left as they were.
void RoundPanel(PictureRgba& pic, int x0, int y0, int w, int h, int r, std::uint32_t border, std::uint32_t body,
                int nBorder = 2) {
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const int dx = std::max({x0 + r - x, x - (x0 + w - 1 - r), 0});
            const int dy = std::max({y0 + r - y, y - (y0 + h - 1 - r), 0});
            const double d = std::sqrt(double(dx * dx + dy * dy));
            if (d > r) continue;
            const bool bEdge = d > r - nBorder || x < x0 + nBorder || x >= x0 + w - nBorder || y < y0 + nBorder ||
                               y >= y0 + h - nBorder;
            pic.At(x, y) = bEdge ? border : Mix(body, Argb(body >> 24, 0, 0, 0), 0.25 * (y - y0) / h);
        }
    }
}

PkgEntryData Entry(const char* pszName, std::vector<std::uint8_t> bytes) {
    return PkgEntryData{Utf8ToText(pszName), std::move(bytes)};
}

std::vector<std::uint8_t> Bmp(const PictureRgba& pic) { return BuildBmp(pic); }

PictureRgba TitleBackground() {
    PictureRgba pic(800, 600);
    for (int y = 0; y < 600; ++y) {
        const std::uint32_t c = Mix(Argb(255, 18, 28, 64), Argb(255, 40, 110, 120), y / 599.0);
        for (int x = 0; x < 800; ++x) pic.At(x, y) = c;
    }
    // Two ranges of hills.
    for (int x = 0; x < 800; ++x) {
        const int h1 = 420 + int(40 * std::sin(x / 90.0) + 20 * std::sin(x / 37.0));
        const int h2 = 480 + int(30 * std::sin(x / 60.0 + 1.3));
        for (int y = h1; y < 600; ++y) pic.At(x, y) = Argb(255, 30, 60, 70);
        for (int y = h2; y < 600; ++y) pic.At(x, y) = Argb(255, 20, 42, 48);
    }
    PaintDisc(pic, 640, 120, 46, Argb(255, 240, 230, 190));
    PaintSampleLabel(pic, "青石奇缘", RECT{0, 60, 800, 180}, RGB(250, 214, 120), 72);
    return pic;
}

PictureRgba TitleButton(const char* pszLabel, bool bHover) {
    PictureRgba pic(195, 40, kSampleKey);
    RoundPanel(pic, 0, 0, 195, 40, 10, bHover ? Argb(255, 255, 230, 150) : Argb(255, 150, 110, 60),
               bHover ? Argb(255, 200, 120, 40) : Argb(255, 90, 56, 30));
    PaintSampleLabel(pic, pszLabel, RECT{0, 0, 195, 40}, bHover ? RGB(255, 255, 255) : RGB(240, 220, 170), 22);
    return pic;
}

PictureRgba BoxButton(int nWidth, const char* pszLabel, bool bHover) {
    PictureRgba pic(nWidth, 40, 0);
    RoundPanel(pic, 4, 4, nWidth - 8, 32, 8, Argb(255, 120, 80, 40),
               bHover ? Argb(255, 230, 170, 70) : Argb(255, 180, 140, 90));
    PaintSampleLabel(pic, pszLabel, RECT{0, 0, nWidth, 40}, bHover ? RGB(255, 255, 255) : RGB(60, 30, 10), 20);
    return pic;
}

PictureRgba YesNoStrip() {
    PictureRgba pic(194, 42, kSampleKey);
    const char* labels[2] = {"确定", "取消"};
    for (int i = 0; i < 2; ++i) {
        RoundPanel(pic, i * 97 + 2, 2, 93, 38, 8, Argb(255, 110, 70, 30), Argb(255, 210, 160, 80));
        PaintSampleLabel(pic, labels[i], RECT{i * 97, 0, i * 97 + 97, 42}, RGB(70, 30, 0), 20);
    }
    return pic;
}

// The talk face of a sculpt: its look's head and shoulders in a rounded frame.
PictureRgba Face(const Look& look) {
    PictureRgba pic(148, 148, kSampleKey);
    RoundPanel(pic, 4, 4, 140, 140, 16, Argb(255, 200, 170, 100), Argb(255, 70, 90, 110), 3);
    PictureRgba bust(126, 128, 0);
    PaintBust(bust, look, 0, 0, 126, 128);
    PaintOver(pic, bust, 11, 9);
    return pic;
}

}  // namespace

// Top to bottom from one colour to another.
PictureRgba Gradient(int w, int h, std::uint32_t top, std::uint32_t bottom) {
    PictureRgba pic(w, h);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t c = Mix(top, bottom, y / double(h - 1));
        for (int x = 0; x < w; ++x) pic.At(x, y) = c;
    }
    return pic;
}

// The credits: a dusk background and a tall keyed strip of names that scrolls up over it.
void AddCreditsPictures(std::vector<PkgEntryData>& entries) {
    PictureRgba back = Gradient(800, 600, Argb(255, 20, 16, 40), Argb(255, 90, 40, 60));
    PaintDisc(back, 160, 140, 60, Argb(255, 250, 220, 160));
    entries.push_back(Entry("MadeInofback.bmp", Bmp(back)));
    // A dark key: the letters' soft edges fade to dark, not to the key's magenta.
    PictureRgba text(800, 2400, kDarkKey);
    const char* kLines[] = {"青石奇缘", "制作人员", "策划  青石工作室", "程序  青石工作室", "美术  青石工作室",
                            "音乐  青石工作室", "测试  青石工作室", "感谢游玩"};
    int y = 620;
    for (const char* pszLine : kLines) {
        PaintSampleLabel(text, pszLine, RECT{0, y, 800, y + 60}, RGB(250, 230, 170), 36);
        y += 200;
    }
    entries.push_back(Entry("MadeInOfText.bmp", Bmp(text)));
}

// The ending: one picture and a wide keyed strip of text that slides in from the right.
void AddEndingPictures(std::vector<PkgEntryData>& entries) {
    PictureRgba end = Gradient(800, 600, Argb(255, 250, 180, 90), Argb(255, 60, 40, 80));
    // The sun stands above the text, whose lines slide in at y 250 to 350 and 450 to 550.
    PaintDisc(end, 400, 130, 90, Argb(255, 255, 230, 160));
    entries.push_back(Entry("End001.bmp", Bmp(end)));
    PictureRgba strip(1365, 600, kDarkKey);
    PaintSampleLabel(strip, "青石镇又恢复了往日的宁静", RECT{565, 100, 1365, 200}, RGB(255, 255, 255), 40);
    PaintSampleLabel(strip, "全剧终", RECT{565, 300, 1365, 400}, RGB(255, 255, 255), 60);
    entries.push_back(Entry("EndText.bmp", Bmp(strip)));
}

std::vector<PkgEntryData> MenuContentEntries(std::string_view pkgName) {
    std::vector<PkgEntryData> entries;
    auto same = [&](const char* p) {
        return pkgName.size() == std::char_traits<char>::length(p) &&
               std::equal(pkgName.begin(), pkgName.end(), p,
                          [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); });
    };
    if (same("Head.pkg")) {
        // One face a sculpt with a look: a talk line's face number is its speaker's sculpt.
        for (const Look& look : AllLooks()) {
            char szName[16];
            std::snprintf(szName, sizeof szName, "TX%03d.bmp", look.nSculpt);
            entries.push_back(Entry(szName, BuildSpriteBmp(Face(look))));
        }
        return entries;
    }
    if (!same("menu.pkg")) return entries;

    entries.push_back(Entry("MainMenu_BKGround.bmp", Bmp(TitleBackground())));
    const char* kNames[5] = {"Begin", "Read", "SetGame", "Maker", "End"};
    const char* kLabels[5] = {"新的旅程", "读取进度", "游戏设置", "制作人员", "离开游戏"};
    for (int i = 0; i < 5; ++i) {
        entries.push_back(Entry(("MainMenu_" + std::string(kNames[i]) + ".bmp").c_str(), Bmp(TitleButton(kLabels[i], false))));
        entries.push_back(Entry(("MainMenu_" + std::string(kNames[i]) + "[s].bmp").c_str(), Bmp(TitleButton(kLabels[i], true))));
    }

    entries.push_back(Entry("wite.bmp", Bmp(PictureRgba(800, 600, Argb(255, 255, 255, 255)))));
    PictureRgba box(236, 160, 0);
    RoundPanel(box, 0, 0, 236, 160, 14, Argb(255, 120, 80, 40), Argb(235, 245, 232, 200), 3);
    entries.push_back(Entry("OK_Cancel_BKGround1.tga", BuildRleTga32(box)));
    entries.push_back(Entry("OKCancel_OK.tga", BuildRleTga32(BoxButton(85, "确定", false))));
    entries.push_back(Entry("OKCancel_OK[s].tga", BuildRleTga32(BoxButton(85, "确定", true))));
    entries.push_back(Entry("Cancel.tga", BuildRleTga32(BoxButton(90, "取消", false))));
    entries.push_back(Entry("Cancel[s].tga", BuildRleTga32(BoxButton(90, "取消", true))));

    PictureRgba msgBox(280, 150, kSampleKey);
    RoundPanel(msgBox, 0, 0, 280, 150, 14, Argb(255, 120, 80, 40), Argb(255, 245, 232, 200), 3);
    entries.push_back(Entry("MessageBox.bmp", Bmp(msgBox)));
    PictureRgba putIn(240, 60, Argb(255, 245, 232, 200));
    PaintTextLabel(putIn, "请先放入要加工的物品", RECT{0, 0, 240, 60}, RGB(160, 20, 20), 18, "宋体");
    entries.push_back(Entry("PutInItem.bmp", Bmp(putIn)));
    entries.push_back(Entry("YesOrNo.bmp", Bmp(YesNoStrip())));

    PictureRgba exitBox(230, 134, kSampleKey);
    RoundPanel(exitBox, 0, 0, 230, 134, 14, Argb(255, 120, 80, 40), Argb(255, 245, 232, 200), 3);
    PaintSampleLabel(exitBox, "确定要离开游戏吗?", RECT{40, 15, 205, 50}, RGB(120, 30, 10), 18);
    RoundPanel(exitBox, 10, 86, 97, 42, 8, Argb(255, 110, 70, 30), Argb(255, 210, 160, 80));
    RoundPanel(exitBox, 118, 86, 97, 42, 8, Argb(255, 110, 70, 30), Argb(255, 210, 160, 80));
    PaintSampleLabel(exitBox, "是", RECT{10, 86, 107, 128}, RGB(70, 30, 0), 20);
    PaintSampleLabel(exitBox, "否", RECT{118, 86, 215, 128}, RGB(70, 30, 0), 20);
    entries.push_back(Entry("ExitGameOk.bmp", Bmp(exitBox)));

    // The talk bar: the face's well at the left holds the face of either bar (at +4/+5
    // and +7/+8) and ends before the text, which begins at +158.
    PictureRgba bar(520, 160, 0);
    RoundPanel(bar, 0, 0, 520, 160, 16, Argb(255, 200, 170, 100), Argb(200, 16, 24, 48), 3);
    RoundPanel(bar, 4, 5, 151, 152, 10, Argb(255, 160, 130, 80), Argb(220, 30, 40, 60), 2);
    entries.push_back(Entry("TalkBar.tga", BuildRleTga32(bar)));
    AddCreditsPictures(entries);
    AddEndingPictures(entries);
    for (PkgEntryData& e : StoryPictureEntries()) entries.push_back(std::move(e));
    return entries;
}
