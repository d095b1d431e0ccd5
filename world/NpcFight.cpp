// A character's decisions each frame: damage from marked cells, its sound, the fight
// against the heroes (choosing a target, chasing, striking, shooting, fleeing) and
// wandering around its home point, with the walking steps along its planned path.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/FightHost.h"
#include "world/Npc.h"
#include "world/PathFinder.h"
#include "world/Player.h"
#include "world/PlayerHost.h"
#include "world/Scene.h"
#include "world/WorldMath.h"

namespace {

constexpr double kPi = 3.1415926;
constexpr int kNeighbour[8][2] = {{1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}};
constexpr DWORD kAttackCoolDownMs = 100;
constexpr int kFleePercent = 30;
constexpr int kRangedHomeDistance = 200;
constexpr int kRangedTooClose = 100;
constexpr int kHealReach = 100;
constexpr int kHealAmount = 500;
constexpr int kMapMargin = 32;
constexpr DWORD kEarlyFadeMs = 20000;

}  // namespace

CPlayer* CNpc::MemberHero(int nMember) {
    if (nMember < 0 || nMember > 3) return nullptr;
    if (nMember == HeroHost().GetCurrentHero() - 1 || (HeroHost().GetCurrentHero() == 0 && nMember == 0)) return pPlayer;
    return pParty[nMember];
}

POINT CNpc::StatePos() const { return POINT{pState->nMapX, pState->nMapY}; }

void CNpc::ClearHover() {
    if (!m_pScene || m_pScene->nHoverActorId != mapObject.nId) return;
    if (pMouse) pMouse->SetShape(0);
    m_pScene->nHoverActorId = -1;
}

void CNpc::Think() {
    if (!m_pScene) return;
    if (pState->nDisplay & kNpcGone) {
        ClearHover();
        return;
    }
    if (pState->nDisplay & kNpcHidden) return;
    TakeAreaDamage();
    if (pState->nDisplay & (kNpcHidden | kNpcGone)) {
        ClearHover();
        return;
    }
    if (nClass != kNpcClassFighter && pPlayer && pPlayer->nTalkTarget == mapObject.nId) {
        nAction = kNpcStand;
        return;
    }
    PlayNearbySound();
    if (nClass == kNpcClassFighter && !HeroHost().IsEventRunning()) FightThink();
    if (nAction >= 1 || nWanderRadius <= 0 || bChasing) return;
    if (nClass == kNpcClassFighter && nPlacedLife != 0 && nFleeMode == -1 &&
        std::int64_t(pState->nLife) * 100 / nPlacedLife < kFleePercent) {
        if (m_pScene->ptStart.x >= 0 && SquaredDistance(StatePos(), m_pScene->ptStart) >= 400) {
            WalkBeside(m_pScene->ptStart);
            return;
        }
        nFleeMode = 0;
    }
    Srand(TimeGetTime());
    const double a = double(Rand() % 100);
    const POINT pt{ptHome.x + int(std::cos(a) * nWanderRadius), ptHome.y + int(std::sin(a) * nWanderRadius)};
    const int nWidth = m_pScene->nGridWidth * m_pScene->nCellSize, nHeight = m_pScene->nGridHeight * m_pScene->nCellSize;
    const POINT cell = m_pScene->PixelToCell(pt.x, pt.y);
    if (pt.x < 0 || pt.y < 0 || pt.x >= nWidth || pt.y >= nHeight || !m_pScene->IsCellFree(cell.x, cell.y)) {
        nAction = kNpcStand;
        return;
    }
    MoveTo(pt.x, pt.y);
}

void CNpc::PlayNearbySound() {
    if (nClass == kNpcClassFighter || nSoundNo < 0 || nSoundInterval < 1 || !pPlayer) return;
    const DWORD dwNow = TimeGetTime();
    if (dwNow - timeSound <= DWORD(nSoundInterval)) return;
    timeSound = dwNow;
    const int d = int(std::sqrt(double(SquaredDistance(StatePos(), pPlayer->ptPos)))) / 5;
    if (d < 100) FightHost().PlayNpcSound(nSoundNo, 100 - d);
}

