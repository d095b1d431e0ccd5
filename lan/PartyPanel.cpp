#include "lan/PartyPanel.h"

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
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {
const LanPicture kRows[] = {
    {"zhuangtailan.bmp", 336, 483, 1}, {"anjian.bmp", 30, 30, 1}, {"72.bmp", 72, 90, 10},
    {"head2.bmp", 79, 76, 1},          {"head3.bmp", 74, 78, 1}, {"head4.bmp", 76, 80, 1},
    // The four members' name labels, then the two page numbers.
    {"NameLabel0.bmp", 40, 20, 1},     {"NameLabel1.bmp", 40, 20, 1}, {"NameLabel2.bmp", 40, 20, 1},
    {"NameLabel3.bmp", 40, 20, 1},     {"one.bmp", 40, 20, 1},        {"two.bmp", 40, 20, 1},
};
const RECT kClose{240, 100, 264, 125};
const RECT kPrevious{40, 205, 70, 235};
const RECT kNext{90, 205, 120, 235};

int PartyId(int nSlot) { return pFrame && nSlot >= 0 && nSlot < 4 ? pFrame->m_nPartyIds[nSlot] : -1; }
int PartyCount() { return pFrame ? pFrame->m_nPartyCount : 1; }
bool ItemRevives(int nItem) { return nItem == 27 || nItem == 28; }
}  // namespace

CPartyPanel::CPartyPanel() {
    PlaceSprite(0, 0, 0, 0, 0);
    PlaceSprite(1, 1, 0, 40, 205);
    PlaceSprite(2, 1, 1, 90, 205);
    m_pClose.reset(MakeLanSprite({"quixiaoanjian01.bmp", 24, 25, 2}, 0, 240, 100));
}

CPartyPanel::~CPartyPanel() = default;

bool CPartyPanel::PlaceSprite(int nSlot, int nRow, int nFrame, int x, int y) {
    if (nSlot < 0 || nSlot >= kSlots || nRow < 0 || nRow >= int(std::size(kRows))) return false;
    m_pSlot[nSlot].reset(MakeLanSprite(kRows[nRow], nFrame, x, y));
    return m_pSlot[nSlot] != nullptr;
}

void CPartyPanel::SetPortrait(int nFrame) { PlaceSprite(3, 2, nFrame, 36, 105); }

void CPartyPanel::SetHeroPortrait() {
    if (pPlayer) SetPortrait(pPlayer->nSculpt != 0 ? 0 : 1);
}

CPlayer* CPartyPanel::PageMember(int nPage) {
    if (nPage == 0) return pPlayer;
    if (nPage < 1 || nPage > 3 || PartyId(nPage) < 0) return nullptr;
    return pParty[nPage];
}

void CPartyPanel::ShowPage(int nPage) {
    for (int i = 3; i <= 5; ++i) m_pSlot[i].reset();
    m_nPage = nPage;
    if (nPage == 0) {
        m_nShownWord = 0;
        SetHeroPortrait();
    } else {
        SetPortrait(PartyId(nPage));
    }
}

void CPartyPanel::DrawTexts(const CPlayer& m) {
    if (!pBack) return;
    const LevelRow* pRow = pGameData ? pGameData->GetLevel(m.nMember, m.nLevel) : nullptr;
    char szText[64];
    auto put = [&](RECT rc, const char* psz) { pBack->DrawText(psz, RGB(255, 255, 0), &rc, 16); };
    std::snprintf(szText, sizeof(szText), "%.31s", m.szName);
    put(RECT{138, 147, 200, 165}, szText);
    std::snprintf(szText, sizeof(szText), "%d", m.nLevel);
    put(RECT{200, 147, 228, 165}, szText);
    std::snprintf(szText, sizeof(szText), "%d ", m.nExperience);
    put(RECT{138, 204, 228, 222}, szText);
    std::snprintf(szText, sizeof(szText), "%d / %d", m.nLife, pRow ? pRow->nLife : m.nLifeMax);
    put(RECT{138, 237, 228, 255}, szText);
    std::snprintf(szText, sizeof(szText), "%d / %d", m.nMana, pRow ? pRow->nMana : m.nManaMax);
    put(RECT{138, 271, 228, 289}, szText);
    std::snprintf(szText, sizeof(szText), "%d", m.nAttack);
    put(RECT{138, 307, 228, 325}, szText);
    std::snprintf(szText, sizeof(szText), "%d", m.nDefence);
    put(RECT{138, 343, 228, 358}, szText);
    std::snprintf(szText, sizeof(szText), "%d", m.nCelerity);
    put(RECT{138, 375, 228, 393}, szText);
}

