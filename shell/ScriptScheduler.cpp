// The event-script scheduler: region starts, the interpreter loop, the polls of waiting
// commands, the end of an event and the pending events started at the end of a frame.
#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ScriptOperands.h"
#include "shell/ScriptWatch.h"
#include "shell/ScriptWorld.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/TalkBar.h"
#include "world/EffectManager.h"
#include "world/PathFinder.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

CScriptWatcher* s_pWatcher = nullptr;

// The steps of an event of the scene: its first entry in the sub-event table, or null.
const SubEvent* StepsOf(int nScene, int nEvent) {
    const CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
    return pData ? pData->FindSubEvent(nScene, nEvent) : nullptr;
}

// The hero stops where he stands: no goal ahead, no path, standing.
void StopHeroForEvent() {
    if (!pPlayer) return;
    if (pPlayer->nAction == 1) {
        pPlayer->nFrame = 0;
        pPlayer->nFrameCounter = 0;
    }
    pPlayer->ptGoal = pPlayer->ptPos;
    pPlayer->ptNextWaypoint = pPlayer->ptPos;
    if (pPlayer->pPath) pPlayer->pPath->nWaypoints = 0;
    pPlayer->nAction = pPlayer->nSpriteAction = 0;
}

void SetHeroGoalToPosition() {
    if (pPlayer && (pPlayer->ptGoal.x != pPlayer->ptPos.x || pPlayer->ptGoal.y != pPlayer->ptPos.y))
        pPlayer->ptGoal = pPlayer->ptPos;
}

void RestoreTalkFont() {
    if (pBack) pBack->ChangeFont("Arial", 0, 15, nCharSet, 400, 0);
}

// The view centre: the view origin plus half the screen.
POINT ViewCentre() {
    const int sw = pFrame ? pFrame->m_nScreenWidth : 0, sh = pFrame ? pFrame->m_nScreenHeight : 0;
    return POINT{pScene->ptView.x + sw / 2, pScene->ptView.y + sh / 2};
}

}  // namespace

bool CMainFrame::RefuseBadStep(const ScriptCommand& command, int nStep, int nRow) {
    const std::string strWhy = CheckScriptOperands(command, nRow);
    if (strWhy.empty()) return false;
    const std::string strLine =
        ScriptRefusalLine(ScriptPlace{m_nCurrentScene, nEventId, nStep}, command, nRow, strWhy);
    // Said once however often the event comes back to the step.
    ReportFileProblem(strLine);
    if (s_pWatcher) s_pWatcher->OnRefusal(nStep, command, strLine);
    return true;
}

const char* ScriptEndingName(ScriptEnding ending) {
    switch (ending) {
    case ScriptEnding::Now: return "now";
    case ScriptEnding::Next: return "next";
    case ScriptEnding::Wait: return "wait";
    case ScriptEnding::Jump: return "jump";
    }
    return "?";
}

CScriptWatcher* ScriptWatcher() { return s_pWatcher; }
void SetScriptWatcher(CScriptWatcher* pWatcher) { s_pWatcher = pWatcher; }

const char* CMainFrame::GetSceneText(int n) const {
    const CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
    const char* psz = pData ? pData->GetText(m_nCurrentScene, n) : nullptr;
    return psz ? psz : "";
}

int CMainFrame::CheckClickEvents() {
    // A hover only looks: the first event of the region under the cursor that could
    // start is found with the start's own tests, and no state byte, run counter,
    // register or pending click changes, so hovering never uses up an event.
    if (!pScene || !pMouse) return -1;
    const POINT ptCursor{pMouse->m_nX, pMouse->m_nY};
    const int nRegion = pScene->GetCellRegion(ptCursor.x + pScene->ptView.x, ptCursor.y + pScene->ptView.y);
    if (nRegion < 0 || nRegion >= int(pScene->pRegions.size())) return -1;
    const RegionRecord& region = pScene->pRegions[size_t(nRegion)];
    const int nCount = region.nEventCount < kRegionEventCount ? region.nEventCount : kRegionEventCount;
    // An event without steps would not start (the start leaves it with nothing to run),
    // so the region's next event is tried.
    int nEvent = -1;
    for (int i = 0; i < nCount && nEvent < 0; ++i) {
        const int e = region.nEvents[i];
        const SubEvent* pSteps = CanStartEvent(e) ? StepsOf(m_nCurrentScene, e) : nullptr;
        if (pSteps && pSteps->nLastStep >= pSteps->nFirstStep) nEvent = e;
    }
    if (nEvent < 0) return -1;
    // An event that can start here drops the hero's talk target, as the probe of the
    // event would leave it, and takes the way-out shape for the rest of the frame: the
    // characters drawn after this find the cursor taken, and at the frame's end the
    // shape goes back unless the event leads to another scene and its name shows.
    if (pPlayer) pPlayer->nTalkTarget = -1;
    if (!m_bCursorShapeChanged && !HitToolBar() && !PtInRect(kBottomStrip, ptCursor)) {
        pMouse->SetShape(2);
        m_bCursorShapeChanged = 1;
    }
    return ExitOfEvent(nEvent);
}

