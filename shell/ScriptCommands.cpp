// The interpreter's dispatch over the command numbers, with the event-control, scene,
// view and screen commands, the talk lines and questions, and the main window's
// services they call. Which rows are carried out here:
//
//   handled here:      1, 3, 4, 14, 20, 21, 24, 25, 26-29, 30, 40, 42, 52, 54-59, 62,
//                      67, 68, 69, 71, 72, 73, 75, 78, 80, 95, 98, 102, 112, 113, 114
//   hero and party:    ScriptHeroCommands.cpp
//   items and values:  ScriptValueCommands.cpp
//   talk and media:    ScriptMediaCommands.cpp
//   advance only:      23, 48, 79, 84, 103-108 and every number outside 1..114
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/SceneLink.h"
#include "shell/ScriptWorld.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/Player.h"
#include "world/Scene.h"
#include "world/WorldMath.h"

namespace {

// The last number of 1..114 that found neither a handler nor a place in the no-op list.
int s_nUnhandledCommand = 0;

bool InTables(int nScene, int nEvent) {
    return nScene >= 0 && nScene < kStateScenes && nEvent >= 0 && nEvent < kStateEntries;
}

void SetState(int nScene, int nEvent, std::uint8_t nState) {
    if (pEffectManager && InTables(nScene, nEvent)) pEffectManager->EventStates[nScene][nEvent] = nState;
}

// Whether the command at the step belongs to the walk pair (3 and 14, or 71 and 72).
bool SameWalkPair(int nFirst, int nCommand) {
    if (nFirst == 3 || nFirst == 14) return nCommand == 3 || nCommand == 14;
    return nCommand == 71 || nCommand == 72;
}

// Arms the scene's defeat watch: a range of character indices (mode 0) or a list of up
// to five (other modes). The list stops at its first negative entry, and then the
// watch stays unarmed with an empty block.
void ArmDefeatWatch(CScene& scene, const ScriptCommand& c) {
    DefeatWatch& watch = scene.watch;
    const BYTE bArmed = watch.bArmed;
    watch = DefeatWatch{};
    watch.bArmed = bArmed;
    if (c.a1 == 0) {
        if (c.a2 < 0 || c.a3 < 0 || c.a4 < 0 || c.a3 > c.a4) return;
        watch.bArmed = 1;
        watch.nMode = 0;
        watch.nEvent = c.a2;
        watch.nFirst = c.a3;
        watch.nLast = c.a4;
        return;
    }
    if (c.a2 < 0 || c.a3 <= 0 || c.a3 >= 6) return;
    const std::int32_t values[5] = {c.a4, c.a5, c.a6, c.a7, c.a8};
    for (int i = 0; i < c.a3; ++i) {
        if (values[i] < 0) {
            for (std::int32_t& n : watch.nList) n = -1;
            return;
        }
        watch.nList[i] = values[i];
    }
    watch.bArmed = 1;
    watch.nMode = 1;
    watch.nEvent = c.a2;
    watch.nCount = c.a3;
}

}  // namespace

bool IsNoOpScriptCommand(int nCommand) {
    return nCommand == 23 || nCommand == 48 || nCommand == 79 || nCommand == 84 || (nCommand >= 103 && nCommand <= 108);
}

int TakeUnhandledScriptCommand() {
    const int n = s_nUnhandledCommand;
    s_nUnhandledCommand = 0;
    return n;
}

bool CMainFrame::StartSceneEffect(int nEffect, int x, int y, int nValue) {
    if (nEffect == -1 || !pEffectManager) return false;
    // A point at the left end of the numbers has nowhere further left to go.
    if (!pEffectManager->Add45Effect(nEffect, int(std::max<std::int64_t>(std::int64_t(x) - 200, INT_MIN)), y))
        return false;
    bSceneEffectWait = 1;
    m_nSceneEffectWait2 = nValue;
    return true;
}

int CMainFrame::StopCountdown(int nEvent) {
    if (m_nCountdownSeconds > 0) {
        m_nCountdownSeconds = 0;
        m_dwCountdownTick = 0;
        m_nPendingEvents[2] = nEvent;
        return 1;
    }
    m_dwCountdownTick = 0;
    return 0;
}

