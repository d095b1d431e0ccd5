// Packed pixels in memory: one to four bytes, lowest byte first, read and written
// without alignment and, for three-byte pixels, without touching the byte after them.
// Every reader and writer of surface pixels goes through these.
#pragma once
#include <cstdint>
#include <cstring>
#include "platform/Base.h"

template <int B>
inline DWORD LoadPixelBytes(const BYTE* p) {
    static_assert(B >= 1 && B <= 4);
    if constexpr (B == 1) {
        return p[0];
    } else if constexpr (B == 2) {
        std::uint16_t w;
        std::memcpy(&w, p, 2);
        return w;
    } else if constexpr (B == 3) {
        return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16);
    } else {
        std::uint32_t d;
        std::memcpy(&d, p, 4);
        return d;
    }
}

template <int B>
inline void StorePixelBytes(BYTE* p, DWORD c) {
    static_assert(B >= 1 && B <= 4);
    if constexpr (B == 1) {
        p[0] = BYTE(c);
    } else if constexpr (B == 2) {
        const std::uint16_t w = std::uint16_t(c);
        std::memcpy(p, &w, 2);
    } else if constexpr (B == 3) {
        p[0] = BYTE(c);
        p[1] = BYTE(c >> 8);
        p[2] = BYTE(c >> 16);
    } else {
        const std::uint32_t d = c;
        std::memcpy(p, &d, 4);
    }
}

// The same with the size known only at run time (1 to 4; other sizes read as 4).
inline DWORD LoadPixelBytes(const BYTE* p, int nBytes) {
    switch (nBytes) {
    case 1: return LoadPixelBytes<1>(p);
    case 2: return LoadPixelBytes<2>(p);
    case 3: return LoadPixelBytes<3>(p);
    default: return LoadPixelBytes<4>(p);
    }
}

inline void StorePixelBytes(BYTE* p, int nBytes, DWORD c) {
    switch (nBytes) {
    case 1: StorePixelBytes<1>(p, c); break;
    case 2: StorePixelBytes<2>(p, c); break;
    case 3: StorePixelBytes<3>(p, c); break;
    default: StorePixelBytes<4>(p, c); break;
    }
}

// Fills n pixels of nBytes bytes (1 to 4) from p with c, eight bytes a store where the
// row is long enough: the same bytes as storing the pixel n times.
inline void FillPixelRow(BYTE* p, int nBytes, size_t n, DWORD c) {
    if (nBytes < 1 || nBytes > 4) nBytes = 4;
    const size_t nTotal = n * size_t(nBytes);
    if (nBytes == 1) {
        std::memset(p, int(c & 0xFF), nTotal);
        return;
    }
    // Three-byte pixels repeat every 24 bytes, the others every 8.
    BYTE pattern[24];
    for (int i = 0; i < 24; i += nBytes) StorePixelBytes(pattern + i, nBytes, c);
    const size_t nPeriod = nBytes == 3 ? 24 : 8;
    size_t i = 0;
    if (nPeriod == 8) {
        std::uint64_t q;
        std::memcpy(&q, pattern, 8);
        for (; i + 8 <= nTotal; i += 8) std::memcpy(p + i, &q, 8);
    } else {
        for (; i + 24 <= nTotal; i += 24) std::memcpy(p + i, pattern, 24);
    }
    // The rest is whole pixels: the period is a multiple of the pixel size.
    std::memcpy(p + i, pattern, nTotal - i);
}
