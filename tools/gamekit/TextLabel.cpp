#include "tools/gamekit/TextLabel.h"

#include <string>
#include <vector>

#include "platform/Charset.h"
#include "platform/FontRender.h"

void PaintTextLabel(PictureRgba& pic, const char* pszUtf8, RECT rc, COLORREF cr, int nHeight, const char* pszFaceUtf8,
                    UINT uFormat) {
    const std::string face = Utf8ToText(pszFaceUtf8);
    HFONT hFont = CreateFontA(nHeight, 0, 0, 0, 400, 0, 0, 0, 134, 0, 0, 0, 0, face.c_str());
    if (!hFont) return;
    const std::vector<std::uint32_t> before = pic.pixels;
    TextTarget target;
    target.pBits = reinterpret_cast<BYTE*>(pic.pixels.data());
    target.nWidth = pic.nWidth;
    target.nHeight = pic.nHeight;
    target.nPitch = pic.nWidth * 4;
    target.nBytesPerPixel = 4;
    target.dwRMask = 0xFF0000;
    target.dwGMask = 0xFF00;
    target.dwBMask = 0xFF;
    TextPaint paint;
    paint.crText = cr;
    RenderDrawText(&target, *hFont, paint, Utf8ToText(pszUtf8), &rc, uFormat);
    DeleteObject(hFont);
    for (size_t i = 0; i < pic.pixels.size(); ++i)
        if (pic.pixels[i] != before[i]) pic.pixels[i] |= 0xFF000000u;
}
