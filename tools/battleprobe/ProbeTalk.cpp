#include "tools/battleprobe/ProbeTalk.h"

#include <cstdio>

#include "battle/Fight.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "platform/Charset.h"
#include "platform/Window.h"
#include "shell/BattleTalkLink.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/ShellGlobals.h"
#include "shell/UiShellLink.h"
#include "ui/ShellServices.h"
#include "ui/menus/TalkBar.h"

namespace {

// Where the probe's own clicks go: above the fighters, beside the menus.
constexpr int kClickX = 400, kClickY = 20;

}  // namespace

CProbeTalk::CProbeTalk() = default;

CProbeTalk::~CProbeTalk() { TearDown(); }

bool CProbeTalk::SetUp(const ProbeTalkOptions& options, const std::vector<int>& members, std::string* pError) {
    m_options = options;
    if (!pGameData || !pGameData->LoadScript()) {
        *pError = pGameData ? pGameData->GetLastError() : "no game data";
        return false;
    }
    for (const auto& [nRow, nEvent] : options.tall) {
        if (nRow < 0 || nRow >= pGameData->nFightNpcCount) {
            *pError = "enemy row " + std::to_string(nRow) + " is not in the table";
            return false;
        }
        pGameData->pFightNpc[nRow].nTall = nEvent;
    }
    m_pUiLink = new CShellUiLink;
    SetUiShell(m_pUiLink);
    pFrame = new CMainFrame;
    pFrame->m_nScreenWidth = 800;
    pFrame->m_nScreenHeight = 600;
    pFrame->m_nCurrentScene = options.nScene;
    pFrame->m_bInGame = 1;
    pFrame->m_nPartyIds[0] = 0;
    pFrame->m_nPartyCount = 1;
    for (int nId : members) pFrame->m_nPartyIds[pFrame->m_nPartyCount++] = nId;
    pFrame->m_pMenuManager = new CMenuManager;
    pFrame->m_pMenuManager->m_nGameMode = 3;
    pFrame->m_pMenuManager->m_pFaceTalkBar = new CFaceTalkBar;
    pFrame->m_pMenuManager->m_pFaceTalkBar->Init();
    m_pLink = new CBattleTalkLink;
    SetFightScriptLink(m_pLink);
    return true;
}

void CProbeTalk::SetMemberTalks(CFight& fight) const {
    for (const auto& [nMember, nEvent] : m_options.delTall)
        for (int s = 0; s < kFightPartySlots; ++s)
            if (fight.Filled(s) && fight.Char(s)->nMember == nMember) fight.Char(s)->DelTall = nEvent;
}

CFaceTalkBar* CProbeTalk::Bar() const {
    return pFrame && pFrame->m_pMenuManager ? pFrame->m_pMenuManager->m_pFaceTalkBar : nullptr;
}

void CProbeTalk::OnPass(CFight& fight, bool bAuto) {
    CFaceTalkBar* pBar = Bar();
    if (!pBar) return;
    const bool bShown = !pBar->m_bFinished;
    const int nStep = pFrame->CurrentScript;
    if (bShown && (!m_bShown || nStep != m_nStep)) {
        const ScriptCommand* pLine =
            pGameData->pScriptData ? pGameData->pScriptData->GetCommand(pFrame->m_nCurrentScene, nStep) : nullptr;
        std::printf("talk %lld %d %s\n", static_cast<long long>(fight.nPasses), pBar->m_nFace,
                    pLine ? TextToUtf8(pFrame->GetSceneText(pLine->a2)).c_str() : "");
        ++m_nLines;
        m_bShot = false;
    } else if (!bShown && m_bShown) {
        std::printf("talk %lld end\n", static_cast<long long>(fight.nPasses));
    }
    m_bShown = bShown;
    m_nStep = nStep;
    // The last presented frame shows the whole page once it is full.
    const bool bTyped = bShown && pBar->IsPageFull();
    if (bTyped && !m_bShot) {
        m_bShot = true;
        if (!m_options.strShotPrefix.empty()) {
            const std::string strPath = m_options.strShotPrefix + "-" + std::to_string(m_nLines) + ".png";
            if (!SaveScreenshotPng(strPath.c_str()))
                std::fprintf(stderr, "battleprobe: cannot write %s\n", strPath.c_str());
        }
    }
    // The reader's click: the button goes down on a typed line and up once one frame
    // has seen it held (the line or the page has changed).
    if (m_bButtonDown && !bTyped) {
        InjectMouseButton(VK_LBUTTON, false, kClickX, kClickY);
        m_bButtonDown = false;
    } else if (bAuto && bTyped && !m_bButtonDown) {
        InjectMouseButton(VK_LBUTTON, true, kClickX, kClickY);
        m_bButtonDown = true;
    }
}

const char* CProbeTalk::BarLayout() const {
    const CFaceTalkBar* pBar = Bar();
    return pBar && pBar->m_nNarrow ? "narrow" : "wide";
}

void CProbeTalk::TearDown() {
    if (m_pLink) SetFightScriptLink(nullptr);
    delete m_pLink;
    m_pLink = nullptr;
    delete pFrame;
    pFrame = nullptr;
    if (m_pUiLink) SetUiShell(nullptr);
    delete m_pUiLink;
    m_pUiLink = nullptr;
}
