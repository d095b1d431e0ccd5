// The table cache file "data\Base.dat": the ten table sections back to back, with
// no header. Reading checks every count and length against what the file holds.
#pragma once
#include "gamedata/Tables.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Largest cache file the reader accepts.
constexpr size_t kBaseDataLimit = size_t(256) << 20;

// Reads the ten sections into pTables (replacing what it held). On failure pTables
// is left empty and pError names the file, the section and what was wrong. log, when
// given, receives each progress line ("Read Skill Data...") before its sections and
// "OK" right after them.
// Values the game computes with are checked against what it can hold: a value outside
// its field's range is put into it (clamped, or a bag shape 0), and pProblems, when
// given, receives one line per field so refused: "Base.dat: enemy 0: level 2147483647
// at offset 120 is outside 0..10000; 10000 is used", and how many more records it
// was refused in.
bool ReadBaseData(const std::uint8_t* pData, size_t nSize, CTableSet* pTables, std::string* pError,
                  const std::function<void(const char*)>& log = {}, std::vector<std::string>* pProblems = nullptr);
// The same progress lines for tables that were written rather than read.
void LogBaseDataSections(const std::function<void(const char*)>& log);
// The bytes of the cache file for the tables.
std::vector<std::uint8_t> WriteBaseData(const CTableSet& tables);
