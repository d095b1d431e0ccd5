#include "ui/panels/StateMenu.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "media/TgaImage.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

namespace {

constexpr POINT kOrigin{40, 10};
// Where each box draws its item's icon, from the box's corner.
constexpr POINT kIconOffsets[CStateMenu::kEquipBoxes] = {{0, 0}, {-2, -5}, {0, -5}, {0, 5}, {0, -5}, {-2, -5}};

}  // namespace

CStateMenu::CStateMenu() : CGamePanel(kOrigin.x, kOrigin.y, 340, 440) {
    for (int i = 0; i < 5; ++i) m_rcRows[i] = OffsetBy(RECT{215, 55 + 25 * i, 315, 79 + 25 * i}, m_ptOrigin);
    static const RECT kBoxes[kEquipBoxes] = {{125, 200, 185, 260}, {90, 350, 120, 377}, {125, 270, 185, 330},
                                             {55, 245, 120, 340},  {125, 340, 185, 400}, {195, 350, 225, 377}};
    for (int i = 0; i < kEquipBoxes; ++i) m_rcEquip[i] = OffsetBy(kBoxes[i], m_ptOrigin);
    AddButton(252, 190, 315, 223, "Item_Button.tga");
    AddButton(252, 233, 315, 266, "Skill_Button.tga");
    AddButton(252, 276, 315, 310, "Task_Button.tga");
    AddButton(252, 320, 315, 353, "Sys_Button.tga");
    AddButton(252, 365, 315, 405, "Cancel_State.tga");
    // The arrows have only their hover pictures.
    for (const char* psz : {"LeftArrow[s].tga", "RightArrow[s].tga"}) {
        const int l = psz[0] == 'L' ? 45 : 90;
        PanelButton arrow;
        arrow.rc = OffsetBy(RECT{l, 145, l + 22, 157}, m_ptOrigin);
        arrow.pHover.reset(LoadMenuTga(psz));
        m_buttons.push_back(std::move(arrow));
    }
    m_rcName = OffsetBy(RECT{160, 20, 310, 45}, m_ptOrigin);
    m_ptPortrait = POINT{m_ptOrigin.x + 35, m_ptOrigin.y + 25};
    m_pConnector.reset(LoadMenuTga("Connect.tga"));
    LoadBackground("StateMenu_BKGround.tga");
}

CStateMenu::~CStateMenu() = default;

void CStateMenu::LoadPortrait(int nMember) {
    const int n = nMember == 1 && pPlayer && ToolBarHost().UsesAlternatePortrait(pPlayer) ? 5 : nMember;
    char szName[32];
    std::snprintf(szName, sizeof szName, "CTX00%d.tga", n);
    m_pPortrait.reset(LoadMenuTga(szName));
}

CPlayer* CStateMenu::ShownCharacter() const { return !m_bHeroShown && pCompanion ? pCompanion : pPlayer; }

void CStateMenu::DrawConnector() {
    if (m_pConnector && pBack) m_pConnector->Draw(pBack, m_rcConnector.left, m_rcConnector.top, nullptr, 0, 0, 0, 0);
}

void CStateMenu::Draw() {
    CGameToolBar* pBar = HostToolBar();
    m_bConnector = pBar && (pBar->Panel(kItemPanel) || pBar->Panel(kTaskPanel) || pBar->Panel(kSkillPanel)) ? 1 : 0;
    if (pBack) {
        if (m_pBackground) m_pBackground->Draw(pBack, m_ptOrigin.x, m_ptOrigin.y, nullptr, 0, 0, 0, 0);
        if (m_pPortrait) m_pPortrait->Draw(pBack, m_ptPortrait.x, m_ptPortrait.y, nullptr, 0, 0, 0, 0);
        if (const CPlayer* pShown = ShownCharacter()) {
            DrawHeroNumbers(*pShown, pShown->nLevel, m_rcName, m_rcRows);
            for (int j = 0; j < kEquipBoxes; ++j) {
                const std::int32_t* pSlot = pShown->EquipSlot(j);
                if (pSlot && *pSlot != -1 && pBitmapData)
                    pBitmapData->DrawPropIcon(*pSlot, m_rcEquip[j].left + kIconOffsets[j].x,
                                              m_rcEquip[j].top + kIconOffsets[j].y);
            }
        }
        if (m_bConnector) DrawConnector();
        for (int i = 0; i < kButtonCount; ++i) {
            const PanelButton& button = m_buttons[size_t(i)];
            CTgaImage* pPicture = i == m_nHover ? button.pHover.get() : button.pNormal.get();
            if (pPicture) pPicture->Draw(pBack, button.rc.left, button.rc.top, nullptr, 0, 0, 0, 0);
        }
    }
    UpdateStateHover();
}

void CStateMenu::UpdateStateHover() {
    // One hover at a time: a button under the cursor clears the box hover and a box
    // clears the button hover, so a click never acts on a place the cursor has left.
    UpdateHover();
    m_nEquipHover = -1;
    if (m_nHover != -1) return;
    const POINT pt = ToolBarHost().GetMousePos();
    for (int j = 0; j < kEquipBoxes; ++j) {
        if (PtInRect(m_rcEquip[j], pt)) {
            m_nEquipHover = j;
            return;
        }
    }
}

int CStateMenu::OnLButtonUp() {
    CToolBarHost& host = ToolBarHost();
    const bool bCarrying = host.GetCarriedItem() >= 0;
    switch (m_nHover) {
    case kItem: case kSkill: case kTask: case kCombine:
        if (bCarrying) break;
        m_bConnector = 1;
        PlayPanelClick();
        return kPanelRequest3 + m_nHover;
    case kClose:
        if (bCarrying) break;
        PlayPanelClick();
        m_bConnector = 0;
        return kPanelClose;
    case kLeftArrow: Refresh(); break;
    case kRightArrow: {
        CGameToolBar* pBar = HostToolBar();
        if (pCompanion && pBar) {
            m_bHeroShown = 0;
            LoadPortrait(pBar->m_nCompanion);
        }
        break;
    }
    default: break;
    }
    if (UnequipHovered()) {
        PlayPanelClick();
        return kPanelHandled;
    }
    return kPanelMissed;
}

void CStateMenu::Refresh() {
    m_bHeroShown = 1;
    LoadPortrait(1);
}

bool CStateMenu::UnequipHovered() {
    CPlayer* pShown = ShownCharacter();
    if (!pShown || m_nEquipHover < 0) return false;
    CToolBarHost& host = ToolBarHost();
    std::int32_t nCarried = host.GetCarriedItem();
    if (!pShown->Unequip(m_nEquipHover, &nCarried)) return false;
    host.SetCarriedItem(nCarried);
    pShown->ClampStats();
    return true;
}
