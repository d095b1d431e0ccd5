// Surfaces of any depth without a window, random pixel content and byte snapshots for
// the drawing tests.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

#include "CDX/BlitKernels.h"
#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "tests/TempFolder.h"

inline VideoPixelFormat FormatForDepth(int nDepth) {
    if (nDepth == 15) return MakePixelFormat555();
    if (nDepth == 16) return MakePixelFormat565();
    return MakePixelFormat888(DWORD(nDepth));
}

inline int BytesForDepth(int nDepth) { return nDepth == 24 ? 3 : nDepth == 32 ? 4 : 2; }

// Adopts a platform surface of the given depth into a new surface of the screen.
inline std::unique_ptr<CDXSurface> AdoptSurface(CDXScreen& screen, CDXSurface* pSurface, int nDepth, int w, int h) {
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(w);
    desc.dwHeight = DWORD(h);
    desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat = FormatForDepth(nDepth);
    std::unique_ptr<CDXSurface> p(pSurface);
    CVideoSurface* pVideo = nullptr;
    if (Failed(screen.GetDirectDraw()->CreateSurface(desc, &pVideo))) return nullptr;
    p->AttachInterface(pVideo, true);
    p->CompleteCreation(&screen, 1, true);
    return p;
}

inline std::unique_ptr<CDXSurface> MakeSurface(CDXScreen& screen, int nDepth, int w, int h) {
    return AdoptSurface(screen, new CDXSurface(), nDepth, w, h);
}

// The pixel bytes of every row, without the row padding.
inline std::vector<BYTE> Snapshot(CDXSurface& s) {
    std::vector<BYTE> out;
    if (Failed(s.Lock())) return out;
    const int nRow = s.GetWidth() * BytesForDepth(int(s.PixelFormat().dwBitsPerPixel));
    for (int y = 0; y < s.GetHeight(); ++y) {
        const BYTE* p = s.GetLockedBits() + std::ptrdiff_t(y) * s.GetPitch();
        out.insert(out.end(), p, p + nRow);
    }
    s.Unlock();
    return out;
}

// The 64-bit FNV-1a hash of a snapshot: what the golden files hold.
inline std::uint64_t Fnv1a(const std::vector<BYTE>& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (BYTE b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

inline void Restore(CDXSurface& s, const std::vector<BYTE>& bytes) {
    if (Failed(s.Lock())) return;
    const int nRow = s.GetWidth() * BytesForDepth(int(s.PixelFormat().dwBitsPerPixel));
    for (int y = 0; y < s.GetHeight(); ++y)
        std::memcpy(s.GetLockedBits() + std::ptrdiff_t(y) * s.GetPitch(), bytes.data() + size_t(y) * nRow, size_t(nRow));
    s.Unlock();
}

// Random pixels; with a key, about one pixel in four is the key.
inline void FillRandom(CDXSurface& s, std::mt19937& rng, bool bWithKey = false, DWORD key = 0) {
    if (Failed(s.Lock())) return;
    const int nBytes = BytesForDepth(int(s.PixelFormat().dwBitsPerPixel));
    for (int y = 0; y < s.GetHeight(); ++y) {
        BYTE* p = s.GetLockedBits() + std::ptrdiff_t(y) * s.GetPitch();
        for (int x = 0; x < s.GetWidth(); ++x) {
            DWORD v = rng();
            if (bWithKey && rng() % 4 == 0) v = key;
            std::memcpy(p + x * nBytes, &v, size_t(nBytes));
        }
    }
    s.Unlock();
}

inline DWORD ReadPixel(CDXSurface& s, int x, int y) {
    if (Failed(s.Lock())) return 0xDEADBEEF;
    DWORD c = s.GetPixel(x, y);
    s.Unlock();
    return c;
}

inline void WritePixel(CDXSurface& s, int x, int y, DWORD c) {
    if (Failed(s.Lock())) return;
    s.PutPixel(x, y, c);
    s.Unlock();
}

// Chooses the blit loops for the life of the object.
class ScopedBlitKernels {
public:
    explicit ScopedBlitKernels(const BlitKernels* p) { SetActiveBlitKernels(p); }
    ~ScopedBlitKernels() { SetActiveBlitKernels(nullptr); }
};

// Every set this processor runs: reference first.
inline std::vector<const BlitKernels*> AllBlitKernels() {
    std::vector<const BlitKernels*> v{&ReferenceBlitKernels(), &Sse2BlitKernels()};
    if (Avx2BlitKernels()) v.push_back(Avx2BlitKernels());
    return v;
}

inline std::vector<BYTE> ReadFileBytes(const std::string& path) {
    std::vector<BYTE> out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        BYTE buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
        std::fclose(f);
    }
    return out;
}
