#include "platform/Video.h"

#include <algorithm>
#include <cstring>

#include "platform/PixelBytes.h"
#include "platform/Text.h"
#include "platform/Window.h"

VideoPixelFormat MakePixelFormat565() { return VideoPixelFormat{DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F}; }
VideoPixelFormat MakePixelFormat555() { return VideoPixelFormat{DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F}; }
VideoPixelFormat MakePixelFormat888(DWORD nBits) {
    return VideoPixelFormat{DDPF_RGB, nBits, 0xFF0000, 0x00FF00, 0x0000FF};
}

namespace {

bool SameFormat(const VideoPixelFormat& a, const VideoPixelFormat& b) {
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask;
}

bool RectInside(const RECT& r, int w, int h) {
    return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h && r.left < r.right && r.top < r.bottom;
}

}  // namespace

// ---- CVideoSurface ----

CVideoSurface::~CVideoSurface() {
    if (s_pfnFramePixelsChanging) s_pfnFramePixelsChanging(this);
    delete m_pDC;
}

HRESULT CVideoSurface::Lock(SurfaceDesc* pDesc, DWORD) {
    if (m_bLost) return DDERR_SURFACELOST;
    if (m_bLocked || m_pDC) return DDERR_SURFACEBUSY;
    m_bLocked = true;
    PixelsChanging();
    if (pDesc) {
        GetSurfaceDesc(pDesc);
        pDesc->lpSurface = m_pixels.data();
    }
    return DD_OK;
}

HRESULT CVideoSurface::Unlock() {
    if (!m_bLocked) return DDERR_NOTLOCKED;
    m_bLocked = false;
    if (m_bLost) return DDERR_SURFACELOST;
    return DD_OK;
}

HRESULT CVideoSurface::GetSurfaceDesc(SurfaceDesc* pDesc) const {
    if (!pDesc) return DDERR_INVALIDPARAMS;
    *pDesc = SurfaceDesc{};
    pDesc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    pDesc->dwWidth = DWORD(m_nWidth);
    pDesc->dwHeight = DWORD(m_nHeight);
    pDesc->lPitch = m_nPitch;
    pDesc->dwCaps = m_dwCaps;
    pDesc->ddpfPixelFormat = m_format;
    return DD_OK;
}

HRESULT CVideoSurface::GetPixelFormat(VideoPixelFormat* pFormat) const {
    if (!pFormat) return DDERR_INVALIDPARAMS;
    *pFormat = m_format;
    return DD_OK;
}


HRESULT CVideoSurface::Restore() {
    if (m_pOwner) return m_pOwner->Restore();
    if (m_bLost) {
        PixelsChanging();
        std::fill(m_pixels.begin(), m_pixels.end(), BYTE(0));
        m_bLost = false;
    }
    if (m_pBackBuffer && m_pBackBuffer->m_bLost) {
        m_pBackBuffer->PixelsChanging();
        std::fill(m_pBackBuffer->m_pixels.begin(), m_pBackBuffer->m_pixels.end(), BYTE(0));
        m_pBackBuffer->m_bLost = false;
    }
    return DD_OK;
}

