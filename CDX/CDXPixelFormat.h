// The native pixel format of a surface and the per-depth pixel routines.
#pragma once
#include <cstdint>
#include "platform/Base.h"
#include "platform/Video.h"

struct CDXPixelFormat {
    BYTE nBlueMax = 0;
    BYTE nGreenMax = 0;
    BYTE nRedMax = 0;
    BYTE nPad0 = 0;
    BYTE nBlueShift = 0;
    BYTE nGreenShift = 0;
    BYTE nRedShift = 0;
    BYTE nPad1 = 0;
    DWORD dwBitsPerPixel = 0;  // 8, 15, 16, 24, 32; 0 when not usable
};

// Fills the record from a video surface's format: 1 on success, 0 when the description
// cannot be read or the format is not RGB.
int GetPixelFormatInfo(CVideoSurface* pSurface, CDXPixelFormat* pFormat);
// The same from a format description.
int PixelFormatFromDescription(const VideoPixelFormat& fmt, CDXPixelFormat* pFormat);

class CDXSurface;

// Per-depth pixel routines. The caller holds the surface's lock.
using PutPixelFn = void (*)(CDXSurface* pSurface, int x, int y, DWORD colour);
using PutAlphaPixelFn = void (*)(CDXSurface* pSurface, int x, int y, DWORD colour, WORD alpha);
using GetPixelFn = DWORD (*)(CDXSurface* pSurface, int x, int y);
using VLineFn = void (*)(CDXSurface* pSurface, int y1, int y2, int x, DWORD colour);
using HLineFn = void (*)(CDXSurface* pSurface, int x1, int x2, int y, DWORD colour);

struct PixelRoutines {
    PutPixelFn pPutPixel = nullptr;
    PutAlphaPixelFn pPutAlphaPixel = nullptr;
    GetPixelFn pGetPixel = nullptr;
    VLineFn pVLine = nullptr;
    HLineFn pHLine = nullptr;
};

// The routines for a depth (all null for an unknown depth).
PixelRoutines MapPixelFunctions(DWORD dwBitsPerPixel);
