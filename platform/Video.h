// The display device and its surfaces: system-memory pixel buffers in one native
// format, a primary surface that is what the window shows, colour fills, copies and
// stretches with an optional source colour key, locking, device contexts for text,
// loss and restore. The screen and surface classes of the engine sit on top of this.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>
#include "platform/Base.h"

class CVideoDevice;
class CVideoSurface;
class CDeviceContext;
class CPlatWindow;
using HWND = CPlatWindow*;
using HDC = CDeviceContext*;

// Pixel-format flags and description.
constexpr DWORD DDPF_RGB = 0x40;
struct VideoPixelFormat {
    DWORD dwFlags = 0;
    DWORD dwRGBBitCount = 0;
    DWORD dwRBitMask = 0, dwGBitMask = 0, dwBBitMask = 0;
};
// The 5-6-5 and 5-5-5 formats the display can run in.
VideoPixelFormat MakePixelFormat565();
VideoPixelFormat MakePixelFormat555();
VideoPixelFormat MakePixelFormat888(DWORD nBits);  // 24 or 32 bits

// Surface description fields and capabilities.
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_3DDEVICE = 0x2000;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;

struct SurfaceDesc {
    DWORD dwFlags = 0;
    DWORD dwWidth = 0, dwHeight = 0;
    LONG lPitch = 0;
    void* lpSurface = nullptr;  // valid while locked
    DWORD dwBackBufferCount = 0;
    DWORD dwCaps = 0;
    VideoPixelFormat ddpfPixelFormat;  // used when DDSD_PIXELFORMAT is set at creation
};

// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;
constexpr DWORD DDSCL_ALLOWMODEX = 0x40;
constexpr DWORD DDSDM_STANDARDVGAMODE = 0x1;

// Blit, flip and lock flags.
constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_WAIT = 0x1000000;
constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x0;
constexpr DWORD DDBLTFAST_SRCCOLORKEY = 0x1;
constexpr DWORD DDBLTFAST_WAIT = 0x10;
constexpr DWORD DDFLIP_WAIT = 0x1;
constexpr DWORD DDFLIP_NOVSYNC = 0x8;
constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x1;

struct DisplayMode {
    DWORD dwWidth = 0, dwHeight = 0, dwBitsPerPixel = 0;
};

struct PaletteEntry {
    BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};

class CVideoSurface {
public:
    // Locks the whole surface: fills pitch and pixel pointer. Nested platform locks fail.
    HRESULT Lock(SurfaceDesc* pDesc, DWORD dwFlags = DDLOCK_WAIT);
    HRESULT Unlock();
    HRESULT GetSurfaceDesc(SurfaceDesc* pDesc) const;
    HRESULT GetPixelFormat(VideoPixelFormat* pFormat) const;
    // DD_OK, or DDERR_SURFACELOST while the surface is lost.
    HRESULT IsLost() const { return m_bLost ? DDERR_SURFACELOST : DD_OK; }
    // Brings a lost surface back (its pixels are cleared); a primary restores its back buffer too.
    HRESULT Restore();
    // Colour fill (DDBLT_COLORFILL, fill value in native format), or copy / stretch from
    // pSrc (nearest neighbour), honouring pSrc's colour key with DDBLT_KEYSRC. Null
    // rectangles mean the whole surface. Rectangles outside either surface and sources
    // of another pixel format are refused.
    HRESULT Blt(const RECT* pDst, CVideoSurface* pSrc, const RECT* pSrcRect, DWORD dwFlags, DWORD dwFill = 0);
    HRESULT BltFast(LONG x, LONG y, CVideoSurface* pSrc, const RECT* pSrcRect, DWORD dwFlags);
    // Swaps the picture into view: the back buffer is copied to the primary and presented.
    HRESULT Flip(DWORD dwFlags);
    HRESULT GetAttachedSurface(DWORD dwCaps, CVideoSurface** ppOut);
    HRESULT SetColorKey(DWORD dwLow, DWORD dwHigh);
    HRESULT GetColorKey(DWORD* pLow, DWORD* pHigh) const;
    HRESULT GetDC(HDC* pDC);
    HRESULT ReleaseDC(HDC hDC);
    HRESULT SetClipperWindow(HWND hWnd);
    HRESULT SetPalette(const PaletteEntry* pEntries, int nCount);
    // Frees the surface (a primary frees its attached back buffer too).
    void Release();

