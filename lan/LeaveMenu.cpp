#include "lan/LeaveMenu.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "lan/LanPictures.h"
#include "platform/Resources.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {

// Sprite slots of the leave menu.
constexpr int kMusicSwitch = 0, kSoundSwitch = 1, kFirstArrow = 2, kNewGameButton = 8, kLeaveButton = 9,
              kFirstKnob = 10;
constexpr int kMusicTrack = 12, kSoundTrack = 13, kSpeedTrack = 14;

POINT Cursor() { return pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{-1, -1}; }
int Width(const RECT& rc) { return rc.right - rc.left; }

}  // namespace

CChoosePlayerMenu::CChoosePlayerMenu() {
    InitButtonRecord("\xD1\xA1\xD4\xF1\xC8\xCB\xCE\xEF.bmp", 0, 0, 5);
    SetRectAt(0, 12, 10, 68, 28);
    SetRectAt(1, 12, 38, 68, 52);
    for (int n = 2; n < 5; ++n) SetRectAt(n, 12, 64, 510, 78);
}

int CChoosePlayerMenu::ShownRow(int nMember) const {
    if (!pPlayer || nMember < 0 || nMember > 3 || !(pPlayer->nPartyMask & (1 << nMember))) return -1;
    int k = 0;
    for (int m = 0; m < nMember; ++m)
        if (pPlayer->nPartyMask & (1 << m)) ++k;
    return k;
}

int CChoosePlayerMenu::Draw() {
    CMenuPanel::Draw();
    if (!pPlayer || !pBack) return 1;
    const int nSelection = pFrame && pFrame->m_pMenuManager ? pFrame->m_pMenuManager->m_nSelection : -1;
    const MenuPicInfo* pInfo = GetInfo();
    const int ox = pInfo ? pInfo->x : 0, oy = pInfo ? pInfo->y : 0;
    for (int m = 0; m < 4; ++m) {
        const int k = ShownRow(m);
        if (k < 0 || k >= GetRectCount()) continue;
        char szName[17] = {};
        LoadString(UINT(42 + m), szName, int(sizeof(szName)));
        RECT rc = GetRect(k);
        OffsetRect(&rc, ox, oy);
        pBack->DrawText(szName, k == nSelection ? RGB(0, 255, 0) : RGB(255, 255, 0), &rc, 0);
    }
    return 1;
}

void CChoosePlayerMenu::OnClick() {
    if (pMouse) pMouse->m_nExitBoxState = 0;
}

CLeaveMenu::CLeaveMenu() {
    m_pBackground.reset(LoadMenuSurface("LeaveMenu.bmp", false));
    m_pPrompt.reset(LoadMenuSurface("quxiao.bmp", true));
    const RECT rects[kRects] = {
        {267, 148, 315, 170}, {353, 148, 401, 170}, {438, 149, 451, 171}, {647, 149, 660, 171},
        {267, 254, 315, 276}, {353, 255, 401, 277}, {438, 256, 451, 277}, {647, 256, 660, 277},
        {322, 369, 335, 390}, {531, 367, 545, 388}, {280, 460, 500, 493}, {280, 506, 500, 539},
        {458, 154, 620, 154}, {458, 261, 620, 261}, {341, 373, 520, 375},
    };
    std::copy(std::begin(rects), std::end(rects), m_rc);
    const int ox = kPromptOrigin.x, oy = kPromptOrigin.y;
    m_rcYes = RECT{ox + 16, oy + 55, ox + 111, oy + 80};
    m_rcNo = RECT{ox + 115, oy + 55, ox + 210, oy + 80};
    // Arrows at rectangles 2/3, 6/7 and 8/9.
    const int arrows[6] = {2, 3, 6, 7, 8, 9};
    for (int a = 0; a < 6; ++a) {
        const RECT& rc = m_rc[arrows[a]];
        m_pSprite[kFirstArrow + a].reset(
            MakeLanSprite({a % 2 == 0 ? "me00L.bmp" : "me00R.bmp", 13, 21, 1}, 0, rc.left, rc.top));
    }
    for (int k = 0; k < 3; ++k) m_pSprite[kFirstKnob + k].reset(MakeLanSprite({"me00M.bmp", 7, 14, 1}, 0, 0, 0));
    PlaceKnobs();
    SetMusicSwitch(0);
    SetSoundSwitch(0);
    m_pSprite[kNewGameButton].reset(MakeLanSprite({"me022.bmp", 219, 33, 1}, 0, 281, 460));
    m_pSprite[kLeaveButton].reset(MakeLanSprite({"me023.bmp", 219, 33, 1}, 0, 281, 506));
}

