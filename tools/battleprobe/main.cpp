// battleprobe DIR BG E1 [E2 E3] [--input FILE] [--seed N] [--items ID:N,...] [--skills ID,...]
// [--money N] [--max-passes N] [--members ID,...] [--life ID:HP,...] [--tall ROW:EVENT,...]
// [--del-tall MEMBER:EVENT,...] [--scene S] [--talk-shots PREFIX]: runs one battle of a game
// folder headless with the controlled hero (level 0 of the folder's tables) and the members
// named (ids 1..3, level 0 too), the hero holding the items and knowing the skills given and
// the money, each member of --life (0 the hero) starting with that life (0: fallen), and
// prints a CSV line per pass: pass, then per slot gauge, action, HP and MP,
// then the acting slot, the menu state and the virtual time in ms since the probe started. A
// battle message (GBK) gets a line of its own when it appears. Without an input script every
// member's turn is an auto attack ('A'), and messages and the result panel are clicked away;
// with one, the same happens once the script's last event is two seconds past (a script that
// leaves the ring open, say after an escape the enemies forbid, would otherwise wait for
// ever). Ends with the result, the hero's money and experience, and the party's HP and MP. A
// battle still running after --max-passes passes (default 200000) is stopped, and one
// that ends without a result otherwise (a quit) says so with the passes it ran: exit 3.
//
// Battle talk: --tall gives enemy rows the event of their opening talk, --del-tall gives
// members the event of their last words, both events of scene S (default 0), which runs
// them through the game's own main window and face talk bar. Each line prints "talk PASS
// FACE TEXT" (UTF-8) as it starts and "talk PASS end" when the talk is over; --talk-shots
// writes PREFIX-N.png once line N is typed. Auto play clicks typed lines away. After the
// battle "talk bar wide" or "talk bar narrow" tells the layout the map gets back.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "battle/Fight.h"
#include "battle/FightObserver.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/InputScript.h"
#include "platform/WindowBackend.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "shell/UiShellLink.h"
#include "tools/battleprobe/ProbeTalk.h"
#include "world/EffectManager.h"
#include "world/Player.h"

namespace {

class CSeededDraws : public CFightDraws {
public:
    DWORD Next() override { return DWORD(Rand()); }
};

class CProbe : public CFightObserver {
public:
    bool bAuto = true;
    // Virtual time from which the probe plays by itself (an input script's end).
    DWORD dwAutoFrom = 0;
    std::int64_t nMaxPasses = 200000;
    // Passes the battle has run, and whether the pass limit stopped it.
    std::int64_t nPassesRun = 0;
    bool bStoppedAtLimit = false;
    DWORD dwStart = TimeGetTime();
    std::string strMessage;
    // The battle talk's reporter, null without talk.
    CProbeTalk* pTalk = nullptr;
    void OnPass(CFight& f) override {
        if (!bAuto && TimeGetTime() >= dwAutoFrom) bAuto = true;
        if (pTalk) pTalk->OnPass(f, bAuto);
        nPassesRun = f.nPasses;
        // The pass that reaches the limit is the last one.
        if (f.nPasses >= nMaxPasses) {
            f.StopRunning();
            bStoppedAtLimit = true;
        }
        if (bAuto) {
            if (f.bResultShown) f.OnResultRelease();
            else if (f.Char(0) && f.Char(0)->bMessage) f.OnLButtonUp(-1, -1);  // the message's click
            else if (f.ActiveNpc >= 0 && f.ActiveNpc < 4) f.OnKeyUp('A');
        }
        // A new battle message (a theft's) gets a line of its own.
        if (f.MessageText != strMessage) {
            strMessage = f.MessageText;
            if (!strMessage.empty()) std::printf("message %s\n", strMessage.c_str());
        }
        std::printf("%lld", static_cast<long long>(f.nPasses));
        for (int s = 0; s < kFightSlots; ++s) {
            const CFightChar* c = f.Char(s);
            if (!c || c->IsEmpty()) std::printf(",,,,");
            else std::printf(",%u,%d,%d,%d", c->timeRecovered, c->Action, c->HP, c->MP);
        }
        std::printf(",%d,%d,%u\n", f.ActiveNpc, f.MenuState(), TimeGetTime() - dwStart);
    }
};

// Level 0 of member m's level table: life, mana, attack and defence.
void SetLevelZero(CPlayer& record, int m) {
    record.nMember = m;
    const LevelRow* pRow = pGameData ? pGameData->GetLevel(m, 0) : nullptr;
    if (!pRow) return;
    record.nLife = record.nLifeMax = pRow->nLife;
    record.nMana = record.nManaMax = pRow->nMana;
    record.nAttack = pRow->nAttack;
    record.nDefence = pRow->nDefence;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: battleprobe DIR BG E1 [E2 E3] [--input FILE] [--seed N] [--items ID:N,...] "
                 "[--skills ID,...] [--money N] [--max-passes N] [--members ID,...] [--life ID:HP,...] "
                 "[--tall ROW:EVENT,...] "
                 "[--del-tall MEMBER:EVENT,...] [--scene S] [--talk-shots PREFIX]\n");
    return 2;
}

