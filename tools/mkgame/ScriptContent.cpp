#include <cstdio>
#include <filesystem>

#include "platform/Stream.h"
#include "tools/gamekit/SampleScenes.h"
#include "tools/gamekit/ScriptWriter.h"
#include "tools/mkgame/MkGame.h"

namespace {

// Each exit region of a sample scene starts event r + 1: one scene change (command 1)
// to the neighbouring scene with the hero at its arrival point. Event 0 runs nothing.
void AddExitEvents(const SampleScene& scene, ScriptSceneModel* pOut) {
    if (scene.exits.empty()) return;
    pOut->events.assign(scene.exits.size() + 1, OpenEventRecord());
    pOut->subEvents.push_back(SubEvent{0, 0, -1});
    for (size_t r = 0; r < scene.exits.size(); ++r) {
        const SampleScene::Exit& exit = scene.exits[r];
        pOut->subEvents.push_back(SubEvent{int(r) + 1, int(pOut->commands.size()), int(pOut->commands.size())});
        pOut->commands.push_back(ScriptCommand{1, exit.nTargetScene, exit.nHeroX, exit.nHeroY, -1, 0, 0, 0, 0});
    }
}

}  // namespace

// The sample game's event-script file: one script block per scene of the sample game,
// each with the lines its people say and the events of its exit regions.
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
    for (int n : SampleSceneNumbers()) AddExitEvents(BuildSampleScene(n), &scenes[size_t(n)]);
    std::filesystem::create_directories(std::filesystem::path(gameDir) / "data");
    const std::string strPath = gameDir + "/data/script.dat";
    std::string why;
    if (!WriteFileAtomic(strPath.c_str(), BuildScriptFile(scenes), &why)) {
        std::fprintf(stderr, "mkgame: %s\n", why.c_str());
        return false;
    }
    return true;
}
