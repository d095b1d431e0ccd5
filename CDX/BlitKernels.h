// The pixel loops behind the software blits. Every loop exists as a plain scalar
// reference and in faster vector forms; all forms give identical pixels. The blits
// run the active set, which is the fastest one the processor supports unless a test
// or benchmark chooses another.
#pragma once
#include <cstddef>
#include "platform/Base.h"

// One blit's rows after clipping: the pointers address the first pixel of the first row.
struct BlitRows {
    const BYTE* pSrc = nullptr;
    int nSrcPitch = 0;
    BYTE* pDst = nullptr;
    int nDstPitch = 0;
    int nWidth = 0;
    int nHeight = 0;
    DWORD dwKey = 0;              // colour key of the keyed operations
    DWORD dwValue = 0;            // alpha or fade level, already limited to 0-256
    const BYTE* pMask = nullptr;  // alpha-mask byte of the first pixel (alpha-mask operation)
    int nMaskPitch = 0;
};

// A nearest-neighbour stretch of a whole source rectangle onto a whole destination one:
// destination pixel (x, y) takes source pixel (x * srcW / dstW, y * srcH / dstH).
struct StretchRows {
    const BYTE* pSrc = nullptr;
    int nSrcPitch = 0;
    int nSrcWidth = 0;
    int nSrcHeight = 0;
    BYTE* pDst = nullptr;
    int nDstPitch = 0;
    int nDstWidth = 0;
    int nDstHeight = 0;
    int nBytes = 2;  // bytes per pixel, 1 to 4
};

enum BlitOp : int {
    kOpCopy,             // source pixel
    kOpCopyKeyed,        // source pixel unless it equals the key (whole pixel compared)
    kOpHalfAlpha,        // (d >> 1 & m) + (s >> 1 & m)
    kOpHalfAlphaKeyed,   // the same, key pixels skipped
    kOpAlpha,            // per channel s + ((d - s) * a >> 8)
    kOpAlphaKeyed,       // the same, key pixels skipped
    kOpAlphaMask,        // per channel d + ((s - d) * m >> 8), m the mask byte
    kOpMax,              // per channel the larger of s and d
    kOpFaded,            // per channel s * level >> 8
    kOpCount
};

enum BlitDepth : int { kDepth15, kDepth16, kDepth24, kDepth32, kDepthCount };

// Index of a bits-per-pixel value in the tables, or -1.
inline int BlitDepthIndex(DWORD dwBitsPerPixel) {
    switch (dwBitsPerPixel) {
    case 15: return kDepth15;
    case 16: return kDepth16;
    case 24: return kDepth24;
    case 32: return kDepth32;
    default: return -1;
    }
}

using BlitKernel = void (*)(const BlitRows& rows);
using StretchKernel = void (*)(const StretchRows& rows);

struct BlitKernels {
    const char* pszName;
    BlitKernel aOps[kOpCount][kDepthCount];
    StretchKernel pStretch;
};

const BlitKernels& ReferenceBlitKernels();
const BlitKernels& Sse2BlitKernels();
// Null when the processor lacks AVX2.
const BlitKernels* Avx2BlitKernels();
// The fastest set this processor runs.
const BlitKernels& BestBlitKernels();
// The set the blits use now.
const BlitKernels& ActiveBlitKernels();
// Chooses the set the blits use; null returns to the fastest. With the reference set the
// copies, keyed copies and stretches are left to the display's own Blt (its plain
// per-pixel loops in platform/Video.cpp) instead of being done in place, and keyed
// blits never skip key runs.
void SetActiveBlitKernels(const BlitKernels* pKernels);
bool UsingReferenceBlits();

// Shared by the sets: a reference loop, the opaque copy of the vector sets, and the
// stretch without divisions.
BlitKernel ReferenceKernel(int nOp, int nDepth);
BlitKernel FastCopyKernel(int nDepth);
// Bytes an opaque copy of the vector sets must exceed before its stores bypass the
// cache; 0 returns to the cache size (tests).
void SetCopyStreamThreshold(std::size_t nBytes);
void StretchFast(const StretchRows& rows);
