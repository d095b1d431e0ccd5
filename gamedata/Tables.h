// Row types of the static game tables and the set of tables the game data owns.
// A row's index in its table is the number the game uses for it (item number,
// skill number, ...). Integers are signed 32-bit; text fields point to GBK
// zero-terminated strings owned by the table set and are never null (an absent
// text is the empty string).
#pragma once
#include "platform/Base.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

constexpr int kMemberCount = 4;     // party members 0..3 with their own bag and level tables
constexpr int kBagCellCount = 54;   // bag cells per member
constexpr int kFitCount = 6;        // characters 0..5 that an item may fit
constexpr int kSceneCount = 200;    // scene numbers 0..199
constexpr int kShopCount = 16;      // shops 0..15
constexpr int kShopWords = 401;     // words of one shop block
constexpr int kShopItems = 100;     // items 1..100 that one shop lists
constexpr int kLevelRows = 102;     // level rows 0..101 per member

struct ItemRow {
    std::int32_t nType = 0;          // [0] item kind (99: task item)
    std::int32_t nTypeOnGround = 0;  // [1] kind value of the item lying on the map
    std::int32_t nSkillNum = 0;      // [2]
    std::int32_t nAttack = 0;        // [3]
    std::int32_t nDefence = 0;       // [4]
    std::int32_t nLife = 0;          // [5]
    std::int32_t nMana = 0;          // [6]
    std::int32_t nLevel = 0;         // [7]
    std::int32_t nSkill = 0;         // [8]
    std::int32_t nCelerity = 0;      // [9]
    std::int32_t nGirdNum = 0;       // [10] bag shape 0..3
    std::int32_t nBagCell[kMemberCount][kBagCellCount];  // anchor cell per bag cell, -1 empty
    std::int32_t nBagMark[kMemberCount][kBagCellCount];  // second per-member table, 0 at load
    std::uint8_t bFit[kFitCount] = {};                   // 1 when character n may use the item
    const char* pName = "";
    const char* pDescription = "";
    const char* pDescription1 = "";
    const char* pDescription2 = "";
    const char* pDescription3 = "";
    const char* pDescription4 = "";

    ItemRow();
    // Sets every bag-cell entry to -1 and every mark to 0, as each load does.
    void ClearBagTables();
};
// The numeric part keeps the layout other code indexes by word (11 words, two
// 4 x 54 tables, six fit bytes, padded to 1780 bytes); the six text pointers follow.
static_assert(offsetof(ItemRow, nBagCell) == 44 && offsetof(ItemRow, nBagMark) == 44 + 864 &&
              offsetof(ItemRow, bFit) == 44 + 2 * 864 && offsetof(ItemRow, pName) >= 1780);

struct SkillRow {
    std::int32_t nAttack = 0;       // [0]
    std::int32_t nDefance = 0;      // [1]
    std::int32_t nCelerity = 0;     // [2]
    std::int32_t nMana = 0;         // [3] mana cost
    std::int32_t nDirection = 0;    // [4]
    std::int32_t nNpcType = 0;      // [5]
    std::int32_t nEffectSound = 0;  // [6]
    std::int32_t nPicNo = 0;        // [7] effect number
    std::int32_t nSkillNo = 0;      // [8]
    std::int32_t nType = 0;         // [9]
    std::int32_t nNo = 0;           // [10]
    std::int32_t nNeedTime = 0;     // [11]
    std::int32_t nAttackType = 0;   // [12]
    const char* pDescription = "";  // [13]
    const char* pName = "";         // [14]
};
static_assert(offsetof(SkillRow, pDescription) >= 52);

struct SkillLevelRow {
    std::int32_t nNo = 0;  // [0] row number
    std::int32_t nAddAttackOne = 0;
    std::int32_t nAddAttackTwo = 0;
    std::int32_t nAddAttackThree = 0;
    std::int32_t nAddTimeOne = 0;
    std::int32_t nAddTimeTwo = 0;
    std::int32_t nAddTimeThree = 0;
    std::int32_t nNeedNumFirst = 0;
    std::int32_t nNeedNumSecond = 0;
    std::int32_t nNeedNumThird = 0;
};
static_assert(sizeof(SkillLevelRow) == 40);

// One shop: words [100 + k] stock, [200 + k] price paid to the player, [300 + k]
// price asked of the player, for items k = 1..100; words 0..100 unused.
struct ShopTable {
    std::int32_t nWord[kShopWords] = {};

    std::int32_t& Quantity(int k) { return nWord[100 + k]; }
    std::int32_t& PriceIn(int k) { return nWord[200 + k]; }
    std::int32_t& PriceOut(int k) { return nWord[300 + k]; }
};
static_assert(sizeof(ShopTable) == 1604);

struct LevelRow {
    std::int32_t nLevel = 0;
    std::int32_t nAttack = 0;
    std::int32_t nDefence = 0;
    std::int32_t nLife = 0;
    std::int32_t nMana = 0;
    std::int32_t nExperience = 0;
    std::int32_t nCelerity = 0;
    std::int32_t nSkillNum = 0;
    std::int32_t nAge = 0;
};
static_assert(sizeof(LevelRow) == 36);

struct TaskRow {
    std::int32_t nNo = 0;           // [0] row number (set by the database import only)
    const char* pDescription = "";  // [1]
    const char* pTaskName = "";     // [2]
};

