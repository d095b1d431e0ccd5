#include "lan/SpriteBoard.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "lan/GoodsGrid.h"
#include "lan/LanPictures.h"
#include "platform/Resources.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/PictureStore.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {

const LanPicture kRows[] = {
    {"ponrenlan.bmp", 544, 482, 1},     {"72.bmp", 72, 90, 10},          {"1.bmp", 50, 50, 1},
    {"quedinanjian2.bmp", 96, 26, 2},   {"jilen-anjian-1.bmp", 87, 30, 5}, {"1.bmp", 34, 40, 1},
    {"head.bmp", 34, 40, 1},            {"1.bmp", 50, 50, 1},            {"Success.bmp", 34, 40, 1},
    {"jilen-anjian-3.bmp", 87, 30, 4},  {"MenuWeapon.bmp", 80, 160, 1},  {"quixiaoanjian01.bmp", 24, 25, 2},
};
const char* const kFrameNames[6] = {"a00.bmp", "a01.bmp", "a02.bmp", "a03.bmp", "a04.bmp", "a05.bmp"};

const RECT kConfirm{385, 337, 435, 363};
const RECT kBox[2] = {{150, 125, 190, 165}, {150, 200, 230, 360}};
const RECT kResult{385, 160, 425, 320};
const RECT kSpecial{30, 325, 117, 355};
const RECT kClose{30, 295, 117, 325};
const RECT kCancel{455, 135, 480, 160};
constexpr int kBoxSlot[2] = {2, 3};
constexpr int kResultSlot = 4;
constexpr int kConfirmSlot = 5;
constexpr int kScanPlaces = 200;

bool ValidItem(int n) { return n >= 0 && n < kHeroItemCount; }
int HeroCount(int nItem) { return pPlayer && ValidItem(nItem) ? pPlayer->nItemCount[nItem] : 0; }
POINT Cursor(const CMouse& mouse) { return POINT{mouse.m_nX, mouse.m_nY}; }

}  // namespace

CSpriteBoard::CSpriteBoard() {
    m_pCancel.reset(MakeLanSprite(kRows[11], 0, 455, 135));
    CreateSlot(0, 0, 0, 0, 0);
    CreateSlot(1, 1, 3, 40, 105);
    CreateSlot(2, 2, 0, 150, 125);
    CreateSlot(3, 10, 0, 150, 200);
    CreateSlot(4, 7, 0, 385, 160);
    CreateSlot(5, 3, 0, 385, 337);
    CreateSlot(6, 4, 2, 30, 295);
    CreateSlot(9, 4, 3, 30, 325);
    CreateSlot(10, 9, 3, 30, 323);
    for (int i = 0; i < 6; ++i) m_pSlot[kFirstFrame + i].reset(MakeLanSprite({kFrameNames[i], 90, 126, 1}, 0, 270, 180));
}

CSpriteBoard::~CSpriteBoard() = default;

bool CSpriteBoard::CreateSlot(int nSlot, int nRow, int nTile, int x, int y) {
    if (nSlot < 0 || nSlot >= kSlots || nRow < 0 || nRow >= int(std::size(kRows))) return false;
    m_pSlot[nSlot].reset(MakeLanSprite(kRows[nRow], nTile, x, y));
    return m_pSlot[nSlot] != nullptr;
}

int CSpriteBoard::CombinationOf(int a, int b) {
    if (!pGameData || !pGameData->nItemGrid || a < 0 || b < 0 || a >= kItemGridSize || b >= kItemGridSize) return -1;
    return pGameData->nItemGrid[a][b] >= 0 ? pGameData->nItemGrid[a][b] : -1;
}

void CSpriteBoard::SnapToSprite(const CDXSprite* pSprite, int nSlot, POINT* pOut, POINT ptFallback) const {
    const CDXSprite* pBoard = GetSlot(nSlot);
    if (pSprite && pBoard && pSprite->HitsBox(pBoard)) *pOut = POINT{pBoard->GetPosX() - 15, pBoard->GetPosY() - 20};
    else *pOut = ptFallback;
}

bool CSpriteBoard::SnapToSprite(const CDXSprite* pSprite, int nSlot) const {
    const CDXSprite* pBoard = GetSlot(nSlot);
    return pSprite && pBoard && pSprite->HitsBox(pBoard);
}

void CSpriteBoard::CreateGridPicture(int nItem) {
    if (!pGoodsGrid || !ValidItem(nItem) || pGoodsGrid->FindPlace(nItem) >= 0) return;
    int nPlace = -1;
    pGoodsGrid->AddItem(&nPlace, nItem);
}

