// The outline blit: paints a frame in one colour around the opaque pixels of a keyed
// picture without drawing the picture itself. The reference walks the pixels one by one;
// the fast path finds the same pixels with a bit mask a row at a time and keeps them with
// the source until its pixels, the key or the place change.
#include "CDX/BlitOutline.h"

#include <immintrin.h>

#include <bit>
#include <memory>

#include "CDX/BlitKernels.h"
#include "CDX/BlitPixel.h"
#include "CDX/CDXSurface.h"

namespace {

struct OutlineJob {
    const BYTE* pSrc;  // first pixel of the clipped source rectangle
    int nSrcPitch;
    BYTE* pDstBits;    // the destination's pixel (0, 0)
    int nDstPitch;
    int nDstWidth, nDstHeight;
    int x, y;          // destination of the first source pixel
    int w, h;
    DWORD dwKey, dwColour;
};

template <int D>
inline void PaintOutline(const OutlineJob& j, int dx, int dy) {
    constexpr int B = PixelTraits<D>::kBytes;
    BYTE* p = j.pDstBits + std::ptrdiff_t(dy) * j.nDstPitch + std::ptrdiff_t(dx) * B;
    if constexpr (D == 32) {
        // Only the three colour bytes are replaced.
        StorePixel<D>(p, (LoadPixel<D>(p) & 0xFF000000u) | (j.dwColour & 0xFFFFFFu));
    } else {
        StorePixel<D>(p, j.dwColour);
    }
}

// The reference: every pixel of the rectangle looked at with its four neighbours.
template <int D>
void OutlineRows(const OutlineJob& j) {
    constexpr int B = PixelTraits<D>::kBytes;
    auto key = [&](int c, int r) { return IsKeyPixel<D>(LoadPixel<D>(j.pSrc + std::ptrdiff_t(r) * j.nSrcPitch + c * B), j.dwKey); };
    for (int r = 0; r < j.h; ++r) {
        for (int c = 0; c < j.w; ++c) {
            if (key(c, r)) {
                // A key pixel with one to three opaque neighbours inside the rectangle is on the outline.
                int n = 0;
                if (r > 0 && !key(c, r - 1)) ++n;
                if (r < j.h - 1 && !key(c, r + 1)) ++n;
                if (c < j.w - 1 && !key(c + 1, r)) ++n;
                if (c > 0 && !key(c - 1, r)) ++n;
                if (n >= 1 && n <= 3) PaintOutline<D>(j, j.x + c, j.y + r);
                continue;
            }
            // An opaque pixel on the rectangle's border gets the outline just outside it,
            // where the destination has room.
            if (r == 0 && j.y > 0) PaintOutline<D>(j, j.x + c, j.y - 1);
            if (r == j.h - 1 && j.y + j.h < j.nDstHeight) PaintOutline<D>(j, j.x + c, j.y + j.h);
            if (c == 0 && j.x > 0) PaintOutline<D>(j, j.x - 1, j.y + r);
            if (c == j.w - 1 && j.x + j.w < j.nDstWidth) PaintOutline<D>(j, j.x + j.w, j.y + r);
        }
    }
}

using Word = std::uint64_t;
constexpr int kWordBits = 64;

// Sets bit c of the row's words for each opaque pixel c of the w pixels at pRow.
template <int D>
void OpaqueBits(const BYTE* pRow, int w, DWORD dwKey, Word* pBits) {
    constexpr int B = PixelTraits<D>::kBytes;
    int c = 0;
    if constexpr (B == 2) {
        // Sixteen pixels a step; c stays a multiple of 16, so a step never straddles two words.
        const __m128i key = _mm_set1_epi16(short(dwKey & 0xFFFF));
        for (; c + 16 <= w; c += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pRow + c * 2));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pRow + c * 2 + 16));
            const int nKeyed = _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(a, key), _mm_cmpeq_epi16(b, key)));
            pBits[c / kWordBits] |= Word(~nKeyed & 0xFFFF) << (c % kWordBits);
        }
    }
    for (; c < w; ++c)
        if (!IsKeyPixel<D>(LoadPixel<D>(pRow + c * B), dwKey)) pBits[c / kWordBits] |= Word(1) << (c % kWordBits);
}

