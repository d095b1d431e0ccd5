// Every numeric field of every record of the table cache set to INT_MIN and INT_MAX,
// a field of all records of its section at once, over the sample game in this process:
// the tables are read again, a new game starts, the heroine fights three enemies that
// cast, and the game is saved. A value the game cannot compute with is said in one line
// naming the file, the field and its first offset, and put in range; the save always
// succeeds. The sanitizer build is where a report about any of it ends the run.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "battle/Fight.h"
#include "battle/FightObserver.h"
#include "gamedata/BaseDataFile.h"
#include "gamedata/GameData.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/Stream.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "tests/TempFolder.h"
#include "tests/shell/HookedGame.h"
#include "tests/shell/ShellTestUtil.h"
#include "tests/shell/TownWolf.h"
#include "world/EffectManager.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A field of one section: its offset in the section's records (bytes from the record's
// first word block), how many words from there, and whether the game refuses both
// extremes of it.
struct Field {
    const char* pszName;
    int nWord;
    int nWords = 1;
    bool bRefused = false;
    int nWidth = 4;
};

enum Section { kEnemyWords, kEnemyTail, kSceneMusic, kSkills, kSkillLevels, kShops, kLevels, kItems, kItemFits,
               kRecipes, kRecipeItems, kSectionCount };

// Where each record's word block of each section starts in the file.
struct Layout {
    std::vector<size_t> records[kSectionCount];
};

// Walks the file as its reader does, noting the records' word blocks.
Layout Walk(const Bytes& b) {
    Layout l;
    size_t at = 0;
    auto word = [&](size_t n) { return LittleI32(&b[n]); };
    auto text = [&](size_t nExtra) { at += 4 + size_t(word(at)) + nExtra; };
    const int nEnemies = word(at);
    at += 4;
    for (int i = 0; i < nEnemies; ++i) {
        text(0);
        l.records[kEnemyWords].push_back(at);
        at += 64;
        text(0);
        l.records[kEnemyTail].push_back(at);
        at += 4;
    }
    for (int s = 0; s < 200; ++s) {
        text(0);
        l.records[kSceneMusic].push_back(at);
        at += 4;
    }
    const int nSkills = word(at);
    at += 4;
    for (int i = 0; i < nSkills; ++i) {
        l.records[kSkills].push_back(at);
        at += 52;
        text(1);
        text(1);
    }
    for (int i = 0; i < nSkills; ++i, at += 40) l.records[kSkillLevels].push_back(at);
    for (int s = 0; s < 16; ++s, at += 1604) l.records[kShops].push_back(at);
    for (int m = 0; m < 4; ++m, at += 36) l.records[kLevels].push_back(at);
    const int nItems = word(at);
    at += 4;
    for (int i = 0; i < nItems; ++i) {
        l.records[kItems].push_back(at);
        l.records[kItemFits].push_back(at + 44);
        at += 50;
        for (int k = 0; k < 6; ++k) text(0);
    }
    const int nTasks = word(at);
    at += 4;
    for (int i = 0; i < 2 * nTasks; ++i) text(0);
    const int nRecipes = word(at);
    at += 4;
    for (int i = 0; i < nRecipes; ++i, at += 68) l.records[kRecipes].push_back(at);
    const int nRecipeItems = word(at);
    at += 4;
    for (int i = 0; i < nRecipeItems; ++i, at += 8) l.records[kRecipeItems].push_back(at);
    EXPECT_EQ(at, b.size()) << "the walk missed the file's end";
    return l;
}

struct SectionFields {
    Section section;
    const char* pszName;
    std::vector<Field> fields;
};

