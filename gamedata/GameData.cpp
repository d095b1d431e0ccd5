#include "gamedata/GameData.h"
#include "gamedata/FightNpcTable.h"

#include "gamedata/BaseDataFile.h"
#include "gamedata/CaptionFile.h"
#include "gamedata/DatabaseImport.h"
#include "gamedata/DebugLog.h"
#include "gamedata/RecordSource.h"
#include "platform/Files.h"
#include "platform/Stream.h"

#include <cstdio>
#include <cstring>

CGameData* pGameData = nullptr;

namespace {

void Log(const char* pText) {
    if (pDebugLog != nullptr) pDebugLog->Write(pText);
}

template <typename Row>
Row* RowAt(Row* pTable, std::int32_t nCount, int n) {
    return (pTable != nullptr && n >= 0 && n < nCount) ? &pTable[n] : nullptr;
}

}  // namespace

CGameData::CGameData() : m_pItemGrid(new std::int32_t[kItemGridSize][kItemGridSize]) {
    nItemGrid = m_pItemGrid.get();
    for (int x = 0; x < kItemGridSize; ++x) {
        for (int y = 0; y < kItemGridSize; ++y) nItemGrid[x][y] = -1;
    }
    for (int s = 0; s < kSceneCount; ++s) {
        pSceneName[s] = "";
        nSceneMusic[s] = 0;
    }
}

CGameData::~CGameData() {
    // The progress lines mark the stages of freeing, as the shut-down log expects.
    pOptions.reset();
    FreeScriptData();
    Log("OK2-1\r\n");
    m_tables.items.clear();
    m_tables.levels = {};
    Log("OK2-2\r\n");
    m_tables.skills.clear();
    m_tables.tasks.clear();
    m_tables.shops = {};
    Log("OK2-3\r\n");
    m_tables.enemies.clear();
    m_tables.skillLevels.clear();
    Log("OK2-4\r\n");
}

void CGameData::InitPaths(const char* pFolder) {
    std::string path = pFolder != nullptr ? ResolvePath(pFolder) : GetCurrentDirectory();
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    // The folder is kept to at most 255 characters.
    if (path.size() > 255) path.resize(255);
    std::memset(szGamePath, 0, sizeof(szGamePath));
    std::memcpy(szGamePath, path.data(), path.size());
}

std::string CGameData::GamePath(const char* pName) const {
    if (szGamePath[0] == '\0') return pName;
    return std::string(szGamePath) + "\\" + pName;
}

void CGameData::LoadOptions() {
    std::vector<std::string> problems;
    pOptions = std::make_unique<GameOptions>(ReadGameOptions(GamePath("fenwik.ini").c_str(), &problems));
    for (const std::string& strProblem : problems) {
        std::fprintf(stderr, "game: %s\n", strProblem.c_str());
        Log((strProblem + "\r\n").c_str());
    }
}

bool CGameData::Fail(const std::string& why) {
    m_strError = why;
    return false;
}

bool CGameData::LoadBaseData() {
    Log("Initialize base data ...\r\n");
    if (!LoadTables()) return false;
    // Skill area patterns are optional: without them (the file missing or damaged) the
    // game runs on and says why.
    if (!LoadAreaPatterns()) {
        ReportFileProblem(m_strError + "; the game runs without skill area patterns");
        m_strError.clear();
    }
    if (!LoadScript()) return false;
    if (!LoadTextTable()) {
        Log("failed\r\n");
        return false;
    }
    return true;
}

bool CGameData::ReadGameFile(const char* pName, size_t nLimit, std::vector<std::uint8_t>* pBytes,
                             std::string* pWhy) const {
    if (szGamePath[0] != '\0') SetCurrentDirectory(szGamePath);
    return ReadWholeFile(pName, nLimit, pBytes, pWhy);
}

