#include "CDX/CDXSprite.h"

#include <algorithm>
#include <cmath>

#include "CDX/BlitPixel.h"

namespace {

// The sprite modes the game itself never uses (scaled, shadow, rotated, mirrored), drawn
// plainly: every destination pixel inside the mode's box looks up its source pixel through
// the inverse mapping (nearest neighbour), keyed modes skip key pixels.
enum class TransformKind { Scaled, RotoZoom, Mirror, Flip, Shadow, HalfShadow };

struct TransformJob {
    TransformKind kind;
    bool bKeyed;
    double fX, fY;      // top-left corner, or the centre for RotoZoom
    double fScale;
    double fCos, fSin;  // rotation for RotoZoom
    int nShadowAlpha;   // 0 black to 256 invisible
};

template <int D>
void TransformRows(const TransformJob& j, const BYTE* pSrc, int nSrcPitch, int tw, int th, DWORD dwKey, BYTE* pDst,
                   int nDstPitch, const RECT& box) {
    constexpr int B = PixelTraits<D>::kBytes;
    for (int Y = box.top; Y < box.bottom; ++Y) {
        BYTE* d = pDst + std::ptrdiff_t(Y) * nDstPitch;
        for (int X = box.left; X < box.right; ++X) {
            const double px = X + 0.5 - j.fX, py = Y + 0.5 - j.fY;
            double u = px, v = py;
            switch (j.kind) {
            case TransformKind::Scaled:
                u = px / j.fScale;
                v = py / j.fScale;
                break;
            case TransformKind::RotoZoom:
                // The frame's pixel (tw / 2, th / 2) sits on the centre point.
                u = tw / 2 + (j.fCos * px + j.fSin * py) / j.fScale;
                v = th / 2 + (-j.fSin * px + j.fCos * py) / j.fScale;
                break;
            case TransformKind::Mirror: u = tw - px; break;
            case TransformKind::Flip: v = th - py; break;
            default: break;
            }
            if (!(u >= 0 && v >= 0 && u < tw && v < th)) continue;
            const DWORD s = LoadPixel<D>(pSrc + std::ptrdiff_t(int(v)) * nSrcPitch + int(u) * B);
            if (j.bKeyed && IsKeyPixel<D>(s, dwKey)) continue;
            BYTE* p = d + std::ptrdiff_t(X) * B;
            if (j.kind == TransformKind::Shadow) {
                const int a = j.nShadowAlpha;
                StorePixel<D>(p, PerChannel<D>(s, LoadPixel<D>(p), [a](int, int dc) { return (dc * a) >> 8; }));
            } else if (j.kind == TransformKind::HalfShadow) {
                const DWORD dp = LoadPixel<D>(p);
                DWORD out = (dp >> 1) & PixelTraits<D>::kHalfMask;
                if constexpr (D == 32) out |= dp & 0xFF000000u;
                StorePixel<D>(p, out);
            } else {
                StorePixel<D>(p, s);
            }
        }
    }
}

int TransformBlit(CDXSurface* pSrc, RECT frame, CDXSurface* pDest, const TransformJob& j) {
    if (!pDest || !pSrc->ClipToRect(&frame)) return 0;
    const int tw = frame.right - frame.left, th = frame.bottom - frame.top;
    if (tw < 1 || th < 1) return 0;
    // The destination box the mode can reach.
    RECT box;
    if (j.kind == TransformKind::Scaled) {
        if (!(j.fScale > 0)) return 0;
        box = RECT{LONG(j.fX), LONG(j.fY), LONG(j.fX + std::floor(tw * j.fScale + 0.5)),
                   LONG(j.fY + std::floor(th * j.fScale + 0.5))};
    } else if (j.kind == TransformKind::RotoZoom) {
        if (!(j.fScale > 0)) return 0;
        // The rotated and scaled corners of the frame around the centre point.
        double fMinX = 0, fMinY = 0, fMaxX = 0, fMaxY = 0;
        for (int i = 0; i < 4; ++i) {
            const double cx = ((i & 1) ? tw - tw / 2 : -(tw / 2)) * j.fScale;
            const double cy = ((i & 2) ? th - th / 2 : -(th / 2)) * j.fScale;
            const double rx = j.fCos * cx - j.fSin * cy, ry = j.fSin * cx + j.fCos * cy;
            fMinX = i ? std::min(fMinX, rx) : rx;
            fMaxX = i ? std::max(fMaxX, rx) : rx;
            fMinY = i ? std::min(fMinY, ry) : ry;
            fMaxY = i ? std::max(fMaxY, ry) : ry;
        }
        box = RECT{LONG(std::floor(j.fX + fMinX)), LONG(std::floor(j.fY + fMinY)), LONG(std::ceil(j.fX + fMaxX)),
                   LONG(std::ceil(j.fY + fMaxY))};
    } else {
        box = RECT{LONG(j.fX), LONG(j.fY), LONG(j.fX) + tw, LONG(j.fY) + th};
    }
    if (!pDest->ClipToRect(&box) || box.right <= box.left || box.bottom <= box.top) return 0;
    const DWORD dwBpp = pDest->PixelFormat().dwBitsPerPixel;
    if (BlitDepthIndex(dwBpp) < 0 || pSrc->PixelFormat().dwBitsPerPixel != dwBpp) return 0;
    CDXSurface::CBlitAccess px(pSrc, pDest);
    if (Failed(px.Result())) return px.Result();
    const BYTE* s = px.Src(frame.left, frame.top);
    const DWORD key = pSrc->GetColorKey();
    BYTE* d = px.Dst(0, 0);
    switch (dwBpp) {
    case 15: TransformRows<15>(j, s, px.SrcPitch(), tw, th, key, d, px.DstPitch(), box); break;
    case 16: TransformRows<16>(j, s, px.SrcPitch(), tw, th, key, d, px.DstPitch(), box); break;
    case 24: TransformRows<24>(j, s, px.SrcPitch(), tw, th, key, d, px.DstPitch(), box); break;
    default: TransformRows<32>(j, s, px.SrcPitch(), tw, th, key, d, px.DstPitch(), box); break;
    }
    return 0;
}

}  // namespace

