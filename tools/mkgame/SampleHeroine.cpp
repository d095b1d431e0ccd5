#include "tools/mkgame/SampleHeroine.h"

#include <algorithm>
#include <cmath>

#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/SampleArt.h"
#include "tools/gamekit/SampleLooks.h"

namespace {

constexpr std::uint32_t kSkin = Argb(255, 240, 200, 160);
constexpr std::uint32_t kShoe = Argb(255, 90, 20, 30);
constexpr std::uint32_t kShadow = Argb(110, 0, 0, 0);

// Row y of the dress, from the shoulders (y 96) to the hem (y 150), as [left, right):
// 30 pixels wide at the top, 50 at the hem.
void DressRow(int y, int* pLeft, int* pRight) {
    const int nHalf = 15 + (y - 96) * 10 / 54;
    *pLeft = 128 - nHalf;
    *pRight = 128 + nHalf;
}

}  // namespace

PictureRgba PaintHeroine(int nAction, int nDirection, int nFrame) {
    // Her hair and bow are her look's, the one her portraits are drawn from too.
    const Look& look = *FindLook(kHeroineSculpt);
    const std::uint32_t kHair = look.crHair, kBow = look.crHat;
    PictureRgba pic(256, 180, 0);
    const int nStep = nFrame % 2 ? 3 : 0;
    const int nSway = nFrame / 2 % 2 ? 1 : -1;
    // Shadow.
    for (int y = 164; y < 176; ++y)
        for (int x = 108; x < 148; ++x)
            if ((x - 128) * (x - 128) / 4 + (y - 170) * (y - 170) < 36) pic.At(x, y) = Argb(110, 0, 0, 0);
    // Legs below the hem, with shoes.
    pic.Fill(119 - nStep, 150, 6, 16, kSkin);
    pic.Fill(131 + nStep, 150, 6, 16, kSkin);
    pic.Fill(118 - nStep, 164, 8, 5, kShoe);
    pic.Fill(130 + nStep, 164, 8, 5, kShoe);
    // Hair falling behind the shoulders, swaying a pixel as she moves.
    pic.Fill(110 + nSway, 76, 36, 40, kHair);
    // The dress and a sash whose colour tells the action.
    for (int y = 96; y < 150; ++y) {
        int l = 0, r = 0;
        DressRow(y, &l, &r);
        pic.Fill(l, y, r - l, 1, kHeroineDress);
    }
    const int a = std::max(nAction, 0);
    pic.Fill(114, 116, 28, 4, Argb(255, 230 - a * 13 % 110, 180 + a * 29 % 70, 120 + a * 47 % 130));
    // Head: the face towards the viewer unless she faces away (directions 3 to 5),
    // turned to the side she walks to; the bow sits on the side away from her face.
    const int d = std::clamp(nDirection, 0, 7);
    const bool bAway = d >= 3 && d <= 5;
    const int nTurn = d == 0 || d == 4 ? 0 : d < 4 ? -1 : 1;
    pic.Fill(118, 72, 20, 22, bAway ? kHair : kSkin);
    pic.Fill(116, 66, 24, 8, kHair);
    if (!bAway) {
        const int fx = 128 + nTurn * 4;
        if (nTurn == 0) pic.Fill(fx - 5, 81, 2, 2, Argb(255, 40, 24, 20)), pic.Fill(fx + 3, 81, 2, 2, Argb(255, 40, 24, 20));
        else pic.Fill(fx + nTurn * 3, 81, 2, 2, Argb(255, 40, 24, 20));
        pic.Fill(fx - 2, 88, 4, 1, Argb(255, 190, 60, 70));
        if (nTurn != 0) pic.Fill(nTurn > 0 ? 116 : 134, 72, 6, 14, kHair);
    }
    pic.Fill(nTurn > 0 ? 106 : nTurn < 0 ? 140 : 108, 64, 10, 7, kBow);
    return pic;
}

