// BMP pictures: 1, 4 and 8 bits with a colour table, 8-bit run-length, 16, 24 and 32
// bits (plain or with channel masks), bottom-up or top-down.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "CDX/CDXImageLoaders.h"
#include "platform/PixelMask.h"

namespace {

enum { kBiRgb = 0, kBiRle8 = 1, kBiBitfields = 3 };

}  // namespace

bool CDXImageBMP::Validate(const BYTE* pHead, DWORD dwHead, const BYTE*, DWORD) {
    return dwHead >= 2 && pHead[0] == 'B' && pHead[1] == 'M';
}

bool CDXImageBMP::DecodeRle8(CByteReader& reader) {
    // x never passes the width: what a run or a move puts beyond the row end is dropped.
    int x = 0, nFileRow = 0;
    BYTE literal[256];
    while (true) {
        BYTE nCount = 0, nValue = 0;
        if (!reader.ReadU8(&nCount) || !reader.ReadU8(&nValue)) return false;
        if (nCount > 0) {
            BYTE* pRow = PictureRow(m_nHeight - 1 - nFileRow);
            const int nFill = std::min(int(nCount), m_nWidth - x);
            std::memset(pRow + x, nValue, size_t(nFill));
            x += nFill;
            continue;
        }
        if (nValue == 0) {  // end of line
            x = 0;
            if (++nFileRow >= m_nHeight) return true;
        } else if (nValue == 1) {  // end of picture
            return true;
        } else if (nValue == 2) {  // delta
            BYTE dx = 0, dy = 0;
            if (!reader.ReadU8(&dx) || !reader.ReadU8(&dy)) return false;
            x = std::min(x + int(dx), m_nWidth);
            nFileRow += dy;
            if (nFileRow >= m_nHeight) return true;
        } else {  // literal bytes, padded to an even count
            if (!reader.ReadBytes(literal, nValue)) return false;
            if ((nValue & 1) && !reader.Skip(1)) return false;
            BYTE* pRow = PictureRow(m_nHeight - 1 - nFileRow);
            const int nCopy = std::min(int(nValue), m_nWidth - x);
            std::memcpy(pRow + x, literal, size_t(nCopy));
            x += nCopy;
        }
    }
}