// Gives the box's item back: a unit carried in as its own picture returns to the stock,
// a placed picture goes back to its goods-panel cell.
void CSpriteBoard::TakeBackFromBox(int nBox) {
    const int nItem = nBox == 0 ? m_nItemA : m_nItemB;
    const int nPlaced = m_nBoxItem[nBox];
    if (ValidItem(nItem) && pPlayer) {
        pPlayer->AddItem(nItem);
        CreateGridPicture(nItem);
    }
    if (ValidItem(nPlaced) && pGoodsGrid) {
        POINT ptCell{};
        pGoodsGrid->SetPos(nPlaced, GoodsGridPeers()->GoodsPanelCell(nPlaced, &ptCell) ? ptCell : POINT{-3000, -100});
    }
    (nBox == 0 ? m_nItemA : m_nItemB) = -1;
    m_nBoxItem[nBox] = -1;
    (nBox == 0 ? m_bFilledA : m_bFilledB) = 0;
}

void CSpriteBoard::Combine() {
    int a = m_nBoxItem[0] >= 0 ? m_nBoxItem[0] : m_nItemA;
    int b = m_nBoxItem[1] >= 0 ? m_nBoxItem[1] : m_nItemB;
    const int r = a >= 0 && b >= 0 ? CombinationOf(a, b) : -1;
    if (!ValidItem(a) || !ValidItem(b) || !ValidItem(r) || !pPlayer) {
        m_bFailed = 1;
        return;
    }
    // A unit carried in as its own picture is already off the stock; a placed picture's
    // unit is taken now.
    for (int nBox = 0; nBox < 2; ++nBox) {
        const int nItem = nBox == 0 ? a : b;
        if (m_nBoxItem[nBox] >= 0) {
            pPlayer->RemoveItem(nItem);
            if (pGoodsGrid && HeroCount(nItem) == 0) {
                const int nPlace = pGoodsGrid->FindPlace(nItem);
                pGoodsGrid->ReleasePlaceSprite(nPlace);
                pGoodsGrid->SetItem(nPlace, -1);
                pGoodsGrid->SetPos(nItem, POINT{-100, -100});
            } else if (pGoodsGrid) {
                POINT ptCell{};
                if (GoodsGridPeers()->GoodsPanelCell(nItem, &ptCell)) pGoodsGrid->SetPos(nItem, ptCell);
            }
        }
    }
    pPlayer->AddItem(r);
    CreateGridPicture(r);
    m_nItemA = m_nItemB = -1;
    m_nBoxItem[0] = m_nBoxItem[1] = -1;
    m_ptBox[0] = m_ptBox[1] = POINT{0, 0};
    m_nResult = r;
}

void CSpriteBoard::HandlePress(CMouse& mouse) {
    if (pGoodsGrid) pGoodsGrid->m_bBoardBusy = 1;
    const POINT pt = Cursor(mouse);
    for (int nBox = 0; nBox < 2; ++nBox) {
        // A placed picture picked up again leaves its box.
        const int nPlaced = m_nBoxItem[nBox];
        if (nPlaced >= 0 && pGoodsGrid && pGoodsGrid->GetCarried() >= 0 && pGoodsGrid->CarriedItem() == nPlaced) {
            m_nBoxItem[nBox] = -1;
            (nBox == 0 ? m_bFilledA : m_bFilledB) = 0;
        }
        if (PtInRect(kBox[nBox], pt) && ((nBox == 0 ? m_nItemA : m_nItemB) >= 0 || m_nBoxItem[nBox] >= 0))
            TakeBackFromBox(nBox);
    }
    if (PtInRect(kResult, pt) && m_nResult >= 0) {
        POINT ptCell{};
        if (pGoodsGrid)
            pGoodsGrid->SetPos(m_nResult, GoodsGridPeers()->GoodsPanelCell(m_nResult, &ptCell) ? ptCell : POINT{-3000, -100});
        m_nResult = -1;
    }
}

// The left click: false when the board closed and the frame ends with 0.
bool CSpriteBoard::HandleClick(CMouse& mouse) {
    const POINT pt = Cursor(mouse);
    if (PtInRect(kCancel, pt)) m_bOpen = 0;
    if (MouseTouches(mouse, GetSlot(kConfirmSlot)) && PtInRect(kConfirm, pt) && m_bFilledA && m_bFilledB)
        m_bCombining = 1;
    // The special button wants two items no stock can hold: it never acts.
    (void)kSpecial;
    if (PtInRect(kClose, pt)) {
        m_bOpen = 0;
        if (pFrame) pFrame->m_nMouseHold = 1;
        return false;
    }
    return true;
}

