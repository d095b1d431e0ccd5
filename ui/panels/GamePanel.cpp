#include "ui/panels/GamePanel.h"

#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "platform/Text.h"
#include "shell/FrameLinks.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

CGamePanel::CGamePanel(int x, int y, int nWidth, int nHeight)
    : m_rcPanel{x, y, x + nWidth, y + nHeight}, m_ptOrigin{x, y} {
    SetGameFolderCurrent();
}

CGamePanel::~CGamePanel() = default;

void CGamePanel::LoadBackground(const char* pszName) { m_pBackground.reset(LoadMenuTga(pszName)); }

void CGamePanel::AddButton(int l, int t, int r, int b, const char* pszPicture) {
    PanelButton button;
    button.rc = RECT{l + m_ptOrigin.x, t + m_ptOrigin.y, r + m_ptOrigin.x, b + m_ptOrigin.y};
    button.pNormal.reset(LoadMenuTga(pszPicture));
    button.pHover.reset(LoadMenuTga(HoverPictureName(pszPicture).c_str()));
    m_buttons.push_back(std::move(button));
}

void CGamePanel::AddHoverButton(int l, int t, int r, int b, const char* pszPicture) {
    PanelButton button;
    button.rc = RECT{l + m_ptOrigin.x, t + m_ptOrigin.y, r + m_ptOrigin.x, b + m_ptOrigin.y};
    button.pHover.reset(LoadMenuTga(HoverPictureName(pszPicture).c_str()));
    m_buttons.push_back(std::move(button));
}

void CGamePanel::Draw() {
    DrawPictures();
    UpdateHover();
}

void CGamePanel::DrawPictures() {
    if (!pBack) return;
    if (m_pBackground) m_pBackground->Draw(pBack, m_ptOrigin.x, m_ptOrigin.y, nullptr, 0, 0, 0, 0);
    for (int i = 0; i < int(m_buttons.size()); ++i) {
        const PanelButton& button = m_buttons[size_t(i)];
        CTgaImage* pPicture = i == m_nHover ? button.pHover.get() : button.pNormal.get();
        if (pPicture) pPicture->Draw(pBack, button.rc.left, button.rc.top, nullptr, 0, 0, 0, 0);
    }
}

void CGamePanel::UpdateHover() {
    const POINT pt = ToolBarHost().GetMousePos();
    m_nHover = -1;
    for (int i = 0; i < int(m_buttons.size()); ++i) {
        if (PtInRect(m_buttons[size_t(i)].rc, pt)) {
            m_nHover = i;
            return;
        }
    }
}

bool CGamePanel::IsMouseIn() const { return PtInRect(m_rcPanel, ToolBarHost().GetMousePos()); }

std::string HoverPictureName(const char* pszName) {
    std::string name(pszName ? pszName : "");
    const size_t nDot = name.rfind('.');
    if (nDot == std::string::npos) return name + "[s]";
    return name.substr(0, nDot) + "[s]" + name.substr(nDot);
}

void PlayPanelClick() { ToolBarHost().PlaySound(5); }

bool IsWhiteScene(int nScene) { return nScene == 20 || nScene == 23 || nScene == 24 || nScene == 25; }

void ClearBackBuffer(int nScene) {
    if (!pBack) return;
    const COLORREF cr = IsWhiteScene(nScene) ? RGB(255, 255, 255) : RGB(0, 0, 0);
    pBack->Fill(pScreen ? pScreen->RgbToPixel(cr, pBack) : (cr ? 0xFFFF : 0));
}

const char* PanelScriptFace() {
    static const std::string s = Utf8ToText("隶书");
    return s.c_str();
}

void SetPanelFont(const char* pszFace, int nWidth, int nHeight, int nWeight) {
    if (pBack) pBack->ChangeFont(pszFace, nWidth, nHeight, nCharSet, nWeight, 0);
}

void DrawPanelText(const char* pszText, COLORREF cr, RECT rc, UINT uFormat) {
    if (pBack && pszText) pBack->DrawText(pszText, cr, &rc, uFormat);
}

void RestorePanelFont() { SetPanelFont("Arial", 0, 15); }

void DrawHeroNumbers(const CPlayer& hero, int nFirstValue, const RECT& rcName, const RECT pRows[5]) {
    constexpr COLORREF kRed = RGB(255, 0, 0);
    SetPanelFont(PanelScriptFace(), 11, 20);
    // The name field may lack its terminator in a damaged record: copy it bounded.
    char szName[sizeof hero.szName + 1] = {};
    std::snprintf(szName, sizeof szName, "%.*s", int(sizeof hero.szName), hero.szName);
    DrawPanelText(szName, kRed, rcName, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetPanelFont(PanelScriptFace(), 11, 17);
    char sz[5][48];
    std::snprintf(sz[0], sizeof sz[0], "%d", nFirstValue);
    std::snprintf(sz[1], sizeof sz[1], "%d/%d", hero.nLife, hero.nLifeMax);
    std::snprintf(sz[2], sizeof sz[2], "%d/%d", hero.nMana, hero.nManaMax);
    std::snprintf(sz[3], sizeof sz[3], "%d", hero.nAttack);
    std::snprintf(sz[4], sizeof sz[4], "%d", hero.nDefence);
    for (int i = 0; i < 5; ++i) DrawPanelText(sz[i], kRed, pRows[i], DT_WORDBREAK);
    RestorePanelFont();
}

RECT OffsetBy(const RECT& rc, POINT pt) { return RECT{rc.left + pt.x, rc.top + pt.y, rc.right + pt.x, rc.bottom + pt.y}; }

CGameToolBar* HostToolBar() { return PanelLink().GetToolBar(); }