void CMainFrame::StartEventCmd(int nEventA, int nEventB) {
    StartEvent(pPlayer && pPlayer->nCounterA < 51 ? nEventB : nEventA);
}

void CMainFrame::StartEventCmd2(int nEventA, int nEventB) {
    StartEvent(pPlayer && pPlayer->nCounterB < 51 ? nEventB : nEventA);
}

void CMainFrame::WaitCmd(int nMember, int nEventA, int nEventB) {
    PollScriptWait();
    bool bInParty = false;
    for (int i = 1; i < m_nPartyCount && i < 4; ++i) bInParty = bInParty || m_nPartyIds[i] == nMember;
    if (bInParty) {
        if (nEventA >= 0) m_nPendingEvents[0] = nEventA;
    } else if (nEventB >= 0) {
        m_nPendingEvents[0] = nEventB;
    }
}

int CMainFrame::WaitCmd2(int nItem, int nEvent) {
    PollScriptWait();
    const std::int64_t nWanted = std::int64_t(nItem) - 1;
    bool bHeld = false;
    // An item outside the item numbers is never found.
    if (pPlayer && nWanted >= 0 && nWanted < kHeroItemCount) {
        bHeld = pPlayer->HasItem(int(nWanted)) > 0;
        for (CPlayer* pMember : pPlayer->pPartyMembers) {
            if (!pMember || bHeld) continue;
            for (int s = 0; s < 6; ++s) {
                const std::int32_t* pSlot = pMember->EquipSlot(s);
                if (pSlot && *pSlot == nWanted) bHeld = true;
            }
        }
    }
    m_nPendingEvents[1] = bHeld ? nEvent : -1;
    return bHeld ? 1 : 0;
}

ScriptEnding CMainFrame::BeginViewMove(int x, int y, BYTE bHold) {
    // The view takes its first step now; the frame's actor update takes the others
    // while the view-move flag is set. A negative point only waits (no hero to follow).
    if (pScene && x >= 0) {
        StepViewTowards(x, y);
        pScene->bHoldView = bHold;
        m_bViewMove = 1;
    }
    m_ptViewAtPoll = POINT{-1, -1};
    bScriptGoOn = 0;
    return ScriptEnding::Wait;
}