    // Direct access for the platform layer and tests.
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int Pitch() const { return m_nPitch; }
    int BytesPerPixel() const { return m_nBytesPerPixel; }
    const VideoPixelFormat& Format() const { return m_format; }
    // Writable pixels: the caller may change them, so the pixel generation moves on.
    BYTE* Bits() {
        PixelsChanging();
        return m_pixels.data();
    }
    const BYTE* Bits() const { return m_pixels.data(); }
    // Moves on whenever the pixels may change (a lock, a device context, a fill or blit
    // into the surface, a restore, writable access); what is derived from the pixels
    // compares it to know it still holds. No two surfaces ever share a value, so a
    // surface made in place of another never matches what was derived from the other.
    std::uint64_t PixelGeneration() const { return m_nGeneration; }
    bool IsPrimary() const { return (m_dwCaps & DDSCAPS_PRIMARYSURFACE) != 0; }
    DWORD Caps() const { return m_dwCaps; }
    bool IsLocked() const { return m_bLocked; }
    const std::vector<PaletteEntry>& Palette() const { return m_palette; }
    // Marks the surface lost, as when the display loses its memory (tests and mode changes).
    void MarkLost() { m_bLost = true; }

private:
    friend class CVideoDevice;
    CVideoSurface() = default;
    ~CVideoSurface();
    HRESULT Present(const RECT* pSrc);
    // The pixels may change now: a new generation, and a presented frame that still
    // lives only in these pixels (always a primary's) is kept first.
    void PixelsChanging() {
        m_nGeneration = NewGeneration();
        if (IsPrimary() && s_pfnFramePixelsChanging) s_pfnFramePixelsChanging(this);
    }

public:
    // Set by the presentation once a frame is presented: called before a primary's
    // pixels change or the primary goes, so the frame can be kept.
    static inline void (*s_pfnFramePixelsChanging)(const CVideoSurface* pSurface) = nullptr;

private:

    CVideoDevice* m_pDevice = nullptr;
    int m_nWidth = 0, m_nHeight = 0, m_nPitch = 0, m_nBytesPerPixel = 0;
    DWORD m_dwCaps = 0;
    VideoPixelFormat m_format;
    std::vector<BYTE> m_pixels;
    bool m_bLocked = false;
    bool m_bLost = false;
    static std::uint64_t NewGeneration() {
        static std::atomic<std::uint64_t> s_nLast{0};
        return s_nLast.fetch_add(1, std::memory_order_relaxed) + 1;
    }
    std::uint64_t m_nGeneration = NewGeneration();
    bool m_bHasKey = false;
    DWORD m_dwKeyLow = 0, m_dwKeyHigh = 0;
    CDeviceContext* m_pDC = nullptr;
    CVideoSurface* m_pBackBuffer = nullptr;  // primary of a flipping chain: its back buffer
    CVideoSurface* m_pOwner = nullptr;       // back buffer of a chain: its primary
    HWND m_hClipWindow = nullptr;
    std::vector<PaletteEntry> m_palette;
};

class CVideoDevice {
public:
    // Opens the display device; null when the platform has no display backend.
    static CVideoDevice* Create();
    void Release();

    // Every common resolution at 15, 16 and 32 bits.
    std::vector<DisplayMode> EnumDisplayModes() const;
    HRESULT SetCooperativeLevel(HWND hWnd, DWORD dwFlags);
    HRESULT SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, DWORD dwRefresh, DWORD dwFlags);
    HRESULT RestoreDisplayMode();
    HRESULT CreateSurface(const SurfaceDesc& desc, CVideoSurface** ppOut);
    HRESULT WaitForVerticalBlank(DWORD dwFlags);
    // Bits per pixel and size of the desktop (the display while windowed).
    DWORD DesktopBitsPerPixel() const;
    // The native format of surfaces created now: the full-screen mode's, else the desktop's.
    VideoPixelFormat CurrentFormat() const;
    bool IsFullScreen() const { return m_bFullScreen; }

    // Tests: fail every surface creation whose capabilities include all bits of dwCaps (0: none).
    void SetCreateFailureCaps(DWORD dwCaps) { m_dwFailCaps = dwCaps; }
    // Tests and mode changes: marks every live surface lost.
    void LoseAllSurfaces();

private:
    friend class CVideoSurface;
    CVideoDevice() = default;
    ~CVideoDevice() = default;
    HWND m_hWnd = nullptr;
    DWORD m_dwCoopFlags = 0;
    bool m_bFullScreen = false;
    DWORD m_dwModeWidth = 0, m_dwModeHeight = 0, m_dwModeBpp = 0;
    DWORD m_dwFailCaps = 0;
    CVideoSurface* m_pPrimary = nullptr;
    std::vector<CVideoSurface*> m_surfaces;
};