void CNpc::FightThink() {
    if (nAction >= kNpcHurt || nFleeMode == -1 || nPlacedLife == 0) return;
    if (nAction == kNpcAttack) {
        ForgetFrontMark();
        return;
    }
    if (nFleeMode == 1 && std::int64_t(pState->nLife) * 100 / nPlacedLife < kFleePercent) {
        FleeHome();
        return;
    }
    const int nTarget = ChooseTarget();
    CPlayer* pHero = MemberHero(nTarget);
    if (!pHero) {
        bChasing = 0;
        ReturnToPost();
        return;
    }
    const POINT heroCell = m_pScene->PixelToCell(pHero->ptPos.x, pHero->ptPos.y);
    const POINT heroCentre = m_pScene->CellToPixel(heroCell.x, heroCell.y);
    const POINT ownCell = m_pScene->PixelToCell(pState->nMapX, pState->nMapY);
    bool bInRange;
    if (bRanged) {
        bInRange = SquaredDistance(StatePos(), pHero->ptPos) < std::int64_t(nRangedRadius) * nRangedRadius;
    } else {
        bInRange = SquaredDistance(ownCell, heroCell) < 3;
    }
    if (bInRange) {
        if (pHero != pPlayer) pHero->nFightTarget = mapObject.nId;
        if (RangedCheck(heroCentre)) return;
        if (pPath) pPath->nWaypoints = 0;
        nAction = kNpcStand;
        bChasing = 1;
        const POINT snap = m_pScene->CellToPixel(ownCell.x, ownCell.y);
        pState->nMapX = snap.x;
        pState->nMapY = snap.y;
        ptNextWaypoint = snap;
        double dAngle = 0.0;
        const int d = DirectionFromVector(snap.x - heroCentre.x, snap.y - heroCentre.y, &dAngle);
        pState->nDirection = std::int8_t((d + 4) % 8);
        ptChaseTarget = heroCentre;
        AttackPlayer(heroCentre);
        return;
    }
    ptChaseTarget = POINT{-1, -1};
    if (RangedCheck(heroCentre)) return;
    const bool bInGrid = m_pScene->IsInGrid(heroCell.x, heroCell.y);
    const size_t nHeroIndex = bInGrid ? size_t(m_pScene->CellIndex(heroCell.x, heroCell.y)) : 0;
    if (bInGrid && nHeroIndex < m_pScene->pBlocked.size()) m_pScene->pBlocked[nHeroIndex] = 0;
    bChasing = 1;
    MoveTo(pHero->ptPos.x, pHero->ptPos.y);
    if (bInGrid && nHeroIndex < m_pScene->pBlocked.size()) m_pScene->pBlocked[nHeroIndex] = 1;
}

int CNpc::ChooseTarget() {
    const std::int64_t nRadius2 = std::int64_t(nAttackRadius) * nAttackRadius;
    int nBest = -1;
    std::int64_t nBestDistance = 0;
    for (int m = 0; m < 4; ++m) {
        const CPlayer* pHero = MemberHero(m);
        if (!pHero) continue;
        const std::int64_t d = SquaredDistance(StatePos(), pHero->ptPos);
        if (d < 1 || d >= nRadius2) continue;
        if (nBest < 0 || d < nBestDistance) {
            nBest = m;
            nBestDistance = d;
        } else if (d == nBestDistance) {
            const CPlayer* pBest = MemberHero(nBest);
            if (pHero->nLife < pBest->nLife) nBest = m;
        }
    }
    return nBest;
}

