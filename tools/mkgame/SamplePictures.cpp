#include "tools/mkgame/SamplePictures.h"

#include <algorithm>
#include <cstdio>

#include "tools/gamekit/FlyingSprites.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/TgaWriters.h"
#include "tools/mkgame/BattleContent.h"
#include "tools/mkgame/BattlePictures.h"
#include "tools/mkgame/LanStandIns.h"
#include "tools/mkgame/MkGame.h"
#include "tools/mkgame/SampleMenus.h"
#include "tools/mkgame/SampleMiniGames.h"
#include "tools/mkgame/SampleToolBar.h"
#include "tools/mkgame/SamplePanels.h"
#include "tools/mkgame/SampleBoards.h"
#include "tools/mkgame/SampleGoods.h"
#include "tools/mkgame/SampleHeroine.h"
#include "tools/mkgame/SampleSkillIcons.h"
#include "tools/mkgame/SampleSaveLoad.h"

bool WritePictureContent(const std::string& gameDir) {
    // Every item of the sample game's item table drawn as what it is; no stand-ins.
    GameModel model;
    AddItems(model);
    AddBattleItems(model);
    SamplePictureOptions options;
    options.nItemCount = 0;
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
    for (PkgEntryData& entry : GoodsPictureEntries(model)) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    // The skills' icons, learned and not, and the hot-key marks.
    GameModel skills;
    AddSkills(skills);
    AddBattleSkills(skills);
    for (PkgEntryData& entry : SkillIconEntries(skills)) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    for (PkgEntryData& entry : MiniGameContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(entry));
    // The heroes', villagers' and fighters' sculpts, and the shop keeper's; every
    // villager's face comes with the menu content, so no stand-in faces are drawn.
    options.nFaceCount = 0;
    for (int s = 0; s < 20; ++s) options.sculpts.push_back(s);
    // The villagers beyond the party's sculpts never fight: no hurt or falling frames.
    for (int s = 6; s < 20; ++s) options.plainSculpts.push_back(s);
    options.plainSculpts.push_back(89);
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
