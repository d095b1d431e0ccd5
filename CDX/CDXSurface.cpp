#include "CDX/CDXSurface.h"

#include <cstring>
#include <vector>

#include "CDX/BlitKeyRuns.h"
#include "CDX/BlitOutline.h"
#include "CDX/CDXImage.h"
#include "CDX/CDXScreen.h"
#include "platform/PixelBytes.h"
#include "platform/Resources.h"

namespace {

void CopyName(char* pDest, const char* pszSource) {
    std::strncpy(pDest, pszSource ? pszSource : "", 255);
    pDest[255] = '\0';
}

}  // namespace

CDXSurface::CDXSurface() {
    m_dwMemoryType = 1;
    m_nId = -1;
}

CDXSurface::~CDXSurface() {
    if (m_hFont) DeleteObject(m_hFont);
    if (m_dwDCCount > 0 && m_pSurface && m_hDC) m_pSurface->ReleaseDC(m_hDC);
    delete[] m_pAlphaMask;
    if (m_pSurface && m_bOwnsInterface) m_pSurface->Release();
    if (m_pScreen) m_pScreen->RemoveSurface(this);
}

void CDXSurface::AttachInterface(CVideoSurface* pSurface, bool bOwned) {
    m_pSurface = pSurface;
    m_bOwnsInterface = bOwned;
}

void CDXSurface::CompleteCreation(CDXScreen* pScreen, DWORD memoryType, bool bRegister) {
    m_pScreen = pScreen;
    if (m_pSurface) {
        SurfaceDesc desc;
        m_pSurface->GetSurfaceDesc(&desc);
        m_nWidth = int(desc.dwWidth);
        m_nHeight = int(desc.dwHeight);
        m_desc = desc;
    }
    m_rcClip = RECT{0, 0, m_nWidth, m_nHeight};
    m_dwMemoryType = memoryType;
    GetPixelFormatInfo(m_pSurface, &m_pixelFormat);
    if (bRegister && pScreen) {
        pScreen->AddSurface(this);
        m_nId = CDXScreen::NextSurfaceId();
    }
    m_routines = MapPixelFunctions(m_pixelFormat.dwBitsPerPixel);
    if (Succeeded(Lock())) Unlock();
}

HRESULT CDXSurface::Create(CDXScreen* pScreen, int nWidth, int nHeight, DWORD memoryType) {
    if (!pScreen || !pScreen->GetDirectDraw()) return DDERR_NOTINITIALIZED;
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = DWORD(nWidth);
    desc.dwHeight = DWORD(nHeight);
    desc.dwCaps = CapsForMemoryChoice(int(memoryType));
    CVideoSurface* pSurface = nullptr;
    HRESULT hr = pScreen->GetDirectDraw()->CreateSurface(desc, &pSurface);
    if (Failed(hr)) return hr;
    AttachInterface(pSurface, true);
    CompleteCreation(pScreen, memoryType, true);
    return hr;
}

int CDXSurface::CreateFromImageFile(CDXScreen* pScreen, const char* pszName, DWORD memoryType) {
    if (!pszName || !pScreen) return -1;
    CVideoDevice* pDevice = pScreen->GetDirectDraw();
    CDXImage image;
    CVideoSurface* pSurface = image.GetImage(pDevice, pszName, int(memoryType));
    if (pSurface) {
        SetAlphaMask(image.TakeAlpha());
    } else {
        size_t nSize = 0;
        const BYTE* pData = FindResourceData(pszName, &nSize);
        if (!pData) return -2;
        int nWidth = 0, nHeight = 0;
        pSurface = LoadBitmapSurface(pDevice, pszName, &nWidth, &nHeight, int(memoryType));
        if (!pSurface) return -1;
    }
    AttachInterface(pSurface, true);
    CompleteCreation(pScreen, memoryType, true);
    CopyName(m_szFileName, pszName);
    return 1;
}

int CDXSurface::CreateFromStream(CDXScreen* pScreen, DWORD byteCount, FILE* pStream, DWORD memoryType) {
    if (!pStream || !pScreen) return -1;
    CDXImage image;
    CVideoSurface* pSurface = image.GetImageFromStream(pScreen->GetDirectDraw(), byteCount, pStream, int(memoryType), 0);
    SetAlphaMask(image.TakeAlpha());
    if (!pSurface) return -1;
    AttachInterface(pSurface, true);
    CompleteCreation(pScreen, memoryType, true);
    return 1;
}

