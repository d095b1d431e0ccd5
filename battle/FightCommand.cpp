// The commands that start, end and abandon a party member's turn: attacks, skills by
// their kind, casts in place, area walks, auto attack, repeat, and spent items.
#include <algorithm>

#include "battle/Fight.h"
#include "gamedata/GameData.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {

const SkillRow* SkillOf(int k) { return pGameData ? pGameData->GetSkill(k) : nullptr; }

int KindOf(const SkillRow& skill) { return ((skill.nType % 45) + 45) % 45; }

// Kinds that walk out to the target and cast on arrival.
bool WalksOut(int nKind) {
    switch (nKind) {
        case 0: case 6: case 7: case 12: case 13: case 18: case 19: case 24: case 25: case 30: case 31:
        case 17: case 35: return true;
        default: return false;
    }
}

// Heals and raises land at once, cast from home.
bool LandsAtOnce(int nKind) {
    switch (nKind) {
        case 3: case 9: case 15: case 21: case 27: case 33:
        case 4: case 10: case 16: case 22: case 28: case 34:
        case 5: case 11: case 23: case 29: return true;
        default: return false;
    }
}

// Kinds that take one of the battle's stunts.
bool TakesStunt(int nKind) {
    return nKind == 5 || nKind == 11 || nKind == 17 || nKind == 23 || nKind == 29 || nKind == 35;
}

}  // namespace

void CFight::ClearTurn(int a) {
    if (CFightChar* c = Char(a)) {
        c->timeRecovered = 0;
        c->bContinue = 0;
    }
    ActiveNpc = -1;
    CommandSkill = CommandItem = ThrowItemNo = CommandMode = -1;
    SetMenuState(kMenuHidden);
}

void CFight::EndEmptyCommand(int a) {
    bCommandBusy = 0;
    if (a >= 0 && a < 10) bActing[a] = 0;
    LastActor = -1;
    ClearTurn(a);
    EndTurn(a);
    bTurnMayAdvance = 1;
}

void CFight::PayMana(int a, int k) {
    const SkillRow* pSkill = SkillOf(k);
    CFightChar* c = Char(a);
    // Mana never goes below 0: the cost is not checked before every command, and a
    // negative value would be written back into the member's record.
    if (pSkill && c) c->MP = std::max(c->MP - pSkill->nMana, 0);
}

POINT CFight::StrikePoint(int a, int t) const {
    if (t < 0 || t >= kFightSlots) return ptFightHome[a & 7];
    // The lead's own strike points lie before the enemies only.
    return (a == 0 && t >= 4) ? ptLeadStrike[t - 4] : ptFightStrike[t];
}

int CFight::FirstLiveEnemy() const {
    for (int s = 4; s < kFightSlots; ++s)
        if (Alive(s)) return s;
    return -1;
}

void CFight::StartAttack(int a, int t, int nSkill) {
    CFightChar& c = *pChar[a];
    c.SetAction(kActWalkA);
    c.QueuedAction = kActAttack;
    PayMana(a, nSkill);
    bTurnMayAdvance = 0;
    PendingAttacker = a;
    PendingTarget = t;
    PendingSkill = nSkill;
    PendingItem = -1;
    bFirstHitLaunched = 0;
    const POINT to = StrikePoint(a, t);
    BeginMove(a, ptFightHome[a].x, ptFightHome[a].y, to.x, to.y);
    if (c.RepeatTarget != -1) {
        c.bHitAgain = 1;
        c.bRaised[3] = 1;
    }
}

int CFight::StartSkill(int k, int a, int t, bool bRepeat) {
    CFightChar& c = *pChar[a];
    const SkillRow* pSkill = SkillOf(k);
    if (!pSkill || c.HP <= 0) return 0;
    const int nKind = KindOf(*pSkill);
    if (TakesStunt(nKind)) {
        // A throw needs its item: without one the stunt is not spent.
        if (nStunts <= 0 || (nKind == 17 && ThrowItemNo == -1)) return 0;
        --nStunts;
    }
    PayMana(a, k);
    if (WalksOut(nKind)) {
        c.SetAction(kActWalkA);
        c.QueuedAction = kActCast;
        PendingAttacker = a;
        PendingTarget = t;
        PendingSkill = k;
        PendingItem = nKind == 17 ? ThrowItemNo : -1;
        bFirstHitLaunched = 0;
        bTurnMayAdvance = 0;
        const POINT to = StrikePoint(a, t);
        BeginMove(a, ptFightHome[a].x, ptFightHome[a].y, to.x, to.y);
        return 1;
    }
    if (LandsAtOnce(nKind)) {
        c.SetAction(kActRecover);
        bCommandBusy = 0;
        LastActor = -1;
        bActing[a] = 0;
        const POINT at = ptFightHome[t >= 0 && t < kFightSlots ? t : a];
        AddBattleEffect(k, a, t, at.x, at.y, true);
        return 1;
    }
    if (nKind == 1 && bRepeat) {
        c.SetAction(kActCast);
        AddBattleEffect(k, a, 4, ptFightHome[4].x, ptFightHome[4].y, true);
        return 1;
    }
    // Kind 1 chosen against one fighter, and the kinds that do nothing: the cost is
    // paid and the turn ends, since no effect would ever end it.
    if (nKind == 1) c.SetAction(kActCast);
    return 2;
}

