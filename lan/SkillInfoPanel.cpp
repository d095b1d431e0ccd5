#include "lan/SkillInfoPanel.h"

#include <algorithm>
#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "lan/GoodsGrid.h"
#include "lan/LanPictures.h"
#include "lan/SpriteBoard.h"
#include "lan/StatusPanel.h"
#include "platform/Resources.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/PictureStore.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {

const LanPicture kGridRows[] = {
    {"ponrenlan.bmp", 544, 482, 1}, {"72.bmp", 72, 90, 10},       {"2.bmp", 50, 50, 1},
    {"quedinanjian2.bmp", 96, 26, 2}, {"jilen-anjian-1.bmp", 87, 30, 5}, {"1.bmp", 34, 40, 1},
    {"head.bmp", 34, 40, 1},        {"1.bmp", 50, 50, 1},         {"Success.bmp", 34, 40, 1},
    {"jilen-anjian-3.bmp", 87, 30, 4},
};
const char* const kGridPictures[3] = {"b00.bmp", "b01.bmp", "b02.bmp"};

const LanPicture kPanelRows[] = {
    {"jilengilan.bmp", 336, 483, 1}, {"72.bmp", 72, 90, 10},        {"head2.bmp", 79, 76, 1},
    {"head3.bmp", 74, 78, 1},        {"head4.bmp", 76, 80, 1},      {"anjian.bmp", 30, 30, 6},
    {"DirectionButton1.bmp", 25, 20, 1}, {"DirectionButton2.bmp", 25, 20, 1}, {"Skill1.bmp", 60, 50, 1},
    {"Skill2.bmp", 60, 50, 1},       {"Item1.bmp", 40, 40, 100},    {"Skill4.bmp", 60, 50, 1},
    {"Skill5.bmp", 60, 50, 1},       {"Skill5.bmp", 60, 50, 1},     {"jilen-anjian-1.bmp", 87, 30, 4},
    {"jilen-anjian-3.bmp", 87, 30, 4}, {"1.bmp", 34, 40, 1},
};

const RECT kGridClose{465, 135, 490, 160};
const RECT kGridConfirm{330, 335, 380, 360};
const RECT kGridLeaveA{30, 355, 117, 385};
const RECT kGridLeaveB{30, 235, 117, 265};
constexpr int kGridSlotA = 2;
constexpr int kGridSlotB = 3;
constexpr int kGridResultSlot = 4;

const RECT kPanelClose{235, 95, 260, 120};
const RECT kPrevious{40, 200, 60, 220};
const RECT kNext{90, 200, 110, 220};
const RECT kScrollDown{183, 355, 213, 385};
const RECT kScrollUp{183, 120, 213, 150};

bool ValidItem(int n) { return n >= 0 && n < kHeroItemCount; }
POINT Cursor(const CMouse& mouse) { return POINT{mouse.m_nX, mouse.m_nY}; }
int PartyId(int nSlot) { return pFrame && nSlot >= 0 && nSlot < 4 ? pFrame->m_nPartyIds[nSlot] : -1; }
int PartyCount() { return pFrame ? pFrame->m_nPartyCount : 1; }

