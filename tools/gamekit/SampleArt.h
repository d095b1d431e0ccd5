// Small drawing pieces the sample game's pictures share: the colour key, frames, discs,
// labels in the sample's title face, and pictures' body colours looked up by name in a
// table of probe spots.
#pragma once
#include <cstdint>
#include <span>

#include "platform/Base.h"
#include "tools/gamekit/ImageWriters.h"

// Magenta: the colour key a keyed sample picture keeps in its top-left pixel.
constexpr std::uint32_t kSampleKey = Argb(255, 255, 0, 255);

// A spot of a picture: the picture's name, a picture-relative point and the RGB colour
// there, which is the picture's body colour; screenshots are probed at it.
struct PictureProbe {
    const char* pszName;
    int x, y;
    int r, g, b;
};

// The probe of the named picture in the table; null for a picture without one.
const PictureProbe* FindProbe(std::span<const PictureProbe> probes, const char* pszName);
// The body colour of the named picture in the table; mid grey for one without a probe.
std::uint32_t ProbeBody(std::span<const PictureProbe> probes, const char* pszName);

// A picture of one colour whose top-left pixel is the colour key, so that a surface
// that takes its key from that corner keeps its body.
PictureRgba KeyedPicture(int w, int h, std::uint32_t body);
// A frame two pixels wide along the inside of the rectangle.
void PaintFrame(PictureRgba& pic, int x0, int y0, int w, int h, std::uint32_t c);
// A filled disc of radius r around (cx, cy), clipped to the picture.
void PaintDisc(PictureRgba& pic, int cx, int cy, int r, std::uint32_t c);
// A UTF-8 label in the sample's title face, centred on one line in the rectangle.
void PaintSampleLabel(PictureRgba& pic, const char* pszUtf8, RECT rc, COLORREF cr, int nHeight);