int CMainFrame::ExitOfEvent(int nEvent) const {
    const CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
    if (!pData) return -1;
    const SubEvent* pSteps = StepsOf(m_nCurrentScene, nEvent);
    if (!pSteps) return -1;
    int nMarked = -1;
    for (int nStep = pSteps->nFirstStep; nStep <= pSteps->nLastStep; ++nStep) {
        const ScriptCommand* pStep = pData->GetCommand(m_nCurrentScene, nStep);
        if (!pStep) break;
        if (pStep->nCommand == 82) nMarked = pStep->a1;
        if (pStep->nCommand != 1) continue;
        return (m_nExitMark == -1 || m_nExitMark != pStep->a1) && nMarked != pStep->a1 ? pStep->a1 : -1;
    }
    return -1;
}

void CMainFrame::UpdateScript() {
    if (nEventId < 0) {
        if (!m_bInGame || !pScene || !pPlayer) return;
        const int nRegion = pScene->GetCellRegion(pPlayer->ptPos.x, pPlayer->ptPos.y);
        int nStarted = -1;
        if (nRegion >= 0 && nRegion < int(pScene->pRegions.size())) {
            const RegionRecord& region = pScene->pRegions[size_t(nRegion)];
            const int nCount = region.nEventCount < kRegionEventCount ? region.nEventCount : kRegionEventCount;
            for (int i = 0; i < nCount && nStarted < 0; ++i) nStarted = StartEvent(region.nEvents[i]);
        }
        if (nStarted < 0) {
            m_nToolTipScene = CheckClickEvents();
            return;
        }
        StopHeroForEvent();
        if (pMouse) pMouse->SetShape(0);
        return;
    }
    if (bScriptGoOn) {
        bScriptGoOn = 1;
        RunScript();
        if (bScriptGoOn && !bSceneEffectWait) ++CurrentScript;
    } else {
        PollScriptWait();
    }
    if (bAnswerGiven) {
        bAnswerGiven = 0;
        ++CurrentScript;
        bScriptGoOn = 1;
        if (m_pMenuManager) {
            m_pMenuManager->m_nGameMode = 3;
            if (m_pMenuManager->m_pChoiceTalkBar) m_pMenuManager->m_pChoiceTalkBar->m_nAnswered = 0;
        }
    }
    if (CurrentScript > EndScript && !bScriptGoOn) {
        if (pPlayer && pPlayer->nAction >= 1) pPlayer->nAction = pPlayer->nSpriteAction = 0;
        SetHeroGoalToPosition();
        GiveTalkDirectionBack();
    }
    if (CurrentScript > EndScript && bScriptGoOn) {
        nEventId = -1;
        CurrentScript = -1;
        if (pPlayer) {
            pPlayer->nTalkTarget = -1;
            if (pPlayer->nAction == 1) pPlayer->nAction = pPlayer->nSpriteAction = 0;
        }
        SetHeroGoalToPosition();
        GiveTalkDirectionBack();
    }
    for (std::int32_t& nPending : m_nPendingEvents) {
        if (nPending == -1) continue;
        const int nEvent = nPending;
        nPending = -1;
        StartEvent(nEvent);
    }
}

void CMainFrame::GiveTalkDirectionBack() {
    if (m_nTalkNpcIndex < 0 || m_nTalkNpcDirection < 0) return;
    for (std::int32_t nPending : m_nPendingEvents)
        if (nPending != -1) return;
    ScriptWorld().GiveNpcDirection(m_nTalkNpcIndex, m_nTalkNpcDirection);
    m_nTalkNpcIndex = m_nTalkNpcDirection = -1;
}

void CMainFrame::RunScript() {
    // A loop, not a recursion: a long run of instant commands, or scene changes that
    // start the next scene's event at once, never deepens the stack.
    for (;;) {
        if (nEventId == -1) return;
        if (CurrentScript < 0 || CurrentScript > EndScript) {
            nEventId = -1;
            pScript = nullptr;
            return;
        }
        if (bSceneEffectWait) return;
        MapLink().SetHoverObject(-1);
        if (pScript && (pScript->nCommand == 4 || pScript->nCommand == 42) && m_pMenuManager)
            m_pMenuManager->m_nGameMode = 3;
        CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
        pScript = pData ? pData->GetCommand(m_nCurrentScene, CurrentScript) : nullptr;
        if (!pScript) {
            // A step outside the scene's command list ends the event.
            nEventId = -1;
            CurrentScript = -1;
            return;
        }
        const int nStep = CurrentScript;
        const int nCommand = pScript->nCommand;
        if ((nCommand == 4 || nCommand == 42) && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) &&
            (GetAsyncKeyState(VK_CONTROL) & 0x8000)) {
            ++CurrentScript;
            bScriptGoOn = 1;
            if (s_pWatcher) s_pWatcher->OnCommand(nStep, *pScript, ScriptEnding::Next, true);
            return;
        }
        const ScriptCommand command = *pScript;
        if (RefuseBadStep(command, nStep, nCommand)) {
            if (RefusalEndsEvent(nCommand)) {
                nEventId = -1;
                CurrentScript = -1;
                pScript = nullptr;
                return;
            }
            ++CurrentScript;
            continue;
        }
        bool bRunOn = false;
        const ScriptEnding ending = RunCommand(&bRunOn);
        if (s_pWatcher) s_pWatcher->OnCommand(nStep, command, ending, false);
        if (ending == ScriptEnding::Now) {
            ++CurrentScript;
            continue;
        }
        // A scene change that started the new scene's event runs it at once.
        if (!bRunOn) return;
    }
}

