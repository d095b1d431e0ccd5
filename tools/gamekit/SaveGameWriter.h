// Writer of a saved game ("save\save%03d.sav") built straight from the file's layout:
// the header, the scene state tables as a fresh game holds them, the toolbar block, the
// hero records, the companion word, the flag tables and the scene's ground items, with
// the bank trailer only when asked. It shares no code with the game's own writer, so a
// file it writes checks the game's reader the way a file from another writer would.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/gamekit/HeroRecordWriter.h"

struct SaveGameModel {
    std::string strDate = " 2000-1-1";  // GBK, at most 15 bytes
    std::string strClock = "Time:12:00:00";
    std::int32_t nPartyCount = 1;
    std::array<std::int32_t, 4> partyIds{0, -1, -1, -1};
    std::uint16_t nThumbPixel = 0;  // every thumbnail pixel, in the screen's 16-bit format
    std::int32_t nScene = 0;
    std::uint8_t bStoryFlag = 0;
    std::int32_t nHeroNumber = 1;  // the toolbar's: party slot + 1 of the controlled hero
    std::array<std::int32_t, 8> quickSlots{-1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t nWeather = -1;
    HeroRecordModel hero;                       // the controlled hero
    std::map<int, HeroRecordModel> members;     // the other members by party slot
    std::int32_t nCompanion = -1;               // -1 until someone joins
    std::map<int, std::int32_t> flagsA, flagsB;  // scene * 100 + index -> value
    bool bBank = false;
    std::int32_t nBankMoney = 0;
};

std::vector<std::uint8_t> BuildSaveGame(const SaveGameModel& model);
// Writes the file (folders created); false with a message on failure.
bool WriteSaveGameFile(const std::string& path, const SaveGameModel& model, std::string* pError);
