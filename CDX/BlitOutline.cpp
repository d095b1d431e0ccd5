// The outline blit: paints a frame in one colour around the opaque pixels of a keyed
// picture without drawing the picture itself.
#include "CDX/BlitPixel.h"
#include "CDX/CDXSurface.h"

namespace {

struct OutlineJob {
    const BYTE* pSrc;  // first pixel of the clipped source rectangle
    int nSrcPitch;
    BYTE* pDstBits;    // the destination's pixel (0, 0)
    int nDstPitch;
    int nDstWidth, nDstHeight;
    int x, y;          // destination of the first source pixel
    int w, h;
    DWORD dwKey, dwColour;
};

template <int D>
inline void PaintOutline(const OutlineJob& j, int dx, int dy) {
    constexpr int B = PixelTraits<D>::kBytes;
    BYTE* p = j.pDstBits + std::ptrdiff_t(dy) * j.nDstPitch + std::ptrdiff_t(dx) * B;
    if constexpr (D == 32) {
        // Only the three colour bytes are replaced.
        StorePixel<D>(p, (LoadPixel<D>(p) & 0xFF000000u) | (j.dwColour & 0xFFFFFFu));
    } else {
        StorePixel<D>(p, j.dwColour);
    }
}

template <int D>
void OutlineRows(const OutlineJob& j) {
    constexpr int B = PixelTraits<D>::kBytes;
    auto key = [&](int c, int r) { return IsKeyPixel<D>(LoadPixel<D>(j.pSrc + std::ptrdiff_t(r) * j.nSrcPitch + c * B), j.dwKey); };
    for (int r = 0; r < j.h; ++r) {
        for (int c = 0; c < j.w; ++c) {
            if (key(c, r)) {
                // A key pixel with one to three opaque neighbours inside the rectangle is on the outline.
                int n = 0;
                if (r > 0 && !key(c, r - 1)) ++n;
                if (r < j.h - 1 && !key(c, r + 1)) ++n;
                if (c < j.w - 1 && !key(c + 1, r)) ++n;
                if (c > 0 && !key(c - 1, r)) ++n;
                if (n >= 1 && n <= 3) PaintOutline<D>(j, j.x + c, j.y + r);
                continue;
            }
            // An opaque pixel on the rectangle's border gets the outline just outside it,
            // where the destination has room.
            if (r == 0 && j.y > 0) PaintOutline<D>(j, j.x + c, j.y - 1);
            if (r == j.h - 1 && j.y + j.h < j.nDstHeight) PaintOutline<D>(j, j.x + c, j.y + j.h);
            if (c == 0 && j.x > 0) PaintOutline<D>(j, j.x - 1, j.y + r);
            if (c == j.w - 1 && j.x + j.w < j.nDstWidth) PaintOutline<D>(j, j.x + j.w, j.y + r);
        }
    }
}

}  // namespace

int CDXSurface::BlitOutlined(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight,
                             DWORD outlineColour) {
    constexpr int kFail = int(0x80004005u);
    if (!pDest) return kFail;
    RECT rc = pSrcRect ? *pSrcRect
                       : RECT{0, 0, nWidth ? nWidth : m_nWidth, nHeight ? nHeight : m_nHeight};
    if (!ClipBlit(pDest, &x, &y, &rc)) return kFail;
    CBlitAccess px(this, pDest);
    if (Failed(px.Result())) return px.Result();
    const DWORD dwBpp = px.BitsPerPixel();
    if (BlitDepthIndex(dwBpp) < 0) return 0;
    OutlineJob j{px.Src(rc.left, rc.top),
                 px.SrcPitch(),
                 px.Dst(0, 0),
                 px.DstPitch(),
                 pDest->m_nWidth,
                 pDest->m_nHeight,
                 x,
                 y,
                 rc.right - rc.left,
                 rc.bottom - rc.top,
                 m_dwColorKey,
                 outlineColour};
    switch (dwBpp) {
    case 15: OutlineRows<15>(j); break;
    case 16: OutlineRows<16>(j); break;
    case 24: OutlineRows<24>(j); break;
    default: OutlineRows<32>(j); break;
    }
    return 0;
}
