#include "ui/panels/SceneMapView.h"

#include <cstdint>
#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "world/Player.h"
#include "world/Scene.h"

CSceneMapView::CSceneMapView(int nScene) : CGamePanel(0, 0, 0, 0) {
    m_pMarker.reset(LoadMenuSurface("PlayerPos.bmp", true));
    char szName[32];
    std::snprintf(szName, sizeof szName, "Scene%03d.bmp", nScene);
    m_pMap.reset(LoadMenuSurface(szName, true));
    if (m_pMap) SetPictureSize(m_pMap->GetWidth(), m_pMap->GetHeight());
    Update();
}

CSceneMapView::~CSceneMapView() = default;

void CSceneMapView::SetPictureSize(int w, int h) {
    m_nWidth = w;
    m_nHeight = h;
    m_ptWindow = POINT{w < kWindow ? 800 - w : 560, 1};
}

void CSceneMapView::Update() {
    if (!pScene || !pPlayer) return;
    UpdateFrom(SceneMapInput{pPlayer->ptPos, pScene->rcMap, pScene->ptView});
}

void CSceneMapView::UpdateFrom(const SceneMapInput& in) {
    const std::int64_t w = m_nWidth, h = m_nHeight;
    const std::int64_t sw = std::int64_t(in.rcMap.right) - in.rcMap.left, sh = std::int64_t(in.rcMap.bottom) - in.rcMap.top;
    m_bShown = w > 0 && h > 0 && sw > 0 && sh > 0;
    if (!m_bShown) return;
    std::int64_t x = in.ptHero.x * w / sw, y = in.ptHero.y * h / sh;
    if (x < 20) x = 20;
    if (y < 15) y = 15;
    if (x + 20 > w) x = w - 20;
    if (y + 15 > h) y = h - 15;
    std::int64_t ox = (std::int64_t(in.ptView.x) - 800) * w / sw, oy = (std::int64_t(in.ptView.y) - 600) * h / sh;
    if (ox + kWindow > w) ox = w - kWindow;
    if (ox < 0) ox = 0;
    if (oy + kWindow > h) oy = h - kWindow;
    if (oy < 0) oy = 0;
    m_ptOffset = POINT{int(ox), int(oy)};
    m_rcSource = RECT{int(ox), int(oy), int(ox) + kWindow, int(oy) + kWindow};
    m_ptMarker = POINT{int(x + m_ptWindow.x - ox), int(y + m_ptWindow.y - oy)};
    m_rcMarker = RECT{m_ptMarker.x - 20, m_ptMarker.y - 15, m_ptMarker.x + 20, m_ptMarker.y + 15};
}

void CSceneMapView::Draw() {
    // Without its picture or with a scene of no extent the map shows nothing.
    if (pBack && m_pMap && m_bShown) {
        RECT rc = m_rcSource;
        m_pMap->BlitKeyed(pBack, m_ptWindow.x, m_ptWindow.y, &rc);
        if (m_pMarker) m_pMarker->BlitOpaque(pBack, m_ptMarker.x - 2, m_ptMarker.y - 2);
        if (pScreen)
            pBack->Rect(m_rcMarker.left, m_rcMarker.top, m_rcMarker.right, m_rcMarker.bottom,
                        pScreen->RgbToPixel(RGB(255, 255, 255), pBack));
    }
    Update();
}
