#include "CDX/CDXImage.h"

#include <cstring>
#include <memory>
#include <vector>

#include "CDX/CDXImageLoaders.h"
#include "platform/Files.h"
#include "platform/PixelMask.h"
#include "platform/Resources.h"
#include "platform/Stream.h"

namespace {

// Largest picture file the loaders read whole.
constexpr size_t kMaxImageFile = size_t(256) << 20;

std::unique_ptr<CDXImageBase> MakeLoader(int nType) {
    switch (nType) {
    case CDXImage::TypeBmp: return std::make_unique<CDXImageBMP>();
    case CDXImage::TypePsd: return std::make_unique<CDXImagePSD>();
    case CDXImage::TypeTga: return std::make_unique<CDXImageTGA>();
    case CDXImage::TypePcx: return std::make_unique<CDXImagePCX>();
    default: return nullptr;
    }
}

}  // namespace

DWORD CapsForMemoryChoice(int nMemory) {
    if (nMemory == 0) return DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
    if (nMemory == 1) return DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    return DDSCAPS_OFFSCREENPLAIN;
}

// ---- CDXFile ----

CDXFile::~CDXFile() { Close(); }

int CDXFile::Open(const char* pszName) {
    Close();
    if (!pszName) return -1;
    m_pFile = OpenFile(pszName, "rb");
    return m_pFile ? 0 : -1;
}

DWORD CDXFile::Read(void* pBuffer, DWORD dwBytes) {
    if (!m_pFile || !pBuffer) return 0;
    return DWORD(std::fread(pBuffer, 1, dwBytes, m_pFile));
}

long CDXFile::Position() const { return m_pFile ? std::ftell(m_pFile) : -1; }

bool CDXFile::Seek(long nPos) { return m_pFile && nPos >= 0 && std::fseek(m_pFile, nPos, SEEK_SET) == 0; }

DWORD CDXFile::Size() const {
    if (!m_pFile) return 0;
    long nPos = std::ftell(m_pFile);
    if (nPos < 0 || std::fseek(m_pFile, 0, SEEK_END) != 0) return 0;
    long nEnd = std::ftell(m_pFile);
    std::fseek(m_pFile, nPos, SEEK_SET);
    return nEnd > 0 ? DWORD(nEnd) : 0;
}

int CDXFile::Close() {
    if (!m_pFile) return -1;
    std::fclose(m_pFile);
    m_pFile = nullptr;
    return 0;
}

// ---- CDXImageBase ----

bool CDXImageBase::AllocDib(int nWidth, int nHeight, int nBits) {
    if (nWidth < 1 || nHeight < 1 || nWidth > kMaxImageSide || nHeight > kMaxImageSide) {
        m_strError = "picture size " + std::to_string(nWidth) + " x " + std::to_string(nHeight) + " is impossible";
        return false;
    }
    if (nBits != 8 && nBits != 24 && nBits != 32) {
        m_strError = "unsupported bitmap depth " + std::to_string(nBits);
        return false;
    }
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nBits = BYTE(nBits);
    m_nRowBytes = (size_t(nWidth) * size_t(nBits / 8) + 3) & ~size_t(3);
    m_pixels.assign(m_nRowBytes * size_t(nHeight), 0);
    return true;
}

BYTE* CDXImageBase::AllocAlpha() {
    m_pAlpha.reset(new BYTE[size_t(m_nWidth) * size_t(m_nHeight)]());
    return m_pAlpha.get();
}

CVideoSurface* CDXImageBase::Fail(const std::string& why) {
    if (m_strError.empty()) m_strError = why;
    m_pAlpha.reset();
    return nullptr;
}

CVideoSurface* CDXImageBase::FailReader(const CByteReader& reader) {
    return Fail(reader.Error().empty() ? std::string("data ran short") : reader.Error());
}

CVideoSurface* CDXImageBase::Finish(CVideoDevice* pDevice, int nMemory) {
    if (!pDevice) return Fail("no display device");
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = DWORD(m_nWidth);
    desc.dwHeight = DWORD(m_nHeight);
    desc.dwCaps = CapsForMemoryChoice(nMemory);
    CVideoSurface* pSurface = nullptr;
    if (Failed(pDevice->CreateSurface(desc, &pSurface)) || !pSurface) return Fail("surface creation refused");

    const VideoPixelFormat& fmt = pSurface->Format();
    // Each 8-bit channel is cut to the top bits of its field.
    const PixelMasks masks(fmt.dwRBitMask, fmt.dwGBitMask, fmt.dwBBitMask);
    const int nBytes = pSurface->BytesPerPixel();
    const int nStep = m_nBits / 8;
    for (int y = 0; y < m_nHeight; ++y) {
        const BYTE* pSrc = PictureRow(y);
        BYTE* pDst = pSurface->Bits() + size_t(y) * size_t(pSurface->Pitch());
        for (int x = 0; x < m_nWidth; ++x, pSrc += nStep, pDst += nBytes) {
            DWORD c;
            if (m_nBits == 8) {
                const BYTE* q = m_palette[*pSrc];
                c = masks.Pack(q[2], q[1], q[0]);
            } else {
                c = masks.Pack(pSrc[2], pSrc[1], pSrc[0]);
            }
            for (int i = 0; i < nBytes; ++i) pDst[i] = BYTE(c >> (8 * i));
        }
    }
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    return pSurface;
}

