// The hero's action state machine and frame timing, walking and running along a found
// path, arrival at the walk target, stamina and regeneration, and the draw.
#include <algorithm>
#include <cmath>

#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/NpcPkg.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/PathFinder.h"
#include "world/Player.h"
#include "world/PlayerHost.h"
#include "world/Scene.h"
#include "world/SceneHost.h"
#include "world/WorldMath.h"

namespace {

constexpr double kPi = 3.1415926;
constexpr DWORD kFrameStepMs = 100;
constexpr DWORD kRunFrameStepMs = 80;
constexpr DWORD kHurtHoldMs = 150;
constexpr DWORD kRegenMs = 1000;
constexpr int kStaminaDrain = 5;
// A walk starts on this frame of the walk cycle.
constexpr int kWalkStartFrame = 8;

std::int64_t SquaredLength(std::int64_t dx, std::int64_t dy) { return dx * dx + dy * dy; }

int PlayerSpeed() {
    return pGameData != nullptr && pGameData->pOptions ? pGameData->pOptions->nPlayerSpeed : GameOptions{}.nPlayerSpeed;
}

// The centre of the cell under a map point.
POINT CellCentre(POINT pt) {
    const POINT cell = pScene->PixelToCell(pt.x, pt.y);
    return pScene->CellToPixel(cell.x, cell.y);
}

bool IsRunAction(int nAction) { return nAction == 2 || nAction == 8; }

}  // namespace

int DirectionFromVector(int dx, int dy, double* pAngle) {
    double a = *pAngle;
    if (dx != 0) {
        a = std::atan(double(dy) / double(dx)) * 180.0 / kPi + (dx > 0 ? 270.0 : 90.0);
    } else if (dy > 0) {
        a = 0.0;
    } else if (dy < 0) {
        a = 180.0;
    }
    *pAngle = a;
    static constexpr double kLimits[8] = {22.5, 67.5, 112.5, 157.5, 202.5, 247.5, 292.5, 337.5};
    for (int d = 0; d < 8; ++d)
        if (a <= kLimits[d]) return d;
    return 0;
}

POINT NeighbourCell(POINT cell, int nDirection) {
    static constexpr int kSteps[8][2] = {{1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}};
    const int d = ((nDirection % 8) + 8) % 8;
    return POINT{cell.x + kSteps[d][0], cell.y + kSteps[d][1]};
}

POINT FrontCell(POINT cell, int nDirection, int nGridKind) {
    // The direction table of the cell neighbours follows the screen on a diamond grid
    // only; on a square grid the screen direction gives the step itself, or a strike
    // would land beside the one faced.
    static constexpr int kSquareSteps[8][2] = {{0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}};
    if (nGridKind != 0) return NeighbourCell(cell, nDirection);
    const int d = ((nDirection % 8) + 8) % 8;
    return POINT{cell.x + kSquareSteps[d][0], cell.y + kSquareSteps[d][1]};
}

POINT CPlayer::CellInFront() const {
    const POINT cell = pScene ? pScene->PixelToCell(ptPos.x, ptPos.y) : mapObject.ptCellPos;
    return FrontCell(cell, nDirection, pScene ? pScene->nGridKind : 1);
}

int CPlayer::Update() {
    if (timeHurtHold != -1) {
        if (dwNowTime - DWORD(timeHurtHold) > kHurtHoldMs) timeHurtHold = -1;
    } else if (TakeAreaDamage()) {
        return 1;
    }
    Think();
    Regenerate();
    const int nPanelWord = HeroHost().GetIdlePanelWord();
    if (nPanelWord == 0 && nAction != 0) timeIdleSince = 0;
    const int nCount = nAction >= 0 && nAction < kHeroActionCount ? nFrameCounts[nAction] : 0;
    switch (nAction) {
    case 0:
    case 6:
        if (mapObject.nKind == kHeroKindComputer && nFightTarget == -1 && nPanelWord == 0) {
            if (timeIdleSince == 0) {
                timeIdleSince = std::int32_t(dwNowTime);
            } else if (dwNowTime - DWORD(timeIdleSince) > DWORD(nIdleInterval)) {
                WanderNearLeader();
            }
        }
        if (nCount > 0) StepIdleFrame(nCount);
        break;
    case 1:
    case 7:
    case 2:
    case 8:
        if (IsRunAction(nAction)) DrainStamina();
        WalkStep();
        // The walk may have ended in another action.
        if (nAction >= 0 && nAction < kHeroActionCount && nFrameCounts[nAction] > 0)
            nFrame = nFrameCounter % nFrameCounts[nAction];
        break;
    case 9:
        if (nCount > 0) StepIdleFrame(nCount);
        break;
    default:
        RunOneShot();
        break;
    }
    return 0;
}

