#include "tools/mkgame/SampleBoards.h"

#include "tools/gamekit/ImageWriters.h"

namespace {

const ToolBarProbe kProbes[] = {
    {"MenuInlay.bmp", 60, 366, 46, 70, 96},
    {"MenuManufacture.bmp", 60, 366, 96, 64, 40},
    {"Making.bmp", 46, 5, 250, 210, 40},
    {"ManufactureButton.bmp", 8, 22, 120, 230, 200},
};

std::uint32_t BodyOf(const char* pszName) { return ProbeBody(kProbes, pszName); }

// A board: the key in the top-left corner, 8 x 11 wells, the slot, the bar's groove and
// the two buttons in their normal look, the title above them in the right-hand column.
PictureRgba BoardBackground(const char* pszName, const char* pszTitle, const char* pszStart) {
    PictureRgba pic(kSampleBoardWidth, kSampleBoardHeight, BodyOf(pszName));
    PaintFrame(pic, 0, 0, kSampleBoardWidth, kSampleBoardHeight, Argb(255, 200, 170, 100));
    pic.At(0, 0) = kSampleKey;
    const std::uint32_t well = Argb(255, 22, 18, 30);
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 8; ++c) pic.Fill(73 + 28 * c, 39 + 29 * r, 25, 25, well);
    const int w = kSampleBoardWidth;
    pic.Fill(352, 38, w - 352 - 2, 169, well);
    pic.Fill(350, 36, w - 350, 2, Argb(255, 200, 170, 100));
    pic.Fill(350, 36, 2, 173, Argb(255, 200, 170, 100));
    pic.Fill(350, 207, w - 350, 2, Argb(255, 200, 170, 100));
    pic.Fill(341, 239, w - 341 - 2, 10, Argb(255, 10, 10, 10));
    PaintSampleLabel(pic, pszTitle, RECT{329, 4, w, 34}, RGB(250, 220, 150), 24);
    const struct {
        int y;
        const char* pszLabel;
    } kButtons[] = {{268, pszStart}, {320, "关闭"}};
    for (const auto& b : kButtons) {
        pic.Fill(329, b.y, w - 329 - 2, 44, Argb(255, 70, 50, 40));
        PaintFrame(pic, 329, b.y, w - 329 - 2, 44, Argb(255, 30, 20, 20));
        PaintSampleLabel(pic, b.pszLabel, RECT{329, b.y, w - 2, b.y + 44}, RGB(255, 240, 200), 20);
    }
    return pic;
}

PictureRgba ProgressBar() {
    PictureRgba pic(92, 10, BodyOf("Making.bmp"));
    pic.At(0, 0) = kSampleKey;
    return pic;
}

PictureRgba ButtonStrip() {
    PictureRgba pic(99, 88, BodyOf("ManufactureButton.bmp"));
    pic.At(0, 0) = kSampleKey;
    PaintFrame(pic, 0, 0, 99, 44, Argb(255, 255, 255, 255));
    PaintFrame(pic, 0, 44, 99, 44, Argb(255, 255, 255, 255));
    pic.At(0, 0) = kSampleKey;
    PaintSampleLabel(pic, "开始", RECT{0, 0, 99, 44}, RGB(0, 0, 0), 20);
    PaintSampleLabel(pic, "关闭", RECT{0, 44, 99, 88}, RGB(0, 0, 0), 20);
    return pic;
}

}  // namespace

std::vector<PkgEntryData> BoardContentEntries() {
    std::vector<PkgEntryData> e;
    auto bmp = [&](const char* pszName, const PictureRgba& pic) { e.push_back(PkgEntryData{pszName, BuildBmp(pic)}); };
    bmp("MenuInlay.bmp", BoardBackground("MenuInlay.bmp", "镶嵌", "镶嵌"));
    bmp("MenuManufacture.bmp", BoardBackground("MenuManufacture.bmp", "打造", "打造"));
    bmp("Making.bmp", ProgressBar());
    bmp("ManufactureButton.bmp", ButtonStrip());
    return e;
}

const ToolBarProbe* FindBoardProbe(const char* pszName) { return FindProbe(kProbes, pszName); }
