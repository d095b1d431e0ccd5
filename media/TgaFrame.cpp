#include "media/TgaFrame.h"

bool CTgaFrame::Load(const char* pszName) { return m_data.LoadFile(pszName); }

bool CTgaFrame::LoadFromFile(FILE* pStream, DWORD nSize) { return m_data.LoadStream(pStream, nSize); }

int CTgaFrame::Draw(CDXSurface* pSurface, int x, int y, int nAddRed, int nAddGreen, int nAddBlue, int bAlphaContrast) {
    if (!IsLoaded()) return 0;
    return DrawTgaPicture(pSurface, m_data, x, y, GetHeight(), nAddRed, nAddGreen, nAddBlue, bAlphaContrast != 0);
}