// Appends the runs of set bits of a row's words as spans of row y starting at column x.
void AppendRuns(const Word* pBits, int nWords, int x, int y, std::vector<COutlineSpans::Span>* pSpans) {
    for (int i = 0; i < nWords; ++i) {
        Word w = pBits[i];
        while (w) {
            const int nStart = std::countr_zero(w);
            const int nLength = std::countr_one(w >> nStart);
            const int x0 = x + i * kWordBits + nStart, x1 = x0 + nLength;
            if (!pSpans->empty() && pSpans->back().y == y && pSpans->back().x1 == x0)
                pSpans->back().x1 = x1;  // a run that goes on in the next word
            else
                pSpans->push_back(COutlineSpans::Span{y, x0, x1});
            w = nLength + nStart >= kWordBits ? 0 : w & (~Word(0) << (nStart + nLength));
        }
    }
}

template <int D>
void FindOutline(const BYTE* pSrc, int nSrcPitch, const OutlineGeometry& g, std::vector<COutlineSpans::Span>* pSpans) {
    const int nWords = (g.w + kWordBits - 1) / kWordBits;
    // Rows of opaque bits with an empty row above and below the rectangle.
    std::vector<Word> bits(size_t(nWords) * size_t(g.h + 2), 0);
    auto row = [&](int r) { return bits.data() + size_t(r + 1) * size_t(nWords); };
    for (int r = 0; r < g.h; ++r) OpaqueBits<D>(pSrc + std::ptrdiff_t(r) * nSrcPitch, g.w, g.dwKey, row(r));
    const Word lastMask = g.w % kWordBits ? (Word(1) << (g.w % kWordBits)) - 1 : ~Word(0);

    std::vector<Word> out(static_cast<size_t>(nWords));
    // The pixel just above the rectangle's first row takes the outline of its opaque pixels.
    if (g.y > 0) AppendRuns(row(0), nWords, g.x, g.y - 1, pSpans);
    for (int r = 0; r < g.h; ++r) {
        const Word* o = row(r);
        const Word* u = row(r - 1);
        const Word* d = row(r + 1);
        // A key pixel with one to three opaque neighbours inside the rectangle.
        for (int i = 0; i < nWords; ++i) {
            const Word l = (o[i] << 1) | (i > 0 ? o[i - 1] >> (kWordBits - 1) : 0);
            const Word rt = (o[i] >> 1) | (i + 1 < nWords ? o[i + 1] << (kWordBits - 1) : 0);
            const Word any = u[i] | d[i] | l | rt, all = u[i] & d[i] & l & rt;
            out[size_t(i)] = ~o[i] & any & ~all & (i + 1 < nWords ? ~Word(0) : lastMask);
        }
        // Left of the rectangle, its row, right of it: the spans stay in column order.
        if (g.x > 0 && (o[0] & 1)) pSpans->push_back(COutlineSpans::Span{g.y + r, g.x - 1, g.x});
        AppendRuns(out.data(), nWords, g.x, g.y + r, pSpans);
        const int c = g.w - 1;
        if (g.x + g.w < g.nDstWidth && ((o[c / kWordBits] >> (c % kWordBits)) & 1))
            pSpans->push_back(COutlineSpans::Span{g.y + r, g.x + g.w, g.x + g.w + 1});
    }
    if (g.y + g.h < g.nDstHeight) AppendRuns(row(g.h - 1), nWords, g.x, g.y + g.h, pSpans);
}

template <int D>
void PaintSpans(const std::vector<COutlineSpans::Span>& spans, BYTE* pDstBits, int nDstPitch, DWORD dwColour) {
    constexpr int B = PixelTraits<D>::kBytes;
    for (const COutlineSpans::Span& s : spans) {
        BYTE* p = pDstBits + std::ptrdiff_t(s.y) * nDstPitch + std::ptrdiff_t(s.x0) * B;
        if constexpr (D == 32) {
            // Only the three colour bytes are replaced.
            for (int x = s.x0; x < s.x1; ++x, p += B) StorePixel<D>(p, (LoadPixel<D>(p) & 0xFF000000u) | (dwColour & 0xFFFFFFu));
        } else {
            FillPixelRow(p, B, size_t(s.x1 - s.x0), dwColour);
        }
    }
}

}  // namespace

