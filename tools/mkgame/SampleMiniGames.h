// Pictures of the mini-games (catch, knock, gamble, picture show), each at the size the
// game cuts it, each picture (and each tile of a sheet) in a colour of its own with its
// number drawn on it, so screenshots show which one is up.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/gamekit/PkgWriters.h"

// The menu.pkg entries of the mini-games.
std::vector<PkgEntryData> MiniGameContentEntries();
// The body colour (0xRRGGBB) of a mini-game picture, or of tile n of "Item1.bmp",
// "KnockLitte.bmp" and "szhc.bmp"; 0 for a name that is not one of them.
std::uint32_t MiniGameBody(const std::string& strName, int nTile = 0);
// The colour of the upper (rows 0..9) and lower (rows 10..19) band of "TimeBar.bmp".
constexpr std::uint32_t kTimeBarUpper = 0x30D040;
constexpr std::uint32_t kTimeBarLower = 0xE0A020;