void CPartyPanel::DropItem(CMouse& mouse) {
    if (!MouseTouches(mouse, m_pSlot[0].get()) || !mouse.m_bButtonReleased) return;
    mouse.m_bClick = 0;
    CGoodsGrid* pGrid = pGoodsGrid;
    CPlayer* pMember = PageMember(m_nPage);
    if (!pGrid || !pMember || pGrid->GetCarried() < 0) return;
    const int nItem = pGrid->CarriedItem();
    const ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
    const bool bWithSprite = pGrid->GetCarriedSprite() != nullptr;
    // A single carried item is applied only when its own picture was dropped here.
    if (!bWithSprite && !MouseTouches(mouse, pGrid->GetSprite(pGrid->GetCarried()))) return;
    if (!pRow || (pMember->nLife < 1 && !ItemRevives(nItem))) return;
    pMember->AddMP(pRow->nMana, false);
    pMember->AddHP(pRow->nLife, false);
    // The carried picture's unit was taken off the stock when the drag began; a single
    // item dropped from its place is used up here, so nothing is applied for free.
    if (bWithSprite) pGrid->DeleteCarriedSprite();
    else pGrid->RemoveItem(nItem);
    pGrid->SetCarried(-1);
    mouse.m_bButtonReleased = 0;
}

int CPartyPanel::Click(CMouse& mouse) {
    const POINT pt{mouse.m_nX, mouse.m_nY};
    if (PtInRect(kClose, pt)) {
        m_bOpen = 0;
        if (pFrame) pFrame->m_nMouseHold = 1;
        return 0;
    }
    if (PtInRect(kPrevious, pt) && MouseTouches(mouse, m_pSlot[1].get()) && m_nPage > 0) {
        int nPage = m_nPage - 1;
        while (nPage > 0 && PartyId(nPage) < 0) --nPage;
        ShowPage(nPage);
    } else if (PtInRect(kNext, pt) && MouseTouches(mouse, m_pSlot[2].get()) && m_nPage < PartyCount() - 1) {
        int nPage = m_nPage + 1;
        while (nPage < 3 && PartyId(nPage) < 0) ++nPage;
        if (PartyId(nPage) >= 0) ShowPage(nPage);
    }
    return 1;
}

int CPartyPanel::Update(CMouse& mouse) {
    if (!m_bOpen) return 0;
    for (int i = 0; i <= 5; ++i)
        if (m_pSlot[i] && pBack) m_pSlot[i]->Draw(pBack, 0, 0, BLT_KEYED);
    DropItem(mouse);
    if (m_pClose) {
        m_pClose->SetFrame(PtInRect(kClose, POINT{mouse.m_nX, mouse.m_nY}) ? 1 : 0);
        if (pBack) m_pClose->Draw(pBack, 0, 0, BLT_KEYED);
    }
    if (const CPlayer* pMember = PageMember(m_nPage)) DrawTexts(*pMember);
    if (MouseTouches(mouse, m_pSlot[0].get()) && mouse.m_bClick && (GetAsyncKeyState(VK_LBUTTON) & 1))
        return Click(mouse);
    return 1;
}