COutlineSpans::COutlineSpans(const BYTE* pSrc, int nSrcPitch, const OutlineGeometry& g, std::uint64_t nGeneration)
    : m_geometry(g), m_nGeneration(nGeneration) {
    if (g.w <= 0 || g.h <= 0) return;
    switch (g.dwBpp) {
    case 15: FindOutline<15>(pSrc, nSrcPitch, g, &m_spans); break;
    case 16: FindOutline<16>(pSrc, nSrcPitch, g, &m_spans); break;
    case 24: FindOutline<24>(pSrc, nSrcPitch, g, &m_spans); break;
    default: FindOutline<32>(pSrc, nSrcPitch, g, &m_spans); break;
    }
}

void COutlineSpans::Paint(BYTE* pDstBits, int nDstPitch, DWORD dwColour) const {
    switch (m_geometry.dwBpp) {
    case 15:
    case 16: PaintSpans<16>(m_spans, pDstBits, nDstPitch, dwColour); break;
    case 24: PaintSpans<24>(m_spans, pDstBits, nDstPitch, dwColour); break;
    default: PaintSpans<32>(m_spans, pDstBits, nDstPitch, dwColour); break;
    }
}


int CDXSurface::BlitOutlined(CDXSurface* pDest, int x, int y, const RECT* pSrcRect, int nWidth, int nHeight,
                             DWORD outlineColour) {
    constexpr int kFail = int(0x80004005u);
    if (!pDest) return kFail;
    RECT rc = pSrcRect ? *pSrcRect
                       : RECT{0, 0, nWidth ? nWidth : m_nWidth, nHeight ? nHeight : m_nHeight};
    if (!ClipBlit(pDest, &x, &y, &rc)) return kFail;
    CBlitAccess px(this, pDest);
    if (Failed(px.Result())) return px.Result();
    const DWORD dwBpp = px.BitsPerPixel();
    if (BlitDepthIndex(dwBpp) < 0) return 0;
    if (UsingReferenceBlits() || pDest == this) {
        // Onto itself the outline changes the pixels it is found from as it goes.
        OutlineJob j{px.Src(rc.left, rc.top),
                     px.SrcPitch(),
                     px.Dst(0, 0),
                     px.DstPitch(),
                     pDest->m_nWidth,
                     pDest->m_nHeight,
                     x,
                     y,
                     rc.right - rc.left,
                     rc.bottom - rc.top,
                     m_dwColorKey,
                     outlineColour};
        switch (dwBpp) {
        case 15: OutlineRows<15>(j); break;
        case 16: OutlineRows<16>(j); break;
        case 24: OutlineRows<24>(j); break;
        default: OutlineRows<32>(j); break;
        }
        return 0;
    }
    const OutlineGeometry g{x,        y,        int(rc.right - rc.left), int(rc.bottom - rc.top), int(rc.left),
                            int(rc.top), pDest->m_nWidth, pDest->m_nHeight, m_dwColorKey, dwBpp};
    // A held source may change without a new generation, so its outline is not kept.
    if (!px.SourceInPlace()) {
        COutlineSpans(px.Src(rc.left, rc.top), px.SrcPitch(), g, 0).Paint(px.Dst(0, 0), px.DstPitch(), outlineColour);
        return 0;
    }
    const std::uint64_t nGeneration = m_pSurface->PixelGeneration();
    if (!m_pOutline || !m_pOutline->Matches(g, nGeneration))
        m_pOutline = std::make_unique<COutlineSpans>(px.Src(rc.left, rc.top), px.SrcPitch(), g, nGeneration);
    m_pOutline->Paint(px.Dst(0, 0), px.DstPitch(), outlineColour);
    return 0;
}
