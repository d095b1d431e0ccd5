// The talk, text, media, panel, battle and mini-game commands of the event scripts,
// and the main window's screens they run: the modal talk texts, the back picture, the
// heads over characters, the moving texts and the mini-games. Subsystems built on
// their own answer through the links (shell/FrameLinks.h): with none installed, work
// panels open nothing and a mini-game is not won, and the script goes on.
#include <climits>
#include <memory>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/PictureStore.h"
#include "shell/ScriptWorld.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/MoveText.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

constexpr UINT kTalkFormat = DT_CENTER | DT_WORDBREAK;
constexpr COLORREF kTalkYellow = 0xFFFF;
constexpr DWORD kWaitTalkHoldMs = 1000;

bool IsInputMessage(UINT nMessage) {
    return (nMessage >= WM_KEYDOWN && nMessage <= WM_SYSKEYUP) || (nMessage >= WM_MOUSEMOVE && nMessage <= WM_RBUTTONDBLCLK);
}

// Takes at most one message: a quit is kept for the main loop and ends the caller's
// loop (false); input is dropped when bDropInput, everything else is dispatched.
bool PumpOne(bool bDropInput) {
    MSG msg;
    if (!PeekMessage(&msg, true)) return true;
    if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));
        return false;
    }
    if (bDropInput && IsInputMessage(msg.message)) return true;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    return true;
}

void SetBackFont(const char* pszUtf8Face, int nHeight) {
    if (pBack) pBack->ChangeFont(Utf8ToText(pszUtf8Face).c_str(), 0, nHeight, nCharSet, 400, 0);
}

bool IsPictureSlot(int n) { return n >= 0 && n < 4; }

}  // namespace

void CMainFrame::WaitTalk(const char* pszText) {
    const DWORD dwStart = TimeGetTime();
    while (m_bRunning) {
        // Only the pump moves the button state here: input is taken and dropped, a
        // quit ends the wait.
        if (!PumpOne(true)) break;
        if (pBack) {
            pBack->Fill(0);
            SetBackFont("隶书", 27);
            RECT rc{100, 300, 700, 500};
            pBack->DrawText(pszText ? pszText : "", kTalkYellow, &rc, kTalkFormat);
        }
        UpdateCursorPos();
        if (pMouse && pBack) pMouse->Draw();
        if (pScreen) pScreen->Flip(FALSE);
        if (TimeGetTime() - dwStart > kWaitTalkHoldMs && (GetAsyncKeyState(VK_LBUTTON) & 0x8000)) break;
    }
    SetBackFont("Arial", 15);
}

void CMainFrame::ScrollText(const char* pszText) {
    SetBackFont("隶书", 25);
    const int w = m_nScreenWidth, h = m_nScreenHeight;
    int nOffset = 0;
    for (int nPass = 1; m_bRunning; ++nPass) {
        if (!PumpOne(false)) break;
        if (pBack) {
            pBack->Fill(0);
            RECT rc{100, h - 200 - nOffset, w - 100, h - nOffset};
            pBack->DrawText(pszText ? pszText : "", kTalkYellow, &rc, kTalkFormat);
        }
        if (h - nOffset < 300) break;
        if (nPass % 12 == 0) nOffset += 2;
        if (pScreen) pScreen->Flip(FALSE);
    }
}

void CMainFrame::ShowBackPicture(int n) {
    char szName[32];
    std::snprintf(szName, sizeof szName, "Backbmp%02d.bmp", n);
    std::unique_ptr<CDXSprite> pPicture(LoadMenuSprite(szName, 800, 600, 1, unsigned(m_nScreenMode)));
    if (pPicture) {
        pPicture->SetColorKey();
        pPicture->SetFrame(0);
        pPicture->SetPos(0, 0);
    }
    delete m_pBackPicture;
    m_pBackPicture = pPicture.release();
}

void CMainFrame::ShowUpHead(int nSlot, int nId, int nFrame) {
    if (!IsPictureSlot(nSlot)) return;
    delete m_pOneShotPictures[nSlot];
    m_pOneShotPictures[nSlot] = nullptr;
    const CNpc* pNpc = pScene ? pScene->GetNpc(pScene->FindNpcById(nId)) : nullptr;
    if (!pNpc || !pNpc->pState) return;
    CDXSprite* pHead = LoadMenuSprite("UpHead.bmp", 40, 40, 5, unsigned(m_nScreenMode));
    if (!pHead) return;
    pHead->SetColorKey();
    pHead->SetFrame(DWORD(nFrame >= 0 && nFrame < 5 ? nFrame : 0));
    pHead->SetPos(pNpc->pState->nMapX - pScene->ptView.x, pNpc->pState->nMapY - pScene->ptView.y - 100);
    m_pOneShotPictures[nSlot] = pHead;
}