void CMainFrame::PollScriptWait() {
    if (CurrentScript < 0) return;
    CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
    const ScriptCommand* pWaiting = m_bEventBranchWait ? pScript : nullptr;
    if (!pWaiting && pData) pWaiting = pData->GetCommand(m_nCurrentScene, CurrentScript);
    if (!pWaiting) return;
    const ScriptCommand command = *pWaiting;
    const int nStep = CurrentScript;
    bool bContinue = false;
    CFaceTalkBar* pFaceBar = m_pMenuManager ? m_pMenuManager->m_pFaceTalkBar : nullptr;
    CChoiceTalkBar* pChoiceBar = m_pMenuManager ? m_pMenuManager->m_pChoiceTalkBar : nullptr;
    auto setMode = [&](int nMode) {
        if (m_pMenuManager) m_pMenuManager->m_nGameMode = nMode;
    };
    if (m_bEventBranchWait) {
        // The event a branch started runs from its first step.
        m_bEventBranchWait = 0;
        setMode(3);
        bScriptGoOn = 1;
        if (s_pWatcher) s_pWatcher->OnPoll(nStep, command, true);
        return;
    }
    switch (command.nCommand) {
    case 3: case 71:
        bContinue = !pScene || ScriptWorld().IsNpcAtGoal(command.a1);
        break;
    case 14: case 72:
        bContinue = ScriptWorld().IsHeroAtGoal();
        break;
    case 64:
        bContinue = ScriptWorld().IsHeroAtGoal();
        if (bContinue && pPlayer) pPlayer->nAction = pPlayer->nSpriteAction = 0;
        break;
    case 4: {
        bContinue = !pFaceBar || pFaceBar->m_bFinished;
        if (!bContinue) break;
        const ScriptCommand* pNext = CurrentScript + 1 <= EndScript && pData
                                         ? pData->GetCommand(m_nCurrentScene, CurrentScript + 1)
                                         : nullptr;
        if (pNext && pNext->nCommand != 4) setMode(3);
        if (pNext) {
            if (pFaceBar) pFaceBar->m_nFollowOn = 1;
        } else {
            setMode(3);
            if (pFaceBar) pFaceBar->m_nFollowOn = 0;
        }
        RestoreTalkFont();
        break;
    }
    case 42:
        bContinue = !pChoiceBar || pChoiceBar->m_nAnswered;
        if (!bContinue) break;
        setMode(3);
        if (pChoiceBar) pChoiceBar->m_nAnswered = 0;
        RestoreTalkFont();
        break;
    case 20: case 80: {
        if (!pScene) {
            bContinue = true;
        } else {
            POINT ptTarget{command.a1, command.a2};
            if (command.nCommand == 80) ptTarget = pPlayer ? pPlayer->ptPos : ViewCentre();
            const POINT ptCentre = ViewCentre();
            // The view that did not move since the last poll cannot come nearer.
            const bool bStuck = ptCentre.x == m_ptViewAtPoll.x && ptCentre.y == m_ptViewAtPoll.y;
            bContinue = (ptCentre.x == ptTarget.x && ptCentre.y == ptTarget.y) || bStuck;
            m_ptViewAtPoll = ptCentre;
        }
        if (bContinue) m_bViewMove = 0;
        break;
    }
    case 40:
        // The script's own effect: a scene or battle effect playing beside it does not count.
        bContinue = !pEffectManager || !pEffectManager->IsScriptEffectRunning();
        break;
    case 91:
        bContinue = !ScriptWorld().IsTextBoxOpen();
        break;
    case 63: case 65:
        // Followers never join this game: with none selected the wait is over.
        bContinue = true;
        m_nSelectedFollower = -1;
        break;
    default:
        break;
    }
    if (bContinue) {
        ++CurrentScript;
        bScriptGoOn = 1;
    }
    if (s_pWatcher) s_pWatcher->OnPoll(nStep, command, bContinue);
}
