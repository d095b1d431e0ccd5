#include "tools/mkgame/SampleGoods.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "platform/Charset.h"
#include "tools/gamekit/SampleArt.h"

namespace {

enum class Kind {
    Sword, Sabre, Robe, Vest, Mail, Headband, Cap, Helmet, Crown, Sandal, Boot, Dart, Caltrop, Arrow, Needles, Bomb,
    Gem, Pearl, Ore, Hide, Silk, Logs, Herb, Crystal, Gall, Antler, Bone, Honey, Powder, Bottle, Packet, Pills, Jar,
    Bowl, Letter, Pendant, Key, MapPiece, Token, Basket, Fish, Bread, Gourd, Lantern, Rope, FireStick, Mirror, Fan,
    Pouch, Kite, Board, Tea, Vase, Zither, Brush, Inkstone, Paper, Scroll, Coins, Comb, Cloth, Hairpin, Umbrella,
    StrawHat, Raincoat, Mat, Rations, WaterSkin, Net, Abacus, Seal, Box, Ingot, Bundle
};

constexpr std::uint32_t Rgb(int r, int g, int b) { return Argb(255, r, g, b); }

// What a name says an item is, and its colour: the first entry whose word the name holds.
struct GoodWord {
    const char* pszWord;
    Kind kind;
    std::uint32_t c;
};
const GoodWord kWords[] = {
    // Blades, by their metal.
    {"木剑", Kind::Sword, Rgb(170, 120, 70)}, {"铁剑", Kind::Sword, Rgb(170, 175, 185)},
    {"青钢", Kind::Sword, Rgb(120, 170, 200)}, {"寒铁", Kind::Sabre, Rgb(190, 225, 245)},
    {"龙泉", Kind::Sword, Rgb(230, 230, 240)}, {"玄铁", Kind::Sword, Rgb(90, 90, 110)},
    {"柳叶", Kind::Sabre, Rgb(180, 220, 180)}, {"紫电", Kind::Sword, Rgb(190, 140, 240)},
    {"宝剑", Kind::Sword, Rgb(240, 210, 110)}, {"刀", Kind::Sabre, Rgb(200, 200, 210)}, {"剑", Kind::Sword, Rgb(200, 205, 215)},
    // Armour and headwear.
    {"布衣", Kind::Robe, Rgb(210, 195, 160)}, {"皮甲", Kind::Vest, Rgb(150, 95, 50)},
    {"锁子甲", Kind::Mail, Rgb(170, 175, 185)}, {"青铜", Kind::Mail, Rgb(190, 140, 70)},
    {"金丝", Kind::Mail, Rgb(235, 200, 80)}, {"玄武", Kind::Mail, Rgb(60, 100, 90)}, {"甲", Kind::Mail, Rgb(170, 175, 185)},
    {"铠", Kind::Mail, Rgb(150, 155, 170)}, {"蓑衣", Kind::Raincoat, Rgb(170, 150, 90)}, {"衣", Kind::Robe, Rgb(200, 190, 160)},
    {"头巾", Kind::Headband, Rgb(70, 110, 190)}, {"斗笠", Kind::StrawHat, Rgb(215, 185, 110)},
    {"帽", Kind::Cap, Rgb(140, 90, 50)}, {"凤翅", Kind::Helmet, Rgb(230, 180, 60)}, {"盔", Kind::Helmet, Rgb(170, 175, 190)},
    {"冠", Kind::Crown, Rgb(230, 190, 70)},
    // Footwear.
    {"草鞋", Kind::Sandal, Rgb(210, 185, 110)}, {"布靴", Kind::Boot, Rgb(70, 90, 160)}, {"皮靴", Kind::Boot, Rgb(130, 80, 40)},
    {"踏云", Kind::Boot, Rgb(225, 230, 245)}, {"飞燕", Kind::Boot, Rgb(40, 40, 50)}, {"靴", Kind::Boot, Rgb(120, 80, 50)},
    {"鞋", Kind::Sandal, Rgb(200, 170, 110)},
    // Thrown weapons.
    {"飞镖", Kind::Dart, Rgb(190, 195, 205)}, {"蒺藜", Kind::Caltrop, Rgb(120, 120, 130)},
    {"袖箭", Kind::Arrow, Rgb(200, 200, 210)}, {"针", Kind::Needles, Rgb(220, 220, 235)},
    {"霹雳", Kind::Bomb, Rgb(50, 45, 50)}, {"弹", Kind::Bomb, Rgb(50, 45, 50)},
    // Gems and materials.
    {"红宝石", Kind::Gem, Rgb(225, 40, 50)}, {"蓝宝石", Kind::Gem, Rgb(50, 90, 230)}, {"翡翠", Kind::Gem, Rgb(40, 190, 90)},
    {"水晶", Kind::Gem, Rgb(170, 90, 220)}, {"黄玉", Kind::Gem, Rgb(240, 200, 50)}, {"白玉", Kind::Gem, Rgb(240, 240, 230)},
    {"猫眼", Kind::Pearl, Rgb(190, 210, 60)}, {"明珠", Kind::Pearl, Rgb(230, 250, 255)}, {"珠", Kind::Pearl, Rgb(240, 240, 250)},
    {"铁矿", Kind::Ore, Rgb(130, 130, 140)}, {"铜矿", Kind::Ore, Rgb(200, 120, 60)}, {"矿", Kind::Ore, Rgb(140, 130, 120)},
    {"兽皮", Kind::Hide, Rgb(160, 110, 60)}, {"丝绸", Kind::Silk, Rgb(220, 80, 120)}, {"木材", Kind::Logs, Rgb(160, 110, 60)},
    {"药草", Kind::Herb, Rgb(70, 170, 60)}, {"茶叶", Kind::Tea, Rgb(80, 140, 60)}, {"灵石", Kind::Crystal, Rgb(80, 220, 220)},
    {"蛇胆", Kind::Gall, Rgb(60, 130, 70)}, {"熊胆", Kind::Gall, Rgb(110, 80, 50)}, {"鹿茸", Kind::Antler, Rgb(190, 140, 90)},
    {"骨", Kind::Bone, Rgb(235, 225, 200)}, {"蜂蜜", Kind::Honey, Rgb(240, 170, 30)}, {"朱砂", Kind::Powder, Rgb(220, 40, 30)},
    // Medicines.
    {"散", Kind::Packet, Rgb(230, 220, 200)}, {"丹", Kind::Pills, Rgb(210, 60, 50)}, {"丸", Kind::Pills, Rgb(150, 100, 60)},
    {"露", Kind::Bottle, Rgb(120, 190, 240)}, {"膏", Kind::Jar, Rgb(240, 240, 250)}, {"汤", Kind::Bowl, Rgb(200, 150, 70)},
    {"药", Kind::Bottle, Rgb(210, 70, 60)},
    // What the tasks ask for.
    {"书信", Kind::Letter, Rgb(240, 230, 200)}, {"玉佩", Kind::Pendant, Rgb(120, 210, 150)}, {"钥匙", Kind::Key, Rgb(200, 140, 60)},
    {"地图", Kind::MapPiece, Rgb(220, 200, 150)}, {"令牌", Kind::Token, Rgb(200, 160, 60)},
    // Everyday things.
    {"竹篓", Kind::Basket, Rgb(190, 160, 80)}, {"鱼", Kind::Fish, Rgb(190, 150, 90)}, {"烧饼", Kind::Bread, Rgb(215, 160, 80)},
    {"葫芦", Kind::Gourd, Rgb(200, 160, 60)}, {"灯笼", Kind::Lantern, Rgb(220, 50, 40)}, {"绳", Kind::Rope, Rgb(190, 160, 100)},
    {"火折", Kind::FireStick, Rgb(150, 100, 50)}, {"镜", Kind::Mirror, Rgb(200, 150, 60)}, {"扇", Kind::Fan, Rgb(240, 230, 200)},
    {"香囊", Kind::Pouch, Rgb(220, 90, 140)}, {"风筝", Kind::Kite, Rgb(230, 80, 60)}, {"棋", Kind::Board, Rgb(200, 160, 90)},
    {"瓷瓶", Kind::Vase, Rgb(230, 235, 245)}, {"琴", Kind::Zither, Rgb(130, 70, 40)}, {"笔", Kind::Brush, Rgb(150, 110, 60)},
    {"砚", Kind::Inkstone, Rgb(70, 70, 80)}, {"伞", Kind::Umbrella, Rgb(220, 120, 60)}, {"纸", Kind::Paper, Rgb(245, 240, 225)}, {"画", Kind::Scroll, Rgb(235, 220, 180)},
    {"钱", Kind::Coins, Rgb(200, 160, 60)}, {"梳", Kind::Comb, Rgb(180, 120, 60)}, {"帕", Kind::Cloth, Rgb(240, 200, 220)},
    {"簪", Kind::Hairpin, Rgb(230, 190, 80)}, {"席", Kind::Mat, Rgb(200, 180, 110)},
    {"干粮", Kind::Rations, Rgb(200, 170, 110)}, {"水囊", Kind::WaterSkin, Rgb(150, 110, 70)}, {"网", Kind::Net, Rgb(200, 190, 160)},
    {"算盘", Kind::Abacus, Rgb(130, 80, 40)}, {"印", Kind::Seal, Rgb(200, 60, 50)}, {"盒", Kind::Box, Rgb(190, 50, 60)},
    {"银两", Kind::Ingot, Rgb(225, 225, 235)}, {"银", Kind::Ingot, Rgb(225, 225, 235)},
};

// An item whose name says nothing known is drawn by its kind (item Type).
GoodWord ByType(int nType) {
    switch (nType) {
    case 0: return {"", Kind::Cap, Rgb(150, 110, 70)};
    case 1: return {"", Kind::Bottle, Rgb(210, 70, 60)};
    case 2: return {"", Kind::Boot, Rgb(120, 80, 50)};
    case 3: return {"", Kind::Ingot, Rgb(225, 225, 235)};
    case 4: return {"", Kind::Mail, Rgb(170, 175, 185)};
    case 6: return {"", Kind::Dart, Rgb(190, 195, 205)};
    case 7: return {"", Kind::Sword, Rgb(200, 205, 215)};
    case 8: return {"", Kind::Gem, Rgb(200, 60, 200)};
    case 9: return {"", Kind::Ore, Rgb(140, 130, 120)};
    case 99: return {"", Kind::Letter, Rgb(240, 230, 200)};
    default: return {"", Kind::Bundle, Rgb(180, 150, 100)};
    }
}

GoodWord WordOf(const ItemModel& item) {
    const std::string name = TextToUtf8(item.strName);
    for (const GoodWord& w : kWords)
        if (name.find(w.pszWord) != std::string::npos) return w;
    return ByType(item.nType);
}

// Draws on a 100 x 100 grid laid over a square of the picture.
struct Pen {
    PictureRgba& pic;
    double x0, y0, s;
    double X(double u) const { return x0 + u * s / 100.0; }
    double Y(double v) const { return y0 + v * s / 100.0; }
    void Poly(std::initializer_list<ShapePoint> pts, std::uint32_t c) const {
        std::vector<ShapePoint> q;
        for (const ShapePoint& p : pts) q.push_back({X(p.x), Y(p.y)});
        PaintPolygon(pic, q, c);
    }
    void Rect(double u, double v, double du, double dv, std::uint32_t c) const {
        Poly({{u, v}, {u + du, v}, {u + du, v + dv}, {u, v + dv}}, c);
    }
    void Oval(double u, double v, double ru, double rv, std::uint32_t c) const {
        PaintEllipse(pic, X(u), Y(v), ru * s / 100.0, rv * s / 100.0, c);
    }
    void Line(double u0, double v0, double u1, double v1, double w, std::uint32_t c) const {
        PaintStroke(pic, X(u0), Y(v0), X(u1), Y(v1), std::max(1.0, w * s / 100.0), c);
    }
};

void PaintKind(const Pen& p, Kind kind, std::uint32_t c) {
    const std::uint32_t dark = Shade(c, 0.6), light = Shade(c, 1.45), wood = Rgb(120, 75, 40), gold = Rgb(230, 190, 70);
    switch (kind) {
    case Kind::Sword:
        p.Poly({{20, 86}, {28, 92}, {88, 18}, {90, 8}, {80, 10}}, c);
        p.Line(24, 84, 84, 14, 3, light);
        p.Line(12, 74, 36, 96, 8, gold);
        p.Line(18, 90, 6, 102, 8, wood);
        p.Oval(6, 96, 6, 6, gold);
        break;
    case Kind::Sabre:
        p.Poly({{22, 82}, {30, 90}, {86, 30}, {92, 6}, {70, 22}}, c);
        p.Line(28, 86, 88, 12, 3, dark);
        p.Line(14, 72, 36, 94, 8, gold);
        p.Line(20, 88, 6, 100, 9, wood);
        break;
    case Kind::Robe:
    case Kind::Raincoat:
        p.Poly({{30, 14}, {70, 14}, {96, 36}, {84, 48}, {74, 40}, {76, 94}, {24, 94}, {26, 40}, {16, 48}, {4, 36}}, c);
        p.Poly({{40, 14}, {50, 34}, {60, 14}}, dark);
        p.Rect(25, 52, 50, 6, dark);
        if (kind == Kind::Raincoat)
            for (int i = 0; i < 5; ++i) p.Line(30 + i * 10, 62, 28 + i * 10, 92, 2, dark);
        break;
    case Kind::Vest:
    case Kind::Mail:
        p.Poly({{24, 12}, {40, 12}, {50, 26}, {60, 12}, {76, 12}, {88, 30}, {80, 92}, {20, 92}, {12, 30}}, c);
        if (kind == Kind::Mail) {
            for (int v = 34; v < 90; v += 10) p.Line(20, v, 80, v, 2, dark);
            for (int u = 30; u < 80; u += 12) p.Line(u, 30, u, 90, 2, light);
        } else {
            p.Line(50, 28, 50, 92, 3, dark);
            p.Rect(18, 58, 64, 7, dark);
        }
        break;
    case Kind::Headband:
        // A band tied into a ring, its two ends hanging from the knot.
        p.Oval(50, 40, 44, 24, c);
        p.Oval(50, 38, 34, 14, kSampleKey);
        p.Line(70, 60, 64, 96, 8, dark);
        p.Line(74, 60, 86, 92, 8, c);
        p.Oval(72, 60, 8, 6, dark);
        break;
    case Kind::Cap:
        p.Poly({{12, 72}, {20, 34}, {50, 18}, {80, 34}, {88, 72}}, c);
        p.Rect(8, 66, 84, 12, dark);
        p.Oval(50, 18, 6, 6, light);
        break;
    case Kind::Helmet:
        p.Poly({{14, 74}, {18, 40}, {50, 20}, {82, 40}, {86, 74}}, c);
        p.Rect(10, 68, 80, 10, dark);
        p.Rect(46, 4, 8, 20, Rgb(210, 40, 40));
        p.Poly({{16, 46}, {2, 22}, {24, 36}}, light);
        p.Poly({{84, 46}, {98, 22}, {76, 36}}, light);
        break;
    case Kind::Crown:
        p.Poly({{10, 80}, {10, 36}, {30, 56}, {50, 22}, {70, 56}, {90, 36}, {90, 80}}, c);
        p.Rect(10, 70, 80, 10, dark);
        p.Oval(50, 50, 7, 7, Rgb(170, 60, 200));
        p.Oval(26, 64, 5, 5, Rgb(220, 40, 50));
        p.Oval(74, 64, 5, 5, Rgb(220, 40, 50));
        break;
    case Kind::Sandal:
        p.Oval(50, 56, 26, 42, c);
        for (int v = 30; v < 90; v += 12) p.Line(28, v, 72, v, 2, dark);
        p.Line(30, 36, 70, 36, 5, Rgb(150, 100, 50));
        break;
    case Kind::Boot:
        p.Poly({{26, 6}, {64, 6}, {64, 64}, {94, 76}, {94, 94}, {20, 94}, {26, 64}}, c);
        p.Rect(26, 6, 38, 10, light);
        p.Rect(20, 86, 74, 8, dark);
        break;
    case Kind::Dart:
        p.Poly({{50, 4}, {60, 40}, {96, 50}, {60, 60}, {50, 96}, {40, 60}, {4, 50}, {40, 40}}, c);
        p.Oval(50, 50, 9, 9, dark);
        p.Oval(50, 50, 4, 4, light);
        break;
    case Kind::Caltrop:
        p.Line(12, 84, 88, 16, 10, c);
        p.Line(12, 16, 88, 84, 10, c);
        p.Line(50, 4, 50, 96, 10, dark);
        p.Oval(50, 50, 12, 12, light);
        break;
    case Kind::Arrow:
        p.Line(14, 86, 80, 20, 6, wood);
        p.Poly({{70, 14}, {94, 6}, {86, 30}}, c);
        p.Poly({{14, 86}, {6, 70}, {24, 76}}, Rgb(230, 230, 230));
        p.Poly({{14, 86}, {30, 94}, {24, 76}}, Rgb(200, 60, 50));
        break;
    case Kind::Needles:
        for (int i = 0; i < 5; ++i) p.Line(20 + i * 14, 92, 30 + i * 12, 8, 3, c);
        p.Oval(50, 62, 30, 7, Rgb(200, 60, 80));
        break;
    case Kind::Bomb:
        p.Oval(48, 58, 36, 36, c);
        p.Oval(36, 46, 9, 9, Rgb(120, 120, 130));
        p.Rect(42, 14, 14, 12, Rgb(120, 100, 80));
        p.Line(52, 16, 70, 4, 4, Rgb(200, 160, 80));
        p.Oval(74, 4, 6, 6, Rgb(255, 200, 40));
        break;
    case Kind::Gem:
        p.Poly({{20, 36}, {34, 14}, {66, 14}, {80, 36}, {50, 92}}, c);
        p.Poly({{20, 36}, {80, 36}, {66, 14}, {34, 14}}, light);
        p.Poly({{34, 36}, {50, 92}, {66, 36}}, dark);
        p.Line(38, 20, 46, 20, 4, Rgb(255, 255, 255));
        break;
    case Kind::Pearl:
        p.Oval(50, 54, 38, 38, dark);
        p.Oval(48, 52, 34, 34, c);
        p.Oval(38, 40, 10, 8, Rgb(255, 255, 255));
        if (c == Rgb(190, 210, 60)) p.Rect(46, 22, 8, 60, Rgb(60, 50, 20));
        break;
    case Kind::Ore:
        p.Poly({{8, 70}, {20, 30}, {46, 14}, {78, 22}, {94, 56}, {80, 88}, {30, 92}}, Rgb(110, 100, 95));
        p.Poly({{30, 40}, {46, 30}, {54, 46}, {38, 56}}, c);
        p.Poly({{60, 56}, {76, 50}, {78, 70}, {62, 72}}, c);
        p.Oval(44, 74, 6, 5, light);
        break;
    case Kind::Hide:
        p.Poly({{20, 10}, {40, 22}, {60, 22}, {80, 10}, {76, 40}, {92, 82}, {64, 78}, {50, 94}, {36, 78}, {8, 82}, {24, 40}}, c);
        p.Oval(40, 46, 6, 5, dark);
        p.Oval(60, 56, 7, 5, dark);
        p.Oval(46, 68, 5, 4, dark);
        break;
    case Kind::Silk:
    case Kind::Cloth:
        p.Poly({{10, 30}, {76, 14}, {92, 60}, {24, 80}}, c);
        p.Poly({{24, 80}, {92, 60}, {90, 76}, {28, 94}}, dark);
        p.Line(18, 52, 84, 34, 3, light);
        break;
    case Kind::Logs:
        for (int i = 0; i < 3; ++i) {
            const double v = 28 + i * 26;
            p.Rect(8, v - 11, 76, 22, c);
            p.Oval(84, v, 10, 11, light);
            p.Oval(84, v, 4, 5, dark);
        }
        break;
    case Kind::Herb:
    case Kind::Tea:
        p.Line(50, 96, 50, 30, 4, Rgb(60, 110, 40));
        p.Oval(30, 44, 20, 10, c);
        p.Oval(70, 36, 20, 10, c);
        p.Oval(34, 70, 18, 9, c);
        p.Oval(66, 62, 18, 9, c);
        p.Oval(50, 16, 10, 14, kind == Kind::Herb ? Rgb(240, 240, 120) : light);
        break;
    case Kind::Crystal:
        p.Poly({{36, 92}, {24, 40}, {40, 8}, {56, 40}, {50, 92}}, c);
        p.Poly({{52, 92}, {58, 52}, {74, 28}, {86, 56}, {72, 92}}, light);
        p.Line(36, 20, 30, 60, 3, Rgb(255, 255, 255));
        break;
    case Kind::Gall:
        p.Oval(50, 60, 28, 32, c);
        p.Rect(44, 10, 12, 24, dark);
        p.Line(40, 14, 60, 14, 5, Rgb(200, 60, 50));
        p.Oval(40, 52, 8, 10, light);
        break;
    case Kind::Antler:
        p.Line(30, 96, 40, 10, 8, c);
        p.Line(36, 50, 12, 24, 6, c);
        p.Line(38, 30, 64, 8, 6, c);
        p.Line(70, 96, 64, 40, 8, dark);
        p.Line(66, 56, 90, 30, 6, dark);
        break;
    case Kind::Bone:
        p.Line(22, 78, 78, 22, 14, c);
        p.Oval(16, 76, 10, 10, c);
        p.Oval(24, 86, 10, 10, c);
        p.Oval(76, 14, 10, 10, c);
        p.Oval(86, 24, 10, 10, c);
        break;
    case Kind::Honey:
    case Kind::Jar:
        p.Poly({{22, 30}, {78, 30}, {86, 88}, {14, 88}}, kind == Kind::Honey ? Rgb(200, 150, 90) : c);
        p.Rect(18, 20, 64, 12, kind == Kind::Honey ? Rgb(230, 220, 200) : Rgb(70, 120, 200));
        p.Rect(24, 46, 52, 24, kind == Kind::Honey ? c : Rgb(200, 60, 60));
        break;
    case Kind::Powder:
        p.Oval(50, 72, 42, 16, Rgb(230, 230, 235));
        p.Oval(50, 60, 30, 16, c);
        p.Oval(44, 54, 10, 5, light);
        break;
    case Kind::Bottle:
        p.Poly({{26, 44}, {40, 34}, {40, 16}, {60, 16}, {60, 34}, {74, 44}, {78, 92}, {22, 92}}, c);
        p.Rect(38, 4, 24, 14, Rgb(160, 110, 60));
        p.Rect(30, 56, 40, 22, Rgb(240, 230, 200));
        p.Line(34, 50, 30, 86, 4, light);
        break;
    case Kind::Packet:
        p.Poly({{12, 80}, {22, 26}, {78, 26}, {88, 80}}, c);
        p.Poly({{22, 26}, {50, 6}, {78, 26}}, dark);
        p.Line(22, 30, 78, 30, 4, Rgb(200, 60, 60));
        p.Rect(40, 44, 20, 24, Rgb(200, 60, 60));
        break;
    case Kind::Pills:
        p.Oval(50, 76, 44, 16, Rgb(240, 230, 210));
        p.Oval(36, 58, 12, 12, c);
        p.Oval(62, 58, 12, 12, c);
        p.Oval(50, 40, 12, 12, c);
        p.Oval(46, 36, 4, 4, light);
        break;
    case Kind::Bowl:
        p.Poly({{6, 46}, {94, 46}, {78, 86}, {22, 86}}, Rgb(230, 230, 240));
        p.Oval(50, 46, 44, 10, c);
        p.Line(36, 36, 40, 14, 3, Rgb(240, 240, 240));
        p.Line(60, 34, 56, 12, 3, Rgb(240, 240, 240));
        break;
    case Kind::Letter:
        p.Rect(6, 22, 88, 58, c);
        p.Poly({{6, 22}, {50, 56}, {94, 22}}, dark);
        p.Oval(50, 52, 8, 8, Rgb(200, 40, 40));
        break;
    case Kind::Pendant:
        p.Line(50, 4, 50, 22, 3, Rgb(200, 50, 50));
        p.Oval(50, 56, 34, 34, c);
        p.Oval(50, 56, 12, 12, Rgb(0, 0, 0));
        p.Oval(50, 56, 10, 10, kSampleKey);
        p.Line(40, 90, 40, 100, 4, Rgb(200, 50, 50));
        p.Line(60, 90, 60, 100, 4, Rgb(200, 50, 50));
        break;
    case Kind::Key:
        p.Oval(28, 30, 22, 22, c);
        p.Oval(28, 30, 10, 10, dark);
        p.Line(42, 44, 90, 92, 10, c);
        p.Line(76, 78, 88, 66, 8, c);
        p.Line(66, 68, 76, 58, 8, c);
        break;
    case Kind::MapPiece:
        p.Poly({{6, 14}, {60, 8}, {70, 30}, {94, 26}, {90, 90}, {36, 94}, {10, 70}}, c);
        p.Line(20, 30, 60, 70, 3, Rgb(180, 60, 50));
        p.Line(48, 62, 70, 70, 3, Rgb(180, 60, 50));
        p.Line(62, 44, 78, 60, 4, Rgb(200, 30, 30));
        p.Line(78, 44, 62, 60, 4, Rgb(200, 30, 30));
        break;
    case Kind::Token:
        p.Poly({{24, 14}, {76, 14}, {84, 26}, {84, 90}, {16, 90}, {16, 26}}, c);
        p.Rect(30, 34, 40, 40, dark);
        p.Line(40, 44, 60, 64, 5, gold);
        p.Line(60, 44, 40, 64, 5, gold);
        break;
    case Kind::Basket:
        p.Poly({{16, 36}, {84, 36}, {74, 94}, {26, 94}}, c);
        for (int v = 46; v < 94; v += 10) p.Line(20, v, 80, v, 2, dark);
        for (int u = 30; u < 80; u += 12) p.Line(u, 38, u + 2, 92, 2, dark);
        p.Line(20, 36, 50, 6, 4, dark);
        p.Line(50, 6, 80, 36, 4, dark);
        break;
    case Kind::Fish:
        p.Oval(44, 50, 36, 18, c);
        p.Poly({{74, 50}, {96, 30}, {96, 70}}, dark);
        p.Oval(22, 46, 4, 4, Rgb(40, 30, 20));
        for (int u = 34; u < 66; u += 10) p.Line(u, 40, u + 4, 60, 2, dark);
        break;
    case Kind::Bread:
        p.Oval(50, 54, 44, 34, c);
        p.Oval(50, 50, 38, 28, light);
        for (int i = 0; i < 6; ++i) p.Oval(30 + i * 8, 40 + (i % 2) * 14, 2, 2, Rgb(90, 60, 30));
        break;
    case Kind::Gourd:
        p.Oval(50, 70, 30, 26, c);
        p.Oval(50, 34, 18, 16, c);
        p.Rect(44, 6, 12, 14, wood);
        p.Line(36, 50, 64, 50, 4, Rgb(200, 50, 50));
        p.Oval(40, 64, 6, 10, light);
        break;
    case Kind::Lantern:
        p.Rect(36, 4, 28, 10, wood);
        p.Oval(50, 50, 34, 38, c);
        p.Rect(36, 86, 28, 10, wood);
        p.Oval(50, 50, 14, 22, Rgb(255, 220, 100));
        break;
    case Kind::Rope:
        p.Oval(50, 54, 42, 38, c);
        p.Oval(50, 54, 30, 26, dark);
        p.Oval(50, 54, 20, 16, c);
        p.Oval(50, 54, 10, 8, Rgb(0, 0, 0));
        p.Oval(50, 54, 8, 6, kSampleKey);
        p.Line(84, 60, 96, 92, 6, c);
        break;
    case Kind::FireStick:
        p.Line(20, 90, 70, 26, 12, c);
        p.Oval(76, 18, 12, 14, Rgb(250, 150, 30));
        p.Oval(78, 18, 6, 8, Rgb(255, 240, 120));
        break;
    case Kind::Mirror:
        p.Oval(50, 40, 36, 36, c);
        p.Oval(50, 40, 28, 28, Rgb(200, 220, 235));
        p.Line(40, 28, 56, 18, 4, Rgb(255, 255, 255));
        p.Rect(44, 74, 12, 24, wood);
        break;
    case Kind::Fan:
        p.Poly({{50, 90}, {4, 40}, {20, 20}, {50, 10}, {80, 20}, {96, 40}}, c);
        for (int i = 0; i < 5; ++i) p.Line(50, 90, 12 + i * 19, 28 - (i == 2 ? 16 : i % 4 == 0 ? 0 : 10), 2, wood);
        p.Poly({{20, 40}, {50, 34}, {80, 40}, {50, 60}}, Rgb(100, 160, 90));
        break;
    case Kind::Pouch:
        p.Oval(50, 62, 32, 32, c);
        p.Poly({{34, 36}, {66, 36}, {58, 22}, {42, 22}}, dark);
        p.Line(50, 22, 50, 4, 3, gold);
        p.Line(50, 94, 50, 100, 5, gold);
        break;
    case Kind::Kite:
        p.Poly({{50, 4}, {88, 40}, {50, 76}, {12, 40}}, c);
        p.Line(50, 4, 50, 76, 3, wood);
        p.Line(12, 40, 88, 40, 3, wood);
        p.Line(50, 76, 40, 98, 2, Rgb(240, 240, 240));
        p.Oval(40, 88, 4, 3, Rgb(80, 160, 230));
        break;
    case Kind::Board:
        p.Rect(8, 8, 84, 84, c);
        for (int i = 1; i < 6; ++i) {
            p.Line(8 + i * 14, 10, 8 + i * 14, 90, 1.5, dark);
            p.Line(10, 8 + i * 14, 90, 8 + i * 14, 1.5, dark);
        }
        p.Oval(36, 36, 6, 6, Rgb(20, 20, 20));
        p.Oval(64, 50, 6, 6, Rgb(245, 245, 245));
        p.Oval(50, 64, 6, 6, Rgb(20, 20, 20));
        break;
    case Kind::Vase:
        p.Poly({{38, 6}, {62, 6}, {58, 26}, {84, 56}, {70, 94}, {30, 94}, {16, 56}, {42, 26}}, c);
        p.Line(24, 56, 76, 56, 5, Rgb(60, 100, 200));
        p.Oval(50, 72, 8, 8, Rgb(60, 100, 200));
        break;
    case Kind::Zither:
        p.Poly({{4, 40}, {90, 14}, {96, 32}, {10, 60}}, c);
        p.Poly({{10, 60}, {96, 32}, {96, 44}, {12, 72}}, dark);
        for (int i = 0; i < 4; ++i) p.Line(12, 44 + i * 4, 92, 18 + i * 4, 1, Rgb(240, 230, 200));
        break;
    case Kind::Brush:
        p.Line(80, 6, 36, 70, 8, c);
        p.Poly({{34, 66}, {44, 74}, {22, 96}, {14, 92}}, Rgb(30, 30, 30));
        p.Line(80, 6, 86, 2, 6, Rgb(200, 60, 50));
        break;
    case Kind::Inkstone:
        p.Rect(12, 22, 76, 66, c);
        p.Oval(50, 46, 28, 16, Rgb(20, 20, 30));
        p.Rect(24, 68, 52, 10, Shade(c, 1.3));
        break;
    case Kind::Paper:
        p.Poly({{14, 12}, {86, 6}, {90, 88}, {10, 94}}, c);
        p.Poly({{20, 18}, {80, 14}, {84, 82}, {16, 86}}, Rgb(230, 225, 210));
        break;
    case Kind::Scroll:
        p.Rect(14, 14, 72, 72, c);
        p.Rect(8, 6, 84, 10, wood);
        p.Rect(8, 84, 84, 10, wood);
        p.Poly({{22, 70}, {40, 40}, {54, 58}, {64, 46}, {78, 70}}, Rgb(80, 130, 90));
        p.Oval(66, 30, 6, 6, Rgb(220, 60, 40));
        break;
    case Kind::Coins:
        p.Line(50, 4, 50, 96, 3, Rgb(200, 60, 50));
        for (int i = 0; i < 5; ++i) {
            p.Oval(50, 14 + i * 18, 24, 9, c);
            p.Rect(46, 11 + i * 18, 8, 6, dark);
        }
        break;
    case Kind::Comb:
        p.Poly({{8, 40}, {50, 14}, {92, 40}, {92, 52}, {8, 52}}, c);
        for (int u = 12; u < 92; u += 8) p.Rect(u, 52, 5, 36, c);
        break;
    case Kind::Hairpin:
        p.Line(14, 90, 80, 22, 5, c);
        p.Oval(82, 20, 12, 12, Rgb(220, 70, 110));
        p.Oval(82, 20, 5, 5, Rgb(250, 230, 120));
        break;
    case Kind::Umbrella:
        p.Poly({{4, 50}, {50, 6}, {96, 50}}, c);
        for (int i = 0; i < 4; ++i) p.Line(50, 6, 10 + i * 27, 50, 2, dark);
        p.Line(50, 46, 50, 90, 4, wood);
        p.Line(50, 90, 40, 96, 4, wood);
        break;
    case Kind::StrawHat:
        p.Poly({{2, 70}, {50, 18}, {98, 70}}, c);
        p.Rect(2, 66, 96, 8, dark);
        p.Line(30, 74, 36, 94, 2, Rgb(120, 80, 40));
        p.Line(70, 74, 64, 94, 2, Rgb(120, 80, 40));
        break;
    case Kind::Mat:
        p.Poly({{6, 30}, {94, 14}, {94, 84}, {6, 94}}, c);
        for (int i = 0; i < 6; ++i) p.Line(10 + i * 15, 28 - i * 2, 10 + i * 15, 92 - i * 1.5, 2, dark);
        p.Oval(94, 50, 8, 36, light);
        break;
    case Kind::Rations:
    case Kind::Bundle:
        p.Oval(50, 62, 40, 30, c);
        p.Poly({{36, 36}, {50, 14}, {64, 36}}, c);
        p.Line(30, 38, 70, 38, 5, Rgb(200, 60, 50));
        p.Oval(40, 56, 8, 8, light);
        break;
    case Kind::WaterSkin:
        p.Oval(50, 62, 34, 32, c);
        p.Rect(42, 12, 16, 22, dark);
        p.Rect(40, 6, 20, 8, wood);
        p.Line(16, 40, 84, 40, 3, Rgb(90, 60, 30));
        break;
    case Kind::Net:
        for (int i = 0; i <= 5; ++i) {
            p.Line(10 + i * 16, 10, 10 + i * 16, 90, 2, c);
            p.Line(10, 10 + i * 16, 90, 10 + i * 16, 2, c);
        }
        for (int i = 0; i < 4; ++i) p.Oval(18 + i * 22, 92, 4, 4, Rgb(150, 150, 160));
        break;
    case Kind::Abacus:
        p.Rect(6, 14, 88, 72, c);
        p.Rect(12, 20, 76, 60, Rgb(60, 40, 20));
        p.Line(12, 38, 88, 38, 3, c);
        for (int i = 0; i < 6; ++i) {
            p.Line(18 + i * 13, 20, 18 + i * 13, 80, 1.5, Rgb(180, 160, 120));
            p.Oval(18 + i * 13, 29, 5, 4, Rgb(230, 200, 120));
            p.Oval(18 + i * 13, 50 + (i % 3) * 8, 5, 4, Rgb(230, 200, 120));
        }
        break;
    case Kind::Seal:
        p.Rect(28, 10, 44, 54, Rgb(120, 210, 150));
        p.Oval(50, 14, 16, 8, Rgb(150, 230, 170));
        p.Rect(18, 64, 64, 28, c);
        p.Rect(28, 72, 44, 12, dark);
        break;
    case Kind::Box:
        p.Rect(8, 34, 84, 58, c);
        p.Poly({{4, 34}, {16, 16}, {84, 16}, {96, 34}}, light);
        p.Rect(44, 16, 12, 76, gold);
        p.Rect(8, 56, 84, 8, gold);
        break;
    case Kind::Ingot:
        p.Poly({{4, 44}, {24, 56}, {76, 56}, {96, 44}, {84, 82}, {16, 82}}, c);
        p.Oval(50, 48, 20, 14, light);
        p.Oval(50, 44, 12, 8, c);
        p.Line(16, 82, 84, 82, 4, dark);
        break;
    }
}

// A one-pixel dark rim round what was drawn on a clear ground, so a good shows on any
// background.
void Outline(PictureRgba& pic, std::uint32_t rim) {
    const PictureRgba before = pic;
    for (int y = 0; y < pic.nHeight; ++y)
        for (int x = 0; x < pic.nWidth; ++x) {
            if (before.At(x, y) >> 24) continue;
            for (int d = 0; d < 4; ++d) {
                const int nx = x + (d == 0) - (d == 1), ny = y + (d == 2) - (d == 3);
                if (nx >= 0 && ny >= 0 && nx < pic.nWidth && ny < pic.nHeight && (before.At(nx, ny) >> 24)) {
                    pic.At(x, y) = rim;
                    break;
                }
            }
        }
}

// A tile with cut corners and an edge of its own colour.
void RoundTile(PictureRgba& pic, int x, int y, int w, int h, std::uint32_t body, std::uint32_t edge) {
    const ShapePoint outer[8] = {{x + 3.0, double(y)}, {x + w - 3.0, double(y)}, {double(x + w), y + 3.0},
                                 {double(x + w), y + h - 3.0}, {x + w - 3.0, double(y + h)}, {x + 3.0, double(y + h)},
                                 {double(x), y + h - 3.0}, {double(x), y + 3.0}};
    PaintPolygon(pic, outer, edge);
    const ShapePoint inner[8] = {{x + 4.0, y + 1.0}, {x + w - 4.0, y + 1.0}, {x + w - 1.0, y + 4.0},
                                 {x + w - 1.0, y + h - 4.0}, {x + w - 4.0, y + h - 1.0}, {x + 4.0, y + h - 1.0},
                                 {x + 1.0, y + h - 4.0}, {x + 1.0, y + 4.0}};
    PaintPolygon(pic, inner, body);
}

constexpr std::uint32_t kRim = Argb(255, 24, 16, 12);
constexpr std::uint32_t kTile = Argb(255, 74, 64, 84);
constexpr std::uint32_t kTileEdge = Argb(255, 128, 116, 140);

// The good drawn on a clear picture of w x h with its rim.
PictureRgba GoodOnClear(const ItemModel& item, int w, int h, int nMargin) {
    PictureRgba pic(w, h, 0);
    PaintGood(pic, item, nMargin, nMargin, w - 2 * nMargin, h - 2 * nMargin);
    Outline(pic, kRim);
    return pic;
}

// Pixels of the good (alpha set) over the background's, which gets the colour key in
// its top-left pixel.
void OverKeyed(PictureRgba& back, const PictureRgba& good, int x0, int y0, std::uint32_t key) {
    for (int y = 0; y < good.nHeight; ++y)
        for (int x = 0; x < good.nWidth; ++x)
            if (good.At(x, y) >> 24) back.At(x0 + x, y0 + y) = good.At(x, y) | 0xFF000000u;
    back.At(0, 0) = key;
}

}  // namespace

