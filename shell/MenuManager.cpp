#include "shell/MenuManager.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Charset.h"
#include "platform/Text.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MainMenu.h"
#include "ui/menus/MenuPanel.h"
#include "ui/menus/PartyHeadBar.h"
#include "ui/menus/TalkBar.h"
#include "lan/SettingPanel.h"

CMenuManager::~CMenuManager() {
    delete m_pVictoryPicture;
    delete m_pMainMenu;
    delete m_pFaceTalkBar;
    delete m_pChoiceTalkBar;
    delete m_pPartyHeadBar;
    delete m_pExitBox;
    delete m_pSettingPanel;
}

void CMenuManager::InitMenuData() {
    delete m_pVictoryPicture;
    m_pVictoryPicture = LoadMenuSurface(Utf8ToText("对战获胜.bmp").c_str(), true);
    CreateTitleMenu();
    delete m_pFaceTalkBar;
    m_pFaceTalkBar = new CFaceTalkBar;
    m_pFaceTalkBar->Init();
    delete m_pChoiceTalkBar;
    m_pChoiceTalkBar = new CChoiceTalkBar;
    m_pChoiceTalkBar->LoadPicture();
    delete m_pPartyHeadBar;
    m_pPartyHeadBar = new CPartyHeadBar;
    delete m_pExitBox;
    m_pExitBox = new CExitGameBox;
}

void CMenuManager::CreateTitleMenu() {
    delete m_pMainMenu;
    m_pMainMenu = new CMainMenu;
    m_pMainMenu->LoadButtons();
}

static int ExitBoxState() { return pMouse ? pMouse->m_nExitBoxState : 0; }

void CMenuManager::Draw(int nMode) {
    const bool bInGame = pFrame && pFrame->m_bInGame;
    if (!bInGame) {
        if (m_pMainMenu) m_pMainMenu->Draw();
    } else {
        if (nMode == 9) {
            if (m_pFaceTalkBar) m_pFaceTalkBar->Draw();
        } else if (nMode == 15) {
            if (m_pChoiceTalkBar) m_pChoiceTalkBar->Draw();
        } else if (m_pPartyHeadBar) {
            m_pPartyHeadBar->Draw();
        }
        // The title menu is not needed once a game runs.
        delete m_pMainMenu;
        m_pMainMenu = nullptr;
    }
    if (nMode == 13 && m_pSettingPanel) m_pSettingPanel->Draw();
    if (ExitBoxState() > 1 && m_pExitBox) m_pExitBox->Draw();
}

int CMenuManager::HitTest(int nMode, int x, int y) {
    m_nSelection = -1;
    if (ExitBoxState() > 1) {
        if (m_pExitBox) m_nSelection = m_pExitBox->HitTest(x, y);
        return m_nSelection;
    }
    if (nMode == 0) {
        if (m_pMainMenu) m_nSelection = m_pMainMenu->HitTest(x, y);
    } else if (nMode == 9) {
        if (m_pFaceTalkBar) m_nSelection = m_pFaceTalkBar->UpdateHover(x, y);
    } else if (nMode == 15) {
        if (m_pChoiceTalkBar) m_nSelection = m_pChoiceTalkBar->UpdateHover(x, y);
    }
    return m_nSelection;
}

bool CMenuManager::PixelHit(int nMode, POINT pt) {
    if (nMode == 0) return m_pMainMenu && m_pMainMenu->PixelHit(pt);
    if (nMode >= 1 && nMode <= 3) return m_pPartyHeadBar && m_pPartyHeadBar->PixelHit(pt);
    if (nMode >= 4 && nMode <= 9) return m_pFaceTalkBar && m_pFaceTalkBar->PixelHit(pt);
    if (nMode == 11 || nMode == 15) return m_pChoiceTalkBar && m_pChoiceTalkBar->PixelHit(pt);
    return false;
}

void CMenuManager::DoSelect() {
    if (ExitBoxState() > 1) {
        if (m_pExitBox) m_pExitBox->OnButton(m_nSelection);
        return;
    }
    switch (m_nGameMode) {
    case 0:
        if (m_pMainMenu) m_pMainMenu->OnLButtonUp(m_nSelection);
        break;
    case 3:
        if (m_pPartyHeadBar) m_pPartyHeadBar->OnLButtonUp(m_nSelection);
        return;
    case 9:
        if (m_pFaceTalkBar) m_pFaceTalkBar->NextLine(m_nSelection);
        break;
    case 15:
        if (m_pChoiceTalkBar) m_pChoiceTalkBar->OnLButtonUp(m_nSelection);
        return;
    case 14:
    case 16: return;
    default: break;
    }
    if (MapLink().HasScene()) MapLink().SetHoverObject(-1);
}

void CMenuManager::DrawMessageText(const char* pszText, int x, int y) {
    if (!m_pVictoryPicture || !pBack || !pFrame) return;
    const int nWidth = m_pVictoryPicture->GetWidth(), nHeight = m_pVictoryPicture->GetHeight();
    if (x == -1) x = (pFrame->m_nScreenWidth - nWidth) / 2;
    if (y == -1) y = (pFrame->m_nScreenHeight - nHeight) / 2;
    if (x + nWidth > 800) x = 800 - nWidth;
    m_pVictoryPicture->BlitHalfAlphaKeyed(pBack, x - 10, y - 10);
    if (!pszText) return;
    RECT rc{20 + x, 20 + y, 210 + x, 100 + y};
    pBack->DrawText(pszText, 0xFF00, &rc, DT_WORDBREAK);
}

void CMenuManager::OnExitConfirmed() {
    if (m_nGameMode == 0 && m_pMainMenu) m_pMainMenu->Quit();
}

void CMenuManager::ShowTalk(int nFace, const char* pszText) {
    m_nGameMode = 9;
    if (!m_pFaceTalkBar) return;
    if (nFace >= 100) {
        m_pFaceTalkBar->SetPlacement(1);
        nFace -= 100;
    } else {
        m_pFaceTalkBar->SetPlacement(0);
    }
    m_pFaceTalkBar->Begin(pszText);
    m_pFaceTalkBar->m_nFace = nFace;
}

void CMenuManager::ShowTextBar(int nFace, const char* pszText, int nValue1, int nValue2, int nValue3) {
    m_nGameMode = 15;
    if (!m_pChoiceTalkBar) return;
    m_pChoiceTalkBar->m_nValues[1] = nValue1;
    m_pChoiceTalkBar->m_nValues[2] = nValue2;
    m_pChoiceTalkBar->m_nValues[3] = nValue3;
    m_pChoiceTalkBar->SetText(pszText ? pszText : "");
    m_pChoiceTalkBar->m_nFace = nFace;
}
