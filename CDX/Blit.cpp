// The blits of a source surface onto a destination: clipping, the copies and the stretch
// that the display device performs, and the frame of the software blends.
#include <cstring>

#include "CDX/BlitKernels.h"
#include "CDX/CDXSurface.h"

namespace {

bool SameFormat(const VideoPixelFormat& a, const VideoPixelFormat& b) {
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask && a.dwGBitMask == b.dwGBitMask &&
           a.dwBBitMask == b.dwBBitMask;
}

bool RectInside(const RECT& r, const CVideoSurface* p) {
    return r.left >= 0 && r.top >= 0 && r.right <= p->Width() && r.bottom <= p->Height() && r.left < r.right &&
           r.top < r.bottom;
}

// Performs a copy, keyed copy or stretch of rcSrc onto rcDst on the pixels themselves, the
// same way the device would, when that is plainly possible: two different off-screen
// surfaces of one format, neither lost nor held (bFree), a key of one value. False leaves
// the operation (and any error it meets) to the device.
bool DirectCopy(CDXSurface* pDestSurface, const RECT& rcDst, CDXSurface* pSrcSurface, const RECT& rcSrc, bool bKeyed,
                bool bFree) {
    CVideoSurface* pDst = pDestSurface->GetInterface();
    CVideoSurface* pSrc = pSrcSurface->GetInterface();
    if (!bFree || UsingReferenceBlits() || pSrc == pDst || pDst->IsPrimary()) return false;
    if (!SameFormat(pDst->Format(), pSrc->Format())) return false;
    if (!RectInside(rcDst, pDst) || !RectInside(rcSrc, pSrc)) return false;
    const int nBytes = pDst->BytesPerPixel();
    const int nDepth = nBytes == 2 ? kDepth16 : nBytes == 3 ? kDepth24 : nBytes == 4 ? kDepth32 : -1;
    DWORD dwKeyLow = 0, dwKeyHigh = 0;
    if (bKeyed && Succeeded(pSrc->GetColorKey(&dwKeyLow, &dwKeyHigh))) {
        if (dwKeyLow != dwKeyHigh) return false;
    } else {
        bKeyed = false;
    }
    const int nDstW = rcDst.right - rcDst.left, nDstH = rcDst.bottom - rcDst.top;
    const int nSrcW = rcSrc.right - rcSrc.left, nSrcH = rcSrc.bottom - rcSrc.top;
    const bool bStretch = nDstW != nSrcW || nDstH != nSrcH;
    if (nDepth < 0 && (bKeyed || !bStretch)) return false;
    if (bKeyed && bStretch) return false;

    // Neither surface is locked, lost or lent out as a device context (checked by the caller),
    // so the pixels are used in place, as the device itself would.
    const int nSrcPitch = pSrc->Pitch(), nDstPitch = pDst->Pitch();
    const BYTE* pS = pSrc->Bits() + std::ptrdiff_t(rcSrc.top) * nSrcPitch + rcSrc.left * nBytes;
    BYTE* pD = pDst->Bits() + std::ptrdiff_t(rcDst.top) * nDstPitch + rcDst.left * nBytes;
    const BlitKernels& k = ActiveBlitKernels();
    if (bStretch) {
        StretchRows r;
        r.pSrc = pS;
        r.nSrcPitch = nSrcPitch;
        r.nSrcWidth = nSrcW;
        r.nSrcHeight = nSrcH;
        r.pDst = pD;
        r.nDstPitch = nDstPitch;
        r.nDstWidth = nDstW;
        r.nDstHeight = nDstH;
        r.nBytes = nBytes;
        k.pStretch(r);
    } else {
        BlitRows r;
        r.pSrc = pS;
        r.nSrcPitch = nSrcPitch;
        r.pDst = pD;
        r.nDstPitch = nDstPitch;
        r.nWidth = nDstW;
        r.nHeight = nDstH;
        r.dwKey = dwKeyLow;
        k.aOps[bKeyed ? kOpCopyKeyed : kOpCopy][nDepth](r);
    }
    return true;
}

}  // namespace

bool CDXSurface::PixelsFree() const {
    return m_pSurface && m_dwLockCount == 0 && m_dwDCCount == 0 && !m_pSurface->IsLocked() &&
           m_pSurface->IsLost() == DD_OK;
}

HRESULT CDXSurface::AcquirePixels(BYTE** ppBits, int* pPitch, bool* pbLocked) {
    if (PixelsFree()) {
        *ppBits = m_pSurface->Bits();
        *pPitch = m_pSurface->Pitch();
        *pbLocked = false;
        return DD_OK;
    }
    HRESULT hr = Lock();
    if (Failed(hr)) return hr;
    *ppBits = GetLockedBits();
    *pPitch = GetPitch();
    *pbLocked = true;
    return DD_OK;
}

