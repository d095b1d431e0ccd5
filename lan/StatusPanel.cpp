#include "lan/StatusPanel.h"

#include <algorithm>
#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "lan/GoodsGrid.h"
#include "lan/LanPictures.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/PictureStore.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

CStatusPanel* pStatusPanel = nullptr;

namespace {

const LanPicture kRows[] = {
    {"zhuangbei-nv.bmp", 420, 487, 1}, {"zhuangbei-nan.bmp", 420, 487, 1}, {"2.bmp", 34, 40, 1},
    {"72.bmp", 72, 90, 10},            {"head2.bmp", 79, 76, 1},           {"head3.bmp", 74, 78, 1},
    {"head4.bmp", 76, 80, 1},          {"anjian.bmp", 30, 30, 5},          {"2.bmp", 34, 40, 1},
    {"MenuShoot.bmp", 80, 80, 1},      {"MenuWeapon.bmp", 80, 160, 1},     {"MenuAmor.bmp", 80, 120, 1},
    {"MenuHead.bmp", 80, 80, 1},
};

// Boxes 4..9: picture row and position.
struct BoxPlace {
    int nRow;
    int x;
    int y;
};
const BoxPlace kBoxes[6] = {{12, 233, 40}, {2, 98, 128}, {11, 155, 135}, {2, 243, 128}, {10, 247, 186}, {9, 213, 367}};

const RECT kCancel{300, 440, 324, 465};
const RECT kNext{23, 130, 53, 160};
const RECT kPrevious{72, 130, 102, 160};
const RECT kLineRects[CStatusPanel::kLines] = {
    {70, 198, 139, 212}, {70, 233, 139, 247}, {70, 270, 139, 283}, {70, 305, 139, 319},
    {70, 340, 139, 354}, {70, 377, 139, 390}, {70, 412, 139, 426},
};
constexpr int kFirstBox = 4;
constexpr int kScanPlaces = 200;

bool ValidItem(int n) { return n >= 0 && n < kHeroItemCount; }
int HeroCount(int nItem) { return pPlayer && ValidItem(nItem) ? pPlayer->nItemCount[nItem] : 0; }
int PartyId(int nSlot) { return pFrame && nSlot >= 0 && nSlot < 4 ? pFrame->m_nPartyIds[nSlot] : -1; }
int PartyCount() { return pFrame ? pFrame->m_nPartyCount : 1; }
bool Filled(int nSlot) { return PartyId(nSlot) >= 0; }
const ItemRow* Item(int nItem) { return pGameData && ValidItem(nItem) ? pGameData->GetItem(nItem) : nullptr; }
bool IsRefusingBox(int nSlot) { return nSlot == 4 || nSlot == 5 || nSlot == 7; }
POINT Cursor(const CMouse& mouse) { return POINT{mouse.m_nX, mouse.m_nY}; }

// Wears or takes off an item's attack and defence; taking off never goes below 0.
void AddItemValues(CPlayer* pMember, int nItem, bool bWear) {
    const ItemRow* pRow = Item(nItem);
    if (!pMember || !pRow) return;
    if (bWear) {
        pMember->nAttack += pRow->nAttack;
        pMember->nDefence += pRow->nDefence;
    } else {
        pMember->nAttack = std::max(pMember->nAttack - pRow->nAttack, 0);
        pMember->nDefence = std::max(pMember->nDefence - pRow->nDefence, 0);
    }
}

// The member number of the record in a party slot; 0 when the slot has none.
int MemberNumber(int nSlot) {
    const CPlayer* pMember = CStatusPanel::PageMember(nSlot);
    return pMember ? pMember->nMember : 0;
}

}  // namespace

CStatusPanel::CStatusPanel() {
    for (int k = 0; k < kPages; ++k)
        for (int i = 0; i < kRowSlots; ++i) m_nStack[k][i] = m_nEquip[k][i] = -1;
    m_pCancel.reset(MakeLanSprite({"quixiaoanjian01.bmp", 24, 25, 2}, 0, kCancel.left, kCancel.top));
    CreateSlot(2, 7, 0, 23, 130);
    CreateSlot(3, 7, 1, 70, 130);
    for (int i = 0; i < kLines; ++i) m_rcHot[i] = kLineRects[i];
}

CStatusPanel::~CStatusPanel() = default;

bool CStatusPanel::CreateSlot(int nSlot, int nRow, int nTile, int x, int y) {
    if (nSlot < 0 || nSlot >= kSprites || nRow < 0 || nRow >= int(std::size(kRows))) return false;
    m_pSlot[nSlot].reset(MakeLanSprite(kRows[nRow], nTile, x, y));
    return m_pSlot[nSlot] != nullptr;
}

