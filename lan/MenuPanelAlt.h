// A second menu-screen base that reads its picture from an image file (or the bitmap
// resource of that name) instead of the menu package; everything else is CMenuPanel's.
// CNullPanel is an empty panel whose operations do nothing. Library classes only.
#pragma once
#include "ui/menus/MenuPanel.h"

class CMenuPanelAlt : public CMenuPanel {
public:
    CMenuPanelAlt() = default;
    // Builds the picture record: file name, position and nRects hot rectangles.
    void Describe(const char* pszFile, int x, int y, int nRects) { InitButtonRecord(pszFile, x, y, nRects); }
    void SetHotRect(int n, LONG l, LONG t, LONG r, LONG b) { SetRectAt(n, l, t, r, b); }
    // Loads the picture from the image file once: nonzero when it is there (or no file is
    // named). Writes the load to the debug log when the log is open.
    int LoadMenuBmp();
    void Draw();
};

class CNullPanel {
public:
    CNullPanel() = default;
    virtual ~CNullPanel() = default;
    void Select(int) {}
    int Current() { return -1; }
    void Refresh() {}
};