bool CGameData::LoadTables() {
    if (szGamePath[0] != '\0') SetCurrentDirectory(szGamePath);
    // "data" is made only when the cache is written (BuildTables): a start that fails
    // leaves the game folder as it was.
    int nDataFrom = pOptions ? pOptions->nDataFrom : GameOptions{}.nDataFrom;
    if (nDataFrom == 0) {
        Log("Create Base Data File Base.dat...");
        std::string why;
        std::unique_ptr<CRecordSource> pSource = OpenDatabaseSource(GamePath("QRB.mdb").c_str(), &why);
        if (!pSource) {
            Log("failed\r\n");
            return Fail(why);
        }
        Log("OK\r\n");
        return BuildTables(*pSource);
    }
    return ReadTableCache();
}

void CGameData::AdoptTables(CTableSet&& tables) {
    m_tables = std::move(tables);
    BindTables();
}

bool CGameData::BuildTables(CRecordSource& source) {
    CTableSet tables;
    std::string why;
    if (!ImportTables(source, &tables, &why)) {
        Log("failed\r\n");
        return Fail("QRB.mdb: " + why);
    }
    std::vector<std::uint8_t> bytes = WriteBaseData(tables);
    if (szGamePath[0] != '\0') SetCurrentDirectory(szGamePath);
    MakeDirectory("data");
    if (!WriteFileAtomic("data\\Base.dat", bytes, &why)) {
        Log("failed\r\n");
        return Fail(why);
    }
    LogBaseDataSections(Log);
    // The tables go through the cache file's range checks as the file just written: a
    // value the game cannot compute with is said and put in range as on the next start.
    CTableSet checked;
    std::vector<std::string> problems;
    if (ReadBaseData(bytes.data(), bytes.size(), &checked, &why, {}, &problems)) {
        for (size_t i = 0; i < checked.tasks.size() && i < tables.tasks.size(); ++i)
            checked.tasks[i].nNo = tables.tasks[i].nNo;
        tables = std::move(checked);
    }
    for (const std::string& strProblem : problems) ReportFileProblem(strProblem);
    AdoptTables(std::move(tables));
    return true;
}

bool CGameData::ReadTableCache() {
    Log("Open Base Data File Base.dat...");
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!ReadGameFile("data\\Base.dat", kBaseDataLimit, &bytes, &why)) {
        Log("failed\r\n");
        return Fail(why);
    }
    Log("OK\r\n");
    CTableSet tables;
    std::vector<std::string> problems;
    if (!ReadBaseData(bytes.data(), bytes.size(), &tables, &why, Log, &problems)) {
        Log("failed\r\n");
        return Fail(why);
    }
    for (const std::string& strProblem : problems) ReportFileProblem(strProblem);
    AdoptTables(std::move(tables));
    return true;
}

bool CGameData::LoadAreaPatterns() {
    std::vector<std::uint8_t> bytes;
    std::string why;
    CAreaPatternSet set;
    bool bOk = ReadGameFile("data\\Vesk.Ayl", kCaptionFileLimit, &bytes, &why) &&
               ReadAreaPatterns(bytes.data(), bytes.size(), &set, &why);
    m_patterns = std::move(set);
    BindAreaPatterns();
    if (!bOk) {
        Log("failed\r\n");
        return Fail(why);
    }
    return true;
}

bool CGameData::LoadTextTable() {
    std::vector<std::uint8_t> bytes;
    std::string why;
    CCaptionTable table;
    bool bOk = ReadGameFile("data\\vesk.dat", kCaptionFileLimit, &bytes, &why) &&
               ReadCaptions(bytes.data(), bytes.size(), &table, &why);
    m_captions = std::move(table);
    BindCaptions();
    return bOk ? true : Fail(why);
}

