// The game-data object: the options, the game folder, every static table, the
// scene names and music numbers, the caption table, the skill area patterns and
// the event-script data. It is filled once at start-up and read through pGameData
// for the whole run. The tables are plain data in public fields; the Get functions
// give the same rows with the index checked (null when it lies outside the table).
#pragma once
#include "gamedata/Tables.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CScriptData;
class CRecordSource;

// Options of the options file "fenwik.ini". Flag fields hold 1 exactly when the
// file's value is 1.
struct GameOptions {
    std::uint8_t bTerrain = 0;
    std::uint8_t bFullScreen = 1;
    std::int32_t nScreenWidth = 640;
    std::int32_t nScreenHeight = 480;
    std::int32_t nScreenBPP = 16;
    std::int32_t nScreenMode = 1;
    std::uint8_t bCanScroll = 0;
    std::int32_t nDataFrom = 1;        // 0: build the tables from the database
    std::int32_t nPlayLeader = 1;      // nonzero: play the opening videos
    std::int32_t nShowEventPoint = 0;
    std::int32_t nMusic = 1;
    std::int32_t nScene = 0;           // scene of a new game
    std::int32_t nPlayerX = 500;
    std::int32_t nPlayerY = 270;
    std::int32_t nPlayerSpeed = 10;
    std::int32_t nPlayerCloth = 1;
    std::int32_t nPlayerRunSpeed = 10;
    std::int32_t nCopy = 0;
    std::int32_t nScenepkg = 0;
};

// Reads the 19 options from an options file; missing file or keys give the defaults.
// A size, depth, scene or position the game cannot work with, and any number too large
// for 32 bits, gives the default as well, and a message naming the file, the key and the
// value as written goes to *pProblems.
GameOptions ReadGameOptions(const char* pFile, std::vector<std::string>* pProblems = nullptr);

constexpr int kItemGridSize = 500;
constexpr int kGamePathSize = 260;

class CGameData {
public:
    CGameData();
    virtual ~CGameData();
    CGameData(const CGameData&) = delete;
    CGameData& operator=(const CGameData&) = delete;

    // Stores the game folder: the given one, or the current folder when null.
    void InitPaths(const char* pFolder = nullptr);
    // Reads the options from "<game folder>\fenwik.ini".
    void LoadOptions();
    // Builds or reads the tables, then loads the area patterns, the script data and
    // the caption table. False when a required step failed (GetLastError says which).
    bool LoadBaseData();

    // The table steps of LoadBaseData: with DataFrom 0 the tables are built from the
    // database "QRB.mdb" and written to "data\Base.dat"; otherwise they are read from it.
    bool LoadTables();
    // Builds the tables from a record source and writes "data\Base.dat" only when every
    // table was read (a failed import keeps the old file).
    bool BuildTables(CRecordSource& source);
    // Reads the tables from "data\Base.dat".
    bool ReadTableCache();
    // Reads "data\Vesk.Ayl"; false leaves no patterns.
    bool LoadAreaPatterns();
    // Reads "data\vesk.dat"; false leaves no captions.
    bool LoadTextTable();
    // Reads "data\script.dat" into pScriptData.
    bool LoadScript();

    // Index-checked access; null outside the table.
    ItemRow* GetItem(int n);
    SkillRow* GetSkill(int n);
    SkillLevelRow* GetSkillLevel(int n);
    ShopTable* GetShop(int n);
    LevelRow* GetLevel(int nMember, int nLevel);
    TaskRow* GetTask(int n);
    PeiFangRow* GetPeiFang(int n);
    PeiFangItemRow* GetPeiFangItem(int n);
    EnemyNpcRow* GetEnemyNpc(int n);
    // Scene name ("" for an unnamed scene) and music number; null and 0 outside 0..199.
    const char* GetSceneName(int n) const;
    int GetSceneMusic(int n) const;
    // Caption line n; null outside the table.
    const char* GetText(int n) const;
    const AreaPatternRow* GetAreaPattern(int n) const;
    const AreaPatternTail* GetAreaPatternTail(int n) const;

    // What the last failed load step reported (file, section or table, reason).
    const std::string& GetLastError() const { return m_strError; }
    const CTableSet& Tables() const { return m_tables; }
    // "<game folder>\<name>" for a name relative to the game folder.
    std::string GamePath(const char* pName) const;

    std::int32_t nTextCount = 0;
    const char* const* ppTexts = nullptr;
    std::int32_t (*nItemGrid)[kItemGridSize] = nullptr;  // -1 filled; used by dormant panels only
    const char* pSceneName[kSceneCount];                  // "" where no scene is named
    std::int32_t nSceneMusic[kSceneCount];
    CScriptData* pScriptData = nullptr;
    EnemyNpcRow* pEnemyNpc = nullptr;
    std::int32_t nEnemyNpcCount = 0;
    FightNpcRow* pFightNpc = nullptr;  // made from the type table when tables load
    std::int32_t nFightNpcCount = 0;
    std::int32_t nItemCount = 0;
    std::int32_t nPeiFangCount = 0;
    std::int32_t nPeiFangItemCount = 0;
    PeiFangRow* pPeiFang = nullptr;
    PeiFangItemRow* pPeiFangItem = nullptr;
    ItemRow* pItem = nullptr;
    SkillLevelRow* pSkillLevel = nullptr;
    std::int32_t nSkillCount = 0;
    SkillRow* pSkill = nullptr;
    const AreaPatternRow* pAreaPattern = nullptr;
    const AreaPatternTail* pAreaPatternTail = nullptr;
    std::int32_t nAreaPatternCount = 0;
    std::unique_ptr<GameOptions> pOptions;
    std::int32_t nShopCount = 0;
    ShopTable* pShop = nullptr;
    LevelRow* pLevel[kMemberCount] = {};  // member m's 102 rows, indexed by level
    std::int32_t nTaskCount = 0;
    TaskRow* pTask = nullptr;
    char szGamePath[kGamePathSize] = {};

private:
    // Reads a file of the game folder by its name there ("data\\Base.dat"), so that a
    // failure names the file as the game folder does.
    bool ReadGameFile(const char* pName, size_t nLimit, std::vector<std::uint8_t>* pBytes, std::string* pWhy) const;
    // Points the public table fields at the tables just loaded.
    void BindTables();
    void BindCaptions();
    void BindAreaPatterns();
    void FreeScriptData();
    // Takes loaded tables over, points the row accessors at them and logs the steps.
    void AdoptTables(CTableSet&& tables);
    bool Fail(const std::string& why);

    CTableSet m_tables;
    std::vector<FightNpcRow> m_fightNpc;
    CCaptionTable m_captions;
    std::vector<const char*> m_captionPtrs;
    CAreaPatternSet m_patterns;
    std::unique_ptr<std::int32_t[][kItemGridSize]> m_pItemGrid;
    std::string m_strError;
};

extern CGameData* pGameData;