void CDXSurface::ReleasePixels(bool bLocked) {
    if (bLocked) Unlock();
}

bool CDXSurface::ClipBlit(CDXSurface* pDest, int* pX, int* pY, RECT* pSrcRect) {
    if (!ClipToRect(pSrcRect)) return false;
    if (pSrcRect->right - pSrcRect->left < 1) return false;
    RECT rcDest{*pX, *pY, *pX + (pSrcRect->right - pSrcRect->left), *pY + (pSrcRect->bottom - pSrcRect->top)};
    const RECT rcOld = rcDest;
    if (!pDest->ClipToRect(&rcDest)) return false;
    pSrcRect->top += rcDest.top - rcOld.top;
    pSrcRect->left += rcDest.left - rcOld.left;
    pSrcRect->bottom += rcDest.bottom - rcOld.bottom;
    pSrcRect->right += rcDest.right - rcOld.right;
    if (pSrcRect->right - pSrcRect->left < 1) return false;
    *pX = rcDest.left;
    *pY = rcDest.top;
    return true;
}

int CDXSurface::BlitOpaque(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    if (!m_pSurface || !pDest || !pDest->m_pSurface) return -1;
    RECT rc = pSrcRect ? *pSrcRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!ClipBlit(pDest, &x, &y, &rc)) return 0;
    const RECT rcDst{x, y, x + (rc.right - rc.left), y + (rc.bottom - rc.top)};
    if (DirectCopy(pDest, rcDst, this, rc, false, PixelsFree() && pDest->PixelsFree())) return DD_OK;
    HRESULT hr = pDest->m_pSurface->BltFast(x, y, m_pSurface, &rc, DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT);
    if (hr == DDERR_SURFACELOST) return Restore();
    return hr;
}

int CDXSurface::BlitKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    if (!m_pSurface || !pDest || !pDest->m_pSurface) return -1;
    RECT rc = pSrcRect ? *pSrcRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!ClipBlit(pDest, &x, &y, &rc)) return 0;
    const RECT rcDst{x, y, x + (rc.right - rc.left), y + (rc.bottom - rc.top)};
    if (DirectCopy(pDest, rcDst, this, rc, true, PixelsFree() && pDest->PixelsFree())) return DD_OK;
    HRESULT hr = pDest->m_pSurface->BltFast(x, y, m_pSurface, &rc, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    if (hr == DDERR_SURFACELOST) return Restore();
    return hr;
}

int CDXSurface::HardwareStretch(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight,
                                bool bKeyed) {
    if (!m_pSurface || !pDest || !pDest->m_pSurface) return -1;
    RECT rc = pSrcRect ? *pSrcRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!ClipToRect(&rc)) return 0;
    const int nSrcW = rc.right - rc.left, nSrcH = rc.bottom - rc.top;
    if (nSrcW < 1 || nSrcH < 1 || nWidth < 1 || nHeight < 1) return 0;
    RECT rcDst{x, y, x + nWidth, y + nHeight};
    const RECT rcOld = rcDst;
    if (!pDest->ClipToRect(&rcDst)) return 0;
    // Each source edge moves by its destination edge's move scaled by source / destination
    // size; computed in 64 bits, it also holds when the picture shrinks.
    auto scaled = [](LONG nMoved, int nSrc, int nDst) { return LONG(std::int64_t(nMoved) * nSrc / nDst); };
    rc.left += scaled(rcDst.left - rcOld.left, nSrcW, nWidth);
    rc.right += scaled(rcDst.right - rcOld.right, nSrcW, nWidth);
    rc.top += scaled(rcDst.top - rcOld.top, nSrcH, nHeight);
    rc.bottom += scaled(rcDst.bottom - rcOld.bottom, nSrcH, nHeight);
    if (DirectCopy(pDest, rcDst, this, rc, bKeyed, PixelsFree() && pDest->PixelsFree())) return DD_OK;
    HRESULT hr = pDest->m_pSurface->Blt(&rcDst, m_pSurface, &rc, DDBLT_WAIT | (bKeyed ? DDBLT_KEYSRC : 0));
    if (hr == DDERR_SURFACELOST) Restore();
    return hr;
}

int CDXSurface::BlitStretched(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight) {
    return HardwareStretch(pDest, x, y, pSrcRect, nWidth, nHeight, false);
}

int CDXSurface::BlitStretchedKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight) {
    return HardwareStretch(pDest, x, y, pSrcRect, nWidth, nHeight, true);
}

