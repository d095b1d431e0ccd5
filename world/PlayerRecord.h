// The hero record of save games and party files: plain little-endian 32-bit words and
// raw bytes, no header, 3197 bytes plus 216 for every item held. Parsing checks and
// repairs the values and fills a HeroRecord without touching the game; applying the
// record to a hero (and to the level and bag tables it carries) is a separate step,
// so a loader can read every record of a file before it changes anything.
#pragma once
#include "world/Player.h"

#include <cstddef>
#include <cstdint>

constexpr int kHeroBagCells = 54;
constexpr std::size_t kHeroRecordFixedBytes = 2988;  // everything before the bag tables
constexpr std::size_t kHeroRecordTailBytes = 209;    // skill uses, saved word, mode byte, flags
constexpr std::size_t kHeroBagTableBytes = 4 * kHeroBagCells;
// The largest statistic (life, mana and stamina and their maxima, the level row's life
// and mana, attack, defence and the battle bonuses) a record may hold: sums of a few,
// doubled by a buff or multiplied by a level of 101, stay inside 32 bits.
constexpr std::int32_t kHeroStatLimit = std::int32_t(1) << 24;
// Offsets of the checked fields from the start of the record.
constexpr std::size_t kHeroLevelOffset = 8;
constexpr std::size_t kHeroItemCountOffset = 412;
constexpr std::size_t kHeroLifeOffset = 820;
constexpr std::size_t kHeroWalkStepOffset = 868;
constexpr std::size_t kHeroPositionOffset = 2904;
constexpr std::size_t kHeroMemberOffset = 2924;
constexpr std::size_t kHeroKindOffset = 2928;

// Bytes of a record holding nItemsHeld different items.
constexpr std::size_t HeroRecordSize(int nItemsHeld) {
    return kHeroRecordFixedBytes + kHeroBagTableBytes * std::size_t(nItemsHeld) + kHeroRecordTailBytes;
}

struct HeroRecord {
    std::int32_t nSculpt = -1;
    std::int32_t nSkillPoints = 0;
    std::int32_t nLevel = 0;
    std::int32_t nSkillKnown[kHeroSkillCount] = {};
    std::int32_t nSkillLevel[kHeroSkillCount] = {};
    std::int32_t nItemCount[kHeroItemCount] = {};
    std::int32_t nPartyMask = 0;
    std::int32_t nAge = 0;
    std::int32_t nLife = 0, nLifeMax = 0;
    std::int32_t nMoney = 0;
    std::int32_t nMana = 0, nManaMax = 0;
    std::int32_t nStamina = 0, nStaminaMax = 0;
    std::int32_t nLevelLife = 0, nLevelMana = 0;  // the member's level row at the level
    std::int32_t nExperience = 0;
    std::int32_t nEquip3 = -1, nEquip2 = -1;
    std::int32_t nWalkStep = 0;
    std::int32_t nTaskState[kHeroTaskCount] = {};
    InlayRecord inlay[kHeroItemCount];
    std::int32_t nDirection = 0;
    std::int32_t nEquip1 = -1, nEquip5 = -1, nEquipSixth = -1, nEquip0 = -1, nEquip4 = -1;
    std::int32_t nCounterA = 0, nCounterB = 0;
    POINT ptPos;
    std::int32_t nBattleBonus[3] = {};
    std::int32_t nMember = 0;
    std::int32_t nKind = kHeroKindMouse;
    std::int32_t nQuickSlot[kHeroQuickSlots] = {-1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t nThrownItem = -1;
    std::int32_t nThrownCount = 0;
    std::int32_t nAttack = 0, nDefence = 0;
    std::int32_t nSelectedSkill = -1;
    std::int32_t nStance = 1;
    // Bag-cell tables of the held items (count above 0), for the record's member.
    std::int32_t nBagCell[kHeroItemCount][kHeroBagCells];
    std::int32_t nSkillUses[kHeroSkillCount] = {};
    std::int32_t nSavedWord = 0;
    std::uint8_t bSavedFlag = 0;
    std::uint8_t bFlags[4] = {};

    HeroRecord();
};

// Writes the whole record, sculpt word first. A bag table follows for exactly the
// items whose count is above 0.
void WriteHeroRecord(const HeroRecord& record, CByteWriter& out);

// Reads the sculpt word: -1 or 0..299, anything else becomes -1.
bool ParseHeroSculpt(CByteReader& in, std::int32_t* pSculpt);
// Reads the rest of the record into *pRecord (its sculpt stays). Refuses, each with the
// field's offset in the file: a short record (nBytesAfter bytes must follow it: what the
// file holds after the record at the least, so that item counts without their bag
// tables are named), a level above 101, a member outside 0..3, a kind other than 14 or
// 15, a statistic outside -kHeroStatLimit..kHeroStatLimit, a life outside 0..its
// maximum, a walk step outside -1024..1024 (kMaxStepPixels, as for the characters of a
// setting file) and a position outside the largest map and its margin (IsMapPosition).
// Repairs:
// a negative level becomes 0, counts are held to 0..500, money to 0 and above, item,
// skill and bag-cell numbers out of range become -1, skill levels out of 0..7 become 0,
// the direction wraps into 0..7 and a stance other than 0 becomes 1.
bool ParseHeroRecordBody(CByteReader& in, HeroRecord* pRecord, std::size_t nBytesAfter = 0);
// The sculpt word and the body.
bool ParseHeroRecord(CByteReader& in, HeroRecord* pRecord, std::size_t nBytesAfter = 0);
