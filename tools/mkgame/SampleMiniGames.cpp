#include "tools/mkgame/SampleMiniGames.h"

#include <algorithm>
#include <cstdio>

#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/SampleArt.h"

namespace minigame_art {

constexpr std::uint32_t kInk = Argb(255, 16, 16, 16);

// Every named picture of the games, in a fixed order that sets its colour.
std::vector<std::string> PictureNames() {
    std::vector<std::string> names = {"EVE.bmp", "handcircle.bmp", "KnockBack.bmp", "a1.bmp", "Begin.bmp",
                                      "money.bmp", "s04.bmp", "s09.bmp", "T009.bmp", "I001.bmp", "N006.bmp"};
    char sz[32];
    for (int i = 0; i <= 10; ++i) {
        std::snprintf(sz, sizeof sz, "Knock%04d.bmp", i);
        names.emplace_back(sz);
    }
    for (int i = 1; i <= 80; ++i) {
        std::snprintf(sz, sizeof sz, "wa%03d.bmp", i);
        names.emplace_back(sz);
    }
    return names;
}

// A colour from a number: channels step apart so neighbours differ widely, never the key.
std::uint32_t Colour(int n) {
    const int r = 40 + (n * 53) % 200, g = 40 + (n * 97 + 60) % 200, b = 40 + (n * 31 + 120) % 200;
    return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

// Digits 0..9 as 3 x 5 cells.
const char* const kDigits[10] = {"111101101101111", "010110010010111", "111001111100111", "111001111001111",
                                 "101101111001001", "111100111001111", "111100111101111", "111001001001001",
                                 "111101111101111", "111101111001111"};

// The number n drawn at (x, y) in cells of nCell pixels.
void PaintNumber(PictureRgba& pic, int n, int x, int y, int nCell) {
    const std::string s = std::to_string(n);
    for (size_t k = 0; k < s.size(); ++k) {
        const char* pCells = kDigits[s[k] - '0'];
        for (int i = 0; i < 15; ++i) {
            if (pCells[i] != '1') continue;
            const int cx = x + int(k) * 4 * nCell + (i % 3) * nCell, cy = y + (i / 3) * nCell;
            if (cx + nCell <= pic.nWidth && cy + nCell <= pic.nHeight) pic.Fill(cx, cy, nCell, nCell, kInk);
        }
    }
}

std::uint32_t Opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }

// One tile: the key colour round the edge (the sheet's top-left pixel is its key), the
// body inside, and its number in the upper left.
void PaintTile(PictureRgba& pic, int x0, int y0, int w, int h, std::uint32_t rgb, int nNumber) {
    pic.Fill(x0, y0, w, h, kSampleKey);
    pic.Fill(x0 + 2, y0 + 2, w - 4, h - 4, Opaque(rgb));
    PaintNumber(pic, nNumber, x0 + 4, y0 + 4, std::max(1, std::min(w, h) / 40));
}

// A picture loaded as a surface, in 8-bit run-length form (its colours are few).
PkgEntryData Rle(const std::string& strName, const PictureRgba& pic) {
    BmpOptions o;
    o.nBits = 8;
    o.bRle8 = true;
    return PkgEntryData{strName, BuildBmp(pic, o)};
}

// A picture cut into sprite tiles: the sprite loader takes no colour-table bitmaps, so
// these are 16-bit, the smallest form it reads.
PkgEntryData Tiles(const std::string& strName, const PictureRgba& pic) {
    BmpOptions o;
    o.nBits = 16;
    return PkgEntryData{strName, BuildBmp(pic, o)};
}

PkgEntryData Whole(const std::string& strName, int w, int h, int nNumber) {
    PictureRgba pic(w, h);
    PaintTile(pic, 0, 0, w, h, MiniGameBody(strName), nNumber);
    return Rle(strName, pic);
}

PkgEntryData WholeTile(const std::string& strName, int w, int h, int nNumber) {
    PictureRgba pic(w, h);
    PaintTile(pic, 0, 0, w, h, MiniGameBody(strName), nNumber);
    return Tiles(strName, pic);
}

// A sheet of nCount tiles in one row.
PkgEntryData Sheet(const std::string& strName, int w, int h, int nCount) {
    PictureRgba pic(w * nCount, h);
    for (int i = 0; i < nCount; ++i) PaintTile(pic, i * w, 0, w, h, MiniGameBody(strName, i), i);
    return Tiles(strName, pic);
}

}  // namespace minigame_art

