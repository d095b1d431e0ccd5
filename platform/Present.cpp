// Presentation of finished frames: the display's pixels (15-bit 555, 16-bit 565 or
// 24/32-bit RGB) become an RGB frame that is kept (for screenshots), shown by the
// backend and counted. Also the fit of a frame into a window and its inverse.
#include <png.h>

#include <cstdio>
#include <cstring>

#include "platform/Clock.h"
#include "platform/PixelMask.h"
#include "platform/Video.h"
#include "platform/WindowBackend.h"

namespace {

constexpr int kMaxFrameSide = 16384;

FrameImage s_lastFrame;
DWORD s_dwFrames = 0;

// One channel of a packed pixel with a table of its 8-bit intensities, so a frame
// converts by lookups; wide fields (no table) are converted per pixel.
struct Channel {
    PixelMask mask;
    DWORD dwValueMask = 0;
    BYTE widen[256] = {};

    void Init(DWORD dwMask) {
        mask = MaskShape(dwMask);
        dwValueMask = mask.nBits >= 1 && mask.nBits <= 8 ? (1u << mask.nBits) - 1 : 0;
        for (DWORD v = 0; v <= dwValueMask; ++v) widen[v] = UnpackChannel(mask, v << mask.nShift);
    }
    BYTE Get(DWORD dwPixel) const {
        if (mask.nBits > 8) return UnpackChannel(mask, dwPixel);
        return widen[(dwPixel >> mask.nShift) & dwValueMask];
    }
};

}  // namespace

bool ConvertPixels(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytesPerPixel,
                   const VideoPixelFormat& format, const RECT& rcSource, FrameImage* pOut) {
    if (!pOut) return false;
    const LONG w = rcSource.right - rcSource.left, h = rcSource.bottom - rcSource.top;
    if (w <= 0 || h <= 0 || w > kMaxFrameSide || h > kMaxFrameSide) return false;
    if (nBytesPerPixel < 2 || nBytesPerPixel > 4) return false;  // no palettes on this display

    DWORD dwR = format.dwRBitMask, dwG = format.dwGBitMask, dwB = format.dwBBitMask;
    if (!dwR && !dwG && !dwB) {
        // An unfilled format: the usual layout of that depth.
        if (nBytesPerPixel == 2) dwR = 0xF800, dwG = 0x07E0, dwB = 0x001F;
        else dwR = 0xFF0000, dwG = 0x00FF00, dwB = 0x0000FF;
    }
    static Channel r, g, b;  // rebuilt only when the masks change
    static DWORD dwLastR = ~0u, dwLastG = ~0u, dwLastB = ~0u;
    if (dwR != dwLastR || dwG != dwLastG || dwB != dwLastB) {
        r.Init(dwR), g.Init(dwG), b.Init(dwB);
        dwLastR = dwR, dwLastG = dwG, dwLastB = dwB;
    }

    pOut->nWidth = int(w);
    pOut->nHeight = int(h);
    pOut->rgb.assign(size_t(w) * size_t(h) * 3, 0);
    // Only the overlap of the rectangle and the pixels is copied; the rest stays black.
    RECT rcPixels{0, 0, nWidth, nHeight}, rcCopy;
    if (!pBits || !IntersectRect(&rcCopy, rcSource, rcPixels)) return true;
    for (LONG y = rcCopy.top; y < rcCopy.bottom; ++y) {
        const BYTE* pSrc = pBits + std::ptrdiff_t(y) * nPitch + std::ptrdiff_t(rcCopy.left) * nBytesPerPixel;
        BYTE* pDst = pOut->rgb.data() + (size_t(y - rcSource.top) * size_t(w) + size_t(rcCopy.left - rcSource.left)) * 3;
        for (LONG x = rcCopy.left; x < rcCopy.right; ++x, pSrc += nBytesPerPixel, pDst += 3) {
            DWORD p;
            if (nBytesPerPixel == 2) {
                std::uint16_t v;
                std::memcpy(&v, pSrc, 2);
                p = v;
            } else if (nBytesPerPixel == 3) {
                p = DWORD(pSrc[0]) | (DWORD(pSrc[1]) << 8) | (DWORD(pSrc[2]) << 16);
            } else {
                std::memcpy(&p, pSrc, 4);
            }
            pDst[0] = r.Get(p);
            pDst[1] = g.Get(p);
            pDst[2] = b.Get(p);
        }
    }
    return true;
}

