// The blits of a source surface onto a destination: clipping, the copies and the stretch
// (done on the pixels, or by the display's own Blt when a surface is held, lost or the
// front), the frame every software blit runs in, and the software blends.
#include <cstring>
#include <utility>

#include "CDX/BlitKernels.h"
#include "CDX/BlitKeyRuns.h"
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

int BytesOfDepth(DWORD dwBpp) {
    switch (dwBpp) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

// The bits a keyed operation compares with the key: the whole pixel for the keyed copy,
// the colour bytes for the keyed blends.
DWORD KeyMaskOf(int nOp, int nDepth) {
    if (nDepth == kDepth32) return nOp == kOpCopyKeyed ? 0xFFFFFFFFu : 0xFFFFFFu;
    return nDepth == kDepth24 ? 0xFFFFFFu : 0xFFFFu;
}

}  // namespace

bool CDXSurface::PixelsFree() const {
    return m_pSurface && m_dwLockCount == 0 && m_dwDCCount == 0 && !m_pSurface->IsLocked() &&
           m_pSurface->IsLost() == DD_OK;
}

HRESULT CDXSurface::AcquirePixels(bool bWrite, BYTE** ppBits, int* pPitch, bool* pbLocked) {
    if (PixelsFree()) {
        // Writable access moves the pixels' generation on; reading leaves it.
        *ppBits = bWrite ? m_pSurface->Bits() : const_cast<BYTE*>(std::as_const(*m_pSurface).Bits());
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

CDXSurface::CBlitAccess::CBlitAccess(CDXSurface* pSrc, CDXSurface* pDest) : m_pSrcSurface(pSrc), m_pDestSurface(pDest) {
    BYTE* pSrcBits = nullptr;
    m_hr = pSrc->AcquirePixels(false, &pSrcBits, &m_nSrcPitch, &m_bSrcLocked);
    if (Failed(m_hr)) return;
    m_bSrcHeld = true;
    m_pSrc = pSrcBits;
    m_hr = pDest->AcquirePixels(true, &m_pDst, &m_nDstPitch, &m_bDstLocked);
    if (Failed(m_hr)) return;
    m_bDstHeld = true;
    m_dwBpp = pDest->m_pixelFormat.dwBitsPerPixel;
    m_nBytes = BytesOfDepth(m_dwBpp);
    if (m_nBytes && pSrc->m_pixelFormat.dwBitsPerPixel != m_dwBpp) m_hr = DDERR_INVALIDPIXELFORMAT;
}

CDXSurface::CBlitAccess::~CBlitAccess() {
    if (m_bSrcHeld) m_pSrcSurface->ReleasePixels(m_bSrcLocked);
    if (m_bDstHeld) m_pDestSurface->ReleasePixels(m_bDstLocked);
}

const CKeyRuns* CDXSurface::KeyRunsFor(DWORD dwKey, DWORD dwKeyMask) {
    // A held surface may change without a new generation, so its runs are not trusted.
    if (!PixelsFree() || UsingReferenceBlits()) return nullptr;
    const std::uint64_t nGeneration = m_pSurface->PixelGeneration();
    if (!m_pKeyRuns || !m_pKeyRuns->Matches(nGeneration, dwKey, dwKeyMask)) {
        m_pKeyRuns.reset();
        // Pixels that change between every blit (a work surface redrawn each frame) would
        // pay for a table they use once: build it only when the same pixels come again.
        if (m_nKeyRunsSeen != nGeneration) {
            m_nKeyRunsSeen = nGeneration;
            return nullptr;
        }
        const CVideoSurface& v = *m_pSurface;
        m_pKeyRuns = std::make_unique<CKeyRuns>(v.Bits(), v.Pitch(), v.Width(), v.Height(), v.BytesPerPixel(), dwKey,
                                                dwKeyMask, nGeneration);
    }
    return m_pKeyRuns->IsWorthUsing() ? m_pKeyRuns.get() : nullptr;
}

bool CDXSurface::CopyInPlace(CDXSurface* pDestSurface, const RECT& rcDst, const RECT& rcSrc, bool bKeyed) {
    CVideoSurface* pDst = pDestSurface->GetInterface();
    const CVideoSurface* pSrc = m_pSurface;
    if (pSrc == pDst || pDst->IsPrimary() || !PixelsFree() || !pDestSurface->PixelsFree() || UsingReferenceBlits())
        return false;
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

    // Neither surface is locked, lost or lent out as a device context, so the pixels are
    // used in place; the destination's are taken writable, which moves its generation on.
    const int nSrcPitch = pSrc->Pitch(), nDstPitch = pDst->Pitch();
    const BYTE* pS = pSrc->Bits() + std::ptrdiff_t(rcSrc.top) * nSrcPitch + rcSrc.left * nBytes;
    BYTE* pD = pDst->Bits() + std::ptrdiff_t(rcDst.top) * nDstPitch + rcDst.left * nBytes;
    const BlitKernels& k = ActiveBlitKernels();
    if (bStretch) {
        k.pStretch(StretchRows{pS, nSrcPitch, nSrcW, nSrcH, pD, nDstPitch, nDstW, nDstH, nBytes});
        return true;
    }
    // Every field given, so nothing is cleared first on this path of the small blits.
    const BlitRows r{pS, nSrcPitch, pD, nDstPitch, nDstW, nDstH, dwKeyLow, 0, nullptr, 0};
    if (bKeyed) {
        if (const CKeyRuns* pRuns = KeyRunsFor(dwKeyLow, KeyMaskOf(kOpCopyKeyed, nDepth))) {
            pRuns->Blit(r, rcSrc.left, rcSrc.top, kOpCopyKeyed, nDepth);
            return true;
        }
    }
    k.aOps[bKeyed ? kOpCopyKeyed : kOpCopy][nDepth](r);
    return true;
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

int CDXSurface::DeviceCopy(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, bool bKeyed) {
    if (!m_pSurface || !pDest || !pDest->m_pSurface) return -1;
    RECT rc = pSrcRect ? *pSrcRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!ClipBlit(pDest, &x, &y, &rc)) return 0;
    const RECT rcDst{x, y, x + (rc.right - rc.left), y + (rc.bottom - rc.top)};
    if (CopyInPlace(pDest, rcDst, rc, bKeyed)) return DD_OK;
    HRESULT hr = pDest->m_pSurface->BltFast(x, y, m_pSurface, &rc,
                                            (bKeyed ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY) | DDBLTFAST_WAIT);
    if (hr == DDERR_SURFACELOST) return Restore();
    return hr;
}

int CDXSurface::BlitOpaque(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    return DeviceCopy(pDest, x, y, pSrcRect, false);
}

int CDXSurface::BlitKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    return DeviceCopy(pDest, x, y, pSrcRect, true);
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
    if (CopyInPlace(pDest, rcDst, rc, bKeyed)) return DD_OK;
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
    CBlitAccess px(this, pDest);
    if (Failed(px.Result())) return px.Result();
    const int nDepth = BlitDepthIndex(px.BitsPerPixel());
    if (nDepth < 0) return 0;
    BlitRows r{px.Src(rc.left, rc.top), px.SrcPitch(), px.Dst(x, y), px.DstPitch(), int(rc.right - rc.left),
               int(rc.bottom - rc.top), m_dwColorKey, dwValue > 256 ? 256 : dwValue, nullptr, 0};
    if (nOp == kOpAlphaMask) {
        if (m_pAlphaMask) {
            r.pMask = m_pAlphaMask + std::ptrdiff_t(rc.top) * m_nWidth + rc.left;
            r.nMaskPitch = m_nWidth;
        } else {
            nOp = kOpMax;
        }
    }
    // Keyed blends skip the key pixels run by run; a surface blended onto itself changes
    // the pixels its runs were found in, so it goes pixel by pixel.
    if (IsKeyedOp(nOp) && pDest != this && px.SourceInPlace()) {
        if (const CKeyRuns* pRuns = KeyRunsFor(m_dwColorKey, KeyMaskOf(nOp, nDepth))) {
            pRuns->Blit(r, rc.left, rc.top, nOp, nDepth);
            return 0;
        }
    }
    ActiveBlitKernels().aOps[nOp][nDepth](r);
    return 0;
}

int CDXSurface::BlitSoftware(CDXSurface* pDest, int x, int y, const RECT* pSrcRect) {
    if (!pDest) return -1;
    RECT rc = pSrcRect ? *pSrcRect : RECT{0, 0, m_nWidth, m_nHeight};
    if (!ClipBlit(pDest, &x, &y, &rc)) return 0;
    CBlitAccess px(this, pDest);
    if (Failed(px.Result())) return px.Result();
    if (const int nBytes = px.BytesPerPixel()) {
        // Rows may overlap when a surface is copied onto itself.
        const size_t nRow = size_t(rc.right - rc.left) * size_t(nBytes);
        for (int row = 0; row < rc.bottom - rc.top; ++row) std::memmove(px.Dst(x, y + row), px.Src(rc.left, rc.top + row), nRow);
    }
    return 0;
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