int CFight::ExecuteCommand(int k, int a, int t) {
    if (a < 0 || a >= 4 || !Filled(a)) return 0;
    if (k >= 0) return StartSkill(k, a, t, false);
    // An attack that cannot start is refused, so that the member keeps its turn.
    if (CommandMode != 10 || !Alive(t) || pChar[a]->HP <= 0) return 0;
    StartAttack(a, t, 80 + a);
    return 1;
}

void CFight::CastInPlace(int a) {
    if (a < 0 || a >= 4 || !Filled(a)) return;
    CFightChar& c = *pChar[a];
    const int k = CommandSkill;
    LastSkill[a] = k;
    if (!SkillOf(k) || c.HP <= 0) {
        EndEmptyCommand(a);
        return;
    }
    bActing[a] = 0;
    LastActor = -1;
    ClearTurn(a);
    c.SetAction(kActCast);
    PayMana(a, k);
    AddBattleEffect(k, a, 4, 0, 0, true);
}

void CFight::ExecuteAreaCommand(int a, int k) {
    if (a < 0 || a >= 4 || !Filled(a)) return;
    CFightChar& c = *pChar[a];
    LastActor = a;
    bActing[a] = 1;
    if (c.bPoisoned) ApplyPoison(a, 4);
    if (!SkillOf(k) || c.HP <= 0) {
        EndEmptyCommand(a);
        return;
    }
    bCommandBusy = 1;
    ChosenTarget = 4;
    LastSkill[a] = k;
    LastTarget[a] = 4;
    c.SetAction(kActWalkA);
    c.QueuedAction = kActCast;
    PayMana(a, k);
    PendingAttacker = a;
    PendingTarget = 4;
    PendingSkill = k;
    PendingItem = -1;
    bFirstHitLaunched = 0;
    BeginMove(a, ptFightHome[a].x, ptFightHome[a].y, ptFightStrike[4].x, ptFightStrike[4].y);
    ClearTurn(a);
    bTurnMayAdvance = 1;
}

void CFight::AutoAttack() {
    const int a = ActiveNpc;
    bAutoAttack = 0;
    if (a < 0 || a >= 4 || !Filled(a)) return;
    const int t = FirstLiveEnemy();
    LastActor = a;
    bActing[a] = 1;
    bCommandBusy = 1;
    ChosenTarget = t;
    if (t == -1 || pChar[a]->HP <= 0) {
        // Nobody left to strike: the member's turn only ends.
        EndEmptyCommand(a);
        return;
    }
    StartAttack(a, t, 80 + a);
    ClearTurn(a);
}

void CFight::RepeatCommand() {
    const int a = ActiveNpc;
    bRepeat = 0;
    if (a < 0 || a >= 4 || !Filled(a)) return;
    CFightChar& c = *pChar[a];
    int k = LastSkill[a], t = LastTarget[a];
    if (k == -1) {
        k = 0;
        CommandMode = 10;
    }
    const SkillRow* pSkill = SkillOf(k);
    if (pSkill && pSkill->nMana > c.MP) return;
    const bool bInPlace = k >= 1 && pSkill && KindOf(*pSkill) == 1;
    if (!bInPlace && !Alive(t)) t = FirstLiveEnemy();
    ChosenTarget = t;
    LastActor = a;
    bActing[a] = 1;
    bCommandBusy = 1;
    int nStarted = 0;
    if (k < 1) {
        if (CommandMode == 10 && Alive(t) && c.HP > 0) {
            StartAttack(a, t, 70 + a);
            nStarted = 1;
        }
    } else if (bInPlace || t != -1) {
        nStarted = StartSkill(k, a, t, true);
    }
    if (nStarted != 1) {
        EndEmptyCommand(a);
        return;
    }
    ClearTurn(a);
}

void CFight::EndTurn(int s) {
    if (CFightChar* c = Char(s)) {
        c->timeRecovered = 0;
        c->bContinue = 1;
    }
    ActiveNpc = -1;
    CommandMode = -1;
    SetMenuState(kMenuHidden);
    bTurnGate = 1;
    for (int j = 0; j < 4; ++j)
        if (j != s && bActing[j] && s >= 0 && s < 10) bActing[s] = 0;
}

void CFight::ConsumeItem(int nItem) {
    if (nItem < 0 || !pPlayer) return;
    pPlayer->RemoveItem(nItem);
    BuildItemLists();
}

void CFight::DrawMessage() {
    if (pFrame && pFrame->m_pMenuManager && !MessageText.empty())
        pFrame->m_pMenuManager->DrawMessageText(MessageText.c_str(), -1, -1);
}
