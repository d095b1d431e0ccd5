// Start-up of the main window: the window itself, the global objects in their fixed
// order, the screen and sound device, the notice picture, the opening videos, the
// start picture, the tables and packages, the cursor and the game-mode object; the
// window-mode switch and the opening-video player.
#include <cstdio>
#include <cstring>

#include "CDX/CDXMovie.h"
#include "CDX/CDXScreen.h"
#include "CDX/CDXSound.h"
#include "CDX/CDXSprite.h"
#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "media/SoundEffects.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Resources.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/PictureStore.h"
#include "shell/ShellGlobals.h"

namespace {

const char* const kMovieNames[4] = {"Piantou.AVI", "Ondrik.Avi", "qrb.avi", "Ondrik.avi"};
constexpr DWORD kNoticeMs = 2000;

}  // namespace

void CMainFrame::StartupFailed(const char* pszWhat, const char* pszWhy) {
    std::snprintf(m_szStartupError, sizeof m_szStartupError, "%s: %s", pszWhat, pszWhy && *pszWhy ? pszWhy : "failed");
}

BOOL CMainFrame::CreateMainWindow() {
    char szTitle[32] = {};
    LoadString(2, szTitle, sizeof szTitle);
    // The window starts as a 100 x 100 pop-up; SetWindowMode gives it its real shape.
    if (!CreatePlatWindow(szTitle, WS_POPUP, 0, 0, 100, 100)) {
        StartupFailed("the main window", "could not be created");
        return FALSE;
    }
    return TRUE;
}

bool CMainFrame::InitGame() {
    ProbeStartup("sound effects");
    pSoundEffects = new CSoundEffects;
    pSoundEffects->Init();

    ProbeStartup("game data");
    pGameData = new CGameData;
    pGameData->InitPaths(nullptr);
    pGameData->LoadOptions();

    ProbeStartup("picture store");
    CreatePictureStore();

    ProbeStartup("effect manager");
    MapLink().CreateEffectManager();

    const GameOptions& options = *pGameData->pOptions;
    m_nScreenWidth = options.nScreenWidth;
    m_nScreenHeight = options.nScreenHeight;
    m_nScreenBpp = options.nScreenBPP;
    m_nCurrentScene = options.nScene;
    m_bFullScreen = options.bFullScreen;
    m_nScreenMode = options.nScreenMode;
    m_bCanScroll = options.bCanScroll;
    m_nCopy = options.nCopy;
    m_nScenePkg = options.nScenepkg;
    m_rcScroll = RECT{4, 4, m_nScreenWidth - 4, m_nScreenHeight - 4};

    ProbeStartup("window mode");
    SetWindowMode();
    ProbeStartup("screen");
    InitScreen();
    if (!pScreen || !pScreen->GetBack()) {
        StartupFailed("the screen", DisplayModeTried().c_str());
        return false;
    }
    InitCommonData();

    ProbeStartup("notice picture");
    ShowNoticePicture();

    if (options.nPlayLeader != 0) {
        ProbeStartup("opening videos");
        PlayMovie(0, false);
        PlayMovie(1, false);
        PlayMovie(2, true);
    }

    ProbeStartup("start picture");
    ShowStartPicture();

    ProbeStartup("tables");
    const DWORD dwTablesStart = TimeGetTime();
    if (!pGameData->LoadBaseData()) {
        StartupFailed("the game tables", pGameData->GetLastError().c_str());
        return false;
    }
    if (pDebugLog) pDebugLog->Printf("BaseDataTime = %d\r\n", int(TimeGetTime() - dwTablesStart));
    ProbeStartup("picture packages");
    std::string strWhy;
    if (!InitPictureStore(&strWhy)) {
        StartupFailed("the picture packages", strWhy.c_str());
        return false;
    }

    ProbeStartup("music package");
    if (!m_mp3.OpenMusicPackage("veskmp3.dat"))
        std::fprintf(stderr, "game: the music package: %s; the game runs without music\n", m_mp3.GetError().c_str());

    ProbeStartup("cursor");
    pMouse = new CMouse;
    // A cursor picture missing from menu.pkg or not a picture is said by the package.
    pMouse->Init();

    ProbeStartup("menus");
    m_pMenuManager = new CMenuManager;
    m_pMenuManager->InitMenuData();

    ProbeStartup("show window");
    ShowWindow(SW_SHOWNORMAL);
    BringWindowToTop();
    pMouse->m_bClick = 0;

    ProbeStartup("main loop");
    Run();
    return false;
}

