// Every numeric field of the hero record (the controlled hero's and a member's in a
// save, and a member file), of the toolbar block and of a parked party's header set to
// INT_MIN, -1, 0 and INT_MAX, over the sample game in this process: a file the game
// cannot work with is refused naming the field's offset; every other loads and the game
// plays on with it: the arrow keys, a click on the map, the panels, a strike at the
// wolf beside the heroine and its bite, and a battle. The sanitizer build is where a
// report about any of it ends the run.
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "battle/Fight.h"
#include "battle/FightObserver.h"
#include "gamedata/GameData.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/Stream.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/SaveGameFile.h"
#include "shell/ShellGlobals.h"
#include "tests/TempFolder.h"
#include "tests/shell/HookedGame.h"
#include "tests/shell/ShellTestUtil.h"
#include "tests/shell/TownWolf.h"
#include "tools/mkgame/BattleContent.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarSave.h"
#include "world/EffectManager.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/PlayerRecord.h"
#include "world/Scene.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kValues[] = {INT_MIN, -1, 0, INT_MAX};
constexpr int kWolf = kTownWolf;

// A field of a file: its offset from the start of its block, how many words (or bytes)
// and how far apart; an array is swept all at once.
struct Field {
    const char* pszName;
    size_t nAt;
    int nCount = 1, nStride = 4, nWidth = 4;
};

// The fixed part of the hero record, word by word as its byte table lays it out; the
// bag tables and the tail follow (their offsets depend on the items held).
const std::vector<Field> kRecordFields = {
    {"sculpt", 0}, {"skill points", 4}, {"level", 8}, {"skills known", 12, 50}, {"skill levels", 212, 50},
    {"item counts", 412, 100}, {"party mask", 812}, {"age", 816}, {"life", 820}, {"life maximum", 824},
    {"money", 828}, {"mana", 832}, {"mana maximum", 836}, {"stamina", 840}, {"stamina maximum", 844},
    {"level life", 848}, {"level mana", 852}, {"experience", 856}, {"equipment 3", 860}, {"equipment 2", 864},
    {"walk step", 868}, {"task states", 872, 100}, {"inlay attack", 1272, 100, 16}, {"inlay defence", 1276, 100, 16},
    {"inlay stamina", 1280, 100, 16}, {"inlay link", 1284, 100, 16}, {"direction", 2872}, {"equipment 1", 2876},
    {"equipment 5", 2880}, {"sixth equipment", 2884}, {"equipment 0", 2888}, {"equipment 4", 2892},
    {"counter A", 2896}, {"counter B", 2900}, {"position x", 2904}, {"position y", 2908},
    {"battle bonus 0", 2912}, {"battle bonus 1", 2916}, {"battle bonus 2", 2920}, {"member", 2924},
    {"kind", 2928}, {"quick slots", 2932, 8}, {"thrown item", 2964}, {"thrown count", 2968}, {"attack", 2972},
    {"defence", 2976}, {"selected skill", 2980}, {"stance", 2984}};
// Offsets from the end of the record.
const std::vector<Field> kRecordTailFields = {
    {"skill uses", 209, 50}, {"saved word", 9}, {"saved flag", 5, 1, 1, 1}, {"flag bytes", 4, 4, 1, 1}};
const std::vector<Field> kToolBarFields = {
    {"hero number", 0}, {"party behaviour", 4}, {"quick slots", 8, 8}, {"stack count", 40}, {"stack item", 44},
    {"reserved words", 48, 4}, {"weather", 64}};
const std::vector<Field> kParkedFields = {{"scene", 0}, {"active slot", 4}, {"party ids", 8, 4}};

void Put(Bytes& b, size_t nAt, const Field& f, std::int32_t v, std::set<size_t>* pOffsets) {
    for (int i = 0; i < f.nCount; ++i) {
        const size_t n = nAt + size_t(i) * size_t(f.nStride);
        for (int k = 0; k < f.nWidth; ++k) b[n + size_t(k)] = std::uint8_t(std::uint32_t(v) >> (8 * k));
        pOffsets->insert(n);
    }
}

