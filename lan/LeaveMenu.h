// Two older full-screen menus: the party list on a menu-screen panel, and the options
// and leave screen with music and sound switches and sliders, a walking-speed setting,
// and new-game and leave buttons that each ask first.
#pragma once
#include <memory>
#include "platform/Base.h"
#include "ui/menus/MenuPanel.h"

class CDXSprite;
class CDXSurface;

class CChoosePlayerMenu : public CMenuPanel {
public:
    CChoosePlayerMenu();
    // The panel's picture, then the name of each member in the hero's party; 1.
    int Draw();
    void OnClick();
    // Where member k (counted among those shown) is written; -1 when not shown.
    int ShownRow(int nMember) const;
};

class CLeaveMenu {
public:
    static constexpr int kSprites = 15;
    static constexpr int kRects = 15;
    static constexpr POINT kPromptOrigin{300, 400};

    CLeaveMenu();
    virtual ~CLeaveMenu();
    CLeaveMenu(const CLeaveMenu&) = delete;
    CLeaveMenu& operator=(const CLeaveMenu&) = delete;

    // One frame: 0 once a prompt was confirmed, else 1.
    int Draw();
    void OnClick();
    void LeavePrompt();
    void NewGamePrompt();
    void SetMusicSwitch(int nState);
    void SetSoundSwitch(int nState);

    const RECT& GetRect(int n) const { return m_rc[n]; }
    const CDXSprite* GetSprite(int n) const { return n >= 0 && n < kSprites ? m_pSprite[n].get() : nullptr; }
    // The knob's x (0 music, 1 sound, 2 speed).
    int KnobX(int n) const;

    int m_nMusicVolume = 50;
    int m_nSoundVolume = 50;
    int m_nSpeed = 0;
    int m_bNewGame = 0;
    int m_bNewGamePrompt = 0;
    int m_bLeavePrompt = 0;
    int m_bClose = 0;

private:
    void PlaceKnobs();
    bool RunPrompt(const char* pszQuestion, RECT rcText, bool bLeave);
    void ApplyMusicVolume(int nVolume);

    RECT m_rc[kRects] = {};
    RECT m_rcYes{}, m_rcNo{};
    std::unique_ptr<CDXSprite> m_pSprite[kSprites];
    std::unique_ptr<CDXSurface> m_pPrompt;
    std::unique_ptr<CDXSurface> m_pBackground;
};
