#include "ui/panels/GamePanel.h"

#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "media/TgaImage.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/ToolBarHost.h"

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
