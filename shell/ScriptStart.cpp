// Event starts: the tests of an event's start record against the per-scene state
// bytes, run counters and the hero's items, and the registers a start sets.
#include <utility>

#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/ScriptWatch.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/Player.h"

namespace {

const CScriptData* Scripts() { return pGameData ? pGameData->pScriptData : nullptr; }

bool InTables(int nScene, int nEvent) {
    return nScene >= 0 && nScene < kStateScenes && nEvent >= 0 && nEvent < kStateEntries;
}

// State byte of (scene, event); pairs outside the tables have none (-1).
int StateOf(int nScene, int nEvent) {
    if (!pEffectManager || !InTables(nScene, nEvent)) return -1;
    return pEffectManager->EventStates[nScene][nEvent];
}

int RunsOf(int nScene, int nEvent) {
    if (!pEffectManager || !InTables(nScene, nEvent)) return -1;
    return pEffectManager->EventRuns[nScene][nEvent];
}

// The tests both starts share: the event exists in the current scene's tables, it is
// not disabled, not a spent once-only event, the hero holds every required item and
// every precondition event has started. Null when one fails.
const EventRecord* PassesRecordTests(int nScene, int nEvent) {
    const CScriptData* pData = Scripts();
    if (!pData || !pEffectManager || !InTables(nScene, nEvent)) return nullptr;
    if (nEvent >= pData->GetSubEventCount(nScene)) return nullptr;
    const EventRecord* pRecord = pData->GetEvent(nScene, nEvent);
    if (!pRecord) return nullptr;
    const int nState = StateOf(nScene, nEvent);
    if (nState == 2) return nullptr;
    if (pRecord->nOnce == 1 && nState == 1) return nullptr;
    for (int nItem : pRecord->nNeedItem) {
        if (nItem == -1) continue;
        // An item outside the item numbers is never held.
        if (!pPlayer || nItem < 0 || nItem >= kHeroItemCount || pPlayer->HasItem(nItem) <= 0) return nullptr;
    }
    for (int k = 0; k < 16; ++k) {
        const int s = pRecord->nPreScene[k], e = pRecord->nPreEvent[k];
        if (s == -1 || e == -1) continue;
        // A precondition outside the tables is not met; a disabled one fails like a new one.
        if (StateOf(s, e) != 1) return nullptr;
    }
    return pRecord;
}

// Whether the run limit lets one more start happen. A counter from another data
// version already past the limit refuses too, rather than allowing starts for ever.
bool UnderRunLimit(const EventRecord& record, int nRuns) {
    if (record.nRunLimit < 0) return true;
    return nRuns + 1 < record.nRunLimit;
}

}  // namespace

bool CMainFrame::CanStartEvent(int nEvent) const {
    const EventRecord* pRecord = PassesRecordTests(m_nCurrentScene, nEvent);
    return pRecord && UnderRunLimit(*pRecord, RunsOf(m_nCurrentScene, nEvent));
}

int CMainFrame::StartEvent(int nEvent) {
    const int s = m_nCurrentScene;
    const int nStateBefore = StateOf(s, nEvent), nRunsBefore = RunsOf(s, nEvent);
    auto report = [&](int nResult) {
        if (CScriptWatcher* pWatch = ScriptWatcher())
            pWatch->OnStart(nEvent, nResult, nStateBefore, StateOf(s, nEvent), nRunsBefore, RunsOf(s, nEvent));
        return nResult;
    };
    nEventId = -1;
    MapLink().SetHoverObject(-1);
    const EventRecord* pRecord = PassesRecordTests(s, nEvent);
    if (!pRecord || !UnderRunLimit(*pRecord, nRunsBefore)) return report(-1);
    if (pRecord->nRunLimit != -1) ++pEffectManager->EventRuns[s][nEvent];
    nEventId = nEvent;
    bScriptGoOn = 1;
    m_bEventBranchWait = 0;
    const CScriptData* pData = Scripts();
    const SubEvent* pFound = pData->FindSubEvent(s, nEvent);
    if (pFound) {
        CurrentScript = FirstScript = pFound->nFirstStep;
        EndScript = pFound->nLastStep;
        if (EndScript < FirstScript) nEventId = -1;
    } else {
        // Without its steps the event must not run the steps of an earlier one.
        nEventId = -1;
        CurrentScript = -1;
    }
    pEffectManager->EventStates[s][nEvent] = 1;
    return report(nEventId);
}
