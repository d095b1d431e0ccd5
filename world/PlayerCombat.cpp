// Strikes and the computer-steered party's behaviour on the map: choosing a fighter in
// view, approaching and striking it, the shared target, damage from marked cells,
// self-healing from the quick slots, staying near the controlled hero and idle wandering.
#include <algorithm>
#include <climits>
#include <cmath>

#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/FightHost.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/PlayerHost.h"
#include "world/Scene.h"
#include "world/WorldMath.h"

namespace {

constexpr DWORD kStrikeCoolDownMs = 100;
constexpr std::int64_t kTooNearSquared = 1024;      // 32 pixels
constexpr std::int64_t kLeashSquared = 40001;       // beyond 200 pixels
constexpr std::int64_t kMemberReachSquared = 40000; // within 200 pixels
constexpr std::int64_t kRangedTooNearSquared = 10000;
constexpr std::int64_t kTalkReachSquared = 1025;
constexpr std::int64_t kObjectReachSquared = 4097;
constexpr int kStrikeSoundBase = 7;
constexpr int kLowPercent = 30, kHighPercent = 80, kHealPercent = 10;
constexpr int kWanderBottomMargin = 60;

POINT NpcPoint(const CNpc& npc) { return POINT{npc.pState->nMapX, npc.pState->nMapY}; }

bool Below(std::int64_t nValue, std::int64_t nMax, int nPercent) { return nValue * 100 < nMax * nPercent; }

// What approaching and striking a character came to.
enum Engaged { kDropped = -1, kNoPath = 0, kActed = 1 };

}  // namespace

