#include "lan/Follower.h"

#include "CDX/CDXScreen.h"
#include "gamedata/BitmapData.h"
#include "gamedata/NpcPkg.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"
#include "world/Scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kCloseEnough = 3000;  // squared pixels: nearer than this to the leader, stop
constexpr DWORD kFrameStep = 100;    // milliseconds per frame of an animation
constexpr int kEquipSlots = 6;
constexpr int kStatCap = 45;
// Native pixel values of the debug marks: the follower's point and its destination.
constexpr DWORD kDebugPointColour = 1504, kDebugDestColour = 255;

long long SquaredLength(long long dx, long long dy) { return dx * dx + dy * dy; }

IFollowerWorld& GameWorld() {
    static IFollowerWorld world;
    return world;
}

}  // namespace

POINT IFollowerWorld::HeroPosition() { return pPlayer != nullptr ? pPlayer->ptPos : POINT{}; }

int IFollowerWorld::FrameCount(int nSculpt, int nAction) {
    if (pBitmapData == nullptr || pBitmapData->GetNpcPkg() == nullptr) return 0;
    return pBitmapData->GetNpcPkg()->GetFrameCount(nSculpt, nAction);
}

void IFollowerWorld::DrawFrame(int nSculpt, int nAction, int nDirection, int nFrame, int x, int y) {
    if (pBitmapData == nullptr || pBitmapData->GetNpcPkg() == nullptr) return;
    pBitmapData->GetNpcPkg()->DrawFrame(nSculpt, nAction, nDirection, nFrame, x, y, 0, -1);
}

CFollower::CFollower(IFollowerWorld* pWorld) : m_world(pWorld != nullptr ? *pWorld : GameWorld()) {
    mapObject.nKind = kKindFollower;
    nFrameCount[11] = 4;
}

void CFollower::Init(int nMemberIndex, int /*nIgnored*/) {
    nSculpt = m_world.SculptOf(nMemberIndex);
    nMember = nMemberIndex;
    mapObject.nKind = kKindFollower;
    nAction = nCounter = nFrame = 0;
    dwLastFrame = dwNowTime;
    pPath = std::make_unique<CPathFinder>();
    if (FollowerMember* pMember = m_world.Member(nMemberIndex)) {
        if (pMember->nLevel == 0) {
            if (const std::int32_t* pRow = m_world.LevelRow(nMemberIndex, 0)) {
                pMember->nValue[3] = pRow[1];
                pMember->nValue[4] = pRow[2];
            }
            pMember->nValue[5] = pMember->nBase[5];
        }
        std::memcpy(szName, pMember->szName, sizeof(szName));
        szName[sizeof(szName) - 1] = 0;
    }
    nFrameCount[0] = m_world.FrameCount(nSculpt, 0);
    nFrameCount[1] = m_world.FrameCount(nSculpt, 1);
}

void CFollower::RefreshCell() {
    if (pScene != nullptr) mapObject.ptCellPos = pScene->PixelToCell(ptPos.x, ptPos.y);
}

void CFollower::Update(int /*nSlot*/, int nLeaderX, int nLeaderY) {
    nFrame = nCounter;
    if (nAction == 0) {
        int n = CountOf(0);
        if (n > 0) nFrame = (nCounter / n) % 2 == 0 ? nCounter % n : n - nCounter % n - 1;
    } else if (nAction == 1 || nAction == 10) {
        MoveToward();
        int n = CountOf(nAction == 1 ? 1 : nAltAction);
        if (n > 0) nFrame %= n;
    } else {
        int n = CountOf(nAction);
        if (dwNowTime - dwLastFrame > kFrameStep && n > 0) {
            if (nFrame >= n) {
                if (bReturnToStand) {
                    nAction = 0;
                    if (pPath) pPath->nWaypoints = 0;
                    m_world.ClearAnimationWait();
                }
                nFrame = nCounter = 0;
            } else {
                nFrame = nCounter;
                if (!(nHoldFrame >= 0 && nHoldFrame == nFrame)) {
                    ++nFrame;
                    ++nCounter;
                }
            }
            dwLastFrame = dwNowTime;
        }
    }
    RefreshCell();
    if (m_world.IsEventRunning()) return;
    POINT ptHero = m_world.HeroPosition();
    long long nLeader = SquaredLength(nLeaderX - ptPos.x, nLeaderY - ptPos.y);
    long long nHero = SquaredLength(ptHero.x - ptPos.x, ptHero.y - ptPos.y);
    if (nLeader < kCloseEnough && nAction == 1) Stop();
    if (nHero < kCloseEnough && nAction == 1) Stop();
    bool bPathEmpty = !pPath || pPath->nWaypoints <= 0;
    if (!m_world.IsScriptFollowerSet() && nLeader > kCloseEnough && nHero > kCloseEnough && bPathEmpty)
        ScriptWalk(ptHero.x, ptHero.y, false);
}