void GoodsIconSize(int nShape, int* pWidth, int* pHeight) {
    // Cells are 25 x 31, 32 and 33 pixels apart; the icons start 4, 2, 0 and 5 pixels
    // left of their anchor cell.
    switch (nShape) {
    case 1: *pWidth = 61, *pHeight = 64; break;
    case 2: *pWidth = 57, *pHeight = 97; break;
    case 3: *pWidth = 35, *pHeight = 64; break;
    default: *pWidth = 32, *pHeight = 32; break;
    }
}

std::uint32_t GoodColour(const ItemModel& item) { return WordOf(item).c; }

void PaintGood(PictureRgba& pic, const ItemModel& item, int x, int y, int w, int h) {
    const GoodWord word = WordOf(item);
    const int s = std::min(w, h);
    const Pen pen{pic, x + (w - s) / 2.0, y + (h - s) / 2.0, double(s)};
    PaintKind(pen, word.kind, word.c);
    // The key colour inside a ring (the pendant's and the rope's holes) is the clear ground.
    for (int py = std::max(y, 0); py < std::min(y + h, pic.nHeight); ++py)
        for (int px = std::max(x, 0); px < std::min(x + w, pic.nWidth); ++px)
            if (pic.At(px, py) == kSampleKey) pic.At(px, py) = 0;
}

