// The hero, party and character commands of the event scripts, and the main window's
// services they call. Operands the script file does not check are checked here: a
// command whose member, level, slot, skill or action lies outside its table is
// ignored and the script goes on.
#include <iterator>

#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "gamedata/Tables.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/EffectManager.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

bool IsMember(int n) { return n >= 0 && n < 4; }
bool IsMemberNumber(int n) { return n >= 1 && n <= 4; }
bool IsAction(int n) { return n >= 0 && n < kHeroActionCount; }

// Entry m of the hero's party table (the hero itself for its own member); null when
// the member is not there.
CPlayer* PartyEntry(int nMember) {
    if (!pPlayer || !IsMember(nMember)) return nullptr;
    pPlayer->RefreshPartyMembers();
    return pPlayer->pPartyMembers[nMember];
}

// Level, life and mana from the member's level row, and the row's experience.
void SetMemberLevel(CPlayer& hero, int nMember, int nLevel) {
    hero.SetLevel(nLevel);
    hero.ResetLevelStats();
    if (const LevelRow* pRow = pGameData ? pGameData->GetLevel(nMember, hero.nLevel) : nullptr)
        hero.nExperience = pRow->nExperience;
}

void SetLeftParty(int nNumber, std::uint8_t nValue) {
    if (pPlayer && IsMemberNumber(nNumber)) pPlayer->bFlags[nNumber - 1] = nValue;
}

}  // namespace

void CMainFrame::InitPartyHero(int nIndex) {
    if (!pPlayer || nIndex < 0 || nIndex >= int(std::size(m_nHeroSculpts))) return;
    pPlayer->nSculpt = m_nHeroSculpts[nIndex];
    pPlayer->Init(0, false, -1);
}

void CMainFrame::SetHeroAction(int nCharacter, int nAction) {
    if (!IsAction(nAction)) return;
    if (pPlayer && pPlayer->nMember == nCharacter - 1) {
        pPlayer->SetAction(nAction);
        return;
    }
    const int nActive = m_pToolBar ? m_pToolBar->m_nHero : 0;
    for (int i = 0; i < 4; ++i) {
        if (!pParty[i] || i == nActive - 1 || pParty[i]->nMember != nCharacter) continue;
        pParty[i]->SetAction(nAction);
        return;
    }
    if (!pScene) return;
    for (int i = 0; i < pScene->GetNpcCount(); ++i) {
        CNpc* pNpc = pScene->GetNpc(i);
        if (!pNpc || pNpc->mapObject.nId != nCharacter) continue;
        pNpc->nAction = nAction;
        pNpc->FrameCount(nAction);
        pNpc->nFrame = 0;
        pNpc->nFrameCounter = 0;
        return;
    }
}

void CMainFrame::RemovePartyMember(int nMember) {
    // Only a member of the party leaves: its bit is cleared (never set), the slot
    // holding it is freed, and the hero always stays.
    if (pPlayer && nMember >= 0 && nMember < 31) pPlayer->nPartyMask &= ~(1 << nMember);
    for (int i = 1; i < 4; ++i) {
        if (m_nPartyIds[i] == nMember) {
            m_nPartyIds[i] = -1;
            break;
        }
    }
    if (m_nPartyCount > 1) --m_nPartyCount;
}

int CMainFrame::StartSubScript(int nEvent) {
    // Only the first sub-script saves: a battle whose enemies and members start several
    // talks gives the event that started it back its own registers, not a talk's.
    if (!m_bSubScriptSaved) {
        m_nSavedCurrentScript = CurrentScript;
        m_nSavedFirstScript = FirstScript;
        m_nSavedEndScript = EndScript;
        m_pSavedScript = pScript;
        m_bSubScriptSaved = 1;
    }
    // An event the scene's table does not list leaves the steps as they are; the event
    // is marked started all the same whenever the steps in hand are not empty.
    const CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
    const SubEvent* pFound = pData ? pData->FindSubEvent(m_nCurrentScene, nEvent) : nullptr;
    if (pFound) {
        CurrentScript = FirstScript = pFound->nFirstStep;
        EndScript = pFound->nLastStep;
    }
    if (EndScript < FirstScript) return CurrentScript;
    if (pEffectManager && m_nCurrentScene >= 0 && m_nCurrentScene < kStateScenes && nEvent >= 0 &&
        nEvent < kStateEntries)
        pEffectManager->EventStates[m_nCurrentScene][nEvent] = 1;
    return CurrentScript;
}