void CFollower::Draw() {
    if (pScene == nullptr) return;
    if (pScene->bDebugMarks && pBack) {
        const POINT ptView = pScene->ptView;
        pBack->FillCircle(ptPos.x - ptView.x, ptPos.y - ptView.y, 15, kDebugPointColour);
        pBack->FillCircle(ptDest.x - ptView.x, ptDest.y - ptView.y, 15, kDebugDestColour);
    }
    if (pScene->nSceneNo == 12) return;
    int nDrawn = nAction == 10 ? nAltAction : nAction;
    if (nFrame < CountOf(nDrawn) && nSculpt >= 0)
        m_world.DrawFrame(nSculpt, nDrawn, nDirection, nFrame, ptPos.x - pScene->ptView.x, ptPos.y - pScene->ptView.y);
}

void CFollower::FindPath(int x, int y) {
    if (SquaredLength(x - ptPos.x, y - ptPos.y) < SquaredLength(nSpeed, 0)) return;
    if (pScene == nullptr || !pPath) return;
    CScene& scene = *pScene;
    POINT ptOwn = scene.PixelToCell(ptPos.x, ptPos.y);
    POINT ptGoal = scene.PixelToCell(x, y);
    mapObject.ptCellPos = ptOwn;
    if (!scene.IsInGrid(ptOwn.x, ptOwn.y) || !scene.IsInGrid(ptGoal.x, ptGoal.y)) return;
    // Both ends are opened for the search only: a wall at the goal stays a wall.
    std::int32_t& nOwnBlock = scene.pBlocked[size_t(scene.CellIndex(ptOwn.x, ptOwn.y))];
    std::int32_t& nGoalBlock = scene.pBlocked[size_t(scene.CellIndex(ptGoal.x, ptGoal.y))];
    const std::int32_t nSavedOwn = nOwnBlock, nSavedGoal = nGoalBlock;
    nOwnBlock = 0;
    nGoalBlock = 0;
    pPath->Search(ptOwn, ptGoal);
    nGoalBlock = nSavedGoal;
    nOwnBlock = nSavedOwn;
    if (pPath->nWaypoints < 1) return;
    if (nAction == 0) nAction = 1;
    nFrame = nCounter = 0;
    scene.bHoldView = 0;
}

void CFollower::MoveToward() {
    long long nDist = SquaredLength(ptTarget.x - ptPos.x, ptTarget.y - ptPos.y);
    if (nDist <= 4 * SquaredLength(nSpeed, 0)) {
        int nLeft = pPath ? pPath->nWaypoints : 0;
        auto targetFree = [this] {
            if (pScene == nullptr) return false;
            POINT ptCell = pScene->PixelToCell(ptTarget.x, ptTarget.y);
            return pScene->IsCellFree(ptCell.x, ptCell.y);
        };
        if (nLeft >= 2) {
            if (const POINT* p = pPath->PopWaypoint()) ptTarget = *p;
            if (!targetFree()) {
                Stop();
                return;
            }
        } else if (nLeft == 1) {
            if (!targetFree()) {
                Stop();
                return;
            }
            pPath->nWaypoints = 0;
            ptDest = ptTarget = ptPos;
        } else if (nDist < 2 * SquaredLength(nSpeed, 0) && nAction == 1) {
            ptTarget = ptDest = ptPos;
            Stop();
            return;
        }
        dMotionAngle = GetDirectionAngle(ptPos.x, ptPos.y, ptTarget.x, ptTarget.y);
    }
    StepMotion();
    ptPos.x = std::max<LONG>(ptPos.x, 0);
    ptPos.y = std::max<LONG>(ptPos.y, 0);
    if (pScene != nullptr) {
        ptPos.y = std::min<LONG>(ptPos.y, pScene->nGridHeight * pScene->nCellSize);
        ptPos.x = std::min<LONG>(ptPos.x, pScene->rcMap.right);
    }
}

void CFollower::StepMotion() {
    nDirection = DirectionTo(ptTarget.x - ptPos.x, ptTarget.y - ptPos.y, &dMotionAngle);
    const double kPi = 3.1415926;
    double a = double((int(dMotionAngle) + 90) % 360) * kPi / 180.0;
    if (dwNowTime - dwLastFrame > kFrameStep) {
        ++nFrame;
        ++nCounter;
        dwLastFrame = dwNowTime;
    }
    int n = CountOf(nAction);
    if (n > 0) nFrame %= n;
    ptPos.x += LONG(std::cos(a) * nSpeed);
    ptPos.y += LONG(std::sin(a) * nSpeed);
}

