// Rectangles, lines and circles drawn with the surface's pixel routines or colour fills,
// and the writer that stores a surface as a 24-bit BMP file.
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Files.h"

int CDXSurface::Rect(int x1, int y1, int x2, int y2, DWORD colour) {
    if (Failed(Lock())) return -1;
    HLine(x1, x2, y1, colour);
    HLine(x1, x2, y2, colour);
    VLine(y1, y2, x1, colour);
    VLine(y1, y2, x2, colour);
    return Failed(Unlock()) ? -2 : 0;
}

HRESULT CDXSurface::FillRect(int x1, int y1, int x2, int y2, DWORD colour) {
    if (!m_pSurface) return -1;
    RECT rc{x1, y1, x2, y2};
    if (!ClipToRect(&rc)) return 0;
    if (rc.right <= rc.left || rc.bottom <= rc.top) return 0;
    return m_pSurface->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, colour);
}

HRESULT CDXSurface::Fill(DWORD colour) {
    if (!m_pSurface) return -1;
    return m_pSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, colour);
}

int CDXSurface::Line(int x1, int y1, int x2, int y2, DWORD colour) {
    if (x1 == x2) {
        VLine(y1, y2, x1, colour);
        return 0;
    }
    if (y1 == y2) {
        HLine(x1, x2, y1, colour);
        return 0;
    }
    if (std::abs(x2 - x1) > std::abs(y2 - y1)) {
        // Flat: one run of about |step| pixels per row, the last one included.
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const double step = double(x2 - x1) / double(y2 - y1);
        const double sign = int(step) > 0 ? 1.0 : -1.0;
        double x = x1;
        for (int y = y1; y <= y2; ++y) {
            HLine(int(x), int(x + step - sign), y, colour);
            x += step;
        }
    } else {
        if (x1 > x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const double step = double(y2 - y1) / double(x2 - x1);
        const double sign = int(step) > 0 ? 1.0 : -1.0;
        double y = y1;
        for (int x = x1; x <= x2; ++x) {
            VLine(int(y), int(y + step - sign), x, colour);
            y += step;
        }
    }
    return 0;
}

int CDXSurface::Circle(int cx, int cy, int nRadius, DWORD colour) {
    if (Failed(Lock())) return -1;
    const double r2 = double(nRadius) * double(nRadius);
    int x = 0, y = nRadius;
    do {
        PutPixel(cx + x, cy + y, colour);
        PutPixel(cx - x, cy + y, colour);
        PutPixel(cx + x, cy - y, colour);
        PutPixel(cx - x, cy - y, colour);
        PutPixel(cx + y, cy + x, colour);
        PutPixel(cx - y, cy + x, colour);
        PutPixel(cx + y, cy - x, colour);
        PutPixel(cx - y, cy - x, colour);
        ++x;
        const double v = r2 - double(x) * double(x);
        if (v < 0) break;  // past the radius: the square root has no value
        y = int(std::sqrt(v) + 0.5);
    } while (x <= y);
    return Failed(Unlock()) ? -2 : 0;
}

int CDXSurface::FillCircle(int cx, int cy, int nRadius, DWORD colour) {
    if (cy - nRadius >= m_rcClip.bottom) return 0;
    if (cy + nRadius < m_rcClip.top) return 0;
    const int nFirst = cy - nRadius < m_rcClip.top ? m_rcClip.top : cy - nRadius;
    const int nEnd = cy + nRadius > m_rcClip.bottom ? m_rcClip.bottom : cy + nRadius;
    if (Failed(Lock())) return -1;
    const double r2 = double(nRadius) * double(nRadius);
    for (int y = nFirst; y < nEnd; ++y) {
        const double dy = double(cy - y);
        const int nHalf = int(std::sqrt(r2 - dy * dy) + 0.5);
        HLine(cx - nHalf, cx + nHalf, y, colour);
    }
    return Failed(Unlock()) ? -2 : 0;
}

namespace {

void PutU16(BYTE* p, unsigned v) {
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}

void PutU32(BYTE* p, DWORD v) {
    PutU16(p, v & 0xFFFF);
    PutU16(p + 2, v >> 16);
}

}  // namespace

int CDXSurface::SaveAsBmp(const char* pszName) {
    if (!pszName) return -1;
    const DWORD dwBpp = m_pixelFormat.dwBitsPerPixel;
    // Only the palette the screen sets could serve 8 bits, and the display never reports
    // it back; every other depth without a conversion is refused before a file is made.
    if (dwBpp == 8) {
        if (!m_pScreen || !m_pScreen->GetFrontSurface()) return -4;
        return -5;
    }
    if (dwBpp != 15 && dwBpp != 16 && dwBpp != 24 && dwBpp != 32) return -7;

    // The picture goes to a temporary file that replaces the named one only when whole.
    const std::string temp = std::string(pszName) + ".tmp";
    FILE* pFile = OpenFile(temp.c_str(), "wb");
    if (!pFile) return -2;
    auto fail = [&](int nCode) {
        std::fclose(pFile);
        RemoveFile(temp.c_str());
        return nCode;
    };

    if (Failed(Lock())) return fail(-3);
    const int w = m_nWidth, h = m_nHeight;
    const size_t nRow = (size_t(w) * 3 + 3) & ~size_t(3);
    std::vector<BYTE> data(54 + nRow * size_t(h), 0);
    BYTE* hdr = data.data();
    hdr[0] = 0x42;
    hdr[1] = 0x4D;
    PutU32(hdr + 2, DWORD(data.size()));
    PutU32(hdr + 10, 54);
    PutU32(hdr + 14, 40);
    PutU32(hdr + 18, DWORD(w));
    PutU32(hdr + 22, DWORD(h));
    PutU16(hdr + 26, 1);
    PutU16(hdr + 28, 24);
    PutU32(hdr + 38, 10000);
    PutU32(hdr + 42, 10000);
    const BYTE* pBits = GetLockedBits();
    const int nPitch = GetPitch();
    for (int y = 0; y < h; ++y) {
        const BYTE* s = pBits + std::ptrdiff_t(y) * nPitch;
        BYTE* d = data.data() + 54 + size_t(h - 1 - y) * nRow;
        for (int x = 0; x < w; ++x, d += 3) {
            if (dwBpp == 16 || dwBpp == 15) {
                const DWORD p = DWORD(s[x * 2]) | (DWORD(s[x * 2 + 1]) << 8);
                d[0] = BYTE((p * 8) & 255);
                if (dwBpp == 16) {
                    d[1] = BYTE(((p >> 5) * 4) & 255);
                    d[2] = BYTE((p >> 8) & 0xF8);
                } else {
                    d[1] = BYTE((p >> 2) & 0xF8);
                    d[2] = BYTE(((p >> 10) & 31) * 8);
                }
            } else {
                const int n = dwBpp == 24 ? 3 : 4;
                d[0] = s[x * n];
                d[1] = s[x * n + 1];
                d[2] = s[x * n + 2];
            }
        }
    }
    Unlock();
    const bool bWritten = std::fwrite(data.data(), 1, data.size(), pFile) == data.size();
    if (!bWritten || std::fflush(pFile) != 0) return fail(-8);
    if (std::fclose(pFile) != 0) {
        RemoveFile(temp.c_str());
        return -8;
    }
    if (!ReplaceFile(temp.c_str(), pszName)) {
        RemoveFile(temp.c_str());
        return -8;
    }
    return 1;
}
