// The quick slots and the stack slot: items dragged onto and off the toolbar, with the
// controlled hero's mirror kept equal after every change, and the stack skill that
// throws the stacked weapon of hero character 3.
#include <algorithm>

#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

namespace {

constexpr int kStackCharacter = 3;
constexpr int kStackMax = 10;
constexpr int kStackItemType = 3;
constexpr int kStackSkill = 50;
constexpr int kStackSkillIcon = 33;
constexpr int kMedicineType = 1;
constexpr int kBombType = 8;

int TypeOf(int nItem) {
    const ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
    return pRow ? pRow->nType : -1;
}

bool StackHero() { return pPlayer && pPlayer->TableMember() == kStackCharacter; }

}  // namespace

bool CGameToolBar::IsMouseOnBackground() const {
    if (!m_pBackground) return false;
    const RECT rc{m_ptOrigin.x, m_ptOrigin.y, m_ptOrigin.x + m_pBackground->GetWidth(),
                  m_ptOrigin.y + m_pBackground->GetHeight()};
    return PtInRect(rc, ToolBarHost().GetMousePos());
}

void CGameToolBar::MirrorSlots() {
    if (!pPlayer) return;
    std::copy(std::begin(m_nQuickSlots), std::end(m_nQuickSlots), pPlayer->nQuickSlot);
    // Only the hero who can throw keeps a stack.
    if (!StackHero()) return;
    pPlayer->nThrownItem = m_nStackItem;
    pPlayer->nThrownCount = m_nStackCount;
}

int CGameToolBar::OnQuickSlotClick() {
    if (!pPlayer || !IsMouseOnBackground()) return 0;
    CToolBarHost& host = ToolBarHost();
    const POINT pt = host.GetMousePos();
    const int nCarried = host.GetCarriedItem();
    if (nCarried < 0) {
        for (int i = 0; i < kToolBarQuickSlots; ++i) {
            const int nItem = m_nQuickSlots[i];
            if (nItem < 0 || !PtInRect(m_rcQuickSlots[i], pt)) continue;
            host.SetCarriedItem(nItem);
            m_nQuickSlots[i] = -1;
            pPlayer->RemoveItem(nItem);
            MirrorSlots();
            return 1;
        }
        return 0;
    }
    // Medicines go on slots 0..3, bombs on 4..7; nothing else is taken. The bomb type
    // holds gems and ingredients too: only an item with an explosion is a bomb.
    const int nType = TypeOf(nCarried);
    const bool bBomb = nType == kBombType && BombKind(nCarried) >= 0;
    const int nFirst = nType == kMedicineType ? 0 : bBomb ? 4 : -1;
    if (nFirst < 0) return 0;
    for (int i = nFirst; i < nFirst + 4; ++i) {
        if (!PtInRect(m_rcQuickSlots[i], pt)) continue;
        const int nOld = m_nQuickSlots[i];
        pPlayer->AddItem(nCarried);
        if (nOld >= 0) pPlayer->RemoveItem(nOld);
        m_nQuickSlots[i] = nCarried;
        host.SetCarriedItem(nOld);
        MirrorSlots();
        return 1;
    }
    return 0;
}

int CGameToolBar::OnStackSlotClick() {
    if (!StackHero() || !IsMouseOnBackground()) return 0;
    CToolBarHost& host = ToolBarHost();
    if (!PtInRect(m_rcStackSlot, host.GetMousePos())) return 0;
    const int nCarried = host.GetCarriedItem();
    if (nCarried < 0) {
        if (m_nStackItem < 0) return 0;
        host.SetCarriedItem(m_nStackItem);
        if (--m_nStackCount <= 0) {
            m_nStackCount = 0;
            m_nStackItem = -1;
        }
        MirrorSlots();
        return 1;
    }
    if (TypeOf(nCarried) != kStackItemType || m_nStackCount >= kStackMax) return 0;
    if (m_nStackItem >= 0 && m_nStackItem != nCarried) return 0;
    m_nStackItem = nCarried;
    ++m_nStackCount;
    host.SetCarriedItem(-1);
    MirrorSlots();
    return 1;
}

void CGameToolBar::ArmStackSkill() {
    if (m_nStackCount != 0 && m_nStackItem >= 0 && StackHero()) m_nStackSkillArmed = 1;
}

void CGameToolBar::DrawStackSkillIcon() {
    if (m_nStackSkillArmed == 1 && pBitmapData)
        pBitmapData->DrawJlIcon(kStackSkillIcon, m_rcStackSkill.left, m_rcStackSkill.top);
}

int CGameToolBar::OnStackSkillClick() {
    if (m_nStackSkillArmed != 1 || m_nStackCount == 0 || m_nStackItem < 0 || !StackHero()) return 0;
    CToolBarHost& host = ToolBarHost();
    if (!PtInRect(m_rcStackSkill, host.GetMousePos())) return 0;
    host.SelectSkill(pPlayer, kStackSkill);
    m_nStackSkillArmed = -1;
    return 1;
}
