// An animation frame (effects, characters) kept as a run-length 32-bit TGA file and
// drawn whole, straight from its packets.
#pragma once
#include <cstdio>
#include "media/TgaDraw.h"
#include "platform/Base.h"

class CDXSurface;

class CTgaFrame {
public:
    CTgaFrame() = default;
    virtual ~CTgaFrame() = default;
    CTgaFrame(const CTgaFrame&) = delete;
    CTgaFrame& operator=(const CTgaFrame&) = delete;

    // Loads a file (read-only), replacing a picture already held; false on failure.
    bool Load(const char* pszName);
    // Loads nSize bytes from an open stream at its position; false on failure.
    bool LoadFromFile(FILE* pStream, DWORD nSize);
    // Draws the whole picture at (x, y) (null surface: the back buffer); 1 when the
    // cursor lies on a drawn opaque pixel.
    int Draw(CDXSurface* pSurface, int x, int y, int nAddRed, int nAddGreen, int nAddBlue, int bAlphaContrast);

    bool IsLoaded() const { return m_data.Pixels() != nullptr; }
    const TgaFileHeader& GetHeader() const { return m_data.Header(); }
    int GetWidth() const { return m_data.Header().nWidth; }
    int GetHeight() const { return m_data.Header().nHeight; }
    const std::string& GetError() const { return m_data.Error(); }

private:
    CTgaData m_data;
};
