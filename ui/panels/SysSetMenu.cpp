#include "ui/panels/SysSetMenu.h"

#include <algorithm>

#include "CDX/CDXScreen.h"
#include "media/TgaImage.h"
#include "shell/ShellGlobals.h"
#include "ui/ShellServices.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

namespace {

// On the title screen the panel sits in the middle; in the game beside the map.
POINT SetMenuOrigin() { return UiShell()->GetTitleMenu() ? POINT{230, 60} : POINT{40, 10}; }

}  // namespace

CSysSetMenu::CSysSetMenu() : CGamePanel(SetMenuOrigin().x, SetMenuOrigin().y, 340, 440) {
    LoadBackground("SysSetMenu_BKGround.tga");
    AddButton(85, 325, 175, 360, "OK.tga");
    AddButton(175, 325, 265, 360, "Cancel.tga");
    static const int kArrowTops[kSliders] = {78, 168, 260};
    for (int s = 0; s < kSliders; ++s) {
        PanelButton arrow;
        arrow.rc = OffsetBy(RECT{42, kArrowTops[s], 62, kArrowTops[s] + 20}, m_ptOrigin);
        arrow.pHover.reset(LoadMenuTga("Ball_Left[s].tga"));
        m_buttons.push_back(std::move(arrow));
    }
    for (int s = 0; s < kSliders; ++s) {
        PanelButton arrow;
        arrow.rc = OffsetBy(RECT{285, kArrowTops[s], 307, kArrowTops[s] + 20}, m_ptOrigin);
        arrow.pHover.reset(LoadMenuTga("Ball_Right[s].tga"));
        m_buttons.push_back(std::move(arrow));
    }
    for (int s = 0; s < kSliders; ++s)
        for (int k = 0; k < kSteps; ++k) {
            const int nTop = s < 2 ? 78 + 90 * s : 260;
            m_rcNotches[s][k] = OffsetBy(RECT{68 + 19 * k, nTop, 98 + 19 * k, nTop + 20}, m_ptOrigin);
        }
    static const RECT kTracks[kSliders] = {{68, 80, 288, 100}, {68, 168, 288, 188}, {68, 260, 288, 280}};
    for (int s = 0; s < kSliders; ++s) m_rcTracks[s] = OffsetBy(kTracks[s], m_ptOrigin);
    m_rcOkHit = OffsetBy(RECT{85, 340, 175, 360}, m_ptOrigin);
    m_pKnob.reset(LoadMenuTga("ButterFly.tga"));

    CUiShell* pShell = UiShell();
    m_nValues[0] = pShell->GetMusicVolume() / 10;
    const int nEffect = pShell->GetSoundVolume();
    m_nValues[1] = nEffect >= 82 ? (nEffect - 82) / 2 + 1 : 0;
    // The speed slider only shows the walking speed; a speed above 9 would put the knob
    // past the last notch, so the shown value stops at 10.
    m_nValues[2] = pPlayer && pPlayer->nWalkStep >= 4 ? std::min(pPlayer->nWalkStep * 2 - 8, kSteps - 1) : 0;
}

CSysSetMenu::~CSysSetMenu() = default;

void CSysSetMenu::Apply() {
    m_nMusic = m_nValues[0] * 10;
    m_nEffect = m_nValues[1] == 0 ? 50 : 80 + 2 * m_nValues[1];
    UiShell()->SetMusicVolume(m_nMusic);
    UiShell()->SetSoundVolume(m_nEffect);
}

void CSysSetMenu::Draw() {
    if (pBack) {
        if (m_pBackground) m_pBackground->Draw(pBack, m_ptOrigin.x, m_ptOrigin.y, nullptr, 0, 0, 0, 0);
        for (int s = 0; s < kSliders && m_pKnob; ++s) {
            // The speed slider's value may lie past the last notch (speed 10 gives 12):
            // the knob stays on the track.
            const RECT& rc = m_rcNotches[s][std::clamp(m_nValues[s], 0, kSteps - 1)];
            m_pKnob->Draw(pBack, rc.left, rc.top, nullptr, 0, 0, 0, 0);
        }
        for (int i = 0; i < kButtonCount; ++i) {
            const PanelButton& button = m_buttons[size_t(i)];
            CTgaImage* pPicture = i == m_nHover ? button.pHover.get() : button.pNormal.get();
            if (pPicture) pPicture->Draw(pBack, button.rc.left, button.rc.top, nullptr, 0, 0, 0, 0);
        }
    }
    UpdateSetHover();
}

void CSysSetMenu::UpdateSetHover() {
    const POINT pt = ToolBarHost().GetMousePos();
    m_nHover = -1;
    for (int i = 0; i < kButtonCount; ++i) {
        // OK counts only from 15 pixels below its top edge.
        const RECT& rc = i == kOK ? m_rcOkHit : m_buttons[size_t(i)].rc;
        if (PtInRect(rc, pt)) {
            m_nHover = i;
            return;
        }
    }
}

int CSysSetMenu::OnLButtonUp() {
    PlayPanelClick();
    switch (m_nHover) {
    case kOK: Apply(); return kPanelClose;
    case kCancel: return kPanelClose;
    case kLeft1: case kLeft2: case kLeft3: {
        int& n = m_nValues[m_nHover - kLeft1];
        if (n > 0) --n;
        Apply();
        return kPanelHandled;
    }
    case kRight1: case kRight2: case kRight3: {
        int& n = m_nValues[m_nHover - kRight1];
        if (n < kSteps - 1) ++n;
        Apply();
        return kPanelHandled;
    }
    default: return kPanelMissed;
    }
}

void CSysSetMenu::DragSlider() {
    const POINT pt = ToolBarHost().GetMousePos();
    for (int s = 0; s < kSliders; ++s) {
        const RECT& rc = m_rcTracks[s];
        if (PtInRect(rc, pt) && pt.x >= rc.left + 15 && pt.x <= rc.right - 15) {
            m_nValues[s] = std::clamp((pt.x - rc.left) / 19, 0, kSteps - 1);
            break;
        }
    }
    Apply();
}
