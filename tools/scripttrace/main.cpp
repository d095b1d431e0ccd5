// scripttrace: runs one event of a game folder headless, frame by frame, and prints
// what the script engine does: every start (result, state byte and run counter before
// and after), every command (step, name, operands, ending), every poll of a waiting
// command, and after each frame the registers, the game mode and the pending events,
// then the hero's money, items and tasks and the party where they changed.
//
//   scripttrace DIR --scene S --event E --frames N [--repeat] [--click F]...
//               [--ctrl-left F]... [--answer F:K]...
//
// The scene's map is not loaded: commands that need it do nothing and their waits end.
// --repeat retries the start in every frame in which no event runs, as a region does.
// --click F clicks the open talk bar in frame F (a face talk line is read to its end;
// a question is clicked beside its answers); --answer F:K picks answer K (1..3) of the
// question in frame F; --ctrl-left F holds Ctrl and the left button during frame F.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "gamedata/ScriptNames.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ScriptWatch.h"
#include "shell/ShellGlobals.h"
#include "shell/UiShellLink.h"
#include "ui/menus/TalkBar.h"
#include "world/EffectManager.h"
#include "world/Player.h"

namespace {

// A required number not given.
constexpr int kUnset = -1;
constexpr long kMaxFrames = 100000;

struct Options {
    std::string strDir;
    int nScene = kUnset, nEvent = kUnset, nFrames = kUnset;
    bool bRepeat = false;
    std::set<int> clicks, ctrlLeft;
    std::map<int, int> answers;
};

const char kUsage[] =
    "usage: scripttrace DIR --scene S --event E --frames N [--repeat] [--click F] [--ctrl-left F] [--answer F:K]\n";

int Usage(const char* pszWhy) {
    std::fprintf(stderr, "scripttrace: %s\n%s", pszWhy, kUsage);
    return 2;
}

// A whole number (one too long for a long reads as the nearest end); false for text
// that is not one.
bool ParseNumber(const char* psz, long* pValue) {
    char* pEnd = nullptr;
    const long n = std::strtol(psz, &pEnd, 10);
    if (!psz[0] || *pEnd) return false;
    *pValue = n;
    return true;
}

// A number an option needs, in [nMin, nMax]; the reason names the option.
bool TakeNumber(const std::string& strOption, const char* pszText, long nMin, long nMax, int* pValue,
                std::string* pWhy) {
    long n = 0;
    if (!pszText) {
        *pWhy = strOption + " needs a number after it";
        return false;
    }
    if (!ParseNumber(pszText, &n)) {
        *pWhy = strOption + " needs a number, not '" + pszText + "'";
        return false;
    }
    if (n < nMin || n > nMax) {
        *pWhy = strOption + " must be " + std::to_string(nMin) + ".." + std::to_string(nMax) + ", not " + pszText;
        return false;
    }
    *pValue = int(n);
    return true;
}

bool ParseOptions(int argc, char** argv, Options* pOut, std::string* pWhy) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](int* pValue, long nMin, long nMax) {
            const char* pszText = i + 1 < argc ? argv[++i] : nullptr;
            return TakeNumber(arg, pszText, nMin, nMax, pValue, pWhy);
        };
        int n = 0;
        if (arg == "--scene") {
            if (!value(&pOut->nScene, 0, kSceneTableCount - 1)) return false;
        } else if (arg == "--event") {
            if (!value(&pOut->nEvent, 0, 1000000)) return false;
        } else if (arg == "--frames") {
            if (!value(&pOut->nFrames, 0, kMaxFrames)) return false;
        } else if (arg == "--repeat") {
            pOut->bRepeat = true;
        } else if (arg == "--click") {
            if (!value(&n, 1, kMaxFrames)) return false;
            pOut->clicks.insert(n);
        } else if (arg == "--ctrl-left") {
            if (!value(&n, 1, kMaxFrames)) return false;
            pOut->ctrlLeft.insert(n);
        } else if (arg == "--answer") {
            const char* psz = i + 1 < argc ? argv[i + 1] : "";
            const char* pColon = std::strchr(psz, ':');
            long f = 0, k = 0;
            if (!pColon || !ParseNumber(std::string(psz, pColon).c_str(), &f) || !ParseNumber(pColon + 1, &k) ||
                f < 1 || f > kMaxFrames || k < 1 || k > 3) {
                *pWhy = "--answer needs FRAME:K with K 1..3, not '" + std::string(psz) + "'";
                return false;
            }
            pOut->answers[int(f)] = int(k);
            ++i;
        } else if (!arg.empty() && arg[0] == '-') {
            *pWhy = "unknown option '" + arg + "'";
            return false;
        } else if (pOut->strDir.empty()) {
            pOut->strDir = arg;
        } else {
            *pWhy = "one game folder only: '" + pOut->strDir + "' and '" + arg + "'";
            return false;
        }
    }
    if (pOut->strDir.empty()) *pWhy = "no game folder";
    else if (pOut->nScene == kUnset) *pWhy = "--scene is missing";
    else if (pOut->nEvent == kUnset) *pWhy = "--event is missing";
    else if (pOut->nFrames == kUnset) *pWhy = "--frames is missing";
    return pWhy->empty();
}

