// Sprites of the library panels: each panel names its pictures as (menu-package file,
// tile width, tile height, tile count) rows. The list of every such file, at the largest
// size any row asks for, lets the sample-game writer make stand-ins for them.
#pragma once
#include <vector>

class CDXSprite;

struct LanPicture {
    const char* pszName;
    int nWidth;
    int nHeight;
    int nTiles;
};

// A sprite of the row's file and tile size, colour key from its top-left pixel, showing
// nTile, placed at (x, y). Null when the menu package lacks the file or no screen exists.
CDXSprite* MakeLanSprite(const LanPicture& pic, int nTile, int x, int y);

// Every file the library panels read, once, at the largest tile size and count named.
std::vector<LanPicture> LanPictureFiles();
