// The sample game's story in the event scripts' text form (tools/gamekit/ScriptCompiler.h).
#pragma once
#include <string>

#include "tools/gamekit/GameModel.h"

// The story of the sample scenes, and the welcome lines of every other named scene of
// the model (UTF-8 text form).
std::string SampleStoryText(const GameModel& model);
