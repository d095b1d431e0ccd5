// Small drawing pieces the sample game's pictures share: the colour key, frames, discs,
// labels in the sample's title face, and pictures' body colours looked up by name in a
// table of probe spots.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

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

// A point of a shape, in the picture's pixels.
struct ShapePoint {
    double x, y;
};
// A filled polygon (even-odd rule), clipped to the picture; pixel centres decide.
void PaintPolygon(PictureRgba& pic, std::span<const ShapePoint> points, std::uint32_t c);
// A filled ellipse with radii rx, ry around (cx, cy), clipped to the picture.
void PaintEllipse(PictureRgba& pic, double cx, double cy, double rx, double ry, std::uint32_t c);
// A straight stroke of the given width from (x0, y0) to (x1, y1) with square ends.
void PaintStroke(PictureRgba& pic, double x0, double y0, double x1, double y1, double dWidth, std::uint32_t c);
// The colour scaled towards black (t < 1) or white (t > 1), alpha kept.
std::uint32_t Shade(std::uint32_t c, double t);
// The colour's lightness, 0..255, its channels weighted as the eye sees them.
constexpr int Lightness(std::uint32_t c) {
    return int((((c >> 16) & 0xFF) * 30 + ((c >> 8) & 0xFF) * 59 + (c & 0xFF) * 11) / 100);
}
// Copies every pixel of src that is not 0 (fully clear black) onto pic with its top-left
// corner at (x0, y0).
void PaintOver(PictureRgba& pic, const PictureRgba& src, int x0, int y0);
// A BMP of the picture in 8 bits with a colour table when it has at most 256 colours,
// else in 24 bits: the small pictures stay small. Surfaces load such pictures; sprites
// and tile sheets take no colour table and get BuildSpriteBmp's.
std::vector<std::uint8_t> BuildCompactBmp(const PictureRgba& pic);
// A BMP of the picture in 16 bits (5-5-5), as the screen shows it.
std::vector<std::uint8_t> BuildSpriteBmp(const PictureRgba& pic);