const std::vector<SectionFields> kFields = {
    {kEnemyWords, "enemy", {{"number", 0}, {"skill 1", 1}, {"skill 2", 2}, {"id", 3}, {"life", 4, 1, true},
                   {"mana", 5, 1, true}, {"level", 6, 1, true}, {"attack", 7, 1, true}, {"defence", 8, 1, true},
                   {"skill chance", 9, 1, true}, {"runs away", 10}, {"revives", 11}, {"kind", 12}, {"sculpt", 13},
                   {"sound", 14}, {"sound time", 15, 1, true}}},
    {kEnemyTail, "enemy tail", {{"may be killed", 0}}},
    {kSceneMusic, "scene", {{"music", 0}}},
    {kSkills, "skill", {{"attack", 0, 1, true}, {"defence", 1, 1, true}, {"speed", 2, 1, true}, {"mana cost", 3, 1, true},
               {"direction", 4}, {"kind", 5}, {"sound", 6}, {"effect", 7}, {"skill number", 8}, {"type", 9},
               {"number", 10}, {"time", 11, 1, true}, {"attack kind", 12}}},
    {kSkillLevels, "skill level", {{"row number", 0}, {"attack bonuses", 1, 3, true}, {"time bonuses", 4, 3, true},
                    {"uses", 7, 3, true}}},
    {kShops, "shop", {{"unused words", 0, 101}, {"stock", 101, 100, true}, {"prices in", 201, 100, true},
              {"prices out", 301, 100, true}}},
    {kLevels, "level row", {{"level", 0, 1, true}, {"attack", 1, 1, true}, {"defence", 2, 1, true}, {"life", 3, 1, true},
               {"mana", 4, 1, true}, {"experience", 5, 1, true}, {"speed", 6, 1, true},
               {"skill amount", 7, 1, true}, {"age", 8, 1, true}}},
    {kItems, "item", {{"kind", 0}, {"kind on the ground", 1}, {"skill amount", 2, 1, true}, {"attack", 3, 1, true},
              {"defence", 4, 1, true}, {"life", 5, 1, true}, {"mana", 6, 1, true}, {"level", 7, 1, true},
              {"skill", 8, 1, true}, {"speed", 9, 1, true}, {"bag shape", 10, 1, true}}},
    {kItemFits, "item", {{"fits", 0, 6, false, 1}}},
    {kRecipes, "recipe", {{"id", 0}, {"number", 1}, {"ingredient counts", 2, 13, true}, {"product", 15},
                {"product count", 16, 1, true}}},
    {kRecipeItems, "recipe item", {{"id", 0}, {"item", 1}}},
};

// Sets the field in every record; the offsets set go to *pOffsets.
Bytes Patched(const Bytes& base, const Layout& l, Section s, const Field& f, std::int32_t v,
              std::vector<size_t>* pOffsets) {
    Bytes b = base;
    for (size_t nRecord : l.records[s])
        for (int w = 0; w < f.nWords; ++w) {
            const size_t at = nRecord + size_t(f.nWidth) * size_t(f.nWord + w);
            for (int k = 0; k < f.nWidth; ++k)
                b[at + size_t(k)] = f.nWidth == 1 ? std::uint8_t(v < 0 ? 0x80 : 0x7F)
                                                  : std::uint8_t(std::uint32_t(v) >> (8 * k));
            pOffsets->push_back(at);
        }
    return b;
}

// The battle's watcher: auto attack on, every result page closed, and the battle ended
// after its passes.
class CShortBattle : public CFightObserver {
public:
    void OnPass(CFight& fight) override {
        fight.bAutoAttack = 1;
        if (fight.bResultShown) fight.OnResultRelease();
        if (++m_nPasses >= 40) fight.StopRunning();
    }
    int m_nPasses = 0;
};

void Passes(int n) {
    for (int i = 0; i < n && pFrame->m_bRunning; ++i) pFrame->RunOnePass();
}

// The wolf put beside the heroine and struck, and biting back.
void StrikeTheWolf() {
    const int nWolf = pScene ? pScene->FindNpcById(kTownWolf) : -1;
    if (nWolf < 0 || !pPlayer) return;
    CNpc* pWolf = pScene->GetNpc(nWolf);
    const POINT cell = pScene->PixelToCell(pPlayer->ptPos.x, pPlayer->ptPos.y);
    const POINT ptBelow = pScene->CellToPixel(cell.x, cell.y + 1);
    pWolf->SetMapPos(ptBelow.x, ptBelow.y);
    const int x = pWolf->pState->nMapX - pScene->ptView.x, y = pWolf->pState->nMapY - 16 - pScene->ptView.y;
    pFrame->WindowProc(WM_MOUSEMOVE, 0, MakeLParam(x, y));
    pFrame->WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(x, y));
    Passes(1);
    pFrame->WindowProc(WM_LBUTTONUP, 0, MakeLParam(x, y));
    UseVirtualClock(true, TimeGetTime(), 100);
    Passes(8);
    UseVirtualClock(true, TimeGetTime(), 20);
}

// The lines of the text.
std::vector<std::string> Lines(const std::string& strText) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < strText.size();) {
        const size_t nEnd = strText.find('\n', at);
        lines.push_back(strText.substr(at, nEnd - at));
        at = nEnd == std::string::npos ? strText.size() : nEnd + 1;
    }
    return lines;
}

