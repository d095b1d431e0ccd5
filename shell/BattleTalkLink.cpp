#include "shell/BattleTalkLink.h"

#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/TalkBar.h"

namespace {

constexpr int kTalkCommand = 4;
constexpr int kTalkMode = 9;

}  // namespace

int CBattleTalkLink::StartSubScript(int nEvent) {
    if (!pFrame) return -1;
    if (m_nModeBefore == -1) m_nModeBefore = pFrame->GetGameMode();
    return pFrame->StartSubScript(nEvent);
}

bool CBattleTalkLink::ShowTalkLine() {
    CFaceTalkBar* pBar = TalkBar();
    CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
    if (!pBar || !pData) return false;
    CMainFrame& frame = *pFrame;
    // Only a talk line of the running sub-script is shown: any other step ends the talk.
    if (frame.CurrentScript < frame.FirstScript || frame.CurrentScript > frame.EndScript) return false;
    ScriptCommand* pLine = pData->GetCommand(frame.m_nCurrentScene, frame.CurrentScript);
    if (!pLine || pLine->nCommand != kTalkCommand) return false;
    if (pBitmapData) pBitmapData->FreeTx();
    pBar->m_nClickPending = 0;
    // The follow-on flag speaks for the line on show only: a flag left over from an
    // earlier talk would start this line again every frame before it could be read.
    pBar->m_nFollowOn = 0;
    frame.pScript = pLine;
    frame.ShowTalk(pLine->a1, frame.GetSceneText(pLine->a2));
    return true;
}

void CBattleTalkLink::RestoreScript() {
    if (!pFrame) return;
    pFrame->RestoreSubScript();
    // A talk the battle's end cut short leaves no talk mode behind on the map.
    if (m_nModeBefore != -1 && pFrame->m_pMenuManager && pFrame->m_pMenuManager->m_nGameMode == kTalkMode)
        pFrame->m_pMenuManager->m_nGameMode = m_nModeBefore;
}

CFaceTalkBar* CBattleTalkLink::TalkBar() const {
    return pFrame && pFrame->m_pMenuManager ? pFrame->m_pMenuManager->m_pFaceTalkBar : nullptr;
}