// Writes the format with %s and %d taken from the arguments in order; any other
// conversion is copied as it stands, so a format from the string table cannot read
// arguments that are not there.
std::string FillFormat(const std::string& strFormat, const char* pszName, const int* pNumbers, int nNumbers) {
    std::string out;
    int nNext = 0;
    bool bName = false;
    for (size_t i = 0; i < strFormat.size(); ++i) {
        const char c = strFormat[i];
        if (c != '%' || i + 1 >= strFormat.size()) {
            out += c;
            continue;
        }
        const char k = strFormat[i + 1];
        if (k == 's' && !bName) {
            out += pszName;
            bName = true;
            ++i;
        } else if (k == 'd' && nNext < nNumbers) {
            out += std::to_string(pNumbers[nNext++]);
            ++i;
        } else if (k == '%') {
            out += '%';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

// ---- the combining grid ---------------------------------------------------------

CSkillButtonGrid::CSkillButtonGrid() {
    PlaceSprite(0, 0, 0, 0, 0);
    PlaceSprite(1, 1, 6, 39, 108);
    PlaceSprite(kGridSlotA, 2, 0, 150, 120);
    PlaceSprite(kGridSlotB, 2, 0, 150, 290);
    PlaceSprite(kGridResultSlot, 7, 0, 385, 205);
    PlaceSprite(5, 3, 0, 330, 325);
    PlaceSprite(6, 4, 2, 30, 295);
    PlaceSprite(9, 4, 4, 30, 355);
    PlaceSprite(10, 9, 2, 30, 295);
    for (int i = 0; i < 3; ++i) m_pSlot[45 + i].reset(MakeLanSprite({kGridPictures[i], 100, 129, 1}, 0, 260, 184));
    m_pClose.reset(MakeLanSprite({"quixiaoanjian01.bmp", 24, 25, 2}, 0, 465, 135));
}

CSkillButtonGrid::~CSkillButtonGrid() = default;

bool CSkillButtonGrid::PlaceSprite(int nSlot, int nRow, int nFrame, int x, int y) {
    if (nSlot < 0 || nSlot >= kSlots || nRow < 0 || nRow >= int(std::size(kGridRows))) return false;
    m_pSlot[nSlot].reset(MakeLanSprite(kGridRows[nRow], nFrame, x, y));
    return m_pSlot[nSlot] != nullptr;
}

void CSkillButtonGrid::DropPoint(const CMouse& mouse, const CDXSprite* pSprite, POINT* pOut, int x, int y) {
    if (MouseTouches(mouse, pSprite) && mouse.m_pSprite)
        *pOut = POINT{mouse.m_pSprite->GetPosX() - 15, mouse.m_pSprite->GetPosY() - 20};
    else *pOut = POINT{x, y};
}

void CSkillButtonGrid::ReturnItem(int nItem) {
    if (!ValidItem(nItem) || !pPlayer) return;
    pPlayer->AddItem(nItem);
    if (pGoodsGrid && pGoodsGrid->FindPlace(nItem) < 0) {
        int nPlace = -1;
        pGoodsGrid->AddItem(&nPlace, nItem);
    }
    if (pGoodsGrid) {
        POINT ptCell{};
        pGoodsGrid->SetPos(nItem, GoodsGridPeers()->GoodsPanelCell(nItem, &ptCell) ? ptCell : POINT{-3000, -100});
    }
}

// A dropped item leaves the goods grid for the slot: its unit is off the stock while
// the slot holds it, and comes back with ReturnItem.
void CSkillButtonGrid::SnapIngredients(CMouse& mouse) {
    CGoodsGrid* pGrid = pGoodsGrid;
    if (!pGrid || pGrid->GetCarried() < 0 || !mouse.m_bButtonReleased || !pPlayer) return;
    const int nItem = pGrid->CarriedItem();
    if (!ValidItem(nItem)) return;
    for (int nBox = 0; nBox < 2; ++nBox) {
        int& rItem = nBox == 0 ? m_nItemA : m_nItemB;
        if (rItem >= 0 || !MouseTouches(mouse, m_pSlot[nBox == 0 ? kGridSlotA : kGridSlotB].get())) continue;
        if (pGrid->GetCarriedSprite()) {
            pGrid->DeleteCarriedSprite();
        } else {
            if (!pPlayer->RemoveItem(nItem)) return;
            const int nPlace = pGrid->GetCarried();
            if (pPlayer->nItemCount[nItem] == 0) {
                pGrid->ReleasePlaceSprite(nPlace);
                pGrid->SetItem(nPlace, -1);
                pGrid->SetPos(nItem, POINT{-100, -100});
            } else {
                POINT ptCell{};
                pGrid->SetPos(nItem, GoodsGridPeers()->GoodsPanelCell(nItem, &ptCell) ? ptCell : POINT{-3000, -100});
            }
        }
        rItem = nItem;
        (nBox == 0 ? m_bPlacedA : m_bPlacedB) = 1;
        pGrid->SetCarried(-1);
        mouse.m_bButtonReleased = 0;
        mouse.m_bClick = 0;
        return;
    }
}

void CSkillButtonGrid::Combine() {
    const int a = m_nItemA;
    const int b = m_nItemB;
    // The grid takes the pair in either order: row b, column a when row a, column b is empty.
    int r = a >= 0 && b >= 0 ? CSpriteBoard::CombinationOf(a, b) : -1;
    if (r < 0 && a >= 0 && b >= 0) r = CSpriteBoard::CombinationOf(b, a);
    if (!ValidItem(r) || !pPlayer) {
        m_bFailed = 1;
        return;
    }
    // The ingredients' units left the stock when they were dropped in.
    m_nItemA = m_nItemB = -1;
    m_bPlacedA = m_bPlacedB = 0;
    pPlayer->AddItem(r);
    m_nResult = m_nResultItem = r;
}

int CSkillButtonGrid::Update(CMouse& mouse) {
    if (!m_bOpen) {
        m_nShownSlot = 45;
        m_bCombineRequest = 0;
        return 1;
    }
    const POINT pt = Cursor(mouse);
    SnapIngredients(mouse);
    if (mouse.m_bClick) {
        for (int nBox = 0; nBox < 3; ++nBox) {
            int& rItem = nBox == 0 ? m_nItemA : nBox == 1 ? m_nItemB : m_nResult;
            const int nSlot = nBox == 0 ? kGridSlotA : nBox == 1 ? kGridSlotB : kGridResultSlot;
            if (rItem < 0 || !MouseTouches(mouse, m_pSlot[nSlot].get())) continue;
            // The result already joined the stock; a returned ingredient rejoins it.
            if (nBox < 2) ReturnItem(rItem);
            rItem = -1;
            if (nBox < 2) (nBox == 0 ? m_bPlacedA : m_bPlacedB) = 0;
        }
        if (PtInRect(kGridConfirm, pt) && m_bPlacedA && m_bPlacedB) m_bCombineRequest = 1;
        if (PtInRect(kGridClose, pt) || PtInRect(kGridLeaveA, pt) || PtInRect(kGridLeaveB, pt)) {
            // Leaving gives back whatever the slots still hold.
            for (int* p : {&m_nItemA, &m_nItemB}) {
                ReturnItem(*p);
                *p = -1;
            }
            m_bPlacedA = m_bPlacedB = 0;
            m_bOpen = 0;
            if (pFrame) pFrame->m_nMouseHold = 1;
            mouse.m_bClick = 0;
            return PtInRect(kGridLeaveB, pt) ? 0 : 1;
        }
    }
    if (m_bCombineRequest) {
        m_bCombineRequest = 0;
        Combine();
    }
    if (pBack) {
        if (m_pSlot[0]) m_pSlot[0]->Draw(pBack, 0, 0, BLT_KEYED);
        if (m_pSlot[m_nShownSlot]) m_pSlot[m_nShownSlot]->Draw(pBack, 0, 0, BLT_KEYED);
        for (int s = 1; s <= 14; ++s)
            if (m_pSlot[s]) m_pSlot[s]->Draw(pBack, 0, 0, BLT_KEYED);
        if (m_pClose) {
            m_pClose->SetFrame(PtInRect(kGridClose, pt) ? 1 : 0);
            m_pClose->Draw(pBack, 0, 0, BLT_KEYED);
        }
    }
    const int nItems[3] = {m_nItemA, m_nItemB, m_nResult};
    const int nSlots[3] = {kGridSlotA, kGridSlotB, kGridResultSlot};
    for (int i = 0; i < 3; ++i)
        if (ValidItem(nItems[i]) && m_pSlot[nSlots[i]])
            DrawItemIcon(nItems[i], m_pSlot[nSlots[i]]->GetPosX(), m_pSlot[nSlots[i]]->GetPosY());
    return 1;
}

// ---- the skill information panel ------------------------------------------------

CSkillInfoPanel::CSkillInfoPanel() : m_pGrid(std::make_unique<CSkillButtonGrid>()),
                                     m_pBoard(std::make_unique<CSpriteBoard>()) {
    ResetSkillLists();
    m_pClose.reset(MakeLanSprite({"quixiaoanjian01.bmp", 24, 25, 2}, 0, 235, 95));
    PlaceSprite(0, 0, 0, 0, 0);
    PlaceSprite(2, 5, 0, 40, 202);
    PlaceSprite(3, 5, 1, 90, 202);
    PlaceSprite(4, 5, 3, 183, 355);
    PlaceSprite(5, 5, 2, 183, 120);
    PlaceSprite(8, 14, 4, 30, 355);
    PlaceSprite(9, 14, 3, 30, 325);
    PlaceSprite(10, 14, 2, 30, 295);
    PlaceSprite(11, 15, 0, 30, 235);
    PlaceSprite(12, 15, 1, 30, 265);
}

CSkillInfoPanel::~CSkillInfoPanel() = default;

bool CSkillInfoPanel::PlaceSprite(int nSlot, int nRow, int nFrame, int x, int y) {
    if (nSlot < 0 || nSlot >= kSlots || nRow < 0 || nRow >= int(std::size(kPanelRows))) return false;
    m_pSlot[nSlot].reset(MakeLanSprite(kPanelRows[nRow], nFrame, x, y));
    return m_pSlot[nSlot] != nullptr;
}

bool CSkillInfoPanel::SetPictureA(int nRow) {
    if (nRow < 0 || nRow >= int(std::size(kPanelRows))) return false;
    m_nPictureRow[0] = nRow;
    m_pPicture[0].reset(MakeLanSprite(kPanelRows[nRow], 0, 170, 145));
    return m_pPicture[0] != nullptr;
}

bool CSkillInfoPanel::SetPictureB(int nRow) {
    if (nRow < 0 || nRow >= int(std::size(kPanelRows))) return false;
    m_nPictureRow[1] = nRow;
    m_pPicture[1].reset(MakeLanSprite(kPanelRows[nRow], 0, 170, 230));
    return m_pPicture[1] != nullptr;
}

void CSkillInfoPanel::SetPortrait(int nSlot) {
    const int nId = PartyId(nSlot);
    const int nFrame = nId >= 0 ? nId : (pPlayer && pPlayer->nSculpt != 0 ? 0 : 1);
    PlaceSprite(1, 1, nFrame, 40, 105);
}

std::string CSkillInfoPanel::SkillTipText(int nSkill) {
    const SkillRow* pSkill = pGameData && nSkill >= 0 ? pGameData->GetSkill(nSkill) : nullptr;
    if (!pSkill) return std::string();
    char szFormat[512] = {};
    if (LoadString(18, szFormat, int(sizeof(szFormat))) <= 0) std::snprintf(szFormat, sizeof(szFormat), "%%s");
    const int nNumbers[3] = {pSkill->nAttack, pSkill->nDefance, pSkill->nMana};
    return FillFormat(szFormat, pSkill->pName, nNumbers, 3);
}

void CSkillInfoPanel::ShowSkillTip(int nSkill, const CMouse& mouse) {
    const std::string strTip = SkillTipText(nSkill);
    if (!strTip.empty() && pFrame && pFrame->m_pMenuManager)
        pFrame->m_pMenuManager->DrawMessageText(strTip.c_str(), mouse.m_nX, mouse.m_nY);
}

void CSkillInfoPanel::ResetSkillLists() {
    for (auto& p : m_pList) p = std::make_unique<SkillList>();
}

void CSkillInfoPanel::AddSkill(int nMember, int nSkill) {
    if (nMember < 0 || nMember >= kLists || nSkill < 0 || nSkill >= kHeroSkillCount) return;
    for (int nSlot = 0; nSlot < 4; ++nSlot) {
        const CPlayer* pRecord = CStatusPanel::PageMember(nSlot);
        if (!pRecord || pRecord->nMember != nMember || pRecord->nSkillKnown[nSkill] != 1) continue;
        SkillList& list = *m_pList[nMember];
        if (list.nCount >= SkillList::kCapacity) return;
        list.nSkill[list.nCount++] = nSkill;
        return;
    }
}

void CSkillInfoPanel::FillSkillLists() {
    for (int nSlot = 0; nSlot < 4; ++nSlot) {
        const CPlayer* pRecord = CStatusPanel::PageMember(nSlot);
        if (!pRecord || pRecord->nMember < 0 || pRecord->nMember >= kLists) continue;
        SkillList& list = *m_pList[pRecord->nMember];
        for (int s = 0; s < kHeroSkillCount && list.nCount < SkillList::kCapacity; ++s)
            if (pRecord->nSkillKnown[s] == 1) list.nSkill[list.nCount++] = s;
    }
}

void CSkillInfoPanel::ScrollDown(int nList) {
    if (nList < 0 || nList >= kLists) return;
    SkillList& list = *m_pList[nList];
    if (list.nCount > list.nVisible) list.nTop = std::min(list.nTop + 1, list.nCount - list.nVisible);
    else list.nTop = 0;
}

void CSkillInfoPanel::ScrollUp(int nList) {
    if (nList < 0 || nList >= kLists) return;
    m_pList[nList]->nTop = std::max(m_pList[nList]->nTop - 1, 0);
}

int CSkillInfoPanel::ShownListIndex() const {
    const CPlayer* pRecord = CStatusPanel::PageMember(m_nMember);
    return pRecord && pRecord->nMember >= 0 && pRecord->nMember < kLists ? pRecord->nMember : -1;
}

SkillList* CSkillInfoPanel::ShownList() {
    const int n = ShownListIndex();
    return n >= 0 ? m_pList[n].get() : nullptr;
}

int CSkillInfoPanel::Update(CMouse& mouse) {
    if (!m_bOpen) return 0;
    const POINT pt = Cursor(mouse);
    if (m_pClose) m_pClose->SetFrame(PtInRect(kPanelClose, pt) ? 1 : 0);
    if (pBack) {
        for (int s = 0; s < kSlots; ++s)
            if (s != 6 && s != 7 && m_pSlot[s]) m_pSlot[s]->Draw(pBack, 0, 0, BLT_KEYED);
        if (m_pClose) m_pClose->Draw(pBack, 0, 0, BLT_KEYED);
    }
    SkillList* pList = ShownList();
    if (pList) {
        const int n = std::min(pList->nVisible, pList->nCount - pList->nTop);
        for (int k = 0; k < n && k < 5; ++k) {
            const int nIcon = pList->nSkill[pList->nTop + k] - 1;
            if (nIcon >= 0 && pBitmapData) pBitmapData->DrawSkillIconN(nIcon, m_rcSkill[k].left, m_rcSkill[k].top);
            if (PtInRect(m_rcSkill[k], pt)) ShowSkillTip(pList->nSkill[pList->nTop + k], mouse);
        }
    }
    m_pBoard->Update(mouse);
    m_pGrid->Update(mouse);
    if (!mouse.m_bClick && !(GetAsyncKeyState(VK_LBUTTON) & 1)) return 1;
    if (PtInRect(kPanelClose, pt)) {
        m_bOpen = 0;
        if (pFrame) pFrame->m_nMouseHold = 1;
        return 0;
    }
    if (MouseTouches(mouse, m_pSlot[2].get()) && PtInRect(kPrevious, pt) && m_nMember >= 1) {
        m_pSlot[1].reset();
        SetPortrait(--m_nMember);
    } else if (PtInRect(kNext, pt) && m_nMember < PartyCount() - 1) {
        m_pSlot[1].reset();
        SetPortrait(++m_nMember);
    }
    const int nList = ShownListIndex();
    if (nList >= 0 && PtInRect(kScrollDown, pt) && m_nScroll < m_pList[nList]->nCount) {
        ScrollDown(nList);
        ++m_nScroll;
    } else if (nList >= 0 && PtInRect(kScrollUp, pt) && m_nScroll > 0) {
        ScrollUp(nList);
        --m_nScroll;
    }
    return 1;
}
