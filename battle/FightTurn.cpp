// The time gauges, the turn order, the enemies' decisions and the battle's effects.
#include <algorithm>

#include "battle/Fight.h"
#include "gamedata/GameData.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"

void CFight::ScheduleTurn() {
    if (ActiveNpc >= 4 && ActiveNpc < kFightSlots) {
        const int a = ActiveNpc;
        CFightChar& c = *pChar[a];
        if (!bEnemyRanged) {
            bEnemyActing = 1;
            bActing[a] = 1;
        }
        if (c.Action == kActWalkB) return;
        if (c.nFrame != c.FrameCount / 2) return;
        c.bContinue = 1;
        bool bAdded = false;
        const int t = EnemyTarget;
        const bool bTarget = t >= 0 && t < kFightSlots;
        switch (c.Action) {
            case kActRecover:
                bAdded = AddBattleEffect(c.RecoverSkill, a, a, ptFightHome[a].x, ptFightHome[a].y, true);
                break;
            case kActCast:
                bEnemyRanged = 0;
                if (bTarget) bAdded = AddBattleEffect(c.Skill, a, t, ptFightHome[t].x, ptFightHome[t].y, true);
                break;
            case kActAttack:
                bEnemyRanged = 0;
                if (bTarget)
                    bAdded = AddBattleEffect(c.NormalAttack, a, t, ptFightHome[t].x, ptFightHome[t].y, true);
                break;
            default: bActing[a] = 0; break;
        }
        if (bAdded) c.bContinue = 0;
        if (t >= 0 && t < 4 && bDefending[t]) pChar[t]->SetAction(kActDefend);
        c.timeRecovered = 0;
        EnemyTarget = -1;
        ActiveNpc = -1;
        // An enemy that did nothing (or whose effect was refused) ends its turn here;
        // nothing else would clear its acting flags.
        if (!bAdded) {
            bEnemyActing = 0;
            bActing[a] = 0;
        }
        return;
    }
    if (ActiveNpc >= 0 && ActiveNpc < 4) return;
    if (bCommandBusy || bEnemyActing || bTurnGate == 0 || CommandMode != -1) return;

    if (MenuState() == kMenuHidden && dwNowTime - dwStepTime > 100) {
        for (int s = 0; s < kFightSlots; ++s) {
            CFightChar* c = Char(s);
            if (c && !c->IsEmpty() && c->HP > 0 && c->bContinue == 1) c->timeRecovered += 1;
        }
    }
    // A slot whose lower neighbour has just ended its turn waits 10 more passes; the
    // gauge never drops below 0.
    auto justEnded = [this](int s) {
        for (int j = 0; j < s; ++j)
            if (Alive(j) && pChar[j]->timeRecovered == 0) return true;
        return false;
    };
    auto lower = [](CFightChar& c) { c.timeRecovered = c.timeRecovered > 10 ? c.timeRecovered - 10 : 0; };
    for (int s = 0; s < 4; ++s) {
        if (!Alive(s)) continue;
        CFightChar& c = *pChar[s];
        if (c.timeRecovered > DWORD(c.Recover)) {
            if (justEnded(s)) {
                lower(c);
                return;
            }
            SetMenuState(kMenuRing);
            ActiveNpc = s;
            if (pMenu) pMenu->ptRing = POINT{ptFightHome[s].x + 120, ptFightHome[s].y + 50};
            CommandMode = 0;
            bTurnGate = 0;
            return;
        }
        CommandMode = -1;
    }
    const int nSkills = pGameData ? pGameData->nSkillCount : 0;
    for (int s = 4; s < kFightSlots; ++s) {
        CFightChar* pc = Char(s);
        if (!pc || pc->IsEmpty() || pc->nSculpt == -1 || pc->Action != kActStand || CommandMode != -1) continue;
        CFightChar& c = *pc;
        if (c.HP <= 0) continue;
        if (c.timeRecovered <= DWORD(c.Recover)) continue;
        if (justEnded(s)) {
            lower(c);
            return;
        }
        ActiveNpc = s;
        if (c.HP < c.MaxHP * 30 / 100 && c.RecoverCount < c.RecoverLimit && c.RecoverSkill > 0 && Draw() % 10 < 8) {
            c.SetAction(kActRecover);
            c.RecoverCount += 1;
            bTurnGate = 0;
            return;
        }
        if (c.Skill > 0 && c.Skill < nSkills && int(Draw() % 10) * 10 < c.Probability) {
            const int t = PickTarget();
            ChosenTarget = t;
            const int k = pGameData->pSkill[c.Skill].nType % 45 - 36;
            if (t >= 0 && (k == 0 || k == 3)) {
                c.SetAction(kActWalkB);
                c.QueuedAction = kActCast;
                BeginMove(s, ptFightHome[s].x, ptFightHome[s].y, ptFightStrike[t].x, ptFightStrike[t].y);
            } else if (t >= 0 && (k == 1 || k == 2)) {
                c.SetAction(kActCast);
            }
            return;
        }
        if (c.NormalAttack > 0 && c.NormalAttack < nSkills) {
            const int t = PickTarget();
            ChosenTarget = t;
            if (t >= 0 && c.NormalAttack == 76) {
                c.SetAction(kActWalkB);
                c.QueuedAction = kActAttack;
                BeginMove(s, ptFightHome[s].x, ptFightHome[s].y, ptFightStrike[t].x, ptFightStrike[t].y);
            } else if (t >= 0 && c.NormalAttack == 77) {
                c.SetAction(kActAttack);
                bEnemyRanged = 1;
            }
            return;
        }
    }
}

