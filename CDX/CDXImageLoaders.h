// The four picture loaders behind CDXImage. Each decodes into a device-independent
// bitmap (8-bit with a colour table, 24-bit blue-green-red or 32-bit
// blue-green-red-alpha; rows padded to 4 bytes, bottom-up unless the top-down flag
// is set) and then makes a surface of it. Every size, count and run is checked
// against the data and the buffers.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "platform/Base.h"
#include "platform/Stream.h"
#include "platform/Video.h"

// Largest picture side any loader accepts.
constexpr int kMaxImageSide = 16384;

class CDXImageBase {
public:
    CDXImageBase() = default;
    virtual ~CDXImageBase() = default;
    CDXImageBase(const CDXImageBase&) = delete;
    CDXImageBase& operator=(const CDXImageBase&) = delete;

    // True when the data is of this loader's format, judged from its first bytes
    // (up to 256) and its last bytes (up to 64).
    virtual bool Validate(const BYTE* pHead, DWORD dwHead, const BYTE* pFoot, DWORD dwFoot) = 0;
    // Decodes the data and returns the new surface, or null (GetError says why).
    virtual CVideoSurface* GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) = 0;

    // The alpha plane (width x height, top row first) of the decoded picture, if any.
    BYTE* TakeAlpha() { return m_pAlpha.release(); }
    const std::string& GetError() const { return m_strError; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }

protected:
    // Sizes the bitmap: false for sides outside 1..16384 or bits other than 8, 24, 32.
    bool AllocDib(int nWidth, int nHeight, int nBits);
    // Start of bitmap row r in storage order.
    BYTE* DibRow(int r) { return m_pixels.data() + size_t(r) * m_nRowBytes; }
    // Start of picture row y counted from the top.
    BYTE* PictureRow(int y) { return DibRow(m_bTopDown ? y : m_nHeight - 1 - y); }
    // Allocates the alpha plane (zeroed).
    BYTE* AllocAlpha();
    // Creates the surface and converts the bitmap into it.
    CVideoSurface* Finish(CVideoDevice* pDevice, int nMemory);
    CVideoSurface* Fail(const std::string& why);
    CVideoSurface* FailReader(const CByteReader& reader);

    int m_nWidth = 0;
    int m_nHeight = 0;
    BYTE m_nBits = 0;
    size_t m_nRowBytes = 0;
    std::vector<BYTE> m_pixels;
    bool m_bTopDown = false;
    bool m_bMirror = false;
    BYTE m_palette[256][4] = {};  // blue, green, red, 0
    std::unique_ptr<BYTE[]> m_pAlpha;
    std::string m_strError;
};

class CDXImageTGA : public CDXImageBase {
public:
    bool Validate(const BYTE* pHead, DWORD dwHead, const BYTE* pFoot, DWORD dwFoot) override;
    CVideoSurface* GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) override;
};

class CDXImageBMP : public CDXImageBase {
public:
    bool Validate(const BYTE* pHead, DWORD dwHead, const BYTE* pFoot, DWORD dwFoot) override;
    CVideoSurface* GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) override;

private:
    bool DecodeRle8(CByteReader& reader);
};

class CDXImagePSD : public CDXImageBase {
public:
    bool Validate(const BYTE* pHead, DWORD dwHead, const BYTE* pFoot, DWORD dwFoot) override;
    CVideoSurface* GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) override;
};

class CDXImagePCX : public CDXImageBase {
public:
    bool Validate(const BYTE* pHead, DWORD dwHead, const BYTE* pFoot, DWORD dwFoot) override;
    CVideoSurface* GetImage(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory) override;
};
