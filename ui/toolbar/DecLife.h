// A red "-n" that rises over a fighter who just lost life: hidden for its first 100 ms,
// then drawn 5 pixels higher each frame until 400 ms have passed. The toolbar keeps up
// to 100 of them and deletes each once its Draw reports it over.
#pragma once
#include <memory>

#include "platform/Base.h"

class CDXSurface;

constexpr DWORD kDecLifeHiddenMs = 100;
constexpr DWORD kDecLifeLifeMs = 400;
constexpr int kDecLifeRise = 5;

class CDecLife {
public:
    // Loads "DecLife.bmp" from the menu package; position (-1, -1), all times now.
    CDecLife();
    virtual ~CDecLife();
    CDecLife(const CDecLife&) = delete;
    CDecLife& operator=(const CDecLife&) = delete;

    // Places the number over map point (x, y) in the current view and writes "-amount".
    void Start(int x, int y, int nAmount);
    // Draws and moves the number; nonzero while it is still alive.
    int Draw();

    POINT GetPos() const { return POINT{m_nX, m_nY}; }
    bool HasPicture() const { return m_pPicture != nullptr; }

private:
    int m_nX = -1, m_nY = -1;
    DWORD m_dwFrameTime = 0;
    DWORD m_dwShowTime = 0;
    DWORD m_dwEndTime = 0;
    std::unique_ptr<CDXSurface> m_pPicture;
};