// ---- CDXImage ----

CDXImage::~CDXImage() { delete[] m_pAlpha; }

int CDXImage::DetectType(DWORD dwSize, const BYTE* pData) {
    if (!pData || dwSize == 0) return TypeUnknown;
    const DWORD dwHead = dwSize < 256 ? dwSize : 256;
    const DWORD dwFoot = dwSize < 64 ? dwSize : 64;
    const BYTE* pFoot = pData + dwSize - dwFoot;
    static const int order[] = {TypeTga, TypeBmp, TypePsd, TypePcx};
    for (int nType : order)
        if (MakeLoader(nType)->Validate(pData, dwHead, pFoot, dwFoot)) return nType;
    return TypeUnknown;
}

CVideoSurface* CDXImage::Decode(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory, int nType) {
    m_strError.clear();
    // Nothing is printed here: a picture that fails is met again on every redraw that
    // asks for it, and the callers say it once a run, naming the file.
    if (nType == TypeUnknown) {
        m_strError = "unsupported image type";
        return nullptr;
    }
    std::unique_ptr<CDXImageBase> pLoader = MakeLoader(nType);
    if (!pLoader || !pData) {
        m_strError = "unsupported image type";
        return nullptr;
    }
    CVideoSurface* pSurface = pLoader->GetImage(pDevice, dwSize, pData, nMemory);
    m_strError = pLoader->GetError();
    // BMP and TGA replace the alpha plane (null when the picture has none); PSD and
    // PCX leave it as it was.
    if (nType == TypeBmp || nType == TypeTga) {
        delete[] m_pAlpha;
        m_pAlpha = pSurface ? pLoader->TakeAlpha() : nullptr;
    }
    return pSurface;
}

CVideoSurface* CDXImage::GetImageFromMemory(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory, int nType) {
    if (!pData || dwSize == 0) {
        m_strError = "no picture data";
        return nullptr;
    }
    if (nType == TypeUnknown) nType = DetectType(dwSize, pData);
    return Decode(pDevice, dwSize, pData, nMemory, nType);
}

CVideoSurface* CDXImage::GetImage(CVideoDevice* pDevice, const char* pszName, int nMemory) {
    std::vector<BYTE> data;
    std::string strError;
    if (!pszName || !ReadWholeFile(pszName, kMaxImageFile, &data, &strError) || data.empty()) {
        m_strError = strError.empty() ? std::string("empty picture file") : strError;
        return nullptr;
    }
    return GetImageFromMemory(pDevice, DWORD(data.size()), data.data(), nMemory, TypeUnknown);
}

CVideoSurface* CDXImage::GetImageFromFile(CVideoDevice* pDevice, CDXFile* pFile, DWORD dwSize, int nMemory, int nType) {
    if (!pFile || !pFile->IsOpen()) return nullptr;
    if (dwSize == 0) dwSize = pFile->Size();
    if (dwSize == 0 || dwSize > kMaxImageFile) return nullptr;
    std::vector<BYTE> data(dwSize);
    DWORD dwRead = pFile->Read(data.data(), dwSize);
    if (dwRead == 0) return nullptr;
    return GetImageFromMemory(pDevice, dwRead, data.data(), nMemory, nType);
}

CVideoSurface* CDXImage::GetImageFromStream(CVideoDevice* pDevice, DWORD dwSize, FILE* pStream, int nMemory, int) {
    if (!pStream) return nullptr;
    if (dwSize == 0) {
        long nPos = std::ftell(pStream);
        if (nPos < 0 || std::fseek(pStream, 0, SEEK_END) != 0) return nullptr;
        long nEnd = std::ftell(pStream);
        if (nEnd < 0 || std::fseek(pStream, nPos, SEEK_SET) != 0) return nullptr;
        if (nEnd <= nPos) return nullptr;
        dwSize = DWORD(nEnd - nPos);
    }
    if (dwSize == 0 || dwSize > kMaxImageFile) return nullptr;
    std::vector<BYTE> data(dwSize);
    if (std::fread(data.data(), 1, dwSize, pStream) != dwSize) return nullptr;
    return GetImageFromMemory(pDevice, dwSize, data.data(), nMemory, TypeUnknown);
}

CVideoSurface* LoadBitmapSurface(CVideoDevice* pDevice, const char* pszName, int* pWidth, int* pHeight, int nMemory) {
    if (!pszName) return nullptr;
    size_t nSize = 0;
    const BYTE* pData = FindResourceData(pszName, &nSize);
    std::vector<BYTE> file;
    if (!pData) {
        if (!ReadWholeFile(pszName, kMaxImageFile, &file)) return nullptr;
        pData = file.data();
        nSize = file.size();
    }
    if (nSize == 0 || nSize > kMaxImageFile) return nullptr;
    CDXImageBMP loader;
    if (!loader.Validate(pData, DWORD(nSize < 256 ? nSize : 256), pData, 0)) return nullptr;
    CVideoSurface* pSurface = loader.GetImage(pDevice, DWORD(nSize), pData, nMemory);
    if (pSurface) {
        if (pWidth) *pWidth = pSurface->Width();
        if (pHeight) *pHeight = pSurface->Height();
    }
    return pSurface;
}
