// Turns the bytes of a picture file (TGA, BMP, PSD, PCX, recognised from their
// contents) into a new surface in the display's pixel format, handing back the
// alpha plane of 32-bit BMP and TGA pictures separately. Decoded colours are
// converted to the surface format by truncation, never dithered, so colour keys
// compare exact values.
#pragma once
#include <cstdio>
#include <string>
#include "platform/Base.h"
#include "platform/Video.h"

// The small file object the loaders read through; opened read-only.
class CDXFile {
public:
    CDXFile() = default;
    virtual ~CDXFile();
    CDXFile(const CDXFile&) = delete;
    CDXFile& operator=(const CDXFile&) = delete;

    // 0 on success, -1 on failure; an open file is closed first.
    int Open(const char* pszName);
    // Bytes read, 0 on failure.
    DWORD Read(void* pBuffer, DWORD dwBytes);
    long Position() const;
    bool Seek(long nPos);
    // Whole size of the file in bytes (0 when closed).
    DWORD Size() const;
    // 0 when closed now, -1 when it was not open.
    int Close();
    bool IsOpen() const { return m_pFile != nullptr; }

private:
    FILE* m_pFile = nullptr;
};

class CDXImage {
public:
    CDXImage() = default;
    virtual ~CDXImage();
    CDXImage(const CDXImage&) = delete;
    CDXImage& operator=(const CDXImage&) = delete;

    // Image type numbers.
    enum { TypeUnknown = 0, TypeBmp = 1, TypePsd = 2, TypeTga = 3, TypePcx = 4 };

    // Reads the whole file (opened read-only), detects its type and decodes it.
    CVideoSurface* GetImage(CVideoDevice* pDevice, const char* pszName, int nMemory);
    // Reads dwSize bytes (0: the file's whole size) from an open file; type 0 detects.
    CVideoSurface* GetImageFromFile(CVideoDevice* pDevice, CDXFile* pFile, DWORD dwSize, int nMemory, int nType);
    // Reads dwSize bytes (0: up to the stream's end) from the stream's position; the
    // type is always detected from the data.
    CVideoSurface* GetImageFromStream(CVideoDevice* pDevice, DWORD dwSize, FILE* pStream, int nMemory, int nType);
    // Decodes a picture held in memory; type 0 detects.
    CVideoSurface* GetImageFromMemory(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory, int nType);
    static int DetectType(DWORD dwSize, const BYTE* pData);
    CVideoSurface* Decode(CVideoDevice* pDevice, DWORD dwSize, const BYTE* pData, int nMemory, int nType);

    // The alpha plane of the last decoded BMP or TGA picture (width x height bytes, top
    // row first) or null; the caller owns what it takes.
    BYTE* TakeAlpha() {
        BYTE* p = m_pAlpha;
        m_pAlpha = nullptr;
        return p;
    }
    // Why the last load failed ("" after a success).
    const std::string& GetError() const { return m_strError; }

private:
    BYTE* m_pAlpha = nullptr;
    std::string m_strError;
};

// Loads a resource picture (or a BMP file) by name into a new surface.
CVideoSurface* LoadBitmapSurface(CVideoDevice* pDevice, const char* pszName, int* pWidth, int* pHeight, int nMemory);
// Surface capabilities for a memory choice: 0 video, 1 system, other none.
DWORD CapsForMemoryChoice(int nMemory);
