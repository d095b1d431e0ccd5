// Writer of the hero record that save games and party files hold ("InitPlayer1.sav"
// is one record), built straight from the record's byte table: every field at its
// fixed offset, then the bag tables of the held items, then the tail. It shares no
// code with the game's own writer, so each can check the other.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct HeroRecordModel {
    std::int32_t nSculpt = 1, nSkillPoints = 0, nLevel = 0;
    std::array<std::int32_t, 50> skillKnown{}, skillLevel{};
    std::array<std::int32_t, 100> itemCount{};
    std::int32_t nPartyMask = 1, nAge = 0;
    std::int32_t nLife = 50, nLifeMax = 50, nMoney = 0, nMana = 50, nManaMax = 50;
    std::int32_t nStamina = 100, nStaminaMax = 100;
    std::int32_t nLevelLife = 0, nLevelMana = 0;  // the member's level row at the level
    std::int32_t nExperience = 0;
    std::array<std::int32_t, 6> equip{-1, -1, -1, -1, -1, -1};  // by slot number 0..5
    std::int32_t nEquipSixth = -1, nWalkStep = 10;
    std::array<std::int32_t, 100> taskState;
    std::array<std::array<std::int32_t, 4>, 100> inlay{};  // attack, defence, stamina max, link
    std::int32_t nDirection = 0, nCounterA = 50, nCounterB = 50, nX = 100, nY = 100;
    std::array<std::int32_t, 3> battleBonus{};
    std::int32_t nMember = 0, nKind = 14;
    std::array<std::int32_t, 8> quickSlot{-1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t nThrownItem = -1, nThrownCount = 0, nAttack = 0, nDefence = 0, nSelectedSkill = -1, nStance = 1;
    // Bag-cell tables (54 cells) of held items; a held item without an entry stores -1s.
    std::map<int, std::array<std::int32_t, 54>> bagCells;
    std::array<std::int32_t, 50> skillUses{};
    std::int32_t nSavedWord = 0;
    std::uint8_t bSavedFlag = 0;
    std::array<std::uint8_t, 4> flags{};

    HeroRecordModel() { taskState.fill(-1); }
};

// The record's bytes: 3197 plus 216 for each item whose count is above 0.
std::vector<std::uint8_t> BuildHeroRecord(const HeroRecordModel& model);
// Writes one record as a party file (folders created); false with a message on failure.
bool WriteHeroRecordFile(const std::string& path, const HeroRecordModel& model, std::string* pError);
// Writes the bytes as a file of the save folder (folders created, the file replaced only
// when written whole); false with a message on failure.
bool WriteSaveFolderFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* pError);
