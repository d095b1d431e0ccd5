#include "CDX/CDXScreen.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/PixelMask.h"

CDXScreen* pScreen = nullptr;
CDXSurface* pBack = nullptr;

namespace {
int g_nNextSurfaceId = 0;
}

CDXScreen::CDXScreen() {
    m_bVideoMemory = TRUE;
    m_dwLastFlip = TimeGetTime();
    m_pDevice = CVideoDevice::Create();
    // The mode list always ends in one empty node; the count leaves it out.
    m_pModeList = new DisplayModeNode();
    if (!m_pDevice) return;
    DisplayModeNode* pLast = m_pModeList;
    for (const DisplayMode& mode : m_pDevice->EnumDisplayModes()) {
        pLast->dwWidth = mode.dwWidth;
        pLast->dwHeight = mode.dwHeight;
        pLast->dwBitsPerPixel = mode.dwBitsPerPixel;
        pLast->pNext = new DisplayModeNode();
        pLast = pLast->pNext;
        ++m_nModeCount;
    }
}

CDXScreen::~CDXScreen() {
    while (m_pModeList) {
        DisplayModeNode* pNext = m_pModeList->pNext;
        delete m_pModeList;
        m_pModeList = pNext;
    }
    if (m_pDevice) m_pDevice->RestoreDisplayMode();
    // The surfaces stay with their owners; they only leave the list.
    for (CDXSurface* p = m_pFirstSurface; p;) {
        CDXSurface* pNext = p->m_pNext;
        p->m_pNext = p->m_pPrev = nullptr;
        p = pNext;
    }
    m_pFirstSurface = m_pLastSurface = nullptr;
    m_nSurfaceCount = 0;
    DeleteSurfaces();
    if (m_pDevice) m_pDevice->Release();
    m_pDevice = nullptr;
}

void CDXScreen::DeleteSurfaces() {
    // In full screen the back buffer's platform surface belongs to the front's chain.
    delete m_pBack;
    m_pBack = nullptr;
    delete m_pFront;
    m_pFront = nullptr;
}

bool CDXScreen::HasDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp) const {
    for (const DisplayModeNode* p = m_pModeList; p && p->pNext; p = p->pNext)
        if (p->dwWidth == dwWidth && p->dwHeight == dwHeight && p->dwBitsPerPixel == dwBpp) return true;
    return false;
}

void CDXScreen::SetDefaultPalette() {
    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i) {
        entries[i].peRed = BYTE((i >> 5) * 255 / 7);
        entries[i].peGreen = BYTE(((i >> 2) & 7) * 255 / 7);
        entries[i].peBlue = BYTE((i & 3) * 255 / 3);
        entries[i].peFlags = 0;
    }
    if (m_pFront && m_pFront->GetInterface()) m_pFront->GetInterface()->SetPalette(entries, 256);
    m_bPaletteSet = true;
}

