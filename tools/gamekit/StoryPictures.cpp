#include "tools/gamekit/StoryPictures.h"

#include "platform/Charset.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/TextLabel.h"

namespace {

constexpr std::uint32_t kKey = Argb(255, 255, 0, 255);

void Disc(PictureRgba& pic, int cx, int cy, int r, std::uint32_t c) {
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
            if (x >= 0 && y >= 0 && x < pic.nWidth && y < pic.nHeight && (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                pic.At(x, y) = c;
}

PictureRgba Grove() {
    PictureRgba pic(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) pic.At(x, y) = Argb(255, 150 - y / 5, 200 - y / 5, 160 - y / 5);
    for (int i = 0; i < 9; ++i) {
        const int x = 60 + 85 * i;
        pic.Fill(x, 80 + 20 * (i % 3), 14, 520 - 20 * (i % 3), Argb(255, 70, 130 + 10 * (i % 4), 60));
        for (int k = 0; k < 6; ++k) pic.Fill(x - 2, 140 + 70 * k + 10 * (i % 2), 18, 4, Argb(255, 40, 90, 40));
    }
    PaintTextLabel(pic, "竹林采药", RECT{0, 20, 800, 80}, RGB(255, 250, 210), 40, "隶书",
                   DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pic.At(0, 0) = kKey;  // the key comes from this pixel: only it is see-through
    return pic;
}

}  // namespace

std::vector<PkgEntryData> StoryPictureEntries() {
    PictureRgba heads(200, 40, kKey);
    for (int f = 0; f < 5; ++f) Disc(heads, 40 * f + 20, 20, 14, Argb(255, 250, 200 - 30 * f, 60 + 40 * f));
    return {PkgEntryData{Utf8ToText("Backbmp01.bmp"), BuildBmp(Grove())},
            PkgEntryData{Utf8ToText("UpHead.bmp"), BuildBmp(heads)}};
}
