// The main loop and the per-frame update: the start-picture wait, the title music,
// then one message and one frame per pass until the game ends.
#include <cstdint>
#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"

namespace {

constexpr std::int32_t kStartPictureMs = 3000;

// What a game mode runs in the frame update.
struct ModeWork {
    bool bEdgeScroll, bScript, bActors, bScene;
};

ModeWork WorkOfMode(int nMode) {
    switch (nMode) {
    case 1: case 2: case 3: case 7: case 13: return {true, true, true, true};
    case 9: case 15: return {false, true, true, true};
    case 16: return {false, false, true, true};
    case 11: case 12: case 14: return {false, false, false, true};
    default: return {false, false, false, false};
    }
}

const std::string& TextFace() {
    static const std::string face = Utf8ToText("細明體");
    return face;
}

}  // namespace

void CMainFrame::PlayMusic(int nTrack) {
    char szPath[kGamePathSize + 32];
    std::snprintf(szPath, sizeof szPath, "%s\\mp3\\%02d.mp3", GetGameFolder().c_str(), nTrack);
    m_mp3.Play(szPath, TRUE);
}

void CMainFrame::Run() {
    dwStepTime = dwNowTime = TimeGetTime();
    pBack = pScreen ? pScreen->GetBack() : nullptr;
    ShowSystemCursor(false);
    m_bActive = 1;

    // The start picture stays on the screen (no flip) for 3 s or until ESC is down or was
    // tapped since the videos last looked. The time is kept odd so that 0 means "not
    // taken yet": the first difference may be -1, so it is compared as a signed number.
    if (m_dwStartPictureTime == 0) m_dwStartPictureTime = TimeGetTime() | 1;
    if (m_pStartPicture && pBack) m_pStartPicture->BlitOpaque(pBack, 0, 0);
    while (std::int32_t(TimeGetTime() - m_dwStartPictureTime) <= kStartPictureMs &&
           !KeyDownOrTapped(VK_ESCAPE))
        SleepMs(1);
    delete m_pStartPicture;
    m_pStartPicture = nullptr;

    m_mp3.Pause();
    m_mp3.Stop();
    PlayMusic(99);
    GetAsyncKeyState(VK_LBUTTON);
    m_nSceneChanging = 0;
    PanelLink().CreatePanels();
    RefreshFrameLinkFields();

    while (m_bRunning) RunOnePass();

    m_mp3.Pause();
    m_mp3.Stop();
    if (pScreen) pScreen->FadeOut(2000);
}

