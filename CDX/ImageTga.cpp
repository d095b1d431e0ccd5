// TGA pictures that end in the version-2 footer: colour-mapped, true-colour and grey,
// raw or run-length, 8, 16, 24 and 32 bits, either origin.
#include <cstring>

#include "CDX/CDXImageLoaders.h"
#include "CDX/TgaHeader.h"

namespace {

void Expand16(DWORD v, BYTE* pBgr) {
    pBgr[0] = BYTE((v & 0x1F) << 3);
    pBgr[1] = BYTE(((v >> 5) & 0x1F) << 3);
    pBgr[2] = BYTE(((v >> 10) & 0x1F) << 3);
}

}  // namespace

bool CDXImageTGA::Validate(const BYTE* pHead, DWORD dwHead, const BYTE* pFoot, DWORD dwFoot) {
    // The footer's signature stands 18 bytes before the end; the whole file must hold
    // a header and a footer.
    if (dwHead < 17 || dwFoot < 26) return false;
    if (std::memcmp(pFoot + dwFoot - 18, "TRUEVISION-XFILE", 16) != 0) return false;
    const BYTE nDepth = pHead[16];
    return nDepth == 8 || nDepth == 16 || nDepth == 24 || nDepth == 32;
}

CVideoSurface* CDXImageTGA::GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) {
    CByteReader reader(pData, dwSize, "TGA picture");
    TgaFileHeader h;
    if (!ReadTgaHeader(reader, &h)) return FailReader(reader);
    const bool bRle = h.nImageType >= 9;
    const int nBase = h.nImageType & 7;
    if (!(nBase >= 1 && nBase <= 3) || (h.nImageType != nBase && h.nImageType != nBase + 8))
        return Fail("image type " + std::to_string(h.nImageType) + " is not supported");
    if (h.nPixelDepth != 8 && h.nPixelDepth != 16 && h.nPixelDepth != 24 && h.nPixelDepth != 32)
        return Fail("pixel depth " + std::to_string(h.nPixelDepth) + " is not supported");
    m_bTopDown = (h.nDescriptor & 0x20) != 0;

    reader.SetContext("ID field");
    reader.Skip(h.nIdLength);
    reader.SetContext("colour map");
    const int nEntryBytes = int(TgaMapEntryBytes(h));
    if (h.nColorMapType != 0 && h.nPixelDepth == 8) {
        // Entry i of the map is colour index first + i.
        for (int i = 0; i < h.nColorMapLength; ++i) {
            BYTE entry[4] = {};
            if (nEntryBytes > 4 || !reader.ReadBytes(entry, size_t(nEntryBytes))) {
                if (nEntryBytes > 4) reader.Fail("colour-map entries of " + std::to_string(h.nColorMapBits) + " bits");
                return FailReader(reader);
            }
            const int k = h.nColorMapFirst + i;
            if (k >= 256) continue;
            if (nEntryBytes == 2) {
                Expand16(DWORD(entry[0]) | (DWORD(entry[1]) << 8), m_palette[k]);
            } else if (nEntryBytes >= 3) {
                m_palette[k][0] = entry[0];
                m_palette[k][1] = entry[1];
                m_palette[k][2] = entry[2];
            }
        }
    } else {
        if (h.nColorMapType != 0 && !reader.CheckCount(h.nColorMapLength, size_t(nEntryBytes), "colour-map entries"))
            return FailReader(reader);
        reader.Skip(size_t(h.nColorMapLength) * size_t(h.nColorMapType != 0 ? nEntryBytes : 0));
        if (h.nPixelDepth == 8 && nBase == 3)  // grey pictures without a map
            for (int i = 0; i < 256; ++i) m_palette[i][0] = m_palette[i][1] = m_palette[i][2] = BYTE(i);
    }
    if (reader.Failed()) return FailReader(reader);

    reader.SetContext("pixel data");
    const int nPixelBytes = h.nPixelDepth / 8;
    const size_t nTotal = size_t(h.nWidth) * size_t(h.nHeight);
    // The data must be able to hold the picture before the bitmap is made: every pixel
    // costs its bytes raw, or a packet of 1 + pixel bytes per 128 pixels.
    const size_t nMinBytes = bRle ? (nTotal + 127) / 128 * size_t(1 + nPixelBytes) : nTotal * size_t(nPixelBytes);
    if (!reader.CheckCount(std::int64_t(nMinBytes), 1, "pixels")) return FailReader(reader);
    if (!AllocDib(h.nWidth, h.nHeight, h.nPixelDepth == 8 ? 8 : 24)) return Fail(m_strError);
    BYTE* pAlpha = h.nPixelDepth == 32 ? AllocAlpha() : nullptr;

    // Pixels arrive as one stream in file row order (file row n is bitmap row n, the
    // top-down flag tells which end is up); packets may run across row ends but never
    // past the last pixel.
    const int nDibBytes = m_nBits / 8;
    size_t nDone = 0;
    auto store = [&](const BYTE* p) {
        const int nRow = int(nDone / size_t(m_nWidth));
        const int x = int(nDone % size_t(m_nWidth));
        BYTE* pDst = DibRow(nRow) + size_t(x) * size_t(nDibBytes);
        switch (nPixelBytes) {
        case 1: pDst[0] = p[0]; break;
        case 2: Expand16(DWORD(p[0]) | (DWORD(p[1]) << 8), pDst); break;
        default: std::memcpy(pDst, p, 3); break;
        }
        // The alpha plane is top row first whatever the file's origin.
        if (pAlpha) {
            const int nPictureRow = m_bTopDown ? nRow : m_nHeight - 1 - nRow;
            pAlpha[size_t(nPictureRow) * size_t(m_nWidth) + size_t(x)] = p[3];
        }
        ++nDone;
    };
    BYTE pixel[4];
    while (nDone < nTotal) {
        if (!bRle) {
            if (!reader.ReadBytes(pixel, size_t(nPixelBytes))) return FailReader(reader);
            store(pixel);
            continue;
        }
        BYTE nHead = 0;
        if (!reader.ReadU8(&nHead)) return FailReader(reader);
        size_t nCount = size_t(nHead & 0x7F) + 1;
        if (nCount > nTotal - nDone) nCount = nTotal - nDone;
        if (nHead & 0x80) {
            if (!reader.ReadBytes(pixel, size_t(nPixelBytes))) return FailReader(reader);
            for (size_t i = 0; i < nCount; ++i) store(pixel);
        } else {
            for (size_t i = 0; i < nCount; ++i) {
                if (!reader.ReadBytes(pixel, size_t(nPixelBytes))) return FailReader(reader);
                store(pixel);
            }
        }
    }
    return Finish(pDevice, nMemory);
}
