// An off-screen surface with everything the game draws with: creation from a size, an
// image file, a resource picture or an open stream; an optional per-pixel alpha mask;
// a source colour key; nested locking and device-context access; restoring after a
// loss; text in a font of its own; a clip rectangle every blit and pixel routine honours.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include "CDX/CDXPixelFormat.h"
#include "platform/Base.h"
#include "platform/Text.h"
#include "platform/Video.h"

class CDXScreen;
class CKeyRuns;
class COutlineSpans;

class CDXSurface {
public:
    CDXSurface();
    virtual ~CDXSurface();

    // Creation. memoryType: 0 video memory, 1 system memory, other: no request.
    HRESULT Create(CDXScreen* pScreen, int nWidth, int nHeight, DWORD memoryType = 1);
    int CreateFromImageFile(CDXScreen* pScreen, const char* pszName, DWORD memoryType = 1);
    int CreateFromStream(CDXScreen* pScreen, DWORD byteCount, FILE* pStream, DWORD memoryType = 1);
    int LoadBmpFromStream(CDXScreen* pScreen, FILE* pStream, DWORD memoryType, DWORD byteCount);
    // Takes ownership of a mask of width x height bytes (null clears it).
    void SetAlphaMask(BYTE* pMask);
    BYTE* GetAlphaMask() const { return m_pAlphaMask; }

    // Colour key (native pixel value).
    HRESULT SetColorKey(DWORD colour);
    int SetColorKeyFromCorner();
    DWORD GetColorKey() const { return m_dwColorKey; }

    // Nested locking and device context.
    HRESULT Lock();
    HRESULT Unlock();
    HDC GetDC();
    int ReleaseDC();
    DWORD GetLockCount() const { return m_dwLockCount; }

    // Restoring after the display lost its memory: the reload's result, so -2 for a
    // surface not made from a file (its pixels are blank until redrawn).
    HRESULT Restore();
    HRESULT Reload(const char* pszName = nullptr);

    // Text (COLORREF colours).
    int ChangeFont(const char* pszFace, int nWidth, int nHeight, int nCharSet = 134, int nWeight = 400, int nItalic = 0);
    int TextOut(int x, int y, COLORREF colour, const char* pszText);
    int DrawText(const char* pszText, COLORREF colour, RECT* pRect, UINT uFormat);
    const char* GetFontFace() const { return m_szFontFace; }

    // Clipping and testing.
    void SetClipRect(const RECT* pRect);
    const RECT& GetClipRect() const { return m_rcClip; }
    bool ClipToRect(RECT* pRect) const;
    bool IsOpaqueAt(int x, int y);

