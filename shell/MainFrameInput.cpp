// Input routing of the main window: each handler hands its input, in a fixed order,
// to an open modal box (which swallows it), the running battle, the game-mode screen,
// the toolbar and its panels, the work panels, and last the map.
#include "CDX/CDXMovie.h"
#include "media/SoundEffects.h"
#include "platform/Clock.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "ui/boxes/MessageBoxes.h"

namespace {

int LParamX(LPARAM lParam) { return short(LoWord(std::uintptr_t(lParam))); }
int LParamY(LPARAM lParam) { return short(HiWord(std::uintptr_t(lParam))); }

void PlayClick() {
    if (pSoundEffects) pSoundEffects->Play(5);
}

}  // namespace

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT nRepeat = LoWord(std::uintptr_t(lParam));
    const UINT nFlags = HiWord(std::uintptr_t(lParam));
    switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_CLOSE: OnClose(); return 0;
    case WM_SETCURSOR: return OnSetCursor(LoWord(std::uintptr_t(lParam)));
    case WM_ACTIVATEAPP: OnActivateApp(BOOL(wParam != 0)); return 0;
    case WM_SYSKEYDOWN: OnSysKeyDown(int(wParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(int(wParam), nRepeat, nFlags); return 0;
    case WM_KEYUP: OnKeyUp(int(wParam), nRepeat, nFlags); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(UINT(wParam), LParamX(lParam), LParamY(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(UINT(wParam), LParamX(lParam), LParamY(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(UINT(wParam), LParamX(lParam), LParamY(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(UINT(wParam), LParamX(lParam), LParamY(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(UINT(wParam), LParamX(lParam), LParamY(lParam)); return 0;
    default: return CPlatWindow::WindowProc(message, wParam, lParam);
    }
}

bool CMainFrame::PreTranslateMessage(const MSG* pMsg) {
    // The player cannot switch keyboard layouts while the game runs.
    return pMsg && pMsg->message == WM_INPUTLANGCHANGEREQUEST;
}

int CMainFrame::OnCreate() {
    m_dwSavedLayout = SaveKeyboardLayout();
    ActivateUsKeyboardLayout();
    return 0;
}

void CMainFrame::OnClose() {
    if (m_dwSavedLayout) RestoreKeyboardLayout(m_dwSavedLayout);
    // A close from the window manager ends the game the way the quit button does.
    QuitGame();
}

BOOL CMainFrame::OnSetCursor(int nHitTest) {
    // Over the caption (windowed) the system cursor shows; elsewhere the game draws its own.
    ShowSystemCursor(nHitTest == 2);
    return TRUE;
}

void CMainFrame::OnActivateApp(BOOL bActive) {
    m_bActive = bActive != 0;
    StopMovie();
}

void CMainFrame::OnSysKeyDown(int nKey) {
    // Alt+Tab and Alt+F4 do nothing; Alt+Enter switches the window mode when allowed.
    if (nKey == VK_TAB || nKey == 115) return;
    if (nKey == VK_RETURN && m_nScreenMode == 1) ToggleWindowMode();
}

void CMainFrame::OnKeyDown(int nKey, UINT nRepeat, UINT nFlags) {
    (void)nRepeat;
    // A battle covers the map and takes its keys alone: a key pressed in battle must not
    // drink a quick slot's potion or arm a bomb on the map.
    if (BattleLink().IsRunning()) {
        BattleLink().OnKeyPressed(nKey, nFlags);
        return;
    }
    if (GetGameMode() == 9 && nKey == VK_SPACE) {
        if (m_pMenuManager && pMouse && m_pMenuManager->HitTest(9, pMouse->m_nX, pMouse->m_nY) != -1)
            m_pMenuManager->DoSelect();
        return;
    }
    if (PanelLink().OnKeyDown(nKey, nFlags)) m_dwHotKeyTime = dwNowTime;
}

void CMainFrame::OnKeyUp(int nKey, UINT nRepeat, UINT nFlags) {
    // The hold ends a second after the handled key whichever loop is running (the map's,
    // a battle's or a mini-game's).
    if (m_dwHotKeyTime != DWORD(-1) && dwNowTime - m_dwHotKeyTime > 1000) m_dwHotKeyTime = DWORD(-1);
    if (m_dwHotKeyTime != DWORD(-1) || m_bInputHold) {
        // A release within a second of a handled key is swallowed with what is queued
        // behind it; close and quit requests are not input and stay queued.
        FlushKeyboardMessages();
        while (GetAsyncKeyState(nKey) & 0x8000) SleepMs(1);
        FlushInputMessages();
        return;
    }
    if (bMsgBoxOpen) return;
    if (BattleLink().IsRunning()) {
        BattleLink().OnKeyUp(nKey, nRepeat, nFlags);
    } else if (!m_nSceneChanging && !(IsEventRunning() && pScript)) {
        if (!PanelLink().WorkOnKeyDown(nKey) && nKey == VK_ESCAPE && HasMessageText()) SetMessageText("");
    }
    m_dwHotKeyTime = dwNowTime;
}

void CMainFrame::OnLButtonDown(UINT nFlags, int x, int y) {
    // A modal box takes the press: it neither walks the hero nor arms a held map click.
    if (bMsgBoxOpen || nMsgBoxClick >= 1) return;
    CMapLink& map = MapLink();
    if (nFlags & MK_CONTROL) {
        const int nNpc = nHoverNpcId;
        nHoverNpcId = -1;
        if (map.LootHoverNpc(nNpc)) {
            if (pMouse) pMouse->SetShape(0);
            return;
        }
    }
    if (pMouse) pMouse->m_bClick = 1;
    if (BattleLink().IsRunning()) {
        // A battle covers the map: its presses go to it alone.
        BattleLink().OnLButtonDown(nFlags, x, y);
        return;
    }
    if (HasMessageText()) SetMessageText("");
    if (m_pMenuManager) {
        const int nMode = m_pMenuManager->m_nGameMode;
        if (m_pMenuManager->HitTest(nMode, x, y) != -1 && nMode != 9) PlayClick();
    }
    if (map.HasScene() && PanelLink().PickUpItem() == 1) return;
    if (map.HasScene() && !HitToolBar() && !PtInRect(kBottomStrip, POINT{x, y})) {
        OnMapClick(x, y);
        if (pMouse) pMouse->m_dwLastMapClick = dwNowTime;
    }
}

void CMainFrame::OnLButtonUp(UINT nFlags, int x, int y) {
    // The release that answered a modal box never reaches the game, but the button is
    // up: the held-button map click must not go on walking the hero after the box.
    if (bMsgBoxOpen || nMsgBoxClick >= 1) {
        if (pMouse) pMouse->m_bClick = 0;
        return;
    }
    if (pMouse) {
        pMouse->m_bClick = 0;
        pMouse->m_bButtonReleased = 1;
    }
    SetMessageText("");
    if (m_nSceneChanging) {
        FlushInputMessages();
        return;
    }
    if (BattleLink().IsRunning()) {
        BattleLink().OnLButtonUp(nFlags, x, y);
        return;
    }
    CPanelLink& panels = PanelLink();
    if (panels.OnLButtonUp() || panels.WorkOnLButtonUp()) return;
    if (!m_pMenuManager) return;
    const int nMode = m_pMenuManager->m_nGameMode;
    if (m_pMenuManager->HitTest(nMode, x, y) != -1) {
        m_pMenuManager->DoSelect();
        return;
    }
    CMapLink& map = MapLink();
    if ((nMode == 3 || nMode == 16) && map.HasScene() && !IsEventRunning() && (map.GetHoverObject() >> 16) == 15)
        m_pMenuManager->m_nGameMode = 8;
}

void CMainFrame::OnRButtonDown(UINT nFlags, int x, int y) {
    if (bMsgBoxOpen) return;
    // Battles run inside an event's command, so the event test below would drop every
    // right click of a battle: the battle takes it first.
    if (BattleLink().IsRunning()) {
        BattleLink().OnRButtonDown(nFlags, x, y);
        return;
    }
    if (IsEventRunning() && pScript) return;
    CPanelLink& panels = PanelLink();
    if (panels.IsWorkPanelOpen() && panels.BuyUnderCursor()) return;
    if (panels.ClearSkillAtPortrait() || panels.OnRButtonDown(x, y)) return;
    Cancel();
}

void CMainFrame::Cancel() {
    if (m_pMovie) m_bMoviePlaying = 0;
}

void CMainFrame::OnMouseMove(UINT /*nFlags*/, int x, int y) {
    if (pMouse) {
        pMouse->m_nX = x;
        pMouse->m_nY = y;
    }
    if (m_nMouseHold) return;
    if (!IsEventRunning() && m_bSceneShown) ScrollByMouse();
    if (!m_pMenuManager) return;
    const int nMode = m_pMenuManager->m_nGameMode;
    CMapLink& map = MapLink();
    if (m_pMenuManager->HitTest(nMode, x, y) == -1 && nMode == 3 && map.HasScene()) map.HitTestObjects(x, y);
    // Every move reaches the open panels, with or without a button held and in every
    // mode: the save and load lists and the settings sliders follow the cursor. A modal
    // box keeps the panels under it still.
    if (!bMsgBoxOpen) PanelLink().OnMouseMove();
}

void CMainFrame::OnLButtonDblClk(UINT nFlags, int x, int y) {
    (void)nFlags;
    if (bMsgBoxOpen || nMsgBoxClick >= 1) return;
    CPanelLink& panels = PanelLink();
    if (panels.IsWorkPanelOpen() && pMouse && pMouse->m_nCarriedItem == -1) panels.BuyUnderCursor();
    panels.OnLButtonDblClk(x, y);
}

bool CMainFrame::OnMapClick(int x, int y) {
    if ((m_pMenuManager && m_pMenuManager->m_nSelection >= 0) || PanelLink().IsWorkPanelOpen()) return false;
    if (m_nMouseHold) return false;
    CMapLink& map = MapLink();
    const int nHover = map.GetHoverObject();
    if (nHover >= 0 && map.GetHeroAction() != 9 && !IsEventRunning()) {
        ClickNpc(nHover);
        return true;
    }
    if (IsEventRunning()) return true;
    WalkHeroTo(x, y);
    return true;
}

void CMainFrame::ClickNpc(int nHover) {
    MapLink().ClickNpc(nHover, pMouse && pMouse->m_bClick, m_nPartyAttackMode);
}

void CMainFrame::WalkHeroTo(int x, int y) { MapLink().WalkHeroTo(x, y); }

bool CMainFrame::HitToolBar() {
    if (bMsgBoxOpen) return true;
    if (!pMouse) return false;
    const POINT pt{pMouse->m_nX, pMouse->m_nY};
    return PtInRect(kBottomStrip, pt) || PanelLink().HitTest(pt);
}

void CMainFrame::UpdateCursorPos() {
    if (!pMouse) return;
    POINT pt;
    if (!GetCursorPos(&pt)) return;
    ScreenToClient(&pt);
    pMouse->m_nX = pt.x;
    pMouse->m_nY = pt.y;
}
