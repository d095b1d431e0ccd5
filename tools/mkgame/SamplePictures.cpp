#include "tools/mkgame/SamplePictures.h"

#include <algorithm>
#include <cstdio>

#include "tools/gamekit/FlyingSprites.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/TgaWriters.h"
#include "tools/mkgame/BattleContent.h"
#include "tools/mkgame/LanStandIns.h"
#include "tools/mkgame/MkGame.h"
#include "tools/mkgame/SampleMenus.h"
#include "tools/mkgame/SampleMiniGames.h"
#include "tools/mkgame/SampleToolBar.h"
#include "tools/mkgame/SamplePanels.h"
#include "tools/mkgame/SampleBoards.h"
#include "tools/mkgame/SampleHeroine.h"
#include "tools/mkgame/SampleSaveLoad.h"

namespace {

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
    // The heroine (sculpt 1) and the party members (2..5) stand, walk, run, fight and
    // rest, and cast skills with the one-shot actions 10..12.
    options.heroSculpts = {1, 2, 3, 4, 5};
    options.nHeroActions = 13;
    // The heroine has a figure of her own.
    options.pfnPaintCharacter = &PaintSampleCharacter;
    // The title menu, boxes, talk bars and faces bring their own pictures.
    for (const char* pszPkg : {"menu.pkg", "Head.pkg"}) options.extraEntries[pszPkg] = MenuContentEntries(pszPkg);
    for (PkgEntryData& entry : ToolBarContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : PanelContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : BoardContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : SaveLoadContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : GroundItemEntries(options.nItemCount))
        options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : MiniGameContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    // The heroes', villagers' and fighters' sculpts, and the shop keeper's.
    for (int s = 0; s < 20; ++s) options.sculpts.push_back(s);
    for (int s = 20; s < 32; ++s) options.sculpts.push_back(s);
    options.sculpts.push_back(89);
    // The flying effects' bolts: group 0 for the characters' shots; the others are the
    // pictures of the flying and spreading skills the heroine learns (11, 17, 23, 29 and
    // 15 draw pictures 3, 1, 7, 5 and 7).
    for (int nGroup : {0, 1, 3, 5, 7})
        for (PkgEntryData& entry : FlyingSpriteEntries(nGroup, 3)) options.extraEntries["Vesk.pkg"].push_back(std::move(entry));
    // The battle screen's pictures, the raise pictures and the fighters' battle actions.
    for (PkgEntryData& entry : BattleMenuEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : BattleRaiseEntries()) options.extraEntries["Vesk.pkg"].push_back(std::move(entry));
    options.extraNpc = BattleSpriteActions();
    // The library panels' stand-ins come last and never replace a picture the game's own
    // panels already bring under the same name.
    for (PkgEntryData& entry : LanStandInEntries()) {
        std::vector<PkgEntryData>& menu = options.extraEntries["menu.pkg"];
        const bool bTaken = std::any_of(menu.begin(), menu.end(), [&](const PkgEntryData& e) { return e.strName == entry.strName; });
        if (!bTaken) menu.push_back(std::move(entry));
    }
    std::string strError;
    if (!WriteSamplePictures(gameDir, options, &strError)) {
        std::fprintf(stderr, "mkgame: %s\n", strError.c_str());
        return false;
    }
    return true;
}