std::vector<PkgEntryData> GoodsPictureEntries(const GameModel& model) {
    std::vector<PkgEntryData> entries;
    char szName[32];
    for (size_t i = 0; i < model.items.size(); ++i) {
        const ItemModel& item = model.items[i];
        // The bag icon: the good on a tile over the cells it takes, keyed round it.
        int w = 0, h = 0;
        GoodsIconSize(item.nGirdNum, &w, &h);
        PictureRgba icon(w, h, kSampleKey);
        RoundTile(icon, 1, 1, w - 2, h - 2, kTile, kTileEdge);
        OverKeyed(icon, GoodOnClear(item, w - 4, h - 4, 1), 2, 2, kSampleKey);
        std::snprintf(szName, sizeof szName, "DJ%03d.bmp", int(i));
        entries.push_back(PkgEntryData{szName, BuildCompactBmp(icon)});
        // On the cursor: the same good without its tile, its top-left corner 12 pixels
        // up and left of the cursor point.
        PictureRgba carried(134, 134, kSampleKey);
        OverKeyed(carried, GoodOnClear(item, w, h, 2), 0, 0, kSampleKey);
        std::snprintf(szName, sizeof szName, "Item-%03d.bmp", int(i));
        entries.push_back(PkgEntryData{szName, BuildSpriteBmp(carried)});
        // On the ground: two frames side by side on black, the second lit for the blink.
        const PictureRgba small = GoodOnClear(item, 22, 22, 1);
        PictureRgba ground(48, 24, Argb(255, 0, 0, 0));
        for (int gy = 0; gy < 22; ++gy)
            for (int gx = 0; gx < 22; ++gx) {
                const std::uint32_t c = small.At(gx, gy);
                if (!(c >> 24)) continue;
                ground.At(1 + gx, 1 + gy) = c | 0xFF000000u;
                ground.At(25 + gx, 1 + gy) = Shade(c | 0xFF000000u, 1.35);
            }
        std::snprintf(szName, sizeof szName, "DWP%03d.bmp", int(i));
        entries.push_back(PkgEntryData{szName, BuildCompactBmp(ground)});
    }
    return entries;
}