void CPlayer::Think() {
    if (HeroHost().IsEventRunning()) return;
    if (bLow) AutoHeal();
    UpdateBuff();
    if (nFightTarget == -1 && nStrikeTarget == -1) ClearTargetMark();
    if (PursueTarget(nSharedTarget) == 0 && Fight() == -1) return;
    if (!pScene) return;
    POINT ptNpc;
    if (nTalkTarget != -1 && nAction == 0) {
        // The character, not the hero, must stand near the hero's next waypoint: a hero
        // standing far from it walks up to it rather than talking from afar. A character
        // no longer shown is let go by the arrival.
        if (!HeroHost().GetShownNpcPoint(nTalkTarget, &ptNpc)) {
            OnArrive();
        } else if (SquaredDistance(ptNpc, ptNextWaypoint) < kTalkReachSquared) {
            SetMapPos(ptNextWaypoint.x, ptNextWaypoint.y);
            OnArrive();
            if (HeroHost().IsEventRunning()) HeroHost().AdvanceScript();
        } else {
            WalkTo(ptNpc.x, ptNpc.y, false, false);
        }
    }
    if (nTargetObject != -1 && nAction == 0) {
        for (const auto& pObject : pScene->List(kListD)) {
            if (pObject->nId != nTargetObject) continue;
            const RECT& rc = pObject->rcObject;
            const POINT cell = pScene->PixelToCell((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            const POINT pt = pScene->CellToPixel(cell.x, cell.y);
            if (SquaredDistance(ptPos, pt) < kObjectReachSquared) {
                nTargetObject = -1;
                nAction = nSpriteAction = 0;
                nFrame = 0;
            } else {
                WalkTo(pt.x, pt.y, false, false);
            }
            break;
        }
    }
}

namespace {

// Whether a hero at ptHero reaches a character: ranged by pixels, melee by cells (the same
// or a neighbouring cell).
bool InReach(const CScene& scene, POINT ptHero, const CNpc& npc, bool bRanged, int nRadius, std::int64_t d) {
    if (bRanged) return d < std::int64_t(nRadius) * nRadius;
    const POINT own = scene.PixelToCell(ptHero.x, ptHero.y);
    const POINT other = scene.PixelToCell(npc.pState->nMapX, npc.pState->nMapY);
    return SquaredDistance(own, other) < 3;
}

}  // namespace

int CPlayer::Fight() {
    if (!pScene || mapObject.nKind != kHeroKindComputer || HeroHost().IsEventRunning()) return -1;
    if (nAction == 9) {
        LeashToLeader();
        return -1;
    }
    const SIZE screen = HeroHost().GetScreenSize();
    const POINT view = pScene->ptView;
    const std::int64_t nEngage2 = std::int64_t(nEngageRadius) * nEngageRadius;
    const std::int64_t nAttack2 = std::int64_t(nAttackRadius) * nAttackRadius;
    for (int i = 0; i < pScene->GetNpcCount(); ++i) {
        CNpc* pNpc = pScene->GetNpc(i);
        if (!pNpc || !pNpc->IsShown() || pNpc->nClass != kNpcClassFighter || !pNpc->bSeen) continue;
        const POINT pt = NpcPoint(*pNpc);
        if (pt.x < view.x || pt.y < view.y || pt.x >= view.x + screen.cx || pt.y >= view.y + screen.cy) continue;
        const std::int64_t d = SquaredDistance(pt, ptPos);
        if (nFightTarget != -1) {
            if (pNpc->mapObject.nId == nFightTarget) return Engage(i, d, false) == kDropped ? -1 : 1;
            continue;
        }
        if (d > kTooNearSquared && d < nEngage2) {
            if (LeashToLeader()) return -1;
            if (d >= nAttack2) {
                nFightTarget = pNpc->mapObject.nId;
                return 1;
            }
            if (KeepDistance(pt.x, pt.y)) return -1;
            ptGoal = pt;
            ClearPath();
            nStrikeTarget = i;
            nDirection = DirectionFromVector(pt.x - ptPos.x, pt.y - ptPos.y, &dLastAngle);
            nFightTarget = pNpc->mapObject.nId;
            Strike(pt.x, pt.y);
            return 1;
        }
        if (d <= kTooNearSquared && d < nAttack2) return Engage(i, d, false) == kDropped ? -1 : 1;
    }
    if (nFightTarget != -1) nFightTarget = nStrikeTarget = -1;
    return -1;
}

int CPlayer::PursueTarget(int nTargetId) {
    if (nTargetId < 0 || !pScene) return 0;
    // The shared target names a character by id.
    const int nIndex = pScene->FindNpcById(nTargetId);
    const CNpc* pNpc = pScene->GetNpc(nIndex);
    if (!pNpc || !pNpc->IsShown()) return 0;
    if (mapObject.nKind == kHeroKindComputer) nFightTarget = nTargetId;
    return Engage(nIndex, SquaredDistance(NpcPoint(*pNpc), ptPos), true) == kActed ? 1 : 0;
}

int CPlayer::Engage(int nIndex, std::int64_t d, bool bPursuit) {
    CNpc* pNpc = pScene->GetNpc(nIndex);
    if (!pNpc) return kDropped;
    const POINT pt = NpcPoint(*pNpc);
    if (LeashToLeader() || KeepDistance(pt.x, pt.y)) return kDropped;
    const bool bComputer = mapObject.nKind == kHeroKindComputer;
    const POINT npcCell = pScene->PixelToCell(pt.x, pt.y);
    if (!InReach(*pScene, ptPos, *pNpc, bRanged != 0, nAttackRadius, d)) {
        nStrikeTarget = -1;
        nDirection = DirectionFromVector(pt.x - ptPos.x, pt.y - ptPos.y, &dLastAngle);
        double dAngle = dLastAngle;
        const int nSide = DirectionFromVector(ptPos.x - pt.x, ptPos.y - pt.y, &dAngle);
        const POINT beside = FrontCell(npcCell, nSide, pScene->nGridKind);
        const POINT target = pScene->IsCellPassable(beside.x, beside.y) ? pScene->CellToPixel(beside.x, beside.y)
                                                                          : CellBeside(npcCell, nSide);
        if (target.x < 0) return bPursuit ? kNoPath : kActed;
        if (!bComputer) {
            HeroHost().RequestWalk(target.x - pScene->ptView.x, target.y - pScene->ptView.y);
        } else if (pPlayer && SquaredDistance(target, pPlayer->ptPos) < kMemberReachSquared) {
            WalkTo(target.x, target.y, false, false);
        } else {
            return bPursuit ? kNoPath : kActed;
        }
        return WaypointCount() > 0 || !bPursuit ? kActed : kNoPath;
    }
    if (!bRanged) {
        const POINT cell = pScene->PixelToCell(ptPos.x, ptPos.y);
        const POINT centre = pScene->CellToPixel(cell.x, cell.y);
        ptGoal = centre;
        SetMapPos(centre.x, centre.y);
    }
    nStrikeTarget = nIndex;
    const POINT npcCentre = pScene->CellToPixel(npcCell.x, npcCell.y);
    nDirection = DirectionFromVector(npcCentre.x - ptPos.x, npcCentre.y - ptPos.y, &dLastAngle);
    if (pNpc->IsShown()) Strike(pt.x, pt.y);
    return kActed;
}

void CPlayer::StartOneShot(int nNew) {
    SetAction(nNew);
    // Without frames the action still runs its course (it ends on the next update).
    if (nAction != nNew) {
        nAction = nSpriteAction = nNew;
        nFrame = nFrameCounter = 0;
    }
}

void CPlayer::Strike(int x, int y) {
    if (nStrikeTarget == -1 || !pScene) return;
    if (timeAttackCoolDown != -1) {
        if (dwNowTime - DWORD(timeAttackCoolDown) < kStrikeCoolDownMs) return;
        timeAttackCoolDown = -1;
    }
    const POINT view = pScene->ptView;
    if (mapObject.nKind == kHeroKindComputer && nSelectedSkill >= 0 && nMana > nSkillCost) {
        CastSkill(x - view.x, y - view.y);
        return;
    }
    if (nAction == 3) {
        if (!bRanged) ClearTargetMark();
        return;
    }
    StartOneShot(3);
    HeroHost().PlaySound(nMember + kStrikeSoundBase);
    if (!bRanged) {
        MarkTargetCell();
    } else {
        const POINT cell = pScene->PixelToCell(x, y);
        const POINT target = pScene->CellToPixel(cell.x, cell.y);
        FightHost().AddFlyingEffect(nAttack, ptPos.x, ptPos.y, 0, target.x - view.x, target.y - view.y, nMember, 0);
    }
    bSlowAnimation = 0;
}

void CPlayer::AttackNpc(int nNpcIndex, int nSquaredDistance) {
    CNpc* pNpc = pScene ? pScene->GetNpc(nNpcIndex) : nullptr;
    if (!pNpc) return;
    const POINT pt = NpcPoint(*pNpc);
    if (!InReach(*pScene, ptPos, *pNpc, bRanged != 0, nAttackRadius, nSquaredDistance)) {
        HeroHost().RequestWalk(pt.x - pScene->ptView.x, pt.y - pScene->ptView.y);
        return;
    }
    nStrikeTarget = nNpcIndex;
    // A blow lands on the cell in front of her own: a melee hero faces the character's
    // cell from hers, wherever in her cell a hurt stopped her walk (faced from her own
    // point, a character beside her could lie in another direction than its cell).
    POINT from = ptPos, to = pt;
    if (!bRanged) {
        const POINT own = pScene->PixelToCell(ptPos.x, ptPos.y), other = pScene->PixelToCell(pt.x, pt.y);
        from = pScene->CellToPixel(own.x, own.y);
        to = pScene->CellToPixel(other.x, other.y);
    }
    nDirection = DirectionFromVector(to.x - from.x, to.y - from.y, &dLastAngle);
    if (pNpc->IsShown()) Strike(pt.x, pt.y);
    nStrikeTarget = -1;
}

void CPlayer::MarkTargetCell() {
    if (!pScene) return;
    ptStrikeCell = CellInFront();
    pScene->SetCellMark(ptStrikeCell.x, ptStrikeCell.y, nAttack, 0);
}

void CPlayer::ClearTargetMark() {
    if (ptStrikeCell.x == -1 && ptStrikeCell.y == -1) return;
    if (pScene) pScene->ClearCellMark(ptStrikeCell.x, ptStrikeCell.y);
    ptStrikeCell = POINT{-1, -1};
}

bool CPlayer::TakeAreaDamage() {
    if (bMode[3]) {
        HeroHost().LeaveParty(nMember);
        bMode[3] = 0;
        return true;
    }
    if (nAction == 4 || !pScene) return false;
    const POINT cell = pScene->PixelToCell(ptPos.x, ptPos.y);
    const SceneCell* pCell = pScene->CellAt(cell.x, cell.y);
    if (!pCell || pCell->nMarkKind != 1 || pCell->nMark <= 0) return false;
    if (nAction != 9 && TimeGetTime() % 100 < 50) StartOneShot(4);
    const std::int64_t nDamage = std::max<std::int64_t>(std::int64_t(pCell->nMark) - nDefence, 1);
    FightHost().AddDecLife(ptPos.x, ptPos.y, int(nDamage));
    nLife = std::int32_t(std::max<std::int64_t>(std::int64_t(nLife) - nDamage, INT32_MIN));
    if (Below(nLife, nLifeMax, kLowPercent)) bLow = 1;
    if (nLife >= 1) return false;
    HeroHost().LeaveParty(nMember);
    return true;
}

void CPlayer::AutoHeal() {
    if (mapObject.nKind != kHeroKindComputer || !pPlayer) return;
    if (std::int64_t(nLife) * 100 > std::int64_t(nLifeMax) * kHighPercent &&
        std::int64_t(nMana) * 100 > std::int64_t(nManaMax) * kHighPercent) {
        bLow = 0;
        return;
    }
    // The first quick slot of the controlled hero holding a fitting item heals this hero.
    auto healFrom = [&](bool bLife) {
        for (int k = 0; k < kHeroQuickSlots; ++k) {
            const int nItem = pPlayer->nQuickSlot[k];
            const ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
            if (!pRow || (bLife ? pRow->nLife : pRow->nMana) <= 0) continue;
            UseItem(nItem, false);
            if (pPlayer->HasItem(nItem) == 0) {
                pPlayer->nQuickSlot[k] = -1;
                HeroHost().ClearQuickSlot(k);
            }
            return;
        }
    };
    if (Below(nLife, nLifeMax, kHealPercent)) healFrom(true);
    if (Below(nMana, nManaMax, kHealPercent)) healFrom(false);
}

bool CPlayer::LeashToLeader() {
    if (pPlayer && SquaredDistance(ptPos, pPlayer->ptPos) >= kLeashSquared) {
        nFightTarget = nStrikeTarget = -1;
        WalkTo(ptPendingWalk.x, ptPendingWalk.y, false, true);
        return true;
    }
    return HeroHost().IsKeyTaken();
}

bool CPlayer::KeepDistance(int x, int y) {
    if (!bRanged || !pScene) return false;
    if (SquaredDistance(POINT{x, y}, ptPos) < kRangedTooNearSquared) {
        nFightTarget = nStrikeTarget = -1;
        WalkTo(ptPendingWalk.x, ptPendingWalk.y, false, true);
        return true;
    }
    const int sx = x - pScene->ptView.x, sy = y - pScene->ptView.y;
    if (sx < -100 || sx >= 801 || sy < -100 || sy >= 601) {
        nFightTarget = nStrikeTarget = -1;
        return true;
    }
    return false;
}

void CPlayer::WanderNearLeader() {
    if (mapObject.nKind != kHeroKindComputer || nAction != 0 || nFightTarget != -1 || !pPlayer || !pScene) return;
    if (HeroHost().IsEventRunning()) return;
    const double a = double(TimeGetTime() % 100);
    POINT pt{pPlayer->ptPos.x + int(std::cos(a) * nWanderRadius), pPlayer->ptPos.y + int(std::sin(a) * nWanderRadius)};
    const POINT cell = pScene->PixelToCell(pt.x, pt.y);
    if (!pScene->IsCellFree(cell.x, cell.y)) {
        nAction = 0;
        return;
    }
    pt = AvoidPartyCells(cell);
    const POINT view = pScene->ptView;
    const SIZE screen = HeroHost().GetScreenSize();
    const int sx = pt.x - view.x, sy = pt.y - view.y;
    if (sx < 0 || sx > 800 || sy < 0 || sy > 600) return;
    if (pt.x < view.x || pt.y < view.y || pt.x >= view.x + screen.cx || pt.y >= view.y + screen.cy - kWanderBottomMargin)
        return;
    WalkTo(pt.x, pt.y, false, false);
}

POINT CPlayer::AvoidPartyCells(POINT cell) const {
    // A cell another member stands on gives that member's cell centre, which is the
    // centre of the same cell: either way the walk ends on the cell's centre.
    return pScene ? pScene->CellToPixel(cell.x, cell.y) : POINT{-1, -1};
}

POINT CPlayer::CellBeside(POINT cell, int nDirection) const {
    if (!pScene) return POINT{-1, -1};
    const int d = ((nDirection % 8) + 8) % 8;
    // The neighbour on the side opposite to the direction, as the screen shows it.
    const POINT start = FrontCell(cell, d + 4, pScene->nGridKind);
    for (int k = 0; k < 8; ++k) {
        if (k == d) continue;
        const POINT next = NeighbourCell(start, k);
        if (pScene->IsCellPassable(next.x, next.y)) return pScene->CellToPixel(next.x, next.y);
    }
    return POINT{-1, -1};
}
