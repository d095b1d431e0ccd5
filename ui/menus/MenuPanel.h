// The base of the screens the game-mode object owns (title menu, talk bars, exit box,
// party strip): a picture named in the menu package and placed on the back buffer,
// hot rectangles with a hover index, and two hit tests. Also the loaders every menu
// screen and box uses to read its pictures from the menu package.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "platform/Base.h"

class CDXSurface;
class CPkgFile;
class CTgaImage;

// The picture description a panel owns.
struct MenuPicInfo {
    std::string strName;       // entry in the menu package; empty for none
    int x = 0, y = 0;          // top-left corner on the back buffer
    int nRectCount = 0;        // number of hot rectangles
    std::vector<int> flags;    // one word per hot rectangle, zeroed
};

class CMenuPanel {
public:
    CMenuPanel();
    virtual ~CMenuPanel();
    CMenuPanel(const CMenuPanel&) = delete;
    CMenuPanel& operator=(const CMenuPanel&) = delete;

    // Loads the picture once: nonzero when it is there (or the record names none).
    // A failed load keeps an empty picture and is not retried.
    int LoadMenuBmp();
    // Loads, then blits the picture with its colour key at the position.
    void Draw();
    // The hot rectangle under a back-buffer point, stored as the hover index; -1 none.
    int HitTest(int x, int y);
    // True when the point lies on a pixel of the picture that differs from its colour
    // key; column 0 and row 0 never hit; false without a picture.
    bool PixelHit(POINT pt);
    // Deletes the picture; a later LoadMenuBmp reads it again.
    void ReleaseBmp();
    static DWORD GetColorKey(CDXSurface* pSurface);
    // Clears the record's name and flags; bit 0 of nFlags deletes the record itself.
    void DeletePicInfo(int nFlags);

    int GetHover() const { return m_nHover; }
    void SetHover(int n) { m_nHover = n; }
    const MenuPicInfo* GetInfo() const { return m_pInfo.get(); }
    const RECT& GetRect(int n) const { return m_rects[size_t(n)]; }
    int GetRectCount() const { return int(m_rects.size()); }
    CDXSurface* GetPicture() const { return m_pPicture; }

protected:
    // Builds the info record and nRects zeroed hot rectangles.
    void InitButtonRecord(const char* pszName, int x, int y, int nRects);
    void SetRectAt(int n, LONG l, LONG t, LONG r, LONG b);

    int m_nHover = -1;
    std::vector<RECT> m_rects;
    CDXSurface* m_pPicture = nullptr;
    std::unique_ptr<MenuPicInfo> m_pInfo;
};

// The native pixel at (x, y) of a locked surface; 0 outside it.
DWORD GetSurfacePixel(CDXSurface* pSurface, int x, int y);

// The menu package the screens read from: the picture store's, unless tools or tests
// set one of their own. Null when none is open.
CPkgFile* GetMenuPackage();
void SetMenuPackage(CPkgFile* pPkg);
// A surface made from a menu-package entry, with the colour key of its top-left pixel
// when bColorKey is set. Null when the entry is absent or is no picture.
CDXSurface* LoadMenuSurface(const char* pszName, bool bColorKey);
// A run-length TGA picture from the menu package; null when absent or broken.
CTgaImage* LoadMenuTga(const char* pszName);
// Plays sound effect n when the sound-effect table exists.
void PlayUiSound(int n);