int CDXSurface::LoadBmpFromStream(CDXScreen* pScreen, FILE* pStream, DWORD memoryType, DWORD byteCount) {
    if (!pStream || !pScreen) return 0;
    const long nStart = std::ftell(pStream);
    if (nStart < 0 || std::fseek(pStream, 0, SEEK_END) != 0) return 0;
    const long nEnd = std::ftell(pStream);
    if (nEnd < nStart || std::fseek(pStream, nStart, SEEK_SET) != 0) return 0;
    BYTE header[30];
    if (std::fread(header, 1, sizeof header, pStream) != sizeof header) return 0;
    auto u16 = [&](int o) { return DWORD(header[o]) | (DWORD(header[o + 1]) << 8); };
    auto u32 = [&](int o) { return u16(o) | (u16(o + 2) << 16); };
    if (header[0] != 'B' || header[1] != 'M') return 0;
    // Bitmaps with a colour table are not taken.
    if (u16(28) <= 8) return 0;
    // The whole entry goes to the BMP decoder, which reads every header size; its size
    // is the caller's byte count, else the file header's, and never past the stream.
    const DWORD dwSize = byteCount ? byteCount : u32(2);
    if (dwSize < sizeof header || std::uint64_t(nEnd - nStart) < dwSize) return 0;
    std::vector<BYTE> bmp(dwSize);
    if (std::fseek(pStream, nStart, SEEK_SET) != 0) return 0;
    if (std::fread(bmp.data(), 1, bmp.size(), pStream) != bmp.size()) return 0;
    CDXImage image;
    CVideoSurface* pSurface = image.GetImageFromMemory(pScreen->GetDirectDraw(), dwSize, bmp.data(), int(memoryType),
                                                       CDXImage::TypeBmp);
    delete[] image.TakeAlpha();
    if (!pSurface) return 0;
    AttachInterface(pSurface, true);
    CompleteCreation(pScreen, memoryType, true);
    return 1;
}

void CDXSurface::SetAlphaMask(BYTE* pMask) {
    if (pMask == m_pAlphaMask) return;
    delete[] m_pAlphaMask;
    m_pAlphaMask = pMask;
}

HRESULT CDXSurface::SetColorKey(DWORD colour) {
    if (!m_pSurface) return -1;
    m_dwColorKey = colour;
    return m_pSurface->SetColorKey(colour, colour);
}

int CDXSurface::SetColorKeyFromCorner() {
    if (!m_pSurface) return -1;
    HRESULT hr;
    while ((hr = Lock()) == DDERR_WASSTILLDRAWING) {
    }
    if (Failed(hr)) return -1;
    // The key is the top-left pixel read at the surface's own depth, never past its end.
    const DWORD bpp = m_pixelFormat.dwBitsPerPixel;
    const DWORD dwKey = LoadPixelBytes(GetLockedBits(), bpp == 8 ? 1 : bpp == 24 ? 3 : bpp == 32 ? 4 : 2);
    Unlock();
    m_dwColorKey = dwKey;
    if (Failed(m_pSurface->SetColorKey(dwKey, dwKey))) return -2;
    return 0;
}

HRESULT CDXSurface::Lock() {
    if (m_dwLockCount > 0) return HRESULT(++m_dwLockCount);
    if (!m_pSurface) return -1;
    m_desc = SurfaceDesc{};
    HRESULT hr;
    while ((hr = m_pSurface->Lock(&m_desc, DDLOCK_WAIT)) == DDERR_SURFACELOST) {
        HRESULT hrRestore = Restore();
        if (Failed(hrRestore) && hrRestore != -2) return hrRestore;
    }
    if (Failed(hr)) return hr;
    m_dwLockCount = 1;
    return 1;
}

HRESULT CDXSurface::Unlock() {
    if (m_dwLockCount > 1) return HRESULT(--m_dwLockCount);
    if (!m_pSurface) return -1;
    if (m_dwLockCount == 0) return DDERR_NOTLOCKED;
    HRESULT hr;
    while ((hr = m_pSurface->Unlock()) == DDERR_SURFACELOST) {
        Restore();
        if (!m_pSurface->IsLocked()) { hr = DD_OK; break; }
    }
    if (Failed(hr)) return hr;
    --m_dwLockCount;
    return HRESULT(m_dwLockCount);
}

HDC CDXSurface::GetDC() {
    if (m_dwDCCount > 0) {
        ++m_dwDCCount;
        return m_hDC;
    }
    if (!m_pSurface) return nullptr;
    HDC hDC = nullptr;
    if (Succeeded(m_pSurface->GetDC(&hDC))) {
        ++m_dwDCCount;
        m_hDC = hDC;
        return m_hDC;
    }
    m_hDC = nullptr;
    return nullptr;
}

int CDXSurface::ReleaseDC() {
    if (m_dwDCCount > 1) {
        --m_dwDCCount;
        return 0;
    }
    if (!m_pSurface || m_dwDCCount == 0) return -1;
    if (Failed(m_pSurface->ReleaseDC(m_hDC))) return -1;
    m_hDC = nullptr;
    --m_dwDCCount;
    return 0;
}