    // Accessors.
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    CVideoSurface* GetInterface() const { return m_pSurface; }
    int GetPitch() const { return m_desc.lPitch; }
    BYTE* GetLockedBits() const { return static_cast<BYTE*>(m_desc.lpSurface); }
    void PutPixel(int x, int y, DWORD colour) { if (m_routines.pPutPixel) m_routines.pPutPixel(this, x, y, colour); }
    void PutAlphaPixel(int x, int y, DWORD colour, WORD alpha) {
        if (m_routines.pPutAlphaPixel) m_routines.pPutAlphaPixel(this, x, y, colour, alpha);
    }
    // Reads a pixel inside the surface; 0 outside it. The caller holds the lock.
    DWORD GetPixel(int x, int y) {
        if (!m_routines.pGetPixel || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
        return m_routines.pGetPixel(this, x, y);
    }
    void VLine(int y1, int y2, int x, DWORD colour) { if (m_routines.pVLine) m_routines.pVLine(this, y1, y2, x, colour); }
    void HLine(int x1, int x2, int y, DWORD colour) { if (m_routines.pHLine) m_routines.pHLine(this, x1, x2, y, colour); }
    void GetPixelFormat(CDXPixelFormat* pFormat) const { if (pFormat) *pFormat = m_pixelFormat; }
    const CDXPixelFormat& PixelFormat() const { return m_pixelFormat; }
    CDXScreen* GetScreen() const { return m_pScreen; }
    const char* GetFileName() const { return m_szFileName; }
    int GetId() const { return m_nId; }
    DWORD GetMemoryType() const { return m_dwMemoryType; }

    // ---- Blits (operations of the source surface; see CDX/Blit*.cpp) ----
    // BEGIN BLITS
    // Clips a blit of pSrcRect (changed in place) to x, y on pDest: true when something is left.
    bool ClipBlit(CDXSurface* pDest, int* pX, int* pY, RECT* pSrcRect);
    // Copies the pixels (in place, or through the display's own copy when a surface is
    // held, lost or the front): 0 or the copy's error, -1 without interface, 0 when
    // clipped away; a lost surface is restored and the restore's result returned.
    int BlitOpaque(CDXSurface* pDest, int x, int y, const RECT* pSrcRect = nullptr);
    // The same, skipping source pixels equal to the colour key.
    int BlitKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect = nullptr);
    // Row copy of the bytes as they are, at every depth; 0.
    int BlitSoftware(CDXSurface* pDest, int x, int y, const RECT* pSrcRect = nullptr);
    // 50 % blend of source and destination; 0.
    int BlitHalfAlpha(CDXSurface* pDest, int x, int y, const RECT* pSrcRect = nullptr);
    int BlitHalfAlphaKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect = nullptr);
    // Alpha weights the destination: 0 copies the source, 256 and above keep the destination; 0.
    int BlitAlpha(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, WORD alpha);
    int BlitAlphaKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, WORD alpha);
    // Blends by the source's alpha mask (255 nearly the source); without a mask each channel
    // takes the larger of source and destination; 0.
    int BlitAlphaMask(CDXSurface* pDest, int x, int y, const RECT* pSrcRect = nullptr);
    // Draws only the outline of the opaque pixels in a native colour: 0, or E_FAIL when
    // clipped away. Width and height (0: the source's) make the rectangle when none is given.
    int BlitOutlined(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight,
                     DWORD outlineColour);
    // Nearest-neighbour stretch to nWidth x nHeight at x, y, done like the copies above:
    // 0 or the stretch's error, -1 without interface, 0 when clipped away.
    int BlitStretched(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight);
    // The same, skipping source pixels equal to the colour key.
    int BlitStretchedKeyed(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight);
    // Each channel of each source pixel scaled by level / 256; the destination is overwritten.
    int BlitFaded(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, WORD level);

    // Shapes in native colours (see CDX/Shapes.cpp).
    // Outline through HLine and VLine, ends included: 0, -1 lock failed, -2 unlock failed.
    int Rect(int x1, int y1, int x2, int y2, DWORD colour);
    // Colour fill of the clipped rectangle (right and bottom exclusive): the Blt result, 0
    // when it lies outside the clip rectangle.
    HRESULT FillRect(int x1, int y1, int x2, int y2, DWORD colour);
    // Colour fill of the whole surface.
    HRESULT Fill(DWORD colour);
    // One run per row or column; the caller holds the lock. 0.
    int Line(int x1, int y1, int x2, int y2, DWORD colour);
    int Circle(int cx, int cy, int nRadius, DWORD colour);
    int FillCircle(int cx, int cy, int nRadius, DWORD colour);
    // Writes a 24-bit bottom-up BMP: 1, or -1 null name, -2 file not created, -3 lock
    // failed, -4 no front surface, -5 no palette (8 bits), -6 palette lock failed,
    // -7 unsupported depth, -8 write failed. A failed write leaves no file behind.
    int SaveAsBmp(const char* pszName);

    // The pixels of a software blit from one surface onto another, held while this
    // object lives: read in place when nothing holds a surface, otherwise through Lock.
    class CBlitAccess {
    public:
        CBlitAccess(CDXSurface* pSrc, CDXSurface* pDest);
        ~CBlitAccess();
        CBlitAccess(const CBlitAccess&) = delete;
        CBlitAccess& operator=(const CBlitAccess&) = delete;
        // DD_OK; a failed lock's result; DDERR_INVALIDPIXELFORMAT when the depths differ
        // (rows are read at the destination's depth, so another depth would be read past
        // its end).
        HRESULT Result() const { return m_hr; }
        DWORD BitsPerPixel() const { return m_dwBpp; }
        int BytesPerPixel() const { return m_nBytes; }  // 0 for depths no blit handles
        const BYTE* Src(int x, int y) const { return m_pSrc + std::ptrdiff_t(y) * m_nSrcPitch + x * m_nBytes; }
        BYTE* Dst(int x, int y) const { return m_pDst + std::ptrdiff_t(y) * m_nDstPitch + x * m_nBytes; }
        int SrcPitch() const { return m_nSrcPitch; }
        int DstPitch() const { return m_nDstPitch; }
        // True when the source is read in place (nothing else holds it).
        bool SourceInPlace() const { return m_bSrcHeld && !m_bSrcLocked; }

    private:
        CDXSurface* m_pSrcSurface;
        CDXSurface* m_pDestSurface;
        const BYTE* m_pSrc = nullptr;
        BYTE* m_pDst = nullptr;
        int m_nSrcPitch = 0, m_nDstPitch = 0, m_nBytes = 0;
        DWORD m_dwBpp = 0;
        bool m_bSrcLocked = false, m_bDstLocked = false, m_bSrcHeld = false, m_bDstHeld = false;
        HRESULT m_hr = DD_OK;
    };

