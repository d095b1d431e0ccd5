// Running one battle from the main window: the music around it, the battle link for
// the input handlers, and the return to the title after a defeat.
#include <memory>

#include "battle/Fight.h"
#include "battle/FightLink.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "shell/BattleTalkLink.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"

namespace {

// Stops the hero on his cell when there is a scene to stand in.
void StopHeroForBattle() {
    if (pScene && MapLink().HasHero()) MapLink().StopHero();
}

}  // namespace

int CMainFrame::Fighting(int nBackground, int nEnemy1, int nEnemy2, int nEnemy3, BYTE bFlag) {
    (void)bFlag;
    OnBeforeFight();
    StopHeroForBattle();
    m_mp3.Pause();
    m_mp3.Resume();
    // The battle's talk reaches the event scripts and the face talk bar while it runs.
    CBattleTalkLink talk;
    SetFightScriptLink(&talk);
    auto pBattle = std::make_unique<CFight>();
    CFightLink link(pBattle.get());
    SetBattleLink(&link);
    const int enemies[4] = {nEnemy1, nEnemy2, nEnemy3, -2};
    pBattle->Init(nBackground, enemies, 4);
    // Each battle grants three stunts.
    pBattle->nStunts = 3;
    m_mp3.Stop();
    if (m_bMusicOn) PlayMusic(40);
    if (pMouse) pMouse->SetShape(3);
    // A battle whose background cannot be shown is not fought (0): it is neither won
    // nor lost.
    const bool bFought = !pBattle->bNoBackground;
    const int nResult = bFought ? pBattle->Run() : 0;
    const bool bQuit = bFought && !pBattle->bRunning;
    m_mp3.Pause();
    if (nResult == 2 && !bQuit) {
        delete pScene;
        pScene = nullptr;
        if (m_pMenuManager) m_pMenuManager->m_nGameMode = 0;
        m_bInGame = 0;
        ShowStartPicture();
        if (m_pMenuManager) m_pMenuManager->CreateTitleMenu();
        // The lost battle ends its event: no talk's saved registers come back after it.
        RestoreSubScript();
        nEventId = -1;
        CurrentScript = -1;
        m_nPartyCount = 1;
    } else {
        m_mp3.Stop();
    }
    SetBattleLink(nullptr);
    pBattle.reset();
    SetFightScriptLink(nullptr);
    m_mp3.Stop();
    if (pBitmapData) pBitmapData->FreeEffectFrames();
    if (m_bMusicOn && pGameData && !bQuit) PlayMusic(pGameData->GetSceneMusic(m_nCurrentScene));
    if (pMouse) pMouse->SetShape(0);
    StopHeroForBattle();
    return nResult;
}