int CDXScreen::CreateFullScreen(HWND hWnd, DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, BOOL bStandardVga) {
    if (!m_pDevice || m_pFront) return -1;
    m_nWidth = int(dwWidth);
    m_nHeight = int(dwHeight);
    m_dwBpp = dwBpp;
    m_hWnd = hWnd;
    m_bFullScreen = TRUE;
    if (Failed(m_pDevice->SetCooperativeLevel(hWnd, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX)))
        return -2;
    if (Failed(m_pDevice->SetDisplayMode(dwWidth, dwHeight, dwBpp, 0, bStandardVga ? DDSDM_STANDARDVGAMODE : 0)))
        return -4;
    m_pFront = new CDXSurface();
    m_pBack = new CDXSurface();

    const DWORD dwChain = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwCaps = dwChain | (m_bVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    desc.dwBackBufferCount = m_bTripleBuffering ? 2 : 1;
    CVideoSurface* pPrimary = nullptr;
    HRESULT hr = m_pDevice->CreateSurface(desc, &pPrimary);
    if (Failed(hr) && desc.dwBackBufferCount == 2) {
        m_bTripleBuffering = FALSE;
        desc.dwBackBufferCount = 1;
        hr = m_pDevice->CreateSurface(desc, &pPrimary);
    }
    if (Failed(hr)) {
        if (!m_bVideoMemory) {
            DeleteSurfaces();
            return -16;
        }
        desc.dwCaps = dwChain | DDSCAPS_SYSTEMMEMORY;
        if (Failed(m_pDevice->CreateSurface(desc, &pPrimary))) {
            DeleteSurfaces();
            return -8;
        }
    }
    CVideoSurface* pBackSurface = nullptr;
    if (Failed(pPrimary->GetAttachedSurface(DDSCAPS_BACKBUFFER, &pBackSurface))) {
        pPrimary->Release();
        DeleteSurfaces();
        return -32;
    }
    m_pFront->AttachInterface(pPrimary, true);
    m_pBack->AttachInterface(pBackSurface, false);
    m_pFront->CompleteCreation(this, 0, false);
    m_pBack->CompleteCreation(this, 0, false);
    m_pFront->SetSize(m_nWidth, m_nHeight);
    m_pBack->SetSize(m_nWidth, m_nHeight);
    RECT rc{0, 0, m_nWidth, m_nHeight};
    m_pFront->SetClipRect(&rc);
    m_pBack->SetClipRect(&rc);
    SetDefaultPalette();
    return 0;
}

int CDXScreen::CreateWindowed(HWND hWnd, int nWidth, int nHeight) {
    if (!m_pDevice || m_pFront) return -1;
    m_bFullScreen = FALSE;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_hWnd = hWnd;
    m_dwBpp = m_pDevice->DesktopBitsPerPixel();
    if (Failed(m_pDevice->SetCooperativeLevel(hWnd, DDSCL_NORMAL))) return -2;
    m_pFront = new CDXSurface();
    m_pBack = new CDXSurface();

    SurfaceDesc front;
    front.dwFlags = DDSD_CAPS;
    front.dwCaps = DDSCAPS_PRIMARYSURFACE;
    CVideoSurface* pPrimary = nullptr;
    if (Failed(m_pDevice->CreateSurface(front, &pPrimary))) {
        DeleteSurfaces();
        return -4;
    }
    m_pFront->AttachInterface(pPrimary, true);

    SurfaceDesc back;
    back.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    back.dwWidth = DWORD(nWidth);
    back.dwHeight = DWORD(nHeight);
    back.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | (m_bVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    CVideoSurface* pBackSurface = nullptr;
    HRESULT hr = m_pDevice->CreateSurface(back, &pBackSurface);
    if (Failed(hr) && m_bVideoMemory) {
        back.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        hr = m_pDevice->CreateSurface(back, &pBackSurface);
    }
    if (Failed(hr)) {
        DeleteSurfaces();
        return -8;
    }
    m_pBack->AttachInterface(pBackSurface, true);
    pPrimary->SetClipperWindow(hWnd);
    m_hClipperWindow = hWnd;

    m_pFront->CompleteCreation(this, 0, false);
    m_pBack->CompleteCreation(this, 0, false);
    SetDefaultPalette();
    return 0;
}

int CDXScreen::ChangeVideoMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, BOOL bStandardVga) {
    DeleteSurfaces();
    if (!m_pDevice) return -1;
    if (dwBpp > 0) return CreateFullScreen(m_hWnd, dwWidth, dwHeight, dwBpp, bStandardVga);
    m_pDevice->RestoreDisplayMode();
    if (m_hWnd) m_hWnd->SetWindowPos(0, 0, int(dwWidth), int(dwHeight), SWP_SHOWWINDOW);
    int nResult = CreateWindowed(m_hWnd, int(dwWidth), int(dwHeight));
    if (m_hWnd) m_hWnd->SetWindowPos(0, 0, int(dwWidth), int(dwHeight), SWP_SHOWWINDOW);
    return nResult;
}

HRESULT CDXScreen::Flip(BOOL bWait, BOOL bStretch, BOOL bShowFrameRate) {
    const DWORD dwNow = TimeGetTime();
    const DWORD dwElapsed = dwNow - m_dwLastFlip;
    m_dwLastFlip = dwNow;
    m_dwAccumulated += dwElapsed;
    if (m_dwAccumulated > 1000) {
        m_dwFps = m_dwFrameCount * 1000 / m_dwAccumulated;
        m_dwFrameCount = 0;
        m_dwAccumulated = 0;
    }
    ++m_dwFrameCount;
    if (!m_pFront || !m_pBack) return -1;

    if (bShowFrameRate) {
        char szText[32];
        std::snprintf(szText, sizeof szText, "FPS = %d", int(m_dwFps));
        m_pBack->TextOut(10, 20, 0x00FFF0, szText);
    }
    HRESULT hr;
    if (!m_bFullScreen) {
        RECT rcClient{0, 0, m_nWidth, m_nHeight};
        POINT pt{0, 0};
        if (m_hWnd) {
            m_hWnd->GetClientRect(&rcClient);
            m_hWnd->ClientToScreen(&pt);
        }
        OffsetRect(&rcClient, pt.x, pt.y);
        if (bWait) m_pDevice->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN);
        if (bStretch) {
            hr = m_pFront->GetInterface()->Blt(&rcClient, m_pBack->GetInterface(), nullptr, DDBLT_WAIT);
        } else {
            // A client area larger than the back buffer shows the overlap rather than nothing.
            RECT rcSrc{0, 0, rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
            if (rcSrc.right > m_nWidth) rcSrc.right = m_nWidth;
            if (rcSrc.bottom > m_nHeight) rcSrc.bottom = m_nHeight;
            RECT rcDst{rcClient.left, rcClient.top, rcClient.left + rcSrc.right, rcClient.top + rcSrc.bottom};
            hr = m_pFront->GetInterface()->Blt(&rcDst, m_pBack->GetInterface(), &rcSrc, DDBLT_WAIT);
        }
    } else {
        hr = m_pFront->GetInterface()->Flip(bWait ? DDFLIP_WAIT : DDFLIP_NOVSYNC);
    }
    if (hr == DDERR_SURFACELOST) return Restore();
    return hr;
}

HRESULT CDXScreen::Restore() {
    if (!m_pFront) return -1;
    CVideoSurface* pFront = m_pFront->GetInterface();
    if (m_bFullScreen) {
        if (pFront->IsLost() == DDERR_SURFACELOST) return pFront->Restore();
        return DD_OK;
    }
    HRESULT hrFront = DD_OK, hrBack = DD_OK;
    bool bBackLost = false;
    if (pFront->IsLost() == DDERR_SURFACELOST) hrFront = pFront->Restore();
    if (m_pBack && m_pBack->GetInterface()->IsLost() == DDERR_SURFACELOST) {
        bBackLost = true;
        hrBack = m_pBack->GetInterface()->Restore();
    }
    return bBackLost ? hrBack : hrFront;
}

HRESULT CDXScreen::FillBack(DWORD dwColour) {
    if (!m_pBack || !m_pBack->GetInterface()) return -1;
    return m_pBack->GetInterface()->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, dwColour);
}