void CMainFrame::RunOnePass() {
    MSG msg;
    if (PeekMessage(&msg, true) && msg.message != WM_QUIT && !PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    if (!m_bActive) {
        SleepMs(10);
        return;
    }
    m_mp3.SetVolume(m_nMusicVolume & 0xFF, m_nMusicVolume & 0xFF);
    dwNowTime = TimeGetTime();
    HoldInput();
    if (pBack) pBack->ChangeFont(TextFace().c_str(), 0, 15, nCharSet, 400, 0);
    UpdateFrame();
    if (m_pMenuManager) m_pMenuManager->Draw(m_pMenuManager->m_nGameMode);
    if (HasMessageText()) DrawMessageBox(200, 160, 240, 80);
    if (pMouse) pMouse->Draw();
    HeldMapClick();
    ReapOneShots();
    if (pfnDrawProbe) pfnDrawProbe();
    if (pScreen) pScreen->Flip(FALSE);
    if (pfnFrameProbe) pfnFrameProbe();
    if (dwNowTime - m_dwDamageTickTime > 2000) {
        m_dwDamageTickTime = dwNowTime;
        if (GetGameMode() == 16) m_bDamageTick = 1;
    }
    if (dwNowTime - dwStepTime > 150) dwStepTime = dwNowTime;
}

void CMainFrame::HoldInput() {
    if (!m_bInputHold) return;
    if (m_dwHoldStart == 0) m_dwHoldStart = dwNowTime | 1;
    if (IsEventRunning() || dwNowTime - m_dwHoldStart > 200) {
        m_bInputHold = 0;
        m_dwHoldStart = 0;
    }
    if (MapLink().HasHero()) MapLink().StopHero();
    FlushKeyboardMessages();
    while (GetAsyncKeyState(VK_LBUTTON) & 0x8000) SleepMs(1);
    // Close and quit requests are not input and stay queued.
    while (GetInputState()) FlushInputMessages();
}

void CMainFrame::HeldMapClick() {
    CMapLink& map = MapLink();
    if (!pMouse || !map.HasScene() || !pMouse->m_bClick || HitToolBar()) return;
    const POINT pt{pMouse->m_nX, pMouse->m_nY};
    if (PtInRect(kBottomStrip, pt) || dwNowTime - pMouse->m_dwLastMapClick <= 200) return;
    pMouse->m_dwLastMapClick = dwNowTime;
    const int nHover = map.GetHoverObject();
    if (nHover == -1) {
        OnMapClick(pt.x, pt.y);
        return;
    }
    PanelLink().PickUpItem();
    if ((nHover >> 16) != 9 && map.GetNpcClass(nHover & 0xFFFF) == 2) OnMapClick(pt.x, pt.y);
}

void CMainFrame::ReapOneShots() {
    CMapLink& map = MapLink();
    if (m_pMoveText && map.DrawMoveText(m_pMoveText)) {
        map.DeleteMoveText(m_pMoveText);
        m_pMoveText = nullptr;
    }
    for (CMoveText*& pText : m_pOneShotText) {
        if (pText && map.DrawMoveText(pText)) {
            map.DeleteMoveText(pText);
            pText = nullptr;
            if (m_nOneShotCount > 0) --m_nOneShotCount;
        }
    }
}

void CMainFrame::UpdateFrame() {
    SetGameFolderCurrent();
    const int nMode = GetGameMode();
    const ModeWork work = WorkOfMode(nMode);
    CMapLink& map = MapLink();
    if (work.bEdgeScroll) ScrollByMouse();
    if (work.bScript) UpdateScript();
    if (work.bActors && m_bInGame) UpdateActors();
    m_bEffectsAtHero = 0;
    if (work.bScene && m_bInGame && m_bSceneShown) map.DrawScene();
    // A held effect list goes on in the scene's draw only. In a frame whose draw did not
    // reach the hero (the scene hidden or not drawn in this mode, no hero in it) the
    // frame advances it instead, so the hold and the event with it still end; the hold
    // itself stays for the frames that draw her again.
    if (m_nSceneEffectWait2 == 0 || !m_bEffectsAtHero) UpdateEffects();
    PanelLink().Draw();
    for (CDXSprite* pPicture : m_pOneShotPictures)
        if (pPicture && pBack) pPicture->Draw(pBack, 0, 0, BLT_KEYED);
    if (m_dwCountdownTick != 0) DrawCountdown();
    if (nMode == 16) UpdateDamageZone();
    if (m_dwHotKeyTime != DWORD(-1) && dwNowTime - m_dwHotKeyTime > 1000) m_dwHotKeyTime = DWORD(-1);
    if (m_nToolTipScene >= 0) {
        ShowToolTip(m_nToolTipScene);
    } else if (m_bCursorShapeChanged) {
        if (pMouse) pMouse->SetShape(0);
        m_bCursorShapeChanged = 0;
    }
}

void CMainFrame::ScrollByMouse() {
    if (!m_bCanScroll || !m_bSceneShown || !m_bInGame || IsEventRunning() || GetGameMode() != 3 || !pMouse) return;
    const POINT pt{pMouse->m_nX, pMouse->m_nY};
    if (PtInRect(m_rcScroll, pt)) return;
    CMapLink& map = MapLink();
    map.SetScrolling();
    if (pt.x < 4) map.ScrollView(-24, 0);
    if (pt.y < 4) map.ScrollView(0, -24);
    if (m_nScreenWidth - pt.x < 4) map.ScrollView(24, 0);
    if (m_nScreenHeight - pt.y < 4) map.ScrollView(0, 24);
}

void CMainFrame::UpdateActors() {
    CMapLink& map = MapLink();
    if (pScript && m_bViewMove) map.FollowScriptView(pScript);
    const int nMode = GetGameMode();
    if (nMode != 3 && nMode != 16) {
        map.UpdateHeroes(PanelLink().GetActiveSlot());
    } else if (map.HasScene()) {
        map.UpdateScene();
    }
}

void CMainFrame::UpdateEffectsAtHero() {
    m_bEffectsAtHero = 1;
    UpdateEffects();
}

void CMainFrame::UpdateEffects() {
    if (GetGameMode() != 3) return;
    if (MapLink().UpdateEffects()) {
        bSceneEffectWait = 0;
        m_nSceneEffectWait2 = 0;
    }
}

void CMainFrame::DrawMessageBox(int x, int y, int nWidth, int nHeight) {
    if (!pBack) return;
    if (m_pWorkSurface) {
        RECT rcSource{0, 0, nWidth, nHeight};
        m_pWorkSurface->BlitHalfAlpha(pBack, x, y, &rcSource);
    }
    RECT rcText{x + 10, y + 10, x + nWidth - 10, y + nHeight - 10};
    pBack->DrawText(m_pszMessageText, RGB(255, 255, 255), &rcText, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
}

void CMainFrame::DrawCountdown() {
    if (dwNowTime - m_dwCountdownTick > 1000) {
        if (m_nCountdownSeconds > 0) --m_nCountdownSeconds;
        m_dwCountdownTick = dwNowTime;
    }
    if (m_nCountdownSeconds <= 0 || !pBack) return;
    static const std::string format = Utf8ToText("所剩時間: %d");
    char szText[64];
    std::snprintf(szText, sizeof szText, format.c_str(), m_nCountdownSeconds);
    RECT rc{m_nScreenWidth - 100, 10, m_nScreenWidth, 50};
    pBack->DrawText(szText, 255, &rc, DT_WORDBREAK);
}

void CMainFrame::UpdateDamageZone() {
    if (!m_bDamageTick) return;
    CMapLink& map = MapLink();
    if (!map.IsHeroInRegion()) {
        m_nDamageAmount = 0;
        m_nDamageMember = -1;
        if (m_pMenuManager) m_pMenuManager->m_nGameMode = 3;
        return;
    }
    if (m_nDamageAmount != 0 && m_nDamageMember >= 0) map.TakeMemberLife(m_nDamageMember, m_nDamageAmount);
    m_bDamageTick = 0;
}

void CMainFrame::ShowToolTip(int nScene) {
    if (!pGameData || !pMouse || !pBack) return;
    const char* pszName = pGameData->GetSceneName(nScene);
    if (!pszName) return;
    const POINT pt{pMouse->m_nX, pMouse->m_nY};
    if (HitToolBar() || PtInRect(kBottomStrip, pt)) return;
    RECT rc{pt.x - 100, pt.y - 10, pt.x + 100, pt.y + 10};
    pBack->DrawText(pszName, 0xF00F, &rc, DT_CENTER | DT_WORDBREAK);
}