HRESULT CDXSurface::Restore() {
    if (!m_pSurface) return -1;
    if (m_pScreen && m_pScreen->GetBack() == this && m_pScreen->IsFullScreen() && m_pScreen->GetFrontSurface())
        return m_pScreen->GetFrontSurface()->Restore();
    HRESULT hr = m_pSurface->Restore();
    if (Failed(hr)) return hr;
    // A surface not made from a file has nothing to reload: the reload's "not found".
    if (m_szFileName[0] == '\0') return -2;
    return Reload(nullptr);
}

HRESULT CDXSurface::Reload(const char* pszName) {
    if (!m_pSurface || !m_pScreen) return -1;
    const char* pszFile = pszName ? pszName : m_szFileName;
    CDXImage image;
    CVideoSurface* pTemp = image.GetImage(m_pScreen->GetDirectDraw(), pszFile, 1);
    delete[] image.TakeAlpha();
    if (!pTemp) return -2;
    RECT rc{0, 0, m_nWidth, m_nHeight};
    RECT rcSrc{0, 0, pTemp->Width(), pTemp->Height()};
    HRESULT hr = m_pSurface->Blt(&rc, pTemp, &rcSrc, DDBLT_WAIT);
    pTemp->Release();
    return hr;
}

int CDXSurface::ChangeFont(const char* pszFace, int nWidth, int nHeight, int nCharSet, int nWeight, int nItalic) {
    // The font asked for is the one the surface has (the main loop selects its text font
    // on every pass): the same font would only be made again.
    const FontRequest request{pszFace ? pszFace : "", nWidth, nHeight, nCharSet, nWeight, nItalic};
    if (m_hFont && request == m_fontRequest) return 0;
    if (m_hFont) {
        if (!DeleteObject(m_hFont)) return -1;
        m_hFont = nullptr;
        m_szFontFace[0] = '\0';
    }
    m_hFont = CreateFontA(nHeight, nWidth, 0, 0, nWeight, DWORD(nItalic), 0, 0, DWORD(nCharSet), 0, 0, 4, 2, pszFace);
    if (!m_hFont) return -2;
    CopyName(m_szFontFace, pszFace);
    m_fontRequest = request;
    return 0;
}

int CDXSurface::TextOut(int x, int y, COLORREF colour, const char* pszText) {
    if (!pszText) return 0;
    HDC hDC = GetDC();
    if (!hDC) return 0;
    SetBkMode(hDC, TRANSPARENT);
    SetTextColor(hDC, colour);
    HFONT hOld = SelectObject(hDC, m_hFont);
    bool bOk = TextOutA(hDC, x, y, pszText, int(std::strlen(pszText)));
    SelectObject(hDC, hOld);
    ReleaseDC();
    return bOk ? 0 : -1;
}

int CDXSurface::DrawText(const char* pszText, COLORREF colour, RECT* pRect, UINT uFormat) {
    if (!pszText || !pRect) return 0;
    HDC hDC = GetDC();
    if (!hDC) return 0;
    SetBkMode(hDC, TRANSPARENT);
    SelectObject(hDC, m_hFont);
    SetTextColor(hDC, colour);
    int nHeight = DrawTextA(hDC, pszText, -1, pRect, uFormat);
    ReleaseDC();
    return nHeight;
}

void CDXSurface::SetClipRect(const RECT* pRect) {
    if (!pRect) return;
    m_rcClip = *pRect;
    if (m_rcClip.left < 0) m_rcClip.left = 0;
    if (m_rcClip.top < 0) m_rcClip.top = 0;
    if (m_rcClip.right > m_nWidth) m_rcClip.right = m_nWidth;
    if (m_rcClip.bottom > m_nHeight) m_rcClip.bottom = m_nHeight;
}

bool CDXSurface::ClipToRect(RECT* pRect) const {
    if (pRect->top >= m_rcClip.bottom || pRect->left >= m_rcClip.right || pRect->bottom <= m_rcClip.top ||
        pRect->right <= m_rcClip.left)
        return false;
    if (pRect->top < m_rcClip.top) pRect->top = m_rcClip.top;
    if (pRect->left < m_rcClip.left) pRect->left = m_rcClip.left;
    if (pRect->bottom > m_rcClip.bottom) pRect->bottom = m_rcClip.bottom;
    if (pRect->right > m_rcClip.right) pRect->right = m_rcClip.right;
    return true;
}

bool CDXSurface::IsOpaqueAt(int x, int y) {
    if (x < 0 || x >= m_nWidth || y < 0 || y >= m_nHeight) return false;
    if (Failed(Lock())) return false;
    DWORD c = GetPixel(x, y);
    Unlock();
    return c != m_dwColorKey;
}