// Reads "a[:b],a[:b],..." into pairs (b is 1 when left out); false on anything else.
bool ParsePairs(const char* psz, std::vector<std::pair<int, int>>* pPairs) {
    std::stringstream in(psz);
    std::string part;
    while (std::getline(in, part, ',')) {
        char* pEnd = nullptr;
        const long a = std::strtol(part.c_str(), &pEnd, 10);
        if (pEnd == part.c_str()) return false;
        long b = 1;
        if (*pEnd == ':') {
            const char* pB = pEnd + 1;
            b = std::strtol(pB, &pEnd, 10);
            if (pEnd == pB) return false;
        }
        if (*pEnd) return false;
        pPairs->emplace_back(int(a), int(b));
    }
    return !pPairs->empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Usage();
    std::vector<int> numbers;
    std::string strInput;
    unsigned nSeed = 0;
    bool bSeed = false;
    std::vector<std::pair<int, int>> items, skills;
    int nMoney = 0;
    long long nMaxPasses = 200000;
    std::vector<std::pair<int, int>> memberPairs, lifePairs;
    ProbeTalkOptions talkOptions;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--members") == 0 && i + 1 < argc) {
            if (!ParsePairs(argv[++i], &memberPairs)) return Usage();
            continue;
        }
        if (std::strcmp(argv[i], "--life") == 0 && i + 1 < argc) {
            if (!ParsePairs(argv[++i], &lifePairs)) return Usage();
            continue;
        }
        if (std::strcmp(argv[i], "--tall") == 0 && i + 1 < argc) {
            if (!ParsePairs(argv[++i], &talkOptions.tall)) return Usage();
            continue;
        }
        if (std::strcmp(argv[i], "--del-tall") == 0 && i + 1 < argc) {
            if (!ParsePairs(argv[++i], &talkOptions.delTall)) return Usage();
            continue;
        }
        if (std::strcmp(argv[i], "--scene") == 0 && i + 1 < argc) {
            talkOptions.nScene = std::atoi(argv[++i]);
            if (talkOptions.nScene < 0 || talkOptions.nScene >= kSceneTableCount) return Usage();
            continue;
        }
        if (std::strcmp(argv[i], "--talk-shots") == 0 && i + 1 < argc) {
            talkOptions.strShotPrefix = argv[++i];
            continue;
        }
        if (std::strcmp(argv[i], "--max-passes") == 0 && i + 1 < argc) {
            nMaxPasses = std::strtoll(argv[++i], nullptr, 10);
            if (nMaxPasses < 1) return Usage();
            continue;
        }
        if (std::strcmp(argv[i], "--money") == 0 && i + 1 < argc) {
            nMoney = std::max(0, std::atoi(argv[++i]));
            continue;
        }
        if (std::strcmp(argv[i], "--items") == 0 && i + 1 < argc) {
            if (!ParsePairs(argv[++i], &items)) return Usage();
            continue;
        }
        if (std::strcmp(argv[i], "--skills") == 0 && i + 1 < argc) {
            if (!ParsePairs(argv[++i], &skills)) return Usage();
            continue;
        }
        if (std::strcmp(argv[i], "--input") == 0 && i + 1 < argc) {
            strInput = argv[++i];
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            nSeed = unsigned(std::strtoul(argv[++i], nullptr, 10));
            bSeed = true;
        } else {
            char* pEnd = nullptr;
            const long n = std::strtol(argv[i], &pEnd, 10);
            if (!pEnd || *pEnd) return Usage();
            numbers.push_back(int(n));
        }
    }
    if (numbers.size() < 2 || numbers.size() > 4) return Usage();
    setenv("GAME_HEADLESS", "1", 1);  // no window, and no display is probed
    UseVirtualClock(true, 1000, 20);
    if (bSeed) Srand(nSeed);

    CGameData data;
    data.InitPaths(argv[1]);
    pGameData = &data;
    if (!data.LoadBaseData()) {
        std::fprintf(stderr, "battleprobe: %s\n", data.GetLastError().c_str());
        return 1;
    }
    CDXScreen screen;
    if (screen.CreateWindowed(nullptr, 800, 600) != 0) {
        std::fprintf(stderr, "battleprobe: no screen\n");
        return 1;
    }
    pScreen = &screen;
    pBack = screen.GetBack();
    CBitmapData store;
    if (!store.Init()) {
        std::fprintf(stderr, "battleprobe: %s\n", store.GetError().c_str());
        return 1;
    }
    pBitmapData = &store;
    CEffectManager effects;
    pEffectManager = &effects;

    std::vector<int> members;
    for (const auto& [nId, nUnused] : memberPairs) {
        (void)nUnused;
        if (nId < 1 || nId > 3 || std::find(members.begin(), members.end(), nId) != members.end()) {
            std::fprintf(stderr, "battleprobe: member %d is not one of 1..3 named once\n", nId);
            return 2;
        }
        members.push_back(nId);
    }
    // The main window that runs the talk events comes before the hero: it starts without one.
    CProbeTalk talk;
    if (talkOptions.Wanted()) {
        std::string strError;
        if (!talk.SetUp(talkOptions, members, &strError)) {
            std::fprintf(stderr, "battleprobe: %s\n", strError.c_str());
            return 1;
        }
    }

    CPlayer hero;
    SetLevelZero(hero, 0);
    hero.nPartyMask = 1;
    hero.pPartyMembers[0] = &hero;
    std::vector<std::unique_ptr<CPlayer>> memberRecords;
    for (int nId : members) {
        memberRecords.push_back(std::make_unique<CPlayer>());
        SetLevelZero(*memberRecords.back(), nId);
        hero.nPartyMask |= 1 << nId;
        hero.pPartyMembers[nId] = memberRecords.back().get();
    }
    for (const auto& [nId, nLife] : lifePairs) {
        CPlayer* pRecord = nId >= 0 && nId < 4 ? hero.pPartyMembers[nId] : nullptr;
        if (!pRecord || nLife < 0) {
            std::fprintf(stderr, "battleprobe: life %d:%d names no member of the party or a life below 0\n", nId, nLife);
            return 2;
        }
        pRecord->nLife = std::min(nLife, pRecord->nLifeMax);
    }
    for (const auto& [nItem, nCount] : items) {
        if (nItem < 0 || nItem >= kHeroItemCount || nCount < 0) {
            std::fprintf(stderr, "battleprobe: item %d:%d is outside 0..%d\n", nItem, nCount, kHeroItemCount - 1);
            return 2;
        }
        hero.nItemCount[nItem] = std::min(nCount, kHeroMaxItemCount);
    }
    for (const auto& [nSkill, nUnused] : skills) {
        (void)nUnused;
        if (nSkill < 0 || nSkill >= kHeroSkillCount) {
            std::fprintf(stderr, "battleprobe: skill %d is outside 0..%d\n", nSkill, kHeroSkillCount - 1);
            return 2;
        }
        hero.nSkillKnown[nSkill] = 1;
    }
    hero.nMoney = nMoney;
    pPlayer = &hero;

    // The cursor the input script moves (not drawn: there is no cursor picture).
    CMouse mouse;
    pMouse = &mouse;
    // The game's picture links: sculpt anchors, and the cursor the fighters' frames are
    // hit-tested against (a click on a fighter picks it).
    InstallShellPictureLinks();
    CProbe probe;
    if (talkOptions.Wanted()) probe.pTalk = &talk;
    if (!strInput.empty()) {
        std::ifstream in(strInput, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "battleprobe: cannot read %s\n", strInput.c_str());
            return 1;
        }
        std::stringstream text;
        text << in.rdbuf();
        if (LoadInputScriptText(text.str(), strInput) != 0) return 1;
        // Script times count from now; frame shots count as the frames go by.
        DWORD dwLast = 0;
        for (const ScriptEvent& e : ParseInputScript(text.str(), strInput).events)
            if (!e.bAtFrame) dwLast = std::max(dwLast, e.dwWhen);
        probe.bAuto = false;
        probe.dwAutoFrom = TimeGetTime() + dwLast + 2000;
    }
    probe.nMaxPasses = nMaxPasses;
    SetFightObserver(&probe);
    int nResult = 0;
    {
        CFight fight;
        CSeededDraws draws;
        if (bSeed) fight.SetDraws(&draws);
        numbers.push_back(-2);
        fight.Init(numbers[0], numbers.data() + 1, int(numbers.size()) - 1);
        talk.SetMemberTalks(fight);
        nResult = fight.Run();
    }
    SetFightObserver(nullptr);
    if (nResult != 0) {
        std::printf("result %d\nmoney %d\nexperience %d\nhero hp %d mp %d\n", nResult, hero.nMoney, hero.nExperience,
                    hero.nLife, hero.nMana);
        for (size_t i = 0; i < members.size(); ++i)
            std::printf("member %d hp %d mp %d\n", members[i], memberRecords[i]->nLife, memberRecords[i]->nMana);
    }
    if (talkOptions.Wanted()) std::printf("talk bar %s\n", talk.BarLayout());
    talk.TearDown();
    RemoveShellPictureLinks();
    pMouse = nullptr;
    pPlayer = nullptr;
    pEffectManager = nullptr;
    pBitmapData = nullptr;
    pBack = nullptr;
    pScreen = nullptr;
    pGameData = nullptr;
    if (nResult == 0) {
        if (probe.bStoppedAtLimit)
            std::fprintf(stderr, "battleprobe: the battle had no result after %lld passes\n",
                         static_cast<long long>(probe.nPassesRun));
        else
            std::fprintf(stderr, "battleprobe: the battle was quit after %lld passes, before a result\n",
                         static_cast<long long>(probe.nPassesRun));
        return 3;
    }
    return 0;
}