HRESULT CVideoSurface::Blt(const RECT* pDst, CVideoSurface* pSrc, const RECT* pSrcRect, DWORD dwFlags, DWORD dwFill) {
    if (m_bLost) return DDERR_SURFACELOST;
    if (m_bLocked || m_pDC) return DDERR_SURFACEBUSY;
    RECT rcDst = pDst ? *pDst : RECT{0, 0, m_nWidth, m_nHeight};
    RECT rcSrcIn = pSrcRect ? *pSrcRect : (pSrc ? RECT{0, 0, pSrc->m_nWidth, pSrc->m_nHeight} : RECT{});
    // The primary is clipped to the desktop, like a window partly off screen: the part of
    // the destination outside it is cut off together with the matching source part.
    if (IsPrimary() && !(dwFlags & DDBLT_COLORFILL) && pSrc && !RectInside(rcDst, m_nWidth, m_nHeight) &&
        rcDst.right > rcDst.left && rcDst.bottom > rcDst.top) {
        RECT rcCut;
        if (!IntersectRect(&rcCut, rcDst, RECT{0, 0, m_nWidth, m_nHeight})) return DD_OK;
        const std::int64_t nSrcW = rcSrcIn.right - rcSrcIn.left, nSrcH = rcSrcIn.bottom - rcSrcIn.top;
        const std::int64_t nDstW = rcDst.right - rcDst.left, nDstH = rcDst.bottom - rcDst.top;
        RECT rcSrcCut{rcSrcIn.left + LONG((rcCut.left - rcDst.left) * nSrcW / nDstW),
                      rcSrcIn.top + LONG((rcCut.top - rcDst.top) * nSrcH / nDstH),
                      rcSrcIn.right - LONG((rcDst.right - rcCut.right) * nSrcW / nDstW),
                      rcSrcIn.bottom - LONG((rcDst.bottom - rcCut.bottom) * nSrcH / nDstH)};
        if (rcSrcCut.right <= rcSrcCut.left || rcSrcCut.bottom <= rcSrcCut.top) return DD_OK;
        return Blt(&rcCut, pSrc, &rcSrcCut, dwFlags, dwFill);
    }
    if (!RectInside(rcDst, m_nWidth, m_nHeight)) return DDERR_INVALIDRECT;
    const int nBpp = m_nBytesPerPixel;

    if (dwFlags & DDBLT_COLORFILL) {
        m_nGeneration = NewGeneration();  // a primary presents the result at once

        const size_t nWidth = size_t(rcDst.right - rcDst.left);
        for (LONG y = rcDst.top; y < rcDst.bottom; ++y)
            FillPixelRow(m_pixels.data() + size_t(y) * m_nPitch + size_t(rcDst.left) * nBpp, nBpp, nWidth, dwFill);
        if (IsPrimary()) return Present(&rcDst);
        return DD_OK;
    }
    if (!pSrc) return DDERR_INVALIDPARAMS;
    if (pSrc->m_bLost) return DDERR_SURFACELOST;
    if (pSrc != this && (pSrc->m_bLocked || pSrc->m_pDC)) return DDERR_SURFACEBUSY;
    if (!SameFormat(m_format, pSrc->m_format)) return DDERR_INVALIDPIXELFORMAT;
    RECT rcSrc = pSrcRect ? *pSrcRect : RECT{0, 0, pSrc->m_nWidth, pSrc->m_nHeight};
    if (!RectInside(rcSrc, pSrc->m_nWidth, pSrc->m_nHeight)) return DDERR_INVALIDRECT;

    m_nGeneration = NewGeneration();
    const bool bKey = (dwFlags & DDBLT_KEYSRC) && pSrc->m_bHasKey;
    const LONG nDstW = rcDst.right - rcDst.left, nDstH = rcDst.bottom - rcDst.top;
    const LONG nSrcW = rcSrc.right - rcSrc.left, nSrcH = rcSrc.bottom - rcSrc.top;
    // Copy through a temporary when source and destination are the same surface.
    std::vector<BYTE> copy;
    const BYTE* pSrcBits = pSrc->m_pixels.data();
    if (pSrc == this) {
        copy = m_pixels;
        pSrcBits = copy.data();
    }
    for (LONG y = 0; y < nDstH; ++y) {
        LONG sy = rcSrc.top + LONG((std::int64_t(y) * nSrcH) / nDstH);
        const BYTE* pSrcRow = pSrcBits + size_t(sy) * pSrc->m_nPitch;
        BYTE* pDstRow = m_pixels.data() + size_t(rcDst.top + y) * m_nPitch;
        if (!bKey && nSrcW == nDstW) {
            std::memcpy(pDstRow + size_t(rcDst.left) * nBpp, pSrcRow + size_t(rcSrc.left) * nBpp, size_t(nDstW) * nBpp);
            continue;
        }
        for (LONG x = 0; x < nDstW; ++x) {
            LONG sx = rcSrc.left + LONG((std::int64_t(x) * nSrcW) / nDstW);
            DWORD c = LoadPixelBytes(pSrcRow + size_t(sx) * nBpp, nBpp);
            if (bKey && c >= pSrc->m_dwKeyLow && c <= pSrc->m_dwKeyHigh) continue;
            StorePixelBytes(pDstRow + size_t(rcDst.left + x) * nBpp, nBpp, c);
        }
    }
    if (IsPrimary()) return Present(&rcDst);
    return DD_OK;
}

HRESULT CVideoSurface::BltFast(LONG x, LONG y, CVideoSurface* pSrc, const RECT* pSrcRect, DWORD dwFlags) {
    if (!pSrc) return DDERR_INVALIDPARAMS;
    RECT rcSrc = pSrcRect ? *pSrcRect : RECT{0, 0, pSrc->m_nWidth, pSrc->m_nHeight};
    RECT rcDst{x, y, x + (rcSrc.right - rcSrc.left), y + (rcSrc.bottom - rcSrc.top)};
    return Blt(&rcDst, pSrc, &rcSrc, (dwFlags & DDBLTFAST_SRCCOLORKEY) ? DDBLT_KEYSRC : 0);
}

