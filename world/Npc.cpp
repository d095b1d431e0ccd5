#include "world/Npc.h"

#include <cstring>

#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Stream.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/NpcHost.h"
#include "world/PathFinder.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

constexpr int kHeroRestAction = 9;
// A stun lasts by the controlled hero's level of skill 3. The stun is cast with skill 1
// (PlayerSkill.cpp), whose level sizes its box: two skills by rule, not one number.
constexpr int kStunTimeSkill = 3;
constexpr int kStunHoldLife = 20;

int PackageFrameCount(int nSculpt, int nAction) {
    CNpcPkg* pPkg = pBitmapData ? pBitmapData->GetNpcPkg() : nullptr;
    return pPkg ? pPkg->GetFrameCount(nSculpt, nAction) : 0;
}

DWORD StunTime(int nLevel) {
    switch (nLevel) {
        case 0: return 1500;
        case 1: return 3000;
        case 2: return 5000;
        default: return 0;
    }
}

}  // namespace

CNpc::CNpc() {
    // The map object keeps its own picture default, 2: the map file's first picture.
    mapObject.nKind = kKindNpc;
    for (auto& n : nEvents) n = -1;
    for (auto& n : nLoot) n = -1;
    std::memset(m_ownState, 0xFF, sizeof m_ownState);
    static_assert(sizeof m_ownState == sizeof(NpcStateRecord));
    pState = reinterpret_cast<NpcStateRecord*>(m_ownState);
}

CNpc::~CNpc() { delete pPath; }

bool CNpc::Load(CByteReader& in, CScene* pOwner) {
    m_pScene = pOwner;
    const int nScene = pOwner ? pOwner->nSceneNo : -1;
    std::int32_t nWord = 0, nCellX = 0, nCellY = 0, nDirection = 0, nDisplay = 0, nId = 0;
    in.ReadI32(&nClass);
    in.ReadI32(&nEnemyRow);
    in.ReadI32(&nWord);  // the frame, which the binding sets to 0
    in.ReadI32(&nCellX);
    in.ReadI32(&nCellY);
    in.ReadI32(&nDirection);
    for (auto& n : nEvents) in.ReadI32(&n);
    bTalkPose = 0;
    in.ReadI32(&nWanderSpeed);
    in.ReadI32(&nDisplay);
    in.ReadI32(&nId);
    for (auto& n : nSettingWords3) in.ReadI32(&n);
    in.ReadI32(&nSettingWords2[0]);
    if (nSettingWords2[0] < 0) nSettingWords2[0] = 0;
    in.ReadI32(&nRangedRadius);
    std::int32_t rc[4] = {};
    for (auto& n : rc) in.ReadI32(&n);
    in.ReadI32(&nSettingWords2[1]);
    in.ReadI32(&nWanderRadius);
    for (auto& n : nLoot) in.ReadI32(&n);
    in.ReadI32(&nAttackRadius);
    in.ReadI32(&nSculpt);
    in.ReadI32(&nStandRule);
    in.ReadI32(&bPost);
    in.ReadI32(&bRanged);
    in.ReadI32(&nLootMoney);
    in.ReadI32(&bRandomEvents);
    in.Skip(256);
    if (in.Failed()) return false;
    nFleeMode = nStandRule;
    mapObject.nId = nId;
    mapObject.rcObject = RECT{rc[0], rc[1], rc[2], rc[3]};
    mapObject.ptCellPos = POINT{nCellX, nCellY};
    nInitialDisplay = std::int8_t(nDisplay & 0xFF);
    // The state table has 100 entries a scene: another id would reach a neighbour's record.
    if (nId < 0 || nId >= kStateEntries) return false;

    const EnemyNpcRow* pRow = pGameData ? pGameData->GetEnemyNpc(nEnemyRow) : nullptr;
    if (nClass == 0) bLootFlag = pRow ? pRow->nEnableKilled : 0;
    if (pEffectManager) {
        if (NpcStateRecord* pRec = pEffectManager->GetNpcState(nScene, nId)) pState = pRec;
    }
    if (nClass == kNpcClassFighter && m_pScene) {
        Srand(TimeGetTime());
        const int dx = Rand() % (2 * kNpcSpreadCells + 1) - kNpcSpreadCells;
        const int dy = Rand() % (2 * kNpcSpreadCells + 1) - kNpcSpreadCells;
        if (m_pScene->IsCellFree(nCellX + dx, nCellY + dy)) mapObject.ptCellPos = POINT{nCellX + dx, nCellY + dy};
    }
    const POINT p = m_pScene ? m_pScene->CellToPixel(mapObject.ptCellPos.x, mapObject.ptCellPos.y) : POINT{0, 0};
    BindFightStats();
    if (pState->nDisplay == -1) {
        pState->nDisplay = std::int8_t(nInitialDisplay);
    } else {
        if (pState->nDisplay == kNpcGoneRevive && bRevive) pState->nDisplay = kNpcShown;
        nInitialDisplay = pState->nDisplay;
    }
    if (pState->nMapX == -1 || pState->nMapY == -1) {
        pState->nMapX = p.x;
        pState->nMapY = p.y;
    }
    if (pState->nDirection == -1) pState->nDirection = std::int8_t(nDirection & 0xFF);
    if (bPost) ptPost = POINT{pState->nMapX, pState->nMapY};
    ptHome = ptNextWaypoint = p;
    // Placed where it stands, so that it is drawn and hit where it is.
    SetHitRect();
    return true;
}