void CMainFrame::InitScreen() {
    pScreen = new CDXScreen;
    pScreen->SetWindowed(!m_nScreenMode);
    if (m_bFullScreen) {
        const DWORD dwBpp = pScreen->HasDisplayMode(DWORD(m_nScreenWidth), DWORD(m_nScreenHeight), DWORD(m_nScreenBpp))
                                ? DWORD(m_nScreenBpp)
                                : 15;
        pScreen->CreateFullScreen(this, DWORD(m_nScreenWidth), DWORD(m_nScreenHeight), dwBpp);
    } else {
        pScreen->CreateWindowed(this, m_nScreenWidth, m_nScreenHeight);
    }
    pBack = pScreen->GetBack();
    pSound = new CDXSound;
    pSound->Create(this, TRUE);
    pSound->SetWaveVolume(100, 100);
}

std::string CMainFrame::DisplayModeTried() const {
    char szText[256];
    if (m_bFullScreen) {
        const int nBpp = pScreen && pScreen->HasDisplayMode(DWORD(m_nScreenWidth), DWORD(m_nScreenHeight),
                                                            DWORD(m_nScreenBpp))
                             ? m_nScreenBpp
                             : 15;
        std::snprintf(szText, sizeof szText,
                      "no display mode could be set: full screen %d x %d at %d bits per pixel (fenwik.ini [Option] "
                      "FullScreen=1, ScreenWidth=%d, ScreenHeight=%d, ScreenBPP=%d)",
                      m_nScreenWidth, m_nScreenHeight, nBpp, m_nScreenWidth, m_nScreenHeight, m_nScreenBpp);
    } else {
        std::snprintf(szText, sizeof szText,
                      "no display mode could be set: a %d x %d window (fenwik.ini [Option] FullScreen=0, "
                      "ScreenWidth=%d, ScreenHeight=%d)",
                      m_nScreenWidth, m_nScreenHeight, m_nScreenWidth, m_nScreenHeight);
    }
    return szText;
}

bool CMainFrame::InitCommonData() {
    delete m_pWorkSurface;
    m_pWorkSurface = new CDXSurface;
    if (m_pWorkSurface->Create(pScreen, 640, 480, DWORD(m_nScreenMode)) >= 0) m_pWorkSurface->Fill(0xFF0000);
    delete m_pShadow;
    m_pShadow = new CDXSprite;
    if (m_pShadow->CreateFromTileFile(pScreen, "SHADOW_BMP", 64, 32, 1, DWORD(m_nScreenMode)) == 1) {
        m_pShadow->SetColorKey();
        m_pShadow->SetFrame(0);
        m_pShadow->SetPos(0, 0);
    }
    return true;
}

