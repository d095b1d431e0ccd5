#include "ui/minigames/GambleGame.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "platform/Charset.h"
#include "platform/Text.h"
#include "platform/Window.h"
#include "shell/ShellGlobals.h"
#include "ui/OwnLoop.h"
#include "ui/ShellServices.h"
#include "ui/minigames/MiniGameKit.h"
#include "world/Player.h"

const MiniGamePicture BetPictures[5] = {
    {"a1.bmp", 34, 40, 1},
    {"szhc.bmp", 150, 113, 2},
    {"Begin.bmp", 320, 240, 1},
    {"wa0%2d.bmp", 320, 240, 12},
    {"money.bmp", 91, 124, 1},
};

namespace {

constexpr int kSlotStart = 2, kSlotOutcome = 3, kSlotStakePanel = 5, kFirstRollSlot = 11;
constexpr int kRollEnded = 10, kRollLast = 81;
constexpr int kStakes[3] = {100, 200, 500};
constexpr RECT kTextRect{300, 200, 400, 300};
constexpr COLORREF kTextColour = RGB(255, 255, 0);

const std::string& NoMoneyText() {
    static const std::string s = Utf8ToText("你的钱不够。。。。。。");
    return s;
}

const std::string& TextFont() {
    static const std::string s = Utf8ToText("宋体");
    return s;
}

// Moves n to the hero's money (or, negative, from it); the player's sum saturates. A
// refund of nothing leaves the money as it is.
void PayMoney(int n) {
    if (pPlayer && n != 0) pPlayer->AddMoney(n);
}

}  // namespace

CGambleGame::CGambleGame() {
    const int w = UiShell()->GetScreenWidth(), h = UiShell()->GetScreenHeight();
    m_pBack = LoadGameSurface(BetPictures[0].pszName, false);
    // The texts go into the background with one font, made once.
    if (m_pBack) m_pBack->ChangeFont(TextFont().c_str(), 0, 15, nCharSet, 400);
    const MiniGamePicture& sides = BetPictures[1];
    m_pSprites[0] = LoadGameSprite(sides.pszName, sides.nWidth, sides.nHeight, sides.nCount, 0, h - 120);
    m_pSprites[1] = LoadGameSprite(sides.pszName, sides.nWidth, sides.nHeight, sides.nCount, w - 150, h - 120);
    if (m_pSprites[0]) m_pSprites[0]->SetFrame(1);
    const MiniGamePicture& start = BetPictures[2];
    m_pSprites[kSlotStart] = LoadGameSprite(start.pszName, start.nWidth, start.nHeight, start.nCount, 150, 200);
    const MiniGamePicture& panel = BetPictures[4];
    m_pSprites[kSlotStakePanel] = LoadGameSprite(panel.pszName, panel.nWidth, panel.nHeight, panel.nCount, 20, 100);
    // The roll starts at slot 11 and steps before it draws, so it shows slots 12..81:
    // wa002.bmp to wa071.bmp. The package's other roll pictures are never drawn.
    for (int nSlot = kFirstRollSlot + 1; nSlot <= kRollLast; ++nSlot) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "wa%03d.bmp", nSlot - kFirstRollSlot + 1);
        m_pSprites[nSlot] = LoadGameSprite(szName, 320, 240, 1, 100, 0);
    }
    m_bRunning = 1;
}

CGambleGame::~CGambleGame() = default;

void CGambleGame::WriteText(const std::string& strText) const {
    if (!m_pBack) return;
    RECT rc = kTextRect;
    m_pBack->DrawText(strText.c_str(), kTextColour, &rc, DT_WORDBREAK);
}

