#include "lan/SmallPicture.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "lan/LanPictures.h"

CSmallPicture::CSmallPicture(int) {}

CSmallPicture::~CSmallPicture() = default;

bool CSmallPicture::CreateSprite(int nTile) {
    m_pSprite.reset(MakeLanSprite({"Smallpicture.bmp", 35, 40, 5}, nTile, m_pt.x, m_pt.y));
    return m_pSprite != nullptr;
}

int CSmallPicture::Move(int nState, const CDXSprite* pA, const CDXSprite* pB) {
    if (nState != 0) {
        if (!m_bFlying) m_pt.y += 8;
        else if (m_pt.x < 80) m_pt.y += 2;
        else if (m_pt.y < 50) m_pt.x -= 2;
        else m_pt.y -= 2;
    }
    if (m_pSprite) m_pSprite->SetPos(m_pt.x, m_pt.y);
    const bool bTouch = m_pSprite && ((pA && m_pSprite->HitsBox(pA)) || (pB && m_pSprite->HitsBox(pB)));
    if (bTouch) {
        nState = 0;
        m_pt = kStart;
        m_bFlying = 1;
    }
    return nState;
}

int CSmallPicture::Update(int nState, const CDXSprite* pA, const CDXSprite* pB) {
    nState = Move(nState, pA, pB);
    if (m_pSprite) {
        m_pSprite->SetPos(m_pt.x, m_pt.y);
        if (pBack) m_pSprite->Draw(pBack, 0, 0, BLT_KEYED);
    }
    return nState;
}

void CSmallPicture::CheckArea(int, int x, int y) {
    if (x > 450 && x < 500 && y >= 31 && y < 100 && m_pt.x > 450 && m_pt.x < 500) m_bFlying = 0;
}
