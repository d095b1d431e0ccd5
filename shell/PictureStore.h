// The shell's use of the picture store (pBitmapData): creating, opening and deleting
// it at start-up and exit, sprites of the menu package (the cursor) and item icons.
// A picture the package lacks gives no sprite, and drawing it then does nothing.
#pragma once
#include <string>

class CDXSprite;

void CreatePictureStore();
// Opens the picture packages; false with the reason in *pWhy.
bool InitPictureStore(std::string* pWhy);
void DeletePictureStore();
// A sprite of nCount tiles of nWidth x nHeight from a menu-package entry; null when
// the entry is absent or no picture.
CDXSprite* LoadMenuSprite(const char* pszName, int nWidth, int nHeight, int nCount, unsigned nMemory);
// Draws the icon of an item on the back buffer (the carried item under the cursor).
void DrawItemIcon(int nItem, int x, int y);