void CMainFrame::RestoreSubScript() {
    if (m_nSavedCurrentScript != -1) CurrentScript = m_nSavedCurrentScript;
    if (m_nSavedFirstScript != -1) FirstScript = m_nSavedFirstScript;
    if (m_nSavedEndScript != -1) EndScript = m_nSavedEndScript;
    if (m_pSavedScript) pScript = m_pSavedScript;
    m_nSavedCurrentScript = m_nSavedFirstScript = m_nSavedEndScript = -1;
    m_pSavedScript = nullptr;
    m_bSubScriptSaved = 0;
}

bool CMainFrame::RunHeroCommand(ScriptCommand& c, ScriptEnding* pEnding) {
    *pEnding = ScriptEnding::Now;
    CGameToolBar* pBar = m_pToolBar;
    int* pIds = pBar ? pBar->m_nPartyIds : nullptr;
    switch (c.nCommand) {
    case 2:
        if (pScene) pScene->SetNpcPosition(c.a1, c.a2, c.a3);
        return true;
    case 7:
        if (pPlayer) {
            // A negative operand wraps like any other into 0..7.
            pPlayer->SetDirection(c.a1);
            pPlayer->nAction = pPlayer->nSpriteAction = 0;
        }
        return true;
    case 8:
        if (pPlayer) pPlayer->SetMapPosAndHome(c.a1, c.a2);
        return true;
    case 15:
        if (CPlayer* pEntry = PartyEntry(c.a1)) {
            pEntry->LevelUp();
            SetMemberLevel(*pEntry, c.a1, pEntry->nLevel);
        }
        return true;
    case 16: {
        if (!IsMemberNumber(c.a3)) return true;
        const int nSlot = c.a3 - 1;
        const bool bSculpt = c.a1 >= 0 && c.a2 >= 0;
        if (!pParty[nSlot]) {
            if (!pIds || pIds[c.a3] == -1) return true;
            // The member is loaded only to change its file: the companion stays.
            CPlayer* pKeptCompanion = pCompanion;
            const int nKeptField = pBar->m_nCompanion;
            if (LoadPlayerFile(c.a3, false) && pParty[nSlot]) {
                if (bSculpt) pParty[nSlot]->SetSculpt(c.a1, c.a2 != 0);
                SavePlayerFile(c.a3);
            }
            pCompanion = pKeptCompanion;
            pBar->m_nCompanion = nKeptField;
            return true;
        }
        if (!bSculpt) return true;
        if (pBar && c.a3 == pBar->m_nHero) {
            if (pPlayer) pPlayer->SetSculpt(c.a1, c.a2 != 0);
        } else {
            pParty[nSlot]->SetSculpt(c.a1, c.a2 != 0);
        }
        return true;
    }
    case 18:
        m_bStorySaved = 0;
        if (pScene)
            for (int i = 0; i < pScene->GetNpcCount(); ++i)
                if (CNpc* pNpc = pScene->GetNpc(i)) pNpc->ReturnHome();
        return true;
    case 32:
        if (pScene) pScene->SetNpcDirection(c.a1, c.a2);
        return true;
    case 34:
        // The party mask counts members from 0 as the party ids and the battle do: the
        // member numbered n (1 to 4) has bit n - 1, the heroine bit 0.
        if (c.a1 != 10 && !IsMemberNumber(c.a1)) return true;
        if (c.a1 == 10) {
            for (int n = 1; n <= 4; ++n) {
                if (!pIds || pIds[n] == -1) continue;
                if (pPlayer) pPlayer->nPartyMask |= 1 << (n - 1);
                LoadPlayerFile(n, false);
            }
            return true;
        }
        if (pPlayer) pPlayer->nPartyMask |= 1 << (c.a1 - 1);
        LoadPlayerFile(c.a1, c.a2 > 0);
        if (pIds) pIds[c.a1] = c.a1;
        SetLeftParty(c.a1, 0);
        return true;
    case 35:
        if (!IsMemberNumber(c.a1)) return true;
        // A member whose file cannot be written stays in the party, nothing lost.
        if (pParty[c.a1 - 1] && !SavePlayerFile(c.a1)) return true;
        if (pPlayer) pPlayer->nPartyMask &= ~(1 << (c.a1 - 1));
        if (pIds) pIds[c.a1] = -1;
        SetLeftParty(c.a1, 1);
        return true;
    case 36:
        if (!IsMember(c.a1) || c.a2 < 0 || c.a2 >= kHeroSkillCount || !pParty[c.a1]) return true;
        if (pBar && c.a1 == pBar->m_nHero - 1) {
            if (pPlayer) pPlayer->nSkillKnown[c.a2] = 1;
        } else {
            pParty[c.a1]->nSkillKnown[c.a2] = 1;
        }
        return true;
    case 37:
        if (c.a2 < 0 || c.a2 > kHeroMaxLevel) return true;
        if (CPlayer* pEntry = PartyEntry(c.a1)) SetMemberLevel(*pEntry, c.a1, c.a2);
        return true;
    case 50:
        InitPartyHero(c.a1);
        return true;
    case 51:
        SetHeroAction(c.a1, c.a2);
        return true;
    case 63:
        // Followers never join this game: no follower has the character number, so
        // none is selected or sent, and the wait ends at its first poll.
        m_nSelectedFollower = -1;
        if (c.a4 == 1) {
            *pEnding = ScriptEnding::Next;
            return true;
        }
        bScriptGoOn = 0;
        *pEnding = ScriptEnding::Wait;
        return true;
    case 64: {
        const CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
        for (int nStep = CurrentScript; nStep <= EndScript && pData && pPlayer; ++nStep)
            // Every step's first three operands are this command's own: checked by its rules.
            if (const ScriptCommand* pStep = pData->GetCommand(m_nCurrentScene, nStep);
                pStep && (nStep == CurrentScript || !RefuseBadStep(*pStep, nStep, 64)))
                pPlayer->PlayScriptAction(pStep->a1, pStep->a2, pStep->a3, false);
        bScriptGoOn = 0;
        *pEnding = ScriptEnding::Wait;
        return true;
    }
    case 65:
        bScriptGoOn = 0;
        *pEnding = ScriptEnding::Wait;
        return true;
    case 70:
        if (pScene) {
            if (CNpc* pNpc = pScene->GetNpc(pScene->FindNpcById(c.a1))) pNpc->nScriptField = c.a2;
        }
        *pEnding = ScriptEnding::Next;
        return true;
    case 74:
        m_nHoldFrame = -1;
        return true;
    case 85: case 87: case 89:
        // The follower commands find no follower (see 63).
        return true;
    case 86:
        if (!IsAction(c.a1) || !pPlayer) return true;
        pPlayer->SetAction(c.a1);
        if (c.a2 >= 0) pPlayer->SetDirection(c.a2);
        return true;
    case 88:
        if (c.a1 >= 0 && pPlayer) pPlayer->SetDirection(c.a1);
        return true;
    case 92:
        if (pBar) pBar->TogglePartyLook();
        return true;
    case 93:
        if (pBar) pBar->ClearMemberItems(c.a1);
        return true;
    case 94:
        SaveTempParty(c.a2);
        if (c.a1 == 1) RestoreParty(c.a3, c.a4, c.a5, c.a6, c.a7, c.a8);
        else LoadTempParty(c.a3, c.a4 != 0);
        *pEnding = ScriptEnding::Next;
        return true;
    case 96:
        if (pBar) pBar->ToggleMemberBusy(c.a1);
        return true;
    case 97:
        if (pBar && c.a1 >= 0 && c.a2 >= 0) pBar->AddHeroAttackDefence(c.a1, c.a2);
        return true;
    case 99:
        if (pBar && c.a1 >= 0) pBar->RefillParty(c.a1);
        return true;
    case 101:
        SwitchHero(0);
        return true;
    case 109:
        if (pPlayer && (c.a1 == 0 || c.a1 == 1)) pPlayer->bAltLook = std::uint8_t(c.a1);
        // The portrait follows the look in the open panels.
        if (m_pToolBar) m_pToolBar->RefreshPanels();
        *pEnding = ScriptEnding::Next;
        return true;
    case 110:
        if (CNpc* pNpc = pScene ? pScene->GetNpc(c.a1) : nullptr) {
            pNpc->bScriptByte = 1;
            pNpc->nScriptValue = c.a2;
        }
        *pEnding = ScriptEnding::Next;
        return true;
    case 111:
        if (pPlayer && (c.a1 == 0 || c.a1 == 1)) pPlayer->bMode[0] = std::uint8_t(c.a1);
        *pEnding = ScriptEnding::Next;
        return true;
    default:
        return false;
    }
}
