// The toolbar's input routing: left release, right press, double click, mouse move and
// key press, each offered to the text box, the panels and the toolbar strip in a fixed
// order before the map sees it.
#include <string>

#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Charset.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

constexpr RECT kToolBarArea{0, 530, 800, 600};
constexpr int kTaskItemType = 99;

int ItemType(int nItem) {
    const ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
    return pRow ? pRow->nType : -1;
}

bool TextBoxWaits(const CGameToolBar& bar) {
    return bar.m_pTextBox && !bar.m_bTextBoxFadingIn && !bar.m_bTextBoxDismissed;
}

bool IsHurt(const CPlayer& hero) { return hero.nAction == 3 || hero.nAction == 4; }

}  // namespace

int CGameToolBar::OnLButtonUp() {
    if (!pScene) return 0;
    if (TextBoxWaits(*this)) {
        m_bTextBoxDismissed = 1;
        return 1;
    }
    CToolBarHost& host = ToolBarHost();
    if (host.IsEventRunning()) return 0;
    if (OnQuickSlotClick() || OnStackSlotClick() || OnStackSkillClick()) return 1;
    if (m_nSelectorA >= 0) {
        if (int n = RouteGroupA(); n >= 0) return n;
    }
    if (m_nSelectorB >= 0) {
        if (int n = RouteGroupB(); n >= 0) return n;
    }
    const int nCarried = host.GetCarriedItem();
    if (nCarried >= 0) return RouteCarriedItem(nCarried);
    if (host.IsWorkPanelOpen()) return 0;
    if (m_nToolBarHover == -1) return RouteSkillButtons();
    return RouteToolBarButton();
}

// Group A: -1 when the click falls through.
int CGameToolBar::RouteGroupA() {
    if (m_nSelectorA < kGroupASettings || m_nSelectorA > kGroupAState) {
        m_nSelectorA = -1;
        return -1;
    }
    static const ToolBarPanel kSlots[] = {kSetPanel, kSavePanel, kLoadPanel, kStatePanel};
    const ToolBarPanel n = kSlots[m_nSelectorA - kGroupASettings];
    CGamePanel* pPanel = Panel(n);
    if (!pPanel || !pPanel->IsMouseIn()) return -1;
    const int nCode = pPanel->OnLButtonUp();
    if (n == kStatePanel) {
        OnStatePanelCode(nCode);
        return 1;
    }
    if (nCode == kPanelCloseAll) {
        CloseAllPanels();
        return 1;
    }
    if (nCode == kPanelClose || (n == kLoadPanel && nCode == kPanelRequest3)) {
        ClosePanel(n);
        m_nSelectorA = -1;
        // The system menu that opened this panel deleted itself; left selected, it would
        // keep W, J and T shut and make ESC only close it.
        if (m_nSelectorB == kGroupBSys && !Panel(kSysPanel)) m_nSelectorB = -1;
        if (ToolBarHost().GetGameMode() == 14) ToolBarHost().SetGameMode(3);
    }
    return 1;
}

void CGameToolBar::OnStatePanelCode(int nCode) {
    CToolBarHost& host = ToolBarHost();
    auto toggleSide = [&](ToolBarPanel n, PanelKind kind, int nValue, bool bWithHero) {
        if (Panel(n)) {
            if (CGamePanel* pState = Panel(kStatePanel)) pState->ResetSidePanel();
            if (m_nSelectorB == nValue) m_nSelectorB = -1;
            DeletePanel(n);
            return;
        }
        for (ToolBarPanel other : {kSysPanel, kSkillPanel, kItemPanel, kTaskPanel})
            if (other != n) DeletePanel(other);
        if (m_nSelectorB == kGroupBSys) host.SetGameMode(3);
        m_pPanels[n] = MakeGamePanel(kind, bWithHero ? m_nHero : 0, true);
        m_nSelectorB = Panel(n) ? nValue : -1;
    };
    switch (nCode) {
    case kPanelClose:
        ClosePanel(kStatePanel);
        m_nSelectorA = -1;
        break;
    case kPanelRequest3: toggleSide(kItemPanel, PanelKind::Item, kGroupBItem, true); break;
    case kPanelRequest4: toggleSide(kSkillPanel, PanelKind::Skill, kGroupBSkill, true); break;
    case kPanelRequest5: toggleSide(kTaskPanel, PanelKind::Task, kGroupBTask, false); break;
    case kPanelRequest6:
        if (host.IsCombineOpen()) break;
        DeletePanel(kStatePanel);
        if (m_nSelectorA == kGroupAState) m_nSelectorA = -1;
        host.OpenWorkPanel(3, 0);
        break;
    default: break;
    }
}