CLeaveMenu::~CLeaveMenu() = default;

int CLeaveMenu::KnobX(int n) const {
    const CDXSprite* p = GetSprite(kFirstKnob + n);
    if (p) return p->GetPosX();
    if (n == 0) return m_rc[kMusicTrack].left + Width(m_rc[kMusicTrack]) * m_nMusicVolume / 100;
    if (n == 1) return m_rc[kSoundTrack].left + Width(m_rc[kSoundTrack]) * m_nSoundVolume / 100;
    return m_rc[kSpeedTrack].left + Width(m_rc[kSpeedTrack]) / 5 * m_nSpeed;
}

void CLeaveMenu::PlaceKnobs() {
    const int x[3] = {m_rc[kMusicTrack].left + Width(m_rc[kMusicTrack]) * m_nMusicVolume / 100,
                      m_rc[kSoundTrack].left + Width(m_rc[kSoundTrack]) * m_nSoundVolume / 100,
                      m_rc[kSpeedTrack].left + Width(m_rc[kSpeedTrack]) / 5 * m_nSpeed};
    const int y[3] = {m_rc[kMusicTrack].top, m_rc[kSoundTrack].top, m_rc[kSpeedTrack].top};
    for (int k = 0; k < 3; ++k)
        if (m_pSprite[kFirstKnob + k]) m_pSprite[kFirstKnob + k]->SetPos(x[k], y[k]);
}

void CLeaveMenu::SetMusicSwitch(int nState) {
    const RECT& rc = m_rc[nState == 0 ? 0 : 1];
    m_pSprite[kMusicSwitch].reset(MakeLanSprite({nState == 0 ? "me020.bmp" : "me021.bmp", 49, 22, 1}, 0, rc.left, rc.top));
}

void CLeaveMenu::SetSoundSwitch(int nState) {
    const RECT& rc = m_rc[nState == 0 ? 4 : 5];
    m_pSprite[kSoundSwitch].reset(MakeLanSprite({nState == 0 ? "me020.bmp" : "me021.bmp", 49, 22, 1}, 0, rc.left, rc.top));
}

void CLeaveMenu::ApplyMusicVolume(int nVolume) {
    if (pFrame) pFrame->m_mp3.SetVolume(nVolume, nVolume);
}

void CLeaveMenu::OnClick() {
    const POINT pt = Cursor();
    for (int r = 0; r <= 11; ++r) {
        if (!PtInRect(m_rc[r], pt)) continue;
        switch (r) {
        case 0: ApplyMusicVolume(50); SetMusicSwitch(0); break;
        case 1: SetMusicSwitch(1); ApplyMusicVolume(0); break;
        case 2: if (m_nMusicVolume > 0) m_nMusicVolume -= 2; ApplyMusicVolume(m_nMusicVolume); break;
        case 3: if (m_nMusicVolume < 100) m_nMusicVolume += 2; ApplyMusicVolume(m_nMusicVolume); break;
        case 4: if (pFrame) pFrame->m_bSoundOn = 1; SetSoundSwitch(0); break;
        case 5: if (pFrame) pFrame->m_bSoundOn = 0; SetSoundSwitch(1); break;
        case 6: if (m_nSoundVolume > 0) m_nSoundVolume -= 2; break;
        case 7: if (m_nSoundVolume < 100) m_nSoundVolume += 2; break;
        case 8:
            if (pPlayer) {
                if (pPlayer->nWalkStep > 4) --pPlayer->nWalkStep;
                if (pPlayer->nRunStep > 8) --pPlayer->nRunStep;
            }
            if (m_nSpeed > 0) --m_nSpeed;
            break;
        case 9:
            if (pPlayer) {
                if (pPlayer->nWalkStep < 8) ++pPlayer->nWalkStep;
                if (pPlayer->nRunStep < 12) ++pPlayer->nRunStep;
            }
            if (m_nSpeed < 5) ++m_nSpeed;
            break;
        case 10: m_bNewGamePrompt = 1; break;
        case 11: m_bLeavePrompt = 1; break;
        default: break;
        }
        PlaceKnobs();
        PlayUiSound(5);
    }
}