std::string Operands(const ScriptCommand& c) {
    char sz[128];
    std::snprintf(sz, sizeof sz, "%d %d %d %d %d %d", c.a1, c.a2, c.a3, c.a4, c.a5, c.a6);
    return sz;
}

// The text a talk command shows, for the reader of the trace.
std::string TalkText(const ScriptCommand& c) {
    if (!pFrame) return "";
    if (c.nCommand == 4) return " \"" + TextToUtf8(pFrame->GetSceneText(c.a2)) + "\"";
    if (c.nCommand == 42) return " \"" + TextToUtf8(pFrame->GetSceneText(c.a2 - 1)) + "\"";
    return "";
}

class CPrintingWatcher : public CScriptWatcher {
public:
    void OnStart(int nEvent, int nResult, int nStateBefore, int nStateAfter, int nRunsBefore, int nRunsAfter) override {
        std::printf("  start %d -> %d  state %d->%d  runs %d->%d\n", nEvent, nResult, nStateBefore, nStateAfter,
                    nRunsBefore, nRunsAfter);
    }
    void OnCommand(int nStep, const ScriptCommand& c, ScriptEnding ending, bool bSkipped) override {
        std::printf("  step %d %s(%d) %s -> %s%s%s\n", nStep, ScriptCommandName(c.nCommand), c.nCommand,
                    Operands(c).c_str(), ScriptEndingName(ending), bSkipped ? " skipped" : "", TalkText(c).c_str());
    }
    void OnPoll(int nStep, const ScriptCommand& c, bool bContinued) override {
        std::printf("  poll step %d %s(%d) -> %s\n", nStep, ScriptCommandName(c.nCommand), c.nCommand,
                    bContinued ? "continue" : "wait");
    }
};

// The reader's click on the open talk bar.
void ClickTalkBar(CMenuManager& menus) {
    if (menus.m_nGameMode == 9 && menus.m_pFaceTalkBar) {
        // Types the speech page by page and turns each page, as a reader clicking through.
        CFaceTalkBar& bar = *menus.m_pFaceTalkBar;
        for (int i = 0; i < 100000 && !bar.m_bFinished; ++i) {
            if (bar.IsPageFull()) {
                bar.NextLine(0);
            } else {
                bar.TakeChar();
                bar.PutChar();
            }
        }
        return;
    }
    if (menus.m_nGameMode == 15 && menus.m_pChoiceTalkBar) {
        pMouse->m_nX = pMouse->m_nY = 0;
        menus.m_pChoiceTalkBar->OnLButtonUp(0);
    }
}

void AnswerQuestion(CMenuManager& menus, int k) {
    if (menus.m_nGameMode != 15 || !menus.m_pChoiceTalkBar) return;
    const RECT& rc = menus.m_pChoiceTalkBar->GetLineRect(k);
    pMouse->m_nX = (rc.left + rc.right) / 2;
    pMouse->m_nY = (rc.top + rc.bottom) / 2;
    menus.m_pChoiceTalkBar->OnLButtonUp(0);
}

// What the hero and the party hold; after each frame the changes are printed.
struct HeroSnapshot {
    int nMoney = 0;
    int items[kHeroItemCount] = {};
    int tasks[kHeroTaskCount] = {};
    int ids[4] = {};
    int nCount = 0, nMask = 0;
    bool members[4] = {};
};

HeroSnapshot TakeSnapshot() {
    HeroSnapshot s;
    if (pPlayer) {
        s.nMoney = pPlayer->nMoney;
        for (int i = 0; i < kHeroItemCount; ++i) s.items[i] = pPlayer->nItemCount[i];
        for (int i = 0; i < kHeroTaskCount; ++i) s.tasks[i] = pPlayer->nTaskState[i];
        s.nMask = pPlayer->nPartyMask;
    }
    for (int i = 0; i < 4; ++i) {
        s.ids[i] = pFrame->m_nPartyIds[i];
        s.members[i] = pParty[i] != nullptr;
    }
    s.nCount = pFrame->m_nPartyCount;
    return s;
}

void PrintChanges(const HeroSnapshot& a, const HeroSnapshot& b) {
    if (a.nMoney != b.nMoney) std::printf("  money %d -> %d\n", a.nMoney, b.nMoney);
    for (int i = 0; i < kHeroItemCount; ++i)
        if (a.items[i] != b.items[i]) std::printf("  item %d: %d -> %d\n", i, a.items[i], b.items[i]);
    for (int i = 0; i < kHeroTaskCount; ++i)
        if (a.tasks[i] != b.tasks[i]) std::printf("  task %d: %d -> %d\n", i, a.tasks[i], b.tasks[i]);
    bool bParty = a.nCount != b.nCount || a.nMask != b.nMask;
    for (int i = 0; i < 4; ++i) bParty = bParty || a.ids[i] != b.ids[i] || a.members[i] != b.members[i];
    if (bParty) {
        std::printf("  party count %d ids %d %d %d %d mask 0x%x members", b.nCount, b.ids[0], b.ids[1], b.ids[2],
                    b.ids[3], unsigned(b.nMask));
        for (int i = 0; i < 4; ++i) std::printf(" %c", b.members[i] ? 'M' : '-');
        std::printf("\n");
    }
}

