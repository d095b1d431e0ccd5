#include "platform/Text.h"

#include <cstring>

#include "platform/FontCache.h"
#include "platform/FontRender.h"
#include "platform/Video.h"

namespace {

constexpr COLORREF kInvalidColor = 0xFFFFFFFF;

// The pixels of the context's surface as a text target; false without a surface.
bool TargetOf(HDC hDC, TextTarget* pTarget) {
    CVideoSurface* pSurface = hDC ? hDC->Surface() : nullptr;
    if (!pSurface) return false;
    const VideoPixelFormat& fmt = pSurface->Format();
    pTarget->pBits = pSurface->Bits();
    pTarget->nWidth = pSurface->Width();
    pTarget->nHeight = pSurface->Height();
    pTarget->nPitch = pSurface->Pitch();
    pTarget->nBytesPerPixel = pSurface->BytesPerPixel();
    pTarget->dwRMask = fmt.dwRBitMask;
    pTarget->dwGMask = fmt.dwGBitMask;
    pTarget->dwBMask = fmt.dwBBitMask;
    return pTarget->pBits != nullptr;
}

TextPaint PaintOf(HDC hDC) {
    TextPaint paint;
    paint.crText = hDC->m_crText;
    paint.crBack = hDC->m_crBack;
    paint.bOpaque = hDC->m_nBkMode == OPAQUE;
    return paint;
}

// The text to draw: up to the terminating zero, or nLength bytes but never past a zero.
std::string_view TextOf(const char* pszText, int nLength) {
    if (!pszText) return std::string_view();
    return nLength < 0 ? std::string_view(pszText) : std::string_view(pszText, strnlen(pszText, size_t(nLength)));
}

// The font a context draws with (the default when none or a deleted one is selected);
// also trims the glyph cache, which is safe only between text calls.
CFontObject* FontOf(HDC hDC) {
    CFontSystem& fonts = CFontSystem::Instance();
    fonts.Trim();
    return fonts.Resolve(hDC ? hDC->m_hFont : nullptr);
}

}  // namespace

HFONT CreateFontA(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD nCharSet, DWORD nOutPrecision, DWORD nClipPrecision,
                  DWORD nQuality, DWORD nPitchAndFamily, const char* pszFace) {
    // Rotation, underline, strike-out, precision, quality and pitch requests are not
    // used by the game's text; every font is drawn upright and anti-aliased.
    (void)nEscapement; (void)nOrientation; (void)bUnderline; (void)bStrikeOut;
    (void)nOutPrecision; (void)nClipPrecision; (void)nQuality; (void)nPitchAndFamily;
    return CFontSystem::Instance().CreateFont(nHeight, nWidth, nWeight, bItalic != 0, nCharSet, pszFace);
}

bool DeleteObject(HFONT hFont) { return CFontSystem::Instance().DeleteFont(hFont); }

HFONT SelectObject(HDC hDC, HFONT hFont) {
    if (!hDC) return nullptr;
    HFONT hOld = hDC->m_hFont;
    hDC->m_hFont = hFont;
    return hOld;
}

int SetBkMode(HDC hDC, int nMode) {
    if (!hDC || (nMode != TRANSPARENT && nMode != OPAQUE)) return 0;
    int nOld = hDC->m_nBkMode;
    hDC->m_nBkMode = nMode;
    return nOld;
}

COLORREF SetTextColor(HDC hDC, COLORREF crColor) {
    if (!hDC) return kInvalidColor;
    COLORREF crOld = hDC->m_crText;
    hDC->m_crText = crColor & 0x00FFFFFF;
    return crOld;
}

COLORREF SetBkColor(HDC hDC, COLORREF crColor) {
    if (!hDC) return kInvalidColor;
    COLORREF crOld = hDC->m_crBack;
    hDC->m_crBack = crColor & 0x00FFFFFF;
    return crOld;
}

bool TextOutA(HDC hDC, int x, int y, const char* pszText, int nLength) {
    TextTarget target;
    if (!pszText || !TargetOf(hDC, &target)) return false;
    CFontObject* pFont = FontOf(hDC);
    if (!pFont) return false;
    return RenderTextOut(target, *pFont, PaintOf(hDC), x, y, TextOf(pszText, nLength));
}

int DrawTextA(HDC hDC, const char* pszText, int nLength, RECT* pRect, UINT uFormat) {
    if (!hDC || !pszText || !pRect) return 0;
    CFontObject* pFont = FontOf(hDC);
    if (!pFont) return 0;
    TextTarget target;
    bool bTarget = (uFormat & DT_CALCRECT) == 0 && TargetOf(hDC, &target);
    return RenderDrawText(bTarget ? &target : nullptr, *pFont, PaintOf(hDC), TextOf(pszText, nLength), pRect,
                          uFormat);
}

bool GetTextExtentPoint32A(HDC hDC, const char* pszText, int nLength, SIZE* pSize) {
    if (!hDC || !pSize) return false;
    CFontObject* pFont = FontOf(hDC);
    if (!pFont) return false;
    *pSize = MeasureTextLine(*pFont, TextOf(pszText, nLength));
    return true;
}