int CGameToolBar::RouteGroupB() {
    if (m_nSelectorB < kGroupBSkill || m_nSelectorB > kGroupBTask) {
        m_nSelectorB = -1;
        return -1;
    }
    static const ToolBarPanel kSlots[] = {kSkillPanel, kItemPanel, kSysPanel, kTaskPanel};
    const ToolBarPanel n = kSlots[m_nSelectorB - kGroupBSkill];
    CGamePanel* pPanel = Panel(n);
    if (!pPanel || !pPanel->IsMouseIn()) return -1;
    const int nCode = pPanel->OnLButtonUp();
    if (n == kSysPanel) {
        OnSysMenuCode(nCode);
        return 1;
    }
    if (nCode == kPanelCloseAll) {
        CloseAllPanels();
    } else if (nCode == kPanelClose) {
        if (n == kSkillPanel)
            if (CGamePanel* pState = Panel(kStatePanel)) pState->ResetSidePanel();
        ClosePanel(n);
        m_nSelectorB = -1;
    }
    return 1;
}

void CGameToolBar::OnSysMenuCode(int nCode) {
    auto replace = [&](ToolBarPanel n, PanelKind kind, int nSelector) {
        DeletePanel(kSysPanel);
        MakePanel(n, kind);
        if (Panel(n)) {
            // The system menu stays selected in group B while its group-A panel is open.
            m_nSelectorA = nSelector;
        } else {
            // A panel that cannot be made: the group stays closed and the map returns.
            m_nSelectorB = -1;
            ClearScreen();
            ToolBarHost().SetGameMode(3);
        }
    };
    switch (nCode) {
    case kPanelHandledOne: replace(kSetPanel, PanelKind::Settings, kGroupASettings); break;
    case kPanelClose:
        ClosePanel(kSysPanel);
        m_nSelectorB = -1;
        ToolBarHost().SetGameMode(3);
        break;
    case kPanelRequest3: replace(kSavePanel, PanelKind::Save, kGroupASave); break;
    case kPanelRequest4: replace(kLoadPanel, PanelKind::Load, kGroupALoad); break;
    default: break;
    }
}

int CGameToolBar::RouteCarriedItem(int nItem) {
    CToolBarHost& host = ToolBarHost();
    if (host.WorkOnLButtonUp()) return 1;
    const POINT pt = host.GetMousePos();
    const int nType = ItemType(nItem);
    if (nType == 1 && pPlayer) {
        CPlayer* pTarget = nullptr;
        if (!PtInRect(m_rcHeroPortrait, pt) && PtInRect(m_rcCompanionPortrait, pt) && pCompanion) {
            pTarget = pCompanion;
        } else if (PtInRect(m_rcHeroPortrait, pt)) {
            pTarget = pPlayer;
        }
        if (pTarget) {
            // The lifted unit is already off the count: put it back, then use it, so the
            // last unit is used rather than lost.
            pPlayer->AddItem(nItem);
            pTarget->UseItem(nItem, true);
            host.SetCarriedItem(-1);
            return 1;
        }
    }
    if (PtInRect(kToolBarArea, pt)) return 1;
    if (nType == kTaskItemType) {
        static const std::string kTaskNotice = Utf8ToText("该物品为完成\n任务必须的物品!");
        host.ShowNotice(kTaskNotice.c_str());
        // With a full bag the task item stays on the cursor rather than being lost.
        if (!AddItemToBag(nItem)) return 1;
    } else {
        DropItemAtHero(nItem, 0);
    }
    host.SetCarriedItem(-1);
    return 1;
}

void CGameToolBar::ToggleSkillPanelFor(int nHero, bool bHero) {
    if (Panel(kSkillPanel) && m_nSkillMenuHero == nHero) {
        DeletePanel(kSkillPanel);
        if (m_nSelectorB == kGroupBSkill) m_nSelectorB = -1;
        m_nSkillMenuHero = 0;
        return;
    }
    if (m_nSelectorB == kGroupBSys) ToolBarHost().SetGameMode(3);
    for (ToolBarPanel n : {kSkillPanel, kSysPanel, kItemPanel, kTaskPanel}) DeletePanel(n);
    m_pPanels[kSkillPanel] = MakeGamePanel(PanelKind::Skill, nHero, bHero);
    m_nSkillMenuHero = Panel(kSkillPanel) ? nHero : 0;
    m_nSelectorB = Panel(kSkillPanel) ? kGroupBSkill : -1;
}