// A record with one field set: the fixed words patched, then a bag table for every item
// whose count is now above 0 (the one it had, else an empty one), then the tail.
Bytes PatchRecord(const Bytes& record, size_t nBase, const Field& f, bool bTail, std::int32_t v,
                  std::set<size_t>* pOffsets) {
    Bytes fixed(record.begin(), record.begin() + std::ptrdiff_t(kHeroRecordFixedBytes));
    Bytes tail(record.end() - std::ptrdiff_t(kHeroRecordTailBytes), record.end());
    if (!bTail) Put(fixed, f.nAt, f, v, pOffsets);
    auto count = [](const Bytes& b, int i) { return LittleI32(&b[kHeroItemCountOffset + 4 * size_t(i)]); };
    Bytes out = fixed;
    size_t nOld = kHeroRecordFixedBytes;
    for (int i = 0; i < kHeroItemCount; ++i) {
        const bool bHad = count(record, i) > 0;
        if (count(fixed, i) > 0) {
            Bytes table(kHeroBagTableBytes, 0xFF);
            if (bHad) table.assign(record.begin() + std::ptrdiff_t(nOld), record.begin() + std::ptrdiff_t(nOld + kHeroBagTableBytes));
            out.insert(out.end(), table.begin(), table.end());
        }
        if (bHad) nOld += kHeroBagTableBytes;
    }
    if (bTail) {
        std::set<size_t> tailOffsets;
        Put(tail, kHeroRecordTailBytes - f.nAt, f, v, &tailOffsets);
        for (size_t n : tailOffsets) pOffsets->insert(out.size() + n);
    }
    out.insert(out.end(), tail.begin(), tail.end());
    // The offsets as the file counts them.
    std::set<size_t> moved;
    for (size_t n : *pOffsets) moved.insert(n + nBase);
    pOffsets->swap(moved);
    return out;
}

// The battle's watcher: auto attack on, and the battle ended after its passes.
class CShortBattle : public CFightObserver {
public:
    void OnPass(CFight& fight) override {
        fight.bAutoAttack = 1;
        if (++m_nPasses >= kBattlePasses) fight.StopRunning();
        for (int s = 4; s < kFightSlots; ++s) m_bStruck = m_bStruck || (fight.Filled(s) && fight.Char(s)->HP < fight.Char(s)->MaxHP);
    }
    static constexpr int kBattlePasses = 30;
    int m_nPasses = 0;
    bool m_bStruck = false;
};

// One part of the sweep, from the first frame of a new game: the fields of the record
// (a slice of its fixed fields, or its tail), of the toolbar block and of a parked
// party's header that the part takes.
struct SweepPart {
    size_t nFirst = 0, nEnd = 0;  // of kRecordFields
    bool bRest = false;           // the tail, the toolbar and the parked party
};

class CSweep {
public:
    CSweep(const std::string& strGame, SweepPart part) : m_strGame(strGame), m_part(part) {}

