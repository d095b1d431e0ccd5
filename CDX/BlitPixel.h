// Per-pixel rules of the software blits, written as plainly as the rules read. The
// scalar loops are built from them, and the vector loops use them for the pixels
// left over at the end of a row. Internal to the blit sources.
#pragma once
#include <cstdint>
#include <cstring>

#include "CDX/BlitKernels.h"
#include "platform/PixelBytes.h"

namespace {

template <int D>
struct PixelTraits;
template <>
struct PixelTraits<15> {
    static constexpr int kBytes = 2, kRedShift = 10, kGreenMask = 0x1F;
    static constexpr DWORD kHalfMask = 0x3DEF, kKeyMask = 0xFFFF, kWholeMask = 0xFFFF;
};
template <>
struct PixelTraits<16> {
    static constexpr int kBytes = 2, kRedShift = 11, kGreenMask = 0x3F;
    static constexpr DWORD kHalfMask = 0x7BEF, kKeyMask = 0xFFFF, kWholeMask = 0xFFFF;
};
template <>
struct PixelTraits<24> {
    static constexpr int kBytes = 3;
    static constexpr DWORD kHalfMask = 0x7F7F7F, kKeyMask = 0xFFFFFF, kWholeMask = 0xFFFFFF;
};
template <>
struct PixelTraits<32> {
    static constexpr int kBytes = 4;
    static constexpr DWORD kHalfMask = 0x7F7F7F, kKeyMask = 0xFFFFFF, kWholeMask = 0xFFFFFFFF;
};

template <int D>
inline DWORD LoadPixel(const BYTE* p) {
    return LoadPixelBytes<PixelTraits<D>::kBytes>(p);
}

template <int D>
inline void StorePixel(BYTE* p, DWORD c) {
    StorePixelBytes<PixelTraits<D>::kBytes>(p, c);
}

// Applies f(source channel, destination channel) to each colour field and joins the
// results; at 32 bits the destination's fourth byte stays.
template <int D, class F>
inline DWORD PerChannel(DWORD s, DWORD d, F f) {
    if constexpr (D == 15 || D == 16) {
        constexpr int kRs = PixelTraits<D>::kRedShift, kGm = PixelTraits<D>::kGreenMask;
        const int b = f(int(s & 0x1F), int(d & 0x1F));
        const int g = f(int((s >> 5) & kGm), int((d >> 5) & kGm));
        const int r = f(int((s >> kRs) & 0x1F), int((d >> kRs) & 0x1F));
        return DWORD(b & 0x1F) | (DWORD(g & kGm) << 5) | (DWORD(r & 0x1F) << kRs);
    } else {
        DWORD out = 0;
        for (int i = 0; i < 3; ++i) {
            const int c = f(int((s >> (8 * i)) & 0xFF), int((d >> (8 * i)) & 0xFF));
            out |= DWORD(c & 0xFF) << (8 * i);
        }
        if constexpr (D == 32) out |= d & 0xFF000000u;
        return out;
    }
}

template <int D>
inline bool IsKeyPixel(DWORD s, DWORD key) {
    return (s & PixelTraits<D>::kKeyMask) == (key & PixelTraits<D>::kKeyMask);
}

// One pixel of an operation: false when the destination stays as it is.
template <int Op, int D>
inline bool BlendPixel(DWORD s, DWORD d, const BlitRows& r, int m, DWORD* pOut) {
    if constexpr (Op == kOpCopy) {
        *pOut = s;
    } else if constexpr (Op == kOpCopyKeyed) {
        if ((s & PixelTraits<D>::kWholeMask) == (r.dwKey & PixelTraits<D>::kWholeMask)) return false;
        *pOut = s;
    } else if constexpr (Op == kOpHalfAlpha || Op == kOpHalfAlphaKeyed) {
        if (Op == kOpHalfAlphaKeyed && IsKeyPixel<D>(s, r.dwKey)) return false;
        constexpr DWORD m2 = PixelTraits<D>::kHalfMask;
        DWORD out = ((d >> 1) & m2) + ((s >> 1) & m2);
        if constexpr (D == 32) out |= d & 0xFF000000u;
        *pOut = out;
    } else if constexpr (Op == kOpAlpha || Op == kOpAlphaKeyed) {
        if (Op == kOpAlphaKeyed && IsKeyPixel<D>(s, r.dwKey)) return false;
        const int a = int(r.dwValue);
        *pOut = PerChannel<D>(s, d, [a](int sc, int dc) { return sc + (((dc - sc) * a) >> 8); });
    } else if constexpr (Op == kOpAlphaMask) {
        *pOut = PerChannel<D>(s, d, [m](int sc, int dc) { return dc + (((sc - dc) * m) >> 8); });
    } else if constexpr (Op == kOpMax) {
        *pOut = PerChannel<D>(s, d, [](int sc, int dc) { return sc > dc ? sc : dc; });
    } else {
        const int l = int(r.dwValue);
        *pOut = PerChannel<D>(s, d, [l](int sc, int) { return (sc * l) >> 8; });
    }
    return true;
}

// Pixels [x0, x1) of one row by the per-pixel rule.
template <int Op, int D>
inline void BlendSpan(const BYTE* s, BYTE* d, const BYTE* m, int x0, int x1, const BlitRows& r) {
    constexpr int B = PixelTraits<D>::kBytes;
    for (int x = x0; x < x1; ++x) {
        DWORD out;
        const DWORD dp = (Op == kOpCopy || Op == kOpCopyKeyed) ? 0 : LoadPixel<D>(d + x * B);
        if (BlendPixel<Op, D>(LoadPixel<D>(s + x * B), dp, r, m ? m[x] : 0, &out)) StorePixel<D>(d + x * B, out);
    }
}

// Copies n bytes between buffers that do not overlap; short rows without a call.
inline void CopyBytes(BYTE* d, const BYTE* s, size_t n) {
    auto move = [](BYTE* pd, const BYTE* ps, auto word) {
        std::memcpy(&word, ps, sizeof word);
        std::memcpy(pd, &word, sizeof word);
    };
    if (n > 16 && n <= 32) {
        move(d, s, std::uint64_t());
        move(d + 8, s + 8, std::uint64_t());
        move(d + n - 16, s + n - 16, std::uint64_t());
        move(d + n - 8, s + n - 8, std::uint64_t());
    } else if (n >= 8 && n <= 16) {
        move(d, s, std::uint64_t());
        move(d + n - 8, s + n - 8, std::uint64_t());
    } else if (n >= 4 && n < 8) {
        move(d, s, std::uint32_t());
        move(d + n - 4, s + n - 4, std::uint32_t());
    } else if (n > 16) {
        std::memcpy(d, s, n);
    } else {
        for (size_t i = 0; i < n; ++i) d[i] = s[i];
    }
}

// Every row of a blit by the per-pixel rule.
template <int Op, int D>
void BlendRowsScalar(const BlitRows& r) {
    for (int y = 0; y < r.nHeight; ++y) {
        const BYTE* s = r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch;
        BYTE* d = r.pDst + std::ptrdiff_t(y) * r.nDstPitch;
        const BYTE* m = r.pMask ? r.pMask + std::ptrdiff_t(y) * r.nMaskPitch : nullptr;
        BlendSpan<Op, D>(s, d, m, 0, r.nWidth, r);
    }
}

}  // namespace