DWORD CDXScreen::RgbToPixel(COLORREF colour, CDXSurface* pSurface) {
    CDXSurface* p = pSurface ? pSurface : m_pBack;
    if (!p || !p->GetInterface()) return colour;
    VideoPixelFormat fmt;
    p->GetInterface()->GetPixelFormat(&fmt);
    if (fmt.dwRGBBitCount <= 8) return colour;
    // Each byte is placed as (byte << shift) >> (8 - width) within its channel's mask.
    const PixelMasks masks(fmt.dwRBitMask, fmt.dwGBitMask, fmt.dwBBitMask);
    return masks.Pack(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int CDXScreen::FadeStep(int nDuration, DWORD dwElapsed) {
    // A step that took no measurable time counts as 256 frames per duration: step 2.
    const float fFrame = float((nDuration & 0xFFFF) + 1);
    float r = dwElapsed == 0 ? 256.0f : fFrame / float(dwElapsed);
    if (r > 256.0f) r = 256.0f;
    if (r < 1.0f) r = 1.0f;
    return int(512.0f / r);
}

int CDXScreen::FadeIn(int nDuration) {
    if (m_dwBpp == 8 || !m_pBack) return m_pBack ? 0 : -1;
    CDXSurface* pTemp = new CDXSurface();
    if (Failed(pTemp->Create(this, m_nWidth, m_nHeight, 1))) {
        delete pTemp;
        return -1;
    }
    int nResult = 0;
    if (m_pBack->BlitOpaque(pTemp, 0, 0, nullptr) < 0) nResult = -2;
    if (nResult == 0) {
        FillBack(0);
        Flip(TRUE, FALSE, FALSE);
        int nLevel = 0;
        while (nLevel < 256) {
            const DWORD t0 = TimeGetTime();
            pTemp->BlitFaded(m_pBack, 0, 0, nullptr, WORD(nLevel));
            if (Failed(Flip(TRUE, FALSE, FALSE))) {
                nResult = -3;
                break;
            }
            nLevel += FadeStep(nDuration, TimeGetTime() - t0);
        }
        if (nResult == 0) {
            pTemp->BlitOpaque(m_pBack, 0, 0, nullptr);
            Flip(TRUE, FALSE, FALSE);
        }
    }
    delete pTemp;
    return nResult;
}

int CDXScreen::FadeOut(int nDuration) {
    if (m_dwBpp == 8 || !m_pBack || !m_pFront) return m_pBack ? 0 : -1;
    RECT rcSource;
    if (!m_bFullScreen) {
        rcSource = RECT{0, 0, m_nWidth, m_nHeight};
        POINT pt{0, 0};
        if (m_hWnd) {
            m_hWnd->GetClientRect(&rcSource);
            m_hWnd->ClientToScreen(&pt);
        }
        OffsetRect(&rcSource, pt.x, pt.y);
    } else {
        rcSource = m_pFront->GetClipRect();
    }
    CDXSurface* pTemp = new CDXSurface();
    if (Failed(pTemp->Create(this, m_nWidth, m_nHeight, 1))) {
        delete pTemp;
        return -1;
    }
    int nResult = 0;
    RECT rcTemp{0, 0, m_nWidth, m_nHeight};
    if (Failed(pTemp->GetInterface()->Blt(&rcTemp, m_pFront->GetInterface(), &rcSource, DDBLT_WAIT))) nResult = -2;
    int nLevel = 256;
    while (nResult == 0 && nLevel > 0) {
        const DWORD t0 = TimeGetTime();
        RECT rc{0, 0, m_nWidth, m_nHeight};
        pTemp->BlitFaded(m_pBack, 0, 0, &rc, WORD(nLevel));
        if (Failed(Flip(TRUE, FALSE, FALSE))) {
            nResult = -3;
            break;
        }
        nLevel -= FadeStep(nDuration, TimeGetTime() - t0);
    }
    delete pTemp;
    FillBack(0);
    Flip(TRUE, FALSE, FALSE);
    return nResult;
}

void CDXScreen::AddSurface(CDXSurface* pSurface) {
    if (!pSurface) return;
    pSurface->m_pNext = nullptr;
    pSurface->m_pPrev = m_pLastSurface;
    if (m_pLastSurface)
        m_pLastSurface->m_pNext = pSurface;
    else
        m_pFirstSurface = pSurface;
    m_pLastSurface = pSurface;
    ++m_nSurfaceCount;
}

void CDXScreen::RemoveSurface(CDXSurface* pSurface) {
    if (!pSurface || pSurface == m_pFront || pSurface == m_pBack) return;
    bool bListed = pSurface->m_pPrev || pSurface->m_pNext || m_pFirstSurface == pSurface;
    if (!bListed) return;
    if (pSurface->m_pPrev)
        pSurface->m_pPrev->m_pNext = pSurface->m_pNext;
    else
        m_pFirstSurface = pSurface->m_pNext;
    if (pSurface->m_pNext)
        pSurface->m_pNext->m_pPrev = pSurface->m_pPrev;
    else
        m_pLastSurface = pSurface->m_pPrev;
    pSurface->m_pNext = pSurface->m_pPrev = nullptr;
    --m_nSurfaceCount;
}

int CDXScreen::NextSurfaceId() { return ++g_nNextSurfaceId; }
