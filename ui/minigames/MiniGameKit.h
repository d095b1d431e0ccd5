// What the mini-games share: their pictures from the menu package, the frame's end and
// the key-state bits they read.
#pragma once
#include <memory>

#include "platform/Base.h"

class CDXSprite;
class CDXSurface;

// A row of a game's picture table: name, tile width and height, tile count.
struct MiniGamePicture {
    const char* pszName;
    int nWidth;
    int nHeight;
    int nCount;
};

// A sprite of nCount tiles of w x h from a menu-package picture, keyed by its top-left
// pixel and placed at (x, y); null when the picture is absent (the game then draws
// nothing in its place and runs on).
std::unique_ptr<CDXSprite> LoadGameSprite(const char* pszName, int w, int h, int nCount, int x = 0, int y = 0);
// A surface of a menu-package picture with the display's memory flag; null when absent.
std::unique_ptr<CDXSurface> LoadGameSurface(const char* pszName, bool bColorKey);
// Draws a sprite, colour-keyed, when it exists.
void DrawGameSprite(CDXSprite* pSprite);
// Presents the back buffer: one frame of a game.
void PresentGameFrame();
// The key-state bits: pressed since the last query, and down now.
bool KeyPressedSince(int nKey);
bool KeyDown(int nKey);
// The cursor where it is now, in client pixels. A button's pressed bit can come in
// ahead of the move that carried the cursor there (the loop takes one message a pass),
// so a click is placed by this rather than by the cursor object's last move. The shell
// names the refresh that brings the cursor object up to date; without one the cursor
// object answers as it stands.
POINT GameCursorNow();
void SetGameCursorRefresh(void (*pfnRefresh)());
