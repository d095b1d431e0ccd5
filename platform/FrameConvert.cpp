// Conversion of presented frames: to 8-bit RGB triples for screenshots, and to 32-bit
// ARGB pixels for a renderer that does not take the display's own format. 5-6-5 and
// 5-5-5 frames, the game's formats, go through one vector pass; other layouts through
// a lookup per channel.
#include <immintrin.h>

#include <cstring>

#include "platform/PixelBytes.h"
#include "platform/PixelMask.h"
#include "platform/WindowBackend.h"

namespace {

constexpr int kMaxFrameSide = 16384;

// One channel of a packed pixel with a table of its 8-bit intensities, so a frame
// converts by lookups; wide fields (no table) are converted per pixel.
struct Channel {
    PixelMask mask;
    DWORD dwValueMask = 0;
    BYTE widen[256] = {};

    explicit Channel(DWORD dwMask) {
        mask = MaskShape(dwMask);
        dwValueMask = mask.nBits >= 1 && mask.nBits <= 8 ? (1u << mask.nBits) - 1 : 0;
        for (DWORD v = 0; v <= dwValueMask; ++v) widen[v] = UnpackChannel(mask, v << mask.nShift);
    }
    BYTE Get(DWORD dwPixel) const {
        if (mask.nBits > 8) return UnpackChannel(mask, dwPixel);
        return widen[(dwPixel >> mask.nShift) & dwValueMask];
    }
};

// The three channels of a frame's format, made again only when the masks change.
struct Channels {
    Channel r, g, b;
    Channels(DWORD dwR, DWORD dwG, DWORD dwB) : r(dwR), g(dwG), b(dwB) {}
};

const Channels& ChannelsOf(const FramePixels& frame) {
    static DWORD s_dwMasks[3] = {0xF800, 0x07E0, 0x001F};
    static Channels s_channels(0xF800, 0x07E0, 0x001F);
    DWORD dwR, dwG, dwB;
    frame.Masks(&dwR, &dwG, &dwB);
    if (dwR != s_dwMasks[0] || dwG != s_dwMasks[1] || dwB != s_dwMasks[2]) {
        s_channels = Channels(dwR, dwG, dwB);
        s_dwMasks[0] = dwR, s_dwMasks[1] = dwG, s_dwMasks[2] = dwB;
    }
    return s_channels;
}

// The part of the frame's rectangle that lies on the pixels; false when none does.
bool Overlap(const FramePixels& frame, RECT* pCopy) {
    return frame.pBits && IntersectRect(pCopy, frame.rcSource, RECT{0, 0, frame.nWidth, frame.nHeight});
}

// Calls f(source row, first column of the frame, pixel count, frame row) for each row of
// the overlap.
template <class F>
void ForEachOverlapRow(const FramePixels& frame, const RECT& rcCopy, F f) {
    for (LONG y = rcCopy.top; y < rcCopy.bottom; ++y) {
        const BYTE* pSrc = frame.pBits + std::ptrdiff_t(y) * frame.nPitch +
                           std::ptrdiff_t(rcCopy.left) * frame.nBytesPerPixel;
        f(pSrc, int(rcCopy.left - frame.rcSource.left), int(rcCopy.right - rcCopy.left), int(y - frame.rcSource.top));
    }
}

template <int B>
void RgbRow(const Channels& c, const BYTE* pSrc, BYTE* pDst, int n) {
    for (int i = 0; i < n; ++i, pSrc += B, pDst += 3) {
        const DWORD p = LoadPixelBytes<B>(pSrc);
        pDst[0] = c.r.Get(p);
        pDst[1] = c.g.Get(p);
        pDst[2] = c.b.Get(p);
    }
}

template <int B>
void ArgbRowLookup(const Channels& c, const BYTE* pSrc, BYTE* pDst, int n) {
    for (int i = 0; i < n; ++i, pSrc += B, pDst += 4) {
        const DWORD p = LoadPixelBytes<B>(pSrc);
        StorePixelBytes<4>(pDst, 0xFF000000u | (DWORD(c.r.Get(p)) << 16) | (DWORD(c.g.Get(p)) << 8) | c.b.Get(p));
    }
}

// Eight 16-bit pixels to ARGB, kRedShift 11 for 5-6-5 and 10 for 5-5-5. Narrow fields
// repeat their top bits into the low ones, as UnpackChannel does: for a 5-bit v that is
// (v << 3) | (v >> 2) = v * 33 >> 2, for a 6-bit one v * 65 >> 4, each one high-half
// multiply of the field left where it sits in the pixel (or moved to the top).
template <int kRedShift>
inline void Argb8From16(const BYTE* pSrc, BYTE* pDst) {
    constexpr int kGreenBits = kRedShift == 11 ? 6 : 5;
    // red: (v << kRedShift) * m >> 16 = v * 33 >> 2 with m = 33 << (14 - kRedShift);
    // green: (v << 5) * m >> 16 = v * (2^g + 1) >> (2g - 8) with m = (2^g + 1) << (19 - 2g);
    // blue, moved to the top: (v << 11) * 264 >> 16 = v * 33 >> 2.
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc));
    const __m128i r8 = _mm_mulhi_epu16(_mm_and_si128(p, _mm_set1_epi16(short(0x1F << kRedShift))),
                                       _mm_set1_epi16(short(33 << (14 - kRedShift))));
    const __m128i g8 = _mm_mulhi_epu16(_mm_and_si128(p, _mm_set1_epi16(short(((1 << kGreenBits) - 1) << 5))),
                                       _mm_set1_epi16(short(((1 << kGreenBits) + 1) << (19 - 2 * kGreenBits))));
    const __m128i b8 = _mm_mulhi_epu16(_mm_slli_epi16(p, 11), _mm_set1_epi16(264));
    const __m128i bg = _mm_or_si128(b8, _mm_slli_epi16(g8, 8));
    const __m128i ra = _mm_or_si128(r8, _mm_set1_epi16(short(0xFF00)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst), _mm_unpacklo_epi16(bg, ra));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + 16), _mm_unpackhi_epi16(bg, ra));
}