void CNpc::AttackPlayer(POINT ptTarget) {
    const DWORD dwNow = dwNowTime;
    if (timeAttack != -1) {
        if (dwNow - DWORD(timeAttack) < kAttackCoolDownMs) return;
        timeAttack = -1;
    }
    if (Rand() % 100 > 50) return;
    if (nAction != kNpcStand) {
        ForgetFrontMark();
        return;
    }
    if (!bRanged) {
        const int p = int(TimeGetTime() % 100);
        const SkillRow* pSkill1 = pGameData ? pGameData->GetSkill(nSkill1) : nullptr;
        const SkillRow* pSkill2 = pGameData ? pGameData->GetSkill(nSkill2) : nullptr;
        if ((!pSkill1 && !pSkill2) || p >= nSkillChance) {
            SetAction(kNpcAttack);
            MarkFrontCell();
            return;
        }
        SetAction(kNpcAttack);
        int nSkill = pSkill1 ? nSkill1 : nSkill2;
        const SkillRow* pSkill = pSkill1 ? pSkill1 : pSkill2;
        if (pSkill1 && pSkill2) {
            nSkill = p % 2 == 1 ? nSkill1 : nSkill2;
            pSkill = p % 2 == 1 ? pSkill1 : pSkill2;
        }
        if (pSkill->nSkillNo != -1) {
            FightHost().AddEffectAt(pSkill->nAttack, pState->nMapX, pState->nMapY, nSkill, -1);
            return;
        }
        SetAction(pSkill->nDirection);
        ptFrontMark = CellInFront();
        m_pScene->SetCellMark(ptFrontMark.x, ptFrontMark.y, pSkill->nAttack, 1);
        return;
    }
    const int r = Rand() % 100;
    if (r > 50) HealNeighbours();
    const bool bHasSkill = (pGameData && (pGameData->GetSkill(nSkill1) || pGameData->GetSkill(nSkill2)));
    const int bUseSkill = bHasSkill && r < nSkillChance ? 1 : 0;
    SetAction(kNpcAttack);
    FightHost().AddFlyingEffectFromPoint(nAttack, pState->nMapX, pState->nMapY, ptTarget.x - m_pScene->ptView.x,
                                         ptTarget.y - m_pScene->ptView.y, bUseSkill, -1);
}

void CNpc::HealNeighbours() {
    for (int i = 0; i < m_pScene->GetNpcCount(); ++i) {
        CNpc* pOther = m_pScene->GetNpc(i);
        // Corpses and the dying are not healed: a healed corpse would never count as defeated.
        if (!pOther || !pOther->IsShown() || pOther->pState->nLife < 1 || pOther->nAction == kNpcDie) continue;
        const int dx = pOther->pState->nMapX - pState->nMapX, dy = pOther->pState->nMapY - pState->nMapY;
        if (dx <= -kHealReach || dx >= kHealReach || dy <= -kHealReach || dy >= kHealReach) continue;
        if (std::int64_t(pOther->pState->nLife) + kHealAmount <= nLifeMax) pOther->pState->nLife += kHealAmount;
    }
}

void CNpc::MarkFrontCell() {
    ptFrontMark = CellInFront();
    m_pScene->SetCellMark(ptFrontMark.x, ptFrontMark.y, nAttack, 1);
}

void CNpc::ForgetFrontMark() {
    if (ptFrontMark.x == -1 && ptFrontMark.y == -1) return;
    if (m_pScene) m_pScene->ClearCellMark(ptFrontMark.x, ptFrontMark.y);
    ptFrontMark = POINT{-1, -1};
}

void CNpc::TakeAreaDamage() {
    if (nClass != kNpcClassFighter || (nAction >= kNpcHurt && !bStunned)) return;
    const POINT cell = m_pScene->PixelToCell(pState->nMapX, pState->nMapY);
    const SceneCell* pCell = m_pScene->CellAt(cell.x, cell.y);
    if (!pCell || pCell->nMarkKind != 0 || pCell->nMark <= 0) return;
    SetAction(kNpcHurt);
    nAction = kNpcHurt;
    const std::int64_t nDamage = std::max<std::int64_t>(std::int64_t(pCell->nMark) - nDefence, 1);
    pState->nLife = std::int32_t(std::max<std::int64_t>(std::int64_t(pState->nLife) - nDamage, INT32_MIN));
    FightHost().AddDecLife(pState->nMapX, pState->nMapY, int(nDamage));
    if (pState->nLife >= 1) return;
    Fall();
}

