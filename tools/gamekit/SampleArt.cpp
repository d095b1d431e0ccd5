#include "tools/gamekit/SampleArt.h"

#include <algorithm>
#include <cmath>
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

void PaintPolygon(PictureRgba& pic, std::span<const ShapePoint> points, std::uint32_t c) {
    if (points.size() < 3) return;
    double dTop = points[0].y, dBottom = points[0].y;
    for (const ShapePoint& p : points) dTop = std::min(dTop, p.y), dBottom = std::max(dBottom, p.y);
    const int y0 = std::max(0, int(std::floor(dTop))), y1 = std::min(pic.nHeight - 1, int(std::ceil(dBottom)));
    std::vector<double> crossings;
    for (int y = y0; y <= y1; ++y) {
        const double dy = y + 0.5;
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            const ShapePoint& a = points[i];
            const ShapePoint& b = points[(i + 1) % points.size()];
            if ((a.y <= dy) == (b.y <= dy)) continue;
            crossings.push_back(a.x + (dy - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int x0 = std::max(0, int(std::ceil(crossings[i] - 0.5)));
            const int x1 = std::min(pic.nWidth - 1, int(std::ceil(crossings[i + 1] - 0.5)) - 1);
            for (int x = x0; x <= x1; ++x) pic.At(x, y) = c;
        }
    }
}

void PaintEllipse(PictureRgba& pic, double cx, double cy, double rx, double ry, std::uint32_t c) {
    if (rx <= 0 || ry <= 0) return;
    const int y0 = std::max(0, int(std::floor(cy - ry))), y1 = std::min(pic.nHeight - 1, int(std::ceil(cy + ry)));
    const int x0 = std::max(0, int(std::floor(cx - rx))), x1 = std::min(pic.nWidth - 1, int(std::ceil(cx + rx)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) pic.At(x, y) = c;
        }
}

void PaintStroke(PictureRgba& pic, double x0, double y0, double x1, double y1, double dWidth, std::uint32_t c) {
    const double dx = x1 - x0, dy = y1 - y0, dLength = std::hypot(dx, dy);
    if (dLength <= 0) {
        PaintEllipse(pic, x0, y0, dWidth / 2, dWidth / 2, c);
        return;
    }
    const double nx = -dy / dLength * dWidth / 2, ny = dx / dLength * dWidth / 2;
    const ShapePoint quad[4] = {{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}};
    PaintPolygon(pic, quad, c);
}

void PaintOver(PictureRgba& pic, const PictureRgba& src, int x0, int y0) {
    for (int y = 0; y < src.nHeight; ++y)
        for (int x = 0; x < src.nWidth; ++x)
            if (const std::uint32_t c = src.At(x, y)) pic.At(x0 + x, y0 + y) = c;
}

std::uint32_t Shade(std::uint32_t c, double t) {
    auto ch = [&](int s) {
        const double v = double((c >> s) & 0xFF);
        const double r = t <= 1.0 ? v * t : v + (255.0 - v) * (t - 1.0);
        return std::uint32_t(std::clamp(int(std::lround(r)), 0, 255)) << s;
    };
    return (c & 0xFF000000u) | ch(16) | ch(8) | ch(0);
}

std::vector<std::uint8_t> BuildCompactBmp(const PictureRgba& pic) {
    BmpOptions o;
    o.nBits = 8;
    std::vector<std::uint8_t> bytes = BuildBmp(pic, o);
    return bytes.empty() ? BuildBmp(pic) : bytes;
}

std::vector<std::uint8_t> BuildSpriteBmp(const PictureRgba& pic) {
    BmpOptions o;
    o.nBits = 16;
    return BuildBmp(pic, o);
}
