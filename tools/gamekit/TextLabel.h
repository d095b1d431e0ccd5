// Text drawn into a sample picture with the game's own text renderer.
#pragma once
#include "platform/Base.h"
#include "platform/Text.h"
#include "tools/gamekit/ImageWriters.h"

// Draws a UTF-8 label into a rectangle of the picture in the named face (UTF-8); the
// pixels the text touched become opaque.
void PaintTextLabel(PictureRgba& pic, const char* pszUtf8, RECT rc, COLORREF cr, int nHeight, const char* pszFaceUtf8,
                    UINT uFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE);
