#include "tools/mkgame/SamplePictures.h"

#include <cstdio>

#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/mkgame/MkGame.h"
#include "tools/mkgame/SampleMenus.h"

bool WritePictureContent(const std::string& gameDir) {
    // One icon per item of the sample game's item table.
    GameModel model;
    AddItems(model);
    SamplePictureOptions options;
    options.nItemCount = int(model.items.size());
    // The title menu, boxes, talk bars and faces bring their own pictures.
    for (const char* pszPkg : {"menu.pkg", "Head.pkg"}) options.extraEntries[pszPkg] = MenuContentEntries(pszPkg);
    std::string strError;
    if (!WriteSamplePictures(gameDir, options, &strError)) {
        std::fprintf(stderr, "mkgame: %s\n", strError.c_str());
        return false;
    }
    return true;
}