int CFight::PickTarget() {
    int nLive = 0;
    for (int s = 0; s < 4; ++s) nLive += Alive(s);
    if (nLive == 0) {
        EnemyTarget = -1;
        return -1;
    }
    int r = int(Draw() % DWORD(nLive));
    for (int s = 0; s < 4; ++s) {
        if (!Alive(s)) continue;
        if (r-- == 0) {
            EnemyTarget = s;
            return s;
        }
    }
    return -1;
}

bool CFight::AddBattleEffect(int nSkill, int a, int t, int x, int y, bool bFromSkill, int nItem) {
    if (a < 0 || a >= kFightSlots || t < 0 || t >= kFightSlots) return false;
    if (pEffectManager && pEffectManager->AddEffect(nSkill, a, t, x, y, bFromSkill ? TRUE : FALSE)) {
        CEffectAnim* pNode = pEffectManager->First();
        pNode->m_nExtra = nItem;
        m_effects.push_back(pNode);
        bEffectBusy = 1;
        return true;
    }
    // An effect that cannot be shown (its picture is missing) still lands, at the next
    // update; otherwise no blow would ever land and the battle could not end.
    auto pShown = std::make_unique<CEffectAnim>();
    pShown->m_nSkill = nSkill;
    pShown->m_nAttacker = a;
    pShown->m_nTarget = t;
    pShown->m_nExtra = nItem;
    const SkillRow* pSkill = pGameData ? pGameData->GetSkill(nSkill) : nullptr;
    pShown->m_nAttack = bFromSkill && pSkill ? pSkill->nAttack : 0;
    m_instant.push_back(std::move(pShown));
    bEffectBusy = 1;
    return true;
}

void CFight::FinishEffect(const CEffectAnim& effect) {
    const int a = effect.m_nAttacker, t = effect.m_nTarget;
    int nRepeatA = 0, nRepeatT = 0;
    ApplyEffect(effect);
    const CFightChar& ca = *pChar[a];
    if (ca.RepeatTarget != 0 && ca.bHitAgain) {
        nRepeatA = a;
        nRepeatT = t;
    }
    if (pMenu) pMenu->bRingHidden = 0;
    CommandMode = -1;
    ActiveNpc = -1;
    bTurnGate = 1;
    // An enemy that struck or healed from its place ends its action with its effect;
    // a walking one ends it when it is home again.
    if (a >= 4 && ca.Action != kActWalkA && ca.Action != kActWalkB) {
        bEnemyActing = 0;
        bActing[a] = 0;
    }
    if (nRepeatA != 0 && nRepeatT != 0 && pChar[nRepeatA]->RepeatTarget != 0 && pChar[nRepeatA]->bHitAgain)
        CommandMode = AddBattleEffect(80 + nRepeatA, nRepeatA, nRepeatT, ptFightHome[nRepeatT].x,
                                      ptFightHome[nRepeatT].y, false)
                          ? -1
                          : 0;
}

void CFight::ClearBattleEffects() {
    for (CEffectAnim* p : m_effects) p->Unlink();
    m_effects.clear();
    m_instant.clear();
}

void CFight::ResolveDroppedTurn() {
    if (pMenu) pMenu->bRingHidden = 0;
    CommandMode = -1;
    ActiveNpc = -1;
    bTurnGate = 1;
    bTurnMayAdvance = 1;
}

void CFight::UpdateEffects() {
    std::vector<std::unique_ptr<CEffectAnim>> instant = std::move(m_instant);
    m_instant.clear();
    for (auto& p : instant) {
        if (pChar[p->m_nAttacker]->HP <= 0) ResolveDroppedTurn();
        else FinishEffect(*p);
    }
    std::vector<CEffectAnim*> nodes = m_effects;
    for (CEffectAnim* p : nodes) {
        const int a = p->m_nAttacker, t = p->m_nTarget;
        const bool bSlots = a >= 0 && a < kFightSlots && t >= 0 && t < kFightSlots;
        auto drop = [this, p] { m_effects.erase(std::find(m_effects.begin(), m_effects.end(), p)); };
        if (bSlots && pChar[a] && pChar[a]->HP <= 0) {
            // The attacker fell before its blow landed: the blow is lost, the turn ends.
            drop();
            p->Unlink();
            ResolveDroppedTurn();
            continue;
        }
        p->Draw();
        if (p->Advance()) continue;
        if (bSlots) {
            FinishEffect(*p);
        } else {
            // A node naming slots outside the battle changes nobody.
            CommandMode = -1;
            ActiveNpc = -1;
            bTurnGate = 1;
        }
        drop();
        p->Unlink();
    }
    bEffectBusy = m_effects.empty() && m_instant.empty() ? 0 : 1;
}
