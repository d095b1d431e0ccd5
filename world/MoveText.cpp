#include "world/MoveText.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "world/MenuPicture.h"
#include "platform/Text.h"

namespace {

constexpr int kLineIdleFrames = 100;
constexpr COLORREF kBannerText = RGB(0, 0, 0);
constexpr COLORREF kLineText = RGB(255, 0, 0);

// Width in pixels of the text in the back buffer's font.
int TextWidth(const std::string& text) {
    if (!pBack || text.empty()) return 0;
    RECT rc{0, 0, 0, 0};
    pBack->DrawText(text.c_str(), 0, &rc, DT_CALCRECT | DT_SINGLELINE);
    return rc.right > rc.left ? int(rc.right - rc.left) : 0;
}

// The part (0, 0)-(right, bottom) of a picture that the picture holds; false when empty.
bool PictureRect(const CDXSurface& surface, int nRight, int nBottom, RECT* pRect) {
    *pRect = RECT{0, 0, nRight < surface.GetWidth() ? nRight : surface.GetWidth(),
                  nBottom < surface.GetHeight() ? nBottom : surface.GetHeight()};
    return pRect->right > 0 && pRect->bottom > 0;
}

}  // namespace

CMoveText::CMoveText() = default;
CMoveText::~CMoveText() = default;

bool CMoveText::Init(int x, int y, int nLeft, int nTop, const char* pszText, int nStepValue) {
    nX = x;
    nShown = 0;
    nY = y;
    nTextLeft = nLeft;
    nTextTop = nTop;
    // The scroll time divides by the step, and a step below 1 would never arrive.
    nStep = nStepValue < 1 ? 1 : nStepValue;
    pText = pszText ? pszText : "";
    nTextTicks = TextWidth(pText) / nStep;
    return true;
}

bool CMoveText::Start(int x, int y, int nLeft, int nTop, const char* pszText, int nStepValue) {
    pBanner = LoadMenuPicture("MoveText.bmp");
    pBackground = LoadMenuPicture("BackUpText.bmp");
    return Init(x, y, nLeft, nTop, pszText, nStepValue);
}

bool CMoveText::Slide() {
    if (nX < 1) return false;
    nX -= nStep;
    nShown += nStep;
    return true;
}

bool CMoveText::Draw() {
    const int nBannerHeight = pBanner ? pBanner->GetHeight() : 0;
    if (pBanner) pBanner->SetColorKeyFromCorner();
    if (nShown > nTextLeft + 100 && pBack) {
        RECT rcSource;
        if (pBackground && PictureRect(*pBackground, 500 - (nX + 110), nY + nBannerHeight, &rcSource))
            pBackground->BlitOpaque(pBack, nX + 110, nY + 20, &rcSource);
        RECT rcText{nTextLeft + nX + 100 + nTextScroll, nY + nTextTop, nX + nShown - nTrim, nY + nTextTop + 20};
        if (rcText.right > rcText.left) pBack->DrawText(pText.c_str(), kBannerText, &rcText, DT_WORDBREAK);
    }
    if (nX > 0 && nX < 10) nTrim += nStep;
    RECT rcBanner;
    if (pBanner && pBack && PictureRect(*pBanner, nShown, nY + nBannerHeight, &rcBanner))
        pBanner->BlitKeyed(pBack, nX, nY, &rcBanner);
    if (Slide()) return true;
    if (nIdleTicks > nTextTicks) return false;
    ++nIdleTicks;
    nTextScroll -= nStep;
    return true;
}

bool CMoveText::DrawLine() {
    if (nShown > nTextLeft + 100 && pBack) {
        RECT rcText{nTextLeft + 100 + nX, nY + nTextTop, 600, nY + 15 + nTextTop};
        if (rcText.right > rcText.left) pBack->DrawText(pText.c_str(), kLineText, &rcText, DT_WORDBREAK);
    }
    if (Slide()) return true;
    ++nIdleTicks;
    return nIdleTicks <= kLineIdleFrames;
}