int CFollower::DirectionTo(int dx, int dy, double* pAngle) {
    double dAngle = *pAngle;
    if (dx != 0) {
        dAngle = std::atan(double(dy) / double(dx)) * 180.0 / 3.1415926 + (dx > 0 ? 270.0 : 90.0);
    } else if (dy > 0) {
        dAngle = 0.0;
    } else if (dy < 0) {
        dAngle = 180.0;
    }
    *pAngle = dAngle;
    return DirectionOfAngle(dAngle);
}

int CFollower::DirectionOfAngle(double dAngle) {
    static const double kLimits[8] = {22.5, 67.5, 112.5, 157.5, 202.5, 247.5, 292.5, 337.5};
    for (int d = 0; d < 8; ++d)
        if (dAngle < kLimits[d]) return d;
    return 0;
}

void CFollower::Stop() {
    if (pPath) pPath->nWaypoints = 0;
    nAction = 0;
    ptDest = ptPos;
}

void CFollower::ScriptWalk(int x, int y, bool bInstant) { WalkToward(x, y, CountOf(1), bInstant); }

void CFollower::ScriptWalkTo(int x, int y, int nWalkAction, bool bInstant) {
    WalkToward(x, y, CountOf(nWalkAction), bInstant);
}

void CFollower::WalkToward(int x, int y, int nGateCount, bool bInstant) {
    if (nGateCount == 0 || pScene == nullptr) return;
    POINT ptCell = pScene->PixelToCell(x, y);
    ptDest = pScene->CellToPixel(ptCell.x, ptCell.y);
    nDirection = DirectionTo(ptDest.x - ptPos.x, ptDest.y - ptPos.y, &dFacing);
    if (bInstant) {
        ptPos = ptDest;
        ptTarget = ptPos;
        return;
    }
    FindPath(ptDest.x, ptDest.y);
    if (pPath && pPath->nWaypoints >= 2) {
        --pPath->nWaypoints;
        if (pPath->nWaypoints < 2) {
            ptTarget = ptDest;
        } else {
            POINT pt = pPath->pWaypoints[size_t(pPath->nWaypoints)];
            ptTarget = pScene->CellToPixel(pt.x, pt.y);
        }
        dMotionAngle = GetDirectionAngle(ptPos.x, ptPos.y, ptTarget.x, ptTarget.y);
    } else {
        ptDest = ptTarget = ptPos;
    }
}

void CFollower::SetPos(int x, int y) {
    SetPosOnly(x, y);
    ptDest = ptPos;
}

void CFollower::SetPosOnly(int x, int y) {
    ptPos = POINT{x, y};
    if (pScene == nullptr) return;
    RefreshCell();
    mapObject.UpdateRect();
}

bool CFollower::LevelValues(FollowerMember& member, int nMemberIndex, int nLevel) {
    const std::int32_t* pFirst = m_world.LevelRow(nMemberIndex, 0);
    const std::int32_t* pRow = nLevel != 0 ? m_world.LevelRow(nMemberIndex, nLevel) : pFirst;
    if (pFirst == nullptr || pRow == nullptr) return false;
    int nTimes = nLevel != 0 ? nLevel : 0;
    member.nValue[1] = pFirst[3] + nTimes * pRow[3] + member.nBase[1];
    member.nValue[2] = pFirst[4] + nTimes * pRow[4] + member.nBase[2];
    member.nValue[3] = pFirst[1] + nTimes * pRow[1];
    member.nValue[4] = pFirst[2] + nTimes * pRow[2];
    return true;
}

void CFollower::RecomputeStats(int nMemberIndex, int nBonus) {
    FollowerMember* pMember = m_world.Member(nMemberIndex);
    if (pMember != nullptr && LevelValues(*pMember, nMemberIndex, pMember->nLevel))
        pMember->nValue[5] = (pMember->nLevel != 0 ? nBonus : 0) + pMember->nBase[5];
    Init(nMemberIndex);
}

void CFollower::RecomputeEquipStats(int nMemberIndex) {
    FollowerMember* pMember = m_world.Member(nMemberIndex);
    if (pMember == nullptr) return;
    // Level 0 has no level row of its own to multiply: it counts as level 0 here too.
    if (!LevelValues(*pMember, nMemberIndex, pMember->nLevel)) return;
    pMember->nValue[5] = pMember->nBase[5];
    for (int i = 0; i < kEquipSlots; ++i) {
        int v = pMember->nEquip[i];
        if (v <= -1) continue;
        // Item v - 1: an empty slot (0) or an item outside the table adds nothing.
        const std::int32_t* pItem = m_world.ItemRow(v - 1);
        if (pItem == nullptr) continue;
        pMember->nValue[3] += pItem[3];
        pMember->nValue[4] += pItem[4];
        pMember->nValue[5] = std::min(pMember->nValue[5] + pItem[9], kStatCap);
    }
}
