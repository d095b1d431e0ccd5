// The attack road: starting a member's attack, the walks, the launch of the blow at
// the hit frame, the damage rules and the end of a turn.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "battle/Fight.h"
#include "gamedata/GameData.h"
#include "world/EffectAnim.h"

namespace {

const SkillRow* SkillOf(int k) { return pGameData ? pGameData->GetSkill(k) : nullptr; }
int ManaOf(int k) {
    const SkillRow* p = SkillOf(k);
    return p ? p->nMana : 0;
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

POINT CFight::StrikePoint(int a, int t) const {
    if (t < 0 || t >= kFightSlots) return ptFightHome[a & 7];
    return (a == 0 && t >= 4) ? ptLeadStrike[t - 4] : ptFightStrike[t];
}

void CFight::StartAttack(int a, int t, int nSkill) {
    CFightChar& c = *pChar[a];
    c.SetAction(kActWalkA);
    c.QueuedAction = kActAttack;
    c.MP -= ManaOf(nSkill);
    bTurnMayAdvance = 0;
    PendingAttacker = a;
    PendingTarget = t;
    PendingSkill = nSkill;
    const POINT to = StrikePoint(a, t);
    BeginMove(a, ptFightHome[a].x, ptFightHome[a].y, to.x, to.y);
    if (c.RepeatTarget != -1) {
        c.bHitAgain = 1;
        c.bRaised[3] = 1;
    }
}

int CFight::ExecuteCommand(int k, int a, int t) {
    if (a < 0 || a >= 4 || !Filled(a)) return 0;
    // Skills are refused for now; an attack that cannot start is refused too, so that
    // the member keeps its turn instead of losing it to nothing.
    if (k >= 0) return 0;
    if (CommandMode != 10 || !Alive(t)) return 0;
    StartAttack(a, t, 80 + a);
    return 1;
}

void CFight::AutoAttack() {
    const int a = ActiveNpc;
    bAutoAttack = 0;
    if (a < 0 || a >= 4 || !Filled(a)) return;
    int t = -1;
    for (int s = 4; s < kFightSlots && t == -1; ++s)
        if (Alive(s)) t = s;
    LastActor = a;
    bActing[a] = 1;
    bCommandBusy = 1;
    ChosenTarget = t;
    if (t != -1) StartAttack(a, t, 80 + a);
    else {
        // Nobody left to strike: the member's turn only ends.
        bCommandBusy = 0;
        bActing[a] = 0;
        bTurnGate = 1;
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
        if (j != s && bActing[j]) bActing[s] = 0;
}

int CFight::LaunchEffect() {
    const int a = PendingAttacker, t = PendingTarget, k = PendingSkill;
    if (a < 0 || a >= kFightSlots || !pChar[a]) return 0;
    CFightChar& c = *pChar[a];
    const SkillRow* pSkill = SkillOf(k);
    const int nType = pSkill ? pSkill->nType : 0;
    const bool bArea = nType == 7 || nType == 13 || nType == 19 || nType == 25 || nType == 31;
    const POINT at = (bArea || t < 0 || t >= kFightSlots) ? POINT{0, 0} : ptFightHome[t];
    const bool bAdded = AddBattleEffect(k, a, t, at.x, at.y, false);
    if (t >= 0 && t < 4 && bDefending[t] && pChar[t]) pChar[t]->SetAction(kActDefend);
    if (!c.bRaised[3] || !bAdded) {
        PendingAttacker = PendingTarget = PendingSkill = -1;
        bTurnMayAdvance = 1;
    }
    c.StepX = c.StepY = 0;
    if (!bAdded) {
        // The effect could not be shown (no such skill or picture): the blow is lost
        // and the turn ends as if it had landed.
        c.bContinue = 1;
        c.timeRecovered = 0;
        ResolveDroppedTurn();
    }
    return 1;
}

void CFight::ApplyDamage(int t, int v, int nCap, bool bHit) {
    CFightChar& ct = *pChar[t];
    v = std::min(v, nCap);
    if (t < 4 && bDefending[t]) {
        v = std::min(v / 2, nCap);
        ct.AddHp(v);
        bDefending[t] = 0;
    } else {
        ct.AddHp(v);
        // A member on its way to strike keeps walking: a hurt action would cut its
        // walk short and its blow would never start.
        if (bHit && t != PendingAttacker) ct.SetAction(kActHurt);
    }
}

void CFight::ApplyEffect(const CEffectAnim& effect) {
    const int k = effect.m_nSkill, a = effect.m_nAttacker, t = effect.m_nTarget;
    if (a < 0 || a >= kFightSlots || !pChar[a]) return;
    CFightChar& ca = *pChar[a];
    ca.timeRecovered = 0;
    ca.bContinue = 1;
    const SkillRow* pSkill = SkillOf(k);
    const int nKind = pSkill ? pSkill->nType % 46 : -1;
    TickStatus(a);
    const bool bTarget = t >= 0 && t < kFightSlots && Filled(t);
    switch (nKind) {
        case 2: case 8: case 14: case 20: case 26: case 32: case 40: case 41: {
            if (!bTarget || pChar[t]->HP < 1) break;
            CFightChar& ct = *pChar[t];
            double v = double((ct.Defence + ct.nDefenceBonus) - (ca.Attack + ca.nAttackBonus));
            ApplyDamage(t, int(std::trunc(v * HitFactor())), -10, true);
            ct.bContinue = 1;
            break;
        }
        case 0: case 6: case 12: case 18: case 24: case 30: case 36: case 37: {
            if (!bTarget || pChar[t]->HP < 1) break;
            ApplyDamage(t, int(std::trunc(-double(pSkill->nAttack) * HitFactor())), -1, true);
            pChar[t]->bContinue = 1;
            break;
        }
        case 38: case 39: {
            for (int s = 0; s < 4; ++s) {
                if (!Alive(s)) continue;
                ApplyDamage(s, int(std::trunc(double(pSkill->nAttack - ca.Attack) * HitFactor())), -1, true);
            }
            if (bTarget) pChar[t]->bContinue = 1;
            break;
        }
        case 3: case 9: case 15: case 21: case 27: case 33: case 42: {
            if (!bTarget) break;
            CFightChar& ct = *pChar[t];
            const bool bLow = ct.HP < ct.MaxHP / 3;
            ct.AddHp(effect.m_nAttack);
            if (bLow) ct.SetAction(kActStand);
            break;
        }
        default: break;  // the other kinds come with the skill commands
    }
    if (t == ActiveNpc && bTarget && pChar[t]->HP <= 0) {
        ActiveNpc = -1;
        CommandMode = -1;
        SetMenuState(kMenuHidden);
    }
}

void CFight::TickStatus(int s) {
    if (s < 0 || s >= 4 || !pChar[s]) return;
    CFightChar& c = *pChar[s];
    for (int i = 0; i < 4; ++i) {
        if (!c.bRaised[i]) continue;
        if (c.RaiseTurns[i] < 3) {
            c.RaiseTurns[i] += 1;
            continue;
        }
        c.bRaised[i] = 0;
        c.RaiseTurns[i] = 0;
        switch (i) {
            case 0: c.Defence /= 2; break;
            case 1: c.Recover *= 2; break;
            case 2: c.Attack /= 2; break;
            default:
                c.bHitAgain = 0;
                c.RepeatTarget = -1;
                break;
        }
    }
}

void CFight::ApplyPoison(int s, int nSource) {
    CFightChar* c = Char(s);
    CFightChar* src = Char(nSource);
    if (!c || !src) return;
    c->HP -= src->Poison;
    if (c->HP < 1) {
        c->HP = 0;
        c->SetAction(kActHurt);
    }
}

void CFight::BeginMove(int s, int x1, int y1, int x2, int y2) {
    CFightChar* c = Char(s);
    if (!c) return;
    if (c->FrameCount != 0 && (c->Action == kActWalkA || c->Action == kActWalkB)) {
        c->StepX = std::abs(x1 - x2) / c->FrameCount;
        c->StepY = std::abs(y1 - y2) / c->FrameCount;
        ptWalk = POINT{x1, y1};
        return;
    }
    c->StepX = c->StepY = 0;
    ptWalk = POINT{x1, y1};
    if (c->QueuedAction != -1) c->SetAction(c->QueuedAction);
    // The pending attacker keeps its queued action, which is what launches its blow;
    // without it a fighter that cannot walk would never strike and the battle stalls.
    if (s != PendingAttacker) c->QueuedAction = -1;
    c->bArrived = 1;
}

void CFight::FinishWalk(int s) {
    CFightChar& c = *pChar[s];
    c.nFrame = std::max(c.FrameCount - 1, 0);
    c.AnimateNow();
}

void CFight::StepMove(int s) {
    CFightChar* pc = Char(s);
    if (!pc) return;
    CFightChar& c = *pc;
    const int ct = (ChosenTarget >= 0 && ChosenTarget < kFightSlots) ? ChosenTarget : 0;
    if (c.bActionDone) {
        c.bActionDone = 0;
        bEnemyActing = 0;
        std::fill(std::begin(bActing), std::end(bActing), 0);
    }
    if (c.bWalkBack && c.Action == kActWalkA) {
        c.bWalkBack = 0;
        if (c.FrameCount == 0) {
            bEnemyActing = 0;
            c.SetAction(kActStand);
            return;
        }
        BeginMove(s, ptFightStrike[ct].x, ptFightStrike[ct].y, ptFightHome[s].x, ptFightHome[s].y);
    }
    const POINT strike = ptFightStrike[ct], home = ptFightHome[s];
    if (c.StepX != 0) {
        if (c.Action == kActWalkB) {
            if (ptWalk.x >= strike.x) {
                ptWalk = strike;
                FinishWalk(s);
                return;
            }
            ptWalk.x += c.StepX;
        } else if (c.Action == kActWalkA) {
            ptWalk.x -= c.StepX;
            if (ptWalk.x < home.x) {
                ptWalk = home;
                FinishWalk(s);
                return;
            }
        }
    }
    if (c.StepY != 0) {
        const POINT goal = c.Action == kActWalkB ? strike : home;
        if (ptWalk.y < goal.y) ptWalk.y = std::min<LONG>(ptWalk.y + c.StepY, goal.y);
        else if (ptWalk.y > goal.y) ptWalk.y = std::max<LONG>(ptWalk.y - c.StepY, goal.y);
    }
    if (c.StepX == 0 && c.StepY == 0 && (c.Action == kActWalkA || c.Action == kActWalkB)) {
        // A walk without steps (no distance or no frames) arrives at once.
        ptWalk = c.Action == kActWalkB ? strike : home;
        FinishWalk(s);
    }
}