void CPlayer::StepIdleFrame(int nCount) {
    if (dwNowTime - timeFrame > kFrameStepMs) {
        ++nFrame;
        ++nFrameCounter;
        timeFrame = dwNowTime;
        nFrame %= nCount;
    }
    // Forward, then backward, at half the step rate.
    const int h = nFrameCounter / 2;
    nFrame = (h / nCount) % 2 == 0 ? h % nCount : nCount - (h % nCount) - 1;
}

void CPlayer::RunOneShot() {
    if (nOneShotDivider > 0) {
        --nOneShotDivider;
        return;
    }
    nOneShotDivider = 1;
    const int nCount = nAction >= 0 && nAction < kHeroActionCount ? nFrameCounts[nAction] : 0;
    if (nFrame < nCount - 1 && nFrame != -1) {
        if (nFrame != HeroHost().GetHoldFrame()) {
            ++nFrame;
            ++nFrameCounter;
        }
        timeFrame = dwNowTime;
        if (nAction == nSkillAction && nFrame == nSkillHitFrame) SkillHit();
        if (bSlowAnimation) {
            const int h = nFrameCounter / 2;
            nFrame = (h / nCount) % 2 == 0 ? h : nCount - h - 1;
        }
        if (nFrame >= 0) return;
        EndOneShot(false);
        return;
    }
    EndOneShot(true);
}

void CPlayer::EndOneShot(bool bTimers) {
    if (bTimers && nAction == 4) timeHurtHold = std::int32_t(dwNowTime);
    if (bTimers && nAction == 3) timeAttackCoolDown = std::int32_t(dwNowTime);
    OnActionEnd(nAction);
    nAction = nSpriteAction = nFrameCounter = nFrame = 0;
    HeroHost().ClearEffectWait();
    bSlowAnimation = 0;
}

void CPlayer::SetAction(int nNew) {
    if (nNew < 0 || nNew >= kHeroActionCount) return;
    if (GetFrameCount(nNew) == 0) return;
    nAction = nSpriteAction = nNew;
    nFrameCounter = nFrame = 0;
    bSlowAnimation = 1;
}

void CPlayer::ResetAction() { nAction = nSpriteAction = 0; }

void CPlayer::ToggleRest() {
    if (nAction != 9) {
        StopAndSnap();
        nAction = 9;
    } else {
        nAction = 0;
    }
}

int CPlayer::OnActionEnd(int nEnded) {
    if (nEnded == 8) SetAction(9);
    return 1;
}

void CPlayer::StopAndSnap() {
    if (nAction == 4) return;
    nFrame = nFrameCounter = 0;
    nTalkTarget = nTargetObject = -1;
    ClearPath();
    nAction = nSpriteAction = 0;
    if (pScene) {
        const POINT centre = CellCentre(ptPos);
        SetMapPos(centre.x, centre.y);
    }
    ptGoal = ptPos;
}

void CPlayer::WalkTo(int x, int y, bool bPlace, bool bByUser) {
    if (bHidden || x < 0 || y < 0 || nFrameCounts[1] == 0 || nFrameCounts[2] == 0 || !pScene) return;
    const bool bComputer = mapObject.nKind == kHeroKindComputer;
    if (bComputer && nAction == 3) {
        if (bByUser) ptPendingWalk = POINT{x, y};
        return;
    }
    if (bComputer && nFightTarget != -1 && nAction < 3 && bByUser) {
        ptPendingWalk = POINT{x, y};
        nFightTarget = -1;
        return;
    }
    if (nAction == 4) {
        if (bByUser) ptPendingWalk = POINT{x, y};
        return;
    }
    HeadFor(POINT{x, y}, bPlace);
}

void CPlayer::HeadFor(POINT pt, bool bPlace) {
    ptGoal = CellCentre(pt);
    nDirection = DirectionFromVector(ptGoal.x - ptPos.x, ptGoal.y - ptPos.y, &dLastAngle);
    if (bPlace) {
        SetMapPos(ptGoal.x, ptGoal.y);
        ptNextWaypoint = ptGoal;
        return;
    }
    StartPath();
}

void CPlayer::StartPath() {
    PlanPath(ptGoal.x, ptGoal.y);
    const int n = WaypointCount();
    if (n > 0 && !(n < 2 && nTalkTarget != -1)) {
        if (const POINT* p = pPath->PopWaypoint()) ptNextWaypoint = *p;
        if (pPath->nWaypoints < 2 && nTalkTarget == -1 && nTargetObject == -1) ptNextWaypoint = ptGoal;
    } else {
        ptGoal = ptPos;
        ptNextWaypoint = ptPos;
    }
}