void PrintFrame(int nFrame) {
    const CMainFrame& f = *pFrame;
    std::printf("frame %d: event %d step %d [%d..%d] goon %d mode %d pending %d %d %d %d %d\n", nFrame,
                f.nEventId, f.CurrentScript, f.FirstScript, f.EndScript, int(f.bScriptGoOn),
                f.GetGameMode(), f.m_nPendingEvents[0], f.m_nPendingEvents[1], f.m_nPendingEvents[2],
                f.m_nPendingEvents[3], f.m_nPendingEvents[4]);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("%s", kUsage);
        return 0;
    }
    Options options;
    std::string why;
    if (!ParseOptions(argc, argv, &options, &why)) return Usage(why.c_str());
    setenv("GAME_HEADLESS", "1", 1);
    UseVirtualClock(true, 1000, 20);
    if (!SetCurrentDirectory(options.strDir.c_str())) {
        std::fprintf(stderr, "scripttrace: %s: cannot enter the folder\n", options.strDir.c_str());
        return 1;
    }
    nCharSet = 134;
    CShellUiLink uiLink;
    SetUiShell(&uiLink);
    pGameData = new CGameData;
    pGameData->InitPaths(nullptr);
    pGameData->LoadOptions();
    int nResult = 0;
    if (!pGameData->LoadScript()) {
        std::fprintf(stderr, "scripttrace: %s\n", pGameData->GetLastError().c_str());
        nResult = 1;
    } else {
        pEffectManager = new CEffectManager;
        pMouse = new CMouse;
        pFrame = new CMainFrame;
        pFrame->m_nScreenWidth = 800;
        pFrame->m_nScreenHeight = 600;
        pFrame->m_pMenuManager = new CMenuManager;
        // The talk bars draw onto the screen: make the headless one so they exist.
        if (pFrame->CreateMainWindow()) {
            pFrame->InitScreen();
            if (pScreen && pScreen->GetBack()) pFrame->m_pMenuManager->InitMenuData();
        }
        pFrame->m_pMenuManager->m_nGameMode = 3;
        pFrame->m_nCurrentScene = options.nScene;
        pFrame->m_bInGame = 1;
        // The heroine leads the party, as after a new game.
        pFrame->m_nPartyIds[0] = 0;
        pPlayer = new CPlayer;
        CPrintingWatcher watcher;
        SetScriptWatcher(&watcher);
        std::printf("scene %d event %d\n", options.nScene, options.nEvent);
        std::printf("frame 0:\n");
        HeroSnapshot last = TakeSnapshot();
        pFrame->StartEvent(options.nEvent);
        PrintFrame(0);
        CMenuManager& menus = *pFrame->m_pMenuManager;
        for (int nFrame = 1; nFrame <= options.nFrames; ++nFrame) {
            AdvanceVirtualClock(20);
            dwNowTime = TimeGetTime();
            std::printf("frame %d:\n", nFrame);
            const bool bCtrlLeft = options.ctrlLeft.count(nFrame) > 0;
            if (bCtrlLeft) {
                OnKeyEvent(VK_CONTROL, VK_LCONTROL, true, false);
                OnMouseButton(VK_LBUTTON, true, false, 0, 0);
            }
            if (options.clicks.count(nFrame)) ClickTalkBar(menus);
            if (auto it = options.answers.find(nFrame); it != options.answers.end()) AnswerQuestion(menus, it->second);
            if (options.bRepeat && pFrame->nEventId < 0) pFrame->StartEvent(options.nEvent);
            else pFrame->UpdateScript();
            if (bCtrlLeft) {
                OnKeyEvent(VK_CONTROL, VK_LCONTROL, false, false);
                OnMouseButton(VK_LBUTTON, false, false, 0, 0);
            }
            ResetMessageQueue();
            PrintFrame(nFrame);
            const HeroSnapshot now = TakeSnapshot();
            PrintChanges(last, now);
            last = now;
        }
        SetScriptWatcher(nullptr);
        delete pPlayer;
        pPlayer = nullptr;
        for (CPlayer*& pMember : pParty) {
            delete pMember;
            pMember = nullptr;
        }
        delete pFrame;
        pFrame = nullptr;
        delete pMouse;
        pMouse = nullptr;
        delete pEffectManager;
        pEffectManager = nullptr;
    }
    delete pGameData;
    pGameData = nullptr;
    delete pScreen;
    pScreen = nullptr;
    pBack = nullptr;
    SetUiShell(nullptr);
    return nResult;
}
