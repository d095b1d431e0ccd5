#include "media/TgaDraw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Files.h"
#include "platform/PixelBytes.h"
#include "platform/Stream.h"

namespace {

// Largest picture file held whole.
constexpr size_t kMaxTgaFile = size_t(64) << 20;

POINT NoCursor() { return POINT{-100000, -100000}; }
TgaCursorFn g_pfnCursor = NoCursor;

// The pixel rules of one surface depth. Depth 16 is the game's 5-6-5 path; 15, 24 and
// 32 share the remapped alpha and the exact-pixel hit.
template <int Depth>
struct TgaPixels {
    static constexpr int kBytes = Depth == 24 ? 3 : Depth == 32 ? 4 : 2;

    static DWORD Load(const BYTE* p) { return LoadPixelBytes<kBytes>(p); }
    static void Store(BYTE* p, DWORD c) { StorePixelBytes<kBytes>(p, c); }
    // The colour scaled by a / 256 in the surface's fields.
    static DWORD Source(int r, int g, int b, int a) {
        if constexpr (Depth == 16)
            return DWORD(((b >> 3) * a >> 8) | (((g >> 2) * a >> 8) << 5) | (((r >> 3) * a >> 8) << 11));
        else if constexpr (Depth == 15)
            return DWORD(((b >> 3) * a >> 8) | (((g >> 3) * a >> 8) << 5) | (((r >> 3) * a >> 8) << 10));
        else
            return DWORD((b * a >> 8) | ((g * a >> 8) << 8) | ((r * a >> 8) << 16));
    }
    // Each destination field loses its share a / 256; the source term is added.
    static DWORD Blend(DWORD d, DWORD s, int a) {
        DWORD b, g, r;
        if constexpr (Depth == 16) {
            b = d & 31; g = (d >> 5) & 63; r = (d >> 11) & 31;
            return ((b - (b * DWORD(a) >> 8)) | ((g - (g * DWORD(a) >> 8)) << 5) | ((r - (r * DWORD(a) >> 8)) << 11)) + s;
        } else if constexpr (Depth == 15) {
            b = d & 31; g = (d >> 5) & 31; r = (d >> 10) & 31;
            return ((b - (b * DWORD(a) >> 8)) | ((g - (g * DWORD(a) >> 8)) << 5) | ((r - (r * DWORD(a) >> 8)) << 10)) + s;
        } else {
            b = d & 255; g = (d >> 8) & 255; r = (d >> 16) & 255;
            return ((b - (b * DWORD(a) >> 8)) | ((g - (g * DWORD(a) >> 8)) << 8) | ((r - (r * DWORD(a) >> 8)) << 16)) + s;
        }
    }
};

struct DrawState {
    BYTE* pBits;
    int nPitch;
    int nSurfWidth;
    int nSurfHeight;
    int x;
    int nTop;       // drawing ends above this row (y, or 0 when y is above the surface)
    int nRow;       // surface row being written
    int nCol;       // column inside the picture
    int nPicWidth;
    POINT mouse;
    int nHit;
};

// A pixel after its depth's alpha rule: the alpha used, whether it is written opaque,
// and its source term.
struct PixelPlan {
    int a;
    bool bOpaque;
    DWORD s;
};

inline int Clamp255(int v) { return v > 255 ? 255 : v; }

template <int Depth>
PixelPlan Plan(const BYTE* p, bool bRun, const int add[3], bool bContrast) {
    int b = p[0], g = p[1], r = p[2], a = p[3];
    PixelPlan plan;
    if constexpr (Depth == 16) {
        if (bRun ? a >= 200 : a > 200) {
            r = Clamp255(r + add[0]);
            g = Clamp255(g + add[1]);
            b = Clamp255(b + add[2]);
        }
        plan.bOpaque = a > 200;
    } else {
        if (bContrast) a -= int(std::trunc(std::sin(a * 3.1415926 / 128.0) * 32.0));
        if (a != 0) a = (a * 3 >> 2) + 64;
        if (a > 200) {
            r = Clamp255(r + add[0]);
            g = Clamp255(g + add[1]);
            b = Clamp255(b + add[2]);
        }
        plan.bOpaque = bRun ? a > 200 : a == 255;
    }
    plan.a = a;
    plan.s = TgaPixels<Depth>::Source(r, g, b, a);
    return plan;
}

// Moves past nSpan pixels that end at or before the row's end; false when drawing has ended.
inline bool AdvanceSpan(DrawState& st, int nSpan) {
    st.nCol += nSpan;
    if (st.nCol >= st.nPicWidth) {
        st.nCol = 0;
        --st.nRow;
    }
    return st.nRow >= st.nTop;
}

// Writes nSpan pixels of the current row from the current column: one run's plan, or
// (bRaw) the raw pixels at p, skipping transparent ones. An opaque pixel is stored and
// tested against the cursor, any other blended; the span is clipped to the surface once.
template <int Depth, bool bRaw>
void PutSpan(DrawState& st, const BYTE* p, const PixelPlan& runPlan, int nSpan, const int add[3], bool bContrast) {
    if (st.nRow >= st.nSurfHeight) return;
    const int px0 = st.x + st.nCol;
    const int i0 = std::max(0, -px0), i1 = std::min(nSpan, st.nSurfWidth - px0);
    if (i0 >= i1) return;
    BYTE* pRow = st.pBits + std::ptrdiff_t(st.nRow) * st.nPitch;
    const bool bRowHit = Depth == 16 ? st.nRow - 19 < st.mouse.y && st.mouse.y < st.nRow + 6
                                     : st.mouse.y == st.nRow + 1;
    for (int i = i0; i < i1; ++i) {
        if constexpr (bRaw) {
            if (p[4 * i + 3] == 0) continue;
        }
        const PixelPlan plan = bRaw ? Plan<Depth>(p + 4 * i, false, add, bContrast) : runPlan;
        const int px = px0 + i;
        BYTE* q = pRow + std::ptrdiff_t(px) * TgaPixels<Depth>::kBytes;
        if (!plan.bOpaque) {
            TgaPixels<Depth>::Store(q, TgaPixels<Depth>::Blend(TgaPixels<Depth>::Load(q), plan.s, plan.a));
            continue;
        }
        TgaPixels<Depth>::Store(q, plan.s);
        if (!bRowHit) continue;
        if constexpr (Depth == 16) {
            if (px - 20 < st.mouse.x && st.mouse.x < px + 20) st.nHit = 1;
        } else {
            if (st.mouse.x == px) st.nHit = 1;
        }
    }
}

template <int Depth>
void DrawPackets(DrawState& st, const BYTE* p, const BYTE* pEnd, const int add[3], bool bContrast) {
    while (st.nRow >= st.nTop && p < pEnd) {
        const BYTE c = *p++;
        if (c >= 128) {
            const int n = c - 127;
            if (pEnd - p < 4) return;
            const BYTE* pixel = p;
            p += 4;
            if (pixel[3] == 0) {
                // A transparent run skips its pixels and the whole rows it passes.
                st.nCol += n;
                st.nRow -= st.nCol / st.nPicWidth;
                st.nCol %= st.nPicWidth;
                continue;
            }
            const PixelPlan plan = Plan<Depth>(pixel, true, add, bContrast);
            for (int nLeft = n; nLeft > 0;) {
                const int nSpan = std::min(nLeft, st.nPicWidth - st.nCol);
                PutSpan<Depth, false>(st, pixel, plan, nSpan, add, bContrast);
                nLeft -= nSpan;
                if (!AdvanceSpan(st, nSpan)) return;
            }
        } else {
            for (int nLeft = c + 1; nLeft > 0;) {
                const int nHeld = int((pEnd - p) / 4);
                if (nHeld == 0) return;
                const int nSpan = std::min({nLeft, st.nPicWidth - st.nCol, nHeld});
                PutSpan<Depth, true>(st, p, PixelPlan{}, nSpan, add, bContrast);
                p += 4 * nSpan;
                nLeft -= nSpan;
                if (!AdvanceSpan(st, nSpan)) return;
            }
        }
    }
}

}  // namespace