void CSpriteBoard::HandleRelease(CMouse& mouse) {
    CGoodsGrid* pGrid = pGoodsGrid;
    if (!pGrid || pGrid->GetCarried() < 0) return;
    mouse.m_bClick = 0;
    bool bPlaced = false;
    if (CDXSprite* pCarried = pGrid->GetCarriedSprite()) {
        const int nItem = pGrid->CarriedItem();
        for (int nBox = 0; nBox < 2 && !bPlaced; ++nBox) {
            int& rItem = nBox == 0 ? m_nItemA : m_nItemB;
            if (m_nBoxItem[nBox] != -1 || rItem != -1 || !SnapToSprite(pCarried, kBoxSlot[nBox])) continue;
            rItem = nItem;
            (nBox == 0 ? m_bFilledA : m_bFilledB) = 1;
            bPlaced = true;
        }
        if (bPlaced) pGrid->DeleteCarriedSprite();
    } else {
        for (int i = 0; i < kScanPlaces && !bPlaced; ++i) {
            CDXSprite* pSprite = pGrid->GetSprite(i);
            const int nItem = pGrid->GetItem(i);
            if (!pSprite || !ValidItem(nItem)) continue;
            for (int nBox = 0; nBox < 2 && !bPlaced; ++nBox) {
                if (m_nBoxItem[nBox] != -1 || (nBox == 0 ? m_nItemA : m_nItemB) != -1 ||
                    !SnapToSprite(pSprite, kBoxSlot[nBox]))
                    continue;
                const CDXSprite* pBox = GetSlot(kBoxSlot[nBox]);
                const POINT ptBox{pBox->GetPosX(), pBox->GetPosY()};
                pGrid->SetPos(nItem, ptBox);
                m_nBoxItem[nBox] = nItem;
                m_ptBox[nBox] = ptBox;
                (nBox == 0 ? m_bFilledA : m_bFilledB) = 1;
                bPlaced = true;
            }
        }
    }
    if (bPlaced) {
        pGrid->SetCarried(-1);
        mouse.m_bButtonReleased = 0;
    }
}

void CSpriteBoard::Draw(const CMouse& mouse) {
    if (!pBack) return;
    if (m_pSlot[0]) m_pSlot[0]->Draw(pBack, 0, 0, BLT_KEYED);
    if (m_pSlot[m_nFrameSlot]) m_pSlot[m_nFrameSlot]->Draw(pBack, 0, 0, BLT_KEYED);
    for (int s = 1; s <= 14; ++s)
        if (m_pSlot[s]) m_pSlot[s]->Draw(pBack, 0, 0, BLT_KEYED);
    if (m_pCancel) {
        m_pCancel->SetFrame(PtInRect(kCancel, Cursor(mouse)) ? 1 : 0);
        m_pCancel->Draw(pBack, 0, 0, BLT_KEYED);
    }
    const int nShown[3] = {m_nItemA, m_nItemB, m_nResult};
    const int nSlots[3] = {kBoxSlot[0], kBoxSlot[1], kResultSlot};
    for (int i = 0; i < 3; ++i)
        if (ValidItem(nShown[i]) && m_pSlot[nSlots[i]])
            DrawItemIcon(nShown[i], m_pSlot[nSlots[i]]->GetPosX(), m_pSlot[nSlots[i]]->GetPosY());
    if (!pGoodsGrid) return;
    for (int i = 0; i < kScanPlaces; ++i) {
        CDXSprite* pSprite = pGoodsGrid->GetSprite(i);
        if (!pSprite) continue;
        for (int k = 0; k < 3; ++k)
            if (SnapToSprite(pSprite, nSlots[k])) {
                if (k < 2 && m_nBoxItem[k] == pGoodsGrid->GetItem(i)) (k == 0 ? m_bFilledA : m_bFilledB) = 1;
                pGoodsGrid->DrawSlot(i);
                break;
            }
    }
}

void CSpriteBoard::StepAnimation() {
    if (!m_bCombining) return;
    if (m_nCounter % 5 == 4) m_nFrameSlot = m_nFrameSlot >= kLastFrame ? kFirstFrame : m_nFrameSlot + 1;
    if (++m_nCounter < kTicks) return;
    m_bCombining = 0;
    Combine();
    m_bFilledA = m_bFilledB = 0;
    m_nCounter = 0;
}

int CSpriteBoard::Update(CMouse& mouse) {
    if (!m_bOpen) {
        m_nFrameSlot = kFirstFrame;
        m_bCombining = 0;
        if (pGoodsGrid) pGoodsGrid->m_bBoardBusy = 0;
        return 1;
    }
    const bool bPress = mouse.m_bClick != 0;
    if (MouseTouches(mouse, GetSlot(0))) {
        if (bPress) HandlePress(mouse);
        if ((GetAsyncKeyState(VK_LBUTTON) & 1) && !HandleClick(mouse)) return 0;
        if (mouse.m_bButtonReleased) HandleRelease(mouse);
    }
    Draw(mouse);
    StepAnimation();
    if (bPress) m_bFailed = 0;
    if (m_bFailed && pFrame) {
        char szText[kMessageTextSize] = {};
        LoadString(39, szText, int(sizeof(szText)));
        pFrame->SetMessageText(szText);
    }
    return m_bOpen ? 1 : 0;
}
