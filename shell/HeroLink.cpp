#include "shell/HeroLink.h"

#include "platform/Clock.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/ToolBarLink.h"
#include "shell/ShellGlobals.h"
#include "ui/panels/ItemMenu.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/FreeCell.h"
#include "world/EffectManager.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/PlayerRecord.h"
#include "world/Scene.h"

namespace {

constexpr std::int64_t kReachSquared = 4096;  // 64 pixels

bool s_bHeroDied = false;

std::int64_t SquaredDistance(POINT a, POINT b) {
    const std::int64_t dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// The walk target of a party member: its cell's centre, or the nearest free point
// when the cell is taken.
POINT MemberTarget(POINT cell) {
    const POINT pt = pScene->CellToPixel(cell.x, cell.y);
    return pScene->IsCellFree(cell.x, cell.y) ? pt : FindFreeMapPoint(*pScene, pt.x, pt.y);
}

// Walks the hero toward a point; without a path he arrives where he stands.
void WalkOrArrive(POINT pt) {
    pPlayer->WalkTo(pt.x, pt.y, false, false);
    if (pPlayer->WaypointCount() == 0) pPlayer->OnArrive();
}

}  // namespace

int CShellHeroHost::GetCurrentHero() const { return PanelLink().GetActiveSlot(); }
void CShellHeroHost::SetCurrentHero(int nHero) { PanelLink().SetActiveSlot(nHero); }
namespace {
CGameToolBar* ToolBar() { return PanelLink().GetToolBar(); }
}  // namespace

void CShellHeroHost::ReloadForHero(int nHero) {
    (void)nHero;
    if (ToolBar()) ToolBar()->ReloadForHero();
}
bool CShellHeroHost::IsPanelOpen() const { return ToolBar() && ToolBar()->IsPanelOpen(); }
void CShellHeroHost::ClearItemPanelCell(int nCell) {
    if (auto* pItems = dynamic_cast<CItemMenu*>(ToolBar() ? ToolBar()->Panel(kItemPanel) : nullptr))
        pItems->ClearCell(nCell);
}
bool CShellHeroHost::HasPartyFile(int nNumber) const {
    return ToolBar() && nNumber >= 2 && nNumber <= 4 && ToolBar()->m_bPartyFiles[nNumber] != 0;
}
void CShellHeroHost::LoadPartyFile(int nNumber) {
    if (pFrame) pFrame->LoadPlayerFile(nNumber, false);
}
int CShellHeroHost::GetIdlePanelWord() const { return ToolBar() ? ToolBar()->m_nIdleHold : 0; }
int CShellHeroHost::GetHoldFrame() const { return pFrame ? pFrame->m_nHoldFrame : -1; }
void CShellHeroHost::ClearEffectWait() {
    if (pFrame) pFrame->m_nSceneEffectWait2 = 0;
}
bool CShellHeroHost::IsEventRunning() const { return pFrame && pFrame->IsEventRunning(); }

SIZE CShellHeroHost::GetScreenSize() const {
    return pFrame ? SIZE{pFrame->m_nScreenWidth, pFrame->m_nScreenHeight} : SIZE{800, 600};
}
bool CShellHeroHost::IsKeyTaken() const { return ToolBar() && ToolBar()->m_bKeyTaken != 0; }
int CShellHeroHost::GetStackItem() const { return ToolBar() ? ToolBar()->m_nStackItem : -1; }
int CShellHeroHost::GetStackCount() const { return ToolBar() ? ToolBar()->m_nStackCount : 0; }
void CShellHeroHost::SetStack(int nItem, int nCount) {
    if (!ToolBar()) return;
    ToolBar()->m_nStackItem = nItem;
    ToolBar()->m_nStackCount = nCount;
}
void CShellHeroHost::ClearQuickSlot(int nSlot) {
    if (ToolBar() && nSlot >= 0 && nSlot < kToolBarQuickSlots) ToolBar()->m_nQuickSlots[nSlot] = -1;
}
void CShellHeroHost::ShowCaption(const char* pszText) {
    if (ToolBar()) ToolBar()->SetCaption(pszText);
}
void CShellHeroHost::LeaveParty(int nMember) {
    if (!pFrame || nMember < 0 || nMember >= 4) return;
    pFrame->m_nPartyIds[nMember] = -1;
    // The count saved with the game follows the ids.
    RecountParty(*pFrame);
}
void CShellHeroHost::RequestWalk(int x, int y) {
    if (pFrame) pFrame->WalkHeroTo(x, y);
}
void CShellHeroHost::AdvanceScript() {
    if (!pFrame) return;
    ++pFrame->CurrentScript;
    pFrame->bScriptGoOn = 1;
}
bool CShellHeroHost::StartSceneEffect(int nEffect, int x, int y) {
    return pFrame && pFrame->StartSceneEffect(nEffect, x, y, 0);
}

void CShellToolBarHost::SelectSkill(CPlayer* pHero, int nSkill) {
    if (pHero) pHero->SelectSkill(nSkill);
}
void CShellToolBarHost::CastSkill(CPlayer* pHero, int x, int y) {
    if (pHero) pHero->CastSkill(x, y);
}

namespace {
CNpc* FindNpc(int nId) { return pScene ? pScene->GetNpc(pScene->FindNpcById(nId)) : nullptr; }
POINT NpcPoint(const CNpc& npc) { return POINT{npc.pState->nMapX, npc.pState->nMapY}; }
}  // namespace

bool CShellHeroHost::GetShownNpcPoint(int nId, POINT* pPoint) const {
    const CNpc* pNpc = FindNpc(nId);
    if (!pNpc || !pNpc->IsShown()) return false;
    *pPoint = NpcPoint(*pNpc);
    return true;
}

bool CShellHeroHost::TalkToNpc(int nId) {
    CNpc* pNpc = FindNpc(nId);
    if (!pNpc || !pFrame) return false;
    if (pNpc->bTalkPose) pNpc->SetActionByScript(kNpcAttack);
    if (pNpc->nClass == kNpcClassFighter) return false;
    // When its flag says so, one of the character's events that can start now is picked
    // at random, with as many picks as there are such events. Such a talk neither turns
    // the character nor records it for the event's end.
    if (pNpc->bRandomEvents) {
        int nReady[kNpcEventCount];
        int nCount = 0;
        for (int nEvent : pNpc->nEvents)
            if (nEvent > -1 && pFrame->CanStartEvent(nEvent)) nReady[nCount++] = nEvent;
        Srand(TimeGetTime());
        for (int k = 0; k < nCount; ++k)
            if (pFrame->StartEvent(nReady[Rand() % nCount]) != -1) return true;
        return false;
    }
    // Otherwise its events are tried in order until one starts.
    bool bStarted = false;
    for (int nEvent : pNpc->nEvents)
        if (nEvent > -1 && pFrame->StartEvent(nEvent) != -1) {
            bStarted = true;
            break;
        }
    // A shop keeper is not recorded and does not turn: the event's end leaves its
    // direction and pose as they are.
    if (!bStarted || pNpc->nSculpt == kNpcShopSculpt) return bStarted;
    // The event gives the character its direction back when it ends.
    pFrame->m_nTalkNpcIndex = pScene ? pScene->FindNpcById(nId) : -1;
    pFrame->m_nTalkNpcDirection = pNpc->pState ? pNpc->pState->nDirection : -1;
    if (pPlayer) {
        // The character turns to face the hero.
        const POINT ptNpc = NpcPoint(*pNpc);
        double dAngle = 0.0;
        pScene->SetNpcDirection(nId, DirectionFromVector(pPlayer->ptPos.x - ptNpc.x, pPlayer->ptPos.y - ptNpc.y, &dAngle));
    }
    return true;
}

bool CShellHeroHost::IsLootNpc(int nId, POINT ptHero) const {
    const CNpc* pNpc = FindNpc(nId);
    return pNpc && pNpc->nClass == 0 && pNpc->bLootFlag && SquaredDistance(NpcPoint(*pNpc), ptHero) < kReachSquared;
}

void DeleteHeroes() {
    delete pPlayer;
    pPlayer = nullptr;
    for (CPlayer*& p : pParty) {
        delete p;
        p = nullptr;
    }
    pCompanion = nullptr;
}

void ApplyMemberRecord(CPlayer& member, int nMember, const HeroRecord& record) {
    member.Init(1, true, nMember);
    member.SetSculpt(record.nSculpt, true);
    member.ApplyRecord(record);
    member.OnLoaded();
}

int PartyCountOf(const std::int32_t (&nIds)[4]) {
    int nCount = 1;
    for (int i = 1; i < 4; ++i) nCount += nIds[i] >= 0 ? 1 : 0;
    return nCount;
}

void RecountParty(CMainFrame& frame) {
    frame.m_nPartyCount = PartyCountOf(frame.m_nPartyIds);
    if (frame.m_pToolBar) frame.m_pToolBar->RefreshPanels();
}

void NoteHeroDied() { s_bHeroDied = true; }

void CHeroMapLink::UpdateScene() {
    s_bHeroDied = false;
    CSceneMapLink::UpdateScene();
    if (!s_bHeroDied) return;
    s_bHeroDied = false;
    // The scene is deleted only once its update is over.
    if (pFrame) pFrame->GameOver();
}

bool CHeroMapLink::HasHero() const { return pPlayer != nullptr; }

void CHeroMapLink::DeleteWorld(int nActiveSlot) {
    CSceneMapLink::DeleteWorld(nActiveSlot);
    DeleteHeroes();
}

void CHeroMapLink::UpdateHeroes(int nActiveSlot) {
    if (!pPlayer) return;
    pPlayer->Update();
    for (int i = 0; i < 4; ++i)
        if (pParty[i] && i != nActiveSlot - 1) pParty[i]->Update();
}

void CHeroMapLink::StopHero() {
    if (pPlayer) pPlayer->StopAndSnap();
}

int CHeroMapLink::GetHeroAction() const { return pPlayer ? pPlayer->nAction : 0; }

void CHeroMapLink::WalkHeroTo(int x, int y) {
    if (!pPlayer || !pScene) return;
    POINT target{x + pScene->ptView.x, y + pScene->ptView.y};
    pPlayer->nTargetObject = -1;
    pPlayer->nTalkTarget = -1;
    POINT cell = pScene->PixelToCell(target.x, target.y);
    if (!pScene->IsCellFree(cell.x, cell.y) && pFrame) {
        target = pFrame->GetHudPoint(target.x, target.y);
        cell = pScene->PixelToCell(target.x, target.y);
    }
    pPlayer->WalkTo(target.x, target.y, false, false);
    if (!pFrame) return;
    const int nActive = PanelLink().GetActiveSlot();
    for (int i = 0; i < 4; ++i) {
        if (!pParty[i] || i == nActive - 1) continue;
        // Slot 0 stands where the controlled member's slot would.
        const int nOffset = i == 0 && nActive >= 1 && nActive <= 4 ? nActive - 1 : i;
        const POINT off = pFrame->m_ptPartyOffsets[nOffset];
        const POINT pt = MemberTarget(POINT{cell.x + off.x, cell.y + off.y});
        pParty[i]->WalkTo(pt.x, pt.y, false, true);
    }
}

void CHeroMapLink::ClickNpc(int nHover, bool bButtonHeld, int nPartyAttackMode) {
    if (!pPlayer || !pScene || nHover < 0) return;
    const int nKind = nHover >> 16, nId = nHover & 0xFFFF;
    if (nKind == 9) {
        if (bButtonHeld) return;
        pPlayer->nTargetObject = nId;
        for (auto& pObject : pScene->List(kListD)) {
            if (pObject->nId != nId) continue;
            const RECT& rc = pObject->rcObject;
            const POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
            if (SquaredDistance(centre, pPlayer->ptPos) > kReachSquared) {
                pPlayer->WalkTo(centre.x, centre.y, false, false);
                if (pPlayer->WaypointCount() == 0) {
                    pPlayer->ResetAction();
                    pPlayer->ClearPath();
                }
            } else {
                pPlayer->OnArrive();
            }
            return;
        }
        return;
    }
    POINT ptNpc;
    if (!HeroHost().GetShownNpcPoint(nId, &ptNpc)) return;
    pPlayer->nTalkTarget = nId;
    const std::int64_t nDistance = SquaredDistance(ptNpc, pPlayer->ptPos);
    if (GetNpcClass(nId) == 2) {
        // A monster is attacked by the hero, or named as the party's target.
        if (nKind == 14 || nPartyAttackMode == 0)
            pPlayer->AttackNpc(pScene->FindNpcById(nId), int(std::min<std::int64_t>(nDistance, 0x7FFFFFFF)));
        else
            SetPartyTarget(nId);
        return;
    }
    if (nDistance > kReachSquared) WalkOrArrive(ptNpc);
    else pPlayer->OnArrive();
}

bool CHeroMapLink::LootHoverNpc(int nNpcId) {
    // Only a press on a character she may loot touches the heroine: any other Ctrl-click
    // leaves her strike and its mark alone.
    if (!pPlayer || nNpcId < 0 || !HeroHost().IsLootNpc(nNpcId, pPlayer->ptPos)) return false;
    if (pPlayer->nAction == 3) {
        pPlayer->ClearTargetMark();
        return false;
    }
    pPlayer->nAction = 3;
    pPlayer->nFrameCounter = 0;
    if (CNpc* pNpc = FindNpc(nNpcId)) pNpc->Hide();
    return true;
}

bool CHeroMapLink::IsHeroInRegion() const {
    return pPlayer && pScene && pScene->GetCellRegion(pPlayer->ptPos.x, pPlayer->ptPos.y) >= 0;
}

void CHeroMapLink::TakeMemberLife(int nMember, int nAmount) {
    // The hero's party array names the members; absent or unknown members are passed over.
    if (!pPlayer || nMember < 0 || nMember >= 4) return;
    pPlayer->RefreshPartyMembers();
    if (CPlayer* pMember = pPlayer->pPartyMembers[nMember]) pMember->AddHP(-nAmount, false);
}