void CMainFrame::ShowMoveText(int nCaption) {
    if (m_pMoveText) return;
    const char* pszText = pGameData ? pGameData->GetText(nCaption) : nullptr;
    m_pMoveText = new CMoveText;
    m_pMoveText->Start(500, 10, 20, 20, pszText ? pszText : "", 2);
}

void CMainFrame::ShowMoveText2(int nCaption) {
    int nFree = -1;
    for (int i = 0; i < 3 && nFree < 0; ++i)
        if (!m_pOneShotText[i]) nFree = i;
    if (nFree < 0) return;
    for (CMoveText* pLine : m_pOneShotText)
        if (pLine) pLine->NextLine();
    const char* pszText = pGameData ? pGameData->GetText(nCaption) : nullptr;
    m_pOneShotText[nFree] = new CMoveText;
    m_pOneShotText[nFree]->Init(500, 10, 20, 20, pszText ? pszText : "", 10);
    ++m_nOneShotCount;
}

void CMainFrame::RunKnockGame(int nKind) {
    // Any kind ends with the scene's music: a kind that runs no game changes only that.
    const bool bGame = nKind >= 1 && nKind <= 4;
    if (nKind == 1 && pPlayer) pPlayer->AddMoney(-500);
    if (bGame && m_bMusicOn) PlayMusic(nKind <= 2 ? 9 : 4);
    if (bGame && nKind <= 3) {
        const bool bWon = MiniGameLink().Run(nKind);
        if (nKind == 3 && bWon && pPlayer) pPlayer->AddExperience(1000);
    }
    m_mp3.Pause();
    m_mp3.Stop();
    if (m_bMusicOn && pGameData) PlayMusic(pGameData->GetSceneMusic(m_nCurrentScene));
}

void CMainFrame::RunMiniGame(int n) { MiniGameLink().RunPictureShow(n); }

bool CMainFrame::RunMediaCommand(ScriptCommand& c, ScriptEnding* pEnding) {
    *pEnding = ScriptEnding::Now;
    switch (c.nCommand) {
    case 31:
        if (c.a1 >= 1 && c.a1 <= 16) WorkLink().Open(0, c.a1 - 1);
        *pEnding = ScriptEnding::Next;
        return true;
    case 33:
        // A defeat returns to the title and ends the event; a battle that could not be
        // set up (its background cannot be shown) ends it too, for it was not won;
        // otherwise the script goes on.
        if (Fighting(c.a1, c.a2, c.a3, c.a4, 0) == 0) {
            nEventId = -1;
            CurrentScript = -1;
            *pEnding = ScriptEnding::Jump;
        }
        return true;
    case 41:
        if (c.a1 > 0) {
            PlayEnding(c.a1);
            // The ending leaves the game at the title: no event runs on.
            nEventId = -1;
            CurrentScript = -1;
            *pEnding = ScriptEnding::Jump;
        }
        return true;
    case 43:
        RunKnockGame(c.a1);
        return true;
    case 44:
        RunMiniGame(c.a1);
        return true;
    case 45:
        PlayMovie(unsigned(c.a1), false);
        *pEnding = ScriptEnding::Next;
        return true;
    case 46:
        ShowBackPicture(c.a1);
        return true;
    case 47:
        delete m_pBackPicture;
        m_pBackPicture = nullptr;
        return true;
    case 53:
        // The leave question names the first two followers; followers never join this
        // game, so there is nobody to ask about and the script goes on.
        return true;
    case 60:
        ShowMoveText(c.a1);
        return true;
    case 61:
        if (c.a1 < 0 || c.a1 > 3) {
            *pEnding = ScriptEnding::Next;
            return true;
        }
        if (m_pMenuManager) m_pMenuManager->m_nGameMode = 16;
        m_nDamageMember = c.a1;
        m_nDamageAmount = c.a2;
        *pEnding = ScriptEnding::Next;
        return true;
    case 66:
        OpenBank();
        return true;
    case 76:
        ShowUpHead(c.a1, c.a2, c.a3);
        return true;
    case 77:
        if (IsPictureSlot(c.a1)) {
            delete m_pOneShotPictures[c.a1];
            m_pOneShotPictures[c.a1] = nullptr;
        }
        return true;
    case 81:
        ShowMoveText2(c.a1 > INT_MIN ? c.a1 - 1 : -1);
        return true;
    case 91:
        ScriptWorld().ShowTextBox(c.a1, c.a2 < 0 ? 120 : c.a2);
        bScriptGoOn = 0;
        *pEnding = ScriptEnding::Wait;
        return true;
    case 100:
        if (c.a1 == 0) c.a1 = 2;
        if (c.a1 == 1 || c.a1 == 2) WorkLink().Open(c.a1, 0);
        *pEnding = ScriptEnding::Next;
        return true;
    default:
        return false;
    }
}