void CNpc::Fall() {
    bStunned = 0;
    timeDeath = bDeathEventPending ? dwNowTime - kEarlyFadeMs : dwNowTime;
    SetAction(kNpcDie);
    nAction = kNpcDie;
    const POINT cell = m_pScene->PixelToCell(pState->nMapX, pState->nMapY);
    m_pScene->ClearCellMark(cell.x, cell.y);
    ForgetFrontMark();
    int nItems[kNpcLootCount];
    for (int i = 0; i < kNpcLootCount; ++i)
        nItems[i] = pGameData && pGameData->GetItem(nLoot[i]) ? nLoot[i] : -1;
    FightHost().DropLoot(pState->nMapX, pState->nMapY, nLootMoney, nItems[0], nItems[1], nItems[2], nItems[3]);
    m_pScene->nHoverActorId = -1;
}

bool CNpc::RangedCheck(POINT pt) {
    if (!bRanged || m_pScene->ptStart.x < 0 || m_pScene->ptStart.y < 0) return false;
    const std::int64_t r = kRangedHomeDistance, c = kRangedTooClose;
    if (SquaredDistance(StatePos(), m_pScene->ptStart) < r * r || SquaredDistance(StatePos(), pt) >= c * c) return false;
    bChasing = 0;
    WalkBeside(m_pScene->ptStart);
    return true;
}

void CNpc::ReturnToPost() {
    if (!bPost || ptPost.x < 0) return;
    const POINT post = m_pScene->PixelToCell(ptPost.x, ptPost.y);
    if (post.x != mapObject.ptCellPos.x || post.y != mapObject.ptCellPos.y) WalkBeside(ptPost);
}

void CNpc::FleeHome() {
    const POINT start = m_pScene->PixelToCell(m_pScene->ptStart.x, m_pScene->ptStart.y);
    if (m_pScene->ptStart.x < 0 || !m_pScene->IsCellFree(start.x, start.y)) return;
    // It walks home rather than chasing anyone.
    bChasing = 0;
    if (nAction == kNpcChase) nAction = kNpcStand;
    MoveTo(m_pScene->ptStart.x, m_pScene->ptStart.y);
    ptHome = m_pScene->ptStart;
    nFleeMode = -1;
}

void CNpc::ReturnHome() { MoveTo(ptHome.x, ptHome.y); }

void CNpc::WalkBeside(POINT pt) {
    if (!m_pScene) return;
    const POINT cell = m_pScene->PixelToCell(pt.x, pt.y);
    if (!m_pScene->IsCellFree(cell.x, cell.y)) {
        for (const auto& step : kNeighbour) {
            if (!m_pScene->IsCellFree(cell.x + step[0], cell.y + step[1])) continue;
            const POINT centre = m_pScene->CellToPixel(cell.x + step[0], cell.y + step[1]);
            MoveTo(centre.x, centre.y);
            return;
        }
    }
    MoveTo(pt.x, pt.y);
}

void CNpc::MoveTo(int x, int y) {
    if (!m_pScene) return;
    if (!pPath) pPath = new CPathFinder();
    pPath->nWaypoints = 0;
    if (pState->nMapX == x && pState->nMapY == y) return;
    const POINT own = m_pScene->PixelToCell(pState->nMapX, pState->nMapY);
    const POINT goal = m_pScene->PixelToCell(x, y);
    const bool bOwnInGrid = m_pScene->IsInGrid(own.x, own.y);
    const size_t nOwn = bOwnInGrid ? size_t(m_pScene->CellIndex(own.x, own.y)) : 0;
    std::int32_t nWasBlocked = 0;
    if (bOwnInGrid && nOwn < m_pScene->pBlocked.size()) {
        nWasBlocked = m_pScene->pBlocked[nOwn];
        m_pScene->pBlocked[nOwn] = 0;
    }
    PlanPath(own, goal);
    if (bOwnInGrid && nOwn < m_pScene->pBlocked.size()) m_pScene->pBlocked[nOwn] = nWasBlocked ? nWasBlocked : 1;
    if (bChasing || nAction == kNpcChase) {
        if (pPath->nWaypoints == 0) return;
        nAction = kNpcChase;
        ChaseStep();
        return;
    }
    if (pPath->nWaypoints == 0) return;
    nAction = kNpcWander;
    WanderStep();
}