    void Run() {
        ASSERT_NO_FATAL_FAILURE(SetUpGame());
        size_t nHero = 0, nMember = 0, nMemberEnd = 0;
        for (const SaveBlockSpan& span : m_parsed.blocks) {
            if (span.strName == "controlled hero record") nHero = span.nOffset;
            if (span.strName == "record of party slot 1") nMember = span.nOffset, nMemberEnd = span.nOffset + span.nSize;
        }
        ASSERT_GT(nMember, nHero);
        const Bytes hero(m_save.begin() + std::ptrdiff_t(nHero), m_save.begin() + std::ptrdiff_t(nMember));
        const Bytes member(m_save.begin() + std::ptrdiff_t(nMember), m_save.begin() + std::ptrdiff_t(nMemberEnd));
        // The controlled hero's and the member's record in the save both take the value,
        // and so does the member file read after the load.
        auto record = [&](const Field& f, bool bTail, std::int32_t v) {
            SCOPED_TRACE(std::string("hero record ") + f.pszName + " " + std::to_string(v));
            std::set<size_t> offsets, memberOffsets, fileOffsets;
            Bytes save(m_save.begin(), m_save.begin() + std::ptrdiff_t(nHero));
            const Bytes newHero = PatchRecord(hero, nHero, f, bTail, v, &offsets);
            save.insert(save.end(), newHero.begin(), newHero.end());
            const Bytes newMember = PatchRecord(member, save.size(), f, bTail, v, &memberOffsets);
            save.insert(save.end(), newMember.begin(), newMember.end());
            save.insert(save.end(), m_save.begin() + std::ptrdiff_t(nMemberEnd), m_save.end());
            offsets.insert(memberOffsets.begin(), memberOffsets.end());
            LoadAndPlay(save, offsets, PatchRecord(m_memberFile, 0, f, bTail, v, &fileOffsets), fileOffsets);
        };
        for (size_t i = m_part.nFirst; i < m_part.nEnd; ++i)
            for (std::int32_t v : kValues) record(kRecordFields[i], false, v);
        if (!m_part.bRest) return;
        for (const Field& f : kRecordTailFields)
            for (std::int32_t v : kValues) record(f, true, v);
        for (const Field& f : kToolBarFields)
            for (std::int32_t v : kValues) {
                SCOPED_TRACE(std::string("toolbar ") + f.pszName + " " + std::to_string(v));
                Bytes save = m_save;
                std::set<size_t> offsets;
                Put(save, m_nToolBar + f.nAt, f, v, &offsets);
                LoadAndPlay(save, offsets, m_memberFile, {});
            }
        // A parked party's header, read over the base game, kept or not.
        for (const Field& f : kParkedFields)
            for (std::int32_t v : kValues) {
                SCOPED_TRACE(std::string("parked party ") + f.pszName + " " + std::to_string(v));
                LoadAndPlay(m_save, {}, m_memberFile, {});
                Bytes parked = m_parked;
                std::set<size_t> offsets;
                Put(parked, f.nAt, f, v, &offsets);
                WriteFile("save/SaveTemp1.sav", parked);
                pFrame->m_strPartyFileError.clear();
                if (!pFrame->LoadTempParty(1, v % 2 == 0)) {
                    ExpectOffsetNamed(pFrame->m_strPartyFileError, offsets);
                } else if (m_played.insert(LoadedState()).second) {
                    Passes(1);
                    Play();
                }
            }
    }

    size_t Played() const { return m_played.size(); }

private:
    void SetUpGame() {
        m_pBar = PanelLink().GetToolBar();
        ASSERT_NE(m_pBar, nullptr);
        // Nothing is mixed: the frames of a load cover seconds of sound.
        AudioSetManualPull(true);
        // The heroine of level 3 at cell (28, 25) of the town, near the wolf; a
        // second member in the party as the companion, both fighting in battles; three
        // potions held, in the bag and on the first quick slot.
        const POINT pt = pScene->GetCellPoint(28, 25);
        pPlayer->SetMapPosAndHome(pt.x, pt.y);
        pScene->ScrollToHero();
        ASSERT_GE(pScene->FindNpcById(kWolf), 0);
        pFrame->AddPartyMember(1);
        pFrame->m_nPartyIds[1] = 1;
        pFrame->m_nPartyCount = 2;
        pCompanion = pParty[1];
        m_pBar->m_nCompanion = 2;
        pPlayer->nPartyMask = 0x7;
        pPlayer->nLevel = pParty[1]->nLevel = 3;
        pPlayer->RefreshPartyMembers();
        for (int i = 0; i < 3; ++i) pPlayer->AddItem(kLifeHeadwear);
        m_pBar->PutItemInBag(kLifeHeadwear);
        m_pBar->m_nQuickSlots[0] = pPlayer->nQuickSlot[0] = kLifeHeadwear;
        // The member file of member 2, as the game writes it when she leaves, and the
        // party parked.
        pFrame->AddPartyMember(2);
        pFrame->m_nPartyIds[2] = 2;
        ASSERT_TRUE(pFrame->SavePlayerFile(3)) << pFrame->m_strPartyFileError;
        m_memberFile = ReadFile("save/SavePlayer3.sav");
        ASSERT_EQ(m_memberFile.size(), HeroRecordSize(0));
        ASSERT_TRUE(pFrame->SaveTempParty(1)) << pFrame->m_strPartyFileError;
        m_parked = ReadFile("save/SaveTemp1.sav");
        std::string why;
        ASSERT_TRUE(pFrame->BuildSaveFile(&m_save, &why)) << why;
        ASSERT_TRUE(ParseSaveFile(m_save, "base", &m_parsed, &why)) << why;
        for (const SaveBlockSpan& span : m_parsed.blocks)
            if (span.strName == "toolbar block") m_nToolBar = span.nOffset;
        // The base itself loads and plays, and the play does what it is for.
        m_bCheck = true;
        LoadAndPlay(m_save, {}, m_memberFile, {});
        m_bCheck = false;
        ASSERT_EQ(Played(), 1u);
    }