void CGameData::BindTables() {
    CTableSet& t = m_tables;
    pEnemyNpc = t.enemies.empty() ? nullptr : t.enemies.data();
    nEnemyNpcCount = std::int32_t(t.enemies.size());
    m_fightNpc = BuildFightNpcRows(t.enemies);
    pFightNpc = m_fightNpc.empty() ? nullptr : m_fightNpc.data();
    nFightNpcCount = std::int32_t(m_fightNpc.size());
    for (int s = 0; s < kSceneCount; ++s) {
        pSceneName[s] = t.sceneNames[size_t(s)];
        nSceneMusic[s] = t.sceneMusic[size_t(s)];
    }
    pSkill = t.skills.empty() ? nullptr : t.skills.data();
    nSkillCount = std::int32_t(t.skills.size());
    pSkillLevel = t.skillLevels.empty() ? nullptr : t.skillLevels.data();
    pShop = t.shops.data();
    nShopCount = kShopCount;
    for (int m = 0; m < kMemberCount; ++m) pLevel[m] = t.levels[size_t(m)].data();
    pItem = t.items.empty() ? nullptr : t.items.data();
    nItemCount = std::int32_t(t.items.size());
    pTask = t.tasks.empty() ? nullptr : t.tasks.data();
    nTaskCount = std::int32_t(t.tasks.size());
    pPeiFang = t.peiFang.empty() ? nullptr : t.peiFang.data();
    nPeiFangCount = std::int32_t(t.peiFang.size());
    pPeiFangItem = t.peiFangItems.empty() ? nullptr : t.peiFangItems.data();
    nPeiFangItemCount = std::int32_t(t.peiFangItems.size());
}

void CGameData::BindCaptions() {
    m_captionPtrs.clear();
    for (const std::string& line : m_captions.lines) m_captionPtrs.push_back(line.c_str());
    nTextCount = std::int32_t(m_captionPtrs.size());
    ppTexts = m_captionPtrs.empty() ? nullptr : m_captionPtrs.data();
}

void CGameData::BindAreaPatterns() {
    nAreaPatternCount = std::int32_t(m_patterns.rows.size());
    pAreaPattern = m_patterns.rows.empty() ? nullptr : m_patterns.rows.data();
    pAreaPatternTail = m_patterns.tails.empty() ? nullptr : m_patterns.tails.data();
}

ItemRow* CGameData::GetItem(int n) { return RowAt(pItem, nItemCount, n); }
SkillRow* CGameData::GetSkill(int n) { return RowAt(pSkill, nSkillCount, n); }
SkillLevelRow* CGameData::GetSkillLevel(int n) { return RowAt(pSkillLevel, nSkillCount, n); }
ShopTable* CGameData::GetShop(int n) { return RowAt(pShop, nShopCount, n); }
TaskRow* CGameData::GetTask(int n) { return RowAt(pTask, nTaskCount, n); }
PeiFangRow* CGameData::GetPeiFang(int n) { return RowAt(pPeiFang, nPeiFangCount, n); }
PeiFangItemRow* CGameData::GetPeiFangItem(int n) { return RowAt(pPeiFangItem, nPeiFangItemCount, n); }
EnemyNpcRow* CGameData::GetEnemyNpc(int n) { return RowAt(pEnemyNpc, nEnemyNpcCount, n); }

LevelRow* CGameData::GetLevel(int nMember, int nLevel) {
    if (nMember < 0 || nMember >= kMemberCount) return nullptr;
    return RowAt(pLevel[nMember], kLevelRows, nLevel);
}

const char* CGameData::GetSceneName(int n) const { return (n >= 0 && n < kSceneCount) ? pSceneName[n] : nullptr; }
int CGameData::GetSceneMusic(int n) const { return (n >= 0 && n < kSceneCount) ? nSceneMusic[n] : 0; }
const char* CGameData::GetText(int n) const { return (n >= 0 && n < nTextCount) ? ppTexts[n] : nullptr; }

const AreaPatternRow* CGameData::GetAreaPattern(int n) const {
    return (n >= 0 && n < nAreaPatternCount) ? &pAreaPattern[n] : nullptr;
}

const AreaPatternTail* CGameData::GetAreaPatternTail(int n) const {
    return (n >= 0 && n < nAreaPatternCount) ? &pAreaPatternTail[n] : nullptr;
}
