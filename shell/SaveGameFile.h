// The saved-game file "save\save%03d.sav": a header (date, clock, party, thumbnail,
// scene, story flag) and the blocks of every owner of game state in a fixed order,
// then a bank trailer. The parser reads and checks a whole file into a SaveGameFile
// without touching the game, so a load can refuse a damaged file before it changes
// anything; the saving and the applying live in the main window (SaveGame.cpp).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolbar/ToolBarSave.h"
#include "world/PlayerRecord.h"

class CByteReader;

constexpr int kSaveSlotCount = 20;
constexpr int kSaveThumbWidth = 120;
constexpr int kSaveThumbHeight = 90;
constexpr std::size_t kSaveThumbBytes = std::size_t(kSaveThumbWidth) * kSaveThumbHeight * 2;
constexpr std::size_t kSaveTextBytes = 16;
// Header offsets.
constexpr std::size_t kSaveDateOffset = 0;
constexpr std::size_t kSaveClockOffset = 16;
constexpr std::size_t kSaveCountOffset = 32;
constexpr std::size_t kSaveIdsOffset = 36;
constexpr std::size_t kSaveSculptOffset = 52;
constexpr std::size_t kSaveThumbOffset = 56;
constexpr std::size_t kSaveSceneOffset = kSaveThumbOffset + kSaveThumbBytes;  // 21656
constexpr std::size_t kSaveStoryOffset = kSaveSceneOffset + 4;
constexpr std::size_t kSaveHeaderBytes = kSaveStoryOffset + 1;  // 21661
constexpr std::size_t kSaveFlagBytes = std::size_t(200) * 2 * 100 * 4;
constexpr std::size_t kSaveGroundRecordBytes = 20;
// The bank trailer: the tag and the balance.
constexpr char kSaveBankTag[4] = {'B', 'A', 'N', 'K'};
constexpr std::size_t kSaveBankBytes = 8;

// One ground item as the scene block holds it: item (-1 an empty slot), count, slot,
// map position.
struct SaveGroundRecord {
    std::int32_t nItem = -1, nCount = 0, nSlot = 0, x = 0, y = 0;
};

// Where a block lies in the file, for the dump tool and the tests.
struct SaveBlockSpan {
    std::string strName;
    std::size_t nOffset = 0, nSize = 0;
};

struct SaveGameFile {
    char szDate[kSaveTextBytes] = {};
    char szClock[kSaveTextBytes] = {};
    std::int32_t nPartyCount = 1;
    std::int32_t nPartyIds[4] = {-1, -1, -1, -1};
    std::int32_t nSculpt = 0;
    std::vector<std::uint8_t> thumbnail;  // kSaveThumbBytes
    std::int32_t nScene = 0;
    std::uint8_t bStoryFlag = 0;
    std::vector<std::uint8_t> effectBlock;  // the scene state tables, raw
    ToolBarSaveState toolBar;
    std::unique_ptr<HeroRecord> pHero;        // the controlled hero
    std::unique_ptr<HeroRecord> pMembers[4];  // the other members by party slot
    std::int32_t nCompanion = 0;              // as stored: party slot + 1; 0 or -1 none
    std::vector<std::int32_t> flagsB, flagsA;  // 200 x 100 each, scene after scene
    std::vector<SaveGroundRecord> ground;
    bool bHasBank = false;
    std::int32_t nBankMoney = 0;
    std::vector<SaveBlockSpan> blocks;

    // The party slot of the controlled hero (toolbar hero number - 1).
    int ActiveSlot() const { return toolBar.nHero - 1; }
    // The party slot of the companion: the slot the companion word names when a member
    // stands there, else -1 (none).
    int CompanionSlot() const;
};

// Reads and checks a whole save file. Refuses (with the file, the field and the offset
// in *pError): a short file; a party count outside 1..4; a party id other than -1 or
// its slot number; no member in the controlled hero's slot; a scene outside 0..199; a
// character of the scene tables placed outside the map; a bad toolbar block or hero
// record; a record whose member is not its slot; a companion word outside -1..4; a
// ground-item count that does not fit the bytes left; a negative bank balance; bytes
// after the end.
bool ParseSaveFile(const std::uint8_t* pData, std::size_t nSize, const std::string& strName, SaveGameFile* pFile,
                   std::string* pError);
inline bool ParseSaveFile(const std::vector<std::uint8_t>& bytes, const std::string& strName, SaveGameFile* pFile,
                          std::string* pError) {
    return ParseSaveFile(bytes.data(), bytes.size(), strName, pFile, pError);
}

// The party checks every reader of a party file makes (saved games and the party files
// of the event scripts). A party id is -1 (no member) or its slot's number, since a
// member always stands in the slot of its own number; a record read for a slot belongs
// to that slot's member. Both fail through the reader, with the value they refused.
// CheckPartyId runs right after the id was read (its offset is the reader's last word);
// nBytesAfter is what the file holds after the record at the least.
bool CheckPartyId(CByteReader& in, int nSlot, std::int32_t nId);
bool ReadSlotRecord(CByteReader& in, int nSlot, HeroRecord* pRecord, std::size_t nBytesAfter = 0);

// "save\save007.sav" for slot 7.
std::string SaveFileName(int nSlot);
// The bytes of a date or clock field as a C string (stops at the zero or the end).
std::string SaveText(const char (&text)[kSaveTextBytes]);