void PresentPixels(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytesPerPixel,
                   const VideoPixelFormat& format, const RECT& rcSource) {
    CWindowBackend& backend = Backend();
    // A frame that cannot be converted keeps the previous picture, but still counts, so
    // a loop that waits for frames or for the virtual clock goes on.
    if (ConvertPixels(pBits, nPitch, nWidth, nHeight, nBytesPerPixel, format, rcSource, &s_lastFrame))
        backend.ShowFrame(s_lastFrame);
    ++s_dwFrames;
    ClockOnFrame();
    if (backend.IsHeadless()) RunScriptShots(s_dwFrames);
}

void PresentFrame(const CVideoSurface* pFront, const RECT& rcSource, bool) {
    if (!pFront) return;
    int nBytes = pFront->BytesPerPixel();
    if (nBytes <= 0) nBytes = pFront->Format().dwRGBBitCount == 15 ? 2 : int((pFront->Format().dwRGBBitCount + 7) / 8);
    PresentPixels(pFront->Bits(), pFront->Pitch(), pFront->Width(), pFront->Height(), nBytes, pFront->Format(),
                  rcSource);
}

const FrameImage& LastFrame() { return s_lastFrame; }

DWORD GetPresentedFrameCount() { return s_dwFrames; }

bool WritePng(const FrameImage& frame, const std::string& strPath) {
    if (frame.nWidth <= 0 || frame.nHeight <= 0) {
        std::fprintf(stderr, "screenshot %s: no frame has been presented yet\n", strPath.c_str());
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(frame.nWidth);
    image.height = png_uint_32(frame.nHeight);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, strPath.c_str(), 0, frame.rgb.data(), png_int_32(frame.nWidth * 3),
                                 nullptr)) {
        std::fprintf(stderr, "screenshot %s: %s\n", strPath.c_str(), image.message);
        png_image_free(&image);
        return false;
    }
    return true;
}

bool SaveScreenshotPng(const char* pszPath) {
    if (!pszPath || !*pszPath) return false;
    return WritePng(s_lastFrame, pszPath);
}

RECT FitFrame(int nWinW, int nWinH, int nFrameW, int nFrameH) {
    if (nWinW <= 0 || nWinH <= 0 || nFrameW <= 0 || nFrameH <= 0) return RECT{0, 0, nWinW, nWinH};
    long long w = nWinW, h = (long long)nFrameH * nWinW / nFrameW;
    if (h > nWinH) {
        h = nWinH;
        w = (long long)nFrameW * nWinH / nFrameH;
    }
    LONG x = LONG((nWinW - w) / 2), y = LONG((nWinH - h) / 2);
    return RECT{x, y, x + LONG(w), y + LONG(h)};
}

POINT WindowToFrame(const RECT& rcView, int nFrameW, int nFrameH, int x, int y) {
    const long long vw = rcView.right - rcView.left, vh = rcView.bottom - rcView.top;
    if (vw <= 0 || vh <= 0) return POINT{x, y};
    // Floor division, so points left of or above the picture map to negative values.
    auto map = [](long long d, long long nFrame, long long nView) {
        long long n = d * nFrame;
        return LONG(n >= 0 ? n / nView : -((-n + nView - 1) / nView));
    };
    return POINT{map(x - rcView.left, nFrameW, vw), map(y - rcView.top, nFrameH, vh)};
}