CPlayer* CStatusPanel::PageMember(int k) {
    if (k == 0) return pPlayer;
    const int nId = PartyId(k);
    if (k < 1 || k > 3 || nId < 0 || nId >= kMemberCount || !pPlayer) return nullptr;
    return pPlayer->pPartyMembers[nId];
}

std::int32_t* CStatusPanel::BoxField(CPlayer* pMember, int nSlot) {
    if (!pMember || nSlot < kFirstBox || nSlot >= kRowSlots) return nullptr;
    return pMember->EquipSlot(nSlot - kFirstBox);
}

POINT CStatusPanel::BoxCorner(int nSlot) {
    if (nSlot < kFirstBox || nSlot >= kRowSlots) return POINT{-1, -1};
    const BoxPlace& b = kBoxes[nSlot - kFirstBox];
    return POINT{b.x, b.y};
}

void CStatusPanel::OpenPage(int k) {
    if (k < 0 || k >= kPages) return;
    ClosePages();
    m_bPageOpen[k] = 1;
    BuildPage(k);
}

void CStatusPanel::ClosePages() {
    for (int& b : m_bPageOpen) b = 0;
}

bool CStatusPanel::TakeCarried(int* pItem) {
    if (!m_bCarrying || !ValidItem(m_nCarriedItem)) return false;
    *pItem = m_nCarriedItem;
    m_bCarrying = 0;
    m_nCarriedItem = -1;
    return true;
}

bool CStatusPanel::ClearStack(int nItem) {
    for (auto& row : m_nStack)
        for (int& n : row)
            if (n == nItem && n >= 0) {
                n = -1;
                return true;
            }
    return false;
}

void CStatusPanel::BuildPage(int k) {
    if (k < 0 || k >= kPages) return;
    if (k > 0 && !Filled(k)) return;
    const int nId = PartyId(k);
    const bool bWomanBack = k > 0 && (nId == 2 || nId == 6 || nId == 7);
    CreateSlot(0, bWomanBack ? 0 : 1, 0, 0, 0);
    const int nPortrait = k == 0 ? (pPlayer && pPlayer->nSculpt != 0 ? 0 : 1) : nId;
    CreateSlot(1, 3, nPortrait, 18, 25);
    for (int s = kFirstBox; s < kRowSlots; ++s) {
        const BoxPlace& b = kBoxes[s - kFirstBox];
        CreateSlot(s, b.nRow, 0, b.x, b.y);
    }
    for (int s = kFirstBox; s < kRowSlots; ++s) {
        // The scan stops at an item waiting at the rest point (worn and held once) or while
        // the grid carries a picture; a full scan without a stacked item forgets the box.
        bool bStopped = false;
        if (pGoodsGrid) {
            for (int i = 0; i < kScanPlaces && !bStopped; ++i) {
                if (pGoodsGrid->GetCarriedSprite()) bStopped = true;
                else if (pGoodsGrid->GetSprite(i) && pGoodsGrid->GetPos(pGoodsGrid->GetItem(i)).x == m_ptRest.x)
                    bStopped = true;
            }
        }
        if (!bStopped && m_nStack[k][s] == -1) {
            m_nEquip[k][s] = -1;
            return;
        }
        if (m_nEquip[k][s] >= 0 && m_pSlot[s]) {
            const BoxPlace& b = kBoxes[s - kFirstBox];
            CreateSlot(s, b.nRow, 0, m_pSlot[s]->GetPosX(), m_pSlot[s]->GetPosY());
        }
    }
}

void CStatusPanel::DrawCancel(const CMouse& mouse) {
    if (!m_pCancel) return;
    m_pCancel->SetFrame(PtInRect(kCancel, Cursor(mouse)) ? 1 : 0);
    if (pBack) m_pCancel->Draw(pBack, 0, 0, BLT_KEYED);
}

void CStatusPanel::CloseFromCancel(CMouse& mouse) {
    ClosePages();
    if (pFrame) pFrame->m_nMouseHold = 1;
    mouse.m_bClick = 0;
}

int CStatusPanel::SwitchTarget(int k, bool bNext) const {
    switch (k) {
    case 0:
        if (!bNext) return -1;
        if (Filled(1)) return MemberNumber(1) != 0 ? 1 : -1;
        if (Filled(2)) return 2;
        return Filled(3) ? 3 : -1;
    case 1:
        if (bNext) return MemberNumber(Filled(3) ? 3 : 2) != 0 ? 2 : -1;
        return MemberNumber(1) != 0 ? 0 : -1;
    case 2:
        if (bNext) return MemberNumber(3) != 0 ? 3 : -1;
        if (Filled(1)) return MemberNumber(1) != 0 ? 1 : -1;
        return Filled(0) ? 0 : -1;
    case 3:
        if (bNext) return -1;
        if (Filled(2)) return MemberNumber(2) != 0 ? 2 : -1;
        if (Filled(1)) return 1;
        return Filled(0) ? 0 : -1;
    default:
        return -1;
    }
}

