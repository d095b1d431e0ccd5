#include "tools/gamekit/SampleLooks.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "tools/gamekit/SampleArt.h"

namespace {

constexpr std::uint32_t kSkin = Argb(255, 240, 200, 160);
constexpr std::uint32_t kEye = Argb(255, 40, 24, 20);
constexpr std::uint32_t kMouth = Argb(255, 170, 70, 70);
constexpr std::uint32_t kShadow = Argb(110, 0, 0, 0);
constexpr std::uint32_t kWood = Argb(255, 130, 86, 44);
constexpr std::uint32_t kMetal = Argb(255, 200, 205, 215);
constexpr std::uint32_t kApron = Argb(255, 236, 232, 220);

constexpr std::uint32_t Rgb(int r, int g, int b) { return Argb(255, r, g, b); }

// One look a sculpt. Hair, clothes and what they wear on the head or carry differ from
// sculpt to sculpt; no one but the heroine wears her crimson.
const Look kLooks[] = {
    {0, Hair::Short, Rgb(90, 60, 30), Garment::Tunic, Rgb(120, 130, 150), Rgb(70, 60, 50), Rgb(80, 70, 60), Hat::Straw,
     Rgb(210, 180, 110), Prop::Staff, false, false},
    {1, Hair::Long, Rgb(40, 24, 36), Garment::Dress, Rgb(196, 40, 96), Rgb(250, 130, 180), Rgb(240, 200, 160), Hat::Bow,
     Rgb(250, 130, 180), Prop::None, false, false},
    {2, Hair::Topknot, Rgb(24, 20, 24), Garment::Tunic, Rgb(50, 90, 170), Rgb(230, 230, 240), Rgb(40, 44, 60), Hat::None,
     0, Prop::Sword, false, false},
    {3, Hair::TwinBuns, Rgb(110, 60, 30), Garment::Dress, Rgb(70, 160, 90), Rgb(240, 220, 120), Rgb(240, 200, 160),
     Hat::None, 0, Prop::Basket, false, false},
    {4, Hair::Short, Rgb(30, 24, 20), Garment::Tunic, Rgb(110, 110, 110), Rgb(200, 40, 40), Rgb(50, 40, 40),
     Hat::Headband, Rgb(200, 40, 40), Prop::None, false, false},
    {5, Hair::Short, Rgb(20, 20, 24), Garment::Robe, Rgb(235, 235, 225), Rgb(60, 70, 120), Rgb(60, 60, 70),
     Hat::ScholarCap, Rgb(30, 30, 36), Prop::Fan, false, false},
    {6, Hair::Bun, Rgb(215, 215, 210), Garment::Robe, Rgb(140, 90, 50), Rgb(80, 50, 30), Rgb(60, 45, 35), Hat::None, 0,
     Prop::Staff, true, false},
    {7, Hair::Short, Rgb(60, 40, 20), Garment::Tunic, Rgb(190, 160, 110), Rgb(120, 90, 50), Rgb(110, 90, 70),
     Hat::Straw, Rgb(225, 200, 120), Prop::Hoe, false, false},
    {8, Hair::Bun, Rgb(170, 170, 175), Garment::Robe, Rgb(120, 70, 140), Rgb(220, 200, 230), Rgb(70, 50, 80),
     Hat::None, 0, Prop::Basket, false, false},
    {9, Hair::Ponytail, Rgb(30, 20, 20), Garment::Dress, Rgb(240, 200, 60), Rgb(250, 120, 60), Rgb(240, 200, 160),
     Hat::None, 0, Prop::None, false, false},
    {10, Hair::Short, Rgb(50, 36, 24), Garment::Robe, Rgb(150, 70, 40), Rgb(230, 190, 80), Rgb(70, 40, 30),
     Hat::RoundCap, Rgb(40, 30, 30), Prop::Abacus, true, false},
    {11, Hair::Short, Rgb(80, 50, 30), Garment::Tunic, Rgb(160, 110, 70), Rgb(90, 60, 40), Rgb(90, 70, 50),
     Hat::Headscarf, Rgb(240, 240, 235), Prop::None, false, true},
    {12, Hair::Short, Rgb(30, 24, 20), Garment::Tunic, Rgb(170, 40, 40), Rgb(220, 190, 60), Rgb(60, 50, 50),
     Hat::Helmet, Rgb(170, 175, 185), Prop::Spear, false, false},
    {13, Hair::Short, Rgb(70, 60, 50), Garment::Tunic, Rgb(70, 100, 110), Rgb(40, 60, 70), Rgb(60, 80, 90),
     Hat::Conical, Rgb(150, 130, 80), Prop::FishingRod, false, false},
    {14, Hair::Bun, Rgb(100, 100, 100), Garment::Robe, Rgb(60, 120, 80), Rgb(200, 230, 200), Rgb(50, 70, 50),
     Hat::None, 0, Prop::Book, true, false},
    {15, Hair::Bald, Rgb(40, 30, 20), Garment::Tunic, Rgb(60, 50, 45), Rgb(160, 100, 40), Rgb(50, 40, 35), Hat::None,
     0, Prop::Hammer, true, true},
    {16, Hair::Long, Rgb(20, 16, 40), Garment::Dress, Rgb(90, 60, 170), Rgb(230, 200, 90), Rgb(240, 200, 160),
     Hat::None, 0, Prop::Fan, false, false},
    {17, Hair::Short, Rgb(20, 16, 16), Garment::Tunic, Rgb(220, 180, 40), Rgb(120, 40, 40), Rgb(60, 40, 30),
     Hat::RoundCap, Rgb(120, 40, 40), Prop::Lantern, false, false},
    {18, Hair::Topknot, Rgb(50, 30, 20), Garment::Tunic, Rgb(120, 200, 220), Rgb(240, 240, 240), Rgb(200, 120, 60),
     Hat::None, 0, Prop::None, false, false},
    {19, Hair::Short, Rgb(50, 40, 30), Garment::Tunic, Rgb(110, 80, 40), Rgb(60, 110, 60), Rgb(70, 60, 40),
     Hat::Headband, Rgb(60, 110, 60), Prop::Axe, true, false},
    {89, Hair::Short, Rgb(30, 26, 24), Garment::Robe, Rgb(30, 50, 110), Rgb(220, 180, 60), Rgb(40, 40, 60),
     Hat::RoundCap, Rgb(20, 20, 30), Prop::Abacus, true, false},
};

// How the arms are held, by action: hanging, swinging with the steps, striking forward,
// raised to cast or cheer, or crossed to defend.
enum class Arms { Down, Swing, Strike, Raised, Crossed };

struct Pose {
    int nStep = 0;   // legs apart, -3..3
    int nBob = 0;    // body lowered (breath, crouch)
    int nLean = 0;   // upper body moved back (hurt)
    Arms arms = Arms::Down;
};

Pose PoseOf(int nAction, int nFrame) {
    // Walk cycles have two frames (villagers) or four (the party): legs apart one way,
    // together, apart the other way.
    static const int kStep[4] = {-3, 0, 3, 0};
    Pose p;
    switch (nAction) {
    case 0: p.nBob = nFrame % 2; break;
    case 1: case 2: case 20: case 21: case 22: p.nStep = kStep[nFrame % 4]; p.arms = Arms::Swing; break;
    case 3: p.arms = nFrame % 2 ? Arms::Strike : Arms::Down; p.nStep = 2; break;
    case 4: case 7: p.nLean = 3; break;
    case 10: case 11: case 12: case 23: p.arms = Arms::Raised; break;
    case 19: p.nBob = 5; break;
    case 24: p.arms = Arms::Crossed; break;
    default: break;
    }
    return p;
}

// The figure drawn facing the viewer (nSide 0, nFacing 1), turned right (nSide 1) or
// away (nFacing -1); the left-facing directions are these mirrored.
struct View {
    int nSide;    // 0 front or back, 1 turned to the right
    int nFacing;  // 1 towards the viewer, -1 away, 0 in profile
};

View ViewOf(int nDirection) {
    switch (nDirection) {
    case 0: return {0, 1};
    case 4: return {0, -1};
    case 5: case 3: return {1, -1};
    case 6: case 2: return {1, 0};
    default: return {1, 1};  // 7 and 1
    }
}

int HemOf(Garment g) { return g == Garment::Tunic ? 142 : g == Garment::Robe ? 160 : 152; }

void PaintBody(PictureRgba& pic, const Look& look, const Pose& p, const View& v) {
    const int nHem = HemOf(look.garment);
    // Every view keeps the same outline, so a click that finds a person from the front
    // finds them from the side too.
    const double dTop = 15;
    const double dFlare = look.garment == Garment::Dress ? 11 : look.garment == Garment::Robe ? 6 : 2;
    const double cx = 128 + p.nLean * -1.0;
    const int y0 = 96 + p.nBob;
    const ShapePoint body[4] = {{cx - dTop, double(y0)}, {cx + dTop, double(y0)}, {128 + dTop + dFlare, double(nHem)},
                                {128 - dTop - dFlare, double(nHem)}};
    PaintPolygon(pic, body, look.crClothes);
    if (look.bApron && v.nFacing >= 0) pic.Fill(int(cx) - 10 + v.nSide * 3, y0 + 16, 20 - v.nSide * 4, nHem - y0 - 20, kApron);
    // Collar and belt in the trim colour.
    if (v.nFacing > 0) {
        PaintStroke(pic, cx - 6 + v.nSide * 3, y0, cx + v.nSide * 3, y0 + 9, 2, look.crTrim);
        PaintStroke(pic, cx + 6 + v.nSide * 3, y0, cx + v.nSide * 3, y0 + 9, 2, look.crTrim);
    }
    if (look.garment != Garment::Dress) pic.Fill(int(cx - dTop - 1), y0 + 22, int(2 * dTop + 3), 3, look.crTrim);
    else pic.Fill(int(cx - dTop), y0 + 18, int(2 * dTop + 1), 3, look.crTrim);
}

void PaintLegs(PictureRgba& pic, const Look& look, const Pose& p) {
    const int nHem = HemOf(look.garment);
    const std::uint32_t shoe = Shade(look.crLegs, 0.55);
    const int nTop = nHem - 4;
    pic.Fill(119 - p.nStep, nTop, 7, 166 - nTop, look.crLegs);
    pic.Fill(130 + p.nStep, nTop, 7, 166 - nTop, look.crLegs);
    pic.Fill(118 - p.nStep, 164, 8, 5, shoe);
    pic.Fill(130 + p.nStep, 164, 8, 5, shoe);
}

// An arm from the shoulder at (sx, sy) to the hand; the sleeve ends in a cuff.
void PaintArm(PictureRgba& pic, const Look& look, double sx, double sy, double hx, double hy) {
    PaintStroke(pic, sx, sy, hx, hy, 7, look.crClothes);
    PaintStroke(pic, sx + (hx - sx) * 0.8, sy + (hy - sy) * 0.8, hx, hy, 7, look.crTrim);
    PaintEllipse(pic, hx, hy + 2, 3.5, 3.5, kSkin);
}

// The hand that carries the prop: where the arms pose puts the right hand.
ShapePoint HandOf(const Pose& p, const View& v) {
    const int y = 96 + p.nBob;
    switch (p.arms) {
    case Arms::Strike: return {v.nSide ? 160.0 : 150.0, double(y + 10)};
    case Arms::Raised: return {150.0, double(y - 22)};
    case Arms::Crossed: return {134.0, double(y + 16)};
    case Arms::Swing: return {v.nSide ? 128.0 + p.nStep * 2 : 149.0, double(y + 32)};
    default: return {v.nSide ? 130.0 : 149.0, double(y + 32)};
    }
}

void PaintArms(PictureRgba& pic, const Look& look, const Pose& p, const View& v) {
    const double y = 98 + p.nBob;
    const ShapePoint hand = HandOf(p, v);
    if (v.nSide && v.nFacing == 0) {
        PaintArm(pic, look, 128 - p.nLean, y, hand.x, hand.y);
        return;
    }
    const double l = 110 - p.nLean, r = 146 - p.nLean;
    switch (p.arms) {
    case Arms::Raised: PaintArm(pic, look, l + 2, y, 106, y - 22); break;
    case Arms::Crossed: PaintArm(pic, look, l + 2, y, 122, y + 16); break;
    case Arms::Swing: PaintArm(pic, look, l, y, 108 + p.nStep, y + 30); break;
    default: PaintArm(pic, look, l, y, 108, y + 30); break;
    }
    PaintArm(pic, look, r - 2, y, hand.x, hand.y);
}

void PaintHead(PictureRgba& pic, const Look& look, const Pose& p, const View& v) {
    const double cx = 128 + v.nSide * 2 - p.nLean, cy = 83 + p.nBob;
    pic.Fill(int(cx) - 4, int(cy) + 8, 8, 6, kSkin);  // neck
    const bool bBackOfHead = v.nFacing < 0 && look.hair != Hair::Bald;
    PaintEllipse(pic, cx, cy, 10.5, 11.5, bBackOfHead ? look.crHair : kSkin);
    if (look.hair != Hair::Bald) {
        // The crown of hair above the brow, longer at the sides.
        for (int y = int(cy) - 12; y < int(cy) - 3; ++y)
            for (int x = int(cx) - 12; x <= int(cx) + 12; ++x) {
                const double dx = (x + 0.5 - cx) / 11.5, dy = (y + 0.5 - cy) / 12.5;
                if (dx * dx + dy * dy <= 1.0 && x >= 0 && y >= 0) pic.At(x, y) = look.crHair;
            }
        if (v.nFacing >= 0 && !v.nSide) {
            pic.Fill(int(cx) - 11, int(cy) - 4, 3, 8, look.crHair);
            pic.Fill(int(cx) + 9, int(cy) - 4, 3, 8, look.crHair);
        } else if (v.nSide) {
            pic.Fill(int(cx) - 11, int(cy) - 4, 7, 10, look.crHair);  // the back of the head
        }
    }
    if (v.nFacing > 0) {
        const double fx = cx + v.nSide * 4;
        if (v.nSide == 0) {
            pic.Fill(int(fx) - 5, int(cy) - 1, 2, 2, kEye);
            pic.Fill(int(fx) + 3, int(cy) - 1, 2, 2, kEye);
        } else {
            pic.Fill(int(fx) + 2, int(cy) - 1, 2, 2, kEye);
        }
        pic.Fill(int(fx) - 2, int(cy) + 6, 4, 1, kMouth);
    } else if (v.nFacing == 0) {
        pic.Fill(int(cx) + 6, int(cy) - 1, 2, 2, kEye);
        pic.Fill(int(cx) + 6, int(cy) + 6, 3, 1, kMouth);
    }
    if (look.bBeard && v.nFacing >= 0) {
        const double bx = cx + (v.nFacing == 0 ? 5 : v.nSide * 3);
        const ShapePoint beard[4] = {{bx - 7, cy + 4}, {bx + 7, cy + 4}, {bx + 3, cy + 17}, {bx - 3, cy + 17}};
        PaintPolygon(pic, beard, look.hair == Hair::Bald ? Rgb(90, 60, 40) : look.crHair);
        pic.Fill(int(bx) - 2, int(cy) + 6, 4, 1, kMouth);
    }
}

// Hair that hangs or rises beyond the head: drawn behind the body for the long hair and
// ponytail seen from the front, over it from behind.
void PaintHairBehind(PictureRgba& pic, const Look& look, const Pose& p, const View& v) {
    const double cx = 128 + v.nSide * 2 - p.nLean, cy = 83 + p.nBob;
    if (look.hair == Hair::Long) pic.Fill(int(cx) - 14 - v.nSide * 2, int(cy) - 6, 28, 40, look.crHair);
    if (look.hair == Hair::Ponytail) {
        const double tx = v.nSide ? cx - 12 : cx;
        PaintStroke(pic, tx, cy - 4, tx - v.nSide * 3, cy + 24, 7, look.crHair);
    }
}

void PaintHairUp(PictureRgba& pic, const Look& look, const Pose& p, const View& v) {
    const double cx = 128 + v.nSide * 2 - p.nLean, cy = 83 + p.nBob;
    switch (look.hair) {
    case Hair::Bun: PaintEllipse(pic, cx - v.nSide * 4, cy - 14, 6, 5, look.crHair); break;
    case Hair::TwinBuns:
        PaintEllipse(pic, cx - 10, cy - 11, 5, 5, look.crHair);
        PaintEllipse(pic, cx + 10, cy - 11, 5, 5, look.crHair);
        break;
    case Hair::Topknot:
        pic.Fill(int(cx) - 3, int(cy) - 20, 6, 9, look.crHair);
        pic.Fill(int(cx) - 4, int(cy) - 13, 8, 2, look.crTrim);
        break;
    default: break;
    }
}

void PaintHat(PictureRgba& pic, const Look& look, const Pose& p, const View& v) {
    const double cx = 128 + v.nSide * 2 - p.nLean, cy = 83 + p.nBob;
    const std::uint32_t c = look.crHat;
    switch (look.hat) {
    case Hat::Straw:
    case Hat::Conical: {
        const double w = look.hat == Hat::Straw ? 22 : 19;
        const ShapePoint cone[3] = {{cx - w, cy - 6}, {cx + w, cy - 6}, {cx, cy - 26}};
        PaintPolygon(pic, cone, c);
        pic.Fill(int(cx) - 12, int(cy) - 10, 24, 3, Shade(c, 0.7));
        break;
    }
    case Hat::ScholarCap:
        pic.Fill(int(cx) - 11, int(cy) - 20, 22, 12, c);
        pic.Fill(int(cx) - 19, int(cy) - 16, 8, 3, c);
        pic.Fill(int(cx) + 11, int(cy) - 16, 8, 3, c);
        break;
    case Hat::RoundCap: {
        const ShapePoint cap[4] = {{cx - 11, cy - 7}, {cx + 11, cy - 7}, {cx + 9, cy - 17}, {cx - 9, cy - 17}};
        PaintPolygon(pic, cap, c);
        PaintEllipse(pic, cx, cy - 18, 2.5, 2.5, Shade(c, 1.6));
        break;
    }
    case Hat::Headscarf:
        for (int y = int(cy) - 13; y < int(cy) - 3; ++y)
            for (int x = int(cx) - 13; x <= int(cx) + 13; ++x) {
                const double dx = (x + 0.5 - cx) / 12.5, dy = (y + 0.5 - cy) / 13.0;
                if (dx * dx + dy * dy <= 1.0) pic.At(x, y) = c;
            }
        PaintEllipse(pic, cx - 12 + (v.nSide ? 0 : 24), cy - 2, 3, 3, c);
        break;
    case Hat::Helmet:
        for (int y = int(cy) - 14; y < int(cy) - 2; ++y)
            for (int x = int(cx) - 13; x <= int(cx) + 13; ++x) {
                const double dx = (x + 0.5 - cx) / 12.5, dy = (y + 0.5 - cy) / 13.5;
                if (dx * dx + dy * dy <= 1.0) pic.At(x, y) = c;
            }
        pic.Fill(int(cx) - 13, int(cy) - 4, 26, 2, Shade(c, 0.7));
        pic.Fill(int(cx) - 2, int(cy) - 24, 4, 10, Rgb(200, 40, 40));
        break;
    case Hat::Headband:
        pic.Fill(int(cx) - 11, int(cy) - 8, 22, 3, c);
        PaintStroke(pic, cx - 10 - v.nSide * 2, cy - 6, cx - 15 - v.nSide * 2, cy + 4, 2, c);
        break;
    case Hat::Bow:
        PaintEllipse(pic, cx - 13, cy - 14, 5, 4, c);
        PaintEllipse(pic, cx - 5, cy - 14, 5, 4, c);
        break;
    case Hat::None: break;
    }
}

// What the look carries, in or near the right hand; a sword hangs on the back.
void PaintProp(PictureRgba& pic, const Look& look, const Pose& p, const View& v) {
    const ShapePoint h = HandOf(p, v);
    switch (look.prop) {
    case Prop::Staff:
        PaintStroke(pic, h.x + 1, h.y - 40, h.x + 2, 168, 3, kWood);
        PaintEllipse(pic, h.x + 1, h.y - 41, 3, 3, Shade(kWood, 0.7));
        break;
    case Prop::Sword:
        PaintStroke(pic, 112, 90 + p.nBob, 146, 138 + p.nBob, 4, kMetal);
        PaintStroke(pic, 110, 87 + p.nBob, 116, 95 + p.nBob, 5, Rgb(120, 70, 30));
        break;
    case Prop::Fan: {
        const ShapePoint fan[3] = {{h.x, h.y}, {h.x + 12, h.y - 14}, {h.x + 16, h.y - 4}};
        PaintPolygon(pic, fan, Rgb(240, 230, 200));
        PaintStroke(pic, h.x, h.y, h.x + 14, h.y - 9, 1, Rgb(150, 110, 60));
        break;
    }
    case Prop::Basket:
        PaintStroke(pic, h.x - 7, h.y + 4, h.x, h.y - 4, 2, Shade(kWood, 0.8));
        PaintStroke(pic, h.x, h.y - 4, h.x + 7, h.y + 4, 2, Shade(kWood, 0.8));
        PaintEllipse(pic, h.x, h.y + 9, 9, 7, Rgb(190, 150, 80));
        pic.Fill(int(h.x) - 8, int(h.y) + 7, 16, 2, Rgb(150, 110, 50));
        PaintEllipse(pic, h.x - 3, h.y + 3, 3, 2, Rgb(80, 170, 70));
        break;
    case Prop::Hoe:
        PaintStroke(pic, h.x + 1, h.y - 48, h.x + 1, 168, 3, kWood);
        pic.Fill(int(h.x) - 10, int(h.y) - 52, 12, 6, kMetal);
        break;
    case Prop::FishingRod:
        PaintStroke(pic, h.x, h.y, h.x + 10, h.y - 62, 2, kWood);
        PaintStroke(pic, h.x + 10, h.y - 62, h.x + 11, h.y - 24, 1, Rgb(230, 230, 230));
        break;
    case Prop::Abacus:
        pic.Fill(int(h.x) - 14, int(h.y) - 10, 20, 12, kWood);
        pic.Fill(int(h.x) - 12, int(h.y) - 8, 16, 8, Rgb(60, 40, 20));
        for (int i = 0; i < 4; ++i) pic.Fill(int(h.x) - 11 + 4 * i, int(h.y) - 7 + (i % 2) * 4, 2, 2, Rgb(230, 200, 120));
        break;
    case Prop::Spear: {
        PaintStroke(pic, h.x + 1, h.y - 60, h.x + 1, 168, 3, kWood);
        const ShapePoint tip[3] = {{h.x - 3, h.y - 58}, {h.x + 5, h.y - 58}, {h.x + 1, h.y - 72}};
        PaintPolygon(pic, tip, kMetal);
        break;
    }
    case Prop::Hammer:
        PaintStroke(pic, h.x, h.y + 2, h.x, h.y - 20, 3, kWood);
        pic.Fill(int(h.x) - 7, int(h.y) - 27, 14, 8, Rgb(90, 90, 100));
        break;
    case Prop::Axe: {
        PaintStroke(pic, h.x, h.y + 2, h.x + 2, h.y - 26, 3, kWood);
        const ShapePoint blade[4] = {{h.x + 2, h.y - 26}, {h.x + 12, h.y - 30}, {h.x + 12, h.y - 16}, {h.x + 2, h.y - 18}};
        PaintPolygon(pic, blade, kMetal);
        break;
    }
    case Prop::Book:
        pic.Fill(int(h.x) - 12, int(h.y) - 12, 12, 14, Rgb(40, 70, 140));
        pic.Fill(int(h.x) - 11, int(h.y) - 11, 2, 12, Rgb(240, 235, 220));
        break;
    case Prop::Lantern:
        PaintStroke(pic, h.x, h.y, h.x, h.y + 6, 1, Rgb(60, 40, 30));
        PaintEllipse(pic, h.x, h.y + 14, 6, 8, Rgb(220, 50, 40));
        pic.Fill(int(h.x) - 2, int(h.y) + 10, 4, 8, Rgb(250, 220, 100));
        break;
    case Prop::None: break;
    }
}

PictureRgba PaintFacingRight(const Look& look, const Pose& p, const View& v) {
    PictureRgba pic(256, 180, 0);
    PaintEllipse(pic, 128, 170, 20, 5, kShadow);
    const bool bAway = v.nFacing < 0;
    // From behind, the prop and the long hair come over the body; from the front, the
    // long hair hangs behind the shoulders and a sword behind the back.
    if (!bAway) PaintHairBehind(pic, look, p, v);
    if (!bAway && look.prop == Prop::Sword) PaintProp(pic, look, p, v);
    if (bAway && look.prop != Prop::Sword) PaintProp(pic, look, p, v);
    PaintLegs(pic, look, p);
    PaintBody(pic, look, p, v);
    PaintHairUp(pic, look, p, v);
    PaintHead(pic, look, p, v);
    if (bAway) PaintHairBehind(pic, look, p, v);
    PaintArms(pic, look, p, v);
    PaintHat(pic, look, p, v);
    if (!bAway && look.prop != Prop::Sword) PaintProp(pic, look, p, v);
    if (bAway && look.prop == Prop::Sword) PaintProp(pic, look, p, v);
    return pic;
}

}  // namespace