HRESULT CVideoSurface::Present(const RECT* pSrc) {
    if (!m_pDevice) return DD_OK;
    // Windowed: the window shows the client rectangle of the desktop-sized primary.
    RECT rc{0, 0, m_nWidth, m_nHeight};
    if (!m_pDevice->m_bFullScreen && m_pDevice->m_hWnd) {
        RECT rcClient;
        m_pDevice->m_hWnd->GetClientRect(&rcClient);
        POINT pt{0, 0};
        m_pDevice->m_hWnd->ClientToScreen(&pt);
        OffsetRect(&rcClient, pt.x, pt.y);
        rc = rcClient;
    } else if (pSrc && !m_pDevice->m_bFullScreen) {
        rc = *pSrc;
    }
    PresentFrame(this, rc, m_pDevice->m_bFullScreen);
    return DD_OK;
}

HRESULT CVideoSurface::Flip(DWORD) {
    if (!IsPrimary() || !m_pBackBuffer) return DDERR_INVALIDPARAMS;
    if (m_bLost || m_pBackBuffer->m_bLost) return DDERR_SURFACELOST;
    if (m_bLocked || m_pBackBuffer->m_bLocked) return DDERR_SURFACEBUSY;
    // The back buffer keeps its picture, so drawing code may rely on it after a flip.
    m_nGeneration = NewGeneration();
    std::memcpy(m_pixels.data(), m_pBackBuffer->m_pixels.data(), m_pixels.size());
    return Present(nullptr);
}

HRESULT CVideoSurface::GetAttachedSurface(DWORD dwCaps, CVideoSurface** ppOut) {
    if (!ppOut) return DDERR_INVALIDPARAMS;
    *ppOut = nullptr;
    if (!(dwCaps & DDSCAPS_BACKBUFFER) || !m_pBackBuffer) return DDERR_NOTFOUND;
    *ppOut = m_pBackBuffer;
    return DD_OK;
}

HRESULT CVideoSurface::SetColorKey(DWORD dwLow, DWORD dwHigh) {
    m_bHasKey = true;
    m_dwKeyLow = dwLow;
    m_dwKeyHigh = dwHigh;
    return DD_OK;
}

HRESULT CVideoSurface::GetColorKey(DWORD* pLow, DWORD* pHigh) const {
    if (!m_bHasKey) return DDERR_NOTFOUND;
    if (pLow) *pLow = m_dwKeyLow;
    if (pHigh) *pHigh = m_dwKeyHigh;
    return DD_OK;
}

HRESULT CVideoSurface::GetDC(HDC* pDC) {
    if (!pDC) return DDERR_INVALIDPARAMS;
    *pDC = nullptr;
    if (m_bLost) return DDERR_SURFACELOST;
    if (m_bLocked || m_pDC) return DDERR_SURFACEBUSY;
    PixelsChanging();
    m_pDC = new CDeviceContext(this);
    *pDC = m_pDC;
    return DD_OK;
}

HRESULT CVideoSurface::ReleaseDC(HDC hDC) {
    if (!hDC || hDC != m_pDC) return DDERR_NODC;
    delete m_pDC;
    m_pDC = nullptr;
    if (IsPrimary()) return Present(nullptr);
    return DD_OK;
}

HRESULT CVideoSurface::SetClipperWindow(HWND hWnd) {
    m_hClipWindow = hWnd;
    return DD_OK;
}

HRESULT CVideoSurface::SetPalette(const PaletteEntry* pEntries, int nCount) {
    if (!pEntries || nCount < 0) return DDERR_INVALIDPARAMS;
    m_palette.assign(pEntries, pEntries + nCount);
    return DD_OK;
}

void CVideoSurface::Release() {
    if (m_pOwner) return;  // a chain's back buffer goes with its primary
    if (m_pDevice) {
        auto& v = m_pDevice->m_surfaces;
        if (m_pBackBuffer) {
            v.erase(std::remove(v.begin(), v.end(), m_pBackBuffer), v.end());
            delete m_pBackBuffer;
            m_pBackBuffer = nullptr;
        }
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        if (m_pDevice->m_pPrimary == this) m_pDevice->m_pPrimary = nullptr;
    }
    delete this;
}

// ---- CVideoDevice ----

CVideoDevice* CVideoDevice::Create() { return new CVideoDevice(); }

void CVideoDevice::Release() {
    // Surfaces still alive belong to their owners; they only lose their device.
    for (CVideoSurface* p : m_surfaces) p->m_pDevice = nullptr;
    m_surfaces.clear();
    delete this;
}

std::vector<DisplayMode> CVideoDevice::EnumDisplayModes() const {
    static const DWORD kSizes[][2] = {{320, 200}, {320, 240}, {400, 300}, {512, 384}, {640, 400}, {640, 480},
                                      {800, 600}, {1024, 768}, {1152, 864}, {1280, 720}, {1280, 800},
                                      {1280, 960}, {1280, 1024}, {1366, 768}, {1440, 900}, {1600, 900},
                                      {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}};
    std::vector<DisplayMode> modes;
    for (const auto& s : kSizes)
        for (DWORD bpp : {15u, 16u, 32u}) modes.push_back(DisplayMode{s[0], s[1], bpp});
    return modes;
}

