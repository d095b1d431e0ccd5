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

// The picture the numbers are written on: "DecLife.bmp" from the menu package, read
// once, and a page with the numbers' font, made once. The toolbar's pool owns it, so a
// fight that shows a number every frame reads no file and makes no font for them.
class CDecLifeArt {
public:
    CDecLifeArt();
    ~CDecLifeArt();
    CDecLifeArt(const CDecLifeArt&) = delete;
    CDecLifeArt& operator=(const CDecLifeArt&) = delete;

    // Reads the picture unless it is already there; false when it cannot be read.
    bool Load();
    bool IsLoaded() const { return m_pPicture != nullptr; }
    // A copy of the picture with "-amount" written on it in red, keyed by its corner;
    // null without the picture.
    std::unique_ptr<CDXSurface> Write(int nAmount);

private:
    std::unique_ptr<CDXSurface> m_pPicture;
    std::unique_ptr<CDXSurface> m_pPage;
};

class CDecLife {
public:
    // Position (-1, -1), all times now; its picture comes from pArt (null: none).
    explicit CDecLife(CDecLifeArt* pArt);
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
    CDecLifeArt* m_pArt = nullptr;
    int m_nX = -1, m_nY = -1;
    DWORD m_dwFrameTime = 0;
    DWORD m_dwShowTime = 0;
    DWORD m_dwEndTime = 0;
    std::unique_ptr<CDXSurface> m_pPicture;
};
