// A hero's skills on the map: selecting and casting (mana, the thrown item of skill 50,
// the stun of skill 1, use counts and level raises), the effect at the hit frame by
// effect kind, and the timed buff.
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/FightHost.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/PlayerHost.h"
#include "world/Scene.h"
#include "world/WorldMath.h"

namespace {

constexpr int kThrownSkill = 50;
// The skill that stuns the characters around the hero; its level sizes the box. How long
// the stun lasts goes by another skill's level (Npc.cpp).
constexpr int kStunSkill = 1;
constexpr int kLowManaPercent = 30;
constexpr DWORD kBuffTickMs = 1000;
// "%s的%s技能升级了": the hero's name and the skill's name.
constexpr const char kRaiseFormat[] = "%s\xB5\xC4%s\xBC\xBC\xC4\xDC\xC9\xFD\xBC\xB6\xC1\xCB";

enum SkillEffectKind { kLaid = 0, kFlying = 1, kSpread = 2, kTeleport = 3, kPushBack = 4, kBuff = 10 };

const SkillRow* SkillOf(int nSkill) { return pGameData ? pGameData->GetSkill(nSkill) : nullptr; }
const SkillLevelRow* SkillLevelOf(int nSkill) { return pGameData ? pGameData->GetSkillLevel(nSkill) : nullptr; }

// Skills whose laid effect lands on the targeted character wherever it stands.
bool AimsAtCharacter(int nSkill) { return nSkill == 4 || nSkill == 15 || nSkill == 18 || nSkill == 19; }

// Word n of a skill's level row, counted from its row number; 0 beyond the row, where
// a high stored level would reach.
int LevelRowWord(const SkillLevelRow& row, int n) {
    const std::int32_t nWords[] = {row.nNo,         row.nAddAttackOne, row.nAddAttackTwo, row.nAddAttackThree,
                                   row.nAddTimeOne, row.nAddTimeTwo,   row.nAddTimeThree, row.nNeedNumFirst,
                                   row.nNeedNumSecond, row.nNeedNumThird};
    return n >= 0 && n < int(std::size(nWords)) ? nWords[n] : 0;
}

}  // namespace

void CPlayer::SelectSkill(int nSkill) {
    nSkillBonusAttack = 0;
    const SkillRow* pRow = SkillOf(nSkill);
    // A skill number outside the table selects nothing.
    nSelectedSkill = pRow ? nSkill : -1;
    if (!pRow) return;
    nSkillEffectKind = pRow->nAttackType;
    nSkillAction = pRow->nDirection;
    nSkillHitFrame = pRow->nNpcType;
    nSkillValue = pRow->nSkillNo < 0 ? -1 : pRow->nSkillNo;
    if (nSkill == kThrownSkill) {
        const int nItem = HeroHost().GetStackItem();
        const ItemRow* pItem = pGameData ? pGameData->GetItem(nItem) : nullptr;
        nSkillBonusAttack = pItem ? pItem->nAttack : 0;
        nThrownItem = nItem;
        nThrownCount = HeroHost().GetStackCount();
    }
    nSkillCost = pRow->nMana;
}

void CPlayer::CastSkill(int x, int y) {
    const SkillRow* pRow = SkillOf(nSelectedSkill);
    if (nStance != 1 || !pRow || !pScene || nMana < nSkillCost) return;
    if (nAction == 3 || nAction == 9 || nAction == nSkillAction) return;
    // The thrown item needs a unit on the stack; without one the cast costs nothing.
    CHeroHost& host = HeroHost();
    if (nSelectedSkill == kThrownSkill && host.GetStackCount() <= 0) return;
    nMana = SaturatingAdd(nMana, -std::int64_t(nSkillCost));
    if (std::int64_t(nMana) * 100 < std::int64_t(nManaMax) * kLowManaPercent) bLow = 1;
    StopAndSnap();
    const POINT view = pScene->ptView;
    nDirection = DirectionFromVector(x + view.x - ptPos.x, y + view.y - ptPos.y, &dLastAngle);
    if (nSelectedSkill == kThrownSkill) {
        const int nCount = host.GetStackCount() - 1;
        const int nItem = nCount == 0 ? -1 : host.GetStackItem();
        host.SetStack(nItem, nCount);
        nThrownItem = nItem;
        nThrownCount = nCount;
    }
    // The target point is kept in map pixels.
    const bool bMouse = mapObject.nKind != kHeroKindComputer;
    const POINT screen = bMouse && pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{x, y};
    ptSkillTarget = POINT{screen.x + view.x, screen.y + view.y};
    nSkillTargetId = pScene->nHoverActorId;
    StartOneShot(nSkillAction == -1 ? 3 : nSkillAction);
    bSlowAnimation = 0;
    if (nSelectedSkill == kStunSkill) StunAround();
    CountSkillUse();
}

