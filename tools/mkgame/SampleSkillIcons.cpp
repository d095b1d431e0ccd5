#include "tools/mkgame/SampleSkillIcons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/Charset.h"
#include "tools/gamekit/SampleArt.h"
#include "tools/gamekit/TextLabel.h"

namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) { return Argb(255, r, g, b); }

enum class Sign { Sword, Palm, Heart, Array, Seal, Step, Slash, Shield, Arrow, Fist, Dart, Swirl, Bottle };

struct Element {
    const char* pszWord;
    std::uint32_t c;
};
// The elements' colours; a skill of none (the enemies' spells, the blows) is grey.
const Element kElements[] = {{"风", Rgb(70, 170, 140)}, {"火", Rgb(210, 70, 40)}, {"冰", Rgb(90, 160, 230)},
                             {"雷", Rgb(150, 90, 210)}, {"土", Rgb(170, 120, 50)}, {"妖", Rgb(120, 50, 130)}};

struct Form {
    const char* pszWord;
    Sign sign;
};
const Form kForms[] = {{"剑", Sign::Sword}, {"掌", Sign::Palm}, {"心", Sign::Heart}, {"阵", Sign::Array},
                       {"咒", Sign::Seal},  {"步", Sign::Step}, {"斩", Sign::Slash}, {"护", Sign::Shield},
                       {"箭", Sign::Arrow}, {"拳", Sign::Fist}, {"击", Sign::Fist},  {"投掷", Sign::Dart},
                       {"妖术", Sign::Swirl}};

// The sign drawn light on a 32 x 32 tile at (x, y).
void PaintSign(PictureRgba& pic, int x, int y, Sign sign, std::uint32_t c) {
    auto P = [&](double u, double v) { return ShapePoint{x + u, y + v}; };
    auto line = [&](double u0, double v0, double u1, double v1, double w) { PaintStroke(pic, x + u0, y + v0, x + u1, y + v1, w, c); };
    auto oval = [&](double u, double v, double ru, double rv) { PaintEllipse(pic, x + u, y + v, ru, rv, c); };
    switch (sign) {
    case Sign::Sword: line(8, 24, 25, 7, 3); line(6, 18, 14, 26, 2); line(7, 25, 4, 28, 2); break;
    case Sign::Palm:
        oval(16, 20, 7, 7);
        for (int i = 0; i < 4; ++i) line(10 + i * 4, 14, 9 + i * 4.5, 5, 2.5);
        line(10, 20, 5, 14, 2.5);
        break;
    case Sign::Heart: {
        oval(12, 12, 5, 5);
        oval(20, 12, 5, 5);
        const ShapePoint tip[3] = {P(7.5, 14), P(24.5, 14), P(16, 26)};
        PaintPolygon(pic, tip, c);
        break;
    }
    case Sign::Array:
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) oval(8 + i * 8, 8 + j * 8, 2.2, 2.2);
        line(8, 8, 24, 24, 1);
        line(24, 8, 8, 24, 1);
        break;
    case Sign::Seal:
        pic.Fill(x + 10, y + 5, 12, 22, c);
        PaintStroke(pic, x + 12, y + 10, x + 20, y + 10, 1.5, Rgb(200, 30, 30));
        PaintStroke(pic, x + 16, y + 8, x + 16, y + 24, 1.5, Rgb(200, 30, 30));
        PaintStroke(pic, x + 12, y + 18, x + 20, y + 22, 1.5, Rgb(200, 30, 30));
        break;
    case Sign::Step: oval(11, 20, 4, 6); oval(21, 11, 4, 6); oval(11, 12.5, 1.5, 1.5); oval(21, 3.5, 1.5, 1.5); break;
    case Sign::Slash: {
        const ShapePoint moon[5] = {P(5, 26), P(12, 10), P(27, 5), P(16, 13), P(9, 24)};
        PaintPolygon(pic, moon, c);
        break;
    }
    case Sign::Shield: {
        const ShapePoint shield[5] = {P(6, 6), P(26, 6), P(25, 17), P(16, 27), P(7, 17)};
        PaintPolygon(pic, shield, c);
        break;
    }
    case Sign::Arrow: {
        line(6, 26, 22, 10, 2);
        const ShapePoint head[3] = {P(18, 6), P(27, 5), P(26, 14)};
        PaintPolygon(pic, head, c);
        line(6, 26, 4, 20, 2);
        line(6, 26, 12, 28, 2);
        break;
    }
    case Sign::Fist:
        pic.Fill(x + 8, y + 9, 16, 14, c);
        for (int i = 0; i < 4; ++i) oval(10 + i * 4, 9, 2.2, 2.5);
        pic.Fill(x + 10, y + 23, 12, 4, c);
        break;
    case Sign::Dart: {
        const ShapePoint star[8] = {P(16, 4), P(19, 13), P(28, 16), P(19, 19), P(16, 28), P(13, 19), P(4, 16), P(13, 13)};
        PaintPolygon(pic, star, c);
        break;
    }
    case Sign::Swirl:
        for (int i = 0; i < 12; ++i) {
            const double a = i * 0.6, r = 2 + i;
            oval(16 + r * std::cos(a) * 0.9, 16 + r * std::sin(a) * 0.9, 2, 2);
        }
        break;
    case Sign::Bottle:
        pic.Fill(x + 13, y + 5, 6, 6, c);
        oval(16, 19, 8, 8);
        break;
    }
}