void CGambleGame::ChooseStake(POINT pt) {
    for (int i = 0; i < 3; ++i) {
        const RECT rc{20, 100 + 41 * i, 120, 141 + 41 * i};
        if (!PtInRect(rc, pt)) continue;
        // A stake chosen again replaces the one paid: that one comes back first.
        PayMoney(m_nStake);
        m_nStake = 0;
        const int nStake = kStakes[i];
        if (!pPlayer || pPlayer->nMoney <= nStake) {
            WriteText(NoMoneyText());
            m_bNoMoney = 1;
        } else {
            m_nStake = nStake;
            PayMoney(-nStake);
        }
        m_bChoosingStake = 0;
        return;
    }
}

int CGambleGame::OnClick(POINT pt) {
    const int w = UiShell()->GetScreenWidth(), h = UiShell()->GetScreenHeight();
    if (m_bResult) {
        m_bResult = 0;
        return 1;
    }
    if (m_bNoMoney) return 0;
    if (m_bChoosingStake) {
        ChooseStake(pt);
    } else if (PtInRect(RECT{250, 250, 370, 390}, pt)) {
        if (m_nStake > 0) m_bRolling = 1;
    } else if (PtInRect(RECT{0, h - 100, 100, h}, pt)) {
        m_nSide = 0;
        m_bChoosingStake = 1;
    } else if (PtInRect(RECT{w - 100, h - 100, w, h}, pt)) {
        m_nSide = 1;
        m_bChoosingStake = 1;
    }
    return -1;
}

void CGambleGame::Settle(int c) {
    m_bRolling = 0;
    char szText[64];
    int nOutcome;
    if (c % 3 == 0) {
        std::snprintf(szText, sizeof szText, Utf8ToText("你赢了%d块").c_str(), m_nStake * 2);
        PayMoney(m_nStake * 2);
        nOutcome = m_nSide == 0 ? 9 : 4;
    } else {
        std::snprintf(szText, sizeof szText, Utf8ToText("你输了%d块").c_str(), m_nStake);
        nOutcome = m_nSide == 0 ? 4 : 9;
    }
    // The roll decided the stake: nothing is given back from here on.
    m_nStake = 0;
    m_strText = szText;
    m_nFrame = nOutcome;
    m_bResult = 1;
    char szName[32];
    std::snprintf(szName, sizeof szName, "s%02d.bmp", nOutcome);
    m_pSprites[kSlotOutcome] = LoadGameSprite(szName, 320, 240, 1, 100, 0);
}

void CGambleGame::DrawSprites() const {
    for (int i = 0; i <= 4; ++i) {
        if (i == kSlotStart && m_bRolling) continue;
        DrawGameSprite(m_pSprites[i].get());
    }
    if (m_bChoosingStake) DrawGameSprite(m_pSprites[kSlotStakePanel].get());
}

int CGambleGame::Run() {
    int c = 0;
    m_nFrame = 11;
    int nResult = -1;
    while (m_bRunning && nResult < 0) {
        if (!PumpOneMessage()) {
            nResult = 0;
            break;
        }
        if (m_pBack && pBack) m_pBack->BlitOpaque(pBack, 0, 0);
        if (KeyPressedSince(VK_LBUTTON)) {
            nResult = OnClick(GameCursorNow());
            if (nResult >= 0) break;
        }
        if (m_bRolling) {
            m_nFrame = m_nFrame < kRollLast ? m_nFrame + 1 : kRollEnded;
            if (m_nFrame > kRollEnded) DrawGameSprite(m_pSprites[m_nFrame].get());
        }
        ++c;
        DrawSprites();
        if (m_nFrame == kRollEnded) Settle(c);
        if (m_bResult) {
            // Written again each frame: each pass deepens the smoothed edges, so the
            // outcome text settles over the frames it stays.
            WriteText(m_strText);
            DrawGameSprite(m_pSprites[kSlotOutcome].get());
        }
        UiShell()->DrawMouse();
        PresentGameFrame();
    }
    // A stake that no roll decided goes back to the hero.
    PayMoney(m_nStake);
    m_nStake = 0;
    m_bRunning = 0;
    return nResult < 0 ? 0 : nResult;
}