void SetTgaCursorSource(TgaCursorFn pfnCursor) { g_pfnCursor = pfnCursor ? pfnCursor : NoCursor; }

// ---- CTgaData ----

void CTgaData::Free() {
    m_pData.reset();
    m_nSize = 0;
    m_pPixels = nullptr;
    m_header = TgaFileHeader{};
}

bool CTgaData::Adopt(std::unique_ptr<BYTE[]> pData, size_t nSize) {
    CByteReader reader(pData.get(), nSize, "TGA picture");
    TgaFileHeader h;
    ReadTgaHeader(reader, &h);
    // Pixels start past the ID field and the colour map.
    reader.Skip(h.nIdLength);
    reader.Skip(size_t(h.nColorMapLength) * TgaMapEntryBytes(h));
    if (reader.Failed()) {
        m_strError = reader.Error();
        return false;
    }
    if (h.nImageType != 10 || h.nPixelDepth != 32 || h.nWidth == 0 || h.nHeight == 0) {
        m_strError = "TGA picture: not a 32-bit run-length picture (type " + std::to_string(h.nImageType) + ", " +
                     std::to_string(h.nPixelDepth) + " bits, " + std::to_string(h.nWidth) + " x " +
                     std::to_string(h.nHeight) + ")";
        return false;
    }
    m_pPixels = pData.get() + reader.Position();
    m_pData = std::move(pData);
    m_nSize = nSize;
    m_header = h;
    m_strError.clear();
    return true;
}

