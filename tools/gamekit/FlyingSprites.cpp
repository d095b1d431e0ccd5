#include "tools/gamekit/FlyingSprites.h"

#include <cmath>
#include <cstdio>

#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/TgaWriters.h"

namespace {

// Direction d flies at d x 11.25 degrees, turning from down through left, up and right.
PictureRgba PaintBolt(int nGroup, int nDirection, int nFrame) {
    PictureRgba pic(128, 128, 0);
    const double a = nDirection * 11.25 * 3.14159265358979 / 180.0;
    const double vx = -std::sin(a), vy = std::cos(a);
    const int r = nGroup == 0 ? 255 : 120, g = nGroup == 0 ? 90 : 200, b = nGroup == 0 ? 40 : 255;
    // The head sits at (64, 64); the tail trails 30 pixels behind it.
    const double hx = 64.0, hy = 64.0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double dx = x - hx, dy = y - hy;
            const double t = -(dx * vx + dy * vy);  // distance behind the head
            const double side = std::fabs(dx * vy - dy * vx);
            const double fHead = std::hypot(dx, dy);
            if (fHead < 5.0 + nFrame) {
                pic.At(x, y) = Argb(255, 255, 255, 220);
            } else if (t > 0 && t < 30.0 && side < 3.0 - t / 15.0) {
                const int alpha = int(230 - t * 6);
                pic.At(x, y) = Argb(alpha, r, g, b);
            }
        }
    return pic;
}

}  // namespace

std::vector<PkgEntryData> FlyingSpriteEntries(int nGroup, int nFrames) {
    std::vector<PkgEntryData> entries;
    for (int d = 0; d < 32; ++d)
        for (int f = 0; f < nFrames; ++f) {
            char szName[32];
            std::snprintf(szName, sizeof szName, "%02d-%02d%02d.tga", nGroup, d + 1, f);
            entries.push_back(PkgEntryData{szName, BuildRleTga32(PaintBolt(nGroup, d, f))});
        }
    return entries;
}