void CPlayer::StunAround() {
    // Half-size of the box by the hero's level of the skill; other levels stun nobody.
    static constexpr int kBox[3][2] = {{150, 150}, {300, 200}, {400, 300}};
    const int nLevel = nSkillLevel[kStunSkill];
    if (nLevel < 0 || nLevel > 2) return;
    for (int i = 0; i < pScene->GetNpcCount(); ++i) {
        CNpc* pNpc = pScene->GetNpc(i);
        if (!pNpc) continue;
        const int dx = pNpc->pState->nMapX - ptPos.x, dy = pNpc->pState->nMapY - ptPos.y;
        if (dx <= -kBox[nLevel][0] || dx >= kBox[nLevel][0] || dy <= -kBox[nLevel][1] || dy >= kBox[nLevel][1]) continue;
        pNpc->bStunned = 1;
        const POINT cell = pScene->PixelToCell(pNpc->pState->nMapX, pNpc->pState->nMapY);
        pScene->ClearCellMark(cell.x, cell.y);
        pNpc->ForgetFrontMark();
    }
}

void CPlayer::CountSkillUse() {
    // Uses and levels exist for skills 0..49 only; the thrown item has no level.
    if (nSelectedSkill < 0 || nSelectedSkill >= kHeroSkillCount) return;
    const int nUses = ++nSkillUses[nSelectedSkill];
    const SkillLevelRow* pLevels = SkillLevelOf(nSelectedSkill);
    const SkillRow* pRow = SkillOf(nSelectedSkill);
    if (!pLevels || !pRow) return;
    const int nNeed[3] = {pLevels->nNeedNumFirst, pLevels->nNeedNumSecond, pLevels->nNeedNumThird};
    for (int k = 0; k < 3; ++k) {
        if (nUses != nNeed[k]) continue;
        nSkillLevel[nSelectedSkill] = k;
        const std::string strName(szName, strnlen(szName, sizeof szName));
        char szText[256];
        std::snprintf(szText, sizeof szText, kRaiseFormat, strName.c_str(), pRow->pName ? pRow->pName : "");
        HeroHost().ShowCaption(szText);
    }
}

int CPlayer::SkillLevelBonus() const {
    // A stored level above 0 adds the word one past it in the level row.
    const SkillLevelRow* pLevels = SkillLevelOf(nSelectedSkill);
    if (!pLevels || nSelectedSkill < 0 || nSelectedSkill >= kHeroSkillCount) return 0;
    const int nLevel = nSkillLevel[nSelectedSkill];
    return nLevel > 0 ? LevelRowWord(*pLevels, nLevel + 1) : 0;
}

void CPlayer::SkillHit() {
    const SkillRow* pRow = SkillOf(nSelectedSkill);
    if (!pRow || !pScene) return;
    const int nBonus = SkillLevelBonus();
    const bool bMouse = mapObject.nKind != kHeroKindComputer;
    const POINT view = pScene->ptView;
    switch (nSkillEffectKind) {
    case kLaid:
        LaySkillEffect(nBonus);
        break;
    case kFlying:
    case kSpread: {
        pScene->SetCellMark(ptStrikeCell.x, ptStrikeCell.y, SaturatingAdd(pRow->nAttack, nBonus), 0);
        HeroHost().PlaySkillSound(pRow->nEffectSound);
        const int nKind = nSkillEffectKind == kSpread ? 1 : 0;
        const int tx = ptSkillTarget.x - view.x, ty = ptSkillTarget.y - view.y;
        if (bMouse) {
            FightHost().AddFlyingEffectFromHero(tx, ty, nKind, nSkillAction, pRow->nPicNo,
                                                SaturatingAdd(pRow->nAttack, std::int64_t(nSkillBonusAttack) + nBonus));
        } else {
            FightHost().AddFlyingEffect(nAttack, ptPos.x, ptPos.y, pRow->nPicNo, tx, ty, nMember, nKind);
        }
        break;
    }
    case kTeleport:
        TeleportToTarget();
        break;
    case kPushBack:
        PushBackNpc();
        break;
    case kBuff:
        ApplyBuff();
        break;
    default:
        break;
    }
    nSkillTargetId = -1;
}

void CPlayer::LaySkillEffect(int nBonus) {
    const SkillRow* pRow = SkillOf(nSelectedSkill);
    if (mapObject.nKind != kHeroKindComputer) {
        FightHost().AddAreaEffectAtHero(nSkillBonusAttack, ptSkillTarget.x, ptSkillTarget.y, nSkillValue, nSkillAction);
    } else {
        FightHost().AddEffectAt(nSkillBonusAttack, ptSkillTarget.x, ptSkillTarget.y, nSelectedSkill, nMember);
    }
    if (nSkillValue != -1) return;
    // Without an area pattern the skill hits one cell.
    const int nTargetIndex = nSkillTargetId >= 0 ? pScene->FindNpcById(nSkillTargetId) : -1;
    const CNpc* pTarget = pScene->GetNpc(nTargetIndex);
    POINT ptHit = ptSkillTarget;
    if (pTarget) {
        ptHit = POINT{pTarget->pState->nMapX, pTarget->pState->nMapY};
    } else if (nSkillTargetId >= 0 && !AimsAtCharacter(nSelectedSkill)) {
        const POINT front = CellInFront();
        ptHit = pScene->CellToPixel(front.x, front.y);
    }
    const POINT cell = pScene->PixelToCell(ptHit.x, ptHit.y);
    if (!HeroHost().StartSceneEffect(pRow->nPicNo, ptHit.x, ptHit.y)) HeroHost().PlaySkillSound(pRow->nEffectSound);
    pScene->SetCellMark(cell.x, cell.y, SaturatingAdd(pRow->nAttack, nBonus), 0);
}