int CDXSurface::SoftwareBlit(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nOp, DWORD dwValue) {
    if (!pDest) return -1;
    RECT rc = pSrcRect ? *pSrcRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!ClipBlit(pDest, &x, &y, &rc)) return 0;
    BYTE *pSrcBits, *pDstBits;
    int nSrcPitch, nDstPitch;
    bool bSrcLocked, bDstLocked;
    HRESULT hr = AcquirePixels(&pSrcBits, &nSrcPitch, &bSrcLocked);
    if (Failed(hr)) return hr;
    hr = pDest->AcquirePixels(&pDstBits, &nDstPitch, &bDstLocked);
    if (Failed(hr)) {
        ReleasePixels(bSrcLocked);
        return hr;
    }
    const DWORD dwBpp = pDest->m_pixelFormat.dwBitsPerPixel;
    const int nDepth = BlitDepthIndex(dwBpp);
    int nResult = 0;
    if (nDepth >= 0 && m_pixelFormat.dwBitsPerPixel != dwBpp) {
        // The rows are read at the destination's depth; a source of another depth would be
        // read past its end, so such a blit is refused.
        nResult = DDERR_INVALIDPIXELFORMAT;
    } else if (nDepth >= 0) {
        const int nBytes = dwBpp == 24 ? 3 : dwBpp == 32 ? 4 : 2;
        BlitRows r;
        r.pSrc = pSrcBits + std::ptrdiff_t(rc.top) * nSrcPitch + rc.left * nBytes;
        r.nSrcPitch = nSrcPitch;
        r.pDst = pDstBits + std::ptrdiff_t(y) * nDstPitch + x * nBytes;
        r.nDstPitch = nDstPitch;
        r.nWidth = rc.right - rc.left;
        r.nHeight = rc.bottom - rc.top;
        r.dwKey = m_dwColorKey;
        r.dwValue = dwValue > 256 ? 256 : dwValue;
        if (nOp == kOpAlphaMask) {
            if (m_pAlphaMask) {
                r.pMask = m_pAlphaMask + std::ptrdiff_t(rc.top) * m_nWidth + rc.left;
                r.nMaskPitch = m_nWidth;
            } else {
                nOp = kOpMax;
            }
        }
        ActiveBlitKernels().aOps[nOp][nDepth](r);
    }
    ReleasePixels(bSrcLocked);
    pDest->ReleasePixels(bDstLocked);
    return nResult;
}

int CDXSurface::BlitSoftware(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    if (!pDest) return -1;
    RECT rc = pSrcRect ? *pSrcRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!ClipBlit(pDest, &x, &y, &rc)) return 0;
    HRESULT hr = Lock();
    if (Failed(hr)) return hr;
    hr = pDest->Lock();
    if (Failed(hr)) {
        Unlock();
        return hr;
    }
    const DWORD dwBpp = pDest->m_pixelFormat.dwBitsPerPixel;
    const int nBytes = dwBpp == 8 ? 1 : (dwBpp == 15 || dwBpp == 16) ? 2 : dwBpp == 24 ? 3 : dwBpp == 32 ? 4 : 0;
    int nResult = 0;
    if (nBytes && m_pixelFormat.dwBitsPerPixel != dwBpp) {
        nResult = DDERR_INVALIDPIXELFORMAT;
    } else if (nBytes) {
        const size_t nRow = size_t(rc.right - rc.left) * size_t(nBytes);
        for (int row = 0; row < rc.bottom - rc.top; ++row)
            std::memmove(pDest->GetLockedBits() + std::ptrdiff_t(y + row) * pDest->GetPitch() + x * nBytes,
                         GetLockedBits() + std::ptrdiff_t(rc.top + row) * GetPitch() + rc.left * nBytes, nRow);
    }
    Unlock();
    pDest->Unlock();
    return nResult;
}

int CDXSurface::BlitHalfAlpha(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    return SoftwareBlit(pDest, x, y, pSrcRect, kOpHalfAlpha, 0);
}

int CDXSurface::BlitHalfAlphaKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    return SoftwareBlit(pDest, x, y, pSrcRect, kOpHalfAlphaKeyed, 0);
}

int CDXSurface::BlitAlpha(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, WORD alpha) {
    return SoftwareBlit(pDest, x, y, pSrcRect, kOpAlpha, alpha);
}

int CDXSurface::BlitAlphaKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, WORD alpha) {
    return SoftwareBlit(pDest, x, y, pSrcRect, kOpAlphaKeyed, alpha);
}

int CDXSurface::BlitAlphaMask(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    return SoftwareBlit(pDest, x, y, pSrcRect, kOpAlphaMask, 0);
}

int CDXSurface::BlitFaded(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, WORD level) {
    return SoftwareBlit(pDest, x, y, pSrcRect, kOpFaded, level);
}
