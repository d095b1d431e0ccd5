#include <cmath>
#include <cstdio>

#include "CDX/CDXScreen.h"

CVideoDevice* GetDirectDraw() { return pScreen ? pScreen->GetDirectDraw() : nullptr; }

double GetDirectionAngle(int x1, int y1, int x2, int y2) {
    const double kPi = 3.1415926;
    if (x1 == x2) return y1 < y2 ? 0.0 : kPi;
    double a = std::atan(double(y2 - y1) / double(x2 - x1));
    a += x2 >= x1 ? 3.0 * kPi / 2.0 : kPi / 2.0;
    while (a >= 2.0 * kPi) a -= 2.0 * kPi;
    return a;
}

const char* DisplayErrorName(HRESULT hr) {
    struct Entry {
        HRESULT hr;
        const char* pszName;
    };
    // Every code the display layer can return, by the name the box shows.
    static const Entry kNames[] = {
        {DDERR_GENERIC, "DDERR_GENERIC"},
        {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},
        {DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY"},
        {DDERR_UNSUPPORTED, "DDERR_UNSUPPORTED"},
        {DDERR_NOTINITIALIZED, "DDERR_NOTINITIALIZED"},
        {DDERR_SURFACELOST, "DDERR_SURFACELOST"},
        {DDERR_WASSTILLDRAWING, "DDERR_WASSTILLDRAWING"},
        {DDERR_INVALIDRECT, "DDERR_INVALIDRECT"},
        {DDERR_INVALIDPIXELFORMAT, "DDERR_INVALIDPIXELFORMAT"},
        {DDERR_INVALIDMODE, "DDERR_INVALIDMODE"},
        {DDERR_NOTLOCKED, "DDERR_NOTLOCKED"},
        {DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY"},
        {DDERR_PRIMARYSURFACEALREADYEXISTS, "DDERR_PRIMARYSURFACEALREADYEXISTS"},
        {DDERR_NOCOOPERATIVELEVELSET, "DDERR_NOCOOPERATIVELEVELSET"},
        {DDERR_NODC, "DDERR_NODC"},
        {DDERR_CANTCREATEDC, "DDERR_CANTCREATEDC"},
        {DDERR_NOTFOUND, "DDERR_NOTFOUND"},
    };
    for (const Entry& e : kNames)
        if (e.hr == hr) return e.pszName;
    return "Unknown Error";
}

void DisplayErrorBox(HRESULT hr, HWND hWnd, const char* pszFile, int nLine) {
    char szText[512];
    std::snprintf(szText, sizeof szText, "DirectDraw Error %s\nFILE: %s\nLINE: %d", DisplayErrorName(hr),
                  pszFile ? pszFile : "", nLine);
    MessageBox(hWnd, szText, "Error", MB_OK);
    PostQuitMessage(0);
}

bool HasMMX() { return true; }
