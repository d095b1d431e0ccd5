#include <cstdio>
#include <filesystem>

#include "tools/gamekit/SampleStory.h"
#include "tools/gamekit/ScriptCompiler.h"
#include "tools/mkgame/MkGame.h"

// The sample game's event-script file, compiled from the story's text form.
bool WriteScriptContent(const std::string& gameDir) {
    GameModel model;
    AddScenes(model);
    std::filesystem::create_directories(std::filesystem::path(gameDir) / "data");
    std::string why;
    if (!CompileScriptFile(SampleStoryText(model), gameDir + "/data/script.dat", &why)) {
        std::fprintf(stderr, "mkgame: the story: %s\n", why.c_str());
        return false;
    }
    return true;
}