CDXSprite::CDXSprite() = default;

CDXSprite::~CDXSprite() {
    if (m_dwOwnsTile) delete m_pTile;
}

int CDXSprite::Create(CDXScreen* pScreen, FILE* pStream, int nTileWidth, int nTileHeight, int nTileCount,
                      DWORD memoryType) {
    if (!pStream) return 0;
    m_nPosX = m_nPosY = 0;
    m_dwFrame = 0;
    m_nAngle = 0;
    CDXTile* pTile = new CDXTile();
    if (!pTile->CreateFromStream(pScreen, pStream, nTileWidth, nTileHeight, nTileCount, memoryType)) {
        delete pTile;
        return 0;
    }
    if (m_dwOwnsTile) delete m_pTile;
    m_pTile = pTile;
    m_alpha = 0;
    m_shadowAlpha = 0;
    m_dwOwnsTile = 1;
    return 1;
}

int CDXSprite::CreateFromTileFile(CDXScreen* pScreen, const char* pszName, int nTileWidth, int nTileHeight,
                                  int nTileCount, DWORD memoryType) {
    if (!pszName) return -1;
    if (m_pTile) return -2;
    CDXTile* pTile = new CDXTile();
    if (pTile->Create(pScreen, pszName, nTileWidth, nTileHeight, nTileCount, memoryType) != 1) {
        delete pTile;
        return -3;
    }
    m_pTile = pTile;
    m_dwOwnsTile = 1;
    return 1;
}

int CDXSprite::SetColorKey() { return m_pTile ? m_pTile->SetColorKeyFromCorner() : -1; }

