#include "tools/mkgame/SamplePictures.h"

#include <cstdio>

#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/TgaWriters.h"
#include "tools/mkgame/LanStandIns.h"
#include "tools/mkgame/MkGame.h"
#include "tools/mkgame/SampleMenus.h"
#include "tools/mkgame/SampleMiniGames.h"
#include "tools/mkgame/SampleToolBar.h"

namespace {

// The looping frame animation of group 0, row 0 in Vesk.pkg: five growing rings.
std::vector<PkgEntryData> FrameAnimationEntries() {
    std::vector<PkgEntryData> entries;
    for (int i = 0; i < 5; ++i) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "00-01%02d.tga", i);
        entries.push_back(PkgEntryData{szName, BuildRleTga32(PaintEffectFrame(6, i, 5))});
    }
    return entries;
}

// Each item's picture on the ground, "DWP%03d.bmp" by its picture number: two frames
// side by side, the second lit up for the blink.
std::vector<PkgEntryData> GroundItemEntries(int nItems) {
    std::vector<PkgEntryData> entries;
    for (int i = 0; i < nItems; ++i) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "DWP%03d.bmp", i);
        const PictureRgba frame = PaintPanel(szName, 24, 24);
        PictureRgba pic(48, 24, Argb(255, 0, 0, 0));
        for (int y = 2; y < 22; ++y)
            for (int x = 2; x < 22; ++x) {
                const std::uint32_t c = frame.At(x, y) | 0xFF000000u;
                pic.At(x, y) = c;
                pic.At(24 + x, y) = c | 0xFF808080u;
            }
        entries.push_back(PkgEntryData{szName, BuildBmp(pic)});
    }
    return entries;
}

}  // namespace

bool WritePictureContent(const std::string& gameDir) {
    // One icon per item of the sample game's item table.
    GameModel model;
    AddItems(model);
    SamplePictureOptions options;
    options.nItemCount = int(model.items.size());
    // The heroine (sculpt 1) and the party members (2..5) stand, walk, run, fight and rest.
    options.heroSculpts = {1, 2, 3, 4, 5};
    // The title menu, boxes, talk bars and faces bring their own pictures.
    for (const char* pszPkg : {"menu.pkg", "Head.pkg"}) options.extraEntries[pszPkg] = MenuContentEntries(pszPkg);
    for (PkgEntryData& entry : ToolBarContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : GroundItemEntries(options.nItemCount))
        options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : LanStandInEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : MiniGameContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    // The heroes' and fighters' sculpts, and the shop keeper's.
    for (int s = 0; s < 10; ++s) options.sculpts.push_back(s);
    for (int s = 20; s < 32; ++s) options.sculpts.push_back(s);
    options.sculpts.push_back(89);
    options.extraEntries["Vesk.pkg"] = FrameAnimationEntries();
    std::string strError;
    if (!WriteSamplePictures(gameDir, options, &strError)) {
        std::fprintf(stderr, "mkgame: %s\n", strError.c_str());
        return false;
    }
    return true;
}