void CPlayer::TeleportToTarget() {
    if (!pScene) return;
    POINT cell = pScene->PixelToCell(ptSkillTarget.x, ptSkillTarget.y);
    if (!pScene->IsCellFree(cell.x, cell.y)) {
        bool bFound = false;
        for (int d = 0; d < 8 && !bFound; ++d) {
            const POINT next = NeighbourCell(cell, d);
            if (pScene->IsCellFree(next.x, next.y)) {
                cell = next;
                bFound = true;
            }
        }
        // A wall with no free cell around it: the hero stays where he is.
        if (!bFound) return;
    }
    const POINT centre = pScene->CellToPixel(cell.x, cell.y);
    SetMapPos(centre.x, centre.y);
    ClearPath();
    nAction = 0;
    ptGoal = ptPos;
    ptNextWaypoint = ptPos;
    pScene->ScrollToPoint(ptPos.x, ptPos.y);
}

void CPlayer::PushBackNpc() {
    if (!pScene) return;
    const POINT own = pScene->PixelToCell(ptPos.x, ptPos.y);
    for (int i = 0; i < pScene->GetNpcCount(); ++i) {
        CNpc* pNpc = pScene->GetNpc(i);
        if (!pNpc || !pNpc->IsShown() || !pNpc->bSeen || pNpc->nClass != kNpcClassFighter) continue;
        const POINT cell = pScene->PixelToCell(pNpc->pState->nMapX, pNpc->pState->nMapY);
        const int dx = cell.x - own.x, dy = cell.y - own.y;
        if (dx < -1 || dx > 1 || dy < -1 || dy > 1) continue;
        const POINT next{cell.x + dx, cell.y + dy};
        if (pScene->IsCellFree(next.x, next.y)) {
            const POINT centre = pScene->CellToPixel(next.x, next.y);
            pNpc->SetMapPos(centre.x, centre.y);
        }
        return;
    }
}

void CPlayer::RemoveBuffBonuses() {
    const SkillRow* pBuff = SkillOf(nBuff);
    if (!pBuff) return;
    nAttack = SaturatingAdd(nAttack, -std::int64_t(pBuff->nAttack));
    nDefence = SaturatingAdd(nDefence, -std::int64_t(pBuff->nDefance));
    nStaminaMax = SaturatingAdd(nStaminaMax, -std::int64_t(pBuff->nCelerity));
}

void CPlayer::ApplyBuff() {
    nSkillBonusAttack = nSkillBonusTime = 0;
    if (nBuff >= 0) RemoveBuffBonuses();
    const SkillRow* pRow = SkillOf(nSelectedSkill);
    if (!pRow) {
        nBuff = -1;
        return;
    }
    nBuff = nSelectedSkill;
    nAttack = SaturatingAdd(nAttack, pRow->nAttack);
    nDefence = SaturatingAdd(nDefence, pRow->nDefance);
    nStaminaMax = SaturatingAdd(nStaminaMax, pRow->nCelerity);
    nBuffSeconds = pRow->nNeedTime;
    const SkillLevelRow* pLevels = SkillLevelOf(nSelectedSkill);
    const int nLevel = nSelectedSkill < kHeroSkillCount ? nSkillLevel[nSelectedSkill] : 0;
    if (pLevels && nLevel > 0) {
        nSkillBonusAttack = LevelRowWord(*pLevels, nLevel + 1);
        nSkillBonusTime = LevelRowWord(*pLevels, nLevel + 4);
        if (nSkillBonusTime > 0) nBuffSeconds = SaturatingAdd(nBuffSeconds, nSkillBonusTime);
    }
    HeroHost().PlaySkillSound(pRow->nEffectSound);
    timeBuff[0] = timeBuff[1] = std::int32_t(TimeGetTime());
}

void CPlayer::UpdateBuff() {
    if (nBuff < 0) return;
    // A buff without time left ends now rather than holding its bonuses for good.
    if (nBuffSeconds >= 1) {
        const DWORD dwNow = TimeGetTime();
        if (dwNow - DWORD(timeBuff[1]) < kBuffTickMs) return;
        timeBuff[1] = std::int32_t(dwNow);
        if (nBuffSeconds >= 2) {
            --nBuffSeconds;
            return;
        }
    }
    nBuffSeconds = 0;
    RemoveBuffBonuses();
    nBuff = -1;
}