PictureRgba PaintBeast(int nSculpt, int nAction, int nDirection, int nFrame) {
    PictureRgba pic(256, 180, 0);
    // Fur by sculpt: browns, greys and greens, never a villager's bright coat.
    const int k = std::max(nSculpt - kFirstBeastSculpt, 0);
    const std::uint32_t fur = Argb(255, 70 + k * 37 % 80, 50 + k * 23 % 60, 30 + k * 41 % 50);
    const std::uint32_t dark = Argb(255, 40, 28, 20);
    const int nStep = nFrame % 2 ? 4 : 0;
    const int d = std::clamp(nDirection, 0, 7);
    // Facing right for directions 5..7, left for 1..3; straight on for 0 and 4.
    const int nFace = d >= 5 ? 1 : d >= 1 && d <= 3 ? -1 : 0;
    for (int y = 164; y < 176; ++y)
        for (int x = 96; x < 160; ++x)
            if ((x - 128) * (x - 128) / 9 + (y - 170) * (y - 170) < 36) pic.At(x, y) = Argb(110, 0, 0, 0);
    // Four short legs under a long low body, a tail raised behind.
    for (int i = 0; i < 4; ++i) pic.Fill(102 + i * 15 + (i % 2 ? nStep : -nStep), 148, 7, 20, dark);
    for (int y = 118; y < 152; ++y)
        for (int x = 92; x < 164; ++x)
            if ((x - 128) * (x - 128) * 289 + (y - 135) * (y - 135) * 1296 <= 289 * 1296) pic.At(x, y) = fur;
    const int nTail = 128 - nFace * 40;
    pic.Fill(nTail - 3, 108 + nStep / 2, 6, 16, dark);
    // The head with two horns and red eyes, turned to the direction; the band on its
    // back tells the action.
    const int hx = 128 + nFace * 34;
    pic.Fill(hx - 14, 104, 28, 24, fur);
    pic.Fill(hx - 12, 94, 5, 10, Argb(255, 230, 220, 190));
    pic.Fill(hx + 7, 94, 5, 10, Argb(255, 230, 220, 190));
    if (d < 3 || d > 5) {
        pic.Fill(hx - 8, 110, 5, 4, Argb(255, 230, 30, 30));
        pic.Fill(hx + 3, 110, 5, 4, Argb(255, 230, 30, 30));
        pic.Fill(hx - 6, 120, 12, 3, Argb(255, 245, 245, 235));  // fangs
    }
    pic.Fill(112, 124, 32, 4, Argb(255, 200 - nAction * 17 % 90, 120 + nAction * 31 % 100, 60 + nAction * 43 % 120));
    return pic;
}