void CNpc::PlanPath(POINT own, POINT goal) {
    if (bLiteralPlanning) {
        pPath->SearchIn(*m_pScene, own, goal);
        return;
    }
    // A search depends only on its two cells and the blocking grid: when all three are
    // as they were at the last failed search, it fails again, so it is not repeated.
    const std::vector<std::int32_t>& grid = m_pScene->pBlocked;
    if (m_failedPlan.bValid && m_failedPlan.ptStart.x == own.x && m_failedPlan.ptStart.y == own.y &&
        m_failedPlan.ptGoal.x == goal.x && m_failedPlan.ptGoal.y == goal.y && m_failedPlan.nWidth == m_pScene->nGridWidth &&
        m_failedPlan.nOpenLimit == pPath->nOpenLimit && m_failedPlan.grid.size() == grid.size() &&
        std::memcmp(m_failedPlan.grid.data(), grid.data(), grid.size() * sizeof(std::int32_t)) == 0) {
        pPath->nWaypoints = 0;
        return;
    }
    const int n = pPath->SearchIn(*m_pScene, own, goal);
    m_failedPlan.bValid = n == 0;
    if (n != 0) return;
    m_failedPlan.ptStart = own;
    m_failedPlan.ptGoal = goal;
    m_failedPlan.nWidth = m_pScene->nGridWidth;
    m_failedPlan.nOpenLimit = pPath->nOpenLimit;
    m_failedPlan.grid = grid;
}

void CNpc::StopWalking() {
    ptNextWaypoint = StatePos();
    nFrameCounter = nFrame = 0;
    nAction = kNpcStand;
}

void CNpc::StepAlongPath(int nSpeed, bool bChase) {
    // A stunned character stands still, also in the frame the stun began.
    if (!m_pScene || bStunned) return;
    const std::int64_t nNear = 2 * std::int64_t(nSpeed) * nSpeed;
    if (SquaredDistance(StatePos(), ptNextWaypoint) < nNear) {
        const POINT* pNext = pPath && pPath->nWaypoints > 0 ? pPath->PopWaypointIn(*m_pScene) : nullptr;
        if (!pNext) {
            StopWalking();
            return;
        }
        const POINT cell = m_pScene->PixelToCell(pNext->x, pNext->y);
        if (!m_pScene->IsCellFree(cell.x, cell.y)) {
            StopWalking();
            return;
        }
        const POINT centre = m_pScene->CellToPixel(cell.x, cell.y);
        // A chase never leads into an event region: the character stops at its edge,
        // and one whose home lies in a region walks home. That walk is no chase, so it
        // is not stopped again by the region it returns into.
        if (bChase && m_pScene->GetCellRegion(centre.x, centre.y) >= 0) {
            StopWalking();
            if (m_pScene->GetCellRegion(ptHome.x, ptHome.y) >= 0) {
                bChasing = 0;
                ReturnHome();
            }
            return;
        }
        ptNextWaypoint = centre;
    }
    const int dx = ptNextWaypoint.x - pState->nMapX, dy = ptNextWaypoint.y - pState->nMapY;
    double dAngle = std::atan2(-double(dx), double(dy));
    if (dAngle < 0) dAngle += 2 * kPi;
    dHeading = dAngle;
    pState->nDirection = std::int8_t(int((dAngle + kPi / 8) / (kPi / 4)) % 8);
    const int nMaxX = m_pScene->nGridWidth * m_pScene->nCellSize - kMapMargin;
    const int nMaxY = m_pScene->nGridHeight * m_pScene->nCellSize - kMapMargin;
    const int x = pState->nMapX - int(std::sin(dAngle) * nSpeed);
    const int y = pState->nMapY + int(std::cos(dAngle) * nSpeed);
    pState->nMapX = std::min(std::max(x, kMapMargin), nMaxX);
    pState->nMapY = std::min(std::max(y, kMapMargin), nMaxY);
    SetHitRect();
}

void CNpc::WanderStep() { StepAlongPath(nWanderSpeed, false); }

void CNpc::ChaseStep() { StepAlongPath(nChaseSpeed, true); }
