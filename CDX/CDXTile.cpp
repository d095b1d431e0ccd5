#include "CDX/CDXTile.h"

#include <new>

CDXTile::CDXTile() = default;

CDXTile::~CDXTile() = default;

int CDXTile::Create(CDXScreen* pScreen, const char* pszName, int nTileWidth, int nTileHeight, int nTileCount,
                    DWORD memoryType) {
    // Sizes of 0 would divide by zero when the columns and rows are counted.
    if (!pszName || nTileWidth <= 0 || nTileHeight <= 0 || nTileCount < 0) return 0;
    if (CreateFromImageFile(pScreen, pszName, memoryType) != 1) return 0;
    const int nSheetW = GetWidth(), nSheetH = GetHeight();
    m_nTileWidth = nTileWidth < nSheetW ? nTileWidth : nSheetW;
    m_nTileHeight = nTileHeight < nSheetH ? nTileHeight : nSheetH;
    m_nColumns = nSheetW / nTileWidth;
    m_nRows = nSheetH / nTileHeight;
    m_nTileCount = nTileCount ? nTileCount : m_nColumns * m_nRows;
    try {
        m_tileRects.assign(size_t(m_nTileCount), RECT{});
    } catch (const std::bad_alloc&) {
        m_tileRects.clear();
        return 0;
    }
    // Left to right, top to bottom; a tile that would pass the right edge starts a new row.
    int x = 0, y = 0;
    for (int i = 0; i < m_nTileCount; ++i) {
        if (x > nSheetW - m_nTileWidth) {
            y += m_nTileHeight;
            x = 0;
        }
        m_tileRects[size_t(i)] = RECT{x, y, x + m_nTileWidth, y + m_nTileHeight};
        x += m_nTileWidth;
    }
    return 1;
}

int CDXTile::CreateFromStream(CDXScreen* pScreen, FILE* pStream, int nTileWidth, int nTileHeight, int nTileCount,
                              DWORD memoryType) {
    if (!pStream) return 0;
    m_nTileWidth = nTileWidth;
    m_nTileHeight = nTileHeight;
    m_nTileCount = nTileCount;
    return LoadBmpFromStream(pScreen, pStream, memoryType, 0) == 1 ? 1 : 0;
}

const RECT* CDXTile::GetTileRect(int nTile) const {
    if (nTile < 0 || size_t(nTile) >= m_tileRects.size()) return nullptr;
    return &m_tileRects[size_t(nTile)];
}
