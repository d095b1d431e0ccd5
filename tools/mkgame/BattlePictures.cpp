#include "tools/mkgame/BattlePictures.h"

#include <string>

#include "platform/Charset.h"
#include "tools/gamekit/SampleArt.h"
#include "tools/gamekit/SampleLooks.h"
#include "tools/gamekit/TextLabel.h"
#include "tools/mkgame/BattleContent.h"

namespace {

constexpr std::uint32_t kBlackKey = Argb(255, 0, 0, 0);
constexpr std::uint32_t kWhiteEdge = Argb(255, 240, 240, 240);
constexpr COLORREF kLabel = RGB(255, 236, 170);
constexpr COLORREF kLitLabel = RGB(110, 20, 10);

std::uint32_t Opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }

// A flat probe-coloured picture with a white frame; its top-left pixel is black, the
// colour key of keyed pictures.
PictureRgba Flat(int w, int h, std::uint32_t rgb) {
    PictureRgba pic(w, h, Opaque(rgb));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) pic.At(x, y) = kWhiteEdge;
    pic.At(0, 0) = kBlackKey;
    return pic;
}

PkgEntryData Bmp(const char* pszName, const PictureRgba& pic) { return PkgEntryData{pszName, BuildBmp(pic)}; }

// A labelled button at (x, y) of the picture: body, a darker rim and the label centred.
void Button(PictureRgba& pic, int x, int y, int w, int h, std::uint32_t body, const char* pszLabel, COLORREF cr,
            int nText) {
    pic.Fill(x, y, w, h, body);
    PaintFrame(pic, x, y, w, h, Shade(body, 0.55));
    PaintTextLabel(pic, pszLabel, RECT{x, y, x + w, y + h}, cr, nText, "宋体");
}

// The ring's commands by ring button (3 has none).
struct RingButton {
    int x, y;
    const char* pszLabel;
};
constexpr RingButton kRing[6] = {{0, 0, "攻击"}, {109, 0, "法术"}, {53, 56, "物品"}, {0, 0, nullptr}, {109, 120, "逃跑"}, {0, 120, "防御"}};

// A triangle 10 pixels wide pointing up or down, centred on x, from y to y + h.
void Arrow(PictureRgba& pic, double x, int y, int h, bool bUp, std::uint32_t c) {
    const double t = y + 4.0, b = y + h - 4.0;
    const ShapePoint tri[3] = {{x - 5, bUp ? b : t}, {x + 5, bUp ? b : t}, {x, bUp ? t : b}};
    PaintPolygon(pic, tri, c);
}

// A scroll button of the lists: an arrow and its word, pressed a shade darker.
void ScrollButton(PictureRgba& pic, int x, int y, bool bUp, bool bPressed) {
    const std::uint32_t body = bPressed ? Argb(255, 120, 110, 80) : Argb(255, 190, 170, 110);
    pic.Fill(x, y, 31, 19, body);
    PaintFrame(pic, x, y, 31, 19, Shade(body, 0.5));
    Arrow(pic, x + 8, y, 19, bUp, Argb(255, 110, 30, 20));
    PaintTextLabel(pic, bUp ? "上" : "下", RECT{x + 13, y, x + 31, y + 19}, RGB(90, 20, 10), 14, "宋体");
}

// The list panel: a header (three skill tabs, or one title for the items), the well the
// rows are written in and the two scroll buttons.
PictureRgba ListPanel(int nLitTab, bool bItems) {
    PictureRgba list = Flat(160, 190, kListColour);
    if (bItems) {
        Button(list, 13, 13, 128, 22, Argb(255, 90, 180, 110), "物品", kLitLabel, 16);
    } else {
        static const char* const kTabs[3] = {"攻击", "辅助", "特技"};
        const int tabs[4] = {13, 56, 98, 141};
        for (int t = 0; t < 3; ++t) {
            const bool bLit = t == nLitTab;
            Button(list, tabs[t], 13, tabs[t + 1] - tabs[t] - 1, 22, bLit ? Argb(255, 90, 180, 110) : Argb(255, 30, 60, 40),
                   kTabs[t], bLit ? kLitLabel : RGB(200, 210, 190), 14);
        }
    }
    // The rows' names from x 36, an item's stock 80 pixels further right.
    list.Fill(33, 40, 116, 111, Argb(255, 18, 44, 30));
    ScrollButton(list, 18, 166, true, false);
    ScrollButton(list, 108, 166, false, false);
    return list;
}

