// Writer of the event-script file "data\script.dat".
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "gamedata/ScriptData.h"

struct ScriptSceneModel {
    std::vector<EventRecord> events;  // the scene's start records (none: offset 0)
    bool bHasBlock = false;           // false: the scene has no script block (offset 0)
    std::vector<SubEvent> subEvents;
    std::vector<ScriptCommand> commands;  // a7 and a8 are not stored
    std::vector<std::string> texts;       // GBK bytes
};

// An event record that any rule lets start: no preconditions, items or run limit.
EventRecord OpenEventRecord();
// The file bytes for one event table and one script block per scene.
std::vector<std::uint8_t> BuildScriptFile(const std::vector<ScriptSceneModel>& scenes);