void CNpc::BindFightStats() {
    static const EnemyNpcRow kEmpty{};
    const EnemyNpcRow* pFound = pGameData ? pGameData->GetEnemyNpc(nEnemyRow) : nullptr;
    const EnemyNpcRow& row = pFound ? *pFound : kEmpty;
    bRevive = row.nChangSceneResume;
    nSoundNo = pFound ? row.nSoundNo : -1;
    nSoundInterval = row.nSoundTime;
    if (nSoundNo >= 0 && nSoundInterval > 0) nSoundInterval *= 500;
    if (nClass != kNpcClassFighter || pState->nDisplay == kNpcGone) return;
    pState->nLife = nLifeMax = row.nLife;
    nAttack = row.nAttack;
    nDefence = row.nDefance;
    nSkillChance = row.nSkillAttackProbability;
    nSkill1 = row.nSkill1 == 0 ? -1 : row.nSkill1;
    nSkill2 = row.nSkill2 == 0 ? -1 : row.nSkill2;
    nPlacedLife = pState->nLife;
}

bool CNpc::BindSculpt() {
    mapObject.nKind = kKindNpc;
    mapObject.nFrame = 0;
    nFrame = 0;
    if (nSculpt < 0) nSculpt = 0;
    if (nSculpt >= kSculptCount) return false;
    for (int a = 0; a <= kNpcDie - 1; ++a) nFrameCounts[a] = PackageFrameCount(nSculpt, a);
    if (nFrameCounts[0] == 0) pState->nDisplay = kNpcHidden;
    return true;
}

int CNpc::FrameCount(int nAction) {
    if (nAction < 0 || nAction >= kNpcActions) return 0;
    if (nFrameCounts[nAction] == 0) nFrameCounts[nAction] = PackageFrameCount(nSculpt, nAction);
    return nFrameCounts[nAction];
}

void CNpc::RebindState(NpcStateRecord* pRecord) {
    if (!pRecord) {
        std::memcpy(m_ownState, pState, sizeof m_ownState);
        pRecord = reinterpret_cast<NpcStateRecord*>(m_ownState);
    }
    pState = pRecord;
}

bool CNpc::IsShown() const { return pState->nDisplay == kNpcShown; }
std::int8_t CNpc::Display() const { return pState->nDisplay; }
std::int32_t CNpc::Life() const { return pState->nLife; }

bool CNpc::HasEvent() const {
    for (int n : nEvents)
        if (n >= 0) return true;
    return false;
}

void CNpc::Update() {
    if (bDeathEventPending && pState->nLife < 1 && nClass == kNpcClassFighter &&
        NpcHost().StartEvent(nDeathEvent) >= 0) {
        bDeathEventPending = 0;
        Hide();
        return;
    }
    Think();
    const DWORD dwNow = dwNowTime;
    if (dwNow - timeFrame >= kNpcFrameMs) {
        StepAnimation(dwNow);
        nFrame = nFrameCounter;
        if (!StepOneShot(dwNow)) return;
    }
    if (m_pScene) mapObject.ptCellPos = m_pScene->PixelToCell(pState->nMapX, pState->nMapY);
}