int CStatusPanel::HandlePageButtons(CMouse& mouse, int k) {
    DrawCancel(mouse);
    if (!(GetAsyncKeyState(VK_LBUTTON) & 1)) return 0;
    const POINT pt = Cursor(mouse);
    // Pages 0, 2 and 3 also want the cursor's picture over the button's own.
    const bool bNeedTouch = k != 1;
    const bool bNext = PtInRect(kNext, pt) && (!bNeedTouch || MouseTouches(mouse, m_pSlot[2].get()));
    const bool bPrevious = !bNext && PtInRect(kPrevious, pt) && (!bNeedTouch || MouseTouches(mouse, m_pSlot[3].get()));
    if (!bNext && !bPrevious) return 0;
    if (bNext && k == PartyCount() - 1) return 0;
    const int nTarget = SwitchTarget(k, bNext);
    if (nTarget >= 0) {
        m_bPageOpen[k] = 0;
        m_bPageOpen[nTarget] = 1;
        m_pSlot[0].reset();
        m_pSlot[1].reset();
        for (int s = kFirstBox; s < kRowSlots; ++s) m_pSlot[s].reset();
        BuildPage(nTarget);
    }
    mouse.m_bClick = 0;
    mouse.m_bButtonReleased = 0;
    m_bBusy = 1;
    return 1;
}

bool CStatusPanel::TakeDroppedPlace(CMouse& mouse, int k) {
    CGoodsGrid* pGrid = pGoodsGrid;
    CPlayer* pMember = PageMember(k);
    if (!pGrid || !pMember) return false;
    for (int s = kFirstBox; s < kRowSlots; ++s) {
        if (m_nEquip[k][s] != -1 || !m_pSlot[s]) continue;
        for (int i = 0; i < kGridPlaces; ++i) {
            CDXSprite* pSprite = pGrid->GetSprite(i);
            const int nItem = pGrid->GetItem(i);
            if (!pSprite || !ValidItem(nItem) || !pSprite->HitsBox(m_pSlot[s].get())) continue;
            if (IsRefusingBox(s)) {
                // These boxes take nothing: the item goes back to its cell of the goods panel.
                POINT ptCell{};
                if (GoodsGridPeers()->GoodsPanelCell(nItem, &ptCell)) pGrid->SetPos(nItem, ptCell);
                GoodsGridPeers()->LayoutGoodsPanel();
                return true;
            }
            *BoxField(pMember, s) = nItem;
            pGrid->SetPos(nItem, m_ptRest);
            m_nEquip[k][s] = nItem;
            AddItemValues(pMember, nItem, true);
            BuildPage(k);
            m_bDropped = 0;
            mouse.m_bButtonReleased = 0;
            pGrid->SetCarried(-1);
            return true;
        }
    }
    return false;
}

void CStatusPanel::HandleEquipMouse(CMouse& mouse, int k) {
    DrawCancel(mouse);
    if (!MouseTouches(mouse, m_pSlot[0].get())) return;
    const POINT pt = Cursor(mouse);
    if (!GoodsGridPeers()->IsGoodsPanelOpen()) {
        if (mouse.m_bClick && PtInRect(kCancel, pt)) CloseFromCancel(mouse);
        return;
    }
    HandleDrop(mouse, k);
    if (mouse.m_bButtonReleased) {
        if (m_bBusy) return;
        mouse.m_bClick = 0;
        if (TakeDroppedPlace(mouse, k)) return;
        if (m_bDropped) {
            m_bDropped = 0;
            mouse.m_bButtonReleased = 0;
            if (pGoodsGrid) pGoodsGrid->SetCarried(-1);
        }
    }
    if (!mouse.m_bClick) return;
    if (PtInRect(kCancel, pt)) {
        CloseFromCancel(mouse);
        return;
    }
    if (m_bBusy || !pGoodsGrid) return;
    CPlayer* pMember = PageMember(k);
    if (!pMember) return;
    for (int s = kFirstBox; s < kRowSlots; ++s) {
        const int nItem = m_nEquip[k][s];
        if (nItem < 0 || !MouseTouches(mouse, m_pSlot[s].get())) continue;
        const int nPlace = pGoodsGrid->FindPlace(nItem);
        if (nPlace < 0 || nPlace >= kScanPlaces) continue;
        // A visible item under the cursor is the grid's to drag.
        const POINT ptPlace = pGoodsGrid->GetPos(nItem);
        if ((ptPlace.x == pt.x && ptPlace.y == pt.y) || MouseTouches(mouse, pGoodsGrid->GetSprite(nPlace)) ||
            pGoodsGrid->GetCarried() >= 0)
            return;
        if (ptPlace.x != m_ptRest.x) return;
        pGoodsGrid->SetPos(nItem, pt);
        pGoodsGrid->SetCarried(nPlace);
        if (s == 5 && !CursorInBox(mouse, m_pSlot[5].get(), 35)) {
            pGoodsGrid->SetPos(nItem, m_ptRest);
            pGoodsGrid->SetCarried(-1);
            return;
        }
        *BoxField(pMember, s) = -1;
        AddItemValues(pMember, nItem, false);
        m_nEquip[k][s] = -1;
        BuildPage(k);
        return;
    }
}

