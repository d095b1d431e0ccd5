// A surface cut into equal tiles: the picture sheet a sprite draws its frames from.
#pragma once
#include <cstdio>
#include <vector>

#include "CDX/CDXSurface.h"

class CDXTile : public CDXSurface {
public:
    CDXTile();
    ~CDXTile() override;

    // Loads the sheet from an image file or resource picture and cuts it: 1, or 0 when the
    // name is null, the picture does not load or a tile size is not positive.
    int Create(CDXScreen* pScreen, const char* pszName, int nTileWidth, int nTileHeight, int nTileCount,
               DWORD memoryType = 1);
    // Keeps the tile size and count as given and loads the sheet from the BMP at the stream's
    // position; builds no rectangles. 1, or 0 when the stream is null or the BMP does not load.
    int CreateFromStream(CDXScreen* pScreen, FILE* pStream, int nTileWidth, int nTileHeight, int nTileCount,
                         DWORD memoryType = 1);

    int GetTileWidth() const { return m_nTileWidth; }
    int GetTileHeight() const { return m_nTileHeight; }
    int GetTileCount() const { return m_nTileCount; }
    int GetColumns() const { return m_nColumns; }
    int GetRows() const { return m_nRows; }
    // Rectangle of a tile cut by Create; null for an unknown tile or a sheet not cut.
    const RECT* GetTileRect(int nTile) const;

private:
    // A frame list of the animation table, which the game leaves empty.
    struct TileAnimation {
        std::vector<int> frames;
    };
    std::vector<TileAnimation> m_animations;
    DWORD m_dwAnimationStep = 0;
    int m_nTileWidth = 0;
    int m_nTileHeight = 0;
    int m_nTileCount = 0;
    int m_nColumns = 0;
    int m_nRows = 0;
    std::vector<RECT> m_tileRects;
};
