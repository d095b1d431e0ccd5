#include "ui/minigames/CatchGame.h"

#include <algorithm>
#include <cstdlib>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/ShellGlobals.h"
#include "ui/OwnLoop.h"
#include "ui/ShellServices.h"
#include "ui/minigames/MiniGameKit.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/Player.h"

namespace {

constexpr int kHandStartY = 430;
constexpr int kHandRise = 3;
constexpr int kItemTiles = 60;
constexpr int kScreenRight = 801;

struct FlyRow {
    int nSpeed;
    int y;
};
constexpr FlyRow kFlyRows[5] = {{1, 250}, {2, 200}, {3, 150}, {4, 100}, {5, 50}};

}  // namespace

void GiveCaughtItem(int nItem) {
    if (!pPlayer) return;
    CGameToolBar* pBar = PanelLink().GetToolBar();
    if (!pBar) {
        pPlayer->AddItem(nItem);
        return;
    }
    // No notice box opens inside the game: a unit that does not fit lies at the hero.
    if (pBar->PutItemInBag(nItem))
        pPlayer->AddItem(nItem);
    else
        pBar->DropItemAtHero(nItem, 0);
}

CFlyItem::CFlyItem(CDXSprite* pSheet) : m_pSheet(pSheet) {}
CFlyItem::~CFlyItem() = default;

void CFlyItem::Set(int n) {
    const FlyRow& row = kFlyRows[((n % 5) + 5) % 5];
    m_x = 0;
    m_nSpeed = row.nSpeed;
    m_y = row.y;
    m_nKind = n;
}

bool CFlyItem::Move() {
    if (m_pSheet) {
        m_pSheet->SetFrame(DWORD(m_nKind));
        m_pSheet->SetPos(m_x, m_y);
        DrawGameSprite(m_pSheet);
    }
    m_x += m_nSpeed;
    return m_x < kScreenRight;
}

CCatchGame::CCatchGame() {
    m_pBack = LoadGameSurface("EVE.bmp", false);
    m_pHand = LoadGameSprite("handcircle.bmp", 60, 60, 1, m_ptHand.x, m_ptHand.y);
    m_pTimeBar = LoadGameSurface("TimeBar.bmp", false);
    m_pItemSheet = LoadGameSprite("Item1.bmp", 40, 40, kItemTiles);
    m_bRunning = 1;
}

CCatchGame::~CCatchGame() = default;

void CCatchGame::Spawn(DWORD dwNow) {
    if (dwNow - m_dwLastSpawn < kCatchSpawnMs) return;
    m_dwLastSpawn = dwNow;
    for (int i = 0; i < kCatchSlots; ++i) {
        if (m_pItems[i]) continue;
        m_pItems[i] = std::make_unique<CFlyItem>(m_pItemSheet.get());
        m_pItems[i]->Set(i % 5);
        return;
    }
}

void CCatchGame::MoveItems() {
    for (std::unique_ptr<CFlyItem>& pItem : m_pItems) {
        if (!pItem) continue;
        if (!pItem->Move()) {
            pItem.reset();
            continue;
        }
        // The sheet still stands where this item was just drawn.
        if (!pItem->m_pSheet || !m_pHand || !pItem->m_pSheet->HitsBox(m_pHand.get())) continue;
        if (std::abs(pItem->m_x + 25 - (m_ptHand.x + 30)) < 5 && std::abs(pItem->m_y + 25 - (m_ptHand.y + 30)) < 5) {
            GiveCaughtItem(pItem->m_nKind);
            m_ptHand.y = kHandStartY;
            m_bRising = 0;
            pItem.reset();
        }
    }
}

void CCatchGame::MoveHand() {
    if (!m_bRising) {
        m_ptHand.x = m_nMouseX;
    } else if (m_ptHand.y < 1) {
        m_ptHand.y = kHandStartY;
        m_bRising = 0;
    } else {
        m_ptHand.y -= kHandRise;
    }
    if (m_pHand) {
        m_pHand->SetPos(m_ptHand.x, m_ptHand.y);
        DrawGameSprite(m_pHand.get());
    }
}

void CCatchGame::DrawTimeBar(int c) const {
    if (!m_pTimeBar || !pBack) return;
    const int w = std::min(c * 640 / kCatchLastFrame, m_pTimeBar->GetWidth());
    if (w <= 0) return;
    const RECT rc{0, 0, w, 10};
    m_pTimeBar->BlitOpaque(pBack, 20, 10, &rc);
}

int CCatchGame::Run() {
    int c = 0;
    m_dwLastSpawn = TimeGetTime();
    int nResult = 1;
    while (m_bRunning) {
        if (!PumpOneMessage()) {
            nResult = 0;
            break;
        }
        m_nMouseX = UiShell()->GetMousePos().x;
        Spawn(TimeGetTime());
        if (m_pBack && pBack) m_pBack->BlitOpaque(pBack, 0, 0);
        MoveItems();
        MoveHand();
        if (KeyDown(VK_LBUTTON)) m_bRising = 1;
        if (c > kCatchLastFrame) break;
        ++c;
        DrawTimeBar(c);
        PresentGameFrame();
    }
    m_bRunning = 0;
    return nResult;
}
