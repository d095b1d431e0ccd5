// Presentation of finished frames: the display's pixels (15-bit 555, 16-bit 565 or
// 24/32-bit RGB) are shown by the backend and counted; the last frame is kept for
// screenshots, converted to RGB only when one asks for it. Also the fit of a frame into
// a window and its inverse.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/Clock.h"
#include "platform/Strings.h"
#include "platform/Video.h"
#include "platform/WindowBackend.h"

namespace {

FrameImage s_lastFrame;
// The last presented frame while it still lives in a surface's pixels (not converted).
const CVideoSurface* s_pPendingSurface = nullptr;
RECT s_rcPending;
DWORD s_dwFrames = 0;

FramePixels PixelsOf(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytesPerPixel,
                     const VideoPixelFormat& format, const RECT& rcSource) {
    FramePixels frame;
    frame.pBits = pBits;
    frame.nPitch = nPitch;
    frame.nWidth = nWidth;
    frame.nHeight = nHeight;
    frame.nBytesPerPixel = nBytesPerPixel;
    frame.format = format;
    frame.rcSource = rcSource;
    return frame;
}

FramePixels PixelsOf(const CVideoSurface* pSurface, const RECT& rcSource) {
    int nBytes = pSurface->BytesPerPixel();
    if (nBytes <= 0)
        nBytes = pSurface->Format().dwRGBBitCount == 15 ? 2 : int((pSurface->Format().dwRGBBitCount + 7) / 8);
    return PixelsOf(pSurface->Bits(), pSurface->Pitch(), pSurface->Width(), pSurface->Height(), nBytes,
                    pSurface->Format(), rcSource);
}

// Shows, counts and times one presented frame.
void FinishPresent(const FramePixels& frame) {
    CWindowBackend& backend = Backend();
    if (frame.IsShowable()) backend.ShowFrame(frame);
    ++s_dwFrames;
    ClockOnFrame();
    if (backend.IsHeadless()) RunScriptShots(s_dwFrames);
}

}  // namespace

bool ConvertPixels(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytesPerPixel,
                   const VideoPixelFormat& format, const RECT& rcSource, FrameImage* pOut) {
    return ConvertFrameToRgb(PixelsOf(pBits, nPitch, nWidth, nHeight, nBytesPerPixel, format, rcSource), pOut);
}

void PresentPixels(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytesPerPixel,
                   const VideoPixelFormat& format, const RECT& rcSource) {
    // A frame that cannot be converted keeps the previous picture, but still counts, so
    // a loop that waits for frames or for the virtual clock goes on.
    const FramePixels frame = PixelsOf(pBits, nPitch, nWidth, nHeight, nBytesPerPixel, format, rcSource);
    if (ConvertFrameToRgb(frame, &s_lastFrame)) s_pPendingSurface = nullptr;
    FinishPresent(frame);
}

void PresentFrame(const CVideoSurface* pFront, const RECT& rcSource, bool) {
    if (!pFront) return;
    const FramePixels frame = PixelsOf(pFront, rcSource);
    if (frame.IsShowable()) {
        // The pixels stay in the surface until they change or a screenshot needs them.
        s_pPendingSurface = pFront;
        s_rcPending = rcSource;
        CVideoSurface::s_pfnFramePixelsChanging = KeepPresentedFrame;
    }
    FinishPresent(frame);
}

void KeepPresentedFrame(const CVideoSurface* pSurface) {
    if (pSurface && pSurface == s_pPendingSurface) LastFrame();
}

const FrameImage& LastFrame() {
    if (s_pPendingSurface) {
        ConvertFrameToRgb(PixelsOf(s_pPendingSurface, s_rcPending), &s_lastFrame);
        s_pPendingSurface = nullptr;
    }
    return s_lastFrame;
}

bool LastFrameIsPending() { return s_pPendingSurface != nullptr; }

DWORD GetPresentedFrameCount() { return s_dwFrames; }

bool WritePng(const FrameImage& frame, const std::string& strPath, std::string* pWhy) {
    auto fail = [&](const char* pszWhy) {
        if (pWhy) *pWhy = pszWhy;
        else std::fprintf(stderr, "screenshot %s: %s\n", QuoteText(strPath).c_str(), pszWhy);
        return false;
    };
    if (frame.nWidth <= 0 || frame.nHeight <= 0) return fail("no frame has been presented yet");
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(frame.nWidth);
    image.height = png_uint_32(frame.nHeight);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, strPath.c_str(), 0, frame.rgb.data(), png_int_32(frame.nWidth * 3),
                                 nullptr)) {
        fail(image.message);
        png_image_free(&image);
        return false;
    }
    return true;
}

bool ReadPng(const std::string& strPath, FrameImage* pOut) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, strPath.c_str())) {
        std::fprintf(stderr, "screenshot %s: %s\n", QuoteText(strPath).c_str(), image.message);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    FrameImage frame;
    frame.nWidth = int(image.width);
    frame.nHeight = int(image.height);
    frame.rgb.resize(size_t(PNG_IMAGE_SIZE(image)));
    if (!png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr)) {
        std::fprintf(stderr, "screenshot %s: %s\n", QuoteText(strPath).c_str(), image.message);
        png_image_free(&image);
        return false;
    }
    *pOut = std::move(frame);
    return true;
}

bool SaveScreenshotPng(const char* pszPath) {
    if (!pszPath || !*pszPath) return false;
    return WritePng(LastFrame(), pszPath);
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