void CPlayer::PlanPath(int x, int y) {
    // An earlier path never leads to a new goal.
    ClearPath();
    if (!pScene || !pPath) return;
    if (SquaredLength(x - ptPos.x, y - ptPos.y) < SquaredLength(nWalkStep, 0)) return;
    CScene& scene = *pScene;
    const POINT heroCell = scene.PixelToCell(ptPos.x, ptPos.y);
    const POINT targetCell = scene.PixelToCell(x, y);
    if (!scene.IsInGrid(heroCell.x, heroCell.y) || !scene.IsInGrid(targetCell.x, targetCell.y)) return;
    const bool bTarget = nTalkTarget != -1 || nTargetObject != -1;
    std::int32_t& nTargetBlock = scene.pBlocked[size_t(scene.CellIndex(targetCell.x, targetCell.y))];
    if (nTargetBlock == 1 && !bTarget) return;
    mapObject.ptCellPos = heroCell;
    scene.pBlocked[size_t(scene.CellIndex(heroCell.x, heroCell.y))] = 0;
    const std::int32_t nSavedBlock = nTargetBlock;
    if (bTarget) nTargetBlock = 0;
    pPath->Search(heroCell, targetCell);
    nTargetBlock = nSavedBlock;

    if (pPath->nWaypoints <= 0) return;
    if (nAction == 0) {
        nAction = nSpriteAction = 1;
        nFrameCounter = nFrame = kWalkStartFrame;
        scene.bHoldView = 0;
    }
    if (nAction == 1) {
        bMode[2] = pPlayer != nullptr ? pPlayer->bMode[2] : bMode[2];
        if (nStamina > 0 && bMode[2]) {
            scene.bHoldView = 0;
            nAction = nSpriteAction = 2;
            nFrameCounter = nFrame = kWalkStartFrame;
        }
    }
}

void CPlayer::ArriveAt(POINT pt) {
    SetMapPos(pt.x, pt.y);
    OnArrive();
}

void CPlayer::WalkStep() {
    if (!pScene || !pPath) return;
    CScene& scene = *pScene;
    const int nScene = SceneHost().GetSceneNumber();
    const bool bOutdoorSteps = nScene < 100 || nScene == 109 || (nScene >= 132 && nScene <= 137);
    nWalkStep = bOutdoorSteps ? PlayerSpeed() : 4;
    nRunStep = bOutdoorSteps ? 14 : 8;

    const std::int64_t dd = SquaredLength(ptNextWaypoint.x - ptPos.x, ptNextWaypoint.y - ptPos.y);
    const std::int64_t walk2 = SquaredLength(nWalkStep, 0), run2 = SquaredLength(nRunStep, 0);
    if (dd <= 4 * walk2) {
        const POINT goalCell = scene.PixelToCell(ptGoal.x, ptGoal.y);
        const bool bGoalOpen = scene.IsCellPassable(goalCell.x, goalCell.y);
        const int n = pPath->nWaypoints;
        if (nTalkTarget != -1 || nTargetObject != -1) {
            if (n > 2) {
                if (const POINT* p = pPath->PopWaypoint()) ptNextWaypoint = *p;
            } else if ((dd < 2 * walk2 && nAction == 1) || (dd < 2 * run2 && nAction == 2)) {
                ArriveAt(ptNextWaypoint);
                return;
            }
        } else if (n > 1) {
            if (!bGoalOpen) {
                ClearPath();
                WalkTo(ptGoal.x, ptGoal.y, false, false);
                return;
            }
            if (const POINT* p = pPath->PopWaypoint()) ptNextWaypoint = *p;
        } else if (n == 1) {
            if (!bGoalOpen) {
                StopAndSnap();
                return;
            }
            ClearPath();
            ptNextWaypoint = ptGoal;
        } else if ((dd < 2 * walk2 && nAction == 1) || (dd < 2 * run2 && (nAction == 2 || nAction == 4))) {
            ArriveAt(ptNextWaypoint);
            return;
        }
    }
    MoveAlongHeading();
    ptPos.x = std::clamp<LONG>(ptPos.x, 0, scene.rcMap.right);
    ptPos.y = std::clamp<LONG>(ptPos.y, 0, scene.nGridHeight * scene.nCellSize);
}

void CPlayer::MoveAlongHeading() {
    nDirection = DirectionFromVector(ptNextWaypoint.x - ptPos.x, ptNextWaypoint.y - ptPos.y, &dHeading);
    const double t = double((int(dHeading) + 90) % 360) * kPi / 180.0;
    const bool bRun = nAction == 2;
    if (dwNowTime - timeFrame > (bRun ? kRunFrameStepMs : kFrameStepMs)) {
        const DWORD dwClock = TimeGetTime();
        if (bRun ? dwClock % 50 < 25 : dwClock % 100 < 50) HeroHost().PlayStepSound();
        ++nFrame;
        ++nFrameCounter;
        timeFrame = dwNowTime;
    }
    const int nCount = nAction >= 0 && nAction < kHeroActionCount ? nFrameCounts[nAction] : 0;
    if (nCount > 0) nFrame %= nCount;
    const int nStep = bRun ? nRunStep : nWalkStep;
    ptPos.x += LONG(std::cos(t) * nStep);
    ptPos.y += LONG(std::sin(t) * nStep);
    if (pScene && nMember == HeroHost().GetCurrentHero() - 1) pScene->ScrollToPoint(ptPos.x, ptPos.y);
}