void CNpc::StepAnimation(DWORD dwNow) {
    if (!bStunned) {
        timeFrame = dwNow;
        ++nFrameCounter;
        nChaseSpeed = nWanderSpeed = 6;
        return;
    }
    if (nAction == kNpcDie || pState->nLife <= 0) bStunned = 0;
    nChaseSpeed = nWanderSpeed = 0;
    if (pState->nLife >= kStunHoldLife) {
        const int nLevel = pPlayer ? pPlayer->nSkillLevel[kStunTimeSkill] : 0;
        if (dwNow - timeFrame > StunTime(nLevel)) {
            timeFrame = dwNow;
            ++nFrameCounter;
            bStunned = 0;
        }
    } else {
        // Below 20 life the stun holds until the character dies.
        timeFrame = dwNow;
        ++nFrameCounter;
    }
}

bool CNpc::StepOneShot(DWORD dwNow) {
    const int nCount = nAction >= 0 && nAction < kNpcActions ? nFrameCounts[nAction] : 0;
    if (nAction == kNpcStand) {
        // A character hidden for having no stand frames has nothing to step.
        if (nCount > 0)
            nFrame = (nFrameCounter / nCount) % 2 == 0 ? nFrameCounter % nCount
                                                       : nCount - nFrameCounter % nCount - 1;
        return true;
    }
    if (nAction == kNpcWander || nAction == kNpcChase) {
        if (nAction == kNpcWander) WanderStep();
        else ChaseStep();
        if (nCount > 0) nFrame %= nCount;
        return true;
    }
    if (nAction == kNpcAttack) timeAttack = std::int32_t(dwNow);
    if (nCount >= 1 && nFrame < nCount - 1) {
        nFrame = (nFrameCounter / nCount) % 2 == 0 ? nFrameCounter : nCount - nFrameCounter - 1;
        timeLastStep = dwNow;
        return true;
    }
    // The action has ended, or had no frames to show: a hurt or dying character forced
    // into an action its sprite lacks ends it at once instead of standing unseen.
    if (nAction != kNpcDie) {
        SetAction(kNpcStand);
        if (nAction != kNpcStand) {
            nAction = kNpcStand;
            nFrame = nFrameCounter = 0;
        }
        if (nFleeMode == -1 && m_pScene) WalkBeside(m_pScene->ptStart);
        NpcHost().ClearSecondEffectWait();
        return true;
    }
    // The last frame of dying stays while the corpse lies.
    if (nCount >= 1) {
        --nFrameCounter;
        --nFrame;
    }
    pState->nDisplay = kNpcCorpse;
    if (dwNow - timeDeath > kCorpseMs) {
        Hide();
        return false;
    }
    return true;
}

void CNpc::SetAction(int nNew, bool bKeepPhase) {
    const int nCount = FrameCount(nNew);
    if (nCount == 0) return;
    nFrame = 0;
    nAction = nNew;
    nFrameCounter = bKeepPhase ? pState->nDirection * nCount : 0;
}

void CNpc::SetActionByScript(int nNew) {
    if (nNew < 0 || nNew >= kNpcActions) return;
    if (nNew >= 2) {
        bForcedPose = 1;
        nFrameCounts[nNew] = PackageFrameCount(nSculpt, nNew);
    } else {
        bForcedPose = 0;
    }
    nFrameCounts[0] = PackageFrameCount(nSculpt, 0);
    if (pPlayer) pPlayer->nFrame = pPlayer->nFrameCounter = 0;
}

void CNpc::Hide() { pState->nDisplay = bRevive ? kNpcGoneRevive : kNpcGone; }

bool CNpc::SetMapPos(int x, int y) {
    if (!m_pScene) return false;
    const POINT cell = m_pScene->PixelToCell(x, y);
    if (!m_pScene->IsCellFree(cell.x, cell.y)) return false;
    ptNextWaypoint = POINT{x, y};
    pState->nMapX = x;
    pState->nMapY = y;
    SetHitRect();
    return true;
}

void CNpc::ResetPos() {
    pState->nMapX = ptHome.x;
    pState->nMapY = ptHome.y;
    SetHitRect();
}

