// Construction and destruction of the main window, and the small services it offers
// to the other subsystems.
#include "shell/MainFrame.h"

#include <cstdio>
#include <cstring>

#include "CDX/CDXMovie.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "lan/UdpHost.h"
#include "lan/UdpPeer.h"
#include "platform/Audio.h"
#include "platform/Charset.h"
#include "platform/Files.h"
#include "shell/FrameLinks.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"

CMainFrame::CMainFrame() {
    m_pEventFlagsA = new std::int32_t[kSceneTableCount][kSceneFlagCount]();
    m_pEventFlagsB = new std::int32_t[kSceneTableCount][kSceneFlagCount]();
    m_pszMessageText = new char[kMessageTextSize]();
    pScene = nullptr;
    pPlayer = nullptr;
    pCompanion = nullptr;
    for (CPlayer*& p : pParty) p = nullptr;
    nHoverNpcId = -1;
    // The toolbar and battle fields follow the installed links.
    m_pToolBar = PanelLink().GetToolBar();
    pFight = BattleLink().GetFight();
    WaveOutGetVolume(nullptr, &m_dwSavedVolume);
    pMediaHost = this;
}

CMainFrame::~CMainFrame() {
    m_bRunning = 0;
    m_mp3.Pause();
    m_mp3.Stop();
    DropMoveTexts();
    delete m_pShadow;
    m_pShadow = nullptr;
    delete m_pMenuManager;
    m_pMenuManager = nullptr;
    delete m_pWorkSurface;
    m_pWorkSurface = nullptr;
    delete[] m_pszMessageText;
    m_pszMessageText = nullptr;
    // The world's owners (the hero and the party slots) are deleted once, here.
    CPanelLink& panels = PanelLink();
    MapLink().DeleteWorld(panels.GetActiveSlot());
    panels.DeletePanels();
    m_pToolBar = nullptr;
    WaveOutSetVolume(nullptr, m_dwSavedVolume);

    // Pictures the window still holds when the game ends early.
    if (m_pMovie) {
        m_pMovie->Stop();
        delete m_pMovie;
        m_pMovie = nullptr;
    }
    delete m_pStartPicture;
    m_pStartPicture = nullptr;
    delete m_pBackPicture;
    m_pBackPicture = nullptr;
    for (CDXSprite*& p : m_pOneShotPictures) {
        delete p;
        p = nullptr;
    }
    delete pUdpPeer;
    pUdpPeer = nullptr;
    delete pUdpHost;
    pUdpHost = nullptr;
    delete[] m_pEventFlagsA;
    delete[] m_pEventFlagsB;
    if (pMediaHost == this) pMediaHost = nullptr;
    if (pFrame == this) pFrame = nullptr;
}

std::string CMainFrame::GetGameFolder() const {
    return pGameData ? std::string(pGameData->szGamePath) : GetCurrentDirectory();
}

int CMainFrame::GetGameMode() const { return m_pMenuManager ? m_pMenuManager->m_nGameMode : 0; }

void CMainFrame::SetMessageText(const char* pszText) {
    if (!m_pszMessageText) return;
    m_pszMessageText[0] = '\0';
    if (!pszText) return;
    std::string_view text(pszText);
    size_t n = 0;
    while (n < text.size()) {
        size_t nStep = IsDoubleByteLead(text, n) ? 2 : 1;
        if (n + nStep > size_t(kMessageTextSize - 1)) break;
        n += nStep;
    }
    std::memcpy(m_pszMessageText, pszText, n);
    m_pszMessageText[n] = '\0';
}

void CMainFrame::QuitGame() {
    if (BattleLink().IsRunning()) BattleLink().StopRunning();
    m_bRunning = 0;
    PostQuitMessage(0);
}

void CMainFrame::QuitGameFailed(const char* pszWhy) {
    // The first reason stands: a later one is a consequence of it.
    if (!m_szFailure[0]) std::snprintf(m_szFailure, sizeof m_szFailure, "%s", pszWhy && *pszWhy ? pszWhy : "failed");
    QuitGame();
}

void CMainFrame::DrawMapLayer() {
    if (m_bInGame) UpdateActors();
    if (m_bInGame && m_bSceneShown && MapLink().HasScene()) MapLink().DrawScene();
    PanelLink().Draw();
}


void CMainFrame::ShowTalk(int nFace, const char* pszText) {
    if (m_pMenuManager) m_pMenuManager->ShowTalk(nFace, pszText);
}

void CMainFrame::ShowTextBar(int nFace, const char* pszText, int nValue1, int nValue2, int nValue3) {
    if (m_pMenuManager) m_pMenuManager->ShowTextBar(nFace, pszText, nValue1, nValue2, nValue3);
}