CVideoSurface* CDXImageBMP::GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) {
    CByteReader reader(pData, dwSize, "BMP picture");
    DWORD dwFileSize, dwOffset, dwHeader, dwCompression, dwSizeImage, dwColours, dwUnused;
    WORD nMagic, nReserved, nPlanes, nBits;
    std::int32_t nWidth, nHeight;
    reader.ReadU16(&nMagic);
    reader.ReadU32(&dwFileSize);
    reader.ReadU16(&nReserved);
    reader.ReadU16(&nReserved);
    reader.ReadU32(&dwOffset);
    reader.ReadU32(&dwHeader);
    if (reader.Failed()) return FailReader(reader);
    if (dwHeader < 40) return Fail("info header of " + std::to_string(dwHeader) + " bytes is not supported");
    if (dwHeader > dwSize - 14) return Fail("info header of " + std::to_string(dwHeader) + " bytes passes the end");
    reader.ReadI32(&nWidth);
    reader.ReadI32(&nHeight);
    reader.ReadU16(&nPlanes);
    reader.ReadU16(&nBits);
    reader.ReadU32(&dwCompression);
    reader.ReadU32(&dwSizeImage);
    reader.ReadU32(&dwUnused);
    reader.ReadU32(&dwUnused);
    reader.ReadU32(&dwColours);
    if (reader.Failed()) return FailReader(reader);

    const bool bTopDown = nHeight < 0;
    if (nHeight == INT32_MIN || nWidth <= 0 || nHeight == 0 || nWidth > kMaxImageSide ||
        std::abs(nHeight) > kMaxImageSide)
        return Fail("picture size " + std::to_string(nWidth) + " x " + std::to_string(nHeight) + " is impossible");
    const int nRows = std::abs(nHeight);
    const bool bPaletted = nBits == 1 || nBits == 4 || nBits == 8;
    if (!bPaletted && nBits != 16 && nBits != 24 && nBits != 32)
        return Fail(std::to_string(nBits) + " bits per pixel are not supported");
    if (!(dwCompression == kBiRgb || (dwCompression == kBiRle8 && nBits == 8 && !bTopDown) ||
          (dwCompression == kBiBitfields && (nBits == 16 || nBits == 32))))
        return Fail("compression " + std::to_string(dwCompression) + " is not supported at " +
                    std::to_string(nBits) + " bits");

    if (bPaletted) {
        // The colour table stands right after the info header, whatever its size; a
        // count above what the depth can address is cut.
        DWORD dwMax = DWORD(1) << nBits;
        DWORD dwEntries = dwColours ? dwColours : dwMax;
        if (dwEntries > dwMax) dwEntries = dwMax;
        reader.Seek(14 + size_t(dwHeader));
        reader.SetContext("colour table");
        for (DWORD i = 0; i < dwEntries; ++i) {
            BYTE quad[4];
            if (!reader.ReadBytes(quad, 4)) return FailReader(reader);
            m_palette[i][0] = quad[0];
            m_palette[i][1] = quad[1];
            m_palette[i][2] = quad[2];
        }
    }

    PixelMask red, green, blue, alpha;
    bool bHasAlphaMask = false;
    if (dwCompression == kBiBitfields) {
        reader.Seek(54);
        reader.SetContext("channel masks");
        DWORD r, g, b, a = 0;
        reader.ReadU32(&r);
        reader.ReadU32(&g);
        reader.ReadU32(&b);
        if (dwHeader >= 56) reader.ReadU32(&a);
        if (reader.Failed()) return FailReader(reader);
        red = MaskShape(r);
        green = MaskShape(g);
        blue = MaskShape(b);
        alpha = MaskShape(a);
        bHasAlphaMask = a != 0;
    } else if (nBits == 16) {
        red = MaskShape(0x7C00);
        green = MaskShape(0x03E0);
        blue = MaskShape(0x001F);
    }

    if (dwOffset > dwSize) return Fail("pixel data offset " + std::to_string(dwOffset) + " passes the end");
    reader.Seek(dwOffset);
    reader.SetContext("pixel data");
    // The data must be able to hold the picture before the bitmap is made: whole rows
    // when plain, and when run-length at most 255 pixels for every 2 bytes.
    const size_t nFileRow = ((size_t(nWidth) * nBits + 31) / 32) * 4;
    if (dwCompression == kBiRle8) {
        if (std::uint64_t(nWidth) * std::uint64_t(nRows) > std::uint64_t(reader.Remaining()) * 128)
            return Fail("pixel data: " + std::to_string(reader.Remaining()) + " run-length bytes cannot fill " +
                        std::to_string(nWidth) + " x " + std::to_string(nRows) + " pixels");
    } else if (!reader.CheckCount(nRows, nFileRow, "pixel rows")) {
        return FailReader(reader);
    }
    if (!AllocDib(nWidth, nRows, bPaletted ? 8 : nBits == 32 ? 32 : 24)) return Fail(m_strError);
    m_bTopDown = true;  // rows are placed by picture row below
    if (dwCompression == kBiRle8) {
        if (!DecodeRle8(reader)) return FailReader(reader);
        return Finish(pDevice, nMemory);
    }

    BYTE* pAlpha = nBits == 32 ? AllocAlpha() : nullptr;
    std::vector<BYTE> row(nFileRow);
    for (int fy = 0; fy < nRows; ++fy) {
        if (!reader.ReadBytes(row.data(), nFileRow)) return FailReader(reader);
        const int y = bTopDown ? fy : nRows - 1 - fy;
        BYTE* pDst = PictureRow(y);
        const BYTE* p = row.data();
        switch (nBits) {
        case 1:
            for (int x = 0; x < nWidth; ++x) pDst[x] = (p[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        case 4:
            for (int x = 0; x < nWidth; ++x) pDst[x] = (x & 1) ? (p[x >> 1] & 0x0F) : (p[x >> 1] >> 4);
            break;
        case 8:
            std::memcpy(pDst, p, size_t(nWidth));
            break;
        case 16:
            for (int x = 0; x < nWidth; ++x, pDst += 3) {
                DWORD v = DWORD(p[2 * x]) | (DWORD(p[2 * x + 1]) << 8);
                pDst[0] = UnpackChannel(blue, v);
                pDst[1] = UnpackChannel(green, v);
                pDst[2] = UnpackChannel(red, v);
            }
            break;
        case 24:
            std::memcpy(pDst, p, size_t(nWidth) * 3);
            break;
        case 32:
            for (int x = 0; x < nWidth; ++x, pDst += 4) {
                const BYTE* q = p + 4 * x;
                BYTE a = q[3];
                if (dwCompression == kBiBitfields) {
                    DWORD v = DWORD(q[0]) | (DWORD(q[1]) << 8) | (DWORD(q[2]) << 16) | (DWORD(q[3]) << 24);
                    pDst[0] = UnpackChannel(blue, v);
                    pDst[1] = UnpackChannel(green, v);
                    pDst[2] = UnpackChannel(red, v);
                    if (bHasAlphaMask) a = UnpackChannel(alpha, v);
                } else {
                    pDst[0] = q[0];
                    pDst[1] = q[1];
                    pDst[2] = q[2];
                }
                pDst[3] = a;
                pAlpha[size_t(y) * size_t(nWidth) + size_t(x)] = a;
            }
            break;
        }
    }
    return Finish(pDevice, nMemory);
}
