// The sample game's scenes: scene 0 (a town on the rectangular grid, larger than the
// screen), scene 1 (a bamboo grove on the diamond grid, version 0.1) and scene 100 (an
// inn, inside), with their pictures drawn by code and their exit regions. The models
// are what mkgame writes, so tests and tools can compare a written scene with them.
#pragma once
#include <string>
#include <vector>

#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/NpcRecordWriter.h"
#include "world/MapFile.h"

struct SampleScene {
    int nNumber = 0;
    MapFileData map;
    SettingFileData setting;
    // Each exit region's event: region r starts event r + 1, which changes to the scene
    // and hero point given here.
    struct Exit {
        int nTargetScene;
        int nHeroX, nHeroY;
    };
    std::vector<Exit> exits;
};

struct SamplePicture {
    std::string strFolder;  // "pic" or "pic-inside" (or "otherMenubmp")
    std::string strName;
    PictureRgba picture;
};

// Events of the sample story that regions start: the town's greeting, the villager
// who asks for water and the well; the grove's greeting.
constexpr int kTownGreetingEvent = 0;
constexpr int kTownVillagerEvent = 3;
constexpr int kTownWellEvent = 4;
// The chest in the south-east corner (cells 37..38 x 25..26).
constexpr int kTownChestEvent = 70;
constexpr int kGroveGreetingEvent = 0;
// The herbalist of the town and the companion of the grove start event 40; the grove's
// herb patch starts event 41.
constexpr int kHerbalistEvent = 40;
constexpr int kCompanionEvent = 40;
constexpr int kHerbPatchEvent = 41;
// The town's weather show: each weather in turn, one talk each.
constexpr int kTownWeatherEvent = 55;
// The town's signboard beside the game keeper: the picture show.
constexpr int kTownSignboardEvent = 90;
// The combining table below the craftsmen in the north-east gives ingredients.
constexpr int kTownTableEvent = 78;
// The town's well, a view target of the story.
constexpr int kTownWellX = 300;
constexpr int kTownWellY = 416;

// Scene numbers of the sample scenes.
const std::vector<int>& SampleSceneNumbers();
SampleScene BuildSampleScene(int nNumber);
// Puts a person on its cell of the scene, its hit box around the cell's centre.
void AddScenePerson(SampleScene& s, NpcRecordModel npc);
// Every picture the sample scenes draw, and the two cell-mark pictures.
std::vector<SamplePicture> SampleScenePictures();
// Writes the map, setting and picture files of every sample scene into the game folder.
bool WriteSampleScenes(const std::string& strGameDir, std::string* pError);
