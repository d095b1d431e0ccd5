// A looping sequence of TGA frames from the picture package "Vesk.pkg", drawn at a
// map point; the flying effects use it.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/Base.h"

class CTgaFrame;

class CTgaAnimation {
public:
    static constexpr int kMaxFrames = 10;
    // Frame names counted in the package before the count is cut to kMaxFrames.
    static constexpr int kMaxNames = 32;
    static constexpr DWORD kFrameTime = 100;

    CTgaAnimation();
    virtual ~CTgaAnimation();
    CTgaAnimation(const CTgaAnimation&) = delete;
    CTgaAnimation& operator=(const CTgaAnimation&) = delete;

    // Loads frames "%02d-%02d%02d.tga" (group, row + 1, i) for i = 0, 1, ... until a
    // name is missing or does not load (said once a run by the package); at most
    // kMaxFrames. Returns the frame count.
    int Load(int nGroup, int nRow);
    void SetPos(int x, int y) { ptPos = POINT{x, y}; }
    // Draws the current frame at the position minus (64, 128), then steps to the next
    // frame (wrapping) once more than 100 ms have passed. Nothing without frames.
    void Draw();

    DWORD timeNow = 0;
    DWORD timeStep = 0;
    std::int32_t nFrames = 0;
    std::int32_t nCurrent = 0;
    std::unique_ptr<CTgaFrame> pFrames[kMaxFrames];
    POINT ptPos{0, 0};
};
