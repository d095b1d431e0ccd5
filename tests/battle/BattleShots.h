// Pixel counts over the battle's screenshots: the yellow of list rows, damage numbers and
// result lines, the green of tooltips and messages.
#pragma once
#include "tests/shell/GameRun.h"

// Pixels in the yellow of the damage numbers and the result lines, smoothed edges included.
inline int CountYellowish(const CShot& shot, int x, int y, int w, int h) {
    int n = 0;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col) {
            const unsigned p = shot.Pixel(col, row);
            const int r = int(p >> 16), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
            n += r >= 0x90 && g >= 0x80 && b <= 0x60 && r - b >= 0x60;
        }
    return n;
}

// Pixels in the white of the talk bars' texts.
inline int CountWhitish(const CShot& shot, int x, int y, int w, int h) {
    int n = 0;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col) {
            const unsigned p = shot.Pixel(col, row);
            n += (p >> 16) >= 0xE0 && ((p >> 8) & 0xFF) >= 0xE0 && (p & 0xFF) >= 0xE0;
        }
    return n;
}

// Pixels in the green of the tooltip and message texts.
inline int CountGreenish(const CShot& shot, int x, int y, int w, int h) {
    int n = 0;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col) {
            const unsigned p = shot.Pixel(col, row);
            n += ((p >> 8) & 0xFF) >= 0xB0 && (p >> 16) <= 0x70 && (p & 0xFF) <= 0x70;
        }
    return n;
}