void CNpc::SetHitRect() {
    const int x = pState->nMapX, y = pState->nMapY;
    mapObject.rcObject = RECT{x - 128, y - 160, x + 128, y + 96};
}

POINT CNpc::CellInFront() const {
    const int d = pState->nDirection;
    if (d < 0 || d > 7) return mapObject.ptCellPos;
    return FrontCell(mapObject.ptCellPos, d, m_pScene ? m_pScene->nGridKind : 1);
}

bool CNpc::IsDrawable(int nFrameIndex) const {
    const int d = pState->nDirection;
    const int nCount = nAction >= 0 && nAction < kNpcActions ? nFrameCounts[nAction] : 0;
    return d >= 0 && d <= 7 && nFrameIndex >= 0 && nFrameIndex < nCount;
}

bool CNpc::Draw() {
    if (!m_pScene) return false;
    std::int32_t& nHover = m_pScene->nHoverActorId;
    const int nId = mapObject.nId;
    if (nHover == nId) nHoverNpcId = nId;
    CNpcPkg* pPkg = pBitmapData ? pBitmapData->GetNpcPkg() : nullptr;
    const int x = pState->nMapX - m_pScene->ptView.x, y = pState->nMapY - m_pScene->ptView.y;
    if (pState->nDisplay & kNpcCorpse) {
        if (nHover == nId) nHover = -1;
        // A corpse is never hovered.
        if (pPkg && IsDrawable(nFrame)) pPkg->DrawFrame(nSculpt, nAction, pState->nDirection, nFrame, x, y, 0, -10);
        return false;
    }
    if ((pState->nDisplay & (kNpcHidden | kNpcGone)) || !IsDrawable(nFrame)) return false;
    if (bForcedPose) nAction = kNpcAttack;
    const bool bHit = pPkg && pPkg->DrawFrame(nSculpt, nAction, pState->nDirection, nFrame, x, y, 0, nId);
    if (!bHit) {
        if (pMouse && pMouse->m_bSpecialShape && pMouse->m_nHoverTarget == nId) {
            pMouse->SetShape(0);
            nHover = -1;
        }
        if (bForcedPose && nAction == kNpcAttack) nAction = kNpcStand;
        if (nHover == nId) nHover = -1;
        return false;
    }
    if (nClass != kNpcClassFighter) {
        if (NpcHost().IsPanelOpen()) return true;
        if (HasEvent()) {
            nHover = nId;
            if (pMouse && !pMouse->m_bSpecialShape) {
                pMouse->SetShape(nSculpt == kNpcShopSculpt ? 4 : 1);
                pMouse->m_nHoverTarget = nId;
            }
        }
        if (bForcedPose && nAction == kNpcAttack) nAction = kNpcStand;
        return true;
    }
    if (pPlayer && pPlayer->nAction == kHeroRestAction) return true;
    if (nHover == -1) nHover = nId;
    else ResolveHover();
    if (pMouse && !pMouse->m_bSpecialShape) {
        pMouse->SetShape(3);
        pMouse->m_nHoverTarget = nId;
    }
    return true;
}

void CNpc::ResolveHover() {
    std::int32_t& nHover = m_pScene->nHoverActorId;
    if (nHover == mapObject.nId) return;
    const int nIndex = m_pScene->FindNpcById(nHover);
    const CNpc* pOther = nIndex >= 0 ? m_pScene->GetNpc(nIndex) : nullptr;
    // The one nearer to the viewer (lower on the map) keeps the hover.
    if (pOther && pOther->IsShown() && pOther->pState->nMapY >= pState->nMapY) return;
    nHover = mapObject.nId;
}

void CNpc::DrawTranslucent() {
    if (!m_pScene || (nAction != kNpcStand && nAction != kNpcWander) || !IsDrawable(nFrame)) return;
    if (pState->nDisplay & (kNpcHidden | kNpcGone)) return;
    CNpcPkg* pPkg = pBitmapData ? pBitmapData->GetNpcPkg() : nullptr;
    if (pPkg)
        pPkg->DrawFrameBlended(nSculpt, nAction, pState->nDirection, nFrame, pState->nMapX - m_pScene->ptView.x,
                               pState->nMapY - m_pScene->ptView.y);
}
