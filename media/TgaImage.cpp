#include "media/TgaImage.h"

bool CTgaImage::Load(const char* pszName) { return m_data.LoadFile(pszName); }

const BYTE* CTgaImage::LoadFromFile(FILE* pStream, DWORD nSize) {
    return m_data.LoadStream(pStream, nSize) ? m_data.Pixels() : nullptr;
}

int CTgaImage::Draw(CDXSurface* pSurface, int x, int y, const RECT* pSrc, int nAddRed, int nAddGreen, int nAddBlue,
                    int bAlphaContrast) {
    if (!IsLoaded()) return 0;
    const int nRows = pSrc ? pSrc->bottom - pSrc->top : GetHeight();
    return DrawTgaPicture(pSurface, m_data, x, y, nRows, nAddRed, nAddGreen, nAddBlue, bAlphaContrast != 0);
}
