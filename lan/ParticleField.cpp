#include "lan/ParticleField.h"

#include "CDX/CDXScreen.h"
#include "platform/Clock.h"

#include <algorithm>

namespace {

// A random whole number in 0..nMax.
int RandUpTo(int nMax) { return nMax <= 0 ? 0 : Rand() % (nMax + 1); }
// A random whole number in nLow..nHigh - 1 (nLow for an empty range).
int RandIn(int nLow, int nHigh) { return nHigh <= nLow ? nLow : nLow + Rand() % (nHigh - nLow); }

constexpr int STAR_DEPTH_FAR = 255;
constexpr int STAR_DEPTH_LIMIT = 1 << 16;

}  // namespace

CParticleField::CParticleField(CDXScreen* pScreen) : m_pScreen(pScreen) {
    if (pScreen != nullptr) {
        m_nWidth = pScreen->GetWidth();
        m_nHeight = pScreen->GetHeight();
    }
    m_nCentreX = m_nWidth;
    m_nCentreY = m_nHeight;
    m_nRight = m_nWidth;
    m_nBottom = m_nHeight;
}

void CParticleField::SetCount(int nCount) { m_nCount = std::clamp(nCount, 0, MAX_PARTICLES); }

void CParticleField::SetArea(int nLeft, int nRight, int nTop, int nBottom) {
    m_nLeft = std::clamp(nLeft, 0, m_nWidth);
    m_nRight = std::clamp(nRight, m_nLeft, m_nWidth);
    m_nTop = std::clamp(nTop, 0, m_nHeight);
    m_nBottom = std::clamp(nBottom, m_nTop, m_nHeight);
}

int CParticleField::BandSpeed(int nDepth) const { return m_nSpeed + 4 - std::clamp(nDepth / 50, 0, 4); }

int CParticleField::BandColour(int nDepth) const {
    if (m_bRandomBand) return RandUpTo(m_nMode <= 1 ? 255 : 254);
    return 244 - std::clamp(nDepth / 50, 0, 4);
}

void CParticleField::PlaceStar(Particle& p) {
    p.x = RandIn(-m_nWidth / 2, m_nWidth / 2 + 1);
    p.y = RandIn(-m_nHeight / 2, m_nHeight / 2 + 1);
    // The projection divides by the depth, so it stays at 1 or more.
    p.nDepth = m_bDirection ? STAR_DEPTH_FAR : 1 + RandUpTo(STAR_DEPTH_FAR - 1);
    p.nColour = RandUpTo(65534);
}

void CParticleField::Place(Particle& p) {
    switch (m_nMode) {
    case 0:
        p.x = RandUpTo(m_nWidth);
        p.y = RandIn(m_nTop, m_nBottom);
        break;
    case 1:
        p.x = RandIn(m_nLeft, m_nRight);
        p.y = RandUpTo(m_nHeight);
        break;
    case 2:
        PlaceStar(p);
        p.nDepth = 1 + RandUpTo(STAR_DEPTH_FAR - 1);
        return;
    case 3:
        p.x = RandIn(m_nLeft, m_nRight);
        p.y = RandIn(m_nTop, m_nBottom);
        break;
    default:
        p.x = RandUpTo(m_nRight - m_nLeft);
        p.y = RandUpTo(m_nBottom - m_nTop);
        break;
    }
    p.nDepth = RandUpTo(254);
    p.nColour = BandColour(p.nDepth);
}

void CParticleField::Init() {
    Srand(TimeGetTime());
    for (int i = 0; i < m_nCount; ++i) Place(m_particles[size_t(i)]);
}

void CParticleField::MoveStream(Particle& p, bool bVertical) {
    int nStep = BandSpeed(p.nDepth);
    int& nPos = bVertical ? p.y : p.x;
    const int nLow = bVertical ? m_nTop : m_nLeft;
    const int nHigh = bVertical ? m_nBottom : m_nRight;
    nPos += m_bDirection ? -nStep : nStep;
    if (nPos >= nLow && nPos < nHigh) return;
    // Re-enter at the opposite edge, a little outside, on a new line across the stream.
    const int nReach = bVertical ? 20 : 50;
    nPos = nPos < nLow ? nHigh + RandUpTo(nReach) : nLow - RandUpTo(nReach);
    if (bVertical)
        p.x = RandIn(m_nLeft, m_nRight);
    else
        p.y = RandIn(m_nTop, m_nBottom);
    p.nDepth = RandUpTo(254);
    p.nColour = BandColour(p.nDepth);
}

void CParticleField::Plot(BYTE* pBits, int nPitch, int x, int y) {
    if (x < m_nLeft || x >= m_nRight || y < m_nTop || y >= m_nBottom) return;
    if (x < 0 || y < 0 || x >= m_nBackWidth || y >= m_nBackHeight) return;
    DWORD dwColour = m_bRandomColour ? DWORD(RandUpTo(65534)) : 65535u;
    BYTE* pPixel = pBits + std::ptrdiff_t(y) * nPitch + std::ptrdiff_t(x) * m_nBytes;
    if (m_nBytes == 2) {
        pPixel[0] = BYTE(dwColour & 0xFF);
        pPixel[1] = BYTE(dwColour >> 8);
    } else {
        for (int i = 0; i < m_nBytes; ++i) pPixel[i] = BYTE(dwColour >> (8 * i));
    }
}

void CParticleField::Draw() {
    if (m_pScreen == nullptr || m_pScreen->GetBack() == nullptr) return;
    CDXSurface* pBack = m_pScreen->GetBack();
    if (pBack->Lock() < 0) return;
    BYTE* pBits = pBack->GetLockedBits();
    int nPitch = pBack->GetPitch();
    m_nBackWidth = pBits != nullptr ? pBack->GetWidth() : 0;
    m_nBackHeight = pBits != nullptr ? pBack->GetHeight() : 0;
    m_nBytes = std::max(1, int(m_pScreen->GetBpp() + 7) / 8);
    for (int i = 0; i < m_nCount; ++i) {
        Particle& p = m_particles[size_t(i)];
        if (m_bTwinkle && m_nMode != 2) p.nColour = BandColour(p.nDepth);
        switch (m_nMode) {
        case 0: MoveStream(p, false); break;
        case 2: {
            if (p.nDepth < 1) p.nDepth = 1;
            int sx = p.x * 128 / p.nDepth + m_nCentreX;
            int sy = p.y * 128 / p.nDepth + m_nCentreY;
            if (sx < m_nLeft || sx >= m_nRight || sy < m_nTop || sy >= m_nBottom) {
                PlaceStar(p);
                continue;
            }
            p.nScreenX = sx;
            p.nScreenY = sy;
            p.nDepth += m_bDirection ? -m_nSpeed : m_nSpeed;
            // A star that passed the viewer or went out of sight starts again.
            if (p.nDepth < 1 || p.nDepth > STAR_DEPTH_LIMIT) PlaceStar(p);
            Plot(pBits, nPitch, sx, sy);
            continue;
        }
        case 3:
            MoveStream(p, false);
            MoveStream(p, true);
            break;
        default: MoveStream(p, true); break;
        }
        Plot(pBits, nPitch, p.x, p.y);
    }
    pBack->Unlock();
}

void CParticleField::Tick(bool bClear) {
    if (bClear && m_pScreen != nullptr && m_pScreen->GetBack() != nullptr) m_pScreen->GetBack()->Fill(0);
    Draw();
}