// A skill's tile: the element's colour with a lighter rim and the form's sign.
PictureRgba SkillTile(const SkillModel& skill) {
    const std::string name = TextToUtf8(skill.strName);
    std::uint32_t c = Rgb(120, 120, 130);
    for (const Element& e : kElements)
        if (name.find(e.pszWord) != std::string::npos) {
            c = e.c;
            break;
        }
    Sign sign = name.empty() ? Sign::Bottle : Sign::Swirl;
    for (const Form& f : kForms)
        if (name.find(f.pszWord) != std::string::npos) {
            sign = f.sign;
            break;
        }
    PictureRgba tile(32, 32, Shade(c, 0.55));
    PaintFrame(tile, 0, 0, 32, 32, Shade(c, 1.3));
    PaintEllipse(tile, 16, 16, 12, 12, c);
    PaintSign(tile, 0, 0, sign, Rgb(250, 245, 225));
    return tile;
}

// The tile in the skill panel's not-learned look: greyed and darker, 11 pixels in from
// the corner of a keyed 44 x 44 picture, where the learned icon is drawn.
PictureRgba NotLearned(const PictureRgba& tile) {
    PictureRgba pic(44, 44, kSampleKey);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const std::uint32_t c = tile.At(x, y);
            const int v = Lightness(c) * 6 / 10;
            pic.At(11 + x, 11 + y) = Argb(255, v, v, v + 10);
        }
    return pic;
}

// A hot-key mark: the key's letter on a small round badge at the top-left corner.
PictureRgba HotKey(char cKey) {
    PictureRgba pic(32, 32, kSampleKey);
    PaintDisc(pic, 7, 7, 7, Rgb(250, 220, 90));
    const char sz[2] = {cKey, 0};
    PaintTextLabel(pic, sz, RECT{0, 0, 15, 15}, RGB(120, 30, 10), 13, "Arial");
    return pic;
}

}  // namespace

std::vector<PkgEntryData> SkillIconEntries(const GameModel& model) {
    std::vector<PkgEntryData> entries;
    char szName[32];
    for (size_t i = 0; i < model.skills.size() && i < 100; ++i) {
        const PictureRgba tile = SkillTile(model.skills[i]);
        PictureRgba keyed = tile;
        keyed.At(0, 0) = kSampleKey;  // the icons take their colour key from this corner
        std::snprintf(szName, sizeof szName, "JL%03d.bmp", int(i));
        entries.push_back(PkgEntryData{szName, BuildCompactBmp(keyed)});
        std::snprintf(szName, sizeof szName, "skill-%02dn.bmp", int(i));
        entries.push_back(PkgEntryData{szName, BuildCompactBmp(NotLearned(tile))});
    }
    for (const char c : {'Y', 'U', 'I', 'O', 'P'}) {
        std::snprintf(szName, sizeof szName, "ShortCut%c.bmp", c);
        entries.push_back(PkgEntryData{szName, BuildCompactBmp(HotKey(c))});
    }
    return entries;
}