    Bytes ReadFile(const std::string& strRel) const {
        Bytes bytes;
        ReadWholeFile((m_strGame + "/" + strRel).c_str(), size_t(1) << 26, &bytes);
        return bytes;
    }
    void WriteFile(const std::string& strRel, const Bytes& bytes) const {
        std::ofstream out(m_strGame + "/" + strRel, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        ASSERT_TRUE(out.good()) << strRel;
    }

    // A refusal names one of the offsets the case set.
    static void ExpectOffsetNamed(const std::string& strWhy, const std::set<size_t>& offsets) {
        bool bNamed = false;
        for (size_t nAt = strWhy.find(" at offset "); nAt != std::string::npos; nAt = strWhy.find(" at offset ", nAt + 1))
            bNamed = bNamed || offsets.count(std::strtoull(strWhy.c_str() + nAt + 11, nullptr, 10)) > 0;
        EXPECT_TRUE(bNamed) << strWhy;
    }

    void Passes(int n) {
        for (int i = 0; i < n && pFrame->m_bRunning; ++i) pFrame->RunOnePass();
    }
    bool OnMap() const { return pScene && pPlayer && pFrame->GetGameMode() == 3; }
    void Key(int nKey) { pFrame->WindowProc(WM_KEYDOWN, WPARAM(nKey), 1); }
    void Click(int x, int y) {
        pFrame->WindowProc(WM_MOUSEMOVE, 0, MakeLParam(x, y));
        pFrame->WindowProc(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(x, y));
        Passes(1);
        pFrame->WindowProc(WM_LBUTTONUP, 0, MakeLParam(x, y));
    }

    void LoadAndPlay(const Bytes& save, const std::set<size_t>& offsets, const Bytes& memberFile,
                     const std::set<size_t>& memberOffsets) {
        WriteFile("save/save001.sav", save);
        std::string why;
        // The load's fades, and the input held after its scene change, go by in a frame.
        UseVirtualClock(true, TimeGetTime(), 5000);
        const bool bLoaded = pFrame->LoadGame(1, &why);
        Passes(1);
        UseVirtualClock(true, TimeGetTime(), 20);
        if (!bLoaded) {
            ExpectOffsetNamed(why, offsets);
            return;
        }
        // The member who left (the loaded party has no one in her slot) joins from her
        // file, refused or not.
        WriteFile("save/SavePlayer3.sav", memberFile);
        pFrame->m_strPartyFileError.clear();
        pFrame->LoadPlayerFile(3, false);
        if (!pFrame->m_strPartyFileError.empty()) ExpectOffsetNamed(pFrame->m_strPartyFileError, memberOffsets);
        // A load that gave a game already played (a value repaired to what another case
        // holds) has nothing new to play.
        if (m_played.insert(LoadedState()).second) Play();
    }

    // What a load set up from the files (every hero as the game writes him and the
    // toolbar's block), hashed.
    std::uint64_t LoadedState() const {
        CByteWriter out;
        for (const CPlayer* p : {pPlayer, pParty[0], pParty[1], pParty[2], pParty[3]}) {
            out.WriteI32(p ? 1 : 0);
            if (p) p->WriteRecord(out);
        }
        SaveToolBarState(*m_pBar, out, true);
        std::uint64_t h = 14695981039346656037u;
        for (std::uint8_t b : out.Bytes()) h = (h ^ b) * 1099511628211u;
        return h;
    }

    void Play() {
        // The wolf beside her struck, and biting back.
        if (!OnMap()) return;
        if (const int nWolf = pScene->FindNpcById(kWolf); nWolf >= 0) {
            CNpc* pWolf = pScene->GetNpc(nWolf);
            const POINT cell = pScene->PixelToCell(pPlayer->ptPos.x, pPlayer->ptPos.y);
            const POINT ptBelow = pScene->CellToPixel(cell.x, cell.y + 1);
            pWolf->SetMapPos(ptBelow.x, ptBelow.y);
            const int nLife = pWolf->pState->nLife;
            Click(pWolf->pState->nMapX - pScene->ptView.x, pWolf->pState->nMapY - 16 - pScene->ptView.y);
            const int nHeroLife = pPlayer->nLife;
            UseVirtualClock(true, TimeGetTime(), 100);
            Passes(8);
            UseVirtualClock(true, TimeGetTime(), 20);
            if (m_bCheck) {
                EXPECT_LT(pWolf->pState->nLife, nLife) << "no strike at the wolf";
                EXPECT_LT(pPlayer->nLife, nHeroLife) << "no bite";
            }
        }
        // Walking, then running; a potion from the first quick slot; a click on the map.
        const POINT ptStart = pPlayer->ptPos;
        for (int nKey : {VK_LEFT, VK_UP, int('R'), VK_RIGHT, VK_DOWN, int('R'), int('5')}) {
            if (!OnMap()) return;
            Key(nKey);
            Passes(1);
        }
        if (m_bCheck) {
            EXPECT_NE(pPlayer->ptPos.x, ptStart.x) << "the keys walked nowhere";
        }
        if (!OnMap()) return;
        Click(pPlayer->ptPos.x - pScene->ptView.x + 96, pPlayer->ptPos.y - pScene->ptView.y);
        // State and items, skills, tasks, the scene map, the system menu; ESC closes each.
        const std::vector<std::vector<int>> panels = {{'S', 'W'}, {VK_ESCAPE, 'J'}, {VK_ESCAPE, 'T'},
                                                      {VK_ESCAPE, VK_TAB}, {VK_TAB, VK_ESCAPE}, {VK_ESCAPE}};
        int nOpened = 0;
        for (const std::vector<int>& keys : panels) {
            if (!pScene || !pPlayer) return;
            for (int nKey : keys) Key(nKey);
            Passes(1);
            nOpened += m_pBar->IsPanelOpen() ? 1 : 0;
        }
        if (m_bCheck) {
            EXPECT_EQ(nOpened, 4) << "the panels did not open";
        }
        if (!OnMap()) return;
        // A battle at five times the pace of its gauges and actions.
        CShortBattle battle;
        SetFightObserver(&battle);
        UseVirtualClock(true, TimeGetTime(), 100);
        pFrame->Fighting(1, kBeastRow, kBeastRow, -1, 0);
        UseVirtualClock(true, TimeGetTime(), 20);
        SetFightObserver(nullptr);
        if (m_bCheck) {
            EXPECT_TRUE(battle.m_bStruck) << "no blow in the battle";
        }
        Passes(1);
    }

    std::string m_strGame;
    SweepPart m_part;
    CGameToolBar* m_pBar = nullptr;
    Bytes m_save, m_memberFile, m_parked;
    SaveGameFile m_parsed;
    size_t m_nToolBar = 0;
    std::set<std::uint64_t> m_played;
    bool m_bCheck = false;
};

void RunSweep(SweepPart part) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("save-sweep");
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    ASSERT_TRUE(PutWolfInTown(GetCurrentDirectory()));
    ASSERT_EQ(LoadInputScriptText(kNewGame, "save sweep"), 0);
    CSweep sweep(GetCurrentDirectory(), part);
    bool bDone = false;
    const std::string strError = RunHookedGame([&] {
        if (bDone || !pScene || !pPlayer || pFrame->GetGameMode() != 3) return;
        bDone = true;
        sweep.Run();
        pFrame->QuitGame();
    });
    AudioSetManualPull(false);
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
    ASSERT_TRUE(bDone);
    EXPECT_GT(sweep.Played(), 1u);
}

// The sweep in four parts that run side by side.
TEST(SaveSweep, TheRecordsSkillsItemsAndStatistics) { RunSweep({0, 16, false}); }
TEST(SaveSweep, TheRecordsStepTasksInlaysAndEquipment) { RunSweep({16, 32, false}); }
TEST(SaveSweep, TheRecordsPlaceBattleAndFightFields) { RunSweep({32, kRecordFields.size(), false}); }
TEST(SaveSweep, TheRecordsTailTheToolBarAndAParkedParty) { RunSweep({0, 0, true}); }

}  // namespace