void CStatusPanel::PickUpFromBox(CMouse& mouse, int k) {
    CPlayer* pMember = PageMember(k);
    if (!pMember) return;
    for (int s = kFirstBox; s < kRowSlots; ++s) {
        if (!MouseTouches(mouse, m_pSlot[s].get()) || m_nEquip[k][s] < 0 || m_nStack[k][s] < 0) continue;
        const int nItem = m_nEquip[k][s];
        for (int p = 0; p < kPages; ++p) {
            // The same item worn in the same box of another page and held once: the stack
            // entry belongs to that page now.
            if (p == k || m_nEquip[p][s] != nItem) continue;
            if (pGoodsGrid && pGoodsGrid->GetPos(nItem).x == m_ptRest.x && HeroCount(nItem) == 1) {
                m_nStack[p][s] = m_nStack[k][s];
                m_nStack[k][s] = -1;
                return;
            }
        }
        if (s == 5 && !CursorInBox(mouse, m_pSlot[5].get(), 35)) return;
        m_nCarriedItem = m_nStack[k][s];
        m_nStack[k][s] = -1;
        m_bCarrying = 1;
        *BoxField(pMember, s) = -1;
        AddItemValues(pMember, nItem, false);
        m_nEquip[k][s] = -1;
        BuildPage(k);
        return;
    }
}

void CStatusPanel::HandleDrop(CMouse& mouse, int k) {
    if (!MouseTouches(mouse, m_pSlot[0].get()) || !pGoodsGrid) return;
    CGoodsGrid* pGrid = pGoodsGrid;
    CPlayer* pMember = PageMember(k);
    const int nCarried = pGrid->CarriedItem();
    if (mouse.m_bButtonReleased && !m_bBusy && pGrid->GetCarriedSprite() && ValidItem(nCarried) &&
        HeroCount(nCarried) >= 1 && pMember) {
        bool bTaken = false;
        for (int s = kFirstBox; s < kRowSlots && !bTaken; ++s) {
            if (m_nEquip[k][s] != -1 || !m_pSlot[s] || !pGrid->GetCarriedSprite()->HitsBox(m_pSlot[s].get())) continue;
            if (IsRefusingBox(s)) {
                pPlayer->AddItem(nCarried);
                return;
            }
            m_nStack[k][s] = nCarried;
            m_nEquip[k][s] = nCarried;
            *BoxField(pMember, s) = nCarried;
            AddItemValues(pMember, nCarried, true);
            m_bDropped = 1;
            bTaken = true;
        }
        if (!bTaken) {
            pPlayer->AddItem(nCarried);
            return;
        }
        BuildPage(k);
        pGrid->DeleteCarriedSprite();
        mouse.m_bClick = 0;
        m_bDropped = 0;
        pGrid->SetCarried(-1);
        mouse.m_bButtonReleased = 0;
        return;
    }
    const CDXSprite* pCarried = pGrid->GetCarriedSprite();
    const bool bCarriedAtCursor =
        pCarried && pCarried->GetPosX() == mouse.m_nX && pCarried->GetPosY() == mouse.m_nY;
    if (mouse.m_bClick && !m_bBusy && !bCarriedAtCursor && pGrid->GetCarried() < 0) PickUpFromBox(mouse, k);
}

