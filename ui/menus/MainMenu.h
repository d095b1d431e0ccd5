// The title screen's menu (background and five picture buttons: new game, load,
// settings, makers, quit) and the exit confirmation box that the game-mode object keeps
// hidden.
#pragma once
#include "ui/menus/MenuPanel.h"

class CDXSprite;
class CDXSurface;

class CMainMenu : public CMenuPanel {
public:
    static constexpr int kButtonCount = 5;
    static const char* const kNormalNames[kButtonCount];
    static const char* const kHoverNames[kButtonCount];

    CMainMenu();
    ~CMainMenu() override;

    // Loads the ten button pictures, pauses the music, then loads the background.
    void LoadButtons();
    // Background, buttons (none while the load or settings panel is open), hover, and
    // the left-group panel the title opened.
    void Draw();
    // The hovered button: -1 while the load panel is open, else the first button under
    // the cursor.
    void UpdateHover();
    // Acts on the hovered button; the selection passed is not used.
    void OnLButtonUp(int nSelection);
    void Quit();
    void ReleasePictures();

    int GetHoveredButton() const { return m_nHovered; }
    void SetHoveredButton(int n) { m_nHovered = n; }

private:
    int m_nHovered = -1;
    CDXSurface* m_pNormal[kButtonCount] = {};
    CDXSurface* m_pHover[kButtonCount] = {};
};

class CExitGameBox : public CMenuPanel {
public:
    CExitGameBox();
    ~CExitGameBox() override;

    // Loads the pictures on first use, draws the box and the pressed button.
    void Draw();
    // 0 Yes: confirms and asks the game-mode object to act; 1 No. Either hides the box.
    void OnButton(int nSelection);

    int IsConfirmed() const { return m_nConfirmed; }

private:
    CDXSprite* m_pButtons = nullptr;
    int m_nConfirmed = 0;
    CDXSurface* m_pLoaded = nullptr;
    bool m_bTriedLoad = false;
};