void WriteFile(const std::string& strPath, const Bytes& b) {
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    ASSERT_TRUE(out.good()) << strPath;
}

// One case: the tables read from the patched file, a new game, a battle, a save.
void PlayCase(const std::string& strGame, const Bytes& file, const std::vector<size_t>& offsets, bool bRefused) {
    ASSERT_NO_FATAL_FAILURE(WriteFile(strGame + "/data/Base.dat", file));
    testing::internal::CaptureStderr();
    const bool bRead = pGameData->LoadTables();
    const std::string strErr = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(bRead) << pGameData->GetLastError();
    // Said once, in one line naming the file and one of the offsets set.
    std::vector<std::string> said;
    for (const std::string& strLine : Lines(strErr)) {
        EXPECT_LT(strLine.size(), 200u) << strLine;
        if (strLine.find("Base.dat") != std::string::npos) said.push_back(strLine);
    }
    EXPECT_EQ(said.size(), bRefused ? 1u : 0u) << strErr;
    if (bRefused && said.size() == 1) {
        const size_t nAt = said[0].find(" at offset ");
        ASSERT_NE(nAt, std::string::npos) << said[0];
        const size_t nOffset = std::strtoull(said[0].c_str() + nAt + 11, nullptr, 10);
        EXPECT_NE(std::find(offsets.begin(), offsets.end(), nOffset), offsets.end()) << said[0];
        EXPECT_EQ(said[0].rfind("game: Base.dat: ", 0), 0u) << said[0];
    }
    UseVirtualClock(true, TimeGetTime(), 5000);
    pFrame->NewGame();
    Passes(2);
    UseVirtualClock(true, TimeGetTime(), 20);
    ASSERT_NE(pPlayer, nullptr);
    std::string why;
    EXPECT_TRUE(pFrame->SaveGame(1, &why)) << why;
    // A heroine whom the tables left weak may fall here: the game then ends.
    StrikeTheWolf();
    if (!pScene || !pPlayer) return;
    // Casters and a fox, at five times the pace of the battle's gauges and actions.
    CShortBattle battle;
    SetFightObserver(&battle);
    UseVirtualClock(true, TimeGetTime(), 100);
    pFrame->Fighting(1, 12, 13, 6, 0);
    UseVirtualClock(true, TimeGetTime(), 20);
    SetFightObserver(nullptr);
    Passes(1);
    if (pScene && pPlayer) {
        EXPECT_TRUE(pFrame->SaveGame(2, &why)) << why;
    }
}

TEST(BaseDatSweep, EveryFieldAtBothExtremesStartsFightsAndSaves) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("basedat-sweep");
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    const std::string strGame = GetCurrentDirectory();
    ASSERT_TRUE(PutWolfInTown(strGame));
    Bytes base;
    ASSERT_TRUE(ReadWholeFile((strGame + "/data/Base.dat").c_str(), kBaseDataLimit, &base));
    const Layout layout = Walk(base);
    for (const SectionFields& s : kFields) ASSERT_FALSE(layout.records[s.section].empty()) << s.pszName;
    ASSERT_EQ(LoadInputScriptText(kNewGame, "base data sweep"), 0);
    int nCases = 0;
    bool bDone = false;
    const std::string strError = RunHookedGame([&] {
        if (bDone || !pScene || !pPlayer || pFrame->GetGameMode() != 3) return;
        bDone = true;
        AudioSetManualPull(true);
        for (const SectionFields& s : kFields)
            for (const Field& f : s.fields)
                for (std::int32_t v : {INT_MIN, INT_MAX}) {
                    SCOPED_TRACE(std::string(s.pszName) + " " + f.pszName + " " + std::to_string(v));
                    std::vector<size_t> offsets;
                    PlayCase(strGame, Patched(base, layout, s.section, f, v, &offsets), offsets, f.bRefused);
                    ++nCases;
                    if (HasFatalFailure()) return pFrame->QuitGame();
                }
        pFrame->QuitGame();
    });
    AudioSetManualPull(false);
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
    ASSERT_TRUE(bDone);
    size_t nFields = 0;
    for (const SectionFields& s : kFields) nFields += s.fields.size();
    EXPECT_EQ(size_t(nCases), 2 * nFields);
}

}  // namespace
