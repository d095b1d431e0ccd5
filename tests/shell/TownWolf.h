// The horned beast of the town's south-east for tests of a fight on the town's ground:
// the sample town keeps no fighter, so these tests put the beast back into their copy
// of the sample folder (its setting file rewritten with the beast among the villagers).
#pragma once
#include <string>

#include <gtest/gtest.h>

#include "tools/gamekit/MapWriters.h"
#include "tools/gamekit/SampleScenes.h"

// The wolf's id in the town (worldprobe --npc 4).
constexpr int kTownWolf = 4;

[[nodiscard]] inline ::testing::AssertionResult PutWolfInTown(const std::string& strGame) {
    SampleScene town = BuildSampleScene(0);
    AddScenePerson(town, SampleTownWolf());
    std::string why;
    if (!WriteSceneFiles(strGame, 0, town.map, town.setting, &why)) return ::testing::AssertionFailure() << why;
    return ::testing::AssertionSuccess();
}
