#include "shell/GameApp.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSound.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "media/SoundEffects.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MiniGameLink.h"
#include "shell/Mouse.h"
#include "shell/PictureStore.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarLink.h"
#include "shell/SceneLink.h"
#include "shell/UiShellLink.h"

namespace {
CShellUiLink s_uiLink;
}

CGameApp::CGameApp() {
    pEffectManager = nullptr;
    pGameData = nullptr;
    pBitmapData = nullptr;
}

BOOL CGameApp::InitInstance() {
    nCharSet = 134;
    dwNowTime = TimeGetTime();
    char szTitle[32] = {};
    LoadString(2, szTitle, sizeof szTitle);
    // A second windowed start raises the running game's window and ends at once. A
    // headless run has no window to find or raise: it neither takes nor honours the lock.
    if (!IsHeadless()) {
        bool bRaised = false;
        if (!AcquireSingleInstance(szTitle, &bRaised)) {
            std::fprintf(stderr, bRaised ? "game: the game already runs; its window was raised\n"
                                         : "game: the game already runs; its window could not be raised\n");
            return FALSE;
        }
    }

    SetUiShell(&s_uiLink);
    InstallShellPictureLinks();
    InstallToolBarLinks();
    InstallSceneLinks();
    InstallMiniGameLink();
    pFrame = new CMainFrame;
    if (pFrame->CreateMainWindow()) pFrame->InitGame();
    if (pFrame->GetStartupError()[0]) {
        std::fprintf(stderr, "game: start-up ended: %s\n", pFrame->GetStartupError());
        m_nExitCode = 1;
    } else if (pFrame->GetFailure()[0]) {
        // The message box has shown the whole reason; its first line says what ended the game.
        const std::string strFailure = TextToUtf8(pFrame->GetFailure());
        std::fprintf(stderr, "game: ended: %s\n", strFailure.substr(0, strFailure.find('\n')).c_str());
        m_nExitCode = 1;
    }
    RemoveToolBarLinks();
    delete pFrame;
    pFrame = nullptr;
    SetUiShell(nullptr);
    RemoveShellPictureLinks();
    RemoveMiniGameLink();
    return FALSE;
}

int CGameApp::ExitInstance() {
    delete pGameData;
    pGameData = nullptr;
    DeletePictureStore();
    MapLink().DeleteEffectManager();
    delete pSoundEffects;
    pSoundEffects = nullptr;
    delete pMouse;
    pMouse = nullptr;
    delete pScreen;
    pScreen = nullptr;
    pBack = nullptr;
    delete pSound;
    pSound = nullptr;
    ReleaseSingleInstance();
    return m_nExitCode;
}