const Look* FindLook(int nSculpt) {
    for (const Look& l : kLooks)
        if (l.nSculpt == nSculpt) return &l;
    return nullptr;
}

std::span<const Look> AllLooks() { return kLooks; }

Look PortraitLook(int nPortrait) {
    if (nPortrait >= 1 && nPortrait <= 4) return *FindLook(kMemberSculpt[nPortrait - 1]);
    Look look = *FindLook(1);
    look.crClothes = Rgb(60, 110, 190);
    look.crTrim = Rgb(240, 240, 250);
    return look;
}

PictureRgba PaintPerson(const Look& look, int nAction, int nDirection, int nFrame) {
    const int d = std::clamp(nDirection, 0, 7);
    const Pose pose = PoseOf(nAction, nFrame);
    // The left-facing directions 1..3 are the right-facing 7..5 mirrored.
    const bool bMirror = d >= 1 && d <= 3;
    PictureRgba pic = PaintFacingRight(look, pose, ViewOf(bMirror ? 8 - d : d));
    if (bMirror)
        for (int y = 0; y < pic.nHeight; ++y) std::reverse(pic.pixels.begin() + std::ptrdiff_t(y) * pic.nWidth,
                                                           pic.pixels.begin() + std::ptrdiff_t(y + 1) * pic.nWidth);
    return pic;
}