int CDXSprite::Draw(CDXSurface* pDest, int nScrollX, int nScrollY, WORD blitType) {
    if (!m_pTile) return -1;
    const int tw = m_pTile->GetTileWidth(), th = m_pTile->GetTileHeight();
    // A sheet without tiles draws nothing, and no size divides by zero.
    if (tw <= 0 || th <= 0) return -1;
    const int nColumns = m_pTile->GetWidth() / tw;
    if (nColumns <= 0) return -1;
    const LONG nColumn = LONG(m_dwFrame % DWORD(nColumns)), nRow = LONG(m_dwFrame / DWORD(nColumns));
    const RECT rc{nColumn * tw, nRow * th, nColumn * tw + tw, nRow * th + th};
    const int x = m_nPosX - nScrollX, y = m_nPosY - nScrollY;
    const WORD base = blitType >= 100 && blitType <= 110 ? WORD(blitType - 100) : blitType;
    const bool bKeyed = blitType >= 100 && blitType <= 110;

    TransformJob job{TransformKind::Scaled, bKeyed, double(x), double(y), m_fScale, 1.0, 0.0, 0};
    switch (blitType) {
    case BLT_OPAQUE: return m_pTile->BlitOpaque(pDest, x, y, &rc);
    case BLT_ALPHA: return m_pTile->BlitAlpha(pDest, x, y, &rc, m_alpha);
    case BLT_HALFALPHA: return m_pTile->BlitHalfAlpha(pDest, x, y, &rc);
    case BLT_STRETCHED: return m_pTile->BlitStretched(pDest, x, y, &rc, m_stretchWidth, m_stretchHeight);
    case BLT_KEYED: return m_pTile->BlitKeyed(pDest, x, y, &rc);
    case BLT_ALPHAKEYED: return m_pTile->BlitAlphaKeyed(pDest, x, y, &rc, m_alpha);
    case BLT_HALFALPHAKEYED: return m_pTile->BlitHalfAlphaKeyed(pDest, x, y, &rc);
    case BLT_STRETCHEDKEYED:
        return m_pTile->BlitStretchedKeyed(pDest, x, y, &rc, m_stretchWidth, m_stretchHeight);
    case BLT_OUTLINE:
        return m_pTile->BlitOutlined(pDest, x - m_nOffsetX, y - m_nOffsetY, &rc, tw, th, m_dwOutlineColour);
    case BLT_ALPHAMASK: return m_pTile->BlitAlphaMask(pDest, x, y, &rc);
    default: break;
    }
    switch (base) {
    case BLT_SCALED: job.kind = TransformKind::Scaled; break;
    case BLT_SHADOW:
    case BLT_HALFSHADOW:
        job.kind = base == BLT_SHADOW ? TransformKind::Shadow : TransformKind::HalfShadow;
        job.fX -= m_nOffsetX;
        job.fY -= m_nOffsetY;
        job.nShadowAlpha = m_shadowAlpha > 256 ? 256 : m_shadowAlpha;
        break;
    case BLT_ROTOZOOM: {
        job.kind = TransformKind::RotoZoom;
        job.fX = x + tw / 2;
        job.fY = y + th / 2;
        const double fRad = m_nAngle * 3.14159265358979323846 / 180.0;
        job.fCos = std::cos(fRad);
        job.fSin = std::sin(fRad);
        break;
    }
    case BLT_MIRROR: job.kind = TransformKind::Mirror; break;
    case BLT_FLIP: job.kind = TransformKind::Flip; break;
    default: return 0;  // codes no blit serves draw nothing
    }
    return TransformBlit(m_pTile, rc, pDest, job);
}

bool CDXSprite::HitsBox(const CDXSprite* pOther) const {
    if (!pOther || pOther == this || !m_pTile || !pOther->m_pTile) return false;
    const int tw = m_pTile->GetTileWidth(), th = m_pTile->GetTileHeight();
    const int ow = pOther->m_pTile->GetTileWidth(), oh = pOther->m_pTile->GetTileHeight();
    return m_nPosY <= pOther->m_nPosY + oh && m_nPosY + th >= pOther->m_nPosY && m_nPosX + tw >= pOther->m_nPosX &&
           m_nPosX <= pOther->m_nPosX + ow;
}
