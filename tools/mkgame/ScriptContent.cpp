#include <cstdio>
#include <filesystem>

#include "platform/Stream.h"
#include "tools/gamekit/ScriptWriter.h"
#include "tools/mkgame/MkGame.h"

// The sample game's event-script file: one script block per scene of the sample game,
// each with the lines its people say. Events and their commands come with the event
// scripts themselves.
bool WriteScriptContent(const std::string& gameDir) {
    GameModel model;
    AddScenes(model);
    int nLast = 0;
    for (size_t i = 0; i < model.scenes.size(); ++i)
        if (!model.scenes[i].strName.empty()) nLast = int(i);
    std::vector<ScriptSceneModel> scenes(size_t(nLast) + 1);
    for (size_t i = 0; i < scenes.size(); ++i) {
        if (model.scenes[i].strName.empty()) continue;
        scenes[i].bHasBlock = true;
        scenes[i].texts.push_back(Gbk("欢迎来到") + model.scenes[i].strName + Gbk("。"));
        scenes[i].texts.push_back(Gbk("路上小心，天黑前记得回来。"));
    }
    std::filesystem::create_directories(std::filesystem::path(gameDir) / "data");
    const std::string strPath = gameDir + "/data/script.dat";
    std::string why;
    if (!WriteFileAtomic(strPath.c_str(), BuildScriptFile(scenes), &why)) {
        std::fprintf(stderr, "mkgame: %s\n", why.c_str());
        return false;
    }
    return true;
}
