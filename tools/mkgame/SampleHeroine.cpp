#include "tools/mkgame/SampleHeroine.h"

#include <algorithm>

#include "tools/gamekit/PkgSamplePictures.h"

namespace {

constexpr std::uint32_t kSkin = Argb(255, 240, 200, 160);
constexpr std::uint32_t kHair = Argb(255, 40, 24, 36);
constexpr std::uint32_t kBow = Argb(255, 250, 130, 180);
constexpr std::uint32_t kShoe = Argb(255, 90, 20, 30);

// Row y of the dress, from the shoulders (y 96) to the hem (y 150), as [left, right):
// 30 pixels wide at the top, 50 at the hem.
void DressRow(int y, int* pLeft, int* pRight) {
    const int nHalf = 15 + (y - 96) * 10 / 54;
    *pLeft = 128 - nHalf;
    *pRight = 128 + nHalf;
}

}  // namespace

PictureRgba PaintHeroine(int nAction, int nDirection, int nFrame) {
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
    // Head: the face towards the viewer unless she faces away (directions 3 to 5).
    const bool bAway = nDirection >= 3 && nDirection <= 5;
    pic.Fill(118, 72, 20, 22, bAway ? kHair : kSkin);
    pic.Fill(116, 66, 24, 8, kHair);
    pic.Fill(108, 64, 10, 7, kBow);
    // The same pointer towards her direction as every character (0 down, then clockwise).
    static const int dx[8] = {0, -1, -1, -1, 0, 1, 1, 1}, dy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    const int d = std::clamp(nDirection, 0, 7);
    for (int i = 0; i < 34; ++i) pic.Fill(128 + dx[d] * i - 2, 119 + dy[d] * i - 2, 5, 5, Argb(255, 255, 255, 40));
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
    // The same pointer towards its direction as every character (0 down, then clockwise).
    static const int dx[8] = {0, -1, -1, -1, 0, 1, 1, 1}, dy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    for (int i = 0; i < 34; ++i) pic.Fill(128 + dx[d] * i - 2, 135 + dy[d] * i - 2, 5, 5, Argb(255, 255, 255, 40));
    return pic;
}

PictureRgba PaintSampleCharacter(int nSculpt, int nAction, int nDirection, int nFrame) {
    if (nSculpt == kHeroineSculpt) return PaintHeroine(nAction, nDirection, nFrame);
    if (nSculpt >= kFirstBeastSculpt && nSculpt <= kLastBeastSculpt) return PaintBeast(nSculpt, nAction, nDirection, nFrame);
    return PaintCharacter(nSculpt, nAction, nDirection, nFrame);
}