bool CLeaveMenu::RunPrompt(const char* pszQuestion, RECT rcText, bool bLeave) {
    if (pBack && m_pPrompt) m_pPrompt->BlitKeyed(pBack, kPromptOrigin.x, kPromptOrigin.y);
    if (pBack) pBack->DrawText(pszQuestion, RGB(255, 0, 0), &rcText, 16);
    if (!(GetAsyncKeyState(VK_LBUTTON) & 1)) return false;
    const POINT pt = Cursor();
    const bool bYes = PtInRect(m_rcYes, pt), bNo = PtInRect(m_rcNo, pt);
    if (!bYes && !bNo) return false;
    if (bYes) {
        m_bClose = 1;
        if (bLeave && pFrame) pFrame->QuitGame();
        if (!bLeave) m_bNewGame = 1;
    }
    PlayUiSound(5);
    return true;
}

void CLeaveMenu::LeavePrompt() {
    if (!m_bLeavePrompt) return;
    const int ox = kPromptOrigin.x, oy = kPromptOrigin.y;
    if (RunPrompt("\xD2\xAA\xEB\x78\xE9\x5F\x86\xE1?", RECT{ox + 95, oy + 25, ox + 205, oy + 50}, true))
        m_bLeavePrompt = 0;
}

void CLeaveMenu::NewGamePrompt() {
    if (!m_bNewGamePrompt) return;
    const int ox = kPromptOrigin.x, oy = kPromptOrigin.y;
    if (RunPrompt("\xE9\x5F\xCA\xBC\xD0\xC2\xDF\x5B\x91\xF2?", RECT{ox + 70, oy + 25, ox + 150, oy + 50}, false))
        m_bNewGamePrompt = 0;
}

int CLeaveMenu::Draw() {
    if (m_pBackground && pBack) m_pBackground->BlitOpaque(pBack, 0, 0);
    const POINT pt = Cursor();
    if (!m_bLeavePrompt && !m_bNewGamePrompt) {
        if (GetAsyncKeyState(VK_LBUTTON) & 1) OnClick();
        if (pBack)
            for (int b : {kNewGameButton, kLeaveButton})
                if (m_pSprite[b] && PtInRect(m_rc[b == kNewGameButton ? 10 : 11], pt))
                    m_pSprite[b]->Draw(pBack, 0, 0, BLT_KEYED);
    }
    if (pBack) {
        for (int s : {kMusicSwitch, kSoundSwitch})
            if (m_pSprite[s]) m_pSprite[s]->Draw(pBack, 0, 0, BLT_KEYED);
        const int arrows[6] = {2, 3, 6, 7, 8, 9};
        for (int a = 0; a < 6; ++a)
            if (m_pSprite[kFirstArrow + a] && PtInRect(m_rc[arrows[a]], pt))
                m_pSprite[kFirstArrow + a]->Draw(pBack, 0, 0, BLT_KEYED);
        for (int k = 0; k < 3; ++k)
            if (m_pSprite[kFirstKnob + k]) m_pSprite[kFirstKnob + k]->Draw(pBack, 0, 0, BLT_KEYED);
    }
    // A click while a prompt is open is the prompt's: only one of them runs per frame.
    if (m_bLeavePrompt) LeavePrompt();
    else NewGamePrompt();
    if (m_bClose) {
        m_bClose = 0;
        return 0;
    }
    return 1;
}
