// In-memory model of a game's data files (options, static tables, captions and
// area patterns), from which the gamekit writers produce the files the game reads.
// Text fields hold GBK bytes, as the game stores them.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct OptionsModel {
    int nTerrain = 0;
    int nFullScreen = 1;
    int nScreenWidth = 640;
    int nScreenHeight = 480;
    int nScreenBPP = 16;
    int nScreenMode = 1;
    int nCanScroll = 0;
    int nDataFrom = 1;
    int nPlayLeader = 1;
    int nShowEventPoint = 0;
    int nMusic = 1;
    int nCopy = 0;
    int nScenepkg = 0;
    int nScene = 0;
    int nPlayerX = 500;
    int nPlayerY = 270;
    int nPlayerSpeed = 10;
    int nPlayerCloth = 1;
    int nPlayerRunSpeed = 10;
};

struct EnemyModel {
    std::string strName;
    std::string strDescription;
    std::int32_t nId = 0, nNo = 0, nNpcType = 0, nLevel = 0, nLife = 0, nMana = 0, nAttack = 0, nDefance = 0;
    std::int32_t nSkillAttackProbability = 0, nSkill1 = 0, nSkill2 = 0, nSculpt = 0;
    std::int32_t nSoundNo = -1, nSoundTime = 0;
    std::int32_t nRunAway = 0, nChangSceneResume = 0, nEnableKilled = 0;
};

struct SceneModel {
    std::string strName;      // empty: no scene of this number
    std::int32_t nMusic = 0;  // music track; 0 where no scene is named
};

struct SkillModel {
    std::string strName;
    std::string strDescription;
    std::int32_t nAttack = 0, nDefance = 0, nCelerity = 0, nMana = 0, nDirection = 0, nNpcType = 0;
    std::int32_t nEffectSound = 0, nPicNo = 0, nSkillNo = 0, nType = 0, nNo = 0, nNeedTime = 0, nAttackType = 0;
};

// Raising thresholds of one skill; the stored row number is the position in the list.
struct SkillLevelModel {
    std::array<std::int32_t, 3> nAddAttack{};
    std::array<std::int32_t, 3> nAddTime{};
    std::array<std::int32_t, 3> nNeedNum{};
};

// Entry j of a shop lists item j + 1.
struct ShopEntryModel {
    std::int32_t nQuantity = 0;
    std::int32_t nPriceIn = 0;
    std::int32_t nPriceOut = 0;
};

struct ShopModel {
    std::vector<ShopEntryModel> entries;  // at most 100
};

// The first (and only stored) level row of a party member.
struct LevelModel {
    std::int32_t nLevel = 0, nAttack = 0, nDefence = 0, nLife = 0, nMana = 0, nExperience = 0;
    std::int32_t nCelerity = 0, nSkillNum = 0, nAge = 0;
};

struct ItemModel {
    std::string strName;
    std::array<std::string, 5> strDescription;  // Description, Description1..Description4
    std::int32_t nType = 0, nTypeOnGround = 0, nSkillNum = 0, nAttack = 0, nDefence = 0, nLife = 0, nMana = 0;
    std::int32_t nLevel = 0, nSkill = 0, nCelerity = 0, nGirdNum = 0;
    std::array<std::uint8_t, 6> bFit{};  // characters 0..5 that may use the item
};

struct TaskModel {
    std::string strName;
    std::string strDescription;
};

struct PeiFangModel {
    std::int32_t nId = 0;
    std::int32_t nPeiFangNo = 0;
    std::array<std::int32_t, 13> nItemNum{};  // counts of ingredient kinds 1..13
    std::int32_t nNewItemNo = 0;
    std::int32_t nNewItemNum = 0;
};

struct PeiFangItemModel {
    std::int32_t nId = 0;
    std::int32_t nItemNo = 0;
};

struct AreaCellModel {
    std::int32_t nX = 0, nY = 0;
    std::array<std::int32_t, 5> nStep{};
};

struct AreaPatternModel {
    std::string strName;  // at most 32 bytes are stored
    std::int32_t nOriginX = 0, nOriginY = 0;
    std::vector<AreaCellModel> cells;
    std::array<std::int32_t, 9> nTail{};
};

struct GameModel {
    OptionsModel options;
    std::vector<EnemyModel> enemies;
    std::array<SceneModel, 200> scenes;
    std::vector<SkillModel> skills;
    std::vector<SkillLevelModel> skillLevels;  // entry i belongs to skill i; missing entries are zero
    std::array<ShopModel, 16> shops;
    std::array<LevelModel, 4> levels;
    std::vector<ItemModel> items;
    std::vector<TaskModel> tasks;
    std::vector<PeiFangModel> peiFang;
    std::vector<PeiFangItemModel> peiFangItems;
    std::vector<std::string> captions;
    std::vector<AreaPatternModel> areaPatterns;
};