ScriptEnding CMainFrame::RunCommand(bool* pbRunOn) {
    ScriptCommand& c = *pScript;
    const int s = m_nCurrentScene;
    switch (c.nCommand) {
    case 1: {
        if (!pScene) {
            // Without a map there is nothing to change: the event ends as it would.
            nEventId = -1;
            return ScriptEnding::Jump;
        }
        // The scene, the transition kind and its time, and three values of no effect;
        // the short forms stand for the default entry or keep only kind and time.
        int nKind = c.a4, nTime = c.a5, nExtra1 = c.a6, nExtra2 = c.a7, nExtra3 = c.a8;
        if (c.a4 < 0 || (c.a6 < 0 && c.a5 == -1)) {
            nKind = 0, nTime = 100, nExtra1 = 100, nExtra2 = 155, nExtra3 = 0;
        } else if (c.a6 < 0) {
            nExtra1 = 100, nExtra2 = 155, nExtra3 = 0;
        }
        if (c.a1 < 0 || c.a1 >= kStateScenes) {
            char szText[96];
            std::snprintf(szText, sizeof szText, "Scene %d does not exist: scenes are numbered 0 to %d.", c.a1,
                          kStateScenes - 1);
            MessageBox(nullptr, szText, "", MB_OK);
            nEventId = -1;
            QuitGameFailed(szText);
            return ScriptEnding::Jump;
        }
        // The hero is placed only once the scene number is known to be one (the operand
        // table has held the point to the largest map).
        if (pPlayer) pPlayer->SetMapPosAndHome(c.a2, c.a3);
        GiveTalkDirectionBack();
        if (!ScriptWorld().ChangeScene(c.a1, nKind, nTime, nExtra1, nExtra2, nExtra3)) {
            // The scene change has named the map that failed; the game ends.
            nEventId = -1;
            if (m_bRunning) QuitGame();
            return ScriptEnding::Jump;
        }
        nEventId = -1;
        if (pScene && pPlayer && StartEvent(pScene->FindCellArea(pPlayer->ptPos.x, pPlayer->ptPos.y)) >= 0)
            *pbRunOn = true;
        return ScriptEnding::Jump;
    }
    case 3: case 14: case 71: case 72: {
        // The batch: this and every following command of the same pair start at once;
        // the step waits for the mover of its own command.
        CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
        for (int nStep = CurrentScript; nStep <= EndScript && pData; ++nStep) {
            const ScriptCommand* pWalk = pData->GetCommand(s, nStep);
            if (!pWalk || !SameWalkPair(c.nCommand, pWalk->nCommand)) break;
            // The batch's later walks are checked as the interpreter checks its steps.
            if (!pScene || (nStep > CurrentScript && RefuseBadStep(*pWalk, nStep, pWalk->nCommand))) continue;
            const bool bRun = pWalk->nCommand == 71 || pWalk->nCommand == 72;
            if (pWalk->nCommand == 3 || pWalk->nCommand == 71) {
                ScriptWorld().NpcWalkTo(pWalk->a1, pWalk->a2, pWalk->a3, bRun);
            } else {
                ScriptWorld().HeroWalkTo(pWalk->a1, pWalk->a2, bRun);
            }
        }
        bScriptGoOn = 0;
        return ScriptEnding::Wait;
    }
    case 4: {
        const char* pszText = GetSceneText(c.a2);
        if (c.a1 == 40000) {
            ShowTextBar(40000, pszText, 0, 0, -1);
            return ScriptEnding::Next;
        }
        if (c.a1 == 10000) {
            WaitTalk(pszText);
            return ScriptEnding::Now;
        }
        if (c.a1 == 20000 || c.a1 == 30000) {
            ScrollText(pszText);
            return ScriptEnding::Now;
        }
        ShowTalk(c.a1, pszText);
        bScriptGoOn = 0;
        return ScriptEnding::Wait;
    }
    case 42:
        ShowTextBar(c.a1, GetSceneText(c.a2 > INT_MIN ? c.a2 - 1 : -1), c.a3, c.a4, c.a5);
        m_nAnswerRequired = c.a5;
        bScriptGoOn = 0;
        return ScriptEnding::Wait;
    case 20: {
        const int sw = m_nScreenWidth, sh = m_nScreenHeight;
        c.a1 = std::max(c.a1, sw / 2);
        c.a2 = std::max(c.a2, sh / 2);
        if (pScene) {
            // A point nearer the far edges than half a screen is out of the view's reach:
            // aim at the nearest centre it can reach.
            c.a1 = std::min<int>(c.a1, std::max<int>(sw / 2, pScene->rcMap.right - sw / 2));
            c.a2 = std::min<int>(c.a2, std::max<int>(sh / 2, pScene->rcMap.bottom - sh / 2));
        }
        return BeginViewMove(c.a1, c.a2, 1);
    }
    case 80:
        if (!pPlayer) return BeginViewMove(-1, -1, 0);
        pPlayer->ptPos.x = std::max<LONG>(pPlayer->ptPos.x, m_nScreenWidth / 2);
        pPlayer->ptPos.y = std::max<LONG>(pPlayer->ptPos.y, m_nScreenHeight / 2);
        return BeginViewMove(pPlayer->ptPos.x, pPlayer->ptPos.y, 0);
    case 21:
        if (pScene) pScene->ScrollToHero();
        return ScriptEnding::Next;
    case 24:
        PlayMusic(c.a1);
        ++CurrentScript;
        return ScriptEnding::Next;
    case 25:
        PlayMovie(unsigned(c.a1), true);
        ++CurrentScript;
        return ScriptEnding::Next;
    case 26:
        if (pScreen) pScreen->FadeIn(1000);
        m_bSceneShown = 1;
        return ScriptEnding::Now;
    case 27:
        if (pScreen) pScreen->FadeOut(1000);
        m_bSceneShown = 0;
        return ScriptEnding::Now;
    case 28:
        m_bSceneShown = 1;
        return ScriptEnding::Now;
    case 29:
        m_bSceneShown = 0;
        if (pBack) pBack->Fill(0);
        return ScriptEnding::Now;
    case 30:
        SetState(c.a1, c.a2, 2);
        return ScriptEnding::Now;
    case 40:
        if (pScene && pEffectManager) pEffectManager->AddScriptEffect(42);
        bScriptGoOn = 0;
        return ScriptEnding::Wait;
    case 52:
        if (pScene) {
            pScene->nStepObjectId = c.a1;
            pScene->bStepToggleWall = BYTE(c.a2);
            const int nRow = pScene->nSceneNo;
            if (c.a3 >= 0 && c.a1 >= 0 && c.a1 < kSceneFlagCount && nRow >= 0 && nRow < kSceneTableCount &&
                m_pEventFlagsA)
                m_pEventFlagsA[nRow][c.a1] = c.a3;
        }
        return ScriptEnding::Now;
    // The counters stop at the ends of their range: a saved counter or an operand near
    // them must not wrap round to the other end.
    case 54: if (pPlayer) pPlayer->nCounterA = SaturatingAdd(pPlayer->nCounterA, c.a1); return ScriptEnding::Now;
    case 55: if (pPlayer) pPlayer->nCounterA = SaturatingAdd(pPlayer->nCounterA, -std::int64_t(c.a1)); return ScriptEnding::Now;
    case 57: if (pPlayer) pPlayer->nCounterB = SaturatingAdd(pPlayer->nCounterB, c.a1); return ScriptEnding::Now;
    case 58: if (pPlayer) pPlayer->nCounterB = SaturatingAdd(pPlayer->nCounterB, -std::int64_t(c.a1)); return ScriptEnding::Now;
    case 56: case 59:
        if (c.nCommand == 56) StartEventCmd(c.a1, c.a2);
        else StartEventCmd2(c.a1, c.a2);
        m_bEventBranchWait = 1;
        bScriptGoOn = 0;
        return ScriptEnding::Wait;
    case 62:
        WaitCmd(c.a1, c.a2, c.a3);
        return ScriptEnding::Next;
    case 67:
        WaitCmd2(c.a1, c.a2);
        return ScriptEnding::Next;
    case 68:
        m_dwCountdownTick = TimeGetTime() | 1;
        m_nCountdownSeconds = c.a1;
        return ScriptEnding::Now;
    case 69:
        StopCountdown(c.a1);
        return ScriptEnding::Next;
    case 73:
        m_nPendingEvents[3] = m_nPartyCount == 3 ? c.a1 : -1;
        return ScriptEnding::Next;
    case 75:
        if (pScene) StartSceneEffect(c.a1, c.a2, c.a3, c.a4);
        ++CurrentScript;
        bScriptGoOn = 1;
        return ScriptEnding::Jump;
    case 78:
        if (pPlayer && pPlayer->nMoney < c.a1) {
            m_nPendingEvents[4] = c.a2;
            CurrentScript = EndScript;
            return ScriptEnding::Jump;
        }
        return ScriptEnding::Now;
    case 95:
        // The toolbar's switch takes weathers 0..5 and ignores another number.
        ScriptWorld().SetSceneWeather(c.a1);
        return ScriptEnding::Now;
    case 98:
        if (c.a1 >= 0 && c.a2 >= 0) SetState(c.a1, c.a2, 2);
        return ScriptEnding::Now;
    case 102:
        if (ScriptWorld().IsNpcPresentAndStopped(c.a1)) return ScriptEnding::Now;
        SetState(s, nEventId, 0);
        CurrentScript = EndScript + 1;
        bScriptGoOn = 1;
        if (pPlayer) pPlayer->ptPos = POINT{c.a2, c.a3};
        return ScriptEnding::Jump;
    case 112:
        if (c.a1 >= 0 && c.a2 >= 0) SetState(c.a1, c.a2, 0);
        return ScriptEnding::Next;
    case 113:
        if (pScene) ArmDefeatWatch(*pScene, c);
        return ScriptEnding::Next;
    case 114:
        return ScriptEnding::Next;
    default: {
        ScriptEnding ending = ScriptEnding::Now;
        if (RunHeroCommand(c, &ending) || RunValueCommand(c, &ending) || RunMediaCommand(c, &ending)) return ending;
        // 23, 48, 79, 84, 103-108 and every number outside 1..114 only advance.
        if (c.nCommand >= 1 && c.nCommand <= 114 && !IsNoOpScriptCommand(c.nCommand))
            s_nUnhandledCommand = c.nCommand;
        return ScriptEnding::Now;
    }
    }
}