HRESULT CVideoDevice::SetCooperativeLevel(HWND hWnd, DWORD dwFlags) {
    if ((dwFlags & DDSCL_FULLSCREEN) && !hWnd) return DDERR_INVALIDPARAMS;
    m_hWnd = hWnd;
    m_dwCoopFlags = dwFlags;
    return DD_OK;
}

HRESULT CVideoDevice::SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, DWORD, DWORD) {
    if (!(m_dwCoopFlags & DDSCL_FULLSCREEN)) return DDERR_NOCOOPERATIVELEVELSET;
    bool bKnown = false;
    for (const DisplayMode& m : EnumDisplayModes())
        if (m.dwWidth == dwWidth && m.dwHeight == dwHeight && m.dwBitsPerPixel == dwBpp) bKnown = true;
    if (!bKnown) return DDERR_INVALIDMODE;
    m_bFullScreen = true;
    m_dwModeWidth = dwWidth;
    m_dwModeHeight = dwHeight;
    m_dwModeBpp = dwBpp;
    SetPresentationMode(true, int(dwWidth), int(dwHeight));
    return DD_OK;
}

HRESULT CVideoDevice::RestoreDisplayMode() {
    if (m_bFullScreen) {
        m_bFullScreen = false;
        m_dwModeBpp = 0;
        SetPresentationMode(false, int(m_dwModeWidth), int(m_dwModeHeight));
    }
    return DD_OK;
}

DWORD CVideoDevice::DesktopBitsPerPixel() const { return DWORD(GetDesktopBitsPerPixel()); }

VideoPixelFormat CVideoDevice::CurrentFormat() const {
    DWORD bpp = m_bFullScreen ? m_dwModeBpp : DesktopBitsPerPixel();
    if (bpp == 15) return MakePixelFormat555();
    if (bpp == 24 || bpp == 32) return MakePixelFormat888(bpp);
    return MakePixelFormat565();
}

HRESULT CVideoDevice::CreateSurface(const SurfaceDesc& desc, CVideoSurface** ppOut) {
    if (!ppOut) return DDERR_INVALIDPARAMS;
    *ppOut = nullptr;
    if (m_dwFailCaps && (desc.dwCaps & m_dwFailCaps) == m_dwFailCaps) return DDERR_OUTOFMEMORY;
    const bool bPrimary = (desc.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
    if (bPrimary && m_pPrimary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    if (bPrimary && !m_dwCoopFlags) return DDERR_NOCOOPERATIVELEVELSET;

    VideoPixelFormat fmt = (desc.dwFlags & DDSD_PIXELFORMAT) ? desc.ddpfPixelFormat : CurrentFormat();
    int w, h;
    if (bPrimary) {
        if (m_bFullScreen) {
            w = int(m_dwModeWidth);
            h = int(m_dwModeHeight);
        } else {
            SIZE desk = GetDesktopSize();
            w = desk.cx;
            h = desk.cy;
        }
    } else {
        if (!(desc.dwFlags & DDSD_WIDTH) || !(desc.dwFlags & DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
        w = int(desc.dwWidth);
        h = int(desc.dwHeight);
    }
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return DDERR_INVALIDPARAMS;
    const int nBytes = fmt.dwRGBBitCount == 15 ? 2 : int((fmt.dwRGBBitCount + 7) / 8);
    if (nBytes < 1 || nBytes > 4) return DDERR_INVALIDPIXELFORMAT;

    auto make = [&](DWORD caps) {
        CVideoSurface* p = new CVideoSurface();
        p->m_pDevice = this;
        p->m_nWidth = w;
        p->m_nHeight = h;
        p->m_nBytesPerPixel = nBytes;
        p->m_nPitch = (w * nBytes + 3) & ~3;
        p->m_dwCaps = caps;
        p->m_format = fmt;
        p->m_pixels.assign(size_t(p->m_nPitch) * size_t(h), 0);
        m_surfaces.push_back(p);
        return p;
    };
    CVideoSurface* pSurface = make(desc.dwCaps);
    if (bPrimary) {
        m_pPrimary = pSurface;
        if ((desc.dwCaps & DDSCAPS_FLIP) && (desc.dwFlags & DDSD_BACKBUFFERCOUNT) && desc.dwBackBufferCount > 0) {
            CVideoSurface* pBack = make((desc.dwCaps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP)) | DDSCAPS_BACKBUFFER);
            pBack->m_pOwner = pSurface;
            pSurface->m_pBackBuffer = pBack;
        }
    }
    *ppOut = pSurface;
    return DD_OK;
}

HRESULT CVideoDevice::WaitForVerticalBlank(DWORD) { return DD_OK; }

void CVideoDevice::LoseAllSurfaces() {
    for (CVideoSurface* p : m_surfaces) p->m_bLost = true;
}
