// One colour channel of a packed pixel, described by its mask in a pixel format: where
// the field sits, how wide it is, and the conversions between the field and an 8-bit
// intensity. Every reader and writer of packed pixels goes through these.
#pragma once
#include <cstdint>
#include "platform/Base.h"

struct PixelMask {
    DWORD dwMask = 0;
    int nShift = 0;  // position of the lowest set bit
    int nBits = 0;   // consecutive set bits from there; 0 for an empty mask
};

inline PixelMask MaskShape(DWORD dwMask) {
    PixelMask m;
    m.dwMask = dwMask;
    if (!dwMask) return m;
    while (!((dwMask >> m.nShift) & 1)) ++m.nShift;
    while (m.nShift + m.nBits < 32 && ((dwMask >> (m.nShift + m.nBits)) & 1)) ++m.nBits;
    return m;
}

// The field's value in a pixel as an 8-bit intensity. A narrow field has its top bits
// repeated into the low ones (5 bits v -> (v << 3) | (v >> 2)), so full scale stays
// 255; a wide field keeps its top 8 bits.
inline BYTE UnpackChannel(const PixelMask& m, DWORD dwPixel) {
    if (m.nBits == 0) return 0;
    const DWORD v = DWORD((std::uint64_t(dwPixel) >> m.nShift) & ((std::uint64_t(1) << m.nBits) - 1));
    if (m.nBits >= 8) return BYTE(v >> (m.nBits - 8));
    DWORD dwOut = 0;
    for (int nFilled = 0; nFilled < 8; nFilled += m.nBits) dwOut |= (v << (8 - m.nBits)) >> nFilled;
    return BYTE(dwOut);
}

// An 8-bit intensity placed into the field: its top bits when the field is narrower,
// moved up when it is wider; nothing lands outside the mask.
inline DWORD PackChannel(const PixelMask& m, DWORD dwByte) {
    if (m.nBits == 0) return 0;
    std::uint64_t v = dwByte & 0xFF;
    v = m.nBits <= 8 ? v >> (8 - m.nBits) : v << (m.nBits - 8);
    return DWORD(v << m.nShift) & m.dwMask;
}

// The three colour fields of a format, packing and unpacking whole pixels.
struct PixelMasks {
    PixelMask red, green, blue;

    PixelMasks() = default;
    PixelMasks(DWORD dwRed, DWORD dwGreen, DWORD dwBlue)
        : red(MaskShape(dwRed)), green(MaskShape(dwGreen)), blue(MaskShape(dwBlue)) {}

    DWORD Pack(DWORD dwRed, DWORD dwGreen, DWORD dwBlue) const {
        return PackChannel(red, dwRed) | PackChannel(green, dwGreen) | PackChannel(blue, dwBlue);
    }
};