int CGameToolBar::RouteSkillButtons() {
    const POINT pt = ToolBarHost().GetMousePos();
    if (PtInRect(m_rcHeroSkill, pt)) ToggleSkillPanelFor(m_nHero, true);
    if (PtInRect(m_rcCompanionSkill, pt) && pCompanion) ToggleSkillPanelFor(m_nCompanion, false);
    return 0;
}

int CGameToolBar::RouteToolBarButton() {
    CToolBarHost& host = ToolBarHost();
    if (m_nSelectorA != -1) {
        if (Panel(kStatePanel)) {
            PlayPanelClick();
            ClosePanel(kStatePanel);
            if (m_nSelectorA == kGroupAState) m_nSelectorA = -1;
        }
        return 1;
    }
    if (Panel(kStatePanel)) return 1;
    if (Panel(kSysPanel)) {
        ClosePanel(kSysPanel);
        if (m_nSelectorB == kGroupBSys) m_nSelectorB = -1;
        host.SetGameMode(3);
    }
    MakePanel(kStatePanel, PanelKind::State);
    PlayPanelClick();
    if (Panel(kStatePanel)) m_nSelectorA = kGroupAState;
    return 1;
}

int CGameToolBar::OnRButtonDown(int x, int y) {
    if (!pScene) return 0;
    // A right click on the stack slot arms the stack skill.
    if (PtInRect(m_rcStackSlot, POINT{x, y})) {
        ArmStackSkill();
        return 1;
    }
    if (m_nSelectorB == kGroupBSkill && Panel(kSkillPanel) && Panel(kSkillPanel)->UseSelectedSkill()) return 1;
    if (m_nSelectorB == kGroupBItem && Panel(kItemPanel) && Panel(kItemPanel)->OnRButtonDown()) return 1;
    if (IsPanelOpen() || !pPlayer || IsHurt(*pPlayer)) return 0;
    ToolBarHost().CastSkill(pPlayer, x, y);
    return 1;
}

int CGameToolBar::ClearSkillAtPortrait() {
    const POINT pt = ToolBarHost().GetMousePos();
    if (PtInRect(m_rcHeroSkill, pt)) {
        if (pPlayer) pPlayer->nSelectedSkill = -1;
        return 1;
    }
    if (PtInRect(m_rcCompanionSkill, pt) && pCompanion) {
        pCompanion->nSelectedSkill = -1;
        return 1;
    }
    return 0;
}

int CGameToolBar::OnLButtonDblClk(int x, int y) {
    (void)x;
    (void)y;
    if (!pScene) return 0;
    if (m_nSelectorB == kGroupBSkill && Panel(kSkillPanel)) Panel(kSkillPanel)->UseSelectedSkill();
    return 1;
}

int CGameToolBar::OnMouseMove() {
    for (ToolBarPanel n : {kLoadPanel, kSavePanel, kSetPanel, kTaskPanel})
        if (CGamePanel* p = Panel(n)) p->OnMouseMove();
    return 1;
}

// ---- keys ----

int CGameToolBar::OnKeyDown(int nKey, UINT nFlags) {
    (void)nFlags;
    if (!pScene) return 0;
    if (nKey == VK_SPACE && TextBoxWaits(*this)) {
        m_bTextBoxDismissed = 1;
        m_bKeyTaken = 1;
        return 1;
    }
    if (m_nSelectorB == kGroupBSkill && Panel(kSkillPanel) && Panel(kSkillPanel)->OnKeyDown(nKey)) {
        m_bKeyTaken = 1;
        return 1;
    }
    if (Panel(kItemPanel) && Panel(kItemPanel)->OnKeyDown(nKey)) {
        m_bKeyTaken = 1;
        return 1;
    }
    if (!bMsgBoxOpen && OnTableKey(nKey)) {
        m_bKeyTaken = 1;
        return 1;
    }
    ClearScreen();
    return 0;
}

void CGameToolBar::TogglePanelByKey(bool bGroupA, int nValue, ToolBarPanel n, PanelKind kind, bool bHero) {
    int& nSelector = bGroupA ? m_nSelectorA : m_nSelectorB;
    if (nSelector != -1) {
        if (Panel(n)) {
            DeletePanel(n);
            if (nSelector == nValue) nSelector = -1;
        }
        return;
    }
    if (ToolBarHost().IsEventRunning() || Panel(n)) return;
    m_pPanels[n] = MakeGamePanel(kind, bHero ? m_nHero : 0, true);
    if (Panel(n)) nSelector = nValue;
}

