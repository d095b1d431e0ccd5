#include "lan/ScenePicture.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "lan/LanPictures.h"
#include "platform/Window.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"

namespace {
// The panel's pictures: 1 its frame, 2 the open tab (two tiles: plain, lit), 3 the
// marker, 4 the close tab, 5 the close tab lit.
const LanPicture kPictures[5] = {
    {"ScenePanel.bmp", 160, 150, 1}, {"ScenePanelOpen.bmp", 40, 20, 2}, {"ScenePanelMark.bmp", 10, 10, 1},
    {"ScenePanelClose.bmp", 30, 30, 2}, {"ScenePanelClose.bmp", 30, 30, 2},
};

int ScreenWidth() { return pGameData && pGameData->pOptions ? pGameData->pOptions->nScreenWidth : 800; }
RECT SpriteRect(const CDXSprite* p, int w, int h) {
    return p ? RECT{p->GetPosX(), p->GetPosY(), p->GetPosX() + w, p->GetPosY() + h} : RECT{0, 0, 0, 0};
}
int StepToward(int v, int lo, int hi) { return v < lo ? v + 5 : v > hi ? v - 5 : v; }
}  // namespace

SIZE CScenePicture::PictureSize(int n) {
    switch (n) {
    case 0: return SIZE{134, 120};
    case 1: return SIZE{134, 96};
    case 3: return SIZE{134, 56};
    case 6: case 7: case 23: case 35: return SIZE{133, 85};
    case 14: return SIZE{102, 131};
    case 15: case 29: case 31: case 44: case 45: case 46: case 47: case 48: return SIZE{133, 100};
    case 17: return SIZE{96, 131};
    case 18: case 28: case 54: case 55: return SIZE{133, 70};
    case 22: case 32: case 33: case 49: case 51: return SIZE{133, 60};
    case 52: case 53: return SIZE{118, 130};
    default: return SIZE{134, 132};
    }
}

CScenePicture::CScenePicture(CDXScreen* pScreen, int nScene) : m_nScene(nScene) {
    (void)pScreen;
    m_ptOrigin = POINT{ScreenWidth() - 175, 0};
    m_ptBox = POINT{m_ptOrigin.x + 8, m_ptOrigin.y + 5};
    m_ptMarker = m_ptBox;
    const POINT at[5] = {{m_ptOrigin.x - 10, m_ptOrigin.y - 10}, {m_ptOrigin.x + 100, m_ptOrigin.y},
                         m_ptOrigin, {m_ptOrigin.x + 138, m_ptOrigin.y + 30}, {m_ptOrigin.x + 138, m_ptOrigin.y + 85}};
    for (int i = 0; i < 5; ++i) m_pSprite[1 + i].reset(MakeLanSprite(kPictures[i], i == 4 ? 1 : 0, at[i].x, at[i].y));
    char szName[32];
    std::snprintf(szName, sizeof(szName), "scene%03d.bmp", nScene);
    m_pPicture.reset(LoadMenuSurface(szName, true));
}

CScenePicture::~CScenePicture() = default;

RECT CScenePicture::OpenTab() const { return SpriteRect(m_pSprite[2].get(), 40, 20); }
RECT CScenePicture::CloseTab() const { return SpriteRect(m_pSprite[4].get(), 30, 30); }

void CScenePicture::SetScale(int x, int y, int nScene) {
    const SIZE size = PictureSize(nScene);
    m_ptScale = POINT{x * 64 / size.cx, y * 32 / size.cy};
}

void CScenePicture::MoveMarker(int x, int y) {
    const int nRight = m_ptBox.x + kBoxWidth, nBottom = m_ptBox.y + kBoxHeight;
    const bool bOutside = m_ptMarker.x < m_ptBox.x || m_ptMarker.x > nRight || m_ptMarker.y < m_ptBox.y ||
                          m_ptMarker.y > nBottom;
    if (bOutside) {
        m_ptMarker = POINT{StepToward(m_ptMarker.x, m_ptBox.x, nRight), StepToward(m_ptMarker.y, m_ptBox.y, nBottom)};
        return;
    }
    // Without a scale the hero's place cannot be mapped: the marker waits at the box origin.
    if (m_ptScale.x == 0 || m_ptScale.y == 0) {
        m_ptMarker = m_ptBox;
        return;
    }
    m_ptMarker = POINT{m_ptBox.x + x / m_ptScale.x - 5, m_ptBox.y + y / m_ptScale.y - 5};
}

int CScenePicture::Draw(int nScene, int nHeroX, int nHeroY) {
    m_nScene = nScene;
    const POINT pt = pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{-1, -1};
    const bool bClick = pMouse && pMouse->m_bClick;
    if (m_bOpen) {
        MoveMarker(nHeroX, nHeroY);
        if (pBack) {
            // The frame lies over the picture and the marker, its keyed middle the window.
            if (m_pPicture) m_pPicture->BlitKeyed(pBack, m_ptBox.x, m_ptBox.y);
            if (m_pSprite[3]) {
                m_pSprite[3]->SetPos(m_ptMarker.x, m_ptMarker.y);
                m_pSprite[3]->Draw(pBack, 0, 0, BLT_KEYED);
            }
            for (int n : {1, 4})
                if (m_pSprite[n]) m_pSprite[n]->Draw(pBack, 0, 0, BLT_KEYED);
        }
        if (PtInRect(CloseTab(), pt)) {
            if (m_pSprite[5] && pBack) {
                m_pSprite[5]->SetPos(m_pSprite[4] ? m_pSprite[4]->GetPosX() : 0, m_pSprite[4] ? m_pSprite[4]->GetPosY() : 0);
                m_pSprite[5]->Draw(pBack, 0, 0, BLT_KEYED);
            }
            if (bClick) m_bOpen = 0;
        }
        return 1;
    }
    const bool bHover = PtInRect(OpenTab(), pt);
    if (m_pSprite[2]) {
        m_pSprite[2]->SetFrame(bHover ? 1 : 0);
        if (pBack) m_pSprite[2]->Draw(pBack, 0, 0, BLT_KEYED);
    }
    if (bHover && bClick) m_bOpen = 1;
    return 1;
}