void PaintBust(PictureRgba& pic, const Look& look, int x, int y, int w, int h) {
    // Drawn on a 100 x 100 grid scaled into the rectangle.
    const double sx = w / 100.0, sy = h / 100.0;
    auto X = [&](double u) { return x + u * sx; };
    auto Y = [&](double v) { return y + v * sy; };
    auto ellipse = [&](double u, double v, double ru, double rv, std::uint32_t c) { PaintEllipse(pic, X(u), Y(v), ru * sx, rv * sy, c); };
    auto rect = [&](double u, double v, double du, double dv, std::uint32_t c) {
        const ShapePoint q[4] = {{X(u), Y(v)}, {X(u + du), Y(v)}, {X(u + du), Y(v + dv)}, {X(u), Y(v + dv)}};
        PaintPolygon(pic, q, c);
    };
    auto poly = [&](std::initializer_list<ShapePoint> pts, std::uint32_t c) {
        std::vector<ShapePoint> q;
        for (const ShapePoint& p : pts) q.push_back({X(p.x), Y(p.y)});
        PaintPolygon(pic, q, c);
    };
    // Hair that falls behind the shoulders, then the shoulders in the clothes' colour.
    if (look.hair == Hair::Long) rect(24, 30, 52, 56, look.crHair);
    if (look.hair == Hair::Ponytail) rect(66, 36, 10, 40, look.crHair);
    poly({{8, 100}, {14, 80}, {34, 70}, {66, 70}, {86, 80}, {92, 100}}, look.crClothes);
    if (look.bApron) rect(34, 82, 32, 18, kApron);
    poly({{40, 70}, {50, 84}, {60, 70}}, look.crTrim);
    poly({{43, 70}, {50, 80}, {57, 70}}, kSkin);
    if (look.prop == Prop::Sword) {
        rect(76, 56, 6, 30, Rgb(120, 70, 30));
        rect(72, 60, 14, 4, Rgb(120, 70, 30));
    }
    rect(44, 58, 12, 14, kSkin);  // neck
    // Hair up, the face, the crown of hair, the features, the beard and the hat.
    if (look.hair == Hair::Bun) ellipse(50, 14, 10, 8, look.crHair);
    if (look.hair == Hair::TwinBuns) ellipse(30, 20, 9, 9, look.crHair), ellipse(70, 20, 9, 9, look.crHair);
    if (look.hair == Hair::Topknot) rect(45, 6, 10, 14, look.crHair), rect(43, 16, 14, 3, look.crTrim);
    if (look.hair != Hair::Bald) ellipse(50, 40, 25, 26, look.crHair);
    ellipse(50, 45, 21, 24, kSkin);
    if (look.hair != Hair::Bald) {
        poly({{27, 40}, {30, 22}, {50, 15}, {70, 22}, {73, 40}, {64, 28}, {36, 28}}, look.crHair);
        if (look.hair == Hair::Long || look.hair == Hair::TwinBuns) rect(27, 34, 5, 26, look.crHair), rect(68, 34, 5, 26, look.crHair);
    }
    rect(38, 39, 8, 2, Shade(look.crHair, 0.8));
    rect(54, 39, 8, 2, Shade(look.crHair, 0.8));
    ellipse(42, 45, 2.6, 3, kEye);
    ellipse(58, 45, 2.6, 3, kEye);
    rect(46, 57, 8, 2, kMouth);
    if (look.bBeard) {
        poly({{36, 56}, {64, 56}, {58, 76}, {50, 80}, {42, 76}}, look.hair == Hair::Bald ? Rgb(90, 60, 40) : look.crHair);
        rect(45, 59, 10, 2, kMouth);
    }
    switch (look.hat) {
    case Hat::Straw: case Hat::Conical: poly({{8, 26}, {92, 26}, {50, 2}}, look.crHat); rect(26, 22, 48, 4, Shade(look.crHat, 0.7)); break;
    case Hat::ScholarCap: rect(28, 4, 44, 22, look.crHat); rect(12, 12, 16, 5, look.crHat); rect(72, 12, 16, 5, look.crHat); break;
    case Hat::RoundCap: poly({{28, 28}, {72, 28}, {68, 10}, {32, 10}}, look.crHat); ellipse(50, 8, 4, 4, Shade(look.crHat, 1.6)); break;
    case Hat::Headscarf: poly({{24, 34}, {28, 16}, {50, 10}, {72, 16}, {76, 34}, {50, 26}}, look.crHat); ellipse(78, 36, 6, 6, look.crHat); break;
    case Hat::Helmet: poly({{24, 34}, {26, 14}, {50, 6}, {74, 14}, {76, 34}}, look.crHat); rect(46, 0, 8, 8, Rgb(200, 40, 40)); break;
    case Hat::Headband: rect(27, 28, 46, 5, look.crHat); rect(72, 30, 12, 4, look.crHat); break;
    case Hat::Bow: ellipse(24, 22, 9, 7, look.crHat); ellipse(38, 18, 9, 7, look.crHat); break;
    case Hat::None: break;
    }
}

PictureRgba PaintPortrait(const Look& look, int w, int h, std::uint32_t crFrame, std::uint32_t crGround, int nBottom) {
    PictureRgba pic(w, h, crFrame);
    pic.Fill(4, 4, w - 8, h - 4 - nBottom, crGround);
    PictureRgba bust(w - 8, h - 4 - nBottom, 0);
    PaintBust(bust, look, 0, 2, bust.nWidth, bust.nHeight - 2);
    PaintOver(pic, bust, 4, 4);
    return pic;
}

void MakeGrey(PictureRgba& pic) {
    for (std::uint32_t& c : pic.pixels) {
        const int v = Lightness(c);
        c = (c & 0xFF000000u) | std::uint32_t(v) << 16 | std::uint32_t(v) << 8 | std::uint32_t(v);
    }
}
