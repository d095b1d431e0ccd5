// PCX pictures, version 5, run-length: 8 bits in one plane with the closing colour
// table, or 24 bits in three planes.
#include <cstring>

#include "CDX/CDXImageLoaders.h"

bool CDXImagePCX::Validate(const BYTE* pHead, DWORD dwHead, const BYTE*, DWORD) {
    return dwHead >= 3 && pHead[0] == 10 && pHead[1] == 5 && pHead[2] == 1;
}

CVideoSurface* CDXImagePCX::GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) {
    CByteReader reader(pData, dwSize, "PCX picture");
    BYTE nMaker, nVersion, nEncoding, nBits, nPlanes;
    WORD nXMin, nYMin, nXMax, nYMax, nLineBytes;
    reader.ReadU8(&nMaker);
    reader.ReadU8(&nVersion);
    reader.ReadU8(&nEncoding);
    reader.ReadU8(&nBits);
    reader.ReadU16(&nXMin);
    reader.ReadU16(&nYMin);
    reader.ReadU16(&nXMax);
    reader.ReadU16(&nYMax);
    reader.Seek(65);
    reader.ReadU8(&nPlanes);
    reader.ReadU16(&nLineBytes);
    reader.Seek(128);
    if (reader.Failed()) return FailReader(reader);
    if (nMaker != 10 || nVersion != 5 || nEncoding != 1) return Fail("not a version-5 run-length PCX picture");
    const int nWidth = int(nXMax) - int(nXMin) + 1;
    const int nHeight = int(nYMax) - int(nYMin) + 1;
    if (nBits != 8 || (nPlanes != 1 && nPlanes != 3))
        return Fail(std::to_string(nBits) + " bits in " + std::to_string(nPlanes) + " planes are not supported");
    if (nWidth < 1 || nHeight < 1)
        return Fail("picture size " + std::to_string(nWidth) + " x " + std::to_string(nHeight) + " is impossible");
    if (nLineBytes < nWidth) return Fail("plane lines of " + std::to_string(nLineBytes) + " bytes are shorter than the width");

    // The data must be able to hold the picture before the bitmap is made: every run of
    // up to 63 bytes costs at least 2 bytes.
    const size_t nLines = size_t(nHeight) * nPlanes;
    reader.SetContext("pixel data");
    if (!reader.CheckCount(std::int64_t((nLines * nLineBytes + 62) / 63), 2, "pixel runs")) return FailReader(reader);
    if (!AllocDib(nWidth, nHeight, 8 * nPlanes)) return Fail(m_strError);
    m_bTopDown = true;
    std::vector<BYTE> line(size_t(nLineBytes) * nPlanes);
    for (int y = 0; y < nHeight; ++y) {
        for (int p = 0; p < nPlanes; ++p) {
            BYTE* pLine = line.data() + size_t(p) * nLineBytes;
            size_t n = 0;
            while (n < nLineBytes) {
                BYTE b = 0;
                if (!reader.ReadU8(&b)) return FailReader(reader);
                size_t nCount = 1;
                if (b >= 0xC0) {
                    nCount = b & 0x3F;
                    if (!reader.ReadU8(&b)) return FailReader(reader);
                }
                if (nCount > nLineBytes - n) return Fail("a run passes the end of its plane line in row " + std::to_string(y));
                std::memset(pLine + n, b, nCount);
                n += nCount;
            }
        }
        BYTE* pRow = DibRow(y);
        if (nPlanes == 1) {
            std::memcpy(pRow, line.data(), size_t(nWidth));
        } else {
            for (int x = 0; x < nWidth; ++x) {
                pRow[x * 3 + 0] = line[size_t(2) * nLineBytes + size_t(x)];
                pRow[x * 3 + 1] = line[size_t(1) * nLineBytes + size_t(x)];
                pRow[x * 3 + 2] = line[size_t(x)];
            }
        }
    }
    // The colour table of 256 red-green-blue triples closes the file after a 12.
    if (nPlanes == 1 && dwSize >= 128 + 769 && pData[dwSize - 769] == 12) {
        const BYTE* p = pData + dwSize - 768;
        for (int i = 0; i < 256; ++i) {
            m_palette[i][0] = p[i * 3 + 2];
            m_palette[i][1] = p[i * 3 + 1];
            m_palette[i][2] = p[i * 3 + 0];
        }
    }
    return Finish(pDevice, nMemory);
}
