// An interface picture kept as a run-length 32-bit TGA file and drawn straight from
// its packets; the draw can take only the lowest rows of the picture.
#pragma once
#include <cstdio>
#include "media/TgaDraw.h"
#include "platform/Base.h"

class CDXSurface;

class CTgaImage {
public:
    CTgaImage() = default;
    virtual ~CTgaImage() = default;
    CTgaImage(const CTgaImage&) = delete;
    CTgaImage& operator=(const CTgaImage&) = delete;

    // Loads a file (read-only), replacing a picture already held. False when it
    // cannot be read or is not a 32-bit run-length TGA; nothing is held then.
    bool Load(const char* pszName);
    // Loads nSize bytes from an open stream at its position (a package entry);
    // returns the first pixel packet, or null on failure.
    const BYTE* LoadFromFile(FILE* pStream, DWORD nSize);
    // Draws at (x, y) on the surface (null: the back buffer); with a source rectangle
    // only its height counts: the picture's lowest (bottom - top) rows are drawn.
    // Returns 1 when the cursor lies on a drawn opaque pixel.
    int Draw(CDXSurface* pSurface, int x, int y, const RECT* pSrc, int nAddRed, int nAddGreen, int nAddBlue,
             int bAlphaContrast);

    bool IsLoaded() const { return m_data.Pixels() != nullptr; }
    const TgaFileHeader& GetHeader() const { return m_data.Header(); }
    int GetWidth() const { return m_data.Header().nWidth; }
    int GetHeight() const { return m_data.Header().nHeight; }
    const std::string& GetError() const { return m_data.Error(); }

private:
    CTgaData m_data;
};