private:
    // This surface's pixels for a blit: in place when nothing holds the surface, otherwise
    // through Lock (then *pbLocked is set). Reading in place leaves the pixels' generation
    // alone, so what is derived from them stays valid.
    HRESULT AcquirePixels(bool bWrite, BYTE** ppBits, int* pPitch, bool* pbLocked);
    void ReleasePixels(bool bLocked);
    // True when nothing holds the surface and its pixels may be used in place.
    bool PixelsFree() const;
    int SoftwareBlit(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nOp, DWORD dwValue);
    // Copies, keyed copies and stretches rcSrc of this surface onto rcDst of pDest on the
    // pixels themselves when that is plainly possible: two different off-screen surfaces
    // of one format, neither lost nor held, a key of one value. False leaves the
    // operation (and any error it meets) to the display's Blt.
    bool CopyInPlace(CDXSurface* pDest, const RECT& rcDst, const RECT& rcSrc, bool bKeyed);
    // The copies and the stretch: in place when plainly possible, else the display's Blt.
    int DeviceCopy(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, bool bKeyed);
    int HardwareStretch(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight, bool bKeyed);
    // The runs of non-key pixels for a keyed blit, made again when the pixels or the key
    // changed since; null when skipping runs would not pay (short runs, key pixels
    // scattered) or the table cannot be made.
    const CKeyRuns* KeyRunsFor(DWORD dwKey, DWORD dwKeyMask);

public:
    // END BLITS

    // Adopts an existing platform surface, owned by this object or not.
    void AttachInterface(CVideoSurface* pSurface, bool bOwned);
    // Runs the completion steps after the platform surface exists: owner, size, clip,
    // pixel format, registration with the screen when bRegister, pixel routines, one lock
    // to learn the pitch.
    void CompleteCreation(CDXScreen* pScreen, DWORD memoryType, bool bRegister);

private:
    friend class CDXScreen;
    friend class CDXSurfaceTestAccess;
    // Screen-only: links of the screen's surface list, and the size of the screen's own
    // front surface and back buffer.
    CDXSurface* m_pNext = nullptr;
    CDXSurface* m_pPrev = nullptr;
    void SetSize(int nWidth, int nHeight) { m_nWidth = nWidth; m_nHeight = nHeight; }

    SurfaceDesc m_desc;
    CVideoSurface* m_pSurface = nullptr;
    bool m_bOwnsInterface = true;
    int m_nWidth = 0;
    int m_nHeight = 0;
    char m_szFileName[256] = {};
    HDC m_hDC = nullptr;
    DWORD m_dwColorKey = 0;
    HFONT m_hFont = nullptr;
    // What the font was made from, so that asking for the same font again keeps it.
    struct FontRequest {
        std::string strFace;
        int nWidth = 0, nHeight = 0, nCharSet = 0, nWeight = 0, nItalic = 0;
        bool operator==(const FontRequest&) const = default;
    };
    FontRequest m_fontRequest;
    CDXScreen* m_pScreen = nullptr;
    RECT m_rcClip;
    CDXPixelFormat m_pixelFormat;
    char m_szFontFace[256] = {};
    BYTE* m_pAlphaMask = nullptr;
    DWORD m_dwLockCount = 0;
    DWORD m_dwDCCount = 0;
    DWORD m_dwMemoryType = 1;
    int m_nId = -1;
    PixelRoutines m_routines;
    std::unique_ptr<CKeyRuns> m_pKeyRuns;
    // Pixel generation of the last keyed blit that found no table for its pixels.
    std::uint64_t m_nKeyRunsSeen = ~std::uint64_t(0);
    // The pixels the last outline blit of this source painted, while they still hold.
    std::unique_ptr<COutlineSpans> m_pOutline;
};
