#include "tools/gamekit/SampleArt.h"

#include <algorithm>
#include <cstring>

#include "tools/gamekit/TextLabel.h"

const PictureProbe* FindProbe(std::span<const PictureProbe> probes, const char* pszName) {
    for (const PictureProbe& p : probes)
        if (std::strcmp(p.pszName, pszName) == 0) return &p;
    return nullptr;
}

std::uint32_t ProbeBody(std::span<const PictureProbe> probes, const char* pszName) {
    const PictureProbe* p = FindProbe(probes, pszName);
    return p ? Argb(255, p->r, p->g, p->b) : Argb(255, 128, 128, 128);
}

PictureRgba KeyedPicture(int w, int h, std::uint32_t body) {
    PictureRgba pic(w, h, body);
    pic.At(0, 0) = kSampleKey;
    return pic;
}

void PaintFrame(PictureRgba& pic, int x0, int y0, int w, int h, std::uint32_t c) {
    pic.Fill(x0, y0, w, 2, c);
    pic.Fill(x0, y0 + h - 2, w, 2, c);
    pic.Fill(x0, y0, 2, h, c);
    pic.Fill(x0 + w - 2, y0, 2, h, c);
}

void PaintDisc(PictureRgba& pic, int cx, int cy, int r, std::uint32_t c) {
    for (int y = std::max(0, cy - r); y <= std::min(pic.nHeight - 1, cy + r); ++y)
        for (int x = std::max(0, cx - r); x <= std::min(pic.nWidth - 1, cx + r); ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) pic.At(x, y) = c;
}

void PaintSampleLabel(PictureRgba& pic, const char* pszUtf8, RECT rc, COLORREF cr, int nHeight) {
    PaintTextLabel(pic, pszUtf8, rc, cr, nHeight, "隶书");
}
