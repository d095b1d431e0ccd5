// The walks to and from the target and the launch of the pending blow at the
// attacker's hit frame.
#include <algorithm>
#include <cstdlib>

#include "battle/Fight.h"
#include "gamedata/GameData.h"

int CFight::LaunchEffect() {
    const int a = PendingAttacker, t = PendingTarget, k = PendingSkill;
    if (a < 0 || a >= kFightSlots || !pChar[a]) return 0;
    CFightChar& c = *pChar[a];
    // A multi-hit attack strikes once, then once more when its attack has replayed.
    const bool bMulti = c.bRaised[3] != 0;
    if (bMulti && bFirstHitLaunched && c.bHitAgain) return 0;
    const SkillRow* pSkill = pGameData ? pGameData->GetSkill(k) : nullptr;
    const int nType = pSkill ? pSkill->nType : 0;
    const bool bArea = nType == 7 || nType == 13 || nType == 19 || nType == 25 || nType == 31;
    const POINT at = (bArea || t < 0 || t >= kFightSlots) ? POINT{0, 0} : ptFightHome[t];
    AddBattleEffect(k, a, t, at.x, at.y, false, PendingItem);
    if (t >= 0 && t < 4 && bDefending[t] && pChar[t]) pChar[t]->SetAction(kActDefend);
    if (bMulti && !bFirstHitLaunched && c.bHitAgain) {
        bFirstHitLaunched = 1;
    } else {
        PendingAttacker = PendingTarget = PendingSkill = PendingItem = -1;
        bFirstHitLaunched = 0;
        bTurnMayAdvance = 1;
    }
    c.StepX = c.StepY = 0;
    return 1;
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