std::uint32_t MiniGameBody(const std::string& strName, int nTile) {
    using namespace minigame_art;
    // The colours repeat every 200 numbers, so the item tiles would share the named
    // pictures' colours (tile 0 that of the catch background): their channels turn round.
    if (strName == "Item1.bmp") {
        const std::uint32_t c = Colour(200 + nTile);
        return (c << 8 & 0xFFFF00) | c >> 16;
    }
    if (strName == "KnockLitte.bmp") return Colour(320 + nTile);
    if (strName == "szhc.bmp") return Colour(330 + nTile);
    // The gamble's table is dark green cloth: the game writes its outcome on it in
    // yellow. No numbered colour has a red below 40, so it stays apart from the rest.
    if (strName == "a1.bmp") return 0x184A2Cu;
    const std::vector<std::string> names = PictureNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == strName) return Colour(int(i));
    return 0;
}

std::vector<PkgEntryData> MiniGameContentEntries() {
    using namespace minigame_art;
    std::vector<PkgEntryData> entries;
    // Catch: background, hand, the item sheet (10 x 10 tiles of 40 x 40) and the bars.
    entries.push_back(Whole("EVE.bmp", 800, 600, 1));
    entries.push_back(WholeTile("handcircle.bmp", 60, 60, 0));
    PictureRgba items(400, 400);
    for (int n = 0; n < 100; ++n) PaintTile(items, (n % 10) * 40, (n / 10) * 40, 40, 40, MiniGameBody("Item1.bmp", n), n);
    entries.push_back(Tiles("Item1.bmp", items));
    PictureRgba bar(660, 20, Opaque(kTimeBarUpper));
    bar.Fill(0, 10, 660, 10, Opaque(kTimeBarLower));
    entries.push_back(Rle("TimeBar.bmp", bar));
    // Knock: background, the eleven pictures and the little one's three tiles.
    entries.push_back(Whole("KnockBack.bmp", 800, 600, 3));
    char sz[32];
    for (int i = 0; i <= 10; ++i) {
        std::snprintf(sz, sizeof sz, "Knock%04d.bmp", i);
        entries.push_back(WholeTile(sz, 320, 240, i));
    }
    entries.push_back(Sheet("KnockLitte.bmp", 80, 120, 3));
    // Gamble: background, side buttons, start button, stake panel (its three rows
    // numbered 1, 2, 5 for 100, 200, 500), the roll and the two outcomes.
    entries.push_back(Whole("a1.bmp", 800, 600, 2));
    entries.push_back(Sheet("szhc.bmp", 150, 113, 2));
    // The start button shows only where it takes a click, (250,250)-(370,390) on screen,
    // so the message above it stays readable.
    PictureRgba begin(320, 240, kSampleKey);
    PaintTile(begin, 98, 48, 124, 144, MiniGameBody("Begin.bmp"), 0);
    begin.At(0, 0) = kSampleKey;
    entries.push_back(Tiles("Begin.bmp", begin));
    PictureRgba panel(91, 124);
    PaintTile(panel, 0, 0, 91, 124, MiniGameBody("money.bmp"), 0);
    for (int row = 0; row < 3; ++row) {
        panel.Fill(2, 41 * row + 40, 87, 1, kInk);
        PaintNumber(panel, row == 2 ? 5 : row + 1, 40, 41 * row + 12, 3);
    }
    entries.push_back(Tiles("money.bmp", panel));
    for (int i = 1; i <= 80; ++i) {
        std::snprintf(sz, sizeof sz, "wa%03d.bmp", i);
        entries.push_back(WholeTile(sz, 320, 240, i));
    }
    // The outcome pictures leave their lower part clear: the outcome text shows there.
    for (int n : {4, 9}) {
        std::snprintf(sz, sizeof sz, "s%02d.bmp", n);
        PictureRgba pic(320, 240);
        PaintTile(pic, 0, 0, 320, 240, MiniGameBody(sz), n);
        pic.Fill(0, 180, 320, 60, kSampleKey);
        entries.push_back(Tiles(sz, pic));
    }
    // The picture show's three pictures.
    entries.push_back(Whole("T009.bmp", 640, 480, 0));
    entries.push_back(Whole("I001.bmp", 640, 480, 1));
    entries.push_back(Whole("N006.bmp", 640, 480, 2));
    return entries;
}
