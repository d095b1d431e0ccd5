#include "tools/mkgame/SamplePictures.h"

#include <cstdio>

#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/TgaWriters.h"
#include "tools/mkgame/MkGame.h"
#include "tools/mkgame/SampleMenus.h"
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

}  // namespace

bool WritePictureContent(const std::string& gameDir) {
    // One icon per item of the sample game's item table.
    GameModel model;
    AddItems(model);
    SamplePictureOptions options;
    options.nItemCount = int(model.items.size());
    // The title menu, boxes, talk bars and faces bring their own pictures.
    for (const char* pszPkg : {"menu.pkg", "Head.pkg"}) options.extraEntries[pszPkg] = MenuContentEntries(pszPkg);
    for (PkgEntryData& entry : ToolBarContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    options.extraEntries["Vesk.pkg"] = FrameAnimationEntries();
    std::string strError;
    if (!WriteSamplePictures(gameDir, options, &strError)) {
        std::fprintf(stderr, "mkgame: %s\n", strError.c_str());
        return false;
    }
    return true;
}