// The status display's heads: one a battle animation number (the sculpt the fighter is
// drawn with), then the same seven poisoned, in green. The heroine (animation 1) shows
// head 0 while she wears her sample clothes (option PlayerCloth), so heads 0 and 1 are
// both hers.
PictureRgba Heads() {
    PictureRgba heads(93 * 14, 85, kBlackKey);
    for (int h = 0; h < 14; ++h) {
        const Look* pLook = FindLook(h % 7 == 0 ? 1 : h % 7);
        if (!pLook) continue;
        PictureRgba bust(53, 65, 0);
        PaintBust(bust, *pLook, 0, 0, 53, 65);
        for (int y = 0; y < 65; ++y)
            for (int x = 0; x < 53; ++x) {
                std::uint32_t c = bust.At(x, y);
                if (!c) continue;
                if (h >= 7) c = Argb(255, ((c >> 16) & 0xFF) / 2, 120 + ((c >> 8) & 0xFF) / 2, (c & 0xFF) / 2);
                heads.At(93 * h + 20 + x, 10 + y) = c | 0xFF000000u;
            }
    }
    return heads;
}

}  // namespace

std::vector<PkgEntryData> BattleMenuEntries() {
    std::vector<PkgEntryData> e;
    // The battle field: a flat ground with a lighter band where the fighters stand.
    PictureRgba ground(800, 600, Opaque(kBackgroundColour));
    ground.Fill(0, 180, 800, 260, Argb(255, 70, 110, 60));
    e.push_back(Bmp("001.bmp", ground));
    // The pressed scroll buttons.
    for (const bool bUp : {true, false}) {
        PictureRgba pressed(31, 18, kBlackKey);
        ScrollButton(pressed, 0, 0, bUp, true);
        pressed.At(0, 0) = kBlackKey;
        e.push_back(Bmp(bUp ? "me007.bmp" : "me0073.bmp", pressed));
    }
    // The ring: five 40 x 40 command buttons, each labelled, on the ring's colour.
    PictureRgba ring = Flat(150, 160, kRingColour);
    for (const RingButton& b : kRing)
        if (b.pszLabel) Button(ring, b.x + 3, b.y + 3, 34, 34, Argb(255, 40, 70, 150), b.pszLabel, kLabel, 15);
    e.push_back(Bmp("me0FMain.bmp", ring));
    // The lit buttons, one tile per ring button number: the same label on the lit colour.
    PictureRgba lit(240, 40, Opaque(kRingLitColour));
    for (int t = 0; t < 6; ++t) {
        PaintFrame(lit, 40 * t, 0, 40, 40, Argb(255, 160, 110, 20));
        if (kRing[t].pszLabel) PaintTextLabel(lit, kRing[t].pszLabel, RECT{40 * t, 0, 40 * t + 40, 40}, kLitLabel, 15, "宋体");
    }
    lit.At(0, 0) = kBlackKey;
    e.push_back(Bmp("me0FMain3.bmp", lit));
    e.push_back(Bmp("me0FLine.bmp", Flat(140, 85, 0x202840)));
    // The bars: time gauge (rows 0..5), mana (6..11), life (12..17).
    PictureRgba bars(118, 18, 0);
    bars.Fill(0, 0, 118, 6, Argb(255, 230, 200, 40));
    bars.Fill(0, 6, 118, 6, Argb(255, 40, 90, 230));
    bars.Fill(0, 12, 118, 6, Argb(255, 220, 40, 40));
    bars.At(0, 0) = kBlackKey;
    e.push_back(Bmp("me0FightBlood.bmp", bars));
    e.push_back(Bmp("FightHead.bmp", Heads()));
    PictureRgba icons(40, 20, 0);
    icons.Fill(2, 2, 16, 16, Argb(255, 60, 220, 60));
    icons.Fill(22, 2, 16, 16, Argb(255, 160, 160, 220));
    e.push_back(Bmp("Icon.bmp", icons));
    e.push_back(Bmp("me0FItem.bmp", ListPanel(-1, true)));
    e.push_back(Bmp("me0FAttack.bmp", ListPanel(0, false)));
    e.push_back(Bmp("me0FDefance.bmp", ListPanel(1, false)));
    e.push_back(Bmp("me0FStunt.bmp", ListPanel(2, false)));
    e.push_back(Bmp("FightVir.bmp", Flat(320, 220, kVictoryColour)));
    // The escape popup asks, its OK button below; the lit OK is drawn over it.
    PictureRgba popup = Flat(131, 110, kEscapeColour);
    PaintTextLabel(popup, "要逃跑吗？", RECT{0, 16, 131, 56}, RGB(250, 240, 210), 18, "宋体");
    Button(popup, 18, 72, 95, 24, Argb(255, 120, 120, 120), "确定", RGB(250, 240, 210), 16);
    e.push_back(Bmp("me0FEXIT.bmp", popup));
    PictureRgba ok(95, 25, kBlackKey);
    Button(ok, 0, 0, 95, 25, Argb(255, 224, 224, 224), "确定", RGB(120, 20, 10), 16);
    ok.At(0, 0) = kBlackKey;
    e.push_back(Bmp("me0FOK.bmp", ok));
    // The box the battle's tooltips and messages are written in.
    e.push_back(PkgEntryData{Utf8ToText("对战获胜.bmp"), BuildBmp(Flat(230, 120, kMessageBoxColour))});
    return e;
}
