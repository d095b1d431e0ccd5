// The sample game's content, one function per content area. Each area fills its
// part of the model or writes its own files into the game folder; main runs them
// in order.
#pragma once
#include "tools/gamekit/GameModel.h"

#include <string>
#include <string_view>

// GBK text from UTF-8 source text.
std::string Gbk(std::string_view utf8);

// Options, scenes, items, skills, shops, levels, tasks, recipes and enemies.
void AddOptions(GameModel& model);
void AddScenes(GameModel& model);
void AddItems(GameModel& model);
void AddSkills(GameModel& model);
void AddShops(GameModel& model);
void AddLevels(GameModel& model);
void AddTasks(GameModel& model);
void AddRecipes(GameModel& model);
void AddEnemies(GameModel& model);
void AddCaptions(GameModel& model);
void AddAreaPatterns(GameModel& model);

// Files written by other content areas.
bool WriteScriptContent(const std::string& gameDir);