// The same for sixteen pixels on processors with AVX2 (chosen at run time).
template <int kRedShift>
__attribute__((target("avx2"))) inline void Argb16From16(const BYTE* pSrc, BYTE* pDst) {
    constexpr int kGreenBits = kRedShift == 11 ? 6 : 5;
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pSrc));
    const __m256i r8 = _mm256_mulhi_epu16(_mm256_and_si256(p, _mm256_set1_epi16(short(0x1F << kRedShift))),
                                          _mm256_set1_epi16(short(33 << (14 - kRedShift))));
    const __m256i g8 = _mm256_mulhi_epu16(_mm256_and_si256(p, _mm256_set1_epi16(short(((1 << kGreenBits) - 1) << 5))),
                                          _mm256_set1_epi16(short(((1 << kGreenBits) + 1) << (19 - 2 * kGreenBits))));
    const __m256i b8 = _mm256_mulhi_epu16(_mm256_slli_epi16(p, 11), _mm256_set1_epi16(264));
    const __m256i bg = _mm256_or_si256(b8, _mm256_slli_epi16(g8, 8));
    const __m256i ra = _mm256_or_si256(r8, _mm256_set1_epi16(short(0xFF00)));
    // Unpacking works within each 128-bit half; the halves are put back in order.
    const __m256i lo = _mm256_unpacklo_epi16(bg, ra), hi = _mm256_unpackhi_epi16(bg, ra);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pDst), _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pDst + 32), _mm256_permute2x128_si256(lo, hi, 0x31));
}

template <int kRedShift>
__attribute__((target("avx2"))) void ArgbRowFrom16Avx2(const BYTE* pSrc, BYTE* pDst, int n) {
    int i = 0;
    for (; i + 16 <= n; i += 16) Argb16From16<kRedShift>(pSrc + i * 2, pDst + i * 4);
    if (i < n) Argb16From16<kRedShift>(pSrc + (n - 16) * 2, pDst + (n - 16) * 4);
}

bool HasAvx2() {
    static const bool bHas = __builtin_cpu_supports("avx2");
    return bHas;
}

template <int kRedShift>
void ArgbRowFrom16(const Channels& c, const BYTE* pSrc, BYTE* pDst, int n) {
    if (n >= 16 && HasAvx2()) {
        ArgbRowFrom16Avx2<kRedShift>(pSrc, pDst, n);
        return;
    }
    if (n < 8) {
        ArgbRowLookup<2>(c, pSrc, pDst, n);
        return;
    }
    int i = 0;
    for (; i + 8 <= n; i += 8) Argb8From16<kRedShift>(pSrc + i * 2, pDst + i * 4);
    // The last pixels by one more vector ending at the row's end.
    if (i < n) Argb8From16<kRedShift>(pSrc + (n - 8) * 2, pDst + (n - 8) * 4);
}

}  // namespace

bool FramePixels::IsShowable() const {
    const int w = FrameWidth(), h = FrameHeight();
    return w > 0 && h > 0 && w <= kMaxFrameSide && h <= kMaxFrameSide && nBytesPerPixel >= 2 && nBytesPerPixel <= 4;
}

