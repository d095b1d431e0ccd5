// The picture show: three full-screen pictures in the order 0, 1, 2, 1, 0 for 3001
// frames in its own loop, taking no input. A picture smaller than the screen stands at
// the top left on black.
#pragma once
#include <memory>

#include "ui/minigames/MiniGameKit.h"

class CDXSurface;

// The show's pictures, shown whole.
extern const MiniGamePicture ShowPictures[3];

constexpr int kShowLastFrame = 3000;

class CPictureShow {
public:
    // Show 1 takes the table's three rows; any other number has no rows and shows
    // nothing (its Run returns at once).
    explicit CPictureShow(int n);
    virtual ~CPictureShow();
    CPictureShow(const CPictureShow&) = delete;
    CPictureShow& operator=(const CPictureShow&) = delete;

    // The loop; a quit or a close ends it early.
    void Run();

    int m_nCurrent = 0;
    int m_nFirst = -1;
    int m_bRunning = 0;
    std::unique_ptr<CDXSurface> m_pPictures[3];
};
