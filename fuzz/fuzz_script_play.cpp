// Script commands played: the input is a list of steps (seven words each: the command
// number and a1 to a6) split into a few events of the sample town, run for a few
// hundred frames of the scheduler on the virtual clock with the real scene change,
// walks and battles. Any sanitizer report or crash is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/SceneLink.h"
#include "shell/ScriptWorld.h"
#include "shell/ShellGlobals.h"
#include "tools/gamekit/SampleScenes.h"
#include "tools/gamekit/ScriptWriter.h"
#include "world/EffectManager.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

constexpr int kEvents = 4, kFrames = 300, kMaxSteps = 64;

// The sample town written once into a folder of its own, made current.
bool EnterTown() {
    static bool s_bDone = false, s_bOk = false;
    if (s_bDone) return s_bOk;
    s_bDone = true;
    char szDir[] = "/tmp/fuzz-script-play-XXXXXX";
    if (!mkdtemp(szDir)) return false;
    std::string why;
    s_bOk = WriteSampleScenes(szDir, &why) && SetCurrentDirectory(szDir);
    return s_bOk;
}

// The input as steps: every 28 bytes one command; the events share the steps in turn.
CScriptData* BuildScript(const std::uint8_t* pData, size_t nSize) {
    std::vector<ScriptSceneModel> scenes(1);
    ScriptSceneModel& scene = scenes[0];
    scene.bHasBlock = true;
    scene.texts = {"a", "b\\nc\\nd"};
    const size_t nSteps = std::min<size_t>(nSize / 28, kMaxSteps);
    for (size_t i = 0; i < nSteps; ++i) {
        ScriptCommand c{};
        std::int32_t* pWords = &c.nCommand;
        for (int w = 0; w < 7; ++w) pWords[w] = LittleI32(pData + 28 * i + 4 * size_t(w));
        // The bank's box waits for an answer nothing here gives.
        if (c.nCommand == 66) c.nCommand = 0;
        scene.commands.push_back(c);
    }
    const int nPer = int(nSteps + kEvents - 1) / kEvents;
    for (int e = 0; e < kEvents; ++e) {
        scene.events.push_back(OpenEventRecord());
        const int nFirst = e * nPer, nLast = std::min<int>(int(nSteps), nFirst + nPer) - 1;
        if (nFirst <= nLast) scene.subEvents.push_back(SubEvent{e, nFirst, nLast});
    }
    const std::vector<std::uint8_t> bytes = BuildScriptFile(scenes);
    auto* pScript = new CScriptData;
    CByteReader reader(bytes, "script.dat");
    if (!pScript->LoadEventTables(reader) || !pScript->LoadScripts(reader)) {
        delete pScript;
        return nullptr;
    }
    return pScript;
}

void SetUpWorld() {
    UseVirtualClock(true, 1000, 20);
    ResetMessageQueue();
    pGameData = new CGameData;
    pEffectManager = new CEffectManager;
    pMouse = new CMouse;
    pFrame = new CMainFrame;
    pFrame->m_pMenuManager = new CMenuManager;
    pFrame->m_pMenuManager->m_nGameMode = 3;
    pFrame->m_bInGame = 1;
    pFrame->m_nScreenWidth = 800;
    pFrame->m_nScreenHeight = 600;
    pFrame->m_bFullScreen = 0;
    pFrame->CreateMainWindow();
    pScreen = new CDXScreen;
    pScreen->CreateWindowed(pFrame, 800, 600);
    pBack = pScreen->GetBack();
    pPlayer = new CPlayer;
    InstallSceneLinks();
    SetScriptWorld(nullptr);
}

void TearDownWorld() {
    delete pFrame;
    pFrame = nullptr;
    delete pPlayer;
    pPlayer = nullptr;
    delete pMouse;
    pMouse = nullptr;
    delete pEffectManager;
    pEffectManager = nullptr;
    delete pGameData;
    pGameData = nullptr;
    SetMapLink(nullptr);
    delete pScreen;
    pScreen = nullptr;
    pBack = nullptr;
    SetSceneHost(nullptr);
    ResetMessageQueue();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    static bool s_bHeadless = (setenv("GAME_HEADLESS", "1", 1), true);
    (void)s_bHeadless;
    if (!EnterTown()) std::abort();
    SetUpWorld();
    pGameData->pScriptData = BuildScript(pData, nSize);
    std::string why;
    if (pGameData->pScriptData && MakeScene(0, &why)) {
        pFrame->m_nCurrentScene = 0;
        pFrame->m_bRunning = 1;
        pPlayer->SetMapPosAndHome(600, 500);
        // The button held down ends the modal talk text after its first second.
        InjectMouseButton(VK_LBUTTON, true, 400, 300, false);
        for (int nFrame = 0; nFrame < kFrames; ++nFrame) {
            if (pFrame->nEventId < 0) pFrame->StartEvent(nFrame % kEvents);
            if (nFrame % 5 == 4) pFrame->bAnswerGiven = 1;
            AdvanceVirtualClock(20);
            dwNowTime = TimeGetTime();
            pFrame->UpdateScript();
            if (pFrame->pScript && pFrame->m_bViewMove && pScene) MapLink().FollowScriptView(pFrame->pScript);
            // The ending and the party files may replace the world: play on in a new one.
            if (!pScene && !MakeScene(0, &why)) break;
            if (!pPlayer) pPlayer = new CPlayer;
            pFrame->m_bRunning = 1;
        }
    }
    pFrame->nEventId = -1;
    pFrame->pScript = nullptr;
    TearDownWorld();
    return 0;
}