bool CTgaData::LoadMemory(const BYTE* pData, size_t nSize) {
    Free();
    if (!pData || nSize == 0 || nSize > kMaxTgaFile) {
        m_strError = "TGA picture: no data";
        return false;
    }
    std::unique_ptr<BYTE[]> p(new BYTE[nSize]);
    std::memcpy(p.get(), pData, nSize);
    return Adopt(std::move(p), nSize);
}

bool CTgaData::LoadFile(const char* pszName) {
    std::vector<std::uint8_t> bytes;
    std::string strError;
    if (!pszName || !ReadWholeFile(pszName, kMaxTgaFile, &bytes, &strError)) {
        m_strError = strError;
        return false;
    }
    if (!LoadMemory(bytes.data(), bytes.size())) {
        m_strError = std::string(pszName) + ": " + m_strError;
        return false;
    }
    return true;
}

bool CTgaData::LoadStream(FILE* pStream, DWORD nSize) {
    Free();
    if (!pStream || nSize == 0 || nSize > kMaxTgaFile) {
        m_strError = "TGA picture: bad size " + std::to_string(nSize);
        return false;
    }
    std::unique_ptr<BYTE[]> p(new BYTE[nSize]);
    if (std::fread(p.get(), 1, nSize, pStream) != nSize) {
        m_strError = "TGA picture: stream ran short";
        return false;
    }
    return Adopt(std::move(p), nSize);
}

// ---- draw ----

int DrawTgaPicture(CDXSurface* pSurface, const CTgaData& data, int x, int y, int nDrawHeight, int nAddRed,
                   int nAddGreen, int nAddBlue, bool bAlphaContrast) {
    if (!pSurface) pSurface = pBack;
    if (!pSurface || !data.Pixels() || nDrawHeight <= 0) return 0;
    const DWORD dwDepth = pSurface->PixelFormat().dwBitsPerPixel;
    if (dwDepth != 15 && dwDepth != 16 && dwDepth != 24 && dwDepth != 32) return 0;
    if (Failed(pSurface->Lock())) return 0;
    DrawState st;
    st.pBits = pSurface->GetLockedBits();
    st.nPitch = pSurface->GetPitch();
    st.nSurfWidth = pSurface->GetWidth();
    st.nSurfHeight = pSurface->GetHeight();
    if (!st.pBits) {
        pSurface->Unlock();
        return 0;
    }
    st.x = x;
    st.nTop = y > 0 ? y : 0;
    st.nRow = y + nDrawHeight - 1;
    st.nCol = 0;
    st.nPicWidth = data.Header().nWidth;
    st.mouse = g_pfnCursor();
    st.nHit = 0;
    const int add[3] = {nAddRed, nAddGreen, nAddBlue};
    switch (dwDepth) {
    case 15: DrawPackets<15>(st, data.Pixels(), data.End(), add, bAlphaContrast); break;
    case 16: DrawPackets<16>(st, data.Pixels(), data.End(), add, bAlphaContrast); break;
    case 24: DrawPackets<24>(st, data.Pixels(), data.End(), add, bAlphaContrast); break;
    default: DrawPackets<32>(st, data.Pixels(), data.End(), add, bAlphaContrast); break;
    }
    pSurface->Unlock();
    return st.nHit;
}
