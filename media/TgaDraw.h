// What CTgaImage and CTgaFrame share: the run-length 32-bit TGA file held whole in
// memory, and the draw that decodes it straight onto a locked surface with per-pixel
// alpha, an optional colour add and the cursor hit test.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include "CDX/TgaHeader.h"
#include "platform/Base.h"

class CDXSurface;

// The whole file image of one picture and where its pixel packets start.
class CTgaData {
public:
    // Reads the whole file (opened read-only); false leaves nothing loaded.
    bool LoadFile(const char* pszName);
    // Reads nSize bytes from the stream's position; false leaves nothing loaded.
    bool LoadStream(FILE* pStream, DWORD nSize);
    // Takes a copy of a file image held in memory.
    bool LoadMemory(const BYTE* pData, size_t nSize);
    void Free();

    const BYTE* Pixels() const { return m_pPixels; }
    const BYTE* End() const { return m_pData.get() + m_nSize; }
    const TgaFileHeader& Header() const { return m_header; }
    const std::string& Error() const { return m_strError; }

private:
    bool Adopt(std::unique_ptr<BYTE[]> pData, size_t nSize);

    std::unique_ptr<BYTE[]> m_pData;
    size_t m_nSize = 0;
    const BYTE* m_pPixels = nullptr;
    TgaFileHeader m_header;
    std::string m_strError;
};

// Draws nDrawHeight rows of the picture (its lowest rows, decoded from the bottom)
// with their top at (x, y) on the surface (null: the back buffer). Returns 1 when the
// cursor lies on a drawn opaque pixel, else 0; nothing is drawn on a surface of an
// unsupported depth or one that cannot be locked.
int DrawTgaPicture(CDXSurface* pSurface, const CTgaData& data, int x, int y, int nDrawHeight, int nAddRed,
                   int nAddGreen, int nAddBlue, bool bAlphaContrast);

// Where the cursor stands for the hit test, in surface pixels. The cursor object
// installs its reader; until then the cursor is nowhere.
using TgaCursorFn = POINT (*)();
void SetTgaCursorSource(TgaCursorFn pfnCursor);
