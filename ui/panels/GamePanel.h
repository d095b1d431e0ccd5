// The protocol every in-game panel follows: pictures from the menu package, a hover
// index recomputed at the end of each draw, a panel rectangle for the cursor test, and
// a code returned by each click that tells the host what to do. A panel never deletes
// itself or its neighbours: it returns a code and the host acts after the call returns.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/Base.h"

class CTgaImage;
class CPlayer;

// What a panel's OnLButtonUp asks of its host.
enum PanelCode : int {
    kPanelMissed = -1,     // nothing was hit; the click is not passed on to the map
    kPanelHandled = 0,     // handled, the panel stays open
    kPanelHandledOne = 1,  // handled (the system menu: open the settings panel)
    kPanelClose = 2,       // close this panel
    kPanelRequest3 = 3,    // panel-specific requests 3..6 (save, load, item, skill, ...)
    kPanelRequest4 = 4,
    kPanelRequest5 = 5,
    kPanelRequest6 = 6,
    kPanelCloseAll = 7,    // close every panel (a game was loaded)
};

// A picture button: normal and hover pictures drawn at the rectangle's top-left corner.
struct PanelButton {
    RECT rc{};
    std::unique_ptr<CTgaImage> pNormal;
    std::unique_ptr<CTgaImage> pHover;
};

class CGamePanel {
public:
    CGamePanel(int x, int y, int nWidth, int nHeight);
    virtual ~CGamePanel();
    CGamePanel(const CGamePanel&) = delete;
    CGamePanel& operator=(const CGamePanel&) = delete;

    // Draws the panel, then recomputes the hover index.
    virtual void Draw();
    // True when the cursor lies in the panel rectangle.
    virtual bool IsMouseIn() const;
    // Acts on the button of the hover index; a PanelCode.
    virtual int OnLButtonUp() { return kPanelMissed; }
    // Live hover or dragging between draws (load, save and settings panels).
    virtual void OnMouseMove() {}
    // Keys and right clicks a panel takes: nonzero when taken.
    virtual int OnKeyDown(int nKey) { (void)nKey; return 0; }
    virtual int OnRButtonDown() { return 0; }
    // The skill panel's double-click and right-click action: true when a skill was used.
    virtual bool UseSelectedSkill() { return false; }
    // The state panel's flag of an open side panel.
    virtual void ResetSidePanel() {}
    // The item panel's page of a family, rebuilt and shown after a placement.
    virtual void ShowBagPage(int nPage) { (void)nPage; }
    // Shows the hero's state again after a script or a party change altered it.
    virtual void Refresh() {}
    // The state panel draws its connector to a right-hand panel while its flag is set.
    virtual void DrawConnectorIfShown() {}

    int GetHover() const { return m_nHover; }
    const RECT& GetPanelRect() const { return m_rcPanel; }
    POINT GetOrigin() const { return m_ptOrigin; }
    int GetButtonCount() const { return int(m_buttons.size()); }
    const RECT& GetButtonRect(int n) const { return m_buttons[size_t(n)].rc; }

protected:
    // Loads the background picture; a missing picture draws nothing.
    void LoadBackground(const char* pszName);
    // Adds a button at a panel-relative rectangle with its picture and the "[s]" twin.
    void AddButton(int l, int t, int r, int b, const char* pszPicture);
    // The same for a button the background draws at rest: only the "[s]" twin is loaded.
    void AddHoverButton(int l, int t, int r, int b, const char* pszPicture);
    // Background, the hovered button's hover picture, every other button's normal one.
    void DrawPictures();
    // The first button (in index order) under the cursor, -1 when none.
    void UpdateHover();

    int m_nHover = -1;
    std::vector<PanelButton> m_buttons;
    RECT m_rcPanel{};
    POINT m_ptOrigin{};
    std::unique_ptr<CTgaImage> m_pBackground;
};

// The picture name with "[s]" before the extension ("SaveGame.tga" -> "SaveGame[s].tga").
std::string HoverPictureName(const char* pszName);
// The click sound of every panel button (sound effect 5).
void PlayPanelClick();
// Fills the back buffer after a panel closed: white in scenes 20, 23, 24 and 25, else black.
void ClearBackBuffer(int nScene);
// True for the scenes whose cleared screen is white.
bool IsWhiteScene(int nScene);

// Text on the back buffer: a face named in the game's text encoding ("Arial", or
// PanelScriptFace), then texts in it.
void SetPanelFont(const char* pszFace, int nWidth, int nHeight, int nWeight = 400);
// The brush-script face ("隶书") of the character panels, converted once.
const char* PanelScriptFace();
void DrawPanelText(const char* pszText, COLORREF cr, RECT rc, UINT uFormat);
// The back buffer's usual font, "Arial" height 15, as every panel leaves it.
void RestorePanelFont();
// A character's name (centred in rcName, "隶书" 11 x 20) and five numbers, one per row
// ("隶书" 11 x 17, word-break), all in red: the first row's value, life/maximum,
// mana/maximum, attack and defence. The font returns to "Arial" 15 afterwards.
void DrawHeroNumbers(const CPlayer& hero, int nFirstValue, const RECT& rcName, const RECT pRows[5]);
// Moves a rectangle by a point.
RECT OffsetBy(const RECT& rc, POINT pt);
// The toolbar that hosts the panels; null before there is one.
class CGameToolBar;
CGameToolBar* HostToolBar();
