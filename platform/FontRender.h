// Lays out and draws byte strings in a font onto a pixel buffer in a native RGB format:
// the work behind TextOutA, DrawTextA and GetTextExtentPoint32A, kept apart from the
// device context so that it can run on any buffer.
#pragma once
#include <string_view>
#include <vector>
#include "platform/Base.h"
#include "platform/Charset.h"

class CFontObject;

// A pixel buffer text is drawn into: 2, 3 or 4 bytes a pixel, colours by bit masks.
struct TextTarget {
    BYTE* pBits = nullptr;
    int nWidth = 0, nHeight = 0, nPitch = 0, nBytesPerPixel = 0;
    DWORD dwRMask = 0, dwGMask = 0, dwBMask = 0;
};

// Colours (0x00BBGGRR) and background mode of a drawing.
struct TextPaint {
    COLORREF crText = 0;
    COLORREF crBack = 0xFFFFFF;
    bool bOpaque = false;
};

// One character of a byte string: its bytes, code point and pen advance.
struct TextUnit {
    size_t nOffset = 0;
    int nBytes = 1;
    char32_t ch = 0;
    int nAdvance = 0;
};

// One laid-out line: the characters [nFirst, nLast) and their width in pixels.
struct TextLineSpan {
    size_t nFirst = 0, nLast = 0;
    int nWidth = 0;
};

// Splits a byte string into one- and two-byte characters (a double-byte character is
// never split) and decodes each; bytes that decode to nothing become U+FFFD.
std::vector<TextUnit> DecodeUnits(std::string_view text, TextCharset cs);
// Breaks the characters into lines as DrawTextA does for the format flags and the
// rectangle width, and sets each character's advance (tabs depend on their position).
std::vector<TextLineSpan> LayoutText(std::vector<TextUnit>& units, CFontObject& font, UINT uFormat,
                                     int nMaxWidth);
// The native pixel value of a colour in the target's format.
DWORD TextNativeColor(const TextTarget& target, COLORREF cr);

// Size of a string on one line (control characters take no room).
SIZE MeasureTextLine(CFontObject& font, std::string_view text);
// Draws a string on one line with its cell's top-left at (x, y), clipped to the target.
// False when the target is not a format text can be drawn into.
bool RenderTextOut(const TextTarget& target, CFontObject& font, const TextPaint& paint, int x, int y,
                   std::string_view text);
// DrawTextA on a target (null: measuring only, as with DT_CALCRECT); returns the height
// of the text, lines times the line height.
int RenderDrawText(const TextTarget* pTarget, CFontObject& font, const TextPaint& paint, std::string_view text,
                   RECT* pRect, UINT uFormat);