void CStatusPanel::FormatLines(const CPlayer* p) {
    if (!p) {
        for (int i = 0; i < kLines; ++i) m_szLine[i][0] = 0;
        return;
    }
    std::snprintf(m_szLine[0], sizeof(m_szLine[0]), "%.31s    %d", p->szName, p->nLevel);
    const int nValues[6] = {p->nExperience, p->nLife, p->nMana, p->nAttack, p->nDefence, p->nMoney};
    for (int i = 0; i < 6; ++i) std::snprintf(m_szLine[i + 1], sizeof(m_szLine[i + 1]), "%d", nValues[i]);
}

int CStatusPanel::DrawPage(CMouse& mouse, int k) {
    if (!IsPageOpen(k)) return 0;
    if (MouseTouches(mouse, m_pSlot[0].get()) && HandlePageButtons(mouse, k) == 0) HandleEquipMouse(mouse, k);
    m_bBusy = 0;
    const CPlayer* pMember = PageMember(k);
    FormatLines(pMember);
    for (int s = 0; s < kRowSlots; ++s)
        if (m_pSlot[s] && pBack) m_pSlot[s]->Draw(pBack, 0, 0, BLT_KEYED);
    if (m_pCancel && pBack) m_pCancel->Draw(pBack, 0, 0, BLT_KEYED);
    if (!IsPageOpen(k)) return 0;
    // A page without its member's record shows its pictures only.
    if (!pMember) return 1;
    if (pBack)
        for (int i = 0; i < kLines; ++i) {
            RECT rc = kLineRects[i];
            pBack->DrawText(m_szLine[i], RGB(255, 255, 0), &rc, 16);
        }
    for (int s = kFirstBox; s < kRowSlots; ++s)
        if (m_nEquip[k][s] >= 0 && m_pSlot[s])
            DrawItemIcon(m_nEquip[k][s], m_pSlot[s]->GetPosX(), m_pSlot[s]->GetPosY());
    return 1;
}

void CStatusPanel::LoadEquipment(int nMemberId) {
    int k = -1;
    for (int p = 0; p < kPages && k < 0; ++p)
        if (PartyId(p) == nMemberId) k = p;
    CPlayer* pMember = PageMember(k);
    if (k < 0 || !pMember) return;
    for (int s = kFirstBox; s < kRowSlots; ++s) {
        const int nItem = *BoxField(pMember, s);
        if (!ValidItem(nItem)) continue;
        if (pGoodsGrid && pGoodsGrid->FindPlace(nItem) >= 0 && HeroCount(nItem) < 2) pGoodsGrid->SetPos(nItem, m_ptRest);
        m_nEquip[k][s] = nItem;
        if (HeroCount(nItem) > 1) m_nStack[k][s] = nItem;
        AddItemValues(pMember, nItem, true);
    }
}

void CStatusPanel::ApplyEquipment(int nMemberId) {
    for (int p = 0; p < kPages; ++p) {
        if (PartyId(p) != nMemberId || nMemberId < 0) continue;
        CPlayer* pMember = PageMember(p);
        if (!pMember) return;
        for (int s = kFirstBox; s < kRowSlots; ++s) AddItemValues(pMember, *BoxField(pMember, s), true);
        return;
    }
}

void CStatusPanel::ReleaseMember(int nPage) {
    if (nPage < 0 || nPage >= kPages) return;
    CPlayer* pMember = PageMember(nPage);
    for (int s = 0; s < kRowSlots; ++s) {
        const int nItem = m_nEquip[nPage][s];
        if (!ValidItem(nItem) || !pGoodsGrid || pGoodsGrid->FindPlace(nItem) < 0) continue;
        if (HeroCount(nItem) == 1) pGoodsGrid->RemoveItem(nItem);
        m_nEquip[nPage][s] = -1;
        if (std::int32_t* pField = BoxField(pMember, s)) *pField = -1;
    }
    for (int p = 1; p <= 2; ++p)
        for (int s = 0; s < kRowSlots; ++s) m_nEquip[p][s] = m_nEquip[p + 1][s] >= 0 ? m_nEquip[p + 1][s] : -1;
    for (int s = 0; s < kRowSlots; ++s) m_nEquip[3][s] = -1;
}

void CStatusPanel::ClearRows() {
    for (int k = 0; k < kPages; ++k)
        for (int s = 0; s < kRowSlots; ++s) m_nStack[k][s] = m_nEquip[k][s] = -1;
}

void CStatusPanel::MarkSlot() {
    if (m_nMarkedSlot < 0 || m_nMarkedSlot >= kSprites || !m_pSlot[m_nMarkedSlot]) return;
    CDXSprite* pOld = m_pSlot[m_nMarkedSlot].get();
    CreateSlot(m_nMarkedSlot, 8, 0, pOld->GetPosX(), pOld->GetPosY());
}
