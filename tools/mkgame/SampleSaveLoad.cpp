#include "tools/mkgame/SampleSaveLoad.h"

#include <algorithm>

#include "tools/gamekit/SampleArt.h"
#include "tools/gamekit/TgaWriters.h"

namespace {

constexpr std::uint32_t kBody = Argb(255, 84, 66, 110);
constexpr std::uint32_t kGold = Argb(255, 200, 170, 100);
constexpr std::uint32_t kEdge = Argb(255, 150, 140, 180);
// The rows' tops in the panels (the load panel's text starts 5 pixels lower).
constexpr int kRowTop[4] = {46, 115, 185, 255};
constexpr int kPictureWidth = 84, kRowHeight = 62;

// A well with a light one-pixel edge round it, filled with its colour.
void PaintWell(PictureRgba& pic, int x, int y, int w, int h, std::uint32_t fill) {
    pic.Fill(x - 1, y - 1, w + 2, h + 2, kEdge);
    pic.Fill(x, y, w, h, fill);
}

// A row of the list: one cell holding the date and clock with room round them, and the
// picture's well inside it. The clock is written flush with its rectangle's right and
// bottom edges and the selection frame reaches 5 pixels past them, so the cell reaches
// past both and the clock never touches an edge.
void PaintRow(PictureRgba& pic, RECT rcCell, int nPictureX, int nPictureY) {
    PaintWell(pic, rcCell.left, rcCell.top, rcCell.right - rcCell.left, rcCell.bottom - rcCell.top, kSaveRowTextWell);
    PaintWell(pic, nPictureX, nPictureY, kPictureWidth, kRowHeight, kSaveRowPictureWell);
}

PictureRgba Arrow(int w, int h, bool bUp, bool bHover);

// 340 x 430: the title, the load layout's rows and the strip the buttons stand on.
PictureRgba Background() {
    PictureRgba pic(340, 430, kBody);
    PaintFrame(pic, 0, 0, 340, 430, kGold);
    PaintSampleLabel(pic, "进度", RECT{0, 8, 260, 40}, RGB(250, 220, 150), 24);
    // The load layout: the text (45..130, from 5 below the row's top) left of the
    // picture at 135.
    for (int r = 0; r < 4; ++r) PaintRow(pic, RECT{37, kRowTop[r] - 1, 223, kRowTop[r] + 67}, 135, kRowTop[r]);
    pic.Fill(40, 334, 270, 52, Argb(255, 40, 32, 56));
    // The scroll buttons at rest are drawn here; the panel shows only their hover pictures.
    PaintOver(pic, Arrow(21, 21, true, false), 273, 49);
    PaintOver(pic, Arrow(21, 20, false, false), 273, 292);
    return pic;
}

// The save panel's frame, drawn keyed at (40, 40) over the background: the picture
// at the panel's x 45, the date and clock from x 135 to 257.
PictureRgba SaveFrame() {
    PictureRgba pic(229, 285, kBody);
    PaintFrame(pic, 0, 0, 229, 285, kGold);
    for (int r = 0; r < 4; ++r) {
        const int y = kRowTop[r] - 40;
        PaintRow(pic, RECT{3, y - 2, 224, y + 66}, 5, y);
    }
    pic.At(0, 0) = kSampleKey;
    return pic;
}

// The scroll track behind the handle's notches, from y 50 to 310 of the panel.
PictureRgba Track() {
    PictureRgba pic(26, 260, Argb(255, 30, 24, 40));
    PaintFrame(pic, 0, 0, 26, 260, kEdge);
    pic.Fill(11, 4, 4, 252, Argb(255, 90, 80, 110));
    return pic;
}

// A round button with an arrow pointing up or down.
PictureRgba Arrow(int w, int h, bool bUp, bool bHover) {
    PictureRgba pic(w, h, Argb(0, 0, 0, 0));
    PaintDisc(pic, w / 2, h / 2, std::min(w, h) / 2 - 1, bHover ? Argb(255, 120, 230, 120) : Argb(255, 70, 120, 90));
    for (int i = 0; i < 6; ++i) {
        const int y = bUp ? h / 2 - 3 + i : h / 2 + 3 - i;
        pic.Fill(w / 2 - i, y, 2 * i + 1, 1, Argb(255, 250, 250, 230));
    }
    return pic;
}

PictureRgba Button(const char* pszLabel, int w, int h, bool bHover) {
    PictureRgba pic(w, h, bHover ? Argb(255, 200, 120, 110) : Argb(255, 110, 50, 50));
    PaintFrame(pic, 0, 0, w, h, bHover ? Argb(255, 255, 255, 255) : Argb(255, 30, 20, 20));
    PaintSampleLabel(pic, pszLabel, RECT{0, 0, w, h}, bHover ? RGB(0, 0, 0) : RGB(255, 240, 200), 18);
    return pic;
}

}  // namespace

std::vector<PkgEntryData> SaveLoadContentEntries() {
    std::vector<PkgEntryData> e;
    auto tga = [&](const char* pszName, const PictureRgba& pic) { e.push_back(PkgEntryData{pszName, BuildRleTga32(pic)}); };
    tga("SaveAndLoadMenu_BKGround.tga", Background());
    tga("SaveAndLoad_Panel.tga", SaveFrame());
    tga("Handle.tga", Track());
    tga("Del.tga", Button("删除", 85, 40, false));
    tga("Del[s].tga", Button("删除", 85, 40, true));
    return e;
}
