// A text banner that slides in from the right and then scrolls its text: the banner
// form (banner and background pictures, advanced by Draw) and the text-only form
// (advanced by DrawLine). The main window draws it each frame until it reports done.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Base.h"

class CDXSurface;

class CMoveText {
public:
    CMoveText();
    virtual ~CMoveText();
    CMoveText(const CMoveText&) = delete;
    CMoveText& operator=(const CMoveText&) = delete;

    // A banner at (x, y) that slides nStep pixels a frame, with "MoveText.bmp" and
    // "BackUpText.bmp" of the menu package (a missing picture is not drawn). A step
    // below 1 moves 1 pixel. True.
    bool Start(int x, int y, int nLeft, int nTop, const char* pszText, int nStep);
    // The same without pictures: a text-only banner.
    bool Init(int x, int y, int nLeft, int nTop, const char* pszText, int nStep);
    // One frame of the banner form; false once it has finished.
    bool Draw();
    // One frame of the text-only form in red; false on the 101st frame after arriving.
    bool DrawLine();
    // Moves a text-only line down by one line (15 pixels).
    void NextLine() { nY += 15; }

    std::unique_ptr<CDXSurface> pBackground;
    std::int32_t nIdleTicks = 0;
    std::int32_t nTextTicks = 0;
    std::int32_t nStep = 1;
    std::string pText;
    std::int32_t nTextLeft = 0;
    std::int32_t nTextTop = 0;
    std::int32_t nY = 0;
    std::int32_t nTrim = 0;
    std::int32_t nTextScroll = 0;
    std::int32_t nX = 0;
    std::int32_t nShown = 0;
    std::unique_ptr<CDXSurface> pBanner;

private:
    // Moves the banner nStep to the left while it has not arrived; true when it moved.
    bool Slide();
};
