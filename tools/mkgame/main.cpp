// mkgame DIR: writes the sample game folder.
#include "tools/gamekit/FolderArgument.h"
#include "tools/gamekit/GameDataWriters.h"
#include "tools/gamekit/SampleScenes.h"
#include "tools/mkgame/BattleContent.h"
#include "tools/mkgame/MkGame.h"
#include "tools/mkgame/SampleAudio.h"
#include "tools/mkgame/SamplePictures.h"
#include "tools/mkgame/SampleShell.h"

#include <cstdio>

namespace {

const char kUsage[] = "usage: mkgame DIR\n  writes the sample game folder into DIR (made when missing)\n";

}  // namespace

int main(int argc, char** argv) {
    if (const int nCode = CheckFolderArgument("mkgame", kUsage, argc, argv); nCode >= 0) return nCode;
    const char* pFolder = argv[1];

    GameModel model;
    AddOptions(model);
    AddScenes(model);
    AddItems(model);
    AddSkills(model);
    AddShops(model);
    AddLevels(model);
    AddTasks(model);
    AddRecipes(model);
    AddEnemies(model);
    AddCaptions(model);
    AddAreaPatterns(model);
    AddBattleSkills(model);
    AddBattleEnemies(model);
    AddGroveEnemies(model);
    AddBattleItems(model);

    std::string why;
    if (!WriteGameDataFiles(pFolder, model, &why)) {
        std::fprintf(stderr, "mkgame: %s\n", why.c_str());
        return 1;
    }
    if (!WriteScriptContent(pFolder) || !WriteShellContent(pFolder)) {
        std::fprintf(stderr, "mkgame: the script file or the save folder could not be written\n");
        return 1;
    }
    if (!WriteSampleAudio(pFolder)) {
        std::fprintf(stderr, "mkgame: the sample sounds, music and videos could not be written\n");
        return 1;
    }
    if (!WritePictureContent(pFolder)) {
        std::fprintf(stderr, "mkgame: the sample pictures could not be written\n");
        return 1;
    }
    if (!WriteSampleScenes(pFolder, &why)) {
        std::fprintf(stderr, "mkgame: %s\n", why.c_str());
        return 1;
    }
    std::printf("mkgame: wrote the sample game to %s\n", pFolder);
    return 0;
}
