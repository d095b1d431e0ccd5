// Writers of the game-data files from a GameModel: the options file, the table
// cache "data\Base.dat", the caption table "data\vesk.dat" and the area patterns
// "data\Vesk.Ayl".
#pragma once
#include "tools/gamekit/GameModel.h"

#include <cstdint>
#include <string>
#include <vector>

// Text of the options file "fenwik.ini" with all 19 keys.
std::string BuildOptionsFile(const OptionsModel& options);
// Bytes of "data\Base.dat".
std::vector<std::uint8_t> BuildBaseDat(const GameModel& model);
// Bytes of "data\vesk.dat": each caption's bytes stored plus 10.
std::vector<std::uint8_t> BuildCaptionFile(const std::vector<std::string>& captions);
// Bytes of "data\Vesk.Ayl".
std::vector<std::uint8_t> BuildAreaPatternFile(const std::vector<AreaPatternModel>& patterns);

// Writes fenwik.ini, data\Base.dat, data\vesk.dat and data\Vesk.Ayl into a game
// folder (created when missing). False with a message naming the file on failure.
bool WriteGameDataFiles(const char* pFolder, const GameModel& model, std::string* pError);
