#include <cstdio>
#include <filesystem>

#include "tools/gamekit/HeroRecordWriter.h"
#include "tools/gamekit/SampleLooks.h"
#include "tools/gamekit/SampleStory.h"
#include "tools/gamekit/ScriptCompiler.h"
#include "tools/mkgame/MkGame.h"

namespace {

// The initial records of the four party members ("save\InitPlayer1..4.sav"), steered by
// the computer when they join. Each wears on the map the sculpt the battle draws it with,
// so the companion who joins in the grove (member 2, "JoinParty 3") looks the same in both.
bool WriteInitialMembers(const std::string& gameDir) {
    for (int n = 1; n <= 4; ++n) {
        HeroRecordModel model;
        model.nSculpt = kMemberSculpt[n - 1];
        model.nMember = n - 1;
        model.nKind = 15;
        model.nLevel = 1;
        model.nLife = model.nLifeMax = 60 + 10 * n;
        model.nMana = model.nManaMax = 40 + 5 * n;
        model.nAttack = 8 + 2 * n;
        model.nDefence = 4 + n;
        model.nMoney = 0;
        model.nX = 100;
        model.nY = 100;
        std::string why;
        const std::string path = gameDir + "/save/InitPlayer" + std::to_string(n) + ".sav";
        if (!WriteHeroRecordFile(path, model, &why)) {
            std::fprintf(stderr, "mkgame: %s\n", why.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

// The sample game's event-script file, compiled from the story's text form, and the
// party members' initial records.
bool WriteScriptContent(const std::string& gameDir) {
    GameModel model;
    AddScenes(model);
    std::filesystem::create_directories(std::filesystem::path(gameDir) / "data");
    std::string why;
    if (!CompileScriptFile(SampleStoryText(model), gameDir + "/data/script.dat", &why)) {
        std::fprintf(stderr, "mkgame: the story: %s\n", why.c_str());
        return false;
    }
    return WriteInitialMembers(gameDir);
}
