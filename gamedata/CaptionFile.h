// The caption table "data\vesk.dat" (text lines stored with every byte shifted by
// 10) and the skill area patterns "data\Vesk.Ayl". Both readers check every count
// and length against the bytes the file holds.
#pragma once
#include "gamedata/Tables.h"

#include <cstdint>
#include <string>

// Largest caption or pattern file the readers accept.
constexpr size_t kCaptionFileLimit = size_t(64) << 20;

// Reads the caption lines. Each line consumes its stored length and ends at its
// first zero byte. On failure pTable is left empty and pError says why.
bool ReadCaptions(const std::uint8_t* pData, size_t nSize, CCaptionTable* pTable, std::string* pError);
// Reads the area patterns. On failure pSet is left empty and pError says why.
bool ReadAreaPatterns(const std::uint8_t* pData, size_t nSize, CAreaPatternSet* pSet, std::string* pError);