bool FramePixels::CoversSource() const {
    return pBits && rcSource.left >= 0 && rcSource.top >= 0 && rcSource.right <= nWidth && rcSource.bottom <= nHeight;
}

void FramePixels::Masks(DWORD* pR, DWORD* pG, DWORD* pB) const {
    *pR = format.dwRBitMask, *pG = format.dwGBitMask, *pB = format.dwBBitMask;
    if (!*pR && !*pG && !*pB) {
        // An unfilled format: the usual layout of that depth.
        if (nBytesPerPixel == 2) *pR = 0xF800, *pG = 0x07E0, *pB = 0x001F;
        else *pR = 0xFF0000, *pG = 0x00FF00, *pB = 0x0000FF;
    }
}

bool ConvertFrameToRgb(const FramePixels& frame, FrameImage* pOut) {
    if (!pOut || !frame.IsShowable()) return false;
    const int w = frame.FrameWidth(), h = frame.FrameHeight();
    pOut->nWidth = w;
    pOut->nHeight = h;
    const size_t nBytes = size_t(w) * size_t(h) * 3;
    // Only what the pixels do not cover is cleared.
    if (frame.CoversSource()) pOut->rgb.resize(nBytes);
    else pOut->rgb.assign(nBytes, 0);
    RECT rcCopy;
    if (!Overlap(frame, &rcCopy)) return true;
    const Channels& c = ChannelsOf(frame);
    ForEachOverlapRow(frame, rcCopy, [&](const BYTE* pSrc, int x, int n, int y) {
        BYTE* pDst = pOut->rgb.data() + (size_t(y) * size_t(w) + size_t(x)) * 3;
        switch (frame.nBytesPerPixel) {
        case 2: RgbRow<2>(c, pSrc, pDst, n); break;
        case 3: RgbRow<3>(c, pSrc, pDst, n); break;
        default: RgbRow<4>(c, pSrc, pDst, n); break;
        }
    });
    return true;
}

bool ConvertFrameToArgb(const FramePixels& frame, BYTE* pDst, int nDstPitch) {
    if (!pDst || !frame.IsShowable()) return false;
    const int w = frame.FrameWidth(), h = frame.FrameHeight();
    if (!frame.CoversSource()) {
        for (int y = 0; y < h; ++y) {
            BYTE* pRow = pDst + std::ptrdiff_t(y) * nDstPitch;
            for (int x = 0; x < w; ++x) StorePixelBytes<4>(pRow + x * 4, 0xFF000000u);
        }
    }
    RECT rcCopy;
    if (!Overlap(frame, &rcCopy)) return true;
    const Channels& c = ChannelsOf(frame);
    DWORD dwR, dwG, dwB;
    frame.Masks(&dwR, &dwG, &dwB);
    using RowFn = void (*)(const Channels&, const BYTE*, BYTE*, int);
    RowFn row = frame.nBytesPerPixel == 3 ? ArgbRowLookup<3> : frame.nBytesPerPixel == 4 ? ArgbRowLookup<4> : ArgbRowLookup<2>;
    if (frame.nBytesPerPixel == 2 && dwR == 0xF800 && dwG == 0x07E0 && dwB == 0x001F) row = ArgbRowFrom16<11>;
    if (frame.nBytesPerPixel == 2 && dwR == 0x7C00 && dwG == 0x03E0 && dwB == 0x001F) row = ArgbRowFrom16<10>;
    ForEachOverlapRow(frame, rcCopy, [&](const BYTE* pSrc, int x, int n, int y) {
        row(c, pSrc, pDst + std::ptrdiff_t(y) * nDstPitch + std::ptrdiff_t(x) * 4, n);
    });
    return true;
}

void CPresentPacer::SetRefreshRate(int nHz) {
    m_nPeriodUs = 1000000 / (nHz > 0 && nHz <= 1000 ? nHz : 60);
}

std::int64_t CPresentPacer::WaitBeforePresent(std::int64_t nNowUs) {
    if (m_bUncapped) return 0;
    if (!m_bStarted) {
        m_bStarted = true;
        m_nNextUs = nNowUs + m_nPeriodUs;
        return 0;
    }
    if (nNowUs >= m_nNextUs) {
        // Late by less than a refresh: the present keeps its place on the refresh grid,
        // so a late wake-up does not slow the pace. Later than that: a new grid from now.
        m_nNextUs = nNowUs - m_nNextUs < m_nPeriodUs ? m_nNextUs + m_nPeriodUs : nNowUs + m_nPeriodUs;
        return 0;
    }
    const std::int64_t nWait = m_nNextUs - nNowUs;
    m_nNextUs += m_nPeriodUs;
    return nWait;
}
