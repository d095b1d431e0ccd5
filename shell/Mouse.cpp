#include "shell/Mouse.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "shell/MainFrame.h"
#include "shell/PictureStore.h"
#include "shell/ShellGlobals.h"

namespace {

struct ShapeInfo {
    const char* pszPicture;
    int nSize;
    POINT ptOffset;
};

const ShapeInfo kShapes[5] = {
    {"mouse-1.bmp", 40, {0, 0}},   {"mouse-2.bmp", 30, {15, 15}}, {"mouse-3.bmp", 30, {15, 0}},
    {"mouse-1.bmp", 40, {0, 0}},   {"mouse-4.bmp", 40, {20, 20}},
};

const ShapeInfo& Shape(int nShape) { return kShapes[nShape >= 1 && nShape <= 4 ? nShape : 0]; }

}  // namespace

CMouse::CMouse() : m_dwFrameTime(dwNowTime) {}

CMouse::~CMouse() {
    delete m_pSprite;
    delete m_pAttached;
}

const char* CMouse::ShapePicture(int nShape) { return Shape(nShape).pszPicture; }
int CMouse::ShapeFrameSize(int nShape) { return Shape(nShape).nSize; }
POINT CMouse::ShapeOffset(int nShape) { return Shape(nShape).ptOffset; }

CDXSprite* CMouse::MakeSprite(int nShape) const {
    SetGameFolderCurrent();
    const ShapeInfo& info = Shape(nShape);
    const unsigned nMemory = pFrame ? unsigned(pFrame->m_nScreenMode) : 1u;
    CDXSprite* pSprite = LoadMenuSprite(info.pszPicture, info.nSize, info.nSize, 5, nMemory);
    if (!pSprite) return nullptr;
    pSprite->SetFrame(0);
    if (pScreen && pSprite->GetTile()) pSprite->GetTile()->SetColorKey(pScreen->RgbToPixel(RGB(0, 255, 0)));
    pSprite->SetPos(0, 0);
    return pSprite;
}

bool CMouse::Init() {
    CDXSprite* pSprite = MakeSprite(0);
    if (!pSprite) return false;
    delete m_pSprite;
    m_pSprite = pSprite;
    m_nFrame = 0;
    m_dwFrameTime = dwNowTime;
    return true;
}

bool CMouse::SetShape(int nShape) {
    // The new picture is made before the old one goes, so a failure keeps a cursor.
    CDXSprite* pSprite = MakeSprite(nShape);
    m_nShape = nShape;
    if (nShape >= 1 && nShape <= 4) {
        m_bSpecialShape = 1;
    } else {
        m_bSpecialShape = 0;
        m_nHoverTarget = -1;
    }
    m_nFrame = 0;
    m_dwFrameTime = dwNowTime;
    if (!pSprite) return false;
    delete m_pSprite;
    m_pSprite = pSprite;
    return true;
}

void CMouse::SetColorKey(DWORD dwColour) {
    if (m_pSprite && m_pSprite->GetTile()) m_pSprite->GetTile()->SetColorKey(dwColour);
}

void CMouse::Draw() {
    if (m_pAttached) m_pAttached->SetPos(m_nX, m_nY);
    // The picture kept after a failed shape change may have another frame size; the
    // offset follows the shape that was asked for, as the hot spot does.
    const POINT ptOffset = Shape(m_nShape).ptOffset;
    if (m_pSprite) {
        m_pSprite->SetFrame(DWORD(m_nFrame));
        m_pSprite->SetPos(m_nX - ptOffset.x, m_nY - ptOffset.y);
    }
    if (pFrame && pFrame->m_bSceneShown && pBack) {
        if (m_pAttached) m_pAttached->Draw(pBack, 0, 0, BLT_KEYED);
        if (m_nCarriedItem != -1) {
            DrawItemIcon(m_nCarriedItem, m_nX - 12, m_nY - 12);
        } else if (m_pSprite) {
            m_pSprite->Draw(pBack, 0, 0, BLT_KEYED);
        }
    }
    if (dwNowTime - m_dwFrameTime > 200) {
        m_dwFrameTime = dwNowTime;
        m_nFrame = (m_nFrame + 1) % 5;
    }
}
