#include "ui/menus/MainMenu.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/DebugLog.h"
#include "gamedata/PkgFile.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "shell/FrameLinks.h"
#include "ui/ShellServices.h"
#include "ui/boxes/MessageBoxes.h"

const char* const CMainMenu::kNormalNames[kButtonCount] = {
    "MainMenu_Begin.bmp", "MainMenu_Read.bmp", "MainMenu_SetGame.bmp", "MainMenu_Maker.bmp", "MainMenu_End.bmp"};
const char* const CMainMenu::kHoverNames[kButtonCount] = {"MainMenu_Begin[s].bmp", "MainMenu_Read[s].bmp",
                                                          "MainMenu_SetGame[s].bmp", "MainMenu_Maker[s].bmp",
                                                          "MainMenu_End[s].bmp"};

namespace {
constexpr int kSelectorSettings = 4;
constexpr int kSelectorLoad = 6;
}  // namespace

// ---- title menu ----

CMainMenu::CMainMenu() {
    InitButtonRecord("MainMenu_BKGround.bmp", 0, 0, kButtonCount);
    SetRectAt(0, 185, 220, 380, 260);
    SetRectAt(1, 185, 285, 380, 325);
    SetRectAt(2, 185, 355, 380, 395);
    SetRectAt(3, 185, 420, 380, 460);
    SetRectAt(4, 185, 490, 380, 530);
}

CMainMenu::~CMainMenu() {
    ReleaseBmp();
    ReleasePictures();
}

void CMainMenu::ReleasePictures() {
    for (int i = 0; i < kButtonCount; ++i) {
        delete m_pNormal[i];
        delete m_pHover[i];
        m_pNormal[i] = nullptr;
        m_pHover[i] = nullptr;
    }
}

void CMainMenu::LoadButtons() {
    const DWORD dwStart = TimeGetTime();
    SetGameFolderCurrent();
    ReleasePictures();
    for (int i = 0; i < kButtonCount; ++i) {
        m_pNormal[i] = LoadMenuSurface(kNormalNames[i], true);
        m_pHover[i] = LoadMenuSurface(kHoverNames[i], true);
    }
    if (pDebugLog) pDebugLog->Printf("\nMainMenu1 = %d\r\n", int(TimeGetTime() - dwStart));
    UiShell()->PauseMusic();
    LoadMenuBmp();
    if (pDebugLog) pDebugLog->Printf("MainMenu3 = %d\r\n", int(TimeGetTime() - dwStart));
}

void CMainMenu::Draw() {
    CPanelLink& panels = PanelLink();
    if (m_pPicture && m_pPicture->GetInterface() && pBack) m_pPicture->BlitOpaque(pBack, 0, 0);
    if (!panels.HasLoadPanel() && !panels.HasSettingsPanel() && pBack) {
        for (int i = 0; i < kButtonCount; ++i) {
            CDXSurface* pPicture = i == m_nHovered ? m_pHover[i] : m_pNormal[i];
            if (pPicture) pPicture->BlitKeyed(pBack, m_rects[size_t(i)].left, m_rects[size_t(i)].top);
        }
    }
    UpdateHover();
    const int nSelector = panels.GetLeftGroupSelector();
    if (nSelector == kSelectorLoad || nSelector == kSelectorSettings) panels.RunLeftGroupPanel();
}

void CMainMenu::UpdateHover() {
    m_nHovered = -1;
    if (PanelLink().GetLeftGroupSelector() == kSelectorLoad) return;
    const POINT pt = UiShell()->GetMousePos();
    for (int i = 0; i < kButtonCount; ++i) {
        if (PtInRect(m_rects[size_t(i)], pt)) {
            m_nHovered = i;
            return;
        }
    }
}

void CMainMenu::OnLButtonUp(int) {
    CUiShell* pShell = UiShell();
    CPanelLink& panels = PanelLink();
    const int nSelector = panels.GetLeftGroupSelector();
    if (nSelector == kSelectorLoad || nSelector == kSelectorSettings || m_nHovered == -1) return;
    switch (m_nHovered) {
    case 0:
        pShell->NewGame();
        if (pScene) ReleaseBmp();
        PlayUiSound(5);
        break;
    case 1:
        PlayUiSound(5);
        panels.OpenLoadPanel();
        break;
    case 2:
        panels.OpenSettingsPanel();
        PlayUiSound(5);
        break;
    case 3:
        pShell->ShowCredits();
        PlayUiSound(5);
        break;
    case 4: {
        PlayUiSound(5);
        static const std::string kQuestion = Utf8ToText("是否退出游戏?");
        int nAnswer = 0;
        {
            COKCancelBox box;
            box.LoadButtons("PutDownItem.bmp", "YesOrNo.bmp", 85, 40);
            nAnswer = box.Run(kQuestion.c_str(), 2, 400, 225);
        }
        if (nAnswer == 1) Quit();
        break;
    }
    default:
        break;
    }
}

void CMainMenu::Quit() { UiShell()->QuitGame(); }

// ---- exit box ----

CExitGameBox::CExitGameBox() {
    CUiShell* pShell = UiShell();
    InitButtonRecord("ExitGameOk.bmp", pShell->GetScreenWidth() / 2 - 115, pShell->GetScreenHeight() / 2 - 67, 3);
    SetRectAt(0, 10, 86, 107, 128);
    SetRectAt(1, 118, 86, 215, 128);
    SetRectAt(2, 40, 15, 205, 50);
}

CExitGameBox::~CExitGameBox() {
    delete m_pButtons;
    delete m_pLoaded;
}

void CExitGameBox::Draw() {
    LoadMenuBmp();
    if (!m_pLoaded && !m_bTriedLoad) {
        m_bTriedLoad = true;
        SetGameFolderCurrent();
        m_pLoaded = LoadMenuSurface("YesOrNo.bmp", true);
        if (m_pLoaded) m_pButtons = LoadPkgSprite(GetMenuPackage(), "YesOrNo.bmp", 97, 42, 2, UiShell()->GetSurfaceMemory());
        if (m_pButtons) m_pButtons->SetColorKey();
    }
    CMenuPanel::Draw();
    if ((m_nHover == 0 || m_nHover == 1) && UiShell()->IsMouseClickHeld() && m_pButtons && pBack) {
        const RECT& rc = m_rects[size_t(m_nHover)];
        m_pButtons->SetPos(rc.left + m_pInfo->x, rc.top + m_pInfo->y);
        m_pButtons->SetFrame(DWORD(m_nHover));
        m_pButtons->Draw(pBack, 0, 0, BLT_KEYED);
    }
}

void CExitGameBox::OnButton(int nSelection) {
    if (nSelection == 0) {
        m_nConfirmed = 1;
        UiShell()->OnExitConfirmed();
    } else if (nSelection == 1) {
        m_nConfirmed = 0;
    } else {
        return;
    }
    UiShell()->SetExitBoxState(0);
}
