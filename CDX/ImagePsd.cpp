// PSD pictures: RGB, 8 bits a channel, raw or PackBits, up to 24 channels of which
// red, green, blue and alpha are used.
#include <cstring>

#include "CDX/CDXImageLoaders.h"

namespace {

// The checked reader reads little-endian; PSD numbers are big-endian.
bool ReadBe16(CByteReader& r, WORD* p) {
    WORD v = 0;
    if (!r.ReadU16(&v)) return false;
    *p = WORD((v >> 8) | (v << 8));
    return true;
}

bool ReadBe32(CByteReader& r, DWORD* p) {
    DWORD v = 0;
    if (!r.ReadU32(&v)) return false;
    *p = __builtin_bswap32(v);
    return true;
}

// Decodes one PackBits channel of nCount bytes; a run past the channel's end fails.
bool UnpackChannel(CByteReader& r, BYTE* pOut, size_t nCount) {
    size_t n = 0;
    while (n < nCount) {
        BYTE nHead = 0;
        if (!r.ReadU8(&nHead)) return false;
        if (nHead < 128) {
            const size_t nLen = size_t(nHead) + 1;
            if (nLen > nCount - n) return r.Fail("literal run passes the channel's end");
            if (!r.ReadBytes(pOut + n, nLen)) return false;
            n += nLen;
        } else if (nHead > 128) {
            const size_t nLen = 257 - size_t(nHead);
            if (nLen > nCount - n) return r.Fail("repeat run passes the channel's end");
            BYTE v = 0;
            if (!r.ReadU8(&v)) return false;
            std::memset(pOut + n, v, nLen);
            n += nLen;
        }
    }
    return true;
}

}  // namespace

bool CDXImagePSD::Validate(const BYTE* pHead, DWORD dwHead, const BYTE*, DWORD) {
    return dwHead >= 5 && std::memcmp(pHead, "8BPS", 4) == 0 && pHead[4] == 0;
}

CVideoSurface* CDXImagePSD::GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) {
    CByteReader reader(pData, dwSize, "PSD picture");
    BYTE sig[4] = {};
    WORD nVersion = 0, nChannels = 0, nDepth = 0, nMode = 0, nCompression = 0;
    DWORD dwHeight = 0, dwWidth = 0;
    reader.ReadBytes(sig, 4);
    ReadBe16(reader, &nVersion);
    reader.Skip(6);
    ReadBe16(reader, &nChannels);
    ReadBe32(reader, &dwHeight);
    ReadBe32(reader, &dwWidth);
    ReadBe16(reader, &nDepth);
    ReadBe16(reader, &nMode);
    if (reader.Failed()) return FailReader(reader);
    if (std::memcmp(sig, "8BPS", 4) != 0 || nVersion != 1) return Fail("not a version-1 PSD picture");
    if (nChannels < 1 || nChannels > 24) return Fail(std::to_string(nChannels) + " channels are not supported");
    if (nDepth != 8) return Fail("channel depth " + std::to_string(nDepth) + " is not supported");
    if (nMode != 3) return Fail("colour mode " + std::to_string(nMode) + " is not RGB");
    if (dwWidth > DWORD(kMaxImageSide) || dwHeight > DWORD(kMaxImageSide))
        return Fail("picture size " + std::to_string(dwWidth) + " x " + std::to_string(dwHeight) + " is impossible");
    static const char* const sections[] = {"colour-mode data", "image resources", "layer and mask information"};
    for (const char* pszSection : sections) {
        reader.SetContext(pszSection);
        DWORD dwLength = 0;
        if (!ReadBe32(reader, &dwLength) || !reader.Skip(dwLength)) return FailReader(reader);
    }
    reader.SetContext("pixel data");
    if (!ReadBe16(reader, &nCompression)) return FailReader(reader);
    if (nCompression > 1) return Fail("compression " + std::to_string(nCompression) + " is not supported");
    const size_t nPlane = size_t(dwWidth) * size_t(dwHeight);
    // The data must be able to hold the channels read before the bitmap is made: each
    // pixel costs a byte per channel raw, or 2 bytes per 128 packed.
    const size_t nMin = nCompression == 0 ? nPlane : (nPlane + 127) / 128 * 2;
    if (nCompression == 1) {
        if (!reader.CheckCount(std::int64_t(nChannels) * dwHeight, 2, "row byte counts") ||
            !reader.Skip(size_t(nChannels) * dwHeight * 2))
            return FailReader(reader);
    }
    const int nUsed = nChannels < 4 ? nChannels : 4;
    if (!reader.CheckCount(std::int64_t(nUsed), nMin, "channels")) return FailReader(reader);
    if (!AllocDib(int(dwWidth), int(dwHeight), 32)) return Fail(m_strError);
    m_bTopDown = true;
    std::vector<BYTE> plane(nPlane);
    static const int byteOf[4] = {2, 1, 0, 3};  // red, green, blue, alpha
    for (int c = 0; c < 4; ++c) {
        const int nByte = byteOf[c];
        if (c < nUsed) {
            bool bOk = nCompression == 0 ? reader.ReadBytes(plane.data(), nPlane)
                                         : UnpackChannel(reader, plane.data(), nPlane);
            if (!bOk) return FailReader(reader);
        } else {
            std::memset(plane.data(), c == 3 ? 255 : 0, nPlane);
        }
        for (size_t y = 0; y < dwHeight; ++y) {
            BYTE* pRow = DibRow(int(y));
            const BYTE* pSrc = plane.data() + y * dwWidth;
            for (size_t x = 0; x < dwWidth; ++x) pRow[x * 4 + size_t(nByte)] = pSrc[x];
        }
    }
    return Finish(pDevice, nMemory);
}
