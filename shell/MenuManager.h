// The game-mode object: holds the game mode that decides what the main loop updates,
// which menu screen is drawn and which one gets the mouse, and owns those screens
// (title menu, talk bars, party strip, exit box) and the victory picture.
#pragma once
#include <cstdint>

#include "platform/Base.h"

class CDXSurface;
class CMainMenu;
class CFaceTalkBar;
class CChoiceTalkBar;
class CPartyHeadBar;
class CExitGameBox;
class CSettingPanel;

class CMenuManager {
public:
    CMenuManager() = default;
    virtual ~CMenuManager();
    CMenuManager(const CMenuManager&) = delete;
    CMenuManager& operator=(const CMenuManager&) = delete;

    // Builds the victory picture, the title menu, the two talk bars, the party strip
    // and the exit box, in that order.
    void InitMenuData();
    // Builds the title menu again (on the return to the title).
    void CreateTitleMenu();
    void Draw(int nMode);
    // The item under (x, y) of the mode's screen, kept as the selection; -1 none.
    int HitTest(int nMode, int x, int y);
    // Whether the point lies on an opaque pixel of the mode's screen.
    bool PixelHit(int nMode, POINT pt);
    // Carries out the selection on the mode's screen.
    void DoSelect();
    // The battle's message box: the victory picture with a green text.
    void DrawMessageText(const char* pszText, int x, int y);
    void OnExitConfirmed();
    // Starts a talk line (mode 9) or a question with answers (mode 15).
    void ShowTalk(int nFace, const char* pszText);
    void ShowTextBar(int nFace, const char* pszText, int nValue1, int nValue2, int nValue3);

    std::int32_t m_nGameMode = 0;
    std::int32_t m_nSelection = -1;
    CDXSurface* m_pVictoryPicture = nullptr;
    CExitGameBox* m_pExitBox = nullptr;
    CPartyHeadBar* m_pPartyHeadBar = nullptr;
    CFaceTalkBar* m_pFaceTalkBar = nullptr;
    CChoiceTalkBar* m_pChoiceTalkBar = nullptr;
    CMainMenu* m_pMainMenu = nullptr;
    // The settings panel of mode 13: owned, drawn only when an owner sets one.
    CSettingPanel* m_pSettingPanel = nullptr;
};