void CGameToolBar::WalkByKey(int nKey) {
    if (!pPlayer || !pScene) return;
    const bool bRunning = pPlayer->bMode[2] != 0;
    const int nSpeed = bRunning ? pPlayer->nRunStep : pPlayer->nWalkStep;
    const int nStep = (nSpeed * 16 / 32) * 32;
    int x = pPlayer->ptPos.x, y = pPlayer->ptPos.y;
    switch (nKey) {
    case VK_LEFT: x -= nStep; break;
    case VK_UP: y -= nStep; break;
    case VK_RIGHT: x += nStep; break;
    default: y += nStep; break;
    }
    ToolBarHost().WalkHeroTo(x - pScene->ptView.x, y - pScene->ptView.y);
}

void CGameToolBar::UseQuickSlot(int nSlot, bool bHeroFirst) {
    const int nItem = m_nQuickSlots[nSlot];
    if (nItem < 0 || !pPlayer) return;
    auto needs = [](const CPlayer* p) { return p && (p->nLife < p->nLifeMax || p->nMana < p->nManaMax); };
    CPlayer* pTarget = pPlayer;
    if (bHeroFirst) {
        if (!needs(pPlayer) && pCompanion) pTarget = pCompanion;
    } else if (pCompanion && needs(pCompanion)) {
        pTarget = pCompanion;
    }
    pTarget->UseItem(nItem, false);
    if (pPlayer->HasItem(nItem) < 1) {
        m_nQuickSlots[nSlot] = -1;
        pPlayer->nQuickSlot[nSlot] = -1;
    }
}

// The key table; 1 for the rows that take the key.
int CGameToolBar::OnTableKey(int nKey) {
    CToolBarHost& host = ToolBarHost();
    const bool bEvent = host.IsEventRunning();
    switch (nKey) {
    case VK_TAB:
        if (m_pSceneMap) m_pSceneMap.reset();
        else m_pSceneMap = MakeGamePanel(PanelKind::SceneMap, m_nHero, true);
        return 0;
    case VK_SHIFT: case 'R':
        if (pPlayer) pPlayer->bMode[2] = pPlayer->bMode[2] ? 0 : 1;
        return 0;
    case VK_ESCAPE:
        // A work panel alone closes too, so no save runs over items lying in it.
        if (IsPanelOpen() || host.IsWorkPanelOpen()) {
            CloseAllPanels();
            return 1;
        }
        if (!bEvent && !Panel(kSysPanel)) {
            MakePanel(kSysPanel, PanelKind::SysMenu);
            if (Panel(kSysPanel)) {
                m_nSelectorB = kGroupBSys;
                host.SetGameMode(14);
            }
        }
        return 0;
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
        if (!bEvent) WalkByKey(nKey);
        return 0;
    case '1': case '2': case '3': case '4':
        ArmBomb(4 + nKey - '1');
        return 0;
    case '5': case 'Z': UseQuickSlot(0, true); return 0;
    case '6': case 'X': UseQuickSlot(1, true); return 0;
    case '7': case 'C': UseQuickSlot(2, false); return 0;
    case '8': case 'V': UseQuickSlot(3, false); return 0;
    case 'Y': case 'U': case 'I': case 'O': case 'P': {
        static const char kKeys[] = "YUIOP";
        const int n = int(std::string_view(kKeys).find(char(nKey)));
        if (pPlayer && pPlayer->nHotKey[n] >= 0) host.SelectSkill(pPlayer, pPlayer->nHotKey[n]);
        return 0;
    }
    case 'J':
        if (bEvent) return 0;
        if (m_nSelectorB != -1) {
            if (Panel(kSkillPanel)) {
                DeletePanel(kSkillPanel);
                if (m_nSelectorB == kGroupBSkill) m_nSelectorB = -1;
            }
        } else if (!Panel(kSkillPanel)) {
            ToggleSkillPanelFor(m_nHero, true);
        }
        return 1;
    case 'S': TogglePanelByKey(true, kGroupAState, kStatePanel, PanelKind::State, true); return 0;
    case 'T': TogglePanelByKey(false, kGroupBTask, kTaskPanel, PanelKind::Task, false); return 0;
    case 'W': TogglePanelByKey(false, kGroupBItem, kItemPanel, PanelKind::Item, true); return 0;
    case VK_F1:
        if (host.IsCombineOpen()) CloseAllPanels();
        else host.OpenWorkPanel(3, 0);
        return 0;
    default: return 0;
    }
}