void CMainFrame::SetWindowMode() {
    if (m_bFullScreen) {
        SetStyle(WS_POPUP | WS_VISIBLE);
        SetWindowPos(0, 0, m_nScreenWidth, m_nScreenHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    const SIZE desktop = GetDesktopSize();
    RECT rc{(desktop.cx - m_nScreenWidth) / 2, (desktop.cy - m_nScreenHeight) / 2, (desktop.cx + m_nScreenWidth) / 2,
            (desktop.cy + m_nScreenHeight) / 2};
    const DWORD dwStyle = desktop.cx != m_nScreenWidth ? WS_POPUP | WS_VISIBLE | WS_CAPTION : WS_POPUP | WS_VISIBLE;
    SetStyle(dwStyle);
    AdjustWindowRectEx(&rc, dwStyle, false, 0);
    SetWindowPos(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();
}

BOOL CMainFrame::ToggleWindowMode() {
    m_bFullScreen = !m_bFullScreen;
    SetWindowMode();
    if (pScreen) {
        if (!m_bFullScreen) {
            pScreen->ChangeVideoMode(DWORD(m_nScreenWidth), DWORD(m_nScreenHeight), 0);
            CenterWindow();
        } else {
            pScreen->ChangeVideoMode(DWORD(m_nScreenWidth), DWORD(m_nScreenHeight), DWORD(m_nScreenBpp));
        }
        pBack = pScreen->GetBack();
    }
    return TRUE;
}

bool CMainFrame::ShowNoticePicture() {
    SetGameFolderCurrent();
    CDXSurface notice;
    const char* pszNotice = "bmp\\jiankanyouxi.bmp";
    const bool bLoaded = notice.CreateFromImageFile(pScreen, pszNotice, DWORD(m_nScreenMode)) == 1;
    if (bLoaded) notice.BlitOpaque(pBack, 0, 0);
    else
        std::fprintf(stderr, "game: the notice picture %s %s; the screen stays black\n", pszNotice,
                     FileExists(pszNotice) ? "is damaged or not a picture" : "is missing");
    pScreen->Flip();
    // No messages are taken here; the left button is read from its key state, and a
    // press made between two polls counts as well.
    const DWORD dwStart = TimeGetTime();
    while (TimeGetTime() - dwStart <= kNoticeMs) {
        if (GetAsyncKeyState(VK_LBUTTON) & 0x8001) break;
        SleepMs(1);
    }
    return bLoaded;
}

void CMainFrame::ShowStartPicture() {
    SetGameFolderCurrent();
    delete m_pStartPicture;
    m_pStartPicture = new CDXSurface;
    if (m_pStartPicture->CreateFromImageFile(pScreen, "IDB_STARTGAME", DWORD(m_nScreenMode)) == 1) {
        m_pStartPicture->BlitOpaque(pBack, 0, 0);
    } else {
        delete m_pStartPicture;
        m_pStartPicture = nullptr;
    }
    pScreen->Flip();
}

bool CMainFrame::PlayMovie(unsigned nIndex, bool bSkippable) {
    if (nIndex >= 4) return false;
    if (!m_pMovie) {
        SetGameFolderCurrent();
        if (!SetCurrentDirectory("movie")) return false;
        m_pMovie = new CDXMovie(pScreen);
        const bool bOpen = m_pMovie->Create(kMovieNames[nIndex], pBack);
        SetGameFolderCurrent();
        if (!bOpen) {
            delete m_pMovie;
            m_pMovie = nullptr;
            return false;
        }
        m_pMovie->Play();
        m_bMoviePlaying = 1;
    }
    while (m_bMoviePlaying && m_pMovie) {
        if (bSkippable) {
            MSG msg;
            if (PeekMessage(&msg, true)) {
                if (msg.message == WM_KEYUP && msg.wParam == WPARAM(VK_ESCAPE)) {
                    TranslateMessage(&msg);
                    DispatchMessage(&msg);
                    break;
                }
                // Other input is dropped; a close request is handled (it ends the game)
                // and a quit request is kept for the main loop; both end the video.
                if (msg.message == WM_CLOSE) {
                    DispatchMessage(&msg);
                    break;
                }
                if (msg.message == WM_QUIT) {
                    PostQuitMessage(int(msg.wParam));
                    break;
                }
            }
        }
        GetAsyncKeyState(VK_LBUTTON);
        dwNowTime = TimeGetTime();
        if (!m_pMovie->Update(m_rcMovie)) m_bMoviePlaying = 0;
        pScreen->Flip();
    }
    m_bMoviePlaying = 0;
    if (m_pMovie) {
        m_pMovie->Stop();
        delete m_pMovie;
        m_pMovie = nullptr;
    }
    return true;
}

void CMainFrame::StopMovie() {
    if (!m_pMovie) return;
    m_pMovie->Stop();
    delete m_pMovie;
    m_pMovie = nullptr;
    m_bMoviePlaying = 0;
    if (pScreen) pScreen->FadeOut(500);
}