namespace {

bool IsBeast(int nSculpt) {
    return nSculpt >= kFirstBeastSculpt && nSculpt <= kLastBeastSculpt && nSculpt != kStatueSculpt;
}

// The master's training statues (the golems' sculpt): a helmed swordsman carved in grey
// stone, every opaque pixel of the figure turned to the stone's shade of it.
PictureRgba PaintStatue(int nAction, int nDirection, int nFrame) {
    const Look stone{kStatueSculpt, Hair::Topknot, Argb(255, 90, 90, 90), Garment::Robe, Argb(255, 150, 150, 150),
                     Argb(255, 200, 200, 200), Argb(255, 110, 110, 110), Hat::Helmet, Argb(255, 170, 170, 170), Prop::Sword, true, false};
    PictureRgba pic = PaintPerson(stone, nAction, nDirection, nFrame);
    for (std::uint32_t& c : pic.pixels) {
        if ((c >> 24) != 255) continue;
        const int v = 70 + Lightness(c) / 2;
        c = Argb(255, v, v, v + 8);
    }
    return pic;
}

PictureRgba PaintStanding(int nSculpt, int nAction, int nDirection, int nFrame) {
    if (nSculpt == kHeroineSculpt) return PaintHeroine(nAction, nDirection, nFrame);
    if (nSculpt == kStatueSculpt) return PaintStatue(nAction, nDirection, nFrame);
    if (IsBeast(nSculpt)) return PaintBeast(nSculpt, nAction, nDirection, nFrame);
    if (const Look* pLook = FindLook(nSculpt)) return PaintPerson(*pLook, nAction, nDirection, nFrame);
    return PaintCharacter(nSculpt, nAction, nDirection, nFrame);
}

// A standing frame turned about its feet by dDegrees (positive: the head goes right),
// lifted so that the turned body stays on the ground, over a shadow as wide as it lies.
PictureRgba Toppled(const PictureRgba& standing, double dDegrees) {
    const double a = dDegrees * 3.14159265358979 / 180.0, c = std::cos(a), s = std::sin(a);
    const double px = 128, py = 168, dLift = 16 * std::fabs(s);
    PictureRgba body(standing.nWidth, standing.nHeight, 0);
    int nLeft = body.nWidth, nRight = -1;
    for (int y = 0; y < body.nHeight; ++y)
        for (int x = 0; x < body.nWidth; ++x) {
            const double dx = x + 0.5 - px, dy = y + 0.5 + dLift - py;
            const int sx = int(std::floor(px + dx * c + dy * s)), sy = int(std::floor(py - dx * s + dy * c));
            if (sx < 0 || sy < 0 || sx >= standing.nWidth || sy >= standing.nHeight) continue;
            const std::uint32_t v = standing.At(sx, sy);
            if ((v >> 24) != 255) continue;  // the shadow and the clear ground stay behind
            body.At(x, y) = v;
            nLeft = std::min(nLeft, x);
            nRight = std::max(nRight, x);
        }
    PictureRgba pic(standing.nWidth, standing.nHeight, 0);
    if (nRight >= nLeft) PaintEllipse(pic, (nLeft + nRight + 1) / 2.0, 170, (nRight - nLeft + 1) / 2.0, 5, kShadow);
    PaintOver(pic, body, 0, 0);
    return pic;
}

// A beast fallen on its side: the body flat on the ground, the legs stretched out, the
// head down at the end it faced with its eyes shut.
PictureRgba PaintBeastLying(int nSculpt, int nDirection) {
    const PictureRgba standing = PaintBeast(nSculpt, 0, nDirection, 0);
    const std::uint32_t fur = standing.At(128, 135), dark = Argb(255, 40, 28, 20);
    const int d = std::clamp(nDirection, 0, 7);
    const int nFace = d >= 1 && d <= 3 ? -1 : 1;
    PictureRgba pic(256, 180, 0);
    PaintEllipse(pic, 128, 171, 50, 5, kShadow);
    for (int i = 0; i < 4; ++i) {
        const double x = 108 + i * 13;
        PaintStroke(pic, x, 160, x + nFace * 10, 170, 6, dark);
    }
    PaintEllipse(pic, 128, 157, 38, 12, fur);
    PaintStroke(pic, 128 - nFace * 36, 158, 128 - nFace * 54, 166, 5, dark);  // the tail
    const double hx = 128 + nFace * 42;
    PaintEllipse(pic, hx, 161, 14, 10, fur);
    PaintStroke(pic, hx + nFace * 4, 153, hx + nFace * 16, 149, 4, Argb(255, 230, 220, 190));
    PaintStroke(pic, hx - nFace * 4, 153, hx - nFace * 14, 149, 4, Argb(255, 230, 220, 190));
    for (int e : {-5, 4}) {
        PaintStroke(pic, hx + e - 2, 158, hx + e + 2, 162, 1.5, dark);
        PaintStroke(pic, hx + e - 2, 162, hx + e + 2, 158, 1.5, dark);
    }
    return pic;
}

}  // namespace

PictureRgba PaintSampleCharacter(int nSculpt, int nAction, int nDirection, int nFrame) {
    // Falling (8, and 5 for the beasts on the map) tips the fighter over in its first
    // frame and lays it down in the next; fallen (9) lies on the ground. People fall on
    // their backs, away from where they face.
    const bool bBeast = IsBeast(nSculpt);
    const bool bFalling = nAction == 8 || (bBeast && nAction == 5);
    if (!bFalling && nAction != 9) return PaintStanding(nSculpt, nAction, nDirection, nFrame);
    const bool bDown = nAction == 9 || nFrame > 0;
    if (bBeast && bDown) return PaintBeastLying(nSculpt, nDirection);
    const int d = std::clamp(nDirection, 0, 7);
    const double dSide = d >= 5 ? -1.0 : 1.0;
    return Toppled(PaintStanding(nSculpt, 0, d, 0), dSide * (bDown ? 90.0 : bBeast ? 35.0 : 45.0));
}
