// A positioned picture cut from a tile sheet: position, current frame and blend
// parameters; draws its frame with one of the blit types and tests box collisions.
#pragma once
#include <cstdio>

#include "CDX/CDXTile.h"

// Blit-type codes, the drawing modes every sprite and surface draw takes.
constexpr WORD BLT_OPAQUE = 0;
constexpr WORD BLT_ALPHA = 1;
constexpr WORD BLT_HALFALPHA = 2;
constexpr WORD BLT_SCALED = 3;
constexpr WORD BLT_SHADOW = 4;
constexpr WORD BLT_HALFSHADOW = 5;
constexpr WORD BLT_ROTOZOOM = 7;
constexpr WORD BLT_MIRROR = 8;
constexpr WORD BLT_FLIP = 9;
constexpr WORD BLT_STRETCHED = 10;
constexpr WORD BLT_KEYED = 100;
constexpr WORD BLT_ALPHAKEYED = 101;
constexpr WORD BLT_HALFALPHAKEYED = 102;
constexpr WORD BLT_SCALEDKEYED = 103;
constexpr WORD BLT_SHADOWKEYED = 104;
constexpr WORD BLT_HALFSHADOWKEYED = 105;
constexpr WORD BLT_ROTOZOOMKEYED = 107;
constexpr WORD BLT_MIRRORKEYED = 108;
constexpr WORD BLT_FLIPKEYED = 109;
constexpr WORD BLT_STRETCHEDKEYED = 110;
constexpr WORD BLT_OUTLINE = 111;
constexpr WORD BLT_ALPHAMASK = 120;

class CDXSprite {
public:
    CDXSprite();
    virtual ~CDXSprite();
    CDXSprite(const CDXSprite&) = delete;
    CDXSprite& operator=(const CDXSprite&) = delete;

    // Makes a new sheet from the BMP at the stream's position: 1, or 0 when the stream is
    // null or the BMP does not load.
    int Create(CDXScreen* pScreen, FILE* pStream, int nTileWidth, int nTileHeight, int nTileCount,
               DWORD memoryType = 1);
    // Makes a new sheet from an image file or resource picture: 1, -1 null name, -2 the
    // sprite has a sheet already, -3 the picture does not load.
    int CreateFromTileFile(CDXScreen* pScreen, const char* pszName, int nTileWidth, int nTileHeight, int nTileCount,
                           DWORD memoryType = 1);

    void SetPos(int x, int y) {
        m_nPosX = x;
        m_nPosY = y;
    }
    int GetPosX() const { return m_nPosX; }
    int GetPosY() const { return m_nPosY; }
    CDXSprite* SetFrame(DWORD dwFrame) {
        m_dwFrame = dwFrame;
        return this;
    }
    DWORD GetFrame() const { return m_dwFrame; }
    CDXSprite* SetAlpha(WORD alpha) {
        m_alpha = alpha;
        return this;
    }
    WORD GetAlpha() const { return m_alpha; }
    // The sheet's top-left pixel becomes its colour key.
    int SetColorKey();
    CDXTile* GetTile() const { return m_pTile; }

    // Draws the current frame at the position minus the scroll with a blit type: the blit's
    // result; -1 without a usable sheet; 0 and nothing drawn for a type no blit serves.
    int Draw(CDXSurface* pDest, int nScrollX, int nScrollY, WORD blitType);
    // True when the two boxes (position and tile size) overlap or touch; never with itself.
    bool HitsBox(const CDXSprite* pOther) const;

    // Blend parameters, set by the callers before drawing.
    DWORD m_dwOutlineColour = 0;
    int m_nAngle = 0;           // degrees, types 7 and 107
    float m_fScale = 1.0f;      // types 3, 103, 7, 107
    int m_nOffsetX = 0;         // subtracted for the shadow and outline types
    int m_nOffsetY = 0;
    WORD m_shadowAlpha = 0;     // types 4 and 104
    WORD m_stretchHeight = 0;   // types 10 and 110
    WORD m_stretchWidth = 0;

private:
    int m_nPosX = 0;
    int m_nPosY = 0;
    DWORD m_dwFrame = 0;
    WORD m_alpha = 0;
    DWORD m_dwOwnsTile = 0;
    CDXTile* m_pTile = nullptr;
};