struct PeiFangRow {
    std::int32_t nId = 0;                 // [0]
    std::int32_t nPeiFangNo = 0;          // [1]
    std::int32_t nItemNum[12] = {};       // [2]..[13] counts of ingredient kinds 1..12
    std::int32_t nItem13Num = 0;          // [14] count of ingredient kind 13
    std::int32_t nNewItemNo = 0;          // [15] item produced
    std::int32_t nNewItemNum = 0;         // [16] how many are produced
};
static_assert(sizeof(PeiFangRow) == 68);

struct PeiFangItemRow {
    std::int32_t nId = 0;
    std::int32_t nItemNo = 0;
};
static_assert(sizeof(PeiFangItemRow) == 8);

struct EnemyNpcRow {
    std::int32_t nEnableKilled = 0;            // [0]
    const char* pDescription = "";             // [1]
    std::int32_t nLevel = 0;                   // [2]
    const char* pName = "";                    // [3]
    std::int32_t nNo = 0;                      // [4]
    std::int32_t nSkill1 = 0;                  // [5] 0: none
    std::int32_t nSkill2 = 0;                  // [6] 0: none
    std::int32_t nLife = 0;                    // [7]
    std::int32_t nMana = 0;                    // [8]
    std::int32_t nAttack = 0;                  // [9]
    std::int32_t nDefance = 0;                 // [10]
    std::int32_t nSkillAttackProbability = 0;  // [11]
    std::int32_t nRunAway = 0;                 // [12]
    std::int32_t nId = 0;                      // [13]
    std::int32_t nSculpt = 0;                  // [14]
    std::int32_t nNpcType = 0;                 // [15]
    std::int32_t nChangSceneResume = 0;        // [16]
    std::int32_t nSoundNo = -1;                // [17] -1: none
    std::int32_t nSoundTime = 0;               // [18] in units of 500 ms
};

// Values of one enemy fighter of the battle screen; the game data's table of these
// is not loaded at start-up and stays empty.
struct FightNpcRow {
    std::int32_t nRunAway = 0;
    std::int32_t nAttack = 0;
    std::int32_t nAttackRange = 0;
    std::int32_t nDefence = 0;
    const char* pDescription = "";
    std::int32_t nExperience = 0;
    std::int32_t nId = 0;
    std::int32_t nInitiactive = 0;
    std::int32_t nItem = 0;
    std::int32_t nLevel = 0;
    std::int32_t nLife = 0;
    std::int32_t nMoney = 0;
    const char* pName = "";
    std::int32_t nNo = 0;
    std::int32_t nPatrol = 0;
    std::int32_t nProbability = 0;
    std::int32_t nRecover = 0;
    std::int32_t nRelive = 0;
    std::int32_t nSkill = 0;
    std::int32_t nSculpt = 0;
    std::int32_t nNormalAttack = 0;
    std::int32_t nRecoverSkill = 0;
    std::int32_t nPoison = 0;
    std::int32_t nTall = 0;
    std::int32_t nDelTall = 0;
    std::int32_t nExtra = 0;
};

// One step record of an area pattern cell: word 0 is the cell's mark value offset;
// word 1 of a pattern's first record is the step count of the all-at-once mode.
struct AreaStep {
    std::int32_t n[5];
};

// The tail record of an area pattern: [7] effect kind laid on every cell in the
// all-at-once mode (-1 none), [8] the pattern's mode.
struct AreaPatternTail {
    std::int32_t n[9];
};

struct AreaPatternRow {
    std::int32_t nCellCount = 0;
    POINT ptOrigin;
    const POINT* pCells = nullptr;      // nCellCount cell offsets
    const AreaStep* pSteps = nullptr;   // nCellCount step records
};

// Owner of the byte strings the rows point to. Pointers stay valid while the store
// lives, also when the store is moved.
class CTextStore {
public:
    // Keeps a copy of the text (cut at its first zero byte) and returns it.
    const char* Add(std::string_view text);

private:
    std::deque<std::string> m_texts;
};

// Every static table of the game: what "data\Base.dat" holds.
struct CTableSet {
    std::vector<EnemyNpcRow> enemies;
    std::array<const char*, kSceneCount> sceneNames;    // "" where no scene is named
    std::array<std::int32_t, kSceneCount> sceneMusic{};  // 0 where no scene is named
    std::vector<SkillRow> skills;
    std::vector<SkillLevelRow> skillLevels;  // always as many rows as skills
    std::array<ShopTable, kShopCount> shops{};
    std::array<std::array<LevelRow, kLevelRows>, kMemberCount> levels{};  // only row 0 carries data
    std::vector<ItemRow> items;
    std::vector<TaskRow> tasks;
    std::vector<PeiFangRow> peiFang;
    std::vector<PeiFangItemRow> peiFangItems;
    CTextStore texts;

    CTableSet() { sceneNames.fill(""); }
    CTableSet(CTableSet&&) = default;
    CTableSet& operator=(CTableSet&&) = default;
    CTableSet(const CTableSet&) = delete;
    CTableSet& operator=(const CTableSet&) = delete;
};

// Caption lines of "data\vesk.dat" (GBK, shown by event scripts).
struct CCaptionTable {
    std::vector<std::string> lines;
};

// Skill area patterns of "data\Vesk.Ayl". The rows point into cells and steps.
struct CAreaPatternSet {
    std::vector<AreaPatternRow> rows;
    std::vector<AreaPatternTail> tails;
    std::vector<POINT> cells;
    std::vector<AreaStep> steps;
};
