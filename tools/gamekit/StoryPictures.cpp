#include "tools/gamekit/StoryPictures.h"

#include "platform/Charset.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/SampleArt.h"

namespace {

PictureRgba Grove() {
    PictureRgba pic(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) pic.At(x, y) = Argb(255, 150 - y / 5, 200 - y / 5, 160 - y / 5);
    for (int i = 0; i < 9; ++i) {
        const int x = 60 + 85 * i;
        pic.Fill(x, 80 + 20 * (i % 3), 14, 520 - 20 * (i % 3), Argb(255, 70, 130 + 10 * (i % 4), 60));
        for (int k = 0; k < 6; ++k) pic.Fill(x - 2, 140 + 70 * k + 10 * (i % 2), 18, 4, Argb(255, 40, 90, 40));
    }
    PaintSampleLabel(pic, "竹林采药", RECT{0, 20, 800, 80}, RGB(255, 250, 210), 40);
    pic.At(0, 0) = kSampleKey;  // the key comes from this pixel: only it is see-through
    return pic;
}

}  // namespace

std::vector<PkgEntryData> StoryPictureEntries() {
    PictureRgba heads(200, 40, kSampleKey);
    for (int f = 0; f < 5; ++f) PaintDisc(heads, 40 * f + 20, 20, 14, Argb(255, 250, 200 - 30 * f, 60 + 40 * f));
    return {PkgEntryData{Utf8ToText("Backbmp01.bmp"), BuildBmp(Grove())},
            PkgEntryData{Utf8ToText("UpHead.bmp"), BuildBmp(heads)}};
}