void CPlayer::OnArrive() {
    CHeroHost& host = HeroHost();
    if (host.IsEventRunning()) {
        StopAndSnap();
        return;
    }
    if (nTalkTarget != -1) {
        POINT ptNpc;
        if (!host.GetShownNpcPoint(nTalkTarget, &ptNpc)) {
            StopAndSnap();
            nTalkTarget = -1;
            return;
        }
        nDirection = DirectionFromVector(ptNpc.x - ptPos.x, ptNpc.y - ptPos.y, &dLastAngle);
        if (host.TalkToNpc(nTalkTarget)) {
            StopAndSnap();
            return;
        }
    }
    if (nTargetObject == -1) {
        StopAndSnap();
        LeashToLeader();
    }
}

void CPlayer::PlayScriptAction(int x, int y, int nSprite, bool bPlace) {
    const int nCount = HeroHost().GetSpriteFrameCount(nSculpt, nSprite);
    nFrameCounts[4] = nCount;
    nAction = 4;
    nSpriteAction = nSprite;
    nFrame = nFrameCounter = 0;
    if (nCount == 0 || !pScene || x < 0 || y < 0) return;
    HeadFor(POINT{x, y}, bPlace);
}

int CPlayer::DrawnSpriteAction() const {
    if (nStance == 0) {
        if (nAction == 0) return 6;
        if (nAction == 1) return 7;
        if (nAction == 2) return 8;
    }
    return nSpriteAction;
}

void CPlayer::Draw() {
    if (bHidden || nSculpt < 0 || nAction < 0 || nAction >= kHeroActionCount) return;
    if (nFrame < 0 || nFrame >= nFrameCounts[nAction]) return;
    CNpcPkg* pPkg = pBitmapData ? pBitmapData->GetNpcPkg() : nullptr;
    if (!pPkg || !pScene) return;
    pPkg->DrawFrameTinted(nSculpt, DrawnSpriteAction(), nDirection, nFrame, ptPos.x - pScene->ptView.x,
                          ptPos.y - pScene->ptView.y, nTint);
}

void CPlayer::DrawTranslucent() {
    if (bHidden || nSculpt < 0 || !(nAction <= 2 || nAction == 9) || nAction < 0) return;
    if (nFrame < 0 || nFrame >= nFrameCounts[nAction]) return;
    CNpcPkg* pPkg = pBitmapData ? pBitmapData->GetNpcPkg() : nullptr;
    if (!pPkg || !pScene) return;
    pPkg->DrawFrameBlended(nSculpt, DrawnSpriteAction(), nDirection, nFrame, ptPos.x - pScene->ptView.x,
                           ptPos.y - pScene->ptView.y);
}

void CPlayer::DrainStamina() {
    if (nAction != 2 || nStamina < 1 || nStance != 1) return;
    const DWORD dwClock = TimeGetTime();
    timeRegen[1] = dwClock;
    if (dwClock - timeRegen[0] <= kRegenMs) return;
    timeRegen[0] = dwClock;
    nStamina = std::max(nStamina - kStaminaDrain, 0);
}

void CPlayer::Regenerate() {
    if (nAction == 2) {
        if (nStamina < 1) SetAction(1);
        return;
    }
    const DWORD dwClock = TimeGetTime();
    timeRegen[1] = dwClock;
    if (dwClock - timeRegen[0] <= kRegenMs) return;
    timeRegen[0] = dwClock;
    // Item bonuses may raise the maxima up to the end of the 32-bit range, so each
    // gain is added without overflow.
    if (nAction == 9) {
        nStamina = std::min(SaturatingAdd(nStamina, std::int64_t(nStaminaMax) * 5 / 100), nStaminaMax);
        nLife = std::min(SaturatingAdd(nLife, std::max(1, int(nLifeMax * 0.5) / 100)), nLifeMax);
        nMana = std::min(SaturatingAdd(nMana, std::max(1, nManaMax / 100)), nManaMax);
    }
    nStamina = nStaminaMax;
    if (nLife < nLifeMax) nLife = SaturatingAdd(nLife, 10);
    nLife = std::min(nLife, nLifeMax);
    nMana = std::min(SaturatingAdd(nMana, std::max(1, nManaMax / 100)), nManaMax);
}
