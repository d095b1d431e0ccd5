#include "CDX/CDXPixelFormat.h"

#include <cstring>

#include "CDX/CDXSurface.h"
#include "platform/PixelBytes.h"
#include "platform/PixelMask.h"

namespace {

// Position of a channel and its largest value, cut to a byte.
void MaskInfo(DWORD dwMask, BYTE* pShift, BYTE* pMax) {
    const PixelMask m = MaskShape(dwMask);
    *pShift = BYTE(m.nShift);
    *pMax = BYTE((dwMask >> m.nShift) & 0xFF);
}

inline BYTE* PixelAddress(CDXSurface* pSurface, int x, int y, int nBytes) {
    return pSurface->GetLockedBits() + std::ptrdiff_t(y) * pSurface->GetPitch() + std::ptrdiff_t(x) * nBytes;
}

inline bool InClip(CDXSurface* pSurface, int x, int y) {
    const RECT& rc = pSurface->GetClipRect();
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

// Per-channel blend d + ((c - d) * a >> 8), with an arithmetic shift.
inline int BlendChannel(int d, int c, int a) { return d + (((c - d) * a) >> 8); }

template <int Bytes>
void PutPixelT(CDXSurface* pSurface, int x, int y, DWORD colour) {
    if (!InClip(pSurface, x, y)) return;
    StorePixelBytes<Bytes>(PixelAddress(pSurface, x, y, Bytes), colour);
}

template <int Bytes>
DWORD GetPixelT(CDXSurface* pSurface, int x, int y) {
    return LoadPixelBytes<Bytes>(PixelAddress(pSurface, x, y, Bytes));
}

void PutAlpha8(CDXSurface* pSurface, int x, int y, DWORD colour, WORD) { PutPixelT<1>(pSurface, x, y, colour); }

// 5-5-5 (bRed565 false) or 5-6-5 blend.
template <bool b565>
void PutAlpha16(CDXSurface* pSurface, int x, int y, DWORD colour, WORD alpha) {
    if (!InClip(pSurface, x, y)) return;
    BYTE* p = PixelAddress(pSurface, x, y, 2);
    const int a = alpha;
    const int d = int(LoadPixelBytes<2>(p)), c = int(colour & 0xFFFF);
    const int nRedShift = b565 ? 11 : 10;
    const int nGreenMask = b565 ? 0x3F : 0x1F;
    int r = BlendChannel((d >> nRedShift) & 0x1F, (c >> nRedShift) & 0x1F, a) & 0x1F;
    int g = BlendChannel((d >> 5) & nGreenMask, (c >> 5) & nGreenMask, a) & nGreenMask;
    int b = BlendChannel(d & 0x1F, c & 0x1F, a) & 0x1F;
    StorePixelBytes<2>(p, DWORD((r << nRedShift) | (g << 5) | b));
}

template <int Bytes>
void PutAlpha888(CDXSurface* pSurface, int x, int y, DWORD colour, WORD alpha) {
    if (!InClip(pSurface, x, y)) return;
    BYTE* p = PixelAddress(pSurface, x, y, Bytes);
    const int a = alpha;
    DWORD out = 0;
    for (int i = 0; i < 3; ++i) {
        int d = p[i], c = int((colour >> (8 * i)) & 0xFF);
        out |= DWORD(BlendChannel(d, c, a) & 0xFF) << (8 * i);
    }
    StorePixelBytes<Bytes>(p, out);  // at 32 bits the fourth byte is cleared
}

template <int Bytes>
void VLineT(CDXSurface* pSurface, int y1, int y2, int x, DWORD colour) {
    const RECT& rc = pSurface->GetClipRect();
    if (x < rc.left || x >= rc.right) return;
    int nTop = y1 < y2 ? y1 : y2, nBottom = y1 < y2 ? y2 : y1;
    if (nTop < rc.top) nTop = rc.top;
    if (nBottom > rc.bottom - 1) nBottom = rc.bottom - 1;
    if (nTop > nBottom) return;
    BYTE* p = PixelAddress(pSurface, x, nTop, Bytes);
    for (int y = nTop; y <= nBottom; ++y, p += pSurface->GetPitch()) StorePixelBytes<Bytes>(p, colour);
}

template <int Bytes>
void HLineT(CDXSurface* pSurface, int x1, int x2, int y, DWORD colour) {
    const RECT& rc = pSurface->GetClipRect();
    if (y < rc.top || y >= rc.bottom) return;
    int nLeft = x1 < x2 ? x1 : x2, nRight = x1 < x2 ? x2 : x1;
    if (nLeft < rc.left) nLeft = rc.left;
    if (nRight > rc.right - 1) nRight = rc.right - 1;
    if (nLeft > nRight) return;
    BYTE* p = PixelAddress(pSurface, nLeft, y, Bytes);
    const int n = nRight - nLeft + 1;
    if constexpr (Bytes == 1) {
        std::memset(p, int(colour & 0xFF), size_t(n));
    } else if constexpr (Bytes == 2) {
        int i = 0;
        if (n & 1) {
            StorePixelBytes<2>(p, colour);
            i = 1;
        }
        const DWORD dwPair = (colour & 0xFFFF) | ((colour & 0xFFFF) << 16);
        for (; i < n; i += 2) StorePixelBytes<4>(p + i * 2, dwPair);
    } else {
        for (int i = 0; i < n; ++i) StorePixelBytes<Bytes>(p + i * Bytes, colour);
    }
}

}  // namespace

int PixelFormatFromDescription(const VideoPixelFormat& fmt, CDXPixelFormat* pFormat) {
    *pFormat = CDXPixelFormat{};
    if (fmt.dwRGBBitCount < 9) {
        pFormat->dwBitsPerPixel = fmt.dwRGBBitCount;
        return 1;
    }
    MaskInfo(fmt.dwRBitMask, &pFormat->nRedShift, &pFormat->nRedMax);
    MaskInfo(fmt.dwGBitMask, &pFormat->nGreenShift, &pFormat->nGreenMax);
    MaskInfo(fmt.dwBBitMask, &pFormat->nBlueShift, &pFormat->nBlueMax);
    if (!(fmt.dwFlags & DDPF_RGB)) {
        pFormat->dwBitsPerPixel = 0;
        return 0;
    }
    DWORD bpp = fmt.dwRGBBitCount;
    if (bpp == 16) {
        int nSum = pFormat->nRedMax + pFormat->nGreenMax + pFormat->nBlueMax;
        pFormat->dwBitsPerPixel = nSum == 93 ? 15 : 16;
    } else if (bpp == 24 || bpp == 32) {
        pFormat->dwBitsPerPixel = bpp;
    } else {
        pFormat->dwBitsPerPixel = 0;
    }
    return 1;
}

int GetPixelFormatInfo(CVideoSurface* pSurface, CDXPixelFormat* pFormat) {
    if (!pSurface || !pFormat) return 0;
    SurfaceDesc desc;
    if (Failed(pSurface->GetSurfaceDesc(&desc))) return 0;
    return PixelFormatFromDescription(desc.ddpfPixelFormat, pFormat);
}

PixelRoutines MapPixelFunctions(DWORD dwBitsPerPixel) {
    switch (dwBitsPerPixel) {
    case 8: return {PutPixelT<1>, PutAlpha8, GetPixelT<1>, VLineT<1>, HLineT<1>};
    case 15: return {PutPixelT<2>, PutAlpha16<false>, GetPixelT<2>, VLineT<2>, HLineT<2>};
    case 16: return {PutPixelT<2>, PutAlpha16<true>, GetPixelT<2>, VLineT<2>, HLineT<2>};
    case 24: return {PutPixelT<3>, PutAlpha888<3>, GetPixelT<3>, VLineT<3>, HLineT<3>};
    case 32: return {PutPixelT<4>, PutAlpha888<4>, GetPixelT<4>, VLineT<4>, HLineT<4>};
    default: return {};
    }
}
