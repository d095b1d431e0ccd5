// Closing words: one picture gliding from the right edge to the left, two pixels a step
// and a step at most every 41 ms, while its translucency swells and fades.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSurface;

class CEndWord {
public:
    static constexpr int kStepMs = 41;

    // Loads "Endword%02d.bmp" (n) from the menu package.
    explicit CEndWord(int n);
    virtual ~CEndWord();
    CEndWord(const CEndWord&) = delete;
    CEndWord& operator=(const CEndWord&) = delete;

    // Draws the picture and steps it on the game clock: 1 when the glide is over.
    int Draw();

    int m_bFading = 1;
    int m_nAlpha = 200;
    int m_nX = 800;
    DWORD m_dwLastStep = 0;
    bool HasPicture() const { return m_pPicture != nullptr; }

private:
    std::unique_ptr<CDXSurface> m_pPicture;
};
